#include "PanelLayout.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

PanelLayout::PanelLayout(QWidget *panel, QWidget *textEditor)
    : QObject(panel)
    , m_panel(panel)
    , m_textEditor(textEditor)
{
    panel->installEventFilter(this);
}

void PanelLayout::addPane(QWidget *pane, std::function<int()> contentHeight, std::function<int()> leastHeight, double share)
{
    m_panes.push_back({pane, std::move(contentHeight), std::move(leastHeight), share});
    pane->installEventFilter(this);
}

bool PanelLayout::eventFilter(QObject *watched, QEvent *event)
{
    const bool resized = watched == m_panel && event->type() == QEvent::Resize;
    const bool shownOrHidden = watched != m_panel && (event->type() == QEvent::Show || event->type() == QEvent::Hide);
    if (resized || shownOrHidden)
        update();
    return QObject::eventFilter(watched, event);
}

void PanelLayout::update()
{
    const int panel = m_panel->height();
    // What the panes may take together: all but half the panel, and but the
    // controls above the editor that are not panes.
    int fixed = 0;
    for (const QObject *child : m_panel->children()) {
        const auto *widget = qobject_cast<const QWidget *>(child);
        if (!widget || widget == m_textEditor || widget->isHidden() || !widget->isWidgetType()
            || std::any_of(m_panes.begin(), m_panes.end(), [widget](const Pane &pane) { return pane.widget == widget; }))
            continue;
        fixed += std::max(widget->height(), widget->sizeHint().height());
    }
    int left = std::max(0, panel - panel / 2 - fixed);
    // Each pane leaves the panes after it their least heights.
    int reserved = 0;
    for (const Pane &pane : m_panes)
        reserved += pane.widget->isHidden() ? 0 : pane.leastHeight();
    for (const Pane &pane : m_panes) {
        if (pane.widget->isHidden())
            continue;
        const int least = pane.leastHeight();
        reserved -= least;
        const int most = std::max(least, int(panel * pane.share));
        const int height = std::min(std::clamp(pane.contentHeight(), least, most), std::max(left - reserved, least));
        pane.widget->setFixedHeight(height);
        left -= height;
    }
}
