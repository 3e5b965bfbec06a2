#include "JsonReader.h"

#include <cstdlib>
#include <cstring>

JsonReader::JsonReader(const QByteArray &bytes, qsizetype offset)
    : m_begin(bytes.constData())
    , m_at(bytes.constData() + offset)
    , m_end(bytes.constData() + bytes.size())
{
}

qsizetype JsonReader::offset()
{
    blanks();
    return m_at - m_begin;
}

void JsonReader::fail(const QString &what) const
{
    qsizetype line = 1;
    const char *lineStart = m_begin;
    for (const char *p = m_begin; p < m_at && p < m_end; ++p) {
        if (*p == '\n') {
            ++line;
            lineStart = p + 1;
        }
    }
    throw Error{QStringLiteral("%1 at line %2, column %3").arg(what).arg(line).arg(m_at - lineStart + 1)};
}

void JsonReader::blanks()
{
    while (m_at < m_end && (*m_at == ' ' || *m_at == '\n' || *m_at == '\r' || *m_at == '\t'))
        ++m_at;
}

void JsonReader::expect(char c)
{
    blanks();
    if (m_at >= m_end || *m_at != c)
        fail(m_at >= m_end ? QStringLiteral("the text ends where \"%1\" was expected").arg(QLatin1Char(c))
                           : QStringLiteral("\"%1\" expected").arg(QLatin1Char(c)));
    ++m_at;
}

JsonReader::Type JsonReader::peek()
{
    blanks();
    if (m_at >= m_end)
        fail(QStringLiteral("the text ends where a value was expected"));
    switch (*m_at) {
    case '{':
        return Type::Object;
    case '[':
        return Type::Array;
    case '"':
        return Type::String;
    case 't':
        return Type::True;
    case 'f':
        return Type::False;
    case 'n':
        return Type::Null;
    default:
        if (*m_at == '-' || (*m_at >= '0' && *m_at <= '9'))
            return Type::Number;
        fail(QStringLiteral("a value expected"));
    }
}

void JsonReader::object(const std::function<void(QByteArrayView)> &onMember)
{
    expect('{');
    blanks();
    if (m_at < m_end && *m_at == '}') {
        ++m_at;
        return;
    }
    for (;;) {
        if (peek() != Type::String)
            fail(QStringLiteral("a member's name expected"));
        // Names are short and plain: their bytes do, without a decoding.
        const char *start = m_at + 1;
        skipString();
        QByteArray decoded;
        QByteArrayView key(start, m_at - 1 - start);
        if (key.contains('\\')) {
            decoded = QString(JsonReader(QByteArray(start - 1, m_at - start + 1)).string()).toUtf8();
            key = decoded;
        }
        expect(':');
        onMember(key);
        blanks();
        if (m_at < m_end && *m_at == ',') {
            ++m_at;
            continue;
        }
        expect('}');
        return;
    }
}

void JsonReader::array(const std::function<void()> &onItem)
{
    expect('[');
    blanks();
    if (m_at < m_end && *m_at == ']') {
        ++m_at;
        return;
    }
    for (;;) {
        onItem();
        blanks();
        if (m_at < m_end && *m_at == ',') {
            ++m_at;
            continue;
        }
        expect(']');
        return;
    }
}

quint32 JsonReader::hexQuad()
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i, ++m_at) {
        if (m_at >= m_end)
            fail(QStringLiteral("an unterminated string"));
        const char c = *m_at;
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0)
            fail(QStringLiteral("a \\u escape without four hexadecimal digits"));
        value = value * 16 + quint32(digit);
    }
    return value;
}

// Runs of plain characters are decoded at once; escapes one by one.
QString JsonReader::string()
{
    expect('"');
    QString text;
    for (;;) {
        const char *run = m_at;
        while (m_at < m_end && *m_at != '"' && *m_at != '\\' && uchar(*m_at) >= 0x20)
            ++m_at;
        if (m_at > run)
            text += QString::fromUtf8(run, m_at - run);
        if (m_at >= m_end)
            fail(QStringLiteral("an unterminated string"));
        if (*m_at == '"') {
            ++m_at;
            return text;
        }
        if (uchar(*m_at) < 0x20)
            fail(QStringLiteral("a control character in a string"));
        ++m_at; // the backslash
        if (m_at >= m_end)
            fail(QStringLiteral("an unterminated string"));
        const char escape = *m_at++;
        switch (escape) {
        case '"':
        case '\\':
        case '/':
            text += QLatin1Char(escape);
            break;
        case 'b':
            text += QLatin1Char('\b');
            break;
        case 'f':
            text += QLatin1Char('\f');
            break;
        case 'n':
            text += QLatin1Char('\n');
            break;
        case 'r':
            text += QLatin1Char('\r');
            break;
        case 't':
            text += QLatin1Char('\t');
            break;
        case 'u':
            text += QChar(char16_t(hexQuad()));
            break;
        default:
            --m_at;
            fail(QStringLiteral("an unknown escape \"\\%1\"").arg(QLatin1Char(escape)));
        }
    }
}

// A string passed over without decoding it.
void JsonReader::skipString()
{
    expect('"');
    for (;;) {
        while (m_at < m_end && *m_at != '"' && *m_at != '\\' && uchar(*m_at) >= 0x20)
            ++m_at;
        if (m_at >= m_end)
            fail(QStringLiteral("an unterminated string"));
        if (*m_at == '"') {
            ++m_at;
            return;
        }
        if (uchar(*m_at) < 0x20)
            fail(QStringLiteral("a control character in a string"));
        m_at += 2;
        if (m_at > m_end)
            fail(QStringLiteral("an unterminated string"));
    }
}

double JsonReader::number()
{
    blanks();
    const char *start = m_at;
    if (m_at < m_end && *m_at == '-')
        ++m_at;
    const auto digits = [this] {
        const char *from = m_at;
        while (m_at < m_end && *m_at >= '0' && *m_at <= '9')
            ++m_at;
        return m_at > from;
    };
    if (!digits())
        fail(QStringLiteral("a number expected"));
    if (m_at < m_end && *m_at == '.') {
        ++m_at;
        if (!digits())
            fail(QStringLiteral("a number expected"));
    }
    if (m_at < m_end && (*m_at == 'e' || *m_at == 'E')) {
        ++m_at;
        if (m_at < m_end && (*m_at == '+' || *m_at == '-'))
            ++m_at;
        if (!digits())
            fail(QStringLiteral("a number expected"));
    }
    return std::strtod(QByteArray(start, m_at - start).constData(), nullptr);
}

void JsonReader::literal(const char *word)
{
    const size_t length = std::strlen(word);
    if (size_t(m_end - m_at) < length || std::memcmp(m_at, word, length) != 0)
        fail(QStringLiteral("a value expected"));
    m_at += length;
}

void JsonReader::skip()
{
    switch (peek()) {
    case Type::Object:
        object([this](QByteArrayView) { skip(); });
        break;
    case Type::Array:
        array([this] { skip(); });
        break;
    case Type::String:
        skipString();
        break;
    case Type::Number:
        number();
        break;
    case Type::True:
        literal("true");
        break;
    case Type::False:
        literal("false");
        break;
    case Type::Null:
        literal("null");
        break;
    }
}

void JsonReader::end()
{
    blanks();
    if (m_at < m_end)
        fail(QStringLiteral("text after the end"));
}
