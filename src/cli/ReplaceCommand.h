#pragma once

#include "TextMatching.h"

#include <QString>

// zelkstr replace: every occurrence of a text or pattern in a file's texts
// replaced, each changed entry listed.
namespace ReplaceCommand {

struct Options
{
    ReplaceOptions matching;
    bool dryRun = false;
    QString output;
};

int run(const QString &fileName, const QString &find, const QString &replacement, const Options &options);

} // namespace ReplaceCommand
