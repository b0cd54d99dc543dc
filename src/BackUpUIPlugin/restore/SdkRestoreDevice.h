#pragma once

#include "RestoreDevice.h"

// The phone the device SDK has chosen (simulated or reached through adb),
// through its restore calls.
class SdkRestoreDevice : public RestoreDevice
{
public:
    int StatFiles(const QStringList &listPaths, QList<Stat> &listStats) override;
    int PutFiles(const QList<Job> &listJobs, const FileCallback &callback) override;
    int ScanMedia(const QStringList &listPaths) override;
    int AppVersions(QHash<QString, qint64> &hashVersions) override;
    int InstallApp(const QStringList &listApks, QString &strMessage) override;
    int RecordsAvailable(int nType, QString &strReason) override;
    int Records(int nType, const QString &strLocalFile, RecordCounts &counts, QString &strMessage) override;
    void Cancel() override;
    void ResetCancel() override;

    // The SDK's line formats, shared with the tests.
    static QList<Stat> ParseStatText(const QByteArray &baText, int nExpected);
    static QHash<QString, qint64> ParseVersionText(const QByteArray &baText);
    static QByteArray JobText(const QList<Job> &listJobs);
};
