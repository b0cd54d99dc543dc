#pragma once

#include "BackUpMainWindow.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "Factory.h"
#include "SendCmdResetThread.h"

#include <HostStandIns.h>
#include <host/Change.h>
#include <host/MainFrame.h>
#include <host/Startup.h>

#include <QGuiApplication>
#include <QRect>
#include <QWidget>

#include <memory>

// The backup wizard as the host shows it, for tests of the whole window
// (they link backupui): a shown host frame of the window's size with the
// host's other plugins and main frame. Show() puts the wizard's window into
// the frame as the host does; destruction takes the window, its threads and
// the factory down again in the order the plugin's OnDestroy does, then the
// host's parts.
class HostedWizard
{
public:
    HostedWizard()
        : m_oldDirection(QGuiApplication::layoutDirection()), m_pFrame(std::make_unique<QWidget>()),
          m_pStandIns(std::make_unique<HostStandIns>())
    {
        // The host lays its whole application out right to left for such a
        // language; text is drawn in that direction.
        QGuiApplication::setLayoutDirection(Change::GetRightToLeftLayout() ? Qt::RightToLeft : Qt::LeftToRight);
        m_pFrame->resize(kRect.size());
        m_pFrame->show();
        m_pStandIns->Install(m_pFrame.get(), kRect);
        Startup::SetMainFrame(&m_mainFrame);
    }

    ~HostedWizard()
    {
        SendCmdResetThread::DestroyInstance();
        BackUpUIThreadCancel::DestroyInstance();
        BackUpUIThread::DestroyInstance();
        BackUpMainWindow::DestroyInstance();
        // The factory keeps the backup logic it was made with; it goes after
        // the window.
        Factory::DestroyInstance();
        Startup::SetMainFrame(nullptr);
        m_pStandIns.reset();
        m_pFrame.reset();
        QGuiApplication::setLayoutDirection(m_oldDirection);
    }

    HostedWizard(const HostedWizard &) = delete;
    HostedWizard &operator=(const HostedWizard &) = delete;

    QWidget *Frame() const { return m_pFrame.get(); }

    // The wizard's window, shown in the frame; its first page has just been
    // shown (the event loop has not run since).
    BackUpMainWindow *Show() const
    {
        BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
        pWindow->ShowWindow(m_pFrame.get(), kRect);
        return pWindow;
    }

private:
    static constexpr QRect kRect{0, 0, 896, 640};

    const Qt::LayoutDirection m_oldDirection;
    std::unique_ptr<QWidget> m_pFrame;
    std::unique_ptr<HostStandIns> m_pStandIns;
    MainFrame m_mainFrame;
};
