#pragma once

#include <QDialog>
#include <QPoint>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modeless find dialog. It lives as long as the main window, so its text,
// options and position last between openings.
class FindDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FindDialog(QWidget *parent);

    QString findText() const;
    bool matchCase() const;
    bool searchDown() const;

    // Shows the dialog where it was last, or brings it to the front.
    void showOrRaise();

Q_SIGNALS:
    // Find Next was pressed.
    void findNext();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QLineEdit *edtFindText;
    QCheckBox *chkMatchCase;
    QRadioButton *rbUp;
    QRadioButton *rbDown;
    QPushButton *btnFindNext;
    QPushButton *btnCancel;
    QPoint m_lastPosition;
    bool m_shownBefore = false;
};
