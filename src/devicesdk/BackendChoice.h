#pragma once

#include "sdk/dvsk_device.h"

#include <QMutex>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class AdbDevice;
class AdbListWatcher;
class DeviceBackend;

// Which phone the SDK serves: the simulated phone or a phone through the adb
// server ("sim", "adb", "adb:SERIAL"), and who is told when the list of
// phones changes. One per process; every member function is thread-safe.
class BackendChoice
{
public:
    static BackendChoice &Instance();

    // Chooses the back end (empty: $DVSK_DEVICE, else "adb"). Choosing again
    // switches phones: the registered callbacks move to the new one. 0, or
    // DVSK_DEV_ERR_BAD_CHOICE when the text names no back end.
    int Select(const QString &strDevice);
    // The chosen back end; the default one when nothing valid was chosen.
    DeviceBackend &Backend();
    bool IsAdb();
    // The chosen real phone's back end; null while the simulated phone is chosen.
    AdbDevice *ChosenAdb();
    // The device text in force ("sim", "adb", "adb:SERIAL").
    QString Choice();
    // False when the first, implicit choice came from an unusable $DVSK_DEVICE.
    bool IsValidChoice();

    // Every phone the chosen back end sees, as DVSK_Device_List gives it.
    int List(QString &strText);
    void Watch(DVSK_DeviceListCallback pCallback);
    int ConnectWifi(const QString &strHostPort, QString &strAnswer);

private:
    BackendChoice() = default;
    ~BackendChoice();

    int SelectLocked(const QString &strDevice);
    // Starts or stops watching for the chosen back end; call with m_watchMutex held.
    void ArmWatchLocked(bool bAdb);
    static void NotifyListChanged();

    QMutex m_mutex; // the choice
    bool m_bChosen = false;
    bool m_bValid = true;
    QString m_strChoice;
    std::unique_ptr<AdbDevice> m_pAdb; // null while the simulated phone is chosen
    // Phones chosen before: callers may still hold what they reported.
    std::vector<std::unique_ptr<AdbDevice>> m_listRetired;

    QMutex m_watchMutex;    // the watch
    QMutex m_dispatchMutex; // one list callback at a time
    std::atomic<DVSK_DeviceListCallback> m_pListCallback {nullptr};
    std::unique_ptr<AdbListWatcher> m_pWatcher;
};
