#include "uAbout.h"

#include "Pictures.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

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
    setFixedSize(298, 213);
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
    lblComments->setFixedSize(265, 52);
    sizeLabelsToText();

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(111, 180, 75, 25);
    OKButton->setDefault(true);
    OKButton->setFocus();
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmAboutBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        sizeLabelsToText();
    QDialog::changeEvent(event);
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

// The three one-line labels are as wide and high as their text.
void TfrmAboutBox::sizeLabelsToText()
{
    for (QLabel *label : {lblProductName, lblVersion, lblCopyright}) {
        if (label)
            label->adjustSize();
    }
}
