#include "AdbDevice.h"

#include "../FileListText.h"
#include "../MediaKinds.h"
#include "AdbParsers.h"
#include "AdbPartFile.h"
#include "AdbRecordShell.h"
#include "AdbRestore.h"
#include "AdbShellFiles.h"
#include "AdbTracker.h"
#include "AdbVolumes.h"
#include "RecordExporter.h"
#include "sdk/dvsk_device.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringBuilder>

#include <stdlib.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <string.h>

#include <algorithm>
#include <climits>
#include <functional>

namespace
{
const int kWalkReuseMs = 10000;
// Folder listings on their way to the phone at once during the walk.
const int kListsInFlight = 8;
const char kNotAllowedMessage[] = "Allow USB debugging on the phone";
// Where record result files are said to be: they are written on the PC, the
// name only ties the result path to its file.
const char kRecordResultFolder[] = "/data/local/tmp/backup/";
// The text a successful record backup hands back; it belongs to the SDK.
char g_szSuccess[] = "success";

bool IsRecordType(int nType)
{
    switch (nType) {
    case 0: case 1: case 2: case 4: case 5: case 6: case 19:
        return true;
    default:
        return false;
    }
}

void Log(const QString &strText)
{
    qInfo().noquote() << "adb:" << strText;
}
} // namespace

const char AdbDevice::kSharedStorage[] = "/sdcard";
const int AdbDevice::kDefaultStreams = 4;

AdbDevice::AdbDevice(const QString &strSerial, quint16 nPort)
    : m_server(nPort)
    , m_strWanted(strSerial)
    , m_pPrefetcher(std::make_unique<AdbPrefetcher>(
              [this](QString *pError) { return OpenSync(pError); }, StreamsFromEnvironment(),
              [this](const QByteArray &baPath, qint64 nSize, QByteArray *pData, qint64 nMax, QString *pError,
                     const std::function<bool()> &fnStopped) {
                  return LongPaths().ReadData(baPath, nSize, pData, nMax, pError, fnStopped);
              }))
{
    m_server.SetGuard([this]() { return m_bCancel.load(); }, [this]() { OnStalled(); });
}

void AdbDevice::OnStalled()
{
    if (!m_bStalled.exchange(true))
        Log(QStringLiteral("the phone stopped answering for %1 s; it counts as disconnected")
                    .arg(AdbSocket::StallSecondsFromEnvironment()));
}

int AdbDevice::StreamsFromEnvironment()
{
    bool bOk = false;
    const int nStreams = qEnvironmentVariableIntValue("DVSK_ADB_STREAMS", &bOk);
    return bOk && nStreams >= 1 && nStreams <= 8 ? nStreams : kDefaultStreams;
}

AdbDevice::~AdbDevice()
{
    if (m_pTracker)
        m_pTracker->Stop();
    m_pPrefetcher.reset();
    QMutexLocker locker(&m_abortMutex);
    if (m_pSync)
        m_pSync->Quit();
}

bool AdbDevice::IsSkippedFolder(const QString &strPhonePath, const QString &strVolume)
{
    // Application-private areas of a storage volume: not the user's media,
    // and unreadable on newer phones anyway.
    const QString strBase = strVolume + QStringLiteral("/Android/");
    return strPhonePath == strBase + QStringLiteral("data") || strPhonePath == strBase + QStringLiteral("obb");
}

bool AdbDevice::RecordsAvailable(int nType) const
{
    return !RecordExporter::FileName(nType).isEmpty();
}

void AdbDevice::RaiseEvent(int nEvent)
{
    // The server still lists a stalled phone: that is no arrival.
    if (nEvent == DVSK_EVENT_DEVICE_ACTIVE && m_bStalled.load())
        return;
    const DVSK_DevInitEventCallback pCallback = EventCallback();
    Log(QStringLiteral("device event %1").arg(nEvent));
    if (pCallback)
        pCallback(nEvent);
}

int AdbDevice::Open(QString &strMessage)
{
    QMutexLocker locker(&m_mutex);
    return OpenLocked(strMessage);
}

namespace
{
QString NameOf(const AdbParsers::Device &device)
{
    return device.strModel.isEmpty() ? device.strSerial
                                     : QStringLiteral("%1 (%2)").arg(device.strSerial, device.strModel);
}

// Why a phone cannot be used, and what the user can do about it.
QString UnusableReason(const AdbParsers::Device &device)
{
    const QString strUsability = device.Usability();
    if (strUsability == QLatin1String("unauthorized"))
        return QStringLiteral("%1: the phone %2 is unauthorized.").arg(QLatin1String(kNotAllowedMessage), device.strSerial);
    if (strUsability == QLatin1String("offline") && device.Connection() == QLatin1String("wifi"))
        return QStringLiteral("The phone %1 is offline: check that its wireless debugging is still on, then connect "
                              "again.").arg(device.strSerial);
    if (strUsability == QLatin1String("offline"))
        return QStringLiteral("The phone %1 is offline: unplug it and plug it in again, then unlock it.").arg(device.strSerial);
    if (strUsability == QLatin1String("no-permissions"))
        return QStringLiteral("The phone %1 is on USB, but this user may not open it (%2). Install the package "
                              "android-sdk-platform-tools-common (udev rules for phones), add yourself to the group "
                              "plugdev (sudo usermod -aG plugdev $USER, then log in again), and plug the phone in again.")
            .arg(device.strSerial, device.strState + (device.strDetail.isEmpty() ? QString() : QLatin1Char(' ') + device.strDetail));
    return QStringLiteral("The phone %1 is not ready yet (%2); if it asks, allow USB debugging on it.")
        .arg(device.strSerial, device.strState);
}
} // namespace

int AdbDevice::ChoosePhone(const QList<AdbParsers::Device> &listDevices, const QString &strWanted,
                           AdbParsers::Device &chosen, QString &strMessage)
{
    QList<AdbParsers::Device> listCandidates;
    QList<AdbParsers::Device> listReady;
    for (const AdbParsers::Device &device : listDevices) {
        if (strWanted.isEmpty() || device.strSerial == strWanted) {
            listCandidates.append(device);
            if (device.IsReady())
                listReady.append(device);
        }
    }
    if (listCandidates.isEmpty()) {
        strMessage = strWanted.isEmpty()
                ? QStringLiteral("No phone found. Connect the phone with a USB cable and enable USB debugging "
                                 "in its developer options.")
                : QStringLiteral("No phone with the serial %1 is connected.").arg(strWanted);
        return DVSK_DEV_ERR_NO_PHONE;
    }
    // The one phone that can be used is taken, whatever else is connected.
    if (listReady.size() == 1) {
        chosen = listReady.first();
        return 0;
    }
    if (listReady.size() > 1) {
        QStringList listNames;
        for (const AdbParsers::Device &device : listReady)
            listNames << NameOf(device);
        strMessage = QStringLiteral("Several phones are connected: %1. Choose one with adb:SERIAL.")
                         .arg(listNames.join(QStringLiteral(", ")));
        return DVSK_DEV_ERR_NO_PHONE;
    }
    QStringList listReasons;
    for (const AdbParsers::Device &device : listCandidates)
        listReasons << UnusableReason(device);
    strMessage = listReasons.join(QLatin1Char(' '));
    return DVSK_DEV_ERR_NO_PHONE;
}

int AdbDevice::OpenLocked(QString &strMessage)
{
    if (m_bOpen)
        return 0;
    QString strError;
    QList<AdbParsers::Device> listDevices;
    if (const int nResult = m_server.Devices(listDevices, &strError)) {
        strMessage = nResult == DVSK_DEV_ERR_NO_SERVER
                ? QStringLiteral("No adb server: %1").arg(strError)
                : QStringLiteral("The adb server did not list the phones: %1").arg(strError);
        return nResult;
    }
    AdbParsers::Device chosen;
    if (const int nResult = ChoosePhone(listDevices, m_strWanted, chosen, strMessage))
        return nResult;
    QByteArray baProperties;
    if (!m_server.Shell(chosen.strSerial, QStringLiteral("getprop"), baProperties, &strError)) {
        strMessage = QStringLiteral("The phone %1 did not answer: %2").arg(chosen.strSerial, strError);
        return DVSK_DEV_ERR_NO_PHONE;
    }
    m_hashProperties = AdbParsers::Properties(baProperties);
    // Asked once: phones before Android 10 list folders only with 32-bit sizes.
    QByteArray baFeatures;
    if (m_server.Query("host-serial:" + chosen.strSerial.toUtf8() + ":features", baFeatures, &strError)) {
        m_listFeatures = AdbParsers::Features(baFeatures);
        m_bListV2 = m_listFeatures.contains(QStringLiteral("ls_v2"));
        m_bShellV2 = m_listFeatures.contains(QStringLiteral("shell_v2"));
    } else {
        Log(QStringLiteral("the features of %1 are unknown (%2); folders are listed with LIST").arg(chosen.strSerial, strError));
    }
    m_strSerial = chosen.strSerial;
    m_bOpen = true;
    m_pTracker = std::make_unique<AdbTracker>(m_server.Port(), m_strSerial, [this](int nEvent) { RaiseEvent(nEvent); });
    m_pTracker->Start(true);
    Log(QStringLiteral("serving %1 (%2, %3)")
            .arg(m_strSerial, m_hashProperties.value(QStringLiteral("ro.product.model")),
                 m_hashProperties.value(QStringLiteral("ro.build.display.id"))));
    return 0;
}

int AdbDevice::EnsureOpen()
{
    if (m_bStalled.load())
        return DVSK_DEV_ERR_DISCONNECTED;
    QString strMessage;
    QMutexLocker locker(&m_mutex);
    const int nResult = OpenLocked(strMessage);
    if (nResult != 0)
        Log(strMessage);
    return nResult;
}

QString AdbDevice::DeviceInfo()
{
    if (EnsureOpen() != 0)
        return QString();
    QMutexLocker locker(&m_mutex);
    QString strName = m_hashProperties.value(QStringLiteral("ro.product.model"));
    if (strName.isEmpty())
        strName = m_strSerial;
    // The IMEI needs privileges the shell does not have; the serial number
    // names the phone instead.
    QString strSerial = m_hashProperties.value(QStringLiteral("ro.serialno"));
    if (strSerial.isEmpty())
        strSerial = m_strSerial;
    return strName + QLatin1Char('\n') + m_hashProperties.value(QStringLiteral("ro.build.display.id"))
            + QLatin1Char('\n') + strSerial;
}

QString AdbDevice::Identity()
{
    QMutexLocker locker(&m_mutex);
    if (!m_bOpen)
        return QString();
    auto property = [this](const char *szKey) { return m_hashProperties.value(QLatin1String(szKey)); };
    QString strSerial = property("ro.serialno");
    // Without ro.serialno a USB phone's transport serial is its own; that of
    // a phone on Wi-Fi (IP:PORT) changes and names nothing.
    AdbParsers::Device transport;
    transport.strSerial = m_strSerial;
    if (strSerial.isEmpty() && transport.Connection() == QLatin1String("usb"))
        strSerial = m_strSerial;
    return DeviceBackend::IdentityText(strSerial, property("ro.product.manufacturer"), property("ro.product.model"),
                                       property("ro.build.version.release"), QStringLiteral("adb"));
}

void AdbDevice::Close()
{
    // Connections to this phone fetching ahead end with it.
    m_pPrefetcher->Abort();
    std::unique_ptr<AdbTracker> pTracker;
    {
        QMutexLocker locker(&m_mutex);
        pTracker = std::move(m_pTracker);
        m_bOpen = false;
    }
    if (pTracker)
        pTracker->Stop();
    QMutexLocker syncLocker(&m_syncMutex);
    DropSyncLocked();
}

bool AdbDevice::IsAttached()
{
    if (m_bStalled.load())
        return false;
    {
        QMutexLocker locker(&m_mutex);
        if (m_bOpen)
            return m_pTracker && m_pTracker->IsPresent();
    }
    return EnsureOpen() == 0;
}

bool AdbDevice::IsCancelled(quint64 nGeneration) const
{
    return m_bCancel.load() || m_nGeneration.load() != nGeneration;
}

int AdbDevice::Connect()
{
    return EnsureOpen();
}

QString AdbDevice::Serial()
{
    QMutexLocker locker(&m_mutex);
    return m_strSerial;
}

QString AdbDevice::Property(const QString &strKey)
{
    QMutexLocker locker(&m_mutex);
    return m_hashProperties.value(strKey);
}

bool AdbDevice::HasFeature(const QString &strFeature)
{
    QMutexLocker locker(&m_mutex);
    return m_listFeatures.contains(strFeature);
}

int AdbDevice::BrokenCode()
{
    if (m_bCancel.load())
        return DVSK_DEV_ERR_CANCELLED;
    const int nGone = GoneCode();
    return nGone ? nGone : DVSK_DEV_ERR_CANCELLED;
}

AdbRestore &AdbDevice::Restore()
{
    QMutexLocker locker(&m_restoreMutex);
    if (!m_pRestore)
        m_pRestore = std::make_unique<AdbRestore>(*this);
    return *m_pRestore;
}

int AdbDevice::GoneCode()
{
    if (m_bStalled.load())
        return MarkGone();
    QString strSerial;
    {
        QMutexLocker locker(&m_mutex);
        strSerial = m_strSerial;
    }
    // Ask the server directly: its device tracking may not have told us yet.
    QByteArray baDevices;
    if (!m_server.Query("host:devices", baDevices, nullptr))
        return DVSK_DEV_ERR_DISCONNECTED;
    for (const AdbParsers::Device &device : AdbParsers::Devices(baDevices)) {
        if (device.strSerial == strSerial && device.strState == QLatin1String("device"))
            return 0;
    }
    return MarkGone();
}

int AdbDevice::MarkGone()
{
    // The engine learns of the unplug before this copy's failure reaches it,
    // not a second later from the tracker.
    AdbTracker *pTracker = nullptr;
    {
        QMutexLocker locker(&m_mutex);
        pTracker = m_pTracker.get();
    }
    if (pTracker)
        pTracker->MarkGone();
    return DVSK_DEV_ERR_DISCONNECTED;
}

std::unique_ptr<AdbSync> AdbDevice::OpenSync(QString *pError)
{
    QString strSerial;
    bool bListV2 = false;
    {
        QMutexLocker stateLocker(&m_mutex);
        strSerial = m_strSerial;
        bListV2 = m_bListV2;
    }
    std::unique_ptr<AdbSocket> pSocket = m_server.OpenService(strSerial, "sync:", pError);
    if (!pSocket)
        return nullptr;
    return std::make_unique<AdbSync>(std::move(pSocket), bListV2);
}

AdbSync *AdbDevice::SyncLocked(QString *pError)
{
    std::unique_ptr<AdbSync> pOld;
    {
        QMutexLocker locker(&m_abortMutex);
        if (m_pSync && m_pSync->IsUsable())
            return m_pSync.get();
        pOld = std::move(m_pSync);
    }
    if (pOld)
        pOld->Quit();
    pOld.reset();
    m_strPending.clear();
    // Opened without m_abortMutex held: a cancel must not wait for a phone
    // that does not answer (AbortOpen() ends this wait).
    std::unique_ptr<AdbSync> pSync = OpenSync(pError);
    if (!pSync)
        return nullptr;
    // Only the thread holding m_syncMutex replaces m_pSync, so the pointer
    // stays valid for it; other threads may abort it meanwhile.
    QMutexLocker locker(&m_abortMutex);
    m_pSync = std::move(pSync);
    return m_pSync.get();
}

void AdbDevice::DropSyncLocked()
{
    QMutexLocker locker(&m_abortMutex);
    if (m_pSync)
        m_pSync->Abort();
    m_pSync.reset();
    m_strPending.clear();
}

AdbSync::Result AdbDevice::WithSync(const std::function<AdbSync::Result(AdbSync &)> &fnRequest, QString *pError)
{
    QMutexLocker syncLocker(&m_syncMutex);
    if (m_bCancel.load())
        return AdbSync::Result::Broken;
    // An answer sent ahead would come before this one.
    if (!m_strPending.isEmpty())
        DropSyncLocked();
    AdbSync *pSync = SyncLocked(pError);
    if (!pSync)
        return AdbSync::Result::Broken;
    return fnRequest(*pSync);
}

void AdbDevice::PlanCopies(AdbPhoneFiles files, const AdbPrefetcher::Requests &hashRequests)
{
    QMutexLocker syncLocker(&m_syncMutex);
    m_pPrefetcher->Plan(std::move(files), hashRequests);
}

AdbPrefetcher::Outcome AdbDevice::TakeFetched(const QString &strRemote, const QString &strLocal,
                                              AdbSync::Result *pResult, QString *pError)
{
    QByteArray baData;
    const AdbPrefetcher::Outcome outcome = m_pPrefetcher->Take(strRemote, &baData, pError);
    if (outcome == AdbPrefetcher::Outcome::Refused) {
        *pResult = AdbSync::Result::RemoteFailed;
    } else if (outcome == AdbPrefetcher::Outcome::Data) {
        *pResult = AdbSync::Result::Ok;
        if (!AdbPartFile::WriteWhole(strLocal, baData)) {
            *pResult = AdbSync::Result::LocalFailed;
            if (pError)
                *pError = QStringLiteral("cannot write %1").arg(strLocal);
        }
    }
    return outcome;
}

AdbSync::Result AdbDevice::Pull(const QString &strRemote, const QByteArray &baRequest, const QString &strLocal,
                                QString *pError, const std::function<void(qint64)> &fnProgress)
{
    QMutexLocker syncLocker(&m_syncMutex);
    if (m_bCancel.load())
        return AdbSync::Result::Broken;
    // The engine asked for another file than the one requested ahead.
    if (!m_strPending.isEmpty() && m_strPending != strRemote)
        DropSyncLocked();
    AdbSync *pSync = SyncLocked(pError);
    if (!pSync)
        return AdbSync::Result::Broken;
    if (m_strPending != strRemote && !pSync->SendRecv(baRequest)) {
        m_strPending.clear();
        return AdbSync::Result::Broken;
    }
    m_strPending.clear();
    QString strNext;
    QByteArray baNext;
    // A path too long for a request is read through the shell.
    if (m_pPrefetcher->CallerNext(strRemote, &strNext, &baNext) && pSync->SendRecv(baNext))
        m_strPending = strNext;
    const AdbSync::Result result = pSync->ReadRecv(strLocal, pError, fnProgress);
    // A refused file ends the phone's sync service, a broken connection
    // everything: the request sent ahead is lost with them.
    if (result == AdbSync::Result::RemoteFailed || result == AdbSync::Result::Broken)
        m_strPending.clear();
    return result;
}

AdbRecordShell AdbDevice::ShellFor(quint64 nGeneration)
{
    return AdbRecordShell(m_server, Serial(), m_bShellV2, [this, nGeneration]() { return IsCancelled(nGeneration); },
                          [this]() { return BrokenCode(); });
}

AdbLongPaths AdbDevice::LongPaths()
{
    return AdbLongPaths(m_server, Serial(), m_bShellV2);
}

AdbSync::Result AdbDevice::PullByShell(const QByteArray &baPath, qint64 nListedSize, const QString &strLocal,
                                       QString *pError, const std::function<void(qint64)> &fnProgress)
{
    const quint64 nGeneration = m_nGeneration.load();
    AdbPartFile target(strLocal);
    qint64 nCopied = 0;
    AdbSync::Result result = LongPaths().Read(baPath, nListedSize, [&](const char *pData, qint64 nLength) {
        if (!target.Write(pData, nLength))
            return false;
        nCopied += nLength;
        if (fnProgress)
            fnProgress(nCopied);
        return true;
    }, pError, [this, nGeneration]() { return IsCancelled(nGeneration); });
    if (result == AdbSync::Result::Ok && !target.Commit())
        result = AdbSync::Result::LocalFailed;
    if (result == AdbSync::Result::LocalFailed)
        *pError = QStringLiteral("cannot write %1").arg(strLocal);
    return result;
}

void AdbDevice::AbortSync()
{
    m_pPrefetcher->Abort();
    QMutexLocker locker(&m_abortMutex);
    if (m_pSync)
        m_pSync->Abort();
}

int AdbDevice::Shell(const QString &strCommand, QByteArray &baOutput)
{
    QString strSerial;
    {
        QMutexLocker locker(&m_mutex);
        strSerial = m_strSerial;
    }
    QString strError;
    if (!m_server.Shell(strSerial, strCommand, baOutput, &strError)) {
        Log(QStringLiteral("\"%1\" failed: %2").arg(strCommand, strError));
        return BrokenCode();
    }
    return 0;
}

int AdbDevice::StorageVolumes(QStringList &listRoots)
{
    listRoots = QStringList {QLatin1String(kSharedStorage)};
    QList<AdbSync::Entry> listEntries;
    QString strError;
    bool bOpened = false;
    const AdbSync::Result result = WithSync(
            [&](AdbSync &sync) { return sync.List(QStringLiteral("/storage/"), listEntries, &strError, &bOpened); },
            &strError);
    if (result == AdbSync::Result::Broken)
        return BrokenCode();
    if (result != AdbSync::Result::Ok || !bOpened) {
        Log(QStringLiteral("cannot list /storage (%1): only the shared storage is walked").arg(strError));
        return 0;
    }
    QStringList listVolumes;
    for (const AdbSync::Entry &entry : qAsConst(listEntries)) {
        // "emulated" and "self" lead to the shared storage again; links
        // (older phones' "sdcard0") are not followed.
        if (entry.IsDirectory() && entry.strName != QLatin1String("emulated") && entry.strName != QLatin1String("self"))
            listVolumes << QStringLiteral("/storage/") + entry.strName;
    }
    listVolumes.sort();
    listRoots += listVolumes;
    if (listRoots.size() < 2)
        return 0;
    // One storage may be seen at two places (older phones' /storage/sdcard0).
    QByteArray baIdentities;
    if (const int nResult = Shell(QString::fromUtf8(AdbVolumes::IdentityCommand(listRoots)), baIdentities))
        return nResult;
    QStringList listRepeats;
    listRoots = AdbVolumes::Distinct(listRoots, baIdentities, &listRepeats);
    for (const QString &strRepeat : qAsConst(listRepeats))
        Log(QStringLiteral("not walked twice: %1").arg(strRepeat));
    return 0;
}

QList<AdbDevice::WalkFolder> AdbDevice::TakeBatch(QList<WalkFolder> &listPending)
{
    // A trailing "/" is added to every folder's request.
    auto fits = [](const WalkFolder &folder) {
        return PhoneBytes(folder.strPath, folder.baRaw).size() < AdbSync::kMaxPath;
    };
    // Folders too long for a sync request go together to the shell.
    const bool bFits = fits(listPending.first());
    int nTaken = 1;
    while (nTaken < listPending.size() && nTaken < kListsInFlight && fits(listPending.at(nTaken)) == bFits)
        ++nTaken;
    const QList<WalkFolder> listBatch = listPending.mid(0, nTaken);
    listPending.remove(0, nTaken);
    return listBatch;
}

AdbSync::Result AdbDevice::ListFolders(const QList<WalkFolder> &listBatch, QList<WalkListing> &listAnswers,
                                       int *pnAnswered, QString *pError)
{
    const WalkFolder &first = listBatch.first();
    if (PhoneBytes(first.strPath, first.baRaw).size() >= AdbSync::kMaxPath) {
        // Too long for a sync request, not for the phone: its shell lists them.
        const AdbSync::Result result = ListByShell(listBatch, listAnswers, pError);
        if (result == AdbSync::Result::Ok)
            *pnAnswered = int(listBatch.size());
        return result;
    }
    return WithSync([&](AdbSync &sync) { return ListBatch(sync, listBatch, listAnswers, pnAnswered, pError); },
                    pError);
}

AdbSync::Result AdbDevice::ListBatch(AdbSync &sync, const QList<WalkFolder> &listBatch,
                                     QList<WalkListing> &listAnswers, int *pnAnswered, QString *pError)
{
    int nSent = 0;
    // A trailing "/" follows /sdcard, which is a link on most phones.
    while (nSent < listBatch.size() && sync.SendList(PhoneBytes(listBatch.at(nSent).strPath, listBatch.at(nSent).baRaw) + '/'))
        ++nSent;
    for (int i = 0; i < nSent; ++i) {
        const AdbSync::Result result = sync.ReadList(listAnswers[i].listEntries, pError, &listAnswers[i].bOpened);
        if (result != AdbSync::Result::Ok)
            return result;
        ++*pnAnswered;
    }
    return nSent == listBatch.size() ? AdbSync::Result::Ok : AdbSync::Result::Broken;
}

AdbSync::Result AdbDevice::ListByShell(const QList<WalkFolder> &listBatch, QList<WalkListing> &listAnswers,
                                       QString *pError)
{
    const quint64 nGeneration = m_nGeneration.load();
    QList<QByteArray> listFolders;
    for (const WalkFolder &folder : listBatch)
        listFolders << PhoneBytes(folder.strPath, folder.baRaw);
    QList<AdbShellFiles::Listing> listListings;
    QStringList listErrors;
    const AdbSync::Result result = LongPaths().ListSeveral(listFolders, listListings, &listErrors,
                                                           [this, nGeneration]() { return IsCancelled(nGeneration); });
    for (qsizetype i = 0; i < listListings.size(); ++i) {
        listAnswers[i].listEntries = listListings.at(i).listEntries;
        listAnswers[i].bOpened = listListings.at(i).bOpened;
        listAnswers[i].bComplete = listListings.at(i).bComplete;
    }
    *pError = listErrors.join(QStringLiteral("; "));
    return result;
}

void AdbDevice::NameEntries(QList<AdbSync::Entry> &listEntries)
{
    // Bytes that are not UTF-8 read as U+FFFD, which could make a name equal
    // to a real one (or to another such name): such a name gets a number, so
    // that every file keeps a path of its own.
    QSet<QString> setTaken;
    QList<int> listUnclear;
    for (int i = 0; i < listEntries.size(); ++i) {
        const AdbSync::Entry &entry = listEntries.at(i);
        if (entry.baName.isEmpty())
            setTaken.insert(entry.strName);
        else
            listUnclear.append(i);
    }
    for (int i : qAsConst(listUnclear)) {
        AdbSync::Entry &entry = listEntries[i];
        const QString strSuffix = QFileInfo(entry.strName).suffix();
        const QString strDotSuffix = strSuffix.isEmpty() ? QString() : QLatin1Char('.') + strSuffix;
        const QString strBase = entry.strName.left(entry.strName.size() - strDotSuffix.size());
        QString strName = entry.strName;
        for (int n = 2; setTaken.contains(strName); ++n)
            strName = QStringLiteral("%1 (%2)%3").arg(strBase).arg(n).arg(strDotSuffix);
        entry.strName = strName;
        setTaken.insert(strName);
    }
}

void AdbDevice::AddWalked(const WalkFolder &folder, const QList<AdbSync::Entry> &listEntries, const QString &strRoot,
                          QList<WalkFolder> &listPending, AdbPhoneFiles *pLists, UnusualPaths &hashUnusual)
{
    for (const AdbSync::Entry &entry : listEntries) {
        const QString strPath = folder.strPath % QLatin1Char('/') % entry.strName; // kept: no spare capacity
        // Bytes are kept only for a path that is not its text's UTF-8.
        const QByteArray baRaw = folder.baRaw.isEmpty() && entry.baName.isEmpty()
                ? QByteArray()
                : QByteArray(PhoneBytes(folder.strPath, folder.baRaw) % '/' % entry.Bytes());
        // Links are not followed (they could lead out of the storage or round
        // in a circle), so the walk ends without a depth limit.
        if (entry.IsDirectory()) {
            if (!IsSkippedFolder(strPath, strRoot))
                listPending.append({strPath, baRaw});
            continue;
        }
        if (!entry.IsRegularFile())
            continue;
        const int nType = MediaKinds::TypeOfSuffix(QFileInfo(entry.strName).suffix());
        if (nType < 16 || nType > 18)
            continue;
        pLists[nType - 16].Add(strPath, entry.nSize, entry.nMtime);
        // At most three bytes of UTF-8 per UTF-16 unit.
        if (!baRaw.isEmpty() || (3 * strPath.size() > AdbSync::kMaxPath && strPath.toUtf8().size() > AdbSync::kMaxPath))
            hashUnusual.insert(strPath, {baRaw, entry.nSize, false});
    }
}

void AdbDevice::AddUnreadable(const WalkFolder &folder, AdbPhoneFiles *pLists, UnusualPaths &hashUnusual)
{
    // Named with the files that failed, and the kinds it could hold are incomplete.
    for (int i = 0; i < 3; ++i)
        pLists[i].Add(folder.strPath, 0, 0);
    hashUnusual.insert(folder.strPath, {folder.baRaw, 0, true});
}

int AdbDevice::WalkVolume(const QString &strRoot, AdbPhoneFiles (&lists)[3], UnusualPaths &hashUnusual,
                          bool *pbReadable)
{
    const quint64 nGeneration = m_nGeneration.load();
    *pbReadable = true;
    QList<WalkFolder> listPending {{strRoot, QByteArray()}};
    while (!listPending.isEmpty()) {
        // Several folders are listed at once; the phone answers in order.
        const QList<WalkFolder> listBatch = TakeBatch(listPending);
        QList<WalkListing> listAnswers(listBatch.size());
        int nAnswered = 0;
        QString strError;
        const AdbSync::Result result = ListFolders(listBatch, listAnswers, &nAnswered, &strError);
        if (IsCancelled(nGeneration))
            return DVSK_DEV_ERR_CANCELLED;
        if (result == AdbSync::Result::Broken)
            return BrokenCode();
        // The volume's own folder is listed alone, first.
        if (listBatch.first().strPath == strRoot && (nAnswered == 0 || !listAnswers.first().bOpened)) {
            *pbReadable = false;
            Log(QStringLiteral("the storage volume %1 cannot be read: %2").arg(strRoot, strError));
            return 0;
        }
        for (int i = 0; i < nAnswered; ++i) {
            if (!listAnswers.at(i).bOpened) {
                Log(QStringLiteral("the phone would not open %1 %2").arg(listBatch.at(i).strPath, strError).trimmed());
                AddUnreadable(listBatch.at(i), lists, hashUnusual);
                continue;
            }
            if (!listAnswers.at(i).bComplete) {
                // What it listed is walked; the folder is named for the rest.
                Log(QStringLiteral("the phone listed only part of %1 %2").arg(listBatch.at(i).strPath, strError).trimmed());
                AddUnreadable(listBatch.at(i), lists, hashUnusual);
            }
            NameEntries(listAnswers[i].listEntries);
            AddWalked(listBatch.at(i), listAnswers.at(i).listEntries, strRoot, listPending, lists, hashUnusual);
        }
        if (result != AdbSync::Result::Ok) {
            // The phone refused this folder and ended the service: the folder
            // is named, the ones after it are asked again.
            Log(QStringLiteral("cannot list %1: %2").arg(listBatch.at(nAnswered).strPath, strError));
            AddUnreadable(listBatch.at(nAnswered), lists, hashUnusual);
            listPending = listBatch.mid(nAnswered + 1) + listPending;
        }
    }
    return 0;
}

int AdbDevice::WalkMedia(AdbPhoneFiles (&lists)[3], UnusualPaths &hashUnusual)
{
    QStringList listRoots;
    if (const int nResult = StorageVolumes(listRoots))
        return nResult;
    for (const QString &strRoot : qAsConst(listRoots)) {
        bool bReadable = true;
        if (const int nResult = WalkVolume(strRoot, lists, hashUnusual, &bReadable))
            return nResult;
        // Never silently left out: a volume that cannot be read is named.
        if (!bReadable)
            AddUnreadable({strRoot, QByteArray()}, lists, hashUnusual);
    }
    for (AdbPhoneFiles &files : lists)
        files.SortByPath();
    return 0;
}

AdbPrefetcher::Requests AdbDevice::WalkRequests()
{
    QMutexLocker locker(&m_walkMutex);
    AdbPrefetcher::Requests hashRequests;
    for (auto it = m_hashUnusual.cbegin(); it != m_hashUnusual.cend(); ++it) {
        // What cannot be read is never asked for: it fails without a request.
        hashRequests.insert(it.key(), it->bUnreadable ? QByteArray() : PhoneBytes(it.key(), it->baRaw));
    }
    return hashRequests;
}

bool AdbDevice::WalkedFile(const QString &strPhonePath, Unusual *pFile)
{
    QMutexLocker locker(&m_walkMutex);
    const auto it = m_hashUnusual.constFind(strPhonePath);
    if (it == m_hashUnusual.constEnd())
        return false;
    *pFile = it.value();
    return true;
}

int AdbDevice::MediaOfType(int nType, AdbPhoneFiles &files, bool bTake)
{
    QMutexLocker locker(&m_walkMutex);
    if (!m_walkAge.isValid() || m_walkAge.hasExpired(kWalkReuseMs) || m_abWalkTaken[nType - 16]) {
        for (AdbPhoneFiles &walked : m_listWalk)
            walked.Clear();
        AdbPhoneFiles lists[3];
        UnusualPaths hashUnusual;
        if (const int nResult = WalkMedia(lists, hashUnusual))
            return nResult;
        for (int i = 0; i < 3; ++i) {
            m_listWalk[i] = std::move(lists[i]);
            m_abWalkTaken[i] = false;
        }
        m_hashUnusual = hashUnusual;
        m_walkAge.start();
#ifdef __GLIBC__
        // The folder listings of a walk of many thousands of files are gone
        // now; their memory goes back to the system rather than staying with
        // this thread's allocator while other threads copy the files.
        malloc_trim(0);
#endif
    }
    if (!bTake) {
        files = m_listWalk[nType - 16];
        return 0;
    }
    // Handed over, not copied.
    files = std::move(m_listWalk[nType - 16]);
    m_listWalk[nType - 16].Clear();
    m_abWalkTaken[nType - 16] = true;
    return 0;
}

int AdbDevice::ListApps(QList<App> &listApps, bool bLogSplits)
{
    QByteArray baOutput;
    if (const int nResult = Shell(QStringLiteral("pm list packages -3 -f"), baOutput))
        return nResult;
    const quint64 nGeneration = m_nGeneration.load();
    for (const AdbParsers::Package &package : AdbParsers::Packages(baOutput)) {
        App app {package.strName, package.strApkPath, 0, 0};
        AdbSync::Entry entry;
        QString strError;
        const AdbSync::Result result
                = WithSync([&](AdbSync &sync) { return sync.Stat(app.strApkPath, entry, &strError); }, &strError);
        if (IsCancelled(nGeneration))
            return DVSK_DEV_ERR_CANCELLED;
        if (result == AdbSync::Result::Broken)
            return BrokenCode();
        app.nSize = entry.nSize;
        app.nMtime = entry.nMtime;
        if (bLogSplits) {
            QByteArray baPaths;
            if (Shell(QStringLiteral("pm path ") + AdbParsers::ShellQuote(app.strPackage), baPaths) == 0) {
                QStringList listSplits = AdbParsers::PackagePaths(baPaths);
                listSplits.removeAll(app.strApkPath);
                if (!listSplits.isEmpty()) {
                    Log(QStringLiteral("%1 is split into several APKs; only the base APK %2 is backed up, not: %3")
                            .arg(app.strPackage, app.strApkPath, listSplits.join(QStringLiteral(", "))));
                }
            }
        }
        listApps.append(app);
    }
    std::sort(listApps.begin(), listApps.end(),
              [](const App &a, const App &b) { return a.strPackage < b.strPackage; });
    return 0;
}

bool AdbDevice::AppDataAvailable()
{
    // Other applications' data can only be read with a root shell; reading it
    // that way is not done yet, so no phone offers it.
    if (HasRoot())
        Log(QStringLiteral("the phone has a root shell, but application data is not read through adb"));
    return false;
}

bool AdbDevice::HasRoot()
{
    {
        QMutexLocker locker(&m_mutex);
        if (m_nRoot >= 0)
            return m_nRoot == 1;
    }
    QByteArray baOutput;
    const bool bRoot = Shell(QStringLiteral("su -c id"), baOutput) == 0 && baOutput.contains("uid=0(");
    QMutexLocker locker(&m_mutex);
    m_nRoot = bRoot ? 1 : 0;
    return bRoot;
}

int AdbDevice::GetBackUpCount(int nType, int *pCount, int *pSize)
{
    if (!pCount)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    *pCount = 0;
    if (pSize)
        *pSize = 0;
    if (const int nResult = EnsureOpen())
        return nResult;
    if (IsRecordType(nType))
        return RecordsAvailable(nType) ? RecordCount(nType, pCount) : DVSK_DEV_ERR_NOT_AVAILABLE;
    qint64 nBytes = 0;
    if (nType == 9 || nType == 15) {
        if (nType == 15 && !AppDataAvailable())
            return DVSK_DEV_ERR_NOT_AVAILABLE;
        QList<App> listApps;
        if (const int nResult = ListApps(listApps, false))
            return nResult;
        *pCount = int(listApps.size());
        for (const App &app : qAsConst(listApps))
            nBytes += app.nSize;
    } else if (nType >= 16 && nType <= 18) {
        AdbPhoneFiles files;
        if (const int nResult = MediaOfType(nType, files))
            return nResult;
        *pCount = int(files.Size());
        for (qsizetype i = 0; i < files.Size(); ++i)
            nBytes += files.FileSize(i);
    } else {
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    }
    if (pSize)
        *pSize = KiloBytes(nBytes);
    return 0;
}

int AdbDevice::BackUp(int nType, const char *szName, char **ppText)
{
    Q_UNUSED(szName);
    if (!ppText)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    *ppText = nullptr;
    if (const int nResult = EnsureOpen())
        return nResult;
    if (m_bCancel.load())
        return DVSK_DEV_ERR_CANCELLED;
    if ((IsRecordType(nType) && !RecordsAvailable(nType)) || (nType == 15 && !AppDataAvailable())) {
        Log(QStringLiteral("data type %1 is not available on this phone").arg(nType));
        return DVSK_DEV_ERR_NOT_AVAILABLE;
    }
    if (IsRecordType(nType))
        return BackUpRecords(nType, ppText);
    // name, size, modification time (when the phone gave one), phone path
    FileListText text;
    if (nType == 9) {
        QList<App> listApps;
        if (const int nResult = ListApps(listApps, true))
            return nResult;
        ReportProgress(nType, 0, listApps.size());
        AdbPhoneFiles files;
        for (const App &app : qAsConst(listApps)) {
            text.AddUtf8(app.strPackage.toUtf8(), app.nSize, app.nMtime, app.strApkPath.toUtf8());
            files.Add(app.strApkPath, app.nSize, app.nMtime);
        }
        // The engine copies applications in the order of their names.
        PlanCopies(std::move(files));
    } else if (nType >= 16 && nType <= 18) {
        AdbPhoneFiles files;
        if (const int nResult = MediaOfType(nType, files, true))
            return nResult;
        ReportProgress(nType, 0, files.Size());
        for (qsizetype i = 0; i < files.Size(); ++i)
            text.AddUtf8(files.NameBytes(i), files.FileSize(i), files.Mtime(i), files.PathBytes(i));
        // The engine copies media in the order of their phone paths.
        PlanCopies(std::move(files), WalkRequests());
    } else {
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    }
    ReportProgress(nType, text.Lines(), text.Lines());
    *ppText = MallocText(text.Text());
    return *ppText ? 0 : DVSK_DEV_ERR_LOCAL_FILE;
}

int AdbDevice::GetFile(const char *szLocalPath, const char *szRemotePath, int nMode)
{
    if (!szLocalPath || !szRemotePath || !*szLocalPath || !*szRemotePath || nMode != 2)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    if (const int nResult = EnsureOpen())
        return nResult;
    if (m_bCancel.load())
        return DVSK_DEV_ERR_CANCELLED;
    const QString strRemote = QString::fromUtf8(szRemotePath);
    const QString strLocal = QString::fromUtf8(szLocalPath);
    QString strResult;
    if (ResultFile(strRemote, &strResult)) {
        // A record file this SDK wrote: copied whole or not at all.
        const QString strPart = strLocal + QStringLiteral(".part");
        QFile::remove(strPart);
        if (!QFile::copy(strResult, strPart)) {
            Log(QStringLiteral("cannot write %1").arg(strLocal));
            return DVSK_DEV_ERR_LOCAL_FILE;
        }
        QFile::remove(strLocal);
        if (!QFile::rename(strPart, strLocal)) {
            QFile::remove(strPart);
            Log(QStringLiteral("cannot write %1").arg(strLocal));
            return DVSK_DEV_ERR_LOCAL_FILE;
        }
        return 0;
    }
    Unusual walked;
    const bool bWalked = WalkedFile(strRemote, &walked);
    if (bWalked && walked.bUnreadable) {
        Log(QStringLiteral("nothing copied from %1: the phone would not list it").arg(strRemote));
        return DVSK_DEV_ERR_PHONE_IO;
    }
    const QByteArray baRequest = PhoneBytes(strRemote, walked.baRaw);
    // A path too long for a sync request is read through the shell.
    const bool bLong = bWalked && baRequest.size() > AdbSync::kMaxPath;
    const quint64 nGeneration = m_nGeneration.load();
    QString strError;
    AdbSync::Result result = AdbSync::Result::Broken;
    if (TakeFetched(strRemote, strLocal, &result, &strError) == AdbPrefetcher::Outcome::NotHere) {
        result = bLong ? PullByShell(baRequest, walked.nSize, strLocal, &strError, FileProgressReporter(szRemotePath))
                       : Pull(strRemote, baRequest, strLocal, &strError, FileProgressReporter(szRemotePath));
    }
    switch (result) {
    case AdbSync::Result::Ok:
        return IsCancelled(nGeneration) ? DVSK_DEV_ERR_CANCELLED : 0;
    case AdbSync::Result::RemoteFailed:
        Log(QStringLiteral("the phone refused %1: %2").arg(strRemote, strError));
        if (strError.contains(QLatin1String("No such file")))
            return DVSK_ERR_FILE_NOT_EXIST;
        return DVSK_DEV_ERR_PHONE_IO;
    case AdbSync::Result::LocalFailed:
        Log(strError);
        return DVSK_DEV_ERR_LOCAL_FILE;
    case AdbSync::Result::Broken:
        break;
    }
    if (IsCancelled(nGeneration))
        return DVSK_DEV_ERR_CANCELLED;
    const int nCode = BrokenCode();
    Log(QStringLiteral("copying %1 ended: %2").arg(strRemote, strError));
    return nCode;
}

int AdbDevice::MemInfo(DVSK_MemInfo **ppList)
{
    if (!ppList)
        return -1;
    *ppList = nullptr;
    if (EnsureOpen() != 0)
        return -1;
    QByteArray baOutput;
    if (Shell(QStringLiteral("df -k /data ") + QLatin1String(kSharedStorage) + QLatin1Char('/'), baOutput) != 0)
        return -1;
    const QList<AdbParsers::DiskUsage> listUsage = AdbParsers::DiskUsages(baOutput);
    if (listUsage.isEmpty()) {
        Log(QStringLiteral("df gave no sizes: %1").arg(QString::fromUtf8(baOutput).trimmed()));
        return -1;
    }
    // Kind 1 is the data partition, kind 2 the shared storage; a phone whose
    // shared storage lives on the data partition shows one line for both.
    DVSK_MemInfo *pList = static_cast<DVSK_MemInfo *>(calloc(2, sizeof(DVSK_MemInfo)));
    if (!pList)
        return -1;
    for (int i = 0; i < 2; ++i) {
        const AdbParsers::DiskUsage &usage = listUsage.at(qMin<qsizetype>(i, listUsage.size() - 1));
        pList[i].nType = i + 1;
        pList[i].nTotal = usage.nBlocksKiB;
        // Free is what the phone offers, not total minus used: reserved blocks
        // are neither.
        pList[i].nUsed = qMax<qint64>(0, usage.nBlocksKiB - usage.nAvailableKiB);
        pList[i].nUnit = 1024;
    }
    *ppList = pList;
    return 2;
}

int AdbDevice::RecordCount(int nType, int *pCount)
{
    AdbRecordShell shell = ShellFor(m_nGeneration.load());
    const ProviderResult result = RecordExporter::Create(nType, shell)->Count(pCount);
    switch (result.eKind) {
    case ProviderResult::Ok:
        return 0;
    case ProviderResult::NotAvailable:
        Log(QStringLiteral("data type %1 is not available on this phone: %2").arg(nType).arg(result.strReason));
        return DVSK_DEV_ERR_NOT_AVAILABLE;
    case ProviderResult::Cancelled:
        return DVSK_DEV_ERR_CANCELLED;
    case ProviderResult::Failed:
        if (!result.strReason.isEmpty())
            Log(QStringLiteral("data type %1 could not be counted: %2").arg(nType).arg(result.strReason));
        break;
    }
    return result.nCode ? result.nCode : DVSK_DEV_ERR_PHONE_IO;
}

int AdbDevice::BackUpRecords(int nType, char **ppText)
{
    const quint64 nGeneration = m_nGeneration.load();
    const QString strName = RecordExporter::FileName(nType);
    QString strLocal;
    {
        QMutexLocker locker(&m_resultMutex);
        if (!m_pResultDir || !m_pResultDir->isValid())
            m_pResultDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/dvsk-adb-XXXXXX"));
        if (!m_pResultDir->isValid()) {
            Log(QStringLiteral("no folder for record files: %1").arg(m_pResultDir->errorString()));
            return DVSK_DEV_ERR_LOCAL_FILE;
        }
        strLocal = m_pResultDir->filePath(strName);
        m_hashResults.remove(QLatin1String(kRecordResultFolder) + strName);
    }
    QFile file(strLocal);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Log(QStringLiteral("cannot write %1: %2").arg(strLocal, file.errorString()));
        return DVSK_DEV_ERR_LOCAL_FILE;
    }
    AdbRecordShell shell = ShellFor(nGeneration);
    int nWritten = 0;
    const ProviderResult result = RecordExporter::Create(nType, shell)->Export(&file,
        [this, nType](int nDone, int nAll) { ReportProgress(nType, nDone, nAll); }, &nWritten);
    file.close();
    if (result.eKind == ProviderResult::Ok && file.error() != QFileDevice::NoError) {
        Log(QStringLiteral("cannot write %1: %2").arg(strLocal, file.errorString()));
        QFile::remove(strLocal);
        return DVSK_DEV_ERR_LOCAL_FILE;
    }
    switch (result.eKind) {
    case ProviderResult::Ok:
        break;
    case ProviderResult::NotAvailable:
        QFile::remove(strLocal);
        Log(QStringLiteral("data type %1 is not available on this phone: %2").arg(nType).arg(result.strReason));
        return DVSK_DEV_ERR_NOT_AVAILABLE;
    case ProviderResult::Cancelled:
        QFile::remove(strLocal);
        return DVSK_DEV_ERR_CANCELLED;
    case ProviderResult::Failed:
        QFile::remove(strLocal);
        if (!result.strReason.isEmpty())
            Log(QStringLiteral("data type %1: %2").arg(nType).arg(result.strReason));
        return result.nCode ? result.nCode : DVSK_DEV_ERR_LOCAL_FILE;
    }
    if (IsCancelled(nGeneration)) {
        QFile::remove(strLocal);
        return DVSK_DEV_ERR_CANCELLED;
    }
    const QByteArray baPhonePath = QByteArray(kRecordResultFolder) + strName.toUtf8();
    {
        QMutexLocker locker(&m_resultMutex);
        m_hashResults.insert(QString::fromUtf8(baPhonePath), strLocal);
    }
    Log(QStringLiteral("%1 records of type %2 written to %3").arg(nWritten).arg(nType).arg(strLocal));
    ReportProgress(nType, -1111, reinterpret_cast<intptr_t>(baPhonePath.constData()));
    *ppText = g_szSuccess;
    return 0;
}

bool AdbDevice::ResultFile(const QString &strPhonePath, QString *pLocalPath)
{
    QMutexLocker locker(&m_resultMutex);
    const auto it = m_hashResults.constFind(strPhonePath);
    if (it == m_hashResults.constEnd())
        return false;
    *pLocalPath = it.value();
    return true;
}

void AdbDevice::SetBackupCancel(unsigned char bCancel)
{
    m_bCancel = bCancel != 0;
    // Closing the connection stops a copy at once; any other request waiting
    // for the phone (a service being opened, a shell command) ends as soon.
    if (bCancel) {
        m_server.AbortOpen();
        AbortSync();
    } else {
        // A new run tries the phone again.
        m_bStalled = false;
    }
}

void AdbDevice::BackupCancel()
{
    ++m_nGeneration;
    m_server.AbortOpen();
    AbortSync();
}

void AdbDevice::OperationCancel(const char *szShellCommand)
{
    // The broadcasts that tell the phone-side backup service to stop have no
    // receiver on a phone reached through adb.
    Log(QStringLiteral("not sent to the phone: %1").arg(szShellCommand ? QString::fromUtf8(szShellCommand) : QString()));
}

void AdbDevice::Reset()
{
    ++m_nGeneration;
    m_server.AbortOpen();
    AbortSync();
    QMutexLocker locker(&m_walkMutex);
    m_walkAge.invalidate();
}
