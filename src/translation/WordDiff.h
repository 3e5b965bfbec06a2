#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// Which words of two texts differ: a word-level comparison for a person to
// read. Words are runs of letters and digits; every other character but a
// blank is a word of its own; blanks only separate.
class WordDiff
{
public:
    struct Span
    {
        qsizetype start;
        qsizetype length;
    };

    WordDiff(QStringView before, QStringView after);

    // The words of the first text that the second lacks, and those of the
    // second that the first lacks, in text order.
    const std::vector<Span> &removed() const { return m_removed; }
    const std::vector<Span> &added() const { return m_added; }

    // The words of a text, as spans.
    static std::vector<Span> words(QStringView text);

private:
    std::vector<Span> m_removed;
    std::vector<Span> m_added;
};
