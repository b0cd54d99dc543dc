#pragma once

#include "InterruptSignals.h"
#include "RestoreRunner.h"
#include "RunProgress.h"

#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class ToolOutput;

// backuptool restore: puts a backup back on the phone without a window. The
// package is verified first; a dry run only says what would happen. A live
// progress line, Ctrl-C cancels, and a summary per kind at the end. The
// runner works on its own thread; its queued signals arrive here, in this
// command's event loop.
class RestoreCommand : public QObject
{
    Q_OBJECT
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);

private:
    RestoreCommand(ToolOutput &out, RestoreDevice &device, bool bDryRun);
    ~RestoreCommand() override;

    int Exec(const QString &strBackup, const QList<int> &listCodes);

private slots:
    void slotPlanned(const RestorePlan &plan);
    void slotProgress(const RestoreRunner::Progress &progress);
    void slotItemStarted(int nCode);
    void slotFinished(const RestoreSummary &summary);
    void slotInterrupt();

private:
    ToolOutput &m_out;
    const bool m_bDryRun;
    RestoreRunner m_runner;
    RunProgress m_progress;
    QEventLoop m_loop;
    InterruptSignals m_interrupts;
    QString m_strKind;
    int m_nDrawn = 0;
    bool m_bInterrupted = false;
};
