#include "TestFiles.h"
#include "uZelkStrings.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run zelkstr(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(ZELKSTR_PATH), arguments);
    process.waitForFinished(120000);
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
               process.readAllStandardError()};
}

QByteArray image(const QStringList &texts, const QList<quint32> &numbers, bool newFormat = true)
{
    return stringsImage(texts, numbers, newFormat);
}

// Texts that stress both catalogue formats: separators, quotes, line breaks
// at either end, empty texts, several scripts, equal texts.
const QStringList Tricky = {QStringLiteral("Yes"),
                            QStringLiteral("a, b and \"c\""),
                            QStringLiteral("two\nlines"),
                            QString(),
                            QStringLiteral("\nstarts with a break"),
                            QStringLiteral("ends with a break\n"),
                            QString::fromUtf8("Caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xB8 \xE4\xB8\xAD\xE6\x96\x87"),
                            QStringLiteral("Yes"),
                            QStringLiteral("tab\there\\back"),
                            QStringLiteral("%s and %d")};
const QList<quint32> TrickyNumbers = {0x12345678, 0, 0xFFFFFFFF, 7, 0x90E5, 1, 2, 3, 4, 5};

// The last line a run wrote to stderr.
QByteArray lastLine(const QByteArray &text)
{
    const QList<QByteArray> lines = text.trimmed().split('\n');
    return lines.last();
}

// gettext's own programs, where this system has them.
bool haveGettextTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("msgfmt")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("msgmerge")).isEmpty();
}

bool msgfmtCheck(const QString &path, QByteArray *messages)
{
    QProcess process;
    process.start(QStringLiteral("msgfmt"), {QStringLiteral("--check"), QStringLiteral("-o"), QStringLiteral("/dev/null"), path});
    process.waitForFinished(120000);
    *messages = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

class TestZelkstr : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void helpAndVersion();
    void info_data();
    void info();
    void dumpTable();
    void dumpJson();
    void hash();
    void convert_data();
    void convert();
    void exportCsvQuotesFields();
    void exportPoPassesMsgfmt_data();
    void exportPoPassesMsgfmt();
    void exportThenImportReproducesTheFile_data();
    void exportThenImportReproducesTheFile();
    void importTakesTextsAndNumbers();
    void importPoKeepsUntranslatedAndNumbers();
    void importLayout();
    void diff();
    void textsNotUtf8KeepTheirBytes();
    void failuresAreNotResults_data();
    void failuresAreNotResults();
    void exportsStreamInBoundedMemory_data();
    void exportsStreamInBoundedMemory();
    void textsTheLayoutCannotHold();
    void catalogueCharsetsAndForms_data();
    void catalogueCharsetsAndForms();
    void poUpdateThroughMsgmerge();
    void importMismatches_data();
    void importMismatches();
    void mergeCheckAndDiffByNumber();
    void createFromACatalogue_data();
    void createFromACatalogue();
    void spelling_data();
    void spelling();
    void spellingSuggestionsSharedOut();
    void replace_data();
    void replace();
    void checkChoosesKinds_data();
    void checkChoosesKinds();
    void consistencyAndGlossary();
    void pretranslate_data();
    void pretranslate();
    void reviewFileFromMergeToCheck_data();
    void reviewFileFromMergeToCheck();
    void badInput_data();
    void badInput();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString tricky(bool newFormat = true);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestZelkstr::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // The user's data folder, where personal word lists are, is the test's.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
}

QString TestZelkstr::tricky(bool newFormat)
{
    const QString file = path(newFormat ? QStringLiteral("tricky.fre") : QStringLiteral("tricky-old.fre"));
    writeBytes(file, image(Tricky, TrickyNumbers, newFormat));
    return file;
}

void TestZelkstr::helpAndVersion()
{
    const Run help = zelkstr({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    for (const char *command : {"info FILE", "dump FILE", "hash KEY", "convert IN OUT", "export FILE", "import FILE",
                                "diff A B"})
        QVERIFY2(help.out.contains(command), command);
    const Run version = zelkstr({QStringLiteral("--version")});
    QCOMPARE(version.out, QByteArray("zelkstr 3.0\n"));
    const Run one = zelkstr({QStringLiteral("help"), QStringLiteral("import")});
    QCOMPARE(one.status, 0);
    QVERIFY(one.out.startsWith("Usage: zelkstr import FILE IN.csv|IN.po -o OUT"));
    QVERIFY(one.out.contains("--layout"));
    QCOMPARE(zelkstr({QStringLiteral("dump"), QStringLiteral("--help")}).status, 0);
}

void TestZelkstr::info_data()
{
    QTest::addColumn<int>("cutTo");
    QTest::addColumn<QByteArray>("damage");
    QTest::addColumn<QByteArray>("warning");
    QTest::newRow("whole") << 0 << QByteArray("entries past the end of the file: 0\nlast text without terminator: no\n") << QByteArray();
    // Cut after the "b" of entry 2: entries 3 and 4 point past the end.
    QTest::newRow("cut short") << 60 << QByteArray("entries past the end of the file: 2\nlast text without terminator: yes\n")
                               << QByteArray(": 2 entries point past the end of the file, and the last text has no terminator: "
                                             "the file may be incomplete\n");
}

void TestZelkstr::info()
{
    QFETCH(int, cutTo);
    QFETCH(QByteArray, damage);
    QFETCH(QByteArray, warning);
    const QString file = path(QStringLiteral("info.eng"));
    QByteArray bytes = image({QStringLiteral("a"), QString(), QStringLiteral("b"), QString(), QStringLiteral("c")}, {5, 5, 9, 5, 9});
    if (cutTo)
        bytes.truncate(cutTo);
    writeBytes(file, bytes);
    const Run run = zelkstr({QStringLiteral("info"), file});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("layout: new\nentries: 5\nfile size: ") + QByteArray::number(bytes.size())
                          + " bytes\nempty texts: " + (cutTo ? "3" : "2")
                          + "\nrepeated numbers: 2 (in 5 entries)\ntexts not valid UTF-8: 0\n" + damage);
    QCOMPARE(run.err, warning.isEmpty() ? QByteArray() : "zelkstr: warning: " + file.toUtf8() + warning);
    if (!cutTo)
        return;
    // check reports each entry the cut touches.
    const Run check = zelkstr({QStringLiteral("check"), file, file, QStringLiteral("--only"), QStringLiteral("damaged")});
    QCOMPARE(check.out, QByteArray("2 00000009 damaged: its text runs to the end of the file without a terminator: the file may be "
                                   "incomplete\n3 00000005 damaged: its text lies past the end of the file: the file may be "
                                   "incomplete\n4 00000009 damaged: its text lies past the end of the file: the file may be "
                                   "incomplete\n"));
}

void TestZelkstr::dumpTable()
{
    const QString file = path(QStringLiteral("dump.eng"));
    // A raw carriage return can only come from a file, so the bytes are laid out by hand.
    writeBytes(file, QByteArray::fromHex("0C000000140000001500000061095C620A63") + QByteArray("\r\0\0x\0", 5));
    const Run run = zelkstr({QStringLiteral("dump"), file});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("0\t00000000\ta\\t\\\\b\\nc\\r\n1\t00000000\t\n2\t00000000\tx\n"));
}

void TestZelkstr::dumpJson()
{
    const QString file = tricky();
    const Run run = zelkstr({QStringLiteral("dump"), QStringLiteral("--json"), file});
    QCOMPARE(run.status, 0);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(document["layout"].toString(), QStringLiteral("new"));
    const QJsonArray entries = document["entries"].toArray();
    QCOMPARE(entries.size(), Tricky.size());
    for (int i = 0; i < Tricky.size(); ++i) {
        QCOMPARE(entries[i]["index"].toInt(), i);
        QCOMPARE(entries[i]["number"].toString(), formatNumber(TrickyNumbers[i]));
        QCOMPARE(entries[i]["text"].toString(), Tricky[i]);
    }
    writeBytes(file, image({}, {}));
    QCOMPARE(zelkstr({QStringLiteral("dump"), QStringLiteral("--json"), file}).out,
             QByteArray("{\"layout\": \"new\", \"entries\": []}\n"));
}

void TestZelkstr::hash()
{
    const Run run = zelkstr({QStringLiteral("hash"), QStringLiteral("abc"), QStringLiteral("ABC"), QString(),
                             QStringLiteral("a"), QString(QChar(0xE9)), QString(QChar(0xC9))});
    QCOMPARE(run.status, 0);
    const QByteArray eAcute = formatNumber(0xFFFFFFFFu * 33u + 0xE9u).toLatin1();
    const QByteArray capitalEAcute = formatNumber(0xFFFFFFFFu * 33u + 0xC9u).toLatin1();
    QCOMPARE(run.out, "000090E5\n000090E5\nFFFFFFFF\n00000020\n" + eAcute + "\n" + capitalEAcute + "\n");
}

void TestZelkstr::convert_data()
{
    QTest::addColumn<bool>("fromNew");
    QTest::addColumn<QString>("layout");
    QTest::newRow("new to old") << true << QStringLiteral("old");
    QTest::newRow("old to new") << false << QStringLiteral("new");
    QTest::newRow("new to new") << true << QStringLiteral("new");
}

void TestZelkstr::convert()
{
    QFETCH(bool, fromNew);
    QFETCH(QString, layout);
    const QString in = tricky(fromNew);
    const QString out = path(QStringLiteral("converted.fre"));
    const Run run = zelkstr({QStringLiteral("convert"), in, out, QStringLiteral("--layout"), layout});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray());
    const bool toNew = layout == QLatin1String("new");
    const QList<quint32> numbers = fromNew && toNew ? TrickyNumbers : QList<quint32>(Tricky.size(), 0);
    QCOMPARE(readBytes(out), image(Tricky, numbers, toNew));
}

void TestZelkstr::exportCsvQuotesFields()
{
    const QString file = path(QStringLiteral("csv.eng"));
    writeBytes(file, image({QStringLiteral("plain"), QStringLiteral("a, b"), QStringLiteral("say \"hi\""),
                            QStringLiteral("two\nlines"), QString()},
                           {1, 2, 3, 4, 0xABCDEF01}));
    const QString csv = path(QStringLiteral("out.csv"));
    QCOMPARE(zelkstr({QStringLiteral("export"), file, csv}).status, 0);
    QCOMPARE(readBytes(csv), QByteArray("index,number,text\r\n"
                                        "0,00000001,plain\r\n"
                                        "1,00000002,\"a, b\"\r\n"
                                        "2,00000003,\"say \"\"hi\"\"\"\r\n"
                                        "3,00000004,\"two\nlines\"\r\n"
                                        "4,ABCDEF01,\r\n"));
    const QString source = path(QStringLiteral("source.fre"));
    writeBytes(source, image({QStringLiteral("simple"), QStringLiteral("x,y")}, {}));
    QCOMPARE(zelkstr({QStringLiteral("export"), file, csv, QStringLiteral("--source"), source}).status, 0);
    QVERIFY(readBytes(csv).startsWith("index,number,source,text\r\n0,00000001,simple,plain\r\n1,00000002,\"x,y\",\"a, b\"\r\n"
                                      "2,00000003,,\"say"));
}

void TestZelkstr::exportPoPassesMsgfmt_data()
{
    QTest::addColumn<bool>("bilingual");
    QTest::addColumn<int>("copies");
    QTest::newRow("monolingual") << false << 1;
    QTest::newRow("bilingual, breaks differing from the source") << true << 1;
    QTest::newRow("written in pieces") << false << 1000;
}

// What gettext's tools read back, they write again byte for byte: the
// catalogue is exactly as the library writes it, also when written in pieces.
void TestZelkstr::exportPoPassesMsgfmt()
{
    QFETCH(bool, bilingual);
    QFETCH(int, copies);
    QString file = tricky();
    if (copies > 1) {
        QStringList texts;
        QList<quint32> numbers;
        for (int i = 0; i < copies * Tricky.size(); ++i) {
            texts << Tricky[i % Tricky.size()] + QString::number(i / Tricky.size());
            numbers << quint32(i + 1);
        }
        writeBytes(file, image(texts, numbers));
    }
    const QString po = path(QStringLiteral("out.po"));
    QStringList arguments{QStringLiteral("export"), file, po};
    if (bilingual) {
        QStringList english = Tricky;
        english[4] = QStringLiteral("no break first");
        english[5] = QStringLiteral("no break last");
        const QString source = path(QStringLiteral("source.eng"));
        writeBytes(source, image(english, {}));
        arguments << QStringLiteral("--source") << source;
    }
    QCOMPARE(zelkstr(arguments).status, 0);
    const QByteArray catalogue = readBytes(po);
    QByteArray messages;
    if (haveGettextTools()) {
        QVERIFY2(msgfmtCheck(po, &messages), messages.constData());
        QVERIFY2(messages.isEmpty(), messages.constData());
        QCOMPARE(QProcess::execute(QStringLiteral("msgcat"), {po, QStringLiteral("-o"), path(QStringLiteral("again.po"))}), 0);
        QVERIFY(readBytes(path(QStringLiteral("again.po"))) == catalogue);
    }
    QCOMPARE(catalogue.count("\nmsgctxt "), copies * Tricky.size());
    if (copies > 1)
        return;
    // The numbers tell the entries apart, so they name them; number 0 cannot.
    QVERIFY(catalogue.contains("msgctxt \"00000003\"\nmsgid \"Yes\"\nmsgstr \"Yes\""));
    QVERIFY(catalogue.contains("msgctxt \"1:00000000\"\n"));
    QVERIFY(catalogue.contains("\"Language: fr\\n\""));
    QCOMPARE(catalogue.contains("#, fuzzy"), bilingual);
}

void TestZelkstr::exportThenImportReproducesTheFile_data()
{
    QTest::addColumn<bool>("newFormat");
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<bool>("bilingual");
    for (const bool newFormat : {true, false}) {
        for (const char *catalogue : {"catalogue.csv", "catalogue.po"}) {
            for (const bool bilingual : {false, true})
                QTest::addRow("%s layout, %s%s", newFormat ? "new" : "old", catalogue, bilingual ? ", bilingual" : "")
                    << newFormat << QString::fromLatin1(catalogue) << bilingual;
        }
    }
}

void TestZelkstr::exportThenImportReproducesTheFile()
{
    QFETCH(bool, newFormat);
    QFETCH(QString, catalogue);
    QFETCH(bool, bilingual);
    const QString file = tricky(newFormat);
    const QString exported = path(catalogue);
    QStringList arguments{QStringLiteral("export"), file, exported};
    if (bilingual) {
        const QString source = path(QStringLiteral("source.eng"));
        writeBytes(source, image({QStringLiteral("one"), QStringLiteral("two")}, {}));
        arguments << QStringLiteral("--source") << source;
    }
    QCOMPARE(zelkstr(arguments).status, 0);
    // Import into a file whose texts all differ, so that every text must come
    // from the catalogue.
    QStringList blank;
    for (int i = 0; i < Tricky.size(); ++i)
        blank << QStringLiteral("placeholder %1").arg(i);
    const QString base = path(QStringLiteral("base.fre"));
    writeBytes(base, image(blank, TrickyNumbers, newFormat));
    const QString out = path(QStringLiteral("imported.fre"));
    const Run run = zelkstr({QStringLiteral("import"), base, exported, QStringLiteral("-o"), out});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.startsWith("zelkstr: pairing the catalogue with " + base.toUtf8()
                                + (newFormat ? " by number\n" : " by index")),
             run.err.constData());
    QByteArray expected = readBytes(file);
    if (catalogue.endsWith(QLatin1String(".po"))) {
        // An empty translation means "not translated": that entry keeps its text.
        QStringList texts = Tricky;
        texts[3] = blank[3];
        expected = image(texts, newFormat ? TrickyNumbers : QList<quint32>(Tricky.size(), 0), newFormat);
    }
    QCOMPARE(readBytes(out), expected);
}

void TestZelkstr::importTakesTextsAndNumbers()
{
    const QString file = path(QStringLiteral("base.eng"));
    writeBytes(file, image({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {1, 2, 3}));
    const QString csv = path(QStringLiteral("part.csv"));
    writeBytes(csv, QByteArray("\xEF\xBB\xBFindex,number,text\n2,ff,\"new, \"\"c\"\"\"\n0,00000009,A\n"));
    const QString out = path(QStringLiteral("out.eng"));
    const Run run = zelkstr({QStringLiteral("import"), file, csv, QStringLiteral("-o"), out, QStringLiteral("--set-numbers")});
    QCOMPARE(run.status, 0);
    QCOMPARE(readBytes(out), image({QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("new, \"c\"")}, {9, 2, 0xFF}));
}

void TestZelkstr::importPoKeepsUntranslatedAndNumbers()
{
    const QString file = path(QStringLiteral("base.eng"));
    writeBytes(file, image({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {1, 2, 3}));
    const QString po = path(QStringLiteral("part.po"));
    writeBytes(po, QByteArray("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                              "msgctxt \"1:00000002\"\nmsgid \"b\"\nmsgstr \"B\\nb\"\n\n"
                              "msgctxt \"2:00000003\"\nmsgid \"c\"\nmsgstr \"\"\n\n"
                              "#~ msgctxt \"0:00000001\"\n#~ msgid \"a\"\n#~ msgstr \"old\"\n"));
    const QString out = path(QStringLiteral("out.eng"));
    QCOMPARE(zelkstr({QStringLiteral("import"), file, po, QStringLiteral("-o"), out}).status, 0);
    QCOMPARE(readBytes(out), image({QStringLiteral("a"), QStringLiteral("B\nb"), QStringLiteral("c")}, {1, 2, 3}));
}

void TestZelkstr::importLayout()
{
    const QString file = path(QStringLiteral("base.eng"));
    writeBytes(file, image({QStringLiteral("a")}, {1}));
    const QString csv = path(QStringLiteral("none.csv"));
    writeBytes(csv, QByteArray("index,number,text\r\n"));
    const QString out = path(QStringLiteral("out.eng"));
    QCOMPARE(zelkstr({QStringLiteral("import"), file, csv, QStringLiteral("-o"), out, QStringLiteral("--layout"),
                      QStringLiteral("old")})
                 .status,
             0);
    QCOMPARE(readBytes(out), image({QStringLiteral("a")}, {}, false));
}

void TestZelkstr::diff()
{
    const QString a = path(QStringLiteral("a.eng"));
    const QString b = path(QStringLiteral("b.eng"));
    writeBytes(a, image({QStringLiteral("same"), QStringLiteral("old\ttext"), QStringLiteral("n"), QStringLiteral("gone")},
                        {1, 2, 3, 4}));
    writeBytes(b, image({QStringLiteral("same"), QStringLiteral("new text"), QStringLiteral("n")}, {1, 2, 0x30}));
    Run run = zelkstr({QStringLiteral("diff"), a, b});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray("1\ttext\told\\ttext\tnew text\n2\tnumber\t00000003\t00000030\n3\tremoved\t00000004\tgone\n"));
    run = zelkstr({QStringLiteral("diff"), b, a});
    QVERIFY(run.out.endsWith("3\tadded\t00000004\tgone\n"));
    run = zelkstr({QStringLiteral("diff"), a, a});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray());
    const QString old = path(QStringLiteral("old.eng"));
    writeBytes(old, image({QStringLiteral("x")}, {}, false));
    const QString fresh = path(QStringLiteral("fresh.eng"));
    writeBytes(fresh, image({QStringLiteral("x")}, {}, true));
    run = zelkstr({QStringLiteral("diff"), old, fresh});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray("layout\told\tnew\n"));
}

// A Windows-1252 "Café" left by an older tool: every command that writes a
// strings file keeps its bytes, and every listing marks it.
void TestZelkstr::textsNotUtf8KeepTheirBytes()
{
    const QString file = path(QStringLiteral("mixed.fre"));
    // New layout, entries "Oui" (1) and "Caf\xE9" (2).
    writeBytes(file, QByteArray::fromHex("FEFEFEFE02000000000000000000000001000000020000002000000024000000") + "Oui" + '\0' + "Caf\xE9" + '\0');
    const QByteArray bytes = readBytes(file);
    Run run = zelkstr({QStringLiteral("info"), file});
    QVERIFY(run.out.contains("empty texts: 0\nrepeated numbers: 0 (in 0 entries)\ntexts not valid UTF-8: 1\n"));
    QCOMPARE(zelkstr({QStringLiteral("dump"), file}).out, QByteArray("0\t00000001\tOui\n1\t00000002\tCaf\\xE9\n"));
    QVERIFY(zelkstr({QStringLiteral("dump"), QStringLiteral("--json"), file}).out.contains(
        "{\"index\": 1, \"number\": \"00000002\", \"text\": \"\", \"invalid_utf8\": \"436166E9\"}"));

    // Each writer in turn, its output read back: the bytes are still there.
    const QString out = path(QStringLiteral("out.fre"));
    const QString csv = path(QStringLiteral("mixed.csv"));
    const QString po = path(QStringLiteral("mixed.po"));
    QCOMPARE(zelkstr({QStringLiteral("convert"), file, out, QStringLiteral("--layout"), QStringLiteral("new")}).status, 0);
    QCOMPARE(readBytes(out), bytes);
    QCOMPARE(zelkstr({QStringLiteral("export"), file, csv}).status, 0);
    QCOMPARE(readBytes(csv), QByteArray("index,number,text,bytes\r\n0,00000001,Oui,\r\n1,00000002,,436166E9\r\n"));
    writeBytes(out, image({QStringLiteral("Non"), QStringLiteral("Thé")}, {1, 2}));
    QCOMPARE(zelkstr({QStringLiteral("import"), out, csv, QStringLiteral("-o"), out}).status, 0);
    QCOMPARE(readBytes(out), bytes);
    QCOMPARE(zelkstr({QStringLiteral("export"), file, po}).status, 0);
    QVERIFY(readBytes(po).contains("#. zelkstr: this entry's text is not valid UTF-8; the strings file keeps its bytes: "
                                   "43 61 66 E9\nmsgctxt \"00000002\"\nmsgid \"\"\nmsgstr \"\"\n"));
    QCOMPARE(zelkstr({QStringLiteral("import"), file, po, QStringLiteral("-o"), out}).status, 0);
    QCOMPARE(readBytes(out), bytes);
    QCOMPARE(zelkstr({QStringLiteral("merge"), file, file, file, QStringLiteral("-o"), out}).status, 0);
    QCOMPARE(readBytes(out), bytes);
}

void TestZelkstr::failuresAreNotResults_data()
{
    QTest::addColumn<QString>("limits");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString big = QStringLiteral("@big.eng");
    // File sizes limited (and the signal ignored) as on a full disk.
    const QString fullDisk = QStringLiteral("trap '' XFSZ; ulimit -f 16;");
    QTest::newRow("stdout on a full device") << QStringLiteral("exec >/dev/full;") << QStringList{QStringLiteral("dump"), big}
                                             << QStringLiteral("zelkstr: Stream write error");
    QTest::newRow("PO onto a full disk") << fullDisk << QStringList{QStringLiteral("export"), big, QStringLiteral("@out.po")}
                                         << QStringLiteral("zelkstr: Stream write error");
    QTest::newRow("CSV onto a full disk") << fullDisk << QStringList{QStringLiteral("export"), big, QStringLiteral("@out.csv")}
                                          << QStringLiteral("zelkstr: Stream write error");
    QTest::newRow("TMX onto a full disk") << fullDisk
                                          << QStringList{QStringLiteral("export"), big, QStringLiteral("@out.tmx"),
                                                         QStringLiteral("--source"), QStringLiteral("@source.eng")}
                                          << QStringLiteral("zelkstr: Stream write error");
#if !defined(__SANITIZE_ADDRESS__)
    // Two million entries, in 120 MB of memory.
    QTest::newRow("out of memory") << QStringLiteral("ulimit -v 120000;")
                                   << QStringList{QStringLiteral("info"), QStringLiteral("@many.eng")}
                                   << QStringLiteral("zelkstr: out of memory");
#endif
}

// A command that could not do its work exits 2 with a message, whatever
// stopped it, and leaves the old output as it was.
void TestZelkstr::failuresAreNotResults()
{
#ifdef Q_OS_WIN
    QSKIP("limits set by a POSIX shell");
#endif
    QFETCH(QString, limits);
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QStringList texts;
    QStringList sources;
    for (int i = 0; i < 2000; ++i) {
        texts << QStringLiteral("text number %1, long enough to fill a small disk").arg(i);
        sources << QStringLiteral("source %1").arg(i);
    }
    writeBytes(path(QStringLiteral("big.eng")), image(texts, {}));
    writeBytes(path(QStringLiteral("source.eng")), image(sources, {}));
    writeBytes(path(QStringLiteral("many.eng")), sharedStringsImage({QByteArray()}, std::vector<int>(2000000, 0)));
    writeBytes(path(QStringLiteral("out.po")), QByteArray("previous"));
    writeBytes(path(QStringLiteral("out.csv")), QByteArray("previous"));
    writeBytes(path(QStringLiteral("out.tmx")), QByteArray("previous"));
    QStringList resolved;
    for (const QString &argument : arguments)
        resolved << (argument.startsWith(QLatin1Char('@')) ? path(argument.mid(1)) : argument);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), m_dir->path()); // the same "disk" for the scratch files
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("/bin/sh"), QStringList{QStringLiteral("-c"), limits + QStringLiteral(" exec \"$0\" \"$@\""),
                                                         QStringLiteral(ZELKSTR_PATH)} + resolved);
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QVERIFY2(process.readAllStandardError().contains(message.toUtf8()), qPrintable(message));
    QCOMPARE(readBytes(path(QStringLiteral("out.po"))), QByteArray("previous"));
    QCOMPARE(readBytes(path(QStringLiteral("out.csv"))), QByteArray("previous"));
    QCOMPARE(readBytes(path(QStringLiteral("out.tmx"))), QByteArray("previous"));
}

void TestZelkstr::exportsStreamInBoundedMemory_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("unitStart"); // an awk pattern of a unit's first line
    QTest::addColumn<int>("units");
    QTest::addColumn<QString>("options");
    QTest::newRow("CSV") << QStringLiteral("out.csv") << 4000 << QString() << 0 << QString();
    QTest::newRow("PO") << QStringLiteral("out.po") << 1000 << QStringLiteral("^msgctxt") << 1000 << QString();
    // Entries are numbered from 0, and number 0 pairs with nothing.
    QTest::newRow("TMX") << QStringLiteral("out.tmx") << 2000 << QStringLiteral("<tu[ >]") << 1999
                         << QStringLiteral("--source source.eng");
}

// Entries sharing one text of 60,000 bytes export to far more than the 200 MB
// the export may use; the catalogue or memory goes to a pipe, which is written
// as it is, and arrives whole.
void TestZelkstr::exportsStreamInBoundedMemory()
{
#if !defined(Q_OS_UNIX) || defined(__SANITIZE_ADDRESS__)
    QSKIP("a POSIX shell's limits, which the sanitizers' own memory exceeds");
#endif
    QFETCH(QString, catalogue);
    QFETCH(int, entries);
    QFETCH(QString, unitStart);
    QFETCH(int, units);
    QFETCH(QString, options);
    writeBytes(path(QStringLiteral("shared.fre")), sharedStringsImage({QByteArray(60000, 'x')}, std::vector<int>(size_t(entries), 0)));
    writeBytes(path(QStringLiteral("source.eng")), sharedStringsImage({QByteArray(60000, 'y')}, std::vector<int>(size_t(entries), 0)));
    // The reader counts bytes and units: "BYTES UNITS".
    const QString script = QStringLiteral("cd \"$1\" && mkfifo \"$2\" && { LC_ALL=C awk -v unit=\"$3\" '{ n += length($0) + 1 }"
                                          " unit != \"\" && $0 ~ unit { c++ } END { print n, c + 0 }' \"$2\" > counts & } &&"
                                          " (ulimit -v 200000; exec \"$0\" export shared.fre \"$2\" $4) && wait");
    QProcess process;
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), script, QStringLiteral(ZELKSTR_PATH), m_dir->path(), catalogue, unitStart, options});
    QVERIFY(process.waitForFinished(120000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    const QList<QByteArray> counts = readBytes(path(QStringLiteral("counts"))).trimmed().split(' ');
    const qint64 size = counts.value(0).toLongLong();
    if (catalogue.endsWith(QLatin1String(".csv"))) {
        qint64 expected = qint64(sizeof("index,number,text\r\n")) - 1;
        for (int i = 0; i < entries; ++i)
            expected += QByteArray::number(i).size() + 10 + 60000 + 2;
        QCOMPARE(size, expected);
    } else {
        QVERIFY(size > 2 * 60000 * qint64(units));
        QCOMPARE(counts.value(1).toInt(), units);
    }
}

// A NUL cannot be stored at all; a '^' reads back as a line break and a lone
// carriage return is dropped, so those are said, entry by entry.
void TestZelkstr::textsTheLayoutCannotHold()
{
    const QString file = path(QStringLiteral("base.eng"));
    writeBytes(file, image({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {1, 2, 3}));
    const QString csv = path(QStringLiteral("in.csv"));
    const QString out = path(QStringLiteral("out.eng"));
    writeBytes(csv, QByteArray("index,number,text\r\n1,00000002,\"2^10\"\r\n2,00000003,\"x\ry\"\r\n"));
    Run run = zelkstr({QStringLiteral("import"), file, csv, QStringLiteral("-o"), out});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.contains("zelkstr: warning: entry 1: \"^\" will read back as a line break\n"
                              "zelkstr: warning: entry 2: a carriage return without a line feed is not written\n"),
             run.err.constData());
    writeBytes(csv, QByteArray("index,number,text\r\n1,00000002,\"nul\0here\"\r\n", 42));
    writeBytes(out, QByteArray("previous"));
    run = zelkstr({QStringLiteral("import"), file, csv, QStringLiteral("-o"), out});
    QCOMPARE(run.status, 2);
    QCOMPARE(lastLine(run.err), QByteArray("zelkstr: entry 1: a text cannot hold a NUL character"));
    QCOMPARE(readBytes(out), QByteArray("previous"));
    // A lone carriage return read from a file is dropped by the writer too.
    writeBytes(file, QByteArray::fromHex("04000000") + "a\rb" + '\0');
    run = zelkstr({QStringLiteral("convert"), file, out, QStringLiteral("--layout"), QStringLiteral("old")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QByteArray("zelkstr: warning: entry 0: a carriage return without a line feed is not written\n"));
}

void TestZelkstr::catalogueCharsetsAndForms_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QString>("imported"); // entry 0's text afterwards, or the error
    const auto header = [](const char *charset) {
        return QByteArray("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=") + charset + "\\n\"\n\n";
    };
    QTest::newRow("ISO-8859-1") << header("ISO-8859-1") + "msgctxt \"00000001\"\nmsgid \"Coffee\"\nmsgstr \"Caf\xE9\"\n"
                                << QStringLiteral("Café");
    // Converted where this system's Qt has the charset (through ICU on Linux),
    // refused by name where it has not.
    QTest::newRow("Shift_JIS") << header("Shift_JIS") + "msgctxt \"00000001\"\nmsgid \"Japan\"\nmsgstr \"\x93\xFA\x96\x7B\"\n"
                               << (QStringDecoder("Shift_JIS").isValid()
                                       ? QStringLiteral("日本")
                                       : QStringLiteral("error: the catalogue's charset \"Shift_JIS\" cannot be read here"));
    QTest::newRow("a leading U+FEFF") << header("UTF-8") + "msgctxt \"00000001\"\nmsgid \"x\"\nmsgstr \"\xEF\xBB\xBF" "BOM\"\n"
                                      << QStringLiteral("\uFEFFBOM");
    QTest::newRow("an unknown charset") << header("X-NO-SUCH") + "msgctxt \"00000001\"\nmsgid \"x\"\nmsgstr \"y\"\n"
                                        << QStringLiteral("error: the catalogue's charset \"X-NO-SUCH\" cannot be read here");
    QTest::newRow("plural forms") << header("UTF-8") + "msgctxt \"00000001\"\nmsgid \"one\"\nmsgid_plural \"many\"\n"
                                                       "msgstr[0] \"un\"\nmsgstr[1] \"plusieurs\"\n"
                                  << QStringLiteral("error: the message \"one\" has plural forms");
    QTest::newRow("another domain") << header("UTF-8") + "domain \"other\"\n\nmsgctxt \"00000001\"\nmsgid \"x\"\nmsgstr \"y\"\n"
                                    << QStringLiteral("error: the message \"x\" is in the domain \"other\"");
}

// A catalogue is read as it declares itself, or refused with the reason:
// never a text of substitutes, never a form quietly left out.
void TestZelkstr::catalogueCharsetsAndForms()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(QString, imported);
    const QString file = path(QStringLiteral("base.eng"));
    writeBytes(file, image({QStringLiteral("before")}, {1}));
    const QString po = path(QStringLiteral("in.po"));
    writeBytes(po, catalogue);
    const QString out = path(QStringLiteral("out.eng"));
    const Run run = zelkstr({QStringLiteral("import"), file, po, QStringLiteral("-o"), out});
    if (imported.startsWith(QLatin1String("error: "))) {
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(imported.mid(7).toUtf8()), run.err.constData());
        QVERIFY(!QFile::exists(out));
    } else {
        QCOMPARE(run.status, 0);
        QCOMPARE(readBytes(out), image({imported}, {1}));
        // And out again, the same text.
        const QString again = path(QStringLiteral("again.po"));
        QCOMPARE(zelkstr({QStringLiteral("export"), out, again}).status, 0);
        QCOMPARE(zelkstr({QStringLiteral("import"), file, again, QStringLiteral("-o"), out}).status, 0);
        QCOMPARE(readBytes(out), image({imported}, {1}));
    }
}

// A game update: entries reordered, one inserted, one removed, one changed a
// little (gettext marks it fuzzy) and one changed beyond recognition.
void TestZelkstr::poUpdateThroughMsgmerge()
{
    if (!haveGettextTools())
        QSKIP("needs gettext's msgmerge");
    const QString oldSource = path(QStringLiteral("old.eng"));
    const QString oldTranslation = path(QStringLiteral("old.fre"));
    const QString newSource = path(QStringLiteral("new.eng"));
    writeBytes(oldSource, image({QStringLiteral("Hello"), QStringLiteral("Open the door"), QStringLiteral("Bye"),
                                 QStringLiteral("Gone"), QStringLiteral("Red")},
                                {1, 2, 3, 4, 5}));
    writeBytes(oldTranslation, image({QStringLiteral("Au revoir"), QStringLiteral("Bonjour"), QStringLiteral("Ouvrez la porte"),
                                      QStringLiteral("Parti"), QStringLiteral("Rouge")},
                                     {3, 1, 2, 4, 5}));
    writeBytes(newSource, image({QStringLiteral("Bye"), QStringLiteral("Inserted"), QStringLiteral("Hello"),
                                 QStringLiteral("Open the doors"), QStringLiteral("Something else entirely")},
                                {3, 9, 1, 2, 5}));
    const QString oldPo = path(QStringLiteral("old.po"));
    const QString pot = path(QStringLiteral("new.pot"));
    const QString newPo = path(QStringLiteral("new.po"));
    QCOMPARE(zelkstr({QStringLiteral("export"), oldTranslation, oldPo, QStringLiteral("--source"), oldSource}).status, 0);
    QCOMPARE(zelkstr({QStringLiteral("export"), newSource, pot, QStringLiteral("--template")}).status, 0);
    QProcess msgmerge;
    msgmerge.start(QStringLiteral("msgmerge"), {QStringLiteral("--quiet"), oldPo, pot, QStringLiteral("-o"), newPo});
    QVERIFY(msgmerge.waitForFinished(60000));
    QCOMPARE(msgmerge.exitCode(), 0);

    const QString out = path(QStringLiteral("new.fre"));
    Run run = zelkstr({QStringLiteral("import"), newSource, newPo, QStringLiteral("-o"), out, QStringLiteral("--source"), newSource});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.contains("skipped 1 fuzzy message(s)"), run.err.constData());
    QCOMPARE(readBytes(out), image({QStringLiteral("Au revoir"), QStringLiteral("Inserted"), QStringLiteral("Bonjour"),
                                    QStringLiteral("Open the doors"), QStringLiteral("Something else entirely")},
                                   {3, 9, 1, 2, 5}));
    run = zelkstr({QStringLiteral("import"), newSource, newPo, QStringLiteral("-o"), out, QStringLiteral("--fuzzy")});
    QCOMPARE(run.status, 0);
    QCOMPARE(zelkstr({QStringLiteral("dump"), out}).out.split('\n').at(3), QByteArray("3\t00000002\tOuvrez la porte"));
}

void TestZelkstr::importMismatches_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("mismatch");
    const QByteArray po("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                        "msgctxt \"00000002\"\nmsgid \"b\"\nmsgstr \"B\"\n\n");
    QTest::newRow("po: no entry has the number")
        << QStringLiteral("m.po") << po + "msgctxt \"0000000A\"\nmsgid \"x\"\nmsgstr \"X\"\n"
        << QStringLiteral("m.po:8: no entry has the number 0000000A");
    QTest::newRow("po: index with another number")
        << QStringLiteral("m.po") << po + "msgctxt \"2:00000007\"\nmsgid \"c\"\nmsgstr \"C\"\n"
        << QStringLiteral("m.po:8: number 00000007 differs from entry 2's 00000003");
    QTest::newRow("po: index out of range")
        << QStringLiteral("m.po") << po + "msgctxt \"9:00000003\"\nmsgid \"c\"\nmsgstr \"C\"\n"
        << QStringLiteral("m.po:8: entry 9 is out of range: the file has 3 entries");
    QTest::newRow("po: the source text differs")
        << QStringLiteral("m.po") << po + "msgctxt \"00000003\"\nmsgid \"not c\"\nmsgstr \"C\"\n"
        << QStringLiteral("m.po:8: its source text \"not c\" differs from the source's entry 2, \"c\"");
    QTest::newRow("csv: no entry has the number")
        << QStringLiteral("m.csv") << QByteArray("index,number,text\r\n1,00000002,B\r\n2,0000000A,X\r\n")
        << QStringLiteral("m.csv:3: no entry has the number 0000000A");
    QTest::newRow("csv: the source text differs")
        << QStringLiteral("m.csv") << QByteArray("index,number,source,text\r\n1,00000002,b,B\r\n2,00000003,not c,C\r\n")
        << QStringLiteral("m.csv:3: its source text \"not c\" differs from the source's entry 2, \"c\"");
}

// A mismatch writes nothing; --force imports what pairs and skips the rest.
void TestZelkstr::importMismatches()
{
    QFETCH(QString, catalogue);
    QFETCH(QByteArray, content);
    QFETCH(QString, mismatch);
    const QString file = path(QStringLiteral("base.eng"));
    writeBytes(file, image({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {1, 2, 3}));
    const QString catalogueFile = path(catalogue);
    writeBytes(catalogueFile, content);
    const QString out = path(QStringLiteral("out.eng"));
    writeBytes(out, QByteArray("previous"));
    const QStringList arguments{QStringLiteral("import"), file, catalogueFile, QStringLiteral("-o"), out,
                                QStringLiteral("--source"), file};
    Run run = zelkstr(arguments);
    QCOMPARE(run.status, 2);
    mismatch.prepend(m_dir->path() + QLatin1Char('/')); // named by file and line
    QVERIFY2(run.err.contains("1 mismatch(es):\nzelkstr:   " + mismatch.toUtf8() + "\n"), run.err.constData());
    QCOMPARE(lastLine(run.err), QByteArray("zelkstr: nothing was written; --force imports what pairs and skips the rest"));
    QCOMPARE(readBytes(out), QByteArray("previous"));
    run = zelkstr(arguments + QStringList{QStringLiteral("--force")});
    QCOMPARE(run.status, 0);
    QCOMPARE(readBytes(out), image({QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("c")}, {1, 2, 3}));
}

void TestZelkstr::mergeCheckAndDiffByNumber()
{
    const QString oldSource = path(QStringLiteral("old.eng"));
    const QString oldTranslation = path(QStringLiteral("old.fre"));
    const QString newSource = path(QStringLiteral("new.eng"));
    writeBytes(oldSource, image({QStringLiteral("Hello"), QStringLiteral("%d coins"), QStringLiteral("Gone")}, {1, 2, 3}));
    writeBytes(oldTranslation, image({QStringLiteral("%d pièces"), QStringLiteral("Bonjour"), QStringLiteral("Parti")}, {2, 1, 3}));
    writeBytes(newSource, image({QStringLiteral("%d gold coins"), QStringLiteral("New\nline"), QStringLiteral("Hello")}, {2, 7, 1}));
    const QString newTranslation = path(QStringLiteral("new.fre"));
    const QString report = path(QStringLiteral("report.json"));
    Run run = zelkstr({QStringLiteral("merge"), oldSource, oldTranslation, newSource, QStringLiteral("-o"), newTranslation,
                       QStringLiteral("--json"), report});
    QCOMPARE(run.status, 0);
    QVERIFY(run.err.startsWith("zelkstr: pairing " + newSource.toUtf8() + " with " + oldSource.toUtf8() + " by number\n"));
    QCOMPARE(lastLine(run.err), QByteArray("zelkstr: kept 1, changed 1, new 1, removed 1"));
    QCOMPARE(readBytes(newTranslation), image({QStringLiteral("%d pièces"), QStringLiteral("New\nline"), QStringLiteral("Bonjour")}, {2, 7, 1}));
    const QJsonArray entries = QJsonDocument::fromJson(readBytes(report))["entries"].toArray();
    QStringList summary;
    for (const QJsonValue &entry : entries)
        summary << QStringLiteral("%1 %2 %3 %4>%5=%6").arg(entry["status"].toString()).arg(entry["index"].toInt())
                       .arg(entry["number"].toString(), entry["oldSource"].toString(), entry["newSource"].toString(),
                            entry["translation"].toString());
    QCOMPARE(summary, (QStringList{QStringLiteral("changed 0 00000002 %d coins>%d gold coins=%d pièces"),
                                   QStringLiteral("new 1 00000007 >New\nline=New\nline"),
                                   QStringLiteral("removed 2 00000003 Gone>=Parti")}));

    run = zelkstr({QStringLiteral("check"), newSource, newTranslation, QStringLiteral("--no-review")});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray("1 00000007 untranslated: the translation equals the source text\n"));
    run = zelkstr({QStringLiteral("check"), oldSource, oldTranslation, QStringLiteral("--json")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("{\"findings\": []}\n"));

    run = zelkstr({QStringLiteral("diff"), QStringLiteral("--by-number"), oldSource, newSource});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray("00000002\tchanged\t0\t%d coins\t%d gold coins\n00000007\tadded\t1\tNew\\nline\n"
                                 "00000003\tremoved\t2\tGone\n"));
    QCOMPARE(zelkstr({QStringLiteral("diff"), QStringLiteral("--by-number"), oldSource, oldSource}).status, 0);
    // By index, entries that moved look changed: a hint says what shows more.
    run = zelkstr({QStringLiteral("diff"), oldSource, newSource});
    QCOMPARE(lastLine(run.err), QByteArray("zelkstr: the files pair by number: zelkstr diff --by-number shows what changed"));
}

void TestZelkstr::createFromACatalogue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray csv("index,number,text\r\n1,00000002,b\r\n0,00000001,a\r\n");
    QTest::newRow("csv, new layout") << QStringLiteral("c.csv") << csv << QStringList{}
                                     << image({QStringLiteral("a"), QStringLiteral("b")}, {1, 2});
    QTest::newRow("csv, old layout") << QStringLiteral("c.csv") << csv << QStringList{QStringLiteral("--layout"), QStringLiteral("old")}
                                     << image({QStringLiteral("a"), QStringLiteral("b")}, {}, false);
    QTest::newRow("csv with semicolons") << QStringLiteral("c.csv") << QByteArray("index;number;text\r\n0;00000001;\"a;b\"\r\n")
                                         << QStringList{QStringLiteral("--delimiter"), QStringLiteral(";")}
                                         << image({QStringLiteral("a;b")}, {1});
    const QByteArray header("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n");
    QTest::newRow("po by number, in order") << QStringLiteral("c.po")
                                            << header + "msgctxt \"00000007\"\nmsgid \"Yes\"\nmsgstr \"Oui\"\n\n"
                                                        "msgctxt \"00000003\"\nmsgid \"No\"\nmsgstr \"\"\n"
                                            << QStringList{} << image({QStringLiteral("Oui"), QStringLiteral("No")}, {7, 3});
    QTest::newRow("po by index, old layout") << QStringLiteral("c.po")
                                             << header + "msgctxt \"1:00000002\"\nmsgid \"b\"\nmsgstr \"B\"\n\n"
                                                         "msgctxt \"0:00000001\"\nmsgid \"a\"\nmsgstr \"A\"\n"
                                             << QStringList{QStringLiteral("--layout"), QStringLiteral("old")}
                                             << image({QStringLiteral("A"), QStringLiteral("B")}, {}, false);
}

// A strings file from a catalogue alone, then imported into with --delimiter.
void TestZelkstr::createFromACatalogue()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, catalogue);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, expected);
    writeBytes(path(name), catalogue);
    const QString out = path(QStringLiteral("new.fre"));
    const Run run = zelkstr(QStringList{QStringLiteral("create"), out, path(name)} + options);
    QCOMPARE(run.status, 0);
    QCOMPARE(readBytes(out), expected);
    QVERIFY(lastLine(run.err).startsWith("zelkstr: created " + out.toUtf8()));
    if (!options.contains(QStringLiteral("--delimiter")))
        return;
    const Run import = zelkstr(QStringList{QStringLiteral("import"), out, path(name), QStringLiteral("-o"), out} + options);
    QCOMPARE(import.status, 0);
    QCOMPARE(lastLine(import.err), QByteArray("zelkstr: imported 1 texts (skipped 0)"));
}

void TestZelkstr::spelling_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("check --spell") << QStringList{QStringLiteral("check"), QStringLiteral("@lang.eng"), QStringLiteral("@lang.fre"),
                                                  QStringLiteral("--spell"), QStringLiteral("--only"), QStringLiteral("spelling")}
                                   << QByteArray("1 00000002 spelling: \"Tres\" (suggestions: Tr\xC3\xA8s, Ires, Ares)\n"
                                                 "1 00000002 spelling: \"tres\" (suggestions: tr\xC3\xA8s, tees, tes)\n");
    QTest::newRow("spell, another language") << QStringList{QStringLiteral("spell"), QStringLiteral("@lang.fre"),
                                                            QStringLiteral("--spell-language"), QStringLiteral("en_US")}
                                             << QByteArray("0 00000001 spelling: \"Zorgon\" (suggestions: Gorgon, Gonzo)\n");
    QTest::newRow("spell, words accepted") << QStringList{QStringLiteral("spell"), QStringLiteral("@lang.fre"), QStringLiteral("--words"),
                                                          QStringLiteral("@words.txt")}
                                           << QByteArray("0 00000001 spelling: \"Zorgon\" (suggestions: Gonzo)\n");
}

// check --spell and spell say each misspelt word once per entry with
// Hunspell's first suggestions; the source's words, and accepted ones, are
// no misspellings.
void TestZelkstr::spelling()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, out);
#ifdef Q_OS_WIN
    QSKIP("the Windows build finds dictionaries beside it; test-windows.sh spells with the zip's");
#endif
    if (!QFile::exists(QStringLiteral("/usr/share/hunspell/fr_FR.dic")) || !QFile::exists(QStringLiteral("/usr/share/hunspell/en_US.dic")))
        QSKIP("needs hunspell-fr and hunspell-en-us");
    writeBytes(path(QStringLiteral("lang.eng")), image({QStringLiteral("The knight Zorgon"), QStringLiteral("Very strong")}, {1, 2}));
    writeBytes(path(QStringLiteral("lang.fre")),
               image({QStringLiteral("Le chevalier Zorgon est fort"), QStringLiteral("Tres fort, tres tres fort")}, {1, 2}));
    writeBytes(path(QStringLiteral("words.txt")), QByteArray("tres\nTres\n"));
    QStringList resolved;
    for (const QString &argument : arguments)
        resolved << (argument.startsWith(QLatin1Char('@')) ? path(argument.mid(1)) : argument);
    Run run = zelkstr(resolved);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, out);
    run = zelkstr(resolved + QStringList{QStringLiteral("--json")});
    const QJsonArray findings = QJsonDocument::fromJson(run.out)[QStringLiteral("findings")].toArray();
    QCOMPARE(findings.size(), int(out.count('\n')));
    QCOMPARE(findings.last()[QStringLiteral("kind")].toString(), QStringLiteral("spelling"));
}

// Many misspelt words are shared out among helper processes: each still
// gets the suggestions it gets alone, on its own entry's line.
void TestZelkstr::spellingSuggestionsSharedOut()
{
#ifdef Q_OS_WIN
    QSKIP("the Windows build finds dictionaries beside it; test-windows.sh spells with the zip's");
#endif
    if (!QFile::exists(QStringLiteral("/usr/share/hunspell/en_US.dic")))
        QSKIP("needs hunspell-en-us");
    const QStringList typos{QStringLiteral("knigt"), QStringLiteral("castel"), QStringLiteral("dragn"), QStringLiteral("swrod"),
                            QStringLiteral("shiled"), QStringLiteral("potoin"), QStringLiteral("armour"), QStringLiteral("goldd"),
                            QStringLiteral("quset"), QStringLiteral("villlage"), QStringLiteral("forrest")};
    QList<quint32> numbers;
    for (int i = 0; i < typos.size(); ++i)
        numbers << quint32(i + 1);
    writeBytes(path(QStringLiteral("all.eng")), image(typos, numbers));
    const Run all = zelkstr({QStringLiteral("spell"), path(QStringLiteral("all.eng"))});
    QByteArray alone;
    for (int i = 0; i < typos.size(); ++i) {
        writeBytes(path(QStringLiteral("one.eng")), image({typos[i]}, {numbers[i]}));
        alone += zelkstr({QStringLiteral("spell"), path(QStringLiteral("one.eng"))}).out.replace("0 0000", QByteArray::number(i) + " 0000");
    }
    QCOMPARE(all.status, 1);
    QCOMPARE(all.out, alone);
}

void TestZelkstr::replace_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QStringList>("texts");
    const QStringList texts{QStringLiteral("La la\tland"), QStringLiteral("Salade"), QStringLiteral("la plage")};
    QTest::newRow("case ignored") << QStringList{QStringLiteral("la"), QStringLiteral("LE")}
                                  << QByteArray("0 00000001: La la\\tland -> LE LE\\tLEnd\n1 00000002: Salade -> SaLEde\n"
                                                "2 00000003: la plage -> LE pLEge\n")
                                  << QStringList{QStringLiteral("LE LE\tLEnd"), QStringLiteral("SaLEde"), QStringLiteral("LE pLEge")};
    QTest::newRow("whole words, match case")
        << QStringList{QStringLiteral("la"), QStringLiteral("le"), QStringLiteral("--whole-words"), QStringLiteral("--match-case")}
        << QByteArray("0 00000001: La la\\tland -> La le\\tland\n2 00000003: la plage -> le plage\n")
        << QStringList{QStringLiteral("La le\tland"), QStringLiteral("Salade"), QStringLiteral("le plage")};
    QTest::newRow("regex with references") << QStringList{QStringLiteral("(\\w+) (\\w+)$"), QStringLiteral("\\2 \\1"), QStringLiteral("--regex")}
                                           << QByteArray("2 00000003: la plage -> plage la\n")
                                           << QStringList{QStringLiteral("La la\tland"), QStringLiteral("Salade"), QStringLiteral("plage la")};
    QTest::newRow("dry run") << QStringList{QStringLiteral("plage"), QStringLiteral("mer"), QStringLiteral("--dry-run")}
                             << QByteArray("2 00000003: la plage -> la mer\n") << QStringList{};
}

void TestZelkstr::replace()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, out);
    QFETCH(QStringList, texts);
    const QString source = path(QStringLiteral("lang.fre"));
    const QString output = path(QStringLiteral("out.fre"));
    writeBytes(source, image({QStringLiteral("La la\tland"), QStringLiteral("Salade"), QStringLiteral("la plage")}, {1, 2, 3}));
    QStringList arguments{QStringLiteral("replace"), source};
    arguments << options.mid(0, 2);
    if (!options.contains(QStringLiteral("--dry-run")))
        arguments << QStringLiteral("-o") << output;
    arguments << options.mid(2);
    const Run run = zelkstr(arguments);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, out);
    const int changed = int(out.count('\n'));
    QVERIFY2(lastLine(run.err).startsWith(QStringLiteral("zelkstr: replaced in %1 texts (").arg(changed).toUtf8()), run.err.constData());
    if (texts.isEmpty())
        QVERIFY(!QFile::exists(output));
    else
        QCOMPARE(readBytes(output), image(texts, {1, 2, 3}));
}

void TestZelkstr::checkChoosesKinds_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("kinds");
    QTest::newRow("all") << QStringList{} << QByteArray("numbers punctuation urls brackets repeated-words untranslated");
    QTest::newRow("only") << QStringList{QStringLiteral("--only"), QStringLiteral("numbers,urls")} << QByteArray("numbers urls");
    QTest::newRow("skip") << QStringList{QStringLiteral("--skip"), QStringLiteral("untranslated"), QStringLiteral("--skip"),
                                         QStringLiteral("punctuation,brackets")}
                          << QByteArray("numbers urls repeated-words");
}

// The new kinds reach zelkstr check, one line each, and --only and --skip
// choose among them.
void TestZelkstr::checkChoosesKinds()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, kinds);
    writeBytes(path(QStringLiteral("faults.eng")),
               image({QStringLiteral("Costs 5 gold."), QStringLiteral("See https://a.example/x"), QStringLiteral("[E] Open"),
                      QStringLiteral("Open the door"), QStringLiteral("Options"), QStringLiteral("Version 1.2.3")},
                     {1, 2, 3, 4, 5, 6}));
    writeBytes(path(QStringLiteral("faults.fre")),
               image({QStringLiteral("Coûte 6 pièces d'or"), QStringLiteral("Voir https://b.example/x"), QStringLiteral("[E Ouvrir"),
                      QStringLiteral("Ouvrez la la porte"), QStringLiteral("Options"), QStringLiteral("Version 1.2.3")},
                     {1, 2, 3, 4, 5, 6}));
    const Run run = zelkstr(QStringList{QStringLiteral("check"), path(QStringLiteral("faults.eng")), path(QStringLiteral("faults.fre"))}
                            + options);
    QCOMPARE(run.status, 1);
    QByteArrayList found;
    for (const QByteArray &line : run.out.trimmed().split('\n'))
        found << line.split(' ').at(2).chopped(1);
    QCOMPARE(found.join(' '), kinds);
    QVERIFY(run.out.contains("0 00000001 numbers: 6, the source has 5\n"));
}

namespace {

const QStringList ArmourySources{QStringLiteral("Short Sword"), QStringLiteral("Short Sword"), QStringLiteral("Weight: %d Value: %d gold"),
                                 QStringLiteral("Weight: %d Value: %d gold pieces"), QStringLiteral("Iron Shield"),
                                 QStringLiteral("Open the door")};
const QStringList ArmouryTranslations{QStringLiteral("Épée courte"), QStringLiteral("Lame courte"), QStringLiteral("Poids : %d Valeur : %d or"),
                                      QString(), QStringLiteral("Bouclier"), QString()};
const QList<quint32> ArmouryNumbers{1, 2, 3, 4, 5, 6};

} // namespace

// One source translated two ways, and a glossary term whose translation is
// missing.
void TestZelkstr::consistencyAndGlossary()
{
    writeBytes(path(QStringLiteral("src.eng")), image(ArmourySources, ArmouryNumbers));
    writeBytes(path(QStringLiteral("tr.fre")), image(ArmouryTranslations, ArmouryNumbers));
    writeBytes(path(QStringLiteral("g.csv")), QByteArray("term,translation,note\nshield,Écu|Bouclier\nIron,Fer\n"));
    const Run run = zelkstr({QStringLiteral("check"), path(QStringLiteral("src.eng")), path(QStringLiteral("tr.fre")), QStringLiteral("--glossary"),
                             path(QStringLiteral("g.csv")), QStringLiteral("--skip"), QStringLiteral("empty")});
    QCOMPARE(run.status, 1);
    QCOMPARE(QString::fromUtf8(run.out), QStringLiteral("0 00000001 inconsistent: same source as 1 (\"Lame courte\" there)\n"
                                                        "1 00000002 inconsistent: same source as 0 (\"Épée courte\" there)\n"
                                                        "4 00000005 glossary: \"Iron\" is not translated as \"Fer\"\n"));
}

void TestZelkstr::pretranslate_data()
{
    QTest::addColumn<bool>("fromTmx");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("summary");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QByteArray>("review");
    QStringList fromTmx(6);
    fromTmx[0] = fromTmx[1] = QStringLiteral("Épée courte");
    fromTmx[2] = ArmouryTranslations[2];
    fromTmx[4] = ArmouryTranslations[4];
    QTest::newRow("exact, from a TMX") << true << QStringList{} << QByteArray("filled 4 (exact 4, fuzzy 0), left 2") << fromTmx << QByteArray();
    QStringList fuzzy = fromTmx;
    fuzzy[3] = ArmouryTranslations[2];
    const QByteArray fuzzyEntry = "{\"number\": \"00000004\", \"index\": 3, \"state\": \"fuzzy\", \"score\": 83, "
                                  "\"old_source\": \"Weight: %d Value: %d gold\", \"new_source\": \"Weight: %d Value: %d gold pieces\"}";
    QTest::newRow("fuzzy, from a TMX") << true << QStringList{QStringLiteral("--fuzzy"), QStringLiteral("80")}
                                       << QByteArray("filled 5 (exact 4, fuzzy 1), left 1") << fuzzy << fuzzyEntry;
    QStringList itself = ArmouryTranslations;
    itself[3] = ArmouryTranslations[2];
    QTest::newRow("fuzzy, from the pair itself") << false << QStringList{QStringLiteral("--fuzzy"), QStringLiteral("80")}
                                                 << QByteArray("filled 1 (exact 0, fuzzy 1), left 1") << itself << fuzzyEntry;
    QTest::newRow("too fuzzy") << false << QStringList{QStringLiteral("--fuzzy"), QStringLiteral("90")}
                               << QByteArray("filled 0 (exact 0, fuzzy 0), left 2") << ArmouryTranslations << QByteArray();
}

// A translation exported as TMX fills an empty one; --fuzzy fills near
// matches too and lists them to review; the pair is a memory of itself.
void TestZelkstr::pretranslate()
{
    QFETCH(bool, fromTmx);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, summary);
    QFETCH(QStringList, texts);
    QFETCH(QByteArray, review);
    const QString source = path(QStringLiteral("src.eng"));
    const QString translation = path(QStringLiteral("tr.fre"));
    const QString output = path(QStringLiteral("out.fre"));
    writeBytes(source, image(ArmourySources, ArmouryNumbers));
    writeBytes(translation, image(ArmouryTranslations, ArmouryNumbers));
    QStringList arguments{QStringLiteral("pretranslate"), source, translation};
    if (fromTmx) {
        const QString memory = path(QStringLiteral("memory.tmx"));
        const Run exported = zelkstr({QStringLiteral("export"), translation, memory, QStringLiteral("--source"), source});
        QCOMPARE(lastLine(exported.err), QByteArray("zelkstr: wrote 4 units"));
        QVERIFY(readBytes(memory).contains("<tuv xml:lang=\"fr-FR\">"));
        writeBytes(translation, image(QStringList(6), ArmouryNumbers));
        arguments << memory;
    }
    const Run run = zelkstr(arguments + QStringList{QStringLiteral("-o"), output} + options);
    QCOMPARE(run.status, 0);
    QCOMPARE(lastLine(run.err), "zelkstr: " + summary);
    QCOMPARE(readBytes(output), image(texts, ArmouryNumbers));
    const QByteArray written = QFile::exists(output + QStringLiteral(".review.json")) ? readBytes(output + QStringLiteral(".review.json")) : QByteArray();
    QVERIFY2(written.contains(review), written.constData());
    QCOMPARE(written.isEmpty(), review.isEmpty());
}

void TestZelkstr::reviewFileFromMergeToCheck_data()
{
    QTest::addColumn<bool>("newFormat");
    QTest::addColumn<QString>("pairing");
    QTest::newRow("by number") << true << QStringLiteral("number");
    QTest::newRow("by index") << false << QStringLiteral("index");
}

// merge lists what changed and what is new beside its output; check reports
// those entries until they are done, and skips findings accepted as they are.
void TestZelkstr::reviewFileFromMergeToCheck()
{
    QFETCH(bool, newFormat);
    QFETCH(QString, pairing);
    const QString oldSource = path(QStringLiteral("old.eng"));
    const QString oldTranslation = path(QStringLiteral("old.fre"));
    const QString newSource = path(QStringLiteral("new.eng"));
    const QString newTranslation = path(QStringLiteral("new.fre"));
    writeBytes(oldSource, image({QStringLiteral("Start Game"), QStringLiteral("OK"), QStringLiteral("Quit")}, {1, 2, 3}, newFormat));
    writeBytes(oldTranslation, image({QStringLiteral("Jouer"), QStringLiteral("OK"), QStringLiteral("Quitter")}, {1, 2, 3}, newFormat));
    writeBytes(newSource, image({QStringLiteral("Start New Game"), QStringLiteral("OK"), QStringLiteral("Quit"), QStringLiteral("Lute")},
                                {1, 2, 3, 4}, newFormat));
    Run run = zelkstr({QStringLiteral("merge"), oldSource, oldTranslation, newSource, QStringLiteral("-o"), newTranslation});
    QCOMPARE(run.status, 0);
    const QString review = newTranslation + QStringLiteral(".review.json");
    QVERIFY(run.err.contains(QStringLiteral("zelkstr: what to review: %1\n").arg(review).toUtf8()));
    QJsonObject file = QJsonDocument::fromJson(readBytes(review)).object();
    QCOMPARE(file[QStringLiteral("format")].toString(), QStringLiteral("zelkstr-review"));
    QCOMPARE(file[QStringLiteral("pairing")].toString(), pairing);
    QJsonArray entries = file[QStringLiteral("entries")].toArray();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0][QStringLiteral("state")].toString(), QStringLiteral("changed"));
    QCOMPARE(entries[0][QStringLiteral("old_source")].toString(), QStringLiteral("Start Game"));
    QCOMPARE(entries[1][QStringLiteral("index")].toInt(), 3);
    QCOMPARE(entries[1][QStringLiteral("new_source")].toString(), QStringLiteral("Lute"));

    const QByteArray toReview = QByteArray("0 ") + (newFormat ? "00000001" : "00000000")
                              + " to-review: the source changed from \"Start Game\" to \"Start New Game\"\n";
    run = zelkstr({QStringLiteral("check"), newSource, newTranslation});
    QCOMPARE(run.status, 1);
    const QByteArray number = newFormat ? "00000002" : "00000000";
    QCOMPARE(run.out, toReview + "1 " + number + " untranslated: the translation equals the source text\n"
                      "3 " + (newFormat ? "00000004" : "00000000") + " to-review: new in this version\n"
                      "3 " + (newFormat ? "00000004" : "00000000") + " untranslated: the translation equals the source text\n");

    // "OK" accepted as it is, and "Lute" done: its untranslated stays.
    entries.removeAt(1);
    QJsonObject accepted{{QStringLiteral("number"), QString::fromLatin1(number)}, {QStringLiteral("index"), 1},
                         {QStringLiteral("state"), QStringLiteral("accepted")},
                         {QStringLiteral("kinds"), QJsonArray{QStringLiteral("untranslated")}},
                         {QStringLiteral("source"), QStringLiteral("OK")}, {QStringLiteral("text"), QStringLiteral("OK")}};
    entries.append(accepted);
    file[QStringLiteral("entries")] = entries;
    const QString elsewhere = path(QStringLiteral("elsewhere.json"));
    writeBytes(elsewhere, QJsonDocument(file).toJson());
    run = zelkstr({QStringLiteral("check"), newSource, newTranslation, QStringLiteral("--review"), elsewhere, QStringLiteral("--json")});
    const QJsonArray findings = QJsonDocument::fromJson(run.out)[QStringLiteral("findings")].toArray();
    QStringList kinds;
    for (const QJsonValue &finding : findings)
        kinds << QStringLiteral("%1 %2").arg(finding[QStringLiteral("index")].toInt()).arg(finding[QStringLiteral("kind")].toString());
    QCOMPARE(kinds, (QStringList{QStringLiteral("0 to-review"), QStringLiteral("3 untranslated")}));
    run = zelkstr({QStringLiteral("check"), newSource, newTranslation, QStringLiteral("--no-review")});
    QVERIFY(!run.out.contains("to-review"));

    // Files given in the wrong order merge, with a warning.
    run = zelkstr({QStringLiteral("merge"), oldSource, oldSource, newSource, QStringLiteral("-o"), newTranslation, QStringLiteral("--no-review")});
    QCOMPARE(run.status, 0);
    QVERIFY(run.err.contains("warning: " + oldSource.toUtf8() + " looks like " + oldSource.toUtf8() + ": 3 of its 3 paired texts"));
    if (newFormat) {
        writeBytes(newSource, image({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {1, 8, 9}));
        run = zelkstr({QStringLiteral("merge"), oldSource, oldTranslation, newSource, QStringLiteral("-o"), newTranslation,
                       QStringLiteral("--no-review")});
        QVERIFY(run.err.contains("warning: only 1 of the 3 entries of " + newSource.toUtf8() + " pair with " + oldSource.toUtf8()
                                 + " by number"));
    }
}

void TestZelkstr::badInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString good = QStringLiteral("@good.eng");
    const QString out = QStringLiteral("@out.eng");
    QTest::newRow("no command") << QStringList{} << QStringLiteral("zelkstr: no command given; see zelkstr --help");
    QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")}
                                     << QStringLiteral("zelkstr: unknown command \"frobnicate\"; see zelkstr --help");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("info"), good, QStringLiteral("--bogus")}
                                    << QStringLiteral("zelkstr: Unknown option 'bogus'.");
    QTest::newRow("missing argument") << QStringList{QStringLiteral("diff"), good}
                                      << QStringLiteral("zelkstr: usage: zelkstr diff A B");
    QTest::newRow("missing file") << QStringList{QStringLiteral("info"), QStringLiteral("@missing.eng")}
                                  << QStringLiteral("zelkstr: Cannot open file \"@missing.eng\". No such file or directory");
    QTest::newRow("damaged file") << QStringList{QStringLiteral("dump"), QStringLiteral("@damaged.eng")}
                                  << QStringLiteral("zelkstr: @damaged.eng: Stream read error");
    QTest::newRow("convert without layout") << QStringList{QStringLiteral("convert"), good, out}
                                            << QStringLiteral("zelkstr: convert needs --layout old or --layout new");
    QTest::newRow("bad layout") << QStringList{QStringLiteral("convert"), good, out, QStringLiteral("--layout"), QStringLiteral("newer")}
                                << QStringLiteral("zelkstr: --layout takes old or new, not \"newer\"");
    QTest::newRow("export to another kind") << QStringList{QStringLiteral("export"), good, QStringLiteral("@out.txt")}
                                            << QStringLiteral("zelkstr: @out.txt: a catalogue's name must end in .csv, .po or .pot");
    QTest::newRow("import without -o") << QStringList{QStringLiteral("import"), good, QStringLiteral("@ok.csv")}
                                       << QStringLiteral("zelkstr: import needs -o OUT, the file to write");
    QTest::newRow("csv: unterminated quote") << QStringList{QStringLiteral("import"), good, QStringLiteral("@quote.csv"), QStringLiteral("-o"), out}
                                             << QStringLiteral("zelkstr: @quote.csv:2: a quoted field does not end");
    QTest::newRow("csv: wrong field count") << QStringList{QStringLiteral("import"), good, QStringLiteral("@fields.csv"), QStringLiteral("-o"), out}
                                            << QStringLiteral("zelkstr: @fields.csv:3: expected 3 fields (index, number, [source,] text), found 2");
    QTest::newRow("csv: not hexadecimal") << QStringList{QStringLiteral("import"), good, QStringLiteral("@hex.csv"), QStringLiteral("-o"), out}
                                          << QStringLiteral("zelkstr: @hex.csv:2: \"12G4\" is not a number of 1 to 8 hexadecimal digits");
    QTest::newRow("csv: index twice") << QStringList{QStringLiteral("import"), good, QStringLiteral("@twice.csv"), QStringLiteral("-o"), out}
                                      << QStringLiteral("zelkstr: @twice.csv: entry 1 appears more than once");
    QTest::newRow("csv: not UTF-8") << QStringList{QStringLiteral("import"), good, QStringLiteral("@latin1.csv"), QStringLiteral("-o"), out}
                                    << QStringLiteral("zelkstr: @latin1.csv: not UTF-8 text");
    QTest::newRow("po: does not parse") << QStringList{QStringLiteral("import"), good, QStringLiteral("@broken.po"), QStringLiteral("-o"), out}
                                        << QStringLiteral("zelkstr: @broken.po:1:");
    QTest::newRow("po: no entry index") << QStringList{QStringLiteral("import"), good, QStringLiteral("@nocontext.po"), QStringLiteral("-o"), out}
                                        << QStringLiteral("zelkstr: @nocontext.po: the message \"x\" has no entry number or index in its context");
    QTest::newRow("po: missing") << QStringList{QStringLiteral("import"), good, QStringLiteral("@missing.po"), QStringLiteral("-o"), out}
                                 << QStringLiteral("zelkstr: @missing.po: No such file or directory");
    QTest::newRow("check: damaged review") << QStringList{QStringLiteral("check"), good, QStringLiteral("@bad.eng")}
                                           << QStringLiteral("zelkstr: bad.eng.review.json: not a review file (its format is not "
                                                             "\"zelkstr-review\") (--no-review checks without it)");
    QTest::newRow("merge: another program's review file")
        << QStringList{QStringLiteral("merge"), good, good, good, QStringLiteral("-o"), QStringLiteral("@bad.eng")}
        << QStringLiteral("zelkstr: @bad.eng.review.json is not a review file this program reads; it was left as it is");
    QTest::newRow("replace: bad regex") << QStringList{QStringLiteral("replace"), good, QStringLiteral("(a"), QStringLiteral("b"),
                                                       QStringLiteral("--regex"), QStringLiteral("-o"), out}
                                        << QStringLiteral("zelkstr: the regular expression \"(a\" does not compile: missing closing "
                                                          "parenthesis at position 2");
    QTest::newRow("replace without -o") << QStringList{QStringLiteral("replace"), good, QStringLiteral("a"), QStringLiteral("b")}
                                        << QStringLiteral("zelkstr: replace needs -o OUT, the file to write, or --dry-run");
    QTest::newRow("create: an entry twice") << QStringList{QStringLiteral("create"), out, QStringLiteral("@twice.csv")}
                                            << QStringLiteral("zelkstr: @twice.csv:3: entry 1 appears more than once");
    QTest::newRow("create: a gap") << QStringList{QStringLiteral("create"), out, QStringLiteral("@gap.csv")}
                                   << QStringLiteral("zelkstr: @gap.csv:2: entry 4 is out of range: the catalogue has 1 entries, 0 to 0");
    QTest::newRow("csv: semicolons") << QStringList{QStringLiteral("create"), out, QStringLiteral("@semi.csv")}
                                     << QStringLiteral("zelkstr: @semi.csv: this looks like a semicolon-separated file: give "
                                                       "--delimiter ';' or save it with commas");
    QTest::newRow("spell: no dictionary") << QStringList{QStringLiteral("spell"), QStringLiteral("@good.fin")}
                                          << QStringLiteral("zelkstr: no dictionary for Finnish (fi_FI); looked in ");
    QTest::newRow("check: unknown kind") << QStringList{QStringLiteral("check"), good, good, QStringLiteral("--only"), QStringLiteral("numbers,typos")}
                                         << QStringLiteral("zelkstr: --only: no kind is called \"typos\"; the kinds are line-breaks, ");
    QTest::newRow("check: --review and --no-review")
        << QStringList{QStringLiteral("check"), good, good, QStringLiteral("--review"), QStringLiteral("@x"), QStringLiteral("--no-review")}
        << QStringLiteral("zelkstr: --review and --no-review exclude each other");
#ifdef Q_OS_UNIX
    QTest::newRow("csv: a pipe") << QStringList{QStringLiteral("import"), good, QStringLiteral("@pipe.csv"), QStringLiteral("-o"), out}
                                 << QStringLiteral("zelkstr: @pipe.csv: Not a regular file");
#endif
}

// Each bad input gives one line on stderr, exit status 2, and no output
// file: an existing one keeps its bytes.
void TestZelkstr::badInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    writeBytes(path(QStringLiteral("good.eng")), image({QStringLiteral("a"), QStringLiteral("b")}, {1, 2}));
    writeBytes(path(QStringLiteral("damaged.eng")), QByteArray::fromHex("FEFEFEFE0A000000"));
    writeBytes(path(QStringLiteral("out.eng")), QByteArray("previous"));
    writeBytes(path(QStringLiteral("ok.csv")), QByteArray("index,number,text\r\n"));
    writeBytes(path(QStringLiteral("quote.csv")), QByteArray("index,number,text\r\n0,00000001,\"open\r\n"));
    writeBytes(path(QStringLiteral("fields.csv")), QByteArray("index,number,text\r\n0,1,a\r\n1,2\r\n"));
    writeBytes(path(QStringLiteral("hex.csv")), QByteArray("index,number,text\r\n0,12G4,a\r\n"));
    writeBytes(path(QStringLiteral("twice.csv")), QByteArray("index,number,text\r\n1,2,a\r\n1,2,b\r\n"));
    writeBytes(path(QStringLiteral("latin1.csv")), QByteArray("index,number,text\r\n0,1,caf\xE9\r\n"));
    writeBytes(path(QStringLiteral("broken.po")), QByteArray("this is not\na catalogue\n"));
    writeBytes(path(QStringLiteral("nocontext.po")), QByteArray("msgid \"x\"\nmsgstr \"y\"\n"));
    writeBytes(path(QStringLiteral("bad.eng")), image({QStringLiteral("a"), QStringLiteral("b")}, {1, 2}));
    writeBytes(path(QStringLiteral("good.fin")), image({QStringLiteral("a")}, {1}));
    writeBytes(path(QStringLiteral("gap.csv")), QByteArray("index,number,text\r\n4,1,a\r\n"));
    writeBytes(path(QStringLiteral("semi.csv")), QByteArray("index;number;text\r\n0;1;a\r\n"));
    writeBytes(path(QStringLiteral("bad.eng.review.json")), QByteArray("{\"format\": \"notes\"}"));
#ifdef Q_OS_UNIX
    mkfifo(QFile::encodeName(path(QStringLiteral("pipe.csv"))).constData(), 0600);
#endif

    QStringList resolved;
    for (const QString &argument : arguments)
        resolved << (argument.startsWith(QLatin1Char('@')) ? path(argument.mid(1)) : argument);
    QString expected = message;
    expected.replace(QRegularExpression(QStringLiteral("@([\\w.]+)")), m_dir->path() + QStringLiteral("/\\1"));
    const QStringList before = QDir(m_dir->path()).entryList(QDir::Files);

    const Run run = zelkstr(resolved);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err.count('\n'), 1);
    QString error = QString::fromUtf8(run.err);
#ifdef Q_OS_WIN
    // Windows names the system's reasons in words of its own, and paths with
    // backslashes.
    expected.remove(QStringLiteral("No such file or directory"));
    error.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    QVERIFY2(error.startsWith(expected), run.err.constData());
    QCOMPARE(readBytes(path(QStringLiteral("out.eng"))), QByteArray("previous"));
    QCOMPARE(readBytes(path(QStringLiteral("bad.eng.review.json"))), QByteArray("{\"format\": \"notes\"}"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), before);
}

QTEST_GUILESS_MAIN(TestZelkstr)
#include "tst_zelkstr.moc"
