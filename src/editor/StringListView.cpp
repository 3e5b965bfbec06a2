#include "StringListView.h"

#include "StringListModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// Shows a line break inside a row as one symbol, so that every row keeps to
// one line.
class OneLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &locale) const override
    {
        // The base class has already turned each LF into a line separator.
        QString text = QStyledItemDelegate::displayText(value, locale);
        const QChar symbol(0x21B5);
        text.replace(QStringLiteral("\r\u2028"), symbol);
        text.replace(QChar::LineSeparator, symbol);
        text.replace(QLatin1Char('\r'), symbol);
        return text;
    }
};

std::vector<int> rowsOf(const QItemSelection &selection)
{
    std::vector<int> rows;
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

StringListView::StringListView(StringListModel *model, QWidget *parent)
    : QTableView(parent)
    , m_model(model)
{
    setModel(model);
    setItemDelegate(new OneLineDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);

    // Fixed row heights keep a million rows cheap to lay out and scroll.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fitRowHeight();

    QHeaderView *header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(StringListModel::TextColumn, QHeaderView::Stretch);
    header->resizeSection(StringListModel::IndexColumn, 50);
    header->resizeSection(StringListModel::HashColumn, 85);

    // The selection stays visible when the list loses the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &StringListView::onSelectionChanged);
    connect(model, &QAbstractItemModel::modelReset, this, [this] { m_selectedCount = 0; });
}

int StringListView::firstSelectedRow() const
{
    int first = -1;
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first;
}

bool StringListView::isRowSelected(int row) const
{
    return selectionModel()->isRowSelected(row, QModelIndex());
}

std::vector<int> StringListView::selectedRows() const
{
    return rowsOf(selectionModel()->selection());
}

void StringListView::selectItemIndex(int row)
{
    selectionModel()->setCurrentIndex(m_model->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void StringListView::deselectRow(int row)
{
    selectionModel()->select(m_model->index(row, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void StringListView::deselectAll()
{
    selectionModel()->clearSelection();
}

void StringListView::scrollRowIntoView(int row)
{
    scrollTo(m_model->index(row, 0), QAbstractItemView::EnsureVisible);
}

// Item views copy the current cell on Ctrl+C and select every row on Ctrl+A;
// in this list those keys do nothing.
void StringListView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void StringListView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        fitRowHeight();
    QTableView::changeEvent(event);
}

void StringListView::onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    const std::vector<int> unselectedRows = rowsOf(deselected);
    const std::vector<int> selectedRowsNow = rowsOf(selected);
    for (const int row : unselectedRows) {
        --m_selectedCount;
        Q_EMIT selectItem(row, false);
    }
    for (const int row : selectedRowsNow) {
        ++m_selectedCount;
        Q_EMIT selectItem(row, true);
    }
}

void StringListView::fitRowHeight()
{
    const int height = fontMetrics().height() + 4;
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}
