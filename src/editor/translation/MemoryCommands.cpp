#include "MemoryCommands.h"

#include "ActionRunner.h"
#include "CommandAction.h"
#include "FileDialog.h"
#include "Languages.h"
#include "Pairing.h"
#include "PanelLayout.h"
#include "SuggestionList.h"
#include "TextRules.h"
#include "Tmx.h"
#include "TranslationChecks.h"
#include "TranslationCommands.h"
#include "TranslationError.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int ShortcutSuggestions = 5;

// Whether an entry's pair belongs in the memory: one translated, whatever
// its reference says.
bool isTranslated(const TranslationChecker &checker, const QString &source, const QString &text)
{
    return !text.isEmpty() && !checker.isUntranslated(source, text);
}

QString pairs(quint32 count)
{
    return QStringLiteral("%1 pair%2").arg(QLocale().toString(count), count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace

MemoryCommands::MemoryCommands(TranslationCommands &tools)
    : QObject(tools.host().window)
    , m_tools(tools)
{
    createActions();
    createList();
}

MemoryCommands::~MemoryCommands()
{
    m_tools.state().dropComparisons();
}

void MemoryCommands::createActions()
{
    QWidget *window = m_tools.host().window;
    ActionRunner &run = *m_tools.host().runner;
    actTranslationMemoryAdd = makeCommandAction(window, "actTranslationMemoryAdd", "Translation", "Add &Memory...",
                                                "Add Memory|Suggest translations from a translation memory (TMX) too", "", -1);
    actTranslationGlossaryOpen = makeCommandAction(window, "actTranslationGlossaryOpen", "Translation", "Open &Glossary...",
                                                   "Open Glossary|Show a glossary's terms and check that translations keep them",
                                                   "", -1);
    m_memoryDialog = std::make_unique<FileDialog>(window, QStringLiteral("MemoryDialog"), QFileDialog::AcceptOpen,
                                                  QStringList{QStringLiteral("Translation Memories (*.tmx)"), QStringLiteral("All Files (*.*)")});
    m_glossaryDialog = std::make_unique<FileDialog>(window, QStringLiteral("GlossaryDialog"), QFileDialog::AcceptOpen,
                                                    QStringList{QStringLiteral("Glossaries (*.csv)"), QStringLiteral("All Files (*.*)")});
    run.bind(actTranslationMemoryAdd, [this] { addMemory(); });
    run.bind(actTranslationGlossaryOpen, [this] { openGlossary(); });

    QMenu *menu = m_tools.menu();
    menu->addSeparator();
    menu->addAction(actTranslationMemoryAdd);
    menu->addAction(actTranslationGlossaryOpen);
    auto *suggestions = new QMenu(QStringLiteral("Use S&uggestion"), menu);
    suggestions->setObjectName(QStringLiteral("mnuSuggestion"));
    for (int i = 1; i <= ShortcutSuggestions; ++i) {
        const QByteArray name = "actTranslationSuggestion" + QByteArray::number(i);
        const QByteArray caption = "Suggestion &" + QByteArray::number(i);
        const QByteArray hint = "Use Suggestion " + QByteArray::number(i) + "|Put suggestion " + QByteArray::number(i)
                              + "'s translation into the text";
        const QByteArray shortcut = "Ctrl+" + QByteArray::number(i);
        QAction *action = makeCommandAction(window, name.constData(), "Translation", caption.constData(), hint.constData(),
                                            shortcut.constData(), -1);
        run.bind(action, [this, i] { use(i - 1); });
        suggestions->addAction(action);
        m_useSuggestion << action;
    }
    menu->addMenu(suggestions);
}

QList<QAction *> MemoryCommands::actions() const
{
    return QList<QAction *>{actTranslationMemoryAdd, actTranslationGlossaryOpen} + m_useSuggestion;
}

void MemoryCommands::createList()
{
    const TranslationHost &host = m_tools.host();
    QWidget *panel = host.textEditor->parentWidget();
    lstSuggestions = new SuggestionList(panel);
    // Out of the Tab order while hidden.
    lstSuggestions->setFocusPolicy(Qt::ClickFocus);
    lstSuggestions->hide();
    // Below the reference text, above the translation's label.
    auto *reference = panel->findChild<QWidget *>(QStringLiteral("memReference"));
    host.panel->insertWidget(host.panel->indexOf(reference) + 1, lstSuggestions);
    QWidget::setTabOrder(reference, lstSuggestions);
    QWidget::setTabOrder(lstSuggestions, host.textEditor);
    connect(lstSuggestions, &SuggestionList::used, this, [this](int row) { m_tools.host().runner->guard([this, row] { use(row); }); });
    m_tools.panelLayout()->addPane(
        lstSuggestions, [this] { return lstSuggestions->contentHeight(); },
        [this] { return lstSuggestions->fontMetrics().height() + 2 * lstSuggestions->frameWidth() + 6; }, 0.2);
}

void MemoryCommands::referenceChanged()
{
    const bool open = m_tools.state().isOpen();
    if (!open) {
        m_reading.cancel();
        m_fileMemories.clear();
        m_glossary.reset();
        m_tools.state().setGlossary(nullptr);
        lstSuggestions->clear();
    }
    lstSuggestions->setFocusPolicy(open ? Qt::StrongFocus : Qt::ClickFocus);
    lstSuggestions->setVisible(open);
    documentChanged();
}

void MemoryCommands::documentChanged()
{
    m_stale = true;
    build();
}

// The document's pairs as they are now, gone through on another thread: a
// copy of the document shares its texts, and the reference never changes.
void MemoryCommands::build()
{
    m_building.cancel();
    // A large memory takes a while to free: the job frees it.
    Memory old = std::move(m_documentMemory);
    m_editedWhileBuilding.clear();
    TranslationState &state = m_tools.state();
    state.setConsistency(nullptr);
    if (!state.isOpen() && !old)
        return;
    std::shared_ptr<const TZelkStrings> reference = state.sharedReference();
    auto document = reference ? std::make_shared<const TZelkStrings>(*m_tools.host().document) : nullptr;
    auto partners = std::make_shared<const std::vector<quint32>>(state.partners());
    m_building.start(
        [document, reference, partners, old = std::move(old)](const std::atomic<bool> &cancelled) mutable {
            old.reset();
            if (!reference)
                return Memory();
            return std::make_shared<TranslationMemory>(TranslationMemory::ofDocument(*document, *reference, *partners, &cancelled));
        },
        [this](std::optional<Memory> &result, const QString &error) {
            if (!error.isEmpty())
                m_tools.host().showStatus(QStringLiteral("The memory of this file's translations could not be built: %1").arg(error));
            else if (result && *result)
                built(*result);
        });
}

void MemoryCommands::built(Memory memory)
{
    m_documentMemory = std::move(memory);
    for (const quint32 index : std::exchange(m_editedWhileBuilding, {}))
        learn(index);
    m_tools.state().setConsistency(m_documentMemory.get());
    m_stale = true;
    m_tools.refresh();
}

// The entry's pair in the memory is the one it has now; the entries of its
// source, before and after, are marked again, as their consistency may
// have changed with it.
void MemoryCommands::learn(quint32 index)
{
    if (!m_documentMemory) {
        if (m_building.isRunning())
            m_editedWhileBuilding.push_back(index);
        return;
    }
    const TZelkStrings &document = *m_tools.host().document;
    if (index >= document.EntryCount())
        return;
    std::vector<quint32> affected;
    const auto collect = [&](const QString &source) {
        for (const auto &entry : m_documentMemory->entriesWithSource(source))
            affected.push_back(entry.first);
    };
    const QString before = m_documentMemory->sourceOf(index);
    if (!before.isEmpty())
        collect(before);
    const QString *source = m_tools.state().referenceText(index);
    const QString &text = document.entryText(index);
    const bool translated = source && isTranslated(m_checker, *source, text);
    m_documentMemory->replaceEntry(index, source ? *source : QString(), translated ? text : QString());
    if (source)
        collect(*source);
    m_tools.state().remarkEntries(document, affected);
}

void MemoryCommands::textChanged(quint32 index)
{
    learn(index);
}

void MemoryCommands::numberChanged(quint32 index, bool repaired)
{
    if (repaired)
        return documentChanged();
    learn(index);
    m_stale = true;
}

void MemoryCommands::addMemory()
{
    if (!m_memoryDialog->execute())
        return;
    const QString fileName = m_memoryDialog->fileName;
    const QString sourceLanguage = Languages::tag(m_tools.state().fileName());
    const QString targetLanguage = Languages::tag(m_tools.host().documentName());
    m_reading.start(
        [fileName, sourceLanguage, targetLanguage](const std::atomic<bool> &cancelled) {
            const Tmx::Document tmx = Tmx::read(fileName, sourceLanguage, targetLanguage);
            auto memory = std::make_shared<TranslationMemory>();
            for (size_t i = 0; i < tmx.units.size(); ++i) {
                if ((i & 0xFFF) == 0 && cancelled)
                    return std::pair<Memory, quint32>();
                memory->add(tmx.units[i].source, tmx.units[i].translation);
            }
            memory->prepare();
            return std::pair<Memory, quint32>(memory, tmx.skipped);
        },
        [this, fileName](std::optional<std::pair<Memory, quint32>> &result, const QString &error) {
            updateActions(m_tools.documentOpen());
            const TranslationHost &host = m_tools.host();
            if (!error.isEmpty()) {
                host.showStatus(QString());
                host.runner->guard([&error] { throw TranslationError(error); });
                return;
            }
            if (!result || !result->first)
                return;
            const QString name = QFileInfo(fileName).fileName();
            const quint32 added = result->first->size();
            m_fileMemories.emplace_back(result->first, name);
            quint32 total = m_documentMemory ? m_documentMemory->size() : 0;
            for (const auto &memory : m_fileMemories)
                total += memory.first->size();
            host.showStatus(QStringLiteral("Added %1 from %2%3; the memory holds %4")
                                .arg(pairs(added), name,
                                     result->second ? QStringLiteral(" (%1 without both languages skipped)").arg(result->second)
                                                    : QString(),
                                     pairs(total)));
            m_stale = true;
            m_tools.refresh();
        });
    m_tools.host().showStatus(QStringLiteral("Reading %1...").arg(QFileInfo(fileName).fileName()));
    updateActions(m_tools.documentOpen());
}

void MemoryCommands::openGlossary()
{
    if (!m_glossaryDialog->execute())
        return;
    auto glossary = std::make_unique<Glossary>(Glossary::read(m_glossaryDialog->fileName));
    m_glossary = std::move(glossary);
    m_tools.state().setGlossary(m_glossary.get());
    m_tools.host().showStatus(QStringLiteral("The glossary %1 has %2 term%3")
                                  .arg(QFileInfo(m_glossaryDialog->fileName).fileName())
                                  .arg(m_glossary->size())
                                  .arg(m_glossary->size() == 1 ? QString() : QStringLiteral("s")));
    m_stale = true;
    m_tools.refresh();
}

void MemoryCommands::showCurrent(int index)
{
    if (!m_tools.state().isOpen() || (index == m_shownFor && !m_stale))
        return;
    suggest(index);
}

// The best matches of every memory together, the document's own first
// where they score the same.
void MemoryCommands::suggest(int index)
{
    m_shownFor = index;
    m_stale = false;
    const QString *source = index >= 0 ? m_tools.state().referenceText(quint32(index)) : nullptr;
    std::vector<std::pair<TranslationMemory::Match, QString>> found;
    if (source) {
        const auto gather = [&](const TranslationMemory &memory, quint32 forEntry, const QString &name) {
            for (TranslationMemory::Match &match : memory.lookup(*source, forEntry))
                found.emplace_back(std::move(match), name);
        };
        if (m_documentMemory)
            gather(*m_documentMemory, quint32(index), QString());
        for (const auto &[memory, name] : m_fileMemories)
            gather(*memory, TranslationMemory::NoEntry, name);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first.score > b.first.score; });
    std::vector<TranslationMemory::Match> matches;
    std::vector<QString> origins;
    for (auto &[match, name] : found) {
        if (int(matches.size()) == ShortcutSuggestions)
            break;
        if (std::any_of(matches.begin(), matches.end(), [&](const auto &kept) { return kept.translation == match.translation; }))
            continue;
        origins.push_back(name.isEmpty() ? QStringLiteral("string %1").arg(match.entry) : name);
        matches.push_back(std::move(match));
    }
    std::vector<const Glossary::Term *> terms;
    if (source && m_glossary)
        terms = m_glossary->termsIn(*source);
    lstSuggestions->showSuggestions(matches, origins, terms);
    updateActions(m_tools.documentOpen());
    m_tools.panelLayout()->update();
}

// A match replaces the text, a term goes in at the cursor: either as one
// edit of the text editor, which its Undo takes back.
void MemoryCommands::use(int row)
{
    const SuggestionList::Suggestion *suggestion = lstSuggestions->suggestion(row);
    QPlainTextEdit *editor = m_tools.host().textEditor;
    if (!suggestion || editor->isReadOnly() || !editor->isEnabled())
        return;
    // The window takes what the text editor holds for an edit while the
    // editor has the focus.
    editor->setFocus();
    QTextCursor cursor = editor->textCursor();
    cursor.beginEditBlock();
    if (!suggestion->glossary)
        cursor.select(QTextCursor::Document);
    cursor.insertText(TextRules::toEditorLines(suggestion->text));
    cursor.endEditBlock();
    editor->setTextCursor(cursor);
}

void MemoryCommands::updateActions(bool documentOpen)
{
    const bool open = documentOpen && m_tools.state().isOpen();
    actTranslationMemoryAdd->setEnabled(open && !m_reading.isRunning());
    actTranslationGlossaryOpen->setEnabled(open);
    const bool editable = m_tools.host().textEditor->isEnabled() && !m_tools.host().textEditor->isReadOnly();
    for (int i = 0; i < m_useSuggestion.size(); ++i)
        m_useSuggestion[i]->setEnabled(open && editable && i < lstSuggestions->matchCount());
}
