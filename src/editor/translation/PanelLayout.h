#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QWidget;

// The heights of the translator's panes above the text editor: each as tall
// as its content, from a least height up to its share of the panel, and all
// of them together never so tall that the text editor gets less than half
// of the panel. Each pane leaves those after it their least heights.
class PanelLayout : public QObject
{
    Q_OBJECT

public:
    PanelLayout(QWidget *panel, QWidget *textEditor);

    // A pane, first come first served: the height its content needs, the
    // least height it keeps, and the share of the panel it may take at most.
    void addPane(QWidget *pane, std::function<int()> contentHeight, std::function<int()> leastHeight, double share);
    // Gives the shown panes their heights; after a change of their content.
    void update();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Pane
    {
        QWidget *widget;
        std::function<int()> contentHeight;
        std::function<int()> leastHeight;
        double share;
    };

    QWidget *m_panel;
    QWidget *m_textEditor;
    std::vector<Pane> m_panes;
};
