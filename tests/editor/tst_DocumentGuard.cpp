#include "ActionRunner.h"
#include "DocumentGuard.h"
#include "GuiTest.h"
#include "ReviewFile.h"
#include "StringListView.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <memory>

using namespace GuiTest;

// Work kept safe: recovery copies, another program's changes to the file,
// and a file that looks cut short.
class TestDocumentGuard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }
    void init();
    void cleanup();

    void recoveryOfUnsavedWork_data();
    void recoveryOfUnsavedWork();
    void savedOrDeclinedWorkLeavesNoCopy();
    void anotherProgramsChange_data();
    void anotherProgramsChange();
    void failedReviewWriteIsNoOtherProgram_data();
    void failedReviewWriteIsNoOtherProgram();
    void cutShortFileIsReported();

private:
    QString file(const QString &name) const { return m_dir->filePath(name); }
    static DocumentGuard &guard(const TfrmVantrel &window) { return *window.findChild<DocumentGuard *>(); }
    static void type(TfrmVantrel &window, int row, const QString &text);
    static void activateAgain(TfrmVantrel &window);
    static QStringList copies() { return QDir(RecoveryCopies::folder()).entryList({QStringLiteral("*.recovery")}); }
    void press(TfrmVantrel &window, const char *name) { window.runner()->run(action(window, name)); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDocumentGuard::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    writeStringsFile(file(QStringLiteral("lang.fre")), {QStringLiteral("Bonjour"), QStringLiteral("Salut")}, {1, 2});
}

void TestDocumentGuard::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
}

void TestDocumentGuard::type(TfrmVantrel &window, int row, const QString &text)
{
    auto *list = child<StringListView>(window, "lstStrings");
    list->deselectAll();
    list->selectItemIndex(row);
    // After a dialog the window must be active again for the editor to take
    // the focus.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *editor = child<QPlainTextEdit>(window, "memCurString");
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, text);
}

// Another window comes and goes, as when the user switches programs.
void TestDocumentGuard::activateAgain(TfrmVantrel &window)
{
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCoreApplication::processEvents();
}

void TestDocumentGuard::recoveryOfUnsavedWork_data()
{
    QTest::addColumn<bool>("untitled");
    QTest::newRow("a file") << false;
    QTest::newRow("a new document") << true;
}

// A window that ends without closing (as when its program is killed) leaves
// a copy; the next start offers it, and Yes brings the work back, unsaved.
void TestDocumentGuard::recoveryOfUnsavedWork()
{
    QFETCH(bool, untitled);
    const QStringList arguments = untitled ? QStringList{} : QStringList{file(QStringLiteral("lang.fre"))};
    ReviewFile review;
    review.entries.push_back(ReviewEntry{ReviewEntry::State::New, 1, 0, QString(), QStringLiteral("Hello"), 0, {}, {}, {}});
    review.write(file(QStringLiteral("lang.fre.review.json")));
    {
        auto window = startWindow(arguments);
        if (untitled) {
            answerInput(QStringLiteral("Nouveau"));
            press(*window, "actStringsAdd");
        } else {
            // Done with entry 0, unsaved: the copy's review state has it.
            child<StringListView>(*window, "lstStrings")->selectItemIndex(0);
            answerBox(QMessageBox::Ok); // nothing else is unfinished
            press(*window, "actTranslationDone");
        }
        type(*window, untitled ? 0 : 1, QStringLiteral(" !"));
        QVERIFY(window->isModified());
        guard(*window).recovery().writeNow();
        QCOMPARE(copies().size(), 1);
    }
    QCOMPARE(copies().size(), 1);
    BoxSeen box;
    answerBox(QMessageBox::Yes, &box);
    const auto window = startWindowKeepingCopies(arguments);
    const QString name = untitled ? QStringLiteral("Untitled.bin") : QDir::toNativeSeparators(file(QStringLiteral("lang.fre")));
    QVERIFY2(box.text.startsWith(name + QStringLiteral(" has unsaved changes from ")), qPrintable(box.text));
    QVERIFY(box.text.endsWith(QLatin1String(" that were not saved when the program last ended. Recover them?")));
    QVERIFY(window->isModified());
    QCOMPARE(window->isNewDocument(), untitled);
    QCOMPARE(window->table().GetEntry(untitled ? 0 : 1), untitled ? QStringLiteral("Nouveau !") : QStringLiteral("Salut !"));
    if (untitled)
        return;
    QVERIFY(!child<QLabel>(*window, "lblReferenceProgress")->isVisible());
    // Save writes it to the file, and the copy goes; so does the review file,
    // with nothing left in it.
    press(*window, "actFileSave");
    QVERIFY(!QFile::exists(file(QStringLiteral("lang.fre.review.json"))));
    TZelkStrings saved;
    saved.LoadFromFile(file(QStringLiteral("lang.fre")));
    QCOMPARE(saved.GetEntry(1), QStringLiteral("Salut !"));
    QVERIFY(copies().isEmpty());
}

void TestDocumentGuard::savedOrDeclinedWorkLeavesNoCopy()
{
    {
        auto window = startWindow({file(QStringLiteral("lang.fre"))});
        type(*window, 0, QStringLiteral("?"));
        guard(*window).recovery().writeNow();
        QCOMPARE(copies().size(), 1);
        // No to the save prompt: the work goes, and so does its copy.
        answerBox(QMessageBox::No);
        press(*window, "actFileClose");
        QVERIFY(copies().isEmpty());
        window->openDocument(file(QStringLiteral("lang.fre")));
        type(*window, 0, QStringLiteral("?"));
        guard(*window).recovery().writeNow();
    }
    // No to the offer: the copy is deleted, the file opens as it is.
    answerBox(QMessageBox::No);
    const auto window = startWindowKeepingCopies({file(QStringLiteral("lang.fre"))});
    QVERIFY(copies().isEmpty());
    QVERIFY(!window->isModified());
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("Bonjour"));
}

void TestDocumentGuard::anotherProgramsChange_data()
{
    QTest::addColumn<bool>("modified");
    QTest::newRow("without unsaved changes") << false;
    QTest::newRow("with unsaved changes") << true;
}

void TestDocumentGuard::anotherProgramsChange()
{
    QFETCH(bool, modified);
    const QString path = file(QStringLiteral("lang.fre"));
    auto window = startWindow({path});
    if (modified)
        type(*window, 0, QStringLiteral("!"));

    // A new time alone is no change; the window's own save is none either.
    QFile touched(path);
    QVERIFY(touched.open(QIODevice::ReadWrite));
    QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    touched.close();
    {
        NoDialogExpected none;
        activateAgain(*window);
        if (modified) {
            press(*window, "actFileSave");
            activateAgain(*window);
        }
        QVERIFY(!none.seen());
    }

    // Another program writes the file: on activation, the offer to reload.
    writeStringsFile(path, {QStringLiteral("Autre"), QStringLiteral("Programme")}, {1, 2});
    if (modified)
        type(*window, 0, QStringLiteral("!"));
    BoxSeen box;
    answerBox(QMessageBox::No, &box);
    activateAgain(*window);
    QCOMPARE(box.text, QDir::toNativeSeparators(path)
                           + (modified ? QStringLiteral(" was changed by another program. Reload it? Your unsaved changes will be lost.")
                                       : QStringLiteral(" was changed by another program. Reload it?")));
    if (modified) {
        // Saving would replace the other program's work: asked, No writes nothing.
        answerBox(QMessageBox::No, &box);
        press(*window, "actFileSave");
        QCOMPARE(box.text, QDir::toNativeSeparators(path)
                               + QStringLiteral(" was changed by another program since it was opened. Replace it with your version?"));
        QVERIFY(window->isModified());
        TZelkStrings onDisk;
        onDisk.LoadFromFile(path);
        QCOMPARE(onDisk.GetEntry(0), QStringLiteral("Autre"));
        return;
    }
    // Declined once, not asked again for the same change; Yes reloads.
    activateAgain(*window);
    writeStringsFile(path, {QStringLiteral("Encore")}, {1});
    answerBox(QMessageBox::Yes);
    activateAgain(*window);
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("Encore"));
    QVERIFY(!window->isModified());
}

void TestDocumentGuard::failedReviewWriteIsNoOtherProgram_data()
{
    QTest::addColumn<QString>("saveAs");
    QTest::newRow("Save") << QString();
    QTest::newRow("Save As") << QStringLiteral("copy.fre");
}

// The file is written and its review file cannot be (it now leads into a
// folder that is gone): the error is shown, the document takes the name it
// was written to and is still to save, and that file is not taken for
// another program's.
void TestDocumentGuard::failedReviewWriteIsNoOtherProgram()
{
    QFETCH(QString, saveAs);
    const QString path = file(saveAs.isEmpty() ? QStringLiteral("lang.fre") : saveAs);
    const QString reviewPath = path + QStringLiteral(".review.json");
    ReviewFile review;
    review.entries.push_back(ReviewEntry{ReviewEntry::State::New, 2, 1, QString(), QStringLiteral("Hi"), 0, {}, {}, {}});
    review.write(file(QStringLiteral("lang.fre.review.json")));
    auto window = startWindow({file(QStringLiteral("lang.fre"))});
    QFile::remove(reviewPath);
    QVERIFY(QFile::link(file(QStringLiteral("gone/review.json")), reviewPath));
    // Save As needs no edit: what it could not write is still to save.
    const QString typed = saveAs.isEmpty() ? QStringLiteral("!") : QString();
    if (!typed.isEmpty())
        type(*window, 0, typed);
    BoxSeen box;
    if (!saveAs.isEmpty())
        answerFileDialog(path);
    answerBox(QMessageBox::Ok, &box);
    press(*window, saveAs.isEmpty() ? "actFileSave" : "actFileSaveAs");
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(reviewPath)), qPrintable(box.text));
    QCOMPARE(window->fileName(), path);
    QVERIFY(window->windowTitle().endsWith(QFileInfo(path).fileName()));
    QVERIFY(window->isModified());
    TZelkStrings onDisk;
    onDisk.LoadFromFile(path);
    QCOMPARE(onDisk.GetEntry(0), QStringLiteral("Bonjour") + typed);
    NoDialogExpected none;
    activateAgain(*window);
    QVERIFY(!none.seen());
}

// Cut short inside the second text: the third points past the end, and the
// second runs to the end without its terminator.
void TestDocumentGuard::cutShortFileIsReported()
{
    const QString path = file(QStringLiteral("cut.fre"));
    writeBytes(path, stringsImage({QStringLiteral("Oui"), QStringLiteral("Bâton en bois"), QStringLiteral("Non")}, {1, 2, 3}).left(54));
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    const auto window = startWindow({path});
    const QString message = QStringLiteral("1 entry points past the end of the file, and the last text has no terminator: "
                                           "the file may be incomplete");
    QCOMPARE(box.text, message);
    QCOMPARE(child<QLabel>(*window, "StatusPanel")->text(), message);
    QCOMPARE(window->table().GetEntry(1), QStringLiteral("Bâton en "));
}

ZELK_GUI_TEST_MAIN(TestDocumentGuard)
#include "tst_DocumentGuard.moc"
