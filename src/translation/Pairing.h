#pragma once

#include <QString>

#include <vector>

class TZelkStrings;

// A table's entries with a non-zero number, ordered by number (then index),
// and why its numbers cannot pair its entries, empty when they can: what
// pairing needs of a table, worked out once for a table that stays as it is.
struct NumberIndex
{
    struct Entry
    {
        quint32 number;
        quint32 index;
        bool operator<(const Entry &other) const
        {
            return number != other.number ? number < other.number : index < other.index;
        }
    };
    QString obstacle;
    std::vector<Entry> entries;

    static NumberIndex of(const TZelkStrings &table);
};

// Which entry of one table belongs to which entry of another. In the new
// layout every entry carries the hash of its lookup key, and that number, not
// the position, is what identifies an entry across languages and versions.
class Pairing
{
public:
    enum class Kind { ByNumber, ByIndex, ByUniqueTextThenIndex };

    static constexpr quint32 NoPartner = 0xFFFFFFFFu;

    // By number when both tables are in the new layout, neither has a
    // non-zero number twice, and each that has entries has a non-zero number;
    // otherwise by index. Entries with the number 0
    // stay unpaired in a pairing by number.
    // secondIndex, when given, is the second table's NumberIndex.
    static Pairing pair(const TZelkStrings &first, const TZelkStrings &second, const NumberIndex *secondIndex = nullptr);
    // As pair(), but where numbers cannot pair the tables, entries whose text
    // occurs exactly once in each table pair first, and the rest by index.
    static Pairing pairForUpdate(const TZelkStrings &first, const TZelkStrings &second);

    Kind kind() const { return m_kind; }
    // How the tables are paired, as the tools report it: "by number", or "by
    // index (NAME: why not by number)" with the name of the table at fault.
    QString description(const QString &firstName, const QString &secondName) const;

    quint32 partnerOfFirst(quint32 index) const { return index < m_first.size() ? m_first[index] : NoPartner; }
    quint32 partnerOfSecond(quint32 index) const { return index < m_second.size() ? m_second[index] : NoPartner; }
    quint32 unpairedInFirst() const;
    // The partners of the first table's entries, taken out of the pairing,
    // which then knows them no more.
    std::vector<quint32> takePartnersOfFirst();
    quint32 unpairedInSecond() const;

private:
    Pairing(Kind kind, quint32 firstCount, quint32 secondCount);
    void link(quint32 first, quint32 second);
    void linkByNumber(const TZelkStrings &first, const TZelkStrings &second, const NumberIndex *secondIndex);
    void linkByUniqueText(const TZelkStrings &first, const TZelkStrings &second);
    void linkRestByIndex();

    Kind m_kind;
    QString m_obstacle;
    bool m_obstacleInFirst = false;
    std::vector<quint32> m_first;
    std::vector<quint32> m_second;
};

// Why a table's entries cannot be told apart by number ("the old layout has
// no numbers", "number 0000ABCD is on 2 entries", "no entry has a number");
// empty when they can. Entries with the
// number 0 do not count: they are never paired by number.
QString numberIdentityObstacle(const TZelkStrings &table);

// How alike the texts of paired entries are: of the second table's paired
// entries with a text, how many have exactly their partner's text. A
// translation that mostly equals its source is likely the source itself.
struct PairedTexts
{
    quint32 paired = 0;
    quint32 nonEmpty = 0;
    quint32 identical = 0;
    bool mostlyIdentical() const { return nonEmpty > 0 && identical * 2 > nonEmpty; }
};
PairedTexts comparePairedTexts(const TZelkStrings &first, const TZelkStrings &second, const Pairing &pairing);
