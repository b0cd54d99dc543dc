#include "RestoreWizardTexts.h"

#include "BackupKinds.h"
#include "RestoreTexts.h"

#include <host/Change.h>


QString RestoreWizardTexts::KindName(int nCode)
{
    const BackupKind *pKind = BackupKinds::ByCode(nCode);
    return pKind ? Change::tr(pKind->szNameKey) : RestoreTexts::KindName(nCode);
}

QString RestoreWizardTexts::SizeText(qint64 nBytes)
{
    constexpr qint64 kKB = 1024;
    constexpr qint64 kMB = kKB * 1024;
    constexpr qint64 kGB = kMB * 1024;
    QString strNumber;
    const char *szUnit = "IDS_CORE_UNIT_B";
    if (nBytes < kKB) {
        strNumber = QString::number(qMax(nBytes, qint64(0)));
    } else if (nBytes < kMB) {
        strNumber = QString::number(nBytes / kKB);
        szUnit = "IDS_CORE_UNIT_KB";
    } else if (nBytes < kGB) {
        strNumber = QString::number(double(nBytes) / double(kMB), 'f', 2);
        szUnit = "IDS_CORE_UNIT_MB";
    } else {
        strNumber = QString::number(double(nBytes) / double(kGB), 'f', 2);
        szUnit = "IDS_CORE_UNIT_GB";
    }
    return strNumber + QLatin1Char(' ') + Change::tr(szUnit);
}

QString RestoreWizardTexts::Reason(const QString &strWhy)
{
    // The reasons are whole sentences without filled-in parts, or start with
    // one ("not attempted: …"); both are looked up by their English words.
    const QString strWhole = Change::tr(strWhy, "RestoreReasons");
    if (strWhole != strWhy)
        return strWhole;
    const int nColon = strWhy.indexOf(QLatin1String(": "));
    if (nColon > 0) {
        const QString strHead = strWhy.left(nColon);
        const QString strTranslated = Change::tr(strHead, "RestoreReasons");
        if (strTranslated != strHead)
            return strTranslated + QStringLiteral(": ") + Reason(strWhy.mid(nColon + 2));
    }
    return strWhy;
}

QString RestoreWizardTexts::Headline(const RestoreSummary &summary)
{
    switch (summary.end) {
    case RestoreSummary::End::Cancelled:
        return Change::tr("IDS_RESTORE_RESULT_CANCELLED");
    case RestoreSummary::End::Disconnected:
        return Change::tr("IDS_RESTORE_RESULT_DISCONNECTED");
    case RestoreSummary::End::NotStarted:
        return Change::tr("IDS_RESTORE_RESULT_NOT_STARTED");
    case RestoreSummary::End::Completed:
        break;
    }
    return summary.ExitStatusCode() == RestoreSummary::ExitOk ? Change::tr("IDS_RESTORE_RESULT_COMPLETE")
                                                               : Change::tr("IDS_RESTORE_RESULT_INCOMPLETE");
}

QString RestoreWizardTexts::KindLine(const RestoreSummary::KindResult &result, int nStopped)
{
    const QString strName = KindName(result.nCode);
    if (result.bNotRestorable)
        return Change::tr("IDS_RESTORE_ITEMS_NOT_RESTORABLE").arg(strName, Reason(result.strWhy));
    if (result.bNotReached)
        return Change::tr("IDS_RESTORE_RESULT_KIND_NOT_REACHED").arg(strName);
    QString strLine = Change::tr("IDS_RESTORE_RESULT_KIND_LINE")
                          .arg(strName)
                          .arg(result.nRestored)
                          .arg(result.nSkipped)
                          .arg(result.nFailed);
    if (result.bFailed && !result.strWhy.isEmpty())
        strLine += QStringLiteral(" (") + Reason(result.strWhy) + QLatin1Char(')');
    if (nStopped > 0) {
        strLine += Change::tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + QLatin1Char(' ')
                   + Change::tr("IDS_RESTORE_RESULT_KIND_STOPPED").arg(nStopped);
    }
    return strLine;
}

namespace
{
// "what: reason" with the reason in the user's language; what (a phone path
// or a package name) may hold ": " itself, so the first split whose reason
// is a known one wins.
QString NameAndReason(const QString &strLine)
{
    for (int nColon = strLine.indexOf(QLatin1String(": ")); nColon > 0;
         nColon = strLine.indexOf(QLatin1String(": "), nColon + 2)) {
        const QString strReason = strLine.mid(nColon + 2);
        const QString strTranslated = RestoreWizardTexts::Reason(strReason);
        if (strTranslated != strReason)
            return strLine.left(nColon + 2) + strTranslated;
    }
    return strLine;
}
} // namespace

QStringList RestoreWizardTexts::DetailLines(const RestoreSummary &summary)
{
    QStringList listLines;
    for (const RestoreSummary::KindResult &result : summary.kinds) {
        const QString strName = KindName(result.nCode);
        for (const QString &strFailure : result.listFailures)
            listLines << strName + QStringLiteral(": ") + NameAndReason(strFailure);
        for (const QString &strLeftOut : result.listLeftOut)
            listLines << strName + QStringLiteral(": ") + NameAndReason(strLeftOut);
        for (const QString &strRenamed : result.listRenamed)
            listLines << strName + QStringLiteral(": ") + strRenamed;
    }
    return listLines;
}
