#pragma once

#include "RestorePlan.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// How a restore ended, kind by kind: restored, already on the phone
// (skipped), failed with the phone's reason, and not restorable with why.
// Nothing counts as restored unless the phone took it. Also what a dry run
// would do, and the lines and exit status the command line shows for both.
class RestoreSummary
{
public:
    enum class End
    {
        Completed,
        Cancelled,
        Disconnected,
        NotStarted // the backup could not be read; strError says why
    };

    enum ExitStatus : int
    {
        ExitOk = 0,
        ExitFailed = 1,
        ExitPhoneDisconnected = 4,
        ExitCancelled = 130
    };

    struct KindResult
    {
        int nCode = -1;
        int nBackedUp = 0;
        int nRestored = 0;
        int nSkipped = 0;
        int nFailed = 0;
        int nNotRestorable = 0;
        // The whole kind left out (bNotRestorable) or failed, and why.
        bool bNotRestorable = false;
        bool bFailed = false;
        // The run stopped (cancel, unplug) before it reached this kind's work.
        bool bNotReached = false;
        QString strWhy;
        bool bRecords = false;
        QStringList listFailures;  // "what: reason"
        QStringList listLeftOut;   // "what: why"
        QStringList listRenamed;   // "phone path -> the free name it took"
    };

    End end = End::Completed;
    bool bDryRun = false;
    QString strError;
    QString strPackage;
    QString strDeviceName;
    QList<KindResult> kinds;
    // Set when the phone could not be asked to index the restored media
    // (the files are restored all the same).
    QString strScanProblem;

    // What the plan settles before anything runs: skipped, left out and
    // failing items; with bDryRun also what would be restored.
    static RestoreSummary FromPlan(const RestorePlan &plan, bool bDryRun);

    KindResult *Find(int nCode);
    // Files of a kind the run had begun that were never tried because it was
    // cancelled or the phone went away (none for records, whose counts are
    // not exact, and none after a whole run).
    int StoppedBefore(const KindResult &result) const;
    int TotalFailed() const;
    int ExitStatusCode() const;
    QStringList Lines() const;
    // Detail lines shown per kind before the rest is only counted.
    static constexpr int kMaxDetailLines = 20;

private:
    static KindResult FromPlannedKind(const RestorePlan::Kind &kind, bool bDryRun);
    QString CountsLine(const KindResult &result) const;
    QString ResultLine() const;
};

Q_DECLARE_METATYPE(RestoreSummary)
Q_DECLARE_METATYPE(RestoreSummary::KindResult)
