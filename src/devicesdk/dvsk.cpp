// The exported C functions of the device SDK; each one forwards to the
// chosen back end: the simulated phone or a real phone through adb.
#include "BackendChoice.h"
#include "SimDevice.h"
#include "SimRestore.h"
#include "adb/AdbDevice.h"
#include "adb/AdbRestore.h"
#include "sdk/dvsk.h"
#include "sdk/dvsk_device.h"
#include "sdk/dvsk_restore.h"
#include "sdk/dvsk_sim.h"

#include <QDir>
#include <QMutex>

#include <memory>

#include <stdlib.h>
#include <string.h>

namespace
{
char *MallocUtf8(const QString &str)
{
    const QByteArray ba = str.toUtf8();
    char *p = static_cast<char *>(malloc(size_t(ba.size()) + 1));
    if (p)
        memcpy(p, ba.constData(), size_t(ba.size()) + 1);
    return p;
}
DeviceBackend &Backend()
{
    return BackendChoice::Instance().Backend();
}

// The restore side of the chosen back end.
DeviceRestore &RestoreBackend()
{
    if (AdbDevice *pAdb = BackendChoice::Instance().ChosenAdb())
        return pAdb->Restore();
    return SimRestore::Instance();
}
} // namespace

extern "C" {

DVSK_API void DVSK_DevSrv_RegisterDevInitEventCallback(DVSK_DevInitEventCallback pCallback)
{
    Backend().SetEventCallback(pCallback);
}

DVSK_API void DVSK_Backup_RegCallBack(DVSK_BackupCallback pCallback)
{
    Backend().SetBackupCallback(pCallback);
}

DVSK_API void DVSK_Backup_UnRegCallBack(DVSK_BackupCallback pCallback)
{
    Backend().UnsetBackupCallback(pCallback);
}

DVSK_API void DVSK_GetFile_RegProgressCallback(DVSK_FileProgressCallback pCallback)
{
    Backend().SetFileProgressCallback(pCallback);
}

DVSK_API int DVSK_BackUp(int nType, const char *szName, char **ppText)
{
    return Backend().BackUp(nType, szName, ppText);
}

DVSK_API int DVSK_GetFile(const char *szLocalPath, const char *szRemotePath, int nMode)
{
    return Backend().GetFile(szLocalPath, szRemotePath, nMode);
}

DVSK_API int DVSK_GetBackUpCount(int nType, int *pCount, int *pSize)
{
    return Backend().GetBackUpCount(nType, pCount, pSize);
}

DVSK_API int DVSK_Mobile_MemInfo(DVSK_MemInfo **ppList)
{
    return Backend().MemInfo(ppList);
}

DVSK_API void DVSK_SetBackup_Cancel(unsigned char bCancel)
{
    Backend().SetBackupCancel(bCancel);
}

DVSK_API void DVSK_Backup_Cancel(void)
{
    Backend().BackupCancel();
}

DVSK_API void DVSK_Operation_Cancel(const char *szShellCommand)
{
    Backend().OperationCancel(szShellCommand);
}

DVSK_API void DVSK_Reset(void)
{
    Backend().Reset();
}

DVSK_API int DVSK_GetUserDataDirectory(wchar_t **ppDir)
{
    if (!ppDir)
        return DVSK_SIM_ERR_BAD_ARGUMENT;
    *ppDir = nullptr;
    QString strDir = qEnvironmentVariable("DVSK_SIM_USERDATA");
    if (strDir.isEmpty())
        strDir = QDir::homePath() + QStringLiteral("/.local/share/Pelorix/UserData");
    strDir = QDir::cleanPath(QDir(strDir).absolutePath());
    if (!QDir().mkpath(strDir))
        return DVSK_SIM_ERR_LOCAL_FILE;
    if (!strDir.endsWith(QLatin1Char('/')))
        strDir += QLatin1Char('/');
    wchar_t *pDir = static_cast<wchar_t *>(calloc(size_t(strDir.size()) + 1, sizeof(wchar_t)));
    if (!pDir)
        return DVSK_SIM_ERR_LOCAL_FILE;
    // UTF-32 on Linux: never more units than UTF-16.
    const int nLength = strDir.toWCharArray(pDir);
    pDir[nLength] = L'\0';
    *ppDir = pDir;
    return 0;
}

DVSK_API int DVSK_Device_Select(const char *szDevice)
{
    return BackendChoice::Instance().Select(szDevice ? QString::fromUtf8(szDevice) : QString());
}

DVSK_API char *DVSK_Device_GetChoice(void)
{
    return MallocUtf8(BackendChoice::Instance().Choice());
}

DVSK_API int DVSK_Device_Open(char **ppMessage)
{
    if (ppMessage)
        *ppMessage = nullptr;
    if (!BackendChoice::Instance().IsValidChoice()) {
        if (ppMessage) {
            *ppMessage = MallocUtf8(QStringLiteral("DVSK_DEVICE=%1 names no phone; use sim, adb or adb:SERIAL")
                                            .arg(qEnvironmentVariable("DVSK_DEVICE")));
        }
        return DVSK_DEV_ERR_BAD_CHOICE;
    }
    QString strMessage;
    const int nResult = Backend().Open(strMessage);
    if (nResult != 0 && ppMessage)
        *ppMessage = MallocUtf8(strMessage);
    return nResult;
}

DVSK_API const char *DVSK_Device_Kind(void)
{
    return BackendChoice::Instance().IsAdb() ? "adb" : "sim";
}

DVSK_API char *DVSK_Device_GetInfo(void)
{
    return MallocUtf8(Backend().DeviceInfo());
}

DVSK_API int DVSK_Device_IsAttached(void)
{
    return Backend().IsAttached() ? 1 : 0;
}

DVSK_API int DVSK_Device_List(char **ppText)
{
    if (!ppText)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    QString strText;
    const int nResult = BackendChoice::Instance().List(strText);
    *ppText = MallocUtf8(strText);
    return nResult;
}

DVSK_API void DVSK_Device_WatchList(DVSK_DeviceListCallback pCallback)
{
    BackendChoice::Instance().Watch(pCallback);
}

DVSK_API int DVSK_Device_ConnectWifi(const char *szHostPort, char **ppMessage)
{
    if (ppMessage)
        *ppMessage = nullptr;
    if (!szHostPort)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    QString strAnswer;
    const int nResult = BackendChoice::Instance().ConnectWifi(QString::fromUtf8(szHostPort), strAnswer);
    if (ppMessage)
        *ppMessage = MallocUtf8(strAnswer);
    return nResult;
}

DVSK_API char *DVSK_Device_GetIdentity(void)
{
    const QString strIdentity = Backend().Identity();
    return strIdentity.isEmpty() ? nullptr : MallocUtf8(strIdentity);
}

DVSK_API int DVSK_Sim_SetPhoneDir(const char *szPhoneDir)
{
    return SimDevice::Instance().SetPhoneDir(szPhoneDir);
}

DVSK_API char *DVSK_Sim_GetPhoneDir(void)
{
    return MallocUtf8(SimDevice::Instance().PhoneDir());
}

DVSK_API char *DVSK_Sim_GetDeviceInfo(void)
{
    return MallocUtf8(SimDevice::Instance().DeviceInfo());
}

DVSK_API void DVSK_Sim_Attach(void)
{
    SimDevice::Instance().Attach();
}

DVSK_API void DVSK_Sim_Detach(void)
{
    SimDevice::Instance().Detach();
}

DVSK_API int DVSK_Sim_IsAttached(void)
{
    return SimDevice::Instance().IsAttached() ? 1 : 0;
}

DVSK_API char *DVSK_Sim_GetCallLog(void)
{
    return MallocUtf8(SimDevice::Instance().CallLog());
}

DVSK_API void DVSK_Sim_ClearCallLog(void)
{
    SimDevice::Instance().ClearCallLog();
}

DVSK_API int DVSK_Restore_StatFiles(const char *szRemotePaths, char **ppText)
{
    return RestoreBackend().StatFiles(szRemotePaths, ppText);
}

DVSK_API int DVSK_Restore_PutFiles(const char *szJobs, DVSK_RestoreFileCallback pCallback, void *pContext)
{
    return RestoreBackend().PutFiles(szJobs, pCallback, pContext);
}

DVSK_API int DVSK_Restore_ScanMedia(const char *szRemotePaths)
{
    return RestoreBackend().ScanMedia(szRemotePaths);
}

DVSK_API int DVSK_Restore_AppVersions(char **ppText)
{
    return RestoreBackend().AppVersions(ppText);
}

DVSK_API int DVSK_Restore_InstallApp(const char *szApkPaths, char **ppMessage)
{
    return RestoreBackend().InstallApp(szApkPaths, ppMessage);
}

DVSK_API int DVSK_Restore_RecordsAvailable(int nType, char **ppReason)
{
    return RestoreBackend().RecordsAvailable(nType, ppReason);
}

DVSK_API int DVSK_Restore_Records(int nType, const char *szLocalFile, int *pRestored, int *pSkipped, int *pFailed,
                                  char **ppMessage)
{
    return RestoreBackend().Records(nType, szLocalFile, pRestored, pSkipped, pFailed, ppMessage);
}

DVSK_API void DVSK_Restore_Cancel(void)
{
    RestoreBackend().Cancel();
}

DVSK_API void DVSK_Restore_ResetCancel(void)
{
    RestoreBackend().ResetCancel();
}

} // extern "C"
