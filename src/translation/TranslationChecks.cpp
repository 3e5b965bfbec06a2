#include "TranslationChecks.h"

#include <algorithm>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// The length of a printf conversion at text[at] ('%'), 0 when there is none.
qsizetype printfLength(QStringView text, qsizetype at)
{
    qsizetype i = at + 1;
    const qsizetype n = text.size();
    const auto skipDigits = [&] {
        while (i < n && isAsciiDigit(text[i]))
            ++i;
    };
    if (i < n && text[i] == QLatin1Char('%'))
        return 2;
    const qsizetype digitsStart = i;
    skipDigits();
    if (i > digitsStart && (i >= n || text[i] != QLatin1Char('$')))
        i = digitsStart; // a width, read again below
    else if (i > digitsStart)
        ++i;
    while (i < n && QStringView(u"-+#0").contains(text[i]))
        ++i;
    if (i < n && text[i] == QLatin1Char('*'))
        ++i;
    else
        skipDigits();
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        if (i < n && text[i] == QLatin1Char('*'))
            ++i;
        else
            skipDigits();
    }
    while (i < n && QStringView(u"hlLqjzt").contains(text[i]))
        ++i;
    if (i < n && QStringView(u"diouxXeEfFgGaAcspn").contains(text[i]))
        return i + 1 - at;
    return 0;
}

// "{0}", "{name}", "{0:N2}": a name of letters, digits and '_', and an
// optional format after ':'.
qsizetype braceLength(QStringView text, qsizetype at)
{
    qsizetype i = at + 1;
    const qsizetype n = text.size();
    while (i < n && (isAsciiLetter(text[i]) || isAsciiDigit(text[i]) || text[i] == QLatin1Char('_')))
        ++i;
    if (i < n && text[i] == QLatin1Char(':')) {
        while (i < n && text[i] != QLatin1Char('}') && text[i] != QLatin1Char('{'))
            ++i;
    }
    return i < n && text[i] == QLatin1Char('}') ? i + 1 - at : 0;
}

// "<b>", "</b>", "<color=#ff0000>": a tag name that starts with a letter.
qsizetype tagLength(QStringView text, qsizetype at)
{
    qsizetype i = at + 1;
    const qsizetype n = text.size();
    if (i < n && text[i] == QLatin1Char('/'))
        ++i;
    if (i >= n || !isAsciiLetter(text[i]))
        return 0;
    while (i < n && text[i] != QLatin1Char('>') && text[i] != QLatin1Char('<') && text[i] != QLatin1Char('\n'))
        ++i;
    return i < n && text[i] == QLatin1Char('>') ? i + 1 - at : 0;
}

// The spaces and tabs at the start and at the end of a text, line breaks not
// counted (they have a check of their own).
QStringView edgeSpaces(const QString &text, bool leading)
{
    const auto isSpace = [](QChar c) { return c.isSpace() && c != QLatin1Char('\n') && c != QLatin1Char('\r'); };
    qsizetype length = 0;
    if (leading) {
        while (length < text.size() && isSpace(text[length]))
            ++length;
        return QStringView(text).left(length);
    }
    while (length < text.size() && isSpace(text[text.size() - 1 - length]))
        ++length;
    return QStringView(text).right(length);
}

// Whether a text may hold a built-in placeholder at all: most texts do not,
// and then the scan is skipped.
bool mayHoldPlaceholders(const QString &text)
{
    return text.contains(QLatin1Char('%')) || text.contains(QLatin1Char('{')) || text.contains(QLatin1Char('<'));
}

QString describeSpaces(QStringView spaces)
{
    if (spaces.isEmpty())
        return QStringLiteral("none");
    return spaces.count(QLatin1Char(' ')) == spaces.size() ? QStringLiteral("%1 space(s)").arg(spaces.size())
                                                           : QStringLiteral("%1 blank(s)").arg(spaces.size());
}

// What one sorted multiset has that the other lacks.
QStringList difference(const QStringList &sortedA, const QStringList &sortedB)
{
    QStringList only;
    std::set_difference(sortedA.cbegin(), sortedA.cend(), sortedB.cbegin(), sortedB.cend(), std::back_inserter(only));
    return only;
}

qsizetype codePoints(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++count;
    }
    return count;
}

} // namespace

QString findingKindName(FindingKind kind)
{
    switch (kind) {
    case FindingKind::LineBreaks:
        return QStringLiteral("line-breaks");
    case FindingKind::Placeholders:
        return QStringLiteral("placeholders");
    case FindingKind::Spaces:
        return QStringLiteral("spaces");
    case FindingKind::Empty:
        return QStringLiteral("empty");
    case FindingKind::Untranslated:
        return QStringLiteral("untranslated");
    case FindingKind::Length:
        return QStringLiteral("length");
    }
    return QString();
}

bool findingKindFromName(const QString &name, FindingKind &kind)
{
    for (const FindingKind candidate : allFindingKinds()) {
        if (findingKindName(candidate) == name) {
            kind = candidate;
            return true;
        }
    }
    return false;
}

std::vector<FindingKind> allFindingKinds()
{
    std::vector<FindingKind> kinds;
    for (unsigned kind = 0; kind < FindingKindCount; ++kind)
        kinds.push_back(FindingKind(kind));
    return kinds;
}

TranslationChecker::TranslationChecker(QList<QRegularExpression> extraPatterns, double maxLengthRatio)
    : m_extraPatterns(std::move(extraPatterns))
    , m_maxLengthRatio(maxLengthRatio)
{
}

bool TranslationChecker::isUntranslated(const QString &source, const QString &translation)
{
    if (translation.isEmpty())
        return !source.isEmpty();
    return translation == source && std::any_of(source.cbegin(), source.cend(), [](QChar c) { return c.isLetter(); });
}

QStringList TranslationChecker::placeholders(const QString &text) const
{
    QStringList found;
    const QStringView view(text);
    for (qsizetype i = 0; i < view.size();) {
        qsizetype length = 0;
        if (view[i] == QLatin1Char('%'))
            length = printfLength(view, i);
        else if (view[i] == QLatin1Char('{'))
            length = braceLength(view, i);
        else if (view[i] == QLatin1Char('<'))
            length = tagLength(view, i);
        if (length > 0) {
            found << text.mid(i, length);
            i += length;
        } else {
            ++i;
        }
    }
    for (const QRegularExpression &pattern : m_extraPatterns) {
        for (auto it = pattern.globalMatch(text); it.hasNext();)
            found << it.next().captured(0);
    }
    return found;
}

// Calls add(kind, detail) for each finding; detail() builds its text, so a
// caller that needs only the kinds never pays for it.
template<typename Add>
void TranslationChecker::examine(const QString &source, const QString &translation, Add add) const
{
    if (translation.isEmpty() && !source.isEmpty()) {
        add(FindingKind::Empty, [] { return QStringLiteral("the translation is empty"); });
        return;
    }
    if (isUntranslated(source, translation))
        add(FindingKind::Untranslated, [] { return QStringLiteral("the translation equals the source text"); });
    const qsizetype sourceBreaks = source.count(QLatin1Char('\n'));
    const qsizetype breaks = translation.count(QLatin1Char('\n'));
    if (sourceBreaks != breaks)
        add(FindingKind::LineBreaks, [&] { return QStringLiteral("%1 line break(s), the source has %2").arg(breaks).arg(sourceBreaks); });

    if (!m_extraPatterns.isEmpty() || mayHoldPlaceholders(source) || mayHoldPlaceholders(translation)) {
        QStringList expected = placeholders(source);
        QStringList actual = placeholders(translation);
        std::sort(expected.begin(), expected.end());
        std::sort(actual.begin(), actual.end());
        if (expected != actual) {
            add(FindingKind::Placeholders, [&] {
                QStringList parts;
                const QStringList missing = difference(expected, actual);
                const QStringList extra = difference(actual, expected);
                if (!missing.isEmpty())
                    parts << QStringLiteral("missing %1").arg(missing.join(QLatin1Char(' ')));
                if (!extra.isEmpty())
                    parts << QStringLiteral("not in the source %1").arg(extra.join(QLatin1Char(' ')));
                return parts.join(QStringLiteral("; "));
            });
        }
    }

    for (const bool leading : {true, false}) {
        const QStringView want = edgeSpaces(source, leading);
        const QStringView have = edgeSpaces(translation, leading);
        if (want != have)
            add(FindingKind::Spaces, [&] {
                return QStringLiteral("%1: %2, the source has %3")
                    .arg(leading ? QStringLiteral("leading") : QStringLiteral("trailing"), describeSpaces(have),
                         describeSpaces(want));
            });
    }

    if (m_maxLengthRatio > 0) {
        const qsizetype sourceLength = codePoints(source);
        const qsizetype length = codePoints(translation);
        if (double(length) > m_maxLengthRatio * double(sourceLength))
            add(FindingKind::Length, [&] {
                return QStringLiteral("%1 characters, %2 times the source's %3")
                    .arg(length)
                    .arg(sourceLength ? double(length) / double(sourceLength) : 0.0, 0, 'f', 2)
                    .arg(sourceLength);
            });
    }
}

std::vector<Finding> TranslationChecker::check(const QString &source, const QString &translation) const
{
    std::vector<Finding> findings;
    examine(source, translation, [&](FindingKind kind, const auto &detail) { findings.push_back({kind, detail()}); });
    return findings;
}

unsigned TranslationChecker::findingKinds(const QString &source, const QString &translation) const
{
    unsigned kinds = 0;
    examine(source, translation, [&](FindingKind kind, const auto &) { kinds |= 1u << unsigned(kind); });
    return kinds;
}
