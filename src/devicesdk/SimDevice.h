#pragma once

#include "DeviceBackend.h"
#include "PhoneConfig.h"
#include "sdk/dvsk.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class QFile;

class QTemporaryDir;

// The simulated phone behind the DVSK_ functions: which folder is served,
// whether the phone is attached, the registered callbacks, the cancel state,
// the result files the phone has produced and the log of the calls made.
// Every member function is thread-safe; callbacks are never called with the
// lock held.
class SimDevice : public DeviceBackend
{
public:
    static SimDevice &Instance();

    int BackUp(int nType, const char *szName, char **ppText) override;
    int GetFile(const char *szLocalPath, const char *szRemotePath, int nMode) override;
    int GetBackUpCount(int nType, int *pCount, int *pSize) override;
    int MemInfo(DVSK_MemInfo **ppList) override;

    void SetBackupCancel(unsigned char bCancel) override;
    void BackupCancel() override;
    void OperationCancel(const char *szShellCommand) override;
    void Reset() override;

    int SetPhoneDir(const char *szPhoneDir);
    QString PhoneDir();
    int Open(QString &strMessage) override;
    QString DeviceInfo() override;
    void Attach();
    void Detach();
    bool IsAttached() override;
    QString Identity() override;
    // The phone's line in the list of phones (SERIAL, STATE, "sim", MODEL,
    // DETAIL, tab-separated); empty without a phone.
    QString ListLine();
    // Called whenever the phone arrives or leaves (empty: nobody is told).
    void SetListChangedCallback(std::function<void()> fnChanged);
    QString CallLog();
    void ClearCallLog();
    // The served phone as phone.ini describes it now (read afresh).
    PhoneConfig CurrentPhone();
    // Adds a line to the call log (the restore calls log theirs too).
    void LogCall(const QString &strLine);

    // The bundled sample phone next to this library: <lib dir>/../samples/phone.
    static QString BundledPhoneDir();

private:
    SimDevice();
    ~SimDevice() override;
    SimDevice(const SimDevice &) = delete;
    SimDevice &operator=(const SimDevice &) = delete;

    // What a running call checks to know it must stop.
    struct AbortToken
    {
        quint64 nResetGeneration = 0;
        quint64 nBackupCancelGeneration = 0;
        bool bBackup = false;
    };

    // Resolves the served folder (switching phones when it changed) and
    // reloads its phone.ini. Call with m_mutex held.
    // What a phone-side backup goes through, worked out before it starts.
    struct BackupPlan
    {
        int nItems = 0;
        QByteArray baList;
        QString strResultPhonePath;
        QString strResultHostPath;
        QList<QPair<QString, QString>> listAppData;
        QString strArchive;
        bool bDeliverPath = false;
        int nDelayMs = 0;
    };

    PhoneConfig LoadLocked();
    PhoneConfig Load();
    // Loads the phone for a call that needs it attached and valid (and, with
    // bHonourCancel, not cancelled): 0, or the error the call returns.
    int ReadyPhone(PhoneConfig &config, bool bHonourCancel);
    // Fills plan for a backup of nType: 0, or the error the call returns.
    int PlanBackup(const PhoneConfig &config, int nType, BackupPlan &plan);
    // The phone's side of a backup, on the phone's own thread.
    void RunPhoneBackup(const PhoneConfig &config, int nType, const BackupPlan &plan, const AbortToken &token,
                        bool &bAborted, bool &bFailed);
    QString ResolveDirLocked() const;
    void AppendLog(const QString &strLine);
    AbortToken Token(bool bBackup) const;
    bool IsAborted(const AbortToken &token) const;
    // Sleeps nMs in short slices; false when the call was aborted meanwhile.
    bool SleepFor(int nMs, const AbortToken &token) const;
    int AbortCode() const;
    void RaiseEvents(const QList<int> &listEvents);
    QString TempDir();
    void RegisterResult(const QString &strPhonePath, const QString &strHostPath, bool bOwned);
    QString ResultHostPath(const QString &strPhonePath);
    int CopyInKernel(QFile &source, QFile &target, const AbortToken &token,
                     const std::function<void(qint64)> &fnProgress, qint64 *pnCopied);
    int CopyInChunks(QFile &source, QFile &target, int nRateKBps, const AbortToken &token,
                     const std::function<void(qint64)> &fnProgress, qint64 nCopied);
    // fnProgress (may be empty) gets the bytes copied so far after each chunk.
    int CopyFile(const QString &strSource, const QString &strLocal, int nRateKBps, const AbortToken &token,
                 const std::function<void(qint64)> &fnProgress);

    mutable QMutex m_mutex;
    bool m_bExplicitDir = false;
    QString m_strExplicitDir;
    QString m_strServedDir;
    bool m_bServing = false;
    int m_nCopiedFiles = 0;
    QStringList m_listCallLog;
    // Result files produced by phone-side backups: phone path -> file on the PC.
    QHash<QString, QString> m_hashResults;
    QStringList m_listOwnedResults;
    std::unique_ptr<QTemporaryDir> m_pTempDir;
    quint64 m_nArchiveSerial = 0;
    std::function<void()> m_fnListChanged;

    std::atomic<bool> m_bCancel {false};
    std::atomic<bool> m_bAttachedFlag {true};
    std::atomic<quint64> m_nResetGeneration {0};
    std::atomic<quint64> m_nBackupCancelGeneration {0};
};
