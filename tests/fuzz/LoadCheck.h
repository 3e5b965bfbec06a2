#pragma once

#include <cstddef>
#include <cstdint>

// Loads the bytes as a strings file; when they load, saving and loading the
// result again must give the same entries (carriage returns, which a save
// leaves out, aside) and the same bytes once more. Aborts when it does not.
void checkLoadRoundTrip(const uint8_t *data, size_t size);
