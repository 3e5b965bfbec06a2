#include "ReplaceDialog.h"

#include "Pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextLayout>
#include <QVBoxLayout>

namespace {

// A line break shows as one symbol, so that a row keeps to one line and the
// marked parts keep their places.
QString oneLine(QString text)
{
    text.replace(QLatin1Char('\n'), QChar(0x21B5));
    text.replace(QLatin1Char('\r'), QChar(0x21B5));
    text.replace(QLatin1Char('\t'), QChar(0x2192));
    return text;
}

// Paints a text with its marked parts: struck through in the text before,
// underlined in the text after, so that they read without colour.
class MarkedTextDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QVariant spans = index.data(ReplacePreviewModel::SpansRole);
        if (!spans.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        const bool before = index.column() == ReplacePreviewModel::BeforeColumn;
        QTextCharFormat marked;
        if (before)
            marked.setFontStrikeOut(true);
        else
            marked.setFontUnderline(true);
        marked.setBackground(before ? QColor(255, 215, 215) : QColor(210, 245, 210));
        marked.setForeground(QColor(Qt::black));
        QList<QTextLayout::FormatRange> ranges;
        const QVariantList list = spans.toList();
        for (int i = 0; i + 1 < list.size(); i += 2)
            ranges.append({list[i].toInt(), list[i + 1].toInt(), marked});
        QTextLayout layout(text, item.font);
        layout.setFormats(ranges);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
        layout.endLayout();
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
        painter->save();
        painter->setClipRect(area);
        painter->setPen(item.palette.color(item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        layout.draw(painter, QPointF(area.left() + 2, area.top() + (area.height() - line.height()) / 2));
        painter->restore();
    }
};

QVariant spanList(const std::vector<ContentChecks::Span> &spans)
{
    QVariantList list;
    for (const ContentChecks::Span &span : spans)
        list << int(span.start) << int(span.length);
    return list;
}

} // namespace

int ReplacePreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_changes.size());
}

int ReplacePreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ReplacePreviewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_changes.size())
        return QVariant();
    const ReplaceChange &change = m_changes[size_t(index.row())];
    switch (index.column()) {
    case IndexColumn:
        if (role == Qt::DisplayRole)
            return QString::number(change.index);
        if (role == Qt::CheckStateRole)
            return change.checked ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::DecorationRole && !change.structure.isEmpty())
            return Pictures::problemMark();
        break;
    case BeforeColumn:
    case AfterColumn: {
        const bool before = index.column() == BeforeColumn;
        if (role == Qt::DisplayRole)
            return oneLine(before ? change.before : change.after);
        if (role == Qt::ToolTipRole)
            return before ? change.before : change.after;
        if (role == SpansRole)
            return spanList(before ? change.removed : change.added);
        break;
    }
    case NoteColumn:
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return change.structure.isEmpty() ? QString() : QStringLiteral("Placeholders or line breaks change: ") + change.structure;
        break;
    default:
        break;
    }
    return QVariant();
}

bool ReplacePreviewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != IndexColumn || role != Qt::CheckStateRole)
        return false;
    m_changes[size_t(index.row())].checked = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ReplacePreviewModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == IndexColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ReplacePreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const char *const titles[ColumnCount] = {"Indx", "Before", "After", "Note"};
    return QString::fromLatin1(titles[section]);
}

void ReplacePreviewModel::setChanges(std::vector<ReplaceChange> changes)
{
    beginResetModel();
    m_changes.swap(changes);
    endResetModel();
}

ReplaceDialog::ReplaceDialog(QWidget *parent)
    : QDialog(parent)
    , edtReplaceFind(new QLineEdit(this))
    , edtReplaceWith(new QLineEdit(this))
    , chkReplaceMatchCase(new QCheckBox(QStringLiteral("Match &case"), this))
    , chkReplaceWholeWords(new QCheckBox(QStringLiteral("&Whole words"), this))
    , chkReplaceRegex(new QCheckBox(QStringLiteral("Regular e&xpression"), this))
    , rbReplaceAll(new QRadioButton(QStringLiteral("All &entries"), this))
    , rbReplaceShown(new QRadioButton(QStringLiteral("S&hown entries"), this))
    , rbReplaceSelected(new QRadioButton(QStringLiteral("Se&lected entries"), this))
    , lstReplacePreview(new QTableView(this))
    , lblReplaceResult(new QLabel(this))
    , m_preview(new ReplacePreviewModel(this))
{
    setObjectName(QStringLiteral("frmReplace"));
    setWindowTitle(QStringLiteral("Replace"));
    setModal(false);
    edtReplaceFind->setObjectName(QStringLiteral("edtReplaceFind"));
    edtReplaceWith->setObjectName(QStringLiteral("edtReplaceWith"));
    chkReplaceMatchCase->setObjectName(QStringLiteral("chkReplaceMatchCase"));
    chkReplaceWholeWords->setObjectName(QStringLiteral("chkReplaceWholeWords"));
    chkReplaceRegex->setObjectName(QStringLiteral("chkReplaceRegex"));
    rbReplaceAll->setObjectName(QStringLiteral("rbReplaceAll"));
    rbReplaceShown->setObjectName(QStringLiteral("rbReplaceShown"));
    rbReplaceSelected->setObjectName(QStringLiteral("rbReplaceSelected"));
    lstReplacePreview->setObjectName(QStringLiteral("lstReplacePreview"));
    lblReplaceResult->setObjectName(QStringLiteral("lblReplaceResult"));
    rbReplaceAll->setChecked(true);

    auto *findLabel = new QLabel(QStringLiteral("Fi&nd:"), this);
    findLabel->setBuddy(edtReplaceFind);
    auto *withLabel = new QLabel(QStringLiteral("Replace wi&th:"), this);
    withLabel->setBuddy(edtReplaceWith);
    auto *fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(edtReplaceFind, 0, 1);
    fields->addWidget(withLabel, 1, 0);
    fields->addWidget(edtReplaceWith, 1, 1);

    auto *options = new QHBoxLayout;
    options->addWidget(chkReplaceMatchCase);
    options->addWidget(chkReplaceWholeWords);
    options->addWidget(chkReplaceRegex);
    options->addStretch();
    auto *scope = new QGroupBox(QStringLiteral("In"), this);
    auto *scopes = new QHBoxLayout(scope);
    scopes->addWidget(rbReplaceAll);
    scopes->addWidget(rbReplaceShown);
    scopes->addWidget(rbReplaceSelected);

    lstReplacePreview->setModel(m_preview);
    lstReplacePreview->setItemDelegate(new MarkedTextDelegate(lstReplacePreview));
    lstReplacePreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstReplacePreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstReplacePreview->setWordWrap(false);
    lstReplacePreview->verticalHeader()->hide();
    lstReplacePreview->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    lstReplacePreview->horizontalHeader()->setStretchLastSection(true);
    lstReplacePreview->setColumnWidth(ReplacePreviewModel::IndexColumn, 70);
    lstReplacePreview->setColumnWidth(ReplacePreviewModel::BeforeColumn, 220);
    lstReplacePreview->setColumnWidth(ReplacePreviewModel::AfterColumn, 220);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *preview = buttons->addButton(QStringLiteral("&Preview"), QDialogButtonBox::ActionRole);
    preview->setObjectName(QStringLiteral("btnReplacePreview"));
    QPushButton *replace = buttons->addButton(QStringLiteral("&Replace"), QDialogButtonBox::ActionRole);
    replace->setObjectName(QStringLiteral("btnReplace"));
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("btnReplaceClose"));
    preview->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(options);
    layout->addWidget(scope);
    layout->addWidget(lstReplacePreview, 1);
    layout->addWidget(lblReplaceResult);
    layout->addWidget(buttons);
    resize(620, 420);

    connect(preview, &QPushButton::clicked, this, &ReplaceDialog::previewRequested);
    connect(replace, &QPushButton::clicked, this, &ReplaceDialog::replaceRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit *edit : {edtReplaceFind, edtReplaceWith})
        connect(edit, &QLineEdit::textChanged, this, &ReplaceDialog::settingsChanged);
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{chkReplaceMatchCase, chkReplaceWholeWords, chkReplaceRegex,
                                                                            rbReplaceAll, rbReplaceShown, rbReplaceSelected})
        connect(button, &QAbstractButton::toggled, this, &ReplaceDialog::settingsChanged);
}

QString ReplaceDialog::findText() const
{
    return edtReplaceFind->text();
}

QString ReplaceDialog::replacement() const
{
    return edtReplaceWith->text();
}

bool ReplaceDialog::matchCase() const
{
    return chkReplaceMatchCase->isChecked();
}

bool ReplaceDialog::wholeWords() const
{
    return chkReplaceWholeWords->isChecked();
}

bool ReplaceDialog::regex() const
{
    return chkReplaceRegex->isChecked();
}

ReplaceDialog::Scope ReplaceDialog::scope() const
{
    if (rbReplaceShown->isChecked())
        return Scope::Shown;
    return rbReplaceSelected->isChecked() ? Scope::Selected : Scope::All;
}

void ReplaceDialog::showResult(const QString &text)
{
    lblReplaceResult->setText(text);
}

void ReplaceDialog::showOrRaise()
{
    show();
    raise();
    activateWindow();
    edtReplaceFind->setFocus();
}
