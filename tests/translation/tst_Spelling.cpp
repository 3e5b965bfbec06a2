#include "SpellChecker.h"
#include "TranslationChecks.h"
#include "TranslationError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Spelling with Hunspell: what is checked and what is not, dictionaries by
// language and encoding, and what is said of a missing one. Needs Debian's
// hunspell-en-us and hunspell-fr, which ./test.sh installs.
class TestSpelling : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void wordsNotChecked_data();
    void wordsNotChecked();
    void languageByExtension_data();
    void languageByExtension();
    void dictionaryInLatin1();
    void missingDictionary_data();
    void missingDictionary();

private:
    QTemporaryDir m_data;
};

void TestSpelling::initTestCase()
{
    // The user's data folder is one of the test's own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    if (!Dictionaries::exists(QStringLiteral("en_US")) || !Dictionaries::exists(QStringLiteral("fr_FR")))
        QSKIP("needs hunspell-en-us and hunspell-fr");
}

void TestSpelling::wordsNotChecked_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QStringList>("misspelt");
    QTest::newRow("typos are found") << QStringLiteral("Teh quikc brown fox") << QString()
                                     << QStringList{QStringLiteral("Teh"), QStringLiteral("quikc")};
    QTest::newRow("placeholders and tags") << QStringLiteral("%s gvies {nmae} <colr=#ff0000>red</colr>") << QString()
                                           << QStringList{QStringLiteral("gvies")};
    QTest::newRow("digits and underscores") << QStringLiteral("Take X15 and mot_cle to lvl2") << QString() << QStringList{};
    QTest::newRow("addresses") << QStringLiteral("See https://exmaple.com/hlep or mial@exmaple.com") << QString()
                               << QStringList{};
    QTest::newRow("words of the reference") << QStringLiteral("Zorgon of Qaltheria speaks") << QStringLiteral("Zorgon's tower, qaltheria")
                                            << QStringList{};
}

void TestSpelling::wordsNotChecked()
{
    QFETCH(QString, text);
    QFETCH(QString, reference);
    QFETCH(QStringList, misspelt);
    SpellChecker speller(QStringLiteral("en_US"));
    const TranslationChecker placeholders;
    QStringList found;
    for (const SpellChecker::Misspelling &misspelling : speller.misspellings(text, reference, placeholders)) {
        QCOMPARE(text.mid(misspelling.span.start, misspelling.span.length), misspelling.word);
        found << misspelling.word;
    }
    QCOMPARE(found, misspelt);
    if (!misspelt.isEmpty())
        QVERIFY(!speller.suggestions(misspelt.first()).isEmpty());
}

void TestSpelling::languageByExtension_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("code");
    QTest::newRow("English") << QStringLiteral("lang.eng") << QStringLiteral("en_US");
    QTest::newRow("French") << QStringLiteral("LANG.FRE") << QStringLiteral("fr_FR");
    QTest::newRow("German") << QStringLiteral("lang.ger") << QStringLiteral("de_DE");
    QTest::newRow("Czech") << QStringLiteral("lang.cze") << QStringLiteral("cs_CZ");
    QTest::newRow("Swedish") << QStringLiteral("lang.swe") << QStringLiteral("sv_SE");
    QTest::newRow("Finnish") << QStringLiteral("lang.fin") << QStringLiteral("fi_FI");
    QTest::newRow("unknown") << QStringLiteral("lang.bin") << QString();
}

void TestSpelling::languageByExtension()
{
    QFETCH(QString, file);
    QFETCH(QString, code);
    QCOMPARE(Dictionaries::forFile(file), code);
}

// A dictionary in ISO-8859-1: words are given to Hunspell in its encoding and
// its suggestions read back from it.
void TestSpelling::dictionaryInLatin1()
{
    const QString folder = Dictionaries::userDataFolder() + QStringLiteral("/dictionaries");
    QVERIFY(QDir().mkpath(folder));
    QFile aff(folder + QStringLiteral("/xx_LATIN.aff"));
    QFile dic(folder + QStringLiteral("/xx_LATIN.dic"));
    QVERIFY(aff.open(QIODevice::WriteOnly) && dic.open(QIODevice::WriteOnly));
    aff.write("SET ISO8859-1\nTRY esianrtolcdugmphbyfvkwzESIANRTOLCDUGMPHBYFVKWZ\xe9\xf6\xdf\n");
    dic.write("2\ncaf\xe9\nGr\xf6\xdf" "e\n");
    aff.close();
    dic.close();
    QVERIFY(Dictionaries::available().contains(QStringLiteral("xx_LATIN")));
    SpellChecker speller(QStringLiteral("xx_LATIN"));
    QVERIFY(speller.isCorrect(QStringLiteral("café")));
    QVERIFY(speller.isCorrect(QStringLiteral("Größe")));
    QVERIFY(!speller.isCorrect(QStringLiteral("cafe")));
    QVERIFY(!speller.isCorrect(QStringLiteral("caf\u0103"))); // not in the encoding at all
    QCOMPARE(speller.suggestions(QStringLiteral("cafe")), QStringList{QStringLiteral("café")});
}

void TestSpelling::missingDictionary_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("advice");
    QTest::newRow("Finnish") << QStringLiteral("fi_FI") << QStringLiteral("Debian has no Hunspell dictionary for Finnish");
    QTest::newRow("Swedish") << QStringLiteral("sv_SE") << QStringLiteral("apt install hunspell-sv");
}

void TestSpelling::missingDictionary()
{
    QFETCH(QString, code);
    QFETCH(QString, advice);
    if (Dictionaries::exists(code))
        QSKIP("this system has the dictionary");
    try {
        SpellChecker speller(code);
        QFAIL("a missing dictionary loaded");
    } catch (const TranslationError &error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("no dictionary for ")), qPrintable(error.message()));
        QVERIFY(error.message().contains(QStringLiteral("(%1); looked in ").arg(code)));
        QVERIFY(error.message().contains(Dictionaries::userDataFolder() + QStringLiteral("/dictionaries")));
        QVERIFY(error.message().endsWith(advice));
    }
}

QTEST_GUILESS_MAIN(TestSpelling)
#include "tst_Spelling.moc"
