#include "CommandSupport.h"

#include "Catalogue.h"
#include "Pairing.h"
#include "TextOutput.h"
#include "AtomicFileWriter.h"
#include "uZelkStrings.h"

#include <QFileInfo>

#include <cstdio>

void CommandSupport::load(TZelkStrings &table, const QString &fileName)
{
    try {
        table.LoadFromFile(fileName);
    } catch (const StringsError &error) {
        // Messages that do not name the file get its name in front.
        const QString message = error.message();
        throw CliError(message.contains(QLatin1Char('"')) ? message : fileName + QStringLiteral(": ") + message);
    }
}

void CommandSupport::note(const QString &text)
{
    std::fprintf(stderr, "zelkstr: %s\n", text.toLocal8Bit().constData());
}

void CommandSupport::notePairing(const Pairing &pairing, const QString &firstName, const QString &secondName)
{
    note(QStringLiteral("pairing %1 with %2 %3").arg(secondName, firstName, pairing.description(firstName, secondName)));
}

void CommandSupport::noteDamage(const TZelkStrings &table, const QString &fileName)
{
    if (table.damage().any())
        note(QStringLiteral("warning: %1: %2").arg(fileName, table.damage().describe()));
}

QString CommandSupport::layoutName(bool newFormat)
{
    return newFormat ? QStringLiteral("new") : QStringLiteral("old");
}

int CommandSupport::finish(BufferedOutput &out)
{
    if (!out.finish())
        throw CliError(QStringLiteral("Stream write error"));
    return Success;
}

void CommandSupport::writeTextFile(const QString &fileName, const std::function<void(BufferedOutput &)> &write)
{
    AtomicFileWriter file(fileName);
    {
        BufferedOutput out(file);
        write(out);
        finish(out);
    }
    file.commit();
}

void CommandSupport::checkStorable(const TZelkStrings &table, const std::vector<quint32> &indices)
{
    for (const quint32 i : indices) {
        if (table.isUnreadable(i))
            continue;
        const QString &text = table.entryText(i);
        if (text.contains(QChar(0)))
            throw CliError(QStringLiteral("entry %1: a text cannot hold a NUL character").arg(i));
        if (text.contains(QLatin1Char('^')))
            note(QStringLiteral("warning: entry %1: \"^\" will read back as a line break").arg(i));
        for (qsizetype at = text.indexOf(QLatin1Char('\r')); at >= 0; at = text.indexOf(QLatin1Char('\r'), at + 1)) {
            if (at + 1 >= text.size() || text[at + 1] != QLatin1Char('\n')) {
                note(QStringLiteral("warning: entry %1: a carriage return without a line feed is not written").arg(i));
                break;
            }
        }
    }
}
