#include "Consistency.h"

#include "RadixSort.h"

#include <QHash>

#include <algorithm>

namespace {

// Entries named in a detail; the rest are counted.
constexpr size_t NamedAtMost = 5;

// A group of entries of one source: the details of those whose translation
// differs from another's. Entries of one translation share their detail,
// worked out once: the first entries of the group that translate otherwise.
void reportGroup(std::vector<quint32> group, const std::function<const QString &(quint32)> &translationOf,
                 std::vector<std::pair<quint32, QString>> &found)
{
    std::sort(group.begin(), group.end());
    QHash<QString, quint32> translations;
    std::vector<quint32> variant(group.size());
    std::vector<quint32> sizes;
    for (size_t i = 0; i < group.size(); ++i) {
        const auto known = translations.constFind(translationOf(group[i]));
        variant[i] = known != translations.constEnd() ? known.value() : translations.insert(translationOf(group[i]), quint32(sizes.size())).value();
        if (variant[i] == sizes.size())
            sizes.push_back(0);
        ++sizes[variant[i]];
    }
    if (sizes.size() < 2)
        return;
    std::vector<QString> details(sizes.size());
    for (size_t i = 0; i < group.size(); ++i) {
        QString &detail = details[variant[i]];
        if (detail.isEmpty()) {
            std::vector<std::pair<quint32, QString>> others;
            for (size_t k = 0; k < group.size() && others.size() < NamedAtMost; ++k) {
                if (variant[k] != variant[i])
                    others.emplace_back(group[k], translationOf(group[k]));
            }
            detail = Consistency::detail(others);
            const size_t unnamed = group.size() - sizes[variant[i]] - others.size();
            if (unnamed)
                detail += QStringLiteral(" and %1 more").arg(unnamed);
        }
        found.emplace_back(group[i], detail);
    }
}

} // namespace

QString Consistency::detail(const std::vector<std::pair<quint32, QString>> &others)
{
    QStringList translations;
    for (const auto &other : others) {
        if (!translations.contains(other.second))
            translations << other.second;
    }
    QStringList named;
    if (translations.size() == 1) {
        for (const auto &other : others)
            named << QString::number(other.first);
        return QStringLiteral("same source as %1 (\"%2\" there)").arg(named.join(QStringLiteral(", ")), translations.first());
    }
    for (const auto &other : others)
        named << QStringLiteral("%1 (\"%2\" there)").arg(other.first).arg(other.second);
    return QStringLiteral("same source as %1").arg(named.join(QStringLiteral(", ")));
}

std::vector<std::pair<quint32, QString>> Consistency::find(const std::vector<quint32> &entries,
                                                           const std::function<const QString &(quint32)> &sourceOf,
                                                           const std::function<const QString &(quint32)> &translationOf)
{
    std::vector<std::pair<quint32, quint32>> keyed;
    keyed.reserve(entries.size());
    for (const quint32 entry : entries) {
        if (!sourceOf(entry).isEmpty())
            keyed.emplace_back(quint32(qHash(sourceOf(entry))), entry);
    }
    std::vector<std::pair<quint32, quint32>> spare;
    radixSortByKey(keyed, spare, [](const std::pair<quint32, quint32> &item) { return item.first; });
    std::vector<std::pair<quint32, QString>> found;
    for (size_t i = 0; i < keyed.size();) {
        size_t end = i + 1;
        while (end < keyed.size() && keyed[end].first == keyed[i].first)
            ++end;
        // Texts of one hash, nearly always one text: grouped by text.
        std::vector<quint32> left;
        for (size_t k = i; k < end; ++k)
            left.push_back(keyed[k].second);
        while (left.size() > 1) {
            const QString &source = sourceOf(left.front());
            std::vector<quint32> group;
            std::vector<quint32> rest;
            for (const quint32 entry : left)
                (sourceOf(entry) == source ? group : rest).push_back(entry);
            if (group.size() > 1)
                reportGroup(std::move(group), translationOf, found);
            left.swap(rest);
        }
        i = end;
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    return found;
}
