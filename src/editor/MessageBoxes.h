#pragma once

#include <QString>

// The program's message boxes, each centred on the screen.
namespace MessageBoxes {

// The application title: the title of the standard error box.
QString applicationTitle();
void setApplicationTitle(const QString &title);

// The standard error box for a failure that left a command: the message with
// a full stop added when its last character sorts after the full stop, the
// application title, a stop icon and OK.
void showFailure(const QString &message);
// The message as the standard error box shows it.
QString failureText(const QString &message);

enum class SaveAnswer { Yes, No, Cancel };
// "Do you wish to save changes?" with Yes, No and Cancel.
SaveAnswer askToSave();

// A question titled "Confirm" with Yes (default) and No; Esc answers No.
bool confirm(const QString &message);

// An error titled "Error" with OK.
void showError(const QString &message);

// A plain message titled with the application title, with OK.
void showMessage(const QString &message);

} // namespace MessageBoxes
