#include "ActionRunner.h"
#include "GuiTest.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <memory>

using namespace GuiTest;

// The memory and the glossary in the real window: suggestions from the
// document's own pairs and from a TMX file, put in with Ctrl+1 or a
// double-click and taken back by Undo, learnt from edits; the marks of one
// source translated two ways, and of a term left untranslated.
class TestMemoryWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }
    void init();
    void cleanup();

    void suggestionsGoInAsTypedAndLearn();
    void consistencyMarksFollowEdits();
    void glossaryRowsAndFindings();
    void memoryAddedFromTmx();

private:
    void start();
    QString file(const QString &name) const { return m_dir->filePath(name); }
    QString text(int row) const { return m_list->model()->index(row, StringListModel::TextColumn).data().toString(); }
    QString description(int row) const
    {
        return m_list->model()->index(row, StringListModel::TextColumn).data(Qt::AccessibleDescriptionRole).toString();
    }
    QString findings(int row) const
    {
        return m_list->model()->index(row, StringListModel::TextColumn).data(Qt::ToolTipRole).toString();
    }
    QPlainTextEdit *editor() const { return child<QPlainTextEdit>(*m_window, "memCurString"); }
    QListWidget *suggestions() const { return child<QListWidget>(*m_window, "lstSuggestions"); }
    void select(int row);
    void press(const char *actionName) { m_window->runner()->run(action(*m_window, actionName)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TfrmVantrel> m_window;
    StringListView *m_list = nullptr;
};

void TestMemoryWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    const QList<quint32> numbers{1, 2, 3, 4, 5, 6};
    writeStringsFile(file(QStringLiteral("lang.eng")),
                     {QStringLiteral("Weight: %d Value: %d gold"), QStringLiteral("Weight: %d Value: %d silver"), QStringLiteral("Short Sword"),
                      QStringLiteral("Short Sword"), QStringLiteral("Iron Shield"), QStringLiteral("Open the door")},
                     numbers);
    writeStringsFile(file(QStringLiteral("lang.fre")),
                     {QStringLiteral("Poids : %d Valeur : %d or"), QString(), QStringLiteral("Épée courte"), QStringLiteral("Lame courte"),
                      QStringLiteral("Bouclier"), QString()},
                     numbers);
}

void TestMemoryWindow::cleanup()
{
    m_window.reset();
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
}

void TestMemoryWindow::start()
{
    m_window = startWindow({file(QStringLiteral("lang.fre")), QStringLiteral("--reference"), file(QStringLiteral("lang.eng"))});
    m_list = child<StringListView>(*m_window, "lstStrings");
    QVERIFY(suggestions()->isVisible());
}

void TestMemoryWindow::select(int row)
{
    m_list->deselectAll();
    m_list->selectItemIndex(row);
    editor()->setFocus();
}

void TestMemoryWindow::suggestionsGoInAsTypedAndLearn()
{
    start();
    select(1);
    QTRY_COMPARE(suggestions()->count(), 1);
    QCOMPARE(suggestions()->item(0)->text(), QStringLiteral("80 %  Poids : %d Valeur : %d or"));
    QVERIFY(suggestions()->item(0)->toolTip().contains(QStringLiteral("string 0")));
    QVERIFY(suggestions()->item(0)->toolTip().contains(QStringLiteral("%d <b><u>gold</u></b>")));

    QTest::keyClick(editor(), Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(editor()->toPlainText(), QStringLiteral("Poids : %d Valeur : %d or"));
    QCOMPARE(text(1), QStringLiteral("Poids : %d Valeur : %d or"));
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor()->toPlainText(), QString());
    QCOMPARE(text(1), QString());

    // What was typed a moment ago is suggested for the entry it matches.
    QTest::keyClicks(editor(), QStringLiteral("Poids : %d Valeur : %d argent"));
    select(0);
    QCOMPARE(suggestions()->count(), 1);
    QCOMPARE(suggestions()->item(0)->text(), QStringLiteral("80 %  Poids : %d Valeur : %d argent"));
    QVERIFY(suggestions()->item(0)->toolTip().contains(QStringLiteral("string 1")));
}

void TestMemoryWindow::consistencyMarksFollowEdits()
{
    start();
    QTRY_VERIFY(description(2).contains(QStringLiteral("Problem")));
    QVERIFY(findings(2).contains(QStringLiteral("inconsistent: same source as 3 (\"Lame courte\" there)")));
    QVERIFY(description(3).contains(QStringLiteral("Problem")));
    QVERIFY(!description(0).contains(QStringLiteral("Problem")));
    select(3);
    editor()->selectAll();
    editor()->insertPlainText(QStringLiteral("Épée courte"));
    QVERIFY(!description(2).contains(QStringLiteral("Problem")));
    QVERIFY(!description(3).contains(QStringLiteral("Problem")));
}

void TestMemoryWindow::glossaryRowsAndFindings()
{
    writeBytes(file(QStringLiteral("terms.csv")), QByteArray("term,translation,note\nShield,Écu,the knight's\nsword,Épée|Lame\n"));
    start();
    answerFileDialog(file(QStringLiteral("terms.csv")));
    press("actTranslationGlossaryOpen");
    // Active again once the dialog is gone, as a desktop makes it.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QVERIFY(description(4).contains(QStringLiteral("Problem")));
    QVERIFY(findings(4).contains(QStringLiteral("glossary: \"Shield\" is not translated as \"Écu\"")));
    QVERIFY(!description(0).contains(QStringLiteral("Problem")));

    select(4);
    QCOMPARE(suggestions()->count(), 1);
    QListWidgetItem *term = suggestions()->item(0);
    QCOMPARE(term->text(), QStringLiteral("Shield \u2192 Écu"));
    QVERIFY(term->font().italic());
    QVERIFY(term->toolTip().contains(QStringLiteral("the knight&#x27;s")) || term->toolTip().contains(QStringLiteral("the knight's")));
    editor()->moveCursor(QTextCursor::End);
    editor()->insertPlainText(QStringLiteral(" "));
    const QPoint centre = suggestions()->visualItemRect(term).center();
    QTest::mouseClick(suggestions()->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(suggestions()->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(editor()->toPlainText(), QStringLiteral("Bouclier Écu"));
    QVERIFY(!description(4).contains(QStringLiteral("Problem")));
    editor()->undo();
    QCOMPARE(text(4), QStringLiteral("Bouclier "));
    QVERIFY(description(4).contains(QStringLiteral("Problem")));
}

void TestMemoryWindow::memoryAddedFromTmx()
{
    writeBytes(file(QStringLiteral("old.tmx")),
               QByteArray("<?xml version=\"1.0\"?>\n<tmx version=\"1.4\"><header srclang=\"en-US\"/><body>\n"
                          "<tu><tuv xml:lang=\"en-US\"><seg>Open the door</seg></tuv><tuv xml:lang=\"fr-FR\"><seg>Ouvrir la porte</seg></tuv></tu>\n"
                          "<tu><tuv xml:lang=\"en-US\"><seg>Alone</seg></tuv></tu>\n</body></tmx>\n"));
    start();
    select(5);
    QCOMPARE(suggestions()->count(), 0);
    answerFileDialog(file(QStringLiteral("old.tmx")));
    press("actTranslationMemoryAdd");
    QTRY_COMPARE(suggestions()->count(), 1);
    QCOMPARE(child<QLabel>(*m_window, "StatusPanel")->text(),
             QStringLiteral("Added 1 pair from old.tmx (1 without both languages skipped); the memory holds 5 pairs"));
    QCOMPARE(suggestions()->item(0)->text(), QStringLiteral("100 %  Ouvrir la porte"));
    QVERIFY(suggestions()->item(0)->toolTip().contains(QStringLiteral("old.tmx")));

    // Closing the reference forgets the added memory.
    press("actReferenceClose");
    QVERIFY(!suggestions()->isVisible());
    answerFileDialog(file(QStringLiteral("lang.eng")));
    press("actReferenceOpen");
    select(5);
    QCOMPARE(suggestions()->count(), 0);
}

ZELK_GUI_TEST_MAIN(TestMemoryWindow)
#include "tst_MemoryWindow.moc"
