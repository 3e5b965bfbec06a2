#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <map>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;
class SpellChecker;
class SpellHighlighter;
class TranslationChecker;
class TranslationCommands;

// Spelling in the text editor: misspelt words underlined as they are typed
// or shown, suggestions, Add to Dictionary and Ignore in the editor's
// context menu, Check Spelling (F7) and the choice of the language. On by
// default while a reference is open and the document's language has a
// dictionary; F7 turns it on or off.
class SpellingCommands : public QObject
{
    Q_OBJECT

public:
    explicit SpellingCommands(TranslationCommands &tools);
    ~SpellingCommands() override;

    QList<QAction *> actions() const;
    void updateActions(bool documentOpen);
    void showCurrent(int index);
    // What the status bar says of spelling: the language in use, or that it
    // has no dictionary; empty while spelling is off.
    QString statusText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void fillLanguages();
    bool isOn() const;
    QString language() const;
    // The checker of the language in use, loaded on first use; nullptr when
    // it has no dictionary.
    SpellChecker *checker();
    void apply();
    void showContextMenu(const QPoint &position, const QPoint &globalPosition);
    void addToDictionary(const QString &word);
    void ignore(const QString &word);

    TranslationCommands &m_tools;
    QAction *actTranslationSpelling = nullptr;
    QMenu *mnuSpellingLanguage = nullptr;
    QActionGroup *m_languages = nullptr;
    SpellHighlighter *m_highlighter = nullptr;
    std::unique_ptr<TranslationChecker> m_placeholders;
    std::map<QString, std::unique_ptr<SpellChecker>> m_checkers;
    QSet<QString> m_failed;       // languages whose dictionary did not load
    QHash<QString, QSet<QString>> m_ignored; // per language, until the program ends
    int m_choice = -1;            // F7: -1 not used yet, 0 off, 1 on
    QString m_chosenLanguage;     // from the menu; empty: the document's
    QString m_reference;          // the current entry's reference text
};
