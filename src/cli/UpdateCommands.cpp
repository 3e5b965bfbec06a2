#include "UpdateCommands.h"

#include "Catalogue.h"
#include "CommandSupport.h"
#include "Consistency.h"
#include "Glossary.h"
#include "Pairing.h"
#include "ReviewFile.h"
#include "ReviewState.h"
#include "SpellChecker.h"
#include "SpellingSuggestions.h"
#include "TextOutput.h"
#include "TranslationChecks.h"
#include "TranslationError.h"
#include "TranslationMerge.h"
#include "uZelkStrings.h"

#include <QFileInfo>
#include <QSet>

#include <optional>

#include <algorithm>
#include <cstdio>

using namespace CommandSupport;

namespace {

using Escape = BufferedOutput::Escape;

const char *outcomeName(TranslationMerge::Outcome outcome)
{
    switch (outcome) {
    case TranslationMerge::Outcome::Kept:
        return "kept";
    case TranslationMerge::Outcome::Changed:
        return "changed";
    case TranslationMerge::Outcome::New:
        return "new";
    }
    return "";
}

void jsonText(BufferedOutput &out, const char *name, const QString *text)
{
    out.ascii(", \"").ascii(name).ascii("\": ");
    if (text)
        out.text(*text, Escape::Json);
    else
        out.ascii("null");
}

void mergeReport(const TranslationMerge &merge, const TZelkStrings &oldSource, const TZelkStrings &oldTranslation,
                 const TZelkStrings &newSource, BufferedOutput &out)
{
    out.ascii("{\"counts\": {\"kept\": ").number(merge.count(TranslationMerge::Outcome::Kept));
    out.ascii(", \"changed\": ").number(merge.count(TranslationMerge::Outcome::Changed));
    out.ascii(", \"new\": ").number(merge.count(TranslationMerge::Outcome::New));
    out.ascii(", \"removed\": ").number(merge.removed().size()).ascii("},\n \"entries\": [");
    bool first = true;
    const auto begin = [&](const char *status) {
        out.ascii(first ? "\n  {\"status\": \"" : ",\n  {\"status\": \"").ascii(status).ascii("\"");
        first = false;
    };
    for (quint32 i = 0; i < newSource.EntryCount(); ++i) {
        const TranslationMerge::Entry &entry = merge.entries()[i];
        if (entry.outcome == TranslationMerge::Outcome::Kept)
            continue;
        begin(outcomeName(entry.outcome));
        out.ascii(", \"index\": ").number(i).ascii(", \"number\": \"").hex8(newSource.GetNumber(i)).ascii("\"");
        const bool hasOld = entry.oldSourceIndex != Pairing::NoPartner;
        jsonText(out, "oldSource", hasOld ? &oldSource.entryText(entry.oldSourceIndex) : nullptr);
        jsonText(out, "newSource", &newSource.entryText(i));
        jsonText(out, "translation", &merge.carriedText(i));
        out.ascii("}");
    }
    for (const quint32 old : merge.removed()) {
        begin("removed");
        out.ascii(", \"index\": ").number(old).ascii(", \"number\": \"").hex8(oldSource.GetNumber(old)).ascii("\"");
        jsonText(out, "oldSource", &oldSource.entryText(old));
        jsonText(out, "newSource", nullptr);
        const quint32 translation = merge.sourceToTranslation().partnerOfFirst(old);
        jsonText(out, "translation", translation != Pairing::NoPartner ? &oldTranslation.entryText(translation) : nullptr);
        out.ascii("}");
    }
    out.ascii(first ? "]}\n" : "\n]}\n");
}

struct CheckLine
{
    quint32 index;
    quint32 number;
    QString kind;
    QString detail;
};

// What a review file says is still to do with an entry.
QString reviewDetail(const ReviewEntry &entry)
{
    switch (entry.state) {
    case ReviewEntry::State::Changed:
        return QStringLiteral("the source changed from \"%1\" to \"%2\"").arg(entry.oldSource, entry.newSource);
    case ReviewEntry::State::New:
        return QStringLiteral("new in this version");
    case ReviewEntry::State::Fuzzy:
        return QStringLiteral("filled from a memory (%1 %) where the source was \"%2\"").arg(entry.score).arg(entry.oldSource);
    case ReviewEntry::State::Accepted:
        break;
    }
    return QString();
}

// Whether check reports a kind.
bool wanted(const UpdateCommands::CheckOptions &options, const QString &kind)
{
    return !options.skip.contains(kind) && (options.only.isEmpty() || options.only.contains(kind));
}

struct CheckInput
{
    const TZelkStrings &source;
    const TZelkStrings &translation;
    const Pairing &pairing;
    const TranslationChecker &checker;
    const ReviewState &review;
    const Glossary *glossary;
};

// Findings that need an entry's source and translation alone; the
// translated entries are kept for the findings that compare entries.
void findPairProblems(const CheckInput &input, quint32 i, quint32 partner, std::vector<CheckLine> &lines,
                      std::vector<quint32> &translated)
{
    const QString &sourceText = input.source.entryText(partner);
    const QString &text = input.translation.entryText(i);
    const quint32 number = input.translation.GetNumber(i);
    const QStringList accepted = input.review.acceptedKinds(i, sourceText, text);
    bool untranslated = false;
    for (const Finding &finding : input.checker.check(sourceText, text)) {
        untranslated = untranslated || finding.kind == FindingKind::Empty || finding.kind == FindingKind::Untranslated;
        const QString kind = findingKindName(finding.kind);
        if (!accepted.contains(kind))
            lines.push_back({i, number, kind, finding.detail});
    }
    if (!untranslated && !text.isEmpty())
        translated.push_back(i);
    if (input.glossary && !untranslated && !accepted.contains(QStringLiteral("glossary"))) {
        for (const Glossary::Term *term : input.glossary->missing(sourceText, text))
            lines.push_back({i, number, QStringLiteral("glossary"), Glossary::describe(*term)});
    }
}

void findInconsistencies(const CheckInput &input, const std::vector<quint32> &translated, std::vector<CheckLine> &lines)
{
    const auto sourceOf = [&](quint32 i) -> const QString & { return input.source.entryText(input.pairing.partnerOfSecond(i)); };
    const auto translationOf = [&](quint32 i) -> const QString & { return input.translation.entryText(i); };
    for (const auto &[i, detail] : Consistency::find(translated, sourceOf, translationOf)) {
        if (!input.review.acceptedKinds(i, sourceOf(i), translationOf(i)).contains(QStringLiteral("inconsistent")))
            lines.push_back({i, input.translation.GetNumber(i), QStringLiteral("inconsistent"), detail});
    }
}

std::vector<CheckLine> findProblems(const CheckInput &input, bool consistency)
{
    const TZelkStrings &translation = input.translation;
    const TZelkStrings &source = input.source;
    const Pairing &pairing = input.pairing;
    std::vector<CheckLine> lines;
    std::vector<quint32> translated;
    for (quint32 i = 0; i < translation.EntryCount(); ++i) {
        const quint32 number = translation.GetNumber(i);
        if (input.review.isToReview(i))
            lines.push_back({i, number, QStringLiteral("to-review"), reviewDetail(*input.review.entry(i))});
        const quint32 partner = pairing.partnerOfSecond(i);
        if (partner == Pairing::NoPartner) {
            lines.push_back({i, number, QStringLiteral("unpaired"),
                             pairing.kind() == Pairing::Kind::ByNumber && number == 0
                                 ? QStringLiteral("the number 0 pairs with no entry")
                                 : QStringLiteral("no entry of the source pairs with it")});
            continue;
        }
        findPairProblems(input, i, partner, lines, translated);
    }
    if (consistency)
        findInconsistencies(input, translated, lines);
    // A translation cut short shows in the entries it cut.
    for (const quint32 i : translation.damage().pastEnd)
        lines.push_back({i, translation.GetNumber(i), QStringLiteral("damaged"),
                         QStringLiteral("its text lies past the end of the file: the file may be incomplete")});
    for (const quint32 i : translation.damage().unterminated)
        lines.push_back({i, translation.GetNumber(i), QStringLiteral("damaged"),
                         QStringLiteral("its text runs to the end of the file without a terminator: the file may be incomplete")});
    for (quint32 i = 0; i < source.EntryCount(); ++i) {
        if (pairing.partnerOfFirst(i) == Pairing::NoPartner)
            lines.push_back({i, source.GetNumber(i), QStringLiteral("missing"),
                             QStringLiteral("this source entry has no entry in the translation")});
    }
    std::stable_sort(lines.begin(), lines.end(), [](const CheckLine &a, const CheckLine &b) { return a.index < b.index; });
    return lines;
}

// Files given in the wrong order, or of another game version, still merge;
// what gave them away is said.
void warnOfUnlikelyFiles(const TranslationMerge &merge, const TZelkStrings &oldSource, const TZelkStrings &oldTranslation,
                         const TZelkStrings &newSource, const QStringList &names)
{
    const PairedTexts alike = comparePairedTexts(oldSource, oldTranslation, merge.sourceToTranslation());
    if (alike.mostlyIdentical())
        note(QStringLiteral("warning: %1 looks like %2: %3 of its %4 paired texts are the same as their source; "
                            "are the files in the right order?")
                 .arg(names[1], names[0])
                 .arg(alike.identical)
                 .arg(alike.nonEmpty));
    const quint32 count = newSource.EntryCount();
    const quint32 paired = count - merge.oldToNew().unpairedInSecond();
    if (merge.oldToNew().kind() == Pairing::Kind::ByNumber && paired * 2 < count)
        note(QStringLiteral("warning: only %1 of the %2 entries of %3 pair with %4 by number: "
                            "are the files in the right order, and of the same game?")
                 .arg(paired)
                 .arg(count)
                 .arg(names[2], names[0]));
}

} // namespace

int UpdateCommands::merge(const QString &oldSourceName, const QString &oldTranslationName, const QString &newSourceName,
                          const QString &output, const QString &jsonReport, bool writeReview)
{
    TZelkStrings oldSource;
    TZelkStrings oldTranslation;
    TZelkStrings newSource;
    load(oldSource, oldSourceName);
    load(oldTranslation, oldTranslationName);
    load(newSource, newSourceName);
    const QString reviewName = ReviewFile::pathFor(output);
    // Another program's file of that name stays as it is, and so does the output.
    if (writeReview && !ReviewFile::mayReplace(reviewName))
        throw CliError(QStringLiteral("%1 is not a review file this program reads; it was left as it is, "
                                      "and nothing was written (--no-review writes none)")
                           .arg(reviewName));
    const TranslationMerge merge(oldSource, oldTranslation, newSource);
    notePairing(merge.oldToNew(), oldSourceName, newSourceName);
    notePairing(merge.sourceToTranslation(), oldSourceName, oldTranslationName);
    TZelkStrings result;
    merge.build(result);
    result.SaveToFile(output);
    if (!jsonReport.isEmpty())
        writeTextFile(jsonReport, [&](BufferedOutput &out) { mergeReport(merge, oldSource, oldTranslation, newSource, out); });
    warnOfUnlikelyFiles(merge, oldSource, oldTranslation, newSource, {oldSourceName, oldTranslationName, newSourceName});
    if (writeReview) {
        merge.review(result).write(reviewName);
        note(QStringLiteral("what to review: %1").arg(reviewName));
    }
    note(QStringLiteral("kept %1, changed %2, new %3, removed %4")
             .arg(merge.count(TranslationMerge::Outcome::Kept))
             .arg(merge.count(TranslationMerge::Outcome::Changed))
             .arg(merge.count(TranslationMerge::Outcome::New))
             .arg(merge.removed().size()));
    return Success;
}

namespace {

// The dictionary a file's texts are checked with, and the words the user
// accepts: the personal list the editor keeps, and the lists given.
std::unique_ptr<SpellChecker> spellChecker(const QString &fileName, const UpdateCommands::CheckOptions &options)
{
    const QString code = options.spellLanguage.isEmpty() ? Dictionaries::forFile(fileName) : options.spellLanguage;
    if (code.isEmpty())
        throw CliError(QStringLiteral("%1: its language is not known by its extension; give --spell-language").arg(fileName));
    std::unique_ptr<SpellChecker> speller;
    try {
        speller = std::make_unique<SpellChecker>(code);
        speller->acceptFile(Dictionaries::personalWordsFile(code));
        for (const QString &words : options.words) {
            if (!QFileInfo(words).isFile())
                throw CliError(QStringLiteral("%1: no such word list").arg(words));
            speller->acceptFile(words);
        }
    } catch (const TranslationError &error) {
        throw CliError(error.message());
    }
    note(QStringLiteral("checking spelling with %1").arg(code));
    return speller;
}

// One line per misspelt word of each entry; the details, with Hunspell's
// first suggestions (once per word), come from the suggestions started
// here, when they are taken.
struct SpellingLines
{
    std::vector<CheckLine> lines;
    std::vector<quint32> wordOf; // per line
    std::unique_ptr<SpellingSuggestions> suggestions;
    std::vector<QString> words;

    void addTo(std::vector<CheckLine> &all)
    {
        const std::vector<QStringList> found = suggestions->take();
        for (size_t line = 0; line < lines.size(); ++line) {
            const quint32 word = wordOf[line];
            lines[line].detail = QStringLiteral("\"%1\" (%2)")
                                     .arg(words[word], found[word].isEmpty()
                                                           ? QStringLiteral("no suggestions")
                                                           : QStringLiteral("suggestions: ") + found[word].join(QStringLiteral(", ")));
        }
        all.insert(all.end(), lines.begin(), lines.end());
    }
};

SpellingLines findMisspellings(const TZelkStrings &table, const std::function<QString(quint32)> &referenceOf, SpellChecker &speller,
                               const TranslationChecker &checker)
{
    SpellingLines found;
    found.suggestions = std::make_unique<SpellingSuggestions>(speller.code(), 3);
    QHash<QString, quint32> wordIndex;
    for (quint32 i = 0; i < table.EntryCount(); ++i) {
        if (table.isUnreadable(i))
            continue;
        QSet<QString> seen;
        for (const SpellChecker::Misspelling &misspelling : speller.misspellings(table.entryText(i), referenceOf(i), checker)) {
            if (seen.contains(misspelling.word))
                continue;
            seen.insert(misspelling.word);
            auto known = wordIndex.constFind(misspelling.word);
            if (known == wordIndex.constEnd()) {
                known = wordIndex.insert(misspelling.word, quint32(found.words.size()));
                found.words.push_back(misspelling.word);
                found.suggestions->add(misspelling.word);
            }
            found.wordOf.push_back(known.value());
            found.lines.push_back({i, table.GetNumber(i), QStringLiteral("spelling"), QString()});
        }
    }
    return found;
}

void keepKinds(std::vector<CheckLine> &lines, const UpdateCommands::CheckOptions &options)
{
    lines.erase(std::remove_if(lines.begin(), lines.end(), [&](const CheckLine &line) { return !wanted(options, line.kind); }),
                lines.end());
}

int printLines(const std::vector<CheckLine> &lines, bool json)
{
    BufferedOutput out(stdout);
    if (json)
        out.ascii("{\"findings\": [");
    for (size_t i = 0; i < lines.size(); ++i) {
        const CheckLine &line = lines[i];
        if (json) {
            out.ascii(i ? ",\n  {\"index\": " : "\n  {\"index\": ").number(line.index);
            out.ascii(", \"number\": \"").hex8(line.number).ascii("\", \"kind\": \"").text(line.kind);
            out.ascii("\", \"detail\": ").text(line.detail, Escape::Json).ascii("}");
        } else {
            out.number(line.index).ascii(" ").hex8(line.number).ascii(" ").text(line.kind).ascii(": ");
            out.text(line.detail, Escape::Table).ascii("\n");
        }
    }
    if (json)
        out.ascii(lines.empty() ? "]}\n" : "\n]}\n");
    finish(out);
    return lines.empty() ? Success : Different;
}

} // namespace

int UpdateCommands::check(const QString &sourceName, const QString &translationName, const CheckOptions &options)
{
    TZelkStrings source;
    TZelkStrings translation;
    load(source, sourceName);
    load(translation, translationName);
    ReviewState review;
    const QString reviewName = options.reviewFile.isEmpty() ? ReviewFile::pathFor(translationName) : options.reviewFile;
    if (!options.noReview && (!options.reviewFile.isEmpty() || QFileInfo::exists(reviewName))) {
        try {
            review.assign(ReviewFile::read(reviewName), translation);
        } catch (const TranslationError &error) {
            throw CliError(error.message() + QStringLiteral(" (--no-review checks without it)"));
        }
        note(QStringLiteral("reading what to review from %1").arg(reviewName));
    }
    const Pairing pairing = Pairing::pair(source, translation);
    notePairing(pairing, sourceName, translationName);
    noteDamage(source, sourceName);
    const TranslationChecker checker(options.placeholders, options.maxLengthRatio);
    std::optional<Glossary> glossary;
    if (!options.glossary.isEmpty()) {
        try {
            glossary = Glossary::read(options.glossary);
        } catch (const TranslationError &error) {
            throw CliError(error.message());
        }
    }
    // Spelling first: its suggestions are looked up while the rest is checked.
    std::optional<SpellingLines> spelling;
    if (options.spell) {
        const std::unique_ptr<SpellChecker> speller = spellChecker(translationName, options);
        spelling = findMisspellings(
            translation,
            [&](quint32 i) {
                const quint32 partner = pairing.partnerOfSecond(i);
                return partner == Pairing::NoPartner ? QString() : source.entryText(partner);
            },
            *speller, checker);
    }
    const CheckInput input{source, translation, pairing, checker, review, glossary ? &*glossary : nullptr};
    std::vector<CheckLine> lines = findProblems(input, wanted(options, QStringLiteral("inconsistent")));
    if (spelling) {
        spelling->addTo(lines);
        std::stable_sort(lines.begin(), lines.end(), [](const CheckLine &a, const CheckLine &b) { return a.index < b.index; });
    }
    keepKinds(lines, options);
    return printLines(lines, options.json);
}

int UpdateCommands::spell(const QString &fileName, const CheckOptions &options)
{
    TZelkStrings table;
    load(table, fileName);
    const TranslationChecker checker(options.placeholders);
    const std::unique_ptr<SpellChecker> speller = spellChecker(fileName, options);
    std::vector<CheckLine> lines;
    findMisspellings(table, [](quint32) { return QString(); }, *speller, checker).addTo(lines);
    return printLines(lines, options.json);
}

QStringList UpdateCommands::checkKindNames()
{
    QStringList names;
    for (const FindingKind kind : allFindingKinds())
        names << findingKindName(kind);
    names << QStringLiteral("unpaired") << QStringLiteral("missing") << QStringLiteral("to-review") << QStringLiteral("damaged")
          << QStringLiteral("spelling") << QStringLiteral("inconsistent") << QStringLiteral("glossary");
    return names;
}

int UpdateCommands::diffByNumber(const QString &oldName, const QString &newName)
{
    TZelkStrings oldTable;
    TZelkStrings newTable;
    load(oldTable, oldName);
    load(newTable, newName);
    for (const auto &[table, name] : {std::pair{&oldTable, oldName}, std::pair{&newTable, newName}}) {
        const QString obstacle = numberIdentityObstacle(*table);
        if (!obstacle.isEmpty())
            throw CliError(QStringLiteral("%1 cannot be compared by number: %2").arg(name, obstacle));
    }
    const Pairing pairing = Pairing::pair(oldTable, newTable);
    notePairing(pairing, oldName, newName);
    BufferedOutput out(stdout);
    bool different = false;
    const auto line = [&](quint32 number, const char *kind, quint32 index) -> BufferedOutput & {
        different = true;
        return out.hex8(number).ascii("\t").ascii(kind).ascii("\t").number(index).ascii("\t");
    };
    quint32 unpairable = 0;
    for (quint32 i = 0; i < newTable.EntryCount(); ++i) {
        const quint32 old = pairing.partnerOfSecond(i);
        const QString &text = newTable.entryText(i);
        if (newTable.GetNumber(i) == 0)
            ++unpairable;
        else if (old == Pairing::NoPartner)
            line(newTable.GetNumber(i), "added", i).text(text, Escape::Table).ascii("\n");
        else if (oldTable.entryText(old) != text)
            line(newTable.GetNumber(i), "changed", i)
                .text(oldTable.entryText(old), Escape::Table)
                .ascii("\t")
                .text(text, Escape::Table)
                .ascii("\n");
    }
    for (quint32 i = 0; i < oldTable.EntryCount(); ++i) {
        if (oldTable.GetNumber(i) == 0)
            ++unpairable;
        else if (pairing.partnerOfFirst(i) == Pairing::NoPartner)
            line(oldTable.GetNumber(i), "removed", i).text(oldTable.entryText(i), Escape::Table).ascii("\n");
    }
    finish(out);
    if (unpairable)
        note(QStringLiteral("%1 entries with the number 0 cannot be paired and were not compared").arg(unpairable));
    return different ? Different : Success;
}
