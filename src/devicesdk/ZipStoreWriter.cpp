#include "ZipStoreWriter.h"

#include <QFileInfo>

#include <zlib.h>

namespace
{
const qint64 kChunk = 64 * 1024;

void Put16(QByteArray &ba, quint32 n)
{
    ba.append(char(n & 0xff));
    ba.append(char((n >> 8) & 0xff));
}

void Put32(QByteArray &ba, quint32 n)
{
    Put16(ba, n & 0xffff);
    Put16(ba, n >> 16);
}

void DosTime(const QDateTime &dt, quint16 *pTime, quint16 *pDate)
{
    const QDate date = dt.date();
    const QTime time = dt.time();
    if (!dt.isValid() || date.year() < 1980) {
        *pTime = 0;
        *pDate = (1 << 5) | 1; // 1980-01-01
        return;
    }
    *pTime = quint16((time.hour() << 11) | (time.minute() << 5) | (time.second() / 2));
    *pDate = quint16(((date.year() - 1980) << 9) | (date.month() << 5) | date.day());
}
} // namespace

ZipStoreWriter::~ZipStoreWriter()
{
    if (m_file.isOpen())
        m_file.close();
}

bool ZipStoreWriter::Open(const QString &strPath)
{
    m_listEntries.clear();
    m_bFailed = false;
    m_file.setFileName(strPath);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void ZipStoreWriter::PutEntryFields(QByteArray &ba, const Entry &entry)
{
    // The fields the local header and the central directory share, from
    // "version needed" to the name's length.
    Put16(ba, 10);      // version needed
    Put16(ba, 1 << 11); // names are UTF-8
    Put16(ba, 0);       // stored
    Put16(ba, entry.nTime);
    Put16(ba, entry.nDate);
    Put32(ba, entry.nCrc);
    Put32(ba, entry.nSize);
    Put32(ba, entry.nSize);
    Put16(ba, quint32(entry.baName.size()));
}

bool ZipStoreWriter::WriteLocalHeader(Entry &entry)
{
    const qint64 nOffset = m_file.pos();
    if (nOffset > 0xffffffffLL)
        return false;
    entry.nOffset = quint32(nOffset);
    QByteArray ba;
    Put32(ba, 0x04034b50);
    PutEntryFields(ba, entry);
    Put16(ba, 0);
    ba.append(entry.baName);
    return m_file.write(ba) == ba.size();
}

bool ZipStoreWriter::AddFile(const QString &strName, const QString &strHostPath)
{
    if (!m_file.isOpen() || m_bFailed)
        return false;
    QFile source(strHostPath);
    if (!source.open(QIODevice::ReadOnly) || source.size() > 0xffffffffLL)
        return false;
    Entry entry;
    entry.baName = strName.toUtf8();
    if (entry.baName.isEmpty() || entry.baName.size() > 0xffff)
        return false;
    DosTime(QFileInfo(strHostPath).lastModified(), &entry.nTime, &entry.nDate);
    // First pass: the checksum, which the local header carries.
    uLong nCrc = crc32(0L, Z_NULL, 0);
    qint64 nTotal = 0;
    QByteArray baChunk;
    while (!(baChunk = source.read(kChunk)).isEmpty()) {
        nCrc = crc32(nCrc, reinterpret_cast<const Bytef *>(baChunk.constData()), uInt(baChunk.size()));
        nTotal += baChunk.size();
    }
    if (nTotal > 0xffffffffLL || !source.seek(0))
        return false;
    entry.nCrc = quint32(nCrc);
    entry.nSize = quint32(nTotal);
    if (!WriteLocalHeader(entry)) {
        m_bFailed = true;
        return false;
    }
    qint64 nCopied = 0;
    while (nCopied < nTotal) {
        baChunk = source.read(qMin(kChunk, nTotal - nCopied));
        if (baChunk.isEmpty() || m_file.write(baChunk) != baChunk.size()) {
            m_bFailed = true; // the header already promised nTotal bytes
            return false;
        }
        nCopied += baChunk.size();
    }
    m_listEntries.append(entry);
    return true;
}

bool ZipStoreWriter::AddData(const QString &strName, const QByteArray &baData, const QDateTime &dtModified)
{
    if (!m_file.isOpen() || m_bFailed)
        return false;
    Entry entry;
    entry.baName = strName.toUtf8();
    if (entry.baName.isEmpty() || entry.baName.size() > 0xffff)
        return false;
    DosTime(dtModified, &entry.nTime, &entry.nDate);
    entry.nCrc = quint32(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef *>(baData.constData()),
                               uInt(baData.size())));
    entry.nSize = quint32(baData.size());
    if (!WriteLocalHeader(entry) || m_file.write(baData) != baData.size()) {
        m_bFailed = true;
        return false;
    }
    m_listEntries.append(entry);
    return true;
}

bool ZipStoreWriter::Close()
{
    if (!m_file.isOpen())
        return false;
    const qint64 nDirOffset = m_file.pos();
    QByteArray ba;
    for (const Entry &entry : m_listEntries) {
        Put32(ba, 0x02014b50);
        Put16(ba, (3 << 8) | 20); // made by: Unix
        PutEntryFields(ba, entry);
        Put16(ba, 0); // extra
        Put16(ba, 0); // comment
        Put16(ba, 0); // disk
        Put16(ba, 0); // internal attributes
        Put32(ba, quint32(0100644) << 16);
        Put32(ba, entry.nOffset);
        ba.append(entry.baName);
    }
    const qint64 nDirSize = ba.size();
    Put32(ba, 0x06054b50);
    Put16(ba, 0);
    Put16(ba, 0);
    Put16(ba, quint32(m_listEntries.size()));
    Put16(ba, quint32(m_listEntries.size()));
    Put32(ba, quint32(nDirSize));
    Put32(ba, quint32(nDirOffset));
    Put16(ba, 0);
    const bool bOk = !m_bFailed && m_listEntries.size() <= 0xffff && nDirOffset <= 0xffffffffLL
        && m_file.write(ba) == ba.size();
    m_file.close();
    return bOk && m_file.error() == QFileDevice::NoError;
}
