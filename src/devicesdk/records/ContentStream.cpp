#include "ContentStream.h"

#include "ProviderQuery.h"

namespace
{
const QByteArray kToolError = QByteArrayLiteral("Error while accessing provider");
const qsizetype kMaxErrorText = 4096;

QString ErrorLines(const QByteArray &baText)
{
    return QString::fromUtf8(baText.left(kMaxErrorText)).trimmed().split(QLatin1Char('\n')).mid(0, 2).join(QLatin1String(" / "));
}
} // namespace

int ContentStream::Read(PhoneShell &shell, const QString &strUri, const PhoneShell::OutputHandler &fnBytes,
                        bool *pbOpened, QString *pError)
{
    *pbOpened = true;
    pError->clear();
    const QByteArray baCommand = "content read --uri " + ProviderQuery::Quote(strUri);
    if (!shell.ErrorsApart())
        return ReadMixed(shell, baCommand, fnBytes, pbOpened, pError);
    qint64 nBytes = 0;
    QByteArray baErrors;
    const int nCode = shell.RunApart(baCommand,
        [&](const QByteArray &baChunk) { nBytes += baChunk.size(); fnBytes(baChunk); },
        [&](const QByteArray &baChunk) { if (baErrors.size() < kMaxErrorText) baErrors += baChunk; });
    if (nCode == 0 && nBytes == 0 && baErrors.contains(kToolError)) {
        *pbOpened = false;
        *pError = ErrorLines(baErrors.mid(baErrors.indexOf(kToolError)));
    }
    return nCode;
}

int ContentStream::ReadMixed(PhoneShell &shell, const QByteArray &baCommand, const PhoneShell::OutputHandler &fnBytes,
                             bool *pbOpened, QString *pError)
{
    // The error stream (the tool's error, a linker warning) must not mix into the bytes.
    qint64 nBytes = 0;
    int nCode = shell.Run(baCommand + " 2>/dev/null", [&](const QByteArray &baChunk) {
        nBytes += baChunk.size();
        fnBytes(baChunk);
    });
    if (nCode != 0 || nBytes > 0)
        return nCode;
    // No bytes: an empty stream, or one the phone could not open.
    QByteArray baText;
    nCode = shell.Run(baCommand, [&](const QByteArray &baChunk) {
        if (baText.size() < kMaxErrorText)
            baText += baChunk;
    });
    if (nCode == 0 && baText.contains(kToolError)) {
        *pbOpened = false;
        *pError = ErrorLines(baText.mid(baText.indexOf(kToolError)));
    }
    return nCode;
}
