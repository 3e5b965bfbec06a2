#include "ActionRunner.h"
#include "GuiTest.h"
#include "ReviewFile.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

using namespace GuiTest;

// The filter over the list and Replace, driven through the real window.
class TestFilterReplace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }
    void init();
    void cleanup();

    void filterMatches_data();
    void filterMatches();
    void commandsWorkOnWhatIsShown();
    void replaceWithPreview();
    void replaceScopesAndPatterns_data();
    void replaceScopesAndPatterns();

private:
    std::unique_ptr<TfrmVantrel> start(bool withReference);
    QString file(const QString &name) const { return m_dir->filePath(name); }
    QList<quint32> shown() const;
    void press(const char *actionName) { m_window->runner()->run(action(*m_window, actionName)); }
    void filter(const QString &text, int choice);
    QDialog *replaceDialog() const { return child<QDialog>(*m_window, "frmReplace"); }
    void click(const char *button) { child<QPushButton>(*replaceDialog(), button)->click(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    TfrmVantrel *m_window = nullptr;
    StringListView *m_list = nullptr;
};

void TestFilterReplace::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    writeStringsFile(file(QStringLiteral("lang.eng")),
                     {QStringLiteral("Start\nthe game"), QStringLiteral("Load Game"), QStringLiteral("Options"), QStringLiteral("%d coins"),
                      QStringLiteral("Crush"), QStringLiteral("Quit")},
                     {1, 2, 3, 4, 5, 6});
    writeStringsFile(file(QStringLiteral("lang.fre")),
                     {QStringLiteral("Commencer\nla partie"), QString(), QStringLiteral("Options"), QStringLiteral("pièces"),
                      QStringLiteral("Écraser"), QStringLiteral("Quitter la partie")},
                     {1, 2, 3, 4, 5, 6});
    ReviewFile review;
    ReviewEntry entry;
    entry.state = ReviewEntry::State::New;
    entry.index = 5;
    entry.number = 6;
    entry.newSource = QStringLiteral("Quit");
    review.entries.push_back(entry);
    review.write(file(QStringLiteral("lang.fre.review.json")));
}

void TestFilterReplace::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
}

std::unique_ptr<TfrmVantrel> TestFilterReplace::start(bool withReference)
{
    QStringList arguments{file(QStringLiteral("lang.fre"))};
    if (withReference)
        arguments << QStringLiteral("--reference") << file(QStringLiteral("lang.eng"));
    auto window = startWindow(arguments);
    m_window = window.get();
    m_list = child<StringListView>(*window, "lstStrings");
    return window;
}

QList<quint32> TestFilterReplace::shown() const
{
    QList<quint32> entries;
    for (int row = 0; row < m_list->model()->rowCount(); ++row)
        entries << m_list->stringModel()->row(row).index;
    return entries;
}

void TestFilterReplace::filter(const QString &text, int choice)
{
    child<QComboBox>(*m_window, "cmbFilter")->setCurrentIndex(choice);
    auto *edit = child<QLineEdit>(*m_window, "edtFilter");
    edit->clear();
    QTest::keyClicks(edit, text);
}

void TestFilterReplace::filterMatches_data()
{
    QTest::addColumn<bool>("withReference");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QList<quint32>>("entries");
    QTest::newRow("accents and case") << true << QStringLiteral("ECRASER") << 0 << QList<quint32>{4};
    QTest::newRow("the reference") << true << QStringLiteral("crush") << 0 << QList<quint32>{4};
    QTest::newRow("a line break is a space") << true << QStringLiteral("commencer la") << 0 << QList<quint32>{0};
    QTest::newRow("number or index") << true << QStringLiteral("3") << 0 << QList<quint32>{2, 3};
    QTest::newRow("unfinished") << true << QString() << 1 << QList<quint32>{1, 2, 5};
    QTest::newRow("untranslated") << true << QString() << 2 << QList<quint32>{1, 2};
    QTest::newRow("problems") << true << QString() << 3 << QList<quint32>{3};
    QTest::newRow("to review, with text") << true << QStringLiteral("partie") << 4 << QList<quint32>{5};
    QTest::newRow("no reference: its texts do not match") << false << QStringLiteral("crush") << 0 << QList<quint32>{};
    QTest::newRow("no reference: to review") << false << QString() << 4 << QList<quint32>{5};
}

void TestFilterReplace::filterMatches()
{
    QFETCH(bool, withReference);
    QFETCH(QString, text);
    QFETCH(int, choice);
    QFETCH(QList<quint32>, entries);
    const auto window = start(withReference);
    QVERIFY(!child<QWidget>(*window, "pnlFilter")->isVisible());
    QTest::keyClick(m_list, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(child<QWidget>(*window, "pnlFilter")->isVisible());
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(*window, "edtFilter"));
    filter(text, choice);
    QCOMPARE(shown(), entries);
    QCOMPARE(child<QLabel>(*window, "lblFilterCount")->text(), QStringLiteral("%1 of 6 shown").arg(entries.size()));
    // Without a reference, only the review file's choice has marks to go by.
    auto *choices = qobject_cast<QStandardItemModel *>(child<QComboBox>(*window, "cmbFilter")->model());
    QVERIFY(choices->item(4)->isEnabled());
}

// Selection, editing, Delete, Move, Add, F8 and sorting on the shown rows;
// Escape brings every row back with the current entry still selected.
void TestFilterReplace::commandsWorkOnWhatIsShown()
{
    const auto window = start(true);
    press("actTranslationFilter");
    filter(QString(), 1); // unfinished: entries 1, 2 and 5
    QTest::keyClick(m_list, Qt::Key_F8);
    QCOMPARE(window->currentIndex(), 1);

    // Translated, "Options" stays shown until the filter changes.
    m_list->deselectAll();
    m_list->selectItemIndex(1);
    auto *editor = child<QPlainTextEdit>(*window, "memCurString");
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Choix"));
    QCOMPARE(shown(), (QList<quint32>{1, 2, 5}));
    QCOMPARE(window->table().GetEntry(2), QStringLiteral("Choix"));

    // Delete the shown row of entry 1: the rest renumber and stay shown.
    m_list->deselectAll();
    m_list->selectItemIndex(0);
    answerBox(QMessageBox::Yes);
    press("actStringsDelete");
    QCOMPARE(shown(), (QList<quint32>{1, 4}));
    QCOMPARE(window->table().EntryCount(), 5u);

    // Move "Choix" (entry 1) to index 3: the index is the table's.
    m_list->deselectAll();
    m_list->selectItemIndex(0);
    answerInput(QStringLiteral("3"));
    press("actStringsMove");
    QCOMPARE(window->table().GetEntry(3), QStringLiteral("Choix"));
    QCOMPARE(shown(), (QList<quint32>{3, 4}));

    // A new row shows, whatever the filter; sorting sorts what is shown.
    answerInput(QStringLiteral("zzz"));
    press("actStringsAdd");
    QCOMPARE(shown(), (QList<quint32>{3, 4, 5}));
    Q_EMIT m_list->horizontalHeader()->sectionClicked(StringListModel::TextColumn);
    QCOMPARE(shown(), (QList<quint32>{5, 4, 3}));

    // Escape: every row, in table order, the current entry still selected.
    m_list->deselectAll();
    m_list->selectItemIndex(1);
    QCOMPARE(window->currentIndex(), 4);
    child<QLineEdit>(*window, "edtFilter")->setFocus();
    QTest::keyClick(child<QLineEdit>(*window, "edtFilter"), Qt::Key_Escape);
    QVERIFY(!child<QWidget>(*window, "pnlFilter")->isVisible());
    QCOMPARE(shown(), (QList<quint32>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(m_list->selectedRows(), std::vector<int>{4});
    QCOMPARE(window->currentIndex(), 4);
}

void TestFilterReplace::replaceWithPreview()
{
    const auto window = start(true);
    QTest::keyClick(m_list, Qt::Key_H, Qt::ControlModifier);
    QDialog *dialog = replaceDialog();
    QVERIFY(dialog->isVisible() && !dialog->isModal());
    child<QLineEdit>(*dialog, "edtReplaceFind")->setText(QStringLiteral("la partie"));
    child<QLineEdit>(*dialog, "edtReplaceWith")->setText(QStringLiteral("le jeu"));
    click("btnReplacePreview");
    const QAbstractItemModel *preview = child<QTableView>(*dialog, "lstReplacePreview")->model();
    QCOMPARE(preview->rowCount(), 2);
    QCOMPARE(preview->index(0, 1).data().toString(), QStringLiteral("Commencer\u21B5la partie"));
    QCOMPARE(preview->index(1, 2).data().toString(), QStringLiteral("Quitter le jeu"));
    QCOMPARE(preview->index(1, 2).data(Qt::UserRole + 1).toList(), (QVariantList{8, 6}));

    // Closing changes nothing.
    child<QPushButton>(*dialog, "btnReplaceClose")->click();
    QVERIFY(!window->isModified());
    QCOMPARE(window->table().GetEntry(5), QStringLiteral("Quitter la partie"));

    // The first unchecked, the second replaced: an edit of the document.
    press("actTranslationReplace");
    click("btnReplacePreview");
    QVERIFY(child<QTableView>(*dialog, "lstReplacePreview")->model()->setData(preview->index(0, 0), Qt::Unchecked,
                                                                                Qt::CheckStateRole));
    click("btnReplace");
    QCOMPARE(child<QLabel>(*dialog, "lblReplaceResult")->text(), QStringLiteral("Replaced in 1 texts (1 occurrences)"));
    QCOMPARE(window->table().GetEntry(5), QStringLiteral("Quitter le jeu"));
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("Commencer\nla partie"));
    QVERIFY(window->isModified());
    QCOMPARE(m_list->model()->index(5, StringListModel::TextColumn).data().toString(), QStringLiteral("Quitter le jeu"));

    // A replacement that takes a placeholder away is marked; the reference
    // is never searched.
    child<QLineEdit>(*dialog, "edtReplaceFind")->setText(QStringLiteral("coins"));
    click("btnReplacePreview");
    QCOMPARE(preview->rowCount(), 0);
    child<QLineEdit>(*dialog, "edtReplaceFind")->setText(QStringLiteral("pièces"));
    child<QLineEdit>(*dialog, "edtReplaceWith")->setText(QStringLiteral("%s pièces\\n"));
    click("btnReplacePreview");
    QCOMPARE(preview->rowCount(), 1);
    QCOMPARE(preview->index(0, 3).data().toString(), QStringLiteral("Placeholders or line breaks change: gains %s"));
    QVERIFY(!preview->index(0, 0).data(Qt::DecorationRole).isNull());
}

void TestFilterReplace::replaceScopesAndPatterns_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("with");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("texts");
    const QStringList before{QStringLiteral("Commencer\nla partie"), QString(), QStringLiteral("Options"), QStringLiteral("pièces"),
                             QStringLiteral("Écraser"), QStringLiteral("Quitter la partie")};
    QStringList wholeWords = before;
    wholeWords[2] = QStringLiteral("Choix");
    QTest::newRow("whole words, case ignored") << QStringLiteral("OPTIONS") << QStringLiteral("Choix")
                                               << QStringList{QStringLiteral("chkReplaceWholeWords")} << wholeWords;
    QTest::newRow("match case") << QStringLiteral("OPTIONS") << QStringLiteral("Choix")
                                << QStringList{QStringLiteral("chkReplaceMatchCase")} << before;
    QStringList swapped = before;
    swapped[5] = QStringLiteral("partie la Quitter");
    QTest::newRow("regex with references") << QStringLiteral("^(\\w+) (\\w+) (\\w+)$") << QStringLiteral("\\3 \\2 \\1")
                                           << QStringList{QStringLiteral("chkReplaceRegex")} << swapped;
    QStringList selected = before;
    selected[5] = QStringLiteral("Quitter LA partie");
    QTest::newRow("selected entries only") << QStringLiteral("la") << QStringLiteral("LA")
                                           << QStringList{QStringLiteral("rbReplaceSelected"), QStringLiteral("chkReplaceMatchCase")}
                                           << selected;
}

void TestFilterReplace::replaceScopesAndPatterns()
{
    QFETCH(QString, find);
    QFETCH(QString, with);
    QFETCH(QStringList, options);
    QFETCH(QStringList, texts);
    const auto window = start(false);
    m_list->selectItemIndex(5);
    press("actTranslationReplace");
    QDialog *dialog = replaceDialog();
    child<QLineEdit>(*dialog, "edtReplaceFind")->setText(find);
    child<QLineEdit>(*dialog, "edtReplaceWith")->setText(with);
    for (const QString &option : options)
        child<QAbstractButton>(*dialog, option.toLatin1().constData())->setChecked(true);
    click("btnReplace");
    QStringList after;
    for (quint32 i = 0; i < window->table().EntryCount(); ++i)
        after << window->table().GetEntry(i);
    QCOMPARE(after, texts);
}

ZELK_GUI_TEST_MAIN(TestFilterReplace)
#include "tst_FilterReplace.moc"
