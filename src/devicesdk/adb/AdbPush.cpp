#include "AdbPush.h"

#include "AdbSync.h"
#include "sdk/dvsk_restore.h"

#include <QFile>
#include <QtEndian>

#include <cstring>

namespace
{
QByteArray Header(const char *szId, quint32 nValue)
{
    QByteArray ba(szId, 4);
    char acValue[4];
    qToLittleEndian(nValue, acValue);
    ba.append(acValue, 4);
    return ba;
}

bool IsNoSpace(const QString &strMessage)
{
    return strMessage.contains(QLatin1String("No space left"), Qt::CaseInsensitive);
}
} // namespace

AdbPush::AdbPush(Opener fnOpen, ProgressHandler fnProgress, DoneHandler fnDone)
    : m_fnOpen(std::move(fnOpen)), m_fnProgress(std::move(fnProgress)), m_fnDone(std::move(fnDone))
{
}

AdbPush::~AdbPush() = default;

void AdbPush::Abort()
{
    m_bAborted = true;
    QMutexLocker locker(&m_mutex);
    if (m_pSocket)
        m_pSocket->Abort();
}

bool AdbPush::Connect()
{
    QString strError;
    std::unique_ptr<AdbSocket> pSocket = m_bAborted.load() ? nullptr : m_fnOpen(&strError);
    QMutexLocker locker(&m_mutex);
    m_pSocket = std::move(pSocket);
    if (m_pSocket && m_bAborted.load())
        m_pSocket->Abort();
    return m_pSocket && !m_bAborted.load();
}

bool AdbPush::SendFile(const File &file, bool *pLocalFailed, QString *pLocalError)
{
    *pLocalFailed = false;
    QFile local(file.strLocalPath);
    if (!local.open(QIODevice::ReadOnly)) {
        *pLocalFailed = true;
        *pLocalError = QStringLiteral("cannot read %1: %2").arg(file.strLocalPath, local.errorString());
        return true;
    }
    const QByteArray baTarget = file.strPhonePath.toUtf8() + ',' + QByteArray::number(kFileMode);
    if (!m_pSocket->WriteAll(Header("SEND", quint32(baTarget.size())) + baTarget))
        return false;
    QByteArray baChunk(8 + AdbSync::kMaxChunk, Qt::Uninitialized);
    qint64 nSent = 0;
    for (;;) {
        const qint64 nRead = local.read(baChunk.data() + 8, AdbSync::kMaxChunk);
        if (nRead < 0) {
            // The phone must not keep a short file: the connection is given up.
            *pLocalFailed = true;
            *pLocalError = QStringLiteral("cannot read %1: %2").arg(file.strLocalPath, local.errorString());
            m_pSocket->Abort();
            return false;
        }
        if (nRead == 0)
            break;
        memcpy(baChunk.data(), "DATA", 4);
        qToLittleEndian(quint32(nRead), baChunk.data() + 4);
        if (!m_pSocket->WriteAll(baChunk.constData(), 8 + nRead))
            return false;
        nSent += nRead;
        m_fnProgress(file, nSent);
    }
    return m_pSocket->WriteAll(Header("DONE", quint32(file.nMtime)));
}

int AdbPush::ReadAnswer(QList<File> &listQueue)
{
    char acHeader[8];
    if (!m_pSocket->ReadExact(acHeader, 8))
        return kBroken;
    const quint32 nLength = qFromLittleEndian<quint32>(acHeader + 4);
    const File file = m_listInFlight.takeFirst();
    if (memcmp(acHeader, "OKAY", 4) == 0) {
        m_fnDone(file, 0, QString());
        return 0;
    }
    QByteArray baMessage(qMin<quint32>(nLength, 4096), Qt::Uninitialized);
    if (memcmp(acHeader, "FAIL", 4) != 0 || !m_pSocket->ReadExact(baMessage.data(), baMessage.size())) {
        m_listInFlight.prepend(file);
        return kBroken;
    }
    const QString strMessage = QString::fromUtf8(baMessage);
    m_fnDone(file, IsNoSpace(strMessage) ? DVSK_RESTORE_ERR_NO_SPACE : DVSK_RESTORE_ERR_REFUSED, strMessage);
    if (IsNoSpace(strMessage))
        return DVSK_RESTORE_ERR_NO_SPACE;
    // The phone ended its sync service: what was sent after this goes again.
    listQueue = m_listInFlight + listQueue;
    m_listInFlight.clear();
    QMutexLocker locker(&m_mutex);
    m_pSocket.reset();
    return 1;
}

int AdbPush::DrainAfterBreak(QList<File> &listQueue)
{
    while (!m_listInFlight.isEmpty()) {
        const int nAnswer = ReadAnswer(listQueue);
        if (nAnswer != 0)
            return nAnswer == 1 ? 0 : nAnswer;
    }
    return kBroken;
}

int AdbPush::Run(const QList<File> &listFiles)
{
    QList<File> listQueue = listFiles;
    while (!listQueue.isEmpty() || !m_listInFlight.isEmpty()) {
        if (m_bAborted.load())
            return kBroken;
        if (!m_pSocket && !Connect())
            return kBroken;
        int nAnswer = 0;
        if (!listQueue.isEmpty() && m_listInFlight.size() < kMaxInFlight) {
            const File file = listQueue.takeFirst();
            bool bLocalFailed = false;
            QString strLocalError;
            const bool bSent = SendFile(file, &bLocalFailed, &strLocalError);
            if (bLocalFailed)
                m_fnDone(file, DVSK_DEV_ERR_LOCAL_FILE, strLocalError);
            else
                m_listInFlight.append(file);
            if (!bSent && bLocalFailed) {
                // The connection was given up on purpose: what was in flight goes again.
                listQueue = m_listInFlight + listQueue;
                m_listInFlight.clear();
                QMutexLocker locker(&m_mutex);
                m_pSocket.reset();
                continue;
            }
            if (!bSent)
                nAnswer = DrainAfterBreak(listQueue);
            // Answers that are already here are taken without waiting.
            while (nAnswer == 0 && bSent && !m_listInFlight.isEmpty() && m_pSocket->WaitReadable(0) == 1)
                nAnswer = ReadAnswer(listQueue);
        } else {
            nAnswer = ReadAnswer(listQueue);
        }
        if (nAnswer != 0 && nAnswer != 1)
            return nAnswer;
    }
    return 0;
}
