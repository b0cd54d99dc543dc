#include "host/TitleBar.h"

#include "host/Change.h"

#include "WindowDragFilter.h"

#include <QHBoxLayout>
#include <QLabel>

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
    new WindowDragFilter(this);
}

void TitleBar::SetTitle(const QString &strTitle)
{
    m_pLabelTitle->setText(strTitle);
}

QString TitleBar::GetTitle() const
{
    return m_pLabelTitle->text();
}

