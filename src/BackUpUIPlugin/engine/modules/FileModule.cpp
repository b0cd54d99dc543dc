#include "FileModule.h"

#include "LogLine.h"

FileModule::FileModule(int nCode, bool FILESTATUS::*pFlag, const char *szSource, QObject *pParent)
    : BackUpRestoreInterface(pParent), m_nCode(nCode), m_pFlag(pFlag), m_szSource(szSource)
{
    BackupCodes::RegisterMetaTypes();
}

FileModule::~FileModule() = default;

int FileModule::Restore()
{
    return 0;
}

void FileModule::SetPath(const QString &strPath)
{
    LogLine::Scope scope(m_szSource, "SetPath");
    m_strFolder = strPath;
}

void FileModule::SetStatus(bool bStop)
{
    LogLine::Scope scope(m_szSource, "SetStatus");
    m_bStop.store(bStop);
}
