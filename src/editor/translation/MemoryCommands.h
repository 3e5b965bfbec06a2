#pragma once

#include "BackgroundJob.h"
#include "Glossary.h"
#include "TranslationChecks.h"
#include "TranslationMemory.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

class FileDialog;
class QAction;
class SuggestionList;
class TranslationCommands;

// The translation memory and the glossary of the window, while a reference
// is open: the memory of the document's own pairs (built in the background,
// and learning every edit), memories added from TMX files, and the
// suggestions both give for the current entry. The memory of the
// document's pairs also tells which entries translate one source
// otherwise; the glossary which keep none of a term's translations.
class MemoryCommands : public QObject
{
    Q_OBJECT

public:
    explicit MemoryCommands(TranslationCommands &tools);
    ~MemoryCommands() override;

    QList<QAction *> actions() const;
    // A reference was opened or closed: what was added goes with a closed
    // one.
    void referenceChanged();
    // The document's entries were paired anew.
    void documentChanged();
    // An entry's text changed, or its number: repaired is whether the whole
    // document was paired anew.
    void textChanged(quint32 index);
    void numberChanged(quint32 index, bool repaired);
    void showCurrent(int index);
    void updateActions(bool documentOpen);

private:
    using Memory = std::shared_ptr<TranslationMemory>;

    void createActions();
    void createList();
    void build();
    void built(Memory memory);
    void learn(quint32 index);
    void addMemory();
    void openGlossary();
    void suggest(int index);
    void use(int row);

    TranslationCommands &m_tools;
    const TranslationChecker m_checker;
    std::unique_ptr<FileDialog> m_memoryDialog;
    std::unique_ptr<FileDialog> m_glossaryDialog;
    QAction *actTranslationMemoryAdd = nullptr;
    QAction *actTranslationGlossaryOpen = nullptr;
    QList<QAction *> m_useSuggestion;
    SuggestionList *lstSuggestions = nullptr;

    // The document's own pairs, none until built.
    Memory m_documentMemory;
    BackgroundJob<Memory> m_building;
    // Entries edited while the memory was being built, learnt once it is.
    std::vector<quint32> m_editedWhileBuilding;
    // Memories added from files, and their names.
    std::vector<std::pair<Memory, QString>> m_fileMemories;
    BackgroundJob<std::pair<Memory, quint32>> m_reading;
    std::unique_ptr<Glossary> m_glossary;
    // The entry whose suggestions show, and whether they are out of date.
    int m_shownFor = -1;
    bool m_stale = true;
};
