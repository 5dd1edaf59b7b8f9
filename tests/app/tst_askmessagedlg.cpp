#include "askmessagedlg.h"
#include "modalwatchdog.h"
#include "qconverteroperate.h"
#include "skinfixtures.h"
#include "testhome.h"

// The delete question: results per button and the placement of its controls.
class TestAskMessageDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void results_data();
    void results();
    void layout_data();
    void layout();
};

void TestAskMessageDlg::initTestCase()
{
    SkinFixtures::initToolkitTestEnvironment();
}

void TestAskMessageDlg::cleanup()
{
    QConverterOperate::setLanguageType(QStringLiteral("English"));
}

void TestAskMessageDlg::results_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("Cancel") << "m_btnCancel" << 0;
    QTest::newRow("title close") << "m_btnTitleClose" << 0;
    QTest::newRow("Escape") << "" << 0;
    QTest::newRow("Move files") << "m_btnMove" << 1;
    QTest::newRow("Delete files") << "m_btnDelete" << 2;
}

void TestAskMessageDlg::results()
{
    QFETCH(QString, button);
    QFETCH(int, result);
    AskMessageDlg dialog;
    dialog.setMsgText(QStringLiteral("Do you want to delete all files or just move the \nfiles from the list?"));
    ModalWatchdog dog;
    dog.expect(QStringLiteral("AskMessageDlg"), QStringLiteral("AskMessageDlg"),
               button.isEmpty() ? ModalWatchdog::pressKey(Qt::Key_Escape) : ModalWatchdog::clickButton(button));
    QCOMPARE(dialog.exec(), result);
    GLINTORA_VERIFY_WATCHDOG(dog);
}

void TestAskMessageDlg::layout_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("buttonWidth");
    QTest::newRow("English") << "English" << 80;
    QTest::newRow("German") << "German" << 110;
    QTest::newRow("Japanese") << "Japanese" << 110;
    QTest::newRow("Chinese") << "Chinese" << 80;
}

void TestAskMessageDlg::layout()
{
    QFETCH(QString, language);
    QFETCH(int, buttonWidth);
    QConverterOperate::setLanguageType(language);
    AskMessageDlg dialog;
    dialog.setMsgText(QStringLiteral("Do you want to delete the seleted files or just move \nthe files from the list?"));
    dialog.grab();
    QCOMPARE(dialog.size(), QSize(390, 175));
    QCOMPARE(dialog.m_labMsg->y(), 60);
    QCOMPARE(dialog.m_labMsg->x(), (390 - dialog.m_labMsg->width()) / 2);
    QVERIFY(dialog.m_labMsg->height() > dialog.m_labMsg->fontMetrics().height());
    QCOMPARE(dialog.m_btnCancel->geometry(), QRect(28, 130, 81, 24));
    QCOMPARE(dialog.m_btnMove->geometry(), QRect(390 - 28 - buttonWidth, 130, buttonWidth, 24));
    QCOMPARE(dialog.m_btnDelete->geometry(), QRect(390 - 28 - 16 - 2 * buttonWidth, 130, buttonWidth, 24));
    QCOMPARE(dialog.m_btnMove->font().pixelSize(), buttonWidth == 80 ? 13 : 11);
    QVERIFY(!dialog.findChild<QWidget *>(QStringLiteral("m_btnTitleMin"))->isEnabled());
    QVERIFY(!dialog.findChild<QWidget *>(QStringLiteral("m_btnTitleMax"))->isEnabled());
}

GLINTORA_TEST_MAIN(TestAskMessageDlg)
#include "tst_askmessagedlg.moc"
