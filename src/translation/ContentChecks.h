#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// What a text says besides its words, for comparing a translation with its
// source: numbers, addresses, brackets and quotation marks, its last
// punctuation mark, words typed twice, and whether it has words of a
// language at all. Parts of a text to leave out (its placeholders) are given
// as spans.
namespace ContentChecks {

struct Span
{
    qsizetype start;
    qsizetype length;
};

// The numbers of a text, each written alike whatever its separators:
// "1,000", "1 000" and "1000" as "1000"; "1.5" and "1,5" as "1.5". A
// separator followed by exactly three digits groups thousands; another '.'
// or ',' is the decimal mark. Sorted, so that two lists compare as multisets.
QStringList numbers(QStringView text, const std::vector<Span> &skip);

// Web and e-mail addresses, sorted, without the punctuation that ends a
// sentence after them.
QStringList addresses(QStringView text);
// The spans of those addresses.
std::vector<Span> addressSpans(QStringView text);

// How often each bracket opens and closes, and how many quotation marks
// there are of any style ("", «», “”, „).
struct Brackets
{
    int round[2] = {0, 0};
    int square[2] = {0, 0};
    int curly[2] = {0, 0};
    int quotes = 0;
    bool operator==(const Brackets &other) const;
    bool operator!=(const Brackets &other) const { return !(*this == other); }
    QString describe() const;
};
Brackets brackets(QStringView text, const std::vector<Span> &skip);

// The punctuation mark a text ends with, after blanks and closing quotation
// marks and brackets; "..." and "…" are the same, and so are the full-width
// marks of East Asian scripts and their Latin counterparts.
enum class EndMark { None, Question, Exclamation, FullStop, Colon, Ellipsis };
EndMark endMark(QStringView text);
QString endMarkName(EndMark mark);

// The first word that follows itself ("la la"), case ignored; empty when
// there is none. Numbers are not words here.
QString repeatedWord(QStringView text);

// Whether a text has a word of a language: a run of two or more letters not
// glued to digits. A version number with one word ("Version 1.2.3"), codes
// ("X-15", "MP3"), numbers, placeholders and punctuation have none.
bool hasOwnWords(QStringView text, const std::vector<Span> &skip);

} // namespace ContentChecks
