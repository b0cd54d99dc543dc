#include "HostHomePlugin.h"

#include "host/HostPluginIds.h"

#include <QWidget>

HostHomePlugin::HostHomePlugin(QObject *pParent)
    : HostStandInPlugin(QStringLiteral(HOST_HOME_PLUGIN_ID), QStringLiteral("HomeUIPlugin"), pParent)
{
}

HostHomePlugin::~HostHomePlugin()
{
    delete m_pShadow;
}

QWidget *HostHomePlugin::GetWidget()
{
    // Created on first request: a widget needs a QApplication, the plugin
    // object does not.
    if (!m_pShadow) {
        m_pShadow = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        m_pShadow->setObjectName(QStringLiteral("HomeUIPlugin_EffectWidget"));
        m_pShadow->setAttribute(Qt::WA_TranslucentBackground);
        m_pShadow->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_pShadow->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    return m_pShadow;
}
