#include "ActionRunner.h"
#include "GuiTest.h"
#include "StringListModel.h"
#include "StringListView.h"
#include "uVantrel.h"
#include "uZelkStrings.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <memory>

using namespace GuiTest;

// What the text editor lets into a text, and what it leaves alone.
class TestTextEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        QCOMPARE(pendingAnswers(), 0);
        clearAnswers();
    }

    void uneditedWriteBackKeepsTheText_data();
    void uneditedWriteBackKeepsTheText();
    void onlyStorableTextGetsIn_data();
    void onlyStorableTextGetsIn();
    void textsNotUtf8AreReported();

private:
    // A file whose entry 1 has these bytes, opened, with row 0 current.
    std::unique_ptr<TfrmVantrel> startWith(const QByteArray &secondText);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    StringListView *m_list = nullptr;
    QPlainTextEdit *m_editor = nullptr;
};

std::unique_ptr<TfrmVantrel> TestTextEditor::startWith(const QByteArray &secondText)
{
    m_path = m_dir->filePath(QStringLiteral("lang.fre"));
    writeBytes(m_path, QByteArray::fromHex("080000000A000000") + "a" + '\0' + secondText + '\0');
    auto window = startWindow({m_path});
    m_list = child<StringListView>(*window, "lstStrings");
    m_editor = child<QPlainTextEdit>(*window, "memCurString");
    m_list->selectItemIndex(0);
    return window;
}

void TestTextEditor::uneditedWriteBackKeepsTheText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("line separator") << QByteArray("x\xE2\x80\xA8y") << QByteArray("x\xE2\x80\xA8y");
    QTest::newRow("paragraph separator") << QByteArray("x\xE2\x80\xA9y") << QByteArray("x\xE2\x80\xA9y");
    // The writer drops every carriage return, as it always has.
    QTest::newRow("lone carriage return") << QByteArray("x\ry") << QByteArray("xy");
    QTest::newRow("not UTF-8") << QByteArray("Caf\xE9") << QByteArray("Caf\xE9");
}

// With the text editor focused, selecting another row writes the text shown
// back into its entry; unedited, it must not change a byte.
void TestTextEditor::uneditedWriteBackKeepsTheText()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, saved);
    const auto window = startWith(text);
    const QString loaded = window->table().GetEntry(1);
    m_editor->setFocus();
    m_list->deselectAll();
    m_list->selectItemIndex(1);
    QCOMPARE(window->currentIndex(), 1);
    QCOMPARE(window->table().GetEntry(1), loaded);
    window->runner()->run(action(*window, "actFileSave"));
    QCOMPARE(readBytes(m_path).mid(10), saved + '\0');
}

void TestTextEditor::onlyStorableTextGetsIn_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("stored");
    QTest::newRow("Shift+Enter") << QStringLiteral("shift-enter") << QString() << QStringLiteral("a\r\nb");
    QTest::newRow("typed NUL") << QStringLiteral("type") << QString(QChar(0)) << QStringLiteral("ab");
    QTest::newRow("typed carriage return") << QStringLiteral("type") << QStringLiteral("\r") << QStringLiteral("a\r\nb");
    QTest::newRow("pasted") << QStringLiteral("paste") << QStringLiteral("1\u00002\r3\r\n4\u20285\u20296")
                            << QStringLiteral("a12\r\n3\r\n4\r\n5\r\n6b");
}

void TestTextEditor::onlyStorableTextGetsIn()
{
    QFETCH(QString, how);
    QFETCH(QString, input);
    QFETCH(QString, stored);
    const auto window = startWith("ab");
    m_list->deselectAll();
    m_list->selectItemIndex(1);
    m_editor->setFocus();
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(1);
    m_editor->setTextCursor(cursor);
    if (how == QLatin1String("shift-enter")) {
        QTest::keyClick(m_editor, Qt::Key_Return, Qt::ShiftModifier);
    } else if (how == QLatin1String("type")) {
        QTest::sendKeyEvent(QTest::Press, m_editor, Qt::Key_unknown, input, Qt::NoModifier);
    } else {
        auto *data = new QMimeData;
        data->setText(input);
        QGuiApplication::clipboard()->setMimeData(data);
        m_editor->paste();
    }
    QCOMPARE(window->table().GetEntry(1), stored);
}

void TestTextEditor::textsNotUtf8AreReported()
{
    const auto window = startWith("Caf\xE9");
    QCOMPARE(child<QLabel>(*window, "StatusPanel")->text(),
             QStringLiteral("1 text is not valid UTF-8: shown as empty, kept as read until changed"));
    const QModelIndex text = m_list->model()->index(1, StringListModel::TextColumn);
    QCOMPARE(text.data().toString(), QString());
    QCOMPARE(text.data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("Not valid UTF-8"));
    QVERIFY(!text.data(Qt::DecorationRole).isNull());
    QVERIFY(m_list->model()->index(0, StringListModel::TextColumn).data(Qt::DecorationRole).isNull());
}

ZELK_GUI_TEST_MAIN(TestTextEditor)
#include "tst_TextEditor.moc"
