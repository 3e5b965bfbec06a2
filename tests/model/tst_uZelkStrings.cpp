#include "TestFiles.h"
#include "uZelkStrings.h"

#include <QtGlobal>
#ifdef Q_OS_UNIX
#include "ChildProcess.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Texts = QStringList;
using Numbers = QList<quint32>;

// The worked example: "Yes" with 12345678, then é, a line break and B with 9ABCDEF0.
const QByteArray WorkedNew = QByteArray::fromHex(
    "FEFEFEFE" "02000000" "00000000" "00000000" "78563412" "F0DEBC9A"
    "20000000" "24000000" "59657300" "C3A95E4200");
const QByteArray WorkedOld = QByteArray::fromHex("080000000C00000059657300C3A95E4200");

const QString EAcute = QString(QChar(0xE9));

// A failure message: on Linux exactly the expected one; on Windows, whose
// system texts differ, the same up to the reason.
void compareFailure(const QString &message, const QString &what, const QString &path, const QString &reason)
{
    const QString prefix = QStringLiteral("%1 \"%2\". ").arg(what, QDir::toNativeSeparators(path));
#ifdef Q_OS_WIN
    Q_UNUSED(reason);
    QVERIFY2(message.startsWith(prefix) && message.size() > prefix.size(), qPrintable(message));
#else
    QCOMPARE(message, prefix + reason);
#endif
}

QString failureOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const StringsError &error) {
        return error.message();
    }
    return QString();
}

void fill(TZelkStrings &table, const Texts &texts, const Numbers &numbers = {})
{
    for (int i = 0; i < texts.size(); ++i) {
        table.AddEntry(texts[i]);
        if (i < numbers.size())
            table.SetNumber(quint32(i), numbers[i]);
    }
}

Texts textsOf(const TZelkStrings &table)
{
    Texts texts;
    for (quint32 i = 0; i < table.EntryCount(); ++i)
        texts << table.GetEntry(i);
    return texts;
}

Numbers numbersOf(const TZelkStrings &table)
{
    Numbers numbers;
    for (quint32 i = 0; i < table.EntryCount(); ++i)
        numbers << table.GetNumber(i);
    return numbers;
}

// A text of random length mixing ASCII, accented Latin, Cyrillic, CJK,
// characters outside the BMP, line breaks and '^'.
QString randomText(QRandomGenerator &random)
{
    static const char16_t pool[] = {u'a', u'Z', u' ', u'^', u'\n', 0xE9, 0xC9, 0x416, 0x44F,
                                    0x4E2D, 0x6587, 0x20AC, 0xFEFF, u'_', u'0'};
    QString text;
    const int length = random.bounded(0, 40);
    for (int i = 0; i < length; ++i) {
        if (random.bounded(20) == 0)
            text += QString::fromUcs4(U"\U0001F600");
        else
            text += QChar(pool[random.bounded(int(std::size(pool)))]);
    }
    return text;
}

} // namespace

class TestZelkStrings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newTableIsEmptyInNewLayout();
    void writesTheWorkedExample_data();
    void writesTheWorkedExample();
    void readsTheWorkedExample_data();
    void readsTheWorkedExample();
    void emptyTableImages_data();
    void emptyTableImages();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void loadReadsWhatTheLayoutNeeds();
    void readsLayoutCorners_data();
    void readsLayoutCorners();
    void rejectsDamagedImages_data();
    void rejectsDamagedImages();
    void sharedOffsetsShareOneText();
    void textsFarLargerThanTheFileAreRefused();
    void fileReadsInPiecesAsAWhole_data();
    void fileReadsInPiecesAsAWhole();
    void failedLoadChangesNothing_data();
    void failedLoadChangesNothing();
    void decodesUtf8Strictly_data();
    void decodesUtf8Strictly();
    void writesLineBreaksAndCarriageReturns_data();
    void writesLineBreaksAndCarriageReturns();
    void writerLayoutFromSharedAndReversedOffsets();
    void writerOutputRoundTripsByteForByte_data();
    void writerOutputRoundTripsByteForByte();
    void changingLayoutDropsOrZeroesNumbers();
    void randomTablesRoundTrip_data();
    void randomTablesRoundTrip();
    void addEntryAppendsWithNumberZero();
    void loadReplacesAllEntries();
    void indexFailures_data();
    void indexFailures();
    void moveReorders_data();
    void moveReorders();
    void deleteEntriesRemovesInOnePass();
    void hashKey_data();
    void hashKey();
    void toAnsiUsesWindows1252_data();
    void toAnsiUsesWindows1252();
    void formatsNumbers();
    void openFailuresNameTheFullPath_data();
    void openFailuresNameTheFullPath();
    void createFailuresKeepTheOldFile_data();
    void createFailuresKeepTheOldFile();
    void unwritableFolderKeepsTheOldFile_data();
    void unwritableFolderKeepsTheOldFile();
    void fullDiskKeepsTheOldFile();
    void fileHeldOpenKeepsItsBytes();
    void saveKeepsLinksAndOwner();
    void namesOfAnyLengthSave();
    void namesNotUtf8AreRefused();
    void saveReplacesAnExistingFile();
};

void TestZelkStrings::newTableIsEmptyInNewLayout()
{
    TZelkStrings table;
    QCOMPARE(table.EntryCount(), 0u);
    QVERIFY(table.NewFormat());
}

void TestZelkStrings::writesTheWorkedExample_data()
{
    QTest::addColumn<bool>("newFormat");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("new layout") << true << WorkedNew;
    QTest::newRow("old layout") << false << WorkedOld;
}

void TestZelkStrings::writesTheWorkedExample()
{
    QFETCH(bool, newFormat);
    QFETCH(QByteArray, expected);
    TZelkStrings table;
    fill(table, {QStringLiteral("Yes"), EAcute + QStringLiteral("\r\nB")}, {0x12345678, 0x9ABCDEF0});
    table.SetNewFormat(newFormat);
    QCOMPARE(table.saveToData(), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lang.eng"));
    table.SaveToFile(path);
    QCOMPARE(readBytes(path), expected);
}

void TestZelkStrings::onlyRegularFilesAreRead_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("a named pipe") << QStringLiteral("@fifo");
    QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero");
    QTest::newRow("/dev/urandom") << QStringLiteral("/dev/urandom");
}

void TestZelkStrings::onlyRegularFilesAreRead()
{
#ifndef Q_OS_UNIX
    QSKIP("pipes and devices of Linux");
#else
    QFETCH(QString, path);
    QTemporaryDir dir;
    if (path == QLatin1String("@fifo")) {
        path = dir.filePath(QStringLiteral("pipe.eng"));
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    TZelkStrings table;
    QCOMPARE(failureOf([&] { table.LoadFromFile(path); }),
             QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(path));
#endif
}

// Three gigabytes of zeros are an old-layout table without entries: the load
// reads what the layout needs, so a gigabyte of memory is plenty.
void TestZelkStrings::loadReadsWhatTheLayoutNeeds()
{
#if !defined(Q_OS_UNIX) || defined(__SANITIZE_ADDRESS__)
    QSKIP("needs a memory limit in a child process (AddressSanitizer reserves far more)");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeros.eng"));
    QFile sparse(path);
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(3ll << 30));
    sparse.close();
    const QString outcome = runInChild([&] {
        limitMemory(1ll << 30);
        TZelkStrings table;
        const QString failure = failureOf([&] { table.LoadFromFile(path); });
        return failure.isEmpty() ? QStringLiteral("%1 entries, %2").arg(table.EntryCount()).arg(table.NewFormat() ? "new" : "old")
                                 : failure;
    });
    QCOMPARE(outcome, QStringLiteral("0 entries, old"));
#endif
}

void TestZelkStrings::readsTheWorkedExample_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<bool>("newFormat");
    QTest::addColumn<Numbers>("numbers");
    QTest::newRow("new layout") << WorkedNew << true << Numbers{0x12345678, 0x9ABCDEF0};
    QTest::newRow("old layout") << WorkedOld << false << Numbers{0, 0};
}

void TestZelkStrings::readsTheWorkedExample()
{
    QFETCH(QByteArray, image);
    QFETCH(bool, newFormat);
    QFETCH(Numbers, numbers);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lang.eng"));
    writeBytes(path, image);
    TZelkStrings table;
    table.SetNewFormat(!newFormat);
    table.LoadFromFile(path);
    QCOMPARE(table.NewFormat(), newFormat);
    QCOMPARE(textsOf(table), (Texts{QStringLiteral("Yes"), EAcute + QStringLiteral("\nB")}));
    QCOMPARE(numbersOf(table), numbers);
}

void TestZelkStrings::emptyTableImages_data()
{
    QTest::addColumn<bool>("newFormat");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("new layout: 16 bytes") << true << QByteArray::fromHex("FEFEFEFE000000000000000000000000");
    QTest::newRow("old layout: 0 bytes") << false << QByteArray();
}

void TestZelkStrings::emptyTableImages()
{
    QFETCH(bool, newFormat);
    QFETCH(QByteArray, expected);
    TZelkStrings table;
    table.SetNewFormat(newFormat);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.bin"));
    table.SaveToFile(path);
    QCOMPARE(readBytes(path), expected);
    // Either one opens again, as the empty table of its layout.
    TZelkStrings back;
    fill(back, {QStringLiteral("stale")});
    back.SetNewFormat(!newFormat);
    back.LoadFromFile(path);
    QCOMPARE(back.EntryCount(), 0u);
    QCOMPARE(back.NewFormat(), newFormat);
}

void TestZelkStrings::readsLayoutCorners_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<bool>("newFormat");
    QTest::addColumn<Texts>("texts");
    QTest::addColumn<Numbers>("numbers");

    QTest::newRow("magic and count 0 in 8 bytes")
        << QByteArray::fromHex("FEFEFEFE00000000") << true << Texts{} << Numbers{};
    QTest::newRow("reserved bytes are ignored")
        << QByteArray::fromHex("FEFEFEFE01000000DEADBEEFCAFEBABE0700000018000000414200")
        << true << Texts{QStringLiteral("AB")} << Numbers{7};
    QTest::newRow("old: first string starts at 5")
        << QByteArray::fromHex("0500000041420000") << false << Texts{QStringLiteral("B")} << Numbers{0};
    QTest::newRow("old: first u32 of 0 is an empty table")
        << QByteArray::fromHex("00000000FFFFFFFF4142") << false << Texts{} << Numbers{};
    QTest::newRow("old: first u32 below 4 is an empty table")
        << QByteArray::fromHex("03000000") << false << Texts{} << Numbers{};
    QTest::newRow("shared offsets")
        << QByteArray::fromHex("080000000800000041420000") << false
        << Texts{QStringLiteral("AB"), QStringLiteral("AB")} << Numbers{0, 0};
    QTest::newRow("descending offsets")
        << QByteArray::fromHex("0B000000080000004100004200") << false
        << Texts{QStringLiteral("B"), QStringLiteral("A")} << Numbers{0, 0};
    QTest::newRow("offset into the middle of a string")
        << QByteArray::fromHex("08000000090000004142430000") << false
        << Texts{QStringLiteral("ABC"), QStringLiteral("BC")} << Numbers{0, 0};
    QTest::newRow("offset into the offset table")
        << QByteArray::fromHex("080000000100000041420000") << false
        << Texts{QStringLiteral("AB"), QString()} << Numbers{0, 0};
    QTest::newRow("offset at and past the end, no terminator at the end")
        << QByteArray::fromHex("0C0000000E000000FFFFFF7F4142") << false
        << Texts{QStringLiteral("AB"), QString(), QString()} << Numbers{0, 0, 0};
    QTest::newRow("caret becomes a line feed; raw LF and CR stay")
        << QByteArray::fromHex("04000000415E420A430D4400") << false
        << Texts{QStringLiteral("A\nB\nC\rD")} << Numbers{0};
    QTest::newRow("FE FE FE FE followed by count and strings")
        << QByteArray::fromHex("FEFEFEFE0100000000000000000000002A00000018000000")
        << true << Texts{QString()} << Numbers{42};
}

void TestZelkStrings::readsLayoutCorners()
{
    QFETCH(QByteArray, image);
    QFETCH(bool, newFormat);
    QFETCH(Texts, texts);
    QFETCH(Numbers, numbers);
    TZelkStrings table;
    table.loadFromData(image);
    QCOMPARE(table.NewFormat(), newFormat);
    QCOMPARE(table.EntryCount(), quint32(texts.size()));
    QCOMPARE(textsOf(table), texts);
    QCOMPARE(numbersOf(table), numbers);
}

void TestZelkStrings::rejectsDamagedImages_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::newRow("1 byte") << QByteArray::fromHex("FE");
    QTest::newRow("3 bytes") << QByteArray::fromHex("FEFEFE");
    QTest::newRow("FE FE FE FF asks for more offsets than exist") << QByteArray::fromHex("FEFEFEFF00000000");
    QTest::newRow("new: ends inside the count") << QByteArray::fromHex("FEFEFEFE0100");
    QTest::newRow("new: count 1 in 8 bytes") << QByteArray::fromHex("FEFEFEFE01000000");
    QTest::newRow("new: ends inside the number table")
        << QByteArray::fromHex("FEFEFEFE0200000000000000000000000100");
    QTest::newRow("new: ends inside the offset table")
        << QByteArray::fromHex("FEFEFEFE02000000000000000000000001000000020000000300");
    QTest::newRow("new: count 2^31-1 in 12 bytes") << QByteArray::fromHex("FEFEFEFEFFFFFF7F00000000");
    QTest::newRow("new: count 2^31") << QByteArray::fromHex("FEFEFEFE0000008000000000000000000000");
    QTest::newRow("new: count 2^32-1") << QByteArray::fromHex("FEFEFEFEFFFFFFFF00000000000000000000");
    QTest::newRow("old: offset table longer than the file") << QByteArray::fromHex("10000000080000000000");
}

void TestZelkStrings::rejectsDamagedImages()
{
    QFETCH(QByteArray, image);
    TZelkStrings table;
    QCOMPARE(failureOf([&] { table.loadFromData(image); }), QStringLiteral("Stream read error"));
}

void TestZelkStrings::sharedOffsetsShareOneText()
{
    // 100,000 entries, all at one string of 100,000 letters: decoded one by
    // one they would take 20 GB.
    const quint32 count = 100000;
    const quint32 textAt = 4 * count;
    QByteArray image;
    for (quint32 i = 0; i < count; ++i)
        image.append(reinterpret_cast<const char *>(&textAt), 4);
    image.append(QByteArray(100000, 'x'));
    TZelkStrings table;
    table.loadFromData(image);
    QCOMPARE(table.EntryCount(), count);
    QCOMPARE(table.GetEntry(count - 1).size(), 100000);
    QVERIFY(table.entryText(0).constData() == table.entryText(count - 1).constData());
    // GetEntry gives a text of its own.
    QVERIFY(table.GetEntry(0).constData() != table.entryText(0).constData());
}

void TestZelkStrings::textsFarLargerThanTheFileAreRefused()
{
    // Every entry starts one byte further into the same long string, so no
    // two texts can share: the table would need about 160 times the file.
    const quint32 count = 20000;
    QByteArray image;
    for (quint32 i = 0; i < count; ++i) {
        const quint32 offset = 4 * count + i;
        image.append(reinterpret_cast<const char *>(&offset), 4);
    }
    image.append(QByteArray(40000, 'x'));
    TZelkStrings table;
    table.AddEntry(QStringLiteral("kept"));
    QCOMPARE(failureOf([&] { table.loadFromData(image); }), QStringLiteral("Stream read error"));
    QCOMPARE(textsOf(table), Texts{QStringLiteral("kept")});
}

void TestZelkStrings::fileReadsInPiecesAsAWhole_data()
{
    QTest::addColumn<QByteArray>("area");
    QTest::addColumn<QList<quint32>>("offsets");
    // Strings longer than a read, and strings and characters across reads.
    QByteArray area = QByteArray((1 << 20) - 7, 'a') + '\0';
    const quint32 accents = quint32(area.size());
    area += QByteArray("\xC3\xA9").repeated(700000) + "^end" + '\0';
    const quint32 longest = quint32(area.size());
    area += QByteArray(3 << 20, 'c') + '\0';
    const quint32 broken = quint32(area.size());
    area += QByteArray((2 << 20) - 1 - qsizetype(broken % (1 << 20)) - 1, 'b') + "\xC3\x28\xE2\x82" + '\0';
    const quint32 unterminated = quint32(area.size());
    area += "no terminator";
    QTest::newRow("in order") << area << QList<quint32>{0, accents, longest, broken, unterminated};
    QTest::newRow("reversed and shared") << area << QList<quint32>{unterminated, longest, accents, accents, 0, broken, 0};
    QTest::newRow("into another string") << area << QList<quint32>{0, accents, accents + 2, longest, longest + (2 << 20), broken + 5};
}

// A file is read a piece at a time, a table in memory whole: both give every
// text as its bytes say, however strings and pieces fall.
void TestZelkStrings::fileReadsInPiecesAsAWhole()
{
    QFETCH(QByteArray, area);
    QFETCH(QList<quint32>, offsets);
    const quint32 count = quint32(offsets.size());
    QByteArray image = QByteArray::fromHex("FEFEFEFE") + QByteArray(reinterpret_cast<const char *>(&count), 4) + QByteArray(8 + 4 * count, '\0');
    Texts expected;
    QList<QByteArray> expectedBytes;
    for (const quint32 offset : offsets) {
        const quint32 at = 16 + 8 * count + offset;
        image.append(reinterpret_cast<const char *>(&at), 4);
        const qsizetype end = area.indexOf('\0', offset);
        const QByteArray bytes = end < 0 ? area.mid(offset) : area.mid(offset, end - offset);
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString text = decoder(bytes);
        expected << (decoder.hasError() ? QString() : QString(text).replace(QLatin1Char('^'), QLatin1Char('\n')));
        expectedBytes << (decoder.hasError() ? bytes : QByteArray());
    }
    image += area;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pieces.eng"));
    writeBytes(path, image);
    TZelkStrings fromFile;
    fromFile.LoadFromFile(path);
    TZelkStrings fromMemory;
    fromMemory.loadFromData(image);
    for (const TZelkStrings *table : {&fromFile, &fromMemory}) {
        QCOMPARE(textsOf(*table), expected);
        for (quint32 i = 0; i < count; ++i)
            QCOMPARE(table->unreadableBytes(i), expectedBytes[int(i)]);
    }
    QCOMPARE(fromFile.saveToData(), fromMemory.saveToData());
    QCOMPARE(fromFile.imageSize(), quint64(fromFile.saveToData().size()));
}

void TestZelkStrings::failedLoadChangesNothing_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<bool>("startNewFormat");
    QTest::newRow("too short, old table") << QByteArray::fromHex("FEFE") << false;
    QTest::newRow("new layout truncated in the offset table, old table")
        << QByteArray::fromHex("FEFEFEFE0200000000000000000000000100000002000000030000") << false;
    QTest::newRow("old layout truncated, new table") << QByteArray::fromHex("0C0000000100") << true;
}

void TestZelkStrings::failedLoadChangesNothing()
{
    QFETCH(QByteArray, image);
    QFETCH(bool, startNewFormat);
    TZelkStrings table;
    fill(table, {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}, {1, 2, 3});
    table.SetNewFormat(startNewFormat);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.eng"));
    writeBytes(path, image);
    QCOMPARE(failureOf([&] { table.LoadFromFile(path); }), QStringLiteral("Stream read error"));
    QCOMPARE(table.NewFormat(), startNewFormat);
    QCOMPARE(table.EntryCount(), 3u);
    QCOMPARE(textsOf(table), (Texts{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
    QCOMPARE(numbersOf(table), (Numbers{1, 2, 3}));
}

void TestZelkStrings::decodesUtf8Strictly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString empty;
    QTest::newRow("C3 28") << QByteArray::fromHex("C328") << empty;
    QTest::newRow("ASCII with one FF") << QByteArray("abc\xFF" "def") << empty;
    QTest::newRow("overlong 2-byte C0 80") << QByteArray::fromHex("41C080") << empty;
    QTest::newRow("overlong 2-byte C1 BF") << QByteArray::fromHex("C1BF") << empty;
    QTest::newRow("overlong 3-byte E0 9F BF") << QByteArray::fromHex("E09FBF") << empty;
    QTest::newRow("overlong 4-byte F0 8F BF BF") << QByteArray::fromHex("F08FBFBF") << empty;
    QTest::newRow("surrogate ED A0 80") << QByteArray::fromHex("EDA080") << empty;
    QTest::newRow("surrogate ED BF BF") << QByteArray::fromHex("EDBFBF") << empty;
    QTest::newRow("above U+10FFFF: F4 90 80 80") << QByteArray::fromHex("F4908080") << empty;
    QTest::newRow("F5 lead byte") << QByteArray::fromHex("F5808080") << empty;
    QTest::newRow("FE and FF bytes") << QByteArray::fromHex("FEFF") << empty;
    QTest::newRow("stray continuation byte") << QByteArray::fromHex("418042") << empty;
    QTest::newRow("truncated 3-byte sequence") << QByteArray::fromHex("E282") << empty;
    QTest::newRow("truncated 4-byte sequence at the end") << QByteArray::fromHex("41F09F98") << empty;
    QTest::newRow("lead byte followed by ASCII") << QByteArray::fromHex("E24141") << empty;
    QTest::newRow("valid 2-byte") << QByteArray::fromHex("C3A9") << EAcute;
    QTest::newRow("valid euro sign") << QByteArray::fromHex("E282AC") << QString(QChar(0x20AC));
    QTest::newRow("valid U+FFFF") << QByteArray::fromHex("EFBFBF") << QString(QChar(0xFFFF));
    QTest::newRow("valid emoji") << QByteArray::fromHex("F09F9880") << QString::fromUcs4(U"\U0001F600");
    QTest::newRow("valid U+10FFFF") << QByteArray::fromHex("F48FBFBF") << QString::fromUcs4(U"\U0010FFFF");
    QTest::newRow("byte-order mark is an ordinary character")
        << QByteArray::fromHex("EFBBBF41") << QString(QChar(0xFEFF)) + QLatin1Char('A');
    QTest::newRow("caret inside non-ASCII text") << QByteArray::fromHex("C3A95EC3A9") << EAcute + QLatin1Char('\n') + EAcute;
}

void TestZelkStrings::decodesUtf8Strictly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    // Entry 0 is "ok" at offset 8, entry 1 the bytes under test at offset 11.
    const QByteArray image = QByteArray::fromHex("080000000B000000") + QByteArrayLiteral("ok") + '\0' + bytes + '\0';
    TZelkStrings table;
    table.loadFromData(image);
    QCOMPARE(table.EntryCount(), 2u);
    QCOMPARE(table.GetEntry(0), QStringLiteral("ok"));
    QCOMPARE(table.GetEntry(1), text);

    // Every text comes back byte for byte, a bad one too, until it is edited.
    QCOMPARE(table.isUnreadable(1), text.isEmpty());
    QCOMPARE(table.unreadableCount(), text.isEmpty() ? 1u : 0u);
    table.SetNewFormat(false);
    QCOMPARE(table.saveToData(), image);
    QCOMPARE(table.imageSize(), quint64(image.size()));
    table.SetEntry(1, QString());
    QVERIFY(!table.isUnreadable(1));
    QCOMPARE(table.saveToData().mid(11), QByteArray(1, '\0'));
}

void TestZelkStrings::writesLineBreaksAndCarriageReturns_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("CR, LF and caret") << QStringLiteral("a\r\nb^c") << QByteArray("a^b^c") << QStringLiteral("a\nb\nc");
    QTest::newRow("lone CR is left out") << QStringLiteral("a\rb") << QByteArray("ab") << QStringLiteral("ab");
    QTest::newRow("empty text") << QString() << QByteArray() << QString();
    QTest::newRow("lone high surrogate becomes U+FFFD")
        << QString(QChar(0xD800)) + QLatin1Char('x') << QByteArray::fromHex("EFBFBD78")
        << QString(QChar(0xFFFD)) + QLatin1Char('x');
    QTest::newRow("lone low surrogate becomes U+FFFD")
        << QString(QChar(0xDC00)) << QByteArray::fromHex("EFBFBD") << QString(QChar(0xFFFD));
    QTest::newRow("characters of every length")
        << QStringLiteral("A") + EAcute + QChar(0x4E2D) + QString::fromUcs4(U"\U0001F600")
        << QByteArray::fromHex("41C3A9E4B8ADF09F9880")
        << QStringLiteral("A") + EAcute + QChar(0x4E2D) + QString::fromUcs4(U"\U0001F600");
}

void TestZelkStrings::writesLineBreaksAndCarriageReturns()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    TZelkStrings table;
    table.SetNewFormat(false);
    table.AddEntry(text);
    QCOMPARE(table.GetEntry(0), text);
    const QByteArray image = table.saveToData();
    QCOMPARE(image, QByteArray::fromHex("04000000") + bytes + '\0');
    table.loadFromData(image);
    QCOMPARE(table.GetEntry(0), readBack);
}

void TestZelkStrings::writerLayoutFromSharedAndReversedOffsets()
{
    // Entries 0 and 2 share one string, entry 1's string lies first, the
    // reserved bytes are not 0 and two bytes at the end are unreached.
    const QByteArray image = QByteArray::fromHex(
        "FEFEFEFE03000000AAAAAAAABBBBBBBB010000000200000003000000"
        "2C0000002800000028000000" "4200" "0000" "414300" "FFFF");
    TZelkStrings table;
    table.loadFromData(image);
    QCOMPARE(textsOf(table), (Texts{QStringLiteral("AC"), QStringLiteral("B"), QStringLiteral("B")}));
    const QByteArray expected = QByteArray::fromHex(
        "FEFEFEFE03000000000000000000000001000000020000000300000028000000"
        "2B0000002D000000" "414300" "4200" "4200");
    QCOMPARE(table.saveToData(), expected);
}

void TestZelkStrings::writerOutputRoundTripsByteForByte_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::newRow("worked example, new") << WorkedNew;
    QTest::newRow("worked example, old") << WorkedOld;
    QTest::newRow("empty, new") << QByteArray::fromHex("FEFEFEFE000000000000000000000000");
}

void TestZelkStrings::writerOutputRoundTripsByteForByte()
{
    QFETCH(QByteArray, image);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.eng"));
    const QString out = dir.filePath(QStringLiteral("out.eng"));
    writeBytes(in, image);
    TZelkStrings table;
    table.LoadFromFile(in);
    table.SaveToFile(out);
    QCOMPARE(readBytes(out), image);
}

void TestZelkStrings::changingLayoutDropsOrZeroesNumbers()
{
    TZelkStrings table;
    table.loadFromData(WorkedNew);
    table.SetNewFormat(false);
    QCOMPARE(table.saveToData(), WorkedOld);
    table.loadFromData(table.saveToData());
    QVERIFY(!table.NewFormat());
    QCOMPARE(numbersOf(table), (Numbers{0, 0}));
    table.SetNewFormat(true);
    table.loadFromData(table.saveToData());
    QVERIFY(table.NewFormat());
    QCOMPARE(numbersOf(table), (Numbers{0, 0}));
}

void TestZelkStrings::randomTablesRoundTrip_data()
{
    QTest::addColumn<bool>("newFormat");
    QTest::newRow("new layout") << true;
    QTest::newRow("old layout") << false;
}

void TestZelkStrings::randomTablesRoundTrip()
{
    QFETCH(bool, newFormat);
    QRandomGenerator random(20261209);
    TZelkStrings table;
    table.SetNewFormat(newFormat);
    Texts expected;
    for (int i = 0; i < 20000; ++i) {
        const QString text = randomText(random);
        table.AddEntry(text);
        table.SetNumber(quint32(i), random.generate());
        QString stored = text;
        stored.replace(QLatin1Char('^'), QLatin1Char('\n'));
        expected << stored;
    }
    const Numbers numbers = numbersOf(table);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("random.bin"));
    table.SaveToFile(path);
    TZelkStrings loaded;
    loaded.LoadFromFile(path);
    QCOMPARE(loaded.NewFormat(), newFormat);
    QCOMPARE(textsOf(loaded), expected);
    QCOMPARE(numbersOf(loaded), newFormat ? numbers : Numbers(numbers.size(), 0));
    QCOMPARE(loaded.saveToData(), readBytes(path));
}

void TestZelkStrings::addEntryAppendsWithNumberZero()
{
    TZelkStrings table;
    table.loadFromData(WorkedNew);
    table.AddEntry(QStringLiteral("new"));
    QCOMPARE(table.EntryCount(), 3u);
    QCOMPARE(table.GetEntry(2), QStringLiteral("new"));
    QCOMPARE(table.GetNumber(2), 0u);
    QCOMPARE(table.GetNumber(1), 0x9ABCDEF0u);
}

void TestZelkStrings::loadReplacesAllEntries()
{
    TZelkStrings table;
    for (int i = 0; i < 10; ++i)
        table.AddEntry(QString::number(i));
    TZelkStrings three;
    fill(three, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {7, 8, 9});
    table.loadFromData(three.saveToData());
    QCOMPARE(table.EntryCount(), 3u);
    QCOMPARE(textsOf(table), (Texts{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    QCOMPARE(numbersOf(table), (Numbers{7, 8, 9}));
}

void TestZelkStrings::indexFailures_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<quint32>("index");
    QTest::addColumn<QString>("message");
    const char *names[] = {"DeleteEntry", "GetEntry", "SetEntry", "GetNumber", "SetNumber", "Move from"};
    for (int operation = 0; operation < 6; ++operation) {
        QTest::addRow("%s(EntryCount)", names[operation]) << operation << 3u << QStringLiteral("List index out of bounds (3)");
        QTest::addRow("%s(4294967295)", names[operation]) << operation << 0xFFFFFFFFu << QStringLiteral("List index out of bounds (-1)");
        QTest::addRow("%s(2147483648)", names[operation]) << operation << 0x80000000u << QStringLiteral("List index out of bounds (-2147483648)");
    }
}

void TestZelkStrings::indexFailures()
{
    QFETCH(int, operation);
    QFETCH(quint32, index);
    QFETCH(QString, message);
    TZelkStrings table;
    fill(table, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, {1, 2, 3});
    const std::function<void()> operations[] = {
        [&] { table.DeleteEntry(index); },
        [&] { table.GetEntry(index); },
        [&] { table.SetEntry(index, QStringLiteral("x")); },
        [&] { table.GetNumber(index); },
        [&] { table.SetNumber(index, 9); },
        [&] { table.Move(index, 0); },
    };
    QCOMPARE(failureOf(operations[operation]), message);
    QCOMPARE(table.EntryCount(), 3u);
    QCOMPARE(textsOf(table), (Texts{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    QCOMPARE(numbersOf(table), (Numbers{1, 2, 3}));
}

void TestZelkStrings::moveReorders_data()
{
    QTest::addColumn<quint32>("from");
    QTest::addColumn<quint32>("to");
    QTest::addColumn<QString>("order");
    QTest::addColumn<Numbers>("numbers");
    QTest::newRow("2 to 0") << 2u << 0u << QStringLiteral("CAB") << Numbers{3, 1, 2};
    QTest::newRow("0 to 2") << 0u << 2u << QStringLiteral("BCA") << Numbers{2, 3, 1};
    QTest::newRow("1 to 1") << 1u << 1u << QStringLiteral("ABC") << Numbers{1, 2, 3};
    QTest::newRow("5 to 5 tests nothing") << 5u << 5u << QStringLiteral("ABC") << Numbers{1, 2, 3};
}

void TestZelkStrings::moveReorders()
{
    QFETCH(quint32, from);
    QFETCH(quint32, to);
    QFETCH(QString, order);
    QFETCH(Numbers, numbers);
    TZelkStrings table;
    fill(table, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, {1, 2, 3});
    table.Move(from, to);
    QCOMPARE(textsOf(table).join(QString()), order);
    QCOMPARE(numbersOf(table), numbers);
}

void TestZelkStrings::deleteEntriesRemovesInOnePass()
{
    TZelkStrings table;
    for (quint32 i = 0; i < 10; ++i) {
        table.AddEntry(QString::number(i));
        table.SetNumber(i, 100 + i);
    }
    table.DeleteEntry(9);
    table.deleteEntries({5, 2, 5, 0});
    QCOMPARE(textsOf(table), (Texts{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4"),
                                    QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")}));
    QCOMPARE(numbersOf(table), (Numbers{101, 103, 104, 106, 107, 108}));
    QCOMPARE(failureOf([&] { table.deleteEntries({1, 6}); }), QStringLiteral("List index out of bounds (6)"));
    QCOMPARE(table.EntryCount(), 6u);
}

void TestZelkStrings::hashKey_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<quint32>("hash");
    QTest::newRow("empty") << QByteArray() << 0xFFFFFFFFu;
    QTest::newRow("a") << QByteArray("a") << 0x00000020u;
    QTest::newRow("abc") << QByteArray("abc") << 0x000090E5u;
    QTest::newRow("ABC") << QByteArray("ABC") << 0x000090E5u;
    QTest::newRow("aBc") << QByteArray("aBc") << 0x000090E5u;
    QTest::newRow("a blank at the end counts") << QByteArray("abc ") << 0x000090E5u * 33u + 0x20u;
    QTest::newRow("digits, blank, underscore")
        << QByteArray("0 _") << ((0xFFFFFFFFu * 33u + 0x30u) * 33u + 0x20u) * 33u + 0x5Fu;
    QTest::newRow("e acute is not folded") << QByteArray("\xE9") << 0xFFFFFFFFu * 33u + 0xE9u;
    QTest::newRow("E acute") << QByteArray("\xC9") << 0xFFFFFFFFu * 33u + 0xC9u;
}

void TestZelkStrings::hashKey()
{
    QFETCH(QByteArray, key);
    QFETCH(quint32, hash);
    QCOMPARE(TZelkStrings::HashKey(key), hash);
}

void TestZelkStrings::toAnsiUsesWindows1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII") << QStringLiteral("Key_1") << QByteArray("Key_1");
    QTest::newRow("e acute") << EAcute << QByteArray("\xE9");
    QTest::newRow("E acute") << QString(QChar(0xC9)) << QByteArray("\xC9");
    QTest::newRow("euro sign") << QString(QChar(0x20AC)) << QByteArray("\x80");
    QTest::newRow("Z caron") << QString(QChar(0x017D)) << QByteArray("\x8E");
    QTest::newRow("undefined position maps to itself") << QString(QChar(0x81)) << QByteArray("\x81");
    QTest::newRow("C1 control without a place") << QString(QChar(0x80)) << QByteArray("?");
    QTest::newRow("CJK character") << QString(QChar(0x4E2D)) << QByteArray("?");
    QTest::newRow("character outside the BMP is one ?") << QString::fromUcs4(U"a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestZelkStrings::toAnsiUsesWindows1252()
{
#ifdef Q_OS_WIN
    QSKIP("on Windows the system's code page converts");
#endif
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toAnsi(text), bytes);
}

void TestZelkStrings::formatsNumbers()
{
    QCOMPARE(formatNumber(0), QStringLiteral("00000000"));
    QCOMPARE(formatNumber(0xABC), QStringLiteral("00000ABC"));
    QCOMPARE(formatNumber(0x9ABCDEF0), QStringLiteral("9ABCDEF0"));
    QCOMPARE(formatNumber(0xFFFFFFFF), QStringLiteral("FFFFFFFF"));
}

void TestZelkStrings::openFailuresNameTheFullPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << QStringLiteral("missing.eng") << QStringLiteral("No such file or directory");
    QTest::newRow("missing folder") << QStringLiteral("nowhere/x.eng") << QStringLiteral("No such file or directory");
    QTest::newRow("a folder") << QStringLiteral("sub") << QStringLiteral("Is a directory");
}

void TestZelkStrings::openFailuresNameTheFullPath()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    TZelkStrings table;
    fill(table, {QStringLiteral("kept")});
    const QString message = failureOf([&] { table.LoadFromFile(name); });
    QDir::setCurrent(previous);
    compareFailure(message, QStringLiteral("Cannot open file"), QDir(dir.path()).filePath(name), reason);
    QCOMPARE(textsOf(table), Texts{QStringLiteral("kept")});
}

void TestZelkStrings::createFailuresKeepTheOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << QStringLiteral("nowhere/x.eng") << QStringLiteral("No such file or directory");
    QTest::newRow("a folder") << QStringLiteral("sub") << QStringLiteral("Is a directory");
    QTest::newRow("a file as folder") << QStringLiteral("old.eng/x.eng") << QStringLiteral("Not a directory");
}

void TestZelkStrings::createFailuresKeepTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    writeBytes(dir.filePath(QStringLiteral("old.eng")), WorkedOld);
    TZelkStrings table;
    fill(table, {QStringLiteral("new")});
    const QString path = dir.filePath(name);
    compareFailure(failureOf([&] { table.SaveToFile(path); }), QStringLiteral("Cannot create file"), path, reason);
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("old.eng"))), WorkedOld);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.eng")});
}

void TestZelkStrings::unwritableFolderKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("folderLocked");
    QTest::newRow("a folder without write permission") << true;
    QTest::newRow("a read-only file in a writable folder") << false;
}

void TestZelkStrings::unwritableFolderKeepsTheOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs an ordinary user in a child process");
#else
    QFETCH(bool, folderLocked);
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    const QString path = folder + QStringLiteral("/lang.eng");
    writeBytes(path, WorkedNew);
    const QFile::Permissions everyone = QFile::ReadOther | QFile::ExeOther | (folderLocked ? QFile::Permissions() : QFile::WriteOther);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther | (folderLocked ? QFile::WriteOther : QFile::Permissions()));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | everyone);

    // Root may write anywhere, so the save runs as an ordinary user.
    const QString message = runInChild([&] {
        becomeUnprivileged();
        TZelkStrings table;
        fill(table, {QStringLiteral("new")});
        return failureOf([&] { table.SaveToFile(path); });
    });
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(message, QStringLiteral("Cannot create file \"%1\". Permission denied").arg(path));
    QCOMPARE(readBytes(path), WorkedNew);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("lang.eng")});
#endif
}

void TestZelkStrings::fullDiskKeepsTheOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit in a child process");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lang.eng"));
    writeBytes(path, WorkedNew);
    const QString message = runInChild([&] {
        limitFileSize(4096);
        TZelkStrings table;
        for (int i = 0; i < 1000; ++i)
            table.AddEntry(QStringLiteral("a text long enough to pass the limit"));
        return failureOf([&] { table.SaveToFile(path); });
    });
    QCOMPARE(message, QStringLiteral("Stream write error"));
    QCOMPARE(readBytes(path), WorkedNew);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("lang.eng")});
#endif
}

// A save writes through a symbolic link (a dangling one too) and keeps the
// owner, group and extended attributes of the file it replaces.
void TestZelkStrings::saveKeepsLinksAndOwner()
{
#ifndef Q_OS_UNIX
    QSKIP("links and owners of Linux");
#else
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target.eng"));
    const QString link = dir.filePath(QStringLiteral("link.eng"));
    writeBytes(target, WorkedNew);
    QVERIFY(QFile::link(QStringLiteral("target.eng"), link));
    QVERIFY(::chown(QFile::encodeName(target).constData(), 65534, 65534) == 0);
    const bool attributes = ::setxattr(QFile::encodeName(target).constData(), "user.note", "kept", 4, 0) == 0;
    TZelkStrings table;
    table.loadFromData(WorkedOld);
    table.SaveToFile(link);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readBytes(target), WorkedOld);
    struct stat written{};
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &written), 0);
    QCOMPARE(int(written.st_uid), 65534);
    QCOMPARE(int(written.st_gid), 65534);
    char note[8] = {};
    if (attributes) // where the file system has them
        QCOMPARE(::getxattr(QFile::encodeName(target).constData(), "user.note", note, sizeof note), ssize_t(4));

    const QString dangling = dir.filePath(QStringLiteral("dangling.eng"));
    QVERIFY(QFile::link(QStringLiteral("created.eng"), dangling));
    table.SaveToFile(dangling);
    QVERIFY(QFileInfo(dangling).isSymLink());
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("created.eng"))), WorkedOld);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 4);
#endif
}

// The file beside the one replaced has a short name of its own, so a name of
// the longest length a folder allows saves like any other.
void TestZelkStrings::namesOfAnyLengthSave()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString(251, QLatin1Char('n')) + QStringLiteral(".eng"));
    writeBytes(path, WorkedNew);
    TZelkStrings table;
    table.LoadFromFile(path);
    table.SetNewFormat(false);
    table.SaveToFile(path);
    QCOMPARE(readBytes(path), WorkedOld);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// A name that is not UTF-8 comes with U+FFFD for its bad bytes; it is
// refused rather than opening or creating a file of another name.
void TestZelkStrings::namesNotUtf8AreRefused()
{
#ifndef Q_OS_UNIX
    QSKIP("names of bytes are Linux's");
#else
    QTemporaryDir dir;
    const QByteArray rawName = QFile::encodeName(dir.path()) + "/caf\xE9.eng";
    writeBytes(QFile::decodeName(QFile::encodeName(dir.path()) + "/ok.eng"), WorkedNew);
    QVERIFY(QFile::rename(dir.filePath(QStringLiteral("ok.eng")), dir.filePath(QStringLiteral("tmp"))));
    QCOMPARE(::rename(QFile::encodeName(dir.filePath(QStringLiteral("tmp"))).constData(), rawName.constData()), 0);
    const QString name = QFile::decodeName(rawName);
    QVERIFY(name.contains(QChar(QChar::ReplacementCharacter)));
    TZelkStrings table;
    QCOMPARE(failureOf([&] { table.LoadFromFile(name); }),
             QStringLiteral("Cannot open file \"%1\". Its name is not valid UTF-8; rename the file").arg(name));
    QCOMPARE(failureOf([&] { table.SaveToFile(name); }),
             QStringLiteral("Cannot create file \"%1\". Its name is not valid UTF-8; rename the file").arg(name));
    QVERIFY(!QFile::exists(name)); // no file of the other name
    QCOMPARE(::access(rawName.constData(), F_OK), 0);
#endif
}

// On Windows a file another program holds open cannot be replaced; the save
// says so and the file keeps its bytes.
void TestZelkStrings::fileHeldOpenKeepsItsBytes()
{
#ifndef Q_OS_WIN
    QSKIP("Windows share modes");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lang.eng"));
    writeBytes(path, WorkedNew);
    const HANDLE held = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                                    GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    QVERIFY(held != INVALID_HANDLE_VALUE);
    TZelkStrings table;
    fill(table, {QStringLiteral("new")});
    const QString message = failureOf([&] { table.SaveToFile(path); });
    CloseHandle(held);
    QVERIFY2(message.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(path))),
             qPrintable(message));
    QCOMPARE(readBytes(path), WorkedNew);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("lang.eng")});
#endif
}

void TestZelkStrings::saveReplacesAnExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lang.eng"));
    writeBytes(path, QByteArray(1000, 'x'));
    TZelkStrings table;
    table.loadFromData(WorkedOld);
    table.SaveToFile(path);
    QCOMPARE(readBytes(path), WorkedOld);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("lang.eng")});
}

QTEST_GUILESS_MAIN(TestZelkStrings)
#include "tst_uZelkStrings.moc"
