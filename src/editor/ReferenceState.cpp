#include "ReferenceState.h"

#include "Pairing.h"
#include "uZelkStrings.h"

ReferenceState::ReferenceState() = default;
ReferenceState::~ReferenceState() = default;

void ReferenceState::open(const QString &fileName)
{
    auto table = std::make_unique<TZelkStrings>();
    table->LoadFromFile(fileName);
    QHash<quint32, quint32> byNumber;
    for (quint32 i = 0; i < table->EntryCount(); ++i) {
        if (const quint32 number = table->GetNumber(i))
            byNumber.insert(number, i);
    }
    m_table = std::move(table);
    m_fileName = fileName;
    m_referenceByNumber = std::move(byNumber);
}

void ReferenceState::close()
{
    m_table.reset();
    m_fileName.clear();
    m_referenceByNumber.clear();
    m_documentNumbers.clear();
    std::vector<quint32>().swap(m_partner);
    std::vector<quint8>().swap(m_marks);
    m_paired = m_untranslated = m_problems = 0;
}

void ReferenceState::rebuild(const TZelkStrings &document)
{
    if (!m_table)
        return;
    const Pairing pairing = Pairing::pair(document, *m_table);
    m_byNumber = pairing.kind() == Pairing::Kind::ByNumber;
    const quint32 count = document.EntryCount();
    m_partner.assign(count, Pairing::NoPartner);
    m_marks.assign(count, Fine);
    m_paired = m_untranslated = m_problems = 0;
    for (quint32 i = 0; i < count; ++i) {
        m_partner[i] = pairing.partnerOfFirst(i);
        if (m_partner[i] != Pairing::NoPartner)
            ++m_paired;
        setMark(i, markOf(document, i));
    }
    m_numbersCounted = false;
    m_documentNumbers.clear();
}

void ReferenceState::textChanged(const TZelkStrings &document, quint32 index)
{
    if (m_table && index < m_marks.size())
        setMark(index, markOf(document, index));
}

// A number edit re-pairs its entry, unless it changes whether the document's
// numbers can pair at all (a number repeats or stops repeating, the first
// number comes or the last goes): then the whole pairing may change kind.
void ReferenceState::numberChanged(const TZelkStrings &document, quint32 index, quint32 oldNumber)
{
    if (!m_table || index >= m_partner.size())
        return;
    countDocumentNumbers(document);
    const auto obstacle = [this] { return m_repeatedNumbers > 0 || m_numberedEntries == 0; };
    const bool obstacleBefore = obstacle();
    const quint32 number = document.GetNumber(index);
    if (oldNumber) {
        --m_numberedEntries;
        if (--m_documentNumbers[oldNumber] == 1)
            --m_repeatedNumbers;
    }
    if (number) {
        ++m_numberedEntries;
        if (++m_documentNumbers[number] == 2)
            ++m_repeatedNumbers;
    }
    if (obstacleBefore != obstacle()) {
        const QHash<quint32, quint32> counts = std::move(m_documentNumbers);
        const quint32 repeated = m_repeatedNumbers;
        const quint32 numbered = m_numberedEntries;
        rebuild(document);
        m_documentNumbers = counts;
        m_repeatedNumbers = repeated;
        m_numberedEntries = numbered;
        m_numbersCounted = true;
        return;
    }
    if (!m_byNumber)
        return; // pairs by index, and still will
    const bool wasPaired = m_partner[index] != Pairing::NoPartner;
    m_partner[index] = number ? m_referenceByNumber.value(number, Pairing::NoPartner) : Pairing::NoPartner;
    m_paired += (m_partner[index] != Pairing::NoPartner) - wasPaired;
    setMark(index, markOf(document, index));
}

void ReferenceState::countDocumentNumbers(const TZelkStrings &document)
{
    if (m_numbersCounted)
        return;
    m_documentNumbers.clear();
    m_repeatedNumbers = 0;
    m_numberedEntries = 0;
    for (quint32 i = 0; i < document.EntryCount(); ++i) {
        if (const quint32 number = document.GetNumber(i)) {
            ++m_numberedEntries;
            if (++m_documentNumbers[number] == 2)
                ++m_repeatedNumbers;
        }
    }
    m_numbersCounted = true;
}

const QString *ReferenceState::referenceText(quint32 index) const
{
    if (!m_table || index >= m_partner.size() || m_partner[index] == Pairing::NoPartner)
        return nullptr;
    return &m_table->entryText(m_partner[index]);
}

quint8 ReferenceState::markOf(const TZelkStrings &document, quint32 index) const
{
    const QString *source = referenceText(index);
    if (!source)
        return Problem; // nothing to translate from: worth a look
    const unsigned kinds = m_checker.findingKinds(*source, document.entryText(index));
    constexpr unsigned untranslated = 1u << unsigned(FindingKind::Empty) | 1u << unsigned(FindingKind::Untranslated);
    return quint8(((kinds & untranslated) ? Untranslated : Fine) | ((kinds & ~untranslated) ? Problem : Fine));
}

// Only a paired entry can be untranslated, so the counts follow the marks.
void ReferenceState::setMark(quint32 index, quint8 mark)
{
    const quint8 old = m_marks[index];
    m_untranslated += ((mark & Untranslated) ? 1 : 0) - ((old & Untranslated) ? 1 : 0);
    m_problems += ((mark & Problem) ? 1 : 0) - ((old & Problem) ? 1 : 0);
    m_marks[index] = mark;
}

QStringList ReferenceState::findings(const TZelkStrings &document, quint32 index) const
{
    QStringList lines;
    const QString *source = referenceText(index);
    if (!m_table || index >= m_partner.size())
        return lines;
    if (!source) {
        lines << (m_byNumber ? QStringLiteral("No entry of the reference has this number")
                             : QStringLiteral("The reference has no entry at this index"));
        return lines;
    }
    for (const Finding &finding : m_checker.check(*source, document.entryText(index)))
        lines << QStringLiteral("%1: %2").arg(findingKindName(finding.kind), finding.detail);
    return lines;
}
