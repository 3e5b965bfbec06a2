#pragma once

#include "ContentChecks.h"

#include <QRegularExpression>
#include <QString>
#include <QStringView>

#include <string>
#include <vector>

// Finds what a translator types into a filter: case and accents ignored
// ("ecraser" finds "Écraser"), and a line break matches a space.
class FoldedMatcher
{
public:
    explicit FoldedMatcher(const QString &needle = QString());

    bool isEmpty() const { return m_needle.empty(); }
    bool matches(QStringView text) const;
    // Whether every text this one matches is matched by the other too: it
    // looks for more of the same.
    bool narrows(const FoldedMatcher &other) const;

    // A character without its case and accents; blanks and line breaks as
    // spaces.
    static char16_t fold(char16_t unit);

private:
    std::u16string m_needle;
};

// How a replacement finds what it replaces.
struct ReplaceOptions
{
    bool matchCase = false;
    bool wholeWords = false;
    bool regex = false; // QRegularExpression, with \1 to \99 in the replacement
};

// Replaces every occurrence of a text or pattern in texts.
class TextReplacer
{
public:
    // Fails with a TranslationError on an empty search or a regular
    // expression that does not compile (with the position Qt reports).
    TextReplacer(const QString &find, const QString &replacement, const ReplaceOptions &options);

    struct Result
    {
        QString text;
        int occurrences = 0;
        // The replaced parts in the text before and their replacements after.
        std::vector<ContentChecks::Span> before;
        std::vector<ContentChecks::Span> after;
    };
    // The text with every occurrence replaced; false when there is none.
    bool replace(QStringView text, Result &result) const;

private:
    // The next occurrence at or after from: its start and length, and the
    // text that replaces it; false when there is none.
    bool next(QStringView text, qsizetype from, qsizetype &start, qsizetype &length, QString &replacement) const;
    QString expand(const QRegularExpressionMatch &match) const;

    QString m_find;
    QString m_replacement;
    ReplaceOptions m_options;
    QRegularExpression m_pattern;
};
