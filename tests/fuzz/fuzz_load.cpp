// libFuzzer entry: arbitrary bytes through the loader and back.
#include "LoadCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkLoadRoundTrip(data, size);
    return 0;
}
