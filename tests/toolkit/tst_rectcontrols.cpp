#include "qzvbaserectimagedraw.h"
#include "qzvlineedit.h"
#include "qzvtextedit.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QSignalSpy>
#include <QTextEdit>
#include <QValidator>

using namespace SkinFixtures;

namespace {

// A plain widget hosting the rectangle mixin, counting its update requests.
class RectHost : public QWidget, public QZVBaseRectImageDraw
{
public:
    RectHost()
        : QZVBaseRectImageDraw(this)
    {
    }
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        QZVBaseRectImageDraw::paintEvent(event);
    }
    void enterEvent(QEvent *event) override { enterEventDraw(event); }
    void mousePressEvent(QMouseEvent *event) override { mousePressEventDraw(event); }
};

const QList<QColor> kFrames = {QColor(250, 250, 250), QColor(200, 230, 255), QColor(255, 218, 43),
                               QColor(160, 160, 160)};

}

class TestRectControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nothingWithoutBackground();
    void textInsideMargins();
    void sameTextUpdatesOnce();
    void buttonModeFramePerState_data();
    void buttonModeFramePerState();
    void iconCentredAtHalfSize();
    void unreadableBackgroundIsNoSkin();
    void numbersOnly_data();
    void numbersOnly();
    void placeholderColourOnlyWhileEmptyAndUnfocused();
    void lineEditSkinDropsFrame();
    void textEditInnerGeometry();
    void textEditRelaysWholeText();

private:
    QTemporaryDir m_dir;
    QString m_strip;
    QString m_field;
};

void TestRectControls::initTestCase()
{
    initToolkitTestEnvironment();
    m_strip = save(m_dir, "strip.png", solidStrip(kFrames, QSize(60, 40)));
    m_field = save(m_dir, "field.png", solid(QSize(60, 40), Qt::white));
}

void TestRectControls::nothingWithoutBackground()
{
    RectHost host;
    host.resize(120, 28);
    host.setDrawText(QStringLiteral("Preset"));
    QVERIFY(host.setRectIcon(solid(QSize(20, 20), Qt::red)));
    QVERIFY(!host.setBackgroundImage(m_dir.filePath("missing.png")));
    QVERIFY(!host.isCustomDraw());
    QVERIFY(inkBounds(render(host)).isEmpty());
}

void TestRectControls::textInsideMargins()
{
    RectHost host;
    host.resize(120, 28);
    QVERIFY(host.setBackgroundImage(QImage(solid(QSize(60, 40), Qt::transparent))));
    host.setDrawTextMargins(8, 0, 24, 0);
    QCOMPARE(host.drawTextMargins(), QMargins(8, 0, 24, 0));
    host.setTextColor(Qt::black);
    host.setDrawText(QStringLiteral("A long text that surely needs eliding"));
    const QRect ink = inkBounds(render(host));
    QVERIFY(!ink.isEmpty());
    QVERIFY(QRect(8, 0, 88, 28).contains(ink));
}

void TestRectControls::sameTextUpdatesOnce()
{
    RectHost host;
    host.resize(120, 28);
    QVERIFY(host.setBackgroundImage(m_field));
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QCoreApplication::processEvents();
    const int before = host.paints;
    host.setDrawText(QStringLiteral("MP4"));
    QCoreApplication::processEvents();
    host.setDrawText(QStringLiteral("MP4"));
    QCoreApplication::processEvents();
    QCOMPARE(host.paints, before + 1);
}

void TestRectControls::buttonModeFramePerState_data()
{
    QTest::addColumn<int>("event");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("frame");
    QTest::newRow("normal") << int(QEvent::None) << false << 0;
    QTest::newRow("hover") << int(QEvent::Enter) << false << 1;
    QTest::newRow("pressed") << int(QEvent::MouseButtonPress) << false << 2;
    QTest::newRow("checked at rest") << int(QEvent::None) << true << 2;
    QTest::newRow("checked under hover") << int(QEvent::Enter) << true << 2;
}

void TestRectControls::buttonModeFramePerState()
{
    QFETCH(int, event);
    QFETCH(bool, checked);
    QFETCH(int, frame);
    RectHost host;
    host.resize(90, 30);
    QVERIFY(host.setBackgroundImage(m_strip));
    host.setBtnMode(true);
    host.setCheckState(checked);
    host.setTextColor(Qt::black, Qt::blue, Qt::red, Qt::gray);
    if (event == QEvent::Enter) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&host, &enter);
    } else if (event == QEvent::MouseButtonPress) {
        sendMouse(host, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    }
    QVERIFY(near(render(host).pixelColor(45, 15), kFrames.at(frame)));
}

void TestRectControls::iconCentredAtHalfSize()
{
    RectHost host;
    host.resize(100, 24);
    QVERIFY(host.setBackgroundImage(QImage(solid(QSize(60, 40), Qt::transparent))));
    QVERIFY(host.setRectIcon(solid(QSize(32, 32), Qt::red)));
    QCOMPARE(inkBounds(render(host)), QRect(0, 4, 16, 16));
}

void TestRectControls::unreadableBackgroundIsNoSkin()
{
    QZVLineEdit edit;
    const QMargins native = edit.textMargins();
    QVERIFY(!edit.setBackgroundImage(corruptFile(m_dir, "broken.png")));
    QVERIFY(!edit.isCustomDraw());
    QVERIFY(edit.styleSheet().isEmpty());
    QCOMPARE(edit.textMargins(), native);
}

void TestRectControls::numbersOnly_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("state");
    QTest::newRow("minus") << "-1" << int(QValidator::Invalid);
    QTest::newRow("letter") << "a" << int(QValidator::Invalid);
    QTest::newRow("zeros") << "000" << int(QValidator::Intermediate);
    QTest::newRow("leading zeros") << "007" << int(QValidator::Acceptable);
    QTest::newRow("plain") << "1920" << int(QValidator::Acceptable);
}

void TestRectControls::numbersOnly()
{
    QFETCH(QString, input);
    QFETCH(int, state);
    QZVLineEdit edit;
    edit.onlyInputNumber();
    int pos = 0;
    QCOMPARE(int(edit.validator()->validate(input, pos)), state);
}

void TestRectControls::placeholderColourOnlyWhileEmptyAndUnfocused()
{
    QWidget window;
    QZVLineEdit *edit = new QZVLineEdit(&window);
    QLineEdit *other = new QLineEdit(&window);
    other->move(0, 40);
    edit->setPlaceholderText(QStringLiteral("Search"));
    const QColor typed = edit->palette().color(QPalette::Text);
    const QColor placeholder(180, 180, 180);
    edit->setPlaceholderTextColor(placeholder, true);
    QCOMPARE(edit->palette().color(QPalette::Text), placeholder);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(edit->palette().color(QPalette::Text), typed);
    QVERIFY(edit->placeholderText().isEmpty());
    QTest::keyClicks(edit, QStringLiteral("abc"));
    other->setFocus();
    QTRY_VERIFY(!edit->hasFocus());
    QCOMPARE(edit->palette().color(QPalette::Text), typed);
    edit->clear();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    other->setFocus();
    QTRY_VERIFY(!edit->hasFocus());
    QCOMPARE(edit->palette().color(QPalette::Text), placeholder);
    QCOMPARE(edit->placeholderText(), QStringLiteral("Search"));
}

void TestRectControls::lineEditSkinDropsFrame()
{
    QZVLineEdit edit;
    QVERIFY(edit.setBackgroundImage(m_field));
    QVERIFY(edit.styleSheet().contains(QStringLiteral("border:none")));
    QCOMPARE(edit.textMargins(), QMargins(3, 0, 2, 0));
    edit.onlyInputNumber();
    edit.setText(QStringLiteral("12345678901234"));
    QCOMPARE(edit.text().size(), 9);
    bool ok = false;
    edit.text().toInt(&ok);
    QVERIFY(ok);
}

void TestRectControls::textEditInnerGeometry()
{
    QZVTextEdit edit;
    edit.resize(200, 60);
    QVERIFY(edit.setBackgroundImage(m_field));
    QVERIFY(edit.textEdit()->styleSheet().contains(QStringLiteral("border:none")));
    edit.setEditMargins(4, 3, 4, 3);
    render(edit);
    QCOMPARE(edit.textEdit()->geometry(), QRect(4, 3, 192, 54));
}

void TestRectControls::textEditRelaysWholeText()
{
    QZVTextEdit edit;
    edit.resize(200, 60);
    QSignalSpy changed(&edit, &QZVTextEdit::textChanged);
    edit.textEdit()->setPlainText(QStringLiteral("ab"));
    QCOMPARE(changed.count(), 1);
    QTest::keyClick(edit.textEdit(), Qt::Key_C);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("cab"));
}

GLINTORA_TEST_MAIN(TestRectControls)
#include "tst_rectcontrols.moc"
