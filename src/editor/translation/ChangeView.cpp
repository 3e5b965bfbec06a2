#include "ChangeView.h"

#include "TextRules.h"
#include "WordDiff.h"

#include <QTextBlock>
#include <QTextCursor>

namespace {

// Writes a text with the given spans in the marked format.
void writeMarked(QTextCursor &cursor, const QString &text, const std::vector<WordDiff::Span> &spans,
                 const QTextCharFormat &marked)
{
    const QTextCharFormat plain;
    qsizetype at = 0;
    for (const WordDiff::Span &span : spans) {
        cursor.insertText(text.mid(at, span.start - at), plain);
        cursor.insertText(text.mid(span.start, span.length), marked);
        at = span.start + span.length;
    }
    cursor.insertText(text.mid(at), plain);
}

} // namespace

ChangeView::ChangeView(QWidget *parent)
    : QTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setTabChangesFocus(true);
}

void ChangeView::showChange(const QString &before, const QString &after)
{
    const QString old = TextRules::toEditorLines(before);
    const QString now = TextRules::toEditorLines(after);
    const WordDiff diff(old, now);
    clear();
    QTextCursor cursor(document());
    QTextCharFormat removed;
    removed.setFontStrikeOut(true);
    removed.setForeground(QColor(160, 0, 0));
    QTextCharFormat added;
    added.setFontUnderline(true);
    added.setForeground(QColor(0, 110, 0));
    writeMarked(cursor, old, diff.removed(), removed);
    cursor.insertBlock();
    writeMarked(cursor, now, diff.added(), added);
    updateGeometry();
}

QSize ChangeView::sizeHint() const
{
    const QSize base = QTextEdit::sizeHint();
    const int height = int(document()->size().height()) + 2 * frameWidth() + 4;
    return QSize(base.width(), height);
}
