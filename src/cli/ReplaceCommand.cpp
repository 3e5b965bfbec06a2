#include "ReplaceCommand.h"

#include "Catalogue.h"
#include "CommandSupport.h"
#include "TextOutput.h"
#include "TranslationError.h"
#include "uZelkStrings.h"

using namespace CommandSupport;

int ReplaceCommand::run(const QString &fileName, const QString &find, const QString &replacement, const Options &options)
{
    if (!options.dryRun && options.output.isEmpty())
        throw CliError(QStringLiteral("replace needs -o OUT, the file to write, or --dry-run"));
    if (replacement.contains(QChar(0)))
        throw CliError(QStringLiteral("the replacement holds a NUL character, which a text cannot hold"));
    const TextReplacer replacer(find, replacement, options.matching);
    TZelkStrings table;
    load(table, fileName);
    BufferedOutput out(stdout);
    std::vector<quint32> changed;
    quint64 occurrences = 0;
    TextReplacer::Result result;
    for (quint32 i = 0; i < table.EntryCount(); ++i) {
        // A text that is not UTF-8 reads as empty and keeps its bytes.
        if (table.isUnreadable(i) || !replacer.replace(table.entryText(i), result))
            continue;
        out.number(i).ascii(" ").hex8(table.GetNumber(i)).ascii(": ");
        out.text(table.entryText(i), BufferedOutput::Escape::Table).ascii(" -> ");
        out.text(result.text, BufferedOutput::Escape::Table).ascii("\n");
        table.SetEntry(i, result.text);
        changed.push_back(i);
        occurrences += quint64(result.occurrences);
    }
    finish(out);
    checkStorable(table, changed);
    if (!options.dryRun)
        table.SaveToFile(options.output);
    note(QStringLiteral("replaced in %1 texts (%2 occurrences)%3")
             .arg(changed.size())
             .arg(occurrences)
             .arg(options.dryRun ? QStringLiteral("; nothing was written (--dry-run)") : QString()));
    return Success;
}
