#include "SimDevice.h"

#include "FileListText.h"
#include "ZipStoreWriter.h"
#include "sdk/dvsk_sim.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <QTemporaryDir>
#include <QThread>

#include <dlfcn.h>
#include <unistd.h>
#include <stdlib.h>
#include <string.h>

#include <climits>
#include <thread>

namespace
{
// Result texts owned by the SDK.
const char kSuccessText[] = "success";
const char kErrorText[] = "error";

const qint64 kChunk = 64 * 1024;
const qint64 kKernelChunk = 8 * 1024 * 1024;
const qint64 kSleepSlice = 5;
const int kMaxCallLogLines = 100000;

QString Quoted(const char *sz)
{
    return QLatin1Char('"') + (sz ? QString::fromUtf8(sz) : QStringLiteral("(null)")) + QLatin1Char('"');
}

// The lines of a list text that name an item.
int CountListItems(const QByteArray &baList)
{
    int n = 0;
    for (const QByteArray &baLine : baList.split('\n')) {
        if (!baLine.trimmed().isEmpty())
            ++n;
    }
    return n;
}

// Application packages that have data on the phone, with their data folders.
QList<QPair<QString, QString>> AppsWithData(const PhoneConfig &config)
{
    QList<QPair<QString, QString>> list;
    for (const PhoneConfig::PhoneFile &app : config.Apps()) {
        const QString strPackage = QFileInfo(app.strPhonePath).fileName().chopped(4);
        const QString strData = config.AppDataDir(strPackage);
        QDirIterator it(strData, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        bool bHasData = false;
        while (!bHasData && it.hasNext())
            bHasData = config.IsInsidePhone(it.next());
        if (bHasData)
            list.append({strPackage, strData});
    }
    return list;
}
// The list text of a media or application backup: name, size, modification
// time, phone path; readers that know only the first and the last field
// still find name and path.
QByteArray ListText(const PhoneConfig &config, int nType)
{
    FileListText text;
    const bool bApps = nType == 9;
    for (const PhoneConfig::PhoneFile &file : bApps ? config.Apps() : config.MediaFiles(nType)) {
        const QString strName = QFileInfo(file.strPhonePath).fileName();
        text.Add(bApps ? strName.chopped(4) : strName, file.nSize, file.nModified, file.strPhonePath);
    }
    return text.Text();
}

// Adds one package's data files to the archive under "<package>/"; false
// when one could not be added.
bool AddAppData(ZipStoreWriter &zip, const PhoneConfig &config, const QPair<QString, QString> &appData)
{
    const QDir dataDir(appData.second);
    QDirIterator it(dataDir.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    QStringList listFiles;
    // A link that leads out of the phone folder is not the phone's.
    while (it.hasNext()) {
        const QString strFile = it.next();
        if (config.IsInsidePhone(strFile))
            listFiles << strFile;
    }
    listFiles.sort();
    bool bOk = true;
    for (const QString &strFile : qAsConst(listFiles)) {
        if (!zip.AddFile(appData.first + QLatin1Char('/') + dataDir.relativeFilePath(strFile), strFile))
            bOk = false;
    }
    return bOk;
}

// The bytes of the applications' data files that lie inside the phone.
qint64 DataBytes(const PhoneConfig &config, const QList<QPair<QString, QString>> &listApps)
{
    qint64 nBytes = 0;
    for (const QPair<QString, QString> &app : listApps) {
        QDirIterator it(app.second, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString strFile = it.next();
            if (config.IsInsidePhone(strFile))
                nBytes += QFileInfo(strFile).size();
        }
    }
    return nBytes;
}
} // namespace

SimDevice &SimDevice::Instance()
{
    static SimDevice s_device;
    return s_device;
}

SimDevice::SimDevice() = default;

SimDevice::~SimDevice() = default;

QString SimDevice::BundledPhoneDir()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&SimDevice::BundledPhoneDir), &info) == 0 || !info.dli_fname)
        return QString();
    const QString strLibDir = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    return QDir::cleanPath(strLibDir + QStringLiteral("/../samples/phone"));
}

QString SimDevice::ResolveDirLocked() const
{
    if (m_bExplicitDir)
        return m_strExplicitDir;
    const QString strEnv = qEnvironmentVariable("DVSK_SIM_PHONE");
    if (!strEnv.isEmpty())
        return QFileInfo(strEnv).absoluteFilePath();
    return BundledPhoneDir();
}

PhoneConfig SimDevice::LoadLocked()
{
    const QString strDir = ResolveDirLocked();
    if (!m_bServing || strDir != m_strServedDir) {
        // Another phone: a fresh connection with nothing pending.
        m_bServing = true;
        m_strServedDir = strDir;
        m_bAttachedFlag = true;
        m_nCopiedFiles = 0;
        m_hashResults.clear();
        for (const QString &strFile : qAsConst(m_listOwnedResults))
            QFile::remove(strFile);
        m_listOwnedResults.clear();
    }
    PhoneConfig config;
    config.Load(strDir);
    return config;
}

void SimDevice::AppendLog(const QString &strLine)
{
    QMutexLocker locker(&m_mutex);
    if (m_listCallLog.size() >= kMaxCallLogLines)
        m_listCallLog.removeFirst();
    m_listCallLog.append(strLine);
}

SimDevice::AbortToken SimDevice::Token(bool bBackup) const
{
    AbortToken token;
    token.nResetGeneration = m_nResetGeneration.load();
    token.nBackupCancelGeneration = m_nBackupCancelGeneration.load();
    token.bBackup = bBackup;
    return token;
}

bool SimDevice::IsAborted(const AbortToken &token) const
{
    if (m_bCancel.load() || !m_bAttachedFlag.load())
        return true;
    if (m_nResetGeneration.load() != token.nResetGeneration)
        return true;
    return token.bBackup && m_nBackupCancelGeneration.load() != token.nBackupCancelGeneration;
}

int SimDevice::AbortCode() const
{
    return m_bAttachedFlag.load() ? DVSK_SIM_ERR_CANCELLED : DVSK_SIM_ERR_DETACHED;
}

bool SimDevice::SleepFor(int nMs, const AbortToken &token) const
{
    QDeadlineTimer deadline(nMs);
    while (!deadline.hasExpired()) {
        if (IsAborted(token))
            return false;
        QThread::msleep(ulong(qBound(qint64(1), deadline.remainingTime(), kSleepSlice)));
    }
    return !IsAborted(token);
}

void SimDevice::RaiseEvents(const QList<int> &listEvents)
{
    std::function<void()> fnListChanged;
    {
        QMutexLocker locker(&m_mutex);
        fnListChanged = m_fnListChanged;
    }
    const DVSK_DevInitEventCallback pCallback = EventCallback();
    if (!pCallback && !fnListChanged)
        return;
    // Device events come from the SDK's own thread; an arrival or a
    // departure changes the list of phones as well.
    std::thread thread([pCallback, &fnListChanged, &listEvents]() {
        if (fnListChanged)
            fnListChanged();
        for (int nEvent : listEvents) {
            if (pCallback)
                pCallback(nEvent);
        }
    });
    thread.join();
}

QString SimDevice::TempDir()
{
    QMutexLocker locker(&m_mutex);
    if (!m_pTempDir || !m_pTempDir->isValid())
        m_pTempDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/dvsk-sim-XXXXXX"));
    return m_pTempDir->isValid() ? m_pTempDir->path() : QString();
}

void SimDevice::RegisterResult(const QString &strPhonePath, const QString &strHostPath, bool bOwned)
{
    QMutexLocker locker(&m_mutex);
    const QString strOld = m_hashResults.value(strPhonePath);
    if (!strOld.isEmpty() && strOld != strHostPath && m_listOwnedResults.removeAll(strOld) > 0)
        QFile::remove(strOld);
    m_hashResults.insert(strPhonePath, strHostPath);
    if (bOwned)
        m_listOwnedResults.append(strHostPath);
}

QString SimDevice::ResultHostPath(const QString &strPhonePath)
{
    QMutexLocker locker(&m_mutex);
    return m_hashResults.value(strPhonePath);
}

PhoneConfig SimDevice::Load()
{
    QMutexLocker locker(&m_mutex);
    return LoadLocked();
}

int SimDevice::ReadyPhone(PhoneConfig &config, bool bHonourCancel)
{
    config = Load();
    if (!m_bAttachedFlag.load())
        return DVSK_SIM_ERR_DETACHED;
    if (!config.IsValid())
        return DVSK_SIM_ERR_NO_PHONE;
    if (bHonourCancel && m_bCancel.load())
        return DVSK_SIM_ERR_CANCELLED;
    return 0;
}

int SimDevice::BackUp(int nType, const char *szName, char **ppText)
{
    AppendLog(QStringLiteral("DVSK_BackUp %1 %2").arg(nType).arg(Quoted(szName)));
    if (!ppText)
        return DVSK_SIM_ERR_BAD_ARGUMENT;
    *ppText = nullptr;
    const AbortToken token = Token(true);
    PhoneConfig config;
    if (const int nError = ReadyPhone(config, true))
        return nError;
    if (PhoneConfig::SectionOf(nType).isEmpty())
        return DVSK_SIM_ERR_UNKNOWN_TYPE;
    if (const int nError = config.BackupError(nType))
        return nError;
    if (config.ErrorText(nType)) {
        *ppText = const_cast<char *>(kErrorText);
        return 0;
    }

    BackupPlan plan;
    if (const int nError = PlanBackup(config, nType, plan))
        return nError;

    // The phone works on its own thread and reports from there; the caller
    // waits for it to finish.
    bool bAborted = false;
    bool bFailed = false;
    std::thread worker([&]() { RunPhoneBackup(config, nType, plan, token, bAborted, bFailed); });
    worker.join();

    if (nType == 15 && (bAborted || bFailed || !plan.bDeliverPath))
        QFile::remove(plan.strArchive);
    if (bAborted)
        return AbortCode();
    if (bFailed)
        return DVSK_SIM_ERR_PHONE_IO;
    if (PhoneConfig::IsFileListType(nType)) {
        *ppText = MallocText(plan.baList);
        return *ppText ? 0 : DVSK_SIM_ERR_PHONE_IO;
    }
    *ppText = const_cast<char *>(kSuccessText);
    return 0;
}

int SimDevice::PlanBackup(const PhoneConfig &config, int nType, BackupPlan &plan)
{
    // What the phone-side backup goes through, item by item.
    if (PhoneConfig::IsRecordType(nType)) {
        const PhoneConfig::RecordSet records = config.Records(nType);
        plan.nItems = qMax(0, records.nBackupCount);
        if (!records.strFile.isEmpty()) {
            plan.strResultPhonePath = records.strPhonePath;
            // The phone serves only what lies in its own folder.
            plan.strResultHostPath = config.FileInPhone(records.strFile);
            if (plan.strResultHostPath.isEmpty())
                return DVSK_SIM_ERR_PHONE_IO;
        }
    } else if (nType == 15) {
        plan.listAppData = AppsWithData(config);
        plan.nItems = plan.listAppData.size();
        plan.strResultPhonePath = QStringLiteral("/data/local/tmp/backup/appdata.zip");
    } else {
        const PhoneConfig::FileSet files = config.Files(nType);
        if (!files.strRawList.isEmpty()) {
            QFile file(config.FileInPhone(files.strRawList));
            if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
                return DVSK_SIM_ERR_PHONE_IO;
            plan.baList = file.readAll();
        } else {
            plan.baList = ListText(config, nType);
        }
        plan.nItems = CountListItems(plan.baList);
    }
    plan.bDeliverPath = !plan.strResultPhonePath.isEmpty() && !config.NoResultPath(nType);
    plan.nDelayMs = config.ItemDelayMs();

    if (nType == 15) {
        const QString strTemp = TempDir();
        if (strTemp.isEmpty())
            return DVSK_SIM_ERR_PHONE_IO;
        QMutexLocker locker(&m_mutex);
        plan.strArchive = QStringLiteral("%1/appdata-%2.zip").arg(strTemp).arg(++m_nArchiveSerial);
    }
    return 0;
}

void SimDevice::RunPhoneBackup(const PhoneConfig &config, int nType, const BackupPlan &plan, const AbortToken &token,
                               bool &bAborted, bool &bFailed)
{
    ZipStoreWriter zip;
    if (nType == 15 && !zip.Open(plan.strArchive)) {
        bFailed = true;
        return;
    }
    // Every item is reported: the engine weighs each report as 1/nAll of
    // the step.
    ReportProgress(nType, 0, plan.nItems);
    for (int i = 1; i <= plan.nItems; ++i) {
        if (!SleepFor(plan.nDelayMs, token)) {
            bAborted = true;
            break;
        }
        if (nType == 15 && !AddAppData(zip, config, plan.listAppData.at(i - 1)))
            bFailed = true;
        ReportProgress(nType, i, plan.nItems);
    }
    if (nType == 15 && !zip.Close())
        bFailed = true;
    if (bAborted || bFailed || IsAborted(token)) {
        bAborted = bAborted || IsAborted(token);
        return;
    }
    // The application data archive is complete: a report without a count.
    if (nType == 15)
        ReportProgress(nType, -1, plan.nItems);
    if (plan.bDeliverPath) {
        if (nType == 15)
            RegisterResult(plan.strResultPhonePath, plan.strArchive, true);
        else
            RegisterResult(plan.strResultPhonePath, plan.strResultHostPath, false);
        const QByteArray baPath = plan.strResultPhonePath.toUtf8();
        ReportProgress(nType, -1111, reinterpret_cast<intptr_t>(baPath.constData()));
    }
}

// Copies in steps small enough to notice a cancel between them; 0 when the
// file is copied or the file system cannot copy in the kernel (*pnCopied 0).
int SimDevice::CopyInKernel(QFile &source, QFile &target, const AbortToken &token,
                            const std::function<void(qint64)> &fnProgress, qint64 *pnCopied)
{
    for (;;) {
        if (IsAborted(token))
            return AbortCode();
        const ssize_t nDone = ::copy_file_range(source.handle(), nullptr, target.handle(), nullptr,
                                                size_t(kKernelChunk), 0);
        if (nDone < 0) {
            if (*pnCopied > 0)
                return DVSK_SIM_ERR_LOCAL_FILE;
            return 0;
        }
        if (nDone == 0) {
            target.seek(*pnCopied);
            source.seek(*pnCopied);
            return 0;
        }
        *pnCopied += nDone;
        if (fnProgress)
            fnProgress(*pnCopied);
    }
}

// Copies the rest from nCopied on, paced to nRateKBps when it is above 0.
int SimDevice::CopyInChunks(QFile &source, QFile &target, int nRateKBps, const AbortToken &token,
                            const std::function<void(qint64)> &fnProgress, qint64 nCopied)
{
    const qint64 nBytesPerSecond = qint64(nRateKBps) * 1024;
    const qint64 nChunk = nRateKBps > 0 ? qBound<qint64>(1024, nBytesPerSecond / 20, kChunk) : kChunk;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (IsAborted(token))
            return AbortCode();
        const QByteArray baChunk = source.read(nChunk);
        if (baChunk.isEmpty()) {
            if (source.error() != QFileDevice::NoError || !source.atEnd())
                return DVSK_SIM_ERR_PHONE_IO;
            return 0;
        }
        if (target.write(baChunk) != baChunk.size())
            return DVSK_SIM_ERR_LOCAL_FILE;
        nCopied += baChunk.size();
        if (fnProgress)
            fnProgress(nCopied);
        if (nBytesPerSecond > 0) {
            const qint64 nDueMs = nCopied * 1000 / nBytesPerSecond;
            const qint64 nWaitMs = nDueMs - timer.elapsed();
            if (nWaitMs > 0 && !SleepFor(int(nWaitMs), token))
                return AbortCode();
        }
    }
}

int SimDevice::CopyFile(const QString &strSource, const QString &strLocal, int nRateKBps, const AbortToken &token,
                        const std::function<void(qint64)> &fnProgress)
{
    QFile source(strSource);
    if (!source.open(QIODevice::ReadOnly))
        return DVSK_SIM_ERR_PHONE_IO;
    // The copy goes to a temporary file beside the target and is renamed into
    // place when complete, so the target is either whole or untouched. No
    // sync to disk per file: a phone link is not a database, and syncing each
    // of thousands of media files would dominate the transfer.
    const QFileInfo localInfo(strLocal);
    // A short name of its own, so that any target name that fits the folder
    // can be copied.
    QTemporaryFile target(localInfo.absolutePath() + QStringLiteral("/.dvsk-XXXXXX.part"));
    if (!localInfo.absoluteDir().exists() || !target.open())
        return DVSK_SIM_ERR_LOCAL_FILE;
    qint64 nCopied = 0;
    // Without a rate limit the kernel copies between the files directly; a
    // file system that cannot do that falls back to the read/write loop.
    int nResult = nRateKBps <= 0 ? CopyInKernel(source, target, token, fnProgress, &nCopied) : 0;
    if (nResult == 0)
        nResult = CopyInChunks(source, target, nRateKBps, token, fnProgress, nCopied);
    if (nResult != 0)
        return nResult;
    if (!target.flush())
        return DVSK_SIM_ERR_LOCAL_FILE;
    target.close();
    // A copied file gets the usual permissions, not the temporary file's 0600.
    target.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                          | QFileDevice::ReadOther);
    // rename() replaces an existing target atomically.
    if (std::rename(QFile::encodeName(target.fileName()).constData(), QFile::encodeName(strLocal).constData()) != 0)
        return DVSK_SIM_ERR_LOCAL_FILE;
    target.setAutoRemove(false);
    return 0;
}

int SimDevice::GetFile(const char *szLocalPath, const char *szRemotePath, int nMode)
{
    AppendLog(QStringLiteral("DVSK_GetFile %1 %2 %3").arg(Quoted(szLocalPath), Quoted(szRemotePath)).arg(nMode));
    if (!szLocalPath || !szRemotePath || !*szLocalPath || nMode != 2)
        return DVSK_SIM_ERR_BAD_ARGUMENT;
    const AbortToken token = Token(false);
    PhoneConfig config;
    if (const int nError = ReadyPhone(config, true))
        return nError;
    const QString strRemote = QString::fromUtf8(szRemotePath);
    if (config.IsMissing(strRemote))
        return DVSK_ERR_FILE_NOT_EXIST;
    if (const int nError = config.GetFileError(strRemote))
        return nError;
    QString strSource = ResultHostPath(strRemote);
    if (strSource.isEmpty())
        strSource = config.HostPathOf(strRemote);
    if (strSource.isEmpty() || !QFileInfo(strSource).isFile())
        return DVSK_ERR_FILE_NOT_EXIST;

    const int nResult = CopyFile(strSource, QString::fromUtf8(szLocalPath), config.RateLimitKBps(), token,
                                 FileProgressReporter(szRemotePath));
    if (nResult != 0)
        return nResult;

    bool bUnplug = false;
    {
        QMutexLocker locker(&m_mutex);
        ++m_nCopiedFiles;
        if (config.UnplugAfterFiles() > 0 && m_nCopiedFiles >= config.UnplugAfterFiles()
            && m_bAttachedFlag.load()) {
            m_bAttachedFlag = false;
            bUnplug = true;
        }
    }
    if (bUnplug)
        RaiseEvents({DVSK_EVENT_DEVICE_REMOVED, DVSK_EVENT_SERVICE_LOST});
    return 0;
}

int SimDevice::GetBackUpCount(int nType, int *pCount, int *pSize)
{
    AppendLog(QStringLiteral("DVSK_GetBackUpCount %1").arg(nType));
    if (!pCount)
        return DVSK_SIM_ERR_BAD_ARGUMENT;
    PhoneConfig config;
    if (const int nError = ReadyPhone(config, false))
        return nError;
    if (PhoneConfig::SectionOf(nType).isEmpty())
        return DVSK_SIM_ERR_UNKNOWN_TYPE;
    if (const int nError = config.CountError(nType))
        return nError;

    int nCount = 0;
    qint64 nBytes = 0;
    int nSizeOverride = -1;
    if (PhoneConfig::IsRecordType(nType)) {
        nCount = qMax(0, config.Records(nType).nCount);
    } else if (nType == 15) {
        // What the backup of the applications' data goes through: the
        // applications that have data, and the size of that data (not of
        // their packages).
        const QList<QPair<QString, QString>> listApps = AppsWithData(config);
        nCount = listApps.size();
        nBytes = DataBytes(config, listApps);
        const PhoneConfig::FileSet overrides = config.Files(15);
        if (overrides.nCountOverride >= 0)
            nCount = overrides.nCountOverride;
        nSizeOverride = overrides.nSizeOverride;
    } else {
        const PhoneConfig::FileSet files = config.Files(nType);
        if (!files.strRawList.isEmpty()) {
            QFile file(config.FileInPhone(files.strRawList));
            if (!file.fileName().isEmpty() && file.open(QIODevice::ReadOnly))
                nCount = CountListItems(file.readAll());
        } else {
            const QList<PhoneConfig::PhoneFile> list = nType == 9 ? config.Apps() : config.MediaFiles(nType);
            nCount = list.size();
            for (const PhoneConfig::PhoneFile &file : list)
                nBytes += file.nSize;
        }
        if (files.nCountOverride >= 0)
            nCount = files.nCountOverride;
        nSizeOverride = files.nSizeOverride;
    }
    *pCount = nCount;
    if (pSize)
        *pSize = nSizeOverride >= 0 ? nSizeOverride : KiloBytes(nBytes);
    return 0;
}

int SimDevice::MemInfo(DVSK_MemInfo **ppList)
{
    AppendLog(QStringLiteral("DVSK_Mobile_MemInfo"));
    if (!ppList)
        return -1;
    *ppList = nullptr;
    const PhoneConfig config = Load();
    if (!m_bAttachedFlag.load() || !config.IsValid())
        return -1;
    if (config.MemInfoError() < 0)
        return config.MemInfoError();
    const QList<PhoneConfig::Storage> listStorages = config.Storages();
    DVSK_MemInfo *pList = static_cast<DVSK_MemInfo *>(calloc(size_t(qMax<qsizetype>(1, listStorages.size())),
                                                            sizeof(DVSK_MemInfo)));
    if (!pList)
        return -1;
    for (qsizetype i = 0; i < listStorages.size(); ++i) {
        pList[i].nType = listStorages.at(i).nKind;
        pList[i].nTotal = listStorages.at(i).nTotal;
        pList[i].nUsed = listStorages.at(i).nUsed;
        pList[i].nUnit = listStorages.at(i).nUnit;
    }
    *ppList = pList;
    return int(listStorages.size());
}

void SimDevice::SetBackupCancel(unsigned char bCancel)
{
    AppendLog(QStringLiteral("DVSK_SetBackup_Cancel %1").arg(int(bCancel)));
    m_bCancel = bCancel != 0;
}

void SimDevice::BackupCancel()
{
    AppendLog(QStringLiteral("DVSK_Backup_Cancel"));
    ++m_nBackupCancelGeneration;
}

void SimDevice::OperationCancel(const char *szShellCommand)
{
    AppendLog(QStringLiteral("DVSK_Operation_Cancel %1").arg(Quoted(szShellCommand)));
}

void SimDevice::Reset()
{
    AppendLog(QStringLiteral("DVSK_Reset"));
    ++m_nResetGeneration;
}

int SimDevice::SetPhoneDir(const char *szPhoneDir)
{
    PhoneConfig config;
    {
        QMutexLocker locker(&m_mutex);
        m_bExplicitDir = szPhoneDir != nullptr;
        m_strExplicitDir = szPhoneDir ? QFileInfo(QString::fromUtf8(szPhoneDir)).absoluteFilePath() : QString();
        config = LoadLocked();
    }
    if (config.IsValid())
        return 0;
    return config.IsMalformed() ? DVSK_SIM_ERR_BAD_PHONE_INI : DVSK_SIM_ERR_NO_PHONE;
}

QString SimDevice::PhoneDir()
{
    QMutexLocker locker(&m_mutex);
    return ResolveDirLocked();
}

int SimDevice::Open(QString &strMessage)
{
    const PhoneConfig config = Load();
    if (config.IsValid())
        return 0;
    strMessage = QStringLiteral("No phone in %1 (phone.ini missing or unreadable)").arg(config.Dir());
    return DVSK_SIM_ERR_NO_PHONE;
}

QString SimDevice::DeviceInfo()
{
    const PhoneConfig config = Load();
    return config.DeviceName() + QLatin1Char('\n') + config.Firmware() + QLatin1Char('\n') + config.Imei();
}

QString SimDevice::Identity()
{
    const PhoneConfig config = Load();
    if (!config.IsValid() || !m_bAttachedFlag.load())
        return QString();
    return IdentityText(config.Serial(), config.Manufacturer(), config.Model(), config.Android(), QStringLiteral("sim"));
}

QString SimDevice::ListLine()
{
    const PhoneConfig config = Load();
    if (!config.IsValid())
        return QString();
    const bool bAttached = m_bAttachedFlag.load();
    return QStringList {config.Serial(), bAttached ? QStringLiteral("ready") : QStringLiteral("offline"),
                        QStringLiteral("sim"), config.Model(), QString()}
               .join(QLatin1Char('\t'));
}

void SimDevice::SetListChangedCallback(std::function<void()> fnChanged)
{
    QMutexLocker locker(&m_mutex);
    m_fnListChanged = std::move(fnChanged);
}

void SimDevice::Attach()
{
    {
        QMutexLocker locker(&m_mutex);
        LoadLocked();
        m_bAttachedFlag = true;
        m_nCopiedFiles = 0;
    }
    RaiseEvents({DVSK_EVENT_DEVICE_ACTIVE});
}

void SimDevice::Detach()
{
    {
        QMutexLocker locker(&m_mutex);
        LoadLocked();
        m_bAttachedFlag = false;
    }
    RaiseEvents({DVSK_EVENT_DEVICE_REMOVED, DVSK_EVENT_SERVICE_LOST});
}

bool SimDevice::IsAttached()
{
    QMutexLocker locker(&m_mutex);
    LoadLocked();
    return m_bAttachedFlag.load();
}

QString SimDevice::CallLog()
{
    QMutexLocker locker(&m_mutex);
    return m_listCallLog.join(QLatin1Char('\n'));
}

PhoneConfig SimDevice::CurrentPhone()
{
    return Load();
}

void SimDevice::LogCall(const QString &strLine)
{
    AppendLog(strLine);
}

void SimDevice::ClearCallLog()
{
    QMutexLocker locker(&m_mutex);
    m_listCallLog.clear();
}
