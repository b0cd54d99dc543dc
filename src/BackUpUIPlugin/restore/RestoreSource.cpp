#include "RestoreSource.h"

#include "BackupKinds.h"
#include "InterruptedRun.h"
#include "MediaInfo.h"
#include "PackageLayout.h"
#include "PackageReader.h"
#include "PackageVerifier.h"
#include "SafeFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

RestoreSource::RestoreSource() = default;
RestoreSource::~RestoreSource() = default;

bool RestoreSource::Locate(const QString &strBackup, QString &strPackage, QString &strFolder, QString &strError)
{
    // A run the phone cut off left files but no package: nothing to restore
    // until a backup run finishes it.
    const QString strInterrupted = InterruptedRun::FolderNamedBy(strBackup);
    if (!strInterrupted.isEmpty()) {
        strError = InterruptedRun::NotCompleteText(strBackup, strInterrupted);
        return false;
    }
    const QFileInfo info(strBackup);
    const QString strPath = QDir::cleanPath(info.absoluteFilePath());
    if (info.isDir()) {
        strFolder = strPath;
        strPackage = strPath + QStringLiteral(".zip");
    } else if (info.isFile()) {
        strPackage = strPath;
        strFolder = strPath.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive) ? strPath.chopped(4) : QString();
    } else {
        strError = QStringLiteral("%1 does not exist").arg(strPath);
        return false;
    }
    if (!QFileInfo(strPackage).isFile()) {
        strError = QStringLiteral("no package %1 beside the backup folder").arg(strPackage);
        return false;
    }
    if (!strFolder.isEmpty() && !QFileInfo(strFolder).isDir())
        strFolder.clear();
    return true;
}

bool RestoreSource::Open(const QString &strBackup, QString &strError)
{
    if (!Locate(strBackup, m_strPackage, m_strFolder, strError))
        return false;
    PackageVerifier verifier;
    verifier.Verify(QFile::encodeName(m_strPackage).constData());
    if (!verifier.IsSound()) {
        strError = QStringLiteral("the package %1 is damaged: %2")
                       .arg(m_strPackage, verifier.Problems().join(QStringLiteral("; ")));
        return false;
    }
    // The name field may carry more than the name behind a control character.
    m_strDeviceName = QString::fromLocal8Bit(verifier.DeviceName());
    for (int i = 0; i < m_strDeviceName.size(); ++i) {
        if (SafeFileName::IsControlCharacter(m_strDeviceName.at(i).unicode())) {
            m_strDeviceName.truncate(i);
            break;
        }
    }
    m_listEntryNames.clear();
    for (const PackageVerifier::Entry &entry : verifier.Entries())
        m_listEntryNames << QString::fromLocal8Bit(PackageLayout::TargetName(entry.baName));
    return ExtractRecords(strError);
}

bool RestoreSource::ExtractRecords(QString &strError)
{
    m_pTempDir = std::make_unique<QTemporaryDir>();
    if (!m_pTempDir->isValid()) {
        strError = QStringLiteral("cannot create a temporary folder: %1").arg(m_pTempDir->errorString());
        return false;
    }
    PackageReader reader;
    if (reader.Open(QFile::encodeName(m_strPackage).constData()) != PackageReader::OpenOk) {
        strError = QStringLiteral("cannot read %1: %2").arg(m_strPackage, reader.ErrorText());
        return false;
    }
    m_listCounts.clear();
    for (int i = 0; i < BackUpHead::kMaxCounts; ++i)
        m_listCounts << reader.Head().Counts[i];
    for (int i = 0; i < reader.EntryCount(); ++i) {
        const QString strName = QString::fromLocal8Bit(PackageLayout::TargetName(reader.EntryName(i)));
        const BackupKind *pRecordKind = nullptr;
        for (const BackupKind &kind : BackupKinds::All()) {
            if (!kind.IsFileStep() && strName == QLatin1String(kind.szResultFile))
                pRecordKind = &kind;
        }
        QFile file(m_pTempDir->filePath(strName));
        if (pRecordKind && !file.open(QIODevice::WriteOnly)) {
            strError = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
        if (reader.ReadEntry(pRecordKind ? &file : nullptr) != PackageReader::ReadOk) {
            strError = QStringLiteral("cannot read %1: %2").arg(m_strPackage, reader.ErrorText());
            return false;
        }
        if (pRecordKind)
            m_hashRecordFiles.insert(pRecordKind->nCode, file.fileName());
    }
    return true;
}

quint32 RestoreSource::Count(const BackupKind &kind) const
{
    return kind.nPackageCountIndex >= 0 && kind.nPackageCountIndex < m_listCounts.size()
               ? m_listCounts.at(kind.nPackageCountIndex)
               : 0;
}

bool RestoreSource::Holds(const BackupKind &kind) const
{
    return m_listEntryNames.contains(QLatin1String(kind.szResultFile));
}

QString RestoreSource::RecordFile(const BackupKind &kind) const
{
    return m_hashRecordFiles.value(kind.nCode);
}

bool RestoreSource::ReadMediaList(const BackupKind &kind, QList<MediaFile> &listFiles, QString &strError) const
{
    listFiles.clear();
    if (m_strFolder.isEmpty() || !kind.szFolder) {
        strError = QStringLiteral("the backup folder is missing");
        return false;
    }
    const QString strFolder = m_strFolder + QLatin1Char('/') + QLatin1String(kind.szFolder);
    const QString strList = strFolder + QLatin1Char('/') + QLatin1String(kind.szFolder) + QStringLiteral("List.xml");
    QList<MediaInfo> listMedia;
    if (!g_ReadMediaList(strList, listMedia)) {
        strError = QStringLiteral("the list %1 cannot be read").arg(strList);
        return false;
    }
    for (const MediaInfo &media : qAsConst(listMedia)) {
        MediaFile file;
        // The list is not trusted to name files outside its folder.
        if (SafeFileName::IsSafe(media.pcname))
            file.strLocal = strFolder + QLatin1Char('/') + media.pcname;
        file.strPhonePath = media.phpath;
        listFiles.append(file);
    }
    return true;
}

QHash<QString, QString> RestoreSource::ApkFiles() const
{
    QHash<QString, QString> hashApks;
    if (m_strFolder.isEmpty())
        return hashApks;
    const QDir dir(m_strFolder + QStringLiteral("/APK"));
    for (const QFileInfo &info : dir.entryInfoList({QStringLiteral("*.apk")}, QDir::Files, QDir::Name))
        hashApks.insert(info.completeBaseName(), info.absoluteFilePath());
    return hashApks;
}
