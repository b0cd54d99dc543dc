#pragma once

#include "../DeviceRestore.h"
#include "../RestoreRequest.h"
#include "AdbPush.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class AdbDevice;
class AdbSocket;
class PhoneShell;

// Restores onto a real phone through the adb server, without root: files
// with the sync service's SEND under a temporary name, moved into place in
// batches with "mv -n" (never over another file); the media scanner asked by
// broadcast; applications with streamed installs ("cmd package install",
// sessions for split APKs) or "pm install" of a pushed file on phones without
// "cmd"; records with "content insert" (AdbRecordRestore).
class AdbRestore : public DeviceRestore
{
public:
    explicit AdbRestore(AdbDevice &device);
    ~AdbRestore() override;

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

    // Commands joined with "; " into requests of at most this many bytes
    // (old phones take no longer service names).
    static constexpr int kMaxCommandBytes = 3500;
    // Joins commands into as few requests as the limit allows.
    static QStringList Batches(const QStringList &listCommands, int nMaxBytes = kMaxCommandBytes);
    // The install answer as the caller is told it: "Success", the phone's
    // "Failure […]" line, or that the phone asks the user to confirm.
    static QString InstallAnswer(const QByteArray &baOutput, bool *pSuccess);

private:
    struct Moved
    {
        int nIndex;
        QString strTemp;
        QString strFinal;
    };

    // The code a call ends with when its connection broke: cancelled,
    // the phone gone (device events raised) or the phone's failure.
    int StopCode();
    int Ready();
    // Runs one command (exec:, no terminal) and collects what it printed.
    int Shell(const QString &strCommand, QByteArray *pOutput);
    // Sends a PC file as the command's input and collects its answer.
    int StreamFile(const QString &strCommand, const QString &strLocalFile, QByteArray *pOutput);
    // One line per path as DVSK_Restore_StatFiles gives it.
    int StatPaths(const QStringList &listPaths, QList<QByteArray> &listLines);
    // A file's end: index, result, the phone's reason.
    using EndHandler = std::function<void(int, int, const QString &)>;
    // The files to send: those refused up front or already on the phone end at once.
    int PlanPush(const QList<RestoreRequest::FileJob> &listJobs, const EndHandler &fnEnd, QList<AdbPush::File> *pFiles);
    // Moves pushed files into place; each ends through fnEnd.
    int MoveIntoPlace(const QList<Moved> &listMoved, const EndHandler &fnEnd);
    int InstallStreamed(const QStringList &listApks, QByteArray *pAnswer);
    int InstallPushed(const QString &strApk, QByteArray *pAnswer);
    int PushOne(const QString &strLocal, const QString &strPhonePath, QString *pMessage);

    AdbDevice &m_device;
    std::atomic<bool> m_bCancel {false};
    QMutex m_mutex; // guards the running push and socket for Cancel()
    AdbPush *m_pPush = nullptr;
    AdbSocket *m_pSocket = nullptr;
};
