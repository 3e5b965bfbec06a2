// libFuzzer entry: arbitrary bytes as a CSV catalogue, imported and back.
#include "CatalogueCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkCsvImport(data, size);
    return 0;
}
