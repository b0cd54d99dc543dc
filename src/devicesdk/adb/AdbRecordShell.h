#pragma once

#include "PhoneShell.h"

#include <QString>

#include <functional>

class AdbServer;
class AdbSocket;

// The phone's shell for the record readers: each command runs without a
// terminal, so values keep their new lines and binary output its bytes, and
// its output is handed on as it arrives. On phones with the shell_v2 feature
// the command runs through "shell,v2,raw:", whose packets keep the error
// stream apart (a linker warning never mixes into the rows); elsewhere
// through "exec:", where both streams arrive together. A cancel closes the
// running command's connection.
class AdbRecordShell : public PhoneShell
{
public:
    // fnCancelled: true once the backup was cancelled; fnBroken: the SDK code
    // for a connection that ended early (the phone gone, or a cancel).
    AdbRecordShell(AdbServer &server, const QString &strSerial, bool bShellV2, std::function<bool()> fnCancelled,
                   std::function<int()> fnBroken);

    int Run(const QByteArray &baCommand, const OutputHandler &fnOutput) override;
    int RunApart(const QByteArray &baCommand, const OutputHandler &fnOutput, const OutputHandler &fnError) override;
    bool ErrorsApart() const override { return m_bShellV2; }
    bool IsCancelled() const override { return m_fnCancelled(); }
    // The exit status of the last command that ran through shell v2; -1
    // without shell v2 or when it ended without one.
    int ExitStatus() const { return m_nExitStatus; }

private:
    // Reads the connection to its end, handing each piece to fnData.
    int Pump(AdbSocket &socket, const QByteArray &baCommand, const OutputHandler &fnData);

    AdbServer &m_server;
    const QString m_strSerial;
    const bool m_bShellV2;
    const std::function<bool()> m_fnCancelled;
    const std::function<int()> m_fnBroken;
    int m_nExitStatus = -1;
};
