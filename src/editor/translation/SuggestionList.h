#pragma once

#include "Glossary.h"
#include "TranslationMemory.h"

#include <QListWidget>

#include <vector>

// What the memory and the glossary offer for the current entry, below the
// reference: the memory's matches, best first, each its score and
// translation, then the glossary's terms of the source as "term →
// translation". A row is used by a double-click or Enter; the first five
// also by Ctrl+1 to Ctrl+5.
class SuggestionList : public QListWidget
{
    Q_OBJECT

public:
    // What using a row puts into the text.
    struct Suggestion
    {
        bool glossary;    // a term: its translation goes in at the cursor
        QString text;     // a match: its translation replaces the text
    };

    explicit SuggestionList(QWidget *parent);

    // origin names where a match came from: "string 12", "lang.tmx".
    void showSuggestions(const std::vector<TranslationMemory::Match> &matches, const std::vector<QString> &origins,
                         const std::vector<const Glossary::Term *> &terms);
    const Suggestion *suggestion(int row) const;
    int matchCount() const { return m_matches; }
    // The height that shows every row, at least one.
    int contentHeight() const;

Q_SIGNALS:
    void used(int row);

private:
    std::vector<Suggestion> m_suggestions;
    int m_matches = 0;
};
