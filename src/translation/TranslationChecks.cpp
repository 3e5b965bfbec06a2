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
    case FindingKind::Numbers:
        return QStringLiteral("numbers");
    case FindingKind::Urls:
        return QStringLiteral("urls");
    case FindingKind::Brackets:
        return QStringLiteral("brackets");
    case FindingKind::Punctuation:
        return QStringLiteral("punctuation");
    case FindingKind::DoubleSpaces:
        return QStringLiteral("double-spaces");
    case FindingKind::RepeatedWords:
        return QStringLiteral("repeated-words");
    case FindingKind::Tabs:
        return QStringLiteral("tabs");
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

bool TranslationChecker::isUntranslated(const QString &source, const QString &translation) const
{
    if (translation.isEmpty())
        return !source.isEmpty();
    if (translation != source || !std::any_of(source.cbegin(), source.cend(), [](QChar c) { return c.isLetter(); }))
        return false;
    return ContentChecks::hasOwnWords(source, placeholderSpans(source));
}

std::vector<ContentChecks::Span> TranslationChecker::placeholderSpans(const QString &text) const
{
    std::vector<ContentChecks::Span> spans;
    if (!mayHoldPlaceholders(text) && m_extraPatterns.isEmpty())
        return spans;
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
            spans.push_back({i, length});
            i += length;
        } else {
            ++i;
        }
    }
    const size_t builtIn = spans.size();
    for (const QRegularExpression &pattern : m_extraPatterns) {
        for (auto it = pattern.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            if (match.capturedLength() > 0)
                spans.push_back({match.capturedStart(), match.capturedLength()});
        }
    }
    // The extra patterns' matches come after the built-in ones in the list
    // of placeholders; in the spans, in text order.
    if (spans.size() > builtIn)
        std::sort(spans.begin(), spans.end(), [](const auto &a, const auto &b) { return a.start < b.start; });
    return spans;
}

QStringList TranslationChecker::placeholders(const QString &text) const
{
    QStringList found;
    for (const ContentChecks::Span &span : placeholderSpans(text))
        found << text.mid(span.start, span.length);
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

    examineContent(source, translation, add);

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

// What a text says besides its words: numbers, addresses, brackets, the end
// mark, spacing, tabs. Each check looks first for the characters it needs,
// so that most texts cost one pass or two.
template<typename Add>
void TranslationChecker::examineContent(const QString &source, const QString &translation, Add add) const
{
    const auto hasDigit = [](const QString &text) {
        return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
    };
    std::vector<ContentChecks::Span> sourceSkip;
    std::vector<ContentChecks::Span> translationSkip;
    bool skipsKnown = false;
    // Placeholders and addresses are no numbers or brackets of the text.
    const auto knowSkips = [&] {
        if (skipsKnown)
            return;
        skipsKnown = true;
        for (auto [text, skip] : {std::pair{&source, &sourceSkip}, std::pair{&translation, &translationSkip}}) {
            *skip = placeholderSpans(*text);
            const std::vector<ContentChecks::Span> addresses = ContentChecks::addressSpans(*text);
            skip->insert(skip->end(), addresses.begin(), addresses.end());
            std::sort(skip->begin(), skip->end(), [](const auto &a, const auto &b) { return a.start < b.start; });
        }
    };
    if (hasDigit(source) || hasDigit(translation)) {
        knowSkips();
        const QStringList want = ContentChecks::numbers(source, sourceSkip);
        const QStringList have = ContentChecks::numbers(translation, translationSkip);
        if (want != have)
            add(FindingKind::Numbers, [&] {
                return QStringLiteral("%1, the source has %2")
                    .arg(have.isEmpty() ? QStringLiteral("no number") : have.join(QLatin1Char(' ')),
                         want.isEmpty() ? QStringLiteral("none") : want.join(QLatin1Char(' ')));
            });
    }
    const QStringList wantAddresses = ContentChecks::addresses(source);
    const QStringList haveAddresses = ContentChecks::addresses(translation);
    if (wantAddresses != haveAddresses)
        add(FindingKind::Urls, [&] {
            return QStringLiteral("%1, the source has %2")
                .arg(haveAddresses.isEmpty() ? QStringLiteral("no address") : haveAddresses.join(QLatin1Char(' ')),
                     wantAddresses.isEmpty() ? QStringLiteral("none") : wantAddresses.join(QLatin1Char(' ')));
        });
    const auto hasBracket = [](const QString &text) {
        return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
            return QStringView(u"()[]{}\"\u00AB\u00BB\u201C\u201D\u201E\u201F\uFF02").contains(c);
        });
    };
    if (hasBracket(source) || hasBracket(translation)) {
        knowSkips();
        const ContentChecks::Brackets want = ContentChecks::brackets(source, sourceSkip);
        const ContentChecks::Brackets have = ContentChecks::brackets(translation, translationSkip);
        if (want != have)
            add(FindingKind::Brackets, [&] { return QStringLiteral("%1; the source has %2").arg(have.describe(), want.describe()); });
    }
    const ContentChecks::EndMark wantEnd = ContentChecks::endMark(source);
    const ContentChecks::EndMark haveEnd = ContentChecks::endMark(translation);
    if (wantEnd != haveEnd)
        add(FindingKind::Punctuation, [&] {
            return QStringLiteral("ends with %1, the source with %2")
                .arg(ContentChecks::endMarkName(haveEnd), ContentChecks::endMarkName(wantEnd));
        });
    const QLatin1String twoSpaces("  ");
    if (translation.contains(twoSpaces) && !source.contains(twoSpaces))
        add(FindingKind::DoubleSpaces, [] { return QStringLiteral("two spaces in a row; the source has none"); });
    if (const QString word = ContentChecks::repeatedWord(translation); !word.isEmpty()
        && ContentChecks::repeatedWord(source).isEmpty())
        add(FindingKind::RepeatedWords, [&] { return QStringLiteral("\"%1\" twice in a row").arg(word); });
    const qsizetype sourceTabs = source.count(QLatin1Char('\t'));
    const qsizetype tabs = translation.count(QLatin1Char('\t'));
    if (sourceTabs != tabs)
        add(FindingKind::Tabs, [&] { return QStringLiteral("%1 tab(s), the source has %2").arg(tabs).arg(sourceTabs); });
}

QString TranslationChecker::structureChange(const QString &before, const QString &after) const
{
    QStringList changes;
    QStringList was = placeholders(before);
    QStringList now = placeholders(after);
    std::sort(was.begin(), was.end());
    std::sort(now.begin(), now.end());
    const QStringList lost = difference(was, now);
    const QStringList gained = difference(now, was);
    if (!lost.isEmpty())
        changes << QStringLiteral("loses %1").arg(lost.join(QLatin1Char(' ')));
    if (!gained.isEmpty())
        changes << QStringLiteral("gains %1").arg(gained.join(QLatin1Char(' ')));
    const qsizetype breaksBefore = before.count(QLatin1Char('\n'));
    const qsizetype breaksAfter = after.count(QLatin1Char('\n'));
    if (breaksBefore != breaksAfter)
        changes << QStringLiteral("%1 line break(s) instead of %2").arg(breaksAfter).arg(breaksBefore);
    return changes.join(QStringLiteral("; "));
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
