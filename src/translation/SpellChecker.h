#pragma once

#include "ContentChecks.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class Hunspell;
class TranslationChecker;

// Where Hunspell dictionaries are found and which one a file's language
// takes: the system's (/usr/share/hunspell), those beside the program
// (dictionaries/, as the Windows zip carries them), and the user's own (the
// data folder's dictionaries/).
namespace Dictionaries {

QStringList folders();
// The codes ("fr_FR") of every dictionary found, sorted.
QStringList available();
// The dictionary for a file's language by its extension: the first of the
// language's codes that is found, or the one it would take ("fi_FI" for
// .fin, which Debian has none of). Empty for an unknown extension.
QString forFile(const QString &fileName);
// Whether a dictionary with this code is found.
bool exists(const QString &code);
// Why a dictionary cannot be had: its language, where it was looked for,
// and the Debian package that has it, if any.
QString missing(const QString &code);
// The user's data folder, where the editor keeps what it keeps (recovery
// copies, word lists): the same for the editor and for zelkstr.
QString userDataFolder();
// The personal word list of a language: words-fr_FR.txt in the data folder.
QString personalWordsFile(const QString &code);

} // namespace Dictionaries

// One language's spelling: Hunspell's dictionary in the encoding it declares,
// words the user accepts, and a cache of every word looked at, so that a
// text whose words repeat costs little.
class SpellChecker
{
public:
    // Fails with a TranslationError that says what is missing.
    explicit SpellChecker(const QString &code);
    ~SpellChecker();
    SpellChecker(const SpellChecker &) = delete;
    SpellChecker &operator=(const SpellChecker &) = delete;

    QString code() const { return m_code; }

    bool isCorrect(const QString &word);
    // Up to limit suggestions, best first.
    QStringList suggestions(const QString &word, int limit = 8);
    // Words accepted as they are: for the rest of the checker's life.
    void accept(const QString &word);
    // Reads a word list (UTF-8, one word a line); a missing file is none.
    void acceptFile(const QString &fileName);

    struct Misspelling
    {
        ContentChecks::Span span;
        QString word;
    };
    // The misspelt words of a text, in order. Not checked: placeholders and
    // tags (as the checker finds them), words with digits or underscores,
    // web and e-mail addresses, and words that the reference text has too.
    std::vector<Misspelling> misspellings(const QString &text, const QString &reference, const TranslationChecker &checker);

private:
    QByteArray encode(const QString &word) const;
    QString decode(const std::string &bytes) const;

    QString m_code;
    std::unique_ptr<Hunspell> m_hunspell;
    QByteArray m_encoding;
    bool m_utf8 = true;
    QHash<QString, bool> m_known;
};
