#include "EditActions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>

namespace {

struct FieldState
{
    bool canUndo = false;
    bool hasSelection = false;
    bool isEmpty = true;
};

FieldState stateOf(QWidget *field)
{
    FieldState state;
    if (auto *line = qobject_cast<QLineEdit *>(field)) {
        state.canUndo = line->isUndoAvailable();
        state.hasSelection = line->hasSelectedText();
        state.isEmpty = line->text().isEmpty();
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(field)) {
        state.canUndo = plain->document()->isUndoAvailable();
        state.hasSelection = plain->textCursor().hasSelection();
        state.isEmpty = plain->document()->isEmpty();
    }
    return state;
}

bool clipboardHoldsText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

} // namespace

EditActions::EditActions(const Set &actions, const QList<QWidget *> &fields, QObject *parent)
    : QObject(parent)
    , m_actions(actions)
    , m_fields(fields)
{
    connect(qApp, &QApplication::focusChanged, this, &EditActions::update);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &EditActions::update);
    for (QWidget *field : fields) {
        if (auto *line = qobject_cast<QLineEdit *>(field)) {
            connect(line, &QLineEdit::textChanged, this, &EditActions::update);
            connect(line, &QLineEdit::selectionChanged, this, &EditActions::update);
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(field)) {
            connect(plain, &QPlainTextEdit::textChanged, this, &EditActions::update);
            connect(plain, &QPlainTextEdit::selectionChanged, this, &EditActions::update);
            connect(plain, &QPlainTextEdit::undoAvailable, this, &EditActions::update);
        }
    }
    update();
}

bool EditActions::contains(const QAction *action) const
{
    return action == m_actions.undo || action == m_actions.cut || action == m_actions.copy
        || action == m_actions.paste || action == m_actions.erase || action == m_actions.selectAll;
}

void EditActions::update()
{
    QWidget *field = target();
    const FieldState state = stateOf(field);
    m_actions.undo->setEnabled(field && state.canUndo);
    m_actions.cut->setEnabled(field && state.hasSelection);
    m_actions.copy->setEnabled(field && state.hasSelection);
    m_actions.paste->setEnabled(field && clipboardHoldsText());
    m_actions.erase->setEnabled(field && state.hasSelection);
    m_actions.selectAll->setEnabled(field && !state.isEmpty);
}

void EditActions::perform(QAction *action)
{
    QWidget *field = target();
    if (auto *line = qobject_cast<QLineEdit *>(field)) {
        if (action == m_actions.undo)
            line->undo();
        else if (action == m_actions.cut)
            line->cut();
        else if (action == m_actions.copy)
            line->copy();
        else if (action == m_actions.paste)
            line->paste();
        else if (action == m_actions.erase)
            line->del();
        else if (action == m_actions.selectAll)
            line->selectAll();
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(field)) {
        if (action == m_actions.undo) {
            plain->undo();
        } else if (action == m_actions.cut) {
            plain->cut();
        } else if (action == m_actions.copy) {
            plain->copy();
        } else if (action == m_actions.paste) {
            plain->paste();
        } else if (action == m_actions.erase) {
            QTextCursor cursor = plain->textCursor();
            cursor.removeSelectedText();
            plain->setTextCursor(cursor);
        } else if (action == m_actions.selectAll) {
            plain->selectAll();
        }
    }
    update();
}

QWidget *EditActions::target() const
{
    QWidget *focused = QApplication::focusWidget();
    return m_fields.contains(focused) ? focused : nullptr;
}
