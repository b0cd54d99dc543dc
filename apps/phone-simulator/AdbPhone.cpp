#include "AdbPhone.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>

namespace
{
const uint32_t kDirMode = AdbPhone::kModeDir | 0771;
const uint32_t kFileMode = AdbPhone::kModeFile | 0660;
const uint32_t kApkMode = AdbPhone::kModeFile | 0644;
const uint32_t kSystemDirMode = AdbPhone::kModeDir | 0755;

// Paths that name the shared storage besides /sdcard.
const char *const kSharedStorageAliases[] = {"/storage/emulated/0", "/storage/self/primary", "/mnt/sdcard"};

// Folders every phone has, whether or not the phone folder holds them.
struct VirtualDir
{
    const char *szPath;
    const char *szChildren; // comma-separated
};
const VirtualDir kVirtualDirs[] = {
    {"/", "data,sdcard,storage,system"},
    {"/data", "app,data,local"},
    {"/data/app", ""},
    {"/data/data", ""},
    {"/data/local", "tmp"},
    {"/data/local/tmp", ""},
    {"/sdcard", ""},
    {"/storage", "emulated,self"},
    {"/storage/emulated", "0"},
    {"/storage/self", "primary"},
    {"/system", ""},
};

// Folders the shell user may enter but not list.
const char *const kUnlistable[] = {"/data", "/data/app", "/data/data"};

const VirtualDir *FindVirtualDir(const QString &strPath)
{
    for (const VirtualDir &dir : kVirtualDirs) {
        if (strPath == QLatin1String(dir.szPath))
            return &dir;
    }
    return nullptr;
}

bool IsUnder(const QString &strPath, const QString &strFolder)
{
    return strPath.startsWith(strFolder + QLatin1Char('/'));
}

// The random-looking part of an installed package's folder name; stable per
// package so that paths do not change between runs.
QString PackageToken(const QString &strSalt, const QString &strPackage)
{
    const QByteArray baHash = QCryptographicHash::hash((strSalt + strPackage).toUtf8(), QCryptographicHash::Md5);
    return QString::fromLatin1(baHash.toBase64(QByteArray::Base64UrlEncoding));
}

QString DefaultProductName(const QString &strName)
{
    QString str = strName.toLower();
    for (QChar &c : str) {
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    }
    return str.isEmpty() ? QStringLiteral("phone") : str;
}
} // namespace

bool AdbPhone::Load(const QString &strDir)
{
    *this = AdbPhone();
    if (!m_config.Load(strDir))
        return false;
    QSettings settings(QDir(strDir).filePath(QStringLiteral("phone.ini")), QSettings::IniFormat);
    LoadDevice(settings);
    LoadFaults(settings);
    LoadPackages();
    return true;
}

void AdbPhone::LoadDevice(QSettings &settings)
{
    settings.beginGroup(QStringLiteral("device"));
    const QString strName = m_config.DeviceName().isEmpty() ? QStringLiteral("Phone") : m_config.DeviceName();
    const QString strProduct = settings.value(QStringLiteral("product"), DefaultProductName(strName)).toString();
    const QString strManufacturer = m_config.Manufacturer();
    const QString strSerial = m_config.Serial();
    const QString strAndroid = m_config.Android();
    const QString strSdk = settings.value(QStringLiteral("sdk"), QStringLiteral("30")).toString();
    m_bRooted = settings.value(QStringLiteral("rooted"), false).toBool();
    m_bOldShell = settings.value(QStringLiteral("oldShell"), false).toBool();
    m_bListV2 = settings.value(QStringLiteral("lsV2"), strSdk.toInt() >= 29).toBool();
    m_strSharedStorageTarget = settings.value(QStringLiteral("sdcardLink"), QStringLiteral("/storage/emulated/0")).toString();
    m_mapProperties = {
        {QStringLiteral("ro.product.model"), m_config.Model()},
        {QStringLiteral("ro.product.name"), strProduct},
        {QStringLiteral("ro.product.device"), settings.value(QStringLiteral("deviceCode"), strProduct).toString()},
        {QStringLiteral("ro.product.manufacturer"), strManufacturer},
        {QStringLiteral("ro.product.brand"), strManufacturer.toLower()},
        {QStringLiteral("ro.product.cpu.abi"), QStringLiteral("arm64-v8a")},
        {QStringLiteral("ro.build.display.id"), m_config.Firmware()},
        {QStringLiteral("ro.build.type"), QStringLiteral("user")},
        {QStringLiteral("ro.build.version.release"), strAndroid},
        {QStringLiteral("ro.build.version.sdk"), strSdk},
        {QStringLiteral("ro.serialno"), strSerial},
        {QStringLiteral("ro.boot.serialno"), strSerial},
        {QStringLiteral("ro.debuggable"), QStringLiteral("0")},
        {QStringLiteral("ro.secure"), QStringLiteral("1")},
        {QStringLiteral("sys.usb.config"), QStringLiteral("mtp,adb")},
        {QStringLiteral("persist.sys.timezone"), QStringLiteral("Europe/Berlin")},
    };
    settings.endGroup();


    // Any property may be set or added in [properties].
    settings.beginGroup(QStringLiteral("properties"));
    for (const QString &strKey : settings.childKeys())
        m_mapProperties.insert(strKey, settings.value(strKey).toString());
    settings.endGroup();

}

void AdbPhone::LoadFaults(QSettings &settings)
{
    settings.beginGroup(QStringLiteral("faults"));
    m_bUnauthorized = settings.value(QStringLiteral("unauthorized"), false).toBool();
    // Folders the phone cannot open: listed as empty, as a real phone does.
    for (const QString &strPath : settings.value(QStringLiteral("unreadableFolders")).toStringList()) {
        if (!strPath.trimmed().isEmpty())
            m_setUnreadableFolders.insert(Normalized(strPath.trimmed()));
    }
    m_nLatencyMs = qBound(0, settings.value(QStringLiteral("latencyMs"), 0).toInt(), kMaxLatencyMs);
    for (const QString &strPath : settings.value(QStringLiteral("deniedFiles")).toStringList()) {
        if (!strPath.trimmed().isEmpty())
            m_setDenied.insert(Normalized(strPath.trimmed()));
    }
    // Names that are not UTF-8 on the phone: "PHONEPATH=HEX" shows the file
    // at PHONEPATH under the name with those bytes.
    for (const QString &strEntry : settings.value(QStringLiteral("rawNames")).toStringList()) {
        const QString strPath = Normalized(strEntry.section(QLatin1Char('='), 0, 0).trimmed());
        const QByteArray baName = QByteArray::fromHex(strEntry.section(QLatin1Char('='), 1).trimmed().toLatin1());
        if (!strPath.isEmpty() && !baName.isEmpty())
            m_hashRawNames.insert(strPath, baName);
    }
    // A copy the simulated SDK fails with an error code is refused by the phone here.
    for (const QString &strEntry : settings.value(QStringLiteral("getFileErrors")).toStringList()) {
        const int nColon = strEntry.indexOf(QLatin1Char(':'));
        if (nColon > 0)
            m_setDenied.insert(Normalized(strEntry.mid(nColon + 1)));
    }
    settings.endGroup();

}

void AdbPhone::LoadPackages()
{
    const bool bNewLayout = Sdk() >= 30;
    for (const PhoneConfig::PhoneFile &file : m_config.Apps()) {
        Package package;
        package.strName = QFileInfo(file.strHostPath).completeBaseName();
        const QString strLeaf = package.strName + QLatin1Char('-') + PackageToken(QStringLiteral("package:"), package.strName);
        package.strDir = bNewLayout
            ? QStringLiteral("/data/app/~~") + PackageToken(QStringLiteral("install:"), package.strName) + QLatin1Char('/') + strLeaf
            : QStringLiteral("/data/app/") + strLeaf;
        package.strBaseHost = file.strHostPath;
        const QDir dirSplits(QDir(m_config.FsRoot()).filePath(QStringLiteral("data/app/") + package.strName));
        for (const QFileInfo &info : dirSplits.entryInfoList({QStringLiteral("split_*.apk")}, QDir::Files, QDir::Name))
            package.mapSplits.insert(info.fileName(), info.filePath());
        m_listPackages.append(package);
    }
}

QString AdbPhone::Features() const
{
    QStringList listFeatures;
    if (!m_bOldShell)
        listFeatures << QStringLiteral("shell_v2");
    if (m_bListV2)
        listFeatures << QStringLiteral("ls_v2");
    // Android 7 brought the "cmd" tool: streamed installs.
    if (Sdk() >= 24)
        listFeatures << QStringLiteral("cmd");
    return listFeatures.join(QLatin1Char(','));
}

int AdbPhone::Sdk() const
{
    return m_mapProperties.value(QStringLiteral("ro.build.version.sdk")).toInt();
}

QList<AdbPhone::Package> AdbPhone::Packages() const
{
    return m_listPackages;
}

QList<AdbPhone::Mount> AdbPhone::Mounts() const
{
    QList<Mount> list;
    // The system partition: always full.
    list.append({QStringLiteral("/dev/block/dm-0"), QStringLiteral("/"), 3096336, 3083908, 0});
    bool bHaveData = false;
    int nCard = 0;
    for (const PhoneConfig::Storage &storage : m_config.Storages()) {
        if (storage.nTotal < 0 || storage.nUsed < 0 || storage.nUnit <= 0)
            continue;
        const qint64 nTotalKB = storage.nTotal * storage.nUnit / 1024;
        const qint64 nUsedKB = qMin(nTotalKB, storage.nUsed * storage.nUnit / 1024);
        if (storage.nKind == 1 && !bHaveData) {
            bHaveData = true;
            list.append({QStringLiteral("/dev/block/dm-5"), QStringLiteral("/data"), nTotalKB, nUsedKB, nTotalKB - nUsedKB});
            list.append({QStringLiteral("/dev/fuse"), QStringLiteral("/storage/emulated"), nTotalKB, nUsedKB, nTotalKB - nUsedKB});
        } else if (storage.nKind == 2) {
            const QString strVolume = QStringLiteral("%1-3C4D").arg(0x1A2B + nCard++, 4, 16, QLatin1Char('0')).toUpper();
            list.append({QStringLiteral("/dev/fuse"), QStringLiteral("/storage/") + strVolume, nTotalKB, nUsedKB, nTotalKB - nUsedKB});
        }
    }
    if (!bHaveData) {
        list.append({QStringLiteral("/dev/block/dm-5"), QStringLiteral("/data"), 0, 0, 0});
        list.append({QStringLiteral("/dev/fuse"), QStringLiteral("/storage/emulated"), 0, 0, 0});
    }
    return list;
}

QString AdbPhone::Normalized(const QString &strPhonePath)
{
    if (!strPhonePath.startsWith(QLatin1Char('/')))
        return QString();
    const QStringList listParts = strPhonePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &strPart : listParts) {
        if (strPart == QLatin1String(".") || strPart == QLatin1String(".."))
            return QString();
    }
    const QString strPath = QLatin1Char('/') + listParts.join(QLatin1Char('/'));
    for (const char *szAlias : kSharedStorageAliases) {
        const QString strAlias = QLatin1String(szAlias);
        if (strPath == strAlias)
            return QStringLiteral("/sdcard");
        if (IsUnder(strPath, strAlias))
            return QStringLiteral("/sdcard") + strPath.mid(strAlias.size());
    }
    return strPath;
}

AdbPhone::Node AdbPhone::HostNode(const QString &strHostPath) const
{
    Node node;
    const QFileInfo info(strHostPath);
    if (!info.exists())
        return node;
    node.access = Found;
    node.bDir = info.isDir();
    node.strHostPath = strHostPath;
    node.nMode = node.bDir ? kDirMode : kFileMode;
    node.nSize = node.bDir ? 4096 : info.size();
    node.nMtime = info.lastModified().toSecsSinceEpoch();
    return node;
}

bool AdbPhone::FindPackagePath(const QString &strPath, Node *pNode, QList<Entry> *pEntries) const
{
    for (const Package &package : m_listPackages) {
        const QString strInstall = package.strDir.section(QLatin1Char('/'), 0, 3); // /data/app/~~X (Android 11+)
        if (strPath == package.strDir) {
            pNode->access = Found;
            pNode->bDir = true;
            pNode->nMode = kSystemDirMode;
            pNode->nSize = 4096;
            pNode->nMtime = QFileInfo(package.strBaseHost).lastModified().toSecsSinceEpoch();
            if (pEntries) {
                pEntries->append({QStringLiteral("base.apk"), HostNode(package.strBaseHost)});
                for (auto it = package.mapSplits.cbegin(); it != package.mapSplits.cend(); ++it)
                    pEntries->append({it.key(), HostNode(it.value())});
                for (Entry &entry : *pEntries)
                    entry.node.nMode = kApkMode;
            }
            return true;
        }
        if (strInstall != package.strDir && strPath == strInstall) {
            // The shell may pass through this folder but not list it.
            pNode->access = Found;
            pNode->bDir = true;
            pNode->nMode = AdbPhone::kModeDir | 0771;
            pNode->nSize = 4096;
            return true;
        }
        QString strHost;
        if (strPath == package.strDir + QLatin1String("/base.apk"))
            strHost = package.strBaseHost;
        else if (IsUnder(strPath, package.strDir))
            strHost = package.mapSplits.value(strPath.mid(package.strDir.size() + 1));
        if (!strHost.isEmpty()) {
            *pNode = HostNode(strHost);
            pNode->nMode = kApkMode;
            return true;
        }
    }
    return false;
}

AdbPhone::Node AdbPhone::Stat(const QString &strPhonePath, bool bRoot) const
{
    Node node;
    const QString strPath = Normalized(strPhonePath);
    if (strPath.isEmpty())
        return node;
    if (IsUnder(strPath, QStringLiteral("/data/app"))) {
        FindPackagePath(strPath, &node, nullptr);
        return node;
    }
    // An application's own folder is closed to everyone but the application and root.
    if (!bRoot && IsUnder(strPath, QStringLiteral("/data/data")) && strPath.count(QLatin1Char('/')) > 3) {
        node.access = Denied;
        return node;
    }
    const QString strHost = m_config.HostPathOf(strPath);
    if (!strHost.isEmpty())
        node = HostNode(strHost);
    if (node.access != Found && FindVirtualDir(strPath)) {
        node.access = Found;
        node.bDir = true;
        node.nMode = kSystemDirMode;
        node.nSize = 4096;
        node.strHostPath = strHost;
    }
    return node;
}

AdbPhone::Access AdbPhone::List(const QString &strPhonePath, bool bRoot, QList<Entry> *pEntries) const
{
    pEntries->clear();
    const QString strPath = Normalized(strPhonePath);
    const Node node = Stat(strPath, bRoot);
    if (node.access != Found)
        return node.access;
    if (!node.bDir)
        return NotFound;
    QList<Entry> listEntries;
    const QString strAppRoot = QStringLiteral("/data/app");
    const Access access = strPath == strAppRoot || IsUnder(strPath, strAppRoot)
        ? ListAppFolder(strPath, bRoot, &listEntries)
        : ListFolder(strPath, node, bRoot, &listEntries);
    if (access != Found)
        return access;
    for (Entry &entry : listEntries)
        entry.node.baRawName = m_hashRawNames.value((strPath == QLatin1String("/") ? QString() : strPath) + QLatin1Char('/') + entry.strName);
    pEntries->append({QStringLiteral("."), node});
    pEntries->append({QStringLiteral(".."), node});
    pEntries->append(listEntries);
    return Found;
}

AdbPhone::Access AdbPhone::ListAppFolder(const QString &strPath, bool bRoot, QList<Entry> *pEntries) const
{
    Node dir;
    FindPackagePath(strPath, &dir, pEntries);
    if (!pEntries->isEmpty())
        return Found;
    if (!bRoot)
        return Denied;
    // Root sees the install folders of the packages.
    QSet<QString> setNames;
    for (const Package &package : m_listPackages) {
        if (!IsUnder(package.strDir, strPath))
            continue;
        const QString strName = package.strDir.mid(strPath.size() + 1).section(QLatin1Char('/'), 0, 0);
        if (!setNames.contains(strName)) {
            setNames.insert(strName);
            pEntries->append({strName, Stat(strPath + QLatin1Char('/') + strName, bRoot)});
        }
    }
    return Found;
}

AdbPhone::Access AdbPhone::ListFolder(const QString &strPath, const Node &node, bool bRoot, QList<Entry> *pEntries) const
{
    if ((!bRoot && IsUnder(strPath, QStringLiteral("/data/data"))) || m_setUnreadableFolders.contains(strPath))
        return Denied;
    if (!bRoot) {
        for (const char *szPath : kUnlistable) {
            if (strPath == QLatin1String(szPath))
                return Denied;
        }
    }
    QSet<QString> setNames;
    if (!node.strHostPath.isEmpty() && QFileInfo(node.strHostPath).isDir()) {
        const QDir dir(node.strHostPath);
        const QFileInfoList listInfo = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &info : listInfo) {
            setNames.insert(info.fileName());
            pEntries->append({info.fileName(), HostNode(info.filePath())});
        }
    }
    if (const VirtualDir *pVirtual = FindVirtualDir(strPath)) {
        for (const QString &strChild : QString::fromLatin1(pVirtual->szChildren).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (setNames.contains(strChild))
                continue;
            const QString strChildPath = (strPath == QLatin1String("/") ? QString() : strPath) + QLatin1Char('/') + strChild;
            pEntries->append({strChild, Stat(strChildPath, bRoot)});
        }
        std::sort(pEntries->begin(), pEntries->end(), [](const Entry &a, const Entry &b) { return a.strName < b.strName; });
    }
    return Found;
}

void AdbPhone::ApplyOptions(bool bUnauthorized, const QStringList &listDeniedFiles, bool bNoListV2)
{
    m_bUnauthorized = m_bUnauthorized || bUnauthorized;
    m_bListV2 = m_bListV2 && !bNoListV2;
    for (const QString &strPath : listDeniedFiles)
        m_setDenied.insert(Normalized(strPath));
}

QString AdbPhone::PathOfRequest(const QByteArray &baPath) const
{
    for (auto it = m_hashRawNames.cbegin(); it != m_hashRawNames.cend(); ++it) {
        const QString strFolder = it.key().section(QLatin1Char('/'), 0, -2);
        if (baPath == strFolder.toUtf8() + '/' + it.value())
            return it.key();
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString strPath = decoder(baPath);
    // The file's name on the PC is not its name on the phone.
    if (decoder.hasError() || m_hashRawNames.contains(Normalized(strPath)))
        return QString();
    return strPath;
}

bool AdbPhone::IsReadDenied(const QString &strPhonePath) const
{
    return m_setDenied.contains(Normalized(strPhonePath));
}

bool AdbPhone::IsVanished(const QString &strPhonePath) const
{
    const QString strPath = Normalized(strPhonePath);
    return m_config.IsMissing(strPath) || m_config.IsMissing(strPhonePath);
}
