#include "ReviewState.h"

#include "Pairing.h"
#include "uZelkStrings.h"

#include <QHash>

#include <algorithm>

namespace {

bool toReview(const ReviewEntry &entry)
{
    return entry.state != ReviewEntry::State::Accepted;
}

} // namespace

const ReviewEntry *ReviewState::entry(quint32 index) const
{
    if (index >= m_slots.size() || m_slots[index] == 0)
        return nullptr;
    return &m_entries[m_slots[index] - 1];
}

bool ReviewState::isToReview(quint32 index) const
{
    const ReviewEntry *state = entry(index);
    return state && toReview(*state);
}

bool ReviewState::isEmpty() const
{
    return std::all_of(m_slots.cbegin(), m_slots.cend(), [](quint32 slot) { return slot == 0; });
}

void ReviewState::clear()
{
    std::vector<quint32>().swap(m_slots);
    std::vector<ReviewEntry>().swap(m_entries);
    m_toReview = 0;
    ++m_generation;
}

void ReviewState::resizeFor(quint32 index)
{
    if (index >= m_slots.size())
        m_slots.resize(size_t(index) + 1, 0);
}

// Every change of an entry's state goes through here, so that the count of
// entries to review stays right.
void ReviewState::setSlot(quint32 index, quint32 slot)
{
    resizeFor(index);
    if (isToReview(index))
        --m_toReview;
    m_slots[index] = slot;
    if (isToReview(index))
        ++m_toReview;
    ++m_generation;
}

void ReviewState::set(quint32 index, const ReviewEntry &entry)
{
    m_entries.push_back(entry);
    setSlot(index, quint32(m_entries.size()));
}

// Entries named by number are found by it where it is on one entry of the
// document only; on several, the index the file gives must have it.
quint32 ReviewState::assign(ReviewFile file, const TZelkStrings &document)
{
    clear();
    const quint32 count = document.EntryCount();
    constexpr quint32 Repeated = Pairing::NoPartner - 1;
    QHash<quint32, quint32> byNumber;
    if (file.byNumber) {
        // A bit per hashed number lets most of the document's numbers pass
        // without a look into the table.
        std::vector<quint64> mentioned(1 << 14, 0);
        const auto bit = [](quint32 number) { return quint32((number * 0x9E3779B1u) >> 12); };
        byNumber.reserve(qsizetype(file.entries.size()));
        for (const ReviewEntry &entry : file.entries) {
            byNumber.insert(entry.number, Pairing::NoPartner);
            mentioned[bit(entry.number) >> 6] |= quint64(1) << (bit(entry.number) & 63);
        }
        for (quint32 i = 0; i < count; ++i) {
            const quint32 number = document.GetNumber(i);
            if (!(mentioned[bit(number) >> 6] & (quint64(1) << (bit(number) & 63))))
                continue;
            const auto found = byNumber.find(number);
            if (found != byNumber.end())
                found.value() = found.value() == Pairing::NoPartner ? i : Repeated;
        }
    }
    quint32 lost = 0;
    m_slots.assign(count, 0);
    m_entries.reserve(file.entries.size());
    for (ReviewEntry &entry : file.entries) {
        quint32 index = entry.index;
        if (file.byNumber) {
            const quint32 at = entry.number ? byNumber.value(entry.number) : Repeated;
            if (at < Repeated)
                index = at;
            else if (index >= count || document.GetNumber(index) != entry.number)
                index = Pairing::NoPartner;
        }
        if (index >= count) {
            ++lost;
            continue;
        }
        m_entries.push_back(std::move(entry));
        setSlot(index, quint32(m_entries.size()));
    }
    return lost;
}

ReviewFile ReviewState::toFile(const TZelkStrings &document) const
{
    ReviewFile file;
    file.byNumber = numberIdentityObstacle(document).isEmpty();
    const quint32 count = std::min(quint32(m_slots.size()), document.EntryCount());
    for (quint32 i = 0; i < count; ++i) {
        const ReviewEntry *state = entry(i);
        if (!state)
            continue;
        if (state->state == ReviewEntry::State::Accepted && state->text != document.entryText(i))
            continue;
        ReviewEntry written = *state;
        written.index = i;
        written.number = document.GetNumber(i);
        file.entries.push_back(written);
    }
    return file;
}

void ReviewState::setDone(quint32 index)
{
    const ReviewEntry *state = entry(index);
    if (state && toReview(*state))
        setSlot(index, 0);
}

void ReviewState::accept(quint32 index, const QStringList &kinds, const QString &source, const QString &text)
{
    if (kinds.isEmpty()) {
        setDone(index);
        return;
    }
    ReviewEntry accepted;
    accepted.state = ReviewEntry::State::Accepted;
    accepted.kinds = kinds;
    accepted.source = source;
    accepted.text = text;
    set(index, accepted);
}

QStringList ReviewState::acceptedKinds(quint32 index, const QString &source, const QString &text) const
{
    const ReviewEntry *state = entry(index);
    if (!state || state->state != ReviewEntry::State::Accepted || state->source != source || state->text != text)
        return {};
    return state->kinds;
}

void ReviewState::textChanged(quint32 index, const QString &text)
{
    const ReviewEntry *state = entry(index);
    if (state && state->state == ReviewEntry::State::Accepted && state->text != text)
        setSlot(index, 0);
}

void ReviewState::entryAppended(quint32 count)
{
    if (!m_slots.empty())
        m_slots.resize(count, 0);
}

void ReviewState::entriesDeleted(const std::vector<quint32> &indices)
{
    if (m_slots.empty())
        return;
    std::vector<quint32> sorted = indices;
    std::sort(sorted.begin(), sorted.end());
    for (const quint32 index : sorted) {
        if (index < m_slots.size())
            setSlot(index, 0);
    }
    size_t kept = 0;
    auto next = sorted.cbegin();
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (next != sorted.cend() && *next == i) {
            while (next != sorted.cend() && *next == i)
                ++next;
            continue;
        }
        m_slots[kept++] = m_slots[i];
    }
    m_slots.resize(kept);
    ++m_generation;
}

void ReviewState::entryMoved(quint32 from, quint32 to)
{
    if (from >= m_slots.size() && to >= m_slots.size())
        return;
    resizeFor(std::max(from, to));
    const quint32 slot = m_slots[from];
    if (from < to)
        std::move(m_slots.begin() + from + 1, m_slots.begin() + to + 1, m_slots.begin() + from);
    else
        std::move_backward(m_slots.begin() + to, m_slots.begin() + from, m_slots.begin() + from + 1);
    m_slots[to] = slot;
    ++m_generation;
}
