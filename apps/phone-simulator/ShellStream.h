#pragma once

#include "AdbStream.h"

#include <QString>

class AdbPhone;

// The services that run a command: "exec:CMD" (raw output), "shell:CMD"
// (output and errors together, no exit status) and "shell,v2,...:CMD"
// (output, errors and exit status in shell protocol packets). The whole
// answer is queued at once; the stream ends after it.
class ShellStream : public AdbStream
{
public:
    enum Mode { Exec, ShellV1, ShellV2 };

    // Parses a service name; false when it is none of these services.
    static bool ParseService(const QByteArray &baService, Mode *pMode, QString *pCommand, bool *pPty);

    ShellStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId,
                const AdbPhone &phone, Mode mode, const QString &strCommand, bool bPty);

    // Shell protocol packet ids.
    enum PacketId : char { Stdin = 0, Stdout = 1, Stderr = 2, Exit = 3, CloseStdin = 4, WindowSize = 5 };

private:
    void AppendPackets(char cId, const QByteArray &baData);
};
