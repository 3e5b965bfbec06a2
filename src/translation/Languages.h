#pragma once

#include <QString>
#include <QStringList>

// The languages of the games' strings files, known by their extension.
struct Language
{
    const char *extension;  // "fre"
    const char *name;       // "French"
    QStringList dictionaries; // Hunspell's codes, the one to prefer first
    const char *package;    // Debian's package of the dictionary, "" for none
};

namespace Languages {

// The language of a file by its extension (case ignored), nullptr for none.
const Language *ofFile(const QString &fileName);
// The language whose dictionary has this code, nullptr for none.
const Language *ofDictionary(const QString &code);
// The language tag of a file by its extension, as TMX files name
// languages ("fr-FR"), empty for an unknown extension.
QString tag(const QString &fileName);
// "French — lang.fre", or the file name alone for an unknown extension.
QString label(const QString &fileName);

} // namespace Languages
