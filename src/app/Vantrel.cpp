// The program entry: the application, its title, the main window and the
// message loop.
#include "MessageBoxes.h"
#include "uVantrel.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

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
    // For the package test only: report the caption once the window is up,
    // then close it the usual way.
    if (qEnvironmentVariableIsSet("VANTREL_TEST_QUIT_AFTER_START")) {
        QTimer::singleShot(0, &frmVantrel, [&frmVantrel] {
            std::printf("%s\n", frmVantrel.windowTitle().toUtf8().constData());
            frmVantrel.close();
        });
    }
    return application.exec();
}
