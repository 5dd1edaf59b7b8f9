#include "nsimgborderview.h"
#include "nsimgitemview.h"
#include "testhome.h"

#include <QPainter>

namespace {

struct Record
{
    QStringList events;
};

void onDown(float, float, void *object) { static_cast<Record *>(object)->events << "down"; }
void onMove(float, float, void *object) { static_cast<Record *>(object)->events << "move"; }
void onUp(float, float, void *object) { static_cast<Record *>(object)->events << "up"; }

// A 30 x 30 image of nine 10 x 10 cells, each its own colour.
QImage nineCells()
{
    QImage image(30, 30, QImage::Format_ARGB32);
    QPainter painter(&image);
    for (int cell = 0; cell < 9; ++cell)
        painter.fillRect(cell % 3 * 10, cell / 3 * 10, 10, 10, QColor::fromHsv(cell * 40, 255, 255));
    return image;
}

QImage render(QWidget &view)
{
    QImage out(view.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    view.render(&out, {}, {}, QWidget::DrawChildren);  // the views themselves are transparent
    return out;
}

} // namespace

class TestImgBorderView : public QObject
{
    Q_OBJECT

private slots:
    void borderPiecesFollowTheCorners()
    {
        const QSizeF c(10, 10);
        const QVector<ImagePiece> pieces = NSImgBorderView::pieces({100, 60}, {30, 30}, c, c, c, c);
        const QVector<ImagePiece> expected = {
            {{0, 0, 10, 10}, {0, 0, 10, 10}},   {{20, 0, 10, 10}, {90, 0, 10, 10}},
            {{10, 0, 10, 10}, {9, 0, 82, 10}},  {{0, 20, 10, 10}, {0, 50, 10, 10}},
            {{20, 20, 10, 10}, {90, 50, 10, 10}}, {{10, 20, 10, 10}, {9, 50, 82, 10}},
            {{0, 10, 10, 10}, {0, 9, 10, 42}},  {{20, 10, 10, 10}, {90, 9, 10, 42}},
            {{10, 10, 10, 10}, {9, 9, 82, 42}}};
        QCOMPARE(pieces, expected);
        // No room between the corners: no edge and no centre, never a mirrored strip.
        QCOMPARE(NSImgBorderView::pieces({16, 16}, {30, 30}, c, c, c, c).size(), 4);
    }

    void borderViewPaintsEachCellInItsPiece()
    {
        NSImgBorderView view;
        view.resize(100, 60);
        const QImage image = nineCells();
        view.setImage(image);
        const QImage out = render(view);
        const QPoint centres[] = {{5, 5}, {50, 5}, {95, 5}, {5, 30}, {50, 30}, {95, 30}, {5, 55}, {50, 55}, {95, 55}};
        for (int cell = 0; cell < 9; ++cell)
            QCOMPARE(out.pixel(centres[cell]), image.pixel(cell % 3 * 10 + 5, cell / 3 * 10 + 5));
    }

    void itemViewDrawsHandlesMarkAndDashedOutline()
    {
        const QVector<ImagePiece> pieces = NSImgItemView::pieces({60, 40}, {28, 28}, true);
        QCOMPARE(pieces.size(), 9);
        QCOMPARE(pieces[4], (ImagePiece{{22, 11, 6, 6}, {54, 17, 6, 6}}));
        QCOMPARE(pieces[8], (ImagePiece{{6, 6, 16, 16}, {22, 12, 16, 16}}));

        NSImgItemView view;
        view.resize(60, 40);
        QImage red(28, 28, QImage::Format_ARGB32);
        red.fill(Qt::red);
        view.setImage(red);
        QImage out = render(view);
        QCOMPARE(out.pixelColor(30, 20), QColor(Qt::red));
        QString top;
        for (int x = 10; x < 20; ++x)
            top += out.pixelColor(x, 0) == QColor(Qt::white) ? 'W' : '.';
        QVERIFY2((top + top).contains("WWW..WWW.."), qPrintable(top));  // 3 on, 2 off, any phase
        view.showMidImg(false);
        QCOMPARE(render(view).pixelColor(30, 20), QColor(Qt::transparent));
        view.showBorderImg(false);
        QCOMPARE(render(view), [&] { QImage e(60, 40, QImage::Format_ARGB32); e.fill(Qt::transparent); return e; }());
    }

    void mouseReachesCallbacksAlsoOverTheChild()
    {
        Record record;
        NSImgBorderView view;
        view.resize(100, 60);
        view.show();
        view.setCallBackObject(&record);
        view.setDownCallback(onDown);
        view.setMoveCallback(onMove);
        view.setUpCallback(onUp);
        view.setItemRect({10, 10, 30, 20});
        view.setItemRect({10, 5, 30, 20});
        QCOMPARE(view.findChildren<NSImgItemView *>().size(), 1);
        QCOMPARE(view.itemView()->geometry(), QRect(10, 35, 30, 20));
        view.resize(100, 80);
        QCOMPARE(view.itemView()->geometry(), QRect(10, 55, 30, 20));

        QMouseEvent hover(QEvent::MouseMove, {50, 5}, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QVERIFY(!view.hasMouseTracking());
        view.setImage(nineCells());
        QVERIFY(view.hasMouseTracking());
        QApplication::sendEvent(&view, &hover);
        QTest::mousePress(view.itemView(), Qt::LeftButton, {}, {5, 5});
        QTest::mouseRelease(view.itemView(), Qt::LeftButton, {}, {5, 5});
        QCOMPARE(record.events, (QStringList{"move", "down", "up"}));
    }
};

GLINTORA_TEST_MAIN(TestImgBorderView)
#include "tst_imgborderview.moc"
