#pragma once

#include "HostOptions.h"
#include "StallMeter.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdio>

class HostFrame;
class PluginHost;
class QTimer;
class WizardView;

// Drives the backup wizard as a user would, without anyone looking: waits for
// a phone while the wizard's connect page is shown (printing what it says),
// waits for the counting, keeps the default tiles or checks the requested ones, picks
// the destination with the browse button, presses next, follows the progress
// page and presses finish. Prints the counts, the progress and the run's
// summary, and saves pictures of the three pages when asked. Ends with
// signalDone and the exit status of the run.
class HeadlessDriver : public QObject
{
    Q_OBJECT
public:
    enum ExitStatus : int
    {
        ExitOk = 0,
        ExitFailed = 1,
        ExitUsage = 2,
        ExitStuck = 3,
        ExitCancelled = 130
    };

    HeadlessDriver(PluginHost &host, HostFrame &frame, const HostOptions &options, std::FILE *pOut = stdout,
                   std::FILE *pErr = stderr, QObject *pParent = nullptr);
    ~HeadlessDriver() override;

    void Start();
    int ExitStatusOf() const { return m_nStatus; }
    // The longest stall of the user-interface thread during the backup.
    qint64 LongestStall() const { return m_stallMeter.LongestGap(); }

    // The name of a requesting plugin for a caller value.
    static QString CallerPluginName(int nCaller);

signals:
    void signalDone(int nStatus);

public slots:
    // The user asks to stop (Ctrl-C): a running backup is cancelled through
    // the progress page and its confirmation.
    void slotInterrupt();

private slots:
    void slotPoll();
    void slotRunEnded(const QVariantMap &mapReport);
    void slotHostCall(const QString &strLine);

private:
    enum class Phase
    {
        Counting,
        Running,
        Cancelling,
        Done
    };

    // While the connect page is shown: prints what it says whenever that
    // changes and gives up after the timeout. False once it is not shown.
    bool WaitingForPhone(const WizardView &view);
    void StartBackup();
    // A tile of the prepare page under its command-line name.
    struct TileState
    {
        QString strName;
        QString strCount;
        bool bChecked = false;
    };
    static QList<TileState> TileStates(const WizardView &view);
    bool ChooseDestination(WizardView &view);
    void ChooseTiles(WizardView &view);
    void PressStart(WizardView &view);
    void FollowProgress();
    void FinishRun();
    void FinishCancelled();
    void Fail(int nStatus, const QString &strText);
    void Finish(int nStatus);
    void ChangePhase(Phase phase);
    bool SaveShot(const QString &strName);
    void Line(const QString &strText);
    void ErrorLine(const QString &strText);
    void DrawProgress(int nPercent, const QString &strTip, bool bFinal);
    void EndProgressLine();

    PluginHost &m_host;
    HostFrame &m_frame;
    const HostOptions m_options;
    std::FILE *const m_pOut;
    std::FILE *const m_pErr;
    const bool m_bTerminal;
    QTimer *m_pPollTimer = nullptr;
    QElapsedTimer m_sinceChange;
    StallMeter m_stallMeter;
    Phase m_phase = Phase::Counting;
    int m_nStatus = ExitOk;
    QVariantMap m_mapReport;
    bool m_bReported = false;
    bool m_bMidShotTaken = false;
    bool m_bProgressLineOpen = false;
    int m_nLastPercent = -1;
    QString m_strLastTip;
    QString m_strConnectState;
    int m_nLastDecile = -1;
    QElapsedTimer m_sinceDraw;
};
