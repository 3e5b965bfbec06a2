#pragma once

#include "WordDiff.h"

#include <QHash>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class TZelkStrings;
class TranslationChecker;

// Earlier translations to reuse: pairs of a source text and its translation,
// looked up by how alike their source is to a new one. Alike is a word-level
// edit distance between the two sources' words, case folded, with each
// placeholder, tag and number a word of its own.
class TranslationMemory
{
public:
    // No entry of the document: a pair read from a memory file.
    static constexpr quint32 NoEntry = 0xFFFFFFFFu;

    struct Match
    {
        int score;        // per cent: 100 for the same text, 99 for the same words
        QString source;   // the stored source
        QString translation;
        std::vector<WordDiff::Span> differing; // words of the stored source the new one lacks
        quint32 entry;    // the document entry it came from, or NoEntry
    };

    TranslationMemory();
    ~TranslationMemory();
    // The translated pairs of a document and its source (partners: the
    // source entry of each document entry, or Pairing::NoPartner), each
    // found by its entry, ready for lookups. Gives up, empty, once cancelled
    // is set.
    static TranslationMemory ofDocument(const TZelkStrings &document, const TZelkStrings &source,
                                        const std::vector<quint32> &partners, const std::atomic<bool> *cancelled = nullptr);
    TranslationMemory(TranslationMemory &&) noexcept;
    TranslationMemory &operator=(TranslationMemory &&) noexcept;

    // Adds a pair; entry names the document entry it belongs to, so that an
    // edit of the entry can replace it and a lookup for the entry itself can
    // leave it out. Pairs without a translation are not kept.
    void add(const QString &source, const QString &translation, quint32 entry = NoEntry);
    // The entry's pair is now this one (none for an empty translation).
    void replaceEntry(quint32 entry, const QString &source, const QString &translation);
    quint32 size() const { return m_alive; }
    // Gets the memory ready for lookups: worth calling where waiting is
    // cheap, after many pairs were added.
    void prepare() const { sortPostings(); }

    // The best matches of a source, best first: at least minimumScore, at
    // most limit, leaving out the pair of the entry asked for and matches
    // that repeat a translation already found.
    std::vector<Match> lookup(const QString &source, quint32 forEntry = NoEntry, int minimumScore = 70, int limit = 5) const;

    // The source of an entry's pair, empty for none.
    QString sourceOf(quint32 entry) const;
    // The document entries whose source is this very text, with their
    // translations.
    std::vector<std::pair<quint32, QString>> entriesWithSource(const QString &source) const;

    // A text's words as the memory compares them, each a hash of its folded
    // text.
    std::vector<quint32> words(const QString &text) const;

private:
    struct Pair
    {
        QString source;
        QString translation;
        quint32 entry;
        quint32 firstWord; // in m_words
        quint32 wordCount;
        bool alive;
    };
    struct Posting
    {
        quint32 word;
        quint32 pair;
    };

    // The pairs whose source has the word.
    template<typename Visit>
    void forEachPair(quint32 word, Visit visit) const;
    quint32 frequency(quint32 word) const;
    void sortPostings() const;

    std::unique_ptr<TranslationChecker> m_checker;
    std::vector<Pair> m_pairs;
    std::vector<quint32> m_words; // each pair's source words, one after another
    // Postings by word; sorted on the first lookup after pairs were added.
    mutable std::vector<Posting> m_postings;
    mutable size_t m_sorted = 0;
    QHash<quint32, quint32> m_pairOfEntry;
    quint32 m_alive = 0;
};
