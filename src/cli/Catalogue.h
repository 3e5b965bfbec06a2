#pragma once

#include <QString>

#include <exception>
#include <optional>
#include <vector>

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

// One entry of a translation catalogue read back for import: the entry it
// belongs to, its text and, where the catalogue carries one, its number.
struct ImportedEntry
{
    quint32 index = 0;
    QString text;
    std::optional<quint32> number;
};

// What an export writes: the file's table and, for a bilingual catalogue,
// the table whose texts are the source texts (matched by index).
struct ExportTables
{
    const TZelkStrings &translation;
    const TZelkStrings *source = nullptr;

    // The source text of an entry: the source table's text at that index,
    // empty where it has none, or the entry's own text without a source.
    QString sourceText(quint32 index) const;
};

// Puts imported entries into the table. Fails, changing nothing, on an index
// outside the table or one that comes twice.
void applyImport(TZelkStrings &table, const std::vector<ImportedEntry> &entries, const QString &catalogueName);
