#pragma once

#include "BackUpRestoreInterface.h"
#include "BackupRecords.h"

#include <atomic>

// The common part of the modules that copy files from the phone into a
// folder of the backup: the folder, the status record, the stop flag that
// the cancel path sets while a copy loop runs, and the module's signals.
class FileModule : public BackUpRestoreInterface
{
    Q_OBJECT
public:
    ~FileModule() override;

    int Restore() override;
    // The folder the module puts its files in.
    void SetPath(const QString &strPath) override;
    // Asks a running copy loop to stop before its next file (true), or
    // clears the request at the start of a run (false). Safe from any thread.
    void SetStatus(bool bStop);

    QString GetFolder() const { return m_strFolder; }
    FILESTATUS GetFileStatus() const { return m_status; }
    bool IsStopRequested() const { return m_bStop.load(); }
    int ModuleCode() const { return m_nCode; }

signals:
    void BackUpStart(FILESTATUS status);
    void SendFileStatus(FILESTATUS status);
    void signalBackupPro(int MoudleIndex, int ProType, int ProNum, int AllNum);
    // A list of files is being copied: nShare of FileStepProgress::kParts of
    // the step is done, and nNewBytes more bytes since the last report.
    void signalFilesProgress(int nModule, int nShare, qint64 nNewBytes);

protected:
    FileModule(int nCode, bool FILESTATUS::*pFlag, const char *szSource, QObject *pParent);

    const char *Source() const { return m_szSource; }
    void RaiseOwnFlag() { m_status.*m_pFlag = true; }
    void SetTransporting(bool bTransporting) { m_status.bTransporting = bTransporting; }

    QString m_strFolder;

private:
    const int m_nCode;
    bool FILESTATUS::*const m_pFlag;
    const char *const m_szSource;
    FILESTATUS m_status;
    std::atomic<bool> m_bStop{false};
};
