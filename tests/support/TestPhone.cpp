#include "TestPhone.h"

#include "sdk/dvsk_sim.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace
{
const struct
{
    int nType;
    const char *szSection;
} kSections[] = {
    {0, "contacts"}, {1, "sms"}, {2, "calendar"}, {4, "calllog"}, {5, "email"},
    {6, "bookmarks"}, {19, "mms"}, {9, "applications"}, {15, "appdata"},
    {16, "images"}, {17, "videos"}, {18, "audio"},
};

QByteArray Filler(qint64 nSize, quint32 nSeed)
{
    QByteArray ba(nSize, Qt::Uninitialized);
    quint32 n = nSeed * 2654435761u + 1;
    for (qint64 i = 0; i < nSize; ++i) {
        n = n * 1103515245u + 12345u;
        ba[i] = char(n >> 24);
    }
    return ba;
}

void SetList(QSettings &settings, const char *szKey, const QStringList &list)
{
    if (!list.isEmpty())
        settings.setValue(QLatin1String(szKey), list.size() == 1 ? QVariant(list.first()) : QVariant(list));
}
} // namespace

TestPhone::TestPhone(const QString &strDir)
    : m_strDir(QFileInfo(strDir).absoluteFilePath())
    , m_strName(QStringLiteral("Test Phone"))
    , m_strFirmware(QStringLiteral("V100R001C10B100"))
    , m_strImei(QStringLiteral("350000000000001"))
{
    QDir().mkpath(m_strDir);
    AddStorage(1, 8LL << 30, 3LL << 30);
    AddStorage(2, 32LL << 30, 5LL << 30);
}

QString TestPhone::SectionOf(int nType)
{
    for (const auto &entry : kSections) {
        if (entry.nType == nType)
            return QLatin1String(entry.szSection);
    }
    return QString();
}

QString TestPhone::HostPath(const QString &strPhonePath) const
{
    return m_strDir + QStringLiteral("/fs") + (strPhonePath.startsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/"))
        + strPhonePath;
}

bool TestPhone::WriteFile(const QString &strHostPath, const QByteArray &baContent) const
{
    QDir().mkpath(QFileInfo(strHostPath).absolutePath());
    QFile file(strHostPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(baContent) == baContent.size();
}

void TestPhone::SetDevice(const QString &strName, const QString &strFirmware, const QString &strImei)
{
    m_strName = strName;
    m_strFirmware = strFirmware;
    m_strImei = strImei;
}

void TestPhone::SetSerial(const QString &strSerial)
{
    m_strSerial = strSerial;
}

void TestPhone::ClearStorages()
{
    m_listStorages.clear();
}

void TestPhone::AddStorage(qint64 nKind, qint64 nTotal, qint64 nUsed, qint64 nUnit)
{
    m_listStorages.append({nKind, nTotal, nUsed, nUnit});
}

void TestPhone::SetRecords(int nType, int nCount, const QByteArray &baContent, int nBackupCount)
{
    Records records;
    records.nCount = nCount;
    records.nBackupCount = nBackupCount;
    records.strPhonePath = m_mapRecords.value(nType).strPhonePath;
    m_mapRecords.insert(nType, records);
    QByteArray baData = baContent;
    if (baData.isEmpty()) {
        for (int i = 1; i <= nCount; ++i)
            baData += SectionOf(nType).toUtf8() + " record " + QByteArray::number(i) + "\n";
    }
    WriteFile(m_strDir + QStringLiteral("/records/") + SectionOf(nType) + QStringLiteral(".dat"), baData);
}

void TestPhone::SetRecordsWithoutFile(int nType, int nCount)
{
    Records records;
    records.bFile = false;
    records.nCount = nCount;
    m_mapRecords.insert(nType, records);
}

void TestPhone::SetRecordPhonePath(int nType, const QString &strPhonePath)
{
    m_mapRecords[nType].strPhonePath = strPhonePath;
}

QString TestPhone::AddFile(const QString &strPhonePath, const QByteArray &baContent)
{
    const QString strHost = HostPath(strPhonePath);
    WriteFile(strHost, baContent);
    return strHost;
}

QString TestPhone::AddFile(const QString &strPhonePath, qint64 nSize)
{
    return AddFile(strPhonePath, Filler(nSize, quint32(qHash(strPhonePath))));
}

void TestPhone::AddApp(const QString &strPackage, qint64 nApkSize, const QMap<QString, QByteArray> &mapData)
{
    QByteArray baApk = "PK\x03\x04";
    baApk += Filler(qMax<qint64>(0, nApkSize - baApk.size()), quint32(qHash(strPackage)));
    baApk.truncate(nApkSize);
    AddFile(QStringLiteral("/data/app/") + strPackage + QStringLiteral(".apk"), baApk);
    for (auto it = mapData.constBegin(); it != mapData.constEnd(); ++it)
        AddFile(QStringLiteral("/data/data/") + strPackage + QLatin1Char('/') + it.key(), it.value());
}

void TestPhone::SetRawList(int nType, const QByteArray &baList)
{
    m_mapFiles[nType].bRawList = true;
    WriteFile(m_strDir + QStringLiteral("/lists/") + SectionOf(nType) + QStringLiteral(".txt"), baList);
}

void TestPhone::SetCountOverride(int nType, int nCount, int nSizeKB)
{
    m_mapFiles[nType].nCount = nCount;
    m_mapFiles[nType].nSizeKB = nSizeKB;
}

void TestPhone::SetBackupError(int nType, int nCode)
{
    m_listBackupErrors << QStringLiteral("%1:%2").arg(nType).arg(nCode);
}

void TestPhone::SetErrorText(int nType)
{
    m_listErrorText << QString::number(nType);
}

void TestPhone::SetNoResultPath(int nType)
{
    m_listNoResultPath << QString::number(nType);
}

void TestPhone::SetCountError(int nType, int nCode)
{
    m_listCountErrors << QStringLiteral("%1:%2").arg(nType).arg(nCode);
}

void TestPhone::SetMemInfoError(int nCode)
{
    m_nMemInfoError = nCode;
}

void TestPhone::SetMissingFile(const QString &strPhonePath)
{
    m_listMissingFiles << strPhonePath;
}

void TestPhone::SetGetFileError(const QString &strPhonePath, int nCode)
{
    m_listGetFileErrors << QStringLiteral("%1:%2").arg(nCode).arg(strPhonePath);
}

void TestPhone::SetUnplugAfterFiles(int nFiles)
{
    m_nUnplugAfterFiles = nFiles;
}

void TestPhone::SetRateLimitKBps(int nKBps)
{
    m_nRateLimitKBps = nKBps;
}

void TestPhone::SetItemDelayMs(int nMs)
{
    m_nItemDelayMs = nMs;
}

bool TestPhone::Save() const
{
    const QString strIni = m_strDir + QStringLiteral("/phone.ini");
    QFile::remove(strIni);
    QSettings settings(strIni, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("device"));
    settings.setValue(QStringLiteral("name"), m_strName);
    settings.setValue(QStringLiteral("firmware"), m_strFirmware);
    settings.setValue(QStringLiteral("imei"), m_strImei);
    if (!m_strSerial.isEmpty())
        settings.setValue(QStringLiteral("serial"), m_strSerial);
    settings.endGroup();

    settings.beginGroup(QStringLiteral("memory"));
    for (int i = 0; i < m_listStorages.size(); ++i) {
        const Storage &storage = m_listStorages.at(i);
        settings.setValue(QStringLiteral("storage%1").arg(i + 1),
                          QStringList{QString::number(storage.nKind),
                                      storage.nTotal == -1 ? QStringLiteral("unknown") : QString::number(storage.nTotal),
                                      QString::number(storage.nUsed), QString::number(storage.nUnit)});
    }
    settings.endGroup();

    for (auto it = m_mapRecords.constBegin(); it != m_mapRecords.constEnd(); ++it) {
        settings.beginGroup(SectionOf(it.key()));
        if (it->bFile)
            settings.setValue(QStringLiteral("file"), QStringLiteral("records/") + SectionOf(it.key()) + QStringLiteral(".dat"));
        settings.setValue(QStringLiteral("count"), it->nCount);
        if (it->nBackupCount >= 0)
            settings.setValue(QStringLiteral("backupCount"), it->nBackupCount);
        if (!it->strPhonePath.isEmpty())
            settings.setValue(QStringLiteral("phonePath"), it->strPhonePath);
        settings.endGroup();
    }
    for (auto it = m_mapFiles.constBegin(); it != m_mapFiles.constEnd(); ++it) {
        settings.beginGroup(SectionOf(it.key()));
        if (it->bRawList)
            settings.setValue(QStringLiteral("list"), QStringLiteral("lists/") + SectionOf(it.key()) + QStringLiteral(".txt"));
        if (it->nCount >= 0)
            settings.setValue(QStringLiteral("count"), it->nCount);
        if (it->nSizeKB >= 0)
            settings.setValue(QStringLiteral("sizeKB"), it->nSizeKB);
        settings.endGroup();
    }

    settings.beginGroup(QStringLiteral("faults"));
    SetList(settings, "backupErrors", m_listBackupErrors);
    SetList(settings, "errorText", m_listErrorText);
    SetList(settings, "noResultPath", m_listNoResultPath);
    SetList(settings, "countErrors", m_listCountErrors);
    if (m_nMemInfoError != 0)
        settings.setValue(QStringLiteral("memInfoError"), m_nMemInfoError);
    SetList(settings, "missingFiles", m_listMissingFiles);
    SetList(settings, "getFileErrors", m_listGetFileErrors);
    if (m_nUnplugAfterFiles > 0)
        settings.setValue(QStringLiteral("unplugAfterFiles"), m_nUnplugAfterFiles);
    if (m_nRateLimitKBps > 0)
        settings.setValue(QStringLiteral("rateLimitKBps"), m_nRateLimitKBps);
    if (m_nItemDelayMs > 0)
        settings.setValue(QStringLiteral("itemDelayMs"), m_nItemDelayMs);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool TestPhone::Use() const
{
    if (!Save())
        return false;
    const QByteArray baDir = m_strDir.toUtf8();
    return DVSK_Sim_SetPhoneDir(baDir.constData()) == 0;
}

void TestPhone::UseDefault()
{
    DVSK_Sim_SetPhoneDir(nullptr);
}
