#include "AtomicFileWriter.h"

#include "FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif

using namespace FileErrors;

namespace {

// The file a save replaces: a symbolic link's target (a dangling link's
// too), so that the link stays a link.
QString replacedFile(const QString &fileName)
{
    QString target = fileName;
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            return target;
        target = info.absoluteDir().absoluteFilePath(info.symLinkTarget());
    }
    return target;
}

#ifdef Q_OS_LINUX
// The extended attributes of the replaced file, as far as the user may set
// them on the new one.
void copyExtendedAttributes(const QString &replaced, int handle)
{
    const QByteArray path = QFile::encodeName(replaced);
    const ssize_t size = ::listxattr(path.constData(), nullptr, 0);
    if (size <= 0)
        return;
    QByteArray names(size, '\0');
    if (::listxattr(path.constData(), names.data(), size_t(size)) != size)
        return;
    for (const QByteArray &name : names.split('\0')) {
        const ssize_t length = name.isEmpty() ? -1 : ::getxattr(path.constData(), name.constData(), nullptr, 0);
        if (length < 0)
            continue;
        QByteArray value(length, '\0');
        if (::getxattr(path.constData(), name.constData(), value.data(), size_t(length)) == length)
            (void)::fsetxattr(handle, name.constData(), value.constData(), size_t(length), 0);
    }
}
#else
void copyExtendedAttributes(const QString &, int) {}
#endif

// The new file gets the mode of the one it replaces, or the mode a new file
// gets; and the owner, group and extended attributes of the old one where the
// user may give them.
void adoptAttributes(int handle, const QString &replaced)
{
#ifdef Q_OS_UNIX
    struct stat old{};
    if (::stat(QFile::encodeName(replaced).constData(), &old) == 0) {
        ::fchmod(handle, old.st_mode & 07777);
        if (::fchown(handle, old.st_uid, old.st_gid) != 0)
            (void)::fchown(handle, uid_t(-1), old.st_gid);
        copyExtendedAttributes(replaced, handle);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(handle, 0666 & ~mask);
    }
#else
    Q_UNUSED(handle);
    Q_UNUSED(replaced);
#endif
}

bool replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    const QString source = QDir::toNativeSeparators(QFileInfo(from).absoluteFilePath());
    const QString target = QDir::toNativeSeparators(QFileInfo(to).absoluteFilePath());
    return MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()), reinterpret_cast<const wchar_t *>(target.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

bool syncToDisk(QFile &file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

// A new file with a short name of its own beside the one a save replaces, so
// that a name of any length fits; removed again unless it took the place of
// the old one.
class ReplacementFile
{
public:
    explicit ReplacementFile(const QString &folder)
    {
        for (int attempt = 0; attempt < 16; ++attempt) {
            m_file.setFileName(QStringLiteral("%1/.zelk-%2.tmp")
                                   .arg(folder)
                                   .arg(QRandomGenerator::global()->generate() & 0xFFFFFF, 6, 16, QLatin1Char('0')));
            errno = 0;
            if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || m_file.error() != QFileDevice::OpenError
                || errno != EEXIST)
                return;
        }
    }
    ~ReplacementFile()
    {
        if (!m_placed) {
            m_file.close();
            m_file.remove();
        }
    }
    ReplacementFile(const ReplacementFile &) = delete;
    ReplacementFile &operator=(const ReplacementFile &) = delete;

    QFile &file() { return m_file; }
    void placed() { m_placed = true; }

private:
    QFile m_file;
    bool m_placed = false;
};

} // namespace

// The pieces go to a file beside the one they replace, which takes its place
// once every byte is on disk.
struct AtomicFileWriter::Target
{
    QString fileName;
    QString replaced;
    std::unique_ptr<ReplacementFile> replacement;
    QFile device;
    QFile *file = nullptr;
};

AtomicFileWriter::AtomicFileWriter(const QString &fileName)
    : m_target(std::make_unique<Target>())
{
    if (fileName.isEmpty())
        throw fileError("Cannot create file \"%1\". %2", fileName, ENOENT, QString());
    checkFileName(fileName, true);
    m_target->fileName = fileName;
    m_target->replaced = replacedFile(fileName);
    const QFileInfo targetInfo(m_target->replaced);
    if (targetInfo.isDir())
        throw fileError("Cannot create file \"%1\". %2", fileName, EISDIR, QString());
    // The new file would take the place of one the user may not write.
    if (targetInfo.exists() && !targetInfo.isWritable())
        throw fileError("Cannot create file \"%1\". %2", fileName, EACCES, QString());
    if (targetInfo.exists() && !targetInfo.isFile()) {
        // A device or a pipe cannot be replaced: it is written as it is.
        m_target->device.setFileName(m_target->replaced);
        errno = 0;
        if (!m_target->device.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw fileError("Cannot create file \"%1\". %2", fileName, errno, m_target->device.errorString());
        m_target->file = &m_target->device;
        return;
    }
    m_target->replacement = std::make_unique<ReplacementFile>(QFileInfo(m_target->replaced).absolutePath());
    m_target->file = &m_target->replacement->file();
    if (!m_target->file->isOpen())
        throw fileError("Cannot create file \"%1\". %2", fileName, errno, m_target->file->errorString());
}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::write(const char *data, qint64 size)
{
    // A disk that fills part-way shows only as a short write.
    if (!m_target->file || m_target->file->write(data, size) != size)
        throw StringsError(QString::fromLatin1(StreamWriteError));
}

void AtomicFileWriter::commit()
{
    QFile &file = *m_target->file;
    if (!m_target->replacement) {
        file.close();
        if (file.error() != QFileDevice::NoError)
            throw StringsError(QString::fromLatin1(StreamWriteError));
        return;
    }
    if (!syncToDisk(file))
        throw StringsError(QString::fromLatin1(StreamWriteError));
    adoptAttributes(file.handle(), m_target->replaced);
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw StringsError(QString::fromLatin1(StreamWriteError));
    errno = 0;
    if (!replaceFile(file.fileName(), m_target->replaced)) {
        // On Windows a file that another program holds open cannot be
        // replaced: say which file and why.
#ifdef Q_OS_WIN
        throw fileError("Cannot create file \"%1\". %2", m_target->fileName, 0, qt_error_string(int(GetLastError())));
#else
        throw fileError("Cannot create file \"%1\". %2", m_target->fileName, errno, QString());
#endif
    }
    m_target->replacement->placed();
}

void writeFileAtomically(const QString &fileName, const QByteArray &bytes)
{
    AtomicFileWriter writer(fileName);
    writer.write(bytes.constData(), bytes.size());
    writer.commit();
}
