#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// The bytes the model writes for a table of these texts and numbers.
QByteArray stringsImage(const QStringList &texts, const QList<quint32> &numbers = {}, bool newFormat = true);

// A new-layout image whose entries share strings: entry i has the number i
// and the offset of strings[stringOf[i]], each string stored once.
QByteArray sharedStringsImage(const QList<QByteArray> &strings, const std::vector<int> &stringOf);

QByteArray readBytes(const QString &path);
void writeBytes(const QString &path, const QByteArray &bytes);
