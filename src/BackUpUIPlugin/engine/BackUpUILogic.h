#pragma once

#include "BackupRecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWaitCondition>

#include <cstdint>
#include <functional>

struct PhoneInfo;

// The one object through which the engine drives the device SDK: turns the
// SDK's callbacks into signals, runs one module backup at a time on the
// calling (worker) thread, copies result files, reads the phone's memory and
// describes the phone.
class BackUpUILogic : public QObject
{
    Q_OBJECT
public:
    static BackUpUILogic *Instance();
    static void DestroyInstance();
    // The instance if it exists, without creating it.
    static BackUpUILogic *ExistingInstance();
    // The SDK's user data folder (ends with a separator), empty when the SDK
    // cannot give one. Needs no instance.
    static QString GetUserDataDirectory();

    int BackUp(int nType, QString &strPath, int *pCount);
    // The same with the SDK's text as its UTF-8 bytes: the file list of a
    // file-list type (kept in bytes, half the size of a QString of it), else
    // the result path.
    int BackUpText(int nType, QByteArray &baText, int *pCount);
    // fnBytes (may be empty) gets the bytes copied so far while a large file
    // is copied, on the calling thread, as the SDK reports them.
    int GetFile(const QString &strLocal, const QString &strRemote, int nMode,
                const std::function<void(qint64)> &fnBytes = {});
    bool GetMemValue();
    // Whether the SDK still sees the phone (false once it was unplugged or
    // its connection was lost, also before a job was running).
    bool IsPhoneAttached() const;
    QList<MemInfoRecord> GetMemList() const;
    int GetPhoneInfo(PhoneInfo *pInfo);
    int GetBackUpCount(int nType, int *pCount, int *pSize);
    void SetBackupCancel(bool bCancel);
    void BackupCancel();
    void regSDKCallback();
    void unRegSDKCallback();

    // The device-event callback and the backup callback registered with the SDK.
    static int OnDevMgrEvent(int nEvent);
    static int OnBackupCallBack(int nType, int nPlugin, int nCount, intptr_t nAll);
    // The SDK's file-progress callback: hands the bytes to the GetFile call
    // running on this thread.
    static void OnFileProgress(const char *szRemotePath, int64_t nBytes);

    QByteArray GetResultPath() const;
    int GetLastCount() const;
    QDateTime GetLastCallbackTime() const;

signals:
    void signalDeviceMgrEvent(qint32 enEventType);
    void signalDeviceAcitve(bool bActive);
    void signalBackupCallBack(int nType, int nPlugin, int nCount, int nAll);
    void signalsTimeOutStart();
    void signalsTimeOutEnd();
    void signalBeartTimeOutStart();
    void signalsBeartTimeOutEnd();
    void signalBackupPro(int MoudleIndex, int ProType, int ProNum, int AllNum);

public slots:
    void slotDeviceEventHandler(qint32 enEventType);
    void slotBackupCancel();
    void slotsTimeOutStart();
    void slotBackUpTimeOut();
    void slotsTimeOutEnd();

private:
    BackUpUILogic();
    ~BackUpUILogic() override;

    QWaitCondition m_waitCondition;
    QList<MemInfoRecord> m_listMemInfo;
    mutable QMutex m_mutex;
    QByteArray m_baResultPath;
    int m_nLastCount = -1;
    QTimer *m_pTimer = nullptr;
    QDateTime m_dtLastCallback;
    bool m_bArmed = false;
    bool m_bBackupTimeOut = false;
    int m_nCurrentType = 0;
};
