#include "TestFiles.h"

#include "uZelkStrings.h"

#include <QFile>

QByteArray stringsImage(const QStringList &texts, const QList<quint32> &numbers, bool newFormat)
{
    TZelkStrings table;
    table.SetNewFormat(newFormat);
    for (int i = 0; i < texts.size(); ++i) {
        table.AddEntry(texts[i]);
        table.SetNumber(quint32(i), numbers.value(i));
    }
    return table.saveToData();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray sharedStringsImage(const QList<QByteArray> &strings, const std::vector<int> &stringOf)
{
    const quint32 count = quint32(stringOf.size());
    QByteArray image;
    const auto put = [&image](quint32 value) {
        for (int shift = 0; shift < 32; shift += 8)
            image.append(char(value >> shift));
    };
    put(0xFEFEFEFE);
    put(count);
    put(0);
    put(0);
    for (quint32 i = 0; i < count; ++i)
        put(i);
    std::vector<quint32> offsets;
    quint32 next = 16 + 8 * count;
    for (const QByteArray &string : strings) {
        offsets.push_back(next);
        next += quint32(string.size()) + 1;
    }
    for (const int string : stringOf)
        put(offsets[size_t(string)]);
    for (const QByteArray &string : strings)
        image.append(string).append('\0');
    return image;
}
