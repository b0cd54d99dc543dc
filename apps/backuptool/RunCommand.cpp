#include "RunCommand.h"

#include "DeviceChoice.h"
#include "OptionReader.h"
#include "ToolOutput.h"

#include <BackUpUIConfigParse.h>
#include <BackupLocation.h>
#include <BackUpUILogic.h>
#include <BackUpUIThread.h>
#include <BackUpUIThreadCancel.h>
#include <BackupKinds.h>
#include <DataFolderLock.h>
#include <Factory.h>
#include <FolderMaker.h>
#include <ItemNames.h>
#include <PackageVerifier.h>
#include <RunState.h>
#include <RunSummary.h>

#include <host/CommonUtils.h>
#include <sdk/dvsk.h>
#include <sdk/dvsk_device.h>
#include <sdk/dvsk_sim.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <utility>

namespace
{
// What a module record names: module starts carry a tile id, item progress
// the id of a kind.
QString DisplayName(const structBackupID &info)
{
    if (info.nState == 1) {
        const BackupKind *pKind = BackupKinds::ByProgressId(info.nModuleID);
        return pKind ? QLatin1String(pKind->szToolName) : QString();
    }
    const BackupTile *pTile = BackupKinds::Tile(info.nModuleID);
    return pTile ? QLatin1String(pTile->szShownName) : QString();
}

} // namespace

QString RunCommand::Help()
{
    return QStringLiteral(
        "Usage: backuptool run [--dest DIR] [--items LIST] [--phone DIR] [--device DEV] [--full]\n"
        "                      [--verify] [--wait SEC]\n"
        "\n"
        "Backs up the connected phone without a window: counts the items on the\n"
        "phone, then writes the backup package and the backup folder into the\n"
        "destination, with a live progress line. Ctrl-C cancels the backup and\n"
        "removes what it had written. Ends with a summary: the package, the\n"
        "backup folder, the items backed up with their counts and the items that\n"
        "failed, and how many application and media files came from the phone\n"
        "and how many were reused.\n"
        "\n"
        "A repeat backup copies only what changed: a file that the newest earlier\n"
        "backup of the same phone in the destination holds with the same size and\n"
        "modification time is hard-linked from there (copied on this computer\n"
        "where no link can be made) instead of being copied from the phone again.\n"
        "Earlier backups are only read, and every backup stays complete.\n"
        "\n"
        "Options:\n"
        "  --dest DIR     where the backup goes; default: the folder the backup\n"
        "                 wizard uses (Location.ini, else Documents/Pelorix/backup)\n"
        "  --items LIST   comma-separated items to back up, or all; default: the\n"
        "                 items the configuration selects. An item is a tile of\n"
        "                 the wizard or a kind of data in it; the kinds of a tile\n"
        "                 are backed up together:\n"
        "%1"
        "  --phone DIR    back up the simulated phone in DIR (a folder with\n"
        "                 phone.ini); implies --device sim\n"
        "  --device DEV   the phone: adb (the one usable Android phone the adb\n"
        "                 server knows), adb:SERIAL, or sim (the simulated sample\n"
        "                 phone); default: $DVSK_DEVICE, else adb\n"
        "  --wait SEC     wait up to SEC seconds for a usable phone (it is plugged\n"
        "                 in, allows USB debugging, comes online); default: 0\n"
        "  --full         copy every file from the phone, even unchanged ones\n"
        "  --verify       afterwards read the whole package back, as\n"
        "                 'backuptool verify' does, and report the result\n"
        "  --help         show this help\n"
        "\n"
        "Only one backup runs at a time per SDK data folder; a second run is\n"
        "refused while one goes on. A destination that cannot be written is\n"
        "refused before the phone is read. Ctrl-C, SIGTERM and a closed terminal\n"
        "(SIGHUP) cancel alike; a closed output (a pipe into head) does not stop\n"
        "the backup.\n"
        "\n"
        "Exit status: 0 every selected item was backed up in full into a package\n"
        "that 'verify' calls sound (--verify reports it); 1 anything less:\n"
        "an item failed or fell short, an item could not be counted, the phone's\n"
        "memory could not be checked or is full, the destination cannot be\n"
        "written, another backup holds the data folder, or the package is not\n"
        "sound; 2 wrong arguments; 4 phone disconnected (the phone went away\n"
        "during the backup; the files copied so far are kept in a folder marked\n"
        "interrupted, and the next run into the same destination finishes it);\n"
        "5 no usable phone\n"
        "(none connected, not allowed, offline, no USB permission, or no adb\n"
        "server; the reason is printed; nothing was written); 130 cancelled.")
        .arg(ItemNames::HelpText());
}

bool RunCommand::ParseItems(const QString &strList, BackupItems &items, QString &strError)
{
    items = BackupItems();
    QList<int> listTiles;
    if (!ItemNames::Parse(strList, listTiles, strError))
        return false;
    for (int nTile : std::as_const(listTiles))
        BackupKinds::SelectTile(nTile, items);
    return true;
}

BackupItems RunCommand::DefaultItems(bool *pbConfigFound)
{
    BackupItems items;
    BackUpUIConfigParse *pConfig = BackUpUIConfigParse::GetInstance();
    const PluginInfoTable common = pConfig ? pConfig->GetCommonItems() : PluginInfoTable();
    if (pbConfigFound)
        *pbConfigFound = !common.isEmpty();
    for (const PluginInfo &info : common) {
        if (info.bEnable)
            BackupKinds::SelectTile(int(info.nId), items);
    }
    return items;
}

QString RunCommand::DefaultDestination()
{
    // The wizard's rule; the default folder is made only when it is used.
    QString strDefault;
    if (BackupLocation::LocationFileFolder().isEmpty())
        BackupLocation::CreateDefaultFolder(strDefault);
    return BackupLocation::Read(strDefault);
}

int RunCommand::PrepareDestination(const QString &strGiven, ToolOutput &out, QString &strDest)
{
    strDest = strGiven.isEmpty() ? DefaultDestination() : strGiven;
    strDest = QDir::cleanPath(QFileInfo(strDest).absoluteFilePath());
    if (QFileInfo::exists(strDest) && !QFileInfo(strDest).isDir())
        return out.Error(QStringLiteral("run: the destination %1 is not a folder").arg(strDest));
    QString strMakeError;
    if (!FolderMaker::MakePath(strDest, strMakeError))
        return out.Error(QStringLiteral("run: cannot create the destination %1: %2").arg(strDest, strMakeError));
    // Found out now, not after the whole phone was read.
    QString strProbeError;
    if (!FolderMaker::CanWrite(strDest, strProbeError))
        return out.Error(QStringLiteral("run: cannot write into the destination %1: %2").arg(strDest, strProbeError));
    return -1;
}

int RunCommand::Run(const QStringList &listArgs, ToolOutput &out)
{
    QString strDestination;
    QString strItems;
    QString strPhone;
    QString strDevice;
    bool bVerify = false;
    bool bFull = false;
    bool bItemsGiven = false;
    QString strWait;
    OptionReader reader;
    reader.AddValue(QStringLiteral("--dest"), &strDestination, QStringLiteral("--dest needs a folder"));
    reader.AddValue(QStringLiteral("--items"), &strItems, QStringLiteral("--items needs a list"), &bItemsGiven);
    reader.AddValue(QStringLiteral("--phone"), &strPhone, QStringLiteral("--phone needs a folder"));
    reader.AddValue(QStringLiteral("--device"), &strDevice, QStringLiteral("--device needs sim, adb or adb:SERIAL"));
    reader.AddValue(QStringLiteral("--wait"), &strWait, QStringLiteral("--wait needs a number of seconds"), nullptr,
                    [](const QString &strValue) {
                        bool bOk = false;
                        return strValue.toInt(&bOk) >= 0 && bOk;
                    });
    reader.AddSwitch(QStringLiteral("--verify"), &bVerify);
    reader.AddSwitch(QStringLiteral("--full"), &bFull);
    QString strError;
    if (!reader.Read(listArgs, nullptr, strError))
        return out.UsageError(QStringLiteral("run"), strError);
    const int nWaitSeconds = strWait.toInt();

    // The phone is looked for before anything runs: none, several, or one
    // that cannot be used yet is said plainly (and waited for with --wait).
    const int nDevice = DeviceChoice::Apply(QStringLiteral("run"), strDevice, strPhone, out, nWaitSeconds,
                                            RunSummary::ExitNoPhone);
    if (nDevice >= 0)
        return nDevice;

    BackupItems items;
    const int nItems = ChooseItems(bItemsGiven ? &strItems : nullptr, out, items);
    if (nItems >= 0)
        return nItems;

    QString strDest;
    const int nDestination = PrepareDestination(strDestination, out, strDest);
    if (nDestination >= 0)
        return nDestination;

    return BackUpLocked(out, items, strDest, bVerify, bFull);
}

int RunCommand::ChooseItems(const QString *pGiven, ToolOutput &out, BackupItems &items)
{
    if (pGiven) {
        QString strError;
        if (!ParseItems(*pGiven, items, strError))
            return out.UsageError(QStringLiteral("run"), strError);
        return -1;
    }
    bool bConfigFound = false;
    items = DefaultItems(&bConfigFound);
    if (!bConfigFound) {
        return out.Error(QStringLiteral("run: no backup items configured in %1; name them with --items")
                             .arg(BackUpUIConfigParse::ConfigFilePath()));
    }
    return -1;
}

int RunCommand::BackUpLocked(ToolOutput &out, const BackupItems &items, const QString &strDest, bool bVerify, bool bFull)
{
    // One backup at a time per data folder, held until this run has cleaned
    // up after itself.
    const QString strDataFolder = BackUpUILogic::GetUserDataDirectory();
    QString strOwner;
    if (!strDataFolder.isEmpty() && !DataFolderLock::Acquire(strDataFolder, &strOwner))
        return out.Error(QStringLiteral("run: %1; try again when it has finished").arg(strOwner));

    Factory::SetFullCopy(bFull);
    int nStatus = 0;
    {
        RunCommand command(out, items, strDest, bVerify);
        nStatus = command.Exec();
    }
    if (!strDataFolder.isEmpty())
        DataFolderLock::Release();
    // The threads go before the objects they use.
    BackUpUIThreadCancel::DestroyInstance();
    BackUpUIThread::DestroyInstance();
    Factory::DestroyInstance();
    BackUpUILogic::DestroyInstance();
    return nStatus;
}

RunCommand::RunCommand(ToolOutput &out, const BackupItems &items, const QString &strDestination, bool bVerify)
    : QObject(nullptr)
    , m_out(out)
    , m_items(items)
    , m_strDestination(strDestination)
    , m_bVerify(bVerify)
    , m_progress(stderr, RunProgress::IsTerminal(stderr))
{
    connect(&m_interrupts, &InterruptSignals::signalInterrupted, this, &RunCommand::slotInterrupt);
}

RunCommand::~RunCommand() = default;

int RunCommand::Exec()
{
    BackUpUIThread *pWorker = BackUpUIThread::Instance();
    if (!pWorker)
        return m_out.Error(QStringLiteral("run: the backup worker could not be created"));
    connect(pWorker, &BackUpUIThread::signalsPluginCount, this, &RunCommand::slotCounted);
    connect(pWorker, &BackUpUIThread::signalIncreaseValue, this, &RunCommand::slotIncrease);
    connect(pWorker, &BackUpUIThread::signalTimeLeft, this, [this](int nSeconds) {
        if (m_phase == Phase::BackingUp)
            m_progress.SetTimeLeft(nSeconds);
    });
    connect(pWorker, &BackUpUIThread::signalsModuleInfo, this, &RunCommand::slotModuleInfo);
    connect(pWorker, &BackUpUIThread::signalsFinish, this, &RunCommand::slotFinish);
    connect(pWorker, &BackUpUIThread::signalBackupCancelSuccess, this, &RunCommand::slotCancelled);

    m_out.Line(QStringLiteral("Counting the items on the phone..."));
    BackUpThreadParam param;
    param.nMode = 3;
    pWorker->SetParam(param);
    pWorker->start();
    const int nStatus = m_loop.exec();
    pWorker->wait();
    return nStatus;
}

void RunCommand::Quit(int nStatus)
{
    m_phase = Phase::Done;
    m_nStatus = nStatus;
    m_loop.exit(nStatus);
}

void RunCommand::slotCounted(int)
{
    if (m_phase != Phase::Counting)
        return;
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    // The count job emits its result just before it ends.
    pWorker->wait();
    if (m_bInterrupted) {
        m_out.Line(QStringLiteral("Cancelled before the backup started; nothing was written."));
        Quit(RunSummary::ExitCancelled);
        return;
    }
    PrintCounts();
    StartBackup();
}

void RunCommand::PrintCounts()
{
    const QHash<int, structBackupID> counts = BackUpUIThread::ExistingInstance()->GetModuleCounts();
    QStringList listParts;
    for (const BackupTile &tile : BackupKinds::Tiles()) {
        if (!BackupKinds::HoldsTile(m_items, tile.nId))
            continue;
        if (!counts.contains(tile.nId)) {
            listParts << QStringLiteral("%1 (not offered by the configuration)").arg(QLatin1String(tile.szToolName));
            continue;
        }
        // nValue carries the count call's result.
        const int nCountResult = counts.value(tile.nId).nValue;
        if (nCountResult == DVSK_DEV_ERR_NOT_AVAILABLE)
            listParts << QStringLiteral("%1 (not available on this phone)").arg(QLatin1String(tile.szToolName));
        else if (nCountResult != 0)
            listParts << QStringLiteral("%1 (could not be counted)").arg(QLatin1String(tile.szToolName));
        else
            listParts << QStringLiteral("%1 %2").arg(QLatin1String(tile.szToolName)).arg(counts.value(tile.nId).nProNum);
    }
    m_out.Line(QStringLiteral("On the phone: %1").arg(listParts.isEmpty() ? QStringLiteral("(nothing selected)")
                                                                           : listParts.join(QStringLiteral(", "))));
}

void RunCommand::StartBackup()
{
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    BackUpThreadParam param;
    param.nMode = 1;
    param.items = m_items;
    param.strPath = m_strDestination;
    pWorker->SetParam(param);
    m_progress.SetRange(pWorker->GetProgressTotal());
    m_phase = Phase::BackingUp;
    m_out.Line(QStringLiteral("Backing up into %1 (Ctrl-C cancels)").arg(m_strDestination));
    pWorker->start();
}

void RunCommand::slotIncrease(float fValue)
{
    if (m_phase == Phase::BackingUp)
        m_progress.Add(fValue);
}

void RunCommand::slotModuleInfo(structBackupID info)
{
    if (m_phase != Phase::BackingUp)
        return;
    const QString strName = DisplayName(info);
    if (strName.isEmpty())
        return;
    if (info.nState == 0)
        m_progress.SetModule(strName);
    else if (info.nState == 1)
        m_progress.SetModule(strName, QStringLiteral("%1/%2").arg(info.nProNum).arg(info.nAllNum));
}

void RunCommand::slotInterrupt()
{
    switch (m_phase) {
    case Phase::Counting:
        if (!m_bInterrupted)
            m_out.Line(QStringLiteral("Cancelling once the count is done..."));
        m_bInterrupted = true;
        // The count ends early instead of waiting for a phone that may not
        // answer; nothing is backed up after it.
        if (BackUpUILogic *pLogic = BackUpUILogic::ExistingInstance())
            pLogic->SetBackupCancel(true);
        break;
    case Phase::BackingUp:
        m_bInterrupted = true;
        m_phase = Phase::Cancelling;
        m_progress.Interrupt();
        m_out.Line(QStringLiteral("Cancelling the backup..."));
        BackUpUIThread::ClickCancel();
        break;
    case Phase::Cancelling:
        m_progress.Interrupt();
        m_out.Line(QStringLiteral("Still cancelling; the run's files are removed before the tool ends."));
        break;
    case Phase::Done:
        break;
    }
}

void RunCommand::slotCancelled()
{
    m_progress.Finish(false);
    // The cancel job removes the run's files once more after it waited for
    // the phone; the tool ends after that.
    if (BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance())
        pCancel->wait();
    BackUpUIThread::ExistingInstance()->wait();
    RemoveDataFolderTmpFiles();
    Factory *pFactory = Factory::ExistingInstance();
    const QString strPackage = pFactory ? pFactory->GetPackagePath() : QString();
    const QString strFolder = pFactory ? pFactory->GetBackupFolder() : QString();
    // Files left behind are an error on the error stream; a clean cancel
    // ends with the summary's line.
    if (RunSummary::FilesLeft(strPackage, strFolder))
        m_out.Error(QStringLiteral("run: cancelled, but some of the run's files could not be removed"));
    else
        m_out.Line(RunSummary::CancelledLine(m_strDestination, false));
    Quit(RunSummary::ExitCancelled);
}

void RunCommand::slotFinish(int nResult)
{
    if (m_phase == Phase::Done)
        return;
    // A Ctrl-C that came too late to stop the job: the backup is complete.
    const bool bLateCancel = m_phase == Phase::Cancelling && nResult != RUN_RESULT_PHONE_DISCONNECTED;
    m_progress.Finish(nResult >= 0);
    BackUpUIThread::ExistingInstance()->wait();
    // The cancel job of a late Ctrl-C, or of a phone that went away, removes
    // the run's files; the tool ends after it.
    if (BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance())
        pCancel->wait();
    if (bLateCancel)
        m_out.Line(QStringLiteral("The backup had already finished when it was cancelled; it is kept."));
    RemoveDataFolderTmpFiles();

    // The date and time of the last complete backup, as the wizard records
    // them.
    if (nResult == 0) {
        const QDateTime dtNow = QDateTime::currentDateTime();
        CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupDate"),
                                 dtNow.toString(QStringLiteral("dd.MM.yyyy")));
        CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupHM"),
                                 dtNow.toString(QStringLiteral("hh:mm")));
    }

    PrintSummary(nResult);
    const int nStatus = RunSummary::ExitStatusOf(nResult);
    bool bOk = nStatus == RunSummary::ExitOk;
    Factory *pFactory = Factory::ExistingInstance();
    if (pFactory && pFactory->IsPackageDelivered()) {
        // Every package is read back as 'verify' reads it: a run never ends
        // well with a package that 'verify' calls unsound. Info.xml and one
        // entry per module the package holds (a module partly backed up is
        // one of them).
        int nExpected = 1;
        const int nPackaged = pFactory->GetPackagedMask();
        for (const BackupKind &kind : BackupKinds::All()) {
            if (nPackaged & kind.nResultBit)
                ++nExpected;
        }
        bOk = VerifyPackage(pFactory->GetPackagePath(), nExpected, m_bVerify) && bOk;
    } else if (m_bVerify) {
        m_out.Line(QStringLiteral("Verify:        nothing to verify (no package was written)"));
    }
    Quit(bOk ? RunSummary::ExitOk : (nStatus != RunSummary::ExitOk ? nStatus : int(RunSummary::ExitFailed)));
}

void RunCommand::PrintSummary(int nResult)
{
    Factory *pFactory = Factory::ExistingInstance();
    if (!pFactory && nResult >= 0)
        return;
    RunSummary::Facts facts = RunSummary::FromFactory(pFactory, nResult);
    // The summary speaks of what this command was asked to back up.
    facts.items = m_items;
    for (const QString &strLine : RunSummary::Lines(facts))
        m_out.Line(strLine);
}

bool RunCommand::VerifyPackage(const QString &strPackage, int nExpectedEntries, bool bReportSound)
{
    PackageVerifier verifier;
    const bool bSound = verifier.Verify(ToolOutput::NativePath(strPackage));
    const int nEntries = verifier.Entries().size();
    if (bSound && nEntries == nExpectedEntries) {
        if (!bReportSound)
            return true;
        m_out.Line(QStringLiteral("Verify:        the package is sound (%1 entries, checksum %2)")
                       .arg(nEntries)
                       .arg(verifier.ChecksumConfirmed() ? QStringLiteral("confirmed")
                                                         : QStringLiteral("not confirmed")));
        return true;
    }
    m_out.Line(QStringLiteral("Verify:        the package is NOT sound"));
    for (const QString &strProblem : verifier.Problems())
        m_out.Line(QStringLiteral("  - %1").arg(strProblem));
    if (nEntries != nExpectedEntries)
        m_out.Line(QStringLiteral("  - it holds %1 entries where %2 were written").arg(nEntries).arg(nExpectedEntries));
    return false;
}

void RunCommand::RemoveDataFolderTmpFiles()
{
    Factory *pFactory = Factory::ExistingInstance();
    if (!pFactory || pFactory->GetDataFolder().isEmpty())
        return;
    // The same files the wizard removes when a backup ends.
    for (const QString &strName : BackupKinds::TempFileNames()) {
        const QString strFile = pFactory->GetDataFolder() + strName;
        if (QFileInfo::exists(strFile))
            QFile::remove(strFile);
    }
}
