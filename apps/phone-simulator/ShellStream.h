#pragma once

#include "AdbPhone.h"
#include "AdbStream.h"
#include "ShellCommands.h"

#include <QByteArray>
#include <QString>

// The services that run commands: "exec:CMD" (raw output), "shell:CMD"
// (output and errors together, no exit status) and "shell,v2,...:CMD"
// (output, errors and exit status in shell protocol packets). A command's
// whole answer is queued at once and the stream ends after it. Without a
// command the shell is interactive: it reads lines from the client and
// answers each (on a terminal with a prompt and echo) until "exit" or the
// end of input.
class ShellStream : public AdbStream
{
public:
    enum Mode { Exec, ShellV1, ShellV2 };

    // Parses a service name; false when it is none of these services.
    static bool ParseService(const QByteArray &baService, Mode *pMode, QString *pCommand, bool *pPty);

    ShellStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId,
                const AdbPhone &phone, Mode mode, const QString &strCommand, bool bPty);

    void Receive(const QByteArray &baData) override;

    // Shell protocol packet ids.
    enum PacketId : char { Stdin = 0, Stdout = 1, Stderr = 2, Exit = 3, CloseStdin = 4, WindowSize = 5 };

private:
    void Input(const QByteArray &baData);
    void RunLine(const QByteArray &baLine);
    void Output(char cId, QByteArray baData);
    void End(int nStatus);

    const AdbPhone m_phone;
    const ShellCommands m_commands;
    const Mode m_mode;
    const bool m_bPty;
    const QByteArray m_baPrompt;
    QByteArray m_baIn;   // shell protocol packets not yet complete
    QByteArray m_baLine; // the interactive line being typed
    int m_nStatus = 0;
};
