#pragma once

#include <QString>
#include <QStringList>

#include <exception>
#include <optional>
#include <vector>

class BufferedOutput;
class Pairing;
class TZelkStrings;

// A failure of the command-line tool; the message is the one line the user
// sees.
class CliError : public std::exception
{
public:
    explicit CliError(const QString &message)
        : m_message(message)
        , m_utf8(message.toUtf8())
    {
    }
    const char *what() const noexcept override { return m_utf8.constData(); }
    QString message() const { return m_message; }

private:
    QString m_message;
    QByteArray m_utf8;
};

// One entry of a translation catalogue read back for import. It names its
// entry by number, by index, or by both: then the index finds the entry and
// the number must agree, unless preferNumber lets the number find it where the
// table's numbers tell its entries apart. It may carry the source text it was
// translated from.
struct ImportedEntry
{
    std::optional<quint32> index;
    std::optional<quint32> number;
    bool preferNumber = false;
    std::optional<QString> sourceText;
    QString text;
    std::optional<QByteArray> bytes; // a text that is not UTF-8, as its bytes
    bool fuzzy = false;
    bool untranslated = false; // a PO message without a translation
    QString where; // "catalogue.csv:12"
    int message = -1; // a PO message's place in its catalogue, the header first
};

// A catalogue file's bytes; only a regular file is read (a pipe or a device
// would block or never end).
QByteArray readCatalogueFile(const QString &fileName);

// What an export writes: the file's table and, for a bilingual catalogue,
// the table whose texts are the source texts, with the pairing of the two.
struct ExportTables
{
    const TZelkStrings &translation;
    const TZelkStrings *source = nullptr;
    const Pairing *pairing = nullptr; // translation first, source second
    bool numberContexts = false;      // PO contexts name entries by number
    bool emptyTranslations = false;   // a template: every msgstr empty

    // The source text of an entry: its paired source entry's text, empty
    // where it has none, or the entry's own text without a source.
    QString sourceText(quint32 index) const;
    // What names an entry in a catalogue (a PO message's context): "NUMBER"
    // with numberContexts for a non-zero number, "INDEX:NUMBER" otherwise.
    QString entryKey(quint32 index) const;
};

// How an import pairs catalogue entries with the table's entries.
struct ImportOptions
{
    const TZelkStrings *source = nullptr; // checks each entry's source text
    const Pairing *sourcePairing = nullptr; // table first, source second
    bool force = false;      // import what pairs, skip mismatches
    bool setNumbers = false; // pair by index and take the catalogue's numbers
    bool fuzzy = false;      // import entries marked for review too
};

struct ImportReport
{
    quint32 imported = 0;
    std::vector<quint32> importedIndices;
    quint32 skippedFuzzy = 0;
    QStringList mismatches; // one line each
};

// Puts imported entries into the table. An entry that names no entry of the
// table, whose number differs from its entry's, or whose source text differs
// from the source's is a mismatch: without force the table is left unchanged
// and the report lists them. Fails, changing nothing, on an entry named twice.
ImportReport applyImport(TZelkStrings &table, const std::vector<ImportedEntry> &entries,
                         const QString &catalogueName, const ImportOptions &options);
