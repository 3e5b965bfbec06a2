// Saves a picture of an X11 window (or the whole screen) as PNG:
// grab FILE.png [WINDOW-ID]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: grab FILE.png [WINDOW-ID]\n");
        return 2;
    }
    const WId window = arguments.size() > 2 ? WId(arguments.at(2).toULongLong()) : 0;
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    return !picture.isNull() && picture.save(arguments.at(1)) ? 0 : 1;
}
