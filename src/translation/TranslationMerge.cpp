#include "TranslationMerge.h"

#include "uZelkStrings.h"

#include <algorithm>

TranslationMerge::TranslationMerge(const TZelkStrings &oldSource, const TZelkStrings &oldTranslation,
                                   const TZelkStrings &newSource)
    : m_oldSource(oldSource)
    , m_oldTranslation(oldTranslation)
    , m_newSource(newSource)
    , m_oldToNew(Pairing::pairForUpdate(oldSource, newSource))
    , m_sourceToTranslation(Pairing::pair(oldSource, oldTranslation))
{
    const quint32 count = newSource.EntryCount();
    m_entries.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        const quint32 old = m_oldToNew.partnerOfSecond(i);
        const quint32 translation = m_sourceToTranslation.partnerOfFirst(old);
        if (old == Pairing::NoPartner || translation == Pairing::NoPartner) {
            m_entries.push_back({Outcome::New, old, Pairing::NoPartner});
            continue;
        }
        const Outcome outcome = oldSource.entryText(old) == newSource.entryText(i) ? Outcome::Kept : Outcome::Changed;
        m_entries.push_back({outcome, old, translation});
    }
    for (quint32 i = 0; i < oldSource.EntryCount(); ++i) {
        if (m_oldToNew.partnerOfFirst(i) == Pairing::NoPartner)
            m_removed.push_back(i);
    }
}

quint32 TranslationMerge::count(Outcome outcome) const
{
    return quint32(std::count_if(m_entries.cbegin(), m_entries.cend(),
                                 [outcome](const Entry &entry) { return entry.outcome == outcome; }));
}

const QString &TranslationMerge::carriedText(quint32 newIndex) const
{
    const Entry &entry = m_entries.at(newIndex);
    return entry.outcome == Outcome::New ? m_newSource.entryText(newIndex)
                                         : m_oldTranslation.entryText(entry.oldTranslationIndex);
}

void TranslationMerge::build(TZelkStrings &result) const
{
    result.clear();
    result.SetNewFormat(m_newSource.NewFormat());
    for (quint32 i = 0; i < m_newSource.EntryCount(); ++i) {
        result.AddEntry(QString());
        const Entry &entry = m_entries[i];
        if (entry.outcome == Outcome::New)
            result.copyEntryText(i, m_newSource, i);
        else
            result.copyEntryText(i, m_oldTranslation, entry.oldTranslationIndex);
        result.SetNumber(i, m_newSource.GetNumber(i));
    }
}

ReviewFile TranslationMerge::review(const TZelkStrings &result) const
{
    ReviewFile file;
    file.byNumber = numberIdentityObstacle(result).isEmpty();
    for (quint32 i = 0; i < quint32(m_entries.size()); ++i) {
        const Entry &entry = m_entries[i];
        if (entry.outcome == Outcome::Kept)
            continue;
        ReviewEntry state;
        state.state = entry.outcome == Outcome::Changed ? ReviewEntry::State::Changed : ReviewEntry::State::New;
        state.index = i;
        state.number = result.GetNumber(i);
        if (entry.outcome == Outcome::Changed)
            state.oldSource = m_oldSource.entryText(entry.oldSourceIndex);
        state.newSource = m_newSource.entryText(i);
        file.entries.push_back(state);
    }
    return file;
}
