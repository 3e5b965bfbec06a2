#include "SuggestionList.h"

#include <QFont>

namespace {

constexpr int GlossaryRole = Qt::UserRole + 1;

// A row is one line: line breaks show as a sign.
QString oneLine(QString text)
{
    return text.replace(QLatin1String("\r\n"), QStringLiteral("\u21b5")).replace(QLatin1Char('\n'), QStringLiteral("\u21b5"));
}

// The stored source with the words the current source lacks in bold.
QString markedSource(const TranslationMemory::Match &match)
{
    QString html;
    qsizetype at = 0;
    for (const WordDiff::Span &span : match.differing) {
        html += match.source.mid(at, span.start - at).toHtmlEscaped();
        html += QStringLiteral("<b><u>") + match.source.mid(span.start, span.length).toHtmlEscaped() + QStringLiteral("</u></b>");
        at = span.start + span.length;
    }
    html += match.source.mid(at).toHtmlEscaped();
    return html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

} // namespace

SuggestionList::SuggestionList(QWidget *parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("lstSuggestions"));
    setAccessibleName(QStringLiteral("Suggestions"));
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { Q_EMIT used(row(item)); });
}

void SuggestionList::showSuggestions(const std::vector<TranslationMemory::Match> &matches, const std::vector<QString> &origins,
                                     const std::vector<const Glossary::Term *> &terms)
{
    clear();
    m_suggestions.clear();
    m_matches = int(matches.size());
    for (size_t i = 0; i < matches.size(); ++i) {
        const TranslationMemory::Match &match = matches[i];
        auto *item = new QListWidgetItem(QStringLiteral("%1 %  %2").arg(match.score).arg(oneLine(match.translation)), this);
        item->setToolTip(QStringLiteral("<p>Ctrl+%1 puts this translation into the text. Its source in %2:</p><p>%3</p>")
                             .arg(i + 1)
                             .arg(origins[i].toHtmlEscaped(), markedSource(match)));
        m_suggestions.push_back({false, match.translation});
    }
    for (const Glossary::Term *term : terms) {
        const QString translations = term->translations.join(QStringLiteral(" | "));
        auto *item = new QListWidgetItem(QStringLiteral("%1 \u2192 %2").arg(oneLine(term->term), oneLine(translations)), this);
        item->setData(GlossaryRole, true);
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
        QString tip = QStringLiteral("Glossary: \"%1\" is translated as %2").arg(term->term, translations).toHtmlEscaped();
        if (!term->note.isEmpty())
            tip += QStringLiteral("<br>") + term->note.toHtmlEscaped();
        item->setToolTip(QStringLiteral("<p>%1</p><p>A double-click puts it in at the cursor.</p>").arg(tip));
        m_suggestions.push_back({true, term->translations.value(0)});
    }
}

const SuggestionList::Suggestion *SuggestionList::suggestion(int row) const
{
    return row >= 0 && row < int(m_suggestions.size()) ? &m_suggestions[size_t(row)] : nullptr;
}

int SuggestionList::contentHeight() const
{
    const int rows = std::max(1, count());
    const int row = count() > 0 ? sizeHintForRow(0) : fontMetrics().height() + 4;
    return rows * row + 2 * frameWidth() + 2;
}
