#pragma once

#include "BackupRecords.h"
#include "CheckBigButton.h"
#include "PluginInfo.h"
#include "ResultView.h"
#include "RunSummary.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QLabel>
#include <QString>
#include <QStringList>

class Factory;
class IUpdateBackupInterface;
struct BackupKind;

// Follows a running backup for the wizard pages and for another plugin of
// the suite that asked for the backup ("UpdateUIPlugin", caller 1, or
// "ZvRomUIPlugin", caller 2): keeps the progress page's tip line current,
// turns the result into the result page's texts, records when the last backup
// finished and reports the result to the requesting plugin.
class BackUpUIBBMgr : public QObject
{
    Q_OBJECT
public:
    static BackUpUIBBMgr *GetInstance();
    static void DestroyInstance();
    // The instance if it exists, without creating it.
    static BackUpUIBBMgr *ExistingInstance();

    void SetProgressTipLabel(QLabel *pLabel);
    // The result page; it must be a QObject, whose destruction the manager
    // notices.
    void SetCompleteWidget(ResultView *pView);
    void SetBigButtons(const QHash<int, CheckBigButton *> &hashButtons);
    void SetOutFuncCaller(int nCaller);
    void SetOutFuncParam(int nValue);
    int GetOutFuncCaller() const { return m_nCaller; }
    int GetOutFuncParam() const { return m_nCallerValue; }

    int GetResult() const { return m_nResult; }
    // How the last run ended (set with the result page's texts).
    ResultView::Outcome GetOutcome() const { return m_outcome; }
    QString GetTipText() const { return m_strTipText; }

    // Brings the requesting plugin to the front at backup start and tells it
    // the backup began.
    void ShowCaller();
    // OnBackupCancel / OnBackupClose to the update plugin.
    void NotifyCancel();
    void NotifyClose();

    // Fills the result page's texts and the caller's tip text from a run's
    // result (negative: failed before any module ran; else the failed mask).
    void updateUIAfterFinished(int nResult);

    // How the finish date and time are stored ("dd.MM.yyyy", "hh:mm").
    static QString BackupDateText(const QDateTime &dtTime);
    static QString BackupTimeText(const QDateTime &dtTime);

signals:
    void signalsBackUpComplete(int nResult);
    void signalsOutFuncBackupComplete(int nResult);
    void signalsOutFuncBackUpDoNext();

public slots:
    void slotsModuleInfo(structBackupID info);
    void slotsFinish(int nResult);
    void slotsUpdateTipInfo(BackupItems items, BackupCounts requested, BackupCounts backedUp);

private:
    BackUpUIBBMgr();
    ~BackUpUIBBMgr() override;

    void initCon();
    void RemoveTempFiles();
    // The requesting plugin's interface by name; null when it or the
    // interface is missing.
    static IUpdateBackupInterface *FindCaller(const QString &strName);
    QString CallerPluginName() const;
    QString CommonName(quint32 nId) const;
    QString ChildName(quint32 nId) const;
    // A kind's configured name: that of its sub-item, else that of its tile.
    QString KindName(const BackupKind &kind) const;
    // "Not available on this phone, so not backed up: ..." for the selected
    // kinds of the run that the phone does not give at all; empty when none.
    QString NotAvailableNote(int nResult, const QString &strSeparator) const;
    // The result page of a run that stopped before backing anything up
    // (bNoPhone: no phone was there to back up).
    void ShowRunFailure(int nResult, bool bNoPhone);
    // The failed items of the run, named for the result page (and their
    // notes on short counts cleared); empty when none failed.
    QString FailedItemsText(int nResult, const Factory *pFactory, const QString &strSeparator);
    void ShowFailedItems(const QString &strList);
    // The result page's summary of what a run saved: "Backed up: Contacts
    // 40, SMS 60", "Total size: 1.8 MB", "Package: backup_....zip"; empty
    // when no package was delivered.
    QString SavedSummary(const RunSummary::Facts &facts, const QString &strSeparator) const;
    // The files and applications of each kind that could not be copied.
    ResultView::NotCopiedList NotCopied(const RunSummary::Facts &facts) const;
    // The result page while it exists, else null.
    ResultView *CompleteView() const;

    int m_nResult = 0;
    ResultView::Outcome m_outcome = ResultView::Outcome::Complete;
    // The pages own these widgets; guarded so that a report arriving after a
    // page was destroyed finds null instead of a dangling pointer.
    QPointer<QLabel> m_pTipLabel;
    QPointer<QObject> m_pCompleteObject;
    ResultView *m_pCompleteView = nullptr;
    PluginInfoTable m_hashCommon;
    PluginInfoTable m_hashChild;
    QHash<int, QPointer<CheckBigButton>> m_hashButtons;
    int m_nCaller = 0;
    int m_nCallerValue = 0;
    QString m_strTipText;
};
