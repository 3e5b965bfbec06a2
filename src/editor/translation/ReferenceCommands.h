#pragma once

#include <QObject>

#include <memory>

class FileDialog;
class QAction;
class QLabel;
class QPlainTextEdit;
class TranslationCommands;

// The reference file of the window: Open and Close Reference, Next
// Untranslated and Next Problem, the list's "Reference" column and the
// read-only reference text above the text editor.
class ReferenceCommands : public QObject
{
    Q_OBJECT

public:
    explicit ReferenceCommands(TranslationCommands &tools);
    ~ReferenceCommands() override;

    QList<QAction *> actions() const;
    void open(const QString &fileName);
    void showCurrent(int index);
    void updateActions(bool documentOpen);
    void sortRows(bool descending);
    // The labels above the two panes name their languages and files.
    void showLabels();

private:
    void createActions();
    void createViews();
    void closeReference();
    void selectNext(bool untranslated);
    void giveListHalf(bool half);

    TranslationCommands &m_tools;
    std::unique_ptr<FileDialog> m_dialog;
    QAction *actReferenceOpen = nullptr;
    QAction *actReferenceClose = nullptr;
    QAction *actReferenceNextUntranslated = nullptr;
    QAction *actReferenceNextProblem = nullptr;
    QPlainTextEdit *memReference = nullptr;
    QLabel *lblReference = nullptr;
    QLabel *lblTranslation = nullptr;
    // The list's width before a reference gave it half the window.
    int m_listWidth = -1;
};
