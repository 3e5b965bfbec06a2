#include "GuiTest.h"
#include "MessageBoxes.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

using namespace GuiTest;

namespace {

QStringList textsOf(const TZelkStrings &table)
{
    QStringList texts;
    for (quint32 i = 0; i < table.EntryCount(); ++i)
        texts << table.GetEntry(i);
    return texts;
}

QStringList numbered(int count)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << QStringLiteral("s%1").arg(i);
    return texts;
}

// What an input dialog looked like when it opened.
struct InputSeen
{
    QString title;
    QString prompt;
    QString text;
    int maxLength = 0;
    bool promptLeftOfField = false;
    bool okIsDefault = false;
    bool seen = false;
};

void noteAndType(InputSeen *seen, const QString &text)
{
    onNextModal([=](QWidget *modal) {
        auto *field = modal->findChild<QLineEdit *>(QStringLiteral("edtValue"));
        auto *prompt = modal->findChild<QLabel *>(QStringLiteral("lblPrompt"));
        auto *ok = modal->findChild<QPushButton *>(QStringLiteral("btnOK"));
        seen->seen = true;
        seen->title = modal->windowTitle();
        seen->prompt = prompt->text();
        seen->text = field->text();
        seen->maxLength = field->maxLength();
        seen->promptLeftOfField = prompt->geometry().right() < field->geometry().left()
            && qAbs(prompt->geometry().center().y() - field->geometry().center().y()) < 4;
        seen->okIsDefault = ok->isDefault();
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
    });
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void typingWithoutACurrentStringChangesNothing();
    void clickShowsAndTypingStoresTheString();
    void selectionCases();
    void deselectedRowKeepsItsStringEditable();
    void numberEdit_data();
    void numberEdit();
    void lineBreaksInTheTextEditor();
    void pasteAndUndoAreEdits();
    void focusedEditorWritesBackOnSelection();
    void placeholderTextsNeverReachTheTable();
    void hashCommand_data();
    void hashCommand();
    void hashWithSeveralRowsOnlyFillsTheEdit();
    void addAppendsAndSelects();
    void addWithSeveralRowsSelected();
    void addCancelledChangesNothing();
    void deleteScatteredRows();
    void deleteAnsweredNo();
    void deleteEveryRow();
    void deleteTheLastRows();
    void moveReadsTheIndex_data();
    void moveReadsTheIndex();
    void moveToTheSameIndexRebuilds();
    void moveSelectsTheRowPosition();
    void moveWithoutCurrentStringAsksNothing();

private:
    std::unique_ptr<TfrmVantrel> startWith(const QStringList &texts, const QList<quint32> &numbers = {});
    void click(int row, Qt::KeyboardModifiers modifiers = {});
    QString cell(int row, int column) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    TfrmVantrel *m_window = nullptr;
    StringListView *m_list = nullptr;
    QPlainTextEdit *m_editor = nullptr;
    QLineEdit *m_number = nullptr;
};

void TestEditing::initTestCase()
{
    quietPlatformWarnings();
}

void TestEditing::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QGuiApplication::clipboard()->clear();
}

void TestEditing::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
}

std::unique_ptr<TfrmVantrel> TestEditing::startWith(const QStringList &texts, const QList<quint32> &numbers)
{
    const QString path = m_dir->filePath(QStringLiteral("lang.eng"));
    writeStringsFile(path, texts, numbers);
    auto window = startWindow({path});
    m_window = window.get();
    m_list = child<StringListView>(*window, "lstStrings");
    m_editor = child<QPlainTextEdit>(*window, "memCurString");
    m_number = child<QLineEdit>(*window, "edtHashValue");
    return window;
}

void TestEditing::click(int row, Qt::KeyboardModifiers modifiers)
{
    m_list->scrollRowIntoView(row);
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, modifiers,
                      m_list->visualRect(m_list->model()->index(row, 0)).center());
}

QString TestEditing::cell(int row, int column) const
{
    return m_list->model()->index(row, column).data().toString();
}

void TestEditing::typingWithoutACurrentStringChangesNothing()
{
    const auto window = startWith({QStringLiteral("a"), QStringLiteral("b")});
    m_editor->setFocus();
    QTest::keyClicks(m_editor, QStringLiteral("typed"));
    m_number->setFocus();
    QTest::keyClicks(m_number, QStringLiteral("ff"));
    QCOMPARE(textsOf(window->table()), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(window->table().GetNumber(0), 0u);
    QVERIFY(!window->isModified());
    QCOMPARE(window->currentIndex(), -1);
}

void TestEditing::clickShowsAndTypingStoresTheString()
{
    const auto window = startWith({QStringLiteral("Yes"), QStringLiteral("No")}, {0x12345678, 0xABC});
    click(1);
    QCOMPARE(window->currentIndex(), 1);
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("No"));
    QCOMPARE(m_number->text(), QStringLiteral("00000ABC"));
    QVERIFY(m_editor->isEnabled());
    QVERIFY(!action(*window, "actFileSave")->isEnabled());
    for (const char *name : {"actStringsDelete", "actStringsMove", "actStringsHash"})
        QVERIFY2(action(*window, name)->isEnabled(), name);

    m_editor->setFocus();
    m_editor->moveCursor(QTextCursor::End);
    QTest::keyClick(m_editor, Qt::Key_W);
    QCOMPARE(window->table().GetEntry(1), QStringLiteral("Now"));
    QCOMPARE(cell(1, 2), QStringLiteral("Now"));
    QVERIFY(window->isModified());
    QVERIFY(action(*window, "actFileSave")->isEnabled());
    QTest::keyClick(m_editor, Qt::Key_Return);
    QTest::keyClick(m_editor, Qt::Key_X);
    QCOMPARE(window->table().GetEntry(1), QStringLiteral("Now\r\nx"));
}

void TestEditing::selectionCases()
{
    const auto window = startWith({QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two")}, {5, 6, 7});
    click(0);
    click(2, Qt::ControlModifier);
    QCOMPARE(window->currentIndex(), -1);
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("Multiple strings selected"));
    QVERIFY(!m_editor->isEnabled());
    QCOMPARE(m_number->text(), QString());
    QVERIFY(!m_number->isEnabled());
    QVERIFY(action(*window, "actStringsDelete")->isEnabled());
    QVERIFY(!action(*window, "actStringsMove")->isEnabled());

    // Narrowed to one row, the panel stays as it was.
    click(0, Qt::ControlModifier);
    QCOMPARE(m_list->selectedRowCount(), 1);
    QCOMPARE(window->currentIndex(), -1);
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("Multiple strings selected"));
    QVERIFY(action(*window, "actStringsMove")->isEnabled());

    // A range selected with Shift.
    click(0);
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("zero"));
    click(2, Qt::ShiftModifier);
    QCOMPARE(m_list->selectedRowCount(), 3);
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("Multiple strings selected"));
    QCOMPARE(textsOf(window->table()), (QStringList{QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two")}));
}

void TestEditing::deselectedRowKeepsItsStringEditable()
{
    const auto window = startWith({QStringLiteral("a"), QStringLiteral("b")});
    click(1);
    click(1, Qt::ControlModifier);
    QCOMPARE(m_list->selectedRowCount(), 0);
    QCOMPARE(window->currentIndex(), 1);
    QVERIFY(m_editor->isEnabled());
    QVERIFY(!action(*window, "actStringsHash")->isEnabled());
    m_editor->setFocus();
    m_editor->moveCursor(QTextCursor::End);
    QTest::keyClick(m_editor, Qt::Key_Z);
    QCOMPARE(window->table().GetEntry(1), QStringLiteral("bz"));
    QVERIFY(window->isModified());
    // No row is selected, so the row still shows the old text, even when
    // selected again.
    QCOMPARE(cell(1, 2), QStringLiteral("b"));
    m_list->setFocus();
    click(1);
    QCOMPARE(cell(1, 2), QStringLiteral("b"));
}

void TestEditing::numberEdit_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<quint32>("number");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ff") << QStringLiteral("ff") << 0xFFu << QStringLiteral("ff");
    QTest::newRow("eight digits") << QStringLiteral("FFFFFFFF") << 0xFFFFFFFFu << QStringLiteral("FFFFFFFF");
    QTest::newRow("a ninth digit is refused") << QStringLiteral("123456789") << 0x12345678u << QStringLiteral("12345678");
    QTest::newRow("blank between digits") << QStringLiteral("1 2") << 0x1u << QStringLiteral("1 2");
    QTest::newRow("minus sign") << QStringLiteral("-1") << 0x42u << QStringLiteral("-1");
    QTest::newRow("empty") << QString() << 0x42u << QString();
}

void TestEditing::numberEdit()
{
    QFETCH(QString, typed);
    QFETCH(quint32, number);
    QFETCH(QString, shown);
    const auto window = startWith({QStringLiteral("a")}, {0x42});
    click(0);
    m_number->setFocus();
    m_number->selectAll();
    QTest::keyClick(m_number, Qt::Key_Backspace);
    QTest::keyClicks(m_number, typed);
    QCOMPARE(m_number->text(), shown);
    QCOMPARE(window->table().GetNumber(0), number);
    QCOMPARE(cell(0, 1), formatNumber(number));
}

void TestEditing::lineBreaksInTheTextEditor()
{
    const auto window = startWith({QStringLiteral("one\ntwo\nthree"), QStringLiteral("x")});
    click(0);
    QCOMPARE(m_editor->document()->blockCount(), 3);
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("one\ntwo\nthree"));
    QVERIFY(!window->isModified());
    m_editor->setFocus();
    m_editor->moveCursor(QTextCursor::End);
    QTest::keyClick(m_editor, Qt::Key_Exclam);
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("one\r\ntwo\r\nthree!"));
    // A no-break space stays what it is.
    QTest::keyClicks(m_editor, QString(QChar(0xA0)));
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("one\r\ntwo\r\nthree!") + QChar(0xA0));
}

void TestEditing::pasteAndUndoAreEdits()
{
    const auto window = startWith({QStringLiteral("base")});
    click(0);
    m_editor->setFocus();
    m_editor->moveCursor(QTextCursor::End);
    QGuiApplication::clipboard()->setText(QStringLiteral("+pasted"));
    action(*window, "actEditPaste")->trigger();
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("base+pasted"));
    QCOMPARE(cell(0, 2), QStringLiteral("base+pasted"));
    action(*window, "actEditUndo")->trigger();
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("base"));

    // Cut from the toolbar while the number edit has the focus.
    m_number->setFocus();
    m_number->setSelection(0, 7);
    action(*window, "actEditCut")->trigger();
    QCOMPARE(m_number->text(), QStringLiteral("0"));
    QCOMPARE(window->table().GetNumber(0), 0u);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0000000"));
}

// With the text editor as the window's focused control, a row that a command
// selects is written back with CR LF line breaks; a text equal to the one
// shown stores nothing.
void TestEditing::focusedEditorWritesBackOnSelection()
{
    const auto window = startWith({QStringLiteral("first"), QStringLiteral("a\nb"), QStringLiteral("a\nb"),
                                   QStringLiteral("last")});
    click(0);
    m_editor->setFocus();
    QCOMPARE(m_editor->property("Tag").toInt(), 1);
    QVERIFY(!window->isModified());
    answerBox(QMessageBox::Yes);
    action(*window, "actStringsDelete")->trigger();
    QCOMPARE(m_list->firstSelectedRow(), 0);
    // The text shown goes back unedited, so it stays exactly as it was.
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("a\nb"));
    QCOMPARE(cell(0, 2), QStringLiteral("a\nb"));
    // Find selects the next row, whose text is the one shown: putting it in
    // stores nothing. The find dialog taking the focus leaves the flag at 1.
    auto *find = child<QDialog>(*window, "dlgFind");
    action(*window, "actEditFind")->trigger();
    child<QLineEdit>(*find, "edtFindText")->setText(QStringLiteral("a"));
    QTest::mouseClick(child<QPushButton>(*find, "btnFindNext"), Qt::LeftButton);
    QCOMPARE(m_list->selectedRows(), std::vector<int>{1});
    QCOMPARE(m_editor->property("Tag").toInt(), 1);
    QCOMPARE(window->table().GetEntry(1), QStringLiteral("a\nb"));
    find->close();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(m_editor->property("Tag").toInt(), 1);
    m_list->setFocus();
    QCOMPARE(m_editor->property("Tag").toInt(), 0);
}

void TestEditing::placeholderTextsNeverReachTheTable()
{
    const auto window = startWith({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {1, 2, 3});
    click(1);
    m_editor->setFocus();
    click(2, Qt::ShiftModifier);
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("Multiple strings selected"));
    m_number->setFocus();
    click(0, Qt::ShiftModifier);
    QCOMPARE(textsOf(window->table()), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    QCOMPARE(window->table().GetNumber(1), 2u);
    QCOMPARE(window->table().GetNumber(2), 3u);
    QVERIFY(!window->isModified());
}

void TestEditing::hashCommand_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<bool>("throughButton");
    QTest::newRow("empty key, button") << QString() << QStringLiteral("FFFFFFFF") << true;
    QTest::newRow("abc, menu") << QStringLiteral("abc") << QStringLiteral("000090E5") << false;
    QTest::newRow("ABC, button") << QStringLiteral("ABC") << QStringLiteral("000090E5") << true;
    QTest::newRow("e acute") << QString(QChar(0xE9)) << formatNumber(0xFFFFFFFFu * 33u + 0xE9u) << true;
    QTest::newRow("E acute") << QString(QChar(0xC9)) << formatNumber(0xFFFFFFFFu * 33u + 0xC9u) << true;
}

void TestEditing::hashCommand()
{
    QFETCH(QString, key);
    QFETCH(QString, digits);
    QFETCH(bool, throughButton);
    const auto window = startWith({QStringLiteral("a"), QStringLiteral("b")}, {1, 2});
    click(1);
    child<QLineEdit>(*window, "edtHashString")->setText(key);
    if (throughButton) {
        QTest::mouseClick(child<QPushButton>(*window, "btnHash"), Qt::LeftButton);
    } else {
        QAction *entry = child<QMenu>(*window, "mnuStrings")->actions().last();
        QCOMPARE(entry->text(), QStringLiteral("&Hash"));
        entry->trigger();
    }
    QCOMPARE(m_number->text(), digits);
    QCOMPARE(window->table().GetNumber(1), digits.toUInt(nullptr, 16));
    QCOMPARE(cell(1, 1), digits);
    QVERIFY(window->isModified());
    QCOMPARE(window->table().GetNumber(0), 1u);
}

void TestEditing::hashWithSeveralRowsOnlyFillsTheEdit()
{
    const auto window = startWith({QStringLiteral("a"), QStringLiteral("b")}, {1, 2});
    click(0);
    click(1, Qt::ControlModifier);
    click(0, Qt::ControlModifier);
    QVERIFY(action(*window, "actStringsHash")->isEnabled());
    child<QLineEdit>(*window, "edtHashString")->setText(QStringLiteral("abc"));
    action(*window, "actStringsHash")->trigger();
    QCOMPARE(m_number->text(), QStringLiteral("000090E5"));
    QVERIFY(!m_number->isEnabled());
    QCOMPARE(window->table().GetNumber(0), 1u);
    QCOMPARE(window->table().GetNumber(1), 2u);
    QVERIFY(!window->isModified());
}

void TestEditing::addAppendsAndSelects()
{
    const auto window = startWith(numbered(3));
    InputSeen input;
    noteAndType(&input, QString());
    action(*window, "actStringsAdd")->trigger();
    QCOMPARE(input.title, QStringLiteral("Add String"));
    QCOMPARE(input.prompt, QStringLiteral("Enter a text"));
    QCOMPARE(input.text, QString());
    QCOMPARE(input.maxLength, 255);
    QVERIFY(input.promptLeftOfField);
    QVERIFY(input.okIsDefault);
    QCOMPARE(window->table().EntryCount(), 4u);
    QCOMPARE(window->table().GetEntry(3), QString());
    QCOMPARE(window->table().GetNumber(3), 0u);
    QCOMPARE(cell(3, 0), QStringLiteral("3"));
    QCOMPARE(cell(3, 1), QStringLiteral("00000000"));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{3});
    QCOMPARE(window->currentIndex(), 3);
    QVERIFY(window->isModified());
}

void TestEditing::addWithSeveralRowsSelected()
{
    const auto window = startWith(numbered(3), {7, 8, 9});
    click(0);
    click(2, Qt::ShiftModifier);
    answerInput(QStringLiteral("new one"));
    action(*window, "actStringsAdd")->trigger();
    QCOMPARE(m_list->selectedRows(), std::vector<int>{3});
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("new one"));
    QVERIFY(m_editor->isEnabled());
    QCOMPARE(m_number->text(), QStringLiteral("00000000"));
    QCOMPARE(window->currentIndex(), 3);
}

void TestEditing::addCancelledChangesNothing()
{
    const auto window = startWith(numbered(2));
    onNextModal([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    action(*window, "actStringsAdd")->trigger();
    QCOMPARE(window->table().EntryCount(), 2u);
    QVERIFY(!window->isModified());
}

void TestEditing::deleteScatteredRows()
{
    const auto window = startWith(numbered(8));
    click(2);
    click(5, Qt::ControlModifier);
    BoxSeen box;
    answerBox(QMessageBox::Yes, &box);
    action(*window, "actStringsDelete")->trigger();
    QCOMPARE(box.title, QStringLiteral("Confirm"));
    QCOMPARE(box.text, QStringLiteral("Are you sure you want to delete the selected strings?"));
    QCOMPARE(box.icon, int(QMessageBox::Question));
    QCOMPARE(box.defaultButton, int(QMessageBox::Yes));
    QCOMPARE(textsOf(window->table()), (QStringList{"s0", "s1", "s3", "s4", "s6", "s7"}));
    QCOMPARE(cell(4, 0), QStringLiteral("4"));
    QCOMPARE(cell(4, 2), QStringLiteral("s6"));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{2});
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("s3"));
    QVERIFY(window->isModified());
}

void TestEditing::deleteAnsweredNo()
{
    const auto window = startWith(numbered(4));
    click(1);
    onNextModal([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    action(*window, "actStringsDelete")->trigger();
    QCOMPARE(window->table().EntryCount(), 4u);
    QCOMPARE(m_list->selectedRows(), std::vector<int>{1});
    QVERIFY(!window->isModified());
}

void TestEditing::deleteEveryRow()
{
    const auto window = startWith(numbered(3));
    click(0);
    click(2, Qt::ShiftModifier);
    answerBox(QMessageBox::Yes);
    action(*window, "actStringsDelete")->trigger();
    QCOMPARE(m_list->model()->rowCount(), 0);
    QCOMPARE(window->table().EntryCount(), 0u);
    QCOMPARE(m_list->selectedRowCount(), 0);
    QCOMPARE(m_editor->toPlainText(), QString());
    QVERIFY(window->isModified());
    QVERIFY(action(*window, "actFileSave")->isEnabled());
    for (const char *name : {"actStringsDelete", "actStringsMove", "actStringsHash"})
        QVERIFY2(!action(*window, name)->isEnabled(), name);
}

void TestEditing::deleteTheLastRows()
{
    const auto window = startWith(numbered(5));
    click(3);
    click(4, Qt::ShiftModifier);
    answerBox(QMessageBox::Yes);
    action(*window, "actStringsDelete")->trigger();
    QCOMPARE(m_list->selectedRows(), std::vector<int>{2});
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("s2"));
}

void TestEditing::moveReadsTheIndex_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("newIndex");
    QTest::newRow("space before") << QStringLiteral(" 3") << 3;
    QTest::newRow("+3") << QStringLiteral("+3") << 3;
    QTest::newRow("$5") << QStringLiteral("$5") << 5;
    QTest::newRow("x5") << QStringLiteral("x5") << 5;
    QTest::newRow("0x5") << QStringLiteral("0x5") << 5;
    QTest::newRow("-1") << QStringLiteral("-1") << 0;
    QTest::newRow("1000000") << QStringLiteral("1000000") << 9;
    QTest::newRow("2147483647") << QStringLiteral("2147483647") << 9;
    QTest::newRow("space after") << QStringLiteral("3 ") << -1;
    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("3.0") << QStringLiteral("3.0") << -1;
    QTest::newRow("1e2") << QStringLiteral("1e2") << -1;
    QTest::newRow("2147483648") << QStringLiteral("2147483648") << -1;
    QTest::newRow("- 3") << QStringLiteral("- 3") << -1;
}

void TestEditing::moveReadsTheIndex()
{
    QFETCH(QString, typed);
    QFETCH(int, newIndex);
    const auto window = startWith(numbered(10));
    click(7);
    InputSeen input;
    noteAndType(&input, typed);
    BoxSeen error;
    if (newIndex < 0)
        answerBox(QMessageBox::Ok, &error);
    action(*window, "actStringsMove")->trigger();
    QCOMPARE(input.title, QStringLiteral("Move String"));
    QCOMPARE(input.prompt, QStringLiteral("Enter the new index"));
    QCOMPARE(input.text, QString());
    if (newIndex < 0) {
        QCOMPARE(error.title, QStringLiteral("Error"));
        QCOMPARE(error.text, QStringLiteral("The index must be an integer"));
        QCOMPARE(error.icon, int(QMessageBox::Critical));
        QCOMPARE(textsOf(window->table()), numbered(10));
        QVERIFY(!window->isModified());
        QCOMPARE(m_list->selectedRows(), std::vector<int>{7});
        return;
    }
    QCOMPARE(textsOf(window->table()).indexOf(QStringLiteral("s7")), newIndex);
    QVERIFY(window->isModified());
    QCOMPARE(m_list->selectedRows(), std::vector<int>{7});
    QCOMPARE(window->currentIndex(), 7);
}

void TestEditing::moveToTheSameIndexRebuilds()
{
    const auto window = startWith(numbered(10));
    click(5);
    answerInput(QStringLiteral("5"));
    action(*window, "actStringsMove")->trigger();
    QCOMPARE(textsOf(window->table()), numbered(10));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{5});
    QVERIFY(window->isModified());
}

void TestEditing::moveSelectsTheRowPosition()
{
    const auto window = startWith(numbered(10));
    click(5);
    answerInput(QStringLiteral("8"));
    action(*window, "actStringsMove")->trigger();
    QCOMPARE(textsOf(window->table()).mid(5, 4), (QStringList{"s6", "s7", "s8", "s5"}));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{5});
    QCOMPARE(window->currentIndex(), 5);
    QCOMPARE(m_editor->toPlainText(), QStringLiteral("s6"));
}

void TestEditing::moveWithoutCurrentStringAsksNothing()
{
    const auto window = startWith(numbered(4));
    click(0);
    click(1, Qt::ControlModifier);
    click(0, Qt::ControlModifier);
    QVERIFY(action(*window, "actStringsMove")->isEnabled());
    {
        const NoDialogExpected noDialog;
        action(*window, "actStringsMove")->trigger();
        QVERIFY(!noDialog.seen());
    }
    QCOMPARE(textsOf(window->table()), numbered(4));
    QVERIFY(!window->isModified());
}

ZELK_GUI_TEST_MAIN(TestEditing)
#include "tst_Editing.moc"
