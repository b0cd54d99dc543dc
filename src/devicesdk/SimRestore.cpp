#include "SimRestore.h"

#include "ApkManifest.h"
#include "SimDevice.h"
#include "SimInstaller.h"
#include "SimRecordRestore.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSettings>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace
{
const qint64 kChunk = 64 * 1024;
const char kNoSpace[] = "No space left on device";

QString Quoted(const QString &str)
{
    return QLatin1Char('"') + str + QLatin1Char('"');
}

// The message a refusal hands back, and its code.
int Refused(QString *pMessage, const QString &strMessage, int nCode = DVSK_RESTORE_ERR_REFUSED)
{
    *pMessage = strMessage;
    return nCode;
}
} // namespace

SimRestore::SimRestore(SimDevice &device) : m_device(device)
{
}

SimRestore &SimRestore::Instance()
{
    static SimRestore s_restore(SimDevice::Instance());
    return s_restore;
}

SimRestore::Knobs SimRestore::ReadKnobs(const PhoneConfig &config)
{
    Knobs knobs;
    const QSettings settings(config.Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
    bool bOk = false;
    const qint64 nFreeKB = settings.value(QStringLiteral("faults/restoreFreeKB")).toLongLong(&bOk);
    if (bOk && nFreeKB >= 0)
        knobs.nFreeBytes = nFreeKB * 1024;
    knobs.nUnplugDuringFile = settings.value(QStringLiteral("faults/unplugDuringPushedFile")).toInt();
    knobs.nSdk = settings.value(QStringLiteral("device/sdk")).toInt();
    return knobs;
}

int SimRestore::StopCode() const
{
    if (!m_device.IsAttached())
        return DVSK_DEV_ERR_DISCONNECTED;
    return m_bCancel.load() ? DVSK_DEV_ERR_CANCELLED : 0;
}

int SimRestore::Ready(PhoneConfig &config)
{
    config = m_device.CurrentPhone();
    if (const int nStop = StopCode())
        return nStop;
    return config.IsValid() ? 0 : DVSK_DEV_ERR_NO_PHONE;
}

void SimRestore::CountFor(const PhoneConfig &config, qint64 *pBytes, int *pFiles)
{
    QMutexLocker locker(&m_mutex);
    if (m_strCountedDir != config.Dir()) {
        m_strCountedDir = config.Dir();
        m_nWrittenBytes = 0;
        m_nWrittenFiles = 0;
    }
    *pBytes = m_nWrittenBytes;
    *pFiles = m_nWrittenFiles;
}

void SimRestore::AddWritten(qint64 nBytes)
{
    QMutexLocker locker(&m_mutex);
    m_nWrittenBytes += nBytes;
    ++m_nWrittenFiles;
}

int SimRestore::StatFiles(const char *szRemotePaths, char **ppText)
{
    if (!szRemotePaths || !ppText)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    *ppText = nullptr;
    const QStringList listPaths = RestoreRequest::ParsePaths(szRemotePaths);
    m_device.LogCall(QStringLiteral("DVSK_Restore_StatFiles %1").arg(listPaths.size()));
    PhoneConfig config;
    if (const int nError = Ready(config))
        return nError;
    QByteArray baText;
    for (const QString &strPath : listPaths) {
        const QString strHost = config.HostPathOf(strPath);
        const QFileInfo info(strHost);
        if (!strHost.isEmpty() && !info.exists() && !info.isSymLink())
            baText += "-\n";
        else if (strHost.isEmpty() || info.isSymLink() || !info.isFile())
            baText += "?\n";
        else
            baText += QByteArray::number(info.size()) + '\t'
                    + QByteArray::number(info.lastModified().toSecsSinceEpoch()) + '\n';
    }
    *ppText = RestoreRequest::MallocText(baText);
    return *ppText ? 0 : DVSK_DEV_ERR_LOCAL_FILE;
}

int SimRestore::WriteFile(QFile &source, const QString &strTarget, int nRateKBps, bool bUnplugMidway,
                          const std::function<void(qint64)> &fnProgress)
{
    QFile target(strTarget);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return DVSK_DEV_ERR_PHONE_IO;
    QElapsedTimer timer;
    timer.start();
    qint64 nDone = 0;
    for (;;) {
        if (const int nStop = StopCode())
            return nStop;
        const QByteArray baChunk = source.read(kChunk);
        if (baChunk.isEmpty())
            return source.atEnd() && target.flush() ? 0 : DVSK_DEV_ERR_LOCAL_FILE;
        if (target.write(baChunk) != baChunk.size())
            return DVSK_DEV_ERR_PHONE_IO;
        nDone += baChunk.size();
        fnProgress(nDone);
        if (bUnplugMidway) {
            m_device.Detach();
            return DVSK_DEV_ERR_DISCONNECTED;
        }
        // A slow link: the phone takes no more than the rate allows.
        const qint64 nWaitMs = nRateKBps > 0 ? nDone * 1000 / (qint64(nRateKBps) * 1024) - timer.elapsed() : 0;
        for (QDeadlineTimer wait(qMax(qint64(0), nWaitMs)); !wait.hasExpired() && !StopCode();)
            QThread::msleep(ulong(qBound(qint64(1), wait.remainingTime(), qint64(5))));
    }
}

int SimRestore::PutOne(const PhoneConfig &config, const Knobs &knobs, int nIndex, const RestoreRequest::FileJob &job,
                       DVSK_RestoreFileCallback pCallback, void *pContext, QString *pMessage)
{
    if (RestoreRequest::IsRefusedPath(job.strPhonePath))
        return Refused(pMessage, QStringLiteral("couldn't create file: Permission denied"));
    const QString strHost = config.NewHostPathOf(job.strPhonePath);
    const QString strTemp = config.NewHostPathOf(RestoreRequest::TemporaryPath(job.strPhonePath));
    if (strHost.isEmpty() || strTemp.isEmpty() || strHost.startsWith(config.FsRoot() + QStringLiteral("/data/")))
        return Refused(pMessage, QStringLiteral("couldn't create file: Permission denied"));
    if (QFileInfo(strHost).exists() || QFileInfo(strHost).isSymLink())
        return Refused(pMessage, QStringLiteral("a file is already at %1").arg(job.strPhonePath),
                       DVSK_RESTORE_ERR_EXISTS);
    QFile source(job.strLocalPath);
    if (!source.open(QIODevice::ReadOnly))
        return Refused(pMessage, QStringLiteral("cannot read %1: %2").arg(job.strLocalPath, source.errorString()),
                       DVSK_DEV_ERR_LOCAL_FILE);
    qint64 nWrittenBytes = 0;
    int nWrittenFiles = 0;
    CountFor(config, &nWrittenBytes, &nWrittenFiles);
    if (knobs.nFreeBytes >= 0 && nWrittenBytes + source.size() > knobs.nFreeBytes)
        return Refused(pMessage, QLatin1String(kNoSpace), DVSK_RESTORE_ERR_NO_SPACE);
    if (!QDir().mkpath(QFileInfo(strTemp).absolutePath()))
        return Refused(pMessage, QStringLiteral("couldn't create file: Not a directory"));
    const bool bUnplug = knobs.nUnplugDuringFile > 0 && nWrittenFiles + 1 == knobs.nUnplugDuringFile;
    const int nResult = WriteFile(source, strTemp, config.RateLimitKBps(), bUnplug, [&](qint64 nBytes) {
        pCallback(pContext, nIndex, -1, nBytes, nullptr);
    });
    if (nResult == DVSK_DEV_ERR_DISCONNECTED)
        return nResult; // the phone keeps what it had: a half file under the temporary name
    if (nResult != 0) {
        QFile::remove(strTemp);
        return nResult;
    }
    QFile placed(strTemp);
    placed.open(QIODevice::ReadWrite);
    placed.setFileTime(QDateTime::fromSecsSinceEpoch(job.nMtime, Qt::UTC), QFileDevice::FileModificationTime);
    placed.close();
    // Never over another file, even one that came meanwhile.
    if (!QFile::rename(strTemp, strHost)) {
        QFile::remove(strTemp);
        return Refused(pMessage, QStringLiteral("a file is already at %1").arg(job.strPhonePath),
                       DVSK_RESTORE_ERR_EXISTS);
    }
    AddWritten(source.size());
    return 0;
}

int SimRestore::PutFiles(const char *szJobs, DVSK_RestoreFileCallback pCallback, void *pContext)
{
    QList<RestoreRequest::FileJob> listJobs;
    if (!pCallback || !RestoreRequest::ParseJobs(szJobs, listJobs))
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    m_device.LogCall(QStringLiteral("DVSK_Restore_PutFiles %1").arg(listJobs.size()));
    PhoneConfig config;
    if (const int nError = Ready(config))
        return nError;
    const Knobs knobs = ReadKnobs(config);
    for (int i = 0; i < listJobs.size(); ++i) {
        if (const int nStop = StopCode())
            return nStop;
        QString strMessage;
        const int nResult = PutOne(config, knobs, i, listJobs.at(i), pCallback, pContext, &strMessage);
        const QByteArray baMessage = strMessage.toUtf8();
        pCallback(pContext, i, nResult, 0, strMessage.isEmpty() ? nullptr : baMessage.constData());
        if (nResult == DVSK_RESTORE_ERR_NO_SPACE || nResult == DVSK_DEV_ERR_CANCELLED
            || nResult == DVSK_DEV_ERR_DISCONNECTED)
            return nResult;
    }
    return 0;
}

int SimRestore::ScanMedia(const char *szRemotePaths)
{
    if (!szRemotePaths)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    const QStringList listPaths = RestoreRequest::ParsePaths(szRemotePaths);
    m_device.LogCall(QStringLiteral("DVSK_Restore_ScanMedia %1").arg(listPaths.size()));
    PhoneConfig config;
    return Ready(config);
}

int SimRestore::AppVersions(char **ppText)
{
    if (!ppText)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    *ppText = nullptr;
    m_device.LogCall(QStringLiteral("DVSK_Restore_AppVersions"));
    PhoneConfig config;
    if (const int nError = Ready(config))
        return nError;
    QByteArray baText;
    for (const PhoneConfig::PhoneFile &app : config.Apps()) {
        const QString strPackage = QFileInfo(app.strPhonePath).completeBaseName();
        baText += strPackage.toUtf8() + '\t' + QByteArray::number(ApkManifest::Read(app.strHostPath).VersionCode())
                + '\n';
    }
    *ppText = RestoreRequest::MallocText(baText);
    return *ppText ? 0 : DVSK_DEV_ERR_LOCAL_FILE;
}

int SimRestore::InstallApp(const char *szApkPaths, char **ppMessage)
{
    if (!szApkPaths || !ppMessage)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    *ppMessage = nullptr;
    const QStringList listApks = RestoreRequest::ParsePaths(szApkPaths);
    m_device.LogCall(QStringLiteral("DVSK_Restore_InstallApp %1").arg(Quoted(listApks.join(QLatin1Char(' ')))));
    PhoneConfig config;
    if (listApks.isEmpty())
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    if (const int nError = Ready(config))
        return nError;
    for (const QString &strApk : listApks) {
        if (!QFileInfo(strApk).isFile())
            return DVSK_DEV_ERR_LOCAL_FILE;
    }
    const QString strAnswer = SimInstaller::Install(config, listApks, listApks);
    *ppMessage = RestoreRequest::MallocText(strAnswer.toUtf8());
    return SimInstaller::IsSuccess(strAnswer) ? 0 : DVSK_RESTORE_ERR_REFUSED;
}

int SimRestore::RecordsAvailable(int nType, char **ppReason)
{
    if (ppReason)
        *ppReason = nullptr;
    PhoneConfig config;
    if (const int nError = Ready(config))
        return nError;
    return RestoreRequest::Availability(nType, ReadKnobs(config).nSdk, ppReason);
}

int SimRestore::Records(int nType, const char *szLocalFile, int *pRestored, int *pSkipped, int *pFailed,
                        char **ppMessage)
{
    m_device.LogCall(QStringLiteral("DVSK_Restore_Records %1 %2").arg(nType).arg(Quoted(QString::fromUtf8(szLocalFile))));
    if (const int nStart = StartRecords(nType, szLocalFile, pRestored, pSkipped, pFailed, ppMessage))
        return nStart;
    PhoneConfig config;
    if (const int nError = Ready(config))
        return nError;
    QString strMessage;
    SimRecordRestore::Counts counts;
    const int nResult = SimRecordRestore::Restore(config, nType, QString::fromUtf8(szLocalFile), &counts, &strMessage);
    *pRestored = counts.nRestored;
    *pSkipped = counts.nSkipped;
    *pFailed = counts.nFailed;
    if (ppMessage && !strMessage.isEmpty())
        *ppMessage = RestoreRequest::MallocText(strMessage.toUtf8());
    if (nResult == 0 && StopCode())
        return StopCode();
    return nResult;
}

void SimRestore::Cancel()
{
    m_device.LogCall(QStringLiteral("DVSK_Restore_Cancel"));
    m_bCancel = true;
}

void SimRestore::ResetCancel()
{
    m_bCancel = false;
}
