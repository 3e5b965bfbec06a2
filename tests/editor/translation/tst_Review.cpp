#include "ActionRunner.h"
#include "GuiTest.h"
#include "ReviewFile.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "TranslationMerge.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>

#include <memory>

using namespace GuiTest;

// An update reviewed in the real window: the review file that merge writes,
// its marks, the change view, Done and Next, Accept as Is, and the file
// written back, moved with its entries, or left alone.
class TestReview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }
    void init();
    void cleanup();

    void reviewLoopThroughAWholeUpdate();
    void acceptanceLastsUntilTheTextChanges();
    void reviewStateFollowsItsEntry_data();
    void reviewStateFollowsItsEntry();
    void damagedReviewFileIsLeftAlone_data();
    void damagedReviewFileIsLeftAlone();
    void unlikelyReferenceIsNamed_data();
    void unlikelyReferenceIsNamed();
    void hashPairsAnewAndSaysSo();

private:
    std::unique_ptr<TfrmVantrel> start(const QStringList &arguments);
    QString file(const QString &name) const { return m_dir->filePath(name); }
    QString description(int row) const;
    // The translation's part of the progress; spelling's has a test of its own.
    QString progress() const
    {
        return child<QLabel>(*m_window, "lblReferenceProgress")->text().section(QStringLiteral("; spelling"), 0, 0);
    }
    void press(const char *actionName) { m_window->runner()->run(action(*m_window, actionName)); }
    void doneAndNext() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier); }
    void typeText(const QString &text);

    std::unique_ptr<QTemporaryDir> m_dir;
    TfrmVantrel *m_window = nullptr;
    StringListView *m_list = nullptr;
};

void TestReview::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // Three reworded entries (one only ever copied from English), two kept,
    // one removed and two new: merged as zelkstr merges them.
    TZelkStrings oldSource, oldTranslation, newSource, merged;
    oldSource.loadFromData(stringsImage({QStringLiteral("Start Game"), QStringLiteral("Controls"), QStringLiteral("Load Saved Game"),
                                         QStringLiteral("Quit"), QStringLiteral("OK"), QStringLiteral("Gone")},
                                        {1, 2, 3, 4, 5, 6}));
    oldTranslation.loadFromData(stringsImage({QStringLiteral("Commencer la partie"), QStringLiteral("Controls"),
                                              QStringLiteral("Charger la partie sauvegardée"), QStringLiteral("Quitter"),
                                              QStringLiteral("OK"), QStringLiteral("Parti")},
                                             {1, 2, 3, 4, 5, 6}));
    newSource.loadFromData(stringsImage({QStringLiteral("Start New Game"), QStringLiteral("Game Controls"), QStringLiteral("Load Game"),
                                         QStringLiteral("Quit"), QStringLiteral("OK"), QStringLiteral("Battered Lute"),
                                         QStringLiteral("Excalibur")},
                                        {1, 2, 3, 4, 5, 7, 8}));
    const TranslationMerge merge(oldSource, oldTranslation, newSource);
    merge.build(merged);
    merged.SaveToFile(file(QStringLiteral("lang.fre")));
    merge.review(merged).write(file(QStringLiteral("lang.fre.review.json")));
    newSource.SaveToFile(file(QStringLiteral("lang.eng")));
}

void TestReview::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
}

std::unique_ptr<TfrmVantrel> TestReview::start(const QStringList &arguments)
{
    auto window = startWindow(arguments);
    m_window = window.get();
    m_list = child<StringListView>(*window, "lstStrings");
    return window;
}

QString TestReview::description(int row) const
{
    return m_list->model()->index(row, StringListModel::TextColumn).data(Qt::AccessibleDescriptionRole).toString();
}

void TestReview::typeText(const QString &text)
{
    auto *editor = child<QPlainTextEdit>(*m_window, "memCurString");
    QCOMPARE(QApplication::focusWidget(), editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
}

void TestReview::reviewLoopThroughAWholeUpdate()
{
    const auto window = start({file(QStringLiteral("lang.fre")), QStringLiteral("--reference"), file(QStringLiteral("lang.eng"))});
    QCOMPARE((QStringList{description(0), description(1), description(2), description(3), description(4), description(5)}),
             (QStringList{QStringLiteral("To review"), QStringLiteral("To review"), QStringLiteral("To review"), QString(),
                          QStringLiteral("Untranslated"), QStringLiteral("To review, Untranslated")}));
    const QAbstractItemModel *model = m_list->model();
    QCOMPARE(model->index(1, StringListModel::IndexColumn).data(Qt::ToolTipRole).toString(), QStringLiteral("Changed in this version"));
    QVERIFY(model->index(6, 0).data(Qt::ToolTipRole).toString().startsWith(QLatin1String("New in this version\nuntranslated")));
    QCOMPARE(progress(), QStringLiteral("4 of 7 translated (57 %), 5 to review, 0 problems, paired by number"));

    // F8 stops at a row to review; the change view shows the old English
    // struck through where words went, the new underlined where they came.
    QTest::keyClick(m_list, Qt::Key_F8);
    QCOMPARE(m_list->firstSelectedRow(), 0);
    auto *change = child<QTextEdit>(*window, "memReferenceChange");
    QVERIFY(change->isVisible() && change->isReadOnly());
    QCOMPARE(change->toPlainText(), QStringLiteral("Start Game\nStart New Game"));
    const auto formatAt = [change](int block, int position) {
        QTextCursor cursor(change->document()->findBlockByNumber(block));
        cursor.setPosition(cursor.block().position() + position + 1);
        return cursor.charFormat();
    };
    QVERIFY(formatAt(1, 6).fontUnderline() && !formatAt(1, 0).fontUnderline());
    m_list->deselectAll();
    m_list->selectItemIndex(2);
    QCOMPARE(change->toPlainText(), QStringLiteral("Load Saved Game\nLoad Game"));
    QVERIFY(formatAt(0, 5).fontStrikeOut() && !formatAt(0, 0).fontStrikeOut());
    m_list->deselectAll();
    m_list->selectItemIndex(3);
    QVERIFY(!change->isVisible());

    // The loop: read, type, Ctrl+Return, from the first row.
    m_list->deselectAll();
    m_list->selectItemIndex(0);
    m_list->setFocus();
    doneAndNext();
    QCOMPARE(m_list->firstSelectedRow(), 1);
    QVERIFY(window->isModified());
    typeText(QStringLiteral("Commandes du jeu"));
    doneAndNext();
    QCOMPARE(m_list->firstSelectedRow(), 2);
    doneAndNext();
    QCOMPARE(m_list->firstSelectedRow(), 4);
    press("actTranslationAccept"); // "OK" is French too
    QCOMPARE(description(4), QString());
    doneAndNext();
    QCOMPARE(m_list->firstSelectedRow(), 5);
    typeText(QStringLiteral("Vieux luth"));
    doneAndNext();
    QCOMPARE(m_list->firstSelectedRow(), 6);
    press("actTranslationAccept"); // a name
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    doneAndNext();
    QCOMPARE(box.text, QStringLiteral("No more unfinished strings"));
    QCOMPARE(progress(), QStringLiteral("7 of 7 translated (100 %), 0 to review, 0 problems, paired by number"));

    // Saved with the document: only the acceptances are left.
    press("actFileSave");
    const ReviewFile saved = ReviewFile::read(file(QStringLiteral("lang.fre.review.json")));
    QCOMPARE(saved.entries.size(), size_t(2));
    QCOMPARE(saved.entries[1].state, ReviewEntry::State::Accepted);
    QCOMPARE(saved.entries[1].number, 8u);
    QCOMPARE(saved.entries[1].kinds, QStringList{QStringLiteral("untranslated")});
    QCOMPARE(saved.entries[1].text, QStringLiteral("Excalibur"));
}

void TestReview::acceptanceLastsUntilTheTextChanges()
{
    const QString french = file(QStringLiteral("lang.fre"));
    auto window = start({french, QStringLiteral("--reference"), file(QStringLiteral("lang.eng"))});
    m_list->selectItemIndex(4);
    press("actTranslationAccept");
    QVERIFY(window->isModified());
    press("actFileSave");

    // Reopened, the acceptance holds; an edit drops it, even one undone.
    window->openDocument(french);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(description(4), QString());
    m_list->selectItemIndex(4);
    auto *editor = child<QPlainTextEdit>(*window, "memCurString");
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral("!"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    QCOMPARE(window->table().GetEntry(4), QStringLiteral("OK"));
    QCOMPARE(description(4), QStringLiteral("Untranslated"));

    // With nothing left to review or accepted, Save removes the file.
    for (int row : {0, 1, 2, 5, 6}) {
        m_list->deselectAll();
        m_list->selectItemIndex(row);
        press("actTranslationDone");
    }
    press("actFileSave");
    QVERIFY(!QFile::exists(file(QStringLiteral("lang.fre.review.json"))));

    // Save As writes a review file beside the new name only.
    m_list->deselectAll();
    m_list->selectItemIndex(4);
    press("actTranslationAccept");
    answerFileDialog(file(QStringLiteral("copy.fre")));
    press("actFileSaveAs");
    QVERIFY(QFile::exists(file(QStringLiteral("copy.fre.review.json"))));
    QVERIFY(!QFile::exists(file(QStringLiteral("lang.fre.review.json"))));
}

void TestReview::reviewStateFollowsItsEntry_data()
{
    QTest::addColumn<bool>("byNumber");
    QTest::newRow("by number") << true;
    QTest::newRow("by index") << false;
}

// Add, Delete and Move keep each entry's state with the entry; a deleted
// entry's state goes with it.
void TestReview::reviewStateFollowsItsEntry()
{
    QFETCH(bool, byNumber);
    const QString french = file(QStringLiteral("five.fre"));
    writeStringsFile(french, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e")},
                     {11, 12, 13, 14, 15}, byNumber);
    ReviewFile review;
    review.byNumber = byNumber;
    for (const quint32 index : {1u, 3u}) {
        ReviewEntry entry;
        entry.state = ReviewEntry::State::New;
        entry.index = index;
        entry.number = byNumber ? 11 + index : 0;
        entry.newSource = QStringLiteral("source %1").arg(index);
        review.entries.push_back(entry);
    }
    review.write(ReviewFile::pathFor(french));
    const auto window = start({french});
    QCOMPARE(description(3), QStringLiteral("To review"));
    QCOMPARE(progress(), QStringLiteral("2 to review"));

    answerInput(QStringLiteral("f"));
    press("actStringsAdd");
    m_list->deselectAll();
    m_list->selectItemIndex(1);
    answerBox(QMessageBox::Yes);
    press("actStringsDelete"); // "b" and its state go
    m_list->deselectAll();
    m_list->selectItemIndex(2); // "d", to review
    answerInput(QStringLiteral("0"));
    press("actStringsMove");
    QCOMPARE(progress(), QStringLiteral("1 to review"));
    QCOMPARE(description(0), QStringLiteral("To review"));
    press("actFileSave");

    const ReviewFile saved = ReviewFile::read(ReviewFile::pathFor(french));
    QCOMPARE(saved.byNumber, byNumber);
    QCOMPARE(saved.entries.size(), size_t(1));
    QCOMPARE(saved.entries[0].index, 0u);
    QCOMPARE(saved.entries[0].newSource, QStringLiteral("source 3"));
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("d"));
}

void TestReview::damagedReviewFileIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not JSON") << QByteArray("{\"format\": \"zelkstr-review\",\n \"entries\": [}")
                              << QStringLiteral("lang.fre.review.json: not JSON (a value expected at line 2, column 14)");
    QTest::newRow("another format") << QByteArray("{\"format\": \"notes\", \"version\": 1}")
                                    << QStringLiteral("lang.fre.review.json: not a review file (its format is not \"zelkstr-review\")");
    QTest::newRow("newer") << QByteArray("{\"format\": \"zelkstr-review\", \"version\": 2, \"pairing\": \"number\", \"entries\": []}")
                           << QStringLiteral("lang.fre.review.json: version 2 is newer than this program reads (1)");
}

void TestReview::damagedReviewFileIsLeftAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString review = file(QStringLiteral("lang.fre.review.json"));
    writeBytes(review, content);
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    const auto window = start({file(QStringLiteral("lang.fre")), QStringLiteral("--reference"), file(QStringLiteral("lang.eng"))});
    QCOMPARE(box.text, reason + QStringLiteral(". It is left as it is: nothing is marked to review."));
    QCOMPARE(description(0), QString());

    m_list->selectItemIndex(4);
    press("actTranslationAccept");
    press("actFileSave");
    QVERIFY(!window->isModified());
    QCOMPARE(readBytes(review), content);
}

void TestReview::unlikelyReferenceIsNamed_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<quint32>>("numbers");
    QTest::addColumn<QString>("message");
    QTest::newRow("another game") << QStringList{QStringLiteral("Sword"), QStringLiteral("Shield")} << QList<quint32>{5, 900}
                                  << QStringLiteral("Only 1 of the 7 strings pair with an entry of other.eng: "
                                                    "is it a file of the same game and version?");
    QTest::newRow("same language") << QStringList{QStringLiteral("Commencer la partie"), QStringLiteral("Controls"),
                                                  QStringLiteral("Charger la partie sauvegardée"), QStringLiteral("Quitter")}
                                   << QList<quint32>{1, 2, 3, 4}
                                   << QStringLiteral("4 of the 4 paired strings are the same in other.eng: "
                                                     "is it in the same language as the document?");
}

void TestReview::unlikelyReferenceIsNamed()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<quint32>, numbers);
    QFETCH(QString, message);
    writeStringsFile(file(QStringLiteral("other.eng")), texts, numbers);
    const auto window = start({file(QStringLiteral("lang.fre"))});
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    window->openReference(file(QStringLiteral("other.eng")));
    QCOMPARE(box.text, message);
    QCOMPARE(child<QLabel>(*window, "StatusPanel")->text(), message);
}

// A number changed by Hash pairs the reference anew, as zelkstr would pair
// the files, and the status bar says so.
void TestReview::hashPairsAnewAndSaysSo()
{
    const quint32 key = TZelkStrings::HashKey("EXCALIBUR");
    writeStringsFile(file(QStringLiteral("keyed.fre")), {QStringLiteral("Bonjour"), QStringLiteral("Épée")}, {1, key});
    writeStringsFile(file(QStringLiteral("keyed.eng")), {QStringLiteral("Hello"), QStringLiteral("Sword")}, {1, key});
    const auto window = start({file(QStringLiteral("keyed.fre")), QStringLiteral("--reference"), file(QStringLiteral("keyed.eng"))});
    QVERIFY(progress().endsWith(QLatin1String("paired by number")));
    m_list->selectItemIndex(0);
    child<QLineEdit>(*window, "edtHashString")->setText(QStringLiteral("Excalibur"));
    press("actStringsHash");
    QCOMPARE(window->table().GetNumber(0), key);
    QVERIFY(progress().endsWith(QLatin1String("paired by index")));
    QCOMPARE(child<QLabel>(*window, "StatusPanel")->text(),
             QStringLiteral("The reference now pairs by index: number %1 is on 2 entries").arg(formatNumber(key)));
}

ZELK_GUI_TEST_MAIN(TestReview)
#include "tst_Review.moc"
