#include "PhoneConfig.h"

#include "MediaKinds.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace
{
struct TypeName
{
    int nType;
    const char *szSection;
};

const TypeName kSections[] = {
    {0, "contacts"}, {1, "sms"}, {2, "calendar"}, {4, "calllog"}, {5, "email"},
    {6, "bookmarks"}, {19, "mms"}, {9, "applications"}, {15, "appdata"},
    {16, "images"}, {17, "videos"}, {18, "audio"},
};

// "a:b" entries; the part before the first ':' is a number.
QHash<int, int> ParseIntPairs(const QStringList &list)
{
    QHash<int, int> hash;
    for (const QString &strEntry : list) {
        const int nColon = strEntry.indexOf(QLatin1Char(':'));
        if (nColon <= 0)
            continue;
        bool bKey = false;
        bool bValue = false;
        const int nKey = strEntry.left(nColon).trimmed().toInt(&bKey);
        const int nValue = strEntry.mid(nColon + 1).trimmed().toInt(&bValue, 0);
        if (bKey && bValue)
            hash.insert(nKey, nValue);
    }
    return hash;
}

QSet<int> ParseInts(const QStringList &list)
{
    QSet<int> set;
    for (const QString &strEntry : list) {
        bool bOk = false;
        const int n = strEntry.trimmed().toInt(&bOk);
        if (bOk)
            set.insert(n);
    }
    return set;
}

// "code:path" entries (the path may hold ':'); entries with code 0 are left out.
QHash<QString, int> ParseCodePaths(const QStringList &list)
{
    QHash<QString, int> hash;
    for (const QString &strEntry : list) {
        const int nColon = strEntry.indexOf(QLatin1Char(':'));
        bool bOk = false;
        const int nCode = nColon > 0 ? strEntry.left(nColon).trimmed().toInt(&bOk, 0) : 0;
        if (bOk && nCode != 0)
            hash.insert(strEntry.mid(nColon + 1), nCode);
    }
    return hash;
}

int64_t ParseInt64(const QString &strText, bool *pOk)
{
    const QString str = strText.trimmed();
    if (str.compare(QLatin1String("unknown"), Qt::CaseInsensitive) == 0) {
        *pOk = true;
        return -1; // all bits set: the phone gave no value
    }
    return str.toLongLong(pOk);
}

QStringList ListValue(const QSettings &settings, const char *szKey)
{
    QStringList list = settings.value(QLatin1String(szKey)).toStringList();
    list.removeAll(QString());
    return list;
}

bool IsUnder(const QString &strRelative, const char *szFolder)
{
    const QString strFolder = QLatin1String(szFolder);
    return strRelative == strFolder || strRelative.startsWith(strFolder + QLatin1Char('/'));
}
} // namespace

bool PhoneConfig::Load(const QString &strDir)
{
    *this = PhoneConfig();
    m_strDir = strDir;
    const QString strIni = QDir(strDir).filePath(QStringLiteral("phone.ini"));
    QFileInfo info(strIni);
    if (strDir.isEmpty() || !info.isFile() || !info.isReadable())
        return false;
    QSettings settings(strIni, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        m_bMalformed = settings.status() == QSettings::FormatError;
        return false;
    }
    LoadDevice(settings);
    LoadStorages(settings);
    LoadDataSections(settings);
    LoadFaults(settings);
    m_bValid = true;
    return true;
}

void PhoneConfig::LoadDevice(QSettings &settings)
{
    settings.beginGroup(QStringLiteral("device"));
    m_strName = settings.value(QStringLiteral("name")).toString();
    m_strFirmware = settings.value(QStringLiteral("firmware")).toString();
    m_strImei = settings.value(QStringLiteral("imei")).toString();
    const QString strName = m_strName.isEmpty() ? QStringLiteral("Phone") : m_strName;
    m_strModel = settings.value(QStringLiteral("model"), strName).toString();
    m_strManufacturer = settings.value(QStringLiteral("manufacturer"), strName.section(QLatin1Char(' '), 0, 0)).toString();
    m_strAndroid = settings.value(QStringLiteral("android"), QStringLiteral("11")).toString();
    // Without a serial of its own the phone gets one made from its name and
    // IMEI: stable, and different for phones that differ in either.
    m_strSerial = settings.value(QStringLiteral("serial"),
        QString::fromLatin1(QCryptographicHash::hash((strName + m_strImei).toUtf8(), QCryptographicHash::Md5).toHex().left(16).toUpper())).toString();
    settings.endGroup();
}

void PhoneConfig::LoadStorages(QSettings &settings)
{
    settings.beginGroup(QStringLiteral("memory"));
    QStringList listKeys = settings.childKeys();
    // storage1, storage2, ... storage10 in numeric order
    std::sort(listKeys.begin(), listKeys.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const QString &strKey : listKeys) {
        if (!strKey.startsWith(QLatin1String("storage")))
            continue;
        const QStringList listFields = settings.value(strKey).toStringList();
        if (listFields.size() != 4)
            continue;
        bool bOk[4] = {false, false, false, false};
        Storage storage;
        storage.nKind = ParseInt64(listFields.at(0), &bOk[0]);
        storage.nTotal = ParseInt64(listFields.at(1), &bOk[1]);
        storage.nUsed = ParseInt64(listFields.at(2), &bOk[2]);
        storage.nUnit = ParseInt64(listFields.at(3), &bOk[3]);
        if (bOk[0] && bOk[1] && bOk[2] && bOk[3])
            m_listStorages.append(storage);
    }
    settings.endGroup();
}

void PhoneConfig::LoadDataSections(QSettings &settings)
{
    for (const TypeName &entry : kSections) {
        const QString strSection = QLatin1String(entry.szSection);
        if (!settings.childGroups().contains(strSection))
            continue;
        settings.beginGroup(strSection);
        if (IsRecordType(entry.nType)) {
            RecordSet records;
            records.strFile = settings.value(QStringLiteral("file")).toString();
            records.nCount = settings.value(QStringLiteral("count"), 0).toInt();
            records.nBackupCount = settings.value(QStringLiteral("backupCount"), records.nCount).toInt();
            const QString strDefault = QStringLiteral("/data/local/tmp/backup/")
                + (records.strFile.isEmpty() ? strSection : QFileInfo(records.strFile).fileName());
            records.strPhonePath = settings.value(QStringLiteral("phonePath"), strDefault).toString();
            m_hashRecords.insert(entry.nType, records);
        } else {
            FileSet files;
            files.strRawList = settings.value(QStringLiteral("list")).toString();
            files.nCountOverride = settings.value(QStringLiteral("count"), -1).toInt();
            files.nSizeOverride = settings.value(QStringLiteral("sizeKB"), -1).toInt();
            m_hashFiles.insert(entry.nType, files);
        }
        settings.endGroup();
    }
}

void PhoneConfig::LoadFaults(QSettings &settings)
{
    settings.beginGroup(QStringLiteral("faults"));
    m_hashBackupErrors = ParseIntPairs(ListValue(settings, "backupErrors"));
    m_setErrorText = ParseInts(ListValue(settings, "errorText"));
    m_setNoResultPath = ParseInts(ListValue(settings, "noResultPath"));
    m_hashCountErrors = ParseIntPairs(ListValue(settings, "countErrors"));
    m_nMemInfoError = settings.value(QStringLiteral("memInfoError"), 0).toInt();
    if (m_nMemInfoError > 0)
        m_nMemInfoError = -m_nMemInfoError;
    for (const QString &strPath : ListValue(settings, "missingFiles"))
        m_setMissingFiles.insert(strPath);
    m_hashGetFileErrors = ParseCodePaths(ListValue(settings, "getFileErrors"));
    m_nUnplugAfterFiles = qMax(0, settings.value(QStringLiteral("unplugAfterFiles"), 0).toInt());
    m_nRateLimitKBps = qMax(0, settings.value(QStringLiteral("rateLimitKBps"), 0).toInt());
    m_nItemDelayMs = qMax(0, settings.value(QStringLiteral("itemDelayMs"), 0).toInt());
    settings.endGroup();
}

QString PhoneConfig::FsRoot() const
{
    return QDir(m_strDir).filePath(QStringLiteral("fs"));
}

QList<PhoneConfig::PhoneFile> PhoneConfig::MediaFiles(int nType) const
{
    QList<PhoneFile> list;
    const QString strRoot = FsRoot();
    if (!m_bValid || !QFileInfo(strRoot).isDir())
        return list;
    const QDir root(strRoot);
    QDirIterator it(strRoot, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString strRelative = root.relativeFilePath(info.filePath());
        // The application area is not media.
        if (IsUnder(strRelative, "data"))
            continue;
        if (MediaTypeOfSuffix(info.suffix()) != nType)
            continue;
        list.append({QLatin1Char('/') + strRelative, info.filePath(), info.size(),
                     info.lastModified().toSecsSinceEpoch()});
    }
    std::sort(list.begin(), list.end(), [](const PhoneFile &a, const PhoneFile &b) {
        return a.strPhonePath < b.strPhonePath;
    });
    return list;
}

QList<PhoneConfig::PhoneFile> PhoneConfig::Apps() const
{
    QList<PhoneFile> list;
    if (!m_bValid)
        return list;
    const QDir dir(QDir(FsRoot()).filePath(QStringLiteral("data/app")));
    const QFileInfoList listInfo = dir.entryInfoList({QStringLiteral("*.apk")}, QDir::Files, QDir::Name);
    for (const QFileInfo &info : listInfo) {
        const QString strPackage = info.fileName().chopped(4);
        if (strPackage.isEmpty())
            continue;
        // The package name goes in strPhonePath's place in the list text; the
        // phone path of the .apk is derived from it.
        list.append({QStringLiteral("/data/app/") + info.fileName(), info.filePath(), info.size(),
                     info.lastModified().toSecsSinceEpoch()});
    }
    return list;
}

QString PhoneConfig::AppDataDir(const QString &strPackage) const
{
    return QDir(FsRoot()).filePath(QStringLiteral("data/data/") + strPackage);
}

QString PhoneConfig::HostPathOf(const QString &strPhonePath) const
{
    if (!m_bValid || !strPhonePath.startsWith(QLatin1Char('/')))
        return QString();
    const QStringList listParts = strPhonePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (listParts.isEmpty())
        return QString();
    for (const QString &strPart : listParts) {
        if (strPart == QLatin1String(".") || strPart == QLatin1String(".."))
            return QString();
    }
    const QString strRoot = FsRoot();
    const QString strHost = strRoot + QLatin1Char('/') + listParts.join(QLatin1Char('/'));
    const QFileInfo info(strHost);
    if (info.exists()) {
        const QString strCanonicalRoot = QFileInfo(strRoot).canonicalFilePath();
        if (!info.canonicalFilePath().startsWith(strCanonicalRoot + QLatin1Char('/')))
            return QString();
    }
    return strHost;
}

QString PhoneConfig::NewHostPathOf(const QString &strPhonePath) const
{
    const QString strHost = HostPathOf(strPhonePath);
    if (strHost.isEmpty())
        return QString();
    QFileInfo info(strHost);
    while (!info.exists() && !info.isSymLink() && info.absolutePath() != info.absoluteFilePath())
        info = QFileInfo(info.absolutePath());
    const QString strCanonicalRoot = QFileInfo(FsRoot()).canonicalFilePath();
    const QString strCanonical = info.canonicalFilePath();
    if (strCanonical != strCanonicalRoot && !strCanonical.startsWith(strCanonicalRoot + QLatin1Char('/')))
        return QString();
    return strHost;
}

QString PhoneConfig::FileInPhone(const QString &strRelative) const
{
    if (!m_bValid || strRelative.isEmpty() || QDir::isAbsolutePath(strRelative))
        return QString();
    const QStringList listParts = QDir::fromNativeSeparators(strRelative).split(QLatin1Char('/'));
    if (listParts.contains(QStringLiteral("..")))
        return QString();
    const QString strHost = QDir(m_strDir).filePath(strRelative);
    return IsInsidePhone(strHost) ? strHost : QString();
}

bool PhoneConfig::IsInsidePhone(const QString &strHostPath) const
{
    const QFileInfo info(strHostPath);
    // A name that does not exist yet reads nothing; a dangling link is refused.
    if (!info.exists())
        return !info.isSymLink();
    const QString strRoot = QFileInfo(m_strDir).canonicalFilePath();
    return !strRoot.isEmpty() && info.canonicalFilePath().startsWith(strRoot + QLatin1Char('/'));
}

QString PhoneConfig::SectionOf(int nType)
{
    for (const TypeName &entry : kSections) {
        if (entry.nType == nType)
            return QLatin1String(entry.szSection);
    }
    return QString();
}

bool PhoneConfig::IsRecordType(int nType)
{
    switch (nType) {
    case 0: case 1: case 2: case 4: case 5: case 6: case 19:
        return true;
    default:
        return false;
    }
}

bool PhoneConfig::IsFileListType(int nType)
{
    return nType == 9 || nType == 16 || nType == 17 || nType == 18;
}

int PhoneConfig::MediaTypeOfSuffix(const QString &strSuffix)
{
    return MediaKinds::TypeOfSuffix(strSuffix);
}
