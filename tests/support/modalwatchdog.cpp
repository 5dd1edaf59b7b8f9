#include "modalwatchdog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QtTest>

namespace {

const int kPollInterval = 10;

QString describe(const QWidget *modal)
{
    return QStringLiteral("%1 \"%2\"").arg(QLatin1String(modal->metaObject()->className()),
                                           modal->objectName());
}

} // namespace

ModalWatchdog::ModalWatchdog(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(kPollInterval);
    connect(&m_timer, &QTimer::timeout, this, &ModalWatchdog::poll);
    m_timer.start();
}

ModalWatchdog::~ModalWatchdog() = default;

void ModalWatchdog::expect(const QString &className, const QString &objectName, Action action)
{
    m_steps.enqueue({className, objectName, std::move(action)});
}

void ModalWatchdog::expectSelfClosing(const QString &className)
{
    const Action waitHidden = [](QWidget *modal) {
        QPointer<QWidget> dialog(modal);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog || !dialog->isVisible(), 120000);
    };
    m_steps.enqueue({className, QString(), waitHidden, true});
}

ModalWatchdog::Action ModalWatchdog::clickButton(const QString &buttonName)
{
    return [buttonName](QWidget *modal) {
        auto *button = modal->findChild<QAbstractButton *>(buttonName);
        if (!button || !button->isVisible() || !button->isEnabled()) {
            qWarning("ModalWatchdog: no visible, enabled button %s", qPrintable(buttonName));
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            return;
        }
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    };
}

ModalWatchdog::Action ModalWatchdog::pressKey(int key)
{
    return [key](QWidget *modal) { QTest::keyClick(modal, Qt::Key(key)); };
}

ModalWatchdog::Action ModalWatchdog::reject()
{
    return [](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    };
}

ModalWatchdog::Action ModalWatchdog::doneWith(int result)
{
    return [result](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->done(result);
        else
            modal->close();
    };
}

ModalWatchdog::Action ModalWatchdog::inspectThen(std::function<void(QWidget *)> inspect, Action action)
{
    return [inspect, action](QWidget *modal) {
        inspect(modal);
        action(modal);
    };
}

int ModalWatchdog::pendingSteps() const
{
    return m_steps.size();
}

int ModalWatchdog::handledSteps() const
{
    return m_handled;
}

QStringList ModalWatchdog::failures() const
{
    return m_failures;
}

QString ModalWatchdog::report() const
{
    QStringList lines = m_failures;
    for (const Step &step : m_steps)
        lines.append(QStringLiteral("never shown: %1 \"%2\"").arg(step.className, step.objectName));
    return lines.join(QLatin1Char('\n'));
}

bool ModalWatchdog::matches(const Step &step, QWidget *modal) const
{
    return modal->inherits(step.className.toLatin1().constData())
        && (step.objectName.isEmpty() || modal->objectName() == step.objectName);
}

void ModalWatchdog::refuse(QWidget *modal, const QString &why)
{
    m_failures.append(QStringLiteral("%1: %2").arg(why, describe(modal)));
    reject()(modal);
}

void ModalWatchdog::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (m_dispatched || !modal || !modal->isVisible() || modal == m_acting)
        return;
    // A self-closing modal that ended unseen gives way to the steps after it.
    while (m_steps.size() > 1 && m_steps.head().closesItself && !matches(m_steps.head(), modal))
        m_steps.dequeue();
    if (qobject_cast<QMessageBox *>(modal)) {
        refuse(modal, QStringLiteral("unexpected message box"));
    } else if (m_steps.isEmpty() || !matches(m_steps.head(), modal)) {
        refuse(modal, QStringLiteral("unexpected modal"));
    } else {
        // Acting from the timer's own slot would keep the timer from firing again while
        // an action sits in a nested modal's event loop, so the action runs as an event
        // of its own.
        m_dispatched = true;
        const Step step = m_steps.dequeue();
        QPointer<QWidget> target(modal);
        QMetaObject::invokeMethod(this, [this, step, target] {
            m_dispatched = false;
            ++m_handled;
            if (target) {
                const QPointer<QWidget> outer = m_acting;
                m_acting = target;
                step.action(target);
                m_acting = outer;
            } else if (!step.closesItself)
                m_failures.append(QStringLiteral("closed before its step ran: %1").arg(step.objectName));
        }, Qt::QueuedConnection);
    }
}
