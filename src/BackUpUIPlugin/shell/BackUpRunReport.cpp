#include "BackUpRunReport.h"

#include "BackUpUIThread.h"
#include "Factory.h"
#include "RunSummary.h"

BackUpRunReport::BackUpRunReport(QObject *pParent) : QObject(pParent)
{
    setObjectName(QStringLiteral("BackUpUIPlugin_RunReport"));
    if (BackUpUIThread *pThread = BackUpUIThread::Instance()) {
        connect(pThread, &BackUpUIThread::signalsFinish, this, &BackUpRunReport::slotFinished);
        connect(pThread, &BackUpUIThread::signalBackupCancelSuccess, this, &BackUpRunReport::slotCancelled);
    }
}

void BackUpRunReport::slotFinished(int nResult)
{
    // Counting jobs never report a finish; only backups do.
    const RunSummary::Facts facts = RunSummary::FromFactory(Factory::ExistingInstance(), nResult);
    QVariantMap mapReport;
    mapReport.insert(QLatin1String(kResult), nResult);
    mapReport.insert(QLatin1String(kCancelled), false);
    // A run that failed before any module ran has no package or folder.
    if (nResult >= 0) {
        mapReport.insert(QLatin1String(kPackage), facts.strPackage);
        mapReport.insert(QLatin1String(kDelivered), facts.bDelivered);
        mapReport.insert(QLatin1String(kFolder), facts.strFolder);
    }
    mapReport.insert(QLatin1String(kSummary), RunSummary::Lines(facts));
    mapReport.insert(QLatin1String(kExitStatus), RunSummary::ExitStatusOf(nResult));
    Publish(mapReport);
}

void BackUpRunReport::slotCancelled()
{
    const Factory *pFactory = Factory::ExistingInstance();
    const QString strPackage = pFactory ? pFactory->GetPackagePath() : QString();
    const QString strFolder = pFactory ? pFactory->GetBackupFolder() : QString();
    const QString strDestination = BackUpUIThread::ExistingInstance()
                                       ? BackUpUIThread::ExistingInstance()->GetParam().strPath
                                       : QString();
    QVariantMap mapReport;
    mapReport.insert(QLatin1String(kResult), 0);
    mapReport.insert(QLatin1String(kCancelled), true);
    mapReport.insert(QLatin1String(kPackage), strPackage);
    mapReport.insert(QLatin1String(kDelivered), false);
    mapReport.insert(QLatin1String(kFolder), strFolder);
    mapReport.insert(QLatin1String(kSummary),
                     QStringList{RunSummary::CancelledLine(strDestination,
                                                           RunSummary::FilesLeft(strPackage, strFolder))});
    mapReport.insert(QLatin1String(kExitStatus), int(RunSummary::ExitCancelled));
    Publish(mapReport);
}

void BackUpRunReport::Publish(QVariantMap mapReport)
{
    if (BackUpUIThread *pThread = BackUpUIThread::ExistingInstance())
        mapReport.insert(QLatin1String(kDestination), pThread->GetParam().strPath);
    m_mapLast = mapReport;
    emit signalRunEnded(m_mapLast);
}
