#pragma once

#include "HostExport.h"

#include <QObject>

// The host's main frame as the plugin sees it: it announces that the
// application is closing.
class HOSTCORE_EXPORT MainFrame : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Raises the host's close flag and emits signalAppCloseEvent.
    void NotifyAppClose();

signals:
    void signalAppCloseEvent();
};
