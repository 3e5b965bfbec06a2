#include "PoReader.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool startsWith(const char *line, const char *end, const char *word)
{
    const size_t length = std::strlen(word);
    return size_t(end - line) >= length && std::memcmp(line, word, length) == 0;
}

// Appends the bytes a quoted string stands for; false for anything but one
// string with the escapes the library writes, blanks after it allowed.
bool readString(const char *at, const char *end, QByteArray &out)
{
    if (at == end || *at != '"')
        return false;
    ++at;
    while (at < end) {
        const char *stop = at;
        while (stop < end && *stop != '"' && *stop != '\\' && uchar(*stop) >= 0x20)
            ++stop;
        out.append(at, stop - at);
        if (stop == end || uchar(*stop) < 0x20)
            return false;
        if (*stop == '"')
            return std::all_of(stop + 1, end, isBlank);
        if (stop + 1 == end)
            return false;
        switch (stop[1]) {
        case 'n':
            out.append('\n');
            break;
        case 't':
            out.append('\t');
            break;
        case 'r':
            out.append('\r');
            break;
        case '"':
            out.append('"');
            break;
        case '\\':
            out.append('\\');
            break;
        default:
            return false;
        }
        at = stop + 2;
    }
    return false;
}

// The charset a header's Content-Type names; empty where it names none.
QByteArray charsetOf(const QByteArray &header)
{
    const qsizetype at = header.toLower().indexOf("charset=");
    if (at < 0)
        return QByteArray();
    qsizetype end = at + 8;
    while (end < header.size() && header[end] != ';' && header[end] != '\n')
        ++end;
    return header.mid(at + 8, end - at - 8).trimmed();
}

quint64 identityOf(bool hasContext, const QByteArray &context, const QByteArray &id)
{
    quint64 hash = hasContext ? 1469598103934665603ull : 7809847782465536322ull;
    const auto mix = [&hash](const QByteArray &bytes) {
        for (const char c : bytes)
            hash = (hash ^ uchar(c)) * 1099511628211ull;
        hash = (hash ^ 0x100) * 1099511628211ull;
    };
    mix(context);
    mix(id);
    return hash;
}

class PlainReader
{
public:
    explicit PlainReader(bool untranslated)
        : m_withUntranslated(untranslated)
    {
    }

    // False where the catalogue is not plain.
    bool read(const QByteArray &bytes)
    {
        // Control characters (a NUL, a carriage return) are left to the
        // library wherever they stand, comments included.
        if (bytes.startsWith("\xEF\xBB\xBF")
            || std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x20 && c != '\n' && c != '\t'; }))
            return false;
        const char *at = bytes.constData();
        const char *const end = at + bytes.size();
        while (at < end) {
            const char *lineEnd = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
            if (!lineEnd)
                lineEnd = end;
            if (!readLine(at, lineEnd))
                return false;
            at = lineEnd + 1;
        }
        if (m_part == Part::Str && !finishMessage())
            return false;
        if (m_part != Part::None && m_part != Part::Str)
            return false;
        // The same message twice is an error the library names.
        std::sort(m_identities.begin(), m_identities.end());
        return std::adjacent_find(m_identities.begin(), m_identities.end()) == m_identities.end();
    }

    std::vector<ImportedEntry> take() { return std::move(m_entries); }

private:
    enum class Part { None, Context, Id, Str };

    bool readLine(const char *line, const char *end)
    {
        if (std::all_of(line, end, isBlank))
            return true;
        // Bytes beyond ASCII need the header to have said UTF-8 before, and
        // must be UTF-8 wherever they are.
        if (std::any_of(line, end, [](char c) { return uchar(c) >= 0x80; })) {
            if (!m_utf8)
                return false;
            const QString checked = m_lineCheck.decode(QByteArrayView(line, end - line));
            if (m_lineCheck.hasError())
                return false;
        }
        if (*line == '#') {
            if (m_part == Part::Str && !finishMessage())
                return false;
            if (m_part != Part::None)
                return false;
            // Translators' and extracted comments and references are free
            // text; the library reads the rest (obsolete messages, previous
            // texts) and refuses broken ones.
            if (startsWith(line, end, "#,"))
                return readFlags(line + 2, end);
            return line + 1 == end || line[1] == ' ' || line[1] == '.' || line[1] == ':';
        }
        if (*line == '"') {
            QByteArray *part = m_part == Part::Context ? &m_context : m_part == Part::Id ? &m_id : m_part == Part::Str ? &m_str : nullptr;
            return part && readString(line, end, *part);
        }
        if (startsWith(line, end, "msgctxt ")) {
            if ((m_part == Part::Str && !finishMessage()) || m_part != Part::None)
                return false;
            m_part = Part::Context;
            m_hasContext = true;
            return readString(line + 8, end, m_context);
        }
        if (startsWith(line, end, "msgid ")) {
            if (m_part == Part::Str && !finishMessage())
                return false;
            if (m_part != Part::None && m_part != Part::Context)
                return false;
            m_part = Part::Id;
            return readString(line + 6, end, m_id);
        }
        if (startsWith(line, end, "msgstr ")) {
            if (m_part != Part::Id)
                return false;
            m_part = Part::Str;
            return readString(line + 7, end, m_str);
        }
        return false;
    }

    // Other flags than "fuzzy" (a format such as c-format, which the library
    // checks the message against) are left to the library.
    bool readFlags(const char *at, const char *end)
    {
        for (const QByteArray &flag : QByteArray(at, end - at).split(',')) {
            if (flag.trimmed() != "fuzzy")
                return false;
            m_fuzzy = true;
        }
        return true;
    }

    bool finishMessage()
    {
        const bool accepted = m_hasContext || !m_id.isEmpty() ? takeMessage() : takeHeader();
        ++m_messages;
        m_part = Part::None;
        m_hasContext = false;
        m_fuzzy = false;
        m_context.clear();
        m_id.clear();
        m_str.clear();
        return accepted;
    }

    bool takeHeader()
    {
        if (m_sawHeader || m_sawMessage)
            return false;
        m_sawHeader = true;
        const QByteArray charset = charsetOf(m_str).toUpper();
        m_utf8 = charset == "UTF-8";
        return charset.isEmpty() || charset == "CHARSET" || m_utf8;
    }

    bool takeMessage()
    {
        m_sawMessage = true;
        m_identities.push_back(identityOf(m_hasContext, m_context, m_id));
        if (m_str.isEmpty() && !m_withUntranslated)
            return true;
        ImportedEntry entry;
        entry.untranslated = m_str.isEmpty();
        if (!m_hasContext || !PoReader::readContext(m_context.constData(), entry))
            return false;
        entry.sourceText = decode(m_id);
        entry.text = decode(m_str);
        if (m_decoder.hasError())
            return false;
        entry.fuzzy = m_fuzzy;
        entry.message = m_messages;
        m_entries.push_back(std::move(entry));
        return true;
    }

    QString decode(const QByteArray &bytes) { return m_decoder.decode(bytes); }

    bool m_withUntranslated;
    Part m_part = Part::None;
    int m_messages = 0;
    bool m_hasContext = false;
    bool m_fuzzy = false;
    bool m_sawHeader = false;
    bool m_sawMessage = false;
    bool m_utf8 = false;
    QStringDecoder m_lineCheck{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
    QByteArray m_context;
    QByteArray m_id;
    QByteArray m_str;
    QStringDecoder m_decoder{QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless};
    std::vector<quint64> m_identities;
    std::vector<ImportedEntry> m_entries;
};

} // namespace

bool PoReader::readContext(const char *context, ImportedEntry &entry)
{
    if (!context)
        return false;
    const size_t length = std::strlen(context);
    if (length < 8)
        return false;
    const char *number = context + length - 8;
    quint32 value = 0;
    for (const char *c = number; c < context + length; ++c) {
        const int digit = *c >= '0' && *c <= '9' ? *c - '0' : *c >= 'A' && *c <= 'F' ? *c - 'A' + 10 : -1;
        if (digit < 0)
            return false;
        value = value << 4 | quint32(digit);
    }
    entry.number = value;
    if (number == context)
        return true;
    const size_t digits = size_t(number - context) - 1;
    if (number[-1] != ':' || digits < 1 || digits > 10)
        return false;
    quint64 index = 0;
    for (const char *c = context; c < number - 1; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        index = index * 10 + quint64(*c - '0');
    }
    if (index > 0xFFFFFFFFull)
        return false;
    entry.index = quint32(index);
    return true;
}

std::optional<std::vector<ImportedEntry>> PoReader::readPlain(const QByteArray &bytes, bool untranslated)
{
    PlainReader reader(untranslated);
    if (!reader.read(bytes))
        return std::nullopt;
    return reader.take();
}
