#include "CustomWizardWidget.h"

#include "LogLine.h"

#include <host/CommonUtils.h>
#include <host/HostPluginIds.h>
#include <host/ILayoutPlugin.h>
#include <host/IUIPlugin.h>
#include <host/PluginContainer.h>
#include <host/StandardTitleBar.h>
#include <host/Startup.h>

#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\CustomWizardWidget";

CustomWizardWidget::CustomWizardWidget(QWidget *pParent) : QWidget(pParent), m_pFrame(pParent)
{
}

CustomWizardWidget::~CustomWizardWidget()
{
    delete m_pTitleBar;
    m_pTitleBar = nullptr;
}

void CustomWizardWidget::InitPage()
{
    InitWindow();
    InitMembers();
    InitTitleBar();
    InitButtons();
    InitButtonText();
    InitObjectName();
    InitLayout();
    InitCons();
}

void CustomWizardWidget::ShowPage()
{
    InitialShow();
    show();
    FocusFirst();
}

void CustomWizardWidget::FocusFirst()
{
    if (QWidget *pWidget = FirstFocusWidget())
        pWidget->setFocus(Qt::OtherFocusReason);
}

QWidget *CustomWizardWidget::FirstFocusWidget() const
{
    return const_cast<CustomWizardWidget *>(this);
}

void CustomWizardWidget::SetKeyButtons(QPushButton *pEnter, QPushButton *pEscape)
{
    m_pEnterButton = pEnter;
    m_pEscapeButton = pEscape;
}

void CustomWizardWidget::keyPressEvent(QKeyEvent *pEvent)
{
    QPushButton *pButton = nullptr;
    const Qt::KeyboardModifiers modifiers = pEvent->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        switch (pEvent->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pButton = m_pEnterButton;
            break;
        case Qt::Key_Escape:
            pButton = m_pEscapeButton;
            break;
        default:
            break;
        }
    }
    if (pButton && pButton->isVisible() && pButton->isEnabled()) {
        pButton->click();
        pEvent->accept();
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

void CustomWizardWidget::SetNeighbourPages(CustomWizardWidget *pPrevious, CustomWizardWidget *pNext)
{
    m_pPreviousPage = pPrevious;
    m_pNextPage = pNext;
}

void CustomWizardWidget::DoNext()
{
    if (!m_pNextPage)
        return;
    m_pNextPage->ShowPage();
    hide();
}

void CustomWizardWidget::DoBack()
{
    if (!m_pPreviousPage)
        return;
    m_pPreviousPage->ShowPage();
    hide();
}

void CustomWizardWidget::DoCancel()
{
    if (m_pPreviousPage) {
        m_pPreviousPage->ShowPage();
        hide();
        return;
    }
    if (!m_pFrame) {
        LOG_ARG_NULL("DoCancel");
        hide();
        return;
    }
    m_pFrame->hide();
}

void CustomWizardWidget::InitWindow()
{
    // Only the frameless hint: the window type stays Qt::Widget, so a page
    // with a parent remains a child of the main window.
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMinimumSize(kPageWidth, kPageHeight);
}

void CustomWizardWidget::InitMembers()
{
}

void CustomWizardWidget::CreatePageBackgrounds()
{
    const QRect rectBackground(0, 0, kPageWidth, 608);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgone"), rectBackground);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgtwo"), rectBackground);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Doing_Bgthree"), rectBackground);
    const QRect rectStatus(0, 608, kPageWidth, 32);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusBar"), rectStatus);
    CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusLine"), rectStatus);
}

QFrame *CustomWizardWidget::CreateBackground(const QString &strName, const QRect &rect)
{
    QFrame *pFrame = new QFrame(this);
    pFrame->setAttribute(Qt::WA_TranslucentBackground, false);
    pFrame->setObjectName(strName);
    pFrame->setGeometry(rect);
    pFrame->raise();
    return pFrame;
}

QPushButton *CustomWizardWidget::CreateFunctionButton()
{
    QPushButton *pButton = new QPushButton(this);
    pButton->setContentsMargins(0, 0, 0, 0);
    pButton->setFixedSize(116, 32);
    // Enter on the focused button presses it (outside a dialog a push
    // button ignores Enter unless it is an auto-default button).
    pButton->setAutoDefault(true);
    return pButton;
}

QRect CustomWizardWidget::EffectRect()
{
    ILayoutPlugin *pLayout = CommonUtils::GetLayoutPlugin();
    if (!pLayout)
        return QRect(19, 17, kPageWidth, kPageHeight);
    const QRect rectFrame = pLayout->GetFrameRect();
    return QRect(rectFrame.x() - 5, rectFrame.y() - 5, rectFrame.width() + 10, rectFrame.height() + 10);
}

void CustomWizardWidget::InitTitleBar()
{
    const QRect rectTitle(0, 0, kPageWidth, kTitleBarHeight);
    const QRect rectEffect = EffectRect();

    delete m_pTitleBar;
    m_pTitleBar = new StandardTitleBar(this);
    m_pTitleBar->SetBtnMinimizeHide(false);
    m_pTitleBar->SetBtnCloseHide(false);
    m_pTitleBar->SetTitleBarRect(rectTitle);
    m_pTitleBar->SetEffectWidgetRect(rectEffect);
    m_pTitleBar->SetBtnSettingObjectName(QStringLiteral("HomeUIPlugin_ButtonSetting"));
    m_pTitleBar->SetBtnCloseObjectName(QStringLiteral("HomeUIPlugin_ButtonClose"));
    m_pTitleBar->SetBtnMinimizeObjectName(QStringLiteral("HomeUIPlugin_ButtonMinimize"));
    m_pTitleBar->InitLayout();
    m_pTitleBar->show();

    // The home plugin's window carries the shadow effect of the title bar;
    // without it the title bar works all the same.
    QWidget *pEffectWidget = nullptr;
    if (PluginContainer *pContainer = Startup::GetPluginContainer()) {
        if (QObject *pPlugin = pContainer->GetPlugin(QStringLiteral(HOST_HOME_PLUGIN_ID))) {
            if (IUIPlugin *pUIPlugin = qobject_cast<IUIPlugin *>(pPlugin))
                pEffectWidget = pUIPlugin->GetWidget();
        }
    }
    m_pTitleBar->SetEffectWidgetPoint(pEffectWidget);
}

void CustomWizardWidget::InitButtons()
{
}

void CustomWizardWidget::InitButtonText()
{
}

void CustomWizardWidget::InitObjectName()
{
}

void CustomWizardWidget::InitLayout()
{
}

void CustomWizardWidget::InitCons()
{
}

void CustomWizardWidget::InitialShow()
{
}
