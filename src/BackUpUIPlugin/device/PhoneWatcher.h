#pragma once

#include "PhoneList.h"

#include <QObject>

class QTimer;

// Follows the phones the device SDK sees: the SDK's list notification
// (DVSK_Device_WatchList, on an SDK thread) reaches every watcher as a
// queued call on the thread it lives in, which reads the list again and
// emits signalListChanged when it differs from the last one. While no adb
// server answers, the list is read again every few seconds, since nothing
// would tell of a server started by hand.
class PhoneWatcher : public QObject
{
    Q_OBJECT
public:
    static constexpr int kServerRetryInterval = 3000;

    explicit PhoneWatcher(QObject *pParent = nullptr);
    ~PhoneWatcher() override;

    // Starts following and reads the list at once (signalListChanged follows
    // when it differs from the last one seen). Stop ends the following.
    void Start();
    void Stop();
    bool IsWatching() const { return m_bWatching; }
    const PhoneList &Current() const { return m_list; }

signals:
    void signalListChanged(const PhoneList &list);

public slots:
    // Reads the list now.
    void slotRefresh();

private:
    static void OnListMayHaveChanged();

    PhoneList m_list;
    bool m_bWatching = false;
    bool m_bRead = false;
    QTimer *m_pServerRetry = nullptr;
};
