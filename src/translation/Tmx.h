#pragma once

#include <QString>

#include <vector>

// Translation memories as CAT tools exchange them: TMX 1.4 files of
// translation units, each with a segment per language.
namespace Tmx {

struct Unit
{
    QString id; // tuid, empty for none
    QString source;
    QString translation;
};

struct Document
{
    QString sourceLanguage; // "en-US"
    QString targetLanguage;
    std::vector<Unit> units;
    // Units that lack a segment in one of the two languages.
    quint32 skipped = 0;
};

// Whether a unit's texts can be written: XML holds no control characters
// but tab, line feed and carriage return.
bool canHold(const Unit &unit);

// Writes a TMX 1.4 file atomically; tool and version name the program that
// made it. Failures throw StringsError.
void write(const QString &fileName, const Document &document, const QString &tool, const QString &version);

// Reads a TMX file (1.4, and the lang attribute of 1.1). The languages
// wanted are found by their codes in any case, "en" standing for "en-US"
// and the other way round; an empty source language is the header's
// srclang, an empty target language the one other language of the file.
// Inline markup in segments is read as its text. A file with a DTD is
// refused (its entities are never expanded), as is one that is not
// well-formed, with its line and column. Fails with a TranslationError.
Document read(const QString &fileName, const QString &sourceLanguage, const QString &targetLanguage);
Document fromXml(const QByteArray &bytes, const QString &fileName, const QString &sourceLanguage, const QString &targetLanguage);

} // namespace Tmx
