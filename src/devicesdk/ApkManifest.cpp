#include "ApkManifest.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

namespace
{
const qint64 kMaxManifest = 1024 * 1024;
const qint64 kEndRecordSearch = 0xffff + 22;

quint32 Le32(const QByteArray &ba, qsizetype nAt)
{
    return ba.size() >= nAt + 4 ? qFromLittleEndian<quint32>(ba.constData() + nAt) : 0;
}

quint16 Le16(const QByteArray &ba, qsizetype nAt)
{
    return ba.size() >= nAt + 2 ? qFromLittleEndian<quint16>(ba.constData() + nAt) : 0;
}
} // namespace

QByteArray ApkManifest::StoredEntry(const QString &strZipPath, const QByteArray &baName)
{
    QFile file(strZipPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 22)
        return QByteArray();
    const qint64 nTailStart = qMax<qint64>(0, file.size() - kEndRecordSearch);
    file.seek(nTailStart);
    const QByteArray baTail = file.readAll();
    const qsizetype nEnd = baTail.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (nEnd < 0)
        return QByteArray();
    const quint32 nDirSize = Le32(baTail, nEnd + 12);
    const quint32 nDirOffset = Le32(baTail, nEnd + 16);
    if (nDirSize > 16 * 1024 * 1024 || !file.seek(nDirOffset))
        return QByteArray();
    const QByteArray baDir = file.read(nDirSize);
    for (qsizetype nAt = 0; nAt + 46 <= baDir.size() && Le32(baDir, nAt) == 0x02014b50;) {
        const quint16 nMethod = Le16(baDir, nAt + 10);
        const quint32 nSize = Le32(baDir, nAt + 20);
        const quint16 nNameLength = Le16(baDir, nAt + 28);
        const qsizetype nNext = nAt + 46 + nNameLength + Le16(baDir, nAt + 30) + Le16(baDir, nAt + 32);
        const quint32 nLocal = Le32(baDir, nAt + 42);
        if (baDir.mid(nAt + 46, nNameLength) == baName) {
            if (nMethod != 0 || nSize > kMaxManifest || !file.seek(nLocal))
                return QByteArray();
            const QByteArray baHeader = file.read(30);
            if (Le32(baHeader, 0) != 0x04034b50 || !file.seek(nLocal + 30 + Le16(baHeader, 26) + Le16(baHeader, 28)))
                return QByteArray();
            return file.read(nSize);
        }
        nAt = nNext;
    }
    return QByteArray();
}

ApkManifest ApkManifest::Read(const QString &strApkPath)
{
    ApkManifest manifest;
    const QString strText = QString::fromUtf8(StoredEntry(strApkPath, "AndroidManifest.xml"));
    static const QRegularExpression rePackage(QStringLiteral("<manifest\\b[^>]*\\bpackage\\s*=\\s*\"([^\"]+)\""));
    static const QRegularExpression reVersion(QStringLiteral("<manifest\\b[^>]*\\bandroid:versionCode\\s*=\\s*\"(\\d+)\""));
    const QRegularExpressionMatch package = rePackage.match(strText);
    if (package.hasMatch()) {
        manifest.m_strPackage = package.captured(1).trimmed();
        manifest.m_bFromManifest = !manifest.m_strPackage.isEmpty();
        manifest.m_nVersionCode = reVersion.match(strText).captured(1).toLongLong();
    }
    if (manifest.m_strPackage.isEmpty()) {
        QString strName = QFileInfo(strApkPath).fileName();
        if (strName.endsWith(QLatin1String(".apk"), Qt::CaseInsensitive))
            strName.chop(4);
        manifest.m_strPackage = strName;
    }
    return manifest;
}
