#include "RecoveryCopies.h"

#include "AtomicFileWriter.h"
#include "MessageBoxes.h"
#include "uZelkStrings.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace {

const QByteArray Magic = QByteArrayLiteral("ZELK-RECOVERY\n");
constexpr int DefaultInterval = 10'000;

void appendU64(QByteArray &out, quint64 value)
{
    for (int i = 0; i < 8; ++i)
        out.append(char(value >> (8 * i)));
}

// Reads a length and that many bytes; false when the file ends before.
bool readPart(QFile &file, QByteArray &part)
{
    const QByteArray length = file.read(8);
    if (length.size() != 8)
        return false;
    quint64 size = 0;
    for (int i = 0; i < 8; ++i)
        size |= quint64(uchar(length[i])) << (8 * i);
    if (size > quint64(file.size()))
        return false;
    part = file.read(qint64(size));
    return part.size() == qsizetype(size);
}

[[noreturn]] void damaged(const QString &copyPath)
{
    throw StringsError(QStringLiteral("The recovery copy \"%1\" is damaged").arg(QDir::toNativeSeparators(copyPath)));
}

} // namespace

void RecoveryCopy::write(const TZelkStrings &table) const
{
    QJsonObject header{{QStringLiteral("version"), 1},
                       {QStringLiteral("path"), documentPath},
                       {QStringLiteral("layout"), newFormat ? QStringLiteral("new") : QStringLiteral("old")},
                       {QStringLiteral("time"), time.toUTC().toString(Qt::ISODateWithMs)}};
    const QByteArray json = QJsonDocument(header).toJson(QJsonDocument::Compact);
    QByteArray head = Magic;
    appendU64(head, quint64(json.size()));
    head += json;
    appendU64(head, quint64(review.size()));
    head += review;
    const quint64 imageSize = table.imageSize();
    appendU64(head, imageSize);
    AtomicFileWriter file(copyPath);
    file.write(head.constData(), head.size());
    quint64 written = 0;
    table.writeImage([&](const uchar *piece, qsizetype size) {
        file.write(reinterpret_cast<const char *>(piece), size);
        written += quint64(size);
    });
    if (written != imageSize)
        throw StringsError(QStringLiteral("The recovery copy's image is not the size expected"));
    file.commit();
}

RecoveryCopy RecoveryCopy::read(const QString &copyPath, bool whole)
{
    QFile file(copyPath);
    if (!file.open(QIODevice::ReadOnly))
        throw StringsError(QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(copyPath), file.errorString()));
    QByteArray json;
    if (file.read(Magic.size()) != Magic || !readPart(file, json))
        damaged(copyPath);
    const QJsonObject header = QJsonDocument::fromJson(json).object();
    RecoveryCopy copy;
    copy.copyPath = copyPath;
    copy.documentPath = header.value(QStringLiteral("path")).toString();
    copy.newFormat = header.value(QStringLiteral("layout")).toString() != QLatin1String("old");
    copy.time = QDateTime::fromString(header.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    if (header.value(QStringLiteral("version")).toInt() != 1 || !copy.time.isValid())
        damaged(copyPath);
    if (whole && (!readPart(file, copy.review) || !readPart(file, copy.image)))
        damaged(copyPath);
    return copy;
}

RecoveryCopies::RecoveryCopies(QObject *parent, Host host)
    : QObject(parent)
    , m_host(std::move(host))
{
    m_timer.setInterval(DefaultInterval);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryCopies::tick);
    m_timer.start();
}

RecoveryCopies::~RecoveryCopies()
{
    waitForWriter();
}

QString RecoveryCopies::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

void RecoveryCopies::setInterval(int milliseconds)
{
    m_timer.setInterval(milliseconds);
}

void RecoveryCopies::waitForWriter()
{
    if (m_writer.joinable())
        m_writer.join();
}

// A file's copy is named by its full path, so that opening the file finds
// it; a new document's by this program and the moment it was first copied.
QString RecoveryCopies::copyPathFor(const QString &documentPath)
{
    if (documentPath.isEmpty()) {
        if (m_untitledKey.isEmpty())
            m_untitledKey = QStringLiteral("untitled-%1-%2")
                                .arg(QCoreApplication::applicationPid())
                                .arg(QDateTime::currentMSecsSinceEpoch());
        return folder() + QLatin1Char('/') + m_untitledKey + QStringLiteral(".recovery");
    }
    const QByteArray key = QCryptographicHash::hash(QFileInfo(documentPath).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1);
    return folder() + QStringLiteral("/file-") + QString::fromLatin1(key.toHex().left(16)) + QStringLiteral(".recovery");
}

void RecoveryCopies::tick()
{
    if (m_writing || !m_host.isModified())
        return;
    const quint64 generation = m_host.document->changeCount() * 1'000'003u + m_host.reviewGeneration();
    const QString documentPath = m_host.fileName();
    const QString copyPath = copyPathFor(documentPath);
    if (generation == m_written && copyPath == m_ownCopy)
        return;
    if (copyPath != m_ownCopy)
        removeOwnCopy();
    if (!m_lock) {
        QDir().mkpath(folder());
        m_lock = std::make_unique<QLockFile>(copyPath + QStringLiteral(".lock"));
        // Another program has this file open and copies it: no copy of ours.
        if (!m_lock->tryLock(0)) {
            m_lock.reset();
            return;
        }
    }
    auto copy = std::make_shared<RecoveryCopy>();
    copy->copyPath = copyPath;
    copy->documentPath = documentPath.isEmpty() ? QString() : QFileInfo(documentPath).absoluteFilePath();
    copy->newFormat = m_host.document->NewFormat();
    copy->time = QDateTime::currentDateTime();
    copy->review = m_host.review();
    // A copy of the table shares its texts: cheap to take, and the writer
    // has it to itself.
    auto table = std::make_shared<TZelkStrings>(*m_host.document);
    waitForWriter();
    m_writing = true;
    m_writer = std::thread([this, copy, table, generation] {
        QString error;
        try {
            copy->write(*table);
        } catch (const std::exception &failure) {
            error = QString::fromUtf8(failure.what());
        } catch (...) {
            error = QStringLiteral("out of memory");
        }
        QMetaObject::invokeMethod(
            this, [this, generation, path = copy->copyPath, error] { written(generation, path, error); }, Qt::QueuedConnection);
    });
}

void RecoveryCopies::written(quint64 generation, const QString &copyPath, const QString &error)
{
    m_writing = false;
    if (!m_lock || m_lock->fileName() != copyPath + QStringLiteral(".lock")) {
        // The document was saved or closed meanwhile: the copy is not needed.
        QFile::remove(copyPath);
        return;
    }
    if (!error.isEmpty()) {
        m_host.showStatus(QStringLiteral("The recovery copy could not be written: %1").arg(error));
        return;
    }
    m_ownCopy = copyPath;
    m_written = generation;
}

void RecoveryCopies::writeNow()
{
    tick();
    waitForWriter();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void RecoveryCopies::removeOwnCopy()
{
    waitForWriter();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (!m_ownCopy.isEmpty())
        QFile::remove(m_ownCopy);
    m_ownCopy.clear();
    m_lock.reset();
    m_written = 0;
}

void RecoveryCopies::documentSaved()
{
    removeOwnCopy();
}

void RecoveryCopies::documentClosed()
{
    removeOwnCopy();
    m_untitledKey.clear();
}

std::vector<RecoveryCopy> RecoveryCopies::leftBehind() const
{
    std::vector<RecoveryCopy> copies;
    const QDir dir(folder());
    for (const QString &name : dir.entryList({QStringLiteral("*.recovery")}, QDir::Files)) {
        const QString path = dir.filePath(name);
        QLockFile lock(path + QStringLiteral(".lock"));
        // A running program keeps its copies locked; a lock whose program
        // ended counts for nothing.
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        try {
            copies.push_back(RecoveryCopy::read(path, false));
        } catch (const StringsError &) {
            continue; // a damaged copy is left where it is, for a person to look at
        }
    }
    std::sort(copies.begin(), copies.end(), [](const RecoveryCopy &a, const RecoveryCopy &b) { return a.time > b.time; });
    return copies;
}

bool RecoveryCopies::findCopy(const QString &documentPath, RecoveryCopy &copy) const
{
    const QString absolute = QFileInfo(documentPath).absoluteFilePath();
    for (const RecoveryCopy &candidate : leftBehind()) {
        if (candidate.documentPath == absolute) {
            copy = candidate;
            return true;
        }
    }
    return false;
}

bool RecoveryCopies::offer(const QString &documentPath, RecoveryCopy &copy)
{
    if (!m_chosen.copyPath.isEmpty() && m_chosen.documentPath == QFileInfo(documentPath).absoluteFilePath()) {
        copy = std::exchange(m_chosen, RecoveryCopy());
        return true;
    }
    return findCopy(documentPath, copy) && askToRecover(copy);
}

bool RecoveryCopies::chooseAtStart(RecoveryCopy &copy)
{
    for (const RecoveryCopy &candidate : leftBehind()) {
        if (askToRecover(candidate)) {
            copy = candidate;
            if (!copy.documentPath.isEmpty())
                m_chosen = copy;
            return true;
        }
    }
    return false;
}

void RecoveryCopies::restore(RecoveryCopy &copy, TZelkStrings &table)
{
    copy = RecoveryCopy::read(copy.copyPath, true);
    table.loadFromData(copy.image);
    table.SetNewFormat(copy.newFormat);
    copy.image.clear();
    // The copy is this program's now, until a newer one replaces it.
    removeOwnCopy();
    m_lock = std::make_unique<QLockFile>(copy.copyPath + QStringLiteral(".lock"));
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return;
    }
    m_ownCopy = copy.copyPath;
    if (copy.documentPath.isEmpty())
        m_untitledKey = QFileInfo(copy.copyPath).completeBaseName();
}

bool RecoveryCopies::askToRecover(const RecoveryCopy &copy)
{
    const QString name = copy.documentPath.isEmpty() ? QStringLiteral("Untitled.bin") : QDir::toNativeSeparators(copy.documentPath);
    const QString when = QLocale::system().toString(copy.time.toLocalTime(), QLocale::ShortFormat);
    if (MessageBoxes::confirm(QStringLiteral("%1 has unsaved changes from %2 that were not saved when the program last ended. "
                                             "Recover them?")
                                  .arg(name, when)))
        return true;
    discard(copy);
    return false;
}

void RecoveryCopies::discard(const RecoveryCopy &copy)
{
    QFile::remove(copy.copyPath);
    QFile::remove(copy.copyPath + QStringLiteral(".lock"));
}
