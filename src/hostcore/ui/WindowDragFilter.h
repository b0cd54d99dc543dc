#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Lets the user move a top-level window by dragging a bar inside it with the
// left mouse button. Installed on the bar, whose parent it becomes; the bar's
// other mouse handling is left alone.
class WindowDragFilter : public QObject
{
    Q_OBJECT
public:
    explicit WindowDragFilter(QWidget *pBar);

signals:
    // The window was moved by a drag step.
    void signalWindowMoved();

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;

private:
    QWidget *const m_pBar;
    QPoint m_ptDragOffset;
    bool m_bDragging = false;
};
