#include "Factory.h"

#include "BackUpUILogic.h"
#include "BackupKinds.h"
#include "FileListModule.h"
#include "FolderRemoval.h"
#include "FreedMemory.h"
#include "InterruptedRun.h"
#include "KeptFiles.h"
#include "LogLine.h"
#include "MyZip.h"
#include "ParseInfo.h"
#include "RecordModule.h"
#include "RunNames.h"
#include "RunState.h"
#include "SaveFileCommit.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <sdk/dvsk.h>
#include <sdk/dvsk_device.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSaveFile>
#include <QSet>
#include <QThread>

#include <atomic>
#include <cstdlib>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\Factory";

namespace
{
Factory *g_pInstance = nullptr;
QMutex g_instanceMutex;

QMutex g_runTimeMutex;
QDateTime g_dtRunTimeOverride;

std::atomic<bool> g_bFullCopy{false};

const QString kSettingsSection = QStringLiteral("BackUpUIPlugin");
const QString kTmpFileKey = QStringLiteral("BackupTmpFile");

// Copies in bounded chunks, each read into one buffer of that size, so that
// delivering a package of any size needs the same little memory.
constexpr qint64 kCopyChunk = 256 * 1024;

// True when both files can be read whole and hold the same bytes.
bool SameContent(const QString &strFirst, const QString &strSecond)
{
    QFile first(strFirst);
    QFile second(strSecond);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) || first.size() != second.size())
        return false;
    QByteArray baFirst(kCopyChunk, Qt::Uninitialized);
    QByteArray baSecond(kCopyChunk, Qt::Uninitialized);
    while (!first.atEnd()) {
        const qint64 nFirst = first.read(baFirst.data(), kCopyChunk);
        if (nFirst <= 0 || second.read(baSecond.data(), nFirst) != nFirst
            || memcmp(baFirst.constData(), baSecond.constData(), size_t(nFirst)) != 0)
            return false;
    }
    return second.atEnd() && first.error() == QFileDevice::NoError && second.error() == QFileDevice::NoError;
}

// True when a file (or link) lies anywhere below the folder.
bool HoldsFiles(const QString &strFolder)
{
    if (strFolder.isEmpty())
        return false;
    QDirIterator it(strFolder, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    return it.hasNext();
}

// The entries directly inside a folder, links included, without "." and "..".
QSet<QString> ListEntries(const QString &strFolder)
{
    const QStringList list = QDir(strFolder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return QSet<QString>(list.begin(), list.end());
}

// Removes what a failed step added to its module folder: the whole folder
// when the step created it, else the entries that were not there before.
void RemoveAddedEntries(const QString &strModuleFolder, bool bFolderExisted, const QSet<QString> &setBefore)
{
    if (!bFolderExisted) {
        FolderRemoval::DeleteDirectory(strModuleFolder);
        return;
    }
    const QSet<QString> setAfter = ListEntries(strModuleFolder);
    for (const QString &strName : setAfter) {
        if (setBefore.contains(strName))
            continue;
        const QString strPath = strModuleFolder + QLatin1Char('/') + strName;
        const QFileInfo fi(strPath);
        if (fi.isDir() && !fi.isSymLink())
            FolderRemoval::DeleteDirectory(strPath);
        else
            QFile::remove(strPath);
    }
}

// Copies the package written at strTemp to strTarget, which must not exist,
// and reads it back: only a package whose every byte is in place counts as
// delivered. False with strError set otherwise.
bool DeliverPackage(const QString &strTemp, const QString &strTarget, QString &strError)
{
    if (QFileInfo::exists(strTarget) || QFileInfo(strTarget).isSymLink()) {
        strError = QStringLiteral("the target exists: ") + strTarget;
        return false;
    }
    QFile source(strTemp);
    QSaveFile target(strTarget);
    if (!source.open(QIODevice::ReadOnly)) {
        strError = QStringLiteral("cannot read the temporary package: ") + source.errorString();
        return false;
    }
    if (!target.open(QIODevice::WriteOnly)) {
        strError = QStringLiteral("cannot create the package: ") + target.errorString();
        return false;
    }
    QByteArray baChunk(kCopyChunk, Qt::Uninitialized);
    qint64 nCopied = 0;
    bool bOk = true;
    while (bOk && !source.atEnd()) {
        const qint64 nRead = source.read(baChunk.data(), kCopyChunk);
        if (nRead < 0 || (nRead == 0 && source.error() != QFileDevice::NoError))
            bOk = false;
        else if (target.write(baChunk.constData(), nRead) != nRead)
            bOk = false;
        nCopied += qMax<qint64>(0, nRead);
    }
    if (bOk && nCopied != source.size())
        bOk = false;
    if (!bOk) {
        strError = QStringLiteral("copy failed: ") + target.errorString();
        target.cancelWriting();
        target.commit();
        return false;
    }
    if (!SaveFileCommit::Commit(target, &strError)) {
        strError = QStringLiteral("copy failed: ") + strError;
        return false;
    }
    source.close();
    if (!SameContent(strTemp, strTarget)) {
        strError = QStringLiteral("the delivered package does not read back as written");
        QFile::remove(strTarget);
        return false;
    }
    return true;
}

// A module's reports become the factory's.
template <typename T> void ForwardModuleSignals(T *pModule, Factory *pFactory)
{
    QObject::connect(pModule, &T::BackUpStart, pFactory, &Factory::signalBackUpStart);
    QObject::connect(pModule, &T::SendFileStatus, pFactory, &Factory::TransportFileSatus);
    QObject::connect(pModule, &T::signalBackupPro, pFactory, &Factory::signalBackupPro);
}
} // namespace

Factory *Factory::Instance()
{
    QMutexLocker locker(&g_instanceMutex);
    if (!g_pInstance) {
        LOG_SCOPE("Instance");
        g_pInstance = new Factory();
    }
    return g_pInstance;
}

Factory *Factory::ExistingInstance()
{
    QMutexLocker locker(&g_instanceMutex);
    return g_pInstance;
}

void Factory::DestroyInstance()
{
    QMutexLocker locker(&g_instanceMutex);
    delete g_pInstance;
    g_pInstance = nullptr;
}

void Factory::SetRunTimeOverride(const QDateTime &dtTime)
{
    QMutexLocker locker(&g_runTimeMutex);
    g_dtRunTimeOverride = dtTime;
}

void Factory::SetFullCopy(bool bFull)
{
    g_bFullCopy.store(bFull);
}

bool Factory::IsFullCopy()
{
    return g_bFullCopy.load();
}

TransferCounts Factory::GetTransferCounts() const
{
    QMutexLocker locker(&m_mutex);
    return m_transfer;
}

Factory::Factory() : QObject(nullptr)
{
    BackupCodes::RegisterMetaTypes();
    m_pParseInfo = new ParseInfo();
    m_pMyZip = new MyZip();
    m_strDataFolder = BackUpUILogic::GetUserDataDirectory();
}

Factory::~Factory()
{
    qDeleteAll(m_hashModules);
    delete m_pParseInfo;
    delete m_pMyZip;
}

int Factory::GetCount(int nType, int *pCount, int *pSize)
{
    if (!m_pParseInfo)
        return 0;
    const int nResult = m_pParseInfo->GetBackUpCount(nType, pCount, pSize);
    const int nCount = pCount ? *pCount : 0;
    QMutexLocker locker(&m_mutex);
    // A count that failed is not "nothing on the phone": the run reports the
    // item as failed. A phone that does not give this kind of data at all
    // has nothing of it to back up.
    const BackupKind *pKind = BackupKinds::ByCode(nType);
    if (!pKind)
        return nResult;
    if (nResult != 0 && nResult != DVSK_DEV_ERR_NOT_AVAILABLE)
        m_nCountFailedMask |= pKind->nResultBit;
    else
        m_nCountFailedMask &= ~pKind->nResultBit;
    // The applications' count stands for their data too, until the data is
    // counted on its own (a phone may hold applications but not give their
    // data, as a real phone without root does).
    QList<const BackupKind *> listKinds = {pKind};
    if (pKind->nSharesCountsWith >= 0)
        listKinds.append(BackupKinds::ByCode(pKind->nSharesCountsWith));
    for (const BackupKind *pSet : listKinds) {
        m_countsRequested[pSet->nCountSlot] = nCount;
        if (pSize && pSet->nSizeSlot >= 0)
            m_countsRequested[pSet->nSizeSlot] = *pSize;
        if (nResult == DVSK_DEV_ERR_NOT_AVAILABLE)
            m_nNotAvailableMask |= pSet->nResultBit;
        else
            m_nNotAvailableMask &= ~pSet->nResultBit;
    }
    return nResult;
}

BackUpRestoreInterface *Factory::Module(const BackupKind &kind) const
{
    return m_hashModules.value(kind.nCode);
}

// Creates a module once, owned by the factory and living in the factory's
// thread like the factory itself (CreateObject runs on the worker thread).
void Factory::CreateModule(const BackupKind &kind)
{
    if (m_hashModules.contains(kind.nCode))
        return;
    BackUpRestoreInterface *pModule = kind.pfnCreate();
    if (pModule->thread() != thread())
        pModule->moveToThread(thread());
    if (auto *pRecord = qobject_cast<RecordModule *>(pModule))
        ForwardModuleSignals(pRecord, this);
    else if (auto *pFiles = qobject_cast<FileModule *>(pModule)) {
        ForwardModuleSignals(pFiles, this);
        connect(pFiles, &FileModule::signalFilesProgress, this, &Factory::signalFilesProgress);
    }
    m_hashModules.insert(kind.nCode, pModule);
}

void Factory::CreateObject(const BackupItems &items)
{
    LOG_SCOPE("CreateObject");
    // The cancel thread may look at the modules meanwhile (StopFileModules).
    QMutexLocker locker(&m_mutex);
    // The kinds of a tile are created together, only when all of them are
    // selected.
    for (const BackupTile &tile : BackupKinds::Tiles()) {
        if (!BackupKinds::HoldsWholeTile(items, tile.nId))
            continue;
        for (const BackupKind *pKind : BackupKinds::OfTile(tile.nId)) {
            CreateModule(*pKind);
            if (pKind->nNeedsModuleOf >= 0)
                CreateModule(*BackupKinds::ByCode(pKind->nNeedsModuleOf));
        }
    }
    m_items = items;
}

void Factory::StopFileModules(bool bStop)
{
    QMutexLocker locker(&m_mutex);
    for (BackUpRestoreInterface *pModule : std::as_const(m_hashModules)) {
        if (auto *pFiles = qobject_cast<FileModule *>(pModule))
            pFiles->SetStatus(bStop);
    }
}

void Factory::ForgetRunFiles()
{
    QMutexLocker locker(&m_mutex);
    m_listFiles.clear();
    m_strBackupFolder.clear();
    m_strPackagePath.clear();
    m_bDelivered = false;
}

int Factory::BackUp(const QString &strDestination)
{
    LOG_SCOPE("BackUp");
    ResetRunResults();
    StopFileModules(false);

    if (!QFileInfo::exists(strDestination))
        QDir().mkpath(strDestination);

    if (!m_pParseInfo || !m_pMyZip) {
        LOG_ARG_NULL("BackUp");
        return 0;
    }
    if (m_strDataFolder.isEmpty())
        m_strDataFolder = BackUpUILogic::GetUserDataDirectory();
    if (m_strDataFolder.isEmpty())
        return FailEveryStep();

    const QString strInfoFile = StartPackage();
    const QDateTime dtRun = NameRun(strDestination);
    const QString strFolder = GetBackupFolder();
    UseEarlierBackups(strDestination, strFolder);

    LOG_WARNING("BackUp", QStringLiteral("StartBackup"));

    RunSteps();

    LOG_INFO("BackUp", QStringLiteral("application and media files ") + GetTransferCounts().Describe());

    FinishBackupFolder(dtRun);

    FinishPackage(strInfoFile);
    return GetFailedMask();
}

QString Factory::StartPackage()
{
    PhoneInfo info;
    m_pParseInfo->GetPhoneInfo(info);
    m_phoneInfo = info;
    {
        QMutexLocker locker(&m_mutex);
        m_listFiles.clear();
        m_strBackupFolder.clear();
        m_strPackagePath.clear();
    }

    m_pParseInfo->WriteInfo(m_strDataFolder, m_phoneInfo, m_items, m_countsRequested);

    m_pMyZip->ClearFh();
    m_pMyZip->SetDeviceName(m_phoneInfo.DeviceName.toLocal8Bit().constData());
    const QString strInfoFile = m_strDataFolder + QStringLiteral("Info.xml");
    m_pMyZip->AddFile(strInfoFile.toLocal8Bit().constData());
    return strInfoFile;
}

void Factory::FinishPackage(const QString &strInfoFile)
{
    // A package whose device information file could not be written is no
    // backup: it is not made, and what should have gone into it has failed.
    const bool bInfoWritten = m_pParseInfo->WriteInfo(m_strDataFolder, m_phoneInfo, m_items, m_countsBackedUp);

    emit PackageStatus(true);
    emit signalBackupCount(m_items, m_countsRequested, GetBackedUpCounts());

    if (bInfoWritten) {
        MakeAndDeliverPackage();
        // An interrupted run whose files this backup holds has done its part.
        if (IsPackageDelivered() && RunState::Get() >= 0)
            InterruptedRun::RemoveFinished(m_listEarlier, GetBackupFolder());
    } else {
        LOG_WARNING("BackUp", QStringLiteral("the device information file could not be written"));
        emit PackageStatus(false);
        QFile::remove(strInfoFile);
        FailPackagedModules();
    }
}

void Factory::ResetRunResults()
{
    QMutexLocker locker(&m_mutex);
    m_nFailedMask = 0;
    m_nAttemptedMask = 0;
    m_nPackagedMask = 0;
    m_bNothingPackaged = true;
    m_bDelivered = false;
    m_transfer = TransferCounts();
    m_mapFailedFiles.clear();
    for (int i = 0; i < BackupCounts::kSlots; ++i)
        m_countsBackedUp[i] = 0;
}

int Factory::FailEveryStep()
{
    // Without the SDK's data folder there is nowhere to put the module
    // files: every selected module fails rather than writing elsewhere.
    LOG_ARG_NULL("BackUp");
    int nMask = 0;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (kind.bRuns && BackupKinds::IsSelected(m_items, kind)) {
            nMask |= kind.nResultBit;
            emit signalError(-1, kind.nCode);
        }
    }
    QMutexLocker locker(&m_mutex);
    m_nFailedMask = nMask;
    return nMask;
}

QDateTime Factory::NameRun(const QString &strDestination)
{
    // Name the run. Two runs of one phone within the same second would share
    // a name; the later one then takes the next free second.
    QDateTime dtRun;
    {
        QMutexLocker locker(&g_runTimeMutex);
        dtRun = g_dtRunTimeOverride.isValid() ? g_dtRunTimeOverride : QDateTime::currentDateTime();
    }
    const bool bRightToLeft = Change::GetRightToLeftLayout();
    QString strFolder;
    for (int nTry = 0; nTry < 1000; ++nTry) {
        strFolder = RunNames::Folder(strDestination, RunNames::Name(m_phoneInfo.DeviceName, dtRun, bRightToLeft));
        // Taken is what delivery would refuse: anything under the name, a
        // dangling link included.
        const QFileInfo folderInfo(strFolder);
        const QFileInfo packageInfo(strFolder + QStringLiteral(".zip"));
        if (!folderInfo.exists() && !folderInfo.isSymLink() && !packageInfo.exists() && !packageInfo.isSymLink())
            break;
        dtRun = dtRun.addSecs(1);
    }
    {
        QMutexLocker locker(&m_mutex);
        m_strBackupFolder = strFolder;
        m_strPackagePath = strFolder + QStringLiteral(".zip");
        m_listFiles.append(m_strPackagePath);
    }
    return dtRun;
}

void Factory::RunSteps()
{
    for (const BackupKind &kind : BackupKinds::All()) {
        if (!kind.bRuns || !BackupKinds::IsSelected(m_items, kind))
            continue;
        emit signalBackupPro(kind.nCode, kind.StartProType(), 1, m_countsRequested[kind.nCountSlot]);
        if (GetCountFailedMask() & kind.nResultBit) {
            LOG_WARNING("BackUp", QStringLiteral("module %1 was not counted; it is not backed up").arg(kind.nCode));
            {
                QMutexLocker locker(&m_mutex);
                m_nFailedMask |= kind.nResultBit;
            }
            emit signalError(-1, kind.nCode);
            continue;
        }
        if (kind.IsFileStep())
            FileStep(kind);
        else
            RecordStep(kind);
    }
}

void Factory::FinishBackupFolder(const QDateTime &dtRun)
{
    // No file step left anything (a step partly backed up did): the backup
    // folder has no use.
    const int nFailed = GetFailedMask();
    const int nPackaged = GetPackagedMask();
    bool bAnyFiles = false;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (kind.IsFileStep() && BackupKinds::IsSelected(m_items, kind)
            && (!(nFailed & kind.nResultBit) || (nPackaged & kind.nResultBit)))
            bAnyFiles = true;
    }
    // Neither is a folder that holds no file at all (a media step that
    // failed and nothing else copied).
    // A stopped run leaves its folder to the worker, which removes it (a
    // cancel) or keeps it for the next run (the phone went away).
    if (RunState::Get() >= 0 && (!bAnyFiles || !HoldsFiles(GetBackupFolder())))
        RemoveBackupFolder();
    else if (!m_phoneIdentity.WriteTo(GetBackupFolder(), dtRun))
        LOG_WARNING("BackUp", QStringLiteral("the phone's device file could not be written"));
}

void Factory::UseEarlierBackups(const QString &strDestination, const QString &strFolder)
{
    // Unchanged files come from the newest earlier backup of this phone here
    // rather than over the link again.
    m_phoneIdentity = PhoneIdentity::OfOpenPhone();
    const QStringList listEarlier = IsFullCopy() ? QStringList()
                                                 : KeptFiles::EarlierRunFolders(strDestination, m_phoneInfo.DeviceName,
                                                                                strFolder, m_phoneIdentity);
    for (BackUpRestoreInterface *pModule : std::as_const(m_hashModules)) {
        if (auto *pList = qobject_cast<FileListModule *>(pModule))
            pList->SetEarlierBackups(listEarlier);
    }
    m_listEarlier = listEarlier;
    LOG_INFO("BackUp", listEarlier.isEmpty() ? QStringLiteral("no earlier backup used, full copy")
                                             : QStringLiteral("earlier backups: ") + listEarlier.join(QStringLiteral(", ")));
}

// Writes the package into the data folder and copies it to the destination.
// A package that cannot be written or delivered whole is never left under
// the package name, and every module whose file it should have held is
// reported as failed. The temporary package goes once the copy succeeded or
// the failure was reported.
bool Factory::DeleteSourcesSetting()
{
    QString strSetting = CommonUtils::GetSettings(kSettingsSection, kTmpFileKey);
    if (strSetting.isEmpty()) {
        strSetting = QStringLiteral("1");
        CommonUtils::SetSettings(kSettingsSection, kTmpFileKey, strSetting);
    }
    return strSetting == QLatin1String("1");
}

bool Factory::MakeAndDeliverPackage()
{
    const QString strTemp = GetTempPackagePath();
    bool bPathOk = m_pMyZip->SetOutPutFile(strTemp.toLocal8Bit().constData());

    const bool bDeleteSources = DeleteSourcesSetting();

    // A package left by an earlier run must never pass for this run's.
    if (QFileInfo::exists(strTemp))
        QFile::remove(strTemp);

    // The files that go into the package stay until the package that holds
    // them has been read back whole from the destination.
    QStringList listSources;
    for (quint32 i = 0; i < m_pMyZip->WriterHead().FileCount; ++i)
        listSources << QString::fromLocal8Bit(m_pMyZip->WriterHead().Name[i]);
    auto removeSources = [&]() {
        if (bDeleteSources) {
            for (const QString &strSource : qAsConst(listSources))
                QFile::remove(strSource);
        }
    };

    const bool bMade = bPathOk && m_pMyZip->DoMakeZip(false);
    emit PackageStatus(false);

    bool bNothingPackaged = false;
    {
        QMutexLocker locker(&m_mutex);
        bNothingPackaged = m_bNothingPackaged;
    }

    if (!bMade) {
        LOG_WARNING("BackUp", QStringLiteral("the package could not be written"));
        if (!bNothingPackaged)
            FailPackagedModules();
        if (QFileInfo::exists(strTemp))
            QFile::remove(strTemp);
        return false;
    }
    if (bNothingPackaged || RunState::Get() < 0) {
        // Nothing worth delivering, or the run was cancelled: the package
        // stays out of the destination.
        QFile::remove(strTemp);
        removeSources();
        return bNothingPackaged;
    }

    QString strError;
    const bool bDelivered = DeliverPackage(strTemp, GetPackagePath(), strError);
    if (!bDelivered) {
        LOG_WARNING("BackUp", QStringLiteral("the package was not delivered, ") + strError);
        FailPackagedModules();
    } else {
        removeSources();
        QMutexLocker locker(&m_mutex);
        m_bDelivered = true;
    }
    QFile::remove(strTemp);
    return bDelivered;
}

// The package is lost: every module that went into it has failed, and the
// files copied for this run have no package to belong to.
void Factory::FailPackagedModules()
{
    int nPackaged = 0;
    {
        QMutexLocker locker(&m_mutex);
        nPackaged = m_nPackagedMask;
        m_nFailedMask |= m_nPackagedMask;
        m_nPackagedMask = 0;
        m_bNothingPackaged = true;
    }
    for (const BackupKind &kind : BackupKinds::All()) {
        if (nPackaged & kind.nResultBit)
            emit signalError(-1, kind.nCode);
    }
    // A stopped run leaves its folder to the worker, which removes it (a
    // cancel) or keeps what was copied for the next run (the phone went away).
    if (RunState::Get() >= 0)
        RemoveBackupFolder();
}

void Factory::RemoveBackupFolder()
{
    const QString strFolder = GetBackupFolder();
    if (!strFolder.isEmpty())
        FolderRemoval::DeleteDirectory(strFolder);
}

void Factory::EmitFileFlags(const BackupKind *pRunning)
{
    const int nCode = pRunning ? pRunning->nCode : -1;
    emit signalsIsApkBackup(nCode == MODULE_APK);
    emit signalsIsApkDataBackup(nCode == MODULE_APKDATA);
    emit signalsIsImageBackup(nCode == MODULE_IMAGE);
    emit signalsIsVideoBackup(nCode == MODULE_VIDEO);
    emit signalsIsAudioBackup(nCode == MODULE_AUDIO);
}

void Factory::SetPackageCount(const BackupKind &kind, int nCount)
{
    (m_pMyZip->*kind.pfnSetPackageCount)(nCount < 0 ? 0u : static_cast<quint32>(nCount));
}

void Factory::StepFailed(const BackupKind &kind, int nError)
{
    emit signalGrayCancelButton(true);
    {
        QMutexLocker locker(&m_mutex);
        m_nFailedMask |= kind.nResultBit;
    }
    emit signalError(nError, kind.nCode);
    QThread::msleep(1);
}

int Factory::RecordStep(const BackupKind &kind)
{
    LogLine::Scope scope(kLogSource, kind.szStepName);
    const int nRequested = m_countsRequested[kind.nCountSlot];
    if (nRequested == 0 || nRequested == -1)
        return -1;
    EmitFileFlags(nullptr);

    const QString strFile = m_strDataFolder + QLatin1String(kind.szResultFile);
    {
        QMutexLocker locker(&m_mutex);
        m_listFiles.append(strFile);
    }
    BackUpRestoreInterface *pModule = Module(kind);
    if (!pModule) {
        // Only part of a group was selected; its module was never created.
        LOG_WARNING(kind.szStepName, QStringLiteral("module not created, step skipped"));
        return -1;
    }
    pModule->SetPath(strFile);
    if (RunState::Get() != 0)
        return -1;
    emit signalGrayCancelButton(false);

    const int nBit = kind.nResultBit;
    {
        QMutexLocker locker(&m_mutex);
        m_countsBackedUp[kind.nCountSlot] = nRequested;
    }
    int nCount = nRequested;
    int nError = pModule->Backup(nCount);
    // The step's list of files is gone: the steps and the package after it
    // do not stack on its memory.
    FreedMemory::Release();
    {
        QMutexLocker locker(&m_mutex);
        m_nAttemptedMask |= nBit;
    }

    FinishRecordStep(kind, strFile, nError, nCount, nRequested);
    return 0;
}

void Factory::FinishRecordStep(const BackupKind &kind, const QString &strFile, int nError, int nCount, int nRequested)
{
    const int nBit = kind.nResultBit;
    // A phone receives messages and calls while it is backed up: a count
    // that differs from the one shown is what the phone delivered.
    bool bOk = nError == 0;
    if (bOk && nCount != nRequested)
        LOG_WARNING(kind.szStepName, QStringLiteral("the phone delivered %1 items where %2 were counted")
                                     .arg(nCount)
                                     .arg(nRequested));
    if (bOk && !QFileInfo::exists(strFile)) {
        LOG_WARNING(kind.szStepName, QStringLiteral("result file missing"));
        bOk = false;
        nError = -1;
    }
    if (bOk && !m_pMyZip->AddFile(strFile.toLocal8Bit().constData())) {
        bOk = false;
        nError = -1;
    }
    if (bOk) {
        emit signalsBackFinished(kind.nCode);
        {
            QMutexLocker locker(&m_mutex);
            m_countsBackedUp[kind.nCountSlot] = nCount;
            m_bNothingPackaged = false;
            m_nPackagedMask |= nBit;
        }
        SetPackageCount(kind, nCount);
    } else {
        // A result file that is not packaged has no further use, and what
        // the package does not hold is not counted (Info.xml, summaries).
        QFile::remove(strFile);
        {
            QMutexLocker locker(&m_mutex);
            m_countsBackedUp[kind.nCountSlot] = 0;
        }
        StepFailed(kind, nError);
    }
}

bool Factory::WritePlaceholder(const BackupKind &kind, const QString &strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        LOG_WARNING(kind.szStepName, QStringLiteral("can not open file"));
        return false;
    }
    const QByteArray baText(kind.szPlaceholder);
    // Flushed here: a full disk shows on the flush, which close() would hide.
    const bool bWritten = file.write(baText) == baText.size() && file.flush();
    file.close();
    if (!bWritten) {
        LOG_WARNING(kind.szStepName, QStringLiteral("write error"));
        QFile::remove(strPath);
        return false;
    }
    return true;
}

int Factory::FileStep(const BackupKind &kind)
{
    LogLine::Scope scope(kLogSource, kind.szStepName);
    const int nRequested = m_countsRequested[kind.nCountSlot];
    const QString strBackupFolder = GetBackupFolder();
    if (nRequested == 0 || nRequested == -1 || strBackupFolder.isEmpty())
        return -1;
    EmitFileFlags(&kind);

    if (!QFileInfo::exists(strBackupFolder))
        QDir().mkpath(strBackupFolder);
    // What the module's folder held before: a failed step removes only what
    // it added itself (applications and application data share "APK").
    const QString strModuleFolder = strBackupFolder + QLatin1Char('/') + QLatin1String(kind.szFolder);
    const QSet<QString> setBefore = ListEntries(strModuleFolder);
    const bool bFolderExisted = QFileInfo::exists(strModuleFolder);
    BackUpRestoreInterface *pModule = Module(kind);
    if (!pModule) {
        LOG_WARNING(kind.szStepName, QStringLiteral("module not created, step skipped"));
        return -1;
    }
    pModule->SetPath(strBackupFolder);
    if (RunState::Get() != 0)
        return -1;
    emit signalGrayCancelButton(false);

    int nCount = nRequested;
    int nError = pModule->Backup(nCount);
    // The step's list of files is gone: the steps and the package after it
    // do not stack on its memory.
    FreedMemory::Release();
    {
        QMutexLocker locker(&m_mutex);
        m_nAttemptedMask |= kind.nResultBit;
        if (const auto *pList = qobject_cast<const FileListModule *>(pModule))
            m_transfer += pList->GetTransferCounts();
    }

    FinishFileStep(kind, pModule, nError, nCount, FolderBefore {strModuleFolder, bFolderExisted, setBefore});
    return 0;
}

void Factory::FinishFileStep(const BackupKind &kind, const BackUpRestoreInterface *pModule, int nError, int nCount,
                             const FolderBefore &before)
{
    const BackupKind *pShared = kind.nSharesCountsWith >= 0 ? BackupKinds::ByCode(kind.nSharesCountsWith) : nullptr;
    // A list-driven module keeps every file it copied: files that failed make
    // the item fail, but the others stay in the backup and in the package
    // (partly backed up). The phone may hold another number of files than
    // counted; what it delivered counts.
    const QStringList listFailedFiles = NoteFailedFiles(kind, pModule, nCount);
    bool bOk = nError == 0 && nCount != 0 && listFailedFiles.isEmpty();
    const bool bPartly = nError == 0 && nCount > 0 && !listFailedFiles.isEmpty();
    bool bPackaged = false;
    if (bOk || bPartly) {
        if (bOk)
            emit signalsBackFinished(kind.nCode);
        bPackaged = PackageFileStep(kind, nCount);
        if (!bPackaged) {
            bOk = false;
            nError = -1;
        }
    }
    if (bPartly && bPackaged) {
        StepFailed(kind, 0);
        return;
    }
    if (!bOk) {
        {
            QMutexLocker locker(&m_mutex);
            m_countsBackedUp[kind.nCountSlot] = 0;
            if (pShared)
                m_countsBackedUp[pShared->nCountSlot] = 0;
        }
        // The files of a failed step are not a backup: remove what it copied.
        // A stopped run's files are left to the worker, which removes them
        // (a cancel) or keeps them for the next run (the phone went away).
        if (RunState::Get() >= 0)
            RemoveAddedEntries(before.strFolder, before.bExisted, before.setEntries);
        StepFailed(kind, nError);
    }
}

QStringList Factory::NoteFailedFiles(const BackupKind &kind, const BackUpRestoreInterface *pModule, int nCount)
{
    QStringList listFailedFiles;
    if (const FileListModule *pListModule = qobject_cast<const FileListModule *>(pModule))
        listFailedFiles = pListModule->FailedPhonePaths();
    if (listFailedFiles.isEmpty())
        return listFailedFiles;
    {
        QMutexLocker locker(&m_mutex);
        m_mapFailedFiles.insert(kind.nCode, listFailedFiles);
    }
    LOG_WARNING(kind.szStepName, QStringLiteral("%1 of %2 files copied; not copied: %3")
                                     .arg(nCount)
                                     .arg(nCount + listFailedFiles.size())
                                     .arg(listFailedFiles.join(QStringLiteral(", "))));
    return listFailedFiles;
}

bool Factory::PackageFileStep(const BackupKind &kind, int nCount)
{
    const QString strPlaceholder = m_strDataFolder + QLatin1String(kind.szResultFile);
    {
        QMutexLocker locker(&m_mutex);
        // Only this kind's own count: a kind whose requested counts follow
        // this one's (application data after applications) is counted by
        // its own step, or holds nothing in the package (Info.xml and the
        // header must agree).
        m_countsBackedUp[kind.nCountSlot] = nCount;
        m_listFiles.append(strPlaceholder);
    }
    if (!WritePlaceholder(kind, strPlaceholder) || !m_pMyZip->AddFile(strPlaceholder.toLocal8Bit().constData())) {
        QFile::remove(strPlaceholder);
        return false;
    }
    SetPackageCount(kind, nCount);
    QMutexLocker locker(&m_mutex);
    m_bNothingPackaged = false;
    m_nPackagedMask |= kind.nResultBit;
    return true;
}

QString Factory::GetBackupFolder() const
{
    QMutexLocker locker(&m_mutex);
    return m_strBackupFolder;
}

QStringList Factory::GetFileList() const
{
    QMutexLocker locker(&m_mutex);
    return m_listFiles;
}

QString Factory::GetPackagePath() const
{
    QMutexLocker locker(&m_mutex);
    return m_strPackagePath;
}

bool Factory::IsPackageDelivered() const
{
    QMutexLocker locker(&m_mutex);
    return m_bDelivered;
}

QString Factory::GetDataFolder() const
{
    return m_strDataFolder;
}

QString Factory::GetTempPackagePath() const
{
    return m_strDataFolder + QLatin1String(BackupKinds::TempPackageName());
}

BackupItems Factory::GetSelection() const
{
    QMutexLocker locker(&m_mutex);
    return m_items;
}

BackupCounts Factory::GetRequestedCounts() const
{
    QMutexLocker locker(&m_mutex);
    return m_countsRequested;
}

BackupCounts Factory::GetBackedUpCounts() const
{
    QMutexLocker locker(&m_mutex);
    return m_countsBackedUp;
}

int Factory::GetFailedMask() const
{
    QMutexLocker locker(&m_mutex);
    return m_nFailedMask;
}

int Factory::GetCountFailedMask() const
{
    QMutexLocker locker(&m_mutex);
    return m_nCountFailedMask;
}

int Factory::GetNotAvailableMask() const
{
    QMutexLocker locker(&m_mutex);
    return m_nNotAvailableMask;
}

int Factory::GetAttemptedMask() const
{
    QMutexLocker locker(&m_mutex);
    return m_nAttemptedMask;
}

int Factory::GetPackagedMask() const
{
    QMutexLocker locker(&m_mutex);
    return m_nPackagedMask;
}

QMap<int, QStringList> Factory::GetFailedFiles() const
{
    QMutexLocker locker(&m_mutex);
    return m_mapFailedFiles;
}
