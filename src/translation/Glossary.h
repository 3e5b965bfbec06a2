#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// A game's terms and how they are translated: a CSV file (UTF-8, RFC 4180)
// with the header term,translation,note; several accepted translations of a
// term are separated by "|".
class Glossary
{
public:
    struct Term
    {
        QString term;
        QStringList translations;
        QString note;
    };

    // Fails with a TranslationError naming the file and line.
    static Glossary read(const QString &fileName);
    static Glossary fromCsv(const QByteArray &bytes, const QString &fileName);

    bool isEmpty() const { return m_terms.empty(); }
    qsizetype size() const { return qsizetype(m_terms.size()); }

    // The terms a source text has, as whole words, case ignored.
    std::vector<const Term *> termsIn(const QString &source) const;
    // The terms of the source whose translation the translation lacks.
    std::vector<const Term *> missing(const QString &source, const QString &translation) const;

    // What a finding of a missing term says: "Sword" is not translated as
    // "Épée" or "Lame".
    static QString describe(const Term &term);

    // Whether the text has the phrase as whole words, case ignored.
    static bool containsPhrase(const QString &text, const QString &phrase);

private:
    std::vector<Term> m_terms;
    // The terms by their first word, folded, for a quick look through a text.
    QHash<QString, std::vector<quint32>> m_byFirstWord;
};
