#pragma once

#include "HostOptions.h"

#include <QObject>
#include <QString>

#include <cstdio>

class HostFrame;
class QTimer;
class QWidget;

// Runs the plugin's restore wizard off screen as a user would: the backup
// named on the command line is chosen, the tiles of --items (or everything
// restorable) are checked once the phone has been read, Restore is pressed
// and the result page is read. Pictures of each page go to --shots; the
// summary is printed; signalDone carries the restore's exit status, 3 when
// the wizard did not move on in time.
class RestoreHeadlessDriver : public QObject
{
    Q_OBJECT
public:
    RestoreHeadlessDriver(QWidget *pWindow, HostFrame &frame, const HostOptions &options, std::FILE *pOut,
                          std::FILE *pErr, QObject *pParent = nullptr);

    void Start();

signals:
    void signalDone(int nStatus);

public slots:
    void slotInterrupt();

private slots:
    void slotPoll();

private:
    enum class Phase
    {
        Choosing,
        Restoring,
        Done
    };

    // The wizard page with this object name when it is on screen.
    QWidget *ShownPage(const char *szName) const;
    // The wizard stayed on its list: the backup given cannot be chosen. Says
    // why and ends with status 1.
    void RefuseBackup(QWidget *pChoose);
    void StartRestore(QWidget *pItems);
    void FinishRun(QWidget *pComplete);
    void Finish(int nStatus);
    void SaveShot(const QString &strName);
    void Print(std::FILE *pStream, const QString &strText);

    QWidget *const m_pWindow;
    HostFrame &m_frame;
    const HostOptions m_options;
    std::FILE *const m_pOut;
    std::FILE *const m_pErr;
    QTimer *m_pPollTimer = nullptr;
    Phase m_phase = Phase::Choosing;
    int m_nIdlePolls = 0;
};
