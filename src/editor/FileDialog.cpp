#include "FileDialog.h"

#include <QFileInfo>
#include <QLineEdit>

FileDialog::FileDialog(QWidget *parent, const QString &objectName, QFileDialog::AcceptMode mode,
                       const QStringList &filters)
    : m_dialog(new QFileDialog(parent))
    , m_filters(filters)
{
    m_dialog->setObjectName(objectName);
    m_dialog->setOption(QFileDialog::DontUseNativeDialog);
    m_dialog->setAcceptMode(mode);
    m_dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    m_dialog->setNameFilters(filters);
    m_dialog->setSizeGripEnabled(true);
    if (mode == QFileDialog::AcceptSave)
        keepNameOnFilterChange();
}

// In a save dialog Qt gives the file name the first extension of a newly
// chosen filter; here the filter chooses the layout, not the name.
void FileDialog::keepNameOnFilterChange()
{
    auto *nameEdit = m_dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!nameEdit)
        return;
    QObject::connect(nameEdit, &QLineEdit::textChanged, m_dialog, [this](const QString &text) {
        m_nameBefore = m_name;
        m_name = text;
    });
    QObject::connect(m_dialog, &QFileDialog::filterSelected, m_dialog, [this, nameEdit] {
        if (nameEdit->text() != m_nameBefore
            && QFileInfo(nameEdit->text()).completeBaseName() == QFileInfo(m_nameBefore).completeBaseName())
            nameEdit->setText(m_nameBefore);
    });
}

bool FileDialog::execute()
{
    // The filter first: choosing it must not change the proposed name.
    if (filterIndex >= 1 && filterIndex <= m_filters.size())
        m_dialog->selectNameFilter(m_filters.at(filterIndex - 1));
    if (!fileName.isEmpty()) {
        const QFileInfo proposed(fileName);
        m_dialog->setDirectory(proposed.absolutePath());
        m_dialog->selectFile(proposed.fileName());
    }
    if (m_dialog->exec() != QDialog::Accepted)
        return false;
    fileName = m_dialog->selectedFiles().value(0);
    filterIndex = int(m_filters.indexOf(m_dialog->selectedNameFilter())) + 1;
    return true;
}
