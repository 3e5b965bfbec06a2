#include "TextOutput.h"

#include "AtomicFileWriter.h"
#include "uZelkStrings.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype FlushSize = 1 << 20;

// The escape sequence of an ASCII character, or nullptr when it stands as it is.
const char *escapeOf(char16_t unit, BufferedOutput::Escape escape)
{
    switch (unit) {
    case u'\\':
        return "\\\\";
    case u'\t':
        return "\\t";
    case u'\n':
        return "\\n";
    case u'\r':
        return "\\r";
    case u'"':
        return escape == BufferedOutput::Escape::Json ? "\\\"" : nullptr;
    default:
        return nullptr;
    }
}

bool isHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u < 0xDC00;
}

bool isLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u < 0xE000;
}

} // namespace

BufferedOutput::BufferedOutput(std::FILE *stream)
    : m_stream(stream)
{
    m_buffer.reserve(FlushSize + 4096);
}

BufferedOutput::~BufferedOutput()
{
    flush();
}

BufferedOutput &BufferedOutput::ascii(const char *text)
{
    const size_t length = std::strlen(text);
    char *out = reserve(qsizetype(length));
    std::memcpy(out, text, length);
    commit(out + length);
    return *this;
}

BufferedOutput &BufferedOutput::bytes(const char *data, qsizetype size)
{
    char *out = reserve(size);
    std::memcpy(out, data, size_t(size));
    commit(out + size);
    return *this;
}

BufferedOutput &BufferedOutput::number(quint64 value)
{
    char digits[24];
    int length = 0;
    do {
        digits[length++] = char('0' + value % 10);
        value /= 10;
    } while (value);
    char *out = reserve(length);
    while (length)
        *out++ = digits[--length];
    commit(out);
    return *this;
}

BufferedOutput &BufferedOutput::hex8(quint32 value)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    char *out = reserve(8);
    for (int shift = 28; shift >= 0; shift -= 4)
        *out++ = hexDigits[(value >> shift) & 0xF];
    commit(out);
    return *this;
}

BufferedOutput &BufferedOutput::text(const QString &text, Escape escape)
{
    const bool quoted = escape == Escape::Json
        || (escape == Escape::Csv
            && (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
                || text.contains(QLatin1Char('\r'))));
    // At most three bytes, or a six-byte escape, per code unit.
    char *out = reserve(text.size() * 6 + 2);
    const char16_t *units = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype count = text.size();
    if (quoted)
        *out++ = '"';
    for (qsizetype i = 0; i < count; ++i) {
        char32_t u = units[i];
        if (u < 0x80) {
            const char *sequence = escape == Escape::Table || escape == Escape::Json ? escapeOf(char16_t(u), escape) : nullptr;
            if (sequence) {
                while (*sequence)
                    *out++ = *sequence++;
            } else if (escape == Escape::Json && u < 0x20) {
                out += std::snprintf(out, 7, "\\u%04x", unsigned(u));
            } else {
                if (escape == Escape::Csv && u == u'"')
                    *out++ = '"';
                *out++ = char(u);
            }
            continue;
        }
        if (u < 0x800) {
            *out++ = char(0xC0 | u >> 6);
            *out++ = char(0x80 | (u & 0x3F));
            continue;
        }
        if (isHighSurrogate(char16_t(u)) && i + 1 < count && isLowSurrogate(units[i + 1])) {
            u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00);
            *out++ = char(0xF0 | u >> 18);
            *out++ = char(0x80 | (u >> 12 & 0x3F));
        } else {
            if (isHighSurrogate(char16_t(u)) || isLowSurrogate(char16_t(u)))
                u = 0xFFFD;
            *out++ = char(0xE0 | u >> 12);
        }
        *out++ = char(0x80 | (u >> 6 & 0x3F));
        *out++ = char(0x80 | (u & 0x3F));
    }
    if (quoted)
        *out++ = '"';
    commit(out);
    return *this;
}

BufferedOutput &BufferedOutput::escapedBytes(const QByteArray &bytes)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    char *out = reserve(bytes.size() * 4);
    for (const char byte : bytes) {
        const uchar c = uchar(byte);
        if (const char *sequence = c < 0x80 ? escapeOf(char16_t(c), Escape::Table) : nullptr) {
            while (*sequence)
                *out++ = *sequence++;
        } else if (c >= 0x20 && c < 0x7F) {
            *out++ = char(c);
        } else {
            *out++ = '\\';
            *out++ = 'x';
            *out++ = hexDigits[c >> 4];
            *out++ = hexDigits[c & 0xF];
        }
    }
    commit(out);
    return *this;
}

BufferedOutput &BufferedOutput::hexBytes(const QByteArray &bytes)
{
    const QByteArray hex = bytes.toHex().toUpper();
    char *out = reserve(hex.size());
    out = std::copy(hex.cbegin(), hex.cend(), out);
    commit(out);
    return *this;
}

BufferedOutput::BufferedOutput(AtomicFileWriter &file)
    : BufferedOutput()
{
    m_file = &file;
}

bool BufferedOutput::finish()
{
    flush();
    if (m_stream && std::fflush(m_stream) != 0)
        m_failed = true;
    return !m_failed;
}

QByteArray BufferedOutput::takeBytes()
{
    QByteArray bytes;
    bytes.swap(m_buffer);
    return bytes;
}

// Room for bytes at the end of the buffer, written through the pointer and
// then committed.
char *BufferedOutput::reserve(qsizetype bytes)
{
    const qsizetype used = m_buffer.size();
    if (m_buffer.capacity() - used < bytes)
        m_buffer.reserve(std::max(m_buffer.capacity() * 2, used + bytes));
    return m_buffer.data() + used;
}

void BufferedOutput::commit(const char *end)
{
    m_buffer.resize(end - m_buffer.constData());
    if ((m_stream || m_file) && m_buffer.size() >= FlushSize)
        flush();
}

void BufferedOutput::flush()
{
    if ((!m_stream && !m_file) || m_buffer.isEmpty())
        return;
    if (!m_failed && m_stream && std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_stream) != size_t(m_buffer.size()))
        m_failed = true;
    if (!m_failed && m_file) {
        try {
            m_file->write(m_buffer.constData(), m_buffer.size());
        } catch (const StringsError &) {
            m_failed = true;
        }
    }
    // Emptied, its memory kept for the next piece.
    m_buffer.resize(0);
}
