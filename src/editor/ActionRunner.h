#pragma once

#include <QHash>
#include <QObject>

#include <exception>
#include <functional>

class QAction;

// Runs commands. Every menu entry, toolbar button, push button, shortcut and
// handler runs an action through here, so that a disabled action does
// nothing and a failure ends every command it passes through but is shown
// only once, by the outermost one.
class ActionRunner : public QObject
{
    Q_OBJECT

public:
    explicit ActionRunner(QObject *parent = nullptr);

    // The work an action does when it runs.
    void bind(QAction *action, std::function<void()> work);

    // Brings an action's enabled state up to date just before it runs.
    void setPrepare(std::function<void(QAction *)> prepare);

    // Runs the action as choosing it would: nothing when it is disabled, an
    // auto-check action flips its mark first. Returns whether it ran. Inside
    // another command a failure leaves through this call; otherwise it is
    // shown in the standard error box.
    bool run(QAction *action);

    // Runs an event handler as a command of its own: a failure is shown once,
    // in the standard error box, unless a command is already running, in
    // which case it ends that command.
    void guard(const std::function<void()> &handler);

    // Whether a command or guarded handler is running.
    bool isBusy() const { return m_depth > 0; }

private:
    void onTriggered(QAction *action);
    void rethrowPending();

    QHash<QAction *, std::function<void()>> m_work;
    std::function<void(QAction *)> m_prepare;
    int m_depth = 0;
    std::exception_ptr m_pending;
};
