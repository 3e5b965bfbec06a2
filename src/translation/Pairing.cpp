#include "Pairing.h"

#include "LargeBuffers.h"
#include "RadixSort.h"
#include "uZelkStrings.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace {

using NumberedEntry = NumberIndex::Entry;

// The entries with a non-zero number, ordered by number.
std::vector<NumberedEntry> numberedEntries(const TZelkStrings &table)
{
    std::vector<NumberedEntry> entries;
    const quint32 count = table.EntryCount();
    resizeLarge(entries, count);
    size_t numbered = 0;
    for (quint32 i = 0; i < count; ++i) {
        if (const quint32 number = table.GetNumber(i))
            entries[numbered++] = {number, i};
    }
    entries.resize(numbered);
    if (entries.size() < 1000)
        std::sort(entries.begin(), entries.end());
    else {
        // Entries come in index order: equal numbers stay in that order.
        std::vector<NumberedEntry> spare;
        resizeLarge(spare, entries.size());
        radixSortByKey(entries, spare, [](const NumberedEntry &entry) { return entry.number; });
    }
    return entries;
}

QString obstacleOf(const std::vector<NumberedEntry> &entries)
{
    for (size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].number != entries[i - 1].number)
            continue;
        size_t end = i + 1;
        while (end < entries.size() && entries[end].number == entries[i].number)
            ++end;
        return QStringLiteral("number %1 is on %2 entries").arg(formatNumber(entries[i].number)).arg(end - i + 1);
    }
    return QString();
}

QString tableObstacle(const TZelkStrings &table, std::vector<NumberedEntry> *entries)
{
    if (!table.NewFormat())
        return QStringLiteral("the old layout has no numbers");
    *entries = numberedEntries(table);
    // Numbers that are all 0 (entries made by Add, or a converted old file)
    // identify nothing.
    if (entries->empty() && table.EntryCount() > 0)
        return QStringLiteral("no entry has a number");
    return obstacleOf(*entries);
}

} // namespace

QString numberIdentityObstacle(const TZelkStrings &table)
{
    std::vector<NumberedEntry> entries;
    return tableObstacle(table, &entries);
}

Pairing::Pairing(Kind kind, quint32 firstCount, quint32 secondCount)
    : m_kind(kind)
{
    resizeLarge(m_first, firstCount);
    resizeLarge(m_second, secondCount);
    std::fill(m_first.begin(), m_first.end(), NoPartner);
    std::fill(m_second.begin(), m_second.end(), NoPartner);
}

std::vector<quint32> Pairing::takePartnersOfFirst()
{
    return std::move(m_first);
}

void Pairing::link(quint32 first, quint32 second)
{
    m_first[first] = second;
    m_second[second] = first;
}

NumberIndex NumberIndex::of(const TZelkStrings &table)
{
    NumberIndex index;
    index.obstacle = tableObstacle(table, &index.entries);
    return index;
}

Pairing Pairing::pair(const TZelkStrings &first, const TZelkStrings &second, const NumberIndex *secondIndex)
{
    Pairing pairing(Kind::ByNumber, first.EntryCount(), second.EntryCount());
    pairing.linkByNumber(first, second, secondIndex);
    if (pairing.m_kind == Kind::ByIndex)
        pairing.linkRestByIndex();
    return pairing;
}

Pairing Pairing::pairForUpdate(const TZelkStrings &first, const TZelkStrings &second)
{
    Pairing pairing(Kind::ByNumber, first.EntryCount(), second.EntryCount());
    pairing.linkByNumber(first, second, nullptr);
    if (pairing.m_kind == Kind::ByIndex) {
        pairing.m_kind = Kind::ByUniqueTextThenIndex;
        pairing.linkByUniqueText(first, second);
        pairing.linkRestByIndex();
    }
    return pairing;
}

// Joins the two tables' entries ordered by number; when either table cannot
// be paired by number, leaves the kind ByIndex with the reason and links
// nothing.
void Pairing::linkByNumber(const TZelkStrings &first, const TZelkStrings &second, const NumberIndex *secondIndex)
{
    std::vector<NumberedEntry> a;
    std::vector<NumberedEntry> ownB;
    m_obstacle = tableObstacle(first, &a);
    m_obstacleInFirst = !m_obstacle.isEmpty();
    if (m_obstacle.isEmpty())
        m_obstacle = secondIndex ? secondIndex->obstacle : tableObstacle(second, &ownB);
    const std::vector<NumberedEntry> &b = secondIndex ? secondIndex->entries : ownB;
    if (!m_obstacle.isEmpty()) {
        m_kind = Kind::ByIndex;
        return;
    }
    auto i = a.cbegin();
    auto j = b.cbegin();
    while (i != a.cend() && j != b.cend()) {
        if (i->number < j->number) {
            ++i;
        } else if (j->number < i->number) {
            ++j;
        } else {
            link(i->index, j->index);
            ++i;
            ++j;
        }
    }
}

void Pairing::linkByUniqueText(const TZelkStrings &first, const TZelkStrings &second)
{
    // Per text: its only entry in each table, or NoPartner - 1 once it repeats.
    constexpr quint32 Repeated = NoPartner - 1;
    QHash<QStringView, std::pair<quint32, quint32>> places;
    places.reserve(qsizetype(first.EntryCount()) + second.EntryCount());
    const auto placesOf = [&](const QString &text) -> std::pair<quint32, quint32> & {
        auto it = places.find(QStringView(text));
        if (it == places.end())
            it = places.insert(QStringView(text), {NoPartner, NoPartner});
        return it.value();
    };
    const auto note = [](quint32 &slot, quint32 index) { slot = slot == NoPartner ? index : Repeated; };
    for (quint32 i = 0; i < first.EntryCount(); ++i)
        note(placesOf(first.entryText(i)).first, i);
    for (quint32 i = 0; i < second.EntryCount(); ++i)
        note(placesOf(second.entryText(i)).second, i);
    for (auto it = places.cbegin(); it != places.cend(); ++it) {
        const auto [a, b] = it.value();
        if (a < Repeated && b < Repeated)
            link(a, b);
    }
}

void Pairing::linkRestByIndex()
{
    const size_t common = std::min(m_first.size(), m_second.size());
    for (size_t i = 0; i < common; ++i) {
        if (m_first[i] == NoPartner && m_second[i] == NoPartner)
            link(quint32(i), quint32(i));
    }
}

QString Pairing::description(const QString &firstName, const QString &secondName) const
{
    if (m_kind == Kind::ByNumber)
        return QStringLiteral("by number");
    const QString reason = QStringLiteral("%1: %2").arg(m_obstacleInFirst ? firstName : secondName, m_obstacle);
    if (m_kind == Kind::ByIndex)
        return QStringLiteral("by index (%1)").arg(reason);
    return QStringLiteral("by unique text, then by index (%1)").arg(reason);
}

quint32 Pairing::unpairedInFirst() const
{
    return quint32(std::count(m_first.cbegin(), m_first.cend(), NoPartner));
}

quint32 Pairing::unpairedInSecond() const
{
    return quint32(std::count(m_second.cbegin(), m_second.cend(), NoPartner));
}

PairedTexts comparePairedTexts(const TZelkStrings &first, const TZelkStrings &second, const Pairing &pairing)
{
    PairedTexts counts;
    for (quint32 i = 0; i < second.EntryCount(); ++i) {
        const quint32 partner = pairing.partnerOfSecond(i);
        if (partner == Pairing::NoPartner)
            continue;
        ++counts.paired;
        const QString &text = second.entryText(i);
        if (text.isEmpty())
            continue;
        ++counts.nonEmpty;
        if (text == first.entryText(partner))
            ++counts.identical;
    }
    return counts;
}
