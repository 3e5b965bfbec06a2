#include "GuiTest.h"
#include "MessageBoxes.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>

#include <algorithm>
#include <memory>

using namespace GuiTest;

class TestFindSort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void findDialogLooksAndRemembers();
    void findNextVisitsMatchesInTurn();
    void hitByKeyHashFillsTheKey();
    void matchCase_data();
    void matchCase();
    void startRowWithSeveralSelected_data();
    void startRowWithSeveralSelected();
    void withoutSelectionTheWholeListIsSearched_data();
    void withoutSelectionTheWholeListIsSearched();
    void emptySearchTextFindsOnlyTheEmptyKeyHash();
    void emptyListFindsNothing();
    void findFollowsTheSortedOrder();

    void columnClicksAlternate();
    void textOrderFoldsOnlyAsciiLetters();
    void sharedTextsSortStably();
    void sortKeepsSelectionAndPanel();
    void sortStateSurvivesRebuilds();
    void addAppendsToASortedList();
    void deleteAndMoveInASortedList();
    void gridLinesToggle();
    void fontDialog_data();
    void fontDialog();

private:
    std::unique_ptr<TfrmVantrel> startWith(const QStringList &texts, const QList<quint32> &numbers = {});
    void clickHeader(int column);
    QStringList column(int column) const;
    // Presses Find Next; a "Text not found" box is answered and reported.
    bool findNext(const QString &text, bool down = true, bool matchCase = false);

    std::unique_ptr<QTemporaryDir> m_dir;
    TfrmVantrel *m_window = nullptr;
    StringListView *m_list = nullptr;
    QDialog *m_find = nullptr;
};

void TestFindSort::initTestCase()
{
    quietPlatformWarnings();
}

void TestFindSort::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestFindSort::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
}

std::unique_ptr<TfrmVantrel> TestFindSort::startWith(const QStringList &texts, const QList<quint32> &numbers)
{
    // A file of its own for each window: a window notices when its file is
    // written over by another.
    static int files = 0;
    const QString path = m_dir->filePath(QStringLiteral("lang%1.eng").arg(++files));
    writeStringsFile(path, texts, numbers);
    auto window = startWindow({path});
    m_window = window.get();
    m_list = child<StringListView>(*window, "lstStrings");
    m_find = child<QDialog>(*window, "dlgFind");
    return window;
}

void TestFindSort::clickHeader(int column)
{
    QHeaderView *header = m_list->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

QStringList TestFindSort::column(int column) const
{
    QStringList cells;
    for (int row = 0; row < m_list->model()->rowCount(); ++row)
        cells << m_list->model()->index(row, column).data().toString();
    return cells;
}

bool TestFindSort::findNext(const QString &text, bool down, bool matchCase)
{
    action(*m_window, "actEditFind")->trigger();
    child<QLineEdit>(*m_find, "edtFindText")->setText(text);
    child<QRadioButton>(*m_find, down ? "rbDown" : "rbUp")->setChecked(true);
    child<QCheckBox>(*m_find, "chkMatchCase")->setChecked(matchCase);
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    QTest::mouseClick(child<QPushButton>(*m_find, "btnFindNext"), Qt::LeftButton);
    if (!box.seen) {
        clearAnswers();
        return true;
    }
    if (box.text != QLatin1String("Text not found") || box.title != MessageBoxes::applicationTitle())
        qWarning("unexpected box: %s", qPrintable(box.text));
    return false;
}

void TestFindSort::findDialogLooksAndRemembers()
{
    const auto window = startWith({QStringLiteral("a")});
    action(*window, "actEditFind")->trigger();
    QVERIFY(m_find->isVisible());
    QVERIFY(!m_find->isModal());
    QCOMPARE(m_find->windowTitle(), QStringLiteral("Find"));
    QCOMPARE(child<QLineEdit>(*m_find, "edtFindText")->maxLength(), 255);
    QCOMPARE(child<QCheckBox>(*m_find, "chkMatchCase")->text(), QStringLiteral("Match case"));
    QVERIFY(child<QRadioButton>(*m_find, "rbDown")->isChecked());
    QCOMPARE(child<QRadioButton>(*m_find, "rbUp")->text(), QStringLiteral("Up"));
    QVERIFY(child<QPushButton>(*m_find, "btnFindNext")->isDefault());
    QCOMPARE(child<QPushButton>(*m_find, "btnFindNext")->text(), QStringLiteral("Find Next"));
    QCOMPARE(child<QLabel>(*m_find, "lblFindWhat")->text(), QStringLiteral("Find what:"));

    child<QLineEdit>(*m_find, "edtFindText")->setText(QStringLiteral("kept"));
    child<QCheckBox>(*m_find, "chkMatchCase")->setChecked(true);
    child<QRadioButton>(*m_find, "rbUp")->setChecked(true);
    m_find->move(m_find->pos() + QPoint(37, 23));
    const QPoint moved = m_find->pos();
    QTest::mouseClick(child<QPushButton>(*m_find, "btnCancel"), Qt::LeftButton);
    QVERIFY(!m_find->isVisible());
    action(*window, "actEditFind")->trigger();
    QVERIFY(m_find->isVisible());
    QCOMPARE(m_find->pos(), moved);
    QCOMPARE(child<QLineEdit>(*m_find, "edtFindText")->text(), QStringLiteral("kept"));
    QVERIFY(child<QCheckBox>(*m_find, "chkMatchCase")->isChecked());
    QVERIFY(child<QRadioButton>(*m_find, "rbUp")->isChecked());
    // Find while it is open brings it to the front.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    action(*window, "actEditFind")->trigger();
    QVERIFY(QTest::qWaitForWindowActive(m_find));
    m_find->close();
}

void TestFindSort::findNextVisitsMatchesInTurn()
{
    const auto window = startWith({QStringLiteral("apple"), QStringLiteral("pear"), QStringLiteral("pineapple"),
                                   QStringLiteral("plum"), QStringLiteral("Apple pie")});
    QList<int> visited;
    while (findNext(QStringLiteral("apple")))
        visited << m_list->firstSelectedRow();
    QCOMPARE(visited, (QList<int>{0, 2, 4}));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{4});
    QCOMPARE(window->currentIndex(), 4);
    QVERIFY(m_find->isVisible());
    QVERIFY(action(*window, "actStringsMove")->isEnabled());
    m_find->close();
}

void TestFindSort::hitByKeyHashFillsTheKey()
{
    const quint32 key = TZelkStrings::HashKey("menu_title");
    const auto window = startWith({QStringLiteral("Start"), QStringLiteral("Main menu"), QStringLiteral("menu_title here")},
                                  {0, key, 0});
    auto *keyEdit = child<QLineEdit>(*window, "edtHashString");
    QVERIFY(findNext(QStringLiteral("menu_title")));
    QCOMPARE(m_list->firstSelectedRow(), 1);
    QCOMPARE(keyEdit->text(), QStringLiteral("menu_title"));
    QVERIFY(findNext(QStringLiteral("menu_title")));
    QCOMPARE(m_list->firstSelectedRow(), 2);
    QCOMPARE(keyEdit->text(), QString());
    m_find->close();
}

void TestFindSort::matchCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("found");
    QTest::newRow("abc finds ABC") << QStringLiteral("xABC") << QStringLiteral("abc") << false << true;
    QTest::newRow("abc finds aBc") << QStringLiteral("aBc") << QStringLiteral("abc") << false << true;
    QTest::newRow("match case: abc misses ABC") << QStringLiteral("ABC") << QStringLiteral("abc") << true << false;
    QTest::newRow("e acute is never folded") << QStringLiteral("caf") + QChar(0xC9) << QStringLiteral("caf") + QChar(0xE9)
                                             << false << false;
}

void TestFindSort::matchCase()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(bool, matchCase);
    QFETCH(bool, found);
    const auto window = startWith({QStringLiteral("first"), text});
    m_list->selectItemIndex(0);
    QCOMPARE(findNext(search, true, matchCase), found);
    QCOMPARE(m_list->selectedRows(), std::vector<int>{found ? 1 : 0});
    m_find->close();
}

void TestFindSort::startRowWithSeveralSelected_data()
{
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("hit");
    QTest::newRow("down starts at 4") << true << 4;
    QTest::newRow("up starts at 2") << false << 2;
}

void TestFindSort::startRowWithSeveralSelected()
{
    QFETCH(bool, down);
    QFETCH(int, hit);
    QStringList texts;
    for (int i = 0; i < 10; ++i)
        texts << QStringLiteral("match %1").arg(i);
    const auto window = startWith(texts);
    m_list->selectItemIndex(3);
    m_list->selectItemIndex(7);
    QVERIFY(findNext(QStringLiteral("match"), down));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{hit});
    QCOMPARE(window->currentIndex(), hit);
    m_find->close();
}

void TestFindSort::withoutSelectionTheWholeListIsSearched_data()
{
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("hit");
    QTest::newRow("down from the top, row 0 included") << true << 0;
    QTest::newRow("up from the bottom, last row included") << false << 3;
}

void TestFindSort::withoutSelectionTheWholeListIsSearched()
{
    QFETCH(bool, down);
    QFETCH(int, hit);
    const auto window = startWith({QStringLiteral("x0"), QStringLiteral("y"), QStringLiteral("y"), QStringLiteral("x3")});
    QVERIFY(findNext(QStringLiteral("x"), down));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{hit});
    m_find->close();
}

void TestFindSort::emptySearchTextFindsOnlyTheEmptyKeyHash()
{
    const auto window = startWith({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {1, 0xFFFFFFFF, 2});
    QVERIFY(findNext(QString()));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{1});
    QVERIFY(!findNext(QString()));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{1});
    m_find->close();
}

void TestFindSort::emptyListFindsNothing()
{
    const auto window = startWith({});
    QVERIFY(!findNext(QStringLiteral("a")));
    QVERIFY(!findNext(QStringLiteral("a"), false));
    // After Close the dialog still works on whatever rows the list has.
    action(*window, "actFileClose")->trigger();
    QVERIFY(!action(*window, "actEditFind")->isEnabled());
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    QTest::mouseClick(child<QPushButton>(*m_find, "btnFindNext"), Qt::LeftButton);
    QCOMPARE(box.text, QStringLiteral("Text not found"));
    m_find->close();
}

void TestFindSort::findFollowsTheSortedOrder()
{
    const auto window = startWith({QStringLiteral("b hit"), QStringLiteral("c hit"), QStringLiteral("a hit")});
    clickHeader(2);
    clickHeader(2);
    QCOMPARE(column(2), (QStringList{QStringLiteral("a hit"), QStringLiteral("b hit"), QStringLiteral("c hit")}));
    QList<int> indices;
    while (findNext(QStringLiteral("hit")))
        indices << window->currentIndex();
    QCOMPARE(indices, (QList<int>{2, 0, 1}));
    m_find->close();
}

void TestFindSort::columnClicksAlternate()
{
    const auto window = startWith({QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}, {30, 10, 20});
    clickHeader(0);
    QCOMPARE(column(0), (QStringList{"2", "1", "0"}));
    clickHeader(0);
    QCOMPARE(column(0), (QStringList{"0", "1", "2"}));
    QCOMPARE(m_list->property("Tag").toInt(), 0);
    clickHeader(2);
    QCOMPARE(column(2), (QStringList{"c", "b", "a"}));
    QCOMPARE(m_list->property("Tag").toInt(), 102);
    clickHeader(1);
    QCOMPARE(column(1), (QStringList{"0000000A", "00000014", "0000001E"}));
    QCOMPARE(m_list->property("Tag").toInt(), 1);
    // The table itself never changes.
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("b"));
    QVERIFY(!window->isModified());
}

void TestFindSort::textOrderFoldsOnlyAsciiLetters()
{
    const auto window = startWith({QStringLiteral("_x"), QStringLiteral("abc"), QString(), QStringLiteral("ab"),
                                   QStringLiteral("Zed"), QStringLiteral("b"), QString(QChar(0xE9))});
    clickHeader(2);
    clickHeader(2);
    QCOMPARE(column(2), (QStringList{QString(), QStringLiteral("ab"), QStringLiteral("abc"), QStringLiteral("b"),
                                     QStringLiteral("Zed"), QStringLiteral("_x"), QString(QChar(0xE9))}));
    // Numbers sort by their unsigned value.
    const auto numbers = startWith({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
                                   {0xFFFFFFFF, 0x7FFFFFFF, 0x80000000});
    clickHeader(1);
    clickHeader(1);
    QCOMPARE(column(1), (QStringList{"7FFFFFFF", "80000000", "FFFFFFFF"}));
}

// Entries may share one string: a long shared text costs nothing to sort
// (comparing it with itself letter by letter took minutes), and its rows keep
// their order both ways.
void TestFindSort::sharedTextsSortStably()
{
    const int count = 50000;
    std::vector<int> stringOf(count);
    for (int i = 0; i < count; ++i)
        stringOf[size_t(i)] = i % 100 == 0 ? 1 + (i / 100) % 3 : 0;
    const QString path = m_dir->filePath(QStringLiteral("shared.eng"));
    writeBytes(path, sharedStringsImage({QByteArray(500000, 'm'), "a", "z", "M"}, stringOf));
    const auto window = startWindow({path});
    m_list = child<StringListView>(*window, "lstStrings");
    for (const bool descending : {true, false}) {
        clickHeader(2);
        QStringList shared;
        QStringList order;
        for (int row = 0; row < count; ++row) {
            const quint32 index = m_list->model()->index(row, 0).data().toUInt();
            const int string = stringOf[index];
            if (order.isEmpty() || order.last() != QString::number(string))
                order << QString::number(string);
            if (string == 0)
                shared << QString::number(index);
        }
        QCOMPARE(order, descending ? (QStringList{"2", "0", "3", "1"}) : (QStringList{"1", "3", "0", "2"}));
        QStringList ascending = shared;
        std::sort(ascending.begin(), ascending.end(), [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
        QCOMPARE(shared, ascending);
    }
}

void TestFindSort::sortKeepsSelectionAndPanel()
{
    const auto window = startWith({QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")});
    auto *editor = child<QPlainTextEdit>(*window, "memCurString");
    m_list->selectItemIndex(0);
    editor->setFocus();
    QVERIFY(!window->isModified());
    clickHeader(2);
    QCOMPARE(column(2), (QStringList{"c", "b", "a"}));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{1});
    QCOMPARE(window->currentIndex(), 0);
    QCOMPARE(editor->toPlainText(), QStringLiteral("b"));
    QVERIFY(!window->isModified());
}

void TestFindSort::sortStateSurvivesRebuilds()
{
    const auto window = startWith({QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("d")});
    clickHeader(2);
    m_list->selectItemIndex(0);
    answerBox(QMessageBox::Yes);
    action(*window, "actStringsDelete")->trigger();
    QCOMPARE(column(0), (QStringList{"0", "1", "2"}));
    QCOMPARE(m_list->property("Tag").toInt(), 102);
    clickHeader(2);
    QCOMPARE(column(2), (QStringList{"a", "b", "c"}));
}

void TestFindSort::addAppendsToASortedList()
{
    const auto window = startWith({QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")});
    clickHeader(2);
    answerInput(QStringLiteral("aaa"));
    action(*window, "actStringsAdd")->trigger();
    QCOMPARE(column(2), (QStringList{"c", "b", "a", "aaa"}));
    QCOMPARE(column(0).last(), QStringLiteral("3"));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{3});
}

void TestFindSort::deleteAndMoveInASortedList()
{
    const auto window = startWith({QStringLiteral("b"), QStringLiteral("d"), QStringLiteral("a"), QStringLiteral("c")});
    clickHeader(2);
    QCOMPARE(column(2), (QStringList{"d", "c", "b", "a"}));
    m_list->selectItemIndex(1);
    m_list->selectItemIndex(2);
    answerBox(QMessageBox::Yes);
    action(*window, "actStringsDelete")->trigger();
    QCOMPARE(column(2), (QStringList{"d", "a"}));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{1});

    clickHeader(2);
    QCOMPARE(column(2), (QStringList{"a", "d"}));
    m_list->deselectAll();
    m_list->selectItemIndex(1);
    QCOMPARE(window->currentIndex(), 0);
    answerInput(QStringLiteral("1"));
    action(*window, "actStringsMove")->trigger();
    QCOMPARE(column(2), (QStringList{"a", "d"}));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{1});
    QCOMPARE(window->currentIndex(), 1);
}

void TestFindSort::gridLinesToggle()
{
    const auto window = startWith({QStringLiteral("a")});
    QAction *grid = action(*window, "actViewGridLines");
    QVERIFY(!m_list->showGrid());
    grid->trigger();
    QVERIFY(grid->isChecked());
    QVERIFY(m_list->showGrid());
    grid->trigger();
    QVERIFY(!grid->isChecked());
    QVERIFY(!m_list->showGrid());
}

namespace {

QFont installedBoldFont(int pointSize)
{
    for (const QString &family : QFontDatabase::families()) {
        for (const QString &style : QFontDatabase::styles(family)) {
            if (QFontDatabase::weight(family, style) >= QFont::Bold && !QFontDatabase::italic(family, style))
                return QFontDatabase::font(family, style, pointSize);
        }
    }
    return QFont();
}

} // namespace

void TestFindSort::fontDialog_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("choose");
    QTest::newRow("cancelled") << false << true;
    QTest::newRow("confirmed") << true << true;
    QTest::newRow("confirmed untouched") << true << false;
}

void TestFindSort::fontDialog()
{
    QFETCH(bool, confirm);
    QFETCH(bool, choose);
    const auto window = startWith({QStringLiteral("a")});
    const QFont before = window->font();
    const QFont menuFont = child<QMenuBar>(*window, "tbrMenu")->font();
    const QFont statusFont = child<QStatusBar>(*window, "StatusBar")->font();
    // A bold face from the fonts this machine has, so that the choice is one
    // the dialog can show and hand back unchanged.
    const QFont chosen = installedBoldFont(14);
    QVERIFY2(chosen.bold(), "no bold face is installed");
    QFont proposed;
    bool nativeDialog = true;
    onNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFontDialog *>(modal);
        proposed = dialog->currentFont();
        nativeDialog = !dialog->testOption(QFontDialog::DontUseNativeDialog);
        if (choose)
            dialog->setCurrentFont(chosen);
        if (confirm)
            dialog->accept();
        else
            dialog->reject();
    });
    action(*window, "actViewFont")->trigger();
    QVERIFY(!nativeDialog);
    QCOMPARE(proposed.family(), QFontInfo(before).family());
    QCOMPARE(proposed.pointSize(), before.pointSize());
    const QFont listFont = m_list->font();
    const QFont editorFont = child<QPlainTextEdit>(*window, "memCurString")->font();
    if (!choose) {
        // What the dialog proposed, confirmed: the font exactly as it was.
        const QFontInfo used(listFont);
        const QFontInfo usedBefore(before);
        QCOMPARE(used.family(), usedBefore.family());
        QCOMPARE(used.italic(), usedBefore.italic());
        QCOMPARE(used.weight(), usedBefore.weight());
        QCOMPARE(used.pointSize(), usedBefore.pointSize());
    } else if (confirm) {
        QCOMPARE(listFont.pointSize(), 14);
        QCOMPARE(QFontInfo(listFont).family(), QFontInfo(chosen).family());
        QVERIFY(listFont.bold());
        QCOMPARE(editorFont.pointSize(), 14);
    } else {
        QCOMPARE(window->font(), before);
        QCOMPARE(listFont.pointSize(), before.pointSize());
    }
    QCOMPARE(child<QMenuBar>(*window, "tbrMenu")->font(), menuFont);
    QCOMPARE(child<QStatusBar>(*window, "StatusBar")->font(), statusFont);
}

ZELK_GUI_TEST_MAIN(TestFindSort)
#include "tst_FindSort.moc"
