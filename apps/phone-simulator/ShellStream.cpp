#include "ShellStream.h"

#include "AdbPhone.h"
#include "ShellCommands.h"

#include <QtEndian>

namespace
{
// Shell protocol packets are kept well below any transport maximum.
const qsizetype kPacketData = 32 * 1024;
} // namespace

bool ShellStream::ParseService(const QByteArray &baService, Mode *pMode, QString *pCommand, bool *pPty)
{
    if (baService.startsWith("exec:")) {
        *pMode = Exec;
        *pCommand = QString::fromUtf8(baService.mid(5));
        *pPty = false;
        return true;
    }
    if (!baService.startsWith("shell:") && !baService.startsWith("shell,"))
        return false;
    const qsizetype nColon = baService.indexOf(':');
    if (nColon < 0)
        return false;
    const QList<QByteArray> listArgs = baService.mid(6, qMax<qsizetype>(0, nColon - 6)).split(',');
    *pCommand = QString::fromUtf8(baService.mid(nColon + 1));
    *pMode = listArgs.contains("v2") ? ShellV2 : ShellV1;
    // A command runs without a terminal unless one is asked for; a shell without command gets one.
    *pPty = listArgs.contains("pty") || (pCommand->isEmpty() && !listArgs.contains("raw"));
    return true;
}

ShellStream::ShellStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId,
                         const AdbPhone &phone, Mode mode, const QString &strCommand, bool bPty)
    : AdbStream(pConnection, nLocalId, nRemoteId)
{
    // An interactive shell (no command) is not offered: it ends at once.
    const ShellCommands::Result result = strCommand.trimmed().isEmpty() ? ShellCommands::Result()
                                                                       : ShellCommands(phone).Run(strCommand);
    if (mode == ShellV2) {
        AppendPackets(Stdout, result.baOut);
        AppendPackets(Stderr, result.baErr);
        const char acExit[6] = {Exit, 1, 0, 0, 0, char(result.nStatus & 0xff)};
        Append(acExit, sizeof acExit);
    } else {
        QByteArray baAll = result.baOut + result.baErr;
        // A terminal turns every line end into CR LF; old phones always use one.
        if (bPty || (mode == ShellV1 && phone.HasOldShell()))
            baAll.replace("\n", "\r\n");
        Append(baAll);
    }
    Finish();
}

void ShellStream::AppendPackets(char cId, const QByteArray &baData)
{
    for (qsizetype nPos = 0; nPos < baData.size(); nPos += kPacketData) {
        const qsizetype nLength = qMin(kPacketData, baData.size() - nPos);
        char acHeader[5];
        acHeader[0] = cId;
        qToLittleEndian<quint32>(quint32(nLength), acHeader + 1);
        Append(acHeader, sizeof acHeader);
        Append(baData.constData() + nPos, nLength);
    }
}
