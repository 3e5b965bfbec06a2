#pragma once

#include "uZelkStrings.h"

#include <QString>

// The failures of reading and writing files, with the texts the user sees;
// shared by the table's load and the file writer.
namespace FileErrors {

inline const char *const StreamReadError = "Stream read error";
inline const char *const StreamWriteError = "Stream write error";

// A file name expanded to a full path against the current folder, with the
// system's separators.
QString fullPath(const QString &fileName);

// Refuses a name that is not valid UTF-8 (see the definition).
void checkFileName(const QString &fileName, bool forWriting);

// "Cannot open file ..." or "Cannot create file ..." (the format, with %1 for
// the full path and %2 for the reason): the reason is the system's text for
// savedErrno, or for what the file's state tells, or Qt's text.
StringsError fileError(const char *format, const QString &fileName, int savedErrno, const QString &qtText);

} // namespace FileErrors
