#include "WordDiff.h"

#include <algorithm>

namespace {

// Texts longer than this many words in both are compared by their common
// start and end only: the table of the full comparison would not fit.
constexpr size_t MaxTable = 4'000'000;

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c.category() == QChar::Mark_NonSpacing;
}

} // namespace

std::vector<WordDiff::Span> WordDiff::words(QStringView text)
{
    std::vector<Span> spans;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i].isSpace()) {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        if (isWordCharacter(text[i])) {
            while (end < text.size() && isWordCharacter(text[end]))
                ++end;
        } else if (text[i].isHighSurrogate() && end < text.size() && text[end].isLowSurrogate()) {
            ++end;
        }
        spans.push_back({i, end - i});
        i = end;
    }
    return spans;
}

WordDiff::WordDiff(QStringView before, QStringView after)
{
    const std::vector<Span> a = words(before);
    const std::vector<Span> b = words(after);
    const auto same = [&](size_t i, size_t j) {
        return before.mid(a[i].start, a[i].length) == after.mid(b[j].start, b[j].length);
    };
    // The common start and end need no table.
    size_t head = 0;
    while (head < a.size() && head < b.size() && same(head, head))
        ++head;
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && same(a.size() - 1 - tail, b.size() - 1 - tail))
        ++tail;
    const size_t n = a.size() - head - tail;
    const size_t m = b.size() - head - tail;
    std::vector<bool> keptA(n, false);
    std::vector<bool> keptB(m, false);
    if (n > 0 && m > 0 && (n + 1) * (m + 1) <= MaxTable) {
        // Longest common subsequence of the middle words.
        std::vector<quint32> table((n + 1) * (m + 1), 0);
        const auto at = [&](size_t i, size_t j) -> quint32 & { return table[i * (m + 1) + j]; };
        for (size_t i = n; i-- > 0;) {
            for (size_t j = m; j-- > 0;)
                at(i, j) = same(head + i, head + j) ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
        }
        for (size_t i = 0, j = 0; i < n && j < m;) {
            if (same(head + i, head + j)) {
                keptA[i++] = true;
                keptB[j++] = true;
            } else if (at(i + 1, j) >= at(i, j + 1)) {
                ++i;
            } else {
                ++j;
            }
        }
    }
    for (size_t i = 0; i < n; ++i) {
        if (!keptA[i])
            m_removed.push_back(a[head + i]);
    }
    for (size_t j = 0; j < m; ++j) {
        if (!keptB[j])
            m_added.push_back(b[head + j]);
    }
}
