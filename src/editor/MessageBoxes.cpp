#include "MessageBoxes.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace {

QString &storedTitle()
{
    static QString title = QStringLiteral("Zelk Strings Editor");
    return title;
}

// A box without a parent: it is centred on the screen and modal to the whole
// program.
int execBox(QMessageBox::Icon icon, const QString &title, const QString &text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
            QMessageBox::StandardButton escapeButton)
{
    QMessageBox box(icon, title, text, buttons);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    const struct {
        QMessageBox::StandardButton button;
        const char *caption;
    } captions[] = {{QMessageBox::Yes, "&Yes"}, {QMessageBox::No, "&No"}, {QMessageBox::Cancel, "Cancel"}, {QMessageBox::Ok, "OK"}};
    for (const auto &caption : captions) {
        if (QAbstractButton *button = box.button(caption.button))
            button->setText(QString::fromLatin1(caption.caption));
    }
    return box.exec();
}

} // namespace

QString MessageBoxes::applicationTitle()
{
    return storedTitle();
}

void MessageBoxes::setApplicationTitle(const QString &title)
{
    storedTitle() = title;
}

QString MessageBoxes::failureText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void MessageBoxes::showFailure(const QString &message)
{
    execBox(QMessageBox::Critical, applicationTitle(), failureText(message), QMessageBox::Ok, QMessageBox::Ok,
            QMessageBox::Ok);
}

MessageBoxes::SaveAnswer MessageBoxes::askToSave()
{
    const int answer = execBox(QMessageBox::Question, QStringLiteral("Confirm"),
                               QStringLiteral("Do you wish to save changes?"),
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                               QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return SaveAnswer::Yes;
    if (answer == QMessageBox::No)
        return SaveAnswer::No;
    return SaveAnswer::Cancel;
}

bool MessageBoxes::confirm(const QString &message)
{
    return execBox(QMessageBox::Question, QStringLiteral("Confirm"), message, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::Yes, QMessageBox::No)
        == QMessageBox::Yes;
}

void MessageBoxes::showError(const QString &message)
{
    execBox(QMessageBox::Critical, QStringLiteral("Error"), message, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBoxes::showMessage(const QString &message)
{
    execBox(QMessageBox::NoIcon, applicationTitle(), message, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}
