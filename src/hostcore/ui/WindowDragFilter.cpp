#include "WindowDragFilter.h"

#include <QMouseEvent>
#include <QWidget>

WindowDragFilter::WindowDragFilter(QWidget *pBar) : QObject(pBar), m_pBar(pBar)
{
    pBar->installEventFilter(this);
}

bool WindowDragFilter::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (pWatched != m_pBar)
        return false;
    switch (pEvent->type()) {
    case QEvent::MouseButtonPress: {
        auto *pMouse = static_cast<QMouseEvent *>(pEvent);
        if (pMouse->button() != Qt::LeftButton)
            return false;
        m_bDragging = true;
        m_ptDragOffset = pMouse->globalPosition().toPoint() - m_pBar->window()->pos();
        pMouse->accept();
        return true;
    }
    case QEvent::MouseMove: {
        auto *pMouse = static_cast<QMouseEvent *>(pEvent);
        if (!m_bDragging || !(pMouse->buttons() & Qt::LeftButton))
            return false;
        m_pBar->window()->move(pMouse->globalPosition().toPoint() - m_ptDragOffset);
        emit signalWindowMoved();
        pMouse->accept();
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_bDragging = false;
        return false;
    default:
        return false;
    }
}
