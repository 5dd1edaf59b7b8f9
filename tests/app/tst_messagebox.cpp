#include "modalwatchdog.h"
#include "qianyutil.h"
#include "qzvmessagedlg.h"
#include "showmessage.h"
#include "skinfixtures.h"
#include "qstorefile.h"
#include "qvideosettingxml.h"
#include "testhome.h"
#include "storenotice.h"

#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

using namespace SkinFixtures;

// The message box, run modally through ShowMessage and driven by the watchdog.
class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void results_data();
    void results();
    void restartFirstButtonKeepsBoxOpen();
    void buttons_data();
    void buttons();
    void kindIcon_data();
    void kindIcon();
    void geometry_data();
    void geometry();
    void manyLineFeeds();
    void title_data();
    void title();
    void stayOnTop_data();
    void stayOnTop();
    void unparsableFileIsToldOnce();
};

namespace {

const QString kBox = QStringLiteral("QZVMessageDlg");

QZVMessageDlg *box(QWidget *modal)
{
    return qobject_cast<QZVMessageDlg *>(modal);
}

QFont messageFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    return font;
}

QRect screen()
{
    return QGuiApplication::primaryScreen()->geometry();
}

QColor averageColor(const QImage &image)
{
    qint64 r = 0, g = 0, b = 0, n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 128)
                continue;
            r += c.red();
            g += c.green();
            b += c.blue();
            ++n;
        }
    }
    return n ? QColor(int(r / n), int(g / n), int(b / n)) : QColor();
}

int distance(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

}

void TestMessageBox::initTestCase()
{
    initToolkitTestEnvironment();
}

void TestMessageBox::results_data()
{
    QTest::addColumn<uint>("style");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << 0u << "m_btnOk" << int(QMessageBox::Ok);
    QTest::newRow("OK box, close") << 0u << "m_btnClose" << int(QMessageBox::Cancel);
    QTest::newRow("YES") << 0x412u << "m_btnOk" << int(QMessageBox::Yes);
    QTest::newRow("NO") << 0x412u << "m_btnCancel" << int(QMessageBox::No);
    QTest::newRow("YES/NO box, close") << 0x412u << "m_btnClose" << int(QMessageBox::No);
    QTest::newRow("OK of OK/Cancel") << 0x100u << "m_btnOk" << int(QMessageBox::Ok);
    QTest::newRow("Cancel") << 0x100u << "m_btnCancel" << int(QMessageBox::Cancel);
    QTest::newRow("Restart Later") << 0x200u << "m_btnCancel" << int(QMessageBox::Cancel);
    for (uint style : {0u, 0x412u, 0x100u, 0x200u, 0x32u})
        QTest::addRow("Escape, style 0x%x", style) << style << QString() << 0;
}

void TestMessageBox::results()
{
    QFETCH(uint, style);
    QFETCH(QString, button);
    QFETCH(int, result);
    ModalWatchdog dog;
    dog.expect(kBox, kBox, button.isEmpty() ? ModalWatchdog::pressKey(Qt::Key_Escape)
                                            : ModalWatchdog::clickButton(button));
    QCOMPARE(ShowMessage(QStringLiteral("Are you sure to stop converting?"), QString(), style, false), result);
    GLINTORA_VERIFY_WATCHDOG(dog);
}

void TestMessageBox::restartFirstButtonKeepsBoxOpen()
{
    ModalWatchdog dog;
    dog.expect(kBox, kBox, ModalWatchdog::clickButton("m_btnOk"));
    dog.expect(kBox, kBox, ModalWatchdog::clickButton("m_btnOk"));
    dog.expect(kBox, kBox, ModalWatchdog::clickButton("m_btnClose"));
    QCOMPARE(ShowMessage(QStringLiteral("Restart now?"), QString(), 0x200, false), int(QMessageBox::Cancel));
    GLINTORA_VERIFY_WATCHDOG(dog);
}

void TestMessageBox::buttons_data()
{
    QTest::addColumn<uint>("style");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("one button") << 0u << "OK" << "";
    QTest::newRow("warning only") << 0x12u << "OK" << "";
    QTest::newRow("YES/NO") << 0x412u << "YES" << "NO";
    QTest::newRow("OK/Cancel") << 0x100u << "OK" << "Cancel";
    QTest::newRow("restart") << 0x200u << "Restart" << "Restart Later";
    QTest::newRow("restart wins over YES/NO") << 0x600u << "Restart" << "Restart Later";
}

void TestMessageBox::buttons()
{
    QFETCH(uint, style);
    QFETCH(QString, first);
    QFETCH(QString, second);
    ModalWatchdog dog;
    dog.expect(kBox, kBox, ModalWatchdog::inspectThen([&](QWidget *modal) {
        QZVMessageDlg *dialog = box(modal);
        const int w = dialog->width();
        const int h = dialog->height();
        QCOMPARE(dialog->m_btnOk->text(), first);
        QCOMPARE(dialog->m_btnOk->size(), QSize(80, 25));
        QCOMPARE(dialog->m_btnOk->font().pixelSize(), 12);
        QCOMPARE(dialog->m_btnOk->y(), h - 25 - 23);
        QCOMPARE(dialog->m_btnClose->pos(), QPoint(13, 13));
        QCOMPARE(dialog->m_btnCancel->isVisible(), !second.isEmpty());
        if (second.isEmpty()) {
            QCOMPARE(dialog->m_btnOk->x(), w - 113);
        } else {
            QCOMPARE(dialog->m_btnCancel->text(), second);
            QCOMPARE(dialog->m_btnCancel->pos(), QPoint(w - 80 - 28, h - 25 - 23));
            QCOMPARE(dialog->m_btnOk->x(), w - 80 - 80 - 38);
        }
    }, ModalWatchdog::pressKey(Qt::Key_Escape)));
    ShowMessage(QStringLiteral("Invalid path"), QString(), style, false);
    GLINTORA_VERIFY_WATCHDOG(dog);
}

void TestMessageBox::kindIcon_data()
{
    QTest::addColumn<uint>("style");
    QTest::addColumn<QString>("icon");
    QTest::newRow("warning") << 0x12u << "/pic/warning.png";
    QTest::newRow("success") << 0x22u << "/pic/Success.png";
    QTest::newRow("error") << 0x32u << "/pic/error.png";
    QTest::newRow("warning with YES/NO") << 0x412u << "/pic/warning.png";
    QTest::newRow("icon bit alone") << 0x2u << "";
    QTest::newRow("no icon bit") << 0x30u << "";
}

void TestMessageBox::kindIcon()
{
    QFETCH(uint, style);
    QFETCH(QString, icon);
    QImage shown;
    QRect text;
    ModalWatchdog dog;
    dog.expect(kBox, kBox, ModalWatchdog::inspectThen([&](QWidget *modal) {
        shown = render(*modal);
        text = box(modal)->messageRect();
    }, ModalWatchdog::pressKey(Qt::Key_Escape)));
    ShowMessage(QStringLiteral("Short"), QString(), style, false);
    GLINTORA_VERIFY_WATCHDOG(dog);

    // The icon's place left of the text: 36 x 36 logical pixels.
    const int x = text.left() - 36 - 10;
    const int y = text.top() + (text.height() - 36) / 2 + 4;
    const QColor place = averageColor(shown.copy(x, y, 36, 36));
    const QColor background = averageColor(shown.copy(x, y + 60, 36, 20));
    if (icon.isEmpty()) {
        QVERIFY(distance(place, background) < 10);
        return;
    }
    QString nearest;
    int best = INT_MAX;
    for (const char *candidate : {"/pic/warning.png", "/pic/Success.png", "/pic/error.png"}) {
        const QImage image(QIAnyUtil::getResourcePath() + QLatin1String(candidate));
        QVERIFY(!image.isNull());
        const int d = distance(place, averageColor(image.convertToFormat(QImage::Format_ARGB32)));
        if (d < best) {
            best = d;
            nearest = QLatin1String(candidate);
        }
    }
    QCOMPARE(nearest, icon);
}

void TestMessageBox::geometry_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<uint>("style");
    const QString words = QStringLiteral("convert ").repeated(140).trimmed();
    QTest::newRow("short line") << "Invalid path" << 0u;
    QTest::newRow("short line with icon") << "Invalid path" << 0x412u;
    QTest::newRow("wide line") << QStringLiteral("W").repeated(80) << 0u;
    QTest::newRow("wide line with icon") << QStringLiteral("W").repeated(80) << 0x12u;
    QTest::newRow("tall text") << words << 0u;
    QTest::newRow("two lines") << "First line\nsecond line" << 0u;
    const QString failed("\nIMG_0001.MOV: The output folder /tmp/glintora-test-bHuKWV/tmp/tst_mainwindowshot-rQC5hl/"
                         "blocker/Converted/IMG_0001 cannot be created.");
    QTest::newRow("long slash-separated paths") << "Not converted:\n" + failed.repeated(2) << 0x12u;
    QTest::newRow("long name without spaces") << "IMG_" + QStringLiteral("0123456789").repeated(12) + ".MOV" << 0x12u;
    QTest::newRow("empty") << "" << 0u;
}

void TestMessageBox::geometry()
{
    QFETCH(QString, message);
    QFETCH(uint, style);
    const bool icon = style & 0x2;
    const QFontMetrics metrics(messageFont());
    const int feeds = message.count(QLatin1Char('\n'));
    int width = qMax(metrics.boundingRect(message).width(), metrics.horizontalAdvance(message));
    if (feeds > 0) {
        int longest = 0;
        int start = 0;
        for (const QString &line : message.split(QLatin1Char('\n'))) {
            longest = qMax(longest, line.size() + (start > 0 ? 1 : 0));
            start += line.size() + 1;
        }
        width = metrics.boundingRect(message.left(feeds + longest + 4)).width();
    }
    const int grows = icon ? 139 : 181;
    const bool wide = width > grows;
    if (wide)
        width = qMin(width, icon ? 478 : 520);
    // Text without a space to break at wraps where the line is full.
    const int wrapping = message.contains(QLatin1Char(' ')) ? Qt::TextWordWrap : Qt::TextWrapAnywhere;
    const int textHeight = metrics.boundingRect(QRect(0, 0, width + 1, 0), wrapping, message).height();
    // Centred only while the text ends 15 above the buttons.
    const bool tall = (161 - textHeight) / 2 - 5 + textHeight + 15 + 48 > 161;
    if (message == QLatin1String("Invalid path"))
        QCOMPARE(textHeight, metrics.height()); // a short message keeps to one line
    const QSize expectedSize(wide ? width + (icon ? 123 : 81) : 262, tall ? qMax(textHeight + 91, 162) : 162);
    const int expectedLeft = wide ? (icon ? 92 : 40) : (261 - width) / 2 + (icon ? 8 : 0);
    const int expectedTop = tall ? 27 : (161 - textHeight) / 2 - 5;

    QRect windowGeometry;
    QRect text;
    int buttonTop = 0;
    ModalWatchdog dog;
    dog.expect(kBox, kBox, ModalWatchdog::inspectThen([&](QWidget *modal) {
        windowGeometry = modal->geometry();
        text = box(modal)->messageRect();
        buttonTop = box(modal)->m_btnOk->y();
    }, ModalWatchdog::pressKey(Qt::Key_Escape)));
    ShowMessage(message, QString(), style, false);
    GLINTORA_VERIFY_WATCHDOG(dog);

    QCOMPARE(windowGeometry.size(), expectedSize);
    QVERIFY(qAbs(windowGeometry.center().x() - screen().center().x()) <= 1);
    QVERIFY(qAbs(windowGeometry.center().y() - screen().center().y()) <= 1);
    QCOMPARE(text, QRect(expectedLeft, expectedTop, width + 1, textHeight + 1));
    QVERIFY2(text.bottom() < buttonTop, qPrintable(QString::number(text.bottom())));
}

void TestMessageBox::manyLineFeeds()
{
    // Forty line feeds: every one is counted, none is dropped or overruns a table.
    const QString message = QStringLiteral("line\n").repeated(40) + QStringLiteral("the longest last line");
    const QFontMetrics metrics(messageFont());
    const int longest = QStringLiteral("\nthe longest last line").size();
    const int expectedWidth = qMin(520, metrics.boundingRect(message.left(40 + longest + 4)).width());
    QRect text;
    QRect window;
    int hiddenLines = 0;
    ModalWatchdog dog;
    dog.expect(kBox, kBox, ModalWatchdog::inspectThen([&](QWidget *modal) {
        text = box(modal)->messageRect();
        window = modal->geometry();
        if (QScrollArea *view = box(modal)->scrollingMessage())
            hiddenLines = view->isVisible() ? view->verticalScrollBar()->maximum() : 0;
    }, ModalWatchdog::pressKey(Qt::Key_Escape)));
    ShowMessage(message, QString(), 0, false);
    GLINTORA_VERIFY_WATCHDOG(dog);
    QCOMPARE(text.width(), expectedWidth + 1);
    QCOMPARE(text.top(), 27);
    // Too tall for the box: it stays on the screen and the text scrolls within it.
    QVERIFY(screen().contains(window));
    QVERIFY(hiddenLines > 0);
}

void TestMessageBox::title_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty title") << "" << "Calvetrin Glintora";
    QTest::newRow("own title") << "Stop" << "Stop";
}

void TestMessageBox::title()
{
    QFETCH(QString, given);
    QFETCH(QString, shown);
    for (bool utf8 : {false, true}) {
        QString title;
        QRect titleRect;
        ModalWatchdog dog;
        dog.expect(kBox, kBox, ModalWatchdog::inspectThen([&](QWidget *modal) {
            // The task switcher's name for the box is the one its band shows.
            QCOMPARE(modal->windowTitle(), shown);
            title = box(modal)->title();
            titleRect = box(modal)->titleRect();
        }, ModalWatchdog::pressKey(Qt::Key_Escape)));
        if (utf8)
            ShowMessage("text", given.isEmpty() ? nullptr : given.toUtf8().constData(), 0, false);
        else
            ShowMessage(QStringLiteral("text"), given, 0, false);
        GLINTORA_VERIFY_WATCHDOG(dog);
        QCOMPARE(title, shown);
        QCOMPARE(titleRect, QRect(QPoint(33, 7), QPoint(262 - 34, 28)));
    }
}

void TestMessageBox::stayOnTop_data()
{
    QTest::addColumn<bool>("onTop");
    QTest::newRow("on top") << true;
    QTest::newRow("normal") << false;
}

void TestMessageBox::stayOnTop()
{
    QFETCH(bool, onTop);
    Qt::WindowFlags flags;
    ModalWatchdog dog;
    dog.expect(kBox, kBox, ModalWatchdog::inspectThen([&](QWidget *modal) { flags = modal->windowFlags(); },
                                                      ModalWatchdog::pressKey(Qt::Key_Escape)));
    ShowMessage(QStringLiteral("text"), QString(), 0, onTop);
    GLINTORA_VERIFY_WATCHDOG(dog);
    QVERIFY(flags & Qt::FramelessWindowHint);
    QCOMPARE(bool(flags & Qt::WindowStaysOnTopHint), onTop);
}

// The store's word that a file of its own does not parse reaches the user once, naming it.
void TestMessageBox::unparsableFileIsToldOnce()
{
    const QString settings = QIAnyUtil::getAppDataPath() + "/VideoDefaultSetting.xml";
    QFile file(settings);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<ROOTITEM>") > 0);
    file.close();
    StoreNotice::Install();
    QString message;
    ModalWatchdog dog;
    dog.expect(kBox, kBox, ModalWatchdog::inspectThen([&message](QWidget *modal) { message = box(modal)->message(); },
                                                      ModalWatchdog::clickButton("m_btnOk")));
    QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y");
    QVideoSettingXml::SetItemValue("CLOSE_ITEM", "bIsCloseDlg", "N");
    QTRY_COMPARE(dog.handledSteps(), 1);
    QCoreApplication::processEvents(); // a second box would come now
    QStoreFile::setTroubleNotice({});
    QFile::remove(settings);
    QVERIFY2(message.contains(settings), qPrintable(message));
    GLINTORA_VERIFY_WATCHDOG(dog);
}

GLINTORA_TEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
