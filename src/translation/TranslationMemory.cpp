#include "TranslationMemory.h"

#include "Pairing.h"
#include "RadixSort.h"
#include "TranslationChecks.h"
#include "WordDiff.h"
#include "uZelkStrings.h"

#include <algorithm>
#include <cmath>

namespace {

// FNV-1a over the code units, folded for words; a tag keeps placeholders and
// numbers apart from words spelt alike.
quint32 hashOf(QStringView text, bool fold, quint32 tag)
{
    quint32 hash = 2166136261u ^ tag;
    for (const QChar c : text) {
        const char16_t unit = fold ? c.toCaseFolded().unicode() : c.unicode();
        hash = (hash ^ (unit & 0xFF)) * 16777619u;
        hash = (hash ^ (unit >> 8)) * 16777619u;
    }
    return hash;
}

// The key of a whole source text, among its words' keys.
constexpr quint32 WholeText = 3;

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_');
}

// Word-level edit distance, two rows of the table at a time.
int editDistance(const std::vector<quint32> &a, const quint32 *b, size_t bSize)
{
    std::vector<int> previous(bSize + 1);
    std::vector<int> current(bSize + 1);
    for (size_t j = 0; j <= bSize; ++j)
        previous[j] = int(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = int(i);
        for (size_t j = 1; j <= bSize; ++j)
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        previous.swap(current);
    }
    return previous[bSize];
}

} // namespace

TranslationMemory::TranslationMemory()
    : m_checker(std::make_unique<TranslationChecker>())
{
}

TranslationMemory::~TranslationMemory() = default;

TranslationMemory TranslationMemory::ofDocument(const TZelkStrings &document, const TZelkStrings &source,
                                                const std::vector<quint32> &partners, const std::atomic<bool> *cancelled)
{
    TranslationMemory memory;
    const quint32 count = std::min(document.EntryCount(), quint32(partners.size()));
    for (quint32 i = 0; i < count; ++i) {
        if ((i & 0xFFF) == 0 && cancelled && *cancelled)
            return TranslationMemory();
        const quint32 partner = partners[i];
        if (partner == Pairing::NoPartner)
            continue;
        const QString &sourceText = source.entryText(partner);
        const QString &text = document.entryText(i);
        if (!text.isEmpty() && !memory.m_checker->isUntranslated(sourceText, text))
            memory.add(sourceText, text, i);
    }
    memory.prepare();
    return memory;
}
TranslationMemory::TranslationMemory(TranslationMemory &&) noexcept = default;
TranslationMemory &TranslationMemory::operator=(TranslationMemory &&) noexcept = default;

std::vector<quint32> TranslationMemory::words(const QString &text) const
{
    std::vector<quint32> found;
    const std::vector<ContentChecks::Span> placeholders = m_checker->placeholderSpans(text);
    auto next = placeholders.begin();
    for (qsizetype i = 0; i < text.size();) {
        if (next != placeholders.end() && next->start == i) {
            found.push_back(hashOf(QStringView(text).mid(i, next->length), false, 1));
            i += next->length;
            ++next;
            continue;
        }
        if (!isWordCharacter(text[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        bool digits = false;
        while (end < text.size() && isWordCharacter(text[end]) && (next == placeholders.end() || end < next->start)) {
            digits = digits || text[end].isDigit();
            ++end;
        }
        found.push_back(hashOf(QStringView(text).mid(i, end - i), true, digits ? 2 : 0));
        i = end;
    }
    return found;
}

void TranslationMemory::add(const QString &source, const QString &translation, quint32 entry)
{
    if (translation.isEmpty() || source.isEmpty())
        return;
    const std::vector<quint32> sourceWords = words(source);
    const quint32 pair = quint32(m_pairs.size());
    m_pairs.push_back({source, translation, entry, quint32(m_words.size()), quint32(sourceWords.size()), true});
    m_words.insert(m_words.end(), sourceWords.begin(), sourceWords.end());
    ++m_alive;
    if (entry != NoEntry)
        m_pairOfEntry.insert(entry, pair);
    for (const quint32 word : sourceWords)
        m_postings.push_back({word, pair});
    m_postings.push_back({hashOf(source, false, WholeText), pair});
}

void TranslationMemory::replaceEntry(quint32 entry, const QString &source, const QString &translation)
{
    const auto old = m_pairOfEntry.constFind(entry);
    if (old != m_pairOfEntry.constEnd()) {
        Pair &pair = m_pairs[old.value()];
        if (pair.source == source && pair.translation == translation)
            return;
        pair.alive = false;
        --m_alive;
        m_pairOfEntry.erase(old);
    }
    add(source, translation, entry);
}

// The postings in word order, pairs in their order within a word: a stable
// sort by radix. Edits after that append a few, which are looked through as
// they are until there are many.
void TranslationMemory::sortPostings() const
{
    const size_t tail = m_postings.size() - m_sorted;
    if (tail == 0 || (tail < 4096 && tail * 8 < m_postings.size()))
        return;
    std::vector<Posting> spare;
    radixSortByKey(m_postings, spare, [](const Posting &posting) { return posting.word; });
    m_sorted = m_postings.size();
}

template<typename Visit>
void TranslationMemory::forEachPair(quint32 word, Visit visit) const
{
    const auto begin = m_postings.begin();
    const auto sortedEnd = begin + qsizetype(m_sorted);
    const auto from = std::lower_bound(begin, sortedEnd, word, [](const Posting &p, quint32 w) { return p.word < w; });
    for (auto it = from; it != sortedEnd && it->word == word; ++it)
        visit(it->pair);
    for (auto it = sortedEnd; it != m_postings.end(); ++it) {
        if (it->word == word)
            visit(it->pair);
    }
}

QString TranslationMemory::sourceOf(quint32 entry) const
{
    const auto pair = m_pairOfEntry.constFind(entry);
    return pair != m_pairOfEntry.constEnd() ? m_pairs[pair.value()].source : QString();
}

std::vector<std::pair<quint32, QString>> TranslationMemory::entriesWithSource(const QString &source) const
{
    std::vector<std::pair<quint32, QString>> found;
    sortPostings();
    forEachPair(hashOf(source, false, WholeText), [&](quint32 pair) {
        const Pair &stored = m_pairs[pair];
        if (stored.alive && stored.entry != NoEntry && stored.source == source)
            found.emplace_back(stored.entry, stored.translation);
    });
    return found;
}

quint32 TranslationMemory::frequency(quint32 word) const
{
    quint32 count = 0;
    forEachPair(word, [&count](quint32) { ++count; });
    return count;
}

// A pair scores enough only if it lacks few of the new source's words: at
// most the number an edit distance that low allows. Whichever it lacks, it
// has one of the rarest words that together occur more often than that, so
// only their pairs are looked at.
std::vector<TranslationMemory::Match> TranslationMemory::lookup(const QString &source, quint32 forEntry, int minimumScore,
                                                                int limit) const
{
    std::vector<Match> matches;
    const std::vector<quint32> query = words(source);
    if (query.empty() || m_alive == 0)
        return matches;
    sortPostings();
    std::vector<quint32> sorted = query;
    std::sort(sorted.begin(), sorted.end());
    struct Word
    {
        quint32 frequency;
        quint32 occurrences; // in the new source
        quint32 word;
    };
    std::vector<Word> byRarity;
    for (size_t i = 0; i < sorted.size();) {
        size_t end = i;
        while (end < sorted.size() && sorted[end] == sorted[i])
            ++end;
        byRarity.push_back({frequency(sorted[i]), quint32(end - i), sorted[i]});
        i = end;
    }
    std::sort(byRarity.begin(), byRarity.end(), [](const Word &a, const Word &b) { return a.frequency < b.frequency; });
    const size_t mayLack = query.size() - size_t(std::ceil(query.size() * minimumScore / 100.0));

    const double low = query.size() * minimumScore / 100.0;
    const double high = minimumScore > 0 ? query.size() * 100.0 / minimumScore : 1e9;
    std::vector<quint32> candidates;
    size_t probed = 0;
    for (size_t k = 0; k < byRarity.size() && probed <= mayLack; ++k) {
        probed += byRarity[k].occurrences;
        forEachPair(byRarity[k].word, [&](quint32 pair) {
            const Pair &stored = m_pairs[pair];
            if (stored.alive && (stored.entry != forEntry || forEntry == NoEntry) && stored.wordCount >= low && stored.wordCount <= high)
                candidates.push_back(pair);
        });
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    for (const quint32 pair : candidates) {
        const Pair &stored = m_pairs[pair];
        const int distance = editDistance(query, m_words.data() + stored.firstWord, stored.wordCount);
        const size_t longest = std::max(query.size(), size_t(stored.wordCount));
        const int score = stored.source == source ? 100
                        : std::min(99, int(100.0 * double(longest - size_t(distance)) / double(longest)));
        if (score >= minimumScore)
            matches.push_back({score, stored.source, stored.translation, {}, stored.entry});
    }
    std::stable_sort(matches.begin(), matches.end(), [](const Match &a, const Match &b) { return a.score > b.score; });
    std::vector<Match> best;
    for (Match &match : matches) {
        if (int(best.size()) >= limit)
            break;
        if (std::any_of(best.begin(), best.end(), [&](const Match &kept) { return kept.translation == match.translation; }))
            continue;
        match.differing = WordDiff(source, match.source).added();
        best.push_back(std::move(match));
    }
    return best;
}
