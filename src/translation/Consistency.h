#pragma once

#include <QString>

#include <functional>
#include <utility>
#include <vector>

// The same source text translated in different ways: a game's "Short
// Sword" should read the same in every text that names it.
namespace Consistency {

// The entries that share an entry's source but translate it otherwise, in
// index order: "same source as 12, 40 ("Épée courte" there)".
QString detail(const std::vector<std::pair<quint32, QString>> &others);

// Of the entries given (those translated), each whose source another of
// them has too, translated otherwise, with the detail that says so; by
// index.
std::vector<std::pair<quint32, QString>> find(const std::vector<quint32> &entries,
                                              const std::function<const QString &(quint32)> &sourceOf,
                                              const std::function<const QString &(quint32)> &translationOf);

} // namespace Consistency
