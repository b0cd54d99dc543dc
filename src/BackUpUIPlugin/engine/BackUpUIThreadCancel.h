#pragma once

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

// Carries out a user's cancel while the worker is blocked in the SDK: stops
// the file copy loops, tells the SDK and the phone, waits a moment and
// removes the run's temporary files.
class BackUpUIThreadCancel : public QThread
{
    Q_OBJECT
public:
    static BackUpUIThreadCancel *Instance();
    static BackUpUIThreadCancel *ExistingInstance();
    static void DestroyInstance();

    // How long the cancel job waits for the phone before removing files
    // (3000 ms unless changed).
    static void SetSettleDelay(int nMilliseconds);
    static int SettleDelay();

    // Set by the progress page: true when a file item is selected.
    void SetFileItemSelected(bool bSelected);
    bool IsFileItemSelected() const;
    // True when the last cancel came after the backup job was over.
    bool IsAlreadyFinished() const;

    // Ends the wait for the phone of a running cancel job at once (a phone
    // that went away has nothing left to settle); EndSettle before the job
    // reaches its wait skips it.
    void EndSettle();
    // Clears an earlier EndSettle before a new cancel job starts.
    void ResetSettle();

signals:
    void signalBackupCancel();

protected:
    void run() override;

private:
    BackUpUIThreadCancel();
    ~BackUpUIThreadCancel() override;

    std::atomic<bool> m_bFileItemSelected{false};
    std::atomic<bool> m_bAlreadyFinished{false};
    QMutex m_settleMutex;
    QWaitCondition m_settleCondition;
    bool m_bSettleEnded = false;
};
