#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The phone a restore writes to: the device SDK's restore calls in Qt types,
// so that the planner and the runner can be tried against a phone kept in
// memory. Every call blocks; results are the SDK's codes (0 = done).
class RestoreDevice
{
public:
    // What is at one phone path.
    struct Stat
    {
        enum State
        {
            Missing, // nothing there
            File,    // a regular file of nSize bytes, modified at nModified
            Other    // a folder, a link or something else
        };
        State state = Missing;
        qint64 nSize = -1;
        qint64 nModified = -1;
    };

    // One PC file to write to a phone path with its modification time.
    struct Job
    {
        QString strLocal;
        QString strPhonePath;
        qint64 nModified = 0;
    };

    // nResult -1: progress (nBytes of file nIndex sent so far); otherwise the
    // file's end: 0 in place, or a failure code with the phone's reason.
    using FileCallback = std::function<void(int nIndex, int nResult, qint64 nBytes, const QString &strMessage)>;

    // Counts of one record restore, as the phone counted them.
    struct RecordCounts
    {
        int nRestored = 0;
        int nSkipped = 0;
        int nFailed = 0;
    };

    virtual ~RestoreDevice() = default;

    // One Stat per path, in order.
    virtual int StatFiles(const QStringList &listPaths, QList<Stat> &listStats) = 0;
    virtual int PutFiles(const QList<Job> &listJobs, const FileCallback &callback) = 0;
    virtual int ScanMedia(const QStringList &listPaths) = 0;
    // Package name -> version code (0 when the phone gives none).
    virtual int AppVersions(QHash<QString, qint64> &hashVersions) = 0;
    virtual int InstallApp(const QStringList &listApks, QString &strMessage) = 0;
    virtual int RecordsAvailable(int nType, QString &strReason) = 0;
    virtual int Records(int nType, const QString &strLocalFile, RecordCounts &counts, QString &strMessage) = 0;
    // From any thread: makes the running call end soon with "cancelled".
    virtual void Cancel() = 0;
    virtual void ResetCancel() = 0;
};
