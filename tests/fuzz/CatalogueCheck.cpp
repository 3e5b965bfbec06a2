#include "CatalogueCheck.h"

#include "PoReader.h"
#include "TextOutput.h"

#include "Catalogue.h"
#include "CsvCatalogue.h"
#include "Pairing.h"
#include "PoCatalogue.h"
#include "uZelkStrings.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, quint32 index)
{
    std::fprintf(stderr, "catalogue round trip broken: %s at entry %u\n", what, index);
    std::abort();
}

// A table the entries can land in: as many entries as the largest index
// names (within reason), numbered 1, 2, 3...
TZelkStrings targetFor(const std::vector<ImportedEntry> &entries)
{
    quint32 count = 8;
    for (const ImportedEntry &entry : entries) {
        if (entry.index && *entry.index < 4096)
            count = std::max(count, *entry.index + 1);
    }
    TZelkStrings table;
    for (quint32 i = 0; i < count; ++i) {
        table.AddEntry(QStringLiteral("entry %1").arg(i));
        table.SetNumber(i, i + 1);
    }
    return table;
}

// Imports with --force; a failure with a message is an answer too, and so is
// a NUL in a text, which zelkstr refuses before writing anything.
bool import(TZelkStrings &table, const std::vector<ImportedEntry> &entries)
{
    for (const ImportedEntry &entry : entries) {
        if (entry.text.contains(QChar(0)))
            return false;
    }
    ImportOptions options;
    options.force = true;
    options.fuzzy = true;
    try {
        applyImport(table, entries, QStringLiteral("fuzz"), options);
    } catch (const CliError &) {
        return false;
    } catch (const StringsError &) {
        return false;
    }
    return true;
}

void compare(const TZelkStrings &expected, const TZelkStrings &actual)
{
    for (quint32 i = 0; i < expected.EntryCount(); ++i) {
        if (expected.entryText(i) != actual.entryText(i) && !(expected.entryText(i).isEmpty()))
            fail("text", i);
        if (expected.GetNumber(i) != actual.GetNumber(i))
            fail("number", i);
    }
}

} // namespace

void checkCsvImport(const uint8_t *data, size_t size)
{
    std::vector<ImportedEntry> entries;
    try {
        entries = CsvCatalogue::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), QStringLiteral("fuzz.csv"));
    } catch (const CliError &) {
        return;
    }
    TZelkStrings table = targetFor(entries);
    if (!import(table, entries))
        return;
    BufferedOutput csvOut;
    CsvCatalogue::write(ExportTables{table}, csvOut);
    const QByteArray csv = csvOut.takeBytes();
    TZelkStrings again = targetFor(entries);
    std::vector<ImportedEntry> back;
    try {
        back = CsvCatalogue::read(csv, QStringLiteral("again.csv"));
    } catch (const CliError &) {
        fail("our own CSV does not read", 0);
    }
    if (!import(again, back))
        fail("our own CSV does not import", 0);
    compare(table, again);
}

void checkPoImport(const uint8_t *data, size_t size)
{
    static QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("fuzz.po"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        return;
    file.close();
    std::vector<ImportedEntry> entries;
    try {
        entries = PoCatalogue::read(path);
    } catch (const CliError &) {
        return;
    }
    // A catalogue read without the library reads as the library reads it.
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (PoReader::readPlain(bytes)) {
        std::vector<ImportedEntry> library;
        try {
            library = PoCatalogue::readWithLibrary(bytes, path);
        } catch (const CliError &) {
            fail("a plain catalogue the library refuses", 0);
        }
        const auto same = [](const ImportedEntry &a, const ImportedEntry &b) {
            return a.index == b.index && a.number == b.number && a.preferNumber == b.preferNumber && a.sourceText == b.sourceText
                && a.text == b.text && a.bytes == b.bytes && a.fuzzy == b.fuzzy && a.message == b.message
                && a.untranslated == b.untranslated;
        };
        if (!std::equal(entries.begin(), entries.end(), library.begin(), library.end(), same))
            fail("a plain catalogue reads otherwise than through the library", 0);
    }
    TZelkStrings table = targetFor(entries);
    if (!import(table, entries))
        return;
    const QString againPath = scratch.filePath(QStringLiteral("again.po"));
    QFile again(againPath);
    try {
        BufferedOutput poOut;
        PoCatalogue::write(ExportTables{table}, PoCatalogue::Header{QStringLiteral("fuzz"), QString(), {}}, poOut);
        const QByteArray po = poOut.takeBytes();
        if (!again.open(QIODevice::WriteOnly) || again.write(po) != po.size())
            return;
        again.close();
    } catch (const CliError &) {
        // gettext's writer refuses some texts (a pair whose breaks differ is
        // marked, not refused): nothing written, nothing to compare.
        return;
    }
    TZelkStrings back = targetFor(entries);
    std::vector<ImportedEntry> reread;
    try {
        reread = PoCatalogue::read(againPath);
    } catch (const CliError &) {
        fail("our own PO does not read", 0);
    }
    if (!import(back, reread))
        fail("our own PO does not import", 0);
    compare(table, back);
}
