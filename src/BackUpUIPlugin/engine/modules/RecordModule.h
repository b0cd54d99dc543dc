#pragma once

#include "BackUpRestoreInterface.h"
#include "BackupRecords.h"

// What sets one record module apart from the others.
struct RecordModuleTraits
{
    int nCode;                    // module type code passed to the SDK
    bool FILESTATUS::*pFlag;      // the status flag the module raises
    const char *szSource;         // source name in log lines
    const char *szBackupMessage;  // the phone's backup succeeded
    const char *szMissingPath;    // the phone named no result file
    const char *szCopyMessage;    // the result file was copied
    bool bLogSetPath;             // SetPath writes entry and exit lines
};

// A module whose data the phone turns into one result file: it has the phone
// back up its records, then copies the result file to the path it was given.
class RecordModule : public BackUpRestoreInterface
{
    Q_OBJECT
public:
    ~RecordModule() override;

    // Returns 0 on success, the logic's BackUp code when the phone's backup
    // failed, -1 when the phone named no result file or the run was
    // cancelled before the copy, else the GetFile code. nCount receives the
    // number of records the phone reported.
    int Backup(int &nCount) override;
    int Restore() override;
    void SetPath(const QString &strPath) override;

    FILESTATUS GetFileStatus() const { return m_status; }
    int ModuleCode() const { return m_traits.nCode; }

signals:
    void BackUpStart(FILESTATUS status);
    void SendFileStatus(FILESTATUS status);
    void signalBackupPro(int MoudleIndex, int ProType, int ProNum, int AllNum);

protected:
    RecordModule(const RecordModuleTraits &traits, QObject *pParent);

private:
    const RecordModuleTraits m_traits;
    QString m_strPath;
    FILESTATUS m_status;
};
