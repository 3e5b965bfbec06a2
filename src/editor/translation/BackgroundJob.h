#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

// Work on a thread of its own whose result comes back to the window's
// thread. One job at a time: a new one cancels the one before, whose result
// is dropped, and so does the job's end.
template<typename Result>
class BackgroundJob
{
public:
    // The work looks at cancelled now and then, and gives up when it is set.
    using Work = std::function<Result(const std::atomic<bool> &cancelled)>;
    // The result, or the message of what the work threw.
    using Done = std::function<void(std::optional<Result> &result, const QString &error)>;

    BackgroundJob() = default;
    ~BackgroundJob() { cancel(); }
    BackgroundJob(const BackgroundJob &) = delete;
    BackgroundJob &operator=(const BackgroundJob &) = delete;

    void start(Work work, Done done)
    {
        cancel();
        m_receiver = std::make_unique<QObject>();
        m_running = true;
        auto cancelled = std::make_shared<std::atomic<bool>>(false);
        m_cancelled = cancelled;
        QObject *receiver = m_receiver.get();
        m_thread = std::thread([this, receiver, cancelled, work = std::move(work), done = std::move(done)] {
            auto result = std::make_shared<std::optional<Result>>();
            QString error;
            try {
                result->emplace(work(*cancelled));
            } catch (const std::exception &failure) {
                error = QString::fromUtf8(failure.what());
            }
            QMetaObject::invokeMethod(
                receiver,
                [this, result, error, done] {
                    m_running = false;
                    done(*result, error);
                },
                Qt::QueuedConnection);
        });
    }

    // Stops the job; its result never comes.
    void cancel()
    {
        if (m_cancelled)
            *m_cancelled = true;
        if (m_thread.joinable())
            m_thread.join();
        // Drops a result on its way.
        m_receiver.reset();
        m_running = false;
    }

    bool isRunning() const { return m_running; }

private:
    std::thread m_thread;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    std::unique_ptr<QObject> m_receiver;
    bool m_running = false;
};
