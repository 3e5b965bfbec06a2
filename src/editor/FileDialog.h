#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

// An open or save dialog that keeps its file name and filter index (counted
// from 1) between uses, as the commands read and set them.
class FileDialog
{
public:
    FileDialog(QWidget *parent, const QString &objectName, QFileDialog::AcceptMode mode, const QStringList &filters);

    QString fileName;
    int filterIndex = 1;

    // Shows the dialog on fileName and filterIndex; on acceptance stores the
    // chosen ones and returns true.
    bool execute();

    QFileDialog *dialog() const { return m_dialog; }

private:
    void keepNameOnFilterChange();

    QFileDialog *m_dialog;
    QStringList m_filters;
    QString m_nameBefore;
    QString m_name;
};
