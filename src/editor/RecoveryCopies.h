#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QLockFile;
class TZelkStrings;

// A document's unsaved work as a recovery copy keeps it: the file it
// belongs to (none for a new document), its layout, when it was taken, the
// review state and the table's file image.
struct RecoveryCopy
{
    QString copyPath;
    QString documentPath;
    bool newFormat = true;
    QDateTime time;
    QByteArray review;
    QByteArray image;

    // Writes the copy of the table to copyPath atomically, its image a
    // piece at a time; reads the header, or all.
    void write(const TZelkStrings &table) const;
    static RecoveryCopy read(const QString &copyPath, bool whole);
};

// Keeps a recovery copy of a document with unsaved changes, at most some
// seconds old, in the user's data folder; written beside the typing, never
// in its way. The copy goes when the document is saved or closed; one left
// behind by a program that ended without closing is offered back.
class RecoveryCopies : public QObject
{
    Q_OBJECT

public:
    struct Host
    {
        const TZelkStrings *document;
        std::function<QString()> fileName;   // the document's path, empty for a new one
        std::function<bool()> isModified;
        std::function<QByteArray()> review;  // the review state as a review file
        std::function<quint64()> reviewGeneration;
        std::function<void(const QString &)> showStatus;
    };

    RecoveryCopies(QObject *parent, Host host);
    ~RecoveryCopies() override;

    // Where the copies go: the user's data folder's "recovery".
    static QString folder();
    // How often the document is looked at; a copy is at most this old plus
    // the time it takes to write.
    void setInterval(int milliseconds);
    // Takes a copy now when one is due, and waits until it is written.
    void writeNow();

    // The copies that no running program keeps, newest first (headers only).
    std::vector<RecoveryCopy> leftBehind() const;
    // Before a file is loaded: whether a copy left behind for it is to be
    // recovered (asked, or chosen at the start already).
    bool offer(const QString &documentPath, RecoveryCopy &copy);
    // At a start without a file: asks about each copy left behind, newest
    // first, until one is to be recovered.
    bool chooseAtStart(RecoveryCopy &copy);
    // Puts the copy's table into the table and its review state into
    // copy.review; the copy stays until the document is saved or closed.
    void restore(RecoveryCopy &copy, TZelkStrings &table);

    // The document was saved, or closed (saved or not): its copy goes.
    void documentSaved();
    void documentClosed();

private:
    bool findCopy(const QString &documentPath, RecoveryCopy &copy) const;
    // "FILE has unsaved changes from DATE TIME ...": true for Yes; No
    // removes the copy.
    bool askToRecover(const RecoveryCopy &copy);
    void discard(const RecoveryCopy &copy);
    void tick();
    void written(quint64 generation, const QString &copyPath, const QString &error);
    void removeOwnCopy();
    void waitForWriter();
    QString copyPathFor(const QString &documentPath);

    Host m_host;
    QTimer m_timer;
    std::thread m_writer;
    bool m_writing = false;
    quint64 m_written = 0;
    QString m_ownCopy;
    std::unique_ptr<QLockFile> m_lock;
    QString m_untitledKey;
    RecoveryCopy m_chosen;
};
