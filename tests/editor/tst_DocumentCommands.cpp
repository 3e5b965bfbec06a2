#include "ChildProcess.h"
#include "GuiTest.h"
#include "MessageBoxes.h"
#include "StringListView.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>

#include <memory>

using namespace GuiTest;

namespace {

const QString OldFilter = QStringLiteral("Pre-Tarn 2004 Format (*.cze *.eng *.fin *.fre *.ger *.swe)");
const QString NewFilter = QStringLiteral("Post-Tarn 2004 Format (*.cze *.eng *.fin *.fre *.ger *.swe *.bin)");
const QString AllFilter = QStringLiteral("All Files (*.*)");

// What a file dialog proposed when it opened: its name field and filter.
struct DialogSeen
{
    QString name;
    QString filter;
    QString title;
    bool seen = false;
};

void noteAndAnswer(DialogSeen *seen, const QString &fileName, const QString &filter = QString())
{
    onNextModal([=](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        seen->seen = true;
        seen->name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        seen->filter = dialog->selectedNameFilter();
        if (fileName.isEmpty()) {
            dialog->reject();
            return;
        }
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        typeFileNameAndAccept(dialog, fileName);
    });
}

int rowsOf(const TfrmVantrel &window)
{
    return child<StringListView>(window, "lstStrings")->model()->rowCount();
}

} // namespace

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void newAndCloseWithoutChangesAskNothing();
    void newOnAModifiedDocument_data();
    void newOnAModifiedDocument();
    void closeYesThenSaveAsCancelledKeepsTheDocument();
    void closeYesThenSaveAsAcceptedWritesAndCloses();
    void openCancelledInThePromptLoadsNothing();
    void openDocumentLoadsLikeOpen();
    void openDialogRemembersItsFile();
    void saveAsProposesNameAndLayout();
    void saveAsFilterChoosesTheLayout_data();
    void saveAsFilterChoosesTheLayout();
    void choosingAFilterKeepsTheTypedName();
    void saveAsAsksBeforeOverwriting();
    void saveAfterSaveAsWritesWithoutADialog();
    void saveAsInOtherCaseKeepsTheCaption();
    void failedSaveKeepsTheOldFileAndTheDocument();
    void fullDiskKeepsTheFileAndTheChanges();
    void failedSaveAsChangesNothing();
    void failedSaveInCloseStopsExit();
    void failedLoadLeavesNoDocument();
    void closingTheWindow_data();
    void closingTheWindow();
    void endOfSession_data();
    void endOfSession();

private:
    void modify(TfrmVantrel &window, const QString &text = QStringLiteral("added"));

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDocumentCommands::initTestCase()
{
    quietPlatformWarnings();
}

void TestDocumentCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // Readable by the ordinary user some tests act as.
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                             | QFile::ExeOther);
    MessageBoxes::setApplicationTitle(QStringLiteral("Zelk Strings Editor"));
}

void TestDocumentCommands::cleanup()
{
    QCOMPARE(pendingAnswers(), 0);
    clearAnswers();
}

void TestDocumentCommands::modify(TfrmVantrel &window, const QString &text)
{
    answerInput(text);
    action(window, "actStringsAdd")->trigger();
    QVERIFY(window.isModified());
}

void TestDocumentCommands::newAndCloseWithoutChangesAskNothing()
{
    const QString path = m_dir->filePath(QStringLiteral("a.eng"));
    writeStringsFile(path, {QStringLiteral("one")});
    const auto window = startWindow({path});
    {
        const NoDialogExpected noPrompt;
        action(*window, "actFileNew")->trigger();
        QVERIFY(!noPrompt.seen());
    }
    QCOMPARE(window->fileName(), QStringLiteral("Untitled.bin"));
    QCOMPARE(rowsOf(*window), 0);
    QCOMPARE(window->table().EntryCount(), 0u);
    {
        const NoDialogExpected noPrompt;
        action(*window, "actFileClose")->trigger();
        QVERIFY(!noPrompt.seen());
    }
    QVERIFY(window->fileName().isEmpty());
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor"));
    for (const char *name : {"actFileSave", "actFileSaveAs", "actFileClose", "actEditFind", "actStringsAdd"})
        QVERIFY2(!action(*window, name)->isEnabled(), name);
    // Close with no document does nothing; New makes a document at once.
    action(*window, "actFileClose")->trigger();
    action(*window, "actFileNew")->trigger();
    QCOMPARE(window->fileName(), QStringLiteral("Untitled.bin"));
    QVERIFY(window->isNewDocument());
}

void TestDocumentCommands::newOnAModifiedDocument_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Cancel keeps everything") << int(QMessageBox::Cancel);
    QTest::newRow("No drops the changes") << int(QMessageBox::No);
}

void TestDocumentCommands::newOnAModifiedDocument()
{
    QFETCH(int, answer);
    const QString path = m_dir->filePath(QStringLiteral("b.eng"));
    writeStringsFile(path, {QStringLiteral("one"), QStringLiteral("two")});
    const auto window = startWindow({path});
    modify(*window);
    BoxSeen prompt;
    answerBox(answer, &prompt);
    action(*window, "actFileNew")->trigger();
    QCOMPARE(prompt.title, QStringLiteral("Confirm"));
    QCOMPARE(prompt.text, QStringLiteral("Do you wish to save changes?"));
    prompt.buttons.sort();
    QCOMPARE(prompt.buttons, (QStringList{QStringLiteral("&No"), QStringLiteral("&Yes"), QStringLiteral("Cancel")}));
    QCOMPARE(prompt.defaultButton, int(QMessageBox::Yes));
    if (answer == QMessageBox::Cancel) {
        QCOMPARE(window->fileName(), path);
        QCOMPARE(rowsOf(*window), 3);
        QVERIFY(window->isModified());
    } else {
        QCOMPARE(window->fileName(), QStringLiteral("Untitled.bin"));
        QCOMPARE(rowsOf(*window), 0);
        QCOMPARE(window->table().EntryCount(), 0u);
        QVERIFY(!window->isModified());
        // Add numbers its row after no old entries.
        modify(*window);
        QCOMPARE(window->table().EntryCount(), 1u);
    }
    QCOMPARE(readBytes(path), stringsImage({QStringLiteral("one"), QStringLiteral("two")}, {}, true));
}

void TestDocumentCommands::closeYesThenSaveAsCancelledKeepsTheDocument()
{
    const auto window = startWindow();
    modify(*window, QStringLiteral("precious"));
    answerBox(QMessageBox::Yes);
    DialogSeen saveAs;
    noteAndAnswer(&saveAs, QString());
    action(*window, "actFileClose")->trigger();
    QVERIFY(saveAs.seen);
    QCOMPARE(window->fileName(), QStringLiteral("Untitled.bin"));
    QVERIFY(window->isModified());
    QVERIFY(window->isNewDocument());
    QCOMPARE(window->table().GetEntry(0), QStringLiteral("precious"));
    QCOMPARE(rowsOf(*window), 1);
}

void TestDocumentCommands::closeYesThenSaveAsAcceptedWritesAndCloses()
{
    const auto window = startWindow();
    modify(*window, QStringLiteral("kept"));
    const QString path = m_dir->filePath(QStringLiteral("saved.eng"));
    answerBox(QMessageBox::Yes);
    DialogSeen saveAs;
    noteAndAnswer(&saveAs, path);
    action(*window, "actFileClose")->trigger();
    QCOMPARE(readBytes(path), stringsImage({QStringLiteral("kept")}, {0}, true));
    QVERIFY(window->fileName().isEmpty());
    QVERIFY(!window->isModified());
}

void TestDocumentCommands::openCancelledInThePromptLoadsNothing()
{
    const QString first = m_dir->filePath(QStringLiteral("first.eng"));
    const QString second = m_dir->filePath(QStringLiteral("second.eng"));
    writeStringsFile(first, {QStringLiteral("first")});
    writeStringsFile(second, {QStringLiteral("x"), QStringLiteral("y")});
    const auto window = startWindow({first});
    modify(*window);
    answerFileDialog(second);
    answerBox(QMessageBox::Cancel);
    action(*window, "actFileOpen")->trigger();
    QCOMPARE(window->fileName(), first);
    QCOMPARE(rowsOf(*window), 2);
    QVERIFY(window->isModified());

    // The dialog comes first; cancelling it asks nothing.
    cancelDialog();
    action(*window, "actFileOpen")->trigger();
    QCOMPARE(window->fileName(), first);
    QCOMPARE(pendingAnswers(), 0);
}

void TestDocumentCommands::openDocumentLoadsLikeOpen()
{
    const QString first = m_dir->filePath(QStringLiteral("first.eng"));
    const QString second = m_dir->filePath(QStringLiteral("second.eng"));
    writeStringsFile(first, {QStringLiteral("first")});
    writeStringsFile(second, {QStringLiteral("x"), QStringLiteral("y")});
    const auto window = startWindow({first});
    modify(*window);
    answerBox(QMessageBox::Cancel);
    window->openDocument(second);
    QCOMPARE(window->fileName(), first);
    QVERIFY(window->isModified());
    answerBox(QMessageBox::No);
    window->openDocument(second);
    QCOMPARE(window->fileName(), second);
    QCOMPARE(rowsOf(*window), 2);
    // The Open dialog proposes it next time.
    DialogSeen opening;
    noteAndAnswer(&opening, QString());
    action(*window, "actFileOpen")->trigger();
    QCOMPARE(opening.name, QStringLiteral("second.eng"));
}

void TestDocumentCommands::openDialogRemembersItsFile()
{
    const QString first = m_dir->filePath(QStringLiteral("first.eng"));
    const QString second = m_dir->filePath(QStringLiteral("second.fre"));
    writeStringsFile(first, {QStringLiteral("first")});
    writeStringsFile(second, {QStringLiteral("second")});
    const auto window = startWindow({first});
    DialogSeen opening;
    noteAndAnswer(&opening, second, AllFilter);
    action(*window, "actFileOpen")->trigger();
    QCOMPARE(opening.name, QStringLiteral("first.eng"));
    QCOMPARE(opening.filter, QStringLiteral("Zelk String Files (*.cze *.eng *.fin *.fre *.ger *.swe *.bin)"));
    QCOMPARE(window->fileName(), second);
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor - second.fre"));

    DialogSeen again;
    noteAndAnswer(&again, QString());
    action(*window, "actFileOpen")->trigger();
    QCOMPARE(again.name, QStringLiteral("second.fre"));
    QCOMPARE(again.filter, AllFilter);
}

void TestDocumentCommands::saveAsProposesNameAndLayout()
{
    const auto window = startWindow();
    DialogSeen atStart;
    noteAndAnswer(&atStart, QString());
    action(*window, "actFileSaveAs")->trigger();
    QCOMPARE(atStart.name, QStringLiteral("Untitled.bin"));
    QCOMPARE(atStart.filter, NewFilter);

    const QString old = m_dir->filePath(QStringLiteral("old.eng"));
    writeStringsFile(old, {QStringLiteral("a")}, {}, false);
    answerFileDialog(old);
    action(*window, "actFileOpen")->trigger();
    DialogSeen afterOld;
    noteAndAnswer(&afterOld, QString());
    action(*window, "actFileSaveAs")->trigger();
    QCOMPARE(afterOld.name, QStringLiteral("old.eng"));
    QCOMPARE(afterOld.filter, OldFilter);

    // New keeps the layout of the table.
    action(*window, "actFileNew")->trigger();
    DialogSeen afterNew;
    noteAndAnswer(&afterNew, QString());
    action(*window, "actFileSaveAs")->trigger();
    QCOMPARE(afterNew.name, QStringLiteral("Untitled.bin"));
    QCOMPARE(afterNew.filter, OldFilter);
}

void TestDocumentCommands::saveAsFilterChoosesTheLayout_data()
{
    QTest::addColumn<bool>("startNew");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("writtenNew");
    QTest::newRow("Pre-Tarn from new") << true << OldFilter << false;
    QTest::newRow("Post-Tarn from old") << false << NewFilter << true;
    QTest::newRow("All Files keeps new") << true << AllFilter << true;
    QTest::newRow("All Files keeps old") << false << AllFilter << false;
}

void TestDocumentCommands::saveAsFilterChoosesTheLayout()
{
    QFETCH(bool, startNew);
    QFETCH(QString, filter);
    QFETCH(bool, writtenNew);
    const QString source = m_dir->filePath(QStringLiteral("source.eng"));
    const QStringList texts{QStringLiteral("Yes"), QStringLiteral("line\nbreak")};
    writeStringsFile(source, texts, {0x12345678, 0x9ABCDEF0}, startNew);
    const auto window = startWindow({source});
    const QString target = m_dir->filePath(QStringLiteral("target"));
    answerFileDialog(target, filter);
    action(*window, "actFileSaveAs")->trigger();
    QCOMPARE(window->fileName(), target);
    QCOMPARE(window->table().NewFormat(), writtenNew);
    const QList<quint32> numbers = startNew ? QList<quint32>{0x12345678, 0x9ABCDEF0} : QList<quint32>{0, 0};
    QCOMPARE(readBytes(target), stringsImage(texts, numbers, writtenNew));
    QVERIFY(!window->isModified());
    QVERIFY(!window->isNewDocument());
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor - target"));
    QCOMPARE(MessageBoxes::applicationTitle(), window->windowTitle());
}

void TestDocumentCommands::choosingAFilterKeepsTheTypedName()
{
    const auto window = startWindow();
    modify(*window);
    const QString path = m_dir->filePath(QStringLiteral("doc.bin"));
    QString nameAfterChoice;
    onNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        for (auto *view : dialog->findChildren<QAbstractItemView *>())
            view->clearSelection();
        name->setText(path);
        // The user picks the first filter in the list of file types.
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        types->setCurrentIndex(0);
        Q_EMIT types->activated(0);
        Q_EMIT types->textActivated(types->itemText(0));
        nameAfterChoice = name->text();
        static_cast<QDialog *>(dialog)->accept();
    });
    action(*window, "actFileSaveAs")->trigger();
    QCOMPARE(nameAfterChoice, path);
    QCOMPARE(window->fileName(), path);
    QCOMPARE(readBytes(path), stringsImage({QStringLiteral("added")}, {}, false));
}

void TestDocumentCommands::saveAsAsksBeforeOverwriting()
{
    const QString existing = m_dir->filePath(QStringLiteral("existing.eng"));
    writeStringsFile(existing, {QStringLiteral("old contents")});
    const QByteArray before = readBytes(existing);
    const auto window = startWindow();
    modify(*window);
    bool stillOpenAfterNo = false;
    answerFileDialog(existing);
    onNextModal([&](QWidget *question) {
        auto *box = qobject_cast<QMessageBox *>(question);
        QWidget *dialog = box ? box->parentWidget() : nullptr;
        if (box)
            box->button(QMessageBox::No)->click();
        QTimer::singleShot(50, [dialog, &stillOpenAfterNo] {
            stillOpenAfterNo = dialog && dialog->isVisible();
            if (auto *fileDialog = qobject_cast<QDialog *>(dialog))
                fileDialog->reject();
        });
    });
    action(*window, "actFileSaveAs")->trigger();
    QVERIFY(stillOpenAfterNo);
    QCOMPARE(readBytes(existing), before);
    QCOMPARE(window->fileName(), QStringLiteral("Untitled.bin"));
    QVERIFY(window->isModified());
}

void TestDocumentCommands::saveAfterSaveAsWritesWithoutADialog()
{
    const auto window = startWindow();
    modify(*window, QStringLiteral("first"));
    const QString path = m_dir->filePath(QStringLiteral("doc.bin"));
    answerFileDialog(path);
    action(*window, "actFileSave")->trigger();
    QCOMPARE(window->fileName(), path);
    QVERIFY(!action(*window, "actFileSave")->isEnabled());
    modify(*window, QStringLiteral("second"));
    {
        const NoDialogExpected noDialog;
        action(*window, "actFileSave")->trigger();
        QVERIFY(!noDialog.seen());
    }
    QCOMPARE(readBytes(path), stringsImage({QStringLiteral("first"), QStringLiteral("second")}, {}, true));
    QVERIFY(!window->isModified());
}

void TestDocumentCommands::saveAsInOtherCaseKeepsTheCaption()
{
    const QString path = m_dir->filePath(QStringLiteral("lang.eng"));
    writeStringsFile(path, {QStringLiteral("a")});
    const auto window = startWindow({path});
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor - lang.eng"));
    const QString upper = m_dir->filePath(QStringLiteral("LANG.eng"));
    answerFileDialog(upper);
    action(*window, "actFileSaveAs")->trigger();
    QCOMPARE(window->fileName(), upper);
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor - lang.eng"));
    QCOMPARE(MessageBoxes::applicationTitle(), QStringLiteral("Zelk Strings Editor - lang.eng"));
}

void TestDocumentCommands::failedSaveKeepsTheOldFileAndTheDocument()
{
    const QString folder = m_dir->filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/lang.eng");
    writeStringsFile(path, {QStringLiteral("on disk")});
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    const QByteArray before = readBytes(path);
    const auto window = startWindow({path});
    modify(*window);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    {
        const OrdinaryUser user;
        action(*window, "actFileSave")->trigger();
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(box.text, QStringLiteral("Cannot create file \"%1\". Permission denied.").arg(path));
    QCOMPARE(box.title, QStringLiteral("Zelk Strings Editor - lang.eng"));
    QCOMPARE(readBytes(path), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("lang.eng")});
    QVERIFY(window->isModified());
    QVERIFY(action(*window, "actFileSave")->isEnabled());
}

void TestDocumentCommands::fullDiskKeepsTheFileAndTheChanges()
{
    QStringList texts;
    for (int i = 0; i < 300; ++i)
        texts << QStringLiteral("a text that makes the file longer than the space left on the disk %1").arg(i);
    const QString path = m_dir->filePath(QStringLiteral("lang.eng"));
    writeStringsFile(path, texts);
    const QByteArray before = readBytes(path);
    const auto window = startWindow({path});
    modify(*window);
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    {
        const FileSizeLimit fullDisk(4096);
        action(*window, "actFileSave")->trigger();
    }
    QCOMPARE(box.text, QStringLiteral("Stream write error."));
    QCOMPARE(readBytes(path), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("lang.eng")});
    QVERIFY(window->isModified());
    QCOMPARE(window->fileName(), path);
    // With room on the disk again, Save writes everything.
    action(*window, "actFileSave")->trigger();
    QVERIFY(!window->isModified());
    QCOMPARE(readBytes(path), stringsImage(texts + QStringList{QStringLiteral("added")}));
}

void TestDocumentCommands::failedSaveAsChangesNothing()
{
    const QString path = m_dir->filePath(QStringLiteral("lang.eng"));
    writeStringsFile(path, {QStringLiteral("a")});
    const auto window = startWindow({path});
    modify(*window);
    const QString folder = m_dir->filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const QString target = folder + QStringLiteral("/copy.eng");
    answerFileDialog(target, OldFilter);
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    {
        const OrdinaryUser user;
        action(*window, "actFileSaveAs")->trigger();
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(box.text, QStringLiteral("Cannot create file \"%1\". Permission denied.").arg(target));
    QCOMPARE(window->fileName(), path);
    QVERIFY(window->table().NewFormat());
    QVERIFY(window->isModified());
    QVERIFY(!window->isNewDocument());
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor - lang.eng"));
    QVERIFY(!QFile::exists(target));
}

void TestDocumentCommands::failedSaveInCloseStopsExit()
{
    const QString folder = m_dir->filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/lang.eng");
    writeStringsFile(path, {QStringLiteral("on disk")});
    const auto window = startWindow({path});
    modify(*window);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    answerBox(QMessageBox::Yes);
    BoxSeen error, second;
    answerBox(QMessageBox::Ok, &error);
    answerBox(QMessageBox::Ok, &second);
    {
        const OrdinaryUser user;
        action(*window, "actFileExit")->trigger();
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(error.text.startsWith(QStringLiteral("Cannot create file")));
    QVERIFY(!second.seen);
    clearAnswers();
    QVERIFY(window->isVisible());
    QCOMPARE(window->fileName(), path);
    QVERIFY(window->isModified());
}

void TestDocumentCommands::failedLoadLeavesNoDocument()
{
    const QString good = m_dir->filePath(QStringLiteral("good.eng"));
    writeStringsFile(good, {QStringLiteral("a"), QStringLiteral("b")}, {}, false);
    const QString damaged = m_dir->filePath(QStringLiteral("damaged.eng"));
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromHex("FEFEFEFE05000000"));
    file.close();
    const auto window = startWindow({good});
    answerFileDialog(damaged);
    BoxSeen box;
    answerBox(QMessageBox::Ok, &box);
    action(*window, "actFileOpen")->trigger();
    QCOMPARE(box.text, QStringLiteral("Stream read error."));
    QVERIFY(window->fileName().isEmpty());
    QCOMPARE(rowsOf(*window), 0);
    QCOMPARE(window->table().EntryCount(), 0u);
    QCOMPARE(window->windowTitle(), QStringLiteral("Zelk Strings Editor"));
    QVERIFY(!action(*window, "actFileClose")->isEnabled());
    QVERIFY(!window->table().NewFormat());
    // New and closing the window go on working.
    action(*window, "actFileNew")->trigger();
    QCOMPARE(window->fileName(), QStringLiteral("Untitled.bin"));
    QVERIFY(window->close());
}

void TestDocumentCommands::closingTheWindow_data()
{
    QTest::addColumn<bool>("throughExit");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Exit, Cancel") << true << int(QMessageBox::Cancel) << false;
    QTest::newRow("Exit, No") << true << int(QMessageBox::No) << true;
    QTest::newRow("close box, Cancel") << false << int(QMessageBox::Cancel) << false;
    QTest::newRow("close box, No") << false << int(QMessageBox::No) << true;
    QTest::newRow("close box, Yes then Save As cancelled") << false << int(QMessageBox::Yes) << false;
}

void TestDocumentCommands::closingTheWindow()
{
    QFETCH(bool, throughExit);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    const auto window = startWindow();
    modify(*window);
    answerBox(answer);
    if (answer == QMessageBox::Yes)
        cancelDialog();
    if (throughExit)
        action(*window, "actFileExit")->trigger();
    else
        window->close();
    QCOMPARE(window->isVisible(), !closes);
    QCOMPARE(window->isModified(), !closes);
    QCOMPARE(window->fileName().isEmpty(), closes);
}

void TestDocumentCommands::endOfSession_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("canAsk");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("mayEnd");
    QTest::newRow("unchanged") << false << true << 0 << true;
    QTest::newRow("modified, Cancel refuses") << true << true << int(QMessageBox::Cancel) << false;
    QTest::newRow("modified, No") << true << true << int(QMessageBox::No) << true;
    QTest::newRow("modified, may not ask") << true << false << 0 << false;
}

void TestDocumentCommands::endOfSession()
{
    QFETCH(bool, modified);
    QFETCH(bool, canAsk);
    QFETCH(int, answer);
    QFETCH(bool, mayEnd);
    const auto window = startWindow();
    if (modified)
        modify(*window);
    if (answer)
        answerBox(answer);
    QCOMPARE(window->sessionMayEnd(canAsk), mayEnd);
    QCOMPARE(window->isModified(), modified && !mayEnd);
}

ZELK_GUI_TEST_MAIN(TestDocumentCommands)
#include "tst_DocumentCommands.moc"
