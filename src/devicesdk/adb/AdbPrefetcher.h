#pragma once

#include "AdbPhoneFiles.h"
#include "AdbSync.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Small files of the list the engine copies, fetched ahead into memory over
// several sync connections at once, so that the phone's round trip per file
// is paid in parallel rather than once per file. The engine still asks for
// every file in its own order and gets each one whole; nothing is written on
// the PC before it asks. How far ahead it fetches grows while the engine
// asks for the files one after another and falls back to one file when it
// skips some (a repeat backup takes unchanged files from an earlier one), so
// little is fetched in vain. Large files are left to the caller, which
// streams them one at a time at full link speed. Small files whose path is
// too long for a sync request are fetched ahead too, each through a shell
// command of its own (ReadLong): such a read costs the phone a process
// rather than the link its bytes, so twice as many run at once.
class AdbPrefetcher
{
public:
    // The paths whose sync request is not their UTF-8: the phone's bytes, or
    // nothing for a path that is never asked for with a sync request (too
    // long for one, or standing for what cannot be read).
    using Requests = QHash<QString, QByteArray>;
    // The request for strPath; false when it is never asked for.
    static bool RequestOf(const Requests &hashRequests, const QString &strPath, QByteArray *pRequest);
    enum class Outcome {
        Data,    // the file is in *pData
        Refused, // the phone refused it (message in *pError)
        NotHere  // not fetched ahead: the caller copies it itself
    };
    // Opens a new sync connection to the phone; null when it cannot.
    using Opener = std::function<std::unique_ptr<AdbSync>(QString *pError)>;
    // Reads a file whose path is too long for a sync request into *pData (see
    // AdbLongPaths::ReadData); gives up once fnStopped() is true.
    using LongReader = std::function<AdbSync::Result(const QByteArray &baPath, qint64 nListedSize, QByteArray *pData,
                                                     qint64 nMaxBytes, QString *pError,
                                                     const std::function<bool()> &fnStopped)>;

    // Files up to this size are fetched ahead.
    static constexpr qint64 kSmallFile = 1024 * 1024;
    // What the fetched and the fetching files may hold in memory at once.
    static constexpr qint64 kMemoryBudget = 8 * 1024 * 1024;
    // At most this many files ahead of the one the engine asked for.
    static constexpr int kMaxAhead = 16;

    // nStreams sync connections (or shell commands); below 2 nothing is
    // fetched ahead. Without fnReadLong, files whose path is too long for a
    // sync request are left to the caller.
    AdbPrefetcher(Opener fnOpen, int nStreams, LongReader fnReadLong = {});
    ~AdbPrefetcher();
    AdbPrefetcher(const AdbPrefetcher &) = delete;
    AdbPrefetcher &operator=(const AdbPrefetcher &) = delete;

    bool IsEnabled() const { return m_nStreams >= 2; }
    int Streams() const { return m_nStreams; }

    // The files the engine copies next, in its order. Whatever was fetched
    // for an earlier list is dropped.
    void Plan(AdbPhoneFiles files, const Requests &hashRequests = {});
    // The engine asks for strPath: waits for it when it is being fetched,
    // and starts fetching the files after it.
    Outcome Take(const QString &strPath, QByteArray *pData, QString *pError);
    // Whether strPath is fetched ahead (or will be, once asked for).
    bool Claims(const QString &strPath) const;
    // The file planned right after strPath when the caller copies it itself
    // (not fetched ahead) and can ask for it with a sync request: its path
    // and request. False otherwise, and for a path not planned.
    bool CallerNext(const QString &strPath, QString *pNext, QByteArray *pRequest) const;
    // Ends every connection at once and drops what was fetched (cancel,
    // unplug, another phone); a later Plan() starts afresh.
    void Abort();

private:
    enum class State { Queued, Fetching, Done };
    struct Slot
    {
        State state = State::Queued;
        AdbSync::Result result = AdbSync::Result::Ok;
        QByteArray baData;
        QString strError;
        qint64 nSize = 0;
        bool bLong = false; // read through the shell
    };
    struct Worker
    {
        std::thread thread;
        std::unique_ptr<AdbSync> pSync; // replaced only by its thread, under m_mutex
        bool bLongOnly = false;         // takes only files read through the shell
    };

    void Run(Worker *pWorker);
    // Starts workers of that kind up to the number of streams.
    void StartWorkersLocked(bool bLongOnly);
    // The place in the queue of the next file the worker may take; -1 for none.
    int NextQueuedLocked(const Worker &worker) const;
    // Queues the small files after nIndex, as far as the window and the budget allow.
    void FillWindowLocked(int nIndex);
    void DropBeforeLocked(int nIndex);
    void StopLocked();
    bool Fetch(Worker *pWorker, int nIndex, const QByteArray &baRequest, std::unique_lock<std::mutex> &lock);
    // Reads one file of a plan through the phone's shell, without the lock.
    AdbSync::Result FetchLong(int nIndex, const QByteArray &baRequest, QByteArray *pData, QString *pError,
                              std::unique_lock<std::mutex> &lock);
    // Whether a request is too long for sync but may be read through the shell.
    bool IsLongRequest(const QByteArray &baRequest) const
    {
        return m_fnReadLong && baRequest.size() > AdbSync::kMaxPath;
    }
    bool IsFetchableLocked(int nIndex) const;
    // The planned file's place; -1 when it is not planned.
    int IndexLocked(const QString &strPath) const;
    // The sync request for a planned file; false when it is never asked for.
    bool RequestLocked(int nIndex, QByteArray *pRequest) const;

    const Opener m_fnOpen;
    const int m_nStreams;
    const LongReader m_fnReadLong;

    mutable std::mutex m_mutex;
    std::condition_variable m_wakeWorkers;
    std::condition_variable m_slotDone;
    bool m_bQuit = false;
    bool m_bStopped = false;       // a connection broke: nothing more is fetched until the next plan
    // A fetch of an older plan is dropped when it ends; read without the
    // lock by a shell read that asks whether to give up.
    std::atomic<quint64> m_nPlanGeneration {0};
    // The plan in the engine's order (sharing the paths with the list it
    // was made from), and the files' places sorted by path bytes.
    AdbPhoneFiles m_listPlan;
    std::vector<int> m_listByPath;
    Requests m_hashRequests;
    std::map<int, Slot> m_mapSlots;
    std::deque<int> m_queue;
    int m_nLastTaken = -1;
    int m_nRun = 0;                // files asked for one after another
    int m_nQueuedUpTo = -1;        // the last index put in a slot
    qint64 m_nHeldBytes = 0;
    std::vector<std::unique_ptr<Worker>> m_listWorkers;
};
