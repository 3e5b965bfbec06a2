#pragma once

#include <QTableView>

class QItemSelection;
class StringListModel;

// The string list: a table of rows that reports every change of selection as
// one event per row, as the editor's handlers expect, and offers the row
// operations the commands use.
class StringListView : public QTableView
{
    Q_OBJECT

public:
    explicit StringListView(StringListModel *model, QWidget *parent = nullptr);

    StringListModel *stringModel() const { return m_model; }

    int selectedRowCount() const { return m_selectedCount; }
    // The topmost selected row in the shown order, or -1.
    int firstSelectedRow() const;
    bool isRowSelected(int row) const;
    // The selected rows from top to bottom.
    std::vector<int> selectedRows() const;

    // Selects a row and makes it the current row; other rows stay selected.
    void selectItemIndex(int row);
    void deselectRow(int row);
    void deselectAll();
    // Scrolls so that the row is entirely visible.
    void scrollRowIntoView(int row);

Q_SIGNALS:
    // One row's selected state changed. Deselections come first, then
    // selections, each from top to bottom; selectedRowCount() already counts
    // this row's change and none of the later ones.
    void selectItem(int row, bool selected);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void fitRowHeight();

    StringListModel *m_model;
    int m_selectedCount = 0;
};
