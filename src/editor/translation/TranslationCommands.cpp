#include "TranslationCommands.h"

#include "FilterBar.h"
#include "Hourglass.h"
#include "MemoryCommands.h"
#include "MessageBoxes.h"
#include "PanelLayout.h"
#include "Pairing.h"
#include "ReferenceCommands.h"
#include "ReplaceCommands.h"
#include "ReviewFile.h"
#include "SpellingCommands.h"
#include "ReviewCommands.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "uZelkStrings.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>

namespace {

// Marks are worked out in the background in steps of about this many
// milliseconds, however long one takes (those that compare an entry with
// others take longer): short enough for the window to stay responsive.
constexpr qint64 MarkStepMilliseconds = 20;
constexpr quint32 MarksBetweenClockReadings = 1000;

QString plural(quint32 count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromLatin1(count == 1 ? one : many));
}

} // namespace

TranslationCommands::TranslationCommands(const TranslationHost &host)
    : QObject(host.window)
    , m_host(host)
{
    createMenu();
    m_panelLayout = new PanelLayout(host.textEditor->parentWidget(), host.textEditor);
    m_reference = std::make_unique<ReferenceCommands>(*this);
    m_review = std::make_unique<ReviewCommands>(*this);
    m_filter = std::make_unique<FilterBar>(*this);
    m_replace = std::make_unique<ReplaceCommands>(*this);
    m_spelling = std::make_unique<SpellingCommands>(*this);
    m_memory = std::make_unique<MemoryCommands>(*this);
    createProgress();
    m_host.model->setTranslation(&m_state, m_host.document);
    m_markTimer.setInterval(0);
    connect(&m_markTimer, &QTimer::timeout, this, &TranslationCommands::markRemainingRows);
}

TranslationCommands::~TranslationCommands() = default;

void TranslationCommands::createMenu()
{
    m_menu = new QMenu(QStringLiteral("&Translation"), m_host.menuBar);
    m_menu->setObjectName(QStringLiteral("mnuTranslation"));
    auto *help = m_host.menuBar->findChild<QMenu *>(QStringLiteral("mnuHelp"));
    m_menu->setFont(help->font());
    m_host.menuBar->insertMenu(help->menuAction(), m_menu);
}

void TranslationCommands::createProgress()
{
    lblReferenceProgress = new QLabel(m_host.statusBar);
    lblReferenceProgress->setObjectName(QStringLiteral("lblReferenceProgress"));
    m_host.statusBar->addPermanentWidget(lblReferenceProgress);
    lblReferenceProgress->hide();
}

QList<QAction *> TranslationCommands::actions() const
{
    return m_reference->actions() + m_review->actions() + m_filter->actions() + m_replace->actions() + m_spelling->actions()
         + m_memory->actions();
}

QString TranslationCommands::takeReferenceArgument(QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--reference"));
    if (at < 1 || at + 1 >= arguments.size())
        return QString();
    const QString reference = arguments.at(at + 1);
    arguments.remove(at, 2);
    return reference;
}

void TranslationCommands::openReference(const QString &fileName)
{
    m_reference->open(fileName);
}

void TranslationCommands::referenceChanged()
{
    m_memory->referenceChanged();
}

void TranslationCommands::documentLoading(const QString &fileName)
{
    m_review->documentLoading(fileName);
}

void TranslationCommands::documentLoaded(const QString &fileName, const QByteArray *recoveredReview)
{
    if (recoveredReview)
        m_review->documentRecovered(*recoveredReview);
    else
        m_review->documentLoaded(fileName);
    warnOfUnlikelyReference();
}

QByteArray TranslationCommands::reviewSnapshot() const
{
    if (m_state.review().isEmpty())
        return QByteArray();
    return m_state.review().toFile(*m_host.document).toJson();
}

void TranslationCommands::documentSaved(const QString &fileName)
{
    m_review->documentSaved(fileName);
}

void TranslationCommands::documentChanged()
{
    {
        const Hourglass hourglass;
        m_state.rebuild(*m_host.document);
    }
    m_memory->documentChanged();
    m_replace->documentChanged();
    m_filter->documentChanged();
    refresh();
}

void TranslationCommands::documentClosed()
{
    m_state.review().clear();
    m_filter->documentClosed();
    documentChanged();
}

void TranslationCommands::entryAdded()
{
    m_state.review().entryAppended(m_host.document->EntryCount());
    m_filter->entryAdded();
    documentChanged();
}

void TranslationCommands::entriesDeleted(const std::vector<quint32> &indices)
{
    m_state.review().entriesDeleted(indices);
    m_filter->entriesDeleted(indices);
}

void TranslationCommands::entryMoved(quint32 from, quint32 to)
{
    m_state.review().entryMoved(from, to);
    m_filter->entryMoved(from, to);
}

void TranslationCommands::textChanged(quint32 index)
{
    m_state.textChanged(*m_host.document, index);
    m_memory->textChanged(index);
    if (m_state.isActive())
        refresh();
}

void TranslationCommands::textsChanged(const std::vector<quint32> &indices)
{
    for (const quint32 index : indices) {
        m_state.textChanged(*m_host.document, index);
        m_memory->textChanged(index);
    }
    m_replace->documentChanged();
    if (m_state.isActive())
        refresh();
}

void TranslationCommands::numberChanged(quint32 index, quint32 oldNumber)
{
    if (!m_state.isActive())
        return;
    const bool repaired = m_state.numberChanged(*m_host.document, index, oldNumber);
    m_memory->numberChanged(index, repaired);
    if (repaired) {
        const QString obstacle = numberIdentityObstacle(*m_host.document);
        m_host.showStatus(m_state.byNumber()
                              ? QStringLiteral("The reference now pairs by number")
                              : QStringLiteral("The reference now pairs by index: %1").arg(obstacle));
    }
    refresh();
}

void TranslationCommands::showCurrent(int index)
{
    m_current = index;
    m_reference->showCurrent(index);
    m_review->showCurrent(index);
    m_spelling->showCurrent(index);
    m_memory->showCurrent(index);
    m_panelLayout->update();
}

void TranslationCommands::updateActions(bool documentOpen)
{
    m_documentOpen = documentOpen;
    m_reference->showLabels();
    m_reference->updateActions(documentOpen);
    m_review->updateActions(documentOpen);
    m_filter->updateActions(documentOpen);
    m_replace->updateActions(documentOpen);
    m_spelling->updateActions(documentOpen);
    m_memory->updateActions(documentOpen);
}

void TranslationCommands::sortRows(bool descending)
{
    m_reference->sortRows(descending);
}

void TranslationCommands::refresh()
{
    m_host.model->showReferenceColumn(m_state.isOpen());
    m_host.model->marksChanged();
    showCurrent(m_current);
    showProgress();
    updateActions(m_documentOpen);
    if (!m_state.isComplete() && !m_markTimer.isActive())
        m_markTimer.start();
}

void TranslationCommands::markRemainingRows()
{
    QElapsedTimer step;
    step.start();
    bool more = true;
    while (more && step.elapsed() < MarkStepMilliseconds)
        more = m_state.computeSome(*m_host.document, MarksBetweenClockReadings);
    if (more)
        return showProgress();
    m_markTimer.stop();
    m_host.model->marksChanged();
    showProgress();
}

void TranslationCommands::showProgress()
{
    const QString spelling = m_spelling->statusText();
    const QString progress = progressText();
    lblReferenceProgress->setVisible(!progress.isEmpty() || !spelling.isEmpty());
    lblReferenceProgress->setText(progress.isEmpty() || spelling.isEmpty() ? progress + spelling
                                                                           : progress + QStringLiteral("; ") + spelling);
}

QString TranslationCommands::progressText() const
{
    if (!m_state.isActive())
        return QString();
    const QString toReview = QStringLiteral("%1 to review").arg(m_state.toReviewCount());
    if (!m_state.isOpen())
        return toReview;
    const QString pairing = m_state.byNumber() ? QStringLiteral("paired by number") : QStringLiteral("paired by index");
    if (!m_state.isComplete())
        return QStringLiteral("checking (%1 %), %2, %3").arg(m_state.percentKnown()).arg(toReview, pairing);
    const quint32 paired = m_state.pairedCount();
    const quint32 translated = m_state.translatedCount();
    const quint64 percent = paired ? quint64(translated) * 100 / paired : 100;
    return QStringLiteral("%1 of %2 translated (%3 %), %4, %5, %6")
        .arg(translated)
        .arg(paired)
        .arg(percent)
        .arg(toReview, plural(m_state.problemCount(), "problem", "problems"), pairing);
}

bool TranslationCommands::selectNext(quint8 marks)
{
    const StringListModel &model = *m_host.model;
    const int rows = model.rowCount();
    const int current = m_host.list->firstSelectedRow();
    for (int step = 1; step <= rows; ++step) {
        const int row = (current + step) % rows;
        if (row == current && step < rows)
            continue;
        if (m_state.mark(model.row(row).index) & marks) {
            if (row != current)
                m_host.selectRow(row);
            return true;
        }
    }
    return false;
}

// A reference that pairs with few entries is another game's file, or one of
// another version; one whose texts are mostly the document's is the same
// language. Neither is refused: the translator hears what was seen.
void TranslationCommands::warnOfUnlikelyReference()
{
    const TZelkStrings &document = *m_host.document;
    const quint32 count = document.EntryCount();
    if (!m_state.isOpen() || count == 0)
        return;
    QStringList seen;
    const QString reference = QFileInfo(m_state.fileName()).fileName();
    if (m_state.pairedCount() * 2 < count)
        seen << QStringLiteral("Only %1 of the %2 strings pair with an entry of %3: is it a file of the same game and version?")
                    .arg(m_state.pairedCount())
                    .arg(count)
                    .arg(reference);
    quint32 nonEmpty = 0;
    quint32 identical = 0;
    for (quint32 i = 0; i < count; ++i) {
        const QString *source = m_state.referenceText(i);
        if (!source || document.entryText(i).isEmpty())
            continue;
        ++nonEmpty;
        identical += *source == document.entryText(i) ? 1 : 0;
    }
    if (identical * 2 > nonEmpty && nonEmpty > 0)
        seen << QStringLiteral("%1 of the %2 paired strings are the same in %3: is it in the same language as the document?")
                    .arg(identical)
                    .arg(nonEmpty)
                    .arg(reference);
    if (seen.isEmpty())
        return;
    m_host.showStatus(seen.join(QLatin1Char(' ')));
    MessageBoxes::showMessage(seen.join(QLatin1Char('\n')));
}
