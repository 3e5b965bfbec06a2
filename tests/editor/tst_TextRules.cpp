#include "MessageBoxes.h"
#include "TextRules.h"

#include <QtTest>

using namespace TextRules;

class TestTextRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsIntegers_data();
    void readsIntegers();
    void readsHexNumbers_data();
    void readsHexNumbers();
    void convertsEditorLines_data();
    void convertsEditorLines();
    void comparesWithOnlyAsciiLettersFolded_data();
    void comparesWithOnlyAsciiLettersFolded();
    void findsText_data();
    void findsText();
    void failureTextGetsAFullStop_data();
    void failureTextGetsAFullStop();
};

void TestTextRules::readsIntegers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("3") << QStringLiteral("3") << true << 3;
    QTest::newRow("leading space") << QStringLiteral(" 3") << true << 3;
    QTest::newRow("plus") << QStringLiteral("+3") << true << 3;
    QTest::newRow("$5") << QStringLiteral("$5") << true << 5;
    QTest::newRow("x5") << QStringLiteral("x5") << true << 5;
    QTest::newRow("X5") << QStringLiteral("X5") << true << 5;
    QTest::newRow("0x5") << QStringLiteral("0x5") << true << 5;
    QTest::newRow("0X1f") << QStringLiteral("0X1f") << true << 31;
    QTest::newRow("-1") << QStringLiteral("-1") << true << -1;
    QTest::newRow("leading zeros") << QStringLiteral("0000000000000000042") << true << 42;
    QTest::newRow("2147483647") << QStringLiteral("2147483647") << true << 2147483647;
    QTest::newRow("-2147483648") << QStringLiteral("-2147483648") << true << int(-2147483648LL);
    QTest::newRow("$7FFFFFFF") << QStringLiteral("$7FFFFFFF") << true << 2147483647;
    QTest::newRow("$FFFFFFFF") << QStringLiteral("$FFFFFFFF") << true << -1;
    QTest::newRow("-$FFFFFFFF") << QStringLiteral("-$FFFFFFFF") << true << 1;
    QTest::newRow("0") << QStringLiteral("0") << true << 0;
    QTest::newRow("trailing space") << QStringLiteral("3 ") << false << 0;
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("spaces only") << QStringLiteral("   ") << false << 0;
    QTest::newRow("sign only") << QStringLiteral("-") << false << 0;
    QTest::newRow("two signs") << QStringLiteral("+-3") << false << 0;
    QTest::newRow("3.0") << QStringLiteral("3.0") << false << 0;
    QTest::newRow("1e2") << QStringLiteral("1e2") << false << 0;
    QTest::newRow("2147483648") << QStringLiteral("2147483648") << false << 0;
    QTest::newRow("-2147483649") << QStringLiteral("-2147483649") << false << 0;
    QTest::newRow("$100000000") << QStringLiteral("$100000000") << false << 0;
    QTest::newRow("space after sign") << QStringLiteral("- 3") << false << 0;
    QTest::newRow("tab is not skipped") << QStringLiteral("\t3") << false << 0;
    QTest::newRow("prefix without digits") << QStringLiteral("$") << false << 0;
    QTest::newRow("0x without digits") << QStringLiteral("0x") << false << 0;
    QTest::newRow("hex digits without prefix") << QStringLiteral("1F") << false << 0;
    QTest::newRow("Arabic-Indic digit") << QString(QChar(0x0663)) << false << 0;
}

void TestTextRules::readsIntegers()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    qint32 read = 12345;
    QCOMPARE(readInteger(text, read), ok);
    if (ok)
        QCOMPARE(read, value);
}

void TestTextRules::readsHexNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<quint32>("value");
    QTest::newRow("ff") << QStringLiteral("ff") << true << 0xFFu;
    QTest::newRow("eight digits") << QStringLiteral("FFFFFFFF") << true << 0xFFFFFFFFu;
    QTest::newRow("mixed case") << QStringLiteral("aBcD0123") << true << 0xABCD0123u;
    QTest::newRow("nine digits") << QStringLiteral("000000001") << false << 0u;
    QTest::newRow("empty") << QString() << false << 0u;
    QTest::newRow("blank inside") << QStringLiteral("1 2") << false << 0u;
    QTest::newRow("minus") << QStringLiteral("-1") << false << 0u;
    QTest::newRow("dollar") << QStringLiteral("$1") << false << 0u;
    QTest::newRow("0x") << QStringLiteral("0x1") << false << 0u;
    QTest::newRow("letter g") << QStringLiteral("g") << false << 0u;
}

void TestTextRules::readsHexNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(quint32, value);
    quint32 read = 7;
    QCOMPARE(readHexNumber(text, read), ok);
    QCOMPARE(read, ok ? value : 7u);
}

void TestTextRules::convertsEditorLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("LF") << QStringLiteral("a\nb") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb");
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb");
    QTest::newRow("lone CR") << QStringLiteral("a\rb") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb");
    QTest::newRow("LF CR") << QStringLiteral("a\n\rb") << QStringLiteral("a\n\nb") << QStringLiteral("a\r\n\r\nb");
    QTest::newRow("no break") << QStringLiteral("ab") << QStringLiteral("ab") << QStringLiteral("ab");
}

void TestTextRules::convertsEditorLines()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, readBack);
    QCOMPARE(toEditorLines(text), shown);
    QCOMPARE(fromEditorLines(shown), readBack);
}

void TestTextRules::comparesWithOnlyAsciiLettersFolded_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("case of a-z is ignored") << QStringLiteral("abc") << QStringLiteral("ABC") << 0;
    QTest::newRow("prefix first") << QStringLiteral("ab") << QStringLiteral("abc") << -1;
    QTest::newRow("empty first") << QString() << QStringLiteral("a") << -1;
    QTest::newRow("underscore after letters") << QStringLiteral("_") << QStringLiteral("z") << 1;
    QTest::newRow("underscore after capitals") << QStringLiteral("_") << QStringLiteral("Z") << 1;
    QTest::newRow("accented case counts") << QString(QChar(0xE9)) << QString(QChar(0xC9)) << 1;
    QTest::newRow("by code unit") << QStringLiteral("B") << QStringLiteral("a") << 1;
    QTest::newRow("differ after four units") << QStringLiteral("abcdX") << QStringLiteral("ABCDy") << -1;
    QTest::newRow("high code units") << QString(QChar(0xFFFF)) << QString(QChar(0x4E2D)) << 1;
}

void TestTextRules::comparesWithOnlyAsciiLettersFolded()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int result = compareFolded(a, b);
    QCOMPARE((result > 0) - (result < 0), sign);
    const int reverse = compareFolded(b, a);
    QCOMPARE((reverse > 0) - (reverse < 0), -sign);
    // The prefix key never orders two texts against the full comparison.
    const quint64 keyA = foldedPrefix(a);
    const quint64 keyB = foldedPrefix(b);
    if (keyA != keyB)
        QCOMPARE(keyA < keyB, sign < 0);
}

void TestTextRules::findsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("found");
    QTest::newRow("abc in xABCx, case off") << QStringLiteral("xABCx") << QStringLiteral("abc") << false << true;
    QTest::newRow("abc in aBc, case off") << QStringLiteral("aBc") << QStringLiteral("abc") << false << true;
    QTest::newRow("abc in ABC, case on") << QStringLiteral("ABC") << QStringLiteral("abc") << true << false;
    QTest::newRow("e acute never folded") << QString(QChar(0xC9)) << QString(QChar(0xE9)) << false << false;
    QTest::newRow("empty needle") << QStringLiteral("abc") << QString() << false << false;
    QTest::newRow("needle longer than text") << QStringLiteral("ab") << QStringLiteral("abc") << false << false;
    QTest::newRow("at the end") << QStringLiteral("xxab") << QStringLiteral("AB") << false << true;
    QTest::newRow("no letters") << QStringLiteral("1_2") << QStringLiteral("_2") << false << true;
}

void TestTextRules::findsText()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, matchCase);
    QFETCH(bool, found);
    QCOMPARE(containsText(text, needle, matchCase), found);
}

void TestTextRules::failureTextGetsAFullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QStringLiteral("Stream read error") << QStringLiteral("Stream read error.");
    QTest::newRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
    QTest::newRow("closing bracket") << QStringLiteral("bounds (3)") << QStringLiteral("bounds (3)");
    QTest::newRow("digit") << QStringLiteral("code 5") << QStringLiteral("code 5.");
    QTest::newRow("empty") << QString() << QString();
}

void TestTextRules::failureTextGetsAFullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(MessageBoxes::failureText(message), shown);
}

QTEST_GUILESS_MAIN(TestTextRules)
#include "tst_TextRules.moc"
