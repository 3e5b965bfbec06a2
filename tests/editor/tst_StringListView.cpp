#include "StringListModel.h"
#include "StringListView.h"
#include "uZelkStrings.h"

#include <QHeaderView>
#include <QtTest>

namespace {

// "row+" for a row that became selected, "row-" for one that did not, each
// with the number of selected rows the handler sees.
using Events = QStringList;

class Recorder : public QObject
{
public:
    explicit Recorder(StringListView *view)
    {
        connect(view, &StringListView::selectItem, this, [this, view](int row, bool selected) {
            events << QStringLiteral("%1%2/%3").arg(row).arg(selected ? '+' : '-').arg(view->selectedRowCount());
        });
    }
    Events take()
    {
        const Events taken = events;
        events.clear();
        return taken;
    }
    Events events;
};

} // namespace

class TestStringListView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void clickEventsDeselectThenSelect();
    void ctrlClickAddsAndRemovesOneRow();
    void shiftClickSelectsRowByRow();
    void itemIndexKeepsOtherRowsSelected();
    void currentRowAloneRaisesNothing();
    void clearingRaisesOneEventPerRowInOrder();
    void resetForgetsTheSelectionSilently();
    void sortingKeepsSelectionWithoutEvents();
    void selectAllRaisesOneEventPerRow();

private:
    QPoint centreOf(int row) const { return m_view->visualRect(m_model->index(row, 0)).center(); }

    TZelkStrings m_table;
    StringListModel *m_model = nullptr;
    StringListView *m_view = nullptr;
    Recorder *m_recorder = nullptr;
};

void TestStringListView::init()
{
    m_table.clear();
    for (int i = 0; i < 8; ++i)
        m_table.AddEntry(QStringLiteral("text %1").arg(7 - i));
    m_model = new StringListModel;
    m_view = new StringListView(m_model);
    m_model->setParent(m_view);
    m_model->appendTable(m_table);
    m_view->resize(400, 400);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    m_recorder = new Recorder(m_view);
}

void TestStringListView::cleanup()
{
    delete m_recorder;
    delete m_view;
}

void TestStringListView::clickEventsDeselectThenSelect()
{
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, centreOf(3));
    QCOMPARE(m_recorder->take(), Events{QStringLiteral("3+/1")});
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, centreOf(1));
    QCOMPARE(m_recorder->take(), (Events{QStringLiteral("3-/0"), QStringLiteral("1+/1")}));
    // Clicking the selected row again changes nothing.
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, centreOf(1));
    QCOMPARE(m_recorder->take(), Events{});
}

void TestStringListView::ctrlClickAddsAndRemovesOneRow()
{
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, centreOf(2));
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(5));
    QCOMPARE(m_recorder->take(), (Events{QStringLiteral("2+/1"), QStringLiteral("5+/2")}));
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(2));
    QCOMPARE(m_recorder->take(), Events{QStringLiteral("2-/1")});
    QCOMPARE(m_view->firstSelectedRow(), 5);
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(5));
    QCOMPARE(m_recorder->take(), Events{QStringLiteral("5-/0")});
    QCOMPARE(m_view->firstSelectedRow(), -1);
}

void TestStringListView::shiftClickSelectsRowByRow()
{
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, centreOf(4));
    m_recorder->take();
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::ShiftModifier, centreOf(1));
    QCOMPARE(m_recorder->take(), (Events{QStringLiteral("1+/2"), QStringLiteral("2+/3"), QStringLiteral("3+/4")}));
    QCOMPARE(m_view->selectedRows(), (std::vector<int>{1, 2, 3, 4}));
}

void TestStringListView::itemIndexKeepsOtherRowsSelected()
{
    m_view->selectItemIndex(6);
    m_view->selectItemIndex(2);
    QCOMPARE(m_recorder->take(), (Events{QStringLiteral("6+/1"), QStringLiteral("2+/2")}));
    QCOMPARE(m_view->currentIndex().row(), 2);
    m_view->selectItemIndex(6);
    QCOMPARE(m_recorder->take(), Events{});
    QCOMPARE(m_view->currentIndex().row(), 6);
    m_view->deselectRow(6);
    QCOMPARE(m_recorder->take(), Events{QStringLiteral("6-/1")});
}

void TestStringListView::currentRowAloneRaisesNothing()
{
    m_view->selectItemIndex(0);
    m_recorder->take();
    m_view->selectionModel()->setCurrentIndex(m_model->index(4, 0), QItemSelectionModel::NoUpdate);
    QCOMPARE(m_recorder->take(), Events{});
    QCOMPARE(m_view->selectedRowCount(), 1);
}

void TestStringListView::clearingRaisesOneEventPerRowInOrder()
{
    for (int row : {5, 1, 3})
        m_view->selectItemIndex(row);
    m_recorder->take();
    m_view->deselectAll();
    QCOMPARE(m_recorder->take(), (Events{QStringLiteral("1-/2"), QStringLiteral("3-/1"), QStringLiteral("5-/0")}));
}

void TestStringListView::resetForgetsTheSelectionSilently()
{
    m_view->selectItemIndex(3);
    m_recorder->take();
    m_model->clear();
    QCOMPARE(m_recorder->take(), Events{});
    QCOMPARE(m_view->selectedRowCount(), 0);
}

void TestStringListView::sortingKeepsSelectionWithoutEvents()
{
    m_view->selectItemIndex(1);
    m_view->selectItemIndex(6);
    m_recorder->take();
    const QString first = m_model->row(1).text;
    const QString second = m_model->row(6).text;
    // Reverse the rows: texts run "text 7" down to "text 0".
    m_model->sortRows([](const StringRow &row) { return quint64(row.text.back().unicode()); }, nullptr, false);
    QCOMPARE(m_recorder->take(), Events{});
    QCOMPARE(m_view->selectedRowCount(), 2);
    QCOMPARE(m_view->selectedRows(), (std::vector<int>{1, 6}));
    QCOMPARE(m_model->row(6).text, first);
    QCOMPARE(m_model->row(1).text, second);
    QCOMPARE(m_view->currentIndex().row(), 1);
}

void TestStringListView::selectAllRaisesOneEventPerRow()
{
    m_view->selectAll();
    const Events events = m_recorder->take();
    QCOMPARE(events.size(), 8);
    QCOMPARE(events.first(), QStringLiteral("0+/1"));
    QCOMPARE(events.last(), QStringLiteral("7+/8"));
}

QTEST_MAIN(TestStringListView)
#include "tst_StringListView.moc"
