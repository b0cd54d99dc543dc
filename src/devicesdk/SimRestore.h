#pragma once

#include "DeviceRestore.h"
#include "PhoneConfig.h"
#include "RestoreRequest.h"

#include <QFile>
#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>

class SimDevice;

// Restores onto the simulated phone: files into its fs/ folder (under a
// temporary name, then renamed into place without replacing anything),
// applications into fs/data/app, records into its record files. The fault
// knobs of phone.ini (docs/phone-format.md) make it a full phone, refuse
// installs or unplug it half-way through a file.
class SimRestore : public DeviceRestore
{
public:
    explicit SimRestore(SimDevice &device);
    static SimRestore &Instance();

    int StatFiles(const char *szRemotePaths, char **ppText) override;
    int PutFiles(const char *szJobs, DVSK_RestoreFileCallback pCallback, void *pContext) override;
    int ScanMedia(const char *szRemotePaths) override;
    int AppVersions(char **ppText) override;
    int InstallApp(const char *szApkPaths, char **ppMessage) override;
    int RecordsAvailable(int nType, char **ppReason) override;
    int Records(int nType, const char *szLocalFile, int *pRestored, int *pSkipped, int *pFailed,
                char **ppMessage) override;
    void Cancel() override;
    void ResetCancel() override;

private:
    // The restore knobs of phone.ini.
    struct Knobs
    {
        qint64 nFreeBytes = -1;        // [faults] restoreFreeKB; -1: room for everything
        int nUnplugDuringFile = 0;     // [faults] unplugDuringPushedFile: the N-th file, 0 never
        int nSdk = 0;                  // [device] sdk; 0: unknown (new enough)
    };
    static Knobs ReadKnobs(const PhoneConfig &config);

    // 0 when the phone is there, valid and the restore not cancelled.
    int Ready(PhoneConfig &config);
    // The code of a call stopped by a cancel or an unplug, 0 when neither.
    int StopCode() const;
    // Counts restored files and bytes per served phone, for the full-phone
    // and unplug knobs.
    void CountFor(const PhoneConfig &config, qint64 *pBytes, int *pFiles);
    void AddWritten(qint64 nBytes);
    int PutOne(const PhoneConfig &config, const Knobs &knobs, int nIndex, const RestoreRequest::FileJob &job,
               DVSK_RestoreFileCallback pCallback, void *pContext, QString *pMessage);
    int WriteFile(QFile &source, const QString &strTarget, int nRateKBps, bool bUnplugMidway,
                  const std::function<void(qint64)> &fnProgress);

    SimDevice &m_device;
    std::atomic<bool> m_bCancel {false};
    QMutex m_mutex;
    QString m_strCountedDir;
    qint64 m_nWrittenBytes = 0;
    int m_nWrittenFiles = 0;
};
