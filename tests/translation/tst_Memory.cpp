#include "Consistency.h"
#include "Glossary.h"
#include "Tmx.h"
#include "TranslationError.h"
#include "TranslationMemory.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using Pairs = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Pairs)

// The translation memory's scoring, TMX files in and out, glossaries and the
// consistency of one source's translations.
class TestMemory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scoring_data();
    void scoring();
    void learnsAndForgetsEntries();
    void tmxRoundTrip();
    void tmxAsToolsWriteIt();
    void hostileTmx_data();
    void hostileTmx();
    void glossary_data();
    void glossary();
    void consistency();
};

void TestMemory::scoring_data()
{
    QTest::addColumn<Pairs>("memory");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("expected"); // "score translation", best first
    const Pairs weights{{QStringLiteral("Weight: %d Value: %d gold"), QStringLiteral("Poids : %d Valeur : %d or")},
                        {QStringLiteral("Open the heavy door"), QStringLiteral("Ouvrir la porte")}};
    QTest::newRow("exact") << weights << QStringLiteral("Open the heavy door") << QStringList{QStringLiteral("100 Ouvrir la porte")};
    QTest::newRow("the same words, another case and marks") << weights << QStringLiteral("open the HEAVY door!")
                                                            << QStringList{QStringLiteral("99 Ouvrir la porte")};
    QTest::newRow("near: one word of five") << weights << QStringLiteral("Weight: %d Value: %d silver")
                                            << QStringList{QStringLiteral("80 Poids : %d Valeur : %d or")};
    QTest::newRow("a placeholder more is a word more")
        << Pairs{{QStringLiteral("%s hits %s for %d damage"), QStringLiteral("%s frappe %s : %d dégâts")}}
        << QStringLiteral("%s hits %s for %d %d damage") << QStringList{QStringLiteral("85 %s frappe %s : %d dégâts")};
    QTest::newRow("placeholders are not their neighbours")
        << Pairs{{QStringLiteral("{0}gold"), QStringLiteral("{0} or")}} << QStringLiteral("gold") << QStringList{};
    QTest::newRow("below 70") << weights << QStringLiteral("Open the old door now") << QStringList{};
    QTest::newRow("best first, one translation once")
        << Pairs{{QStringLiteral("Close the big door"), QStringLiteral("Fermer la grande porte")},
                 {QStringLiteral("Close the door"), QStringLiteral("Fermer la porte")},
                 {QStringLiteral("close the door"), QStringLiteral("Fermer la porte")}}
        << QStringLiteral("Close the door") << QStringList{QStringLiteral("100 Fermer la porte"), QStringLiteral("75 Fermer la grande porte")};
}

void TestMemory::scoring()
{
    QFETCH(Pairs, memory);
    QFETCH(QString, source);
    QFETCH(QStringList, expected);
    TranslationMemory tm;
    for (const auto &pair : memory)
        tm.add(pair.first, pair.second);
    QStringList found;
    for (const TranslationMemory::Match &match : tm.lookup(source))
        found << QStringLiteral("%1 %2").arg(match.score).arg(match.translation);
    QCOMPARE(found, expected);
}

// An entry's pair follows its edits, is left out of its own lookups, and
// the differing words of a match are those of the stored source.
void TestMemory::learnsAndForgetsEntries()
{
    TranslationMemory tm;
    tm.add(QStringLiteral("Open the heavy door"), QStringLiteral("Ouvrir la porte"), 0);
    tm.add(QStringLiteral("Open the heavy gate"), QStringLiteral("Ouvrir le portail"), 1);
    const auto before = tm.lookup(QStringLiteral("Open the heavy gate"), 1);
    QCOMPARE(before.size(), size_t(1));
    QCOMPARE(before[0].translation, QStringLiteral("Ouvrir la porte"));
    tm.replaceEntry(0, QStringLiteral("Open the heavy door"), QStringLiteral("Ouvre la porte"));
    const auto matches = tm.lookup(QStringLiteral("Open the heavy gate"), 1);
    QCOMPARE(matches.size(), size_t(1));
    QCOMPARE(matches[0].translation, QStringLiteral("Ouvre la porte"));
    QCOMPARE(matches[0].entry, 0u);
    QCOMPARE(matches[0].differing.size(), size_t(1));
    QCOMPARE(matches[0].source.mid(matches[0].differing[0].start, matches[0].differing[0].length), QStringLiteral("door"));
    QCOMPARE(tm.entriesWithSource(QStringLiteral("Open the heavy door")).size(), size_t(1));
    tm.replaceEntry(0, QStringLiteral("Open the heavy door"), QString());
    QCOMPARE(tm.size(), 1u);
    QVERIFY(tm.lookup(QStringLiteral("Open the heavy gate"), 1).empty());
    QVERIFY(tm.entriesWithSource(QStringLiteral("Open the heavy door")).empty());
}

// What is written reads back as it was, line breaks, carriage returns and
// markup characters included, and translate-toolkit's reader (as CAT tools
// read TMX) reads the same units.
void TestMemory::tmxRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.tmx"));
    Tmx::Document written{QStringLiteral("en-US"), QStringLiteral("fr-FR"), {}, 0};
    written.units = {{QStringLiteral("00000001"), QStringLiteral("Weight: %d\nValue: <b>%d</b> & more"), QStringLiteral("Poids : %d\nValeur : <b>%d</b> & plus")},
                     {QStringLiteral("1:00000000"), QStringLiteral("Line\r\nbreak\tand \"quotes\""), QStringLiteral("Ligne\r\nsaut\tet « guillemets »")}};
    QVERIFY(!Tmx::canHold({QString(), QStringLiteral("bell\a"), QStringLiteral("x")}));
    Tmx::write(path, written, QStringLiteral("zelkstr"), QStringLiteral("3.0"));
    const Tmx::Document read = Tmx::read(path, QString(), QString());
    QCOMPARE(read.sourceLanguage, QStringLiteral("en-US"));
    QCOMPARE(read.targetLanguage, QStringLiteral("fr-FR"));
    QCOMPARE(read.units.size(), written.units.size());
    for (size_t i = 0; i < read.units.size(); ++i) {
        QCOMPARE(read.units[i].id, written.units[i].id);
        QCOMPARE(read.units[i].source, written.units[i].source);
        QCOMPARE(read.units[i].translation, written.units[i].translation);
    }

#ifdef Q_OS_WIN
    QSKIP("translate-toolkit reads the file on Linux");
#endif
    // Exit status 3: no translate-toolkit here. Any other failure is the
    // reader's refusal of the file.
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QStringLiteral("import json, sys\ntry:\n    from translate.storage import tmx\n"
                                                      "except ImportError:\n    sys.exit(3)\n"
                                                      "units = tmx.tmxfile(open(sys.argv[1], 'rb')).units\n"
                                                      "print(json.dumps([[u.getid(), u.source, u.target] for u in units]))"),
                  path});
    if (!python.waitForStarted() || (python.waitForFinished(60000) && python.exitCode() == 3))
        QSKIP("needs Debian's translate-toolkit");
    QVERIFY2(python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0, python.readAllStandardError().constData());
    const QJsonArray units = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QCOMPARE(units.size(), 2);
    QCOMPARE(units[0].toArray()[0].toString(), written.units[0].id);
    QCOMPARE(units[0].toArray()[1].toString(), written.units[0].source);
    QCOMPARE(units[0].toArray()[2].toString(), written.units[0].translation);
    QCOMPARE(units[1].toArray()[2].toString(), written.units[1].translation);
}

// TMX 1.1's lang, codes in any case and without a region, a DOCTYPE that
// names the DTD, inline markup read as its text, a unit in one language
// skipped and counted.
void TestMemory::tmxAsToolsWriteIt()
{
    const QByteArray xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE tmx SYSTEM \"tmx11.dtd\">\n"
                           "<tmx version=\"1.1\"><header srclang=\"EN-US\" creationtool=\"x\"/><body>\n"
                           "<tu tuid=\"a\"><tuv lang=\"en\"><seg>Open the <bpt i=\"1\">&lt;b&gt;</bpt>door<ept i=\"1\">&lt;/b&gt;</ept></seg></tuv>"
                           "<tuv lang=\"FR-fr\"><seg>Ouvrir la <hi>porte</hi> <ph>{0}</ph></seg></tuv></tu>\n"
                           "<tu><tuv xml:lang=\"en-us\"><seg>Alone</seg></tuv></tu>\n"
                           "<tu><tuv xml:lang=\"de-DE\"><seg>Tür</seg></tuv><tuv xml:lang=\"en-GB\"><seg>Door</seg></tuv></tu>\n"
                           "</body></tmx>\n";
    const Tmx::Document read = Tmx::fromXml(xml, QStringLiteral("tools.tmx"), QStringLiteral("en-US"), QStringLiteral("fr-FR"));
    QCOMPARE(read.units.size(), size_t(1));
    QCOMPARE(read.units[0].id, QStringLiteral("a"));
    QCOMPARE(read.units[0].source, QStringLiteral("Open the <b>door</b>"));
    QCOMPARE(read.units[0].translation, QStringLiteral("Ouvrir la porte {0}"));
    QCOMPARE(read.skipped, 2u);
}

void TestMemory::hostileTmx_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("error");
    const QByteArray body = "<tmx version=\"1.4\"><header srclang=\"en-US\"/><body><tu><tuv xml:lang=\"en-US\"><seg>&b;</seg></tuv>"
                            "<tuv xml:lang=\"fr-FR\"><seg>x</seg></tuv></tu></body></tmx>";
    QTest::newRow("entity expansion")
        << "<?xml version=\"1.0\"?>\n<!DOCTYPE tmx [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n" + body
        << QStringLiteral("m.tmx:2:79: a TMX file that declares entities is not read");
    QTest::newRow("external entity")
        << "<?xml version=\"1.0\"?>\n<!DOCTYPE tmx [<!ENTITY b SYSTEM \"file:///etc/passwd\">]>\n" + body
        << QStringLiteral("m.tmx:2:56: a TMX file that declares entities is not read");
    QTest::newRow("undeclared entity") << "<?xml version=\"1.0\"?>\n" + body << QStringLiteral("m.tmx:2:84: Entity 'b' not declared.");
    QTest::newRow("malformed") << QByteArray("<?xml version=\"1.0\"?>\n<tmx version=\"1.4\"><body><tu>\n<tuv></tu></body></tmx>")
                               << QStringLiteral("m.tmx:3:10: Opening and ending tag mismatch.");
    QTest::newRow("not TMX") << QByteArray("<?xml version=\"1.0\"?>\n<html/>") << QStringLiteral("m.tmx:2:7: not a TMX file: it begins with <html>");
}

void TestMemory::hostileTmx()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, error);
    try {
        Tmx::fromXml(xml, QStringLiteral("m.tmx"), QStringLiteral("en-US"), QStringLiteral("fr-FR"));
        QFAIL("read");
    } catch (const TranslationError &failure) {
        QCOMPARE(failure.message(), error);
    }
}

void TestMemory::glossary_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QStringList>("missing"); // or the error
    const QByteArray terms = "term,translation,note\r\nShort Sword,Épée courte|Lame courte,\"a weapon, short\"\r\nOrc,Orque\r\n";
    QTest::newRow("kept") << terms << QStringLiteral("A short sword.") << QStringLiteral("Une lame courte.") << QStringList{};
    QTest::newRow("missing") << terms << QStringLiteral("The ORC's short sword") << QStringLiteral("L'épée de l'orque")
                             << QStringList{QStringLiteral("\"Short Sword\" is not translated as \"Épée courte\" or \"Lame courte\"")};
    QTest::newRow("whole words only") << terms << QStringLiteral("Orcs and Orchids") << QStringLiteral("x") << QStringList{};
    QTest::newRow("no header") << QByteArray("Orc,Orque\n") << QString() << QString()
                               << QStringList{QStringLiteral("g.csv: a glossary begins with the header term,translation,note")};
    QTest::newRow("no translation") << QByteArray("term,translation\nOrc, | \n") << QString() << QString()
                                    << QStringList{QStringLiteral("g.csv: row 2: \"Orc\" has no translation (a name kept as it is is its own translation)")};
    QTest::newRow("open quote") << QByteArray("term,translation\n\"Orc,Orque\n") << QString() << QString()
                                << QStringList{QStringLiteral("g.csv:2: a quoted field does not end")};
}

void TestMemory::glossary()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QFETCH(QStringList, missing);
    QStringList found;
    try {
        const Glossary glossary = Glossary::fromCsv(csv, QStringLiteral("g.csv"));
        for (const Glossary::Term *term : glossary.missing(source, translation))
            found << Glossary::describe(*term);
    } catch (const TranslationError &error) {
        found << error.message();
    }
    QCOMPARE(found, missing);
}

// Entries of one source translated otherwise name each other; those that
// agree, and a lone source, are fine.
void TestMemory::consistency()
{
    const QStringList sources{QStringLiteral("Short Sword"), QStringLiteral("Shield"), QStringLiteral("Short Sword"),
                              QStringLiteral("Short Sword"), QStringLiteral("Shield"), QStringLiteral("Bow")};
    const QStringList translations{QStringLiteral("Épée courte"), QStringLiteral("Bouclier"), QStringLiteral("Lame courte"),
                                   QStringLiteral("Épée courte"), QStringLiteral("Bouclier"), QStringLiteral("Arc")};
    const auto found = Consistency::find(
        {0, 1, 2, 3, 4, 5}, [&](quint32 i) -> const QString & { return sources[qsizetype(i)]; },
        [&](quint32 i) -> const QString & { return translations[qsizetype(i)]; });
    QStringList lines;
    for (const auto &[entry, detail] : found)
        lines << QStringLiteral("%1 %2").arg(entry).arg(detail);
    QCOMPARE(lines, (QStringList{QStringLiteral("0 same source as 2 (\"Lame courte\" there)"),
                                 QStringLiteral("2 same source as 0, 3 (\"Épée courte\" there)"),
                                 QStringLiteral("3 same source as 2 (\"Lame courte\" there)")}));
}

QTEST_GUILESS_MAIN(TestMemory)
#include "tst_Memory.moc"
