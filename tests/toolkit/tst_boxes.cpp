#include "qzvcheckbox.h"
#include "qzvradiobutton.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QButtonGroup>

using namespace SkinFixtures;

class TestBoxes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void checkRectFromImage_data();
    void checkRectFromImage();
    void boxCentredOnTallHost();
    void statePicksImage_data();
    void statePicksImage();
    void disabledShowsRightHalf();
    void adjustSizeFitsText();
    void longTextIsElided();
    void pressAnywhereToggles();
    void missingCheckedKeepsImages();
    void unreadableUncheckedDrawsNothing();
    void nullUncheckedDropsOwnedImages();
    void radioButtonModeInGroup();
    void radioWithoutImagesPaintedByQt();

private:
    QTemporaryDir m_dir;
    QString m_checked;
    QString m_unchecked;
    QString m_partial;
};

namespace {

const QColor kOn(0, 160, 0);
const QColor kOnDisabled(0, 60, 0);
const QColor kOff(200, 0, 0);
const QColor kOffDisabled(90, 0, 0);
const QColor kPartial(0, 0, 220);

}

void TestBoxes::initTestCase()
{
    initToolkitTestEnvironment();
    // Two frames each: enabled left, disabled right; 64 x 32 pixels = 16 x 16 logical.
    m_checked = save(m_dir, "on.png", solidStrip({kOn, kOnDisabled}, QSize(32, 32)));
    m_unchecked = save(m_dir, "off.png", solidStrip({kOff, kOffDisabled}, QSize(32, 32)));
    m_partial = save(m_dir, "part.png", solidStrip({kPartial, kPartial}, QSize(32, 32)));
}

void TestBoxes::checkRectFromImage_data()
{
    QTest::addColumn<bool>("twoFrames");
    QTest::addColumn<int>("boxWidth");
    QTest::addColumn<QColor>("rightEdge");
    QTest::newRow("two frames") << true << 16 << kOff;
    // One frame: the whole image, disabled half included, fills the box.
    QTest::newRow("one frame") << false << 32 << kOffDisabled;
}

void TestBoxes::checkRectFromImage()
{
    QFETCH(bool, twoFrames);
    QFETCH(int, boxWidth);
    QFETCH(QColor, rightEdge);
    QZVCheckBox box;
    box.resize(120, 8);
    box.setCheckImage(m_checked, m_unchecked, QString(), twoFrames);
    QVERIFY(box.isCustomDraw());
    QCOMPARE(box.height(), 16);
    box.setText(QStringLiteral("Keep"));
    const QImage image = render(box);
    QVERIFY(near(image.pixelColor(boxWidth - 1, 8), rightEdge));
    // The text starts 5 pixels right of the box.
    const QRect text = inkBounds(image.copy(boxWidth, 0, 120 - boxWidth, 16));
    QVERIFY2(text.left() >= 5 && text.left() <= 7, qPrintable(QString::number(text.left())));
}

void TestBoxes::boxCentredOnTallHost()
{
    QZVCheckBox box;
    box.resize(40, 30);
    box.setCheckImage(m_checked, m_unchecked, QString(), true);
    const QRect ink = inkBounds(render(box));
    QCOMPARE(ink, QRect(0, 7, 16, 16));
}

void TestBoxes::statePicksImage_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("unchecked") << int(Qt::Unchecked) << kOff;
    QTest::newRow("partial") << int(Qt::PartiallyChecked) << kPartial;
    QTest::newRow("checked") << int(Qt::Checked) << kOn;
}

void TestBoxes::statePicksImage()
{
    QFETCH(int, state);
    QFETCH(QColor, colour);
    QZVCheckBox box;
    box.setTristate(true);
    box.setCheckImage(m_checked, m_unchecked, m_partial, true);
    box.setCheckState(Qt::CheckState(state));
    QVERIFY(near(render(box).pixelColor(8, box.height() / 2), colour));
}

void TestBoxes::disabledShowsRightHalf()
{
    QZVCheckBox box;
    box.setCheckImage(m_checked, m_unchecked, QString(), true);
    box.setChecked(true);
    box.setEnabled(false);
    QVERIFY(near(render(box).pixelColor(8, box.height() / 2), kOnDisabled));
}

void TestBoxes::adjustSizeFitsText()
{
    QZVCheckBox box;
    box.setCheckImage(m_checked, m_unchecked, QString(), true);
    box.adjustSize();
    const QFontMetrics metrics(box.font());
    QCOMPARE(box.size(), QSize(16, std::max(16, metrics.height())));
    box.setText(QStringLiteral("Output all images"));
    box.adjustSize();
    QCOMPARE(box.width(), 16 + 5 + metrics.horizontalAdvance(box.text()));

    // Sized to fit, the text shows whole, as in a box wider than it needs.
    QFont font = box.font();
    font.setPixelSize(13);
    QZVCheckBox wide;
    for (QZVCheckBox *each : {&box, &wide}) {
        each->setCheckImage(m_checked, m_unchecked, QString(), true);
        each->setFont(font);
        each->setText(QStringLiteral("Keep aspect ratio"));
        each->adjustSize();
    }
    wide.resize(box.width() + 40, box.height());
    QCOMPARE(render(box), render(wide).copy(box.rect()));
}

void TestBoxes::longTextIsElided()
{
    QZVCheckBox box;
    box.setCheckImage(m_checked, m_unchecked, QString(), true);
    box.setText(QStringLiteral("A very long label that cannot fit into the box at all"));
    box.resize(90, 16);
    const QRect ink = inkBounds(render(box));
    QVERIFY(ink.right() < 90);
    QVERIFY(ink.right() > 60);
}

void TestBoxes::pressAnywhereToggles()
{
    QZVCheckBox box;
    box.setCheckImage(m_checked, m_unchecked, QString(), true);
    box.setText(QStringLiteral("Keep"));
    box.resize(200, 16);
    QSignalSpy toggled(&box, &QAbstractButton::toggled);
    sendMouse(box, QEvent::MouseButtonPress, QPoint(190, 8), Qt::LeftButton, Qt::LeftButton);
    sendMouse(box, QEvent::MouseButtonRelease, QPoint(190, 8), Qt::LeftButton, Qt::NoButton);
    QVERIFY(box.isChecked());
    QCOMPARE(toggled.count(), 1);
}

void TestBoxes::missingCheckedKeepsImages()
{
    QZVCheckBox box;
    box.setCheckImage(m_checked, m_unchecked, QString(), true);
    box.setCheckImage(m_dir.filePath("missing.png"), m_unchecked, QString(), false);
    box.setCheckImage(corruptFile(m_dir, "broken.png"), m_unchecked, QString(), false);
    QVERIFY(box.isCustomDraw());
    QVERIFY(near(render(box).pixelColor(8, 8), kOff));
}

void TestBoxes::unreadableUncheckedDrawsNothing()
{
    QZVCheckBox box;
    box.resize(30, 16);
    box.setCheckImage(m_checked, m_dir.filePath("missing.png"), QString(), true);
    QVERIFY(box.isCustomDraw());
    QVERIFY(inkBounds(render(box)).isEmpty());
    box.setChecked(true);
    QVERIFY(near(render(box).pixelColor(8, 8), kOn));
}

void TestBoxes::nullUncheckedDropsOwnedImages()
{
    QZVCheckBox box;
    box.setCheckImage(m_checked, m_unchecked, QString(), true);
    QImage checked(m_checked);
    box.setCheckImage(&checked, nullptr, nullptr, true, true);
    QVERIFY(!box.isCustomDraw());
}

void TestBoxes::radioButtonModeInGroup()
{
    const QString strip = save(m_dir, "tab.png", solidStrip({Qt::white, Qt::gray, Qt::yellow, Qt::black}, QSize(120, 40)));
    QWidget parent;
    QZVRadioButton *first = new QZVRadioButton(&parent);
    QZVRadioButton *second = new QZVRadioButton(&parent);
    QButtonGroup group;
    group.addButton(first);
    group.addButton(second);
    first->setCheckImage(strip, QString(), true, false);
    second->setCheckImage(strip, QString(), true, false);
    QCOMPARE(first->size(), QSize(60, 20));
    first->adjustSize();
    QCOMPARE(first->size(), QSize(60, 20));
    first->setChecked(true);

    // The checked option stays checked when pressed again; the other one takes over.
    sendMouse(*first, QEvent::MouseButtonPress, QPoint(30, 10), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(first->isChecked());
    sendMouse(*first, QEvent::MouseButtonRelease, QPoint(30, 10), Qt::LeftButton, Qt::NoButton);
    QVERIFY(first->isChecked());
    sendMouse(*second, QEvent::MouseButtonPress, QPoint(30, 10), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(second->isChecked());
    QVERIFY(!first->isChecked());
    QVERIFY(near(render(*second).pixelColor(30, 10), Qt::yellow));
    sendMouse(*second, QEvent::MouseButtonRelease, QPoint(30, 10), Qt::LeftButton, Qt::NoButton);
    QVERIFY(second->isChecked());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(first, &leave);
    QVERIFY(near(render(*first).pixelColor(30, 10), Qt::white));
}

void TestBoxes::radioWithoutImagesPaintedByQt()
{
    QZVRadioButton radio;
    radio.setText(QStringLiteral("Sleep"));
    radio.resize(100, 20);
    QVERIFY(!inkBounds(render(radio)).isEmpty());
    radio.setCheckImage(m_checked, m_unchecked, false, true);
    radio.setChecked(true);
    QVERIFY(near(render(radio).pixelColor(8, 10), kOn));
}

GLINTORA_TEST_MAIN(TestBoxes)
#include "tst_boxes.moc"
