#include "host/HostCallLog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMutex>
#include <QMutexLocker>

namespace {

// A host that runs for days must not grow without bound; the oldest lines go
// first once the cap is reached.
constexpr int kMaxEntries = 10000;

QMutex &LogMutex()
{
    static QMutex s_mutex;
    return s_mutex;
}

QStringList &LogEntries()
{
    static QStringList s_listEntries;
    return s_listEntries;
}

} // namespace

HostCallLog *HostCallLog::Instance()
{
    static HostCallLog *s_pInstance = [] {
        static HostCallLog s_instance;
        // The first record may come from a worker thread that ends soon; the
        // log belongs with the application's main thread.
        if (QCoreApplication *pApp = QCoreApplication::instance())
            s_instance.moveToThread(pApp->thread());
        return &s_instance;
    }();
    return s_pInstance;
}

void HostCallLog::Record(const QString &strLine)
{
    HostCallLog *pLog = Instance();
    {
        QMutexLocker locker(&LogMutex());
        QStringList &listEntries = LogEntries();
        listEntries.append(strLine);
        if (listEntries.size() > kMaxEntries)
            listEntries.remove(0, listEntries.size() - kMaxEntries);
    }
    qDebug().noquote() << "HostCallLog:" << strLine;
    emit pLog->signalRecorded(strLine);
}

QStringList HostCallLog::Entries()
{
    QMutexLocker locker(&LogMutex());
    return LogEntries();
}

void HostCallLog::Clear()
{
    QMutexLocker locker(&LogMutex());
    LogEntries().clear();
}
