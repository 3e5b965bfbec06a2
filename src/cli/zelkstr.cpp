// zelkstr: the command-line companion of the editor, for batch work on
// strings files and for translation tools.
#include "Commands.h"

#include <QCoreApplication>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // The output is bytes (UTF-8 texts, LF or CR LF as each format says), so
    // the C library must not turn every LF into CR LF; messages end as on
    // Linux too, so that scripts read the same lines everywhere.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelkstr"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.0"));
    return runCommandLine(QCoreApplication::arguments());
}
