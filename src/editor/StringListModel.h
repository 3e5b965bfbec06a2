#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <vector>

class ReferenceState;
class TZelkStrings;

// What one row of the string list shows: the entry's table index, its number
// and its text. Rows may be patched, sorted and rebuilt apart from the table,
// so a row keeps its own copy (sharing the table's string data).
struct StringRow
{
    quint32 index = 0;
    quint32 number = 0;
    QString text;
};

// The rows of the string list: columns "Indx", "Hash" and "Text", and
// "Reference" while a reference is shown, whose marks then flag the texts.
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

    // Appends one row per entry of the table, in table order, in one reset.
    void appendTable(const TZelkStrings &table);
    void clear();
    void appendRow(const StringRow &row);

    // The table the rows show, for the marks of texts that are not UTF-8.
    void setDocument(const TZelkStrings *document) { m_table = document; }

    // Adds the "Reference" column, with marks and tooltips from the reference
    // of the document; nullptr removes it.
    void showReference(const ReferenceState *reference, const TZelkStrings *document);
    bool showsReference() const { return m_reference != nullptr; }
    // Every row's reference text and marks may have changed.
    void referenceChanged();

    const StringRow &row(int position) const { return m_rows[size_t(position)]; }
    void setRowText(int position, const QString &text);
    void setRowNumber(int position, quint32 number);

    // Orders rows by a 64-bit key of each, smaller first; rows with equal
    // keys by tieCompare (negative: the first comes first), if given, then
    // by their present order. Descending reverses the order of keys and of
    // tieCompare. Selections and the current row move with their rows.
    void sortRows(const std::function<quint64(const StringRow &)> &key,
                  const std::function<int(const StringRow &, const StringRow &)> &tieCompare, bool descending);

private:
    QVariant referenceData(const StringRow &shown, int column, int role) const;
    QVariant unreadableData(int role) const;
    bool isUnreadable(const StringRow &shown) const;

    std::vector<StringRow> m_rows;
    const ReferenceState *m_reference = nullptr;
    const TZelkStrings *m_document = nullptr;
    const TZelkStrings *m_table = nullptr;
};
