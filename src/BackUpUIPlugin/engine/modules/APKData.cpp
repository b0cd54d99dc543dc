#include "APKData.h"

#include "BackUpUILogic.h"
#include "LogLine.h"
#include "RunState.h"

#include <QDir>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\APKData";

APKData::APKData(QObject *pParent) : FileModule(MODULE_APKDATA, &FILESTATUS::bAPK, kLogSource, pParent)
{
}

APKData::~APKData() = default;

int APKData::Backup(int &nCount)
{
    LOG_SCOPE("Backup");
    BackUpUILogic *pLogic = BackUpUILogic::Instance();
    if (!pLogic) {
        LOG_ARG_NULL("Backup");
        return 0;
    }

    RaiseOwnFlag();
    QString strPhonePath;
    const int nBackup = pLogic->BackUp(MODULE_APKDATA, strPhonePath, &nCount);
    if (nBackup != 0)
        return nBackup;
    LOG_INFO("Backup", QStringLiteral("Backup ApkData successed"));
    if (strPhonePath.isEmpty()) {
        LOG_WARNING("Backup", QStringLiteral("ApkData path NULL"));
        return -1;
    }

    SetTransporting(true);
    if (RunState::Get() != 0)
        return -1;
    emit SendFileStatus(GetFileStatus());
    emit signalBackupPro(MODULE_APKDATA, 2, 1, 1);

    QDir(m_strFolder).mkpath(QStringLiteral("APK"));
    const QString strTarget = m_strFolder + QStringLiteral("/APK/APPDATA.zip");
    LogLine::WarningPlain(kLogSource, "Backup", QLatin1Char('"') + strTarget + QLatin1Char('"'));

    const int nCopy = pLogic->GetFile(strTarget, strPhonePath, 2);
    if (nCopy == GETFILE_OK)
        LOG_INFO("Backup", QStringLiteral("Get ApkData successed"));
    else
        LOG_INFO("Backup", QStringLiteral("Get ApkData failed"));
    SetTransporting(false);
    emit SendFileStatus(GetFileStatus());
    return nCopy;
}
