#include "ActionRunner.h"
#include "GuiTest.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QMessageBox>

class TestActionRunner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void disabledActionDoesNothing_data();
    void disabledActionDoesNothing();
    void autoCheckFlipsBeforeTheWork();
    void prepareRunsBeforeTheEnabledCheck();
    void nestedFailureEndsEveryCommandAndShowsOnce();
    void failureInGuardedHandlerIsShownOnce();
};

void TestActionRunner::disabledActionDoesNothing_data()
{
    QTest::addColumn<bool>("throughRunner");
    QTest::newRow("run()") << true;
    QTest::newRow("QAction::trigger()") << false;
}

void TestActionRunner::disabledActionDoesNothing()
{
    QFETCH(bool, throughRunner);
    ActionRunner runner;
    QAction action(QStringLiteral("Close"));
    action.setCheckable(true);
    int ran = 0;
    runner.bind(&action, [&] { ++ran; });
    action.setEnabled(false);
    if (throughRunner)
        QVERIFY(!runner.run(&action));
    else
        action.trigger();
    QCOMPARE(ran, 0);
    QVERIFY(!action.isChecked());
    action.setEnabled(true);
    if (throughRunner)
        QVERIFY(runner.run(&action));
    else
        action.trigger();
    QCOMPARE(ran, 1);
}

void TestActionRunner::autoCheckFlipsBeforeTheWork()
{
    ActionRunner runner;
    QAction action(QStringLiteral("Grid Lines"));
    action.setCheckable(true);
    QList<bool> seen;
    runner.bind(&action, [&] { seen << action.isChecked(); });
    runner.run(&action);
    runner.run(&action);
    QCOMPARE(seen, (QList<bool>{true, false}));
}

void TestActionRunner::prepareRunsBeforeTheEnabledCheck()
{
    ActionRunner runner;
    QAction action(QStringLiteral("Copy"));
    int ran = 0;
    runner.bind(&action, [&] { ++ran; });
    runner.setPrepare([](QAction *a) { a->setEnabled(false); });
    QVERIFY(!runner.run(&action));
    QCOMPARE(ran, 0);
}

// Close runs Save; Save fails: Close and its caller stop there, and one error
// box shows the message.
void TestActionRunner::nestedFailureEndsEveryCommandAndShowsOnce()
{
    ActionRunner runner;
    QAction outer(QStringLiteral("New")), middle(QStringLiteral("Close")), inner(QStringLiteral("Save"));
    QStringList trace;
    runner.bind(&inner, [&] {
        trace << QStringLiteral("save");
        throw StringsError(QStringLiteral("Stream write error"));
    });
    runner.bind(&middle, [&] {
        runner.run(&inner);
        trace << QStringLiteral("close went on");
    });
    runner.bind(&outer, [&] {
        runner.run(&middle);
        trace << QStringLiteral("new went on");
    });
    GuiTest::BoxSeen first, second;
    GuiTest::answerBox(QMessageBox::Ok, &first);
    GuiTest::answerBox(QMessageBox::Ok, &second);
    outer.trigger();
    QCOMPARE(trace, QStringList{QStringLiteral("save")});
    QVERIFY(first.seen);
    QCOMPARE(first.text, QStringLiteral("Stream write error."));
    QCOMPARE(first.title, QStringLiteral("Zelk Strings Editor"));
    QCOMPARE(first.icon, int(QMessageBox::Critical));
    QCOMPARE(first.buttons, QStringList{QStringLiteral("OK")});
    // Only one box: the second answer is still waiting.
    QVERIFY(!second.seen);
    QCOMPARE(GuiTest::pendingAnswers(), 1);
    GuiTest::cancelDialog();
}

void TestActionRunner::failureInGuardedHandlerIsShownOnce()
{
    ActionRunner runner;
    GuiTest::BoxSeen box;
    GuiTest::answerBox(QMessageBox::Ok, &box);
    runner.guard([] { throw StringsError(QStringLiteral("List index out of bounds (3)")); });
    QVERIFY(box.seen);
    QCOMPARE(box.text, QStringLiteral("List index out of bounds (3)"));
    QVERIFY(!runner.isBusy());
}

ZELK_GUI_TEST_MAIN(TestActionRunner)
#include "tst_ActionRunner.moc"
