#include "Catalogue.h"

#include "Pairing.h"
#include "uZelkStrings.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

QByteArray readCatalogueFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile() && !info.isDir())
        throw CliError(QStringLiteral("%1: Not a regular file").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw CliError(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    return file.readAll();
}

QString ExportTables::sourceText(quint32 index) const
{
    if (!source)
        return translation.entryText(index);
    const quint32 partner = pairing->partnerOfFirst(index);
    return partner != Pairing::NoPartner ? source->entryText(partner) : QString();
}

QString ExportTables::entryKey(quint32 index) const
{
    const quint32 number = translation.GetNumber(index);
    if (numberContexts && number != 0)
        return formatNumber(number);
    return QString::number(index) + QLatin1Char(':') + formatNumber(number);
}

namespace {

// Finds the table entry an imported entry names, or says why there is none.
class EntryLocator
{
public:
    EntryLocator(const TZelkStrings &table, const ImportOptions &options)
        : m_table(table)
        , m_options(options)
        , m_byNumber(!options.setNumbers && numberIdentityObstacle(table).isEmpty())
    {
        for (quint32 i = 0; i < table.EntryCount(); ++i) {
            if (const quint32 number = table.GetNumber(i))
                m_numbers.insert(number, i);
        }
    }

    std::optional<quint32> locate(const ImportedEntry &entry, QString &problem) const
    {
        if (!entry.index || (entry.preferNumber && m_byNumber && *entry.number != 0))
            return locateByNumber(*entry.number, problem);
        const quint32 index = *entry.index;
        if (index >= m_table.EntryCount()) {
            problem = QStringLiteral("entry %1 is out of range: the file has %2 entries").arg(index).arg(m_table.EntryCount());
            return std::nullopt;
        }
        if (entry.number && *entry.number != m_table.GetNumber(index) && !m_options.setNumbers) {
            problem = QStringLiteral("number %1 differs from entry %2's %3")
                          .arg(formatNumber(*entry.number))
                          .arg(index)
                          .arg(formatNumber(m_table.GetNumber(index)));
            return std::nullopt;
        }
        return index;
    }

private:
    std::optional<quint32> locateByNumber(quint32 number, QString &problem) const
    {
        const qsizetype count = number ? m_numbers.count(number) : 0;
        if (count == 1)
            return m_numbers.value(number);
        problem = count == 0 ? QStringLiteral("no entry has the number %1").arg(formatNumber(number))
                             : QStringLiteral("the number %1 is on %2 entries").arg(formatNumber(number)).arg(count);
        return std::nullopt;
    }

    const TZelkStrings &m_table;
    const ImportOptions &m_options;
    bool m_byNumber;
    QMultiHash<quint32, quint32> m_numbers;
};

QString sourceProblem(const ImportedEntry &entry, quint32 index, const ImportOptions &options)
{
    if (!options.source || !entry.sourceText)
        return QString();
    const quint32 partner = options.sourcePairing->partnerOfFirst(index);
    if (partner == Pairing::NoPartner)
        return QStringLiteral("the source has no entry paired with entry %1").arg(index);
    if (options.source->entryText(partner) != *entry.sourceText)
        return QStringLiteral("its source text \"%1\" differs from the source's entry %2, \"%3\"")
            .arg(entry.sourceText->left(80), QString::number(partner), options.source->entryText(partner).left(80));
    return QString();
}

} // namespace

ImportReport applyImport(TZelkStrings &table, const std::vector<ImportedEntry> &entries, const QString &catalogueName,
                         const ImportOptions &options)
{
    const EntryLocator locator(table, options);
    std::vector<char> seen(table.EntryCount(), 0);
    std::vector<std::pair<quint32, const ImportedEntry *>> accepted;
    ImportReport report;
    for (const ImportedEntry &entry : entries) {
        if (entry.fuzzy && !options.fuzzy) {
            ++report.skippedFuzzy;
            continue;
        }
        QString problem;
        const std::optional<quint32> index = locator.locate(entry, problem);
        if (index)
            problem = sourceProblem(entry, *index, options);
        if (!problem.isEmpty()) {
            report.mismatches << QStringLiteral("%1: %2").arg(entry.where, problem);
            continue;
        }
        if (seen[*index])
            throw CliError(QStringLiteral("%1: entry %2 appears more than once").arg(catalogueName).arg(*index));
        seen[*index] = 1;
        accepted.emplace_back(*index, &entry);
    }
    if (!report.mismatches.isEmpty() && !options.force)
        return report;
    for (const auto &[index, entry] : accepted) {
        // An empty text for a text that is not UTF-8 is how catalogues show
        // it: its bytes stay.
        if (entry->bytes)
            table.setUnreadableBytes(index, *entry->bytes);
        else if (!(entry->text.isEmpty() && table.isUnreadable(index)))
            table.SetEntry(index, entry->text);
        if (options.setNumbers && entry->number)
            table.SetNumber(index, *entry->number);
    }
    report.imported = quint32(accepted.size());
    for (const auto &entry : accepted)
        report.importedIndices.push_back(entry.first);
    return report;
}
