#pragma once

#include "AdbSocket.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// The file-sync service of one phone over one connection: STAT, LIST and RECV
// requests, in the version 1 form that every phone speaks; on a phone with
// the feature ls_v2 folders are listed with LIS2 instead, whose entries carry
// 64-bit sizes and times (LIST gives sizes modulo 4 GiB). Requests go one at
// a time; a phone ends the service after a failed request, so after a FAIL or
// a broken connection IsUsable() is false and a new one must be opened.
class AdbSync
{
public:
    struct Entry
    {
        QString strName;   // the name's text (U+FFFD for bytes that are not UTF-8)
        QByteArray baName; // from a listing: the name's bytes when they are not valid UTF-8
        quint32 nMode = 0;
        qint64 nSize = 0;  // bytes; modulo 4 GiB from STAT and LIST
        qint64 nMtime = 0; // seconds since 1970, UTC
        bool IsDirectory() const { return (nMode & 0170000) == 0040000; }
        bool IsRegularFile() const { return (nMode & 0170000) == 0100000; }
        // Sets the name from the phone's bytes.
        void SetName(const QByteArray &baBytes);
        // The name's bytes on the phone.
        QByteArray Bytes() const { return baName.isEmpty() ? strName.toUtf8() : baName; }
    };

    enum class Result {
        Ok,
        RemoteFailed, // the phone refused this request (message in *pError)
        LocalFailed,  // the file on the PC could not be written
        Broken        // the connection ended: cancelled, unplugged, server gone
    };

    // Largest DATA chunk a phone sends.
    static constexpr int kMaxChunk = 64 * 1024;
    // Longest path a request may carry; a phone's own paths may be longer.
    static constexpr int kMaxPath = 1024;

    // bListV2: the phone has the feature ls_v2 (List() uses LIS2).
    explicit AdbSync(std::unique_ptr<AdbSocket> pSocket, bool bListV2 = false);
    ~AdbSync();

    bool IsUsable() const;

    Result Stat(const QString &strPath, Entry &entry, QString *pError);
    // *pbOpened (when given) tells whether the phone could open the folder:
    // a folder it cannot read lists nothing, not even "." and "..".
    Result List(const QString &strPath, QList<Entry> &listEntries, QString *pError, bool *pbOpened = nullptr);
    // The two halves of List(), so that several listings can be on their way
    // at once: the phone answers them in the order they were sent. Paths of
    // requests are the phone's bytes; false for one over kMaxPath.
    bool SendList(const QByteArray &baPath);
    Result ReadList(QList<Entry> &listEntries, QString *pError, bool *pbOpened = nullptr);
    // Copies a phone file into strLocalPath: written beside it under a
    // temporary name and renamed into place when whole, so the target is
    // either complete or untouched. fnProgress gets the bytes copied so far.
    Result Recv(const QString &strPath, const QString &strLocalPath, QString *pError,
                const std::function<void(qint64)> &fnProgress = {});
    // The two halves of Recv(), so that the request for the next file can go
    // out while this one is still arriving: the phone answers requests in
    // order, and the link never waits for a request between two files.
    bool SendRecv(const QByteArray &baPath);
    Result ReadRecv(const QString &strLocalPath, QString *pError, const std::function<void(qint64)> &fnProgress = {});
    // The answer to a RECV sent ahead, kept in memory: LocalFailed (nothing
    // kept) when the file has more than nMaxBytes.
    Result ReadRecvData(QByteArray *pData, qint64 nMaxBytes, QString *pError);

    // Ends a blocked request from another thread.
    void Abort();
    // Says goodbye to the phone ("QUIT") and closes.
    void Quit();

    // One request as sent on the wire: 4-byte id, little-endian length, path.
    static QByteArray Request(const char *szId, const QByteArray &baPath);

private:
    // Bytes of a DENT and of a DNT2 record after the 8 of id and first word,
    // up to and including the name length.
    static constexpr int kDentRest = 12;
    static const int kDent2Rest = 68;
    // Reads the record of a listing entry (8 + kDentRest or 8 + kDent2Rest
    // bytes, starting with its id) into entry; returns the name length.
    static quint32 DecodeDent(const char *pRecord, Entry &entry);
    static quint32 DecodeDent2(const char *pRecord, Entry &entry);

    // Reads a RECV answer to its end, handing over each DATA chunk.
    Result ReadAnswer(const std::function<void(const char *, quint32)> &fnChunk, QString *pError);
    Result Fail(QString *pError);
    Result ReadFailMessage(quint32 nLength, QString *pError);

    std::unique_ptr<AdbSocket> m_pSocket;
    const bool m_bListV2;
    std::atomic<bool> m_bUsable {true};
};
