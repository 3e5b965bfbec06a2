#include "FileDialog.h"

#include <QFileInfo>

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
}

bool FileDialog::execute()
{
    if (!fileName.isEmpty()) {
        const QFileInfo proposed(fileName);
        m_dialog->setDirectory(proposed.absolutePath());
        m_dialog->selectFile(proposed.fileName());
    }
    if (filterIndex >= 1 && filterIndex <= m_filters.size())
        m_dialog->selectNameFilter(m_filters.at(filterIndex - 1));
    if (m_dialog->exec() != QDialog::Accepted)
        return false;
    fileName = m_dialog->selectedFiles().value(0);
    filterIndex = int(m_filters.indexOf(m_dialog->selectedNameFilter())) + 1;
    return true;
}
