#include "BackupContents.h"

#include "MediaInfo.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

QByteArray BackupContents::Digest(const QString &strFile)
{
    QFile file(strFile);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result().toHex() : QByteArray();
}

QMap<QString, QByteArray> BackupContents::FilesOf(const QString &strPackage)
{
    const QString strFolder = strPackage.chopped(4);
    QMap<QString, QByteArray> mapFiles;
    for (const QString &strKind : {QStringLiteral("Image"), QStringLiteral("Video"), QStringLiteral("Audio")}) {
        const QString strKindFolder = strFolder + QLatin1Char('/') + strKind + QLatin1Char('/');
        QList<MediaInfo> listMedia;
        g_ReadMediaList(strKindFolder + strKind + QStringLiteral("List.xml"), listMedia);
        for (const MediaInfo &media : qAsConst(listMedia))
            mapFiles.insert(media.phpath, Digest(strKindFolder + media.pcname));
    }
    const QDir apks(strFolder + QStringLiteral("/APK"));
    for (const QString &strApk : apks.entryList({QStringLiteral("*.apk")}, QDir::Files))
        mapFiles.insert(QStringLiteral("APK/") + strApk, Digest(apks.filePath(strApk)));
    return mapFiles;
}

QStringList BackupContents::RecordKeys(const QString &strFile, bool bCollapseSpaces)
{
    QRegularExpression re;
    if (strFile.endsWith(QLatin1String(".vcf")))
        re.setPattern(QStringLiteral("^(FN|TEL|EMAIL)[;:].*$"));
    else if (strFile.endsWith(QLatin1String(".ics")))
        re.setPattern(QStringLiteral("^(SUMMARY|DTSTART|RRULE)[;:].*$"));
    else
        re.setPattern(QStringLiteral("(number|date|duration|type)=\"[^\"]*\""));
    re.setPatternOptions(QRegularExpression::MultilineOption);
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("missing: ") + strFile};
    QStringList listKeys;
    QRegularExpressionMatchIterator it = re.globalMatch(QString::fromUtf8(file.readAll()));
    while (it.hasNext()) {
        QString strKey = it.next().captured(0).trimmed();
        if (bCollapseSpaces)
            strKey = strKey.replace(QStringLiteral("\\n"), QStringLiteral(" ")).simplified();
        listKeys << strKey;
    }
    listKeys.sort();
    return listKeys;
}

QStringList BackupContents::Snapshot(const QString &strDir)
{
    QStringList listFiles;
    QDirIterator it(strDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        listFiles << QStringLiteral("%1 %2 %3 %4")
                         .arg(QDir(strDir).relativeFilePath(info.filePath()))
                         .arg(info.size())
                         .arg(info.lastModified().toSecsSinceEpoch())
                         .arg(QString::fromLatin1(Digest(info.filePath())));
    }
    listFiles.sort();
    return listFiles;
}
