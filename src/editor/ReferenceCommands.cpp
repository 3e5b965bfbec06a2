#include "ReferenceCommands.h"

#include "ActionRunner.h"
#include "CommandAction.h"
#include "FileDialog.h"
#include "Hourglass.h"
#include "MessageBoxes.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "TextRules.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

ReferenceCommands::ReferenceCommands(const ReferenceHost &host)
    : QObject(host.window)
    , m_host(host)
{
    createActions();
    createMenu();
    createViews();
}

ReferenceCommands::~ReferenceCommands() = default;

void ReferenceCommands::createActions()
{
    QWidget *window = m_host.window;
    actReferenceOpen = makeCommandAction(window, "actReferenceOpen", "Reference", "Open &Reference...",
                                         "Open Reference|Show another language's strings file beside this one", "", -1);
    actReferenceClose = makeCommandAction(window, "actReferenceClose", "Reference", "&Close Reference",
                                          "Close Reference|Stop showing the reference file", "", -1);
    actReferenceNextUntranslated = makeCommandAction(window, "actReferenceNextUntranslated", "Reference", "Next &Untranslated",
                                                     "Next Untranslated|Select the next string that is not translated yet",
                                                     "F8", -1);
    actReferenceNextProblem = makeCommandAction(window, "actReferenceNextProblem", "Reference", "Next &Problem",
                                                "Next Problem|Select the next string whose translation has a problem",
                                                "Shift+F8", -1);
    m_dialog = std::make_unique<FileDialog>(
        window, QStringLiteral("ReferenceDialog"), QFileDialog::AcceptOpen,
        QStringList{QStringLiteral("Zelk String Files (*.cze *.eng *.fin *.fre *.ger *.swe *.bin)"),
                    QStringLiteral("All Files (*.*)")});

    ActionRunner &run = *m_host.runner;
    run.bind(actReferenceOpen, [this] {
        if (m_dialog->execute())
            open(m_dialog->fileName);
    });
    run.bind(actReferenceClose, [this] { closeReference(); });
    run.bind(actReferenceNextUntranslated, [this] { selectNext(true); });
    run.bind(actReferenceNextProblem, [this] { selectNext(false); });
}

QList<QAction *> ReferenceCommands::actions() const
{
    return {actReferenceOpen, actReferenceClose, actReferenceNextUntranslated, actReferenceNextProblem};
}

void ReferenceCommands::createMenu()
{
    auto *menu = new QMenu(QStringLiteral("&Reference"), m_host.menuBar);
    menu->setObjectName(QStringLiteral("mnuReference"));
    auto *help = m_host.menuBar->findChild<QMenu *>(QStringLiteral("mnuHelp"));
    menu->setFont(help->font());
    m_host.menuBar->insertMenu(help->menuAction(), menu);
    menu->addAction(actReferenceOpen);
    menu->addAction(actReferenceClose);
    menu->addSeparator();
    menu->addAction(actReferenceNextUntranslated);
    menu->addAction(actReferenceNextProblem);
}

void ReferenceCommands::createViews()
{
    memReference = new QPlainTextEdit(m_host.textEditor->parentWidget());
    memReference->setObjectName(QStringLiteral("memReference"));
    memReference->setAccessibleName(QStringLiteral("Reference text"));
    memReference->setReadOnly(true);
    memReference->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memReference->setLineWrapMode(QPlainTextEdit::NoWrap);
    memReference->setTabChangesFocus(true);
    // Out of the Tab order while hidden.
    memReference->setFocusPolicy(Qt::ClickFocus);
    memReference->hide();
    m_host.panel->insertWidget(m_host.panel->indexOf(m_host.textEditor), memReference, 1);
    QWidget::setTabOrder(m_host.list, memReference);
    QWidget::setTabOrder(memReference, m_host.textEditor);

    lblReferenceProgress = new QLabel(m_host.statusBar);
    lblReferenceProgress->setObjectName(QStringLiteral("lblReferenceProgress"));
    m_host.statusBar->addPermanentWidget(lblReferenceProgress);
    lblReferenceProgress->hide();
}

QString ReferenceCommands::takeReferenceArgument(QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--reference"));
    if (at < 1 || at + 1 >= arguments.size())
        return QString();
    const QString reference = arguments.at(at + 1);
    arguments.remove(at, 2);
    return reference;
}

void ReferenceCommands::open(const QString &fileName)
{
    {
        const Hourglass hourglass;
        m_state.open(fileName);
        m_state.rebuild(*m_host.document);
    }
    m_host.model->showReference(&m_state, m_host.document);
    QHeaderView *header = m_host.list->horizontalHeader();
    header->setSectionResizeMode(StringListModel::ReferenceColumn, QHeaderView::Stretch);
    memReference->setFocusPolicy(Qt::StrongFocus);
    memReference->show();
    lblReferenceProgress->show();
    showCurrent(m_current);
    showProgress();
    updateActions(actReferenceOpen->isEnabled());
}

void ReferenceCommands::closeReference()
{
    m_state.close();
    m_host.model->showReference(nullptr, nullptr);
    memReference->clear();
    memReference->setFocusPolicy(Qt::ClickFocus);
    memReference->hide();
    lblReferenceProgress->hide();
    updateActions(actReferenceOpen->isEnabled());
}

void ReferenceCommands::documentChanged()
{
    if (!m_state.isOpen())
        return;
    {
        const Hourglass hourglass;
        m_state.rebuild(*m_host.document);
    }
    m_host.model->referenceChanged();
    showProgress();
}

void ReferenceCommands::textChanged(quint32 index)
{
    if (!m_state.isOpen())
        return;
    m_state.textChanged(*m_host.document, index);
    m_host.model->referenceChanged();
    showProgress();
}

void ReferenceCommands::numberChanged(quint32 index, quint32 oldNumber)
{
    if (!m_state.isOpen())
        return;
    m_state.numberChanged(*m_host.document, index, oldNumber);
    m_host.model->referenceChanged();
    showCurrent(m_current);
    showProgress();
}

void ReferenceCommands::showCurrent(int index)
{
    m_current = index;
    if (!m_state.isOpen())
        return;
    const QString *text = index >= 0 ? m_state.referenceText(quint32(index)) : nullptr;
    const QString lines = text ? TextRules::toEditorLines(*text) : QString();
    if (memReference->toPlainText() != lines)
        memReference->setPlainText(lines);
}

void ReferenceCommands::updateActions(bool documentOpen)
{
    actReferenceOpen->setEnabled(documentOpen);
    const bool both = documentOpen && m_state.isOpen();
    actReferenceClose->setEnabled(both);
    actReferenceNextUntranslated->setEnabled(both);
    actReferenceNextProblem->setEnabled(both);
}

// Rows in the shown order after the current one, wrapping at the end; the
// current row itself comes last.
void ReferenceCommands::selectNext(bool untranslated)
{
    const StringListModel &model = *m_host.model;
    const int rows = model.rowCount();
    const int current = m_host.list->firstSelectedRow();
    const quint8 wanted = untranslated ? ReferenceState::Untranslated : ReferenceState::Problem;
    for (int step = 1; step <= rows; ++step) {
        const int row = (current + step) % rows;
        if (row == current && step < rows)
            continue;
        if (m_state.mark(model.row(row).index) & wanted) {
            if (row != current)
                m_host.selectRow(row);
            return;
        }
    }
    MessageBoxes::showMessage(untranslated ? QStringLiteral("No more untranslated strings")
                                           : QStringLiteral("No more problems"));
}

void ReferenceCommands::sortRows(bool descending)
{
    const auto text = [this](const StringRow &row) -> const QString & {
        static const QString none;
        const QString *reference = m_state.referenceText(row.index);
        return reference ? *reference : none;
    };
    m_host.model->sortRows([&](const StringRow &row) { return TextRules::foldedPrefix(text(row)); },
                           [&](const StringRow &a, const StringRow &b) { return TextRules::compareFolded(text(a), text(b)); },
                           descending);
}

void ReferenceCommands::showProgress()
{
    const quint32 paired = m_state.pairedCount();
    const quint32 translated = m_state.translatedCount();
    const quint64 percent = paired ? quint64(translated) * 100 / paired : 100;
    lblReferenceProgress->setText(QStringLiteral("%1 of %2 translated (%3 %), %4 problem%5, paired by %6")
                                      .arg(translated)
                                      .arg(paired)
                                      .arg(percent)
                                      .arg(m_state.problemCount())
                                      .arg(m_state.problemCount() == 1 ? QString() : QStringLiteral("s"))
                                      .arg(m_state.byNumber() ? QStringLiteral("number") : QStringLiteral("index")));
}
