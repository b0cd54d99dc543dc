#include "AdbPrefetcher.h"

#include <QtGlobal>

#include <algorithm>

namespace
{
// A file listed as small may have grown since; beyond this it is not held
// in memory but left to the caller.
const qint64 kMaxHeldFile = 2 * AdbPrefetcher::kSmallFile;
} // namespace

AdbPrefetcher::AdbPrefetcher(Opener fnOpen, int nStreams, LongReader fnReadLong)
    : m_fnOpen(std::move(fnOpen))
    , m_nStreams(qBound(1, nStreams, 8))
    , m_fnReadLong(std::move(fnReadLong))
{
}

AdbPrefetcher::~AdbPrefetcher()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
        StopLocked();
    }
    m_wakeWorkers.notify_all();
    for (const std::unique_ptr<Worker> &pWorker : m_listWorkers)
        pWorker->thread.join();
}

bool AdbPrefetcher::RequestOf(const Requests &hashRequests, const QString &strPath, QByteArray *pRequest)
{
    const auto it = hashRequests.constFind(strPath);
    *pRequest = it == hashRequests.constEnd() ? strPath.toUtf8() : *it;
    return !pRequest->isEmpty() && pRequest->size() <= AdbSync::kMaxPath;
}

bool AdbPrefetcher::RequestLocked(int nIndex, QByteArray *pRequest) const
{
    // Most paths are their own request; only the few others are looked up.
    if (m_hashRequests.isEmpty())
        *pRequest = m_listPlan.PathBytes(nIndex).toByteArray();
    else
        return RequestOf(m_hashRequests, QString::fromUtf8(m_listPlan.PathBytes(nIndex)), pRequest);
    return !pRequest->isEmpty() && pRequest->size() <= AdbSync::kMaxPath;
}

bool AdbPrefetcher::IsFetchableLocked(int nIndex) const
{
    QByteArray baRequest;
    return m_listPlan.FileSize(nIndex) <= kSmallFile
           && (RequestLocked(nIndex, &baRequest) || IsLongRequest(baRequest));
}

int AdbPrefetcher::IndexLocked(const QString &strPath) const
{
    // Of files planned twice the later one counts.
    const QByteArray baPath = strPath.toUtf8();
    const auto it = std::upper_bound(m_listByPath.cbegin(), m_listByPath.cend(), baPath,
                                     [this](const QByteArray &ba, int nIndex) { return ba < m_listPlan.PathBytes(nIndex); });
    return it != m_listByPath.cbegin() && m_listPlan.PathBytes(*(it - 1)) == baPath ? *(it - 1) : -1;
}

void AdbPrefetcher::Plan(AdbPhoneFiles files, const Requests &hashRequests)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hashRequests = hashRequests;
    m_mapSlots.clear();
    m_queue.clear();
    m_nHeldBytes = 0;
    ++m_nPlanGeneration;
    m_bStopped = false;
    m_listPlan = std::move(files);
    m_listByPath.resize(std::size_t(m_listPlan.Size()));
    for (std::size_t i = 0; i < m_listByPath.size(); ++i)
        m_listByPath[i] = int(i);
    std::stable_sort(m_listByPath.begin(), m_listByPath.end(),
              [this](int a, int b) { return m_listPlan.PathBytes(a) < m_listPlan.PathBytes(b); });
    m_nLastTaken = -1;
    m_nRun = 0;
    m_nQueuedUpTo = -1;
}

bool AdbPrefetcher::Claims(const QString &strPath) const
{
    if (!IsEnabled())
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    const int nIndex = IndexLocked(strPath);
    return nIndex >= 0 && IsFetchableLocked(nIndex);
}

bool AdbPrefetcher::CallerNext(const QString &strPath, QString *pNext, QByteArray *pRequest) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int nIndex = IndexLocked(strPath);
    if (nIndex < 0 || nIndex + 1 >= m_listPlan.Size())
        return false;
    if (IsEnabled() && IsFetchableLocked(nIndex + 1))
        return false;
    *pNext = QString::fromUtf8(m_listPlan.PathBytes(nIndex + 1));
    return RequestLocked(nIndex + 1, pRequest);
}

void AdbPrefetcher::Abort()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    StopLocked();
    m_listPlan.Clear();
    m_listByPath.clear();
    m_hashRequests.clear();
}

void AdbPrefetcher::StopLocked()
{
    for (const std::unique_ptr<Worker> &pWorker : m_listWorkers) {
        if (pWorker->pSync)
            pWorker->pSync->Abort();
    }
    m_mapSlots.clear();
    m_queue.clear();
    m_nHeldBytes = 0;
    ++m_nPlanGeneration;
    m_bStopped = true;
    m_slotDone.notify_all();
}

AdbPrefetcher::Outcome AdbPrefetcher::Take(const QString &strPath, QByteArray *pData, QString *pError)
{
    if (!IsEnabled())
        return Outcome::NotHere;
    std::unique_lock<std::mutex> lock(m_mutex);
    const int nIndex = IndexLocked(strPath);
    if (nIndex < 0)
        return Outcome::NotHere;
    // Files asked for one after another widen the window; a skip narrows it.
    m_nRun = nIndex == m_nLastTaken + 1 ? m_nRun + 1 : 0;
    m_nLastTaken = nIndex;
    DropBeforeLocked(nIndex);
    auto it = m_mapSlots.find(nIndex);
    if (it != m_mapSlots.end() && it->second.state == State::Queued) {
        // Asked for now: it goes first.
        m_queue.erase(std::remove(m_queue.begin(), m_queue.end(), nIndex), m_queue.end());
        m_queue.push_front(nIndex);
    }
    FillWindowLocked(nIndex);
    if (it == m_mapSlots.end())
        return Outcome::NotHere;
    const quint64 nGeneration = m_nPlanGeneration;
    m_slotDone.wait(lock, [&]() {
        it = m_mapSlots.find(nIndex);
        return m_nPlanGeneration != nGeneration || it == m_mapSlots.end() || it->second.state == State::Done;
    });
    if (m_nPlanGeneration != nGeneration || it == m_mapSlots.end())
        return Outcome::NotHere;
    Slot slot = std::move(it->second);
    m_mapSlots.erase(it);
    m_nHeldBytes -= slot.nSize;
    FillWindowLocked(nIndex);
    switch (slot.result) {
    case AdbSync::Result::Ok:
        *pData = std::move(slot.baData);
        return Outcome::Data;
    case AdbSync::Result::RemoteFailed:
        if (pError)
            *pError = slot.strError;
        return Outcome::Refused;
    default:
        return Outcome::NotHere;
    }
}

void AdbPrefetcher::DropBeforeLocked(int nIndex)
{
    // The engine went past them: it took them from elsewhere.
    for (auto it = m_mapSlots.begin(); it != m_mapSlots.end() && it->first < nIndex;) {
        if (it->second.state == State::Queued)
            m_queue.erase(std::remove(m_queue.begin(), m_queue.end(), it->first), m_queue.end());
        m_nHeldBytes -= it->second.nSize;
        it = m_mapSlots.erase(it);
    }
}

void AdbPrefetcher::FillWindowLocked(int nIndex)
{
    if (m_bStopped || m_bQuit)
        return;
    const int nLast = qMin(int(m_listPlan.Size()) - 1, nIndex + qMin(kMaxAhead, 1 + 2 * m_nRun));
    bool bQueued = false;
    bool bLong = false;
    for (int i = qMax(nIndex + 1, m_nQueuedUpTo + 1); i <= nLast; ++i) {
        const qint64 nSize = qMax<qint64>(0, m_listPlan.FileSize(i));
        // A large file (or one too long a path) is the caller's, and the
        // window waits behind it.
        if (!IsFetchableLocked(i) || m_nHeldBytes + nSize > kMemoryBudget)
            break;
        QByteArray baRequest;
        Slot &slot = m_mapSlots[i];
        slot.nSize = nSize;
        slot.bLong = !RequestLocked(i, &baRequest) && IsLongRequest(baRequest);
        bLong = bLong || slot.bLong;
        m_queue.push_back(i);
        m_nHeldBytes += nSize;
        m_nQueuedUpTo = i;
        bQueued = true;
    }
    if (!bQueued)
        return;
    StartWorkersLocked(false);
    if (bLong)
        StartWorkersLocked(true);
    m_wakeWorkers.notify_all();
}

void AdbPrefetcher::StartWorkersLocked(bool bLongOnly)
{
    int nHave = 0;
    for (const std::unique_ptr<Worker> &pWorker : m_listWorkers)
        nHave += pWorker->bLongOnly == bLongOnly ? 1 : 0;
    for (; nHave < m_nStreams; ++nHave) {
        m_listWorkers.push_back(std::make_unique<Worker>());
        Worker *pWorker = m_listWorkers.back().get();
        pWorker->bLongOnly = bLongOnly;
        pWorker->thread = std::thread([this, pWorker]() { Run(pWorker); });
    }
}

int AdbPrefetcher::NextQueuedLocked(const Worker &worker) const
{
    if (!worker.bLongOnly)
        return m_queue.empty() ? -1 : 0;
    for (std::size_t i = 0; i < m_queue.size(); ++i) {
        const auto it = m_mapSlots.find(m_queue[i]);
        if (it != m_mapSlots.end() && it->second.bLong && it->second.state == State::Queued)
            return int(i);
    }
    return -1;
}

void AdbPrefetcher::Run(Worker *pWorker)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        int nPlace = -1;
        m_wakeWorkers.wait(lock, [&]() { return m_bQuit || (nPlace = NextQueuedLocked(*pWorker)) >= 0; });
        if (m_bQuit)
            break;
        const int nIndex = m_queue[std::size_t(nPlace)];
        m_queue.erase(m_queue.begin() + nPlace);
        const auto it = m_mapSlots.find(nIndex);
        if (it == m_mapSlots.end() || it->second.state != State::Queued)
            continue;
        it->second.state = State::Fetching;
        QByteArray baRequest;
        RequestLocked(nIndex, &baRequest);
        if (!Fetch(pWorker, nIndex, baRequest, lock)) {
            // The phone or the server is gone: the caller finds out itself.
            StopLocked();
        }
    }
    std::unique_ptr<AdbSync> pSync = std::move(pWorker->pSync);
    lock.unlock();
    if (pSync)
        pSync->Quit();
}

bool AdbPrefetcher::Fetch(Worker *pWorker, int nIndex, const QByteArray &baRequest,
                          std::unique_lock<std::mutex> &lock)
{
    const quint64 nGeneration = m_nPlanGeneration;
    AdbSync::Result result = AdbSync::Result::Broken;
    QByteArray baData;
    QString strError;
    if (IsLongRequest(baRequest)) {
        result = FetchLong(nIndex, baRequest, &baData, &strError, lock);
    } else if (!pWorker->pSync || !pWorker->pSync->IsUsable()) {
        lock.unlock();
        std::unique_ptr<AdbSync> pSync = m_fnOpen(&strError);
        lock.lock();
        // Stopped meanwhile (cancel, unplug): the new connection ends too.
        if (m_bStopped || m_bQuit) {
            if (pSync)
                pSync->Abort();
        }
        std::swap(pWorker->pSync, pSync);
        lock.unlock();
        // The old connection closes outside the lock.
        pSync.reset();
        lock.lock();
        if (m_nPlanGeneration != nGeneration)
            return true;
    }
    if (AdbSync *pSync = IsLongRequest(baRequest) ? nullptr : pWorker->pSync.get()) {
        // Room for the whole file at once: no copies while it grows.
        baData.reserve(qBound<qint64>(0, m_listPlan.FileSize(nIndex), kMaxHeldFile));
        lock.unlock();
        if (pSync->SendRecv(baRequest))
            result = pSync->ReadRecvData(&baData, kMaxHeldFile, &strError);
        lock.lock();
    }
    if (m_nPlanGeneration != nGeneration)
        return true;
    const auto it = m_mapSlots.find(nIndex);
    if (it != m_mapSlots.end()) {
        it->second.state = State::Done;
        it->second.result = result;
        it->second.baData = std::move(baData);
        it->second.strError = strError;
        m_slotDone.notify_all();
    }
    return result != AdbSync::Result::Broken;
}

AdbSync::Result AdbPrefetcher::FetchLong(int nIndex, const QByteArray &baRequest, QByteArray *pData, QString *pError,
                                         std::unique_lock<std::mutex> &lock)
{
    const quint64 nGeneration = m_nPlanGeneration;
    const qint64 nListedSize = m_listPlan.FileSize(nIndex);
    lock.unlock();
    // A cancel, an unplug or a new plan ends the command within moments.
    const AdbSync::Result result = m_fnReadLong(baRequest, nListedSize, pData, kMaxHeldFile, pError,
                                                [this, nGeneration]() { return m_nPlanGeneration.load() != nGeneration; });
    lock.lock();
    return result;
}
