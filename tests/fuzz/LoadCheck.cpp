#include "LoadCheck.h"

#include "uZelkStrings.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, quint32 index)
{
    std::fprintf(stderr, "round trip broken: %s at entry %u\n", what, index);
    std::abort();
}

} // namespace

void checkLoadRoundTrip(const uint8_t *data, size_t size)
{
    TZelkStrings table;
    try {
        table.loadFromData(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const StringsError &) {
        return;
    }
    const QByteArray image = table.saveToData();
    TZelkStrings again;
    try {
        again.loadFromData(image);
    } catch (const StringsError &) {
        fail("the saved image does not load", 0);
    }
    if (again.EntryCount() != table.EntryCount() || again.NewFormat() != table.NewFormat())
        fail("count or layout", again.EntryCount());
    for (quint32 i = 0; i < table.EntryCount(); ++i) {
        QString expected = table.GetEntry(i);
        expected.remove(QLatin1Char('\r'));
        if (again.GetEntry(i) != expected)
            fail("text", i);
        if (again.isUnreadable(i) != table.isUnreadable(i) || again.unreadableBytes(i) != table.unreadableBytes(i))
            fail("bytes of a text that is not UTF-8", i);
        const quint32 number = table.NewFormat() ? table.GetNumber(i) : 0;
        if (again.GetNumber(i) != number)
            fail("number", i);
    }
    if (again.saveToData() != image)
        fail("second save", 0);
}
