#include "ReviewCommands.h"

#include "ActionRunner.h"
#include "ChangeView.h"
#include "CommandAction.h"
#include "MessageBoxes.h"
#include "PanelLayout.h"
#include "ReviewFile.h"
#include "TranslationCommands.h"
#include "TranslationError.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QVBoxLayout>

ReviewCommands::ReviewCommands(TranslationCommands &tools)
    : QObject(tools.host().window)
    , m_tools(tools)
{
    createActions();
    const TranslationHost &host = m_tools.host();
    memReferenceChange = new ChangeView(host.textEditor->parentWidget());
    memReferenceChange->setObjectName(QStringLiteral("memReferenceChange"));
    memReferenceChange->setAccessibleName(QStringLiteral("How the source changed"));
    memReferenceChange->hide();
    // Just below the key and number row, above the reference.
    host.panel->insertWidget(1, memReferenceChange);
    const auto lines = [this](int count) {
        return count * memReferenceChange->fontMetrics().lineSpacing() + 2 * memReferenceChange->frameWidth() + 8;
    };
    m_tools.panelLayout()->addPane(
        memReferenceChange,
        [this] { return memReferenceChange->sizeHint().height(); }, [lines] { return lines(2); }, 1.0 / 4);
}

ReviewCommands::~ReviewCommands() = default;

void ReviewCommands::createActions()
{
    QWidget *window = m_tools.host().window;
    actTranslationDone = makeCommandAction(window, "actTranslationDone", "Translation", "&Done and Next",
                                           "Done and Next|Mark this string done and go to the next unfinished one",
                                           "Ctrl+Return", -1);
    // The keypad's Enter works as well.
    actTranslationDone->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    actTranslationAccept = makeCommandAction(window, "actTranslationAccept", "Translation", "&Accept as Is",
                                             "Accept as Is|Accept this string's findings as they are until its texts change",
                                             "", -1);
    ActionRunner &run = *m_tools.host().runner;
    run.bind(actTranslationDone, [this] { doneAndNext(); });
    run.bind(actTranslationAccept, [this] { acceptAsIs(); });
    QMenu *menu = m_tools.menu();
    menu->addSeparator();
    menu->addAction(actTranslationDone);
    menu->addAction(actTranslationAccept);
}

QList<QAction *> ReviewCommands::actions() const
{
    return {actTranslationDone, actTranslationAccept};
}

void ReviewCommands::documentLoading(const QString &fileName)
{
    if (m_reading.valid())
        m_reading.wait();
    m_readingPath = ReviewFile::pathFor(fileName);
    m_reading = QFileInfo::exists(m_readingPath)
        ? std::async(std::launch::async, [path = m_readingPath] { return ReviewFile::read(path); })
        : std::future<ReviewFile>();
}

void ReviewCommands::documentLoaded(const QString &fileName)
{
    m_leftAlone.clear();
    const QString path = ReviewFile::pathFor(fileName);
    const bool read = m_reading.valid() && m_readingPath == path;
    if (!read && !QFileInfo::exists(path))
        return;
    const TranslationHost &host = m_tools.host();
    ReviewFile file;
    try {
        file = read ? m_reading.get() : ReviewFile::read(path);
    } catch (const TranslationError &error) {
        m_leftAlone = path;
        const QString message = QStringLiteral("%1. It is left as it is: nothing is marked to review.").arg(error.message());
        host.showStatus(message);
        MessageBoxes::showError(message);
        return;
    }
    const quint32 lost = m_tools.state().review().assign(std::move(file), *host.document);
    m_tools.state().remark();
    m_tools.refresh();
    if (lost)
        host.showStatus(QStringLiteral("%1 entr%2 of %3 found no entry in the document")
                            .arg(lost)
                            .arg(lost == 1 ? QStringLiteral("y") : QStringLiteral("ies"))
                            .arg(QFileInfo(path).fileName()));
}

void ReviewCommands::documentRecovered(const QByteArray &review)
{
    m_leftAlone.clear();
    if (review.isEmpty())
        return;
    m_tools.state().review().assign(ReviewFile::fromJson(review, QStringLiteral("recovery copy")), *m_tools.host().document);
    m_tools.state().remark();
    m_tools.refresh();
}

void ReviewCommands::documentSaved(const QString &fileName)
{
    const QString path = ReviewFile::pathFor(fileName);
    const TranslationHost &host = m_tools.host();
    const ReviewFile file = m_tools.state().review().toFile(*host.document);
    if (file.entries.empty() && !QFileInfo::exists(path))
        return;
    if (path == m_leftAlone || !ReviewFile::mayReplace(path)) {
        host.showStatus(QStringLiteral("%1 is not a review file this program reads: it was left as it is")
                            .arg(QFileInfo(path).fileName()));
        return;
    }
    if (!file.entries.empty()) {
        file.write(path);
        return;
    }
    QFile stale(path);
    if (!stale.remove())
        throw TranslationError(QStringLiteral("Cannot remove file \"%1\". %2").arg(path, stale.errorString()));
}

void ReviewCommands::showCurrent(int index)
{
    const ReviewEntry *entry = index >= 0 ? m_tools.state().review().entry(quint32(index)) : nullptr;
    const bool changed = entry && (entry->state == ReviewEntry::State::Changed || entry->state == ReviewEntry::State::Fuzzy);
    if (changed)
        memReferenceChange->showChange(entry->oldSource, entry->newSource);
    else
        memReferenceChange->clear();
    memReferenceChange->setVisible(changed);
}

void ReviewCommands::updateActions(bool documentOpen)
{
    const bool active = documentOpen && m_tools.state().isActive();
    actTranslationDone->setEnabled(active);
    actTranslationAccept->setEnabled(active && m_tools.currentIndex() >= 0);
}

// The translator's loop: read, type, Ctrl+Return.
void ReviewCommands::doneAndNext()
{
    const int current = m_tools.currentIndex();
    TranslationState &state = m_tools.state();
    if (current >= 0 && state.review().isToReview(quint32(current))) {
        state.review().setDone(quint32(current));
        state.reviewChanged(*m_tools.host().document, quint32(current));
        m_tools.host().markModified();
        m_tools.refresh();
    }
    if (!m_tools.selectNext(TranslationState::Untranslated | TranslationState::ToReview)) {
        MessageBoxes::showMessage(QStringLiteral("No more unfinished strings"));
        return;
    }
    m_tools.host().textEditor->setFocus();
}

void ReviewCommands::acceptAsIs()
{
    const int current = m_tools.currentIndex();
    if (current < 0)
        return;
    const quint32 index = quint32(current);
    TranslationState &state = m_tools.state();
    const TZelkStrings &document = *m_tools.host().document;
    const QString *source = state.referenceText(index);
    state.review().accept(index, state.findingKindNames(document, index), source ? *source : QString(),
                          document.entryText(index));
    state.reviewChanged(document, index);
    m_tools.host().markModified();
    m_tools.refresh();
}
