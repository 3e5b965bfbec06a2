#pragma once

#include "Pairing.h"
#include "ReviewState.h"
#include "TranslationChecks.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class Glossary;
class TZelkStrings;
class TranslationMemory;

// What the translator's tools know of each entry of the document: its
// partner in the reference (another language's file, read-only, never
// saved), what is still to review, and the marks that follow from both.
// Marks of a large document are worked out as they are needed and a piece at
// a time after that; the counts are final once every mark is known.
class TranslationState
{
public:
    enum Mark : quint8 { Fine = 0, Untranslated = 1, Problem = 2, ToReview = 4 };

    TranslationState();
    ~TranslationState();

    // Whether anything shows: a reference is open or something is to review.
    bool isActive() const { return isOpen() || m_review.toReviewCount() > 0; }

    bool isOpen() const { return bool(m_table); }
    QString fileName() const { return m_fileName; }
    const TZelkStrings *referenceTable() const { return m_table.get(); }
    // The reference as it stays: it never changes, so work in the
    // background may keep it.
    std::shared_ptr<const TZelkStrings> sharedReference() const { return m_table; }
    // Per document entry, its reference entry or Pairing::NoPartner.
    const std::vector<quint32> &partners() const { return m_partner; }
    // Loads the reference as a document loads; on failure nothing changes.
    void open(const QString &fileName);
    void close();

    ReviewState &review() { return m_review; }
    const ReviewState &review() const { return m_review; }

    // Pairs every entry of the document anew; its marks are to be worked
    // out again: after a load, and after entries were added, deleted or moved.
    void rebuild(const TZelkStrings &document);
    // Every mark is to be worked out again, the pairing staying as it is.
    void remark();
    // These entries' marks are to be worked out again.
    void remarkEntries(const TZelkStrings &document, const std::vector<quint32> &indices);

    // The checks that compare an entry with others: the same source
    // translated otherwise in the memory of the document's own pairs, and a
    // glossary's terms. Either may be none; the caller keeps them alive.
    void setConsistency(const TranslationMemory *memory);
    void setGlossary(const Glossary *glossary);
    // Lets go of both, the marks as they are: for their owner's end.
    void dropComparisons()
    {
        m_consistency = nullptr;
        m_glossary = nullptr;
    }
    // A document's entry's pairs of the same source, translated otherwise.
    std::vector<std::pair<quint32, QString>> inconsistencies(const TZelkStrings &document, quint32 index) const;
    // One entry's text, number or review state changed. A number change
    // returns whether the pairing changed kind (by number or by index).
    void textChanged(const TZelkStrings &document, quint32 index);
    bool numberChanged(const TZelkStrings &document, quint32 index, quint32 oldNumber);
    void reviewChanged(const TZelkStrings &document, quint32 index);

    bool byNumber() const { return m_byNumber; }
    // The paired reference text of a document entry, nullptr when unpaired.
    const QString *referenceText(quint32 index) const;
    Mark mark(quint32 index) const;
    // What is wrong with an entry or to look at, one line each, for its
    // tooltip.
    QStringList findings(const TZelkStrings &document, quint32 index) const;
    // The kinds of the entry's present findings, by name: what Accept as Is
    // accepts.
    QStringList findingKindNames(const TZelkStrings &document, quint32 index) const;

    // Works out up to this many marks still unknown; false when none is left.
    bool computeSome(const TZelkStrings &document, quint32 budget);
    bool isComplete() const { return m_pending == 0; }
    // Per cent of the marks known.
    int percentKnown() const;

    quint32 pairedCount() const { return m_paired; }
    quint32 translatedCount() const { return m_paired - m_untranslated; }
    quint32 problemCount() const { return m_problems; }
    quint32 toReviewCount() const { return m_review.toReviewCount(); }

private:
    static constexpr quint8 Pending = 0x80;

    quint8 markOf(const TZelkStrings &document, quint32 index) const;
    void setMark(quint32 index, quint8 mark) const;
    unsigned acceptedMask(const TZelkStrings &document, quint32 index, const QString &source) const;
    // The kinds of an entry's findings, as bits, with those that compare it
    // with others after the content kinds.
    unsigned kindsOf(const TZelkStrings &document, quint32 index, const QString &source) const;
    void countDocumentNumbers(const TZelkStrings &document, quint32 index, quint32 oldNumber);
    void countNumber(quint32 number, int change);

    std::shared_ptr<const TZelkStrings> m_table;
    QString m_fileName;
    NumberIndex m_referenceIndex; // the reference's numbers, for pairing
    TranslationChecker m_checker;
    ReviewState m_review;
    const TranslationMemory *m_consistency = nullptr;
    const Glossary *m_glossary = nullptr;
    const TZelkStrings *m_document = nullptr;
    bool m_byNumber = false;
    std::vector<quint32> m_partner; // per document entry: reference index or NoPartner
    // Marks are worked out when first asked for, so they change in const
    // functions too.
    mutable std::vector<quint8> m_marks;
    mutable quint32 m_pending = 0;
    mutable quint32 m_nextPending = 0;
    mutable quint32 m_untranslated = 0;
    mutable quint32 m_problems = 0;
    quint32 m_paired = 0;
    // For edits of numbers: the reference's entries by number, and how often
    // each non-zero number occurs in the document and in how many entries
    // (built on first use).
    QHash<quint32, quint32> m_referenceByNumber;
    QHash<quint32, quint32> m_documentNumbers;
    quint32 m_repeatedNumbers = 0;
    quint32 m_numberedEntries = 0;
    bool m_numbersCounted = false;
};
