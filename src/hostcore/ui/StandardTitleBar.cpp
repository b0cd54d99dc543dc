#include "host/StandardTitleBar.h"

#include "host/Change.h"

#include "WindowDragFilter.h"

#include <QPushButton>

StandardTitleBar::StandardTitleBar(QWidget *pParent)
    : QWidget(pParent)
{
    setObjectName(QStringLiteral("StandardTitleBar"));
    m_pBtnSetting = new QPushButton(this);
    m_pBtnMinimize = new QPushButton(this);
    m_pBtnClose = new QPushButton(this);
    m_pBtnSetting->setObjectName(QStringLiteral("StandardTitleBar_ButtonSetting"));
    m_pBtnMinimize->setObjectName(QStringLiteral("StandardTitleBar_ButtonMinimize"));
    m_pBtnClose->setObjectName(QStringLiteral("StandardTitleBar_ButtonClose"));
    for (QPushButton *pButton : {m_pBtnSetting, m_pBtnMinimize, m_pBtnClose}) {
        pButton->setFixedSize(kButtonSize, kButtonSize);
        pButton->setFocusPolicy(Qt::NoFocus);
        pButton->setCursor(Qt::PointingHandCursor);
    }
    connect(m_pBtnSetting, &QPushButton::clicked, this, &StandardTitleBar::slotSettingClicked);
    connect(m_pBtnMinimize, &QPushButton::clicked, this, &StandardTitleBar::slotMinimizeClicked);
    connect(m_pBtnClose, &QPushButton::clicked, this, &StandardTitleBar::slotCloseClicked);
    // The effect widget lies beside the window, so it follows every move.
    connect(new WindowDragFilter(this), &WindowDragFilter::signalWindowMoved, this,
            [this] { PlaceEffectWidget(); });
}

// The effect widget belongs to the plugin that handed it over.
StandardTitleBar::~StandardTitleBar() = default;

void StandardTitleBar::SetBtnMinimizeHide(bool bHide)
{
    m_pBtnMinimize->setHidden(bHide);
}

void StandardTitleBar::SetBtnCloseHide(bool bHide)
{
    m_pBtnClose->setHidden(bHide);
}

void StandardTitleBar::SetBtnSettingHide(bool bHide)
{
    m_pBtnSetting->setHidden(bHide);
}

void StandardTitleBar::SetTitleBarRect(const QRect &rect)
{
    m_rectTitleBar = rect;
}

void StandardTitleBar::SetEffectWidgetRect(const QRect &rect)
{
    m_rectEffect = rect;
    PlaceEffectWidget();
}

void StandardTitleBar::SetEffectWidgetPoint(QWidget *pEffectWidget)
{
    m_pEffectWidget = pEffectWidget;
    PlaceEffectWidget();
}

void StandardTitleBar::SetBtnSettingObjectName(const QString &strName)
{
    m_pBtnSetting->setObjectName(strName);
}

void StandardTitleBar::SetBtnCloseObjectName(const QString &strName)
{
    m_pBtnClose->setObjectName(strName);
}

void StandardTitleBar::SetBtnMinimizeObjectName(const QString &strName)
{
    m_pBtnMinimize->setObjectName(strName);
}

void StandardTitleBar::InitLayout()
{
    if (m_rectTitleBar.isValid())
        setGeometry(m_rectTitleBar);
    const int nWidth = m_rectTitleBar.isValid() ? m_rectTitleBar.width() : width();
    const int nHeight = m_rectTitleBar.isValid() ? m_rectTitleBar.height() : height();
    const bool bRightToLeft = Change::GetRightToLeftLayout();
    setLayoutDirection(bRightToLeft ? Qt::RightToLeft : Qt::LeftToRight);

    // Outermost first: close, minimise, setting. Hidden buttons leave no gap.
    const int nTop = qMax(0, (nHeight - kButtonSize) / 2);
    int nOffset = kButtonMargin;
    for (QPushButton *pButton : {m_pBtnClose, m_pBtnMinimize, m_pBtnSetting}) {
        if (pButton->isHidden())
            continue;
        const int nLeft = bRightToLeft ? nOffset : nWidth - nOffset - kButtonSize;
        pButton->move(nLeft, nTop);
        pButton->raise();
        nOffset += kButtonSize + kButtonSpacing;
    }
    PlaceEffectWidget();
}

QRect StandardTitleBar::GetTitleBarRect() const
{
    return m_rectTitleBar;
}

QRect StandardTitleBar::GetEffectWidgetRect() const
{
    return m_rectEffect;
}

QWidget *StandardTitleBar::GetEffectWidget() const
{
    return m_pEffectWidget.data();
}

QPushButton *StandardTitleBar::GetBtnSetting() const
{
    return m_pBtnSetting;
}

QPushButton *StandardTitleBar::GetBtnMinimize() const
{
    return m_pBtnMinimize;
}

QPushButton *StandardTitleBar::GetBtnClose() const
{
    return m_pBtnClose;
}

void StandardTitleBar::showEvent(QShowEvent *pEvent)
{
    QWidget::showEvent(pEvent);
    PlaceEffectWidget();
}

void StandardTitleBar::slotSettingClicked()
{
    emit signalSettingClicked();
}

void StandardTitleBar::slotMinimizeClicked()
{
    emit signalMinimizeClicked();
    window()->showMinimized();
}

void StandardTitleBar::slotCloseClicked()
{
    emit signalCloseClicked();
    window()->close();
}

void StandardTitleBar::PlaceEffectWidget()
{
    if (!m_pEffectWidget || !m_rectEffect.isValid())
        return;
    QWidget *pTop = window();
    if (m_pEffectWidget == pTop || m_pEffectWidget->isAncestorOf(this))
        return;
    // The rectangle is in the top-level window's coordinates; the effect
    // widget may be a child somewhere in that window or a window of its own.
    QPoint ptTopLeft = m_rectEffect.topLeft();
    if (QWidget *pEffectParent = m_pEffectWidget->parentWidget()) {
        if (pEffectParent == pTop || pTop->isAncestorOf(pEffectParent))
            ptTopLeft = pEffectParent->mapFrom(pTop, ptTopLeft);
        else
            ptTopLeft = pEffectParent->mapFromGlobal(pTop->mapToGlobal(ptTopLeft));
    } else {
        ptTopLeft = pTop->mapToGlobal(ptTopLeft);
    }
    m_pEffectWidget->setGeometry(QRect(ptTopLeft, m_rectEffect.size()));
}
