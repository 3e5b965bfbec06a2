#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class TZelkStrings;

// What a translator still has to look at in one translation, kept beside it
// as FILE.review.json: a strings file has no room for such flags.
struct ReviewEntry
{
    enum class State {
        Changed,  // the source text changed since the translation was made
        New,      // the entry is new: its text is the source's, to translate
        Fuzzy,    // filled from a similar translation in a memory
        Accepted, // its findings were looked at and accepted as they are
    };

    State state = State::Changed;
    quint32 number = 0;
    quint32 index = 0;
    QString oldSource;   // Changed: the source before; Fuzzy: the memory's source
    QString newSource;   // Changed, New, Fuzzy: the source now
    int score = 0;       // Fuzzy: how similar, in per cent
    QStringList kinds;   // Accepted: the names of the findings accepted
    QString source;      // Accepted: the source and the translation they
    QString text;        // were accepted for
};

class ReviewFile
{
public:
    static constexpr int Version = 1;

    // Entries are found by number (their numbers tell the document's entries
    // apart) or by index.
    bool byNumber = true;
    std::vector<ReviewEntry> entries;

    // "lang.fre.review.json" for "lang.fre".
    static QString pathFor(const QString &documentPath);

    // Reads a review file. One that does not parse, has another format or a
    // newer version fails with its name and the reason; it is never touched.
    static ReviewFile read(const QString &path);
    // Writes the file atomically.
    void write(const QString &path) const;
    // The file's content, and a review read from it (path names it in errors).
    QByteArray toJson() const;
    static ReviewFile fromJson(const QByteArray &bytes, const QString &path);
    // Whether a file there may be replaced or removed: there is none, or it
    // is a review file this program reads. Anything else is left alone.
    static bool mayReplace(const QString &path);

    static QString stateName(ReviewEntry::State state);
};
