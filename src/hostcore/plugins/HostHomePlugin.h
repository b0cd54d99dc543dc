#pragma once

#include "HostStandInPlugin.h"

// The suite's home plugin. Its widget is the window shadow that the title
// bars place around the host's frame: a frameless, translucent window that
// lets every mouse event through.
class HOSTCORE_EXPORT HostHomePlugin : public HostStandInPlugin
{
    Q_OBJECT
public:
    explicit HostHomePlugin(QObject *pParent = nullptr);
    ~HostHomePlugin() override;

    QWidget *GetWidget() override;

private:
    QWidget *m_pShadow = nullptr;
};
