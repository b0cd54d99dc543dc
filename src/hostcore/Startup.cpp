#include "host/Startup.h"

#include "host/MainFrame.h"
#include "host/PluginContainer.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPointer>

namespace {

QMutex &StartupMutex()
{
    static QMutex s_mutex;
    return s_mutex;
}

QPointer<MainFrame> &MainFramePointer()
{
    static QPointer<MainFrame> s_pFrame;
    return s_pFrame;
}

} // namespace

MainFrame *Startup::GetMainFrame()
{
    QMutexLocker locker(&StartupMutex());
    return MainFramePointer().data();
}

void Startup::SetMainFrame(MainFrame *pFrame)
{
    QMutexLocker locker(&StartupMutex());
    MainFramePointer() = pFrame;
}

PluginContainer *Startup::GetPluginContainer()
{
    static PluginContainer s_container;
    return &s_container;
}
