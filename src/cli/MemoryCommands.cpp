#include "MemoryCommands.h"

#include "Catalogue.h"
#include "CommandSupport.h"
#include "Languages.h"
#include "Pairing.h"
#include "ReviewFile.h"
#include "ReviewState.h"
#include "Tmx.h"
#include "TranslationChecks.h"
#include "TranslationError.h"
#include "TranslationMemory.h"
#include "uZelkStrings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

using namespace CommandSupport;

namespace {

QString languageTag(const QString &fileName)
{
    const QString tag = Languages::tag(fileName);
    if (tag.isEmpty())
        throw CliError(QStringLiteral("%1: its language is not known by its extension (.eng, .fre, .ger, .cze, .swe, .fin)")
                           .arg(fileName));
    return tag;
}

QString units(quint32 count)
{
    return QStringLiteral("%1 unit%2").arg(count).arg(count == 1 ? QString() : QStringLiteral("s"));
}

// The translation's own pairs, each found by its entry, then the memory
// files' pairs.
TranslationMemory buildMemory(const TZelkStrings &source, const TZelkStrings &translation, const Pairing &pairing,
                              const MemoryCommands::PretranslateOptions &options,
                              const QString &sourceName, const QString &translationName)
{
    std::vector<quint32> partners(translation.EntryCount());
    for (quint32 i = 0; i < translation.EntryCount(); ++i)
        partners[i] = pairing.partnerOfSecond(i);
    TranslationMemory memory = TranslationMemory::ofDocument(translation, source, partners);
    for (const QString &file : options.memories) {
        Tmx::Document document;
        try {
            document = Tmx::read(file, Languages::tag(sourceName), Languages::tag(translationName));
        } catch (const TranslationError &error) {
            throw CliError(error.message());
        }
        for (const Tmx::Unit &unit : document.units)
            memory.add(unit.source, unit.translation);
        note(QStringLiteral("%1: %2 from %3 to %4%5")
                 .arg(file, units(quint32(document.units.size())), document.sourceLanguage, document.targetLanguage,
                      document.skipped ? QStringLiteral(" (skipped %1 without both languages)").arg(document.skipped) : QString()));
    }
    memory.prepare();
    return memory;
}

} // namespace

int MemoryCommands::exportTmx(const QString &translationName, const QString &output, const QString &sourceName)
{
    TZelkStrings translation;
    TZelkStrings source;
    load(translation, translationName);
    load(source, sourceName);
    Tmx::Document document;
    document.sourceLanguage = languageTag(sourceName);
    document.targetLanguage = languageTag(translationName);
    const Pairing pairing = Pairing::pair(translation, source);
    notePairing(pairing, translationName, sourceName);
    ExportTables tables{translation};
    tables.numberContexts = numberIdentityObstacle(translation).isEmpty();
    const TranslationChecker checker;
    quint32 unwritable = 0;
    for (quint32 i = 0; i < translation.EntryCount(); ++i) {
        const quint32 partner = pairing.partnerOfFirst(i);
        if (partner == Pairing::NoPartner || translation.isUnreadable(i) || source.isUnreadable(partner)
            || checker.isUntranslated(source.entryText(partner), translation.entryText(i)))
            continue;
        Tmx::Unit unit{tables.entryKey(i), source.entryText(partner), translation.entryText(i)};
        if (Tmx::canHold(unit))
            document.units.push_back(std::move(unit));
        else
            ++unwritable;
    }
    Tmx::write(output, document, QStringLiteral("zelkstr"), QCoreApplication::applicationVersion());
    if (unwritable)
        note(QStringLiteral("left out %1 with control characters, which TMX files cannot hold").arg(units(unwritable)));
    note(QStringLiteral("wrote %1").arg(units(quint32(document.units.size()))));
    return Success;
}

int MemoryCommands::pretranslate(const QString &sourceName, const QString &translationName, const PretranslateOptions &options)
{
    TZelkStrings source;
    TZelkStrings translation;
    load(source, sourceName);
    load(translation, translationName);
    const QString reviewName = ReviewFile::pathFor(options.output);
    if (!ReviewFile::mayReplace(reviewName))
        throw CliError(QStringLiteral("%1 is not a review file this program reads; it was left as it is, and nothing was written")
                           .arg(reviewName));
    // What was still to review in the translation stays so in the output.
    ReviewState review;
    const QString ownReview = ReviewFile::pathFor(translationName);
    if (QFileInfo::exists(ownReview)) {
        try {
            review.assign(ReviewFile::read(ownReview), translation);
        } catch (const TranslationError &error) {
            throw CliError(error.message());
        }
    }
    const Pairing pairing = Pairing::pair(source, translation);
    notePairing(pairing, sourceName, translationName);
    const TranslationChecker checker;
    const TranslationMemory memory = buildMemory(source, translation, pairing, options, sourceName, translationName);
    quint32 exact = 0;
    quint32 fuzzy = 0;
    quint32 left = 0;
    std::vector<quint32> filled;
    for (quint32 i = 0; i < translation.EntryCount(); ++i) {
        const quint32 partner = pairing.partnerOfSecond(i);
        if (partner == Pairing::NoPartner || !checker.isUntranslated(source.entryText(partner), translation.entryText(i)))
            continue;
        const QString &sourceText = source.entryText(partner);
        const auto best = memory.lookup(sourceText, i, options.fuzzyScore > 0 ? options.fuzzyScore : 100, 1);
        if (best.empty()) {
            ++left;
            continue;
        }
        const TranslationMemory::Match &match = best.front();
        translation.SetEntry(i, match.translation);
        filled.push_back(i);
        if (match.score == 100) {
            ++exact;
            continue;
        }
        ++fuzzy;
        ReviewEntry entry;
        entry.state = ReviewEntry::State::Fuzzy;
        entry.oldSource = match.source;
        entry.newSource = sourceText;
        entry.score = match.score;
        review.set(i, entry);
    }
    checkStorable(translation, filled);
    translation.SaveToFile(options.output);
    const ReviewFile file = review.toFile(translation);
    if (!file.entries.empty()) {
        file.write(reviewName);
        note(QStringLiteral("what to review: %1").arg(reviewName));
    } else if (QFileInfo::exists(reviewName) && !QFile::remove(reviewName)) {
        throw CliError(QStringLiteral("%1 is out of date and could not be removed").arg(reviewName));
    }
    note(QStringLiteral("filled %1 (exact %2, fuzzy %3), left %4").arg(exact + fuzzy).arg(exact).arg(fuzzy).arg(left));
    return Success;
}
