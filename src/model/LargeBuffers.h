#pragma once

#include <QtGlobal>

#include <cstddef>
#include <vector>

// Asks for large pages for a large buffer not touched yet. Where page faults
// are costly, the first touch of a load's buffers costs more than decoding
// them; with 2 MB pages there are 512 times fewer faults.
void adviseHugePages(const void *data, size_t bytes);

// Makes a vector count default values, its memory advised before it is touched.
template<typename T>
void resizeLarge(std::vector<T> &vector, size_t count)
{
    vector.reserve(count);
    adviseHugePages(vector.data(), count * sizeof(T));
    vector.resize(count);
}
