#include "host/MainFrame.h"

#include "host/CommonUtils.h"
#include "host/HostCallLog.h"

void MainFrame::NotifyAppClose()
{
    // The flag goes up first so that whoever reacts to the signal already
    // sees the host as closing.
    CommonUtils::SetCloseFlag(true);
    HostCallLog::Record(QStringLiteral("NotifyAppClose()"));
    emit signalAppCloseEvent();
}
