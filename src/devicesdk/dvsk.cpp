// The exported C functions of the device SDK; each one forwards to the
// simulated phone.
#include "SimDevice.h"
#include "sdk/dvsk.h"
#include "sdk/dvsk_sim.h"

#include <QDir>

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
} // namespace

extern "C" {

DVSK_API void DVSK_DevSrv_RegisterDevInitEventCallback(DVSK_DevInitEventCallback pCallback)
{
    SimDevice::Instance().SetEventCallback(pCallback);
}

DVSK_API void DVSK_Backup_RegCallBack(DVSK_BackupCallback pCallback)
{
    SimDevice::Instance().SetBackupCallback(pCallback);
}

DVSK_API void DVSK_Backup_UnRegCallBack(DVSK_BackupCallback pCallback)
{
    SimDevice::Instance().UnsetBackupCallback(pCallback);
}

DVSK_API int DVSK_BackUp(int nType, const char *szName, char **ppText)
{
    return SimDevice::Instance().BackUp(nType, szName, ppText);
}

DVSK_API int DVSK_GetFile(const char *szLocalPath, const char *szRemotePath, int nMode)
{
    return SimDevice::Instance().GetFile(szLocalPath, szRemotePath, nMode);
}

DVSK_API int DVSK_GetBackUpCount(int nType, int *pCount, int *pSize)
{
    return SimDevice::Instance().GetBackUpCount(nType, pCount, pSize);
}

DVSK_API int DVSK_Mobile_MemInfo(DVSK_MemInfo **ppList)
{
    return SimDevice::Instance().MemInfo(ppList);
}

DVSK_API void DVSK_SetBackup_Cancel(unsigned char bCancel)
{
    SimDevice::Instance().SetBackupCancel(bCancel);
}

DVSK_API void DVSK_Backup_Cancel(void)
{
    SimDevice::Instance().BackupCancel();
}

DVSK_API void DVSK_Operation_Cancel(const char *szShellCommand)
{
    SimDevice::Instance().OperationCancel(szShellCommand);
}

DVSK_API void DVSK_Reset(void)
{
    SimDevice::Instance().Reset();
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

} // extern "C"
