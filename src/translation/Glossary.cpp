#include "Glossary.h"

#include "TranslationError.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_');
}

QString firstWord(const QString &phrase)
{
    qsizetype start = 0;
    while (start < phrase.size() && !isWordCharacter(phrase[start]))
        ++start;
    qsizetype end = start;
    while (end < phrase.size() && isWordCharacter(phrase[end]))
        ++end;
    return phrase.mid(start, end - start).toCaseFolded();
}

// RFC 4180 rows: fields separated by commas, quoted where they hold commas,
// quotes (doubled) or line breaks.
std::vector<QStringList> csvRows(const QString &text, const QString &fileName)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    int line = 1;
    int quoteLine = 1;
    const auto endField = [&] {
        row << field;
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                line += c == QLatin1Char('\n') ? 1 : 0;
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
            quoteLine = line;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))) {
            if (c == QLatin1Char('\r'))
                ++i;
            endField();
            rows.push_back(row);
            row.clear();
            ++line;
        } else if (c == QLatin1Char('"') || wasQuoted) {
            throw TranslationError(QStringLiteral("%1:%2: a quote where none may be").arg(fileName).arg(line));
        } else {
            field += c;
        }
    }
    if (quoted)
        throw TranslationError(QStringLiteral("%1:%2: a quoted field does not end").arg(fileName).arg(quoteLine));
    if (!field.isEmpty() || !row.isEmpty()) {
        endField();
        rows.push_back(row);
    }
    return rows;
}

} // namespace

Glossary Glossary::read(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw TranslationError(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    return fromCsv(file.readAll(), fileName);
}

Glossary Glossary::fromCsv(const QByteArray &bytes, const QString &fileName)
{
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        throw TranslationError(QStringLiteral("%1: not UTF-8 text").arg(fileName));
    const std::vector<QStringList> rows = csvRows(text, fileName);
    if (rows.empty() || rows.front().value(0).trimmed().compare(QLatin1String("term"), Qt::CaseInsensitive) != 0
        || rows.front().value(1).trimmed().compare(QLatin1String("translation"), Qt::CaseInsensitive) != 0)
        throw TranslationError(QStringLiteral("%1: a glossary begins with the header term,translation,note").arg(fileName));
    Glossary glossary;
    for (size_t i = 1; i < rows.size(); ++i) {
        const QStringList &row = rows[i];
        if (row.size() == 1 && row.first().trimmed().isEmpty())
            continue;
        if (row.size() < 2 || row.size() > 3 || row[0].trimmed().isEmpty())
            throw TranslationError(QStringLiteral("%1: row %2: expected a term, its translations and a note").arg(fileName).arg(i + 1));
        Term term{row[0].trimmed(), {}, row.value(2).trimmed()};
        for (const QString &translation : row[1].split(QLatin1Char('|'))) {
            if (!translation.trimmed().isEmpty())
                term.translations << translation.trimmed();
        }
        // Without one, every text with the term would be a finding.
        if (term.translations.isEmpty())
            throw TranslationError(QStringLiteral("%1: row %2: \"%3\" has no translation (a name kept as it is is its own translation)")
                                       .arg(fileName).arg(i + 1).arg(term.term));
        glossary.m_byFirstWord[firstWord(term.term)].push_back(quint32(glossary.m_terms.size()));
        glossary.m_terms.push_back(std::move(term));
    }
    return glossary;
}

bool Glossary::containsPhrase(const QString &text, const QString &phrase)
{
    if (phrase.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(phrase, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(phrase, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + phrase.size();
        if ((at == 0 || !isWordCharacter(text[at - 1])) && (end >= text.size() || !isWordCharacter(text[end])))
            return true;
    }
    return false;
}

std::vector<const Glossary::Term *> Glossary::termsIn(const QString &source) const
{
    std::vector<const Term *> found;
    if (m_terms.empty())
        return found;
    for (qsizetype i = 0; i < source.size();) {
        if (!isWordCharacter(source[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < source.size() && isWordCharacter(source[end]))
            ++end;
        const auto candidates = m_byFirstWord.constFind(source.mid(i, end - i).toCaseFolded());
        if (candidates != m_byFirstWord.constEnd()) {
            for (const quint32 index : candidates.value()) {
                const Term *term = &m_terms[index];
                if (std::find(found.begin(), found.end(), term) == found.end() && containsPhrase(source, term->term))
                    found.push_back(term);
            }
        }
        i = end;
    }
    return found;
}

std::vector<const Glossary::Term *> Glossary::missing(const QString &source, const QString &translation) const
{
    std::vector<const Term *> lacking;
    for (const Term *term : termsIn(source)) {
        const bool translated = std::any_of(term->translations.begin(), term->translations.end(),
                                            [&](const QString &accepted) { return containsPhrase(translation, accepted); });
        if (!translated)
            lacking.push_back(term);
    }
    return lacking;
}

QString Glossary::describe(const Term &term)
{
    QStringList quoted;
    for (const QString &translation : term.translations)
        quoted << QLatin1Char('"') + translation + QLatin1Char('"');
    return QStringLiteral("\"%1\" is not translated as %2").arg(term.term, quoted.join(QStringLiteral(" or ")));
}
