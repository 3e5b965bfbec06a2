#include "TranslationState.h"

#include "Consistency.h"
#include "Glossary.h"
#include "LargeBuffers.h"
#include "Pairing.h"
#include "TranslationMemory.h"
#include "uZelkStrings.h"

#include <algorithm>

namespace {

// Documents up to this size get every mark at once; larger ones as the rows
// are shown, and the rest a piece at a time.
constexpr quint32 MarksAtOnce = 50'000;

constexpr unsigned UntranslatedKinds = 1u << unsigned(FindingKind::Empty) | 1u << unsigned(FindingKind::Untranslated);
// The kinds that compare an entry with others, after the content kinds.
constexpr unsigned InconsistentKind = 1u << FindingKindCount;
constexpr unsigned GlossaryKind = 1u << (FindingKindCount + 1);

const QString InconsistentName = QStringLiteral("inconsistent");
const QString GlossaryName = QStringLiteral("glossary");

QString reviewLine(const ReviewEntry &entry)
{
    switch (entry.state) {
    case ReviewEntry::State::Changed:
        return QStringLiteral("Changed in this version");
    case ReviewEntry::State::New:
        return QStringLiteral("New in this version");
    case ReviewEntry::State::Fuzzy:
        return QStringLiteral("Filled from a memory (%1 %): to review").arg(entry.score);
    case ReviewEntry::State::Accepted:
        break;
    }
    return QString();
}

} // namespace

TranslationState::TranslationState() = default;
TranslationState::~TranslationState() = default;

void TranslationState::open(const QString &fileName)
{
    auto table = std::make_unique<TZelkStrings>();
    table->LoadFromFile(fileName);
    QHash<quint32, quint32> byNumber;
    for (quint32 i = 0; i < table->EntryCount(); ++i) {
        if (const quint32 number = table->GetNumber(i))
            byNumber.insert(number, i);
    }
    m_referenceIndex = NumberIndex::of(*table);
    m_table = std::shared_ptr<const TZelkStrings>(std::move(table));
    m_fileName = fileName;
    m_referenceByNumber = std::move(byNumber);
}

void TranslationState::close()
{
    m_table.reset();
    m_referenceIndex = NumberIndex();
    m_fileName.clear();
    m_referenceByNumber.clear();
    m_documentNumbers.clear();
    std::vector<quint32>().swap(m_partner);
    m_paired = 0;
}

void TranslationState::rebuild(const TZelkStrings &document)
{
    m_document = &document;
    const quint32 count = document.EntryCount();
    m_paired = 0;
    std::vector<quint32>().swap(m_partner);
    if (m_table && count == 0) {
        // Nothing to pair: what the pairing would be, without its cost.
        m_byNumber = document.NewFormat() && m_referenceIndex.obstacle.isEmpty();
    } else if (m_table) {
        Pairing pairing = Pairing::pair(document, *m_table, &m_referenceIndex);
        m_byNumber = pairing.kind() == Pairing::Kind::ByNumber;
        m_partner = pairing.takePartnersOfFirst();
        m_paired = count - quint32(std::count(m_partner.begin(), m_partner.end(), Pairing::NoPartner));
    }
    m_numbersCounted = false;
    m_documentNumbers.clear();
    remark();
}

void TranslationState::remark()
{
    const quint32 count = m_document ? m_document->EntryCount() : 0;
    resizeLarge(m_marks, count);
    std::fill(m_marks.begin(), m_marks.end(), Pending);
    m_pending = count;
    m_nextPending = 0;
    m_untranslated = m_problems = 0;
    if (count <= MarksAtOnce)
        computeSome(*m_document, count);
}

bool TranslationState::computeSome(const TZelkStrings &document, quint32 budget)
{
    const quint32 count = quint32(m_marks.size());
    for (; m_nextPending < count && budget > 0; ++m_nextPending) {
        if (m_marks[m_nextPending] & Pending) {
            setMark(m_nextPending, markOf(document, m_nextPending));
            --budget;
        }
    }
    return m_pending > 0;
}

int TranslationState::percentKnown() const
{
    return m_marks.empty() ? 100 : int(quint64(m_marks.size() - m_pending) * 100 / m_marks.size());
}

TranslationState::Mark TranslationState::mark(quint32 index) const
{
    if (index >= m_marks.size())
        return Fine;
    if (m_marks[index] & Pending)
        setMark(index, markOf(*m_document, index));
    return Mark(m_marks[index]);
}

void TranslationState::textChanged(const TZelkStrings &document, quint32 index)
{
    m_review.textChanged(index, document.entryText(index));
    if (index < m_marks.size())
        setMark(index, markOf(document, index));
}

void TranslationState::reviewChanged(const TZelkStrings &document, quint32 index)
{
    if (index < m_marks.size())
        setMark(index, markOf(document, index));
}

// A number edit re-pairs its entry, unless it changes whether the document's
// numbers can pair at all (a number repeats or stops repeating, the first
// number comes or the last goes): then the whole pairing may change kind.
bool TranslationState::numberChanged(const TZelkStrings &document, quint32 index, quint32 oldNumber)
{
    if (!m_table || index >= m_partner.size())
        return false;
    countDocumentNumbers(document, index, oldNumber);
    const auto obstacle = [this] { return m_repeatedNumbers > 0 || m_numberedEntries == 0; };
    const bool obstacleBefore = obstacle();
    const quint32 number = document.GetNumber(index);
    countNumber(oldNumber, -1);
    countNumber(number, +1);
    if (obstacleBefore != obstacle()) {
        const bool wasByNumber = m_byNumber;
        const QHash<quint32, quint32> counts = std::move(m_documentNumbers);
        const quint32 repeated = m_repeatedNumbers;
        const quint32 numbered = m_numberedEntries;
        rebuild(document);
        m_documentNumbers = counts;
        m_repeatedNumbers = repeated;
        m_numberedEntries = numbered;
        m_numbersCounted = true;
        return wasByNumber != m_byNumber;
    }
    if (!m_byNumber) {
        setMark(index, markOf(document, index));
        return false; // pairs by index, and still will
    }
    const bool wasPaired = m_partner[index] != Pairing::NoPartner;
    m_partner[index] = number ? m_referenceByNumber.value(number, Pairing::NoPartner) : Pairing::NoPartner;
    m_paired += (m_partner[index] != Pairing::NoPartner) - wasPaired;
    setMark(index, markOf(document, index));
    return false;
}

void TranslationState::countNumber(quint32 number, int change)
{
    if (!number)
        return;
    quint32 &entries = m_documentNumbers[number];
    if (change > 0) {
        ++m_numberedEntries;
        if (++entries == 2)
            ++m_repeatedNumbers;
    } else {
        --m_numberedEntries;
        if (entries-- == 2)
            --m_repeatedNumbers;
    }
}

// The document's numbers as they were before the entry's number changed.
void TranslationState::countDocumentNumbers(const TZelkStrings &document, quint32 index, quint32 oldNumber)
{
    if (m_numbersCounted)
        return;
    m_documentNumbers.clear();
    m_repeatedNumbers = 0;
    m_numberedEntries = 0;
    for (quint32 i = 0; i < document.EntryCount(); ++i)
        countNumber(i == index ? oldNumber : document.GetNumber(i), +1);
    m_numbersCounted = true;
}

const QString *TranslationState::referenceText(quint32 index) const
{
    if (!m_table || index >= m_partner.size() || m_partner[index] == Pairing::NoPartner)
        return nullptr;
    return &m_table->entryText(m_partner[index]);
}

unsigned TranslationState::acceptedMask(const TZelkStrings &document, quint32 index, const QString &source) const
{
    unsigned mask = 0;
    for (const QString &name : m_review.acceptedKinds(index, source, document.entryText(index))) {
        FindingKind kind;
        if (findingKindFromName(name, kind))
            mask |= 1u << unsigned(kind);
        else if (name == InconsistentName)
            mask |= InconsistentKind;
        else if (name == GlossaryName)
            mask |= GlossaryKind;
    }
    return mask;
}

unsigned TranslationState::kindsOf(const TZelkStrings &document, quint32 index, const QString &source) const
{
    const QString &text = document.entryText(index);
    unsigned kinds = m_checker.findingKinds(source, text);
    if (kinds & UntranslatedKinds)
        return kinds;
    if (m_consistency && !inconsistencies(document, index).empty())
        kinds |= InconsistentKind;
    if (m_glossary && !m_glossary->missing(source, text).empty())
        kinds |= GlossaryKind;
    return kinds;
}

std::vector<std::pair<quint32, QString>> TranslationState::inconsistencies(const TZelkStrings &document, quint32 index) const
{
    std::vector<std::pair<quint32, QString>> others;
    const QString *source = referenceText(index);
    if (!m_consistency || !source)
        return others;
    const QString &text = document.entryText(index);
    for (auto &other : m_consistency->entriesWithSource(*source)) {
        if (other.first != index && other.second != text)
            others.push_back(std::move(other));
    }
    std::sort(others.begin(), others.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    return others;
}

void TranslationState::setConsistency(const TranslationMemory *memory)
{
    m_consistency = memory;
    remark();
}

void TranslationState::setGlossary(const Glossary *glossary)
{
    m_glossary = glossary;
    remark();
}

void TranslationState::remarkEntries(const TZelkStrings &document, const std::vector<quint32> &indices)
{
    for (const quint32 index : indices) {
        if (index < m_marks.size())
            setMark(index, markOf(document, index));
    }
}

quint8 TranslationState::markOf(const TZelkStrings &document, quint32 index) const
{
    quint8 mark = m_review.isToReview(index) ? ToReview : Fine;
    if (!m_table)
        return mark;
    const QString *source = referenceText(index);
    if (!source)
        return mark | Problem; // nothing to translate from: worth a look
    const unsigned kinds = kindsOf(document, index, *source) & ~acceptedMask(document, index, *source);
    if (kinds & UntranslatedKinds)
        mark |= Untranslated;
    if (kinds & ~UntranslatedKinds)
        mark |= Problem;
    return mark;
}

// Only a paired entry can be untranslated, so the counts follow the marks.
void TranslationState::setMark(quint32 index, quint8 mark) const
{
    const quint8 old = m_marks[index];
    if (old & Pending) {
        --m_pending;
    } else {
        m_untranslated -= (old & Untranslated) ? 1 : 0;
        m_problems -= (old & Problem) ? 1 : 0;
    }
    m_untranslated += (mark & Untranslated) ? 1 : 0;
    m_problems += (mark & Problem) ? 1 : 0;
    m_marks[index] = mark;
}

QStringList TranslationState::findings(const TZelkStrings &document, quint32 index) const
{
    QStringList lines;
    if (const ReviewEntry *state = m_review.entry(index); state && m_review.isToReview(index))
        lines << reviewLine(*state);
    if (!m_table || index >= m_partner.size())
        return lines;
    const QString *source = referenceText(index);
    if (!source) {
        lines << (m_byNumber ? QStringLiteral("No entry of the reference has this number")
                             : QStringLiteral("The reference has no entry at this index"));
        return lines;
    }
    const unsigned accepted = acceptedMask(document, index, *source);
    const QString &text = document.entryText(index);
    for (const Finding &finding : m_checker.check(*source, text)) {
        if (!(accepted & (1u << unsigned(finding.kind))))
            lines << QStringLiteral("%1: %2").arg(findingKindName(finding.kind), finding.detail);
    }
    const unsigned kinds = kindsOf(document, index, *source) & ~accepted;
    if (kinds & InconsistentKind)
        lines << QStringLiteral("%1: %2").arg(InconsistentName, Consistency::detail(inconsistencies(document, index)));
    if (kinds & GlossaryKind) {
        for (const Glossary::Term *term : m_glossary->missing(*source, text))
            lines << QStringLiteral("%1: %2").arg(GlossaryName, Glossary::describe(*term));
    }
    return lines;
}

QStringList TranslationState::findingKindNames(const TZelkStrings &document, quint32 index) const
{
    QStringList names;
    const QString *source = referenceText(index);
    if (!source)
        return names;
    const unsigned kinds = kindsOf(document, index, *source);
    for (const FindingKind kind : allFindingKinds()) {
        if (kinds & (1u << unsigned(kind)))
            names << findingKindName(kind);
    }
    if (kinds & InconsistentKind)
        names << InconsistentName;
    if (kinds & GlossaryKind)
        names << GlossaryName;
    return names;
}
