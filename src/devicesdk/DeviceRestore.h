#pragma once

#include "sdk/dvsk_restore.h"

// The restore side of one back end: what the exported DVSK_Restore_
// functions forward to. Every member function may be called from any
// thread; Cancel() from another thread stops a running call.
class DeviceRestore
{
public:
    virtual ~DeviceRestore() = default;

    virtual int StatFiles(const char *szRemotePaths, char **ppText) = 0;
    virtual int PutFiles(const char *szJobs, DVSK_RestoreFileCallback pCallback, void *pContext) = 0;
    virtual int ScanMedia(const char *szRemotePaths) = 0;
    virtual int AppVersions(char **ppText) = 0;
    virtual int InstallApp(const char *szApkPaths, char **ppMessage) = 0;
    virtual int RecordsAvailable(int nType, char **ppReason) = 0;
    virtual int Records(int nType, const char *szLocalFile, int *pRestored, int *pSkipped, int *pFailed,
                        char **ppMessage) = 0;
    virtual void Cancel() = 0;
    virtual void ResetCancel() = 0;

protected:
    // What every back end's Records starts with: the arguments are there,
    // the counts are zeroed, the kind can be restored onto this phone
    // (RecordsAvailable; its reason goes to *ppMessage) and is a record kind.
    // 0 to go on, else the result Records returns.
    int StartRecords(int nType, const char *szLocalFile, int *pRestored, int *pSkipped, int *pFailed,
                     char **ppMessage);
};
