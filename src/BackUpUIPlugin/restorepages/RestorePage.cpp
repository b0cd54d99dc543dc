#include "RestorePage.h"

#include <host/Change.h>

#include <QEvent>
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
    // Mirrored in right-to-left languages whatever the host application's
    // direction: the layouts, the check boxes and the list follow the page.
    setLayoutDirection(Change::GetRightToLeftLayout() ? Qt::RightToLeft : Qt::LeftToRight);
    CreatePageBackgrounds();

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
    for (QPushButton *pButton : {m_pBtnMain, m_pBtnSecond, m_pBtnExtra}) {
        pButton->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
        // The skin sets the buttons' font: they are fitted again when it changes.
        pButton->installEventFilter(this);
    }
    m_pBtnExtra->hide();
    m_nButtonWidth = m_pBtnMain->width();
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
    pPage->setContentsMargins(kBodyMargin, kTitleBarHeight + 24, kBodyMargin, 32 + 24);
    pPage->setSpacing(16);
    pPage->addWidget(m_pLabelHeading);
    pPage->addLayout(m_pLayoutBody, 1);
    pPage->addLayout(pButtons);
    // Tab follows the reading order: the body, then the buttons.
    setTabOrder(m_pBtnExtra, m_pBtnMain);
    setTabOrder(m_pBtnMain, m_pBtnSecond);
    FitButtons();
}

void RestorePage::FitButtons()
{
    // The skin's button picture has an 8 pixel border on each side; the text
    // keeps as much again from it.
    for (QPushButton *pButton : {m_pBtnMain, m_pBtnSecond, m_pBtnExtra}) {
        if (!pButton)
            continue;
        const int nText = pButton->fontMetrics().horizontalAdvance(pButton->text()) + 2 * 16;
        pButton->setFixedWidth(qMax(m_nButtonWidth, nText));
    }
}

bool RestorePage::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (pEvent->type() == QEvent::FontChange || pEvent->type() == QEvent::Polish)
        FitButtons();
    return CustomWizardWidget::eventFilter(pWatched, pEvent);
}

void RestorePage::showEvent(QShowEvent *pEvent)
{
    FitButtons();
    CustomWizardWidget::showEvent(pEvent);
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
