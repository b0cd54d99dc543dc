#pragma once

#include <QRect>
#include <QString>

// The host's layout object: brings a plugin's window to the front and knows
// the rectangle of the host's frame.
class ILayoutPlugin
{
public:
    virtual ~ILayoutPlugin() = default;
    virtual bool ShowPlugin(const QString &strPluginName) = 0;
    virtual QRect GetFrameRect() const = 0;
};
