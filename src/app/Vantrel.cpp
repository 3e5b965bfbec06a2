// The program entry: the application, its title, the main window and the
// message loop.
#include "MessageBoxes.h"
#include "uVantrel.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationVersion(QStringLiteral("3.0"));
    // Lets Wayland desktops find the menu entry and so the icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vantrel"));
    MessageBoxes::setApplicationTitle(QStringLiteral("Zelk Strings Editor"));

    TfrmVantrel frmVantrel;
    frmVantrel.show();
    return application.exec();
}
