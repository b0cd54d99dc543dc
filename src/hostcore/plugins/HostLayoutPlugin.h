#pragma once

#include "host/HostExport.h"
#include "host/ILayoutPlugin.h"

#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

// The host's layout object: brings a plugin of the container to the front
// inside the host's frame and knows the frame's rectangle.
class HOSTCORE_EXPORT HostLayoutPlugin : public QObject, public ILayoutPlugin
{
    Q_OBJECT
public:
    HostLayoutPlugin(QWidget *pFrame, const QRect &rectFrame, QObject *pParent = nullptr);

    // Records "ShowPlugin(name)"; true when the container holds the plugin.
    bool ShowPlugin(const QString &strPluginName) override;
    QRect GetFrameRect() const override;
    void SetFrameRect(const QRect &rectFrame);
    QWidget *GetFrame() const;

signals:
    void signalPluginShown(const QString &strPluginName);

private:
    QPointer<QWidget> m_pFrame;
    QRect m_rectFrame;
};
