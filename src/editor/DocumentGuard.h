#pragma once

#include "DiskWatch.h"
#include "RecoveryCopies.h"

#include <QObject>

// What keeps a document's work safe beyond the save command: recovery
// copies of unsaved changes, another program's changes to the file noticed,
// and a file that looks cut short reported after its load.
class DocumentGuard : public QObject
{
    Q_OBJECT

public:
    DocumentGuard(QObject *parent, const RecoveryCopies::Host &recovery, const DiskWatch::Host &watch);

    RecoveryCopies &recovery() { return m_recovery; }
    DiskWatch &watch() { return m_watch; }

    // The window's hooks: a document was loaded from a file (or recovered
    // for it), is about to be saved to one, was saved, or was closed.
    void documentLoaded(const QString &fileName, const TZelkStrings &table, bool recovered);
    bool mayWrite(const QString &fileName) { return m_watch.mayReplace(fileName); }
    void documentSaved(const QString &fileName);
    void documentClosed();

private:
    RecoveryCopies m_recovery;
    DiskWatch m_watch;
    std::function<void(const QString &)> m_showStatus;
};
