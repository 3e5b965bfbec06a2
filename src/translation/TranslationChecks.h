#pragma once

#include "ContentChecks.h"

#include <QList>
#include <QRegularExpression>
#include <QString>

#include <vector>

// What breaks a game at run time or on screen when a translation differs from
// its source in the wrong way.
enum class FindingKind {
    LineBreaks,   // the number of line breaks differs
    Placeholders, // printf, brace and markup placeholders differ as multisets
    Spaces,       // leading or trailing spaces differ
    Empty,        // the translation is empty where the source is not
    Untranslated, // the translation equals a source text that has words of a language
    Length,       // the translation is longer than allowed
    Numbers,      // the numbers differ as multisets, whatever their separators
    Urls,         // web and e-mail addresses differ
    Brackets,     // brackets or quotation marks open and close another number of times
    Punctuation,  // the last punctuation mark differs
    DoubleSpaces, // two spaces in a row where the source has none
    RepeatedWords, // a word typed twice in a row where the source repeats none
    Tabs,         // the number of tabs differs
};
constexpr unsigned FindingKindCount = unsigned(FindingKind::Tabs) + 1;

struct Finding
{
    FindingKind kind;
    QString detail;
};

// The name a finding kind has in reports: "line-breaks", "placeholders", ...
QString findingKindName(FindingKind kind);
// The kind of a name, false for a name that is none.
bool findingKindFromName(const QString &name, FindingKind &kind);
// Every kind, in the order of the enumeration.
std::vector<FindingKind> allFindingKinds();

class TranslationChecker
{
public:
    // extraPatterns: placeholders besides the built-in ones; maxLengthRatio:
    // a translation longer than this many times its source is reported, 0 for
    // no limit.
    explicit TranslationChecker(QList<QRegularExpression> extraPatterns = {}, double maxLengthRatio = 0);

    std::vector<Finding> check(const QString &source, const QString &translation) const;
    // The kinds check() would find, as bits (1 << FindingKind), without
    // their details: fast enough for every entry of a large file.
    unsigned findingKinds(const QString &source, const QString &translation) const;

    // Empty where the source is not, or the source's text itself (when that
    // has words of a language): what a translator has still to do.
    bool isUntranslated(const QString &source, const QString &translation) const;

    // The placeholders of a text, in order: printf-style ("%s", "%5.2f",
    // "%1$s", "%%"), braces ("{0}", "{name}") and markup tags ("<b>", "</b>",
    // "<color=#ff0000>"), then those of the extra patterns.
    QStringList placeholders(const QString &text) const;
    // Where they are, in text order.
    std::vector<ContentChecks::Span> placeholderSpans(const QString &text) const;
    // What an edit changes of a text's placeholders, tags and line breaks,
    // for a person to read; empty when nothing.
    QString structureChange(const QString &before, const QString &after) const;

private:
    template<typename Add>
    void examineContent(const QString &source, const QString &translation, Add add) const;
    template<typename Add>
    void examine(const QString &source, const QString &translation, Add add) const;

    QList<QRegularExpression> m_extraPatterns;
    double m_maxLengthRatio;
};
