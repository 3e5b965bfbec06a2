#include "ReplaceCommands.h"

#include "ActionRunner.h"
#include "CommandAction.h"
#include "MessageBoxes.h"
#include "ReplaceDialog.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "TextMatching.h"
#include "TranslationChecks.h"
#include "TranslationCommands.h"
#include "TranslationError.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <numeric>

ReplaceCommands::ReplaceCommands(TranslationCommands &tools)
    : QObject(tools.host().window)
    , m_tools(tools)
{
    QWidget *window = tools.host().window;
    actTranslationReplace = makeCommandAction(window, "actTranslationReplace", "Translation", "&Replace...",
                                              "Replace|Replace a text or pattern in the strings, after a preview", "Ctrl+H", -1);
    tools.host().runner->bind(actTranslationReplace, [this] { frmReplace->showOrRaise(); });
    tools.menu()->addAction(actTranslationReplace);
    frmReplace = new ReplaceDialog(window);
    connect(frmReplace, &ReplaceDialog::previewRequested, this, [this] { m_tools.host().runner->guard([this] { preview(); }); });
    connect(frmReplace, &ReplaceDialog::replaceRequested, this, [this] { m_tools.host().runner->guard([this] { replace(); }); });
    connect(frmReplace, &ReplaceDialog::settingsChanged, this, [this] { m_previewCurrent = false; });
}

ReplaceCommands::~ReplaceCommands() = default;

QList<QAction *> ReplaceCommands::actions() const
{
    return {actTranslationReplace};
}

void ReplaceCommands::updateActions(bool documentOpen)
{
    actTranslationReplace->setEnabled(documentOpen);
}

void ReplaceCommands::documentChanged()
{
    m_previewCurrent = false;
}

std::vector<quint32> ReplaceCommands::entriesInScope() const
{
    const TranslationHost &host = m_tools.host();
    std::vector<quint32> entries;
    switch (frmReplace->scope()) {
    case ReplaceDialog::Scope::All:
        entries.resize(host.document->EntryCount());
        std::iota(entries.begin(), entries.end(), 0u);
        return entries;
    case ReplaceDialog::Scope::Shown:
        for (int row = 0; row < host.model->rowCount(); ++row)
            entries.push_back(host.model->row(row).index);
        break;
    case ReplaceDialog::Scope::Selected:
        for (const int row : host.list->selectedRows())
            entries.push_back(host.model->row(row).index);
        break;
    }
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}

void ReplaceCommands::preview()
{
    if (frmReplace->replacement().contains(QChar(0)))
        throw TranslationError(QStringLiteral("The replacement holds a NUL character, which a text cannot hold"));
    ReplaceOptions options;
    options.matchCase = frmReplace->matchCase();
    options.wholeWords = frmReplace->wholeWords();
    options.regex = frmReplace->regex();
    const TextReplacer replacer(frmReplace->findText(), frmReplace->replacement(), options);
    const TranslationChecker checker;
    const TZelkStrings &document = *m_tools.host().document;
    std::vector<ReplaceChange> changes;
    TextReplacer::Result result;
    int occurrences = 0;
    for (const quint32 index : entriesInScope()) {
        if (index >= document.EntryCount() || document.isUnreadable(index))
            continue;
        const QString &text = document.entryText(index);
        if (!replacer.replace(text, result))
            continue;
        ReplaceChange change;
        change.index = index;
        change.before = QString(text.constData(), text.size());
        change.after = result.text;
        change.removed = result.before;
        change.added = result.after;
        change.occurrences = result.occurrences;
        change.structure = checker.structureChange(change.before, change.after);
        occurrences += result.occurrences;
        changes.push_back(std::move(change));
    }
    const size_t count = changes.size();
    frmReplace->preview()->setChanges(std::move(changes));
    frmReplace->showResult(QStringLiteral("%1 text(s) would change (%2 occurrence(s)); uncheck those to leave as they are")
                               .arg(count)
                               .arg(occurrences));
    m_previewCurrent = true;
}

// The checked changes of the preview, or of a new one when none holds, as
// edits of the document.
void ReplaceCommands::replace()
{
    if (!m_previewCurrent)
        preview();
    const TZelkStrings &document = *m_tools.host().document;
    std::vector<std::pair<quint32, QString>> texts;
    quint64 occurrences = 0;
    for (const ReplaceChange &change : frmReplace->preview()->changes()) {
        // A text edited since the preview is left as it is.
        if (!change.checked || change.index >= document.EntryCount() || document.entryText(change.index) != change.before)
            continue;
        texts.emplace_back(change.index, change.after);
        occurrences += quint64(change.occurrences);
    }
    if (!texts.empty())
        m_tools.host().setTexts(texts);
    const QString report = QStringLiteral("Replaced in %1 texts (%2 occurrences)").arg(texts.size()).arg(occurrences);
    frmReplace->preview()->setChanges({});
    m_previewCurrent = false;
    frmReplace->showResult(report);
    m_tools.host().showStatus(report);
}
