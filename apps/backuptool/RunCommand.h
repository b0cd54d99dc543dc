#pragma once

#include "BackupRecords.h"
#include "InterruptSignals.h"
#include "RunProgress.h"

#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QStringList>

class ToolOutput;

// backuptool run: the whole backup without a window. Counts the items on the
// phone, backs up the chosen items into the destination with a live progress
// line, turns Ctrl-C into the cancel path and ends with a summary. The
// engine's worker runs the jobs; its slots and queued signals run here, on
// the main thread, inside this command's event loop.
class RunCommand : public QObject
{
    Q_OBJECT
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);

    // "contacts,messages,..." (tile names, also "all") to a selection;
    // false with strError set on an unknown name.
    static bool ParseItems(const QString &strList, BackupItems &items, QString &strError);
    // The selection the configuration starts out with: its enabled tiles.
    static BackupItems DefaultItems(bool *pbConfigFound = nullptr);
    // Where the wizard would back up to: the location file, else the
    // default folder (created when missing).
    static QString DefaultDestination();
    // Makes the destination (strGiven, or the default) absolute, creates it
    // and checks that it can be written: -1 when it can, else the status
    // the run ends with (the reason printed).
    static int PrepareDestination(const QString &strGiven, ToolOutput &out, QString &strDest);
    // The items named (pGiven) or configured; -1 when found, else the exit status.
    static int ChooseItems(const QString *pGiven, ToolOutput &out, BackupItems &items);
    // Runs the backup holding the data folder's lock, then ends the engine.
    static int BackUpLocked(ToolOutput &out, const BackupItems &items, const QString &strDest, bool bVerify,
                            bool bFull);

private:
    RunCommand(ToolOutput &out, const BackupItems &items, const QString &strDestination, bool bVerify);
    ~RunCommand() override;

    int Exec();
    void StartBackup();
    void PrintCounts();
    void PrintSummary(int nResult);
    bool VerifyPackage(const QString &strPackage, int nExpectedEntries, bool bReportSound);
    void RemoveDataFolderTmpFiles();
    void Quit(int nStatus);

private slots:
    void slotCounted(int nReport);
    void slotIncrease(float fValue);
    void slotModuleInfo(structBackupID info);
    void slotFinish(int nResult);
    void slotCancelled();
    void slotInterrupt();

private:
    enum class Phase
    {
        Counting,
        BackingUp,
        Cancelling,
        Done
    };

    ToolOutput &m_out;
    const BackupItems m_items;
    const QString m_strDestination;
    const bool m_bVerify;
    RunProgress m_progress;
    QEventLoop m_loop;
    InterruptSignals m_interrupts;
    Phase m_phase = Phase::Counting;
    bool m_bInterrupted = false;
    int m_nStatus = 0;
};
