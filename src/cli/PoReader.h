#pragma once

#include "Catalogue.h"

#include <QByteArray>

#include <optional>
#include <vector>

// A fast reading of the PO catalogues that need nothing of gettext's library:
// UTF-8 text in the form the library writes, messages of the default domain,
// each named by its context, with the escapes \n \t \r \" and \\ and no
// flag but "fuzzy". Anything else (another charset, plural forms, obsolete
// messages, previous texts, format flags, other escapes, control characters,
// a syntax error, the same message twice, a message the import refuses)
// gives nothing, and the library reads the catalogue, its errors and all.
namespace PoReader {

// With untranslated, messages without a translation are read too (marked).
std::optional<std::vector<ImportedEntry>> readPlain(const QByteArray &bytes, bool untranslated = false);

// A message's context names its entry: "NUMBER" (eight uppercase hexadecimal
// digits) or "INDEX:NUMBER" (one to ten decimal digits, within 32 bits).
// False when it is neither.
bool readContext(const char *context, ImportedEntry &entry);

} // namespace PoReader
