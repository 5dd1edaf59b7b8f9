#include "modalwatchdog.h"
#include "testhome.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

// The watchdog acts on modals as scripted and lets no unscripted one hang a test.
class TestModalWatchdog : public QObject
{
    Q_OBJECT

private slots:
    void scriptedStepsRunInOrder();
    void unexpectedModalIsRejected();
    void messageBoxIsAlwaysUnexpected();
    void nestedModalIsReached();
    void stepNeverReachedIsReported();
};

namespace {

QDialog *dialogWithButton(const QString &name, int result, QWidget *parent = nullptr)
{
    auto *dialog = new QDialog(parent);
    dialog->setObjectName(name);
    auto *button = new QPushButton(QStringLiteral("Go"), dialog);
    button->setObjectName(QStringLiteral("go"));
    QObject::connect(button, &QPushButton::clicked, dialog, [dialog, result] { dialog->done(result); });
    return dialog;
}

}

void TestModalWatchdog::scriptedStepsRunInOrder()
{
    QScopedPointer<QDialog> first(dialogWithButton(QStringLiteral("first"), 7));
    QScopedPointer<QDialog> second(dialogWithButton(QStringLiteral("second"), 9));
    ModalWatchdog dog;
    dog.expect(QStringLiteral("QDialog"), QStringLiteral("first"), ModalWatchdog::clickButton(QStringLiteral("go")));
    dog.expect(QStringLiteral("QDialog"), QStringLiteral("second"), ModalWatchdog::doneWith(3));
    QCOMPARE(first->exec(), 7);
    QCOMPARE(second->exec(), 3);
    QVERIFY(dog.report().isEmpty());
    QCOMPARE(dog.handledSteps(), 2);
}

void TestModalWatchdog::unexpectedModalIsRejected()
{
    QScopedPointer<QDialog> dialog(dialogWithButton(QStringLiteral("other"), 7));
    ModalWatchdog dog;
    dog.expect(QStringLiteral("QDialog"), QStringLiteral("wanted"), ModalWatchdog::reject());
    QCOMPARE(dialog->exec(), int(QDialog::Rejected));
    QCOMPARE(dog.failures().size(), 1);
    QVERIFY(dog.failures().first().contains(QStringLiteral("other")));
    QCOMPARE(dog.pendingSteps(), 1);
}

void TestModalWatchdog::messageBoxIsAlwaysUnexpected()
{
    ModalWatchdog dog;
    dog.expect(QStringLiteral("QMessageBox"), QString(), ModalWatchdog::doneWith(QMessageBox::Ok));
    QMessageBox::information(nullptr, QStringLiteral("title"), QStringLiteral("text"));
    QCOMPARE(dog.failures().size(), 1);
    QVERIFY(dog.failures().first().startsWith(QStringLiteral("unexpected message box")));
}

void TestModalWatchdog::nestedModalIsReached()
{
    QScopedPointer<QDialog> outer(dialogWithButton(QStringLiteral("outer"), 1));
    QDialog *inner = dialogWithButton(QStringLiteral("inner"), 5, outer.data());
    int innerResult = -1;
    ModalWatchdog dog;
    // The outer step opens the inner modal from inside the action.
    dog.expect(QStringLiteral("QDialog"), QStringLiteral("outer"), [&](QWidget *modal) {
        innerResult = inner->exec();
        static_cast<QDialog *>(modal)->done(2);
    });
    dog.expect(QStringLiteral("QDialog"), QStringLiteral("inner"), ModalWatchdog::clickButton(QStringLiteral("go")));
    QCOMPARE(outer->exec(), 2);
    QCOMPARE(innerResult, 5);
    QVERIFY(dog.report().isEmpty());
}

void TestModalWatchdog::stepNeverReachedIsReported()
{
    ModalWatchdog dog;
    dog.expect(QStringLiteral("QDialog"), QStringLiteral("missing"), ModalWatchdog::reject());
    QVERIFY(dog.report().contains(QStringLiteral("never shown")));
}

GLINTORA_TEST_MAIN(TestModalWatchdog)
#include "tst_modalwatchdog.moc"
