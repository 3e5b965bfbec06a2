#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The About window: product name, version, copyright and a short notice.
class TfrmAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAboutBox(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitToText();
    void centreOnParent();

    QFrame *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *lblProductName = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblComments = nullptr;
    QPushButton *OKButton = nullptr;
};

// The About window while it is shown, empty otherwise.
extern TfrmAboutBox *frmAboutBox;
