#pragma once

#include "TranslationChecks.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TZelkStrings;

// A second strings file shown beside the document as the source of its
// translation: its entries paired with the document's, and what each
// document entry still needs. Read-only; never saved.
class ReferenceState
{
public:
    enum Mark : quint8 { Fine = 0, Untranslated = 1, Problem = 2 };

    ReferenceState();
    ~ReferenceState();

    bool isOpen() const { return bool(m_table); }
    QString fileName() const { return m_fileName; }
    // Loads the reference as a document loads; on failure nothing changes.
    void open(const QString &fileName);
    void close();

    // Pairs every entry of the document anew and checks each pair: after a
    // load, and after entries were added, deleted or moved.
    void rebuild(const TZelkStrings &document);
    // One entry's text or number changed.
    void textChanged(const TZelkStrings &document, quint32 index);
    void numberChanged(const TZelkStrings &document, quint32 index, quint32 oldNumber);

    bool byNumber() const { return m_byNumber; }
    // The paired reference text of a document entry, nullptr when unpaired.
    const QString *referenceText(quint32 index) const;
    Mark mark(quint32 index) const { return index < m_marks.size() ? Mark(m_marks[index]) : Fine; }
    // What is wrong with an entry, one line per finding, for its tooltip.
    QStringList findings(const TZelkStrings &document, quint32 index) const;

    quint32 pairedCount() const { return m_paired; }
    quint32 translatedCount() const { return m_paired - m_untranslated; }
    quint32 problemCount() const { return m_problems; }

private:
    quint8 markOf(const TZelkStrings &document, quint32 index) const;
    void setMark(quint32 index, quint8 mark);
    void pairByNumber(const TZelkStrings &document);
    void countDocumentNumbers(const TZelkStrings &document);

    std::unique_ptr<TZelkStrings> m_table;
    QString m_fileName;
    TranslationChecker m_checker;
    bool m_byNumber = false;
    std::vector<quint32> m_partner; // per document entry: reference index or NoPartner
    std::vector<quint8> m_marks;
    quint32 m_paired = 0;
    quint32 m_untranslated = 0;
    quint32 m_problems = 0;
    // For edits of numbers: the reference's entries by number, and how often
    // each non-zero number occurs in the document and in how many entries
    // (built on first use).
    QHash<quint32, quint32> m_referenceByNumber;
    QHash<quint32, quint32> m_documentNumbers;
    quint32 m_repeatedNumbers = 0;
    quint32 m_numberedEntries = 0;
    bool m_numbersCounted = false;
};
