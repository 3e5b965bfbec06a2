#pragma once

#include "ReferenceState.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class ActionRunner;
class FileDialog;
class QAction;
class QLabel;
class QMenuBar;
class QPlainTextEdit;
class QStatusBar;
class QVBoxLayout;
class StringListModel;
class StringListView;
class TZelkStrings;
struct StringRow;

// What the reference needs of the main window.
struct ReferenceHost
{
    QWidget *window;
    ActionRunner *runner;
    const TZelkStrings *document;
    StringListModel *model;
    StringListView *list;
    QMenuBar *menuBar;
    QStatusBar *statusBar;
    QVBoxLayout *panel;   // the editor panel, where the reference goes above the text editor
    QWidget *textEditor;  // memCurString
    // Makes a row the only selected row, as the commands do.
    std::function<void(int row)> selectRow;
};

// The reference file of the window: the "Reference" menu and its commands,
// the list's "Reference" column, the read-only reference text above the
// text editor and the progress in the status bar. While no reference is
// open, none of it shows.
class ReferenceCommands : public QObject
{
    Q_OBJECT

public:
    explicit ReferenceCommands(const ReferenceHost &host);
    ~ReferenceCommands() override;

    // The commands, for the window's shortcut lookup.
    QList<QAction *> actions() const;
    // Takes "--reference FILE" out of a command line and returns FILE.
    static QString takeReferenceArgument(QStringList &arguments);

    bool isOpen() const { return m_state.isOpen(); }
    void open(const QString &fileName);
    // The document's entries were replaced, added, deleted or moved.
    void documentChanged();
    void textChanged(quint32 index);
    void numberChanged(quint32 index, quint32 oldNumber);
    // The current string, -1 for none.
    void showCurrent(int index);
    void updateActions(bool documentOpen);
    // Sorts the list by the reference column.
    void sortRows(bool descending);

private:
    void createActions();
    void createMenu();
    void createViews();
    void closeReference();
    void selectNext(bool untranslated);
    void showProgress();

    ReferenceHost m_host;
    ReferenceState m_state;
    std::unique_ptr<FileDialog> m_dialog;
    QAction *actReferenceOpen = nullptr;
    QAction *actReferenceClose = nullptr;
    QAction *actReferenceNextUntranslated = nullptr;
    QAction *actReferenceNextProblem = nullptr;
    QPlainTextEdit *memReference = nullptr;
    QLabel *lblReferenceProgress = nullptr;
    int m_current = -1;
};
