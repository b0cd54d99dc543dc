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

bool RunSummary::EndedEarly(const Facts &facts, QStringList &listLines)
{
    if (facts.nResult == RUN_RESULT_NO_MEMINFO) {
        listLines << QStringLiteral("Backup failed: the phone's memory information is not available.");
    } else if (facts.nResult == RUN_RESULT_PHONE_DISCONNECTED) {
        if (const int nKept = InterruptedRun::KeptFiles(facts.strFolder)) {
            listLines << QStringLiteral("Backup interrupted: %1 files kept; start again to finish.").arg(nKept);
            listLines << QStringLiteral("Reason: phone disconnected. Incomplete backup folder (no package): %1")
                                 .arg(facts.strFolder);
        } else {
            listLines << QStringLiteral("Backup failed: phone disconnected. Nothing of this run was kept.");
        }
    } else if (facts.nResult == RUN_RESULT_DATA_FOLDER_BUSY) {
        listLines << QStringLiteral("Backup not started: another backup is using the SDK's data folder; "
                                    "try again when it has finished.");
    } else if (facts.nResult < 0) {
        listLines << QStringLiteral("Backup failed: the phone has no free memory (more than 5 MB are needed).");
    } else {
        return false;
    }
    return true;
}

void RunSummary::AddFailedKind(const Facts &facts, const BackupKind &kind, KindLists &lists)
{
    const int nBit = kind.nResultBit;
    const QString strName = QLatin1String(kind.szToolName);
    const QStringList listNotCopied = facts.mapFailedFiles.value(kind.nCode);
    if (facts.nCountFailedMask & nBit) {
        lists.listFailed << strName + QStringLiteral(" (could not be counted)");
    } else if ((facts.nPackagedMask & nBit) && !listNotCopied.isEmpty()) {
        // Partly backed up: the copied files are kept and packaged.
        const int nCopied = facts.backedUp[kind.nCountSlot];
        lists.listFailed << QStringLiteral("%1 (%2 of %3 copied)")
                                .arg(strName)
                                .arg(nCopied)
                                .arg(nCopied + listNotCopied.size());
    } else {
        lists.listFailed << strName;
    }
    for (const QString &strPath : listNotCopied)
        lists.listNotCopied << QStringLiteral("  not copied:  %1").arg(strPath);
}

RunSummary::KindLists RunSummary::SortKinds(const Facts &facts)
{
    KindLists lists;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (!kind.bRuns || !BackupKinds::IsSelected(facts.items, kind))
            continue;
        const int nBit = kind.nResultBit;
        const int nSlot = kind.nCountSlot;
        const QString strName = QLatin1String(kind.szToolName);
        if (facts.nResult & nBit)
            AddFailedKind(facts, kind, lists);
        else if (facts.nAttemptedMask & nBit)
            lists.listDone << QStringLiteral("  %1 %2").arg(strName, -18).arg(facts.backedUp[nSlot]);
        else if (IsNotAvailable(facts, kind))
            lists.listNotAvailable << strName;
        else if (facts.requested[nSlot] <= 0)
            lists.listEmpty << strName;
        else
            lists.listFailed << strName + QStringLiteral(" (not run)");
    }
    return lists;
}

QStringList RunSummary::Lines(const Facts &facts)
{
    QStringList listLines;
    if (EndedEarly(facts, listLines))
        return listLines;

    listLines << (facts.nResult == 0 ? QStringLiteral("Backup finished.")
                                     : QStringLiteral("Backup finished with failures."));
    listLines << QStringLiteral("Package:       %1")
                     .arg(facts.bDelivered ? facts.strPackage : QStringLiteral("none written"));
    listLines << QStringLiteral("Backup folder: %1")
                     .arg(!facts.strFolder.isEmpty() && QFileInfo(facts.strFolder).isDir()
                              ? facts.strFolder
                              : QStringLiteral("none (no files were copied)"));

    const KindLists lists = SortKinds(facts);
    if (!lists.listDone.isEmpty()) {
        listLines << QStringLiteral("Backed up:");
        listLines << lists.listDone;
    }
    const QString strTransfer = TransferLine(facts.transfer);
    if (!strTransfer.isEmpty())
        listLines << strTransfer;
    if (!lists.listEmpty.isEmpty())
        listLines << QStringLiteral("Nothing to back up: %1").arg(lists.listEmpty.join(QStringLiteral(", ")));
    if (!lists.listNotAvailable.isEmpty())
        listLines << QStringLiteral("Not available on this phone: %1")
                         .arg(lists.listNotAvailable.join(QStringLiteral(", ")));
    if (!lists.listFailed.isEmpty())
        listLines << QStringLiteral("Failed:        %1").arg(lists.listFailed.join(QStringLiteral(", ")));
    listLines << lists.listNotCopied;
    return listLines;
}
