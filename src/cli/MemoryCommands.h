#pragma once

#include <QString>
#include <QStringList>

// Translation memories on the command line: a translation written as a TMX
// file, and untranslated entries filled from memories.
namespace MemoryCommands {

// Writes TRANSLATION's translated entries, each with its SOURCE text, as a
// TMX 1.4 file; tuid is the entry's PO context.
int exportTmx(const QString &translationName, const QString &output, const QString &sourceName);

struct PretranslateOptions
{
    QStringList memories; // TMX files
    QString output;
    // Fills matches of at least this score too (and lists them to review);
    // 0 for exact matches only.
    int fuzzyScore = 0;
};
// Fills TRANSLATION's untranslated entries from the memories and from its
// own translated entries.
int pretranslate(const QString &sourceName, const QString &translationName, const PretranslateOptions &options);

} // namespace MemoryCommands
