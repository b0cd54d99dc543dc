#include "RunSummary.h"

#include "BackupKinds.h"
#include "Factory.h"
#include "InterruptedRun.h"

#include <QFileInfo>
#include <QLocale>

RunSummary::Facts RunSummary::FromFactory(const Factory *pFactory, int nResult)
{
    Facts facts;
    facts.nResult = nResult;
    if (!pFactory)
        return facts;
    facts.items = pFactory->GetSelection();
    facts.requested = pFactory->GetRequestedCounts();
    facts.backedUp = pFactory->GetBackedUpCounts();
    facts.nAttemptedMask = pFactory->GetAttemptedMask();
    facts.nPackagedMask = pFactory->GetPackagedMask();
    facts.mapFailedFiles = pFactory->GetFailedFiles();
    facts.nCountFailedMask = pFactory->GetCountFailedMask();
    facts.nNotAvailableMask = pFactory->GetNotAvailableMask();
    facts.strPackage = pFactory->GetPackagePath();
    facts.bDelivered = pFactory->IsPackageDelivered();
    facts.strFolder = pFactory->GetBackupFolder();
    facts.transfer = pFactory->GetTransferCounts();
    return facts;
}

int RunSummary::ExitStatusOf(int nResult)
{
    if (nResult == RUN_RESULT_PHONE_DISCONNECTED)
        return ExitPhoneDisconnected;
    return nResult == 0 ? ExitOk : ExitFailed;
}

bool RunSummary::IsNotAvailable(const Facts &facts, const BackupKind &kind)
{
    const int nBit = kind.nResultBit;
    return facts.nResult >= 0 && kind.bRuns && BackupKinds::IsSelected(facts.items, kind)
           && (facts.nNotAvailableMask & nBit) && !(facts.nResult & nBit) && !(facts.nAttemptedMask & nBit);
}

QString RunSummary::TransferLine(const TransferCounts &transfer)
{
    if (transfer.IsEmpty())
        return QString();
    const QLocale locale(QLocale::English);
    auto megabytes = [&locale](qint64 nBytes) {
        return locale.toString(double(nBytes) / 1e6, 'f', 1) + QStringLiteral(" MB");
    };
    return QStringLiteral("Files:         %1 from the phone (%2), %3 reused from an earlier backup (%4)")
        .arg(locale.toString(transfer.nPhoneFiles), megabytes(transfer.nPhoneBytes),
             locale.toString(transfer.nReusedFiles), megabytes(transfer.nReusedBytes));
}

bool RunSummary::FilesLeft(const QString &strPackage, const QString &strFolder)
{
    return (!strPackage.isEmpty() && (QFileInfo::exists(strPackage) || QFileInfo(strPackage).isSymLink()))
           || (!strFolder.isEmpty() && QFileInfo::exists(strFolder));
}

QString RunSummary::CancelledLine(const QString &strDestination, bool bFilesLeft)
{
    if (bFilesLeft)
        return QStringLiteral("Backup cancelled, but some of the run's files could not be removed.");
    return QStringLiteral("Backup cancelled. Nothing of this run was kept in %1").arg(strDestination);
}

QStringList RunSummary::Lines(const Facts &facts)
{
    QStringList listLines;
    if (facts.nResult == RUN_RESULT_NO_MEMINFO) {
        listLines << QStringLiteral("Backup failed: the phone's memory information is not available.");
        return listLines;
    }
    if (facts.nResult == RUN_RESULT_PHONE_DISCONNECTED) {
        if (const int nKept = InterruptedRun::KeptFiles(facts.strFolder)) {
            listLines << QStringLiteral("Backup interrupted: %1 files kept; start again to finish.").arg(nKept);
            listLines << QStringLiteral("Reason: phone disconnected. Incomplete backup folder (no package): %1")
                                 .arg(facts.strFolder);
        } else {
            listLines << QStringLiteral("Backup failed: phone disconnected. Nothing of this run was kept.");
        }
        return listLines;
    }
    if (facts.nResult == RUN_RESULT_DATA_FOLDER_BUSY) {
        listLines << QStringLiteral("Backup not started: another backup is using the SDK's data folder; "
                                    "try again when it has finished.");
        return listLines;
    }
    if (facts.nResult < 0) {
        listLines << QStringLiteral("Backup failed: the phone has no free memory (more than 5 MB are needed).");
        return listLines;
    }

    listLines << (facts.nResult == 0 ? QStringLiteral("Backup finished.")
                                     : QStringLiteral("Backup finished with failures."));
    listLines << QStringLiteral("Package:       %1")
                     .arg(facts.bDelivered ? facts.strPackage : QStringLiteral("none written"));
    listLines << QStringLiteral("Backup folder: %1")
                     .arg(!facts.strFolder.isEmpty() && QFileInfo(facts.strFolder).isDir()
                              ? facts.strFolder
                              : QStringLiteral("none (no files were copied)"));

    QStringList listDone;
    QStringList listFailed;
    QStringList listEmpty;
    QStringList listNotAvailable;
    QStringList listNotCopiedLines;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (!kind.bRuns || !BackupKinds::IsSelected(facts.items, kind))
            continue;
        const int nBit = kind.nResultBit;
        const int nSlot = kind.nCountSlot;
        const QString strName = QLatin1String(kind.szToolName);
        if (facts.nResult & nBit) {
            const QStringList listNotCopied = facts.mapFailedFiles.value(kind.nCode);
            if (facts.nCountFailedMask & nBit) {
                listFailed << strName + QStringLiteral(" (could not be counted)");
            } else if ((facts.nPackagedMask & nBit) && !listNotCopied.isEmpty()) {
                // Partly backed up: the copied files are kept and packaged.
                const int nCopied = facts.backedUp[nSlot];
                listFailed << QStringLiteral("%1 (%2 of %3 copied)")
                                  .arg(strName)
                                  .arg(nCopied)
                                  .arg(nCopied + listNotCopied.size());
            } else {
                listFailed << strName;
            }
            for (const QString &strPath : listNotCopied)
                listNotCopiedLines << QStringLiteral("  not copied:  %1").arg(strPath);
            continue;
        }
        if (facts.nAttemptedMask & nBit)
            listDone << QStringLiteral("  %1 %2").arg(strName, -18).arg(facts.backedUp[nSlot]);
        else if (IsNotAvailable(facts, kind))
            listNotAvailable << strName;
        else if (facts.requested[nSlot] <= 0)
            listEmpty << strName;
        else
            listFailed << strName + QStringLiteral(" (not run)");
    }
    if (!listDone.isEmpty()) {
        listLines << QStringLiteral("Backed up:");
        listLines << listDone;
    }
    const QString strTransfer = TransferLine(facts.transfer);
    if (!strTransfer.isEmpty())
        listLines << strTransfer;
    if (!listEmpty.isEmpty())
        listLines << QStringLiteral("Nothing to back up: %1").arg(listEmpty.join(QStringLiteral(", ")));
    if (!listNotAvailable.isEmpty())
        listLines << QStringLiteral("Not available on this phone: %1")
                         .arg(listNotAvailable.join(QStringLiteral(", ")));
    if (!listFailed.isEmpty())
        listLines << QStringLiteral("Failed:        %1").arg(listFailed.join(QStringLiteral(", ")));
    listLines << listNotCopiedLines;
    return listLines;
}
