#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Notices when another program changes the document's file: when the window
// is activated it offers to load the file again, and before a save it asks
// before replacing the other program's work. A change is one of content: a
// new time alone (touch) is none. The window's own saves are known.
class DiskWatch : public QObject
{
    Q_OBJECT

public:
    struct Host
    {
        QWidget *window;
        std::function<bool()> isModified;
        std::function<bool()> isBusy;   // a command or dialog is under way
        std::function<void()> reload;   // loads the file again, unsaved changes dropped
    };

    DiskWatch(QObject *parent, Host host);
    ~DiskWatch() override;

    // The document is the file as it is on disk now: after a load and after
    // the window's own save.
    void watch(const QString &fileName);
    void stop();
    // Before a save to the file: true when it may be written, because it is
    // as it was or the user says to replace it.
    bool mayReplace(const QString &fileName);
    // Looks at the file now, as on activation.
    void check();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Identity
    {
        qint64 size = -1;
        QDateTime modified;
        QByteArray digest;
    };
    static Identity stat(const QString &fileName);
    static QByteArray digestOf(const QString &fileName);
    // Whether the file differs from the one last seen; a new time with the
    // same content becomes the one seen.
    bool changedOnDisk();
    QByteArray knownDigest();

    Host m_host;
    QString m_fileName;
    Identity m_known;
    // The content's digest is worked out beside the window after a load or
    // save; whoever needs it first waits for it.
    std::thread m_hasher;
    std::mutex m_mutex;
    QByteArray m_pendingDigest;
    // The content last seen on disk, and the one the user declined to load,
    // not to be asked about again.
    QByteArray m_seen;
    QByteArray m_declined;
    bool m_checkQueued = false;
};
