#include "FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , edtFindText(new QLineEdit(this))
    , chkMatchCase(new QCheckBox(QStringLiteral("Match case"), this))
    , rbUp(new QRadioButton(QStringLiteral("Up")))
    , rbDown(new QRadioButton(QStringLiteral("Down")))
    , btnFindNext(new QPushButton(QStringLiteral("Find Next"), this))
    , btnCancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("dlgFind"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    edtFindText->setObjectName(QStringLiteral("edtFindText"));
    edtFindText->setMaxLength(255);
    chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    rbUp->setObjectName(QStringLiteral("rbUp"));
    rbDown->setObjectName(QStringLiteral("rbDown"));
    rbDown->setChecked(true);
    btnFindNext->setObjectName(QStringLiteral("btnFindNext"));
    btnFindNext->setDefault(true);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *label = new QLabel(QStringLiteral("Find what:"), this);
    label->setObjectName(QStringLiteral("lblFindWhat"));
    label->setBuddy(edtFindText);
    auto *direction = new QGroupBox(QStringLiteral("Direction"), this);
    direction->setObjectName(QStringLiteral("grpDirection"));
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(rbUp);
    directionLayout->addWidget(rbDown);

    auto *layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(edtFindText, 0, 1);
    layout->addWidget(chkMatchCase, 1, 0, Qt::AlignBottom);
    layout->addWidget(direction, 1, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnFindNext);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 2, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnFindNext, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString FindDialog::findText() const
{
    return edtFindText->text();
}

bool FindDialog::matchCase() const
{
    return chkMatchCase->isChecked();
}

bool FindDialog::searchDown() const
{
    return rbDown->isChecked();
}

void FindDialog::showOrRaise()
{
    if (!isVisible()) {
        if (m_shownBefore)
            move(m_lastPosition);
        show();
        m_shownBefore = true;
    }
    raise();
    activateWindow();
}

void FindDialog::hideEvent(QHideEvent *event)
{
    m_lastPosition = pos();
    QDialog::hideEvent(event);
}
