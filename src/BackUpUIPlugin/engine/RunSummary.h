#pragma once

#include "BackupRecords.h"
#include "TransferCounts.h"

#include <QMap>
#include <QString>
#include <QStringList>

class Factory;
struct BackupKind;

// The closing summary of one backup run, as the programs that run a backup
// without the user looking at the wizard print it (the command-line tool and
// the host application's headless mode): the package, the backup folder, the
// items backed up with their counts, the items the phone did not have, the
// items the phone does not give at all and the items that failed, plus the
// exit status that goes with it.
class RunSummary
{
public:
    enum ExitStatus : int
    {
        ExitOk = 0,
        ExitFailed = 1,
        // The phone was disconnected during the backup; nothing was kept.
        ExitPhoneDisconnected = 4,
        // No usable phone to back up (none, unauthorised, offline, no USB
        // permission, or no adb server); nothing was read or written.
        ExitNoPhone = 5,
        ExitCancelled = 130
    };

    // What a run left behind.
    struct Facts
    {
        int nResult = 0; // negative: failed before any module ran; else the failed mask
        BackupItems items;
        BackupCounts requested;
        BackupCounts backedUp;
        int nAttemptedMask = 0;
        int nPackagedMask = 0;                  // modules in the package, also those partly backed up
        QMap<int, QStringList> mapFailedFiles; // module type code -> phone paths not copied
        int nCountFailedMask = 0; // modules the phone could not count
        int nNotAvailableMask = 0; // modules the phone said it does not give at all
        QString strPackage;
        bool bDelivered = false;
        QString strFolder;
        TransferCounts transfer;
    };

    // The facts of the factory's last run (its selection, counts, masks and
    // paths) with the result the worker reported.
    static Facts FromFactory(const Factory *pFactory, int nResult);

    // The summary lines of a finished run.
    static QStringList Lines(const Facts &facts);
    // True when the kind was selected but the phone does not give that kind
    // of data at all, so the run left it out: neither backed up nor failed.
    static bool IsNotAvailable(const Facts &facts, const BackupKind &kind);
    // 0 when every selected item was backed up, 4 when the phone was
    // disconnected during the run, else 1.
    static int ExitStatusOf(int nResult);
    // The line that ends a cancelled run, given whether any of its files
    // were left behind.
    static QString CancelledLine(const QString &strDestination, bool bFilesLeft);
    // "Files:         3 from the phone (1.2 MB), 2,000 reused from an earlier
    // backup (400.0 MB)"; empty when no application or media file was copied.
    static QString TransferLine(const TransferCounts &transfer);
    // True when the run's package or backup folder still exists.
    static bool FilesLeft(const QString &strPackage, const QString &strFolder);

private:
    // The selected kinds of a run, by how they ended.
    struct KindLists
    {
        QStringList listDone;      // "  name  count" lines
        QStringList listFailed;
        QStringList listEmpty;
        QStringList listNotAvailable;
        QStringList listNotCopied; // "  not copied:  path" lines
    };

    // The lines of a run that ended before any kind was backed up (no memory
    // information, phone disconnected, data folder busy, phone full); false
    // for a run that went through.
    static bool EndedEarly(const Facts &facts, QStringList &listLines);
    static KindLists SortKinds(const Facts &facts);
    static void AddFailedKind(const Facts &facts, const BackupKind &kind, KindLists &lists);
};
