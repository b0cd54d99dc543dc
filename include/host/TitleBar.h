#pragma once

#include "HostExport.h"

#include <QWidget>

class QLabel;

// A plain title bar with a caption; dragging it moves the top-level window.
class HOSTCORE_EXPORT TitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit TitleBar(QWidget *pParent = nullptr);
    void SetTitle(const QString &strTitle);
    QString GetTitle() const;

protected:
    void mousePressEvent(QMouseEvent *pEvent) override;
    void mouseMoveEvent(QMouseEvent *pEvent) override;
    void mouseReleaseEvent(QMouseEvent *pEvent) override;

private:
    QLabel *m_pLabelTitle = nullptr;
    QPoint m_ptDragOffset;
    bool m_bDragging = false;
};
