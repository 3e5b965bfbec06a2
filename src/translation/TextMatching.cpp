#include "TextMatching.h"

#include "TranslationError.h"

#include <array>
#include <memory>

namespace {

// Each code unit of the Basic Multilingual Plane without its case and
// accents, worked out once.
std::unique_ptr<std::array<char16_t, 0x10000>> makeFoldTable()
{
    auto table = std::make_unique<std::array<char16_t, 0x10000>>();
    for (char32_t unit = 0; unit < 0x10000; ++unit) {
        const QChar c{char16_t(unit)};
        char16_t folded = char16_t(unit);
        if (c.isSurrogate()) {
            (*table)[unit] = folded;
            continue;
        }
        if (c.decompositionTag() != QChar::NoDecomposition) {
            const QString base = QString(c).normalized(QString::NormalizationForm_KD);
            if (!base.isEmpty() && !base[0].isMark())
                folded = base[0].unicode();
        }
        folded = QChar(folded).toCaseFolded().unicode();
        if (QChar(folded).isSpace())
            folded = u' ';
        (*table)[unit] = folded;
    }
    return table;
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_');
}

bool isWholeWord(QStringView text, qsizetype start, qsizetype length)
{
    return (start == 0 || !isWordCharacter(text[start - 1]))
        && (start + length >= text.size() || !isWordCharacter(text[start + length]));
}

} // namespace

char16_t FoldedMatcher::fold(char16_t unit)
{
    static const auto table = makeFoldTable();
    return (*table)[unit];
}

FoldedMatcher::FoldedMatcher(const QString &needle)
{
    for (const QChar c : needle) {
        if (c != QLatin1Char('\r'))
            m_needle.push_back(fold(c.unicode()));
    }
}

// A carriage return before a line feed is no character of its own here, so
// that texts edited in the window (CR LF) match as loaded ones (LF) do.
bool FoldedMatcher::matches(QStringView text) const
{
    if (m_needle.empty())
        return true;
    const char16_t *data = reinterpret_cast<const char16_t *>(text.data());
    const qsizetype size = text.size();
    const char16_t first = m_needle[0];
    for (qsizetype i = 0; i < size; ++i) {
        if (fold(data[i]) != first)
            continue;
        qsizetype at = i + 1;
        size_t matched = 1;
        while (matched < m_needle.size() && at < size) {
            if (data[at] == u'\r') {
                ++at;
                continue;
            }
            if (fold(data[at]) != m_needle[matched])
                break;
            ++at;
            ++matched;
        }
        if (matched == m_needle.size())
            return true;
    }
    return false;
}

bool FoldedMatcher::narrows(const FoldedMatcher &other) const
{
    return m_needle.find(other.m_needle) != std::u16string::npos;
}

TextReplacer::TextReplacer(const QString &find, const QString &replacement, const ReplaceOptions &options)
    : m_find(find)
    , m_replacement(replacement)
    , m_options(options)
{
    if (find.isEmpty())
        throw TranslationError(QStringLiteral("there is nothing to find"));
    if (!options.regex)
        return;
    QRegularExpression::PatternOptions patternOptions = QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        patternOptions |= QRegularExpression::CaseInsensitiveOption;
    // The words around the pattern are checked for each match: a pattern of
    // its own may hold anything.
    m_pattern = QRegularExpression(find, patternOptions);
    if (!m_pattern.isValid())
        throw TranslationError(QStringLiteral("the regular expression \"%1\" does not compile: %2 at position %3")
                                   .arg(find, m_pattern.errorString())
                                   .arg(m_pattern.patternErrorOffset()));
}

bool TextReplacer::next(QStringView text, qsizetype from, qsizetype &start, qsizetype &length, QString &replacement) const
{
    const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    while (from <= text.size()) {
        if (!m_options.regex) {
            start = text.indexOf(m_find, from, cs);
            if (start < 0)
                return false;
            length = m_find.size();
            replacement = m_replacement;
        } else {
            const QRegularExpressionMatch match = m_pattern.match(text, from);
            if (!match.hasMatch())
                return false;
            start = match.capturedStart();
            length = match.capturedLength();
            replacement = expand(match);
        }
        if (!m_options.wholeWords || (length > 0 && isWholeWord(text, start, length)))
            return true;
        from = start + 1;
    }
    return false;
}

// The replacement with \0 to \99 standing for what the pattern captured and
// \\ for a backslash.
QString TextReplacer::expand(const QRegularExpressionMatch &match) const
{
    QString result;
    const QString &pattern = m_replacement;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != QLatin1Char('\\') || i + 1 >= pattern.size()) {
            result += pattern[i];
            continue;
        }
        const QChar after = pattern[i + 1];
        if (after == QLatin1Char('\\')) {
            result += after;
            ++i;
        } else if (after.isDigit() && after.unicode() < 0x80) {
            int group = after.digitValue();
            ++i;
            if (i + 1 < pattern.size() && pattern[i + 1].isDigit() && pattern[i + 1].unicode() < 0x80
                && group * 10 + pattern[i + 1].digitValue() <= m_pattern.captureCount()) {
                group = group * 10 + pattern[i + 1].digitValue();
                ++i;
            }
            result += match.captured(group);
        } else {
            result += pattern[i];
        }
    }
    return result;
}

bool TextReplacer::replace(QStringView text, Result &result) const
{
    result = Result();
    qsizetype from = 0;
    qsizetype copied = 0;
    qsizetype start = 0;
    qsizetype length = 0;
    QString replacement;
    while (next(text, from, start, length, replacement)) {
        result.text += text.mid(copied, start - copied);
        result.before.push_back({start, length});
        result.after.push_back({result.text.size(), replacement.size()});
        result.text += replacement;
        ++result.occurrences;
        copied = start + length;
        // An empty match moves on by one character, which stays as it is.
        from = length > 0 ? copied : start + 1;
    }
    if (result.occurrences == 0)
        return false;
    result.text += text.mid(copied);
    return true;
}
