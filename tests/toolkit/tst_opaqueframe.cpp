#include "qzvcompositorwatch.h"
#include "qzvdialog.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QPainter>
#include <QProcess>
#include <QScreen>

using namespace SkinFixtures;

namespace {

const QColor kBehind(255, 0, 255);
const QRect kFrameArea(100, 100, 200, 160);

// A panel in the skin's manner: a white rounded face with a grey edge, six logical
// pixels in from a fully transparent margin, drawn at twice its logical size.
QImage panelWithMargin()
{
    QImage image(240, 240, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(213, 214, 215), 2));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(13, 13, 214, 214), 12, 12);
    return image;
}

QImage onScreen(const QRect &area)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
}

// What the user sees of the window: its face, and what lies behind its margins.
QString looksWrong(const QRect &area)
{
    const QImage seen = onScreen(area);
    for (int y = 0; y < seen.height(); ++y) {
        for (int x = 0; x < seen.width(); ++x) {
            if (seen.pixelColor(x, y) == Qt::black)
                return QStringLiteral("black at %1,%2").arg(x).arg(y);
        }
    }
    if (seen.pixelColor(2, seen.height() / 2) != kBehind)
        return QStringLiteral("margin shows %1").arg(seen.pixelColor(2, seen.height() / 2).name());
    if (seen.pixelColor(seen.width() / 2, seen.height() / 2) != Qt::white)
        return QStringLiteral("face shows %1").arg(seen.pixelColor(seen.width() / 2, seen.height() / 2).name());
    return QString();
}

}

// A translucent frameless window under a real X server, with and without a compositing
// manager, read back from the screen: the X server shows unblended transparent pixels
// black, which the frame must never leave visible.
class TestOpaqueFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initToolkitTestEnvironment(); }

    void marginsShowWhatLiesBehindAsTheCompositorComesAndGoes_data()
    {
        QTest::addColumn<bool>("compositorFirst");
        QTest::newRow("opened without a compositor") << false;
        QTest::newRow("opened with a compositor") << true;
    }

    void marginsShowWhatLiesBehindAsTheCompositorComesAndGoes()
    {
        QFETCH(bool, compositorFirst);
        QZVCompositorWatch *watch = QZVCompositorWatch::instance();
        QProcess compositor;
        const auto startCompositor = [&] {
            compositor.start(QStringLiteral("xcompmgr"), QStringList());
            return compositor.waitForStarted() && QTest::qWaitFor([&] { return watch->isRunning(); });
        };
        QWidget backdrop;
        backdrop.setWindowFlags(Qt::FramelessWindowHint);
        backdrop.setPalette(QPalette(kBehind));
        backdrop.setAutoFillBackground(true);
        backdrop.setGeometry(kFrameArea.adjusted(-50, -50, 50, 50));
        backdrop.show();
        QVERIFY(QTest::qWaitForWindowExposed(&backdrop));
        QVERIFY(!watch->isRunning());
        if (compositorFirst)
            QVERIFY(startCompositor());

        QZVDialog frame;
        frame.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        frame.setAttribute(Qt::WA_TranslucentBackground);
        QVERIFY(frame.setBackgroundImage(panelWithMargin(), true));
        frame.setGeometry(kFrameArea);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QTRY_COMPARE(looksWrong(kFrameArea), QString());

        if (!compositorFirst) {
            QVERIFY(startCompositor());
            QTRY_COMPARE(looksWrong(kFrameArea), QString());
        }
        compositor.terminate();
        QVERIFY(compositor.waitForFinished());
        QTRY_VERIFY(!watch->isRunning());
        QTRY_COMPARE(looksWrong(kFrameArea), QString());
    }
};

GLINTORA_TEST_MAIN(TestOpaqueFrame)
#include "tst_opaqueframe.moc"
