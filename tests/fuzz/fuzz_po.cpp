// libFuzzer entry: arbitrary bytes as a PO catalogue, imported and back.
#include "CatalogueCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkPoImport(data, size);
    return 0;
}
