#pragma once

#include "sdk/dvsk.h"
#include "sdk/dvsk_device.h"

#include <QByteArray>
#include <QMutex>
#include <QString>

#include <cstdint>
#include <functional>

// One back end of the device SDK: what the exported DVSK_ functions forward
// to. Every member function is thread-safe and may be called from any thread.
class DeviceBackend
{
public:
    virtual ~DeviceBackend();

    // The callbacks the engine registers; the same for every back end.
    void SetEventCallback(DVSK_DevInitEventCallback pCallback);
    void SetBackupCallback(DVSK_BackupCallback pCallback);
    // Removes the backup callback only when it is the one given.
    void UnsetBackupCallback(DVSK_BackupCallback pCallback);
    void SetFileProgressCallback(DVSK_FileProgressCallback pCallback);

    virtual int BackUp(int nType, const char *szName, char **ppText) = 0;
    virtual int GetFile(const char *szLocalPath, const char *szRemotePath, int nMode) = 0;
    virtual int GetBackUpCount(int nType, int *pCount, int *pSize) = 0;
    virtual int MemInfo(DVSK_MemInfo **ppList) = 0;

    virtual void SetBackupCancel(unsigned char bCancel) = 0;
    virtual void BackupCancel() = 0;
    virtual void OperationCancel(const char *szShellCommand) = 0;
    virtual void Reset() = 0;

    // Connects to the phone; 0 = ready, else strMessage says why not.
    virtual int Open(QString &strMessage) = 0;
    // Name, firmware version and IMEI (or serial), "\n"-separated.
    virtual QString DeviceInfo() = 0;
    virtual bool IsAttached() = 0;
    // The open phone's identity as "key=value" lines (serial, manufacturer,
    // model, android, backend); empty when no phone is open.
    virtual QString Identity() = 0;

    // Takes over the callbacks registered with another back end (the phone
    // was switched).
    void TakeCallbacksFrom(DeviceBackend &other);

protected:
    DeviceBackend() = default;
    // The registered device-event callback (null: none).
    DVSK_DevInitEventCallback EventCallback() const;
    // Reports backup progress of a data type through the backup callback,
    // if one is registered. Never called with a back end's own lock held.
    void ReportProgress(int nType, int nCount, intptr_t nAll);
    // The progress reporter of one file copy from the phone: called with the
    // bytes copied so far (as often as the copy likes), it hands the due ones
    // (FileProgressGate) to the registered file-progress callback. Empty when
    // none is registered, so a copy nobody follows pays nothing.
    std::function<void(qint64)> FileProgressReporter(const char *szRemotePath) const;
    // A NUL-terminated copy of ba from the C allocator: the texts the SDK
    // hands out are released with free(). Null when memory is short.
    static char *MallocText(const QByteArray &ba);
    static QString IdentityText(const QString &strSerial, const QString &strManufacturer, const QString &strModel,
                                const QString &strAndroid, const QString &strBackend);
    // Bytes as the SDK's sizes give them: whole kilobytes, rounded up.
    static int KiloBytes(qint64 nBytes);

private:
    mutable QMutex m_callbackMutex;
    DVSK_DevInitEventCallback m_pEventCallback = nullptr;
    DVSK_BackupCallback m_pBackupCallback = nullptr;
    DVSK_FileProgressCallback m_pFileProgressCallback = nullptr;
};
