#pragma once

#include "PhoneShell.h"

#include <QString>

#include <functional>

class AdbServer;

// The phone's shell for the record readers: each command runs through the
// adb server's "exec:" service (no terminal, so values keep their new lines
// and binary output its bytes), its output handed on as it arrives. A cancel
// closes the running command's connection.
class AdbRecordShell : public PhoneShell
{
public:
    // fnCancelled: true once the backup was cancelled; fnBroken: the SDK code
    // for a connection that ended early (the phone gone, or a cancel).
    AdbRecordShell(AdbServer &server, const QString &strSerial, std::function<bool()> fnCancelled,
                   std::function<int()> fnBroken);

    int Run(const QByteArray &baCommand, const OutputHandler &fnOutput) override;
    bool IsCancelled() const override { return m_fnCancelled(); }

private:
    AdbServer &m_server;
    const QString m_strSerial;
    const std::function<bool()> m_fnCancelled;
    const std::function<int()> m_fnBroken;
};
