#include "HostSession.h"

#include "HeadlessDriver.h"
#include "RestoreHeadlessDriver.h"
#include "HostFrame.h"
#include "PluginHost.h"
#include "WizardView.h"

#include <HostLayoutPlugin.h>
#include <HostStandIns.h>
#include <host/HostCallLog.h>
#include <host/IBackUpOutFuncInterface.h>
#include <host/MainFrame.h>
#include <host/Startup.h>

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>

HostSession::HostSession(const HostOptions &options, QObject *pParent) : QObject(pParent), m_options(options)
{
}

HostSession::~HostSession()
{
    if (m_pHost)
        m_pHost->Shutdown();
    if (Startup::GetMainFrame() == m_pMainFrame.get())
        Startup::SetMainFrame(nullptr);
    if (m_pStandIns)
        m_pStandIns->Uninstall();
}

bool HostSession::Start(const QString &strRoot, QString &strError)
{
    m_pFrame = std::make_unique<HostFrame>();
    m_pStandIns = std::make_unique<HostStandIns>();
    m_pStandIns->Install(m_pFrame->PluginArea(), m_pFrame->PluginRect());
    m_pMainFrame = std::make_unique<MainFrame>();
    Startup::SetMainFrame(m_pMainFrame.get());

    m_pHost = std::make_unique<PluginHost>();
    if (!m_pHost->Load(PluginHost::FindPluginLibrary(strRoot), strError))
        return false;
    if (!m_pHost->Init()) {
        strError = QStringLiteral("the backup plugin did not initialise");
        return false;
    }

    connect(m_pFrame.get(), &HostFrame::signalClosing, this, &HostSession::slotClosing);
    connect(m_pFrame.get(), &HostFrame::signalMoved, this,
            [this]() { m_pHost->Move(m_pFrame->PluginArea(), m_pFrame->PluginRect()); });
    connect(m_pFrame.get(), &HostFrame::signalResized, this, [this]() { m_pHost->Fit(m_pFrame->PluginRect()); });
    connect(m_pFrame.get(), &HostFrame::signalShowBackupRequested, this, &HostSession::slotShowBackup);
    connect(m_pStandIns->Layout(), &HostLayoutPlugin::signalPluginShown, this, &HostSession::slotPluginShown);
    connect(HostCallLog::Instance(), &HostCallLog::signalRecorded, this, &HostSession::slotHostCall);

    m_pFrame->show();
    slotShowBackup();

    if (m_options.bRestore)
        ShowRestore();
    if (m_options.bHeadless) {
        StartHeadless();
    } else if (!m_options.strDestination.isEmpty()) {
        // Picks the destination with the wizard's browse button, once the
        // window is on screen.
        const QString strFolder = QDir::cleanPath(QDir(m_options.strDestination).absolutePath());
        QTimer::singleShot(0, this, [this, strFolder]() {
            QDir().mkpath(strFolder);
            WizardView view(m_pHost->Widget());
            if (!view.Browse(strFolder))
                std::fprintf(stderr, "backup-host: pick %s with the browse button\n", qPrintable(strFolder));
        });
    }
    return true;
}

void HostSession::StartHeadless()
{
    const auto fnDone = [this](int nStatus) {
        m_nExitStatus = nStatus;
        m_pFrame->close();
    };
    if (m_options.bRestore) {
        m_pRestoreDriver = new RestoreHeadlessDriver(m_pHost->Widget(), *m_pFrame, m_options, stdout, stderr, this);
        connect(m_pRestoreDriver, &RestoreHeadlessDriver::signalDone, this, fnDone);
        m_pRestoreDriver->Start();
        return;
    }
    m_pDriver = new HeadlessDriver(*m_pHost, *m_pFrame, m_options, stdout, stderr, this);
    connect(m_pDriver, &HeadlessDriver::signalDone, this, fnDone);
    m_pDriver->Start();
}

void HostSession::ShowRestore()
{
    QWidget *pWindow = m_pHost ? m_pHost->Widget() : nullptr;
    if (!pWindow || !QMetaObject::invokeMethod(pWindow, "ShowRestore", Q_ARG(QString, m_options.strRestoreBackup)))
        std::fprintf(stderr, "backup-host: this plugin cannot restore\n");
}

void HostSession::slotShowBackup()
{
    if (!m_pHost)
        return;
    // Showing the plugin restarts its wizard (and resets the phone's
    // connection): a window already on screen is only brought to the front.
    if (QWidget *pWindow = m_pHost->Widget(); pWindow && pWindow->isVisible()) {
        pWindow->raise();
        return;
    }
    if (!m_pHost->Show(m_pFrame->PluginArea(), m_pFrame->PluginRect()))
        return;
    // Above whichever plugin the frame showed last.
    if (QWidget *pWindow = m_pHost->Widget())
        pWindow->raise();
    // A plugin that wants the backup run on its behalf says so after the
    // window was shown (showing it resets the caller).
    if (m_options.nCaller != HostOptions::CallerNone) {
        if (IBackUpOutFuncInterface *pOutFunc = m_pHost->OutFunc()) {
            pOutFunc->SetOutFuncCaller(m_options.nCaller);
            pOutFunc->SetOutFuncParam(0);
        }
    }
}

void HostSession::slotPluginShown(const QString &strPluginName)
{
    // A stand-in's page covers the frame: the host's own title bar goes on
    // top so the window can still be moved and closed.
    if (strPluginName != m_pHost->PluginName())
        m_pFrame->RaiseTitleBar();
}

void HostSession::slotHostCall(const QString &strLine)
{
    m_pFrame->slotHostCall(strLine);
    // Headless runs print the requesting plugin's calls themselves.
    const QString strCaller = HeadlessDriver::CallerPluginName(m_options.nCaller);
    if (!m_options.bHeadless && !strCaller.isEmpty() && strLine.startsWith(strCaller + QLatin1Char('.'))) {
        std::printf("%s <- %s\n", qPrintable(strCaller), qPrintable(strLine.mid(strCaller.size() + 1)));
        std::fflush(stdout);
    }
}

void HostSession::slotInterrupt()
{
    if (m_pDriver)
        m_pDriver->slotInterrupt();
    else if (m_pRestoreDriver)
        m_pRestoreDriver->slotInterrupt();
    else if (m_pFrame)
        m_pFrame->close();
}

void HostSession::slotClosing()
{
    if (m_bClosed)
        return;
    m_bClosed = true;
    // The close flag goes up and a running backup is cancelled; then the
    // plugin's threads end and the plugin is destroyed.
    m_pMainFrame->NotifyAppClose();
    m_pHost->Shutdown();
    emit signalClosed();
}
