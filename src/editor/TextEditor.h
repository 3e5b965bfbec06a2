#pragma once

#include <QPlainTextEdit>

// The editor of the current string. Texts are stored as UTF-8 ended by a 0
// byte, with '^' for a line break, so what cannot be stored never gets in:
// a NUL can be neither typed nor pasted, and Shift+Enter, a carriage return
// and the Unicode line and paragraph separators become line breaks at once.
class TextEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    using QPlainTextEdit::QPlainTextEdit;

    // A text as it may go into the editor: NULs dropped, every CR LF, CR,
    // U+2028 and U+2029 made a line feed.
    static QString storable(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
};
