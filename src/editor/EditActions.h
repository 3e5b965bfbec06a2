#pragma once

#include <QList>
#include <QObject>

class QAction;
class QWidget;

// The six edit commands (Undo, Cut, Copy, Paste, Delete, Select All). They act
// on whichever of the window's text fields has the keyboard focus and are
// disabled while none has it; their enabled state follows that field.
class EditActions : public QObject
{
    Q_OBJECT

public:
    struct Set
    {
        QAction *undo;
        QAction *cut;
        QAction *copy;
        QAction *paste;
        QAction *erase;
        QAction *selectAll;
    };

    // fields: QLineEdit or QPlainTextEdit controls.
    EditActions(const Set &actions, const QList<QWidget *> &fields, QObject *parent = nullptr);

    bool contains(const QAction *action) const;
    // Brings the enabled states up to date from the focused field.
    void update();
    // Does the work of one of the six on the focused field.
    void perform(QAction *action);

private:
    QWidget *target() const;

    Set m_actions;
    QList<QWidget *> m_fields;
};
