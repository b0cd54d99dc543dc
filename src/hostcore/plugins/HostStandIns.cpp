#include "HostStandIns.h"

#include "HostBackupRequesterPlugin.h"
#include "HostHomePlugin.h"
#include "HostLayoutPlugin.h"
#include "HostNotifyPlugin.h"
#include "host/CommonUtils.h"
#include "host/HostPluginIds.h"
#include "host/PluginContainer.h"
#include "host/Startup.h"

#include <QWidget>

HostStandIns::~HostStandIns()
{
    Uninstall();
}

void HostStandIns::Install(QWidget *pFrame, const QRect &rectFrame)
{
    Uninstall();
    m_pHome = new HostHomePlugin;
    m_pNotify = new HostNotifyPlugin;
    m_pUpdate = new HostBackupRequesterPlugin(QString::fromLatin1(kUpdatePluginId), QStringLiteral(HOST_UPDATE_PLUGIN_NAME));
    m_pRom = new HostBackupRequesterPlugin(QString::fromLatin1(kRomPluginId), QStringLiteral(HOST_ROM_PLUGIN_NAME));
    m_pTool = new HostStandInPlugin(QString::fromLatin1(kToolPluginId), QString::fromLatin1(kToolPluginName));

    QRect rectLayout = rectFrame;
    if (!rectLayout.isValid())
        rectLayout = pFrame ? pFrame->rect() : QRect(0, 0, 896, 640);
    m_pLayout = new HostLayoutPlugin(pFrame, rectLayout);

    PluginContainer *pContainer = Startup::GetPluginContainer();
    pContainer->AddPlugin(m_pHome->GetPluginId(), m_pHome->GetPluginName(), m_pHome);
    pContainer->AddPlugin(QStringLiteral(HOST_NOTIFY_PLUGIN_ID), QString::fromLatin1(kNotifyPluginName), m_pNotify);
    pContainer->AddPlugin(m_pUpdate->GetPluginId(), m_pUpdate->GetPluginName(), m_pUpdate);
    pContainer->AddPlugin(m_pRom->GetPluginId(), m_pRom->GetPluginName(), m_pRom);
    pContainer->AddPlugin(m_pTool->GetPluginId(), m_pTool->GetPluginName(), m_pTool);
    CommonUtils::SetLayoutPlugin(m_pLayout);
}

void HostStandIns::Uninstall()
{
    if (!IsInstalled())
        return;
    if (CommonUtils::GetLayoutPlugin() == m_pLayout)
        CommonUtils::SetLayoutPlugin(nullptr);
    PluginContainer *pContainer = Startup::GetPluginContainer();
    for (QObject *pPlugin : std::initializer_list<QObject *>{m_pHome, m_pNotify, m_pUpdate, m_pRom, m_pTool})
        pContainer->RemovePlugin(pPlugin);
    delete m_pLayout;
    delete m_pTool;
    delete m_pRom;
    delete m_pUpdate;
    delete m_pNotify;
    delete m_pHome;
    m_pLayout = nullptr;
    m_pTool = nullptr;
    m_pRom = nullptr;
    m_pUpdate = nullptr;
    m_pNotify = nullptr;
    m_pHome = nullptr;
}

bool HostStandIns::IsInstalled() const
{
    return m_pHome != nullptr;
}

HostHomePlugin *HostStandIns::Home() const
{
    return m_pHome;
}

HostNotifyPlugin *HostStandIns::Notify() const
{
    return m_pNotify;
}

HostBackupRequesterPlugin *HostStandIns::Update() const
{
    return m_pUpdate;
}

HostBackupRequesterPlugin *HostStandIns::Rom() const
{
    return m_pRom;
}

HostStandInPlugin *HostStandIns::Tool() const
{
    return m_pTool;
}

HostLayoutPlugin *HostStandIns::Layout() const
{
    return m_pLayout;
}
