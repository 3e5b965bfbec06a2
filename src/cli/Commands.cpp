#include "Commands.h"

#include "Catalogue.h"
#include "CommandSupport.h"
#include "CsvCatalogue.h"
#include "MemoryCommands.h"
#include "Pairing.h"
#include "PoCatalogue.h"
#include "ReplaceCommand.h"
#include "SpellingSuggestions.h"
#include "TextOutput.h"
#include "TranslationError.h"
#include "UpdateCommands.h"
#include "uZelkStrings.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <optional>

using namespace CommandSupport;

namespace {

struct Command
{
    const char *name;
    const char *synopsis;
    const char *summary;
    const char *description;
    QList<QCommandLineOption> options;
    int minArguments;
    int maxArguments; // -1: any number
    std::function<int(const QCommandLineParser &, const QStringList &)> run;
};

const QCommandLineOption JsonOption(QStringLiteral("json"), QStringLiteral("Print one JSON document instead of a table."));
const QCommandLineOption LayoutOption(QStringLiteral("layout"), QStringLiteral("The layout to write: old or new."),
                                      QStringLiteral("old|new"));
const QCommandLineOption SourceOption(QStringLiteral("source"),
                                      QStringLiteral("The source texts: this file (another language), its entries paired by number or index."),
                                      QStringLiteral("SRCFILE"));
const QCommandLineOption OutputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                      QStringLiteral("The strings file to write."), QStringLiteral("OUT"));
const QCommandLineOption TemplateOption(QStringLiteral("template"),
                                        QStringLiteral("Write a template: every translation empty, a POT header."));
const QCommandLineOption ForceOption(QStringLiteral("force"), QStringLiteral("Import what pairs and skip mismatches."));
const QCommandLineOption SetNumbersOption(QStringLiteral("set-numbers"),
                                          QStringLiteral("Pair by index and give entries the catalogue's numbers."));
const QCommandLineOption FuzzyOption(QStringLiteral("fuzzy"), QStringLiteral("Import messages marked fuzzy too."));
const QCommandLineOption ByNumberOption(QStringLiteral("by-number"),
                                        QStringLiteral("Pair entries by number: list added, removed and changed numbers."));
const QCommandLineOption ReportOption(QStringLiteral("json"), QStringLiteral("Write a JSON report of every changed, new and removed entry."),
                                      QStringLiteral("REPORT"));
const QCommandLineOption PlaceholderOption(QStringLiteral("placeholder"),
                                           QStringLiteral("A regular expression for more placeholders (may be repeated)."),
                                           QStringLiteral("REGEX"));
const QCommandLineOption NoReviewOption(QStringLiteral("no-review"), QStringLiteral("Write no review file beside the output."));
const QCommandLineOption CheckNoReviewOption(QStringLiteral("no-review"),
                                             QStringLiteral("Check without the translation's review file."));
const QCommandLineOption ReviewOption(QStringLiteral("review"),
                                      QStringLiteral("Read what is still to review from this file instead of TRANSLATION.review.json."),
                                      QStringLiteral("FILE"));
const QCommandLineOption OnlyOption(QStringLiteral("only"), QStringLiteral("Report only these kinds (comma-separated)."),
                                    QStringLiteral("KINDS"));
const QCommandLineOption SkipOption(QStringLiteral("skip"), QStringLiteral("Report all kinds but these (comma-separated)."),
                                    QStringLiteral("KINDS"));
const QCommandLineOption RegexOption(QStringLiteral("regex"),
                                     QStringLiteral("FIND is a regular expression; \\1 to \\99 in REPLACEMENT stand for its groups."));
const QCommandLineOption MatchCaseOption(QStringLiteral("match-case"), QStringLiteral("Tell upper and lower case apart."));
const QCommandLineOption WholeWordsOption(QStringLiteral("whole-words"), QStringLiteral("Replace whole words only."));
const QCommandLineOption DryRunOption(QStringLiteral("dry-run"), QStringLiteral("Print the changes and write nothing."));
const QCommandLineOption DelimiterOption(QStringLiteral("delimiter"),
                                         QStringLiteral("What separates a CSV catalogue's fields: , (the default), ; or tab."),
                                         QStringLiteral(",|;|tab"));
const QCommandLineOption SpellOption(QStringLiteral("spell"), QStringLiteral("Check the translation's spelling too (Hunspell)."));
const QCommandLineOption SpellLanguageOption(QStringLiteral("spell-language"),
                                             QStringLiteral("The dictionary to spell with, such as fr_FR, instead of the file's language."),
                                             QStringLiteral("CODE"));
const QCommandLineOption WordsOption(QStringLiteral("words"), QStringLiteral("A list of accepted words, one a line (may be repeated)."),
                                     QStringLiteral("FILE"));
const QCommandLineOption GlossaryOption(QStringLiteral("glossary"),
                                        QStringLiteral("A glossary (CSV: term,translation,note) whose terms translations must keep."),
                                        QStringLiteral("FILE"));
const QCommandLineOption FuzzyScoreOption(QStringLiteral("fuzzy"),
                                          QStringLiteral("Fill matches of at least SCORE per cent too, to review."), QStringLiteral("SCORE"));
const QCommandLineOption LengthRatioOption(QStringLiteral("max-length-ratio"),
                                           QStringLiteral("Report translations longer than R times their source."),
                                           QStringLiteral("R"));

void printError(const QString &message)
{
    note(message);
}

bool readLayout(const QCommandLineParser &parser, bool &newFormat)
{
    if (!parser.isSet(LayoutOption))
        return false;
    const QString layout = parser.value(LayoutOption);
    if (layout != QLatin1String("old") && layout != QLatin1String("new"))
        throw CliError(QStringLiteral("--layout takes old or new, not \"%1\"").arg(layout));
    newFormat = layout == QLatin1String("new");
    return true;
}

enum class CatalogueKind { Csv, Po };

QChar delimiterOf(const QCommandLineParser &parser)
{
    if (!parser.isSet(DelimiterOption))
        return QLatin1Char(',');
    const QString value = parser.value(DelimiterOption);
    if (value == QLatin1String(",") || value == QLatin1String(";"))
        return value[0];
    if (value == QLatin1String("tab") || value == QLatin1String("\\t") || value == QLatin1String("\t"))
        return QLatin1Char('\t');
    throw CliError(QStringLiteral("--delimiter takes , ; or tab, not \"%1\"").arg(value));
}

// The entries of a CSV or PO catalogue; with untranslated, PO messages
// without a translation too.
std::vector<ImportedEntry> readCatalogue(const QString &catalogue, CatalogueKind kind, const QCommandLineParser &parser,
                                         bool untranslated = false)
{
    return kind == CatalogueKind::Csv ? CsvCatalogue::read(readCatalogueFile(catalogue), catalogue, delimiterOf(parser))
                                      : PoCatalogue::read(catalogue, untranslated);
}

CatalogueKind catalogueKind(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return CatalogueKind::Csv;
    if (suffix == QLatin1String("po") || suffix == QLatin1String("pot"))
        return CatalogueKind::Po;
    throw CliError(QStringLiteral("%1: a catalogue's name must end in .csv, .po or .pot").arg(fileName));
}

int runInfo(const QCommandLineParser &, const QStringList &arguments)
{
    const QString fileName = arguments.at(0);
    TZelkStrings table;
    load(table, fileName);
    const quint32 count = table.EntryCount();
    quint32 empty = 0;
    std::vector<quint32> numbers(count);
    for (quint32 i = 0; i < count; ++i) {
        if (table.entryText(i).isEmpty() && !table.isUnreadable(i))
            ++empty;
        numbers[i] = table.GetNumber(i);
    }
    std::sort(numbers.begin(), numbers.end());
    quint32 repeatedValues = 0;
    quint32 repeatedEntries = 0;
    for (size_t i = 0; i < numbers.size();) {
        size_t j = i + 1;
        while (j < numbers.size() && numbers[j] == numbers[i])
            ++j;
        if (j - i > 1) {
            ++repeatedValues;
            repeatedEntries += quint32(j - i);
        }
        i = j;
    }
    BufferedOutput out(stdout);
    out.ascii("layout: ").text(layoutName(table.NewFormat())).ascii("\nentries: ").number(count);
    out.ascii("\nfile size: ").number(quint64(QFileInfo(fileName).size())).ascii(" bytes\nempty texts: ").number(empty);
    out.ascii("\nrepeated numbers: ").number(repeatedValues).ascii(" (in ").number(repeatedEntries).ascii(" entries)\n");
    out.ascii("texts not valid UTF-8: ").number(table.unreadableCount()).ascii("\n");
    out.ascii("entries past the end of the file: ").number(table.damage().pastEnd.size()).ascii("\n");
    out.ascii("last text without terminator: ").ascii(table.damage().unterminated.empty() ? "no\n" : "yes\n");
    finish(out);
    noteDamage(table, fileName);
    return Success;
}

int runDump(const QCommandLineParser &parser, const QStringList &arguments)
{
    TZelkStrings table;
    load(table, arguments.at(0));
    const quint32 count = table.EntryCount();
    BufferedOutput out(stdout);
    if (!parser.isSet(JsonOption)) {
        for (quint32 i = 0; i < count; ++i) {
            out.number(i).ascii("\t").hex8(table.GetNumber(i)).ascii("\t");
            if (table.isUnreadable(i))
                out.escapedBytes(table.unreadableBytes(i)).ascii("\n");
            else
                out.text(table.entryText(i), BufferedOutput::Escape::Table).ascii("\n");
        }
        return finish(out);
    }
    out.ascii("{\"layout\": \"").text(layoutName(table.NewFormat())).ascii("\", \"entries\": [");
    for (quint32 i = 0; i < count; ++i) {
        out.ascii(i == 0 ? "\n  {\"index\": " : ",\n  {\"index\": ").number(i);
        out.ascii(", \"number\": \"").hex8(table.GetNumber(i)).ascii("\", \"text\": ");
        out.text(table.entryText(i), BufferedOutput::Escape::Json);
        if (table.isUnreadable(i))
            out.ascii(", \"invalid_utf8\": \"").hexBytes(table.unreadableBytes(i)).ascii("\"");
        out.ascii("}");
    }
    out.ascii(count ? "\n]}\n" : "]}\n");
    return finish(out);
}

int runHash(const QCommandLineParser &, const QStringList &arguments)
{
    BufferedOutput out(stdout);
    for (const QString &key : arguments)
        out.hex8(TZelkStrings::HashKey(toAnsi(key))).ascii("\n");
    return finish(out);
}

int runConvert(const QCommandLineParser &parser, const QStringList &arguments)
{
    bool newFormat = true;
    if (!readLayout(parser, newFormat))
        throw CliError(QStringLiteral("convert needs --layout old or --layout new"));
    TZelkStrings table;
    load(table, arguments.at(0));
    std::vector<quint32> all(table.EntryCount());
    std::iota(all.begin(), all.end(), 0u);
    checkStorable(table, all);
    table.SetNewFormat(newFormat);
    table.SaveToFile(arguments.at(1));
    return Success;
}

int runExport(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QString fileName = arguments.at(0);
    const QString output = arguments.at(1);
    if (QFileInfo(output).suffix().toLower() == QLatin1String("tmx")) {
        if (!parser.isSet(SourceOption) || parser.isSet(TemplateOption))
            throw CliError(QStringLiteral("a TMX file pairs each translation with its source: give --source SRCFILE, and no --template"));
        return MemoryCommands::exportTmx(fileName, output, parser.value(SourceOption));
    }
    const CatalogueKind kind = catalogueKind(output);
    const bool isTemplate = parser.isSet(TemplateOption) || QFileInfo(output).suffix().toLower() == QLatin1String("pot");
    if (isTemplate && kind != CatalogueKind::Po)
        throw CliError(QStringLiteral("--template writes a PO template; name it .pot or .po"));
    TZelkStrings table;
    load(table, fileName);
    TZelkStrings source;
    std::optional<Pairing> pairing;
    ExportTables tables{table};
    tables.numberContexts = numberIdentityObstacle(table).isEmpty();
    tables.emptyTranslations = isTemplate;
    if (parser.isSet(SourceOption)) {
        load(source, parser.value(SourceOption));
        pairing = Pairing::pair(table, source);
        notePairing(*pairing, fileName, parser.value(SourceOption));
        tables.source = &source;
        tables.pairing = &*pairing;
    }
    if (kind == CatalogueKind::Csv) {
        writeTextFile(output, [&](BufferedOutput &out) { CsvCatalogue::write(tables, out); });
    } else {
        const PoCatalogue::Header header{QFileInfo(fileName).fileName(), PoCatalogue::languageOf(fileName),
                                         QFileInfo(fileName).lastModified()};
        writeTextFile(output, [&](BufferedOutput &out) { PoCatalogue::write(tables, header, out); });
    }
    return Success;
}

// Says how the catalogue's entries are paired with the file's, and with the
// source's when one is given.
void noteImportPairing(const QCommandLineParser &parser, const TZelkStrings &table, const QString &name)
{
    const QString obstacle = numberIdentityObstacle(table);
    if (parser.isSet(SetNumbersOption))
        note(QStringLiteral("pairing the catalogue with %1 by index (--set-numbers)").arg(name));
    else if (obstacle.isEmpty())
        note(QStringLiteral("pairing the catalogue with %1 by number").arg(name));
    else
        note(QStringLiteral("pairing the catalogue with %1 by index (%1: %2)").arg(name, obstacle));
}

void reportImport(const ImportReport &report, const QString &catalogue, bool force)
{
    if (report.skippedFuzzy)
        note(QStringLiteral("skipped %1 fuzzy message(s); --fuzzy imports them").arg(report.skippedFuzzy));
    if (report.mismatches.isEmpty())
        return;
    note(QStringLiteral("%1: %2 mismatch(es)%3")
             .arg(catalogue)
             .arg(report.mismatches.size())
             .arg(report.mismatches.size() > 10 ? QStringLiteral(", the first ten:") : QStringLiteral(":")));
    for (const QString &mismatch : report.mismatches.mid(0, 10))
        note(QStringLiteral("  ") + mismatch);
    if (!force)
        throw CliError(QStringLiteral("nothing was written; --force imports what pairs and skips the rest"));
    note(QStringLiteral("skipped %1 mismatched entr%2").arg(report.mismatches.size()).arg(report.mismatches.size() == 1 ? QStringLiteral("y") : QStringLiteral("ies")));
}

int runImport(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.isSet(OutputOption))
        throw CliError(QStringLiteral("import needs -o OUT, the file to write"));
    const QString fileName = arguments.at(0);
    const QString catalogue = arguments.at(1);
    const CatalogueKind kind = catalogueKind(catalogue);
    bool newFormat = true;
    const bool layoutGiven = readLayout(parser, newFormat);
    TZelkStrings table;
    load(table, fileName);
    const std::vector<ImportedEntry> entries = readCatalogue(catalogue, kind, parser);
    ImportOptions options;
    options.force = parser.isSet(ForceOption);
    options.setNumbers = parser.isSet(SetNumbersOption);
    options.fuzzy = parser.isSet(FuzzyOption);
    TZelkStrings source;
    std::optional<Pairing> sourcePairing;
    if (parser.isSet(SourceOption)) {
        load(source, parser.value(SourceOption));
        sourcePairing = Pairing::pair(table, source);
        options.source = &source;
        options.sourcePairing = &*sourcePairing;
    }
    const ImportReport report = applyImport(table, entries, catalogue, options);
    noteImportPairing(parser, table, fileName);
    if (sourcePairing)
        notePairing(*sourcePairing, fileName, parser.value(SourceOption));
    reportImport(report, catalogue, options.force);
    checkStorable(table, report.importedIndices);
    if (layoutGiven)
        table.SetNewFormat(newFormat);
    table.SaveToFile(parser.value(OutputOption));
    note(QStringLiteral("imported %1 texts (skipped %2)")
             .arg(report.imported)
             .arg(quint64(entries.size()) - report.imported));
    return Success;
}

// A strings file from a catalogue alone: its entries are the indices 0 to
// n - 1, each once, or, where the catalogue names entries by number only,
// its messages in their order.
int runCreate(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QString output = arguments.at(0);
    const QString catalogue = arguments.at(1);
    const CatalogueKind kind = catalogueKind(catalogue);
    bool newFormat = true;
    readLayout(parser, newFormat);
    const std::vector<ImportedEntry> entries = readCatalogue(catalogue, kind, parser, true);
    const bool indexed = std::all_of(entries.begin(), entries.end(), [](const ImportedEntry &entry) { return bool(entry.index); });
    const bool unindexed = std::none_of(entries.begin(), entries.end(), [](const ImportedEntry &entry) { return bool(entry.index); });
    if (!indexed && !unindexed)
        throw CliError(QStringLiteral("%1: some messages name their entry by index and some do not").arg(catalogue));
    std::vector<const ImportedEntry *> slots(entries.size(), nullptr);
    for (size_t i = 0; i < entries.size(); ++i) {
        const size_t index = indexed ? size_t(*entries[i].index) : i;
        if (index >= entries.size())
            throw CliError(QStringLiteral("%1: entry %2 is out of range: the catalogue has %3 entries, 0 to %4")
                               .arg(entries[i].where).arg(index).arg(entries.size()).arg(qsizetype(entries.size()) - 1));
        if (slots[index])
            throw CliError(QStringLiteral("%1: entry %2 appears more than once").arg(entries[i].where).arg(index));
        slots[index] = &entries[i];
    }
    TZelkStrings table;
    table.SetNewFormat(newFormat);
    for (size_t i = 0; i < slots.size(); ++i) {
        const ImportedEntry &entry = *slots[i];
        // A message still to translate, or marked fuzzy, gives its source.
        const bool translated = !entry.untranslated && (!entry.fuzzy || parser.isSet(FuzzyOption));
        table.AddEntry(translated ? entry.text : entry.sourceText.value_or(QString()));
        if (entry.bytes && translated)
            table.setUnreadableBytes(quint32(i), *entry.bytes);
        table.SetNumber(quint32(i), newFormat ? entry.number.value_or(0) : 0);
    }
    std::vector<quint32> all(table.EntryCount());
    std::iota(all.begin(), all.end(), 0u);
    checkStorable(table, all);
    table.SaveToFile(output);
    note(QStringLiteral("created %1 with %2 entries in the %3 layout").arg(output).arg(table.EntryCount()).arg(layoutName(newFormat)));
    return Success;
}

int runMerge(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.isSet(OutputOption))
        throw CliError(QStringLiteral("merge needs -o NEW_TRANSLATION, the file to write"));
    return UpdateCommands::merge(arguments.at(0), arguments.at(1), arguments.at(2), parser.value(OutputOption),
                                 parser.value(ReportOption), !parser.isSet(NoReviewOption));
}

int runCheck(const QCommandLineParser &parser, const QStringList &arguments)
{
    UpdateCommands::CheckOptions options;
    options.json = parser.isSet(JsonOption);
    for (const QString &pattern : parser.values(PlaceholderOption)) {
        QRegularExpression expression(pattern);
        if (!expression.isValid() || pattern.isEmpty())
            throw CliError(QStringLiteral("--placeholder \"%1\" is not a regular expression: %2")
                               .arg(pattern, pattern.isEmpty() ? QStringLiteral("it is empty") : expression.errorString()));
        options.placeholders << expression;
    }
    if (parser.isSet(LengthRatioOption)) {
        bool ok = false;
        options.maxLengthRatio = parser.value(LengthRatioOption).toDouble(&ok);
        if (!ok || !(options.maxLengthRatio > 0))
            throw CliError(QStringLiteral("--max-length-ratio takes a number above 0, not \"%1\"").arg(parser.value(LengthRatioOption)));
    }
    const auto kinds = [&](const QCommandLineOption &option) {
        QStringList names;
        for (const QString &value : parser.values(option))
            names += value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        const QStringList known = UpdateCommands::checkKindNames();
        for (const QString &name : names) {
            if (!known.contains(name))
                throw CliError(QStringLiteral("--%1: no kind is called \"%2\"; the kinds are %3")
                                   .arg(option.names().constFirst(), name, known.join(QStringLiteral(", "))));
        }
        return names;
    };
    options.spell = parser.isSet(SpellOption);
    options.spellLanguage = parser.value(SpellLanguageOption);
    options.words = parser.values(WordsOption);
    options.glossary = parser.value(GlossaryOption);
    options.only = kinds(OnlyOption);
    options.skip = kinds(SkipOption);
    options.reviewFile = parser.value(ReviewOption);
    options.noReview = parser.isSet(CheckNoReviewOption);
    if (options.noReview && !options.reviewFile.isEmpty())
        throw CliError(QStringLiteral("--review and --no-review exclude each other"));
    return UpdateCommands::check(arguments.at(0), arguments.at(1), options);
}

int runPretranslate(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.isSet(OutputOption))
        throw CliError(QStringLiteral("pretranslate needs -o OUT, the file to write"));
    MemoryCommands::PretranslateOptions options;
    options.memories = arguments.mid(2);
    options.output = parser.value(OutputOption);
    if (parser.isSet(FuzzyScoreOption)) {
        bool ok = false;
        options.fuzzyScore = parser.value(FuzzyScoreOption).toInt(&ok);
        if (!ok || options.fuzzyScore < 70 || options.fuzzyScore > 100)
            throw CliError(QStringLiteral("--fuzzy takes a score from 70 to 100, not \"%1\"").arg(parser.value(FuzzyScoreOption)));
    }
    return MemoryCommands::pretranslate(arguments.at(0), arguments.at(1), options);
}

int runReplace(const QCommandLineParser &parser, const QStringList &arguments)
{
    ReplaceCommand::Options options;
    options.matching.regex = parser.isSet(RegexOption);
    options.matching.matchCase = parser.isSet(MatchCaseOption);
    options.matching.wholeWords = parser.isSet(WholeWordsOption);
    options.dryRun = parser.isSet(DryRunOption);
    options.output = parser.value(OutputOption);
    return ReplaceCommand::run(arguments.at(0), arguments.at(1), arguments.at(2), options);
}

int runSpell(const QCommandLineParser &parser, const QStringList &arguments)
{
    UpdateCommands::CheckOptions options;
    options.json = parser.isSet(JsonOption);
    options.spellLanguage = parser.value(SpellLanguageOption);
    options.words = parser.values(WordsOption);
    for (const QString &pattern : parser.values(PlaceholderOption))
        options.placeholders << QRegularExpression(pattern);
    return UpdateCommands::spell(arguments.at(0), options);
}

int runDiff(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (parser.isSet(ByNumberOption))
        return UpdateCommands::diffByNumber(arguments.at(0), arguments.at(1));
    TZelkStrings a;
    TZelkStrings b;
    load(a, arguments.at(0));
    load(b, arguments.at(1));
    BufferedOutput out(stdout);
    bool different = false;
    // One line per difference: what differs, then the value in A and in B.
    const auto line = [&](quint32 index, const char *kind) -> BufferedOutput & {
        different = true;
        return out.number(index).ascii("\t").ascii(kind).ascii("\t");
    };
    const auto text = [&](const QString &value) -> BufferedOutput & {
        return out.text(value, BufferedOutput::Escape::Table);
    };
    if (a.NewFormat() != b.NewFormat()) {
        different = true;
        out.ascii("layout\t").text(layoutName(a.NewFormat())).ascii("\t").text(layoutName(b.NewFormat())).ascii("\n");
    }
    const quint32 common = std::min(a.EntryCount(), b.EntryCount());
    for (quint32 i = 0; i < common; ++i) {
        if (a.entryText(i) != b.entryText(i)) {
            line(i, "text");
            text(a.entryText(i)).ascii("\t");
            text(b.entryText(i)).ascii("\n");
        }
        if (a.GetNumber(i) != b.GetNumber(i))
            line(i, "number").hex8(a.GetNumber(i)).ascii("\t").hex8(b.GetNumber(i)).ascii("\n");
    }
    for (quint32 i = common; i < a.EntryCount(); ++i) {
        line(i, "removed").hex8(a.GetNumber(i)).ascii("\t");
        text(a.entryText(i)).ascii("\n");
    }
    quint32 differing = 0;
    for (quint32 i = 0; i < common; ++i)
        differing += (a.entryText(i) != b.entryText(i) || a.GetNumber(i) != b.GetNumber(i)) ? 1 : 0;
    for (quint32 i = common; i < b.EntryCount(); ++i) {
        line(i, "added").hex8(b.GetNumber(i)).ascii("\t");
        text(b.entryText(i)).ascii("\n");
    }
    finish(out);
    // Entries that moved show as changes by index; by number they would not.
    const quint32 entries = std::max(a.EntryCount(), b.EntryCount());
    differing += entries - common;
    if (entries > 0 && quint64(differing) * 10 > entries && numberIdentityObstacle(a).isEmpty() && numberIdentityObstacle(b).isEmpty())
        note(QStringLiteral("the files pair by number: zelkstr diff --by-number shows what changed"));
    return different ? Different : Success;
}

const QList<Command> &commands()
{
    static const QList<Command> list = {
        {"info", "info FILE", "layout, entry count, size, empty texts and repeated numbers",
         "Prints what a strings file holds: its layout (new or old), the number of entries, the file's size,\n"
         "how many texts are empty, how many numbers occur more than once (and in how many entries), and how\n"
         "many texts are not valid UTF-8 (the games read them as empty; zelkstr and the editor keep their bytes).",
         {}, 1, 1, runInfo},
        {"dump", "dump FILE [--json]", "every entry: index, number and text",
         "Prints every entry on a line of its own: index, number (eight hexadecimal digits) and text, separated\n"
         "by tabs. In texts a backslash, tab, line feed and carriage return are written \\\\, \\t, \\n and \\r;\n"
         "a text that is not valid UTF-8 shows its other bytes as \\xHH. With --json, prints one JSON document\n"
         "with the layout and the same three fields per entry, and \"invalid_utf8\" (the bytes in hexadecimal)\n"
         "for a text that is not valid UTF-8.",
         {JsonOption}, 1, 1, runDump},
        {"hash", "hash KEY...", "the key hash of each key",
         "Prints the key hash of each KEY as eight uppercase hexadecimal digits, one per line, as the\n"
         "editor's Hash command computes it (the key in the Windows-1252 code page, a-z taken as A-Z).",
         {}, 1, -1, runHash},
        {"convert", "convert IN OUT --layout old|new", "rewrites a file in the chosen layout",
         "Writes OUT with the entries of IN in the chosen layout. The old layout has no numbers: converting\n"
         "to it drops them, and converting back gives every entry the number 0.",
         {LayoutOption}, 2, 2, runConvert},
        {"export", "export FILE OUT.csv|OUT.po|OUT.pot|OUT.tmx [--source SRCFILE] [--template]",
         "a CSV or gettext PO catalogue, or a TMX memory, of the texts",
         "Writes a catalogue of FILE's entries, chosen by OUT's extension: a CSV file (RFC 4180) with the\n"
         "columns index, number and text, or a gettext PO catalogue. A PO message's context names its entry:\n"
         "\"NUMBER\" (eight hexadecimal digits) when FILE's numbers tell its entries apart (the new layout,\n"
         "no non-zero number twice), \"INDEX:NUMBER\" otherwise and for entries with the number 0.\n"
         "With --source, the catalogue is bilingual: the source texts come from SRCFILE (another language's\n"
         "file, entries paired by number, or by index where numbers cannot pair them) and FILE's texts are\n"
         "the translations. With --template, or a name ending in .pot, every translation is empty and the\n"
         "header is a template's, for gettext's msgmerge. OUT.tmx (with --source) is a TMX 1.4 memory for CAT\n"
         "tools: one unit per translated entry, its tuid the entry's PO context, its languages those of the\n"
         "files' extensions (.eng en-US, .fre fr-FR, .ger de-DE, .cze cs-CZ, .swe sv-SE, .fin fi-FI).",
         {SourceOption, TemplateOption}, 2, 2, runExport},
        {"import", "import FILE IN.csv|IN.po -o OUT [--source SRCFILE] [--force] [--set-numbers] [--fuzzy] [--layout old|new] [--delimiter ,|;|tab]",
         "texts from a catalogue, each put where it belongs",
         "Writes OUT: FILE with the texts taken from the catalogue IN. Entries are found by number where\n"
         "FILE's numbers tell them apart (a PO context \"NUMBER\", a CSV row's number), by index otherwise\n"
         "(\"INDEX:NUMBER\", or --set-numbers); the rest of what names an entry must agree with it. With\n"
         "--source, a message's source text (the msgid, or a bilingual CSV's source column) must equal that\n"
         "of SRCFILE's entry. Anything that does not agree is a mismatch: nothing is written, and the count\n"
         "and the first ten are printed; --force imports what pairs and skips the rest. --set-numbers gives\n"
         "entries the CSV catalogue's numbers. PO messages marked fuzzy are skipped (and counted) unless\n"
         "--fuzzy is given. Entries the catalogue does not mention, and PO messages without a translation,\n"
         "keep their text. OUT keeps FILE's layout unless --layout is given. A CSV catalogue's fields are\n"
         "separated by commas unless --delimiter says ; or tab. The last line on stderr counts the texts\n"
         "imported and the catalogue's entries skipped.",
         {OutputOption, LayoutOption, SourceOption, ForceOption, SetNumbersOption, FuzzyOption, DelimiterOption}, 2, 2, runImport},
        {"create", "create OUT IN.csv|IN.po [--layout new|old] [--delimiter ,|;|tab] [--fuzzy]",
         "a strings file from a catalogue alone",
         "Writes OUT, a strings file made from the catalogue IN: one entry per row or message, with its number.\n"
         "Rows and messages that name their entry by index must name each of 0 to n - 1 once; PO messages that\n"
         "name their entry by number only (context \"NUMBER\") become the entries in their order. A message\n"
         "still to translate, or marked fuzzy (unless --fuzzy is given), gets its source text. --layout old\n"
         "writes the old layout, without numbers; the new layout is the default.",
         {LayoutOption, DelimiterOption, FuzzyOption}, 2, 2, runCreate},
        {"merge", "merge OLD_SOURCE OLD_TRANSLATION NEW_SOURCE -o NEW_TRANSLATION [--json REPORT] [--no-review]",
         "carries a translation over to a new version of the game",
         "Writes NEW_TRANSLATION with NEW_SOURCE's entries, order, numbers and layout. Each entry gets the\n"
         "old translation of its old source entry: kept when the source text is unchanged, changed (to look\n"
         "at again) when it changed; an entry with no old source entry or no old translation gets\n"
         "NEW_SOURCE's text (new). Old entries are found by number, or where numbers cannot pair the files,\n"
         "first by texts that occur once in each, then by index. The last line on stderr counts kept,\n"
         "changed, new and removed entries; --json REPORT writes every changed, new and removed entry.\n"
         "NEW_TRANSLATION.review.json lists every changed and new entry for review (the editor marks them\n"
         "until the translator is done with them); --no-review writes none. A warning says when the old\n"
         "translation looks like the old source, or when few entries pair by number: files in the wrong\n"
         "order, or of another game.",
         {OutputOption, ReportOption, NoReviewOption}, 3, 3, runMerge},
        {"check", "check SOURCE TRANSLATION [--json] [--only KINDS|--skip KINDS] [--placeholder REGEX]... [--max-length-ratio R] [--review FILE|--no-review] [--spell [--spell-language CODE] [--words FILE]...] [--glossary FILE]",
         "what in a translation breaks the game or the screen",
         "Compares each entry of TRANSLATION with its SOURCE entry (paired by number, or by index) and\n"
         "prints one line per finding, \"INDEX NUMBER KIND: detail\", by index:\n"
         "  line-breaks     their number differs\n"
         "  placeholders    printf %s %5.2f %1$s %%, braces {0} {name}, tags <b> </b> <color=#f00>, and\n"
         "                  --placeholder patterns, compared as multisets\n"
         "  spaces          leading or trailing blanks differ\n"
         "  empty           the translation is empty\n"
         "  untranslated    the translation is its source, which has words of a language (not a code,\n"
         "                  a version number, or numbers and punctuation only)\n"
         "  length          longer than R times the source (--max-length-ratio R)\n"
         "  numbers         the numbers differ (1,000 = 1 000 = 1000; 1.5 = 1,5)\n"
         "  urls            web and e-mail addresses differ\n"
         "  brackets        () [] {} or quotation marks of any style open or close another number of times\n"
         "  punctuation     the last mark (? ! . : ...) differs; French spacing before it is fine\n"
         "  double-spaces   two spaces in a row where the source has none\n"
         "  repeated-words  a word twice in a row (\"la la\") where the source repeats none\n"
         "  tabs            their number differs\n"
         "  unpaired        a translation entry no source entry pairs with\n"
         "  missing         a source entry with no translation entry\n"
         "  damaged         the translation's text lies past the end of the file, or runs to its end\n"
         "                  without a terminator: the file may have been cut short\n"
         "  to-review       still to review after an update: TRANSLATION.review.json, when it exists (or\n"
         "                  --review FILE), lists these, and findings accepted there as they are are left\n"
         "                  out; --no-review ignores it\n"
         "  spelling        with --spell: a misspelt word of the translation, with Hunspell's suggestions\n"
         "                  (the dictionary of its extension's language, or --spell-language; words the\n"
         "                  editor's personal list or a --words list accepts, placeholders, tags, codes,\n"
         "                  addresses and words the source has too are not checked)\n"
         "  inconsistent    the same source text as other entries, translated otherwise\n"
         "  glossary        with --glossary FILE: the source has a term of the glossary (whole words,\n"
         "                  case ignored) and the translation none of its translations; FILE is CSV\n"
         "                  (UTF-8) with the header term,translation,note, translations separated by |\n"
         "--only KINDS and --skip KINDS (comma-separated) choose the kinds reported. Exit status 0 when\n"
         "nothing is found, 1 when something is.",
         {JsonOption, OnlyOption, SkipOption, PlaceholderOption, LengthRatioOption, ReviewOption, CheckNoReviewOption, SpellOption,
          SpellLanguageOption, WordsOption, GlossaryOption},
         2, 2, runCheck},
        {"pretranslate", "pretranslate SOURCE TRANSLATION [MEMORY.tmx]... -o OUT [--fuzzy SCORE]",
         "fills untranslated entries from translation memories",
         "Writes OUT: TRANSLATION with its untranslated entries (empty, or still the source's text) filled from\n"
         "memories: TRANSLATION's own translated entries, and each MEMORY.tmx (TMX 1.4, its languages found\n"
         "by the files' extensions). An entry whose source text a memory holds as it is gets that translation.\n"
         "With --fuzzy SCORE (70 to 100), an entry whose source is at least SCORE per cent alike (words\n"
         "compared, case ignored, placeholders and numbers one word each) gets the best one's translation too,\n"
         "and OUT.review.json lists it to review, with the memory's source. What TRANSLATION.review.json\n"
         "lists stays listed. The last line on stderr is \"filled K (exact E, fuzzy F), left U\".",
         {OutputOption, FuzzyScoreOption}, 2, -1, runPretranslate},
        {"spell", "spell FILE [--json] [--spell-language CODE] [--words FILE]... [--placeholder REGEX]...",
         "the misspelt words of a file",
         "Prints one line per misspelt word of each entry of FILE, \"INDEX NUMBER spelling: \\\"WORD\\\" (suggestions:\n"
         "A, B, C)\", as check --spell does, with the dictionary of FILE's language (.eng en_US, .fre fr_FR,\n"
         ".ger de_DE, .cze cs_CZ, .swe sv_SE, .fin fi_FI) or --spell-language. Dictionaries are looked for in\n"
         "/usr/share/hunspell, in dictionaries/ beside the program and in the user's data folder's\n"
         "dictionaries/. Exit status 0 when every word is known, 1 when not, 2 when the dictionary is missing.",
         {JsonOption, SpellLanguageOption, WordsOption, PlaceholderOption}, 1, 1, runSpell},
        {"replace", "replace FILE FIND REPLACEMENT -o OUT [--regex] [--match-case] [--whole-words] [--dry-run]",
         "replaces a text or pattern in every text",
         "Writes OUT: FILE with every occurrence of FIND in its texts replaced by REPLACEMENT, case ignored\n"
         "unless --match-case is given. --whole-words replaces only occurrences that are whole words. With\n"
         "--regex, FIND is a regular expression (Perl-like, as Qt reads it) and \\1 to \\99 in REPLACEMENT\n"
         "stand for what its groups matched (\\\\ for a backslash). Prints one line per changed entry,\n"
         "\"INDEX NUMBER: BEFORE -> AFTER\", texts written as dump writes them; the last line on stderr is\n"
         "\"replaced in K texts (M occurrences)\". --dry-run prints the changes and writes nothing.",
         {OutputOption, RegexOption, MatchCaseOption, WholeWordsOption, DryRunOption}, 3, 3, runReplace},
        {"diff", "diff A B [--by-number]", "the entries that differ between two files",
         "Prints, by index, the entries that differ between A and B, one per line: \"text\" and \"number\"\n"
         "changes with the old and new value, \"removed\" and \"added\" entries with their number and text,\n"
         "and a \"layout\" line when the layouts differ. With --by-number, entries are paired by number\n"
         "(a moved entry is no change): NUMBER, then added, removed or changed, the index and the text(s).\n"
         "Exit status 0 when the files are equal, 1 when not.",
         {ByNumberOption}, 2, 2, runDiff},
    };
    return list;
}

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString overallHelp()
{
    QString help = QStringLiteral("Usage: zelkstr COMMAND [ARGUMENTS]\n"
                                  "Batch work on Zelk strings files: inspect, convert, translate and compare.\n\n"
                                  "Commands:\n");
    for (const Command &command : commands())
        help += QStringLiteral("  %1\n      %2\n").arg(QLatin1String(command.synopsis), QLatin1String(command.summary));
    help += QStringLiteral("\nOptions:\n"
                           "  -h, --help     Show this help.\n"
                           "  -v, --version  Show the version.\n\n"
                           "\"zelkstr help COMMAND\" explains one command.\n"
                           "Exit status: 0 on success, 1 when diff finds differences or check finds problems, 2 on any error.\n");
    return help;
}

void configure(QCommandLineParser &parser, const Command &command)
{
    parser.setApplicationDescription(QString::fromLatin1(command.description));
    parser.addOptions(command.options);
    // Qt's own help option adds -? on Windows: the same option everywhere.
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Displays help on commandline options.")));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
}

QString commandHelp(const Command &command)
{
    QCommandLineParser parser;
    configure(parser, command);
    QString help = parser.helpText();
    // Qt's usage line names the program only; give the command's own.
    const qsizetype end = help.indexOf(QLatin1Char('\n'));
    return QStringLiteral("Usage: zelkstr %1").arg(QLatin1String(command.synopsis)) + help.mid(end);
}

int printOut(const QString &text)
{
    BufferedOutput out(stdout);
    out.text(text);
    return finish(out);
}

// gettext's library ends the process itself when it runs out of memory (after
// saying so); a command that ends that way must not look like a result.
bool commandRunning = false;

void exitDuringCommand()
{
    if (commandRunning)
        std::_Exit(Failure);
}

int runCommand(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    configure(parser, command);
    if (!parser.parse(QStringList{QStringLiteral("zelkstr")} + arguments))
        throw CliError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        return printOut(commandHelp(command));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < command.minArguments
        || (command.maxArguments >= 0 && positional.size() > command.maxArguments))
        throw CliError(QStringLiteral("usage: zelkstr %1").arg(QLatin1String(command.synopsis)));
    return command.run(parser, positional);
}

} // namespace

int runCommandLine(const QStringList &arguments)
{
    static const bool exitHandled = std::atexit(exitDuringCommand) == 0;
    Q_UNUSED(exitHandled);
    struct Running
    {
        Running() { commandRunning = true; }
        ~Running() { commandRunning = false; }
    } running;
    try {
        const QString first = arguments.value(1);
        if (arguments.size() < 2) {
            printError(QStringLiteral("no command given; see zelkstr --help"));
            return Failure;
        }
        if (first == QLatin1String("--help") || first == QLatin1String("-h"))
            return printOut(overallHelp());
        if (first == QLatin1String("--version") || first == QLatin1String("-v"))
            return printOut(QStringLiteral("zelkstr 3.0\n"));
        if (first == QLatin1String(SpellingSuggestions::HelperArgument))
            return SpellingSuggestions::runHelper(arguments.value(2), 3);
        if (first == QLatin1String("help")) {
            if (arguments.size() < 3)
                return printOut(overallHelp());
            const Command *command = findCommand(arguments.at(2));
            if (!command)
                throw CliError(QStringLiteral("unknown command \"%1\"; see zelkstr --help").arg(arguments.at(2)));
            return printOut(commandHelp(*command));
        }
        const Command *command = findCommand(first);
        if (!command)
            throw CliError(QStringLiteral("unknown command \"%1\"; see zelkstr --help").arg(first));
        return runCommand(*command, arguments.mid(2));
    } catch (const CliError &error) {
        printError(error.message());
    } catch (const StringsError &error) {
        printError(error.message());
    } catch (const TranslationError &error) {
        printError(error.message());
    } catch (const std::bad_alloc &) {
        printError(QStringLiteral("out of memory"));
    }
    return Failure;
}
