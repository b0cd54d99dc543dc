#include "PhoneWatcher.h"

#include <sdk/dvsk_device.h>

#include <QMutex>
#include <QSet>
#include <QTimer>

namespace
{
// The SDK takes one plain callback; it reaches every live watcher.
QMutex g_watchersMutex;
QSet<PhoneWatcher *> g_setWatchers;

// The SDK calls back with its own lock held, and that callback takes this
// lock: the SDK is never called with this lock held, or the two would wait
// for each other.
bool AddWatcher(PhoneWatcher *pWatcher)
{
    QMutexLocker locker(&g_watchersMutex);
    g_setWatchers.insert(pWatcher);
    return g_setWatchers.size() == 1;
}

bool RemoveWatcher(PhoneWatcher *pWatcher)
{
    QMutexLocker locker(&g_watchersMutex);
    g_setWatchers.remove(pWatcher);
    return g_setWatchers.isEmpty();
}
} // namespace

PhoneWatcher::PhoneWatcher(QObject *pParent) : QObject(pParent), m_pServerRetry(new QTimer(this))
{
    qRegisterMetaType<PhoneList>();
    m_pServerRetry->setInterval(kServerRetryInterval);
    connect(m_pServerRetry, &QTimer::timeout, this, &PhoneWatcher::slotRefresh);
}

PhoneWatcher::~PhoneWatcher()
{
    Stop();
}

void PhoneWatcher::OnListMayHaveChanged()
{
    QMutexLocker locker(&g_watchersMutex);
    for (PhoneWatcher *pWatcher : std::as_const(g_setWatchers))
        QMetaObject::invokeMethod(pWatcher, "slotRefresh", Qt::QueuedConnection);
}

void PhoneWatcher::Start()
{
    if (!m_bWatching) {
        m_bWatching = true;
        if (AddWatcher(this))
            DVSK_Device_WatchList(&PhoneWatcher::OnListMayHaveChanged);
    }
    m_bRead = false;
    slotRefresh();
}

void PhoneWatcher::Stop()
{
    m_pServerRetry->stop();
    if (!m_bWatching)
        return;
    m_bWatching = false;
    if (RemoveWatcher(this))
        DVSK_Device_WatchList(nullptr);
}

void PhoneWatcher::slotRefresh()
{
    if (!m_bWatching)
        return;
    const PhoneList list = PhoneList::Read();
    if (list.IsServerDown())
        m_pServerRetry->start();
    else
        m_pServerRetry->stop();
    if (m_bRead && list == m_list)
        return;
    m_bRead = true;
    m_list = list;
    emit signalListChanged(m_list);
}
