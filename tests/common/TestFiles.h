#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The bytes the model writes for a table of these texts and numbers.
QByteArray stringsImage(const QStringList &texts, const QList<quint32> &numbers = {}, bool newFormat = true);

QByteArray readBytes(const QString &path);
void writeBytes(const QString &path, const QByteArray &bytes);
