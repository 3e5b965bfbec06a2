#include "ActionRunner.h"

#include "MessageBoxes.h"
#include "uZelkStrings.h"

#include <QAction>

namespace {

void showFailure(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const StringsError &error) {
        MessageBoxes::showFailure(error.message());
    } catch (const std::exception &error) {
        MessageBoxes::showFailure(QString::fromUtf8(error.what()));
    }
}

} // namespace

ActionRunner::ActionRunner(QObject *parent)
    : QObject(parent)
{
}

void ActionRunner::bind(QAction *action, std::function<void()> work)
{
    m_work.insert(action, std::move(work));
    connect(action, &QAction::triggered, this, [this, action] { onTriggered(action); });
}

void ActionRunner::setPrepare(std::function<void(QAction *)> prepare)
{
    m_prepare = std::move(prepare);
}

bool ActionRunner::run(QAction *action)
{
    if (m_prepare)
        m_prepare(action);
    if (!action->isEnabled())
        return false;
    // trigger() flips a checkable action and emits triggered(), which runs the
    // work in onTriggered(); a failure there waits in m_pending, because
    // exceptions must not cross Qt's signal delivery.
    action->trigger();
    rethrowPending();
    return true;
}

void ActionRunner::guard(const std::function<void()> &handler)
{
    ++m_depth;
    try {
        handler();
    } catch (...) {
        if (m_depth > 1) {
            if (!m_pending)
                m_pending = std::current_exception();
        } else {
            m_pending = nullptr;
            --m_depth;
            showFailure(std::current_exception());
            return;
        }
    }
    --m_depth;
    // A failure in a nested handler that no command picked up is shown when
    // the outermost one ends.
    if (m_depth == 0 && m_pending) {
        const std::exception_ptr failure = m_pending;
        m_pending = nullptr;
        showFailure(failure);
    }
}

void ActionRunner::onTriggered(QAction *action)
{
    if (m_prepare)
        m_prepare(action);
    if (!action->isEnabled())
        return;
    const auto work = m_work.value(action);
    if (work)
        guard(work);
}

void ActionRunner::rethrowPending()
{
    if (m_pending) {
        const std::exception_ptr failure = m_pending;
        m_pending = nullptr;
        std::rethrow_exception(failure);
    }
}
