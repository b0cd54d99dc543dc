#pragma once

#include "AdbSocket.h"

#include <QList>
#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// Writes PC files to the phone with the sync service's SEND (version 1:
// "PATH,MODE", DATA chunks of at most 64 KiB, DONE with the modification
// time), files back to back: the answers are read as they come, with up to
// kMaxInFlight files sent and not yet answered. A phone ends its sync service
// after a FAIL, so the files sent after the refused one are sent again on a
// new connection.
class AdbPush
{
public:
    struct File
    {
        int nIndex = 0;
        QString strLocalPath;
        QString strPhonePath;
        qint64 nMtime = 0;
    };
    // nResult: 0 the phone has the whole file; otherwise a failure code
    // (DVSK_RESTORE_ERR_REFUSED, _NO_SPACE, DVSK_DEV_ERR_LOCAL_FILE) and
    // the reason.
    using DoneHandler = std::function<void(const File &file, int nResult, const QString &strMessage)>;
    using ProgressHandler = std::function<void(const File &file, qint64 nBytes)>;
    using Opener = std::function<std::unique_ptr<AdbSocket>(QString *pError)>;

    static constexpr int kMaxInFlight = 32;
    static const quint32 kFileMode = 0100644;
    // What Run() returns when the connection broke (cancelled, unplugged).
    static constexpr int kBroken = -1;

    AdbPush(Opener fnOpen, ProgressHandler fnProgress, DoneHandler fnDone);
    ~AdbPush();

    // Sends every file; each gets one fnDone call unless the run stops:
    // 0 when all were answered, DVSK_RESTORE_ERR_NO_SPACE when the phone is
    // full (no later file is sent), kBroken when the connection ended (the
    // files sent and not answered are in Unanswered()).
    int Run(const QList<File> &listFiles);
    QList<File> Unanswered() const { return m_listInFlight; }
    // Ends a running Run() from another thread.
    void Abort();

private:
    bool Connect();
    // False when the connection failed while sending (the phone may have answered and closed).
    bool SendFile(const File &file, bool *pLocalFailed, QString *pLocalError);
    // Reads one answer; 0 read and handled, 1 the phone refused and ended the
    // service, else the code that ends the run.
    int ReadAnswer(QList<File> &listQueue);
    // After a failed write: the answers the phone sent before it closed.
    int DrainAfterBreak(QList<File> &listQueue);

    const Opener m_fnOpen;
    const ProgressHandler m_fnProgress;
    const DoneHandler m_fnDone;
    QMutex m_mutex; // guards m_pSocket against Abort()
    std::unique_ptr<AdbSocket> m_pSocket;
    std::atomic<bool> m_bAborted {false};
    QList<File> m_listInFlight;
};
