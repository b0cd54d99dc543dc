#include "HostLayoutPlugin.h"

#include "HostStandInPlugin.h"
#include "host/HostCallLog.h"
#include "host/PluginContainer.h"
#include "host/Startup.h"

#include <QWidget>

HostLayoutPlugin::HostLayoutPlugin(QWidget *pFrame, const QRect &rectFrame, QObject *pParent)
    : QObject(pParent)
    , m_pFrame(pFrame)
    , m_rectFrame(rectFrame)
{
    setObjectName(QStringLiteral("LayoutPlugin"));
}

bool HostLayoutPlugin::ShowPlugin(const QString &strPluginName)
{
    HostCallLog::Record(QStringLiteral("ShowPlugin(%1)").arg(strPluginName));
    QObject *pPlugin = Startup::GetPluginContainer()->GetPlugin(strPluginName);
    if (!pPlugin)
        return false;

    if (auto *pStandIn = qobject_cast<HostStandInPlugin *>(pPlugin)) {
        // A stand-in shows its own page over the frame.
        if (m_pFrame) {
            QRect rect = m_pFrame->rect();
            pStandIn->ShowWindow(m_pFrame, rect);
        }
    } else if (auto *pUiPlugin = qobject_cast<IUIPlugin *>(pPlugin)) {
        if (QWidget *pWidget = pUiPlugin->GetWidget()) {
            pWidget->show();
            pWidget->raise();
        }
    }
    emit signalPluginShown(strPluginName);
    return true;
}

QRect HostLayoutPlugin::GetFrameRect() const
{
    return m_rectFrame;
}

void HostLayoutPlugin::SetFrameRect(const QRect &rectFrame)
{
    m_rectFrame = rectFrame;
}

QWidget *HostLayoutPlugin::GetFrame() const
{
    return m_pFrame.data();
}
