#include "ActionRunner.h"
#include "GuiTest.h"
#include "MessageBoxes.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "uAbout.h"
#include "uSplash.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QScrollBar>

#include <memory>

using namespace GuiTest;

namespace {

const char *const EnabledByDocument[] = {"actFileSaveAs", "actFileClose", "actEditFind", "actStringsAdd"};
const char *const DisabledAtStart[] = {"actFileSave", "actStringsDelete", "actStringsMove", "actStringsHash"};

QStringList entriesOf(const QList<QAction *> &actions)
{
    QStringList entries;
    for (const QAction *action : actions)
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return entries;
}

QString cell(const TfrmVantrel &window, int row, int column)
{
    const auto *list = child<StringListView>(window, "lstStrings");
    return list->model()->index(row, column).data().toString();
}

// Notes where the splash window was and whether it was painted while it
// existed, since a load handles no events that a test could look in on.
class SplashWatcher : public QObject
{
public:
    SplashWatcher() { qApp->installEventFilter(this); }
    ~SplashWatcher() override { qApp->removeEventFilter(this); }

    int shown = 0;
    int painted = 0;
    QPoint centre;
    QString caption;
    bool stayOnTop = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == frmSplash && event->type() == QEvent::Show) {
            ++shown;
            centre = frmSplash->geometry().center();
            caption = frmSplash->findChild<QLabel *>(QStringLiteral("pnlSplash"))->text();
            stayOnTop = frmSplash->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        }
        if (watched == frmSplash && event->type() == QEvent::Paint)
            ++painted;
        return false;
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }
    void init();
    void cleanup();

    void startsWithANewDocument();
    void startsWithAFile_data();
    void startsWithAFile();
    void startsWithADamagedFile_data();
    void startsWithADamagedFile();
    void rowsShowIndexNumberAndText();
    void emptyTableStillOpensADocument();
    void layoutOfTheWindow();
    void everyControlHasAnAccessibleName();
    void actionsCarryTheirTexts_data();
    void actionsCarryTheirTexts();
    void menusInOrder();
    void toolbarInOrder();
    void hashButtonFollowsItsAction();
    void disabledCommandDoesNothing();
    void editActionsFollowTheFocusedField_data();
    void editActionsFollowTheFocusedField();
    void shortcutsRunCommandsFromAnyControl();
    void keysOnTheListChangeNothing();
    void deleteKeyInTheTextEditor();
    void toolbarEditsTheFieldBeingTyped();
    void hintsInStatusBarAndTooltips();
    void menuHighlightShowsItsHint();
    void barsKeepTheirFonts();
    void aboutWindow();
    void aboutCentredOnTheWindow_data();
    void aboutCentredOnTheWindow();
    void splashAroundEveryLoad();

private:
    QTemporaryDir m_dir;
};

void TestMainWindow::init()
{
    setArguments({});
    MessageBoxes::setApplicationTitle(QStringLiteral("Zelk Strings Editor"));
    QGuiApplication::clipboard()->clear();
}

void TestMainWindow::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    QVERIFY(!frmSplash);
    QVERIFY(!frmAboutBox);
}

void TestMainWindow::startsWithANewDocument()
{
    const auto window = startWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor - Untitled.bin"));
    QCOMPARE(MessageBoxes::applicationTitle(), QStringLiteral("Zelk Strings Editor - Untitled.bin"));
    QCOMPARE(window->fileName(), QStringLiteral("Untitled.bin"));
    QVERIFY(window->isNewDocument());
    QVERIFY(!window->isModified());
    QVERIFY(!window->startedWithFile());
    QCOMPARE(child<StringListView>(*window, "lstStrings")->model()->rowCount(), 0);
    for (const char *name : EnabledByDocument)
        QVERIFY2(action(*window, name)->isEnabled(), name);
    for (const char *name : DisabledAtStart)
        QVERIFY2(!action(*window, name)->isEnabled(), name);
}

void TestMainWindow::startsWithAFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("secondArgument");
    QTest::newRow("one argument") << QStringLiteral("lang.eng") << false;
    QTest::newRow("two arguments: only the first opens") << QStringLiteral("lang.eng") << true;
    QTest::newRow("a path with spaces") << QStringLiteral("my strings/lang file.ger") << false;
}

void TestMainWindow::startsWithAFile()
{
    QFETCH(QString, name);
    QFETCH(bool, secondArgument);
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeStringsFile(path, {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Maybe")}, {1, 2, 3});
    const QString other = m_dir.filePath(QStringLiteral("other.eng"));
    writeStringsFile(other, {QStringLiteral("other")});

    const auto window = startWindow(secondArgument ? QStringList{path, other} : QStringList{path});
    QVERIFY(window->startedWithFile());
    QCOMPARE(window->fileName(), path);
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor - ") + QFileInfo(path).fileName());
    QCOMPARE(MessageBoxes::applicationTitle(), window->windowTitle());
    QCOMPARE(child<StringListView>(*window, "lstStrings")->model()->rowCount(), 3);
    QCOMPARE(cell(*window, 2, 2), QStringLiteral("Maybe"));
    QVERIFY(!window->isModified());
    QVERIFY(!window->isNewDocument());
    for (const char *name : EnabledByDocument)
        QVERIFY2(action(*window, name)->isEnabled(), name);
}

void TestMainWindow::startsWithADamagedFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("too short") << QByteArray("\xFE\xFE") << QStringLiteral("Stream read error.");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("Cannot open file \"%1\". No such file or directory.");
}

void TestMainWindow::startsWithADamagedFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = m_dir.filePath(QStringLiteral("damaged.eng"));
    QFile::remove(path);
    if (!bytes.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    BoxSeen box;
    bool windowVisibleDuringBox = true;
    onNextModal([&](QWidget *modal) {
        windowVisibleDuringBox = false;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String("frmVantrel") && top->isVisible())
                windowVisibleDuringBox = true;
        }
        box.seen = true;
        box.text = static_cast<QMessageBox *>(modal)->text();
        box.title = modal->windowTitle();
        box.icon = static_cast<QMessageBox *>(modal)->icon();
        static_cast<QMessageBox *>(modal)->button(QMessageBox::Ok)->click();
    });
    const auto window = startWindow({path});
    QVERIFY(box.seen);
    QCOMPARE(box.text, message.contains(QLatin1String("%1")) ? message.arg(path) : message);
    QCOMPARE(box.title, QStringLiteral("Zelk Strings Editor"));
    QCOMPARE(box.icon, int(QMessageBox::Critical));
    QVERIFY(!windowVisibleDuringBox);
    QVERIFY(window->isVisible());
    QVERIFY(window->fileName().isEmpty());
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor"));
    QVERIFY(!action(*window, "actFileClose")->isEnabled());
    QVERIFY(action(*window, "actFileNew")->isEnabled());
}

void TestMainWindow::rowsShowIndexNumberAndText()
{
    QStringList texts;
    QList<quint32> numbers;
    for (int i = 0; i < 12; ++i) {
        texts << QStringLiteral("text %1").arg(i);
        numbers << 0;
    }
    numbers[10] = 0xABC;
    numbers[11] = 0xFFFFFFFF;
    texts[3] = QStringLiteral("first\nsecond");
    const QString path = m_dir.filePath(QStringLiteral("rows.eng"));
    writeStringsFile(path, texts, numbers);
    const auto window = startWindow({path});
    QCOMPARE(cell(*window, 10, 0), QStringLiteral("10"));
    QCOMPARE(cell(*window, 10, 1), QStringLiteral("00000ABC"));
    QCOMPARE(cell(*window, 10, 2), QStringLiteral("text 10"));
    QCOMPARE(cell(*window, 11, 1), QStringLiteral("FFFFFFFF"));
    QCOMPARE(cell(*window, 3, 2), QStringLiteral("first\nsecond"));
    // Each row keeps to one line: a line break shows as one symbol.
    auto *delegate = qobject_cast<QStyledItemDelegate *>(child<StringListView>(*window, "lstStrings")->itemDelegate());
    QCOMPARE(delegate->displayText(QStringLiteral("a\r\nb\nc"), QLocale()), QStringLiteral("a\u21B5b\u21B5c"));
    const auto *header = child<StringListView>(*window, "lstStrings")->horizontalHeader();
    QCOMPARE(header->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Indx"));
    QCOMPARE(header->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Hash"));
    QCOMPARE(header->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Text"));
}

void TestMainWindow::emptyTableStillOpensADocument()
{
    const QString path = m_dir.filePath(QStringLiteral("empty.eng"));
    writeStringsFile(path, {});
    const auto window = startWindow({path});
    QCOMPARE(window->fileName(), path);
    QCOMPARE(child<StringListView>(*window, "lstStrings")->model()->rowCount(), 0);
    QVERIFY(action(*window, "actFileClose")->isEnabled());
}

void TestMainWindow::layoutOfTheWindow()
{
    QStringList texts;
    for (int i = 0; i < 500; ++i)
        texts << QStringLiteral("a string long enough to need the whole column %1").arg(i);
    const QString path = m_dir.filePath(QStringLiteral("many.eng"));
    writeStringsFile(path, texts);
    const auto window = startWindow({path});
    auto *list = child<StringListView>(*window, "lstStrings");
    QCOMPARE(list->horizontalHeader()->sectionSize(0), 50);
    QCOMPARE(list->horizontalHeader()->sectionSize(1), 85);
    // The "Text" column takes what the other two leave: no horizontal scroll bar.
    QVERIFY(list->verticalScrollBar()->isVisible());
    QCOMPARE(list->horizontalHeader()->length(), list->viewport()->width());
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    QVERIFY(!list->showGrid());
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(child<QSplitter>(*window, "Splitter")->sizes().value(0), 281);
    QCOMPARE(child<QLineEdit>(*window, "edtHashValue")->maxLength(), 8);
    QCOMPARE(child<QPlainTextEdit>(*window, "memCurString")->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(child<QLabel>(*window, "lblHashString")->buddy(), child<QWidget>(*window, "edtHashString"));
    QCOMPARE(child<QLabel>(*window, "Label1")->text(), QStringLiteral("&Hash Value:"));
    for (const char *name : {"ControlBar", "tbrMenu", "tbrStandard", "StatusBar", "pnlCurString", "pnlStringHash",
                             "btnHash", "dlgFind"})
        QVERIFY(window->findChild<QObject *>(QString::fromLatin1(name)));

    // Tab moves through the list, the text editor, the key, the Hash button
    // (enabled while one row is selected) and the number edit.
    list->selectItemIndex(0);
    list->setFocus();
    QStringList order{list->objectName()};
    QWidget *at = list;
    for (int i = 0; i < 4; ++i) {
        at = at->nextInFocusChain();
        while (!(at->focusPolicy() & Qt::TabFocus))
            at = at->nextInFocusChain();
        order << at->objectName();
    }
    QCOMPARE(order, (QStringList{QStringLiteral("lstStrings"), QStringLiteral("memCurString"),
                                 QStringLiteral("edtHashString"), QStringLiteral("btnHash"),
                                 QStringLiteral("edtHashValue")}));
    // The Tab key itself: the text editor passes it on instead of taking it.
    QStringList pressed{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        pressed << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(pressed, order);
    QCOMPARE(child<QPlainTextEdit>(*window, "memCurString")->toPlainText(), texts[0]);
}

void TestMainWindow::everyControlHasAnAccessibleName()
{
    const auto window = startWindow();
    const auto nameOf = [](QWidget *control) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        return accessible ? accessible->text(QAccessible::Name) : QString();
    };
    QCOMPARE(nameOf(child<QWidget>(*window, "edtHashString")), QStringLiteral("Hash String:"));
    QCOMPARE(nameOf(child<QWidget>(*window, "edtHashValue")), QStringLiteral("Hash Value"));
    QCOMPARE(nameOf(child<QWidget>(*window, "btnHash")), QStringLiteral("Hash"));
    for (const char *name : {"ControlBar", "tbrMenu", "tbrStandard", "StatusBar", "lstStrings", "pnlCurString",
                             "pnlStringHash", "lblHashString", "Label1", "memCurString"})
        QVERIFY2(!nameOf(child<QWidget>(*window, name)).isEmpty(), name);
    auto *bar = child<QToolBar>(*window, "tbrStandard");
    for (QAction *entry : bar->actions()) {
        if (!entry->isSeparator())
            QCOMPARE(nameOf(bar->widgetForAction(entry)), entry->iconText());
    }
}

void TestMainWindow::actionsCarryTheirTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("picture");
    const auto row = [](const char *name, const char *category, const char *caption, const char *tooltip,
                        const char *status, const char *shortcut, bool picture) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(category)
                            << QString::fromLatin1(caption) << QString::fromLatin1(tooltip)
                            << QString::fromLatin1(status) << QString::fromLatin1(shortcut) << picture;
    };
    row("actEditUndo", "Edit", "&Undo", "Undo (Ctrl+Z)", "Revert the last action", "Ctrl+Z", true);
    row("actEditDelete", "Edit", "&Delete", "Delete (Del)", "Erase the selection", "Del", true);
    row("actEditSelectAll", "Edit", "Select &All", "Select All (Ctrl+A)", "Select the entire string", "Ctrl+A", false);
    row("actFileNew", "File", "&New", "New (Ctrl+N)", "Create a new strings file", "Ctrl+N", true);
    row("actFileSave", "File", "&Save", "Save", "Save the active strings file", "", true);
    row("actViewFont", "View", "Select &Font...", "Font Select", "Select program font", "", true);
    row("actViewGridLines", "View", "Grid Lines", "Grid Lines", "Show/hide grid lines in the strings list", "", false);
    row("actStringsMove", "Strings", "&Move...", "Move", "Change string index", "", true);
    row("actEditFind", "Edit", "&Find...", "Find (Ctrl+F)", "Find the specified text", "Ctrl+F", true);
    row("actStringsHash", "Strings", "Hash", "Hash", "Calculate a hash value for a given key string", "", false);
}

void TestMainWindow::actionsCarryTheirTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, category);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    QFETCH(QString, status);
    QFETCH(QString, shortcut);
    QFETCH(bool, picture);
    const auto window = startWindow();
    QAction *command = action(*window, name.toLatin1().constData());
    QCOMPARE(command->property("category").toString(), category);
    QCOMPARE(command->text(), caption);
    QCOMPARE(command->toolTip(), tooltip);
    QCOMPARE(command->statusTip(), status);
    QCOMPARE(command->shortcut().toString(QKeySequence::PortableText), shortcut);
    QCOMPARE(!command->icon().isNull(), picture);
    QCOMPARE(window->actions().size(), 20);
}

void TestMainWindow::menusInOrder()
{
    const auto window = startWindow();
    const auto *bar = child<QMenuBar>(*window, "tbrMenu");
    QCOMPARE(entriesOf(bar->actions()), (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                                      QStringLiteral("&View"), QStringLiteral("&Strings"),
                                                      QStringLiteral("&Translation"), QStringLiteral("&Help")}));
    QCOMPARE(entriesOf(child<QMenu>(*window, "mnuFile")->actions()),
             QStringList({"&New", "&Open...", "&Save", "Save &As...", "&Close", "-", "E&xit"}));
    QCOMPARE(entriesOf(child<QMenu>(*window, "mnuEdit")->actions()),
             QStringList({"&Undo", "Cu&t", "&Copy", "&Paste", "-", "&Delete", "Select &All", "-", "&Find..."}));
    QCOMPARE(entriesOf(child<QMenu>(*window, "mnuView")->actions()),
             QStringList({"Select &Font...", "-", "&Grid Lines"}));
    QCOMPARE(entriesOf(child<QMenu>(*window, "mnuStrings")->actions()),
             QStringList({"&Add...", "&Delete...", "&Move...", "-", "&Hash"}));
    QCOMPARE(entriesOf(child<QMenu>(*window, "mnuHelp")->actions()), QStringList({"&About..."}));

    // An entry with a caption of its own shows its action's state and runs it.
    QMenu *view = child<QMenu>(*window, "mnuView");
    QAction *gridEntry = view->actions().last();
    QVERIFY(gridEntry->isCheckable());
    QVERIFY(!gridEntry->isChecked());
    gridEntry->trigger();
    QVERIFY(action(*window, "actViewGridLines")->isChecked());
    QVERIFY(gridEntry->isChecked());
    QVERIFY(child<StringListView>(*window, "lstStrings")->showGrid());
    QAction *deleteEntry = child<QMenu>(*window, "mnuStrings")->actions().at(1);
    QVERIFY(!deleteEntry->isEnabled());
    QCOMPARE(deleteEntry->statusTip(), QStringLiteral("Remove the selected string"));
}

void TestMainWindow::toolbarInOrder()
{
    const auto window = startWindow();
    auto *bar = child<QToolBar>(*window, "tbrStandard");
    QStringList names;
    for (QAction *entry : bar->actions()) {
        names << (entry->isSeparator() ? QStringLiteral("-") : entry->objectName());
        if (!entry->isSeparator())
            QCOMPARE(bar->widgetForAction(entry)->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(names, QStringList({"actFileNew", "actFileOpen", "actFileSave", "actFileClose", "-", "actEditUndo",
                                 "actEditCut", "actEditCopy", "actEditPaste", "-", "actEditFind", "-",
                                 "actStringsAdd", "actStringsDelete", "actStringsMove"}));
    QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

void TestMainWindow::hashButtonFollowsItsAction()
{
    const auto window = startWindow();
    auto *button = child<QPushButton>(*window, "btnHash");
    QAction *hash = action(*window, "actStringsHash");
    QCOMPARE(button->text(), QStringLiteral("Hash"));
    QCOMPARE(button->statusTip(), hash->statusTip());
    QVERIFY(!button->isEnabled());
    hash->setEnabled(true);
    QVERIFY(button->isEnabled());
}

void TestMainWindow::disabledCommandDoesNothing()
{
    const auto window = startWindow();
    QAction *close = action(*window, "actFileClose");
    close->trigger();
    QVERIFY(window->fileName().isEmpty());
    QVERIFY(!close->isEnabled());
    // Running Close again with no document open changes nothing.
    close->trigger();
    QVERIFY(window->runner()->run(action(*window, "actFileNew")));
    QCOMPARE(window->fileName(), QStringLiteral("Untitled.bin"));
    QVERIFY(!window->runner()->run(action(*window, "actFileSave")));
}

void TestMainWindow::editActionsFollowTheFocusedField_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("key edit") << QStringLiteral("edtHashString");
    QTest::newRow("number edit") << QStringLiteral("edtHashValue");
    QTest::newRow("text editor") << QStringLiteral("memCurString");
}

void TestMainWindow::editActionsFollowTheFocusedField()
{
    QFETCH(QString, field);
    const auto window = startWindow();
    const auto enabled = [&] {
        QString states;
        for (const char *name : {"actEditUndo", "actEditCut", "actEditCopy", "actEditPaste", "actEditDelete",
                                 "actEditSelectAll"})
            states += action(*window, name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return states;
    };
    auto *list = child<StringListView>(*window, "lstStrings");
    list->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("12"));
    QCOMPARE(enabled(), QStringLiteral("000000"));

    auto *target = window->findChild<QWidget *>(field);
    target->setFocus();
    QCOMPARE(enabled(), QStringLiteral("000100"));
    QTest::keyClicks(target, QStringLiteral("ab"));
    QCOMPARE(enabled(), QStringLiteral("100101"));
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(enabled(), QStringLiteral("111111"));
    QGuiApplication::clipboard()->clear();
    QCOMPARE(enabled(), QStringLiteral("111011"));
    list->setFocus();
    QCOMPARE(enabled(), QStringLiteral("000000"));
}

void TestMainWindow::shortcutsRunCommandsFromAnyControl()
{
    const QString path = m_dir.filePath(QStringLiteral("shortcuts.eng"));
    writeStringsFile(path, {QStringLiteral("one")});
    const auto window = startWindow({path});
    auto *editor = child<QPlainTextEdit>(*window, "memCurString");
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    auto *find = child<QDialog>(*window, "dlgFind");
    QVERIFY(find->isVisible());
    find->close();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    bool openDialogShown = false;
    onNextModal([&](QWidget *modal) {
        openDialogShown = modal->objectName() == QLatin1String("OpenDialog");
        static_cast<QDialog *>(modal)->reject();
    });
    QTest::keyClick(child<StringListView>(*window, "lstStrings"), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(openDialogShown);
    QCOMPARE(window->fileName(), path);

    // The window system gives the focus back once the dialog has gone.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(child<QLineEdit>(*window, "edtHashString"), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(window->fileName(), QStringLiteral("Untitled.bin"));
}

void TestMainWindow::keysOnTheListChangeNothing()
{
    const QString path = m_dir.filePath(QStringLiteral("keys.eng"));
    writeStringsFile(path, {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    const auto window = startWindow({path});
    auto *list = child<StringListView>(*window, "lstStrings");
    auto *key = child<QLineEdit>(*window, "edtHashString");
    key->setText(QStringLiteral("key"));
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    list->setFocus();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(list->selectedRowCount(), 1);
    for (const QKeyCombination &combination :
         {QKeyCombination(Qt::ControlModifier, Qt::Key_Z), QKeyCombination(Qt::ControlModifier, Qt::Key_X),
          QKeyCombination(Qt::ControlModifier, Qt::Key_C), QKeyCombination(Qt::ControlModifier, Qt::Key_V),
          QKeyCombination(Qt::ControlModifier, Qt::Key_A), QKeyCombination(Qt::NoModifier, Qt::Key_Delete)}) {
        QTest::keyClick(list, combination.key(), combination.keyboardModifiers());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("clip"));
        QCOMPARE(list->selectedRowCount(), 1);
        QVERIFY(list->isRowSelected(1));
        QCOMPARE(key->text(), QStringLiteral("key"));
        QCOMPARE(window->table().EntryCount(), 3u);
        QVERIFY(!window->isModified());
    }
}

void TestMainWindow::deleteKeyInTheTextEditor()
{
    const auto window = startWindow();
    auto *editor = child<QPlainTextEdit>(*window, "memCurString");
    editor->setFocus();
    editor->setPlainText(QStringLiteral("abcd"));
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(1);
    editor->setTextCursor(cursor);
    QVERIFY(!action(*window, "actEditDelete")->isEnabled());
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->toPlainText(), QStringLiteral("acd"));
    cursor.setPosition(0);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    QVERIFY(action(*window, "actEditDelete")->isEnabled());
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->toPlainText(), QStringLiteral("d"));
    // Ctrl+A selects all, and Undo from the menu undoes the last change.
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(editor->textCursor().hasSelection());
    action(*window, "actEditUndo")->trigger();
    QCOMPARE(editor->toPlainText(), QStringLiteral("acd"));
}

void TestMainWindow::toolbarEditsTheFieldBeingTyped()
{
    const auto window = startWindow();
    auto *key = child<QLineEdit>(*window, "edtHashString");
    auto *bar = child<QToolBar>(*window, "tbrStandard");
    key->setFocus();
    QTest::keyClicks(key, QStringLiteral("hello"));
    key->setSelection(1, 3);
    QTest::mouseClick(bar->widgetForAction(action(*window, "actEditCopy")), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ell"));
    QCOMPARE(QApplication::focusWidget(), key);
    QTest::mouseClick(bar->widgetForAction(action(*window, "actEditCut")), Qt::LeftButton);
    QCOMPARE(key->text(), QStringLiteral("ho"));
    key->setCursorPosition(2);
    QTest::mouseClick(bar->widgetForAction(action(*window, "actEditPaste")), Qt::LeftButton);
    QCOMPARE(key->text(), QStringLiteral("hoell"));
    QCOMPARE(QApplication::focusWidget(), key);
}

void TestMainWindow::hintsInStatusBarAndTooltips()
{
    const auto window = startWindow();
    auto *bar = child<QToolBar>(*window, "tbrStandard");
    auto *panel = child<QLabel>(*window, "StatusPanel");
    QWidget *undo = bar->widgetForAction(action(*window, "actEditUndo"));
    QCOMPARE(undo->toolTip(), QStringLiteral("Undo (Ctrl+Z)"));
    QCOMPARE(bar->widgetForAction(action(*window, "actFileSave"))->toolTip(), QStringLiteral("Save"));
    QTest::mouseMove(undo);
    QTRY_COMPARE(panel->text(), QStringLiteral("Revert the last action"));
    auto *list = child<StringListView>(*window, "lstStrings");
    QTest::mouseMove(list->viewport());
    QTRY_COMPARE(panel->text(), QString());
    QTest::mouseMove(child<QPushButton>(*window, "btnHash"));
    QTRY_COMPARE(panel->text(), QStringLiteral("Calculate a hash value for a given key string"));
}

void TestMainWindow::menuHighlightShowsItsHint()
{
    const QString path = m_dir.filePath(QStringLiteral("menu.eng"));
    writeStringsFile(path, {QStringLiteral("one")});
    const auto window = startWindow({path});
    auto *list = child<StringListView>(*window, "lstStrings");
    list->selectItemIndex(0);
    auto *bar = child<QMenuBar>(*window, "tbrMenu");
    QMenu *strings = child<QMenu>(*window, "mnuStrings");
    bar->setActiveAction(strings->menuAction());
    QTRY_VERIFY(strings->isVisible());
    strings->setActiveAction(action(*window, "actStringsMove"));
    QCOMPARE(child<QLabel>(*window, "StatusPanel")->text(), QStringLiteral("Change string index"));
    strings->close();
}

void TestMainWindow::barsKeepTheirFonts()
{
    const auto window = startWindow();
    const QFont menuFont = child<QMenuBar>(*window, "tbrMenu")->font();
    const QFont toolFont = child<QToolBar>(*window, "tbrStandard")->font();
    const QFont statusFont = child<QStatusBar>(*window, "StatusBar")->font();
    QCOMPARE(menuFont.pointSize(), 8);
    QFont chosen(QStringLiteral("DejaVu Serif"), 15);
    chosen.setBold(true);
    chosen.setItalic(true);
    window->setFont(chosen);
    for (const char *name : {"lstStrings", "memCurString", "edtHashString", "btnHash", "edtHashValue", "Label1",
                             "lblHashString"}) {
        const QFont font = child<QWidget>(*window, name)->font();
        QCOMPARE(font.pointSize(), 15);
        QVERIFY(font.italic());
    }
    QCOMPARE(child<QMenuBar>(*window, "tbrMenu")->font(), menuFont);
    QCOMPARE(child<QToolBar>(*window, "tbrStandard")->font(), toolFont);
    QCOMPARE(child<QStatusBar>(*window, "StatusBar")->font(), statusFont);
    QVERIFY(!child<QMenuBar>(*window, "tbrMenu")->font().italic());
}

void TestMainWindow::aboutWindow()
{
    const auto window = startWindow();
    QFont chosen(QStringLiteral("DejaVu Serif"), 13);
    window->setFont(chosen);
    QStringList texts;
    QFont aboutFont;
    bool openAfterEsc = false;
    QPointer<QWidget> first;
    bool isTheGlobalWindow = false;
    QString title;
    QSize commentSize;
    QString focused;
    bool activated = false;
    onNextModal([&](QWidget *modal) {
        first = modal;
        isTheGlobalWindow = modal == frmAboutBox;
        title = modal->windowTitle();
        for (const char *name : {"lblProductName", "lblVersion", "lblComments"})
            texts << modal->findChild<QLabel *>(QString::fromLatin1(name))->text();
        aboutFont = modal->findChild<QLabel *>(QStringLiteral("lblComments"))->font();
        commentSize = modal->findChild<QLabel *>(QStringLiteral("lblComments"))->size();
        activated = QTest::qWaitForWindowActive(modal);
        focused = modal->focusWidget() ? modal->focusWidget()->objectName() : QString();
        QTest::keyClick(modal, Qt::Key_Escape);
        openAfterEsc = modal->isVisible();
        QTest::keyClick(modal, Qt::Key_Return);
    });
    action(*window, "actHelpAbout")->trigger();
    QCOMPARE(texts, (QStringList{QStringLiteral("Zelk Strings Editor"), QStringLiteral("Version: 3.0"),
                                 QStringLiteral("This software is provided without any warranties. Use at your own risk.")}));
    QVERIFY(isTheGlobalWindow);
    QCOMPARE(title, QStringLiteral("About"));
    QVERIFY(commentSize.width() >= 265 && commentSize.height() >= 52);
    QVERIFY(activated);
    QCOMPARE(focused, QStringLiteral("OKButton"));
    QCOMPARE(aboutFont.family(), chosen.family());
    QCOMPARE(aboutFont.pointSize(), 13);
    QVERIFY(openAfterEsc);
    QVERIFY(!frmAboutBox);
    QVERIFY(first.isNull());

    // A second opening is a new window with the font chosen in between.
    window->setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    int size = 0;
    onNextModal([&](QWidget *modal) {
        size = modal->font().pointSize();
        QTest::mouseClick(modal->findChild<QWidget *>(QStringLiteral("OKButton")), Qt::LeftButton);
    });
    action(*window, "actHelpAbout")->trigger();
    QCOMPARE(size, 11);
}

void TestMainWindow::aboutCentredOnTheWindow_data()
{
    QTest::addColumn<int>("pointSize");
    for (const int size : {8, 13, 17, 24, 32})
        QTest::addRow("%d points", size) << size;
}

// However much the window grows for its font, it opens centred on the main
// window.
void TestMainWindow::aboutCentredOnTheWindow()
{
    QFETCH(int, pointSize);
    const auto window = startWindow();
    // Room on the screen (a wide one, for this test) for the widest About.
    window->move(900, 500);
    window->setFont(QFont(QStringLiteral("DejaVu Sans"), pointSize));
    QPoint centre;
    QSize size;
    onNextModal([&](QWidget *modal) {
        QVERIFY(QTest::qWaitForWindowExposed(modal));
        centre = modal->frameGeometry().center();
        size = modal->size();
        QTest::keyClick(modal, Qt::Key_Return);
    });
    action(*window, "actHelpAbout")->trigger();
    QVERIFY(size.width() >= 298);
    QVERIFY2((centre - window->frameGeometry().center()).manhattanLength() <= 1,
             qPrintable(QStringLiteral("%1,%2 against %3,%4").arg(centre.x()).arg(centre.y())
                            .arg(window->frameGeometry().center().x()).arg(window->frameGeometry().center().y())));
}

void TestMainWindow::splashAroundEveryLoad()
{
    const QString good = m_dir.filePath(QStringLiteral("good.eng"));
    writeStringsFile(good, {QStringLiteral("a")});
    const QString bad = m_dir.filePath(QStringLiteral("bad.eng"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\x01");
    file.close();
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();

    SplashWatcher atStart;
    auto window = startWindow({good});
    QCOMPARE(atStart.shown, 1);
    QVERIFY(atStart.painted >= 1);
    QCOMPARE(atStart.caption, QStringLiteral("Vantrel is loading. Please, wait..."));
    QVERIFY(atStart.stayOnTop);
    QVERIFY((atStart.centre - screenCentre).manhattanLength() <= 2);

    // Later loads of a run that started with a file are centred on the screen too.
    window->move(10, 10);
    SplashWatcher later;
    answerFileDialog(bad);
    answerBox(QMessageBox::Ok);
    action(*window, "actFileOpen")->trigger();
    QCOMPARE(later.shown, 1);
    QVERIFY((later.centre - screenCentre).manhattanLength() <= 2);
    QVERIFY(!frmSplash);
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // Without a file on the command line, over the main window.
    window = startWindow();
    window->move(5, 5);
    SplashWatcher overWindow;
    answerFileDialog(good);
    action(*window, "actFileOpen")->trigger();
    QCOMPARE(overWindow.shown, 1);
    QVERIFY((overWindow.centre - window->frameGeometry().center()).manhattanLength() <= 2);
    QCOMPARE(window->fileName(), good);
}

ZELK_GUI_TEST_MAIN(TestMainWindow)
#include "tst_uVantrel.moc"
