#pragma once

#include "AdbPhone.h"
#include "AdbStream.h"

#include <QByteArray>
#include <QFile>

#include <memory>

// The "sync:" service, version 1 of the file protocol: requests of an id,
// a little-endian length and a path; STAT, LIST and RECV answered from the
// phone, LIS2 too on a phone with ls_v2, SEND writes where the shell user
// may write, QUIT ends the service. As on a phone, a failed request (FAIL)
// also ends it: the client opens a new sync stream for the next file.
// A file is sent in DATA chunks of at most 64 KiB, read as the connection
// asks for more, so a large file never sits in memory.
class SyncStream : public AdbStream
{
public:
    static constexpr qsizetype kDataChunk = 64 * 1024;
    static constexpr qsizetype kMaxPath = 1024;
    // Bytes of a DNT2 record before the name.
    static constexpr qsizetype kRecordV2 = 76;

    SyncStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId, const AdbPhone &phone);
    ~SyncStream() override;

    void Receive(const QByteArray &baData) override;
    void Produce(qsizetype nWanted) override;

    // The phone is unplugged once this stream's queue has been sent.
    bool UnplugsWhenSent() const { return m_bUnplugWhenSent; }

private:
    void HandleRequests();
    void Stat(const QString &strPath);
    // LIST answers DENT records (32-bit sizes and times), LIS2 DNT2 records (64-bit).
    void List(const QString &strPath, bool bV2);
    void StartRecv(const QString &strPath);
    // SEND "PATH,MODE": the DATA records that follow are written to the file
    // until DONE, whose length field is the file's modification time.
    void StartSend(const QString &strPathAndMode);
    // Takes the records of the file being received; false while one is incomplete.
    bool ReceiveRecord();
    void EndSend(qint64 nMtime);
    void Fail(const QByteArray &baMessage);
    void AppendRecord(const char *szId, std::initializer_list<uint32_t> listWords);
    // A DNT2 (or closing DONE) record: error, dev, ino, mode, nlink, uid,
    // gid, size, atime, mtime, ctime, name length.
    void AppendRecordV2(const char *szId, const AdbPhone::Node &node, uint32_t nNameLength);

    const AdbPhone m_phone;
    QByteArray m_baIn;
    std::unique_ptr<QFile> m_pFile; // the file being sent
    std::unique_ptr<QFile> m_pIncoming; // the file being received
    bool m_bUnplugMidway = false; // the cable is pulled during this received file
    bool m_bGone = false;         // unplugged: nothing more is answered
    bool m_bUnplugWhenSent = false;
    bool m_bWithheld = false; // requests are left unanswered (stalled phone)
};
