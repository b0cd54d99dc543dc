#pragma once

#include "host/HostExport.h"

#include <QRect>

class QWidget;
class HostBackupRequesterPlugin;
class HostHomePlugin;
class HostLayoutPlugin;
class HostNotifyPlugin;
class HostStandInPlugin;

// Creates the stand-ins of the suite's other plugins (home, notify, update,
// ROM, tool), registers them in the host's plugin container and installs the
// layout object; Uninstall (or destruction) takes them all away again.
class HOSTCORE_EXPORT HostStandIns
{
public:
    static constexpr const char *kUpdatePluginId = "5D1F0C2A-7E43-4B8E-9A61-3C2B7D9E4F10";
    static constexpr const char *kRomPluginId = "8A2E6B14-3C9D-4F7A-B5E2-1D0C9F8A7B36";
    static constexpr const char *kToolPluginId = "C7F3A925-1B6E-4D08-8E4C-2A9B5D3F6E71";
    static constexpr const char *kNotifyPluginName = "NotifyPlugin";
    static constexpr const char *kToolPluginName = "MyToolUIPlugin";

    HostStandIns() = default;
    ~HostStandIns();
    HostStandIns(const HostStandIns &) = delete;
    HostStandIns &operator=(const HostStandIns &) = delete;

    // The frame is where plugins are brought to the front (may be null). The
    // layout object's frame rectangle is rectFrame when valid, else the
    // frame's own rectangle, else 0, 0, 896 x 640.
    void Install(QWidget *pFrame, const QRect &rectFrame = QRect());
    void Uninstall();
    bool IsInstalled() const;

    HostHomePlugin *Home() const;
    HostNotifyPlugin *Notify() const;
    HostBackupRequesterPlugin *Update() const;
    HostBackupRequesterPlugin *Rom() const;
    HostStandInPlugin *Tool() const;
    HostLayoutPlugin *Layout() const;

private:
    HostHomePlugin *m_pHome = nullptr;
    HostNotifyPlugin *m_pNotify = nullptr;
    HostBackupRequesterPlugin *m_pUpdate = nullptr;
    HostBackupRequesterPlugin *m_pRom = nullptr;
    HostStandInPlugin *m_pTool = nullptr;
    HostLayoutPlugin *m_pLayout = nullptr;
};
