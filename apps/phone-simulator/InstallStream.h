#pragma once

#include "AdbPhone.h"
#include "AdbStream.h"

#include <QFile>
#include <QString>

#include <memory>

// The package manager's commands that read an APK from the stream:
// "exec:cmd package install -S SIZE [options]" installs it when SIZE bytes
// have come ("Success" or "Failure […]"), "exec:cmd package install-write
// -S SIZE SESSION NAME -" adds it to an install session ("Success: streamed
// SIZE bytes"). The APK is written to a file as it comes, never held whole.
// A stream that closes early installs nothing.
class InstallStream : public AdbStream
{
public:
    struct Request
    {
        bool bWrite = false; // install-write into a session
        qint64 nSize = 0;
        int nSession = 0;
        QString strName;
    };
    // Whether a service is one of these commands on this phone.
    static bool ParseService(const QByteArray &baService, const AdbPhone &phone, Request *pRequest);

    InstallStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId, const AdbPhone &phone,
                  const Request &request);
    ~InstallStream() override;

    void Receive(const QByteArray &baData) override;

private:
    void Complete();
    void Answer(const QString &strLine);

    const AdbPhone m_phone;
    const Request m_request;
    QString m_strFile;
    std::unique_ptr<QFile> m_pFile;
    qint64 m_nReceived = 0;
};
