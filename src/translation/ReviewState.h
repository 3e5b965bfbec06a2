#pragma once

#include "ReviewFile.h"

#include <QString>
#include <QStringList>

#include <vector>

class TZelkStrings;

// The review state of each entry of one document: still to review (changed,
// new, filled from a memory), accepted as it is, or nothing. It follows the
// entries as they are added, deleted and moved.
class ReviewState
{
public:
    // The state of an entry, nullptr for none.
    const ReviewEntry *entry(quint32 index) const;
    bool isToReview(quint32 index) const;
    quint32 toReviewCount() const { return m_toReview; }
    // Whether any entry has a state, so that a review file is worth keeping.
    bool isEmpty() const;

    // Takes a review file's entries for the document's entries, found by
    // number or by index as the file says; returns how many found no entry.
    quint32 assign(ReviewFile file, const TZelkStrings &document);
    // The review file of the document: by number where its numbers tell its
    // entries apart. Acceptances whose texts changed since are left out.
    ReviewFile toFile(const TZelkStrings &document) const;
    void clear();

    // The translator is done with the entry: it is no longer to review (an
    // acceptance stays).
    void setDone(quint32 index);
    // The entry's findings of these kinds, for this source and translation,
    // are fine as they are; it is no longer to review.
    void accept(quint32 index, const QStringList &kinds, const QString &source, const QString &text);
    // The kinds accepted for the entry while its texts are still these; an
    // empty list where nothing is accepted or the texts changed since.
    QStringList acceptedKinds(quint32 index, const QString &source, const QString &text) const;
    // The entry's text changed: an acceptance made for another text goes,
    // and does not come back with the text.
    void textChanged(quint32 index, const QString &text);
    void set(quint32 index, const ReviewEntry &entry);

    // The document's entries were added, deleted or moved.
    void entryAppended(quint32 count);
    void entriesDeleted(const std::vector<quint32> &indices);
    void entryMoved(quint32 from, quint32 to);

    // Changes with every change of a state: for those who copy it.
    quint64 generation() const { return m_generation; }

private:
    void resizeFor(quint32 index);
    void setSlot(quint32 index, quint32 slot);

    // Per entry: 0, or 1 + the place of its state in m_entries.
    std::vector<quint32> m_slots;
    std::vector<ReviewEntry> m_entries;
    quint32 m_toReview = 0;
    quint64 m_generation = 0;
};
