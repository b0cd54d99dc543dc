#include "host/TitleBar.h"

#include "host/Change.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

TitleBar::TitleBar(QWidget *pParent)
    : QWidget(pParent)
{
    setObjectName(QStringLiteral("TitleBar"));
    m_pLabelTitle = new QLabel(this);
    m_pLabelTitle->setObjectName(QStringLiteral("TitleBar_LabelTitle"));
    auto *pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(12, 0, 12, 0);
    pLayout->addWidget(m_pLabelTitle);
    setLayoutDirection(Change::GetRightToLeftLayout() ? Qt::RightToLeft : Qt::LeftToRight);
}

void TitleBar::SetTitle(const QString &strTitle)
{
    m_pLabelTitle->setText(strTitle);
}

QString TitleBar::GetTitle() const
{
    return m_pLabelTitle->text();
}

void TitleBar::mousePressEvent(QMouseEvent *pEvent)
{
    if (pEvent->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(pEvent);
        return;
    }
    m_bDragging = true;
    m_ptDragOffset = pEvent->globalPosition().toPoint() - window()->pos();
    pEvent->accept();
}

void TitleBar::mouseMoveEvent(QMouseEvent *pEvent)
{
    if (!m_bDragging || !(pEvent->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(pEvent);
        return;
    }
    window()->move(pEvent->globalPosition().toPoint() - m_ptDragOffset);
    pEvent->accept();
}

void TitleBar::mouseReleaseEvent(QMouseEvent *pEvent)
{
    m_bDragging = false;
    QWidget::mouseReleaseEvent(pEvent);
}
