#include "InputQuery.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

InputQuery::InputQuery(const QString &caption, const QString &prompt, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_prompt(new QLabel(prompt, this))
    , m_field(new QLineEdit(this))
{
    setObjectName(QStringLiteral("InputQuery"));
    setWindowTitle(caption);
    m_prompt->setObjectName(QStringLiteral("lblPrompt"));
    m_field->setObjectName(QStringLiteral("edtValue"));
    m_field->setMaxLength(255);
    m_field->setMinimumWidth(200);
    m_prompt->setBuddy(m_field);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(m_prompt);
    row->addWidget(m_field, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_field->setFocus();
}

QString InputQuery::value() const
{
    return m_field->text();
}

bool InputQuery::ask(const QString &caption, const QString &prompt, QString &value)
{
    InputQuery query(caption, prompt);
    query.m_field->setText(value);
    query.m_field->selectAll();
    if (query.exec() != QDialog::Accepted)
        return false;
    value = query.value();
    return true;
}
