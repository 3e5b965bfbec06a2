#include "CsvCatalogue.h"

#include "TextOutput.h"
#include "uZelkStrings.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace {

// Splits RFC 4180 text into rows of fields; rows end with CR LF or LF.
class CsvReader
{
public:
    CsvReader(const QString &text, const QString &fileName, QChar delimiter)
        : m_text(text)
        , m_fileName(fileName)
        , m_delimiter(delimiter)
    {
    }

    bool atEnd() const { return m_at >= m_text.size(); }

    QStringList nextRow()
    {
        QStringList fields;
        m_rowLine = m_line;
        for (;;) {
            fields << nextField();
            if (atEnd())
                return fields;
            const QChar c = m_text[m_at];
            if (c == m_delimiter) {
                ++m_at;
                continue;
            }
            if (c == QLatin1Char('\r') && m_at + 1 < m_text.size() && m_text[m_at + 1] == QLatin1Char('\n'))
                ++m_at;
            ++m_at;
            ++m_line;
            return fields;
        }
    }

    int rowLine() const { return m_rowLine; }

    CliError error(const QString &what) const
    {
        return CliError(QStringLiteral("%1:%2: %3").arg(m_fileName).arg(m_rowLine).arg(what));
    }

private:
    QString nextField()
    {
        if (!atEnd() && m_text[m_at] == QLatin1Char('"'))
            return nextQuotedField();
        const qsizetype start = m_at;
        while (!atEnd()) {
            const QChar c = m_text[m_at];
            if (c == m_delimiter || c == QLatin1Char('\n')
                || (c == QLatin1Char('\r') && m_at + 1 < m_text.size() && m_text[m_at + 1] == QLatin1Char('\n')))
                break;
            if (c == QLatin1Char('"'))
                throw error(QStringLiteral("a quote inside a field that is not quoted"));
            ++m_at;
        }
        return m_text.mid(start, m_at - start);
    }

    // A field in quotes, where two quotes stand for one.
    QString nextQuotedField()
    {
        QString field;
        ++m_at;
        for (;;) {
            const qsizetype quote = m_text.indexOf(QLatin1Char('"'), m_at);
            if (quote < 0)
                throw error(QStringLiteral("a quoted field does not end"));
            const QStringView part = QStringView(m_text).mid(m_at, quote - m_at);
            m_line += int(part.count(QLatin1Char('\n')));
            field += part;
            m_at = quote + 1;
            if (atEnd() || m_text[m_at] != QLatin1Char('"'))
                break;
            field += QLatin1Char('"');
            ++m_at;
        }
        if (!atEnd() && m_text[m_at] != m_delimiter && m_text[m_at] != QLatin1Char('\r')
            && m_text[m_at] != QLatin1Char('\n'))
            throw error(QStringLiteral("text follows a closing quote"));
        return field;
    }

    const QString &m_text;
    QString m_fileName;
    QChar m_delimiter;
    qsizetype m_at = 0;
    int m_line = 1;
    int m_rowLine = 1;
};

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (base == 16 && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (base == 16 && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Digits of the base and nothing else, at most maxDigits of them, within 32 bits.
bool readDigits(const QString &field, int base, int maxDigits, quint32 &value)
{
    if (field.isEmpty() || field.size() > maxDigits)
        return false;
    quint64 result = 0;
    for (const QChar c : field) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            return false;
        result = result * quint64(base) + quint64(digit);
        if (result > 0xFFFFFFFFull)
            return false;
    }
    value = quint32(result);
    return true;
}

quint32 readIndex(const QString &field, const CsvReader &reader)
{
    quint32 index = 0;
    if (!readDigits(field, 10, 10, index))
        throw reader.error(QStringLiteral("\"%1\" is not an entry index").arg(field));
    return index;
}

quint32 readNumber(const QString &field, const CsvReader &reader)
{
    quint32 number = 0;
    if (!readDigits(field, 16, 8, number))
        throw reader.error(QStringLiteral("\"%1\" is not a number of 1 to 8 hexadecimal digits").arg(field));
    return number;
}

// The bytes column: pairs of hexadecimal digits.
QByteArray readBytes(const QString &field, const CsvReader &reader)
{
    const QByteArray digits = field.toLatin1();
    const bool hex = field.size() % 2 == 0
        && std::all_of(field.cbegin(), field.cend(), [](QChar c) { return digitValue(c, 16) >= 0; });
    const QByteArray bytes = QByteArray::fromHex(digits);
    if (!hex || bytes.contains('\0'))
        throw reader.error(QStringLiteral("\"%1\" is not a text's bytes in hexadecimal").arg(field.left(40)));
    return bytes;
}

} // namespace

void CsvCatalogue::write(const ExportTables &tables, BufferedOutput &out)
{
    const TZelkStrings &table = tables.translation;
    const bool bilingual = tables.source != nullptr;
    // Texts that are not UTF-8 cannot stand in a text column: their bytes go
    // in a column of their own, which only such files have.
    const bool withBytes = table.unreadableCount() > 0;
    out.ascii(bilingual ? "index,number,source,text" : "index,number,text").ascii(withBytes ? ",bytes\r\n" : "\r\n");
    const quint32 count = table.EntryCount();
    for (quint32 i = 0; i < count; ++i) {
        out.number(i).ascii(",").hex8(table.GetNumber(i)).ascii(",");
        if (bilingual)
            out.text(tables.sourceText(i), BufferedOutput::Escape::Csv).ascii(",");
        out.text(table.entryText(i), BufferedOutput::Escape::Csv);
        if (withBytes) {
            out.ascii(",");
            if (table.isUnreadable(i))
                out.hexBytes(table.unreadableBytes(i));
        }
        out.ascii("\r\n");
    }
}

std::vector<ImportedEntry> CsvCatalogue::read(const QByteArray &bytes, const QString &fileName, QChar delimiter)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        throw CliError(QStringLiteral("%1: not UTF-8 text").arg(fileName));
    // Spreadsheets in many languages save CSV with semicolons.
    const QStringView firstLine = QStringView(text).left(text.indexOf(QLatin1Char('\n')));
    if (delimiter == QLatin1Char(',') && firstLine.contains(QLatin1Char(';')) && !firstLine.contains(QLatin1Char(',')))
        throw CliError(QStringLiteral("%1: this looks like a semicolon-separated file: give --delimiter ';' or save it with commas")
                           .arg(fileName));

    CsvReader reader(text, fileName, delimiter);
    std::vector<ImportedEntry> entries;
    int columns = 0;
    bool withBytes = false;
    bool first = true;
    while (!reader.atEnd()) {
        const QStringList fields = reader.nextRow();
        if (first) {
            first = false;
            columns = int(fields.size());
            if (fields.value(0).compare(QLatin1String("index"), Qt::CaseInsensitive) == 0) {
                withBytes = fields.last().compare(QLatin1String("bytes"), Qt::CaseInsensitive) == 0;
                continue;
            }
        }
        const int textColumns = columns - (withBytes ? 1 : 0);
        if (fields.size() != columns || (textColumns != 3 && textColumns != 4))
            throw reader.error(QStringLiteral("expected %1 fields (index, number, [source,] text%2), found %3")
                                   .arg(columns == 4 || columns == 5 ? columns : 3)
                                   .arg(withBytes ? QStringLiteral(", bytes") : QString())
                                   .arg(fields.size()));
        ImportedEntry entry;
        entry.index = readIndex(fields[0], reader);
        entry.number = readNumber(fields[1], reader);
        // A row's number follows its entry when a game update moves it.
        entry.preferNumber = true;
        if (textColumns == 4)
            entry.sourceText = fields[2];
        entry.text = fields[textColumns - 1];
        if (withBytes && !fields.last().isEmpty())
            entry.bytes = readBytes(fields.last(), reader);
        entry.where = QStringLiteral("%1:%2").arg(fileName).arg(reader.rowLine());
        entries.push_back(entry);
    }
    return entries;
}
