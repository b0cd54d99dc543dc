#include "RunSummary.h"

#include "Factory.h"

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
    facts.strPackage = pFactory->GetPackagePath();
    facts.bDelivered = pFactory->IsPackageDelivered();
    facts.strFolder = pFactory->GetBackupFolder();
    facts.transfer = pFactory->GetTransferCounts();
    return facts;
}

const QList<int> &RunSummary::ModuleOrder()
{
    static const QList<int> s_listOrder = {MODULE_PB,      MODULE_SMS,   MODULE_MMS,   MODULE_APK,
                                           MODULE_APKDATA, MODULE_IMAGE, MODULE_VIDEO, MODULE_AUDIO,
                                           MODULE_CALLLOG, MODULE_CALENDAR, MODULE_EMAIL};
    return s_listOrder;
}

bool RunSummary::Selected(const BackupItems &items, int nModuleCode)
{
    switch (nModuleCode) {
    case MODULE_PB: return items.bPB;
    case MODULE_SMS: return items.bSMS;
    case MODULE_MMS: return items.bMMS;
    case MODULE_APK: return items.bAPK;
    case MODULE_APKDATA: return items.bAPKData;
    case MODULE_IMAGE: return items.bImage;
    case MODULE_VIDEO: return items.bVideo;
    case MODULE_AUDIO: return items.bAudio;
    case MODULE_CALLLOG: return items.bCallLog;
    case MODULE_CALENDAR: return items.bCalendar;
    case MODULE_EMAIL: return items.bEmail;
    case MODULE_BOOKMARK: return items.bBookmark;
    default: return false;
    }
}

int RunSummary::CountSlot(int nModuleCode)
{
    switch (nModuleCode) {
    case MODULE_PB: return BackupCounts::PB;
    case MODULE_SMS: return BackupCounts::SMS;
    case MODULE_MMS: return BackupCounts::MMS;
    case MODULE_APK: return BackupCounts::APK;
    case MODULE_APKDATA: return BackupCounts::APKData;
    case MODULE_IMAGE: return BackupCounts::Image;
    case MODULE_VIDEO: return BackupCounts::Video;
    case MODULE_AUDIO: return BackupCounts::Audio;
    case MODULE_CALLLOG: return BackupCounts::CallLog;
    case MODULE_CALENDAR: return BackupCounts::Calendar;
    case MODULE_EMAIL: return BackupCounts::Email;
    case MODULE_BOOKMARK: return BackupCounts::Bookmark;
    default: return 0;
    }
}

QString RunSummary::ModuleName(int nModuleCode)
{
    switch (nModuleCode) {
    case MODULE_PB: return QStringLiteral("contacts");
    case MODULE_SMS: return QStringLiteral("SMS");
    case MODULE_MMS: return QStringLiteral("MMS");
    case MODULE_APK: return QStringLiteral("applications");
    case MODULE_APKDATA: return QStringLiteral("application data");
    case MODULE_IMAGE: return QStringLiteral("images");
    case MODULE_VIDEO: return QStringLiteral("videos");
    case MODULE_AUDIO: return QStringLiteral("audio");
    case MODULE_CALLLOG: return QStringLiteral("call log");
    case MODULE_CALENDAR: return QStringLiteral("calendar");
    case MODULE_EMAIL: return QStringLiteral("e-mail");
    case MODULE_BOOKMARK: return QStringLiteral("bookmarks");
    default: return QString::number(nModuleCode);
    }
}

int RunSummary::ExitStatusOf(int nResult)
{
    if (nResult == RUN_RESULT_PHONE_DISCONNECTED)
        return ExitPhoneDisconnected;
    return nResult == 0 ? ExitOk : ExitFailed;
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
        listLines << QStringLiteral("Backup failed: phone disconnected. Nothing of this run was kept.");
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
    QStringList listNotCopiedLines;
    for (int nCode : ModuleOrder()) {
        if (!Selected(facts.items, nCode))
            continue;
        const int nBit = BackupCodes::ResultBit(nCode);
        const int nSlot = CountSlot(nCode);
        if (facts.nResult & nBit) {
            const QStringList listNotCopied = facts.mapFailedFiles.value(nCode);
            if (facts.nCountFailedMask & nBit) {
                listFailed << ModuleName(nCode) + QStringLiteral(" (could not be counted)");
            } else if ((facts.nPackagedMask & nBit) && !listNotCopied.isEmpty()) {
                // Partly backed up: the copied files are kept and packaged.
                const int nCopied = facts.backedUp[nSlot];
                listFailed << QStringLiteral("%1 (%2 of %3 copied)")
                                  .arg(ModuleName(nCode))
                                  .arg(nCopied)
                                  .arg(nCopied + listNotCopied.size());
            } else {
                listFailed << ModuleName(nCode);
            }
            for (const QString &strPath : listNotCopied)
                listNotCopiedLines << QStringLiteral("  not copied:  %1").arg(strPath);
            continue;
        }
        if (facts.nAttemptedMask & nBit)
            listDone << QStringLiteral("  %1 %2").arg(ModuleName(nCode), -18).arg(facts.backedUp[nSlot]);
        else if (facts.requested[nSlot] <= 0)
            listEmpty << ModuleName(nCode);
        else
            listFailed << ModuleName(nCode) + QStringLiteral(" (not run)");
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
    if (!listFailed.isEmpty())
        listLines << QStringLiteral("Failed:        %1").arg(listFailed.join(QStringLiteral(", ")));
    listLines << listNotCopiedLines;
    return listLines;
}
