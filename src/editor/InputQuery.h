#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// Asks for one line of text: the prompt and, to its right, a field of at most
// 255 characters; OK and Cancel below, at the right.
class InputQuery : public QDialog
{
    Q_OBJECT

public:
    InputQuery(const QString &caption, const QString &prompt, QWidget *parent = nullptr);

    QString value() const;

    // Shows the dialog modally, centred on the screen; true with the text
    // when the user confirmed it.
    static bool ask(const QString &caption, const QString &prompt, QString &value);

private:
    QLabel *m_prompt;
    QLineEdit *m_field;
};
