#include "InstallStream.h"

#include "InstallSessions.h"
#include "ShellCommandLine.h"
#include "SimInstaller.h"

namespace
{
const int kCmdSdk = 24;
} // namespace

bool InstallStream::ParseService(const QByteArray &baService, const AdbPhone &phone, Request *pRequest)
{
    QList<ShellCommandLine::Command> listCommands;
    QString strError;
    if (!baService.startsWith("exec:") || phone.Sdk() < kCmdSdk
        || !ShellCommandLine::Parse(QString::fromUtf8(baService.mid(5)), &listCommands, &strError)
        || listCommands.size() != 1)
        return false;
    // "pm install…" is "cmd package install…" from Android 7 on.
    QStringList listWords = listCommands.first().listArgs;
    if (listWords.value(0) == QLatin1String("pm"))
        listWords = QStringList {QStringLiteral("cmd"), QStringLiteral("package")} + listWords.mid(1);
    if (listWords.value(0) != QLatin1String("cmd") || listWords.value(1) != QLatin1String("package"))
        return false;
    const QString strVerb = listWords.value(2);
    if (strVerb != QLatin1String("install") && strVerb != QLatin1String("install-write"))
        return false;
    Request request;
    request.bWrite = strVerb == QLatin1String("install-write");
    QStringList listRest;
    for (qsizetype i = 3; i < listWords.size(); ++i) {
        if (listWords.at(i) == QLatin1String("-S") && i + 1 < listWords.size())
            request.nSize = listWords.at(++i).toLongLong();
        else if (!listWords.at(i).startsWith(QLatin1Char('-')) || listWords.at(i) == QLatin1String("-"))
            listRest << listWords.at(i);
    }
    // install-write -S SIZE SESSION NAME -
    if (request.bWrite) {
        bool bOk = false;
        request.nSession = listRest.value(0).toInt(&bOk);
        request.strName = listRest.value(1);
        if (!bOk || request.strName.isEmpty() || listRest.value(2) != QLatin1String("-"))
            return false;
    }
    if (request.nSize <= 0)
        return false;
    *pRequest = request;
    return true;
}

InstallStream::InstallStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId, const AdbPhone &phone,
                             const Request &request)
    : AdbStream(pConnection, nLocalId, nRemoteId)
    , m_phone(phone)
    , m_request(request)
    , m_strFile(InstallSessions::Instance().NewApkFile())
{
    if (m_request.bWrite && !InstallSessions::Instance().Has(m_request.nSession)) {
        Answer(QStringLiteral("Failure [java.lang.SecurityException: Caller has no access to session %1]").arg(m_request.nSession));
        return;
    }
    m_pFile = std::make_unique<QFile>(m_strFile);
    if (m_strFile.isEmpty() || !m_pFile->open(QIODevice::WriteOnly))
        Answer(QStringLiteral("Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE]"));
}

InstallStream::~InstallStream()
{
    // Closed before the APK was whole: nothing is installed.
    if (m_pFile) {
        m_pFile->close();
        QFile::remove(m_strFile);
    }
}

void InstallStream::Answer(const QString &strLine)
{
    Append(strLine.toUtf8() + '\n');
    Finish();
}

void InstallStream::Receive(const QByteArray &baData)
{
    if (IsFinishing() || !m_pFile)
        return;
    const qint64 nTake = qMin<qint64>(baData.size(), m_request.nSize - m_nReceived);
    if (m_pFile->write(baData.constData(), nTake) != nTake) {
        m_pFile.reset();
        QFile::remove(m_strFile);
        Answer(QStringLiteral("Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE]"));
        return;
    }
    m_nReceived += nTake;
    if (m_nReceived == m_request.nSize)
        Complete();
}

void InstallStream::Complete()
{
    m_pFile->close();
    m_pFile.reset();
    if (m_request.bWrite) {
        InstallSessions::Instance().Add(m_request.nSession, m_request.strName, m_strFile);
        Answer(QStringLiteral("Success: streamed %1 bytes").arg(m_request.nSize));
        return;
    }
    const QString strAnswer = SimInstaller::Install(m_phone.Config(), {m_strFile}, {QStringLiteral("base.apk")});
    QFile::remove(m_strFile);
    Answer(strAnswer);
}
