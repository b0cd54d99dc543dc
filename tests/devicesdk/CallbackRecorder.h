#pragma once

#include "sdk/dvsk.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QString>

#include <atomic>
#include <stdlib.h>
#include <thread>

// Records what the simulated SDK reports through its two C callbacks, with
// the reporting thread and a sequence number shared with Mark(), so that a
// test can tell which thread reported and whether a report came before a
// call returned.
class CallbackRecorder
{
public:
    struct Call
    {
        int nType = 0;
        int nCount = 0;
        intptr_t nAll = 0;
        QByteArray baPath; // the result path of a -1111 call
        std::thread::id threadId;
        quint64 nSequence = 0;
    };
    struct Event
    {
        int nEvent = 0;
        std::thread::id threadId;
    };

    static CallbackRecorder &Instance()
    {
        static CallbackRecorder s_recorder;
        return s_recorder;
    }

    void Register()
    {
        DVSK_Backup_RegCallBack(&CallbackRecorder::OnBackup);
        DVSK_DevSrv_RegisterDevInitEventCallback(&CallbackRecorder::OnEvent);
    }
    void UnregisterBackup() { DVSK_Backup_UnRegCallBack(&CallbackRecorder::OnBackup); }
    void Clear()
    {
        QMutexLocker locker(&m_mutex);
        m_listCalls.clear();
        m_listEvents.clear();
    }
    quint64 Mark() { return ++m_nSequence; }
    QList<Call> Calls() const
    {
        QMutexLocker locker(&m_mutex);
        return m_listCalls;
    }
    // The progress reports (bResultPath false) or the -1111 result path reports.
    QList<Call> Calls(bool bResultPath) const
    {
        QList<Call> list;
        for (const Call &call : Calls()) {
            if ((call.nCount == -1111) == bResultPath)
                list.append(call);
        }
        return list;
    }
    QList<Call> Progress() const { return Calls(false); }
    QList<Call> ResultPathCalls() const { return Calls(true); }
    QList<Event> Events() const
    {
        QMutexLocker locker(&m_mutex);
        return m_listEvents;
    }
    QList<int> EventCodes() const
    {
        QList<int> list;
        for (const Event &event : Events())
            list.append(event.nEvent);
        return list;
    }
    // The event codes so far, forgotten once taken.
    QList<int> TakeEventCodes()
    {
        const QList<int> list = EventCodes();
        Clear();
        return list;
    }
    // The device event callback, also for a device that is handed it directly.
    static int OnEvent(int nEvent)
    {
        CallbackRecorder &self = Instance();
        QMutexLocker locker(&self.m_mutex);
        self.m_listEvents.append({nEvent, std::this_thread::get_id()});
        return 1;
    }

private:
    static int OnBackup(int nType, int, int nCount, intptr_t nAll)
    {
        CallbackRecorder &self = Instance();
        Call call {nType, nCount, nAll, QByteArray(), std::this_thread::get_id(), self.Mark()};
        if (nCount == -1111 && nAll != 0)
            call.baPath = QByteArray(reinterpret_cast<const char *>(nAll));
        QMutexLocker locker(&self.m_mutex);
        self.m_listCalls.append(call);
        return 1;
    }
    mutable QMutex m_mutex;
    QList<Call> m_listCalls;
    QList<Event> m_listEvents;
    std::atomic<quint64> m_nSequence {0};
};

// Takes over a text the SDK allocated for the caller.
inline QString TakeText(char *p)
{
    const QString str = p ? QString::fromUtf8(p) : QString();
    free(p);
    return str;
}

inline QByteArray ReadFile(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline int GetFile(const QString &strLocal, const QString &strRemote, int nMode = 2)
{
    return DVSK_GetFile(strLocal.toUtf8().constData(), strRemote.toUtf8().constData(), nMode);
}

// Copies the phone file the first -1111 report named and returns its content.
inline QByteArray FetchResult(const QString &strLocal)
{
    const QList<CallbackRecorder::Call> list = CallbackRecorder::Instance().ResultPathCalls();
    if (list.isEmpty() || GetFile(strLocal, QString::fromUtf8(list.first().baPath)) != 0)
        return QByteArray();
    return ReadFile(strLocal);
}
