#include "ApkVersionReader.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QtEndian>

#include <zlib.h>

namespace
{
const char kManifestName[] = "AndroidManifest.xml";
const quint32 kVersionCodeAttribute = 0x0101021b; // android:versionCode
const quint32 kNoIndex = 0xffffffff;

quint8 U8(const QByteArray &ba, qint64 nAt)
{
    return nAt >= 0 && nAt < ba.size() ? quint8(ba.at(nAt)) : 0;
}

quint16 U16(const QByteArray &ba, qint64 nAt)
{
    return nAt >= 0 && nAt + 2 <= ba.size() ? qFromLittleEndian<quint16>(ba.constData() + nAt) : 0;
}

quint32 U32(const QByteArray &ba, qint64 nAt)
{
    return nAt >= 0 && nAt + 4 <= ba.size() ? qFromLittleEndian<quint32>(ba.constData() + nAt) : 0;
}

// Where the central directory's entry of the manifest says its data is.
struct ZipEntry
{
    quint32 nMethod = 0;
    quint32 nCompressed = 0;
    quint32 nSize = 0;
    quint32 nLocalHeader = 0;
};

bool FindEntry(QFile &file, ZipEntry &entry)
{
    // The end record is within the last 64 KiB + 22 bytes.
    const qint64 nTail = qMin<qint64>(file.size(), 65557);
    file.seek(file.size() - nTail);
    const QByteArray baTail = file.read(nTail);
    const qint64 nEnd = baTail.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (nEnd < 0)
        return false;
    const quint32 nDirSize = U32(baTail, nEnd + 12);
    const quint32 nDirAt = U32(baTail, nEnd + 16);
    if (qint64(nDirAt) + nDirSize > file.size() || nDirSize > 16 * 1024 * 1024 || !file.seek(nDirAt))
        return false;
    const QByteArray baDir = file.read(nDirSize);
    for (qint64 nAt = 0; nAt + 46 <= baDir.size() && U32(baDir, nAt) == 0x02014b50;) {
        const quint16 nNameLength = U16(baDir, nAt + 28);
        const qint64 nNext = nAt + 46 + nNameLength + U16(baDir, nAt + 30) + U16(baDir, nAt + 32);
        if (baDir.mid(nAt + 46, nNameLength) == kManifestName) {
            entry.nMethod = U16(baDir, nAt + 10);
            entry.nCompressed = U32(baDir, nAt + 20);
            entry.nSize = U32(baDir, nAt + 24);
            entry.nLocalHeader = U32(baDir, nAt + 42);
            return true;
        }
        nAt = nNext;
    }
    return false;
}

QByteArray Inflate(const QByteArray &baCompressed, quint32 nSize)
{
    QByteArray baOut(int(nSize), Qt::Uninitialized);
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return QByteArray();
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(baCompressed.constData()));
    stream.avail_in = uInt(baCompressed.size());
    stream.next_out = reinterpret_cast<Bytef *>(baOut.data());
    stream.avail_out = uInt(baOut.size());
    const int nResult = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return nResult == Z_STREAM_END && stream.total_out == nSize ? baOut : QByteArray();
}

// A string of the binary manifest's string pool (UTF-8 or UTF-16).
QString PoolString(const QByteArray &ba, qint64 nPool, quint32 nIndex)
{
    const quint32 nCount = U32(ba, nPool + 8);
    if (nIndex >= nCount)
        return QString();
    const bool bUtf8 = (U32(ba, nPool + 16) & 0x100) != 0;
    const qint64 nAt = nPool + U32(ba, nPool + 20) + U32(ba, nPool + U16(ba, nPool + 2) + 4 * qint64(nIndex));
    if (bUtf8) {
        // Two lengths (UTF-16 units, then bytes), each one or two bytes.
        qint64 nPos = nAt + ((U8(ba, nAt) & 0x80) ? 2 : 1);
        qint64 nBytes = U8(ba, nPos);
        if (nBytes & 0x80) {
            nBytes = ((nBytes & 0x7f) << 8) | U8(ba, nPos + 1);
            ++nPos;
        }
        ++nPos;
        return nPos + nBytes <= ba.size() ? QString::fromUtf8(ba.constData() + nPos, nBytes) : QString();
    }
    qint64 nUnits = U16(ba, nAt);
    qint64 nPos = nAt + 2;
    if (nUnits & 0x8000) {
        nUnits = ((nUnits & 0x7fff) << 16) | U16(ba, nAt + 2);
        nPos += 2;
    }
    if (nPos + 2 * nUnits > ba.size())
        return QString();
    QString str(int(nUnits), Qt::Uninitialized);
    for (qint64 i = 0; i < nUnits; ++i)
        str[int(i)] = QChar(U16(ba, nPos + 2 * i));
    return str;
}
} // namespace

QByteArray ApkVersionReader::ManifestBytes(const QString &strApk)
{
    QFile file(strApk);
    ZipEntry entry;
    if (!file.open(QIODevice::ReadOnly) || !FindEntry(file, entry))
        return QByteArray();
    if (entry.nSize > kMaxManifestSize || entry.nCompressed > kMaxManifestSize || !file.seek(entry.nLocalHeader))
        return QByteArray();
    const QByteArray baLocal = file.read(30);
    if (U32(baLocal, 0) != 0x04034b50 || !file.seek(entry.nLocalHeader + 30 + U16(baLocal, 26) + U16(baLocal, 28)))
        return QByteArray();
    const QByteArray baData = file.read(entry.nCompressed);
    if (baData.size() != qint64(entry.nCompressed))
        return QByteArray();
    if (entry.nMethod == 0)
        return entry.nCompressed == entry.nSize ? baData : QByteArray();
    return entry.nMethod == 8 ? Inflate(baData, entry.nSize) : QByteArray();
}

qint64 ApkVersionReader::VersionCode(const QString &strApk)
{
    return VersionFromManifest(ManifestBytes(strApk));
}

qint64 ApkVersionReader::VersionFromManifest(const QByteArray &baManifest)
{
    if (U16(baManifest, 0) == 0x0003)
        return VersionFromBinary(baManifest);
    return VersionFromText(baManifest);
}

qint64 ApkVersionReader::VersionFromText(const QByteArray &baManifest)
{
    QXmlStreamReader reader(baManifest);
    while (reader.readNextStartElement()) {
        if (reader.name() != QLatin1String("manifest"))
            return -1;
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            if (attribute.name() == QLatin1String("versionCode")) {
                bool bOk = false;
                const qint64 nVersion = attribute.value().toString().trimmed().toLongLong(&bOk, 0);
                return bOk ? nVersion : -1;
            }
        }
        return -1;
    }
    return -1;
}

qint64 ApkVersionReader::VersionFromBinary(const QByteArray &ba)
{
    qint64 nPool = -1;
    qint64 nIds = -1;
    quint32 nIdCount = 0;
    // Chunks after the file's own header: the string pool, the attribute
    // resource ids, then the elements; the first element is the root.
    for (qint64 nAt = U16(ba, 2); nAt + 8 <= ba.size();) {
        const quint16 nType = U16(ba, nAt);
        const quint32 nChunk = U32(ba, nAt + 4);
        if (nChunk < 8 || nAt + nChunk > ba.size())
            return -1;
        if (nType == 0x0001) {
            nPool = nAt;
        } else if (nType == 0x0180) {
            nIds = nAt + 8;
            nIdCount = (nChunk - 8) / 4;
        } else if (nType == 0x0102) {
            const qint64 nAttributes = nAt + U16(ba, nAt + 2) + U16(ba, nAt + 24);
            const quint16 nStride = U16(ba, nAt + 26);
            for (quint16 i = 0; i < U16(ba, nAt + 28); ++i) {
                const qint64 nAttribute = nAttributes + qint64(i) * nStride;
                const quint32 nName = U32(ba, nAttribute + 4);
                const bool bById = nIds >= 0 && nName < nIdCount && U32(ba, nIds + 4 * nName) == kVersionCodeAttribute;
                const bool bByName = nPool >= 0 && nName != kNoIndex
                                     && PoolString(ba, nPool, nName) == QLatin1String("versionCode");
                if (!bById && !bByName)
                    continue;
                const quint8 nDataType = U8(ba, nAttribute + 15);
                if (nDataType == 0x10 || nDataType == 0x11)
                    return U32(ba, nAttribute + 16);
                bool bOk = false;
                const qint64 nVersion = PoolString(ba, nPool, U32(ba, nAttribute + 8)).toLongLong(&bOk, 0);
                return bOk ? nVersion : -1;
            }
            return -1;
        }
        nAt += nChunk;
    }
    return -1;
}
