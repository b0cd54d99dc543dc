#include "RecordModule.h"

#include "BackUpUILogic.h"
#include "LogLine.h"
#include "RunState.h"

RecordModule::RecordModule(const RecordModuleTraits &traits, QObject *pParent)
    : BackUpRestoreInterface(pParent), m_traits(traits)
{
    BackupCodes::RegisterMetaTypes();
}

RecordModule::~RecordModule() = default;

int RecordModule::Backup(int &nCount)
{
    LogLine::Scope scope(m_traits.szSource, "Backup");
    // Asked on every run rather than kept from construction: the logic
    // object may have been destroyed and created again since.
    BackUpUILogic *pLogic = BackUpUILogic::Instance();
    if (!pLogic) {
        LogLine::ArgNull(m_traits.szSource, "Backup", __LINE__);
        return 0;
    }

    QString strPhonePath;
    m_status.*m_traits.pFlag = true;
    emit BackUpStart(m_status);

    const int nBackup = pLogic->BackUp(m_traits.nCode, strPhonePath, &nCount);
    if (nBackup != 0)
        return nBackup;
    LogLine::Info(m_traits.szSource, "Backup", QLatin1String(m_traits.szBackupMessage));

    if (strPhonePath.isEmpty()) {
        LogLine::Warning(m_traits.szSource, "Backup", QLatin1String(m_traits.szMissingPath));
        return -1;
    }

    m_status.bTransporting = true;
    if (RunState::Get() != 0)
        return -1;
    emit SendFileStatus(m_status);
    emit signalBackupPro(m_traits.nCode, 2, 1, 1);

    const int nCopy = pLogic->GetFile(m_strPath, strPhonePath, 2);
    if (nCopy == GETFILE_OK) {
        LogLine::Info(m_traits.szSource, "Backup", QLatin1String(m_traits.szCopyMessage));
        m_status.bTransporting = false;
        emit SendFileStatus(m_status);
    }
    return nCopy;
}

int RecordModule::Restore()
{
    return 0;
}

void RecordModule::SetPath(const QString &strPath)
{
    if (!m_traits.bLogSetPath) {
        m_strPath = strPath;
        return;
    }
    LogLine::Scope scope(m_traits.szSource, "SetPath");
    m_strPath = strPath;
}
