#include "ActionRunner.h"
#include "GuiTest.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTemporaryDir>

#include <memory>

using namespace GuiTest;

// The reference file beside the document, driven through the real window.
class TestReference : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }
    void init();
    void cleanup();

    void openedThroughItsDialog_data();
    void openedThroughItsDialog();
    void marksFollowEditsAndSorting();
    void nextUntranslatedAndNextProblemWrap();
    void staysAcrossDocumentsUntilClosed();
    void firstNumberPairsByNumber();
    void layoutForTwoLanguages_data();
    void layoutForTwoLanguages();

private:
    std::unique_ptr<TfrmVantrel> start(const QStringList &arguments = {});
    QString file(const QString &name) const { return m_dir->filePath(name); }
    QStringList column(int column) const;
    // The translation's part of the progress; spelling's has a test of its own.
    QString progress() const
    {
        return child<QLabel>(*m_window, "lblReferenceProgress")->text().section(QStringLiteral("; spelling"), 0, 0);
    }
    void press(const char *actionName) { m_window->runner()->run(action(*m_window, actionName)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    TfrmVantrel *m_window = nullptr;
    StringListView *m_list = nullptr;
};

void TestReference::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // English source; the French translation in another order, one entry
    // untranslated, one with a placeholder lost, one the source lacks.
    writeStringsFile(file(QStringLiteral("lang.eng")),
                     {QStringLiteral("Hello"), QStringLiteral("%d coins"), QStringLiteral("Options"), QStringLiteral("Bye")},
                     {1, 2, 3, 4});
    writeStringsFile(file(QStringLiteral("lang.fre")),
                     {QStringLiteral("Au revoir"), QStringLiteral("pièces"), QStringLiteral("Bonjour"),
                      QStringLiteral("Options"), QStringLiteral("Extra")},
                     {4, 2, 1, 3, 9});
}

void TestReference::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
}

std::unique_ptr<TfrmVantrel> TestReference::start(const QStringList &arguments)
{
    auto window = startWindow(arguments);
    m_window = window.get();
    m_list = child<StringListView>(*window, "lstStrings");
    return window;
}

QStringList TestReference::column(int column) const
{
    QStringList cells;
    for (int row = 0; row < m_list->model()->rowCount(); ++row)
        cells << m_list->model()->index(row, column).data().toString();
    return cells;
}

void TestReference::openedThroughItsDialog_data()
{
    QTest::addColumn<bool>("oldLayout");
    QTest::addColumn<QStringList>("paired");
    QTest::addColumn<QString>("progress");
    QTest::newRow("by number") << false
        << QStringList{QStringLiteral("Bye"), QStringLiteral("%d coins"), QStringLiteral("Hello"), QStringLiteral("Options"), QString()}
        << QStringLiteral("3 of 4 translated (75 %), 0 to review, 2 problems, paired by number");
    QTest::newRow("by index") << true
        << QStringList{QStringLiteral("Hello"), QStringLiteral("%d coins"), QStringLiteral("Options"), QStringLiteral("Bye"), QString()}
        << QStringLiteral("4 of 4 translated (100 %), 0 to review, 2 problems, paired by index");
}

void TestReference::openedThroughItsDialog()
{
    QFETCH(bool, oldLayout);
    QFETCH(QStringList, paired);
    QFETCH(QString, progress);
    if (oldLayout)
        writeStringsFile(file(QStringLiteral("lang.eng")),
                         {QStringLiteral("Hello"), QStringLiteral("%d coins"), QStringLiteral("Options"), QStringLiteral("Bye")},
                         {}, false);
    const auto window = start({file(QStringLiteral("lang.fre"))});
    QVERIFY(!action(*window, "actReferenceClose")->isEnabled());
    QVERIFY(!child<QLabel>(*window, "lblReferenceProgress")->isVisible());
    QCOMPARE(m_list->model()->columnCount(), 3);

    answerFileDialog(file(QStringLiteral("lang.eng")));
    press("actReferenceOpen");
    QCOMPARE(m_list->model()->headerData(StringListModel::ReferenceColumn, Qt::Horizontal).toString(), QStringLiteral("Reference"));
    QCOMPARE(column(StringListModel::ReferenceColumn), paired);
    QCOMPARE(m_list->horizontalHeader()->sectionResizeMode(StringListModel::ReferenceColumn), QHeaderView::Stretch);
    QCOMPARE(this->progress(), progress);
    QVERIFY(action(*window, "actReferenceNextProblem")->isEnabled());

    // The panel shows the current entry's reference, with its line breaks;
    // it can be selected and copied but not typed into.
    auto *reference = child<QPlainTextEdit>(*window, "memReference");
    m_list->selectItemIndex(1);
    QCOMPARE(reference->toPlainText(), paired[1]);
    QVERIFY(reference->isVisible() && reference->isReadOnly());
    reference->setFocus();
    QTest::keyClicks(reference, QStringLiteral("typed"));
    QCOMPARE(reference->toPlainText(), paired[1]);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(reference, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(reference, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), paired[1]);
    QCOMPARE(window->table().GetEntry(1), QStringLiteral("pièces"));
}

void TestReference::marksFollowEditsAndSorting()
{
    const auto window = start({file(QStringLiteral("lang.fre")), QStringLiteral("--reference"), file(QStringLiteral("lang.eng"))});
    const QAbstractItemModel *model = m_list->model();
    const auto description = [model](int row) {
        return model->index(row, StringListModel::TextColumn).data(Qt::AccessibleDescriptionRole).toString();
    };
    QCOMPARE((QStringList{description(0), description(1), description(3), description(4)}),
             (QStringList{QString(), QStringLiteral("Problem"), QStringLiteral("Untranslated"), QStringLiteral("Problem")}));
    QVERIFY(!model->index(3, StringListModel::TextColumn).data(Qt::DecorationRole).isNull());
    QVERIFY(model->index(0, StringListModel::TextColumn).data(Qt::DecorationRole).isNull());
    QCOMPARE(model->index(1, StringListModel::IndexColumn).data(Qt::ToolTipRole).toString(),
             QStringLiteral("placeholders: missing %d"));
    QCOMPARE(model->index(3, StringListModel::HashColumn).data(Qt::ToolTipRole).toString(),
             QStringLiteral("untranslated: the translation equals the source text"));

    // Typing the placeholder back and translating "Options" clear both marks.
    m_list->selectItemIndex(1);
    auto *editor = child<QPlainTextEdit>(*window, "memCurString");
    editor->setFocus();
    editor->moveCursor(QTextCursor::Start);
    QTest::keyClicks(editor, QStringLiteral("%d "));
    QCOMPARE(description(1), QString());
    m_list->deselectAll();
    m_list->selectItemIndex(3);
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral(" du jeu"));
    QCOMPARE(description(3), QString());
    QCOMPARE(progress(), QStringLiteral("4 of 4 translated (100 %), 0 to review, 1 problem, paired by number"));

    // The checks of numbers, punctuation and the rest mark rows as well.
    m_list->deselectAll();
    m_list->selectItemIndex(0);
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral(" 2!"));
    QCOMPARE(description(0), QStringLiteral("Problem"));
    QCOMPARE(model->index(0, StringListModel::TextColumn).data(Qt::ToolTipRole).toString(),
             QStringLiteral("numbers: 2, the source has none\npunctuation: ends with \"!\", the source with no mark"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(editor, Qt::Key_Backspace);
    QCOMPARE(description(0), QString());

    // A number edit pairs anew: 9 becomes a second 4 (so by index), then 5.
    m_list->deselectAll();
    m_list->selectItemIndex(4);
    auto *number = child<QLineEdit>(*window, "edtHashValue");
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("00000004"));
    QCOMPARE(progress(), QStringLiteral("4 of 4 translated (100 %), 0 to review, 1 problem, paired by index"));
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("00000005"));
    QCOMPARE(progress(), QStringLiteral("4 of 4 translated (100 %), 0 to review, 1 problem, paired by number"));

    // Sorting by the reference column, as by any other, both ways.
    QHeaderView *header = m_list->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(StringListModel::ReferenceColumn) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(column(StringListModel::ReferenceColumn),
             (QStringList{QStringLiteral("Options"), QStringLiteral("Hello"), QStringLiteral("Bye"),
                          QStringLiteral("%d coins"), QString()}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(column(StringListModel::ReferenceColumn).first(), QString());

    // Deleting the unpaired entry (now the first row) takes its problem away.
    m_list->deselectAll();
    m_list->selectItemIndex(0);
    answerBox(QMessageBox::Yes);
    press("actStringsDelete");
    QCOMPARE(progress(), QStringLiteral("4 of 4 translated (100 %), 0 to review, 0 problems, paired by number"));
}

void TestReference::nextUntranslatedAndNextProblemWrap()
{
    const auto window = start({file(QStringLiteral("lang.fre")), QStringLiteral("--reference"), file(QStringLiteral("lang.eng"))});
    const auto selected = [this] { return m_list->firstSelectedRow(); };
    QCOMPARE(selected(), -1);
    QTest::keyClick(m_list, Qt::Key_F8, Qt::ShiftModifier);
    QCOMPARE(selected(), 1);
    QTest::keyClick(m_list, Qt::Key_F8, Qt::ShiftModifier);
    QCOMPARE(selected(), 4);
    QTest::keyClick(m_list, Qt::Key_F8, Qt::ShiftModifier); // wraps
    QCOMPARE(selected(), 1);
    QTest::keyClick(m_list, Qt::Key_F8);
    QCOMPARE(selected(), 3);

    // Nothing left: a message, and the selection stays.
    writeStringsFile(file(QStringLiteral("done.fre")), {QStringLiteral("Bonjour")}, {1});
    window->openDocument(file(QStringLiteral("done.fre")));
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    press("actReferenceNextUntranslated");
    QCOMPARE(box.text, QStringLiteral("No more untranslated strings"));
    answerBox(QMessageBox::Ok, &box);
    press("actReferenceNextProblem");
    QCOMPARE(box.text, QStringLiteral("No more problems"));
}

void TestReference::staysAcrossDocumentsUntilClosed()
{
    const auto window = start({file(QStringLiteral("lang.fre")), QStringLiteral("--reference"), file(QStringLiteral("lang.eng"))});
    press("actFileClose");
    QVERIFY(!action(*window, "actReferenceNextUntranslated")->isEnabled());
    QVERIFY(!action(*window, "actReferenceOpen")->isEnabled());
    press("actFileNew");
    QCOMPARE(m_list->model()->columnCount(), 4);
    QCOMPARE(progress(), QStringLiteral("0 of 0 translated (100 %), 0 to review, 0 problems, paired by number"));

    // A reference that does not load changes nothing.
    writeBytes(file(QStringLiteral("broken.eng")), QByteArray::fromHex("FEFEFEFE0A000000"));
    answerFileDialog(file(QStringLiteral("broken.eng")));
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    press("actReferenceOpen");
    QCOMPARE(box.text, QStringLiteral("Stream read error."));
    QCOMPARE(m_list->model()->columnCount(), 4);

    press("actReferenceClose");
    QCOMPARE(m_list->model()->columnCount(), 3);
    QVERIFY(!child<QPlainTextEdit>(*window, "memReference")->isVisible());
    QVERIFY(!child<QLabel>(*window, "lblReferenceProgress")->isVisible());
    QVERIFY(!action(*window, "actReferenceClose")->isEnabled());
    QVERIFY(window->table().EntryCount() == 0 && window->isNewDocument());
}

// A document whose numbers are all 0 pairs by index; its first number makes
// it pair by number, as zelkstr would pair it.
void TestReference::firstNumberPairsByNumber()
{
    writeStringsFile(file(QStringLiteral("numberless.fre")), {QStringLiteral("Au revoir"), QStringLiteral("Bonjour")});
    const auto window = start({file(QStringLiteral("numberless.fre")), QStringLiteral("--reference"), file(QStringLiteral("lang.eng"))});
    QVERIFY(progress().endsWith(QLatin1String("paired by index")));
    m_list->selectItemIndex(1);
    auto *number = child<QLineEdit>(*window, "edtHashValue");
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("00000001"));
    QCOMPARE(progress(), QStringLiteral("1 of 1 translated (100 %), 0 to review, 1 problem, paired by number"));
    QCOMPARE(column(StringListModel::ReferenceColumn), (QStringList{QString(), QStringLiteral("Hello")}));
}

void TestReference::layoutForTwoLanguages_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("design size") << QSize(632, 453);
    QTest::newRow("large") << QSize(1600, 1000);
}

// With a reference the list gets half the window and the two text columns
// share it; labels name the panes; the reference pane fits its text within a
// third of the panel and the text editor keeps half; closing gives back the
// specified layout.
void TestReference::layoutForTwoLanguages()
{
    QFETCH(QSize, size);
    QStringList lines;
    for (int i = 0; i < 30; ++i)
        lines << QStringLiteral("line %1").arg(i);
    writeStringsFile(file(QStringLiteral("long.eng")), {QStringLiteral("Hello"), lines.join(QLatin1Char('\n'))}, {1, 2});
    writeStringsFile(file(QStringLiteral("long.fre")), {QStringLiteral("Bonjour"), QStringLiteral("ligne")}, {1, 2});
    const auto window = start({file(QStringLiteral("long.fre"))});
    window->resize(size);
    QCoreApplication::processEvents();
    auto *splitter = child<QSplitter>(*window, "Splitter");
    const int listWidth = splitter->sizes().value(0);
    const int total = listWidth + splitter->sizes().value(1);

    window->openReference(file(QStringLiteral("long.eng")));
    QCoreApplication::processEvents();
    QVERIFY(std::abs(splitter->sizes().value(0) - total / 2) <= 1);
    QHeaderView *header = m_list->horizontalHeader();
    QVERIFY(std::abs(header->sectionSize(StringListModel::TextColumn) - header->sectionSize(StringListModel::ReferenceColumn)) <= 1);
    QCOMPARE(child<QLabel>(*window, "lblReference")->text(), QStringLiteral("English \u2014 long.eng"));
    QCOMPARE(child<QLabel>(*window, "lblTranslation")->text(), QStringLiteral("French \u2014 long.fre"));
    QVERIFY(child<QLabel>(*window, "lblTranslation")->isVisible());

    auto *reference = child<QPlainTextEdit>(*window, "memReference");
    auto *editor = child<QPlainTextEdit>(*window, "memCurString");
    const int panel = child<QWidget>(*window, "pnlCurString")->height();
    const int twoLines = 2 * reference->fontMetrics().lineSpacing();
    m_list->selectItemIndex(0);
    QVERIFY(reference->height() >= twoLines && reference->height() < 3 * reference->fontMetrics().lineSpacing() + 16);
    m_list->deselectAll();
    m_list->selectItemIndex(1);
    QCoreApplication::processEvents();
    // As tall as the rules let it: its third, or what leaves the editor half.
    const int line = reference->fontMetrics().lineSpacing();
    QVERIFY2(reference->height() <= panel / 3 && editor->height() >= panel / 2, qPrintable(QStringLiteral("%1 and %2 of %3").arg(reference->height()).arg(editor->height()).arg(panel)));
    QVERIFY2(reference->height() > panel / 3 - line || editor->height() < panel / 2 + line,
             qPrintable(QStringLiteral("%1 and %2 of %3").arg(reference->height()).arg(editor->height()).arg(panel)));

    // The list keeps its share as the window grows.
    window->resize(size + QSize(200, 0));
    QCoreApplication::processEvents();
    QVERIFY(std::abs(splitter->sizes().value(0) - (total + 200) / 2) <= 2);

    press("actReferenceClose");
    window->resize(size);
    QCoreApplication::processEvents();
    QCOMPARE(splitter->sizes().value(0), listWidth);
    QCOMPARE(child<QWidget>(*window, "edtHashString")->width(), 147);
    QVERIFY(!child<QLabel>(*window, "lblReference")->isVisible() && !reference->isVisible());
}

ZELK_GUI_TEST_MAIN(TestReference)
#include "tst_Reference.moc"
