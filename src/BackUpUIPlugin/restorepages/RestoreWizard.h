#pragma once

#include "RestorePlan.h"
#include "RestoreRunner.h"
#include "RestoreSummary.h"
#include "SdkRestoreDevice.h"

#include <QList>
#include <QObject>
#include <QString>

class BackupCatalog;
class CustomWizardWidget;
class QPushButton;
class RestoreChooseWidget;
class RestoreCompleteWidget;
class RestoreDoingWidget;
class RestoreItemsWidget;
class QWidget;

// The restore wizard beside the backup wizard, in the same window: choose a
// backup, choose what to restore, watch it, read the result. It takes the
// place of the page it was opened from and gives it back when it closes.
class RestoreWizard : public QObject
{
    Q_OBJECT
public:
    // The pages are made as children of pWindow.
    explicit RestoreWizard(QWidget *pWindow);
    ~RestoreWizard() override;

    // Adds "Restore a backup…" to the backup wizard's first page, which opens
    // this wizard on the page's backup folder.
    QPushButton *AddEntryButton(class PrepareWizardWidget *pPrepare);
    // Hides pFrom and shows the backups in strFolder; strBackup (a package or
    // backup folder, may be empty) is chosen at once when it verifies.
    void Open(CustomWizardWidget *pFrom, const QString &strFolder, const QString &strBackup = QString());
    bool IsOpen() const;

    RestoreChooseWidget *ChoosePage() const { return m_pChoose; }
    RestoreItemsWidget *ItemsPage() const { return m_pItems; }
    RestoreDoingWidget *DoingPage() const { return m_pDoing; }
    RestoreCompleteWidget *CompletePage() const { return m_pComplete; }
    RestoreRunner *Runner() { return &m_runner; }
    QString ChosenBackup() const { return m_strBackup; }

signals:
    void signalOpened();
    // A restore (not a dry run) ended; the result page shows it.
    void signalRestoreFinished(const RestoreSummary &summary);
    void signalClosed();

private slots:
    void slotChosen(const QString &strPackage);
    void slotTryAgain();
    void slotStart(const QList<int> &listCodes);
    void slotPlanned(const RestorePlan &plan);
    void slotFinished(const RestoreSummary &summary);
    void slotClose();

private:
    QList<CustomWizardWidget *> Pages() const;
    void ShowOnly(CustomWizardWidget *pPage);

    SdkRestoreDevice m_device;
    RestoreRunner m_runner;
    RestoreChooseWidget *m_pChoose = nullptr;
    RestoreItemsWidget *m_pItems = nullptr;
    RestoreDoingWidget *m_pDoing = nullptr;
    RestoreCompleteWidget *m_pComplete = nullptr;
    CustomWizardWidget *m_pFrom = nullptr;
    QString m_strBackup;
    bool m_bDryRun = false;
    // The kinds the last restore was started with; Try again checks them
    // again. Empty after a backup was chosen on the first page.
    QList<int> m_listStarted;
    RestorePlan m_plan;
};
