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
