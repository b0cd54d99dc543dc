#include "AdbLongPaths.h"

#include "AdbRecordShell.h"

#include <thread>
#include <vector>

namespace
{
// Longest part of the phone's error stream kept for a message.
const int kMaxErrorText = 1000;
// Only whether a command ran matters here, not the SDK code for why not.
const int kNotRun = 1;
} // namespace

AdbLongPaths::AdbLongPaths(AdbServer &server, const QString &strSerial, bool bShellV2)
    : m_server(server)
    , m_strSerial(strSerial)
    , m_bShellV2(bShellV2)
{
}

AdbSync::Result AdbLongPaths::List(const QByteArray &baFolder, AdbShellFiles::Listing &listing, QString *pError,
                                   const Stopped &fnStopped) const
{
    AdbRecordShell shell(m_server, m_strSerial, m_bShellV2, fnStopped, []() { return kNotRun; });
    QByteArray baOutput;
    QByteArray baErrors;
    const int nResult = shell.RunApart(AdbShellFiles::ListCommand(baFolder, m_bShellV2),
                                       [&baOutput](const QByteArray &baChunk) { baOutput += baChunk; },
                                       [&baErrors](const QByteArray &baChunk) { baErrors += baChunk.left(kMaxErrorText); });
    if (nResult != 0)
        return AdbSync::Result::Broken;
    listing = AdbShellFiles::ParseListing(baOutput, m_bShellV2 ? shell.ExitStatus() : -1, baFolder);
    if (!listing.bComplete && pError) {
        *pError = QString::fromUtf8(baErrors.left(kMaxErrorText)).trimmed();
        if (!listing.bOpened && pError->isEmpty())
            *pError = QString::fromUtf8(baOutput.left(300)).trimmed();
    }
    return AdbSync::Result::Ok;
}

AdbSync::Result AdbLongPaths::ListSeveral(const QList<QByteArray> &listFolders,
                                          QList<AdbShellFiles::Listing> &listListings, QStringList *pErrors,
                                          const Stopped &fnStopped) const
{
    const qsizetype nFolders = listFolders.size();
    listListings = QList<AdbShellFiles::Listing>(nFolders);
    std::vector<AdbSync::Result> listResults(std::size_t(nFolders), AdbSync::Result::Broken);
    QStringList listErrors(nFolders);
    auto listOne = [&](qsizetype i) {
        listResults[std::size_t(i)] = List(listFolders.at(i), listListings[i], &listErrors[i], fnStopped);
    };
    // The first on this thread, the others beside it.
    std::vector<std::thread> listThreads;
    for (qsizetype i = 1; i < nFolders; ++i)
        listThreads.emplace_back(listOne, i);
    if (nFolders > 0)
        listOne(0);
    for (std::thread &thread : listThreads)
        thread.join();
    bool bBroken = false;
    for (qsizetype i = 0; i < nFolders; ++i) {
        bBroken = bBroken || listResults[std::size_t(i)] != AdbSync::Result::Ok;
        if (pErrors && !listErrors.at(i).isEmpty())
            *pErrors << listErrors.at(i);
    }
    return bBroken ? AdbSync::Result::Broken : AdbSync::Result::Ok;
}

AdbSync::Result AdbLongPaths::Read(const QByteArray &baPath, qint64 nListedSize, const Sink &fnSink, QString *pError,
                                   const Stopped &fnStopped) const
{
    bool bSinkFailed = false;
    AdbRecordShell shell(m_server, m_strSerial, m_bShellV2, [&]() { return bSinkFailed || fnStopped(); },
                         []() { return kNotRun; });
    // Without shell v2 the file's bytes come first, then the line that says
    // the phone read it whole; what goes past the listed size is held back
    // to tell which.
    qint64 nBody = 0;
    QByteArray baTail;
    QByteArray baErrors;
    const int nResult = shell.RunApart(AdbShellFiles::ReadCommand(baPath, m_bShellV2), [&](const QByteArray &baChunk) {
        const qint64 nTake = m_bShellV2 ? baChunk.size() : qBound<qint64>(0, nListedSize - nBody, baChunk.size());
        if (nTake > 0 && !bSinkFailed)
            bSinkFailed = !fnSink(baChunk.constData(), nTake);
        nBody += nTake;
        if (baTail.size() <= AdbShellFiles::DoneLine().size())
            baTail += baChunk.mid(nTake);
    }, [&baErrors](const QByteArray &baChunk) { baErrors += baChunk.left(kMaxErrorText); });
    if (bSinkFailed)
        return AdbSync::Result::LocalFailed;
    if (nResult != 0)
        return AdbSync::Result::Broken;
    const bool bWhole = m_bShellV2 ? shell.ExitStatus() == 0
                                   : nBody == nListedSize && baTail == AdbShellFiles::DoneLine();
    if (bWhole)
        return AdbSync::Result::Ok;
    if (pError) {
        const QByteArray baWhy = m_bShellV2 ? baErrors : baTail.left(200);
        *pError = QStringLiteral("the phone did not give the file whole (%1 of %2 bytes): %3")
                      .arg(nBody).arg(nListedSize).arg(QString::fromUtf8(baWhy.left(kMaxErrorText)).trimmed());
    }
    return AdbSync::Result::RemoteFailed;
}

AdbSync::Result AdbLongPaths::ReadData(const QByteArray &baPath, qint64 nListedSize, QByteArray *pData,
                                       qint64 nMaxBytes, QString *pError, const Stopped &fnStopped) const
{
    pData->resize(0);
    const AdbSync::Result result = Read(baPath, nListedSize, [pData, nMaxBytes](const char *pChunk, qint64 nLength) {
        if (pData->size() + nLength > nMaxBytes)
            return false;
        pData->append(pChunk, nLength);
        return true;
    }, pError, fnStopped);
    if (result != AdbSync::Result::Ok)
        pData->clear();
    if (result == AdbSync::Result::LocalFailed && pError)
        *pError = QStringLiteral("the file is larger than %1 bytes").arg(nMaxBytes);
    return result;
}
