#include "FilterBar.h"

#include "ActionRunner.h"
#include "CommandAction.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "TranslationCommands.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>

#include <numeric>

namespace {

// Filterings of up to this many entries run at once; longer ones a slice of
// the time at a time, so that typing never waits for them.
constexpr size_t EntriesAtOnce = 200'000;
constexpr qint64 SliceMilliseconds = 30;

bool isHexDigits(const QString &text)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F'));
    });
}

// Whether the number's eight digits hold the needle's (uppercase) digits.
bool numberContains(quint32 number, QStringView needle)
{
    static const char16_t digits[] = u"0123456789ABCDEF";
    char16_t text[8];
    for (int i = 0; i < 8; ++i)
        text[i] = digits[(number >> (28 - 4 * i)) & 0xF];
    return QStringView(text, 8).contains(needle);
}

} // namespace

FilterBar::FilterBar(TranslationCommands &tools)
    : QObject(tools.host().window)
    , m_tools(tools)
{
    actTranslationFilter = makeCommandAction(tools.host().window, "actTranslationFilter", "Translation", "&Filter...",
                                             "Filter|Show only the strings that match a text or still need work",
                                             "Ctrl+Shift+F", -1);
    tools.host().runner->bind(actTranslationFilter, [this] { toggle(); });
    tools.menu()->addSeparator();
    tools.menu()->addAction(actTranslationFilter);
    createBar();
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &FilterBar::filterSome);
}

FilterBar::~FilterBar() = default;

// The bar goes above the list, in the list's box.
void FilterBar::createBar()
{
    StringListView *list = m_tools.host().list;
    QWidget *box = list->parentWidget();
    pnlFilter = new QWidget(box);
    pnlFilter->setObjectName(QStringLiteral("pnlFilter"));
    auto *row = new QHBoxLayout(pnlFilter);
    row->setContentsMargins(2, 2, 2, 2);
    edtFilter = new QLineEdit(pnlFilter);
    edtFilter->setObjectName(QStringLiteral("edtFilter"));
    edtFilter->setPlaceholderText(QStringLiteral("Filter"));
    edtFilter->setAccessibleName(QStringLiteral("Filter text"));
    edtFilter->setClearButtonEnabled(true);
    cmbFilter = new QComboBox(pnlFilter);
    cmbFilter->setObjectName(QStringLiteral("cmbFilter"));
    cmbFilter->setAccessibleName(QStringLiteral("Show"));
    cmbFilter->addItems({QStringLiteral("All"), QStringLiteral("Unfinished"), QStringLiteral("Untranslated"),
                         QStringLiteral("Problems"), QStringLiteral("To review")});
    lblFilterCount = new QLabel(pnlFilter);
    lblFilterCount->setObjectName(QStringLiteral("lblFilterCount"));
    auto *close = new QToolButton(pnlFilter);
    close->setObjectName(QStringLiteral("btnFilterClose"));
    close->setText(QStringLiteral("\u00D7"));
    close->setToolTip(QStringLiteral("Close the filter (Esc)"));
    close->setAccessibleName(QStringLiteral("Close the filter"));
    close->setAutoRaise(true);
    row->addWidget(edtFilter, 1);
    row->addWidget(cmbFilter);
    row->addWidget(lblFilterCount);
    row->addWidget(close);
    pnlFilter->hide();

    static_cast<QVBoxLayout *>(box->layout())->insertWidget(0, pnlFilter);
    QWidget::setTabOrder(edtFilter, cmbFilter);

    edtFilter->installEventFilter(this);
    cmbFilter->installEventFilter(this);
    connect(edtFilter, &QLineEdit::textChanged, this, [this] { m_tools.host().runner->guard([this] { restart(); }); });
    connect(cmbFilter, &QComboBox::currentIndexChanged, this, [this] { m_tools.host().runner->guard([this] { restart(); }); });
    connect(close, &QToolButton::clicked, this, [this] { closeBar(); });
}

QList<QAction *> FilterBar::actions() const
{
    return {actTranslationFilter};
}

void FilterBar::updateActions(bool documentOpen)
{
    actTranslationFilter->setEnabled(documentOpen || m_active);
    const bool marks = m_tools.state().isActive();
    auto *items = qobject_cast<QStandardItemModel *>(cmbFilter->model());
    for (int choice = Unfinished; choice <= ToReview; ++choice)
        items->item(choice)->setEnabled(marks);
    if (!marks && cmbFilter->currentIndex() != All)
        cmbFilter->setCurrentIndex(All);
}

bool FilterBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
        && static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        closeBar();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void FilterBar::toggle()
{
    if (m_active)
        closeBar();
    else
        open();
}

void FilterBar::open()
{
    m_active = true;
    m_text.clear();
    m_choice = All;
    pnlFilter->show();
    edtFilter->setFocus();
    restart();
}

// Every row again, in table order, with the current entry still selected.
void FilterBar::closeBar()
{
    if (!m_active)
        return;
    m_timer.stop();
    m_active = false;
    {
        const QSignalBlocker text(edtFilter);
        const QSignalBlocker choice(cmbFilter);
        edtFilter->clear();
        cmbFilter->setCurrentIndex(All);
    }
    pnlFilter->hide();
    const TranslationHost &host = m_tools.host();
    host.model->setRowFilter(nullptr);
    std::vector<quint32> all(host.document->EntryCount());
    std::iota(all.begin(), all.end(), 0u);
    host.model->setRows(std::move(all));
    std::vector<quint8>().swap(m_shown);
    const int current = m_tools.currentIndex();
    if (current >= 0 && current < host.model->rowCount())
        host.selectRow(current);
    host.list->setFocus();
    updateActions(m_tools.documentOpen());
}

void FilterBar::restart()
{
    if (!m_active)
        return;
    const FoldedMatcher matcher(edtFilter->text());
    const int choice = cmbFilter->currentIndex();
    const quint32 count = m_tools.host().document->EntryCount();
    // More letters of the same, with the same choice, can only narrow what
    // is shown.
    const bool narrows = choice == m_choice && !m_stale && !m_timer.isActive() && m_shown.size() == count
                      && matcher.narrows(m_matcher) && !m_text.isEmpty();
    m_candidates.clear();
    if (narrows) {
        for (quint32 i = 0; i < count; ++i) {
            if (m_shown[i])
                m_candidates.push_back(i);
        }
    } else {
        m_candidates.resize(count);
        std::iota(m_candidates.begin(), m_candidates.end(), 0u);
    }
    m_matcher = matcher;
    m_text = edtFilter->text();
    const QString needle = m_text.trimmed();
    m_hexNeedle = isHexDigits(needle) ? needle.toUpper() : QString();
    bool decimal = false;
    const uint value = needle.toUInt(&decimal, 10);
    m_indexNeedle = decimal ? qint64(value) : -1;
    m_choice = choice;
    m_stale = false;
    m_matching.clear();
    m_next = 0;
    if (m_candidates.size() <= EntriesAtOnce) {
        m_timer.stop();
        filterSome();
    } else {
        m_timer.start();
    }
}

void FilterBar::filterSome()
{
    QElapsedTimer slice;
    slice.start();
    const bool all = m_candidates.size() <= EntriesAtOnce;
    while (m_next < m_candidates.size()) {
        const quint32 index = m_candidates[m_next++];
        if (matches(index))
            m_matching.push_back(index);
        if (!all && (m_next & 0xFFF) == 0 && slice.elapsed() >= SliceMilliseconds)
            return;
    }
    m_timer.stop();
    apply();
}

bool FilterBar::matches(quint32 index) const
{
    const TranslationState &state = m_tools.state();
    switch (m_choice) {
    case Unfinished:
        if (!(state.mark(index) & (TranslationState::Untranslated | TranslationState::ToReview)))
            return false;
        break;
    case Untranslated:
        if (!(state.mark(index) & TranslationState::Untranslated))
            return false;
        break;
    case Problems:
        if (!(state.mark(index) & TranslationState::Problem))
            return false;
        break;
    case ToReview:
        if (!(state.mark(index) & TranslationState::ToReview))
            return false;
        break;
    default:
        break;
    }
    if (m_matcher.isEmpty())
        return true;
    const TZelkStrings &document = *m_tools.host().document;
    if (m_matcher.matches(document.entryText(index)))
        return true;
    if (const QString *reference = state.referenceText(index); reference && m_matcher.matches(*reference))
        return true;
    if (!m_hexNeedle.isEmpty() && numberContains(document.GetNumber(index), m_hexNeedle))
        return true;
    return m_indexNeedle == qint64(index);
}

// The matching rows in table order, the current entry still selected where
// it is among them.
void FilterBar::apply()
{
    const TranslationHost &host = m_tools.host();
    m_shown.assign(host.document->EntryCount(), 0);
    for (const quint32 index : m_matching)
        m_shown[index] = 1;
    host.model->setRowFilter(&m_shown);
    std::vector<quint32> rows;
    m_matching.swap(rows);
    host.model->setRows(std::move(rows));
    std::vector<quint32>().swap(m_candidates);
    const int current = m_tools.currentIndex();
    if (current >= 0 && size_t(current) < m_shown.size() && m_shown[size_t(current)]) {
        for (int row = 0; row < host.model->rowCount(); ++row) {
            if (host.model->row(row).index == quint32(current)) {
                host.selectRow(row);
                break;
            }
        }
    }
    showCount();
}

void FilterBar::showCount()
{
    lblFilterCount->setText(QStringLiteral("%1 of %2 shown")
                                .arg(m_tools.host().model->rowCount())
                                .arg(m_tools.host().document->EntryCount()));
}

void FilterBar::documentChanged()
{
    if (!m_active)
        return;
    if (m_stale)
        restart();
    showCount();
}

void FilterBar::documentClosed()
{
    m_timer.stop();
    m_shown.clear();
    m_stale = true;
}

void FilterBar::entryAdded()
{
    if (!m_active)
        return;
    // A new row shows, whatever the filter.
    m_shown.resize(m_tools.host().document->EntryCount(), 1);
    showCount();
}

void FilterBar::entriesDeleted(const std::vector<quint32> &indices)
{
    if (!m_active)
        return;
    if (m_timer.isActive()) {
        m_timer.stop();
        m_stale = true;
    }
    std::vector<quint8> deleted(m_shown.size(), 0);
    for (const quint32 index : indices) {
        if (index < deleted.size())
            deleted[index] = 1;
    }
    size_t kept = 0;
    for (size_t i = 0; i < m_shown.size(); ++i) {
        if (!deleted[i])
            m_shown[kept++] = m_shown[i];
    }
    m_shown.resize(kept);
}

void FilterBar::entryMoved(quint32 from, quint32 to)
{
    if (!m_active || from >= m_shown.size() || to >= m_shown.size())
        return;
    const quint8 shown = m_shown[from];
    m_shown.erase(m_shown.begin() + from);
    m_shown.insert(m_shown.begin() + to, shown);
}
