#include "Factory.h"

#include "APK.h"
#include "APKData.h"
#include "AddrBook.h"
#include "Audio.h"
#include "BackUpUILogic.h"
#include "Bookmark.h"
#include "Calendar.h"
#include "CallLog.h"
#include "Email.h"
#include "FileListModule.h"
#include "FolderRemoval.h"
#include "Image.h"
#include "KeptFiles.h"
#include "LogLine.h"
#include "MMS.h"
#include "MyZip.h"
#include "ParseInfo.h"
#include "RunNames.h"
#include "RunState.h"
#include "SMS.h"
#include "SaveFileCommit.h"
#include "Video.h"

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

// Copies in bounded chunks so that delivering a package of any size needs
// the same little memory.
constexpr qint64 kCopyChunk = 1024 * 1024;

// True when both files can be read whole and hold the same bytes.
bool SameContent(const QString &strFirst, const QString &strSecond)
{
    QFile first(strFirst);
    QFile second(strSecond);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) || first.size() != second.size())
        return false;
    while (!first.atEnd()) {
        const QByteArray baFirst = first.read(kCopyChunk);
        if (baFirst.isEmpty() || second.read(kCopyChunk) != baFirst)
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
} // namespace

// One row of the step table.
struct Factory::StepInfo
{
    const char *szName;        // log name of the step
    int nCode;                 // module type code
    int nSlot;                 // requested / backed-up count slot
    const char *szResultFile;  // result file name in the data folder
    const char *szPlaceholder; // file steps: the placeholder's text
    const char *szFolder;      // file steps: the module's folder in the backup folder
    FileFlag flag;             // the flag signal sent with true
    BackUpRestoreInterface *pModule;
};

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
    delete m_pAddrBook;
    delete m_pSMS;
    delete m_pMMS;
    delete m_pAPK;
    delete m_pAPKData;
    delete m_pCallLog;
    delete m_pCalendar;
    delete m_pEmail;
    delete m_pBookmark;
    delete m_pImage;
    delete m_pVideo;
    delete m_pAudio;
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
    const int nBits = BackupCodes::ResultBit(nType);
    if (nResult != 0 && nResult != DVSK_DEV_ERR_NOT_AVAILABLE)
        m_nCountFailedMask |= nBits;
    else
        m_nCountFailedMask &= ~nBits;
    switch (nType) {
    case MODULE_PB: m_countsRequested[BackupCounts::PB] = nCount; break;
    case MODULE_SMS: m_countsRequested[BackupCounts::SMS] = nCount; break;
    case MODULE_CALENDAR: m_countsRequested[BackupCounts::Calendar] = nCount; break;
    case MODULE_CALLLOG: m_countsRequested[BackupCounts::CallLog] = nCount; break;
    case MODULE_EMAIL: m_countsRequested[BackupCounts::Email] = nCount; break;
    case MODULE_BOOKMARK: m_countsRequested[BackupCounts::Bookmark] = nCount; break;
    case MODULE_MMS: m_countsRequested[BackupCounts::MMS] = nCount; break;
    case MODULE_IMAGE:
        m_countsRequested[BackupCounts::Image] = nCount;
        if (pSize)
            m_countsRequested[BackupCounts::ImageSize] = *pSize;
        break;
    case MODULE_VIDEO:
        m_countsRequested[BackupCounts::Video] = nCount;
        if (pSize)
            m_countsRequested[BackupCounts::VideoSize] = *pSize;
        break;
    case MODULE_AUDIO:
        m_countsRequested[BackupCounts::Audio] = nCount;
        if (pSize)
            m_countsRequested[BackupCounts::AudioSize] = *pSize;
        break;
    case MODULE_APK:
        m_countsRequested[BackupCounts::APK] = nCount;
        m_countsRequested[BackupCounts::APKData] = nCount;
        if (pSize) {
            m_countsRequested[BackupCounts::APKSize] = *pSize;
            m_countsRequested[BackupCounts::APKDataSize] = *pSize;
        }
        break;
    case MODULE_APKDATA:
        // A phone may hold applications but not give their data (a real
        // phone without root): that count leaves the applications' alone.
        m_countsRequested[BackupCounts::APKData] = nCount;
        if (pSize)
            m_countsRequested[BackupCounts::APKDataSize] = *pSize;
        break;
    default:
        break;
    }
    return nResult;
}

// Creates a module once, owned by the factory and living in the factory's
// thread like the factory itself (CreateObject runs on the worker thread).
template <typename T> T *Factory::CreateModule(T *&pModule)
{
    if (pModule)
        return nullptr;
    pModule = new T();
    if (pModule->thread() != thread())
        pModule->moveToThread(thread());
    connect(pModule, &T::BackUpStart, this, &Factory::signalBackUpStart);
    connect(pModule, &T::SendFileStatus, this, &Factory::TransportFileSatus);
    connect(pModule, &T::signalBackupPro, this, &Factory::signalBackupPro);
    return pModule;
}

void Factory::CreateObject(const BackupItems &items)
{
    LOG_SCOPE("CreateObject");
    // The cancel thread may look at the modules meanwhile (StopFileModules).
    QMutexLocker locker(&m_mutex);
    if (items.bPB)
        CreateModule(m_pAddrBook);
    if (items.bSMS && items.bMMS && !m_pSMS && !m_pMMS) {
        CreateModule(m_pSMS);
        CreateModule(m_pMMS);
    }
    if (items.bAPK)
        CreateModule(m_pAPK);
    if (items.bAPKData) {
        CreateModule(m_pAPKData);
        CreateModule(m_pAPK);
    }
    if (items.bImage && items.bVideo) {
        CreateModule(m_pImage);
        CreateModule(m_pVideo);
    }
    if (items.bAudio)
        CreateModule(m_pAudio);
    if (items.bCallLog && items.bCalendar && items.bEmail) {
        CreateModule(m_pCallLog);
        CreateModule(m_pCalendar);
        CreateModule(m_pEmail);
    }
    m_items = items;
}

void Factory::StopFileModules(bool bStop)
{
    QMutexLocker locker(&m_mutex);
    FileModule *modules[] = {m_pAPK, m_pAPKData, m_pImage, m_pVideo, m_pAudio};
    for (FileModule *pModule : modules) {
        if (pModule)
            pModule->SetStatus(bStop);
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
    StopFileModules(false);

    if (!QFileInfo::exists(strDestination))
        QDir().mkpath(strDestination);

    if (!m_pParseInfo || !m_pMyZip) {
        LOG_ARG_NULL("BackUp");
        return 0;
    }
    if (m_strDataFolder.isEmpty())
        m_strDataFolder = BackUpUILogic::GetUserDataDirectory();
    if (m_strDataFolder.isEmpty()) {
        // Without the SDK's data folder there is nowhere to put the module
        // files: every selected module fails rather than writing elsewhere.
        LOG_ARG_NULL("BackUp");
        static const int order[] = {MODULE_PB, MODULE_SMS, MODULE_MMS, MODULE_APK, MODULE_APKDATA, MODULE_IMAGE,
                                    MODULE_VIDEO, MODULE_AUDIO, MODULE_CALLLOG, MODULE_CALENDAR, MODULE_EMAIL};
        const bool selected[] = {m_items.bPB, m_items.bSMS, m_items.bMMS, m_items.bAPK, m_items.bAPKData,
                                 m_items.bImage, m_items.bVideo, m_items.bAudio, m_items.bCallLog,
                                 m_items.bCalendar, m_items.bEmail};
        int nMask = 0;
        for (int i = 0; i < 11; ++i) {
            if (selected[i]) {
                nMask |= BackupCodes::ResultBit(order[i]);
                emit signalError(-1, order[i]);
            }
        }
        QMutexLocker locker(&m_mutex);
        m_nFailedMask = nMask;
        return nMask;
    }

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

    // Unchanged files come from the newest earlier backup of this phone here
    // rather than over the link again.
    const QStringList listEarlier = IsFullCopy() ? QStringList()
                                                 : KeptFiles::EarlierRunFolders(strDestination,
                                                                                m_phoneInfo.DeviceName, strFolder);
    for (FileListModule *pModule : {static_cast<FileListModule *>(m_pAPK), static_cast<FileListModule *>(m_pImage),
                                    static_cast<FileListModule *>(m_pVideo), static_cast<FileListModule *>(m_pAudio)}) {
        if (pModule)
            pModule->SetEarlierBackups(listEarlier);
    }
    LOG_INFO("BackUp", listEarlier.isEmpty() ? QStringLiteral("no earlier backup used, full copy")
                                             : QStringLiteral("earlier backups: ") + listEarlier.join(QStringLiteral(", ")));

    LOG_WARNING("BackUp", QStringLiteral("StartBackup"));

    struct Planned
    {
        bool bSelected;
        int nCode;
        int nSlot;
        int nProType;
        int (Factory::*pStep)();
    };
    const Planned steps[] = {
        {m_items.bPB, MODULE_PB, BackupCounts::PB, 1, &Factory::BackUpPB},
        {m_items.bSMS, MODULE_SMS, BackupCounts::SMS, 1, &Factory::BackUpSMS},
        {m_items.bMMS, MODULE_MMS, BackupCounts::MMS, 1, &Factory::BackUpMMS},
        {m_items.bAPK, MODULE_APK, BackupCounts::APK, 0, &Factory::BackUpAPP},
        {m_items.bAPKData, MODULE_APKDATA, BackupCounts::APKData, 1, &Factory::BackUpAPPData},
        {m_items.bImage, MODULE_IMAGE, BackupCounts::Image, 0, &Factory::BackUpImage},
        {m_items.bVideo, MODULE_VIDEO, BackupCounts::Video, 0, &Factory::BackUpVidio},
        {m_items.bAudio, MODULE_AUDIO, BackupCounts::Audio, 0, &Factory::BackUpAudio},
        {m_items.bCallLog, MODULE_CALLLOG, BackupCounts::CallLog, 1, &Factory::BackUpCallog},
        {m_items.bCalendar, MODULE_CALENDAR, BackupCounts::Calendar, 1, &Factory::BackUpCal},
        {m_items.bEmail, MODULE_EMAIL, BackupCounts::Email, 1, &Factory::BackUpEmail},
    };
    for (const Planned &step : steps) {
        if (!step.bSelected)
            continue;
        emit signalBackupPro(step.nCode, step.nProType, 1, m_countsRequested[step.nSlot]);
        const int nBit = BackupCodes::ResultBit(step.nCode);
        if (GetCountFailedMask() & nBit) {
            LOG_WARNING("BackUp", QStringLiteral("module %1 was not counted; it is not backed up").arg(step.nCode));
            {
                QMutexLocker locker(&m_mutex);
                m_nFailedMask |= nBit;
            }
            emit signalError(-1, step.nCode);
            continue;
        }
        (this->*step.pStep)();
    }

    LOG_INFO("BackUp", QStringLiteral("application and media files ") + GetTransferCounts().Describe());

    // No file step left anything (a step partly backed up did): the backup
    // folder has no use.
    const int nFailed = GetFailedMask();
    const int nPackaged = GetPackagedMask();
    auto kept = [&](bool bSelected, int nBit) { return bSelected && (!(nFailed & nBit) || (nPackaged & nBit)); };
    const bool bAnyFiles = kept(m_items.bAPK, RESULT_BIT_APK) || kept(m_items.bAPKData, RESULT_BIT_APKDATA)
                           || kept(m_items.bImage, RESULT_BIT_IMAGE) || kept(m_items.bVideo, RESULT_BIT_VIDEO)
                           || kept(m_items.bAudio, RESULT_BIT_AUDIO);
    // Neither is a folder that holds no file at all (a media step that
    // failed and nothing else copied).
    if (!bAnyFiles || !HoldsFiles(GetBackupFolder()))
        RemoveBackupFolder();

    // A package whose device information file could not be written is no
    // backup: it is not made, and what should have gone into it has failed.
    const bool bInfoWritten = m_pParseInfo->WriteInfo(m_strDataFolder, m_phoneInfo, m_items, m_countsBackedUp);

    emit PackageStatus(true);
    emit signalBackupCount(&m_items, &m_countsRequested, &m_countsBackedUp);

    if (bInfoWritten) {
        MakeAndDeliverPackage();
    } else {
        LOG_WARNING("BackUp", QStringLiteral("the device information file could not be written"));
        emit PackageStatus(false);
        QFile::remove(strInfoFile);
        FailPackagedModules();
    }
    return GetFailedMask();
}

// Writes the package into the data folder and copies it to the destination.
// A package that cannot be written or delivered whole is never left under
// the package name, and every module whose file it should have held is
// reported as failed. The temporary package goes once the copy succeeded or
// the failure was reported.
bool Factory::MakeAndDeliverPackage()
{
    const QString strTemp = GetTempPackagePath();
    bool bPathOk = m_pMyZip->SetOutPutFile(strTemp.toLocal8Bit().constData());

    QString strSetting = CommonUtils::GetSettings(kSettingsSection, kTmpFileKey);
    if (strSetting.isEmpty()) {
        strSetting = QStringLiteral("1");
        CommonUtils::SetSettings(kSettingsSection, kTmpFileKey, strSetting);
    }

    // A package left by an earlier run must never pass for this run's.
    if (QFileInfo::exists(strTemp))
        QFile::remove(strTemp);

    // The files that go into the package stay until the package that holds
    // them has been read back whole from the destination.
    const bool bDeleteSources = strSetting == QLatin1String("1");
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

    const QString strTarget = GetPackagePath();
    QString strError;
    bool bDelivered = false;
    if (QFileInfo::exists(strTarget) || QFileInfo(strTarget).isSymLink()) {
        strError = QStringLiteral("the target exists: ") + strTarget;
    } else {
        QFile source(strTemp);
        QSaveFile target(strTarget);
        if (!source.open(QIODevice::ReadOnly)) {
            strError = QStringLiteral("cannot read the temporary package: ") + source.errorString();
        } else if (!target.open(QIODevice::WriteOnly)) {
            strError = QStringLiteral("cannot create the package: ") + target.errorString();
        } else {
            QByteArray baChunk;
            qint64 nCopied = 0;
            bool bOk = true;
            while (bOk && !source.atEnd()) {
                baChunk = source.read(kCopyChunk);
                if (baChunk.isEmpty() && source.error() != QFileDevice::NoError)
                    bOk = false;
                else if (target.write(baChunk) != baChunk.size())
                    bOk = false;
                nCopied += baChunk.size();
            }
            if (bOk && nCopied != source.size())
                bOk = false;
            if (!bOk) {
                strError = QStringLiteral("copy failed: ") + target.errorString();
                target.cancelWriting();
                target.commit();
            } else if (!SaveFileCommit::Commit(target, &strError)) {
                strError = QStringLiteral("copy failed: ") + strError;
            } else {
                bDelivered = true;
            }
        }
    }
    // Read the delivered package back: only a package whose every byte is in
    // place counts as delivered.
    if (bDelivered && !SameContent(strTemp, strTarget)) {
        strError = QStringLiteral("the delivered package does not read back as written");
        QFile::remove(strTarget);
        bDelivered = false;
    }

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
    static const int order[] = {MODULE_PB, MODULE_SMS, MODULE_MMS, MODULE_APK, MODULE_APKDATA, MODULE_IMAGE,
                                MODULE_VIDEO, MODULE_AUDIO, MODULE_CALLLOG, MODULE_CALENDAR, MODULE_EMAIL};
    int nPackaged = 0;
    {
        QMutexLocker locker(&m_mutex);
        nPackaged = m_nPackagedMask;
        m_nFailedMask |= m_nPackagedMask;
        m_nPackagedMask = 0;
        m_bNothingPackaged = true;
    }
    for (int nCode : order) {
        if (nPackaged & BackupCodes::ResultBit(nCode))
            emit signalError(-1, nCode);
    }
    RemoveBackupFolder();
}

void Factory::RemoveBackupFolder()
{
    const QString strFolder = GetBackupFolder();
    if (!strFolder.isEmpty())
        FolderRemoval::DeleteDirectory(strFolder);
}

void Factory::EmitFileFlags(FileFlag flag)
{
    emit signalsIsApkBackup(flag == FileFlag::Apk);
    emit signalsIsApkDataBackup(flag == FileFlag::ApkData);
    emit signalsIsImageBackup(flag == FileFlag::Image);
    emit signalsIsVideoBackup(flag == FileFlag::Video);
    emit signalsIsAudioBackup(flag == FileFlag::Audio);
}

void Factory::SetPackageCount(int nCode, int nCount)
{
    const quint32 nValue = nCount < 0 ? 0u : static_cast<quint32>(nCount);
    switch (nCode) {
    case MODULE_PB: m_pMyZip->SetPBCount(nValue); break;
    case MODULE_SMS: m_pMyZip->SetSMSCount(nValue); break;
    case MODULE_MMS: m_pMyZip->SetMMSCount(nValue); break;
    case MODULE_CALLLOG: m_pMyZip->SetCallLogCount(nValue); break;
    case MODULE_CALENDAR: m_pMyZip->SetCalendarCount(nValue); break;
    case MODULE_EMAIL: m_pMyZip->SetEmailCount(nValue); break;
    case MODULE_BOOKMARK: m_pMyZip->SetBookmarkCount(nValue); break;
    case MODULE_APK: m_pMyZip->SetAPPCount(nValue); break;
    case MODULE_APKDATA: m_pMyZip->SetAPPDataCount(nValue); break;
    case MODULE_IMAGE: m_pMyZip->SetImageCount(nValue); break;
    case MODULE_VIDEO: m_pMyZip->SetVideoCount(nValue); break;
    case MODULE_AUDIO: m_pMyZip->SetAudioCount(nValue); break;
    default: break;
    }
}

void Factory::StepFailed(const StepInfo &step, int nError)
{
    emit signalGrayCancelButton(true);
    {
        QMutexLocker locker(&m_mutex);
        m_nFailedMask |= BackupCodes::ResultBit(step.nCode);
    }
    emit signalError(nError, step.nCode);
    QThread::msleep(1);
}

int Factory::RecordStep(const StepInfo &step)
{
    LogLine::Scope scope(kLogSource, step.szName);
    const int nRequested = m_countsRequested[step.nSlot];
    if (nRequested == 0 || nRequested == -1)
        return -1;
    EmitFileFlags(FileFlag::None);

    const QString strFile = m_strDataFolder + QLatin1String(step.szResultFile);
    {
        QMutexLocker locker(&m_mutex);
        m_listFiles.append(strFile);
    }
    if (!step.pModule) {
        // Only part of a group was selected; its module was never created.
        LOG_WARNING(step.szName, QStringLiteral("module not created, step skipped"));
        return -1;
    }
    step.pModule->SetPath(strFile);
    if (RunState::Get() != 0)
        return -1;
    emit signalGrayCancelButton(false);

    const int nBit = BackupCodes::ResultBit(step.nCode);
    {
        QMutexLocker locker(&m_mutex);
        m_countsBackedUp[step.nSlot] = nRequested;
    }
    int nCount = nRequested;
    int nError = step.pModule->Backup(nCount);
    {
        QMutexLocker locker(&m_mutex);
        m_nAttemptedMask |= nBit;
    }

    // A phone receives messages and calls while it is backed up: a count
    // that differs from the one shown is what the phone delivered.
    bool bOk = nError == 0;
    if (bOk && nCount != nRequested)
        LOG_WARNING(step.szName, QStringLiteral("the phone delivered %1 items where %2 were counted")
                                     .arg(nCount)
                                     .arg(nRequested));
    if (bOk && !QFileInfo::exists(strFile)) {
        LOG_WARNING(step.szName, QStringLiteral("result file missing"));
        bOk = false;
        nError = -1;
    }
    if (bOk && !m_pMyZip->AddFile(strFile.toLocal8Bit().constData())) {
        bOk = false;
        nError = -1;
    }
    if (bOk) {
        emit signalsBackFinished(step.nCode);
        {
            QMutexLocker locker(&m_mutex);
            m_countsBackedUp[step.nSlot] = nCount;
            m_bNothingPackaged = false;
            m_nPackagedMask |= nBit;
        }
        SetPackageCount(step.nCode, nCount);
    } else {
        // A result file that is not packaged has no further use, and what
        // the package does not hold is not counted (Info.xml, summaries).
        QFile::remove(strFile);
        {
            QMutexLocker locker(&m_mutex);
            m_countsBackedUp[step.nSlot] = 0;
        }
        StepFailed(step, nError);
    }
    return 0;
}

bool Factory::WritePlaceholder(const StepInfo &step, const QString &strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        LOG_WARNING(step.szName, QStringLiteral("can not open file"));
        return false;
    }
    const QByteArray baText(step.szPlaceholder);
    // Flushed here: a full disk shows on the flush, which close() would hide.
    const bool bWritten = file.write(baText) == baText.size() && file.flush();
    file.close();
    if (!bWritten) {
        LOG_WARNING(step.szName, QStringLiteral("write error"));
        QFile::remove(strPath);
        return false;
    }
    return true;
}

int Factory::FileStep(const StepInfo &step)
{
    LogLine::Scope scope(kLogSource, step.szName);
    const int nRequested = m_countsRequested[step.nSlot];
    const QString strBackupFolder = GetBackupFolder();
    if (nRequested == 0 || nRequested == -1 || strBackupFolder.isEmpty())
        return -1;
    EmitFileFlags(step.flag);

    if (!QFileInfo::exists(strBackupFolder))
        QDir().mkpath(strBackupFolder);
    // What the module's folder held before: a failed step removes only what
    // it added itself (applications and application data share "APK").
    const QString strModuleFolder = strBackupFolder + QLatin1Char('/') + QLatin1String(step.szFolder);
    const QSet<QString> setBefore = ListEntries(strModuleFolder);
    const bool bFolderExisted = QFileInfo::exists(strModuleFolder);
    if (!step.pModule) {
        LOG_WARNING(step.szName, QStringLiteral("module not created, step skipped"));
        return -1;
    }
    step.pModule->SetPath(strBackupFolder);
    if (RunState::Get() != 0)
        return -1;
    emit signalGrayCancelButton(false);

    {
        QMutexLocker locker(&m_mutex);
        if (step.nCode == MODULE_APK) {
            m_countsBackedUp[BackupCounts::APK] = nRequested;
            m_countsBackedUp[BackupCounts::APKData] = nRequested;
        } else if (step.nCode == MODULE_APKDATA) {
            m_countsBackedUp[BackupCounts::APKData] = nRequested;
        }
    }

    const int nBit = BackupCodes::ResultBit(step.nCode);
    int nCount = nRequested;
    int nError = step.pModule->Backup(nCount);
    {
        QMutexLocker locker(&m_mutex);
        m_nAttemptedMask |= nBit;
        if (const auto *pList = qobject_cast<const FileListModule *>(step.pModule))
            m_transfer += pList->GetTransferCounts();
    }

    // A list-driven module keeps every file it copied: files that failed make
    // the item fail, but the others stay in the backup and in the package
    // (partly backed up). The phone may hold another number of files than
    // counted; what it delivered counts.
    QStringList listFailedFiles;
    if (const FileListModule *pListModule = qobject_cast<const FileListModule *>(step.pModule))
        listFailedFiles = pListModule->FailedPhonePaths();
    bool bOk = nError == 0 && nCount != 0 && listFailedFiles.isEmpty();
    const bool bPartly = nError == 0 && nCount > 0 && !listFailedFiles.isEmpty();
    if (!listFailedFiles.isEmpty()) {
        {
            QMutexLocker locker(&m_mutex);
            m_mapFailedFiles.insert(step.nCode, listFailedFiles);
        }
        LOG_WARNING(step.szName, QStringLiteral("%1 of %2 files copied; not copied: %3")
                                     .arg(nCount)
                                     .arg(nCount + listFailedFiles.size())
                                     .arg(listFailedFiles.join(QStringLiteral(", "))));
    }

    const QString strPlaceholder = m_strDataFolder + QLatin1String(step.szResultFile);
    bool bPackaged = false;
    if (bOk || bPartly) {
        if (bOk)
            emit signalsBackFinished(step.nCode);
        {
            QMutexLocker locker(&m_mutex);
            m_countsBackedUp[step.nSlot] = nCount;
            if (step.nCode == MODULE_APK)
                m_countsBackedUp[BackupCounts::APKData] = nCount;
            m_listFiles.append(strPlaceholder);
        }
        if (!WritePlaceholder(step, strPlaceholder) || !m_pMyZip->AddFile(strPlaceholder.toLocal8Bit().constData())) {
            QFile::remove(strPlaceholder);
            bOk = false;
            nError = -1;
        } else {
            SetPackageCount(step.nCode, nCount);
            bPackaged = true;
            QMutexLocker locker(&m_mutex);
            m_bNothingPackaged = false;
            m_nPackagedMask |= nBit;
        }
    }
    if (bPartly && bPackaged) {
        StepFailed(step, 0);
        return 0;
    }
    if (!bOk) {
        {
            QMutexLocker locker(&m_mutex);
            m_countsBackedUp[step.nSlot] = 0;
            if (step.nCode == MODULE_APK)
                m_countsBackedUp[BackupCounts::APKData] = 0;
        }
        // The files of a failed step are not a backup: remove what it copied.
        if (!bFolderExisted) {
            FolderRemoval::DeleteDirectory(strModuleFolder);
        } else {
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
        StepFailed(step, nError);
    }
    return 0;
}

int Factory::BackUpPB()
{
    return RecordStep({"BackUpPB", MODULE_PB, BackupCounts::PB, "PB.zip", nullptr, nullptr, FileFlag::None,
                       m_pAddrBook});
}

int Factory::BackUpSMS()
{
    return RecordStep({"BackUpSMS", MODULE_SMS, BackupCounts::SMS, "SMS.zip", nullptr, nullptr, FileFlag::None,
                       m_pSMS});
}

int Factory::BackUpMMS()
{
    return RecordStep({"BackUpMMS", MODULE_MMS, BackupCounts::MMS, "MMS.zip", nullptr, nullptr, FileFlag::None,
                       m_pMMS});
}

int Factory::BackUpCallog()
{
    return RecordStep({"BackUpCallog", MODULE_CALLLOG, BackupCounts::CallLog, "CALLLOG.zip", nullptr, nullptr,
                       FileFlag::None, m_pCallLog});
}

int Factory::BackUpCal()
{
    return RecordStep({"BackUpCal", MODULE_CALENDAR, BackupCounts::Calendar, "CALENDAR.zip", nullptr, nullptr,
                       FileFlag::None, m_pCalendar});
}

int Factory::BackUpEmail()
{
    return RecordStep({"BackUpEmail", MODULE_EMAIL, BackupCounts::Email, "EMAIL.zip", nullptr, nullptr,
                       FileFlag::None, m_pEmail});
}

int Factory::BackUpBookmark()
{
    return RecordStep({"BackUpBookmark", MODULE_BOOKMARK, BackupCounts::Bookmark, "BOOKMARK.zip", nullptr, nullptr,
                       FileFlag::None, m_pBookmark});
}

int Factory::BackUpAPP()
{
    return FileStep({"BackUpAPP", MODULE_APK, BackupCounts::APK, "APK.zip", "temp apk", "APK", FileFlag::Apk,
                     m_pAPK});
}

int Factory::BackUpAPPData()
{
    return FileStep({"BackUpAPPData", MODULE_APKDATA, BackupCounts::APKData, "APKDATA.zip", "temp apk", "APK",
                     FileFlag::ApkData, m_pAPKData});
}

int Factory::BackUpImage()
{
    return FileStep({"BackUpImage", MODULE_IMAGE, BackupCounts::Image, "IMAGE.zip", "temp Image", "Image",
                     FileFlag::Image, m_pImage});
}

int Factory::BackUpVidio()
{
    return FileStep({"BackUpVidio", MODULE_VIDEO, BackupCounts::Video, "VIDEO.zip", "temp Video", "Video",
                     FileFlag::Video, m_pVideo});
}

int Factory::BackUpAudio()
{
    return FileStep({"BackUpAudio", MODULE_AUDIO, BackupCounts::Audio, "AUDIO.zip", "temp Audio", "Audio",
                     FileFlag::Audio, m_pAudio});
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
    return m_strDataFolder + QStringLiteral("backup.zip");
}

QStringList Factory::TempFileNames()
{
    return {QStringLiteral("PB.zip"),      QStringLiteral("SMS.zip"),    QStringLiteral("CALENDAR.zip"),
            QStringLiteral("CALLLOG.zip"), QStringLiteral("EMAIL.zip"),  QStringLiteral("BOOKMARK.zip"),
            QStringLiteral("APK.zip"),     QStringLiteral("APKDATA.zip"), QStringLiteral("IMAGE.zip"),
            QStringLiteral("VIDEO.zip"),   QStringLiteral("AUDIO.zip"),  QStringLiteral("MMS.zip"),
            QStringLiteral("backup.zip")};
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
