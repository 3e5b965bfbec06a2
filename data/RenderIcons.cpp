// Renders the program icon as PNG files for the icon theme, and as the icon
// file Windows programs embed: RenderIcons FOLDER writes
// FOLDER/SIZE/vantrel.png for each size and FOLDER/vantrel.ico.
#include "Pictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <iterator>

namespace {

const int Sizes[] = {16, 24, 32, 48, 64, 128, 256};

QByteArray pngOf(int size)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    Pictures::programIcon().pixmap(size, size).save(&buffer, "PNG");
    return png;
}

// An icon file holds a directory of images, each stored as a PNG (Windows
// Vista and later read those at every size).
bool writeIco(const QString &fileName)
{
    QByteArray directory;
    QByteArray images;
    const auto u16 = [](QByteArray &out, quint16 value) { out.append(char(value & 0xFF)).append(char(value >> 8)); };
    const auto u32 = [&](QByteArray &out, quint32 value) { u16(out, quint16(value)); u16(out, quint16(value >> 16)); };
    const int count = int(std::size(Sizes));
    u16(directory, 0);
    u16(directory, 1);
    u16(directory, quint16(count));
    quint32 offset = 6 + 16 * count;
    for (const int size : Sizes) {
        const QByteArray png = pngOf(size);
        if (png.isEmpty())
            return false;
        directory.append(char(size >= 256 ? 0 : size)).append(char(size >= 256 ? 0 : size)).append('\0').append('\0');
        u16(directory, 1);
        u16(directory, 32);
        u32(directory, quint32(png.size()));
        u32(directory, offset);
        offset += quint32(png.size());
        images += png;
    }
    QFile file(fileName);
    const QByteArray bytes = directory + images;
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: RenderIcons FOLDER\n");
        return 2;
    }
    for (const int size : Sizes) {
        const QString folder = arguments.at(1) + QLatin1Char('/') + QString::number(size);
        if (!QDir().mkpath(folder) || !Pictures::programIcon().pixmap(size, size).save(folder + QStringLiteral("/vantrel.png")))
            return 1;
    }
    return writeIco(arguments.at(1) + QStringLiteral("/vantrel.ico")) ? 0 : 1;
}
