#include "ShellStream.h"

#include "ShellText.h"

#include <QtEndian>

namespace
{
// Shell protocol packets are kept well below any transport maximum.
const qsizetype kPacketData = 32 * 1024;
const char kBackspace = 0x7f;
const char kEndOfInput = 0x04; // ^D on a terminal
} // namespace

bool ShellStream::ParseService(const QByteArray &baService, Mode *pMode, QString *pCommand, bool *pPty)
{
    if (baService.startsWith("exec:")) {
        *pMode = Exec;
        *pCommand = ShellText::Decode(baService.mid(5));
        *pPty = false;
        return true;
    }
    if (!baService.startsWith("shell:") && !baService.startsWith("shell,"))
        return false;
    const qsizetype nColon = baService.indexOf(':');
    if (nColon < 0)
        return false;
    const QList<QByteArray> listArgs = baService.mid(6, qMax<qsizetype>(0, nColon - 6)).split(',');
    *pCommand = ShellText::Decode(baService.mid(nColon + 1));
    *pMode = listArgs.contains("v2") ? ShellV2 : ShellV1;
    // A command runs without a terminal unless one is asked for; a shell without command gets one.
    *pPty = listArgs.contains("pty") || (pCommand->isEmpty() && !listArgs.contains("raw"));
    return true;
}

ShellStream::ShellStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId,
                         const AdbPhone &phone, Mode mode, const QString &strCommand, bool bPty)
    : AdbStream(pConnection, nLocalId, nRemoteId)
    , m_phone(phone)
    , m_commands(m_phone)
    , m_mode(mode)
    // Old phones always run "shell:" on a terminal.
    , m_bPty(bPty || (mode == ShellV1 && phone.HasOldShell()))
    , m_baPrompt(phone.Property(QStringLiteral("ro.product.device")).toUtf8() + ":/ $ ")
{
    if (strCommand.trimmed().isEmpty() && mode != Exec) {
        if (m_bPty)
            Output(Stdout, m_baPrompt);
        return;
    }
    const ShellCommands::Result result = m_commands.Run(strCommand);
    Output(Stderr, result.baErrFirst);
    Output(Stdout, result.baOut);
    Output(Stderr, result.baErr);
    End(result.nStatus);
}

void ShellStream::Receive(const QByteArray &baData)
{
    if (IsFinishing())
        return;
    if (m_mode != ShellV2) {
        Input(baData);
        return;
    }
    m_baIn.append(baData);
    while (!IsFinishing() && m_baIn.size() >= 5) {
        const char cId = m_baIn.at(0);
        const quint32 nLength = qFromLittleEndian<quint32>(m_baIn.constData() + 1);
        if (m_baIn.size() < 5 + qsizetype(nLength))
            return;
        const QByteArray baPacket = m_baIn.mid(5, nLength);
        m_baIn.remove(0, 5 + nLength);
        if (cId == Stdin)
            Input(baPacket);
        else if (cId == CloseStdin)
            End(m_nStatus);
    }
}

void ShellStream::Input(const QByteArray &baData)
{
    for (char c : baData) {
        if (IsFinishing())
            return;
        if (c == '\r' || c == '\n') {
            if (m_bPty)
                Output(Stdout, "\n");
            const QByteArray baLine = m_baLine;
            m_baLine.clear();
            RunLine(baLine);
        } else if (m_bPty && c == kBackspace) {
            if (!m_baLine.isEmpty()) {
                m_baLine.chop(1);
                Output(Stdout, "\b \b");
            }
        } else if (m_bPty && c == kEndOfInput) {
            if (m_baLine.isEmpty())
                End(m_nStatus);
        } else {
            m_baLine.append(c);
            if (m_bPty)
                Output(Stdout, QByteArray(1, c)); // a terminal echoes what is typed
        }
    }
}

void ShellStream::RunLine(const QByteArray &baLine)
{
    const QString strLine = ShellText::Decode(baLine).trimmed();
    if (strLine == QLatin1String("exit") || strLine.startsWith(QLatin1String("exit "))) {
        End(strLine.mid(5).toInt());
        return;
    }
    if (!strLine.isEmpty()) {
        const ShellCommands::Result result = m_commands.Run(strLine);
        Output(Stderr, result.baErrFirst);
        Output(Stdout, result.baOut);
        Output(Stderr, result.baErr);
        m_nStatus = result.nStatus;
    }
    if (m_bPty)
        Output(Stdout, m_baPrompt);
}

void ShellStream::Output(char cId, QByteArray baData)
{
    if (baData.isEmpty())
        return;
    // A terminal turns every line end into CR LF.
    if (m_bPty)
        baData.replace("\n", "\r\n");
    if (m_mode != ShellV2) {
        Append(baData);
        return;
    }
    for (qsizetype nPos = 0; nPos < baData.size(); nPos += kPacketData) {
        const qsizetype nLength = qMin(kPacketData, baData.size() - nPos);
        char acHeader[5];
        acHeader[0] = cId;
        qToLittleEndian<quint32>(quint32(nLength), acHeader + 1);
        Append(acHeader, sizeof acHeader);
        Append(baData.constData() + nPos, nLength);
    }
}

void ShellStream::End(int nStatus)
{
    if (m_mode == ShellV2) {
        const char acExit[6] = {Exit, 1, 0, 0, 0, char(nStatus & 0xff)};
        Append(acExit, sizeof acExit);
    }
    Finish();
}
