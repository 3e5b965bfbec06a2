#include "uVantrel.h"

#include "ActionRunner.h"
#include "EditActions.h"
#include "FileDialog.h"
#include "FindDialog.h"
#include "Hourglass.h"
#include "InputQuery.h"
#include "MessageBoxes.h"
#include "CommandAction.h"
#include "DocumentGuard.h"
#include "Pictures.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "TextEditor.h"
#include "TextRules.h"
#include "TranslationCommands.h"
#include "uAbout.h"
#include "uSplash.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOption>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

const QString Title = QStringLiteral("Zelk Strings Editor");
const QString Untitled = QStringLiteral("Untitled.bin");
const QString MultipleStrings = QStringLiteral("Multiple strings selected");

// A font whose every property is set, so that it no longer follows the font
// of the window it sits in.
QFont ownFont(QFont font)
{
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

QFont designFont()
{
    return QFont(QStringLiteral("Tahoma"), 8);
}

int tagOf(const QWidget *control)
{
    return control->property("Tag").toInt();
}

void setTag(QWidget *control, int value)
{
    control->setProperty("Tag", value);
}

// A label that underlines its access key but, having no control to move the
// focus to, takes no shortcut.
class CaptionLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect(), int(alignment()) | Qt::TextShowMnemonic, palette(),
                              isEnabled(), text(), foregroundRole());
    }
};

// Hands the memory a closed document leaves free back to the system, so that
// the next one does not come on top of it.
void returnFreeMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// The splash window for the length of one load, freed however the load ends.
class SplashScope
{
public:
    SplashScope(const QWidget *mainWindow, bool centreOfScreen)
    {
        frmSplash = new TfrmSplash;
        QPoint centre = mainWindow->frameGeometry().center();
        if (centreOfScreen || !mainWindow->isVisible()) {
            if (const QScreen *screen = QGuiApplication::primaryScreen())
                centre = screen->availableGeometry().center();
        }
        frmSplash->move(centre - frmSplash->rect().center());
        frmSplash->showAndPaint();
    }
    ~SplashScope()
    {
        TfrmSplash *window = frmSplash;
        frmSplash = nullptr;
        delete window;
    }
    SplashScope(const SplashScope &) = delete;
    SplashScope &operator=(const SplashScope &) = delete;
};

} // namespace

TfrmVantrel::TfrmVantrel(QWidget *parent)
    : QMainWindow(parent)
    , Str(std::make_unique<TZelkStrings>())
    , Runner(new ActionRunner(this))
{
    setObjectName(QStringLiteral("frmVantrel"));
    setWindowTitle(Title);
    setWindowIcon(Pictures::programIcon());
    setFont(designFont());
    resize(632, 453);

    createControls();
    createActions();
    createMenus();
    createToolBar();
    bindHandlers();
    createTranslationTools();
    createDocumentGuard();
    qApp->installEventFilter(this);
    FormCreate();
}

TfrmVantrel::~TfrmVantrel()
{
    // The controls are destroyed after this body, and moving the focus or the
    // selection away from them must not call back into a half-destroyed
    // window.
    qApp->removeEventFilter(this);
    const QList<QObject *> senders{qApp, QGuiApplication::clipboard(), lstStrings, lstStrings->horizontalHeader(),
                                   memCurString, edtHashValue, dlgFind};
    for (QObject *sender : senders)
        disconnect(sender, nullptr, this, nullptr);
    delete EditCommands;
    EditCommands = nullptr;
    delete Guard;
    Guard = nullptr;
    FormDestroy();
}

void TfrmVantrel::createControls()
{
    ControlBar = new QWidget(this);
    ControlBar->setObjectName(QStringLiteral("ControlBar"));
    tbrMenu = new QMenuBar(ControlBar);
    tbrMenu->setObjectName(QStringLiteral("tbrMenu"));
    tbrMenu->setFont(ownFont(designFont()));
    tbrStandard = new QToolBar(QStringLiteral("Standard"), ControlBar);
    tbrStandard->setObjectName(QStringLiteral("tbrStandard"));
    tbrStandard->setFont(ownFont(designFont()));
    auto *bands = new QVBoxLayout(ControlBar);
    bands->setContentsMargins(0, 0, 0, 0);
    bands->setSpacing(0);
    bands->addWidget(tbrMenu);
    bands->addWidget(tbrStandard);
    setMenuWidget(ControlBar);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setFont(ownFont(QApplication::font()));
    StatusBar->setSizeGripEnabled(true);
    StatusPanel = new QLabel(StatusBar);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusBar->addWidget(StatusPanel, 1);
    setStatusBar(StatusBar);

    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(2);
    Splitter->setOpaqueResize(false);
    ListModel = new StringListModel(this);
    ListModel->setDocument(Str.get());
    // The list sits in a box of its own, where the filter bar can go above it.
    auto *listBox = new QWidget(Splitter);
    listBox->setObjectName(QStringLiteral("pnlList"));
    lstStrings = new StringListView(ListModel, listBox);
    lstStrings->setObjectName(QStringLiteral("lstStrings"));
    lstStrings->setMinimumWidth(30);
    setTag(lstStrings, 0);
    auto *listLayout = new QVBoxLayout(listBox);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    listLayout->addWidget(lstStrings);

    pnlCurString = new QWidget(Splitter);
    pnlCurString->setObjectName(QStringLiteral("pnlCurString"));
    pnlCurString->setMinimumWidth(30);
    createHashPanel();
    memCurString = new TextEditor(pnlCurString);
    memCurString->setObjectName(QStringLiteral("memCurString"));
    memCurString->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on to the next control instead of going into the text.
    memCurString->setTabChangesFocus(true);
    memCurString->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memCurString->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTag(memCurString, 0);
    auto *panel = new QVBoxLayout(pnlCurString);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(0);
    panel->addWidget(pnlStringHash);
    panel->addWidget(memCurString, 1);

    Splitter->addWidget(listBox);
    Splitter->addWidget(pnlCurString);
    Splitter->setCollapsible(0, true);
    Splitter->setCollapsible(1, false);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({281, 349});
    setCentralWidget(Splitter);

    nameForAccessibility();

    setTabOrder(lstStrings, memCurString);
    setTabOrder(memCurString, edtHashString);
    setTabOrder(edtHashString, btnHash);
    setTabOrder(btnHash, edtHashValue);
}

// Names for screen readers where a control has no caption or label of its
// own; edtHashString takes its name from its label.
void TfrmVantrel::nameForAccessibility()
{
    ControlBar->setAccessibleName(QStringLiteral("Control bar"));
    tbrMenu->setAccessibleName(QStringLiteral("Menu"));
    tbrStandard->setAccessibleName(QStringLiteral("Standard"));
    StatusBar->setAccessibleName(QStringLiteral("Status bar"));
    lstStrings->setAccessibleName(QStringLiteral("Strings"));
    pnlCurString->setAccessibleName(QStringLiteral("Current string"));
    pnlStringHash->setAccessibleName(QStringLiteral("Key and hash value"));
    memCurString->setAccessibleName(QStringLiteral("Text"));
    edtHashValue->setAccessibleName(QStringLiteral("Hash Value"));
}

void TfrmVantrel::createHashPanel()
{
    pnlStringHash = new QWidget(pnlCurString);
    pnlStringHash->setObjectName(QStringLiteral("pnlStringHash"));
    pnlStringHash->setFixedHeight(57);
    lblHashString = new QLabel(QStringLiteral("Hash Strin&g:"), pnlStringHash);
    lblHashString->setObjectName(QStringLiteral("lblHashString"));
    Label1 = new CaptionLabel(QStringLiteral("&Hash Value:"), pnlStringHash);
    Label1->setObjectName(QStringLiteral("Label1"));
    edtHashString = new QLineEdit(pnlStringHash);
    edtHashString->setObjectName(QStringLiteral("edtHashString"));
    edtHashString->setFixedWidth(147);
    lblHashString->setBuddy(edtHashString);
    btnHash = new QPushButton(pnlStringHash);
    btnHash->setObjectName(QStringLiteral("btnHash"));
    btnHash->setFixedWidth(75);
    edtHashValue = new QLineEdit(pnlStringHash);
    edtHashValue->setObjectName(QStringLiteral("edtHashValue"));
    edtHashValue->setMaxLength(8);
    setTag(edtHashValue, 0);

    // Left edge 6, columns 6 apart, and a right margin of 20 that the number
    // edit keeps as the panel widens.
    auto *grid = new QGridLayout(pnlStringHash);
    grid->setContentsMargins(6, 6, 20, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    grid->addWidget(lblHashString, 0, 0, 1, 2);
    grid->addWidget(Label1, 0, 2);
    grid->addWidget(edtHashString, 1, 0);
    grid->addWidget(btnHash, 1, 1);
    grid->addWidget(edtHashValue, 1, 2);
    grid->setColumnStretch(2, 1);
}

void TfrmVantrel::createActions()
{
    static const struct
    {
        QAction *TfrmVantrel::*field;
        const char *name;
        const char *category;
        const char *caption;
        const char *hint;
        const char *shortcut;
        int image;
    } specs[] = {
        {&TfrmVantrel::actEditUndo, "actEditUndo", "Edit", "&Undo", "Undo|Revert the last action", "Ctrl+Z", Pictures::Undo},
        {&TfrmVantrel::actEditCut, "actEditCut", "Edit", "Cu&t", "Cut|Cut the selection and put it in the Clipboard", "Ctrl+X", Pictures::Cut},
        {&TfrmVantrel::actEditCopy, "actEditCopy", "Edit", "&Copy", "Copy|Copy the selection and put it in the Clipboard", "Ctrl+C", Pictures::Copy},
        {&TfrmVantrel::actEditPaste, "actEditPaste", "Edit", "&Paste", "Paste|Insert Clipboard contents", "Ctrl+V", Pictures::Paste},
        {&TfrmVantrel::actEditDelete, "actEditDelete", "Edit", "&Delete", "Delete|Erase the selection", "Del", Pictures::Delete},
        {&TfrmVantrel::actEditSelectAll, "actEditSelectAll", "Edit", "Select &All", "Select All|Select the entire string", "Ctrl+A", -1},
        {&TfrmVantrel::actFileNew, "actFileNew", "File", "&New", "New|Create a new strings file", "Ctrl+N", Pictures::New},
        {&TfrmVantrel::actFileOpen, "actFileOpen", "File", "&Open...", "Open|Open an existing strings file", "Ctrl+O", Pictures::Open},
        {&TfrmVantrel::actFileSave, "actFileSave", "File", "&Save", "Save|Save the active strings file", "", Pictures::Save},
        {&TfrmVantrel::actFileSaveAs, "actFileSaveAs", "File", "Save &As...", "Save As|Save the strings in a new file", "", Pictures::SaveAs},
        {&TfrmVantrel::actFileClose, "actFileClose", "File", "&Close", "Close|Close", "", Pictures::Close},
        {&TfrmVantrel::actFileExit, "actFileExit", "File", "E&xit", "Exit|Quit the application", "", Pictures::Exit},
        {&TfrmVantrel::actViewFont, "actViewFont", "View", "Select &Font...", "Font Select|Select program font", "", Pictures::Font},
        {&TfrmVantrel::actViewGridLines, "actViewGridLines", "View", "Grid Lines", "Grid Lines|Show/hide grid lines in the strings list", "", -1},
        {&TfrmVantrel::actStringsAdd, "actStringsAdd", "Strings", "&Add...", "Add string|Append a string to the end of file", "", Pictures::Add},
        {&TfrmVantrel::actStringsDelete, "actStringsDelete", "Strings", "Delete...", "Delete string|Remove the selected string", "", Pictures::Remove},
        {&TfrmVantrel::actStringsMove, "actStringsMove", "Strings", "&Move...", "Move|Change string index", "", Pictures::Move},
        {&TfrmVantrel::actHelpAbout, "actHelpAbout", "Help", "About...", "About|Show version information", "", Pictures::About},
        {&TfrmVantrel::actEditFind, "actEditFind", "Edit", "&Find...", "Find|Find the specified text", "Ctrl+F", Pictures::Find},
        {&TfrmVantrel::actStringsHash, "actStringsHash", "Strings", "Hash", "Hash|Calculate a hash value for a given key string", "", -1},
    };
    for (const auto &spec : specs) {
        // Keys are looked up by runShortcut(), in this list's order.
        QAction *action = makeCommandAction(this, spec.name, spec.category, spec.caption, spec.hint, spec.shortcut, spec.image);
        this->*spec.field = action;
        actsMain.append(action);
    }
    actViewGridLines->setCheckable(true);

    OpenDialog = std::make_unique<FileDialog>(
        this, QStringLiteral("OpenDialog"), QFileDialog::AcceptOpen,
        QStringList{QStringLiteral("Zelk String Files (*.cze *.eng *.fin *.fre *.ger *.swe *.bin)"),
                    QStringLiteral("All Files (*.*)")});
    SaveAsDialog = std::make_unique<FileDialog>(
        this, QStringLiteral("SaveAsDialog"), QFileDialog::AcceptSave,
        QStringList{QStringLiteral("Pre-Tarn 2004 Format (*.cze *.eng *.fin *.fre *.ger *.swe)"),
                    QStringLiteral("Post-Tarn 2004 Format (*.cze *.eng *.fin *.fre *.ger *.swe *.bin)"),
                    QStringLiteral("All Files (*.*)")});
    FontDialog = new QFontDialog(this);
    FontDialog->setObjectName(QStringLiteral("FontDialog"));
    FontDialog->setOption(QFontDialog::DontUseNativeDialog);
    dlgFind = new FindDialog(this);

    EditCommands = new EditActions({actEditUndo, actEditCut, actEditCopy, actEditPaste, actEditDelete, actEditSelectAll},
                                   {memCurString, edtHashString, edtHashValue}, this);
}

// Adds an entry for the action; an entry with a caption of its own is a
// stand-in that shows the action's state and runs it.
QAction *TfrmVantrel::addMenuEntry(QMenu *menu, QAction *action, const char *ownCaption)
{
    if (!ownCaption) {
        menu->addAction(action);
        return action;
    }
    auto *entry = new QAction(QString::fromLatin1(ownCaption), menu);
    entry->setObjectName(action->objectName() + QStringLiteral("Entry"));
    const auto follow = [entry, action] {
        entry->setIcon(action->icon());
        entry->setStatusTip(action->statusTip());
        entry->setShortcut(action->shortcut());
        entry->setShortcutContext(Qt::WidgetShortcut);
        entry->setCheckable(action->isCheckable());
        entry->setChecked(action->isChecked());
        entry->setEnabled(action->isEnabled());
    };
    follow();
    connect(action, &QAction::changed, entry, follow);
    connect(entry, &QAction::triggered, this, [this, action, follow] {
        Runner->run(action);
        follow();
    });
    menu->addAction(entry);
    return entry;
}

void TfrmVantrel::createMenus()
{
    const auto addMenu = [this](const char *name, const char *title) {
        QMenu *menu = tbrMenu->addMenu(QString::fromLatin1(title));
        menu->setObjectName(QString::fromLatin1(name));
        menu->setFont(ownFont(designFont()));
        connect(menu, &QMenu::aboutToShow, EditCommands, &EditActions::update);
        return menu;
    };
    QMenu *file = addMenu("mnuFile", "&File");
    for (QAction *action : {actFileNew, actFileOpen, actFileSave, actFileSaveAs, actFileClose})
        file->addAction(action);
    file->addSeparator();
    file->addAction(actFileExit);

    QMenu *edit = addMenu("mnuEdit", "&Edit");
    for (QAction *action : {actEditUndo, actEditCut, actEditCopy, actEditPaste})
        edit->addAction(action);
    edit->addSeparator();
    edit->addAction(actEditDelete);
    edit->addAction(actEditSelectAll);
    edit->addSeparator();
    edit->addAction(actEditFind);

    QMenu *view = addMenu("mnuView", "&View");
    view->addAction(actViewFont);
    view->addSeparator();
    addMenuEntry(view, actViewGridLines, "&Grid Lines");

    QMenu *strings = addMenu("mnuStrings", "&Strings");
    strings->addAction(actStringsAdd);
    addMenuEntry(strings, actStringsDelete, "&Delete...");
    strings->addAction(actStringsMove);
    strings->addSeparator();
    addMenuEntry(strings, actStringsHash, "&Hash");

    QMenu *help = addMenu("mnuHelp", "&Help");
    addMenuEntry(help, actHelpAbout, "&About...");
}

void TfrmVantrel::createToolBar()
{
    tbrStandard->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbrStandard->setIconSize(QSize(16, 16));
    tbrStandard->setMovable(false);
    tbrStandard->setFloatable(false);
    const QList<QAction *> buttons = {actFileNew, actFileOpen, actFileSave, actFileClose, nullptr,
                                      actEditUndo, actEditCut, actEditCopy, actEditPaste, nullptr,
                                      actEditFind, nullptr,
                                      actStringsAdd, actStringsDelete, actStringsMove};
    for (QAction *action : buttons) {
        if (!action) {
            tbrStandard->addSeparator();
            continue;
        }
        tbrStandard->addAction(action);
        // Clicking a button leaves the focus in the field being edited.
        tbrStandard->widgetForAction(action)->setFocusPolicy(Qt::NoFocus);
    }
}

void TfrmVantrel::bindHashButton()
{
    const auto follow = [this] {
        btnHash->setText(actStringsHash->text());
        btnHash->setToolTip(actStringsHash->toolTip());
        btnHash->setStatusTip(actStringsHash->statusTip());
        btnHash->setEnabled(actStringsHash->isEnabled());
    };
    follow();
    connect(actStringsHash, &QAction::changed, btnHash, follow);
    connect(btnHash, &QPushButton::clicked, this, [this] { Runner->run(actStringsHash); });
}

void TfrmVantrel::bindHandlers()
{
    ActionRunner &run = *Runner;
    run.setPrepare([this](QAction *action) {
        if (EditCommands->contains(action))
            EditCommands->update();
    });
    for (QAction *action : {actEditUndo, actEditCut, actEditCopy, actEditPaste, actEditDelete, actEditSelectAll})
        run.bind(action, [this, action] { EditCommands->perform(action); });
    run.bind(actFileNew, [this] { actFileNewExecute(); });
    run.bind(actFileOpen, [this] {
        if (OpenDialog->execute())
            actFileOpenAccept();
    });
    run.bind(actFileSave, [this] { actFileSaveExecute(); });
    run.bind(actFileSaveAs, [this] {
        actFileSaveAsBeforeExecute();
        if (SaveAsDialog->execute())
            actFileSaveAsAccept();
    });
    run.bind(actFileClose, [this] { actFileCloseExecute(); });
    run.bind(actFileExit, [this] { close(); });
    run.bind(actViewFont, [this] {
        actViewFontBeforeExecute();
        if (FontDialog->exec() == QDialog::Accepted)
            actViewFontAccept();
    });
    run.bind(actViewGridLines, [this] { actViewGridLinesExecute(); });
    run.bind(actStringsAdd, [this] { actStringsAddExecute(); });
    run.bind(actStringsDelete, [this] { actStringsDeleteExecute(); });
    run.bind(actStringsMove, [this] { actStringsMoveExecute(); });
    run.bind(actHelpAbout, [this] { actHelpAboutExecute(); });
    run.bind(actEditFind, [this] { actEditFindExecute(); });
    run.bind(actStringsHash, [this] { actStringsHashExecute(); });
    bindHashButton();

    connect(lstStrings, &StringListView::selectItem, this,
            [this](int row, bool selected) { Runner->guard([&] { lstStringsSelectItem(row, selected); }); });
    connect(lstStrings->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { Runner->guard([&] { lstStringsColumnClick(column); }); });
    connect(memCurString, &QPlainTextEdit::textChanged, this, [this] { Runner->guard([this] { memCurStringChange(); }); });
    connect(edtHashValue, &QLineEdit::textChanged, this, [this] { edtHashValueChange(); });
    connect(qApp, &QApplication::focusChanged, this, &TfrmVantrel::onFocusChanged);
    connect(dlgFind, &FindDialog::findNext, this, [this] { Runner->guard([this] { dlgFindFind(); }); });
#if QT_CONFIG(sessionmanager)
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TfrmVantrel::commitData);
#endif
}

// The translator's tools: features of their own, told of every change.
void TfrmVantrel::createTranslationTools()
{
    auto *panel = static_cast<QVBoxLayout *>(pnlCurString->layout());
    Translation = new TranslationCommands({this, Runner, Str.get(), ListModel, lstStrings, tbrMenu, StatusBar, panel,
                                           memCurString,
                                           [this](int row) {
                                               selectRowAfterChange(row);
                                               UpdateControls();
                                           },
                                           [this] {
                                               FModified = true;
                                               UpdateControls();
                                           },
                                           [this](const QString &text) { StatusPanel->setText(text); },
                                           [this](const std::vector<std::pair<quint32, QString>> &texts) { setEntryTexts(texts); },
                                           [this] { return FFileName; }});
}

// Recovery copies and the file's watch, a feature of their own.
void TfrmVantrel::createDocumentGuard()
{
    Guard = new DocumentGuard(this,
                              {Str.get(), [this] { return FNew ? QString() : FFileName; }, [this] { return FModified; },
                               [this] { return Translation->reviewSnapshot(); },
                               [this] { return Translation->reviewGeneration(); },
                               [this](const QString &text) { StatusPanel->setText(text); }},
                              {this, [this] { return FModified; }, [this] { return Runner->isBusy(); },
                               [this] {
                                   Runner->guard([this] {
                                       FModified = false;
                                       OpenDialog->fileName = FFileName;
                                       actFileOpenAccept();
                                   });
                               }});
}

// A copy of unsaved work left behind by a program that did not end as it
// should is offered at a start without a file.
void TfrmVantrel::openCopyLeftBehind()
{
    RecoveryCopy copy;
    if (!Guard->recovery().chooseAtStart(copy))
        return;
    if (!copy.documentPath.isEmpty()) {
        OpenDialog->fileName = copy.documentPath;
        actFileOpenAccept();
        return;
    }
    Guard->recovery().restore(copy, *Str);
    FillList();
    FModified = true;
    UpdateControls();
    Translation->documentLoaded(FFileName, &copy.review);
}

// Texts given by a command of the translator's tools, as edits: the rows and
// the editor show them, and the document is modified.
void TfrmVantrel::setEntryTexts(const std::vector<std::pair<quint32, QString>> &texts)
{
    std::vector<quint32> indices;
    for (const auto &[index, text] : texts) {
        Str->SetEntry(index, text);
        indices.push_back(index);
    }
    ListModel->entriesChanged(indices);
    Translation->textsChanged(indices);
    if (FCurIdx >= 0 && std::find(indices.begin(), indices.end(), quint32(FCurIdx)) != indices.end())
        putEditorText(Str->GetEntry(quint32(FCurIdx)));
    FModified = true;
    UpdateControls();
}

// ---------------------------------------------------------------------------
// Start and end

void TfrmVantrel::FormCreate()
{
    FModified = false;
    FFileName.clear();
    FCurIdx = -1;
    FNew = false;
    QStringList arguments = QCoreApplication::arguments();
    const QString reference = TranslationCommands::takeReferenceArgument(arguments);
    if (!reference.isEmpty())
        Runner->guard([&] { Translation->openReference(reference); });
    if (arguments.size() > 1) {
        FFromParam = true;
        OpenDialog->fileName = arguments.at(1);
        Runner->guard([this] { actFileOpenAccept(); });
    } else {
        FFromParam = false;
        Runner->run(actFileNew);
        UpdateControls();
        Runner->guard([this] { openCopyLeftBehind(); });
    }
}

void TfrmVantrel::FormDestroy()
{
    Str.reset();
}

// ---------------------------------------------------------------------------
// Shared operations

void TfrmVantrel::FillList()
{
    ListModel->appendTable(*Str);
    Translation->documentChanged();
}

void TfrmVantrel::ClearView()
{
    ListModel->clear();
    {
        // Emptying the panel is not an edit: no string changes.
        const QSignalBlocker blocker(memCurString);
        memCurString->clear();
    }
    Translation->showCurrent(-1);
    edtHashString->clear();
    {
        const QSignalBlocker blocker(edtHashValue);
        edtHashValue->clear();
    }
    FCurIdx = -1;
}

void TfrmVantrel::UpdateControls()
{
    const bool open = !FFileName.isEmpty();
    const int selected = lstStrings->selectedRowCount();
    actFileSave->setEnabled(FModified);
    actFileSaveAs->setEnabled(open);
    actFileClose->setEnabled(open);
    actEditFind->setEnabled(open);
    actStringsAdd->setEnabled(open);
    actStringsDelete->setEnabled(selected >= 1);
    actStringsMove->setEnabled(selected == 1);
    actStringsHash->setEnabled(selected == 1);
    Translation->updateActions(open);

    const QString caption = open ? Title + QStringLiteral(" - ") + TextRules::fileNamePart(FFileName) : Title;
    if (TextRules::compareFolded(caption, windowTitle()) != 0) {
        setWindowTitle(caption);
        MessageBoxes::setApplicationTitle(caption);
    }
}

// ---------------------------------------------------------------------------
// Document commands

void TfrmVantrel::actFileOpenAccept()
{
    Runner->run(actFileClose);
    if (!FFileName.isEmpty())
        return;
    RecoveryCopy copy;
    const bool recovered = Guard->recovery().offer(OpenDialog->fileName, copy);
    const Hourglass hourglass;
    const SplashScope splash(this, FFromParam);
    FFileName = OpenDialog->fileName;
    try {
        if (recovered) {
            Guard->recovery().restore(copy, *Str);
        } else {
            Translation->documentLoading(FFileName);
            Str->LoadFromFile(FFileName);
        }
    } catch (...) {
        // A failed load leaves no document open, so New, Open and closing
        // the window go on working.
        FFileName.clear();
        Str->clear();
        UpdateControls();
        throw;
    }
    FillList();
    // Recovered work is unsaved work.
    FModified = recovered;
    UpdateControls();
    reportUnreadableTexts();
    Translation->documentLoaded(FFileName, recovered ? &copy.review : nullptr);
    Guard->documentLoaded(FFileName, *Str, recovered);
}

// Texts that are not UTF-8 load as empty texts that keep their bytes; the
// user hears of them without the load stopping.
void TfrmVantrel::reportUnreadableTexts()
{
    const quint32 count = Str->unreadableCount();
    if (count > 0)
        StatusPanel->setText(QStringLiteral("%1 text%2 not valid UTF-8: shown as empty, kept as read until changed")
                                 .arg(count)
                                 .arg(count == 1 ? QStringLiteral(" is") : QStringLiteral("s are")));
}

void TfrmVantrel::openDocument(const QString &fileName)
{
    OpenDialog->fileName = fileName;
    Runner->guard([this] { actFileOpenAccept(); });
}

void TfrmVantrel::openReference(const QString &fileName)
{
    Runner->guard([&] { Translation->openReference(fileName); });
}

void TfrmVantrel::actFileNewExecute()
{
    Runner->run(actFileClose);
    if (!FFileName.isEmpty())
        return;
    FFileName = Untitled;
    FNew = true;
    FModified = false;
    UpdateControls();
}

void TfrmVantrel::actFileSaveExecute()
{
    if (FNew) {
        Runner->run(actFileSaveAs);
    } else {
        // Another program's changes are not replaced unasked.
        if (!Guard->mayWrite(FFileName))
            return;
        Str->SaveToFile(FFileName);
        FFileWritten = true;
        // The file is written: it is this window's own, whatever happens
        // to the files beside it.
        Guard->documentSaved(FFileName);
        Translation->documentSaved(FFileName);
        FModified = false;
    }
    UpdateControls();
}

void TfrmVantrel::actFileSaveAsBeforeExecute()
{
    SaveAsDialog->fileName = FFileName;
    SaveAsDialog->filterIndex = Str->NewFormat() ? 2 : 1;
}

void TfrmVantrel::actFileSaveAsAccept()
{
    const bool wasNew = FNew;
    const QString oldName = FFileName;
    const bool oldLayout = Str->NewFormat();
    const bool wasModified = FModified;
    FNew = false;
    FFileName = SaveAsDialog->fileName;
    if (SaveAsDialog->filterIndex == 1)
        Str->SetNewFormat(false);
    else if (SaveAsDialog->filterIndex == 2)
        Str->SetNewFormat(true);
    FFileWritten = false;
    try {
        actFileSaveExecute();
    } catch (...) {
        // A failure before the file is written leaves the document its name
        // and layout; once written, the file is the document, whatever failed
        // after it, and what did not go beside it is still to save.
        if (!FFileWritten) {
            FNew = wasNew;
            FFileName = oldName;
            Str->SetNewFormat(oldLayout);
            FModified = wasModified;
        } else {
            FModified = true;
        }
        UpdateControls();
        throw;
    }
}

void TfrmVantrel::actFileCloseExecute()
{
    if (FModified) {
        switch (MessageBoxes::askToSave()) {
        case MessageBoxes::SaveAnswer::Yes:
            Runner->run(actFileSave);
            // A Save As the user cancelled saved nothing: keep the document.
            if (FModified)
                return;
            break;
        case MessageBoxes::SaveAnswer::No:
            break;
        case MessageBoxes::SaveAnswer::Cancel:
            return;
        }
    }
    {
        const Hourglass hourglass;
        ClearView();
    }
    Str->clear();
    Translation->documentClosed();
    Guard->documentClosed();
    returnFreeMemory();
    FModified = false;
    FFileName.clear();
    FNew = false;
    UpdateControls();
}

void TfrmVantrel::FormCloseQuery(bool &CanClose)
{
    Runner->guard([this] { Runner->run(actFileClose); });
    CanClose = FFileName.isEmpty();
}

void TfrmVantrel::closeEvent(QCloseEvent *event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

bool TfrmVantrel::sessionMayEnd(bool canAsk)
{
    if (!canAsk)
        return !FModified;
    bool canClose = true;
    FormCloseQuery(canClose);
    return canClose;
}

void TfrmVantrel::commitData(QSessionManager &manager)
{
#if QT_CONFIG(sessionmanager)
    const bool canAsk = FModified && manager.allowsInteraction();
    const bool mayEnd = sessionMayEnd(canAsk);
    if (canAsk)
        manager.release();
    if (!mayEnd)
        manager.cancel();
#else
    Q_UNUSED(manager);
#endif
}

// ---------------------------------------------------------------------------
// Current string editing

void TfrmVantrel::lstStringsSelectItem(int row, bool selected)
{
    const int count = lstStrings->selectedRowCount();
    if (count == 1 && selected) {
        FCurIdx = int(ListModel->row(row).index);
        memCurString->setEnabled(true);
        putEditorText(Str->GetEntry(quint32(FCurIdx)));
        edtHashValue->setEnabled(true);
        putNumberText(formatNumber(Str->GetNumber(quint32(FCurIdx))));
    } else if (count > 1) {
        // No string is current before the placeholder texts go in, so they
        // can never reach the table.
        FCurIdx = -1;
        putEditorText(MultipleStrings);
        memCurString->setEnabled(false);
        putNumberText(QString());
        edtHashValue->setEnabled(false);
    }
    Translation->showCurrent(FCurIdx);
    UpdateControls();
}

void TfrmVantrel::memCurStringChange()
{
    if (tagOf(memCurString) != 1 || FCurIdx == -1)
        return;
    // A text written back as it is shown keeps every character, even those
    // the editor can only show as line breaks, and a text that is not UTF-8
    // its bytes; only an edit changes it.
    QString stored = TextRules::toEditorLines(Str->entryText(quint32(FCurIdx)));
    stored.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    if (stored != shownLines()) {
        ListModel->keepShown(quint32(FCurIdx));
        Str->SetEntry(quint32(FCurIdx), editorText());
    }
    if (lstStrings->selectedRowCount() > 0)
        ListModel->setRowText(lstStrings->firstSelectedRow(), Str->GetEntry(quint32(FCurIdx)));
    Translation->textChanged(quint32(FCurIdx));
    FModified = true;
    UpdateControls();
}

void TfrmVantrel::edtHashValueChange()
{
    if (tagOf(edtHashValue) != 1 || FCurIdx == -1)
        return;
    // A number that does not read, and any other failure here, changes
    // nothing and says nothing: the edit keeps what was typed.
    try {
        quint32 value = 0;
        if (!TextRules::readHexNumber(edtHashValue->text(), value))
            return;
        const quint32 oldValue = Str->GetNumber(quint32(FCurIdx));
        ListModel->keepShown(quint32(FCurIdx));
        Str->SetNumber(quint32(FCurIdx), value);
        if (lstStrings->selectedRowCount() > 0)
            ListModel->setRowNumber(lstStrings->firstSelectedRow(), Str->GetNumber(quint32(FCurIdx)));
        Translation->numberChanged(quint32(FCurIdx), oldValue);
        FModified = true;
        UpdateControls();
    } catch (const std::exception &) {
    }
}

void TfrmVantrel::memCurStringEnter()
{
    setTag(memCurString, 1);
}

void TfrmVantrel::memCurStringExit()
{
    setTag(memCurString, 0);
}

void TfrmVantrel::edtHashValueEnter()
{
    setTag(edtHashValue, 1);
}

void TfrmVantrel::edtHashValueExit()
{
    setTag(edtHashValue, 0);
}

void TfrmVantrel::actStringsHashExecute()
{
    // The digits go in as if typed; afterwards the flag again says whether
    // the number edit is the window's focused control.
    const int previousFlag = tagOf(edtHashValue);
    setTag(edtHashValue, 1);
    const QString digits = formatNumber(TZelkStrings::HashKey(toAnsi(edtHashString->text())));
    putNumberText(digits);
    setTag(edtHashValue, previousFlag);
}

// The window's focused control changes only when the focus moves to another
// control of this window; a dialog taking the focus changes nothing.
void TfrmVantrel::onFocusChanged(QWidget *, QWidget *now)
{
    if (!now || now->window() != this || now == FWindowFocus)
        return;
    QWidget *previous = FWindowFocus;
    FWindowFocus = now;
    if (previous == memCurString)
        memCurStringExit();
    else if (previous == edtHashValue)
        edtHashValueExit();
    if (now == memCurString)
        memCurStringEnter();
    else if (now == edtHashValue)
        edtHashValueEnter();
}

// Puts a text into the editor, one line per CR LF, LF or CR; a text equal to
// the one shown changes nothing.
void TfrmVantrel::putEditorText(const QString &text)
{
    const QString lines = TextRules::toEditorLines(text);
    if (lines == TextRules::toEditorLines(editorText()))
        return;
    memCurString->setPlainText(lines);
}

void TfrmVantrel::putNumberText(const QString &text)
{
    if (text != edtHashValue->text())
        edtHashValue->setText(text);
}

// The editor's text with CR LF line breaks. The raw text keeps every
// character as typed (plain text would turn no-break spaces into spaces).
QString TfrmVantrel::editorText() const
{
    return TextRules::fromEditorLines(shownLines());
}

// The editor's text with '\n' line breaks, every other character as it is.
QString TfrmVantrel::shownLines() const
{
    QString text = memCurString->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

// ---------------------------------------------------------------------------
// String list commands

// Makes one row the only selected row, as the commands do after a change.
void TfrmVantrel::selectRowAfterChange(int row)
{
    const int selected = lstStrings->selectedRowCount();
    if (selected > 1)
        lstStrings->deselectAll();
    else if (selected == 1)
        lstStrings->deselectRow(lstStrings->firstSelectedRow());
    lstStrings->selectItemIndex(row);
    lstStrings->scrollRowIntoView(row);
}

void TfrmVantrel::actStringsAddExecute()
{
    QString text;
    if (!InputQuery::ask(QStringLiteral("Add String"), QStringLiteral("Enter a text"), text))
        return;
    Str->AddEntry(text);
    const quint32 last = Str->EntryCount() - 1;
    ListModel->appendRow(last);
    Translation->entryAdded();
    selectRowAfterChange(ListModel->rowCount() - 1);
    FModified = true;
    UpdateControls();
}

void TfrmVantrel::actStringsDeleteExecute()
{
    if (lstStrings->selectedRowCount() == 0)
        return;
    if (!MessageBoxes::confirm(QStringLiteral("Are you sure you want to delete the selected strings?")))
        return;
    const int topRow = lstStrings->firstSelectedRow();
    {
        const Hourglass hourglass;
        std::vector<quint32> indices;
        for (const int row : lstStrings->selectedRows())
            indices.push_back(ListModel->row(row).index);
        // One pass over the table instead of one removal per entry.
        Translation->entriesDeleted(indices);
        Str->deleteEntries(indices);
        ClearView();
        FillList();
    }
    const int rows = ListModel->rowCount();
    if (rows > 0)
        selectRowAfterChange(topRow < rows ? topRow : rows - 1);
    FModified = true;
    UpdateControls();
}

void TfrmVantrel::actStringsMoveExecute()
{
    if (FCurIdx == -1)
        return;
    QString text;
    if (!InputQuery::ask(QStringLiteral("Move String"), QStringLiteral("Enter the new index"), text))
        return;
    qint32 newIndex = 0;
    if (!TextRules::readInteger(text, newIndex)) {
        MessageBoxes::showError(QStringLiteral("The index must be an integer"));
        return;
    }
    const int row = lstStrings->firstSelectedRow();
    // The last index of the table; the list may show fewer rows.
    const int last = int(Str->EntryCount()) - 1;
    if (newIndex < 0)
        newIndex = 0;
    else if (newIndex > last)
        newIndex = last;
    Translation->entryMoved(quint32(FCurIdx), quint32(newIndex));
    Str->Move(quint32(FCurIdx), quint32(newIndex));
    {
        const Hourglass hourglass;
        ClearView();
        FillList();
    }
    selectRowAfterChange(row);
    FModified = true;
    UpdateControls();
}

// ---------------------------------------------------------------------------
// Find

void TfrmVantrel::actEditFindExecute()
{
    dlgFind->showOrRaise();
}

void TfrmVantrel::dlgFindFind()
{
    const int rows = ListModel->rowCount();
    const bool down = dlgFind->searchDown();
    const QString what = dlgFind->findText();
    const bool matchCase = dlgFind->matchCase();
    // Without a selected row a search covers the whole list: from the top
    // downwards, from the bottom upwards.
    int start = lstStrings->firstSelectedRow();
    if (start < 0)
        start = down ? -1 : rows;
    const quint32 key = TZelkStrings::HashKey(toAnsi(what));
    const int step = down ? 1 : -1;
    for (int row = start + step; row >= 0 && row < rows; row += step) {
        const quint32 index = ListModel->row(row).index;
        const bool textHit = TextRules::containsText(Str->entryText(index), what, matchCase);
        const bool numberHit = Str->GetNumber(index) == key;
        if (textHit || numberHit) {
            selectRowAfterChange(row);
            edtHashString->setText(numberHit ? what : QString());
            UpdateControls();
            return;
        }
    }
    MessageBoxes::showMessage(QStringLiteral("Text not found"));
    UpdateControls();
}

// ---------------------------------------------------------------------------
// Sorting and view options

void TfrmVantrel::lstStringsColumnClick(int column)
{
    const int state = tagOf(lstStrings) < 100 ? column + 100 : column;
    setTag(lstStrings, state);
    const auto compare = [this, state](const StringRow &a, const StringRow &b) {
        // The comparison in normal order; the sort reverses it itself.
        return lstStringsCompare(a, b, state % 100);
    };
    switch (state % 100) {
    case StringListModel::IndexColumn:
        ListModel->sortRows([](const StringRow &row) { return quint64(row.index); }, nullptr, state >= 100);
        break;
    case StringListModel::HashColumn:
        ListModel->sortRows([](const StringRow &row) { return quint64(row.number); }, nullptr, state >= 100);
        break;
    case StringListModel::ReferenceColumn:
        Translation->sortRows(state >= 100);
        break;
    default:
        ListModel->sortRows([](const StringRow &row) { return TextRules::foldedPrefix(row.text); }, compare,
                            state >= 100);
        break;
    }
}

// Compares two rows as the sort orders them; sortState is a column, plus 100
// for the reverse order. Eight uppercase hexadecimal digits compare as the
// numbers they show, so the "Hash" column compares numbers.
int TfrmVantrel::lstStringsCompare(const StringRow &Item1, const StringRow &Item2, int sortState) const
{
    const StringRow &first = sortState < 100 ? Item1 : Item2;
    const StringRow &second = sortState < 100 ? Item2 : Item1;
    switch (sortState % 100) {
    case StringListModel::IndexColumn:
        return first.index == second.index ? 0 : (first.index < second.index ? -1 : 1);
    case StringListModel::HashColumn:
        return first.number == second.number ? 0 : (first.number < second.number ? -1 : 1);
    default:
        return TextRules::compareFolded(first.text, second.text);
    }
}

void TfrmVantrel::actViewGridLinesExecute()
{
    lstStrings->setShowGrid(actViewGridLines->isChecked());
}

void TfrmVantrel::actViewFontBeforeExecute()
{
    // The dialog shows the face really in use where the designed one is
    // missing from this system.
    QFont inUse = font();
    const QFontInfo used(inUse);
    inUse.setFamily(used.family());
    // Without a style name the dialog picks the family's first style, which
    // may be an oblique one: confirming it untouched would change the font.
    inUse.setStyleName(used.styleName());
    FontDialog->setCurrentFont(inUse);
}

void TfrmVantrel::actViewFontAccept()
{
    setFont(FontDialog->currentFont());
}

// ---------------------------------------------------------------------------
// Help and hints

void TfrmVantrel::actHelpAboutExecute()
{
    frmAboutBox = new TfrmAboutBox(this);
    struct Release
    {
        ~Release()
        {
            TfrmAboutBox *window = frmAboutBox;
            frmAboutBox = nullptr;
            delete window;
        }
    } release;
    frmAboutBox->setFont(font());
    frmAboutBox->exec();
}

void TfrmVantrel::ApplicationEventsHint(const QString &hint)
{
    StatusPanel->setText(longHint(hint));
}

bool TfrmVantrel::event(QEvent *event)
{
    // Hints of menu entries and of the controls under the pointer arrive as
    // status tips; the status bar shows them in its one panel.
    if (event->type() == QEvent::StatusTip) {
        ApplicationEventsHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

// Keys pressed in this window go to the commands before the focused control,
// as long as no modal dialog is open.
bool TfrmVantrel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this && !QApplication::activeModalWidget()) {
        if (runShortcut(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// Runs the first command whose shortcut is the key; true when it ran. A
// disabled command leaves the key to the focused control.
bool TfrmVantrel::runShortcut(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence pressed(QKeyCombination(modifiers, Qt::Key(event->key())));
    for (const QList<QAction *> &commands : {actsMain, Translation->actions()}) {
        for (QAction *action : commands) {
            if (action->shortcuts().contains(pressed))
                return Runner->run(action);
        }
    }
    return false;
}
