#include "TextEditor.h"

#include <QKeyEvent>
#include <QMimeData>

QString TextEditor::storable(const QString &text)
{
    QString result = text;
    result.remove(QChar(0));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    result.replace(QChar::LineSeparator, QLatin1Char('\n'));
    result.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return result;
}

void TextEditor::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // Shift+Enter would put in a line separator, which is not a line break
    // of the file.
    if (enter && (event->modifiers() & Qt::ShiftModifier) && !isReadOnly()) {
        textCursor().insertBlock();
        ensureCursorVisible();
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (!enter && !typed.isEmpty() && storable(typed) != typed && !isReadOnly()) {
        insertPlainText(storable(typed));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextEditor::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText() && !isReadOnly())
        insertPlainText(storable(source->text()));
}
