// zelkstr: the command-line companion of the editor, for batch work on
// strings files and for translation tools.
#include "Commands.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelkstr"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.0"));
    return runCommandLine(QCoreApplication::arguments());
}
