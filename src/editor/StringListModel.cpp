#include "StringListModel.h"

#include "LargeBuffers.h"
#include "Pictures.h"
#include "TranslationState.h"
#include "uZelkStrings.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <array>
#include <utility>
#include <numeric>

StringListModel::StringListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int StringListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int StringListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : (m_referenceColumn ? ColumnCount + 1 : ColumnCount);
}

QVariant StringListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_rows.size())
        return QVariant();
    const StringRow shown = row(index.row());
    if (role != Qt::DisplayRole && index.column() == TextColumn && isUnreadable(shown))
        return unreadableData(role);
    if (m_translation && (role != Qt::DisplayRole || index.column() == ReferenceColumn))
        return translationData(shown, index.column(), role);
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case IndexColumn:
        return QString::number(shown.index);
    case HashColumn:
        return formatNumber(shown.number);
    case TextColumn:
        // A text of its own: a view may keep what it shows, and a text read
        // from a file shares its memory with all the others.
        return QString(shown.text.constData(), shown.text.size());
    default:
        return QVariant();
    }
}

QVariant StringListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const char *const titles[ColumnCount + 1] = {"Indx", "Hash", "Text", "Reference"};
    return section >= 0 && section < columnCount() ? QString::fromLatin1(titles[section]) : QVariant();
}

bool StringListModel::isUnreadable(const StringRow &shown) const
{
    // A row may outlive its entry until the list is filled again.
    return m_table && shown.index < m_table->EntryCount() && m_table->isUnreadable(shown.index);
}

// The mark of a text that is not UTF-8: it shows as empty, and is not.
QVariant StringListModel::unreadableData(int role) const
{
    switch (role) {
    case Qt::DecorationRole:
        return Pictures::problemMark();
    case Qt::AccessibleDescriptionRole:
        return QStringLiteral("Not valid UTF-8");
    case Qt::ToolTipRole:
        return QStringLiteral("This text is not valid UTF-8: it shows as empty and keeps its bytes until you change it");
    default:
        return QVariant();
    }
}

namespace {

// The marks of a row, most telling first.
QStringList markNames(quint8 mark)
{
    QStringList names;
    if (mark & TranslationState::ToReview)
        names << QStringLiteral("To review");
    if (mark & TranslationState::Problem)
        names << QStringLiteral("Problem");
    if (mark & TranslationState::Untranslated)
        names << QStringLiteral("Untranslated");
    return names;
}

QIcon markIcon(quint8 mark)
{
    if (mark & TranslationState::ToReview)
        return Pictures::toReviewMark();
    return (mark & TranslationState::Problem) ? Pictures::problemMark() : Pictures::untranslatedMark();
}

QColor markTint(quint8 mark)
{
    if (mark & TranslationState::Problem)
        return QColor(255, 225, 200);
    return (mark & TranslationState::ToReview) ? QColor(215, 232, 255) : QColor(255, 250, 205);
}

} // namespace

// The reference column's text, and the marks the translator's tools give
// the rows: an icon with a description in the "Text" column, a tint and a
// tooltip that names the findings.
QVariant StringListModel::translationData(const StringRow &shown, int column, int role) const
{
    if (role == Qt::DisplayRole) {
        const QString *text = m_translation->referenceText(shown.index);
        return text ? QString(text->constData(), text->size()) : QString();
    }
    if (!m_translation->isActive())
        return QVariant();
    const quint8 mark = m_translation->mark(shown.index);
    if (mark == TranslationState::Fine)
        return QVariant();
    switch (role) {
    case Qt::DecorationRole:
        return column == TextColumn ? QVariant(markIcon(mark)) : QVariant();
    case Qt::AccessibleDescriptionRole:
        return column == TextColumn ? QVariant(markNames(mark).join(QStringLiteral(", "))) : QVariant();
    case Qt::BackgroundRole:
        return QBrush(markTint(mark));
    case Qt::ToolTipRole:
        return m_translation->findings(*m_document, shown.index).join(QLatin1Char('\n'));
    default:
        return QVariant();
    }
}

void StringListModel::setTranslation(const TranslationState *state, const TZelkStrings *document)
{
    m_translation = state;
    m_document = document;
}

void StringListModel::showReferenceColumn(bool shown)
{
    if (shown == m_referenceColumn)
        return;
    if (shown) {
        beginInsertColumns(QModelIndex(), ReferenceColumn, ReferenceColumn);
        m_referenceColumn = true;
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), ReferenceColumn, ReferenceColumn);
        m_referenceColumn = false;
        endRemoveColumns();
    }
}

void StringListModel::marksChanged()
{
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, columnCount() - 1));
}

void StringListModel::appendTable(const TZelkStrings &table)
{
    beginResetModel();
    m_table = &table;
    const quint32 count = table.EntryCount();
    if (m_rowFilter) {
        for (quint32 i = 0; i < count; ++i) {
            if (i < m_rowFilter->size() && (*m_rowFilter)[i])
                m_rows.push_back(i);
        }
    } else {
        const size_t first = m_rows.size();
        m_rows.resize(first + count);
        std::iota(m_rows.begin() + qsizetype(first), m_rows.end(), 0u);
    }
    endResetModel();
}

void StringListModel::setRows(std::vector<quint32> rows)
{
    beginResetModel();
    m_rows.swap(rows);
    endResetModel();
}

void StringListModel::entriesChanged(const std::vector<quint32> &indices)
{
    for (const quint32 entry : indices)
        m_shown.erase(entry);
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, columnCount() - 1));
}

void StringListModel::clear()
{
    beginResetModel();
    std::vector<quint32>().swap(m_rows);
    m_shown.clear();
    endResetModel();
}

void StringListModel::appendRow(quint32 index)
{
    const int position = int(m_rows.size());
    beginInsertRows(QModelIndex(), position, position);
    m_rows.push_back(index);
    endInsertRows();
}

StringRow StringListModel::row(int position) const
{
    static const QString none;
    const quint32 entry = m_rows[size_t(position)];
    if (!m_shown.empty()) {
        const auto kept = m_shown.find(entry);
        if (kept != m_shown.end())
            return StringRow{entry, kept->second.number, kept->second.text};
    }
    // A row may outlive its entry until the list is filled again.
    if (!m_table || entry >= m_table->EntryCount())
        return StringRow{entry, 0, none};
    return StringRow{entry, m_table->GetNumber(entry), m_table->entryText(entry)};
}

void StringListModel::keepShown(quint32 index)
{
    if (m_table && index < m_table->EntryCount() && m_shown.find(index) == m_shown.end())
        m_shown.emplace(index, Shown{m_table->GetEntry(index), m_table->GetNumber(index)});
}

// A row that shows its entry as the table has it needs nothing of its own.
void StringListModel::keepShownIfSame(quint32 index)
{
    const auto kept = m_shown.find(index);
    if (kept != m_shown.end() && m_table && index < m_table->EntryCount() && kept->second.number == m_table->GetNumber(index)
        && kept->second.text == m_table->entryText(index))
        m_shown.erase(kept);
}

void StringListModel::setRowText(int position, const QString &text)
{
    const StringRow shown = row(position);
    const quint32 number = shown.number;
    m_shown[shown.index] = Shown{text, number};
    keepShownIfSame(shown.index);
    const QModelIndex cell = index(position, TextColumn);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole});
}

void StringListModel::setRowNumber(int position, quint32 number)
{
    const StringRow shown = row(position);
    m_shown[shown.index] = Shown{QString(shown.text.constData(), shown.text.size()), number};
    keepShownIfSame(shown.index);
    const QModelIndex cell = index(position, HashColumn);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole});
}

namespace {

#pragma pack(push, 4)
struct Keyed
{
    quint64 key;
    quint32 position;
};
#pragma pack(pop)

// Orders items by key, smaller first, items with equal keys staying in the
// order they are in: a byte at a time from the lowest, skipping bytes that
// every key has alike. A million rows take a few passes over memory instead
// of twenty rounds of comparisons.
void radixSortByKey(std::vector<Keyed> &items)
{
    std::vector<std::array<quint32, 256>> counts(8);
    for (auto &histogram : counts)
        histogram.fill(0);
    for (const Keyed &item : items) {
        for (int byte = 0; byte < 8; ++byte)
            ++counts[size_t(byte)][(item.key >> (8 * byte)) & 0xFF];
    }
    std::vector<Keyed> spare;
    resizeLarge(spare, items.size());
    for (int byte = 0; byte < 8; ++byte) {
        std::array<quint32, 256> &histogram = counts[size_t(byte)];
        if (std::find(histogram.begin(), histogram.end(), quint32(items.size())) != histogram.end())
            continue;
        quint32 next = 0;
        for (quint32 &bucket : histogram)
            next += std::exchange(bucket, next);
        for (const Keyed &item : items)
            spare[histogram[(item.key >> (8 * byte)) & 0xFF]++] = item;
        items.swap(spare);
    }
}

} // namespace

void StringListModel::sortRows(const std::function<quint64(const StringRow &)> &key,
                               const std::function<int(const StringRow &, const StringRow &)> &tieCompare,
                               bool descending)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Sorting contiguous keys keeps almost every comparison out of the rows'
    // text; only equal keys look further. Descending order sorts the keys'
    // complements, so that equal keys keep the rows' present order both ways.
    const size_t count = m_rows.size();
    std::vector<Keyed> order;
    resizeLarge(order, count);
    const auto keep = [&](size_t position, const StringRow &shown) {
        const quint64 value = key(shown);
        order[position] = Keyed{descending ? ~value : value, quint32(position)};
    };
    // The keys are taken in the table's order, which reads the table and its
    // texts front to back however the rows are ordered now.
    const quint32 entries = m_table ? m_table->EntryCount() : 0;
    constexpr quint32 NoRow = ~0u;
    std::vector<quint32> rowOf;
    resizeLarge(rowOf, entries);
    std::fill(rowOf.begin(), rowOf.end(), NoRow);
    for (size_t i = 0; i < count; ++i) {
        if (m_rows[i] < entries && (m_shown.empty() || m_shown.find(m_rows[i]) == m_shown.end()))
            rowOf[m_rows[i]] = quint32(i);
        else
            keep(i, row(int(i)));
    }
    for (quint32 entry = 0; entry < entries; ++entry) {
        if (rowOf[entry] != NoRow)
            keep(rowOf[entry], StringRow{entry, m_table->GetNumber(entry), m_table->entryText(entry)});
    }
    std::vector<quint32>().swap(rowOf);
    radixSortByKey(order);
    if (tieCompare) {
        // The rows of a run of equal keys, each looked up once.
        struct RunRow
        {
            Keyed item;
            quint32 index;
            quint32 number;
            const QString *text;
            StringRow shown() const { return StringRow{index, number, *text}; }
        };
        const auto before = [&](const RunRow &a, const RunRow &b) {
            const int compared = tieCompare(a.shown(), b.shown());
            if (compared != 0)
                return descending ? compared > 0 : compared < 0;
            return a.item.position < b.item.position;
        };
        std::vector<RunRow> runRows;
        for (auto run = order.begin(); run != order.end();) {
            const auto end = std::find_if(run, order.end(), [&](const Keyed &item) { return item.key != run->key; });
            if (end - run > 1) {
                runRows.clear();
                for (auto item = run; item != end; ++item) {
                    const StringRow shown = row(int(item->position));
                    runRows.push_back(RunRow{*item, shown.index, shown.number, &shown.text});
                }
                // A run of rows that all tie, as rows sharing one text do, is
                // in order already.
                const StringRow first = runRows.front().shown();
                if (!std::all_of(runRows.begin() + 1, runRows.end(),
                                 [&](const RunRow &other) { return tieCompare(first, other.shown()) == 0; })) {
                    std::sort(runRows.begin(), runRows.end(), before);
                    std::transform(runRows.begin(), runRows.end(), run, [](const RunRow &sorted) { return sorted.item; });
                }
            }
            run = end;
        }
    }

    // The rows in their new order, and where each went for the selection.
    std::vector<quint32> sorted(count);
    std::vector<quint32> newPosition(count);
    for (size_t i = 0; i < count; ++i) {
        sorted[i] = m_rows[order[i].position];
        newPosition[order[i].position] = quint32(i);
    }
    std::vector<Keyed>().swap(order);
    m_rows.swap(sorted);

    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &old : from)
        to.append(index(int(newPosition[size_t(old.row())]), old.column()));
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
