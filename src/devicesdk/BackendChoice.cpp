#include "BackendChoice.h"

#include "SimDevice.h"
#include "adb/AdbDevice.h"
#include "adb/AdbListWatcher.h"
#include "adb/AdbParsers.h"
#include "adb/AdbServer.h"

namespace
{
const QLatin1String kSim("sim");
const QLatin1String kAdb("adb");
const QLatin1String kAdbPrefix("adb:");

// A field of a list line: tabs and line ends would split it.
QString Field(QString str)
{
    for (QChar &c : str) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return str.trimmed();
}
} // namespace

BackendChoice &BackendChoice::Instance()
{
    static BackendChoice s_choice;
    return s_choice;
}

BackendChoice::~BackendChoice()
{
    QMutexLocker locker(&m_watchMutex);
    if (m_pWatcher)
        m_pWatcher->Stop();
}

int BackendChoice::SelectLocked(const QString &strDevice)
{
    QString strText = strDevice.isEmpty() ? qEnvironmentVariable("DVSK_DEVICE") : strDevice;
    if (strText.isEmpty())
        strText = kAdb;
    // The serial of a phone on Wi-Fi holds ":" itself.
    const bool bAdb = strText == kAdb || (strText.startsWith(kAdbPrefix) && strText.size() > kAdbPrefix.size());
    if (!bAdb && strText != kSim)
        return DVSK_DEV_ERR_BAD_CHOICE;
    if (m_bChosen && strText == m_strChoice)
        return 0;
    DeviceBackend *pOld = m_bChosen ? (m_pAdb ? static_cast<DeviceBackend *>(m_pAdb.get()) : &SimDevice::Instance())
                                    : nullptr;
    if (m_pAdb) {
        m_pAdb->Close();
        m_listRetired.push_back(std::move(m_pAdb));
    }
    if (bAdb)
        m_pAdb = std::make_unique<AdbDevice>(strText.mid(kAdbPrefix.size()), AdbServer::PortFromEnvironment());
    DeviceBackend &now = m_pAdb ? static_cast<DeviceBackend &>(*m_pAdb) : SimDevice::Instance();
    if (pOld)
        now.TakeCallbacksFrom(*pOld);
    m_strChoice = strText;
    m_bChosen = true;
    m_bValid = true;
    return 0;
}

int BackendChoice::Select(const QString &strDevice)
{
    bool bAdb = false;
    {
        QMutexLocker locker(&m_mutex);
        if (const int nResult = SelectLocked(strDevice))
            return nResult;
        bAdb = m_pAdb != nullptr;
    }
    QMutexLocker watchLocker(&m_watchMutex);
    if (m_pListCallback.load())
        ArmWatchLocked(bAdb);
    return 0;
}

DeviceBackend &BackendChoice::Backend()
{
    QMutexLocker locker(&m_mutex);
    // An unusable $DVSK_DEVICE: the default phone, and DVSK_Device_Open
    // reports the mistake.
    if (!m_bChosen && SelectLocked(QString()) != 0) {
        SelectLocked(kAdb);
        m_bValid = false;
    }
    if (m_pAdb)
        return *m_pAdb;
    return SimDevice::Instance();
}

bool BackendChoice::IsAdb()
{
    return ChosenAdb() != nullptr;
}

AdbDevice *BackendChoice::ChosenAdb()
{
    Backend();
    QMutexLocker locker(&m_mutex);
    return m_pAdb.get();
}

QString BackendChoice::Choice()
{
    Backend();
    QMutexLocker locker(&m_mutex);
    return m_strChoice;
}

bool BackendChoice::IsValidChoice()
{
    Backend();
    QMutexLocker locker(&m_mutex);
    return m_bValid;
}

int BackendChoice::List(QString &strText)
{
    strText.clear();
    if (!IsAdb()) {
        const QString strLine = SimDevice::Instance().ListLine();
        if (!strLine.isEmpty())
            strText = strLine + QLatin1Char('\n');
        return 0;
    }
    AdbServer server(AdbServer::PortFromEnvironment());
    QList<AdbParsers::Device> listDevices;
    QString strError;
    if (server.Devices(listDevices, &strError) != 0) {
        strText = strError;
        return DVSK_DEV_ERR_NO_SERVER;
    }
    for (const AdbParsers::Device &device : listDevices) {
        const QString strUsability = device.Usability();
        const QString strDetail = strUsability == QLatin1String("ready")
                ? QString()
                : (device.strState + QLatin1Char(' ') + device.strDetail).trimmed();
        strText += QStringList {Field(device.strSerial), strUsability, device.Connection(), Field(device.strModel),
                                Field(strDetail)}
                           .join(QLatin1Char('\t'))
                   + QLatin1Char('\n');
    }
    return 0;
}

void BackendChoice::NotifyListChanged()
{
    BackendChoice &choice = Instance();
    QMutexLocker locker(&choice.m_dispatchMutex);
    if (const DVSK_DeviceListCallback pCallback = choice.m_pListCallback.load())
        pCallback();
}

void BackendChoice::ArmWatchLocked(bool bAdb)
{
    if (m_pWatcher) {
        m_pWatcher->Stop();
        m_pWatcher.reset();
    }
    SimDevice::Instance().SetListChangedCallback({});
    if (!m_pListCallback.load())
        return;
    if (bAdb) {
        // The watcher reports its first list as soon as it reaches the server.
        m_pWatcher = std::make_unique<AdbListWatcher>(AdbServer::PortFromEnvironment(), &NotifyListChanged);
        m_pWatcher->Start();
    } else {
        SimDevice::Instance().SetListChangedCallback(&NotifyListChanged);
    }
}

void BackendChoice::Watch(DVSK_DeviceListCallback pCallback)
{
    const bool bAdb = IsAdb();
    QMutexLocker locker(&m_watchMutex);
    m_pListCallback = pCallback;
    ArmWatchLocked(bAdb);
    // A callback already running on another thread ends before this returns.
    QMutexLocker dispatchLocker(&m_dispatchMutex);
}

int BackendChoice::ConnectWifi(const QString &strHostPort, QString &strAnswer)
{
    AdbServer server(AdbServer::PortFromEnvironment());
    return server.ConnectWifi(strHostPort, &strAnswer);
}
