#pragma once

#include "HostExport.h"

#include <QObject>
#include <QStringList>

// Records the host calls that have no visible effect on a desktop (usage
// records, notifications, thread counter, plugin calls), one line per call,
// in the form "Name(arg1,arg2,...)". Tests check arguments and order; the
// host application shows them; every line also goes to the debug log.
class HOSTCORE_EXPORT HostCallLog : public QObject
{
    Q_OBJECT
public:
    static HostCallLog *Instance();
    static void Record(const QString &strLine);
    static QStringList Entries();
    static void Clear();

signals:
    void signalRecorded(const QString &strLine);

private:
    HostCallLog() = default;
};
