#include "modalwatchdog.h"
#include "qloadingdlg.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QSignalSpy>
#include <QThread>

// The import's modal progress dialog: texts, layout, stop requests, values from a worker.
class TestLoadingDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsEmpty();
    void layout();
    void pathIsElidedInTheMiddle_data();
    void pathIsElidedInTheMiddle();
    void closing_data();
    void closing();
    void workerValuesArriveInOrder();
    void pendingValuesDieWithDialog();
};

namespace {

void showDialog(QLoadingDlg &dialog)
{
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
}

}

void TestLoadingDlg::initTestCase()
{
    SkinFixtures::initToolkitTestEnvironment();
}

void TestLoadingDlg::startsEmpty()
{
    QLoadingDlg dialog;
    QCOMPARE(dialog.m_labAddingPath_2->text(), QStringLiteral("UnKown"));
    QCOMPARE(dialog.m_labAdded_2->text(), QStringLiteral("0/0"));
    QCOMPARE(dialog.m_progressBar->value(), 0.0);
    QCOMPARE(dialog.m_labAddingPath->text(), QStringLiteral("Adding File(s):"));
    QCOMPARE(dialog.m_labAdded->text(), QStringLiteral("Added:"));
    QCOMPARE(dialog.m_btnCancel->text(), QStringLiteral("Cancel"));
    QCOMPARE(dialog.size(), QSize(440, 170));
}

void TestLoadingDlg::layout()
{
    QLoadingDlg dialog;
    showDialog(dialog);
    const QRect added = dialog.m_labAdded->geometry();
    QCOMPARE(added.topLeft(), QPoint(30, 71));
    QCOMPARE(dialog.m_labAdded_2->geometry(), QRect(added.right() + 5, 71, 100, added.height()));
    const QRect caption = dialog.m_labAddingPath->geometry();
    QCOMPARE(caption.topLeft(), QPoint(30, 46));
    QCOMPARE(dialog.m_labAddingPath_2->geometry(),
             QRect(QPoint(caption.right() + 5, 46), QPoint(440 - 31, 46 + caption.height() - 1)));
    // The toolkit's bar grows to its track image's pixel height when it paints.
    dialog.resetControlLocation();
    QCOMPARE(dialog.m_progressBar->geometry(), QRect(30, 96, 380, 4));
    QCOMPARE(dialog.m_btnCancel->geometry(), QRect(440 - 30 - 100, 130, 100, 24));
    QCOMPARE(dialog.m_labAdded_2->font().pixelSize(), 11);
    QCOMPARE(dialog.m_labAdded_2->palette().color(QPalette::WindowText), QColor(53, 53, 53));
}

void TestLoadingDlg::pathIsElidedInTheMiddle_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("short") << "/home/me/a.mov";
    QTest::newRow("long") << "/home/me/" + QStringLiteral("Holiday/").repeated(20) + "IMG_0001.MOV";
}

void TestLoadingDlg::pathIsElidedInTheMiddle()
{
    QFETCH(QString, path);
    QLoadingDlg dialog;
    showDialog(dialog);
    dialog.setAddFilePath(path);
    dialog.setAddCount(QStringLiteral("4/10"));
    QTRY_COMPARE(dialog.m_labAdded_2->text(), QStringLiteral("4/10"));
    QLabel *label = dialog.m_labAddingPath_2;
    const QString shown = label->text();
    QCOMPARE(shown, label->fontMetrics().elidedText(path, Qt::ElideMiddle, label->width()));
    if (label->fontMetrics().horizontalAdvance(path) <= label->width()) {
        QCOMPARE(shown, path);
    } else {
        QVERIFY(shown.contains(QChar(0x2026)));
        QVERIFY(shown.startsWith(QStringLiteral("/home")));
        QVERIFY(shown.endsWith(QStringLiteral("0001.MOV")));
    }
}

void TestLoadingDlg::closing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("stops");
    QTest::newRow("Cancel") << "m_btnCancel" << 1;
    QTest::newRow("title close") << "m_btnTitleClose" << 1;
    // A dismissed import must not go on behind the user's back.
    QTest::newRow("Escape") << "" << 1;
}

void TestLoadingDlg::closing()
{
    QFETCH(QString, button);
    QFETCH(int, stops);
    QLoadingDlg dialog;
    QSignalSpy stopped(&dialog, &QLoadingDlg::seedStopAddFile);
    ModalWatchdog dog;
    dog.expect(QStringLiteral("QLoadingDlg"), QStringLiteral("QLoadingDlg"),
               button.isEmpty() ? ModalWatchdog::pressKey(Qt::Key_Escape) : ModalWatchdog::clickButton(button));
    QCOMPARE(dialog.exec(), 0);
    GLINTORA_VERIFY_WATCHDOG(dog);
    QCOMPARE(stopped.count(), stops);
    QVERIFY(!dialog.isVisible());
}

void TestLoadingDlg::workerValuesArriveInOrder()
{
    QLoadingDlg dialog;
    showDialog(dialog);
    QList<double> shown;
    connect(dialog.m_progressBar, &QZVBaseProgress::valueChanged, [&shown](double value) { shown.append(value); });
    const int count = 1000;
    QThread *worker = QThread::create([&dialog] {
        for (int i = 1; i <= count; ++i) {
            dialog.setAddCount(QStringLiteral("%1/%2").arg(i).arg(count));
            dialog.setProgressVale(float(i) / 10.0f);
            dialog.setAddFilePath(QStringLiteral("/tmp/clip%1.mov").arg(i));
        }
    });
    worker->start();
    QVERIFY(worker->wait(60000));
    delete worker;
    QTRY_COMPARE(dialog.m_labAdded_2->text(), QStringLiteral("1000/1000"));
    QCOMPARE(dialog.m_labAddingPath_2->text(), QStringLiteral("/tmp/clip1000.mov"));
    QCOMPARE(dialog.m_progressBar->value(), 100.0);
    QVERIFY(!shown.isEmpty());
    QVERIFY(std::is_sorted(shown.cbegin(), shown.cend()));
}

void TestLoadingDlg::pendingValuesDieWithDialog()
{
    auto *dialog = new QLoadingDlg;
    for (int i = 0; i < 50; ++i)
        dialog->setAddCount(QString::number(i));
    delete dialog;
    // The values still queued for the deleted dialog are dropped, not delivered.
    QCoreApplication::processEvents();
}

GLINTORA_TEST_MAIN(TestLoadingDlg)
#include "tst_loadingdlg.moc"
