#include "RestoreSummary.h"

#include "RestoreTexts.h"

namespace
{
using Action = RestorePlan::Action;

void AppendDetails(QStringList &listLines, const QStringList &listDetails)
{
    for (int i = 0; i < listDetails.size(); ++i) {
        if (i == RestoreSummary::kMaxDetailLines) {
            listLines << QStringLiteral("    ... and %1 more").arg(listDetails.size() - i);
            return;
        }
        listLines << QStringLiteral("    - %1").arg(listDetails.at(i));
    }
}
} // namespace

RestoreSummary::KindResult RestoreSummary::FromPlannedKind(const RestorePlan::Kind &kind, bool bDryRun)
{
    KindResult result;
    result.nCode = kind.nCode;
    result.nBackedUp = kind.nBackedUp;
    result.bRecords = !kind.strRecordFile.isEmpty();
    result.bNotRestorable = kind.action == Action::NotRestorable;
    result.bFailed = kind.action == Action::Fails;
    result.strWhy = kind.strWhy;
    if (kind.action != Action::Restore)
        return result;
    for (const RestorePlan::Item &item : kind.items) {
        switch (item.action) {
        case Action::Restore:
            // A real run counts and names what the phone took.
            if (!bDryRun)
                break;
            ++result.nRestored;
            if (item.strTarget != item.strName && !item.strTarget.isEmpty())
                result.listRenamed << QStringLiteral("%1 -> %2").arg(item.strName, item.strTarget);
            break;
        case Action::AlreadyThere:
            ++result.nSkipped;
            break;
        case Action::NotRestorable:
            ++result.nNotRestorable;
            result.listLeftOut << QStringLiteral("%1: %2").arg(item.strName, item.strWhy);
            break;
        case Action::Fails:
            ++result.nFailed;
            result.listFailures << QStringLiteral("%1: %2").arg(item.strName, item.strWhy);
            break;
        }
    }
    if (bDryRun && result.bRecords)
        result.nRestored = kind.nBackedUp;
    return result;
}

RestoreSummary RestoreSummary::FromPlan(const RestorePlan &plan, bool bDryRun)
{
    RestoreSummary summary;
    summary.bDryRun = bDryRun;
    summary.strPackage = plan.strPackage;
    summary.strDeviceName = plan.strDeviceName;
    for (const RestorePlan::Kind &kind : plan.kinds)
        summary.kinds.append(FromPlannedKind(kind, bDryRun));
    return summary;
}

RestoreSummary::KindResult *RestoreSummary::Find(int nCode)
{
    for (KindResult &result : kinds) {
        if (result.nCode == nCode)
            return &result;
    }
    return nullptr;
}

int RestoreSummary::TotalFailed() const
{
    int nFailed = 0;
    for (const KindResult &result : kinds)
        nFailed += result.nFailed + (result.bFailed ? 1 : 0);
    return nFailed;
}

int RestoreSummary::ExitStatusCode() const
{
    switch (end) {
    case End::Cancelled:
        return ExitCancelled;
    case End::Disconnected:
        return ExitPhoneDisconnected;
    case End::NotStarted:
        return ExitFailed;
    case End::Completed:
        break;
    }
    return TotalFailed() == 0 ? ExitOk : ExitFailed;
}

QString RestoreSummary::CountsLine(const KindResult &result) const
{
    const QString strName = QStringLiteral("%1").arg(RestoreTexts::KindName(result.nCode) + QLatin1Char(':'), -18);
    if (result.bNotRestorable)
        return QStringLiteral("%1 not restorable: %2 (%3 in the backup)").arg(strName, result.strWhy).arg(result.nBackedUp);
    if (result.bFailed)
        return QStringLiteral("%1 failed: %2").arg(strName, result.strWhy);
    if (result.bNotReached)
        return QStringLiteral("%1 not restored: the restore stopped before it (%2 in the backup)")
            .arg(strName)
            .arg(result.nBackedUp);
    QStringList listParts;
    if (bDryRun && result.bRecords)
        listParts << QStringLiteral("up to %1 to restore (records already on the phone are skipped)").arg(result.nRestored);
    else if (bDryRun)
        listParts << QStringLiteral("%1 to restore").arg(result.nRestored);
    else
        listParts << QStringLiteral("%1 restored").arg(result.nRestored);
    if (!(bDryRun && result.bRecords))
        listParts << QStringLiteral("%1 already on the phone").arg(result.nSkipped);
    if (!bDryRun || result.nFailed > 0)
        listParts << QStringLiteral("%1 failed").arg(result.nFailed);
    if (result.nNotRestorable > 0)
        listParts << QStringLiteral("%1 not restorable").arg(result.nNotRestorable);
    if (const int nStopped = StoppedBefore(result); nStopped > 0)
        listParts << QStringLiteral("%1 not restored: the restore stopped before them").arg(nStopped);
    return strName + QLatin1Char(' ') + listParts.join(QStringLiteral(", "));
}

int RestoreSummary::StoppedBefore(const KindResult &result) const
{
    if (bDryRun || result.bRecords || result.bNotReached || result.bNotRestorable || result.bFailed
        || (end != End::Cancelled && end != End::Disconnected))
        return 0;
    return qMax(0, result.nBackedUp - result.nRestored - result.nSkipped - result.nFailed - result.nNotRestorable);
}

QString RestoreSummary::ResultLine() const
{
    switch (end) {
    case End::Cancelled:
        return QStringLiteral("Result:        cancelled; what was restored before stays on the phone");
    case End::Disconnected:
        return QStringLiteral("Result:        %1; what was restored before stays on the phone")
            .arg(RestoreTexts::PhoneDisconnected());
    case End::NotStarted:
        return QStringLiteral("Result:        not restored: %1").arg(strError);
    case End::Completed:
        break;
    }
    if (bDryRun)
        return QStringLiteral("Result:        dry run; nothing was written to the phone");
    if (TotalFailed() > 0)
        return QStringLiteral("Result:        %1 failed").arg(TotalFailed());
    if (!strScanProblem.isEmpty())
        return QStringLiteral("Result:        restored, but the phone was not asked to index the media: %1")
            .arg(strScanProblem);
    return QStringLiteral("Result:        everything restorable was restored or is already on the phone");
}

QStringList RestoreSummary::Lines() const
{
    QStringList listLines;
    if (!strPackage.isEmpty())
        listLines << QStringLiteral("Backup:        %1 (%2)").arg(strPackage, strDeviceName);
    for (const KindResult &result : kinds) {
        listLines << CountsLine(result);
        AppendDetails(listLines, result.listFailures);
        AppendDetails(listLines, result.listLeftOut);
        AppendDetails(listLines, result.listRenamed);
    }
    listLines << ResultLine();
    return listLines;
}
