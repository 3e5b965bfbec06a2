#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <utility>
#include <vector>

class ActionRunner;
class DocumentGuard;
class EditActions;
class FileDialog;
class FindDialog;
class QAction;
class QFontDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QSessionManager;
class QSplitter;
class QStatusBar;
class QToolBar;
class StringListModel;
class StringListView;
class TZelkStrings;
class TranslationCommands;
struct StringRow;

// The editor's one window: the open document, the list of its entries, the
// panel that edits the current string, and every command.
class TfrmVantrel : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmVantrel(QWidget *parent = nullptr);
    ~TfrmVantrel() override;

    // The document as the window holds it.
    const TZelkStrings &table() const { return *Str; }
    QString fileName() const { return FFileName; }
    bool isModified() const { return FModified; }
    bool isNewDocument() const { return FNew; }
    int currentIndex() const { return FCurIdx; }
    bool startedWithFile() const { return FFromParam; }

    // The commands, in the order in which shortcuts are looked up.
    QList<QAction *> actions() const { return actsMain; }
    ActionRunner *runner() const { return Runner; }

    // Opens a file as the Open command does once its dialog is accepted:
    // the file becomes the Open dialog's choice and is loaded.
    void openDocument(const QString &fileName);
    // Opens a reference file as Open Reference does once its dialog is
    // accepted.
    void openReference(const QString &fileName);

    // Whether the desktop session may end: with leave to ask, the close
    // query runs and a Cancel in it refuses; without, unsaved changes refuse.
    bool sessionMayEnd(bool canAsk);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Building the window.
    void createControls();
    void createHashPanel();
    void nameForAccessibility();
    void createActions();
    void createMenus();
    void createToolBar();
    void bindHandlers();
    void bindHashButton();
    void createTranslationTools();
    void setEntryTexts(const std::vector<std::pair<quint32, QString>> &texts);
    void createDocumentGuard();
    void openCopyLeftBehind();
    QAction *addMenuEntry(QMenu *menu, QAction *action, const char *ownCaption);

    // Start and end.
    void FormCreate();
    void FormDestroy();

    // Shared operations.
    void FillList();
    void ClearView();
    void UpdateControls();

    // Document commands.
    void actFileOpenAccept();
    void actFileNewExecute();
    void actFileSaveExecute();
    void actFileSaveAsBeforeExecute();
    void actFileSaveAsAccept();
    void actFileCloseExecute();
    void FormCloseQuery(bool &CanClose);
    void commitData(QSessionManager &manager);

    // Current string editing.
    void lstStringsSelectItem(int row, bool selected);
    void memCurStringChange();
    void edtHashValueChange();
    void memCurStringEnter();
    void memCurStringExit();
    void edtHashValueEnter();
    void edtHashValueExit();
    void actStringsHashExecute();
    void onFocusChanged(QWidget *previous, QWidget *now);
    void putEditorText(const QString &text);
    void putNumberText(const QString &text);
    QString editorText() const;
    QString shownLines() const;
    void reportUnreadableTexts();

    // String list commands.
    void actStringsAddExecute();
    void actStringsDeleteExecute();
    void actStringsMoveExecute();
    void selectRowAfterChange(int row);

    // Find.
    void actEditFindExecute();
    void dlgFindFind();

    // Sorting and view options.
    void lstStringsColumnClick(int column);
    int lstStringsCompare(const StringRow &Item1, const StringRow &Item2, int sortState) const;
    void actViewGridLinesExecute();
    void actViewFontBeforeExecute();
    void actViewFontAccept();

    // Help and hints.
    void actHelpAboutExecute();
    void ApplicationEventsHint(const QString &hint);

    bool runShortcut(QKeyEvent *event);

    // Editor state.
    std::unique_ptr<TZelkStrings> Str;
    bool FModified = false;
    QString FFileName;
    int FCurIdx = -1;
    bool FNew = false;
    bool FFromParam = false;
    bool FFileWritten = false; // by the save under way, before what goes beside it

    // Controls.
    QWidget *ControlBar = nullptr;
    QMenuBar *tbrMenu = nullptr;
    QToolBar *tbrStandard = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *StatusPanel = nullptr;
    QSplitter *Splitter = nullptr;
    StringListModel *ListModel = nullptr;
    StringListView *lstStrings = nullptr;
    QWidget *pnlCurString = nullptr;
    QWidget *pnlStringHash = nullptr;
    QLabel *lblHashString = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *edtHashString = nullptr;
    QPushButton *btnHash = nullptr;
    QLineEdit *edtHashValue = nullptr;
    QPlainTextEdit *memCurString = nullptr;
    QPointer<QWidget> FWindowFocus;

    // Commands and their dialogs.
    ActionRunner *Runner = nullptr;
    EditActions *EditCommands = nullptr;
    QList<QAction *> actsMain;
    QAction *actEditUndo = nullptr;
    QAction *actEditCut = nullptr;
    QAction *actEditCopy = nullptr;
    QAction *actEditPaste = nullptr;
    QAction *actEditDelete = nullptr;
    QAction *actEditSelectAll = nullptr;
    QAction *actFileNew = nullptr;
    QAction *actFileOpen = nullptr;
    QAction *actFileSave = nullptr;
    QAction *actFileSaveAs = nullptr;
    QAction *actFileClose = nullptr;
    QAction *actFileExit = nullptr;
    QAction *actViewFont = nullptr;
    QAction *actViewGridLines = nullptr;
    QAction *actStringsAdd = nullptr;
    QAction *actStringsDelete = nullptr;
    QAction *actStringsMove = nullptr;
    QAction *actHelpAbout = nullptr;
    QAction *actEditFind = nullptr;
    QAction *actStringsHash = nullptr;
    std::unique_ptr<FileDialog> OpenDialog;
    std::unique_ptr<FileDialog> SaveAsDialog;
    QFontDialog *FontDialog = nullptr;
    FindDialog *dlgFind = nullptr;
    TranslationCommands *Translation = nullptr;
    DocumentGuard *Guard = nullptr;
};
