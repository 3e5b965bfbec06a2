#pragma once

#include "Catalogue.h"

#include <QByteArray>
#include <QDateTime>

// gettext PO catalogues, read and written by gettext's own library. Each
// entry is one message whose context is "index:NUMBER", so that equal texts
// stay separate messages; the source text is the msgid and the entry's text
// the msgstr.
namespace PoCatalogue {

struct Header
{
    QString project;
    QString language;
    QDateTime revised;
};

QByteArray write(const ExportTables &tables, const Header &header);

// Reads a catalogue's messages. A message without a translation, and an
// obsolete one, is left out: its entry keeps its text.
std::vector<ImportedEntry> read(const QString &fileName);

// The language code gettext uses for a strings file's extension, if known.
QString languageOf(const QString &fileName);

} // namespace PoCatalogue
