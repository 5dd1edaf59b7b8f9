#include "retractlabel.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QLineEdit>
#include <QSignalSpy>

// The row's name label: cut to fit with "...", renamed in place.
class TestRetractLabel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cutToFit_data();
    void cutToFit();
    void tooLowLabelOnlyStoresName_data();
    void tooLowLabelOnlyStoresName();
    void forbiddenCharacterIsRefused_data();
    void forbiddenCharacterIsRefused();
    void commit_data();
    void commit();
    void editorIsMadeOnce();
    void deactivationHidesEditor();
    void escapeKeepsTheName();
};

namespace {

bool fitsLabel(const QFontMetrics &metrics, const QSize &size, const QString &text)
{
    return metrics.boundingRect(QRect(0, 0, size.width(), 0), Qt::TextWrapAnywhere, text).height()
        <= size.height();
}

// The longest prefix plus "..." that fits, by the label's own font metrics.
QString expectedCut(const QFontMetrics &metrics, const QSize &size, const QString &name)
{
    if (fitsLabel(metrics, size, name))
        return name;
    for (int keep = name.size() - 1; keep > 0; --keep) {
        const QString candidate = name.left(keep) + QStringLiteral("...");
        if (fitsLabel(metrics, size, candidate))
            return candidate;
    }
    return QStringLiteral("...");
}

QLineEdit *openEditor(RetractLabel &label)
{
    label.setCanEditText(true);
    QWidget *host = label.parentWidget() ? label.parentWidget() : &label;
    return host->findChild<QLineEdit *>();
}

}

void TestRetractLabel::initTestCase()
{
    SkinFixtures::initToolkitTestEnvironment();
}

void TestRetractLabel::cutToFit_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("name");
    QTest::newRow("fits") << QSize(200, 20) << "clip.mov";
    QTest::newRow("long name") << QSize(80, 20) << "a-rather-long-holiday-movie-name.mov";
    QTest::newRow("two lines high") << QSize(80, 34) << "a-rather-long-holiday-movie-name-that-wraps.mov";
    // Not even "..." fits one pixel: the cutting still ends.
    QTest::newRow("one pixel wide") << QSize(1, 20) << "clip.mov";
    QTest::newRow("empty") << QSize(80, 20) << "";
}

void TestRetractLabel::cutToFit()
{
    QFETCH(QSize, size);
    QFETCH(QString, name);
    RetractLabel label;
    label.resize(size);
    label.setText(name);
    const QFontMetrics metrics(label.font());
    QCOMPARE(label.font().pixelSize(), 13);
    QCOMPARE(label.getName(), name);
    const QString shown = expectedCut(metrics, size, name);
    QCOMPARE(label.text(), shown);
    QCOMPARE(label.toolTip(), shown == name ? QString() : name);
    QCOMPARE(label.getTextWidth(),
             metrics.boundingRect(QRect(0, 0, size.width(), 0), Qt::TextWrapAnywhere, shown).width());
}

void TestRetractLabel::tooLowLabelOnlyStoresName_data()
{
    QTest::addColumn<int>("height");
    QTest::newRow("zero height") << 0;
    QTest::newRow("lower than a line") << 5;
}

void TestRetractLabel::tooLowLabelOnlyStoresName()
{
    QFETCH(int, height);
    RetractLabel label;
    label.resize(100, height);
    label.QLabel::setText(QStringLiteral("before"));
    label.setText(QStringLiteral("after.mov"));
    QCOMPARE(label.getName(), QStringLiteral("after.mov"));
    QCOMPARE(label.text(), QStringLiteral("before"));
    QCOMPARE(label.getTextWidth(), -1);
}

void TestRetractLabel::forbiddenCharacterIsRefused_data()
{
    QTest::addColumn<QString>("character");
    for (const char *c : {"/", ":", "*", "\"", "<", ">", "|", "?", "\\"})
        QTest::newRow(c) << QString::fromLatin1(c);
}

void TestRetractLabel::forbiddenCharacterIsRefused()
{
    QFETCH(QString, character);
    RetractLabel label;
    label.resize(120, 20);
    label.setText(QStringLiteral("clip.mov"));
    QLineEdit *editor = openEditor(label);
    QVERIFY(editor);
    editor->setText(QStringLiteral("clip2"));
    editor->setText(QStringLiteral("clip2") + character + QStringLiteral("x"));
    QCOMPARE(editor->text(), QStringLiteral("clip2"));
}

void TestRetractLabel::commit_data()
{
    QTest::addColumn<bool>("ignoreExtension");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("editable");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("emits");
    QTest::newRow("new name keeps extension") << true << "clip.mov" << "clip" << "holiday" << "holiday.mov" << true;
    QTest::newRow("unchanged name is silent") << true << "clip.mov" << "clip" << "clip" << "clip.mov" << false;
    QTest::newRow("last dot only") << true << "a.b.c" << "a.b" << "x" << "x.c" << true;
    QTest::newRow("no extension") << true << "noext" << "noext" << "other" << "other" << true;
    QTest::newRow("empty name keeps extension") << true << "clip.mov" << "clip" << "" << ".mov" << true;
    QTest::newRow("whole name, unchanged") << false << "clip.mov" << "clip.mov" << "clip.mov" << "clip.mov" << true;
    QTest::newRow("whole name, changed") << false << "clip.mov" << "clip.mov" << "b.mp4" << "b.mp4" << true;
}

void TestRetractLabel::commit()
{
    QFETCH(bool, ignoreExtension);
    QFETCH(QString, name);
    QFETCH(QString, editable);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(bool, emits);
    QWidget window;
    auto *label = new RetractLabel(&window);
    label->setIgnoreExten(ignoreExtension);
    label->setGeometry(10, 30, 160, 17);
    label->setText(name);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy changed(label, &RetractLabel::emitChangeName);
    QLineEdit *editor = openEditor(*label);
    QCOMPARE(editor->text(), editable);
    QCOMPARE(editor->selectedText(), editable);
    // As wide as the label and tall enough for its frame and the text's descenders.
    QCOMPARE(editor->width(), 160);
    QVERIFY(editor->height() >= editor->sizeHint().height());
    QCOMPARE(editor->geometry().center().y(), label->geometry().center().y());
    editor->setText(typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(!editor->isVisible());
    QCOMPARE(label->getName(), expected);
    if (ignoreExtension)
        QCOMPARE(changed.count(), emits ? 1 : 0);
    else
        QVERIFY(changed.count() >= 1);
    // The shown text waits for the receiver to set the name again.
    QCOMPARE(label->text(), name);
}

void TestRetractLabel::editorIsMadeOnce()
{
    RetractLabel label;
    label.resize(120, 20);
    label.setText(QStringLiteral("clip.mov"));
    label.setCanEditText(true);
    label.setCanEditText(false);
    QCOMPARE(label.findChildren<QLineEdit *>().size(), 1);
}

void TestRetractLabel::deactivationHidesEditor()
{
    QWidget window;
    auto *label = new RetractLabel(&window);
    label->resize(120, 20);
    label->setText(QStringLiteral("clip.mov"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLineEdit *editor = openEditor(*label);
    QVERIFY(editor->isVisible());
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(label, &deactivate);
    QVERIFY(!editor->isVisible());
}

// As the row uses it: the whole name edited, the label widened once the pointer leaves the
// row and its rename button hides.
void TestRetractLabel::escapeKeepsTheName()
{
    QWidget window;
    auto *label = new RetractLabel(&window);
    label->setIgnoreExten(false);
    label->setGeometry(10, 30, 160, 17);
    label->setText(QStringLiteral("clip.mov"));
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy changed(label, &RetractLabel::emitChangeName);
    QLineEdit *editor = openEditor(*label);
    label->setFixedWidth(185);
    QCOMPARE(editor->geometry().right(), label->geometry().right());
    QTest::keyClicks(editor, QStringLiteral("holiday"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!editor->isVisible());
    QCOMPARE(label->getName(), QStringLiteral("clip.mov"));
    QCOMPARE(changed.count(), 0);
}

GLINTORA_TEST_MAIN(TestRetractLabel)
#include "tst_retractlabel.moc"
