#include "RestoreWizard.h"

#include "PhoneIdentity.h"
#include "PrepareWizardWidget.h"
#include "RestoreChooseWidget.h"
#include "RestoreCompleteWidget.h"
#include "RestoreDoingWidget.h"
#include "RestoreItemsWidget.h"

#include <host/Change.h>

#include <QFileInfo>
#include <QPushButton>

RestoreWizard::RestoreWizard(QWidget *pWindow) : QObject(pWindow), m_runner(m_device)
{
    m_pChoose = new RestoreChooseWidget(pWindow);
    m_pItems = new RestoreItemsWidget(pWindow);
    m_pDoing = new RestoreDoingWidget(pWindow);
    m_pComplete = new RestoreCompleteWidget(pWindow);
    // The host's headless run finds the pages by these names.
    m_pChoose->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_ChoosePage"));
    m_pItems->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_ItemsPage"));
    m_pDoing->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_DoingPage"));
    m_pComplete->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_CompletePage"));
    for (CustomWizardWidget *pPage : Pages()) {
        pPage->InitPage();
        pPage->hide();
    }
    connect(m_pChoose, &RestoreChooseWidget::signalChosen, this,
            [this](const BackupCatalog::Entry &entry) {
        m_listStarted.clear();
        slotChosen(entry.strPackage);
    });
    connect(m_pChoose, &RestoreChooseWidget::signalCancelled, this, &RestoreWizard::slotClose);
    connect(m_pItems, &RestoreItemsWidget::signalBack, this, [this]() { ShowOnly(m_pChoose); });
    connect(m_pItems, &RestoreItemsWidget::signalStart, this, &RestoreWizard::slotStart);
    connect(m_pDoing, &RestoreDoingWidget::signalStopRequested, &m_runner, &RestoreRunner::Cancel);
    connect(m_pComplete, &RestoreCompleteWidget::signalFinished, this, &RestoreWizard::slotClose);
    connect(m_pComplete, &RestoreCompleteWidget::signalTryAgain, this, &RestoreWizard::slotTryAgain);
    connect(&m_runner, &RestoreRunner::signalPlanned, this, &RestoreWizard::slotPlanned);
    connect(&m_runner, &RestoreRunner::signalProgress, m_pDoing, &RestoreDoingWidget::slotProgress);
    connect(&m_runner, &RestoreRunner::signalItemStarted, m_pDoing, &RestoreDoingWidget::slotItemStarted);
    connect(&m_runner, &RestoreRunner::signalFinished, this, &RestoreWizard::slotFinished);
}

RestoreWizard::~RestoreWizard()
{
    m_runner.Cancel();
    m_runner.Wait();
}

QPushButton *RestoreWizard::AddEntryButton(PrepareWizardWidget *pPrepare)
{
    QPushButton *pButton = new QPushButton(Change::tr("IDS_RESTORE_ENTRY_BUTTON"), pPrepare);
    pButton->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_RestoreButton"));
    pButton->setAutoDefault(true);
    pButton->adjustSize();
    // In the footer, at its far end on Cancel's side: the side of Start
    // holds what the selection comes to.
    const int nX = Change::GetRightToLeftLayout() ? 27 : CustomWizardWidget::kPageWidth - 27 - pButton->width();
    pButton->move(nX, 570);
    if (pPrepare->GetCancelButton())
        QWidget::setTabOrder(pPrepare->GetCancelButton(), pButton);
    connect(pButton, &QPushButton::clicked, this, [this, pPrepare]() { Open(pPrepare, pPrepare->GetBackUpPath()); });
    return pButton;
}

void RestoreWizard::Open(CustomWizardWidget *pFrom, const QString &strFolder, const QString &strBackup)
{
    m_pFrom = pFrom;
    m_listStarted.clear();
    const QString strSerial = PhoneIdentity::OfOpenPhone().Serial();
    const QString strPackage = strBackup.isEmpty() || QFileInfo(strBackup).isFile()
                                   ? strBackup
                                   : strBackup + QStringLiteral(".zip");
    const QString strListed = strPackage.isEmpty() ? strFolder : QFileInfo(strPackage).absolutePath();
    m_pChoose->ShowFolder(strListed, strSerial, strPackage);
    ShowOnly(m_pChoose);
    emit signalOpened();
    if (!strPackage.isEmpty() && m_pChoose->ChosenRow() >= 0
        && QFileInfo(m_pChoose->Entries().at(m_pChoose->ChosenRow()).strPackage) == QFileInfo(strPackage))
        slotChosen(strPackage);
}

QList<CustomWizardWidget *> RestoreWizard::Pages() const
{
    return {m_pChoose, m_pItems, m_pDoing, m_pComplete};
}

bool RestoreWizard::IsOpen() const
{
    for (const CustomWizardWidget *pPage : Pages()) {
        if (pPage->isVisible())
            return true;
    }
    return false;
}

void RestoreWizard::ShowOnly(CustomWizardWidget *pPage)
{
    QList<CustomWizardWidget *> listOthers = Pages();
    listOthers.append(m_pFrom);
    for (CustomWizardWidget *pOther : listOthers) {
        if (pOther && pOther != pPage)
            pOther->hide();
    }
    pPage->ShowPage();
    pPage->raise();
}

void RestoreWizard::slotChosen(const QString &strPackage)
{
    // What can be restored depends on the phone: a dry run plans it.
    m_strBackup = strPackage;
    m_pItems->ShowReading(QFileInfo(strPackage).fileName());
    ShowOnly(m_pItems);
    m_bDryRun = true;
    m_runner.Start(strPackage, {}, true);
}

void RestoreWizard::slotTryAgain()
{
    // The phone is read again (what the cut restore already sent now counts
    // as on the phone); the user's choice of kinds stays.
    slotChosen(m_strBackup);
}

void RestoreWizard::slotPlanned(const RestorePlan &plan)
{
    if (m_bDryRun)
        m_plan = plan;
}

void RestoreWizard::slotStart(const QList<int> &listCodes)
{
    m_pDoing->Reset();
    ShowOnly(m_pDoing);
    m_bDryRun = false;
    m_listStarted = listCodes;
    m_runner.Start(m_strBackup, listCodes, false);
}

void RestoreWizard::slotFinished(const RestoreSummary &summary)
{
    if (m_bDryRun && summary.end == RestoreSummary::End::Completed) {
        m_pItems->ShowPlan(m_plan);
        if (!m_listStarted.isEmpty())
            m_pItems->CheckOnlyCodes(m_listStarted);
        m_pItems->FocusFirst();
        return;
    }
    m_pComplete->ShowSummary(summary);
    // What the host's headless run prints and exits with.
    m_pComplete->setProperty("summaryLines", summary.Lines());
    m_pComplete->setProperty("exitStatus", summary.ExitStatusCode());
    ShowOnly(m_pComplete);
    if (!m_bDryRun)
        emit signalRestoreFinished(summary);
}

void RestoreWizard::slotClose()
{
    for (CustomWizardWidget *pPage : Pages())
        pPage->hide();
    if (m_pFrom)
        m_pFrom->ShowPage();
    emit signalClosed();
}
