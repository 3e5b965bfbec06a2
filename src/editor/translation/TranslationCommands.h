#pragma once

#include "TranslationState.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class ActionRunner;
class FilterBar;
class MemoryCommands;
class PanelLayout;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QStatusBar;
class QVBoxLayout;
class ReferenceCommands;
class ReplaceCommands;
class ReviewCommands;
class SpellingCommands;
class StringListModel;
class StringListView;
class TZelkStrings;

// What the translator's tools need of the main window.
struct TranslationHost
{
    QWidget *window;
    ActionRunner *runner;
    const TZelkStrings *document;
    StringListModel *model;
    StringListView *list;
    QMenuBar *menuBar;
    QStatusBar *statusBar;
    QVBoxLayout *panel;          // the editor panel, where the reference goes above the text editor
    QPlainTextEdit *textEditor;  // memCurString
    // Makes a row the only selected row, as the commands do.
    std::function<void(int row)> selectRow;
    // Something of the document that is saved with it changed: it is
    // modified.
    std::function<void()> markModified;
    // A message in the status bar.
    std::function<void(const QString &)> showStatus;
    // Gives entries new texts as edits of the document.
    std::function<void(const std::vector<std::pair<quint32, QString>> &)> setTexts;
    // The document's file name, "Untitled.bin" for a new one.
    std::function<QString()> documentName;
};

// The translator's tools of the window, in the "Translation" menu: the
// reference file beside the document, the review of what an update changed,
// the marks and the progress they give. While none is in use, none of it
// shows. The window tells them of every change of the document.
class TranslationCommands : public QObject
{
    Q_OBJECT

public:
    explicit TranslationCommands(const TranslationHost &host);
    ~TranslationCommands() override;

    // The commands, for the window's shortcut lookup.
    QList<QAction *> actions() const;
    // Takes "--reference FILE" out of a command line and returns FILE.
    static QString takeReferenceArgument(QStringList &arguments);

    void openReference(const QString &fileName);
    // The reference was opened or closed.
    void referenceChanged();

    // The window's hooks: a document was loaded from a file or saved to one;
    // its entries were filled in anew, added, deleted or moved; the document
    // was closed.
    void documentLoading(const QString &fileName);
    // A recovered document brings its review state with it, as a review file.
    void documentLoaded(const QString &fileName, const QByteArray *recoveredReview = nullptr);
    void documentSaved(const QString &fileName);
    void documentChanged();
    void documentClosed();
    void entryAdded();
    void entriesDeleted(const std::vector<quint32> &indices);
    void entryMoved(quint32 from, quint32 to);
    void textChanged(quint32 index);
    void textsChanged(const std::vector<quint32> &indices);
    void numberChanged(quint32 index, quint32 oldNumber);
    // The current string, -1 for none.
    void showCurrent(int index);
    void updateActions(bool documentOpen);
    // The review state as its file would hold it, for a recovery copy, and
    // what changes with it.
    QByteArray reviewSnapshot() const;
    quint64 reviewGeneration() const { return m_state.review().generation(); }
    // Sorts the list by the reference column.
    void sortRows(bool descending);

    // For the tools themselves.
    const TranslationHost &host() const { return m_host; }
    TranslationState &state() { return m_state; }
    QMenu *menu() const { return m_menu; }
    PanelLayout *panelLayout() const { return m_panelLayout; }
    int currentIndex() const { return m_current; }
    bool documentOpen() const { return m_documentOpen; }
    // The marks or the review state changed: the list, the panel and the
    // progress show it.
    void refresh();
    // Selects the next row after the current one, in the shown order and
    // wrapping, whose mark has any of these bits; false when there is none.
    bool selectNext(quint8 marks);
    // Says what the reference looks like beside the document, where it looks
    // wrong.
    void warnOfUnlikelyReference();

private:
    void createMenu();
    void createProgress();
    void showProgress();
    QString progressText() const;
    void markRemainingRows();

    TranslationHost m_host;
    TranslationState m_state;
    QMenu *m_menu = nullptr;
    PanelLayout *m_panelLayout = nullptr;
    QLabel *lblReferenceProgress = nullptr;
    std::unique_ptr<ReferenceCommands> m_reference;
    std::unique_ptr<ReviewCommands> m_review;
    std::unique_ptr<FilterBar> m_filter;
    std::unique_ptr<ReplaceCommands> m_replace;
    std::unique_ptr<SpellingCommands> m_spelling;
    std::unique_ptr<MemoryCommands> m_memory;
    QTimer m_markTimer;
    int m_current = -1;
    bool m_documentOpen = false;
};
