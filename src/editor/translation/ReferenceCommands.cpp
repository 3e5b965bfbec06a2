#include "ReferenceCommands.h"

#include "ActionRunner.h"
#include "CommandAction.h"
#include "FileDialog.h"
#include "Languages.h"
#include "PanelLayout.h"
#include "Hourglass.h"
#include "MessageBoxes.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "TextRules.h"
#include "TranslationCommands.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QMenu>
#include <QPlainTextEdit>
#include <QVBoxLayout>

ReferenceCommands::ReferenceCommands(TranslationCommands &tools)
    : QObject(tools.host().window)
    , m_tools(tools)
{
    createActions();
    createViews();
}

ReferenceCommands::~ReferenceCommands() = default;

void ReferenceCommands::createActions()
{
    QWidget *window = m_tools.host().window;
    actReferenceOpen = makeCommandAction(window, "actReferenceOpen", "Translation", "Open &Reference...",
                                         "Open Reference|Show another language's strings file beside this one", "", -1);
    actReferenceClose = makeCommandAction(window, "actReferenceClose", "Translation", "&Close Reference",
                                          "Close Reference|Stop showing the reference file", "", -1);
    actReferenceNextUntranslated = makeCommandAction(window, "actReferenceNextUntranslated", "Translation", "Next &Untranslated",
                                                     "Next Untranslated|Select the next string that is not translated yet or is to review",
                                                     "F8", -1);
    actReferenceNextProblem = makeCommandAction(window, "actReferenceNextProblem", "Translation", "Next &Problem",
                                                "Next Problem|Select the next string whose translation has a problem",
                                                "Shift+F8", -1);
    m_dialog = std::make_unique<FileDialog>(
        window, QStringLiteral("ReferenceDialog"), QFileDialog::AcceptOpen,
        QStringList{QStringLiteral("Zelk String Files (*.cze *.eng *.fin *.fre *.ger *.swe *.bin)"),
                    QStringLiteral("All Files (*.*)")});

    ActionRunner &run = *m_tools.host().runner;
    run.bind(actReferenceOpen, [this] {
        if (m_dialog->execute())
            open(m_dialog->fileName);
    });
    run.bind(actReferenceClose, [this] { closeReference(); });
    run.bind(actReferenceNextUntranslated, [this] { selectNext(true); });
    run.bind(actReferenceNextProblem, [this] { selectNext(false); });

    QMenu *menu = m_tools.menu();
    menu->addAction(actReferenceOpen);
    menu->addAction(actReferenceClose);
    menu->addSeparator();
    menu->addAction(actReferenceNextUntranslated);
    menu->addAction(actReferenceNextProblem);
}

QList<QAction *> ReferenceCommands::actions() const
{
    return {actReferenceOpen, actReferenceClose, actReferenceNextUntranslated, actReferenceNextProblem};
}

void ReferenceCommands::createViews()
{
    const TranslationHost &host = m_tools.host();
    memReference = new QPlainTextEdit(host.textEditor->parentWidget());
    memReference->setObjectName(QStringLiteral("memReference"));
    memReference->setAccessibleName(QStringLiteral("Reference text"));
    memReference->setReadOnly(true);
    memReference->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memReference->setLineWrapMode(QPlainTextEdit::NoWrap);
    memReference->setTabChangesFocus(true);
    // Out of the Tab order while hidden.
    memReference->setFocusPolicy(Qt::ClickFocus);
    memReference->hide();
    host.panel->insertWidget(host.panel->indexOf(host.textEditor), memReference);
    QWidget::setTabOrder(host.list, memReference);
    QWidget::setTabOrder(memReference, host.textEditor);

    // Labels name the two panes; the reference's fits its text.
    const auto makeLabel = [&](const char *name, QWidget *buddy) {
        auto *label = new QLabel(host.textEditor->parentWidget());
        label->setObjectName(QString::fromLatin1(name));
        label->setContentsMargins(4, 2, 4, 2);
        label->setBuddy(buddy);
        label->hide();
        host.panel->insertWidget(host.panel->indexOf(buddy), label);
        return label;
    };
    lblReference = makeLabel("lblReference", memReference);
    lblTranslation = makeLabel("lblTranslation", host.textEditor);
    const auto lines = [this](int count) {
        return count * memReference->fontMetrics().lineSpacing() + 2 * memReference->frameWidth()
            + int(2 * memReference->document()->documentMargin()) + 2;
    };
    m_tools.panelLayout()->addPane(
        memReference, [this, lines] { return lines(std::max(1, memReference->document()->blockCount())); },
        [lines] { return lines(2); }, 1.0 / 3);
}

void ReferenceCommands::showLabels()
{
    const bool open = m_tools.state().isOpen();
    lblReference->setVisible(open);
    lblTranslation->setVisible(open);
    if (!open)
        return;
    lblReference->setText(Languages::label(m_tools.state().fileName()));
    lblTranslation->setText(Languages::label(m_tools.host().documentName()));
}

// With a reference the list shows two languages: it gets half the window,
// and keeps that share as the window is resized; without, the width and the
// behaviour it had.
void ReferenceCommands::giveListHalf(bool half)
{
    auto *splitter = qobject_cast<QSplitter *>(m_tools.host().list->parentWidget()->parentWidget());
    if (!splitter || half == (m_listWidth >= 0))
        return;
    QList<int> sizes = splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    // The key field gives up width to the narrower panel, down to a third.
    auto *key = m_tools.host().window->findChild<QWidget *>(QStringLiteral("edtHashString"));
    const int keyWidth = key->maximumWidth();
    key->setMinimumWidth(half ? keyWidth / 3 : keyWidth);
    if (half) {
        m_listWidth = sizes.value(0);
        splitter->setSizes({total / 2, total - total / 2});
        splitter->setStretchFactor(0, 1);
    } else {
        splitter->setStretchFactor(0, 0);
        splitter->setSizes({m_listWidth, total - m_listWidth});
        m_listWidth = -1;
    }
}

void ReferenceCommands::open(const QString &fileName)
{
    const TranslationHost &host = m_tools.host();
    {
        const Hourglass hourglass;
        m_tools.state().open(fileName);
        m_tools.state().rebuild(*host.document);
    }
    host.model->showReferenceColumn(true);
    QHeaderView *header = host.list->horizontalHeader();
    header->setSectionResizeMode(StringListModel::ReferenceColumn, QHeaderView::Stretch);
    memReference->setFocusPolicy(Qt::StrongFocus);
    memReference->show();
    giveListHalf(true);
    m_tools.referenceChanged();
    m_tools.refresh();
    m_tools.warnOfUnlikelyReference();
}

void ReferenceCommands::closeReference()
{
    m_tools.state().close();
    m_tools.state().rebuild(*m_tools.host().document);
    memReference->clear();
    memReference->setFocusPolicy(Qt::ClickFocus);
    memReference->hide();
    giveListHalf(false);
    m_tools.referenceChanged();
    m_tools.refresh();
}

void ReferenceCommands::showCurrent(int index)
{
    if (!m_tools.state().isOpen())
        return;
    const QString *text = index >= 0 ? m_tools.state().referenceText(quint32(index)) : nullptr;
    const QString lines = text ? TextRules::toEditorLines(*text) : QString();
    if (memReference->toPlainText() != lines)
        memReference->setPlainText(lines);
}

void ReferenceCommands::updateActions(bool documentOpen)
{
    const TranslationState &state = m_tools.state();
    actReferenceOpen->setEnabled(documentOpen);
    actReferenceClose->setEnabled(documentOpen && state.isOpen());
    actReferenceNextUntranslated->setEnabled(documentOpen && state.isActive());
    actReferenceNextProblem->setEnabled(documentOpen && state.isOpen());
}

void ReferenceCommands::selectNext(bool untranslated)
{
    const quint8 wanted = untranslated ? TranslationState::Untranslated | TranslationState::ToReview : TranslationState::Problem;
    if (!m_tools.selectNext(wanted))
        MessageBoxes::showMessage(untranslated ? QStringLiteral("No more untranslated strings")
                                               : QStringLiteral("No more problems"));
}

void ReferenceCommands::sortRows(bool descending)
{
    const TranslationState &state = m_tools.state();
    const auto text = [&state](const StringRow &row) -> const QString & {
        static const QString none;
        const QString *reference = state.referenceText(row.index);
        return reference ? *reference : none;
    };
    m_tools.host().model->sortRows([&](const StringRow &row) { return TextRules::foldedPrefix(text(row)); },
                                   [&](const StringRow &a, const StringRow &b) { return TextRules::compareFolded(text(a), text(b)); },
                                   descending);
}
