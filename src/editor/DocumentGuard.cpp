#include "DocumentGuard.h"

#include "MessageBoxes.h"
#include "uZelkStrings.h"

DocumentGuard::DocumentGuard(QObject *parent, const RecoveryCopies::Host &recovery, const DiskWatch::Host &watch)
    : QObject(parent)
    , m_recovery(nullptr, recovery)
    , m_watch(nullptr, watch)
    , m_showStatus(recovery.showStatus)
{
}

void DocumentGuard::documentLoaded(const QString &fileName, const TZelkStrings &table, bool recovered)
{
    m_watch.watch(fileName);
    // A file cut short loads as the games read it, and the user hears of it.
    if (recovered || !table.damage().any())
        return;
    const QString report = table.damage().describe();
    m_showStatus(report);
    MessageBoxes::showMessage(report);
}

void DocumentGuard::documentSaved(const QString &fileName)
{
    m_recovery.documentSaved();
    m_watch.watch(fileName);
}

void DocumentGuard::documentClosed()
{
    m_recovery.documentClosed();
    m_watch.stop();
}
