#include "ContentChecks.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

using ContentChecks::Span;

// Walks a text's positions outside the skipped spans (sorted by start).
class Outside
{
public:
    explicit Outside(const std::vector<Span> &skip)
        : m_skip(skip)
    {
    }
    // The first position at or after i that no span covers.
    qsizetype next(qsizetype i)
    {
        while (m_at < m_skip.size() && m_skip[m_at].start + m_skip[m_at].length <= i)
            ++m_at;
        if (m_at < m_skip.size() && m_skip[m_at].start <= i)
            return m_skip[m_at].start + m_skip[m_at].length;
        return i;
    }

private:
    const std::vector<Span> &m_skip;
    size_t m_at = 0;
};

bool isGroupBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QChar(0x00A0) || c == QChar(0x202F);
}

qsizetype digitRun(QStringView text, qsizetype at)
{
    qsizetype end = at;
    while (end < text.size() && text[end].isDigit())
        ++end;
    return end - at;
}

// One number from its groups of digits and the separators between them.
QString normalNumber(const QStringList &groups, const QString &separators)
{
    const bool decimal = !separators.isEmpty() && separators.back() != QLatin1Char(' ') && groups.back().size() != 3;
    QString whole;
    for (qsizetype i = 0; i + (decimal ? 1 : 0) < groups.size(); ++i)
        whole += groups[i];
    qsizetype zeros = 0;
    while (zeros + 1 < whole.size() && whole[zeros] == QLatin1Char('0'))
        ++zeros;
    whole.remove(0, zeros);
    return decimal ? whole + QLatin1Char('.') + groups.back() : whole;
}

QString asciiDigits(QStringView digits)
{
    QString ascii(digits.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < digits.size(); ++i)
        ascii[i] = QLatin1Char(char('0' + digits[i].digitValue()));
    return ascii;
}

const QRegularExpression &addressPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("(?:https?|ftp)://[^\\s<>\"«»“”]+|www\\.[^\\s<>\"«»“”]+|[\\w.+-]+@[\\w-]+(?:\\.[\\w-]+)+"),
        QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

bool mayHoldAddress(QStringView text)
{
    return text.contains(QLatin1String("://")) || text.contains(QLatin1String("www.")) || text.contains(QLatin1Char('@'));
}

bool isQuote(QChar c)
{
    switch (c.unicode()) {
    case u'"':
    case u'\u00AB':
    case u'\u00BB':
    case u'\u201C':
    case u'\u201D':
    case u'\u201E':
    case u'\u201F':
    case u'\uFF02':
        return true;
    default:
        return false;
    }
}

bool isClosing(QChar c)
{
    return isQuote(c) || QStringView(u")]}'\u2019\u300D\u300F").contains(c);
}

bool isWordLetter(QChar c)
{
    return c.isLetter() || c.isMark();
}

} // namespace

QStringList ContentChecks::numbers(QStringView text, const std::vector<Span> &skip)
{
    QStringList found;
    Outside outside(skip);
    for (qsizetype i = outside.next(0); i < text.size(); i = outside.next(i + 1)) {
        if (!text[i].isDigit())
            continue;
        QStringList groups;
        QString separators;
        qsizetype run = digitRun(text, i);
        groups << asciiDigits(text.mid(i, run));
        i += run;
        while (i + 1 < text.size() && text[i + 1].isDigit()) {
            const QChar separator = text[i];
            const qsizetype next = digitRun(text, i + 1);
            const bool blank = isGroupBlank(separator);
            if (!(blank || separator == QLatin1Char('.') || separator == QLatin1Char(',') || separator == QLatin1Char('\''))
                || (blank && next != 3))
                break;
            separators += blank || separator == QLatin1Char('\'') ? QLatin1Char(' ') : separator;
            groups << asciiDigits(text.mid(i + 1, next));
            i += 1 + next;
        }
        found << normalNumber(groups, separators);
        --i;
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<Span> ContentChecks::addressSpans(QStringView text)
{
    std::vector<Span> spans;
    if (!mayHoldAddress(text))
        return spans;
    for (auto it = addressPattern().globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        qsizetype length = match.capturedLength();
        while (length > 0 && QStringView(u".,;:!?)]'\u2019").contains(text[match.capturedStart() + length - 1]))
            --length;
        spans.push_back({match.capturedStart(), length});
    }
    return spans;
}

QStringList ContentChecks::addresses(QStringView text)
{
    QStringList found;
    for (const Span &span : addressSpans(text))
        found << text.mid(span.start, span.length).toString();
    std::sort(found.begin(), found.end());
    return found;
}

bool ContentChecks::Brackets::operator==(const Brackets &other) const
{
    return std::equal(round, round + 2, other.round) && std::equal(square, square + 2, other.square)
        && std::equal(curly, curly + 2, other.curly) && quotes == other.quotes;
}

QString ContentChecks::Brackets::describe() const
{
    return QStringLiteral("( %1 ) %2, [ %3 ] %4, { %5 } %6, quotation marks %7")
        .arg(round[0]).arg(round[1]).arg(square[0]).arg(square[1]).arg(curly[0]).arg(curly[1]).arg(quotes);
}

ContentChecks::Brackets ContentChecks::brackets(QStringView text, const std::vector<Span> &skip)
{
    Brackets counts;
    Outside outside(skip);
    for (qsizetype i = outside.next(0); i < text.size(); i = outside.next(i + 1)) {
        switch (text[i].unicode()) {
        case u'(':
            ++counts.round[0];
            break;
        case u')':
            ++counts.round[1];
            break;
        case u'[':
            ++counts.square[0];
            break;
        case u']':
            ++counts.square[1];
            break;
        case u'{':
            ++counts.curly[0];
            break;
        case u'}':
            ++counts.curly[1];
            break;
        default:
            if (isQuote(text[i]))
                ++counts.quotes;
        }
    }
    return counts;
}

ContentChecks::EndMark ContentChecks::endMark(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1].isSpace() || isClosing(text[end - 1])))
        --end;
    if (end == 0)
        return EndMark::None;
    const QStringView body = text.left(end);
    if (body.endsWith(QChar(0x2026)) || body.endsWith(QLatin1String("...")))
        return EndMark::Ellipsis;
    switch (body.back().unicode()) {
    case u'?':
    case u'\uFF1F':
        return EndMark::Question;
    case u'!':
    case u'\uFF01':
        return EndMark::Exclamation;
    case u'.':
    case u'\u3002':
    case u'\uFF0E':
        return EndMark::FullStop;
    case u':':
    case u'\uFF1A':
        return EndMark::Colon;
    default:
        return EndMark::None;
    }
}

QString ContentChecks::endMarkName(EndMark mark)
{
    switch (mark) {
    case EndMark::None:
        return QStringLiteral("no mark");
    case EndMark::Question:
        return QStringLiteral("\"?\"");
    case EndMark::Exclamation:
        return QStringLiteral("\"!\"");
    case EndMark::FullStop:
        return QStringLiteral("\".\"");
    case EndMark::Colon:
        return QStringLiteral("\":\"");
    case EndMark::Ellipsis:
        return QStringLiteral("\"…\"");
    }
    return QString();
}

QString ContentChecks::repeatedWord(QStringView text)
{
    QStringView previous;
    qsizetype previousEnd = -1;
    for (qsizetype i = 0; i < text.size();) {
        if (!isWordLetter(text[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && (isWordLetter(text[end]) || text[end].isDigit()))
            ++end;
        const QStringView word = text.mid(i, end - i);
        bool onlySpaceBetween = previousEnd >= 0;
        for (qsizetype j = previousEnd; onlySpaceBetween && j < i; ++j)
            onlySpaceBetween = text[j] == QLatin1Char(' ') || text[j] == QChar(0x00A0);
        if (onlySpaceBetween && word.compare(previous, Qt::CaseInsensitive) == 0)
            return word.toString();
        previous = word;
        previousEnd = end;
        i = end;
    }
    return QString();
}

bool ContentChecks::hasOwnWords(QStringView text, const std::vector<Span> &skip)
{
    static const QRegularExpression version(QStringLiteral("^[vV]?\\d+(\\.\\d+)+$"));
    std::vector<Span> left = skip;
    const std::vector<Span> addressed = addressSpans(text);
    left.insert(left.end(), addressed.begin(), addressed.end());
    std::sort(left.begin(), left.end(), [](const Span &a, const Span &b) { return a.start < b.start; });
    int words = 0;
    bool versionNumber = false;
    Outside outside(left);
    for (qsizetype i = outside.next(0); i < text.size();) {
        if (text[i].isSpace()) {
            i = outside.next(i + 1);
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !text[end].isSpace() && outside.next(end) == end)
            ++end;
        QStringView token = text.mid(i, end - i);
        while (!token.isEmpty() && !token.front().isLetterOrNumber())
            token = token.mid(1);
        while (!token.isEmpty() && !token.back().isLetterOrNumber())
            token.chop(1);
        const bool digits = std::any_of(token.begin(), token.end(), [](QChar c) { return c.isDigit(); });
        const auto letters = std::count_if(token.begin(), token.end(), [](QChar c) { return c.isLetter(); });
        if (digits)
            versionNumber = versionNumber || version.match(token).hasMatch();
        else if (letters >= 2)
            ++words;
        i = outside.next(end);
    }
    return words > 1 || (words == 1 && !versionNumber);
}
