#include "ActionRunner.h"
#include "GuiTest.h"
#include "SpellChecker.h"
#include "StringListView.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <memory>

using namespace GuiTest;

// Spelling in the real window: underlines, suggestions with Undo, Add to
// Dictionary surviving a restart, Ignore, F7 and the language in the status
// bar. Needs Debian's hunspell-fr.
class TestSpellingWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void underlinedAsTyped();
    void contextMenuSuggestsAddsAndIgnores();

private:
    std::unique_ptr<TfrmVantrel> start();
    QString file(const QString &name) const { return m_dir->filePath(name); }
    QPlainTextEdit *editor() const { return child<QPlainTextEdit>(*m_window, "memCurString"); }
    // The words of the editor's first line underlined as misspelt.
    QStringList underlined() const;
    // Opens the editor's context menu on the word at a position and chooses
    // the entry with that text (or that name).
    void choose(int position, const QString &entry);

    std::unique_ptr<QTemporaryDir> m_dir;
    TfrmVantrel *m_window = nullptr;
};

void TestSpellingWindow::initTestCase()
{
    quietPlatformWarnings();
    if (!Dictionaries::exists(QStringLiteral("fr_FR")))
        QSKIP("needs hunspell-fr");
}

void TestSpellingWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    writeStringsFile(file(QStringLiteral("lang.eng")), {QStringLiteral("The knight Zorgon"), QStringLiteral("Hello")}, {1, 2});
    writeStringsFile(file(QStringLiteral("lang.fre")), {QStringLiteral("Le chevalier Zorgon"), QStringLiteral("Bonjour")}, {1, 2});
}

std::unique_ptr<TfrmVantrel> TestSpellingWindow::start()
{
    auto window = startWindow({file(QStringLiteral("lang.fre")), QStringLiteral("--reference"), file(QStringLiteral("lang.eng"))});
    m_window = window.get();
    child<StringListView>(*window, "lstStrings")->selectItemIndex(0);
    editor()->setFocus();
    return window;
}

QStringList TestSpellingWindow::underlined() const
{
    QStringList words;
    const QTextBlock block = editor()->document()->firstBlock();
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        if (range.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline)
            words << block.text().mid(range.start, range.length);
    }
    return words;
}

void TestSpellingWindow::choose(int position, const QString &entry)
{
    QTimer::singleShot(0, this, [entry] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions()) {
            if (action->text() == entry || action->objectName() == entry) {
                menu->close();
                action->trigger();
                return;
            }
        }
        menu->close();
        QFAIL(qPrintable(QStringLiteral("no \"%1\" in the menu").arg(entry)));
    });
    QTextCursor cursor(editor()->document());
    cursor.setPosition(position);
    const QPoint at = editor()->cursorRect(cursor).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, editor()->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(editor()->viewport(), &event);
}

// On by default with a reference and a French dictionary: words are
// underlined as they are typed, not the name the English has too; F7 turns
// it off and on.
void TestSpellingWindow::underlinedAsTyped()
{
    const auto window = start();
    QCOMPARE(child<QLabel>(*window, "lblReferenceProgress")->text().section(QStringLiteral("; "), 1),
             QStringLiteral("spelling: French (fr_FR)"));
    QVERIFY(action(*window, "actTranslationSpelling")->isChecked());
    editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor(), QStringLiteral(" est tres fort"));
    QCOMPARE(underlined(), QStringList{QStringLiteral("tres")});
    QTest::keyClick(editor(), Qt::Key_F7);
    QVERIFY(underlined().isEmpty());
    QVERIFY(!child<QLabel>(*window, "lblReferenceProgress")->text().contains(QLatin1String("spelling")));
    QTest::keyClick(editor(), Qt::Key_F7);
    QCOMPARE(underlined(), QStringList{QStringLiteral("tres")});
    QVERIFY(window->isModified());
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("Le chevalier Zorgon est tres fort"));
}

void TestSpellingWindow::contextMenuSuggestsAddsAndIgnores()
{
    {
        const auto window = start();
        editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor(), QStringLiteral(" est tres fort et Zzyzxa"));
        QCOMPARE(underlined(), (QStringList{QStringLiteral("tres"), QStringLiteral("Zzyzxa")}));

        // A suggestion replaces the word as typing would; Undo takes it back.
        choose(25, QStringLiteral("très"));
        QCOMPARE(window->table().GetEntry(0), QStringLiteral("Le chevalier Zorgon est très fort et Zzyzxa"));
        QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor()->toPlainText(), QStringLiteral("Le chevalier Zorgon est tres fort et Zzyzxa"));

        // Ignore lasts for the program; Add to Dictionary goes to the list.
        choose(25, QStringLiteral("actSpellingIgnore"));
        QCOMPARE(underlined(), QStringList{QStringLiteral("Zzyzxa")});
        choose(39, QStringLiteral("actSpellingAdd"));
        QVERIFY(underlined().isEmpty());
    }
    QFile words(Dictionaries::personalWordsFile(QStringLiteral("fr_FR")));
    QVERIFY(words.open(QIODevice::ReadOnly));
    QCOMPARE(words.readAll(), QByteArray("Zzyzxa\n"));
    // A new start reads the personal list again.
    const auto window = start();
    editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor(), QStringLiteral(" Zzyzxa tres"));
    QCOMPARE(underlined(), QStringList{QStringLiteral("tres")});
}

ZELK_GUI_TEST_MAIN(TestSpellingWindow)
#include "tst_SpellingWindow.moc"
