#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QProcess;

// Hunspell's first suggestions for many misspelt words. One takes a good
// tenth of a second of a large dictionary, so the words are shared out
// among helper processes (this program again) as they are found, and the
// helpers work while the caller goes on looking for more. Not threads:
// Hunspell cuts its search short by the processor time of its whole
// process, so threads would cut each other's short; in processes of their
// own, the words get the suggestions that one run would give them.
class SpellingSuggestions
{
public:
    // What a helper is started with, before the dictionary's code: it reads
    // words from stdin, one a line, and writes their suggestions, a line
    // each, separated by tabs.
    static constexpr const char *HelperArgument = "--spelling-suggestion-helper";
    static int runHelper(const QString &code, int limit);

    // At most limit suggestions a word.
    SpellingSuggestions(const QString &code, int limit);
    ~SpellingSuggestions();

    // Starts on the suggestions of one more word.
    void add(const QString &word);

    // The suggestions, in the order of the words added, once all are there.
    // What a helper did not give is looked up here.
    std::vector<QStringList> take();

private:
    void startHelpers();
    void send(size_t word);

    std::vector<QString> m_words;
    QString m_code;
    int m_limit;
    std::vector<std::unique_ptr<QProcess>> m_helpers;
};
