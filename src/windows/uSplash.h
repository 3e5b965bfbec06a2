#pragma once

#include <QWidget>

class QLabel;

// The small frameless window that says a strings file is being loaded.
class TfrmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmSplash(QWidget *parent = nullptr);

    // Shows the window and has it painted at once: the load that follows
    // handles no window messages.
    void showAndPaint();

private:
    QLabel *pnlSplash;
};

// The splash window while it exists, empty otherwise.
extern TfrmSplash *frmSplash;
