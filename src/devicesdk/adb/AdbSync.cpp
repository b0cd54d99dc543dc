#include "AdbSync.h"

#include "AdbPartFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>

#include <cstdio>
#include <cstring>

namespace
{
const quint32 kMaxFailMessage = 4096;

quint32 Le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

qint64 Le64(const char *p)
{
    return qFromLittleEndian<qint64>(p);
}
} // namespace

void AdbSync::Entry::SetName(const QByteArray &baBytes)
{
    // Bytes are kept only for a name that its text does not give back.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    strName = decoder(baBytes);
    baName = decoder.hasError() ? baBytes : QByteArray();
}

AdbSync::AdbSync(std::unique_ptr<AdbSocket> pSocket, bool bListV2)
    : m_pSocket(std::move(pSocket))
    , m_bListV2(bListV2)
{
    m_bUsable = m_pSocket && m_pSocket->IsOpen();
}

AdbSync::~AdbSync() = default;

bool AdbSync::IsUsable() const
{
    return m_bUsable && m_pSocket && !m_pSocket->IsBroken();
}

QByteArray AdbSync::Request(const char *szId, const QByteArray &baPath)
{
    QByteArray ba(8, '\0');
    memcpy(ba.data(), szId, 4);
    qToLittleEndian<quint32>(quint32(baPath.size()), ba.data() + 4);
    return ba + baPath;
}

AdbSync::Result AdbSync::Fail(QString *pError)
{
    m_bUsable = false;
    if (pError && pError->isEmpty())
        *pError = QStringLiteral("the connection to the phone ended");
    return Result::Broken;
}

AdbSync::Result AdbSync::ReadFailMessage(quint32 nLength, QString *pError)
{
    if (nLength > kMaxFailMessage)
        return Fail(pError);
    QByteArray baMessage(int(nLength), '\0');
    if (!m_pSocket->ReadExact(baMessage.data(), nLength))
        return Fail(pError);
    // The phone closes the service after a failed request.
    m_bUsable = false;
    if (pError)
        *pError = QString::fromUtf8(baMessage);
    return Result::RemoteFailed;
}

AdbSync::Result AdbSync::Stat(const QString &strPath, Entry &entry, QString *pError)
{
    const QByteArray baPath = strPath.toUtf8();
    if (!IsUsable() || baPath.size() > kMaxPath)
        return Fail(pError);
    if (!m_pSocket->WriteAll(Request("STAT", baPath)))
        return Fail(pError);
    char header[16];
    if (!m_pSocket->ReadExact(header, 16) || memcmp(header, "STAT", 4) != 0)
        return Fail(pError);
    entry.strName = QFileInfo(strPath).fileName();
    entry.nMode = Le32(header + 4);
    entry.nSize = Le32(header + 8);
    entry.nMtime = Le32(header + 12);
    return Result::Ok;
}

quint32 AdbSync::DecodeDent(const char *pRecord, Entry &entry)
{
    entry.nMode = Le32(pRecord + 4);
    entry.nSize = Le32(pRecord + 8);
    entry.nMtime = Le32(pRecord + 12);
    return Le32(pRecord + 16);
}

quint32 AdbSync::DecodeDent2(const char *pRecord, Entry &entry)
{
    // id, error, dev (8), ino (8), mode, nlink, uid, gid, size (8), atime (8),
    // mtime (8), ctime (8), name length. An entry the phone could not stat
    // carries an error and no type, so it is neither a file nor a folder.
    const bool bError = Le32(pRecord + 4) != 0;
    entry.nMode = bError ? 0 : Le32(pRecord + 24);
    entry.nSize = bError ? 0 : Le64(pRecord + 40);
    entry.nMtime = bError ? 0 : Le64(pRecord + 56);
    return Le32(pRecord + 72);
}

AdbSync::Result AdbSync::List(const QString &strPath, QList<Entry> &listEntries, QString *pError, bool *pbOpened)
{
    if (pbOpened)
        *pbOpened = false;
    if (!SendList(strPath.toUtf8()))
        return Fail(pError);
    return ReadList(listEntries, pError, pbOpened);
}

bool AdbSync::SendList(const QByteArray &baPath)
{
    if (!IsUsable() || baPath.size() > kMaxPath)
        return false;
    return m_pSocket->WriteAll(Request(m_bListV2 ? "LIS2" : "LIST", baPath));
}

AdbSync::Result AdbSync::ReadList(QList<Entry> &listEntries, QString *pError, bool *pbOpened)
{
    if (pbOpened)
        *pbOpened = false;
    if (!IsUsable())
        return Fail(pError);
    const char *const szEntryId = m_bListV2 ? "DNT2" : "DENT";
    const int nRest = m_bListV2 ? kDent2Rest : kDentRest;
    for (;;) {
        char record[8 + kDent2Rest];
        if (!m_pSocket->ReadExact(record, 8))
            return Fail(pError);
        // A FAIL is 8 bytes and its message; DONE has the size of an entry.
        if (memcmp(record, "FAIL", 4) == 0)
            return ReadFailMessage(Le32(record + 4), pError);
        if (!m_pSocket->ReadExact(record + 8, nRest))
            return Fail(pError);
        if (memcmp(record, "DONE", 4) == 0)
            return Result::Ok;
        if (memcmp(record, szEntryId, 4) != 0)
            return Fail(pError);
        Entry entry;
        const quint32 nNameLength = m_bListV2 ? DecodeDent2(record, entry) : DecodeDent(record, entry);
        if (nNameLength > quint32(kMaxPath))
            return Fail(pError);
        QByteArray baName(int(nNameLength), '\0');
        if (!m_pSocket->ReadExact(baName.data(), nNameLength))
            return Fail(pError);
        if (baName == "." || baName == "..") {
            if (pbOpened)
                *pbOpened = true;
            continue;
        }
        entry.SetName(baName);
        listEntries.append(entry);
    }
}

AdbSync::Result AdbSync::Recv(const QString &strPath, const QString &strLocalPath, QString *pError,
                              const std::function<void(qint64)> &fnProgress)
{
    if (!SendRecv(strPath.toUtf8()))
        return Fail(pError);
    return ReadRecv(strLocalPath, pError, fnProgress);
}

bool AdbSync::SendRecv(const QByteArray &baPath)
{
    if (!IsUsable() || baPath.size() > kMaxPath)
        return false;
    return m_pSocket->WriteAll(Request("RECV", baPath));
}

AdbSync::Result AdbSync::ReadRecv(const QString &strLocalPath, QString *pError,
                                  const std::function<void(qint64)> &fnProgress)
{
    if (!IsUsable())
        return Fail(pError);
    AdbPartFile target(strLocalPath);
    // The request is on its way: the phone's answer is read to its end even
    // when the PC side cannot be written, so that the connection stays in step.
    qint64 nCopied = 0;
    bool bWriteFailed = !target.IsOpen();
    const Result result = ReadAnswer(
            [&](const char *pData, quint32 nLength) {
                if (!bWriteFailed && !target.Write(pData, nLength))
                    bWriteFailed = true;
                nCopied += nLength;
                if (fnProgress)
                    fnProgress(nCopied);
            },
            pError);
    if (result != Result::Ok)
        return result;
    if (bWriteFailed || !target.Commit()) {
        if (pError)
            *pError = QStringLiteral("cannot write %1").arg(strLocalPath);
        return Result::LocalFailed;
    }
    return Result::Ok;
}

AdbSync::Result AdbSync::ReadRecvData(QByteArray *pData, qint64 nMaxBytes, QString *pError)
{
    if (!IsUsable())
        return Fail(pError);
    // Emptied, but the room the caller reserved is kept.
    pData->resize(0);
    bool bTooLarge = false;
    const Result result = ReadAnswer(
            [&](const char *pChunk, quint32 nLength) {
                bTooLarge = bTooLarge || pData->size() + qint64(nLength) > nMaxBytes;
                if (bTooLarge)
                    pData->clear();
                else
                    pData->append(pChunk, nLength);
            },
            pError);
    if (result == Result::Ok && bTooLarge) {
        if (pError)
            *pError = QStringLiteral("the file is larger than %1 bytes").arg(nMaxBytes);
        return Result::LocalFailed;
    }
    return result;
}

AdbSync::Result AdbSync::ReadAnswer(const std::function<void(const char *, quint32)> &fnChunk, QString *pError)
{
    QByteArray baChunk(kMaxChunk, '\0');
    for (;;) {
        char header[8];
        if (!m_pSocket->ReadExact(header, 8))
            return Fail(pError);
        const quint32 nLength = Le32(header + 4);
        if (memcmp(header, "DONE", 4) == 0)
            return Result::Ok;
        if (memcmp(header, "FAIL", 4) == 0)
            return ReadFailMessage(nLength, pError);
        if (memcmp(header, "DATA", 4) != 0 || nLength > quint32(kMaxChunk))
            return Fail(pError);
        if (!m_pSocket->ReadExact(baChunk.data(), nLength))
            return Fail(pError);
        fnChunk(baChunk.constData(), nLength);
    }
}

void AdbSync::Abort()
{
    m_bUsable = false;
    if (m_pSocket)
        m_pSocket->Abort();
}

void AdbSync::Quit()
{
    if (IsUsable())
        m_pSocket->WriteAll(Request("QUIT", QByteArray()));
    m_bUsable = false;
    if (m_pSocket)
        m_pSocket->Close();
}
