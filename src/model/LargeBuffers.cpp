#include "LargeBuffers.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

void adviseHugePages(const void *data, size_t bytes)
{
#ifdef Q_OS_LINUX
    constexpr quintptr Huge = quintptr(2) << 20;
    const quintptr start = (quintptr(data) + Huge - 1) & ~(Huge - 1);
    const quintptr end = (quintptr(data) + bytes) & ~(Huge - 1);
    if (end > start)
        (void)::madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}
