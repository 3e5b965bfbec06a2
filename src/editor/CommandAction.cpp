#include "CommandAction.h"

#include "Pictures.h"

#include <QAction>
#include <QKeySequence>

QString longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QString shortHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

QAction *makeCommandAction(QObject *parent, const char *name, const char *category, const char *caption,
                           const char *hint, const char *shortcutText, int image)
{
    auto *action = new QAction(QString::fromLatin1(caption), parent);
    const QString fullHint = QString::fromLatin1(hint);
    const QKeySequence shortcut(QString::fromLatin1(shortcutText), QKeySequence::PortableText);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("category", QString::fromLatin1(category));
    action->setProperty("hint", fullHint);
    action->setStatusTip(longHint(fullHint));
    const QString tip = shortHint(fullHint);
    action->setToolTip(shortcut.isEmpty() || tip.isEmpty()
                           ? tip
                           : QStringLiteral("%1 (%2)").arg(tip, shortcut.toString(QKeySequence::PortableText)));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setProperty("imageIndex", image);
    if (image >= 0)
        action->setIcon(Pictures::picture(image));
    return action;
}
