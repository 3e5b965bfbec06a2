#include "uAbout.h"

#include "Pictures.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

TfrmAboutBox *frmAboutBox = nullptr;

namespace {

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent, QPoint position)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(position);
    return label;
}

} // namespace

TfrmAboutBox::TfrmAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 281, 161);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 16, 32, 32);
    ProgramIcon->setPixmap(Pictures::programIcon().pixmap(32, 32));

    lblProductName = makeLabel(QStringLiteral("lblProductName"), QStringLiteral("Zelk Strings Editor"), Panel1, {56, 16});
    lblVersion = makeLabel(QStringLiteral("lblVersion"), QStringLiteral("Version: 3.0"), Panel1, {56, 40});
    lblCopyright = makeLabel(QStringLiteral("lblCopyright"),
                             QStringLiteral("Copyright (C) 2026 the Zelk Strings Editor developers"), Panel1, {8, 64});
    lblComments = makeLabel(QStringLiteral("lblComments"),
                            QStringLiteral("This software is provided without any warranties. Use at your own risk."),
                            Panel1, {8, 96});
    lblComments->setWordWrap(true);
    lblComments->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    fitToText();
    OKButton->setFocus();
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmAboutBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        fitToText();
        centreOnParent();
    }
    QDialog::changeEvent(event);
}

// Centred on the main window once it has its size: the toolkit centres it on
// the size it had before its font made it grow.
void TfrmAboutBox::showEvent(QShowEvent *event)
{
    fitToText();
    centreOnParent();
    QDialog::showEvent(event);
}

// A size settled after the window appeared (its style, its font) keeps it
// centred too.
void TfrmAboutBox::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    centreOnParent();
}

void TfrmAboutBox::centreOnParent()
{
    if (!parentWidget() || !isVisible())
        return;
    // By how far its frame's centre is off: windowing systems place a
    // window's frame or its inside as they do.
    move(pos() + parentWidget()->window()->frameGeometry().center() - frameGeometry().center());
}

// The window has no cancel button, so Esc leaves it open.
void TfrmAboutBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The window as designed for its 8-point font, grown where a larger font
// needs more room, so that every text shows whole: the one-line labels are as
// large as their text, each line starts below the one above it, and the
// notice wraps within the width of the widest line.
void TfrmAboutBox::fitToText()
{
    if (!OKButton)
        return;
    for (QLabel *label : {lblProductName, lblVersion, lblCopyright})
        label->adjustSize();
    const auto below = [](const QWidget *widget, int gap) { return widget->geometry().bottom() + 1 + gap; };
    lblProductName->move(56, 16);
    lblVersion->move(56, std::max(40, below(lblProductName, 4)));
    lblCopyright->move(8, std::max({64, below(lblVersion, 8), below(ProgramIcon, 8)}));
    const int width = std::max({265, lblCopyright->width(), lblProductName->geometry().right() + 1 - 8,
                                lblVersion->geometry().right() + 1 - 8});
    lblComments->setGeometry(8, std::max(96, below(lblCopyright, 12)), width, std::max(52, lblComments->heightForWidth(width)));
    Panel1->setGeometry(8, 8, width + 16, std::max(161, below(lblComments, 8)));
    const QSize button = OKButton->sizeHint().expandedTo(QSize(75, 25));
    const int dialogWidth = std::max(298, Panel1->width() + 17);
    OKButton->setGeometry((dialogWidth - button.width()) / 2, Panel1->geometry().bottom() + 1 + 11, button.width(),
                          button.height());
    setFixedSize(dialogWidth, std::max(213, below(OKButton, 8)));
}
