#include "host/CommonUtils.h"

#include "LocationFile.h"

#include "host/HostCallLog.h"
#include "sdk/dvsk_device.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QStandardPaths>

#include <cstdlib>
#include <dlfcn.h>

namespace {

// Packages written by this host must read back in the newest layout, which
// needs a host version at or above 32.610.12.
const char *const kDefaultHostVersion = "32.610.20";

QAtomicInt s_nThreadCount;
QAtomicInt s_nCloseFlag;

QMutex &StateMutex()
{
    static QMutex s_mutex;
    return s_mutex;
}

QHash<int, int> &OperationStatus()
{
    static QHash<int, int> s_hashStatus;
    return s_hashStatus;
}

ILayoutPlugin *&LayoutPlugin()
{
    static ILayoutPlugin *s_pLayout = nullptr;
    return s_pLayout;
}

// Serialises read-modify-write sequences on the settings file within this
// process; QSettings itself locks the file against other processes.
QMutex &SettingsMutex()
{
    static QMutex s_mutex;
    return s_mutex;
}

QString EnvPath(const char *szName)
{
    const QString strValue = qEnvironmentVariable(szName);
    return strValue.isEmpty() ? QString() : QDir::cleanPath(strValue);
}

// The folder that holds this library (lib/ of the install folder).
QString LibraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(&CommonUtils::GetPluginLibraryPath), &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
}

QString ReadSetting(const QString &strSection, const QString &strKey)
{
    QSettings settings(CommonUtils::SettingsFilePath(), QSettings::IniFormat);
    settings.beginGroup(strSection);
    return settings.value(strKey).toString();
}

void WriteSetting(const QString &strSection, const QString &strKey, const QString &strValue)
{
    const QString strFile = CommonUtils::SettingsFilePath();
    QDir().mkpath(QFileInfo(strFile).absolutePath());
    QSettings settings(strFile, QSettings::IniFormat);
    settings.beginGroup(strSection);
    settings.setValue(strKey, strValue);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        qWarning().noquote() << "CommonUtils: cannot write the host settings file" << strFile;
}

} // namespace

QString CommonUtils::SettingsFilePath()
{
    const QString strOverride = EnvPath("PELORIX_HOST_SETTINGS");
    if (!strOverride.isEmpty())
        return strOverride;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Pelorix/host.ini");
}

QString CommonUtils::GetSettings(const QString &strSection, const QString &strKey)
{
    QMutexLocker locker(&SettingsMutex());
    QString strValue = ReadSetting(strSection, strKey);
    if (strValue.isEmpty() && strSection == QLatin1String("version") && strKey == QLatin1String("version")) {
        // The host version is always known; it is written on first use so the
        // file shows (and keeps) what the packages were stamped with.
        strValue = QString::fromLatin1(kDefaultHostVersion);
        WriteSetting(strSection, strKey, strValue);
    }
    return strValue;
}

void CommonUtils::SetSettings(const QString &strSection, const QString &strKey, const QString &strValue)
{
    QMutexLocker locker(&SettingsMutex());
    WriteSetting(strSection, strKey, strValue);
    // The folder the user chose is the wizard's default next time.
    if (strSection == QLatin1String("BackUpUIPlugin") && strKey == QLatin1String("BackupPath")
        && !LocationFile::Write(strValue))
        qWarning().noquote() << "host: Location.ini could not be written for" << strValue;
}

QString CommonUtils::GetFilePath()
{
    const QString strOverride = EnvPath("PELORIX_HOST_DOCUMENTS");
    if (!strOverride.isEmpty())
        return QDir::toNativeSeparators(strOverride);
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QString CommonUtils::GetPluginLibraryPath()
{
    const QString strOverride = EnvPath("PELORIX_HOST_ROOT");
    if (!strOverride.isEmpty())
        return QDir::toNativeSeparators(strOverride);
    const QString strLibFolder = LibraryFolder();
    if (strLibFolder.isEmpty())
        return QDir::toNativeSeparators(QDir::currentPath());
    return QDir::toNativeSeparators(QDir::cleanPath(strLibFolder + QStringLiteral("/..")));
}

ILayoutPlugin *CommonUtils::GetLayoutPlugin()
{
    QMutexLocker locker(&StateMutex());
    return LayoutPlugin();
}

void CommonUtils::SetLayoutPlugin(ILayoutPlugin *pLayout)
{
    QMutexLocker locker(&StateMutex());
    LayoutPlugin() = pLayout;
}

void CommonUtils::SendNotify(const QString &strTarget, int nCode, int nValue1, int nValue2)
{
    HostCallLog::Record(QStringLiteral("SendNotify(%1,%2,%3,%4)").arg(strTarget).arg(nCode).arg(nValue1).arg(nValue2));
}

void CommonUtils::ThreadCountInc()
{
    const int nCount = s_nThreadCount.fetchAndAddOrdered(1) + 1;
    HostCallLog::Record(QStringLiteral("ThreadCountInc(%1)").arg(nCount));
}

void CommonUtils::ThreadCountDec()
{
    // Never below zero: an unbalanced decrement is logged and ignored.
    int nCurrent = s_nThreadCount.loadAcquire();
    while (nCurrent > 0 && !s_nThreadCount.testAndSetOrdered(nCurrent, nCurrent - 1))
        nCurrent = s_nThreadCount.loadAcquire();
    if (nCurrent <= 0) {
        qWarning("CommonUtils: ThreadCountDec without a matching ThreadCountInc");
        HostCallLog::Record(QStringLiteral("ThreadCountDec(0)"));
        return;
    }
    HostCallLog::Record(QStringLiteral("ThreadCountDec(%1)").arg(nCurrent - 1));
}

int CommonUtils::ThreadCount()
{
    return s_nThreadCount.loadAcquire();
}

bool CommonUtils::GetCloseFlag()
{
    return s_nCloseFlag.loadAcquire() != 0;
}

void CommonUtils::SetCloseFlag(bool bClosing)
{
    s_nCloseFlag.storeRelease(bClosing ? 1 : 0);
}

QStringList CommonUtils::GetDeviceInfo()
{
    QStringList listInfo;
    if (char *szInfo = DVSK_Device_GetInfo()) {
        listInfo = QString::fromUtf8(szInfo).split(QLatin1Char('\n'));
        free(szInfo);
    }
    // Callers read the name, the firmware version and the IMEI by position;
    // they always get three texts, empty when the phone gave none.
    while (listInfo.size() < 3)
        listInfo.append(QString());
    return listInfo;
}

int CommonUtils::GetOperationStatus(int nOperation)
{
    QMutexLocker locker(&StateMutex());
    return OperationStatus().value(nOperation, 0);
}

void CommonUtils::SetOperationStatus(int nOperation, int nStatus)
{
    QMutexLocker locker(&StateMutex());
    OperationStatus().insert(nOperation, nStatus);
}

void CommonUtils::setListPipeItem(const ListPipeItem &item)
{
    HostCallLog::Record(QStringLiteral("setListPipeItem(%1,%2,%3)").arg(item.nType).arg(item.nId).arg(item.strText));
}

QString CommonUtils::getPhoneTypeAndImei()
{
    const QStringList listInfo = GetDeviceInfo();
    return QStringLiteral("phonetype=%1;imei=%2;").arg(listInfo.value(0), listInfo.value(2));
}

QString CommonUtils::getDatetimeAndVersionString()
{
    return QStringLiteral("time=%1;version=%2;")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
             GetSettings(QStringLiteral("version"), QStringLiteral("version")));
}
