// Renders the program icon as PNG files for the icon theme:
// RenderIcons FOLDER writes FOLDER/SIZE/vantrel.png for each size.
#include "Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: RenderIcons FOLDER\n");
        return 2;
    }
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = arguments.at(1) + QLatin1Char('/') + QString::number(size);
        if (!QDir().mkpath(folder) || !Pictures::programIcon().pixmap(size, size).save(folder + QStringLiteral("/vantrel.png")))
            return 1;
    }
    return 0;
}
