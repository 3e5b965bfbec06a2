#pragma once

#include "TestFiles.h"

#include <QApplication>
#include <QStringList>
#include <QtTest>

#include <functional>
#include <memory>

class QAction;
class QMessageBox;
class TfrmVantrel;

namespace GuiTest {

// The command line the next main window reads: the program's path followed
// by these arguments.
void setArguments(const QStringList &arguments);

// Hides the offscreen platform's warnings about features it lacks. Call it
// from initTestCase(), once the test log is set up.
void quietPlatformWarnings();

// Runs the handler on the next modal dialog that opens, from the event loop.
// Handlers may queue further answers for dialogs that open afterwards.
void onNextModal(const std::function<void(QWidget *)> &handler);
// How many queued answers have not found their dialog yet.
int pendingAnswers();
// Drops the answers that found no dialog.
void clearAnswers();

// Watches for a dialog that should not open: one that does is noted and
// cancelled. seen() tells whether one opened.
class NoDialogExpected
{
public:
    NoDialogExpected();
    ~NoDialogExpected();
    bool seen() const { return *m_seen; }

private:
    std::shared_ptr<bool> m_seen;
};

// Answers the next message box by pressing a button, and notes its title,
// text and icon.
struct BoxSeen
{
    QString title;
    QString text;
    int icon = -1;
    QStringList buttons;
    int defaultButton = 0;
    bool seen = false;
};
void answerBox(int standardButton, BoxSeen *seen = nullptr);
// Answers the next file dialog with a file name and, when given, a filter.
void answerFileDialog(const QString &fileName, const QString &filter = QString());
// Types a file name into an open file dialog and accepts it. A file the
// dialog selected by itself no longer counts.
void typeFileNameAndAccept(QWidget *fileDialog, const QString &fileName);
// Cancels the next dialog of any kind.
void cancelDialog();
// Types the text into the next input dialog and presses OK.
void answerInput(const QString &text);

// Starts a main window with these command-line arguments, shown and active.
std::unique_ptr<TfrmVantrel> startWindow(const QStringList &arguments = {});
// The same, with the recovery copies that earlier windows left behind.
std::unique_ptr<TfrmVantrel> startWindowKeepingCopies(const QStringList &arguments = {});

// Writes a strings file with the model.
void writeStringsFile(const QString &path, const QStringList &texts, const QList<quint32> &numbers = {},
                      bool newFormat = true);

QAction *action(const TfrmVantrel &window, const char *name);

template<typename T>
T *child(const QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

} // namespace GuiTest

// A test main for the window's tests: the application sees only the
// program's path as its command line, so the window does not take test
// function names for file names.
#define ZELK_GUI_TEST_MAIN(TestObject)                                                                                 \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        return GuiTest::runTests(argc, argv, [](int count, char **values) {                                         \
            TestObject test;                                                                                           \
            return QTest::qExec(&test, count, values);                                                                 \
        });                                                                                                            \
    }

namespace GuiTest {
int runTests(int argc, char **argv, const std::function<int(int, char **)> &run);
}
