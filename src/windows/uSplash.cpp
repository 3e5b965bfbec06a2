#include "uSplash.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

TfrmSplash *frmSplash = nullptr;

TfrmSplash::TfrmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , pnlSplash(new QLabel(QStringLiteral("Vantrel is loading. Please, wait..."), this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(292, 73);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    pnlSplash->setObjectName(QStringLiteral("pnlSplash"));
    pnlSplash->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlSplash->setLineWidth(1);
    pnlSplash->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pnlSplash);
}

void TfrmSplash::showAndPaint()
{
    show();
    // A window system may map the window a little later; wait briefly for it
    // without handling the user's input, then paint.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 300) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    repaint();
}
