#include "RestorePage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

RestorePage::RestorePage(QWidget *pParent) : CustomWizardWidget(pParent)
{
}

RestorePage::~RestorePage() = default;

void RestorePage::InitMembers()
{
    const QRect rectBackground(0, 0, kPageWidth, 608);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgone"), rectBackground);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgtwo"), rectBackground);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Doing_Bgthree"), rectBackground);
    const QRect rectStatus(0, 608, kPageWidth, 32);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusBar"), rectStatus);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusLine"), rectStatus);

    m_pLabelHeading = new QLabel(this);
    m_pLabelHeading->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_Heading"));
    m_pLabelHeading->setWordWrap(true);
    m_pLayoutBody = new QVBoxLayout();
    m_pLayoutBody->setContentsMargins(0, 0, 0, 0);
    m_pLayoutBody->setSpacing(10);
}

void RestorePage::InitButtons()
{
    m_pBtnMain = CreateFunctionButton();
    m_pBtnSecond = CreateFunctionButton();
    m_pBtnExtra = CreateFunctionButton();
    for (QPushButton *pButton : {m_pBtnMain, m_pBtnSecond, m_pBtnExtra})
        pButton->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
    m_pBtnExtra->hide();
    SetKeyButtons(m_pBtnMain, m_pBtnSecond);
}

void RestorePage::InitLayout()
{
    QHBoxLayout *pButtons = new QHBoxLayout();
    pButtons->setContentsMargins(0, 0, 0, 0);
    pButtons->addWidget(m_pBtnExtra);
    pButtons->addStretch();
    pButtons->addWidget(m_pBtnMain);
    pButtons->addWidget(m_pBtnSecond);

    QVBoxLayout *pPage = new QVBoxLayout(this);
    pPage->setContentsMargins(48, kTitleBarHeight + 24, 48, 32 + 24);
    pPage->setSpacing(16);
    pPage->addWidget(m_pLabelHeading);
    pPage->addLayout(m_pLayoutBody, 1);
    pPage->addLayout(pButtons);
    // Tab follows the reading order: the body, then the buttons.
    setTabOrder(m_pBtnExtra, m_pBtnMain);
    setTabOrder(m_pBtnMain, m_pBtnSecond);
}

bool RestorePage::PressMainButton()
{
    if (!m_pBtnMain || !m_pBtnMain->isVisible() || !m_pBtnMain->isEnabled())
        return false;
    m_pBtnMain->click();
    return true;
}

QWidget *RestorePage::FirstFocusWidget() const
{
    return m_pBtnMain && m_pBtnMain->isEnabled() ? static_cast<QWidget *>(m_pBtnMain)
                                                  : CustomWizardWidget::FirstFocusWidget();
}

void RestorePage::SetHeading(const QString &strText)
{
    m_pLabelHeading->setText(strText);
    setAccessibleName(strText);
}

QLabel *RestorePage::CreateBodyLabel(const QString &strObjectName)
{
    QLabel *pLabel = new QLabel(this);
    pLabel->setObjectName(strObjectName);
    pLabel->setWordWrap(true);
    pLabel->setTextFormat(Qt::PlainText);
    return pLabel;
}
