#include "PackageReader.h"


#include <QIODevice>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{
const qint64 kUnversionedFhSize = 270644;

// zlib reads at most UINT_MAX bytes per call; our chunks stay far below.
unsigned ChunkLength(qint64 nLength)
{
    return unsigned(qMin<qint64>(nLength, PackageReader::kChunkSize));
}

bool HasGzipMagic(const char *szPath)
{
    FILE *pFile = std::fopen(szPath, "rb");
    if (!pFile)
        return false;
    unsigned char magic[2] = {0, 0};
    const size_t nRead = std::fread(magic, 1, 2, pFile);
    std::fclose(pFile);
    return nRead == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
}

QString GzErrorText(gzFile gz)
{
    int nError = Z_OK;
    const char *szText = gzerror(gz, &nError);
    if (nError == Z_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString::fromLatin1(szText && *szText ? szText : "stream error");
}
} // namespace

PackageReader::PackageReader() : m_pHead(new BackUpHead) {}

PackageReader::~PackageReader()
{
    Close();
}

void PackageReader::Close()
{
    if (m_gzFile)
        gzclose(m_gzFile);
    m_gzFile = nullptr;
    m_baPending.clear();
    m_nPendingPos = 0;
    m_baChunk.clear();
    m_nNextEntry = 0;
    m_bBroken = false;
    m_bCut = false;
}

QByteArray PackageReader::EntryName(int nIndex) const
{
    if (nIndex < 0 || nIndex >= BackUpHead::kMaxEntries)
        return QByteArray();
    return PackageLayout::FieldText(m_pHead->Name[nIndex], BackUpHead::kNameSize);
}

PackageReader::OpenResult PackageReader::OpenStream(const char *szPath)
{
    Close();
    m_pHead->Clear();
    m_strError.clear();
    if (!szPath || !*szPath) {
        m_strError = QStringLiteral("no package path given");
        return CannotOpen;
    }
    m_gzFile = gzopen(szPath, "rb");
    if (!m_gzFile) {
        m_strError = QStringLiteral("cannot open the package: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return CannotOpen;
    }
    gzbuffer(m_gzFile, 128 * 1024);
    m_bGzip = HasGzipMagic(szPath);
    return OpenOk;
}

PackageReader::OpenResult PackageReader::ReadHead(qint64 nWanted, QByteArray &baPrefix)
{
    baPrefix = QByteArray(int(nWanted), '\0');
    qint64 nGot = 0;
    while (nGot < nWanted) {
        const qint64 nRead = ReadRaw(baPrefix.data() + nGot, nWanted - nGot);
        if (nRead < 0) {
            m_strError = QStringLiteral("the header cannot be read: %1").arg(m_strError);
            return HeadReadFailed;
        }
        if (nRead == 0)
            break;
        nGot += nRead;
    }
    baPrefix.truncate(int(nGot));
    return OpenOk;
}

PackageReader::OpenResult PackageReader::AcceptHead(const QByteArray &baPrefix, PackageLayout::Id layout)
{
    const PackageLayout &desc = PackageLayout::Get(layout);
    m_layout = layout;
    if (!desc.Parse(baPrefix.constData(), baPrefix.size(), *m_pHead)) {
        m_strError = QStringLiteral("the package ends inside its header (%1 of %2 bytes, layout %3)")
                         .arg(baPrefix.size())
                         .arg(desc.nHeadSize)
                         .arg(QLatin1String(desc.szName));
        return HeadTruncated;
    }
    if (m_pHead->FileCount > quint32(BackUpHead::kMaxEntries)) {
        m_strError = QStringLiteral("the header declares %1 entries, more than the %2 it can hold")
                         .arg(m_pHead->FileCount)
                         .arg(BackUpHead::kMaxEntries);
        return BadFileCount;
    }
    // What was read beyond the header is the start of the first entry.
    m_baPending = baPrefix.mid(int(desc.nHeadSize));
    m_nPendingPos = 0;
    m_nNextEntry = 0;
    return OpenOk;
}

PackageReader::OpenResult PackageReader::Open(const char *szPath, PackageLayout::Id layout)
{
    OpenResult result = OpenStream(szPath);
    if (result != OpenOk)
        return result;
    QByteArray baPrefix;
    result = ReadHead(PackageLayout::Get(layout).nHeadSize, baPrefix);
    if (result == OpenOk)
        result = AcceptHead(baPrefix, layout);
    if (result != OpenOk)
        Close();
    return result;
}

PackageReader::OpenResult PackageReader::Open(const char *szPath)
{
    OpenResult result = OpenStream(szPath);
    if (result != OpenOk)
        return result;
    QByteArray baPrefix;
    result = ReadHead(PackageLayout::kMaxHeadSize, baPrefix);
    if (result != OpenOk) {
        Close();
        return result;
    }
    PackageLayout::Id layout = PackageLayout::MMS;
    if (baPrefix.size() >= BackUpHead::kVersionSize && PackageLayout::IsVersioned(baPrefix.constData())) {
        layout = ChooseVersionedLayout(baPrefix.constData());
    } else {
        if (baPrefix.size() < qint64(PackageLayout::kMinUnversionedHeadSize)) {
            m_strError = baPrefix.isEmpty()
                             ? QStringLiteral("the package is empty")
                             : QStringLiteral("the package is too short to hold a header (%1 bytes)").arg(baPrefix.size());
            Close();
            return HeadTruncated;
        }
        // Read as fh, zero-filled where the package is shorter than that.
        QByteArray baFh = baPrefix.left(int(kUnversionedFhSize));
        baFh.append(QByteArray(int(kUnversionedFhSize) - baFh.size(), '\0'));
        BackUpHead &fh = *m_pHead;
        PackageLayout::Get(PackageLayout::Fh).Parse(baFh.constData(), baFh.size(), fh);
        if (fh.FileCount < 1 || fh.FileCount > 12) {
            m_strError = QStringLiteral("not a backup package: no version text, and %1 entries is not a plausible "
                                        "count for an unversioned one")
                             .arg(fh.FileCount);
            Close();
            return NotAPackage;
        }
        layout = ChooseUnversionedLayout(fh);
    }
    result = AcceptHead(baPrefix, layout);
    if (result != OpenOk)
        Close();
    return result;
}

qint64 PackageReader::ReadRaw(char *pData, qint64 nLength)
{
    qint64 nGot = 0;
    if (m_nPendingPos < m_baPending.size()) {
        nGot = qMin<qint64>(nLength, m_baPending.size() - m_nPendingPos);
        std::memcpy(pData, m_baPending.constData() + m_nPendingPos, size_t(nGot));
        m_nPendingPos += nGot;
        if (m_nPendingPos == m_baPending.size()) {
            m_baPending.clear();
            m_nPendingPos = 0;
        }
    }
    while (nGot < nLength) {
        // gzread may drop the count of a call that ends in an error; the
        // stream position tells how many bytes really arrived.
        // z_off_t may be 32 bits wide; a difference below 4 GiB survives the
        // wrap-around of a long stream.
        const quint64 nBefore = quint64(gztell(m_gzFile));
        const unsigned nAsked = ChunkLength(nLength - nGot);
        const int nRead = gzread(m_gzFile, pData + nGot, nAsked);
        const qint64 nArrived = qint64(quint32(quint64(gztell(m_gzFile)) - nBefore));
        int nError = Z_OK;
        gzerror(m_gzFile, &nError);
        if (nRead < 0 || (nError != Z_OK && nError != Z_BUF_ERROR)) {
            m_strError = GzErrorText(m_gzFile);
            return -1;
        }
        nGot += qMin<qint64>(qMax<qint64>(nRead, nArrived), nAsked);
        if (nError == Z_BUF_ERROR) {
            // The compressed data ends early: a truncated package.
            m_bCut = true;
            m_strError = QStringLiteral("the compressed stream is cut off");
            return nGot > 0 ? nGot : 0;
        }
        if (nRead == 0)
            break;
    }
    return nGot;
}

PackageReader::ReadResult PackageReader::ReadEntry(QIODevice *pSink, qint64 *pnRead)
{
    if (pnRead)
        *pnRead = 0;
    if (!m_gzFile || m_bBroken || m_nNextEntry >= EntryCount()) {
        if (m_strError.isEmpty())
            m_strError = QStringLiteral("no entry left to read");
        return ReadShort;
    }
    const qint64 nSize = m_pHead->Size[m_nNextEntry];
    if (m_baChunk.size() < qMin(nSize, kChunkSize))
        m_baChunk.resize(int(qMin(nSize, kChunkSize)));
    qint64 nDone = 0;
    while (nDone < nSize) {
        const qint64 nWant = qMin(nSize - nDone, kChunkSize);
        const qint64 nRead = ReadRaw(m_baChunk.data(), nWant);
        if (nRead < 0) {
            m_bBroken = true;
            if (pnRead)
                *pnRead = nDone;
            return ReadFailed;
        }
        if (nRead > 0 && pSink && pSink->write(m_baChunk.constData(), nRead) != nRead) {
            m_bBroken = true;
            m_strError = QStringLiteral("cannot write: %1").arg(pSink->errorString());
            if (pnRead)
                *pnRead = nDone + nRead;
            return WriteFailed;
        }
        nDone += nRead;
        if (nRead < nWant) {
            m_bBroken = true;
            if (pnRead)
                *pnRead = nDone;
            m_strError = QStringLiteral("the package ends after %1 of the %2 bytes declared for entry %3%4")
                             .arg(nDone)
                             .arg(nSize)
                             .arg(m_nNextEntry)
                             .arg(m_bCut ? QStringLiteral(" (the compressed stream is cut off)") : QString());
            return ReadShort;
        }
    }
    if (pnRead)
        *pnRead = nDone;
    ++m_nNextEntry;
    return ReadOk;
}

PackageReader::ReadResult PackageReader::ReadRest(qint64 *pnLeftOver)
{
    if (pnLeftOver)
        *pnLeftOver = 0;
    if (!m_gzFile || m_bBroken)
        return ReadFailed;
    if (m_baChunk.size() < 64 * 1024)
        m_baChunk.resize(64 * 1024);
    qint64 nLeft = 0;
    for (;;) {
        const qint64 nRead = ReadRaw(m_baChunk.data(), m_baChunk.size());
        if (nRead < 0) {
            m_bBroken = true;
            if (pnLeftOver)
                *pnLeftOver = nLeft;
            return ReadFailed;
        }
        nLeft += nRead;
        if (nRead < m_baChunk.size())
            break;
    }
    if (pnLeftOver)
        *pnLeftOver = nLeft;
    int nError = Z_OK;
    gzerror(m_gzFile, &nError);
    if (nError == Z_BUF_ERROR) {
        m_bCut = true;
        m_strError = QStringLiteral("the compressed stream is cut off");
        return ReadShort;
    }
    return ReadOk;
}

bool PackageReader::ReadPrefix(const char *szPath, qint64 nWanted, QByteArray &baPrefix, QString *pstrError)
{
    PackageReader reader;
    if (reader.OpenStream(szPath) != OpenOk || reader.ReadHead(nWanted, baPrefix) != OpenOk) {
        if (pstrError)
            *pstrError = reader.m_strError;
        return false;
    }
    return true;
}

PackageLayout::Id PackageReader::ChooseUnversionedLayout(const BackUpHead &fh)
{
    const int nCounts = PackageLayout::Get(PackageLayout::Fh).nCounts;
    quint32 nNonZero = 0;
    for (int i = 0; i < nCounts; ++i)
        nNonZero += fh.Counts[i] != 0 ? 1 : 0;
    if (fh.FileCount == nNonZero + 1)
        return PackageLayout::Fh;
    // Count 4 read as fh lies where fh1 keeps its device name: text there
    // makes a large number, a fh2 count a small one.
    if (fh.Counts[4] <= 1024)
        return PackageLayout::Fh2;
    return PackageLayout::Fh1;
}

PackageLayout::Id PackageReader::ChooseVersionedLayout(const char *szVersion)
{
    if (PackageLayout::SupportsMMS(szVersion))
        return PackageLayout::MMS;
    if (PackageLayout::SupportsMedia(szVersion))
        return PackageLayout::B610;
    return PackageLayout::B400;
}
