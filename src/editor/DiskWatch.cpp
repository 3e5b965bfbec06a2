#include "DiskWatch.h"

#include "MessageBoxes.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

DiskWatch::DiskWatch(QObject *parent, Host host)
    : QObject(parent)
    , m_host(std::move(host))
{
    m_host.window->installEventFilter(this);
}

DiskWatch::~DiskWatch()
{
    if (m_hasher.joinable())
        m_hasher.join();
}

DiskWatch::Identity DiskWatch::stat(const QString &fileName)
{
    Identity identity;
    const QFileInfo info(fileName);
    if (info.isFile()) {
        identity.size = info.size();
        identity.modified = info.lastModified();
    }
    return identity;
}

QByteArray DiskWatch::digestOf(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return hash.result();
}

void DiskWatch::watch(const QString &fileName)
{
    if (m_hasher.joinable())
        m_hasher.join();
    m_fileName = fileName;
    m_known = stat(fileName);
    m_declined.clear();
    m_hasher = std::thread([this, fileName] {
        const QByteArray digest = digestOf(fileName);
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_pendingDigest = digest;
    });
}

void DiskWatch::stop()
{
    if (m_hasher.joinable())
        m_hasher.join();
    m_fileName.clear();
    m_known = Identity();
}

QByteArray DiskWatch::knownDigest()
{
    if (m_hasher.joinable()) {
        m_hasher.join();
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_known.digest = m_pendingDigest;
    }
    return m_known.digest;
}

bool DiskWatch::changedOnDisk()
{
    if (m_fileName.isEmpty())
        return false;
    const Identity now = stat(m_fileName);
    // A file that is gone has nothing to load again; a save writes it anew.
    if (now.size < 0 || (now.size == m_known.size && now.modified == m_known.modified))
        return false;
    m_seen = digestOf(m_fileName);
    if (m_seen == knownDigest()) {
        m_known.size = now.size;
        m_known.modified = now.modified;
        return false;
    }
    return true;
}

bool DiskWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_host.window && event->type() == QEvent::ActivationChange && m_host.window->isActiveWindow()
        && !m_checkQueued) {
        // After the activation has been handled, not inside it.
        m_checkQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_checkQueued = false;
                check();
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void DiskWatch::check()
{
    if (m_host.isBusy() || QApplication::activeModalWidget() || !changedOnDisk() || m_seen == m_declined)
        return;
    const QString name = QDir::toNativeSeparators(m_fileName);
    const QString question = m_host.isModified()
        ? QStringLiteral("%1 was changed by another program. Reload it? Your unsaved changes will be lost.").arg(name)
        : QStringLiteral("%1 was changed by another program. Reload it?").arg(name);
    if (MessageBoxes::confirm(question))
        m_host.reload();
    else
        m_declined = m_seen;
}

bool DiskWatch::mayReplace(const QString &fileName)
{
    if (fileName != m_fileName || !changedOnDisk())
        return true;
    return MessageBoxes::confirm(QStringLiteral("%1 was changed by another program since it was opened. Replace it with your version?")
                                     .arg(QDir::toNativeSeparators(fileName)));
}
