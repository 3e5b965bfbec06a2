#include "FileErrors.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

// The operating system's text for an errno value. On Windows qt_error_string()
// would read it as a Windows error code.
namespace {

QString systemErrorText(int errorCode)
{
    return QString::fromLocal8Bit(std::strerror(errorCode));
}

} // namespace

QString FileErrors::fullPath(const QString &fileName)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(fileName)));
}

// A file name that is not valid UTF-8 reaches us with U+FFFD in place of its
// bad bytes, and would open or create another file: such a name is refused
// unless a file of exactly this name exists.
void FileErrors::checkFileName(const QString &fileName, bool forWriting)
{
#ifdef Q_OS_UNIX
    if (!fileName.contains(QChar(QChar::ReplacementCharacter)) || QFileInfo::exists(fileName))
        return;
    throw StringsError(QStringLiteral("%1 file \"%2\". Its name is not valid UTF-8; rename the file")
                           .arg(forWriting ? QStringLiteral("Cannot create") : QStringLiteral("Cannot open"), fullPath(fileName)));
#else
    Q_UNUSED(fileName);
    Q_UNUSED(forWriting);
#endif
}

namespace {

// Qt finds some failures itself without a system call failing; give those the
// text the system would have given.
int errorCodeOf(const QString &fileName, int savedErrno)
{
    if (savedErrno != 0)
        return savedErrno;
    if (fileName.isEmpty())
        return ENOENT;
    const QFileInfo info(fileName);
    if (info.isDir())
        return EISDIR;
    if (info.exists() && !info.isWritable())
        return EACCES;
    return 0;
}

} // namespace

StringsError FileErrors::fileError(const char *format, const QString &fileName, int savedErrno, const QString &qtText)
{
    const int code = errorCodeOf(fileName, savedErrno);
    QString reason = code != 0 ? systemErrorText(code) : qtText;
    // Without the trailing blanks, line breaks and full stops some systems add.
    while (!reason.isEmpty() && (reason.back().isSpace() || reason.back() == QLatin1Char('.')))
        reason.chop(1);
    return StringsError(QString::fromLatin1(format).arg(fullPath(fileName), reason));
}

