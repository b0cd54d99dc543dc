#pragma once

#include "AdbSocket.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// The file-sync service of one phone over one connection: STAT, LIST and RECV
// requests, in the version 1 form that every phone speaks. Requests go one at
// a time; a phone ends the service after a failed request, so after a FAIL or
// a broken connection IsUsable() is false and a new one must be opened.
class AdbSync
{
public:
    struct Entry
    {
        QString strName;
        quint32 nMode = 0;
        quint32 nSize = 0;  // bytes, modulo 4 GiB in this version of the protocol
        quint32 nMtime = 0; // seconds since 1970, UTC
        bool IsDirectory() const { return (nMode & 0170000) == 0040000; }
        bool IsRegularFile() const { return (nMode & 0170000) == 0100000; }
    };

    enum class Result {
        Ok,
        RemoteFailed, // the phone refused this request (message in *pError)
        LocalFailed,  // the file on the PC could not be written
        Broken        // the connection ended: cancelled, unplugged, server gone
    };

    // Largest DATA chunk a phone sends.
    static const int kMaxChunk = 64 * 1024;

    explicit AdbSync(std::unique_ptr<AdbSocket> pSocket);
    ~AdbSync();

    bool IsUsable() const;

    Result Stat(const QString &strPath, Entry &entry, QString *pError);
    Result List(const QString &strPath, QList<Entry> &listEntries, QString *pError);
    // Copies a phone file into strLocalPath: written beside it under a
    // temporary name and renamed into place when whole, so the target is
    // either complete or untouched. fnProgress gets the bytes copied so far.
    Result Recv(const QString &strPath, const QString &strLocalPath, QString *pError,
                const std::function<void(qint64)> &fnProgress = {});
    // The two halves of Recv(), so that the request for the next file can go
    // out while this one is still arriving: the phone answers requests in
    // order, and the link never waits for a request between two files.
    bool SendRecv(const QString &strPath);
    Result ReadRecv(const QString &strLocalPath, QString *pError, const std::function<void(qint64)> &fnProgress = {});

    // Ends a blocked request from another thread.
    void Abort();
    // Says goodbye to the phone ("QUIT") and closes.
    void Quit();

    // One request as sent on the wire: 4-byte id, little-endian length, path.
    static QByteArray Request(const char *szId, const QByteArray &baPath);

private:
    Result Fail(QString *pError);
    Result ReadFailMessage(quint32 nLength, QString *pError);

    std::unique_ptr<AdbSocket> m_pSocket;
    std::atomic<bool> m_bUsable {true};
};
