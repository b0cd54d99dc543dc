#include "SyncStream.h"

#include "AdbConnection.h"
#include "PhoneSimulator.h"
#include "RestoreCommands.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <QtEndian>

SyncStream::SyncStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId, const AdbPhone &phone)
    : AdbStream(pConnection, nLocalId, nRemoteId)
    , m_phone(phone)
{
}

SyncStream::~SyncStream()
{
    // A file whose DONE never came is removed, as a phone's adbd does when
    // the connection ends early.
    if (m_pIncoming)
        m_pIncoming->remove();
}

void SyncStream::Receive(const QByteArray &baData)
{
    if (IsFinishing() || m_bGone)
        return;
    m_baIn.append(baData);
    HandleRequests();
}

void SyncStream::AppendRecord(const char *szId, std::initializer_list<uint32_t> listWords)
{
    char *p = Grow(4 + 4 * qsizetype(listWords.size()));
    memcpy(p, szId, 4);
    p += 4;
    for (uint32_t nWord : listWords) {
        qToLittleEndian<quint32>(nWord, p);
        p += 4;
    }
}

void SyncStream::Fail(const QByteArray &baMessage)
{
    AppendRecord("FAIL", {uint32_t(baMessage.size())});
    Append(baMessage);
    m_pFile.reset();
    if (m_pIncoming) {
        // A file that could not be written whole is not kept.
        m_pIncoming->remove();
        m_pIncoming.reset();
    }
    m_baIn.clear();
    Finish();
}

void SyncStream::HandleRequests()
{
    // Requests wait while a file is being sent.
    while (!IsFinishing() && !m_bGone && !m_pFile && m_baIn.size() >= 8) {
        // A stalled phone reads requests but answers none; they wait.
        if (m_bWithheld || Connection()->WithholdsRequests()) {
            m_bWithheld = true;
            return;
        }
        if (m_pIncoming) {
            if (!ReceiveRecord())
                return;
            continue;
        }
        const QByteArray baId = m_baIn.left(4);
        const quint32 nLength = qFromLittleEndian<quint32>(m_baIn.constData() + 4);
        if (baId == "QUIT") {
            m_baIn.clear();
            Finish();
            return;
        }
        if (nLength > kMaxPath) {
            Fail("path too long");
            return;
        }
        if (m_baIn.size() < 8 + qsizetype(nLength))
            return;
        const QString strPath = m_phone.PathOfRequest(m_baIn.mid(8, nLength));
        m_baIn.remove(0, 8 + nLength);
        if (baId == "STAT")
            Stat(strPath);
        else if (baId == "LIST")
            List(strPath, false);
        else if (baId == "LIS2" && m_phone.HasListV2())
            List(strPath, true);
        else if (baId == "RECV")
            StartRecv(strPath);
        else if (baId == "SEND")
            StartSend(strPath);
        else
            Fail("unknown command " + baId.toHex());
    }
}

void SyncStream::Stat(const QString &strPath)
{
    const AdbPhone::Node node = m_phone.Stat(strPath, false);
    if (node.access != AdbPhone::Found)
        AppendRecord("STAT", {0, 0, 0});
    else
        AppendRecord("STAT", {node.nMode, uint32_t(node.nSize), uint32_t(node.nMtime)});
}

void SyncStream::AppendRecordV2(const char *szId, const AdbPhone::Node &node, uint32_t nNameLength)
{
    char *p = Grow(kRecordV2);
    memset(p, 0, kRecordV2);
    memcpy(p, szId, 4);
    // error 4, dev 8, ino 8: zero
    qToLittleEndian<quint32>(node.nMode, p + 24);
    qToLittleEndian<quint32>(node.bDir ? 2 : 1, p + 28); // nlink
    qToLittleEndian<quint32>(2000, p + 32);               // uid, gid: shell
    qToLittleEndian<quint32>(2000, p + 36);
    qToLittleEndian<quint64>(quint64(node.nSize), p + 40);
    qToLittleEndian<qint64>(node.nMtime, p + 48); // atime
    qToLittleEndian<qint64>(node.nMtime, p + 56);
    qToLittleEndian<qint64>(node.nMtime, p + 64); // ctime
    qToLittleEndian<quint32>(nNameLength, p + 72);
}

void SyncStream::List(const QString &strPath, bool bV2)
{
    QList<AdbPhone::Entry> listEntries;
    m_phone.List(strPath, false, &listEntries); // a folder that cannot be listed is empty
    for (const AdbPhone::Entry &entry : listEntries) {
        const QByteArray baName = entry.node.baRawName.isEmpty() ? entry.strName.toUtf8() : entry.node.baRawName;
        if (baName.size() > 255)
            continue;
        if (bV2)
            AppendRecordV2("DNT2", entry.node, uint32_t(baName.size()));
        else
            AppendRecord("DENT", {entry.node.nMode, uint32_t(entry.node.nSize), uint32_t(entry.node.nMtime), uint32_t(baName.size())});
        Append(baName);
    }
    if (bV2)
        AppendRecordV2("DONE", AdbPhone::Node(), 0);
    else
        AppendRecord("DONE", {0, 0, 0, 0});
}

void SyncStream::StartRecv(const QString &strPath)
{
    const AdbPhone::Node node = m_phone.Stat(strPath, false);
    if (node.access == AdbPhone::Denied || (node.access == AdbPhone::Found && m_phone.IsReadDenied(strPath))) {
        Fail("open failed: Permission denied");
        return;
    }
    if (node.access == AdbPhone::NotFound || m_phone.IsVanished(strPath) || node.strHostPath.isEmpty()) {
        Fail(node.bDir ? "read failed: Is a directory" : "open failed: No such file or directory");
        return;
    }
    if (node.bDir) {
        Fail("read failed: Is a directory");
        return;
    }
    m_pFile = std::make_unique<QFile>(node.strHostPath);
    if (!m_pFile->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        Fail("open failed: Permission denied");
        return;
    }
}

void SyncStream::Produce(qsizetype nWanted)
{
    while (m_pFile && Pending() < nWanted) {
        char *p = Grow(8 + kDataChunk);
        const qint64 nRead = m_pFile->read(p + 8, kDataChunk);
        if (nRead > 0) {
            memcpy(p, "DATA", 4);
            qToLittleEndian<quint32>(quint32(nRead), p + 4);
            Trim(kDataChunk - nRead);
            continue;
        }
        Trim(8 + kDataChunk);
        if (nRead < 0) {
            Fail("read failed: " + m_pFile->errorString().toUtf8());
            return;
        }
        m_pFile.reset();
        AppendRecord("DONE", {0});
        m_bUnplugWhenSent = Connection()->FileSent();
        if (m_bUnplugWhenSent) {
            // Nothing more is answered on an unplugged phone.
            m_baIn.clear();
            Finish();
            return;
        }
        HandleRequests();
    }
}

void SyncStream::StartSend(const QString &strPathAndMode)
{
    const qsizetype nComma = strPathAndMode.lastIndexOf(QLatin1Char(','));
    const QString strPath = nComma < 0 ? strPathAndMode : strPathAndMode.left(nComma);
    QString strError;
    const QString strHost = RestoreCommands::WritableHostPath(m_phone, strPath, &strError);
    if (strHost.isEmpty()) {
        Fail("couldn't create file: " + strError.toUtf8());
        return;
    }
    if (QFileInfo(strHost).isDir() || !QDir().mkpath(QFileInfo(strHost).absolutePath())) {
        Fail(QFileInfo(strHost).isDir() ? "couldn't create file: Is a directory" : "couldn't create file: Not a directory");
        return;
    }
    m_pIncoming = std::make_unique<QFile>(strHost);
    if (!m_pIncoming->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_pIncoming.reset();
        Fail("couldn't create file: Permission denied");
        return;
    }
    m_bUnplugMidway = Connection()->Simulator()->PushStarted(m_phone);
}

bool SyncStream::ReceiveRecord()
{
    const QByteArray baId = m_baIn.left(4);
    const quint32 nLength = qFromLittleEndian<quint32>(m_baIn.constData() + 4);
    if (baId == "DONE") {
        m_baIn.remove(0, 8);
        EndSend(nLength);
        return true;
    }
    if (baId != "DATA" || nLength > kDataChunk) {
        Fail("invalid data message");
        return false;
    }
    if (m_baIn.size() < 8 + qsizetype(nLength))
        return false;
    if (!Connection()->Simulator()->TakePushSpace(m_phone, nLength)) {
        Fail("No space left on device");
        return false;
    }
    if (m_pIncoming->write(m_baIn.constData() + 8, nLength) != qint64(nLength)) {
        Fail("write failed: " + m_pIncoming->errorString().toUtf8());
        return false;
    }
    m_baIn.remove(0, 8 + nLength);
    if (m_bUnplugMidway) {
        // The cable comes out half-way through the file.
        m_pIncoming->remove();
        m_pIncoming.reset();
        m_bGone = true;
        m_baIn.clear();
        QMetaObject::invokeMethod(Connection()->Simulator(), &PhoneSimulator::Unplug, Qt::QueuedConnection);
        return false;
    }
    return true;
}

void SyncStream::EndSend(qint64 nMtime)
{
    // Written out first: a later write would set the time again.
    m_pIncoming->flush();
    m_pIncoming->setFileTime(QDateTime::fromSecsSinceEpoch(nMtime, Qt::UTC), QFileDevice::FileModificationTime);
    m_pIncoming->close();
    m_pIncoming.reset();
    AppendRecord("OKAY", {0});
}
