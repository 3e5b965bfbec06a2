#include "GuiTest.h"

#include "MessageBoxes.h"
#include "RecoveryCopies.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <deque>
#include <memory>

namespace {

int applicationArgc = 1;
char *applicationArgv[8] = {};
QList<QByteArray> argumentStorage;

std::deque<std::function<void(QWidget *)>> answers;
QPointer<QWidget> lastAnswered;

void pollForModal();

void schedulePoll()
{
    QTimer::singleShot(5, qApp, pollForModal);
}

void pollForModal()
{
    if (answers.empty())
        return;
    QWidget *modal = QApplication::activeModalWidget();
    // A dialog is answered once it is the active window, as a user sees it:
    // answered earlier, its late activation would take the focus from the
    // window after it has closed.
    if (!modal || modal == lastAnswered || !modal->isVisible() || !modal->isActiveWindow()) {
        schedulePoll();
        return;
    }
    lastAnswered = modal;
    // A dialog kept between uses may open again: answer it again then.
    if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = QObject::connect(dialog, &QDialog::finished, qApp, [connection] {
            lastAnswered = nullptr;
            QObject::disconnect(*connection);
        });
    }
    const auto handler = answers.front();
    answers.pop_front();
    // Polling goes on while the handler runs, so that a dialog it opens in
    // turn is answered too.
    if (!answers.empty())
        schedulePoll();
    handler(modal);
}

} // namespace

void GuiTest::setArguments(const QStringList &arguments)
{
    argumentStorage.resize(1);
    for (const QString &argument : arguments)
        argumentStorage.append(argument.toLocal8Bit());
    applicationArgc = int(argumentStorage.size());
    for (int i = 0; i < applicationArgc; ++i)
        applicationArgv[i] = argumentStorage[i].data();
    applicationArgv[applicationArgc] = nullptr;
}

namespace {

QtMessageHandler testLogHandler = nullptr;

// The offscreen platform warns about window features it lacks; that noise
// would hide the tests' own messages.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (testLogHandler)
        testLogHandler(type, context, message);
}

} // namespace

void GuiTest::quietPlatformWarnings()
{
    const QtMessageHandler previous = qInstallMessageHandler(quietMessages);
    if (previous != quietMessages)
        testLogHandler = previous;
}

int GuiTest::runTests(int argc, char **argv, const std::function<int(int, char **)> &run)
{
    argumentStorage = {QByteArray(argv[0])};
    applicationArgv[0] = argumentStorage[0].data();
    // A data folder of this test program's own, for the recovery copies and
    // word lists the window keeps: the user's stay out of the tests, and so
    // do those of tests running beside this one.
    const QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QApplication application(applicationArgc, applicationArgv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    MessageBoxes::setApplicationTitle(QStringLiteral("Zelk Strings Editor"));
    return run(argc, argv);
}

void GuiTest::onNextModal(const std::function<void(QWidget *)> &handler)
{
    const bool idle = answers.empty();
    answers.push_back(handler);
    if (idle)
        schedulePoll();
}

int GuiTest::pendingAnswers()
{
    return int(answers.size());
}

void GuiTest::clearAnswers()
{
    answers.clear();
}

GuiTest::NoDialogExpected::NoDialogExpected()
    : m_seen(std::make_shared<bool>(false))
{
    onNextModal([seen = m_seen](QWidget *modal) {
        *seen = true;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
}

GuiTest::NoDialogExpected::~NoDialogExpected()
{
    if (!*m_seen)
        clearAnswers();
}

void GuiTest::answerBox(int standardButton, BoxSeen *seen)
{
    onNextModal([standardButton, seen](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            qWarning("expected a message box, found %s", modal->metaObject()->className());
            return;
        }
        if (seen) {
            seen->seen = true;
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            for (QAbstractButton *button : box->buttons())
                seen->buttons << button->text();
            seen->defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton()) : 0;
        }
        QAbstractButton *button = box->button(QMessageBox::StandardButton(standardButton));
        if (button)
            button->click();
        else
            qWarning("message box has no such button");
    });
}

void GuiTest::answerFileDialog(const QString &fileName, const QString &filter)
{
    onNextModal([fileName, filter](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            qWarning("expected a file dialog, found %s", modal->metaObject()->className());
            return;
        }
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        typeFileNameAndAccept(dialog, fileName);
    });
}

void GuiTest::typeFileNameAndAccept(QWidget *fileDialog, const QString &fileName)
{
    // The dialog fills its list in the background and may select the file it
    // proposed meanwhile; a selected file would win over the typed name.
    for (auto *view : fileDialog->findChildren<QAbstractItemView *>())
        view->clearSelection();
    fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(fileName);
    static_cast<QDialog *>(fileDialog)->accept();
}

void GuiTest::cancelDialog()
{
    onNextModal([](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
}

void GuiTest::answerInput(const QString &text)
{
    onNextModal([text](QWidget *modal) {
        auto *field = modal->findChild<QLineEdit *>(QStringLiteral("edtValue"));
        if (!field) {
            qWarning("expected an input dialog");
            return;
        }
        field->setText(text);
        modal->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
    });
}

std::unique_ptr<TfrmVantrel> GuiTest::startWindow(const QStringList &arguments)
{
    // Every window starts without copies of unsaved work left behind; tests
    // that want some write them first with startWindowKeepingCopies().
    QDir(RecoveryCopies::folder()).removeRecursively();
    return startWindowKeepingCopies(arguments);
}

std::unique_ptr<TfrmVantrel> GuiTest::startWindowKeepingCopies(const QStringList &arguments)
{
    setArguments(arguments);
    auto window = std::make_unique<TfrmVantrel>();
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("window did not become active");
    return window;
}

void GuiTest::writeStringsFile(const QString &path, const QStringList &texts, const QList<quint32> &numbers,
                               bool newFormat)
{
    writeBytes(path, stringsImage(texts, numbers, newFormat));
}

QAction *GuiTest::action(const TfrmVantrel &window, const char *name)
{
    return child<QAction>(window, name);
}
