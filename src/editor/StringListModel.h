#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <unordered_map>
#include <vector>

class TranslationState;
class TZelkStrings;

// What one row of the string list shows: the entry's table index, its number
// and its text, valid until the table or the rows change.
struct StringRow
{
    quint32 index = 0;
    quint32 number = 0;
    const QString &text;
};

// The rows of the string list: columns "Indx", "Hash" and "Text", and
// "Reference" while a reference is shown; the translator's marks flag the
// texts while there are any.
class StringListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { IndexColumn, HashColumn, TextColumn, ColumnCount, ReferenceColumn = ColumnCount };

    explicit StringListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The table whose entries the rows show.
    void setDocument(const TZelkStrings *document) { m_table = document; }
    // Appends one row per entry of the table, in table order, in one reset;
    // while a row filter is set, only the entries it shows.
    void appendTable(const TZelkStrings &table);
    // Which entries the list shows (1 for shown, per entry), nullptr for all.
    void setRowFilter(const std::vector<quint8> *shown) { m_rowFilter = shown; }
    // Shows exactly these entries, in this order, in one reset.
    void setRows(std::vector<quint32> rows);
    // The entries' texts changed without their rows being given them: every
    // row shows its entry as the table has it now.
    void entriesChanged(const std::vector<quint32> &indices);
    void clear();
    void appendRow(quint32 index);

    // Where the rows' marks, tooltips and reference texts come from.
    void setTranslation(const TranslationState *state, const TZelkStrings *document);
    // Adds or removes the "Reference" column.
    void showReferenceColumn(bool shown);
    bool showsReference() const { return m_referenceColumn; }
    // Every row's reference text and marks may have changed.
    void marksChanged();

    StringRow row(int position) const;
    // A row shows what it was last given, even where its entry changes
    // later: call keepShown before changing an entry without its row.
    void setRowText(int position, const QString &text);
    void setRowNumber(int position, quint32 number);
    void keepShown(quint32 index);

    // Orders rows by a 64-bit key of each, smaller first; rows with equal
    // keys by tieCompare (negative: the first comes first), if given, then
    // by their present order. Descending reverses the order of keys and of
    // tieCompare. Selections and the current row move with their rows.
    void sortRows(const std::function<quint64(const StringRow &)> &key,
                  const std::function<int(const StringRow &, const StringRow &)> &tieCompare, bool descending);

private:
    QVariant translationData(const StringRow &shown, int column, int role) const;
    QVariant unreadableData(int role) const;
    bool isUnreadable(const StringRow &shown) const;

    // What a row shows where it differs from its entry in the table.
    struct Shown
    {
        QString text;
        quint32 number = 0;
    };
    void keepShownIfSame(quint32 index);

    // A row is its entry's index: the texts stay in the table, so a row
    // costs four bytes.
    std::vector<quint32> m_rows;
    const std::vector<quint8> *m_rowFilter = nullptr;
    std::unordered_map<quint32, Shown> m_shown;
    const TranslationState *m_translation = nullptr;
    const TZelkStrings *m_document = nullptr;
    bool m_referenceColumn = false;
    const TZelkStrings *m_table = nullptr;
};
