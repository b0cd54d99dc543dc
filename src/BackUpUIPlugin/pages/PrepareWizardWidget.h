#pragma once

#include "BackupRecords.h"
#include "CustomWizardWidget.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QtGlobal>

class CheckBigButton;
class CustomLabelButton;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class WaitingBKFrame;

// The first wizard page: one tile per configured backup item, filled with
// the phone's counts by a counting run of the worker thread; the destination
// folder with its free space; "next" hands the selection and the folder to
// the worker thread and moves to the progress page.
class PrepareWizardWidget : public CustomWizardWidget
{
    Q_OBJECT
public:
    // Interval of the retry while the worker is still busy, and of the poll
    // of the host's operation status.
    static constexpr int kCountRetryInterval = 500;
    static constexpr int kStatusPollInterval = 1000;
    // Longest path shown whole in the destination label.
    static constexpr int kMaxShownPathLength = 50;

    explicit PrepareWizardWidget(QWidget *pParent = nullptr);
    ~PrepareWizardWidget() override;

    BackupItems GetBackupOjectType() const;
    bool Backup();
    // Free bytes for the destination: on Windows those of the drive named by
    // the path's first character, elsewhere those of the volume holding the
    // path's nearest existing folder. 0 when unknown.
    virtual qint64 GetDiskSpace(const QString &strPath);
    bool isDiskHasEnoughSpace();
    // Whether the destination can be made and written into; if not, the
    // warning label says why (the system's reason) and the run is not started.
    bool IsDestinationWritable();
    qint64 GetNeedSpace() const;
    QString parseValue(qint64 nBytes) const;
    bool CreateBackUpPath();
    QString ReadBackupLocation();
    void InitBigButtons();
    void LayoutBigButtons();
    void ResetBigButtons();
    void InitialShowCount();
    void StartCount();
    QString GetTileText(int nId, const QHash<int, structBackupID> &hashCounts) const;
    bool IsNothingSelected() const;
    bool ShowPlugin(const QString &strPluginName);
    // Stops the count retry and the status poll (the host releases the phone).
    void StopTimers();
    // Keeps the checked tiles and the destination folder for the next time
    // the page is shown (a run tried again starts from the same choices).
    void KeepChoicesForNextShow();

    // What the capacity text names the destination by: the drive letter on
    // Windows, the root path of the volume holding it elsewhere.
    static QString DriveText(const QString &strPath);
    // The nearest existing folder of a path (the path itself when it exists).
    static QString NearestExistingFolder(const QString &strPath);
    // The destination label's text: longer paths are cut to 50 characters
    // followed by "....".
    static QString ShownPath(const QString &strPath);
    // The usage record's item part: "backup:" + the selected names joined by
    // "&" + ";".
    static QString UsageItems(const BackupItems &items);
    // The tile ids in the order they are laid out.
    QList<int> TileOrder() const;
    // What the checked tiles hold, added up in the tiles' own format:
    // "Selected: 152 items · 3 MB · About 1 min"; empty before the phone
    // was counted.
    QString SelectionText() const;

    QString GetBackUpPath() const { return m_strBackUpPath; }
    void SetBackUpPath(const QString &strPath) { m_strBackUpPath = strPath; }
    qint64 GetNoUseSpace() const { return m_ulNoUseSpace; }
    QString GetOtherItems() const { return m_strOtherItems; }
    const QHash<int, CheckBigButton *> &GetBigButtons() const { return m_listBackup; }
    WaitingBKFrame *GetWaitingFrame() const { return m_pWaitingFrame; }
    QPushButton *GetNextButton() const { return m_pBtnNext; }
    QPushButton *GetCancelButton() const { return m_pBtnCancel; }
    QPushButton *GetBrowseButton() const { return m_pBtnBrowse; }
    QLabel *GetDstPathLabel() const { return m_pLabelDstPath; }
    QLabel *GetCapacityLabel() const { return m_pLabelCapacity; }
    QLabel *GetSpaceStatusLabel() const { return m_pLabelSpaceStatus; }
    QLabel *GetSelectionLabel() const { return m_pLabelSelection; }
    QTimer *GetCountTimer() const { return m_pCountTimer; }
    QTimer *GetStatusTimer() const { return m_pStatusTimer; }
    bool IsStatusDone() const { return m_bStatusDone; }

public slots:
    void DoCancel() override;
    void DoNext() override;
    void slotPluginCount(int iType);
    void slotBrowse();
    void slotsPathChanged(QString strPath);
    void soltStepOne();
    void soltGetStatusThread();
    // A tile was checked or unchecked, or the counts arrived.
    void slotSelectionChanged();

protected:
    void InitMembers() override;
    void InitButtons() override;
    void InitButtonText() override;
    void InitObjectName() override;
    void InitLayout() override;
    void InitCons() override;
    void InitialShow() override;
    // The overlay while it is shown, else the first tile that can be
    // checked, else the next button.
    QWidget *FirstFocusWidget() const override;

private:
    void SetTabOrder();
    void InitSelectionLabel();
    void ShowBackUpPath();
    void UpdateCapacityText(const QString &strPath);
    void HideMainWindow();
    void RestoreKeptTiles();

    QFrame *m_pFrameBgOne = nullptr;
    QFrame *m_pFrameBgTwo = nullptr;
    QFrame *m_pFrameBgThree = nullptr;
    QFrame *m_pFrameStatusBar = nullptr;
    QFrame *m_pFrameStatusLine = nullptr;
    WaitingBKFrame *m_pWaitingFrame = nullptr;
    QPushButton *m_pBtnNext = nullptr;
    QPushButton *m_pBtnCancel = nullptr;
    CustomLabelButton *m_pHeader = nullptr;
    QLabel *m_pLabelDescription = nullptr;
    QLabel *m_pLabelDst = nullptr;
    QLabel *m_pLabelDstPath = nullptr;
    QLabel *m_pLabelCapacity = nullptr;
    QLabel *m_pLabelSpaceStatus = nullptr;
    QPushButton *m_pBtnBrowse = nullptr;
    QLabel *m_pLabelSelection = nullptr;
    bool m_bCounted = false;
    QHash<int, CheckBigButton *> m_listBackup;
    QString m_strBackUpPath;
    qint64 m_ulNoUseSpace = 0;
    QString m_strOtherItems;
    QTimer *m_pCountTimer = nullptr;
    QTimer *m_pStatusTimer = nullptr;
    bool m_bStatusDone = false;
    // Choices kept for the next showing; applied once, then forgotten.
    bool m_bKeepTiles = false;
    QSet<int> m_setKeptTiles;
    QString m_strKeptPath;
    const bool m_bRightToLeft;
};
