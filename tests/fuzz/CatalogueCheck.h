#pragma once

#include <cstddef>
#include <cstdint>

// Reads the bytes as a CSV or PO catalogue and imports what it holds into a
// table; when they import, the table exported in the same kind and imported
// into a fresh copy must give the same texts and numbers. Aborts when not.
void checkCsvImport(const uint8_t *data, size_t size);
void checkPoImport(const uint8_t *data, size_t size);
