#pragma once

#include "Pairing.h"
#include "ReviewFile.h"

#include <QString>

#include <vector>

class TZelkStrings;

// Carries a translation over to a new version of the game: the new source's
// entries, each with the translation of its old source entry where there is
// one.
class TranslationMerge
{
public:
    enum class Outcome {
        Kept,    // the source text is unchanged: the old translation
        Changed, // the source text changed: the old translation, to look at again
        New,     // no old entry or no old translation: the new source text
    };

    struct Entry
    {
        Outcome outcome;
        quint32 oldSourceIndex; // Pairing::NoPartner for a new entry
        quint32 oldTranslationIndex;
    };

    TranslationMerge(const TZelkStrings &oldSource, const TZelkStrings &oldTranslation, const TZelkStrings &newSource);

    // One per entry of the new source, in its order.
    const std::vector<Entry> &entries() const { return m_entries; }
    // The old source entries the new source no longer has, in their order.
    const std::vector<quint32> &removed() const { return m_removed; }
    quint32 count(Outcome outcome) const;

    // The text an entry of the new translation gets.
    const QString &carriedText(quint32 newIndex) const;
    // The new translation: the new source's entries, order, numbers and
    // layout with the carried texts.
    void build(TZelkStrings &result) const;

    // What the translator has to look at in the new translation: every
    // changed entry, with the source before and after, and every new one.
    ReviewFile review(const TZelkStrings &result) const;

    const Pairing &oldToNew() const { return m_oldToNew; }
    const Pairing &sourceToTranslation() const { return m_sourceToTranslation; }

private:
    const TZelkStrings &m_oldSource;
    const TZelkStrings &m_oldTranslation;
    const TZelkStrings &m_newSource;
    Pairing m_oldToNew;
    Pairing m_sourceToTranslation;
    std::vector<Entry> m_entries;
    std::vector<quint32> m_removed;
};
