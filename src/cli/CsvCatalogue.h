#pragma once

#include "Catalogue.h"

#include <QByteArray>

// RFC 4180 catalogues: a header row, then one row per entry with the columns
// index, number and text (index, number, source and text when bilingual),
// CR LF between rows.
namespace CsvCatalogue {

void write(const ExportTables &tables, BufferedOutput &out);

// Reads rows back, fields separated by the delimiter; a header row is
// skipped. The number column is read as one to eight hexadecimal digits.
std::vector<ImportedEntry> read(const QByteArray &bytes, const QString &fileName, QChar delimiter = QLatin1Char(','));

} // namespace CsvCatalogue
