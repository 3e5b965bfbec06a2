#pragma once

#include "Catalogue.h"

#include <QByteArray>
#include <QDateTime>

// gettext PO catalogues, read and written by gettext's own library. Each
// entry is one message whose context names it, so that equal texts stay
// separate messages: "NUMBER" where the numbers identify the entries,
// "INDEX:NUMBER" otherwise. The source text is the msgid and the entry's text
// the msgstr (empty in a template).
namespace PoCatalogue {

struct Header
{
    QString project;
    QString language;
    QDateTime revised;
};

void write(const ExportTables &tables, const Header &header, BufferedOutput &out);

// Reads a catalogue's messages. A message without a translation is left out
// (its entry keeps its text) unless untranslated asks for it, marked; an
// obsolete one always. Messages marked fuzzy are read with the mark.
std::vector<ImportedEntry> read(const QString &fileName, bool untranslated = false);
// The same through gettext's library alone, which read() leaves out for a
// plain catalogue.
std::vector<ImportedEntry> readWithLibrary(const QByteArray &content, const QString &fileName, bool untranslated = false);

// The language code gettext uses for a strings file's extension, if known.
QString languageOf(const QString &fileName);

} // namespace PoCatalogue
