#include "uZelkStrings.h"

#include "AtomicFileWriter.h"
#include "FileErrors.h"
#include "LargeBuffers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <limits>
#include <functional>
#include <numeric>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

using namespace FileErrors;

namespace {

constexpr quint32 Magic = 0xFEFEFEFEu;
constexpr qsizetype HeaderSize = 16;

quint32 readU32(const uchar *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

uchar *writeU32(uchar *p, quint32 value)
{
    p[0] = uchar(value);
    p[1] = uchar(value >> 8);
    p[2] = uchar(value >> 16);
    p[3] = uchar(value >> 24);
    return p + 4;
}

bool isContinuation(uchar c)
{
    return (c & 0xC0) == 0x80;
}

// Checks and decodes in one pass: well-formed UTF-8 (RFC 3629) becomes UTF-16,
// '^' a line feed. Returns the units written, or -1 for bytes that are not
// well-formed (the output is then garbage).
qsizetype decodeUtf8(const uchar *p, qsizetype n, char16_t *out)
{
    char16_t *const start = out;
    qsizetype i = 0;
    while (i < n) {
        quint64 word;
        if (i + 8 <= n && (std::memcpy(&word, p + i, 8), (word & 0x8080808080808080ull) == 0)) {
            for (int k = 0; k < 8; ++k)
                out[k] = p[i + k] == '^' ? u'\n' : char16_t(p[i + k]);
            out += 8;
            i += 8;
            continue;
        }
        const uchar c = p[i];
        if (c < 0x80) {
            *out++ = c == '^' ? u'\n' : char16_t(c);
            ++i;
        } else if (c < 0xC2) {
            return -1;
        } else if (c < 0xE0) {
            if (n - i < 2 || !isContinuation(p[i + 1]))
                return -1;
            *out++ = char16_t((c & 0x1F) << 6 | (p[i + 1] & 0x3F));
            i += 2;
        } else if (c < 0xF0) {
            const uchar low = c == 0xE0 ? 0xA0 : 0x80;
            const uchar high = c == 0xED ? 0x9F : 0xBF;
            if (n - i < 3 || p[i + 1] < low || p[i + 1] > high || !isContinuation(p[i + 2]))
                return -1;
            *out++ = char16_t((c & 0x0F) << 12 | (p[i + 1] & 0x3F) << 6 | (p[i + 2] & 0x3F));
            i += 3;
        } else if (c < 0xF5) {
            const uchar low = c == 0xF0 ? 0x90 : 0x80;
            const uchar high = c == 0xF4 ? 0x8F : 0xBF;
            if (n - i < 4 || p[i + 1] < low || p[i + 1] > high || !isContinuation(p[i + 2]) || !isContinuation(p[i + 3]))
                return -1;
            const char32_t code = char32_t(c & 0x07) << 18 | char32_t(p[i + 1] & 0x3F) << 12
                | char32_t(p[i + 2] & 0x3F) << 6 | char32_t(p[i + 3] & 0x3F);
            *out++ = char16_t(0xD7C0 + (code >> 10));
            *out++ = char16_t(0xDC00 | (code & 0x3FF));
            i += 4;
        } else {
            return -1;
        }
    }
    return out - start;
}

// The bytes of the string at an offset: up to the first 0 byte or the end of
// the file; none where the offset is at or past the end.
struct StringBytes
{
    const uchar *data = nullptr;
    qsizetype length = 0;
};

// The texts of one load in a single allocation. Each entry's QString shares
// it, so a million texts cost one allocation instead of a million, and the
// block is freed when the last text using it goes. Every text is followed by
// a 0 unit, as a QString's own data is.
class TextBlock
{
public:
    explicit TextBlock(qsizetype units)
        : m_block(units, Qt::Uninitialized)
        , m_next(reinterpret_cast<char16_t *>(m_block.data()))
    {
        adviseHugePages(m_block.constData(), size_t(units) * sizeof(char16_t));
    }

    // Checks and adds the text of the bytes, which must fit: false for bytes
    // that are not well-formed UTF-8, which add nothing.
    bool addChecked(const StringBytes &bytes, QString &text)
    {
        if (bytes.length == 0)
            return true;
        const qsizetype units = decodeUtf8(bytes.data, bytes.length, m_next);
        if (units < 0)
            return false;
        text = share(units);
        return true;
    }

    // The text of the units just written at m_next.
    QString share(qsizetype units)
    {
        char16_t *start = m_next;
        start[units] = 0;
        m_next += units + 1;
        QString::DataPointer &block = m_block.data_ptr();
        QString::DataPointer shared(block.d_ptr(), start, units);
        block.d_ptr()->ref();
        return QString(std::move(shared));
    }

    QString m_block;
    char16_t *m_next;
};

bool isHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u < 0xDC00;
}

bool isLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u < 0xE000;
}

// The number of bytes a text takes in the file, terminator excluded: carriage
// returns are left out, and a lone surrogate becomes U+FFFD.
quint64 encodedLength(const QString &text)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    quint64 bytes = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i];
        if (u < 0x80)
            bytes += u == u'\r' ? 0 : 1;
        else if (u < 0x800)
            bytes += 2;
        else if (isHighSurrogate(u) && i + 1 < n && isLowSurrogate(p[i + 1])) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}

uchar *encodeText(const QString &text, uchar *out)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t u = p[i];
        if (u < 0x80) {
            if (u == u'\n')
                *out++ = '^';
            else if (u != u'\r')
                *out++ = uchar(u);
        } else if (u < 0x800) {
            *out++ = uchar(0xC0 | u >> 6);
            *out++ = uchar(0x80 | (u & 0x3F));
        } else if (isHighSurrogate(char16_t(u)) && i + 1 < n && isLowSurrogate(p[i + 1])) {
            const char32_t code = 0x10000 + ((u - 0xD800) << 10) + (p[i + 1] - 0xDC00);
            *out++ = uchar(0xF0 | code >> 18);
            *out++ = uchar(0x80 | (code >> 12 & 0x3F));
            *out++ = uchar(0x80 | (code >> 6 & 0x3F));
            *out++ = uchar(0x80 | (code & 0x3F));
            ++i;
        } else {
            if (isHighSurrogate(char16_t(u)) || isLowSurrogate(char16_t(u)))
                u = 0xFFFD;
            *out++ = uchar(0xE0 | u >> 12);
            *out++ = uchar(0x80 | (u >> 6 & 0x3F));
            *out++ = uchar(0x80 | (u & 0x3F));
        }
    }
    return out;
}

// Reads a range of a file whole; a short read is a read error.
QByteArray readRange(QFile &file, quint64 from, quint64 length)
{
    if (length > quint64(std::numeric_limits<qsizetype>::max()) || !file.seek(qint64(from)))
        throw StringsError(QString::fromLatin1(StreamReadError));
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    qint64 done = 0;
    while (done < qint64(length)) {
        const qint64 got = file.read(bytes.data() + done, qint64(length) - done);
        if (got <= 0)
            throw StringsError(QString::fromLatin1(StreamReadError));
        done += got;
    }
    return bytes;
}

// Reads on from the end of a range until a 0 byte or the end of the file, so
// that the string starting at lastString (an index into bytes) is whole.
void readToTerminator(QFile &file, QByteArray &bytes, qsizetype lastString, quint64 end, quint64 fileSize)
{
    constexpr quint64 Piece = 1 << 16;
    qsizetype searched = lastString;
    while (end < fileSize && !std::memchr(bytes.constData() + searched, 0, size_t(bytes.size() - searched))) {
        searched = bytes.size();
        const quint64 piece = std::min(Piece, fileSize - end);
        bytes += readRange(file, end, piece);
        end += piece;
    }
}

// Whether a 0 byte lies between an offset and the end of the file; most files
// end with one, so that the last byte alone answers.
bool hasTerminator(QFile &file, quint64 from, quint64 fileSize)
{
    constexpr quint64 Piece = 1 << 16;
    if (readRange(file, fileSize - 1, 1).at(0) == '\0')
        return true;
    for (quint64 at = from; at < fileSize; at += Piece) {
        const QByteArray piece = readRange(file, at, std::min(Piece, fileSize - at));
        if (piece.contains('\0'))
            return true;
    }
    return false;
}

// Reads the strings of a file a piece at a time, in the order of their
// offsets, so that the file's bytes are never all in memory at once.
class StringReader
{
public:
    StringReader(QFile &file, quint64 fileSize)
        : m_file(file)
        , m_fileSize(fileSize)
    {
    }

    // The string at an offset no smaller than the last one asked for; its
    // bytes stay valid until the next call.
    StringBytes at(quint32 offset)
    {
        if (offset >= m_fileSize)
            return {};
        if (offset < m_base)
            throw StringsError(QString::fromLatin1(StreamReadError));
        qsizetype searched = qsizetype(offset - m_base);
        for (;;) {
            const qsizetype start = qsizetype(offset - m_base);
            if (searched < m_buffer.size()) {
                const auto *data = reinterpret_cast<const uchar *>(m_buffer.constData());
                const auto *end = static_cast<const uchar *>(std::memchr(data + searched, 0, size_t(m_buffer.size() - searched)));
                if (end)
                    return {data + start, end - (data + start)};
                searched = m_buffer.size();
            }
            if (start < m_buffer.size() && m_base + quint64(m_buffer.size()) >= m_fileSize)
                return {reinterpret_cast<const uchar *>(m_buffer.constData()) + start, m_buffer.size() - start};
            // What lies before the string is done with.
            if (start < m_buffer.size()) {
                m_buffer.remove(0, start);
                searched -= start;
            } else {
                m_buffer.clear();
                searched = 0;
            }
            m_base = offset;
            const quint64 loaded = m_base + quint64(m_buffer.size());
            m_buffer += readRange(m_file, loaded, std::min<quint64>(Piece, m_fileSize - loaded));
        }
    }

private:
    static constexpr quint64 Piece = 1 << 20;

    QFile &m_file;
    quint64 m_fileSize;
    QByteArray m_buffer;
    quint64 m_base = 0; // the file offset of m_buffer[0]
};

// The order in which a load reads its strings: by offset, entries that share
// an offset next to each other.
class OffsetOrder
{
public:
    explicit OffsetOrder(const std::vector<quint32> &offsets)
        : m_offsets(offsets)
    {
        // The writer's files are in that order already.
        if (std::adjacent_find(offsets.begin(), offsets.end(), std::greater_equal<quint32>()) == offsets.end())
            return;
        resizeLarge(m_order, offsets.size());
        std::iota(m_order.begin(), m_order.end(), 0u);
        std::stable_sort(m_order.begin(), m_order.end(), [&](quint32 a, quint32 b) { return offsets[a] < offsets[b]; });
    }

    size_t size() const { return m_offsets.size(); }
    quint32 entryAt(size_t k) const { return m_order.empty() ? quint32(k) : m_order[k]; }
    quint32 offsetAt(size_t k) const { return m_offsets[entryAt(k)]; }
    bool sharesWithPrevious(size_t k) const { return k > 0 && offsetAt(k) == offsetAt(k - 1); }

private:
    const std::vector<quint32> &m_offsets;
    std::vector<quint32> m_order;
};

} // namespace

// Reads the texts in one pass, each checked and decoded at once into a block
// as large as the strings' bytes, which they cannot outgrow unless strings
// overlap (an offset into the middle of another string): then it gives up,
// returning false, for a reading that measures every text first.
template<typename Strings>
bool TZelkStrings::readTextsInOnePass(Strings &strings, quint64 stringBytes, const std::vector<quint32> &offsets,
                                      std::vector<Entry> &entries, std::vector<QByteArray> &unreadable)
{
    const OffsetOrder order(offsets);
    TextBlock block{qsizetype(stringBytes + 1)};
    quint64 previousEnd = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        Entry &entry = entries[order.entryAt(k)];
        if (order.sharesWithPrevious(k)) {
            const Entry &previous = entries[order.entryAt(k - 1)];
            entry.text = previous.text;
            entry.unreadable = previous.unreadable;
            continue;
        }
        const quint32 offset = order.offsetAt(k);
        if (offset < previousEnd)
            return false;
        const StringBytes bytes = strings.at(offset);
        if (!bytes.data)
            continue;
        previousEnd = quint64(offset) + quint64(bytes.length) + 1;
        if (!block.addChecked(bytes, entry.text)) {
            unreadable.emplace_back(reinterpret_cast<const char *>(bytes.data), bytes.length);
            entry.unreadable = quint32(unreadable.size());
        }
    }
    return true;
}

// The part of a file that holds its strings, from its first string through
// the terminator of its last (or the end of the file).
struct TZelkStrings::StringArea
{
    const uchar *data = nullptr;
    quint64 base = 0;     // the file offset of data[0]
    qsizetype size = 0;
    quint64 fileSize = 0;

    StringBytes at(quint32 offset) const
    {
        if (offset >= fileSize || offset < base || offset - base >= quint64(size))
            return {};
        const uchar *start = data + (offset - base);
        const qsizetype rest = size - qsizetype(offset - base);
        const auto *terminator = static_cast<const uchar *>(std::memchr(start, 0, size_t(rest)));
        return {start, terminator ? terminator - start : rest};
    }
};

// What the first bytes of a file say of its layout; the tables must lie inside
// the file before anything is allocated.
struct TZelkStrings::Layout
{
    bool hasHeader = false;
    quint32 count = 0;
    quint64 offsetTable = 0;

    quint64 tablesEnd() const { return offsetTable + 4ull * count; }
};

TZelkStrings::Layout TZelkStrings::readLayout(const uchar *data, quint64 available, quint64 fileSize)
{
    const auto readError = [] { return StringsError(QString::fromLatin1(StreamReadError)); };
    Layout layout;
    if (fileSize < 4 || available < 4)
        throw readError();
    const quint32 first = readU32(data);
    layout.hasHeader = first == Magic;
    if (layout.hasHeader) {
        if (fileSize < 8 || available < 8)
            throw readError();
        layout.count = readU32(data + 4);
        layout.offsetTable = HeaderSize + 4ull * layout.count;
        if (layout.count > 0 && layout.tablesEnd() > fileSize)
            throw readError();
    } else {
        layout.count = first / 4;
        if (4ull * layout.count > fileSize)
            throw readError();
    }
    return layout;
}

StringsError::StringsError(const QString &message)
    : m_message(message)
    , m_utf8(message.toUtf8())
{
}

const char *StringsError::what() const noexcept
{
    return m_utf8.constData();
}

TZelkStrings::TZelkStrings()
    : FHasHeader(true)
    , FEntryCount(0)
{
}

TZelkStrings::~TZelkStrings() = default;

void TZelkStrings::AddEntry(const QString &Text)
{
    changed();
    FEntries.push_back(Entry{Text, 0});
    ++FEntryCount;
}

void TZelkStrings::DeleteEntry(quint32 Index)
{
    checkIndex(Index);
    changed();
    FEntries.erase(FEntries.begin() + Index);
    --FEntryCount;
}

quint32 TZelkStrings::HashKey(const QByteArray &Key)
{
    quint32 hash = 0xFFFFFFFFu;
    for (const char byte : Key) {
        quint32 c = uchar(byte);
        if (c >= 'a' && c <= 'z')
            c -= 0x20;
        hash = hash * 33u + c;
    }
    return hash;
}

// Reads what the layout needs: the tables, then the bytes from the first
// string through the end of the last, never more than the file holds once.
void TZelkStrings::LoadFromFile(const QString &FileName)
{
    QFile file(FileName);
    // A pipe or a device would block or never end: only files are read.
    const QFileInfo info(FileName);
    if (info.exists() && !info.isFile() && !info.isDir())
        throw StringsError(QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(fullPath(FileName)));
    checkFileName(FileName, false);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw fileError("Cannot open file \"%1\". %2", FileName, errno, file.errorString());
    const quint64 fileSize = quint64(file.size());
    if (fileSize == 0) {
        clear();
        FHasHeader = false;
        return;
    }
    const QByteArray head = readRange(file, 0, std::min<quint64>(fileSize, HeaderSize));
    const Layout layout = readLayout(reinterpret_cast<const uchar *>(head.constData()), quint64(head.size()), fileSize);
    std::vector<quint32> offsets;
    std::vector<Entry> entries;
    {
        const QByteArray tables = readRange(file, 0, layout.count ? layout.tablesEnd() : 0);
        entries = readTables(reinterpret_cast<const uchar *>(tables.constData()), layout, offsets);
    }
    quint64 first = fileSize;
    for (const quint32 offset : offsets)
        first = std::min<quint64>(first, offset);
    std::vector<QByteArray> unreadable;
    StringReader reader(file, fileSize);
    if (!readTextsInOnePass(reader, fileSize - std::min(first, fileSize), offsets, entries, unreadable)) {
        // Strings that overlap: all their bytes at once, every text measured.
        quint64 last = 0;
        for (const quint32 offset : offsets) {
            if (offset < fileSize)
                last = std::max<quint64>(last, offset);
        }
        QByteArray area = readRange(file, first, last + 1 - first);
        readToTerminator(file, area, qsizetype(last - first), last + 1, fileSize);
        unreadable.clear();
        readTexts(StringArea{reinterpret_cast<const uchar *>(area.constData()), first, area.size(), fileSize}, offsets, entries,
                  unreadable);
    }
    Damage damage = findDamage(offsets, fileSize, [&file, fileSize](quint64 from) { return hasTerminator(file, from, fileSize); });
    adopt(layout.hasHeader, std::move(entries), std::move(unreadable));
    FDamage = std::move(damage);
}

// Entries at or past the end, and the entries of the text with the highest
// offset when no 0 byte follows it before the end of the file.
template<typename ByteAt>
TZelkStrings::Damage TZelkStrings::findDamage(const std::vector<quint32> &offsets, quint64 fileSize, ByteAt terminatorAfter)
{
    Damage damage;
    quint64 last = 0;
    bool anyInside = false;
    for (quint32 i = 0; i < quint32(offsets.size()); ++i) {
        if (offsets[i] >= fileSize) {
            damage.pastEnd.push_back(i);
        } else if (!anyInside || offsets[i] > last) {
            last = offsets[i];
            anyInside = true;
        }
    }
    if (anyInside && !terminatorAfter(last)) {
        for (quint32 i = 0; i < quint32(offsets.size()); ++i) {
            if (offsets[i] == last)
                damage.unterminated.push_back(i);
        }
    }
    return damage;
}

QString TZelkStrings::Damage::describe() const
{
    QStringList parts;
    if (!pastEnd.empty())
        parts << (pastEnd.size() == 1 ? QStringLiteral("1 entry points past the end of the file")
                                      : QStringLiteral("%1 entries point past the end of the file").arg(pastEnd.size()));
    if (!unterminated.empty())
        parts << (parts.isEmpty() ? QStringLiteral("The last text has no terminator") : QStringLiteral("the last text has no terminator"));
    if (parts.isEmpty())
        return QString();
    return parts.join(QStringLiteral(", and ")) + QStringLiteral(": the file may be incomplete");
}

void TZelkStrings::Move(quint32 OldIndex, quint32 NewIndex)
{
    if (OldIndex == NewIndex)
        return;
    checkIndex(OldIndex);
    checkIndex(NewIndex);
    changed();
    const auto first = FEntries.begin();
    if (OldIndex < NewIndex)
        std::rotate(first + OldIndex, first + OldIndex + 1, first + NewIndex + 1);
    else
        std::rotate(first + NewIndex, first + OldIndex, first + OldIndex + 1);
}

void TZelkStrings::SaveToFile(const QString &FileName) const
{
    AtomicFileWriter file(FileName);
    writeImage([&file](const uchar *data, qsizetype size) { file.write(reinterpret_cast<const char *>(data), size); });
    file.commit();
}

QString TZelkStrings::GetEntry(quint32 Index) const
{
    const QString &text = entryText(Index);
    return QString(text.constData(), text.size());
}

const QString &TZelkStrings::entryText(quint32 index) const
{
    checkIndex(index);
    return FEntries[index].text;
}

void TZelkStrings::SetEntry(quint32 Index, const QString &Value)
{
    checkIndex(Index);
    changed();
    FEntries[Index].text = Value;
    FEntries[Index].unreadable = 0;
}

quint32 TZelkStrings::GetNumber(quint32 Index) const
{
    checkIndex(Index);
    return FEntries[Index].number;
}

void TZelkStrings::SetNumber(quint32 Index, quint32 Value)
{
    checkIndex(Index);
    changed();
    FEntries[Index].number = Value;
}

quint32 TZelkStrings::EntryCount() const
{
    return FEntryCount;
}

bool TZelkStrings::NewFormat() const
{
    return FHasHeader;
}

void TZelkStrings::SetNewFormat(bool Value)
{
    if (Value != FHasHeader)
        changed();
    FHasHeader = Value;
}

void TZelkStrings::clear()
{
    changed();
    FDamage = Damage();
    std::vector<Entry>().swap(FEntries);
    std::vector<QByteArray>().swap(FUnreadable);
    FEntryCount = 0;
}

bool TZelkStrings::isUnreadable(quint32 index) const
{
    checkIndex(index);
    return FEntries[index].unreadable != 0;
}

QByteArray TZelkStrings::unreadableBytes(quint32 index) const
{
    checkIndex(index);
    const quint32 bytes = FEntries[index].unreadable;
    return bytes ? FUnreadable[bytes - 1] : QByteArray();
}

quint32 TZelkStrings::unreadableCount() const
{
    return quint32(std::count_if(FEntries.cbegin(), FEntries.cend(), [](const Entry &entry) { return entry.unreadable != 0; }));
}

void TZelkStrings::setUnreadableBytes(quint32 index, const QByteArray &bytes)
{
    checkIndex(index);
    if (bytes.contains('\0'))
        throw StringsError(QStringLiteral("A text cannot hold a 0 byte"));
    changed();
    FUnreadable.push_back(bytes);
    FEntries[index].text.clear();
    FEntries[index].unreadable = quint32(FUnreadable.size());
}

void TZelkStrings::copyEntryText(quint32 index, const TZelkStrings &from, quint32 fromIndex)
{
    if (from.isUnreadable(fromIndex))
        setUnreadableBytes(index, from.unreadableBytes(fromIndex));
    else
        SetEntry(index, from.entryText(fromIndex));
}

void TZelkStrings::loadFromData(const QByteArray &image)
{
    const auto *data = reinterpret_cast<const uchar *>(image.constData());
    const quint64 size = quint64(image.size());
    if (size == 0) {
        // An empty old-layout table is written as nothing at all.
        clear();
        FHasHeader = false;
        return;
    }
    const Layout layout = readLayout(data, size, size);
    std::vector<quint32> offsets;
    std::vector<Entry> entries = readTables(data, layout, offsets);
    std::vector<QByteArray> unreadable;
    StringArea strings{data, 0, qsizetype(size), size};
    if (!readTextsInOnePass(strings, size, offsets, entries, unreadable)) {
        unreadable.clear();
        readTexts(strings, offsets, entries, unreadable);
    }
    Damage damage = findDamage(offsets, size, [data, size](quint64 from) {
        return std::memchr(data + from, 0, size_t(size - from)) != nullptr;
    });
    adopt(layout.hasHeader, std::move(entries), std::move(unreadable));
    FDamage = std::move(damage);
}

std::vector<TZelkStrings::Entry> TZelkStrings::readTables(const uchar *data, const Layout &layout,
                                                          std::vector<quint32> &offsets)
{
    std::vector<Entry> entries;
    resizeLarge(entries, layout.count);
    resizeLarge(offsets, layout.count);
    for (quint32 i = 0; i < layout.count; ++i) {
        offsets[i] = readU32(data + layout.offsetTable + 4ull * i);
        if (layout.hasHeader)
            entries[i].number = readU32(data + HeaderSize + 4ull * i);
    }
    return entries;
}

void TZelkStrings::adopt(bool hasHeader, std::vector<Entry> entries, std::vector<QByteArray> unreadable)
{
    changed();
    FEntries.swap(entries);
    FUnreadable.swap(unreadable);
    FHasHeader = hasHeader;
    FEntryCount = quint32(FEntries.size());
}

QByteArray TZelkStrings::saveToData() const
{
    QByteArray image;
    writeImage([&image](const uchar *data, qsizetype size) { image.append(reinterpret_cast<const char *>(data), size); });
    return image;
}

namespace {

// Collects a file image in a buffer of about a megabyte that goes to the sink
// whenever it is full, so that a save needs no memory of the file's size.
class ImagePieces
{
public:
    explicit ImagePieces(const std::function<void(const uchar *, qsizetype)> &sink)
        : m_sink(sink)
    {
        m_buffer.resize(Piece);
    }

    // Room for up to bytes more, written through the pointer and committed.
    uchar *room(size_t bytes)
    {
        if (m_buffer.size() - m_used < bytes) {
            flush();
            if (m_buffer.size() < bytes)
                m_buffer.resize(bytes);
        }
        return m_buffer.data() + m_used;
    }
    void commit(const uchar *end) { m_used = size_t(end - m_buffer.data()); }
    void u32(quint32 value) { commit(writeU32(room(4), value)); }

    void flush()
    {
        if (m_used > 0)
            m_sink(m_buffer.data(), qsizetype(m_used));
        m_used = 0;
    }

private:
    static constexpr size_t Piece = 1 << 20;

    const std::function<void(const uchar *, qsizetype)> &m_sink;
    std::vector<uchar> m_buffer;
    size_t m_used = 0;
};

} // namespace

quint64 TZelkStrings::imageSize() const
{
    const quint64 count = FEntries.size();
    quint64 size = (FHasHeader ? HeaderSize + 4 * count : 0) + 4 * count;
    for (const Entry &entry : FEntries)
        size += (entry.unreadable ? quint64(FUnreadable[entry.unreadable - 1].size()) : encodedLength(entry.text)) + 1;
    return size;
}

void TZelkStrings::writeImage(const std::function<void(const uchar *, qsizetype)> &sink) const
{
    const quint64 count = FEntries.size();
    const quint64 tables = (FHasHeader ? HeaderSize + 4 * count : 0) + 4 * count;
    ImagePieces out(sink);
    if (FHasHeader) {
        out.u32(Magic);
        out.u32(FEntryCount);
        out.u32(0);
        out.u32(0);
        for (const Entry &entry : FEntries)
            out.u32(entry.number);
    }
    quint64 position = tables;
    for (const Entry &entry : FEntries) {
        // Offsets are 32-bit: a larger image cannot be written correctly.
        if (position > 0xFFFFFFFFull)
            throw StringsError(QString::fromLatin1(StreamWriteError));
        out.u32(quint32(position));
        position += (entry.unreadable ? quint64(FUnreadable[entry.unreadable - 1].size()) : encodedLength(entry.text)) + 1;
    }
    if (position > 0xFFFFFFFFull)
        throw StringsError(QString::fromLatin1(StreamWriteError));
    for (const Entry &entry : FEntries) {
        if (entry.unreadable) {
            const QByteArray &bytes = FUnreadable[entry.unreadable - 1];
            uchar *end = std::copy(bytes.cbegin(), bytes.cend(), out.room(size_t(bytes.size()) + 1));
            *end++ = 0;
            out.commit(end);
        } else {
            uchar *end = encodeText(entry.text, out.room(3 * size_t(entry.text.size()) + 1));
            *end++ = 0;
            out.commit(end);
        }
    }
    out.flush();
}

void TZelkStrings::deleteEntries(const std::vector<quint32> &indices)
{
    changed();
    std::vector<char> doomed(FEntries.size(), 0);
    for (const quint32 index : indices) {
        checkIndex(index);
        doomed[index] = 1;
    }
    size_t kept = 0;
    for (size_t i = 0; i < FEntries.size(); ++i) {
        if (doomed[i])
            continue;
        if (kept != i)
            FEntries[kept] = std::move(FEntries[i]);
        ++kept;
    }
    FEntries.resize(kept);
    FEntryCount = quint32(kept);
}

// Entries that share an offset share one text. Offsets into the middle of a
// long string cannot share, so a file whose texts would take far more memory
// than the file itself is refused rather than exhausting memory. Bytes that
// are not well-formed UTF-8 read as an empty text and are kept as they are.
void TZelkStrings::readTexts(const StringArea &area, const std::vector<quint32> &offsets, std::vector<Entry> &entries,
                             std::vector<QByteArray> &unreadable)
{
    // What a one-pass reading left goes.
    for (Entry &entry : entries) {
        entry.text.clear();
        entry.unreadable = 0;
    }
    const OffsetOrder order(offsets);
    const auto entryAt = [&](size_t k) { return order.entryAt(k); };
    const auto sharesWithPrevious = [&](size_t k) { return order.sharesWithPrevious(k); };

    // First the size of every distinct text, so that one block holds them all.
    const quint64 budget = 4 * area.fileSize + (1u << 20);
    quint64 units = 0;
    // Bytes that are not UTF-8 are found only part-way through decoding them:
    // room for the longest such text's garbage.
    quint64 slack = 0;
    std::vector<char16_t> scratch;
    for (size_t k = 0; k < offsets.size(); ++k) {
        if (sharesWithPrevious(k))
            continue;
        const StringBytes bytes = area.at(offsets[entryAt(k)]);
        scratch.resize(size_t(bytes.length));
        const qsizetype length = decodeUtf8(bytes.data, bytes.length, scratch.data());
        if (length > 0)
            units += quint64(length) + 1;
        else if (length < 0)
            slack = std::max<quint64>(slack, quint64(bytes.length));
        if (units + slack > budget)
            throw StringsError(QString::fromLatin1(StreamReadError));
    }

    TextBlock block{qsizetype(units + slack)};
    for (size_t k = 0; k < offsets.size(); ++k) {
        Entry &entry = entries[entryAt(k)];
        if (sharesWithPrevious(k)) {
            const Entry &previous = entries[entryAt(k - 1)];
            entry.text = previous.text;
            entry.unreadable = previous.unreadable;
            continue;
        }
        const StringBytes bytes = area.at(offsets[entryAt(k)]);
        if (!block.addChecked(bytes, entry.text)) {
            unreadable.emplace_back(reinterpret_cast<const char *>(bytes.data), bytes.length);
            entry.unreadable = quint32(unreadable.size());
        }
    }
}

void TZelkStrings::checkIndex(quint32 index) const
{
    if (index >= FEntryCount)
        throw StringsError(QStringLiteral("List index out of bounds (%1)").arg(qint32(index)));
}

QByteArray toAnsi(const QString &text)
{
#ifdef Q_OS_WIN
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
    QByteArray bytes(length, Qt::Uninitialized);
    WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
#else
    // The characters of 0x80 to 0x9F in Windows-1252; 0 marks the five
    // positions the code page leaves undefined, which map to themselves.
    static const char16_t high[32] = {
        0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
        0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
    QByteArray bytes;
    bytes.reserve(text.size());
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i];
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = char(u);
        } else if (u >= 0x80 && u < 0xA0) {
            if (high[u - 0x80] == 0)
                byte = char(u);
        } else if (isHighSurrogate(u) && i + 1 < n && isLowSurrogate(p[i + 1])) {
            ++i; // a character outside the code page: one '?'
        } else {
            const auto *found = std::find(std::begin(high), std::end(high), u);
            if (found != std::end(high))
                byte = char(0x80 + (found - std::begin(high)));
        }
        bytes.append(byte);
    }
    return bytes;
#endif
}


QString formatNumber(quint32 number)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text(8, Qt::Uninitialized);
    QChar *out = text.data();
    for (int shift = 28, i = 0; shift >= 0; shift -= 4, ++i)
        out[i] = QLatin1Char(digits[(number >> shift) & 0xF]);
    return text;
}
