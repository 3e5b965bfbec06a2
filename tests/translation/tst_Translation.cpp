#include "Pairing.h"
#include "TranslationChecks.h"
#include "TranslationMerge.h"
#include "uZelkStrings.h"

#include <QtTest>

namespace {

struct Row
{
    quint32 number;
    QString text;
};

TZelkStrings table(const QList<Row> &rows, bool newFormat = true)
{
    TZelkStrings result;
    result.SetNewFormat(newFormat);
    for (const Row &row : rows) {
        result.AddEntry(row.text);
        result.SetNumber(result.EntryCount() - 1, newFormat ? row.number : 0);
    }
    return result;
}

// A pairing as "partner of each entry of the second table", -1 for none.
QList<int> partnersOfSecond(const Pairing &pairing, quint32 count)
{
    QList<int> partners;
    for (quint32 i = 0; i < count; ++i) {
        const quint32 partner = pairing.partnerOfSecond(i);
        partners << (partner == Pairing::NoPartner ? -1 : int(partner));
    }
    return partners;
}

} // namespace

using Rows = QList<Row>;
Q_DECLARE_METATYPE(Rows)

class TestTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pairing_data();
    void pairing();
    void checks_data();
    void checks();
    void merge_data();
    void merge();
};

void TestTranslation::pairing_data()
{
    QTest::addColumn<Rows>("first");
    QTest::addColumn<Rows>("second");
    QTest::addColumn<bool>("secondNew");
    QTest::addColumn<bool>("forUpdate");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QList<int>>("partners");
    const Rows abc{{1, QStringLiteral("a")}, {2, QStringLiteral("b")}, {3, QStringLiteral("c")}};
    QTest::newRow("reordered, one removed, one added")
        << abc << Rows{{3, QStringLiteral("c")}, {9, QStringLiteral("n")}, {1, QStringLiteral("a")}} << true << false
        << QStringLiteral("by number") << QList<int>{2, -1, 0};
    QTest::newRow("number 0 is never paired by number")
        << Rows{{0, QStringLiteral("z")}, {1, QStringLiteral("a")}} << Rows{{0, QStringLiteral("z")}, {1, QStringLiteral("a")}}
        << true << false << QStringLiteral("by number") << QList<int>{-1, 1};
    QTest::newRow("a repeated number pairs by index")
        << abc << Rows{{3, QStringLiteral("x")}, {3, QStringLiteral("y")}} << true << false
        << QStringLiteral("by index (B: number 00000003 is on 2 entries)") << QList<int>{0, 1};
    QTest::newRow("the old layout pairs by index")
        << abc << Rows{{0, QStringLiteral("c")}, {0, QStringLiteral("a")}, {0, QStringLiteral("b")}, {0, QStringLiteral("d")}}
        << false << false << QStringLiteral("by index (B: the old layout has no numbers)") << QList<int>{0, 1, 2, -1};
    QTest::newRow("an update pairs unique texts first, then by index")
        << Rows{{0, QStringLiteral("x")}, {0, QStringLiteral("a")}, {0, QStringLiteral("dup")}, {0, QStringLiteral("dup")}}
        << Rows{{0, QStringLiteral("a")}, {0, QStringLiteral("new")}, {0, QStringLiteral("dup")}, {0, QStringLiteral("dup")}}
        << false << true << QStringLiteral("by unique text, then by index (A: no entry has a number)")
        << QList<int>{1, -1, 2, 3};
}

void TestTranslation::pairing()
{
    QFETCH(Rows, first);
    QFETCH(Rows, second);
    QFETCH(bool, secondNew);
    QFETCH(bool, forUpdate);
    QFETCH(QString, description);
    QFETCH(QList<int>, partners);
    const TZelkStrings a = table(first);
    const TZelkStrings b = table(second, secondNew);
    const Pairing pairing = forUpdate ? Pairing::pairForUpdate(a, b) : Pairing::pair(a, b);
    QCOMPARE(pairing.description(QStringLiteral("A"), QStringLiteral("B")), description);
    QCOMPARE(partnersOfSecond(pairing, b.EntryCount()), partners);
    for (quint32 i = 0; i < b.EntryCount(); ++i) {
        if (partners[int(i)] >= 0)
            QCOMPARE(pairing.partnerOfFirst(quint32(partners[int(i)])), i);
    }
}

void TestTranslation::checks_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QStringList>("kinds");
    QTest::newRow("clean") << QStringLiteral(" %1$s has {0} <b>%5.2f%%</b>\nok ") << QStringLiteral(" <b>%5.2f%%</b> {0} a %1$s\nbon ")
                           << QStringList{};
    QTest::newRow("line breaks") << QStringLiteral("a\nb") << QStringLiteral("a b") << QStringList{QStringLiteral("line-breaks")};
    QTest::newRow("printf") << QStringLiteral("%d coins") << QStringLiteral("%s pièces") << QStringList{QStringLiteral("placeholders")};
    QTest::newRow("braces") << QStringLiteral("{name} won") << QStringLiteral("{nom} a gagné") << QStringList{QStringLiteral("placeholders")};
    QTest::newRow("a tag twice") << QStringLiteral("<color=#ff0000>x</color>") << QStringLiteral("<color=#ff0000>x</color></color>")
                                 << QStringList{QStringLiteral("placeholders")};
    QTest::newRow("not placeholders") << QStringLiteral("50% off, 3 < 4 > 2") << QStringLiteral("moins 50%, 3 < 4 > 2") << QStringList{};
    QTest::newRow("spaces") << QStringLiteral(" x") << QStringLiteral("x ") << QStringList{QStringLiteral("spaces"), QStringLiteral("spaces")};
    QTest::newRow("empty") << QStringLiteral("Yes") << QString() << QStringList{QStringLiteral("empty")};
    QTest::newRow("untranslated") << QStringLiteral("Options") << QStringLiteral("Options") << QStringList{QStringLiteral("untranslated")};
    QTest::newRow("a code is no word") << QStringLiteral("1920x1080") << QStringLiteral("1920x1080") << QStringList{};
    QTest::newRow("no letters") << QStringLiteral("10 / 20") << QStringLiteral("10 / 20") << QStringList{};
    QTest::newRow("a version number") << QStringLiteral("Version 1.2.3") << QStringLiteral("Version 1.2.3") << QStringList{};
    QTest::newRow("codes") << QStringLiteral("X-15 (MP3)") << QStringLiteral("X-15 (MP3)") << QStringList{};
    QTest::newRow("a word and a number") << QStringLiteral("Level 5") << QStringLiteral("Level 5")
                                         << QStringList{QStringLiteral("untranslated")};
    QTest::newRow("numbers") << QStringLiteral("Costs 5 gold") << QStringLiteral("Coûte 6 pièces d'or")
                             << QStringList{QStringLiteral("numbers")};
    QTest::newRow("numbers, separators") << QStringLiteral("1,000 gold, 1.5 s, 2,500,000 XP")
                                         << QStringLiteral("1\u00A0000 pièces, 1,5 s, 2 500 000 XP") << QStringList{};
    QTest::newRow("reordered placeholders") << QStringLiteral("%1$s gave %2$d coins to %3$s")
                                            << QStringLiteral("%3$s a reçu %2$d pièces de %1$s") << QStringList{};
    QTest::newRow("web address") << QStringLiteral("See https://example.com/help.") << QStringLiteral("Voir https://example.org/aide.")
                                 << QStringList{QStringLiteral("urls")};
    QTest::newRow("e-mail kept") << QStringLiteral("Mail help@example.com, or www.example.com!")
                                 << QStringLiteral("Écrivez à help@example.com ou www.example.com\u00A0!") << QStringList{};
    QTest::newRow("a bracket left open") << QStringLiteral("[E] Open") << QStringLiteral("[E Ouvrir")
                                         << QStringList{QStringLiteral("brackets")};
    QTest::newRow("quotation marks of another style") << QStringLiteral("Say \"Hello\" (twice)")
                                                      << QStringLiteral("Dites «\u00A0Bonjour\u00A0» (deux fois)") << QStringList{};
    QTest::newRow("end mark lost") << QStringLiteral("Are you sure?") << QStringLiteral("Êtes-vous sûr")
                                   << QStringList{QStringLiteral("punctuation")};
    QTest::newRow("end mark added") << QStringLiteral("Continue") << QStringLiteral("Continuer.")
                                    << QStringList{QStringLiteral("punctuation")};
    QTest::newRow("French spacing") << QStringLiteral("Warning: low health!") << QStringLiteral("Attention\u202F: santé faible !")
                                    << QStringList{};
    QTest::newRow("ellipsis either way") << QStringLiteral("Loading...") << QStringLiteral("Chargement…") << QStringList{};
    QTest::newRow("double space") << QStringLiteral("Save game") << QStringLiteral("Sauver  la partie")
                                  << QStringList{QStringLiteral("double-spaces")};
    QTest::newRow("a word twice") << QStringLiteral("Open the door") << QStringLiteral("Ouvrez la la porte")
                                  << QStringList{QStringLiteral("repeated-words")};
    QTest::newRow("the source repeats too") << QStringLiteral("Ha ha!") << QStringLiteral("Ah ah !") << QStringList{};
    QTest::newRow("a tab lost") << QStringLiteral("Name\tValue") << QStringLiteral("Nom Valeur") << QStringList{QStringLiteral("tabs")};
    QTest::newRow("too long") << QStringLiteral("Go") << QStringLiteral("Allez-y") << QStringList{QStringLiteral("length")};
    QTest::newRow("extra pattern") << QStringLiteral("Press [KEY_A]") << QStringLiteral("Appuyez sur [KEY_B]")
                                   << QStringList{QStringLiteral("placeholders")};
}

void TestTranslation::checks()
{
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QFETCH(QStringList, kinds);
    const TranslationChecker checker({QRegularExpression(QStringLiteral("\\[KEY_\\w+\\]"))}, 3.0);
    QStringList found;
    for (const Finding &finding : checker.check(source, translation))
        found << findingKindName(finding.kind);
    QCOMPARE(found, kinds);
    QCOMPARE(checker.isUntranslated(source, translation),
             kinds.contains(QStringLiteral("empty")) || kinds.contains(QStringLiteral("untranslated")));
}

void TestTranslation::merge_data()
{
    QTest::addColumn<bool>("newFormat");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<quint32>>("counts");
    // Old: a b c d gone. New: reordered, an entry inserted, c changed,
    // "gone" removed. By number, d has no old translation.
    QTest::newRow("new layout, by number") << true
        << QStringList{QStringLiteral("kept:B"), QStringLiteral("new:inserted"), QStringLiteral("kept:A"),
                       QStringLiteral("changed:Cc"), QStringLiteral("new:untranslated d")}
        << QList<quint32>{2, 1, 2, 1};
    // Without numbers the unique texts pair first, the rest by index.
    QTest::newRow("old layout, by unique text, then by index") << false
        << QStringList{QStringLiteral("kept:B"), QStringLiteral("new:inserted"), QStringLiteral("kept:A"),
                       QStringLiteral("changed:D"), QStringLiteral("changed:G")}
        << QList<quint32>{2, 2, 1, 1};
}

void TestTranslation::merge()
{
    QFETCH(bool, newFormat);
    QFETCH(QStringList, expected);
    QFETCH(QList<quint32>, counts);
    const TZelkStrings oldSource = table({{1, QStringLiteral("a")}, {2, QStringLiteral("b")}, {3, QStringLiteral("c")},
                                          {4, QStringLiteral("d")}, {5, QStringLiteral("gone")}},
                                         newFormat);
    const TZelkStrings oldTranslation = newFormat
        ? table({{3, QStringLiteral("Cc")}, {1, QStringLiteral("A")}, {2, QStringLiteral("B")}, {5, QStringLiteral("G")}})
        : table({{0, QStringLiteral("A")}, {0, QStringLiteral("B")}, {0, QStringLiteral("Cc")}, {0, QStringLiteral("D")},
                 {0, QStringLiteral("G")}},
                false);
    const TZelkStrings newSource = table({{2, QStringLiteral("b")}, {9, QStringLiteral("inserted")}, {1, QStringLiteral("a")},
                                          {3, QStringLiteral("c changed")}, {4, QStringLiteral("untranslated d")}},
                                         newFormat);
    const TranslationMerge merge(oldSource, oldTranslation, newSource);
    TZelkStrings result;
    merge.build(result);
    static const char *const names[] = {"kept", "changed", "new"};
    QStringList outcomes;
    for (quint32 i = 0; i < result.EntryCount(); ++i) {
        outcomes << QStringLiteral("%1:%2").arg(QLatin1String(names[int(merge.entries()[i].outcome)]), result.GetEntry(i));
        QCOMPARE(result.GetNumber(i), newSource.GetNumber(i));
    }
    QCOMPARE(outcomes, expected);
    QCOMPARE(result.NewFormat(), newFormat);
    QCOMPARE((QList<quint32>{merge.count(TranslationMerge::Outcome::Kept), merge.count(TranslationMerge::Outcome::Changed),
                             merge.count(TranslationMerge::Outcome::New), quint32(merge.removed().size())}),
             counts);
}

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_Translation.moc"
