#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

// A failure of the strings table. The message is the text the user sees.
class StringsError : public std::exception
{
public:
    explicit StringsError(const QString &message);
    const char *what() const noexcept override;
    QString message() const { return m_message; }

private:
    QString m_message;
    QByteArray m_utf8;
};

// One strings file in memory: an ordered table of texts, each with a 32-bit
// number, and the layout (with or without header) it is saved in.
class TZelkStrings
{
public:
    TZelkStrings();
    virtual ~TZelkStrings();
    void AddEntry(const QString &Text);
    void DeleteEntry(quint32 Index);
    static quint32 HashKey(const QByteArray &Key);
    void LoadFromFile(const QString &FileName);
    void Move(quint32 OldIndex, quint32 NewIndex);
    void SaveToFile(const QString &FileName) const;
    QString GetEntry(quint32 Index) const;
    void SetEntry(quint32 Index, const QString &Value);
    quint32 GetNumber(quint32 Index) const;
    void SetNumber(quint32 Index, quint32 Value);
    quint32 EntryCount() const;
    bool NewFormat() const;
    void SetNewFormat(bool Value);

    // The text of an entry as the table holds it, without a copy, for reading
    // while the table does not change. The texts of a load share one block
    // of memory, so a copy kept for long would keep the whole block alive;
    // GetEntry gives a text of its own.
    const QString &entryText(quint32 index) const;

    // Empties the table; the layout stays as it is.
    void clear();
    // Replaces the content by the file image held in memory. On failure the
    // table is left exactly as it was.
    void loadFromData(const QByteArray &image);
    // The file image of the table in its layout.
    QByteArray saveToData() const;
    // The same image in pieces, each given to the sink as it is made, and
    // its size in bytes beforehand.
    void writeImage(const std::function<void(const uchar *, qsizetype)> &sink) const;
    quint64 imageSize() const;
    // Removes every entry whose index is listed, in one pass. Duplicates are
    // ignored; an invalid index fails before anything is removed.
    void deleteEntries(const std::vector<quint32> &indices);

    // A text whose bytes are not well-formed UTF-8 reads as an empty text, as
    // the games read it, but its bytes are kept and written back unchanged
    // until the entry gets a text of its own (SetEntry).
    bool isUnreadable(quint32 index) const;
    QByteArray unreadableBytes(quint32 index) const;
    quint32 unreadableCount() const;
    // Gives an entry bytes to write as they are; they may not hold a 0 byte.
    void setUnreadableBytes(quint32 index, const QByteArray &bytes);
    // Gives an entry the text of another table's entry, bytes kept as read.
    void copyEntryText(quint32 index, const TZelkStrings &from, quint32 fromIndex);

    // What the last load found that a whole file does not have: entries
    // whose offset lies at or past the end of the file, and a last text that
    // runs to the end of the file without its terminator. Such a file still
    // loads (the games read it so), but may have been cut short.
    struct Damage
    {
        std::vector<quint32> pastEnd;      // the entries, by index
        std::vector<quint32> unterminated; // the entries of the last text
        bool any() const { return !pastEnd.empty() || !unterminated.empty(); }
        // "N entries point past the end of the file, and the last text has
        // no terminator: the file may be incomplete", the parts that apply;
        // empty for an undamaged file.
        QString describe() const;
    };
    const Damage &damage() const { return FDamage; }

    // Changes with every change of the table's entries or layout, so that a
    // copy can tell whether it is still current.
    quint64 changeCount() const { return FChanges; }

private:
    struct Entry
    {
        QString text;
        quint32 number = 0;
        quint32 unreadable = 0; // 1 + its index in FUnreadable, 0 for a text
    };

    struct Layout;
    struct StringArea;

    void checkIndex(quint32 index) const;
    static Layout readLayout(const uchar *data, quint64 available, quint64 fileSize);
    static std::vector<Entry> readTables(const uchar *data, const Layout &layout, std::vector<quint32> &offsets);
    static void readTexts(const StringArea &area, const std::vector<quint32> &offsets, std::vector<Entry> &entries,
                          std::vector<QByteArray> &unreadable);
    template<typename Strings>
    static bool readTextsInOnePass(Strings &strings, quint64 stringBytes, const std::vector<quint32> &offsets,
                                   std::vector<Entry> &entries, std::vector<QByteArray> &unreadable);
    void adopt(bool hasHeader, std::vector<Entry> entries, std::vector<QByteArray> unreadable);

    void changed() { ++FChanges; }
    template<typename ByteAt>
    static Damage findDamage(const std::vector<quint32> &offsets, quint64 fileSize, ByteAt terminatorAfter);

    std::vector<Entry> FEntries;
    std::vector<QByteArray> FUnreadable;
    Damage FDamage;
    quint64 FChanges = 0;
    bool FHasHeader;
    quint32 FEntryCount;
};

// The bytes of a text in the system's ANSI code page, as the key hash takes
// them. Outside Windows this is Windows-1252, with '?' for every character
// that code page cannot hold.
QByteArray toAnsi(const QString &text);

// A number as the program shows it: eight uppercase hexadecimal digits.
QString formatNumber(quint32 number);
