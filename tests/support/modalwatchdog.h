#pragma once

#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Keeps a test from hanging in a modal exec(): a timer looks for the active modal
// widget and acts on it as the test scripted, one step per sighting, in order. A modal
// that matches no pending step, and every QMessageBox, is rejected and recorded as a
// failure.
class ModalWatchdog : public QObject
{
    Q_OBJECT

public:
    using Action = std::function<void(QWidget *modal)>;

    explicit ModalWatchdog(QObject *parent = nullptr);
    ~ModalWatchdog() override;

    // className matches through QObject::inherits; an empty objectName matches any.
    void expect(const QString &className, const QString &objectName, Action action);
    // A modal that closes by itself (a progress dialog): the step waits until it is
    // hidden, and one gone before the step ran is no failure.
    void expectSelfClosing(const QString &className);

    // Clicks the visible, enabled button of that object name with the mouse.
    static Action clickButton(const QString &buttonName);
    static Action pressKey(int key);
    static Action reject();
    static Action doneWith(int result);
    // Inspects the modal first, then acts on it.
    static Action inspectThen(std::function<void(QWidget *)> inspect, Action action);

    int pendingSteps() const;
    int handledSteps() const;
    QStringList failures() const;
    // Failures and steps never reached, one per line; empty when the script ran clean.
    QString report() const;

private:
    struct Step
    {
        QString className;
        QString objectName;
        Action action;
        bool closesItself = false;
    };

    void poll();
    bool matches(const Step &step, QWidget *modal) const;
    void refuse(QWidget *modal, const QString &why);

    QTimer m_timer;
    QQueue<Step> m_steps;
    QStringList m_failures;
    int m_handled = 0;
    bool m_dispatched = false;
    // The modal whose action is running: it may stay open while the action waits on it.
    QPointer<QWidget> m_acting;
};

// Fails the running test function when the watchdog met anything unscripted.
#define GLINTORA_VERIFY_WATCHDOG(dog) QVERIFY2((dog).report().isEmpty(), qPrintable((dog).report()))
