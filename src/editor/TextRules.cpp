#include "TextRules.h"

#include <algorithm>
#include <cstring>

namespace {

char16_t fold(char16_t unit)
{
    return unit >= u'a' && unit <= u'z' ? char16_t(unit - 0x20) : unit;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

int decimalDigit(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'0' && u <= u'9' ? u - u'0' : -1;
}

bool hasAsciiLetter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
    });
}

} // namespace

bool TextRules::readHexNumber(const QString &text, quint32 &value)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    quint32 result = 0;
    for (const QChar c : text) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return false;
        result = result << 4 | quint32(digit);
    }
    value = result;
    return true;
}

bool TextRules::readInteger(const QString &text, qint32 &value)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && (text[i] == QLatin1Char('$') || text[i] == QLatin1Char('x') || text[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0')
               && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;

    quint64 magnitude = 0;
    for (; i < n; ++i) {
        const int digit = hex ? hexDigit(text[i]) : decimalDigit(text[i]);
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + quint64(digit);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    if (hex) {
        const qint64 signedValue = qint32(quint32(magnitude));
        value = qint32(quint32(negative ? -signedValue : signedValue));
        return true;
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull))
        return false;
    value = qint32(negative ? -qint64(magnitude) : qint64(magnitude));
    return true;
}

QString TextRules::toEditorLines(const QString &text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

QString TextRules::fromEditorLines(const QString &text)
{
    if (!text.contains(QLatin1Char('\n')))
        return text;
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return lines;
}

int TextRules::compareFolded(const QString &a, const QString &b)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(a.constData());
    const char16_t *q = reinterpret_cast<const char16_t *>(b.constData());
    // Entries that share a text compare at no cost, and equal stretches of
    // long texts at the speed of memcmp: sorting many equal texts stays fast.
    if (p == q && a.size() == b.size())
        return 0;
    const qsizetype common = std::min(a.size(), b.size());
    constexpr qsizetype Stretch = 64;
    qsizetype i = 0;
    while (i + Stretch <= common && std::memcmp(p + i, q + i, Stretch * sizeof(char16_t)) == 0)
        i += Stretch;
    for (; i < common; ++i) {
        if (p[i] != q[i]) {
            const char16_t x = fold(p[i]);
            const char16_t y = fold(q[i]);
            if (x != y)
                return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

quint64 TextRules::foldedPrefix(const QString &text)
{
    const char16_t *units = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype count = std::min<qsizetype>(text.size(), 4);
    quint64 prefix = 0;
    for (qsizetype i = 0; i < 4; ++i)
        prefix = prefix << 16 | (i < count ? fold(units[i]) : 0);
    return prefix;
}

bool TextRules::containsText(const QString &text, const QString &needle, bool matchCase)
{
    if (needle.isEmpty() || needle.size() > text.size())
        return false;
    if (matchCase || !hasAsciiLetter(needle))
        return text.contains(needle, Qt::CaseSensitive);
    const char16_t *hay = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *pin = reinterpret_cast<const char16_t *>(needle.constData());
    const qsizetype last = text.size() - needle.size();
    const char16_t first = fold(pin[0]);
    for (qsizetype start = 0; start <= last; ++start) {
        if (fold(hay[start]) != first)
            continue;
        qsizetype k = 1;
        while (k < needle.size() && fold(hay[start + k]) == fold(pin[k]))
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

QString TextRules::fileNamePart(const QString &path)
{
#ifdef Q_OS_WIN
    const qsizetype cut = std::max({path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')),
                                    path.lastIndexOf(QLatin1Char(':'))});
#else
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
#endif
    return path.mid(cut + 1);
}
