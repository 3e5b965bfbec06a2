#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
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
    // Removes every entry whose index is listed, in one pass. Duplicates are
    // ignored; an invalid index fails before anything is removed.
    void deleteEntries(const std::vector<quint32> &indices);

private:
    struct Entry
    {
        QString text;
        quint32 number = 0;
    };

    void checkIndex(quint32 index) const;
    static void readTexts(const uchar *image, qsizetype size, const std::vector<quint32> &offsets,
                          std::vector<Entry> &entries);

    std::vector<Entry> FEntries;
    bool FHasHeader;
    quint32 FEntryCount;
};

// The bytes of a text in the system's ANSI code page, as the key hash takes
// them. Outside Windows this is Windows-1252, with '?' for every character
// that code page cannot hold.
QByteArray toAnsi(const QString &text);

// Writes bytes to a file so that it either holds all of them or keeps what it
// held before: they go to a file beside it that then replaces it. Failures
// throw StringsError ("Cannot create file ...", "Stream write error").
void writeFileAtomically(const QString &fileName, const QByteArray &bytes);

// A number as the program shows it: eight uppercase hexadecimal digits.
QString formatNumber(quint32 number);
