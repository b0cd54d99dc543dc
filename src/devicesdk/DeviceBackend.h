#pragma once

#include "sdk/dvsk.h"

#include <QString>

// One back end of the device SDK: what the exported DVSK_ functions forward
// to. Every member function is thread-safe and may be called from any thread.
class DeviceBackend
{
public:
    virtual ~DeviceBackend() = default;

    virtual void SetEventCallback(DVSK_DevInitEventCallback pCallback) = 0;
    virtual void SetBackupCallback(DVSK_BackupCallback pCallback) = 0;
    virtual void UnsetBackupCallback(DVSK_BackupCallback pCallback) = 0;

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
};
