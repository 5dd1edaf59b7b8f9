#include "iconmodel.h"
#include "qbaseiconlistdelegate.h"
#include "qdelegatecontrol.h"
#include "qzvstylebutton.h"
#include "recordfixture.h"
#include "skinfixture.h"
#include "testhome.h"

#include <QMouseEvent>

Q_DECLARE_METATYPE(QBaseIconListDelegate::drawPhotoType)

namespace {

const QRect Cell(0, 0, 100, 100);
const QColor BandA(250, 0, 0), BandB(0, 250, 0), BandC(0, 0, 250), BandD(250, 250, 0);
const QColor ImageBackground(60, 60, 60);

QStyleOptionViewItem cellOption(QStyle::State state = QStyle::State_Enabled)
{
    QStyleOptionViewItem option;
    option.rect = Cell;
    option.state = state;
    return option;
}

QMouseEvent mouse(QEvent::Type type, QPoint pos)
{
    return QMouseEvent(type, pos, pos, pos, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
}

// A model answering only what the tests give it.
class PlainModel : public QBaseDetailsModel
{
public:
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DecorationRole)
            return decoration;
        if (role == Qt::BackgroundRole || role == Qt::ForegroundRole)
            return QVariant();
        return QBaseDetailsModel::data(index, role);
    }
    QVariant decoration;
};

} // namespace

class TestIconDelegate : public QObject
{
    Q_OBJECT

private:
    SkinFixture m_skin;
    RecordSet m_set;
    IconModel<QBaseDetailsModel> m_model;
    std::unique_ptr<QBaseIconListDelegate> m_delegate;
    std::unique_ptr<QZVStyleButton> m_button;
    std::unique_ptr<QDelegateControl> m_group;

    IBaseChunk *record(int row) { return m_set.pointers[size_t(row)]; }
    QModelIndex cell(int row) { return m_model.index(row, 0); }

    QImage paint(const QModelIndex &index, QStyle::State state = QStyle::State_Enabled)
    {
        QImage canvas = blankCanvas(Cell.size());
        QPainter painter(&canvas);
        m_delegate->paint(&painter, cellOption(state), index);
        return canvas;
    }

    bool send(QEvent::Type type, QPoint pos, const QModelIndex &index)
    {
        QMouseEvent event = mouse(type, pos);
        return m_delegate->editorEvent(&event, &m_model, cellOption(), index);
    }

    QString bands()
    {
        QImage image(200, 100, QImage::Format_ARGB32);
        QPainter painter(&image);
        const QColor colours[] = {BandA, BandB, BandC, BandD};
        for (int i = 0; i < 4; ++i)
            painter.fillRect(i * 50, 0, 50, 100, colours[i]);
        painter.end();
        image.save(m_skin.path("bands.png"));
        return m_skin.path("bands.png");
    }

private slots:
    void initTestCase()
    {
        for (int state : {0, 1, 2})
            m_set.add(QString("cell %1").arg(state), state);
        m_model.setHeaderList({"cell"});
        m_model.setDatas(&m_set.pointers);
    }

    void init()
    {
        m_delegate = std::make_unique<QBaseIconListDelegate>();
        m_delegate->setCheckboxImage(m_skin.solid("off.png", QSize(20, 20), QColor(200, 0, 0)),
                                     m_skin.solid("some.png", QSize(20, 20), QColor(0, 200, 0)),
                                     m_skin.solid("on.png", QSize(20, 20), QColor(0, 0, 200)));
        m_delegate->setImageBgColor(ImageBackground);
        m_button = std::make_unique<QZVStyleButton>();
        m_button->setButtonImage(m_skin.strip("button.png", QSize(160, 40), StripColours), QString(), false);
        m_button->setPos(60, 5);
        m_group = std::make_unique<QDelegateControl>(0);
        m_group->setHoverShow(false);
        m_group->addButton(m_button.get());
        QVERIFY(m_delegate->addButtonWidget(m_group.get()));
        for (IBaseChunk *chunk : m_set.pointers) {
            chunk->setImage(std::string());
            chunk->setItemMaskImage(std::string());
            chunk->setControlShow(true);
            chunk->setColumnEnable(0, true);
        }
    }

    void drawTypes_data()
    {
        QTest::addColumn<QBaseIconListDelegate::drawPhotoType>("type");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QColor>("colour");
        // Cell 100 x 100 with image margins 10: the image area is (10, 10, 80, 80). The
        // image is 200 x 100 pixels (100 x 50 logical) in four vertical bands.
        QTest::newRow("natural: first band") << QBaseIconListDelegate::NaturalSize << QPoint(20, 20) << BandA;
        QTest::newRow("natural: second band") << QBaseIconListDelegate::NaturalSize << QPoint(45, 20) << BandB;
        QTest::newRow("natural: below it") << QBaseIconListDelegate::NaturalSize << QPoint(20, 75) << ImageBackground;
        QTest::newRow("stretched: left") << QBaseIconListDelegate::Stretched << QPoint(15, 80) << BandA;
        QTest::newRow("stretched: right") << QBaseIconListDelegate::Stretched << QPoint(85, 15) << BandD;
        QTest::newRow("fitted: above") << QBaseIconListDelegate::FittedCentred << QPoint(50, 25) << ImageBackground;
        QTest::newRow("fitted: left") << QBaseIconListDelegate::FittedCentred << QPoint(15, 50) << BandA;
        QTest::newRow("fitted: right") << QBaseIconListDelegate::FittedCentred << QPoint(85, 50) << BandD;
        QTest::newRow("fitted: below") << QBaseIconListDelegate::FittedCentred << QPoint(50, 75) << ImageBackground;
        QTest::newRow("cropped: left") << QBaseIconListDelegate::CentreCrop << QPoint(15, 15) << BandB;
        QTest::newRow("cropped: right") << QBaseIconListDelegate::CentreCrop << QPoint(85, 85) << BandC;
    }

    void drawTypes()
    {
        QFETCH(QBaseIconListDelegate::drawPhotoType, type);
        QFETCH(QPoint, point);
        QFETCH(QColor, colour);
        record(0)->setImage(bands().toStdString());
        m_delegate->setImageMargins(10, 10, 10, 10);
        m_delegate->setImageDrawType(type);
        m_delegate->setCheckboxImage(QString(), QString(), QString());
        m_delegate->setHideCtrl(true);
        QCOMPARE(paint(cell(0)).pixelColor(point), colour);
    }

    void emptyImageAreaDrawsNoImage()
    {
        record(0)->setImage(bands().toStdString());
        m_delegate->setImageMargins(50, 10, 50, 10);
        m_delegate->setImageDrawType(QBaseIconListDelegate::CentreCrop);
        m_delegate->setHideCtrl(true);
        const QImage image = paint(cell(0));
        QCOMPARE(image.pixelColor(30, 30), QColor(35, 35, 35));
    }

    void overlayWithoutImage()
    {
        record(0)->setItemMaskImage(m_skin.solid("mask.png", QSize(200, 200), QColor(10, 200, 200)).toStdString());
        m_delegate->setHideCtrl(true);
        QCOMPARE(paint(cell(0)).pixelColor(50, 20), QColor(10, 200, 200));
    }

    // Run under the address sanitizer: a text is a file name, never an address.
    void addressLikeTextIsAFileName()
    {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_skin.path(QString()));
        m_skin.solid("0x1f.png", QSize(200, 200), QColor(120, 0, 120));
        m_delegate->setHideCtrl(true);
        record(0)->setImage("0x1f.png");
        QCOMPARE(paint(cell(0)).pixelColor(50, 20), QColor(120, 0, 120));
        record(0)->setImage("0x7fffdeadbeef");
        QCOMPARE(paint(cell(0)).pixelColor(50, 20), QColor(35, 35, 35));
        QDir::setCurrent(previous);
    }

    void imagesInMemoryAreAccepted()
    {
        PlainModel model;
        model.setHeaderList({"cell"});
        model.setDatas(&m_set.pointers);
        QImage image(200, 200, QImage::Format_ARGB32);
        image.fill(QColor(0, 120, 120));
        model.decoration = image;
        m_delegate->setHideCtrl(true);
        QImage canvas = blankCanvas(Cell.size());
        QPainter painter(&canvas);
        m_delegate->paint(&painter, cellOption(), model.index(0, 0));
        QCOMPARE(canvas.pixelColor(50, 20), QColor(0, 120, 120));
    }

    void backgroundAndFrames()
    {
        PlainModel bare;
        bare.setHeaderList({"cell"});
        bare.setDatas(&m_set.pointers);
        m_delegate->setHideCtrl(true);
        QImage canvas = blankCanvas(Cell.size());
        QPainter painter(&canvas);
        m_delegate->paint(&painter, cellOption(), bare.index(0, 0));
        painter.end();
        QCOMPARE(canvas.pixelColor(50, 20), QColor(Qt::black));

        m_delegate->setHoverFrameWidth(4);
        m_delegate->setHoverFrameColor(QColor(1, 2, 3));
        m_delegate->setHoverRow(0);
        QImage hovered = paint(cell(0), QStyle::State_Enabled | QStyle::State_Selected);
        QCOMPARE(hovered.pixelColor(50, 1), QColor(1, 2, 3));
        QCOMPARE(hovered.pixelColor(50, 20), QColor(135, 135, 135));

        m_delegate->setFrameWidth(3);
        m_delegate->setFrameColor(QColor(9, 8, 7));
        QImage framed = paint(cell(0), QStyle::State_Enabled | QStyle::State_Selected);
        QCOMPARE(framed.pixelColor(98, 50), QColor(9, 8, 7));
        QCOMPARE(framed.pixelColor(50, 5), QColor(135, 135, 135));
    }

    void shadowBand()
    {
        m_delegate->setHideCtrl(true);
        m_delegate->setTextShadowRect(QRect(0, 60, 100, 40));
        m_delegate->setShadowGradualColor(QColor(255, 255, 255), QColor(0, 0, 0), true);
        const QImage image = paint(cell(0));
        QVERIFY(image.pixelColor(50, 61).lightness() > 230);
        QVERIFY(image.pixelColor(50, 98).lightness() < 25);
        QCOMPARE(image.pixelColor(50, 30), QColor(35, 35, 35));
    }

    void checkboxPlacement_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("unchecked") << 0 << QColor(200, 0, 0);
        QTest::newRow("partial") << 1 << QColor(0, 200, 0);
        QTest::newRow("checked") << 2 << QColor(0, 0, 200);
    }

    void checkboxPlacement()
    {
        QFETCH(int, row);
        QFETCH(QColor, colour);
        m_delegate->setCheckboxEnable(false);
        const QImage image = paint(cell(row));
        // A 10 x 10 box, 5 from the left and centred: (5, 45).
        QCOMPARE(image.pixelColor(7, 47), colour);
        QCOMPARE(image.pixelColor(13, 53), colour);
        QCOMPARE(image.pixelColor(17, 50), QColor(35, 35, 35));
        QCOMPARE(image.pixelColor(10, 42), QColor(35, 35, 35));
    }

    void checkboxPressRequestsTheOtherState_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("requested");
        QTest::newRow("unchecked") << 0 << 2;
        QTest::newRow("partial") << 1 << 2;
        QTest::newRow("checked") << 2 << 0;
    }

    void checkboxPressRequestsTheOtherState()
    {
        QFETCH(int, row);
        QFETCH(int, requested);
        QSignalSpy requests(m_delegate.get(), &QBaseIconListDelegate::emitCheckStateChange);
        QVERIFY(send(QEvent::MouseButtonPress, QPoint(10, 50), cell(row)));
        QCOMPARE(requests.count(), 1);
        QCOMPARE(requests.at(0).at(1).toInt(), requested);
        QCOMPARE(record(row)->GetCheck(), row);
        QVERIFY(!m_delegate->mouseInCtrlRect());
        send(QEvent::MouseButtonRelease, QPoint(10, 50), cell(row));
        QVERIFY(m_delegate->mouseInCtrlRect());
        QVERIFY(!send(QEvent::MouseButtonPress, QPoint(30, 50), cell(row)));
        QCOMPARE(requests.count(), 1);
    }

    void buttonClickNeedsPressAndReleaseOnOneCell()
    {
        QSignalSpy buttonClicks(m_button.get(), &QZVStyleButton::emitClickIndex);
        QSignalSpy delegateClicks(m_delegate.get(), &QBaseIconListDelegate::clickWidgt);
        QVERIFY(send(QEvent::MouseButtonPress, QPoint(70, 15), cell(0)));
        QCOMPARE(m_delegate->getMouseState(), 2);
        QVERIFY(send(QEvent::MouseButtonRelease, QPoint(70, 15), cell(1)));
        QCOMPARE(buttonClicks.count(), 0);

        QVERIFY(send(QEvent::MouseButtonPress, QPoint(70, 15), cell(1)));
        QVERIFY(send(QEvent::MouseButtonRelease, QPoint(70, 15), cell(1)));
        QCOMPARE(buttonClicks.count(), 1);
        QCOMPARE(buttonClicks.at(0).at(0).toModelIndex(), cell(1));
        QCOMPARE(delegateClicks.count(), 1);
        QVERIFY(m_delegate->mouseInCtrlRect());

        QVERIFY(send(QEvent::MouseMove, QPoint(30, 80), cell(1)));
        QCOMPARE(m_delegate->getMouseState(), 0);
        QVERIFY(!m_delegate->mouseInCtrlRect());
    }

    void disabledColumnShowsHoverButNoClick()
    {
        record(0)->setColumnEnable(0, false);
        QSignalSpy buttonClicks(m_button.get(), &QZVStyleButton::emitClickIndex);
        send(QEvent::MouseButtonPress, QPoint(70, 15), cell(0));
        send(QEvent::MouseButtonRelease, QPoint(70, 15), cell(0));
        QCOMPARE(m_button->getBtnState(), 1);
        QCOMPARE(buttonClicks.count(), 0);
        QCOMPARE(paint(cell(0)).pixelColor(70, 15), StripColours[3]);
    }

    void hiddenControlsLeaveTheCheckboxWorking()
    {
        QSignalSpy requests(m_delegate.get(), &QBaseIconListDelegate::emitCheckStateChange);
        QSignalSpy buttonClicks(m_button.get(), &QZVStyleButton::emitClickIndex);
        QCOMPARE(paint(cell(0)).pixelColor(70, 15), StripColours[0]);
        record(0)->setControlShow(false);
        QVERIFY(paint(cell(0)).pixelColor(70, 15) != StripColours[0]);
        QVERIFY(!send(QEvent::MouseButtonPress, QPoint(70, 15), cell(0)));
        QVERIFY(!send(QEvent::MouseButtonRelease, QPoint(70, 15), cell(0)));
        record(0)->setControlShow(true);
        m_delegate->setHideCtrl(true);
        QVERIFY(!send(QEvent::MouseButtonPress, QPoint(70, 15), cell(0)));
        QVERIFY(send(QEvent::MouseButtonPress, QPoint(10, 50), cell(0)));
        QCOMPARE(requests.count(), 1);
        QCOMPARE(buttonClicks.count(), 0);
    }

    void groupsReplaceEachOther()
    {
        QDelegateControl empty(0);
        QVERIFY(!m_delegate->addButtonWidget(nullptr));
        QVERIFY(send(QEvent::MouseButtonPress, QPoint(70, 15), cell(0)));
        QVERIFY(m_delegate->addButtonWidget(&empty));
        QVERIFY(!send(QEvent::MouseButtonPress, QPoint(70, 15), cell(0)));
    }

    void nonMouseEventsChangeNothing()
    {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        QVERIFY(!m_delegate->editorEvent(&key, &m_model, cellOption(), cell(0)));
        QCOMPARE(record(0)->GetCheck(), 0);
    }
};

GLINTORA_TEST_MAIN(TestIconDelegate)
#include "tst_icondelegate.moc"
