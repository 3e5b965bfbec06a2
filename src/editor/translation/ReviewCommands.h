#pragma once

#include "ReviewFile.h"

#include <QObject>
#include <QString>

#include <future>

class ChangeView;
class QAction;
class TranslationCommands;

// The review of what an update changed: the document's review file, read
// with the document and saved with it; Done and Next, the translator's loop;
// Accept as Is; and the view of how a changed entry's source changed.
class ReviewCommands : public QObject
{
    Q_OBJECT

public:
    explicit ReviewCommands(TranslationCommands &tools);
    ~ReviewCommands() override;

    QList<QAction *> actions() const;
    // A document is being loaded: its review file, if any, is read beside
    // the load.
    void documentLoading(const QString &fileName);
    // Takes FILE.review.json when there is one; one that does not read is
    // reported and left alone.
    void documentLoaded(const QString &fileName);
    // The review state of a recovered document, as its review file.
    void documentRecovered(const QByteArray &review);
    // Writes the review file beside the saved document, or removes it when
    // nothing is left in it.
    void documentSaved(const QString &fileName);
    void showCurrent(int index);
    void updateActions(bool documentOpen);

private:
    void createActions();
    void doneAndNext();
    void acceptAsIs();

    TranslationCommands &m_tools;
    QAction *actTranslationDone = nullptr;
    QAction *actTranslationAccept = nullptr;
    ChangeView *memReferenceChange = nullptr;
    // A review file that did not read: never written over nor removed.
    QString m_leftAlone;
    QString m_readingPath;
    std::future<ReviewFile> m_reading;
};
