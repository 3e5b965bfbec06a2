#pragma once

#include <QString>

class QAction;
class QObject;

// A command of the window: an action with its name, caption, hint ("Short|
// long": the tooltip, with the shortcut, and the status-bar text), shortcut
// and picture index (-1 for none). Its shortcut is looked up by the window,
// not by Qt, so that the focused control does not take the key first.
QAction *makeCommandAction(QObject *parent, const char *name, const char *category, const char *caption,
                           const char *hint, const char *shortcut, int image);

// The long part of a hint: the text after its first '|', or all of it.
QString longHint(const QString &hint);
QString shortHint(const QString &hint);
