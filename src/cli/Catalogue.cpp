#include "Catalogue.h"

#include "uZelkStrings.h"

QString ExportTables::sourceText(quint32 index) const
{
    if (!source)
        return translation.entryText(index);
    return index < source->EntryCount() ? source->entryText(index) : QString();
}

void applyImport(TZelkStrings &table, const std::vector<ImportedEntry> &entries, const QString &catalogueName)
{
    std::vector<char> seen(table.EntryCount(), 0);
    for (const ImportedEntry &entry : entries) {
        if (entry.index >= table.EntryCount())
            throw CliError(QStringLiteral("%1: entry %2 is out of range: the file has %3 entries")
                               .arg(catalogueName)
                               .arg(entry.index)
                               .arg(table.EntryCount()));
        if (seen[entry.index])
            throw CliError(QStringLiteral("%1: entry %2 appears more than once").arg(catalogueName).arg(entry.index));
        seen[entry.index] = 1;
    }
    for (const ImportedEntry &entry : entries) {
        table.SetEntry(entry.index, entry.text);
        if (entry.number)
            table.SetNumber(entry.index, *entry.number);
    }
}
