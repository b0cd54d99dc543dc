#include "SdkRestoreDevice.h"

#include <sdk/dvsk_restore.h>

#include <QFile>

#include <cstdlib>

namespace
{
const char kFieldSeparator = 0x18;

// Takes a text the SDK handed out and frees it.
QByteArray Take(char *szText)
{
    const QByteArray ba(szText ? szText : "");
    std::free(szText);
    return ba;
}

QByteArray PathLines(const QStringList &listPaths)
{
    QByteArray ba;
    for (const QString &strPath : listPaths)
        ba += strPath.toUtf8() + '\n';
    return ba;
}

QByteArray LocalPathLines(const QStringList &listPaths)
{
    QByteArray ba;
    for (const QString &strPath : listPaths)
        ba += QFile::encodeName(strPath) + '\n';
    return ba;
}

struct PutContext
{
    const RestoreDevice::FileCallback *pCallback;
};

void OnFile(void *pContext, int nIndex, int nResult, int64_t nBytes, const char *szMessage)
{
    const PutContext *pPut = static_cast<const PutContext *>(pContext);
    (*pPut->pCallback)(nIndex, nResult, qint64(nBytes), szMessage ? QString::fromUtf8(szMessage) : QString());
}
} // namespace

QList<RestoreDevice::Stat> SdkRestoreDevice::ParseStatText(const QByteArray &baText, int nExpected)
{
    QList<Stat> listStats;
    const QList<QByteArray> listLines = baText.split('\n');
    for (int i = 0; i < nExpected; ++i) {
        Stat stat;
        const QByteArray baLine = i < listLines.size() ? listLines.at(i) : QByteArray("?");
        const QList<QByteArray> listFields = baLine.split('\t');
        bool bSizeOk = false;
        bool bTimeOk = false;
        if (baLine == "-") {
            stat.state = Stat::Missing;
        } else if (listFields.size() == 2) {
            stat.nSize = listFields.at(0).toLongLong(&bSizeOk);
            stat.nModified = listFields.at(1).toLongLong(&bTimeOk);
            stat.state = bSizeOk && bTimeOk ? Stat::File : Stat::Other;
        } else {
            // "?" and anything unreadable: never written over.
            stat.state = Stat::Other;
        }
        listStats.append(stat);
    }
    return listStats;
}

QHash<QString, qint64> SdkRestoreDevice::ParseVersionText(const QByteArray &baText)
{
    QHash<QString, qint64> hashVersions;
    for (const QByteArray &baLine : baText.split('\n')) {
        const int nTab = baLine.indexOf('\t');
        const QByteArray baName = (nTab < 0 ? baLine : baLine.left(nTab)).trimmed();
        if (baName.isEmpty())
            continue;
        hashVersions.insert(QString::fromUtf8(baName), nTab < 0 ? 0 : baLine.mid(nTab + 1).trimmed().toLongLong());
    }
    return hashVersions;
}

QByteArray SdkRestoreDevice::JobText(const QList<Job> &listJobs)
{
    QByteArray ba;
    for (const Job &job : listJobs) {
        ba += QFile::encodeName(job.strLocal) + kFieldSeparator + job.strPhonePath.toUtf8() + kFieldSeparator
              + QByteArray::number(job.nModified) + '\n';
    }
    return ba;
}

int SdkRestoreDevice::StatFiles(const QStringList &listPaths, QList<Stat> &listStats)
{
    listStats.clear();
    if (listPaths.isEmpty())
        return 0;
    char *szText = nullptr;
    const int nResult = DVSK_Restore_StatFiles(PathLines(listPaths).constData(), &szText);
    const QByteArray baText = Take(szText);
    if (nResult == 0)
        listStats = ParseStatText(baText, int(listPaths.size()));
    return nResult;
}

int SdkRestoreDevice::PutFiles(const QList<Job> &listJobs, const FileCallback &callback)
{
    if (listJobs.isEmpty())
        return 0;
    PutContext context{&callback};
    return DVSK_Restore_PutFiles(JobText(listJobs).constData(), &OnFile, &context);
}

int SdkRestoreDevice::ScanMedia(const QStringList &listPaths)
{
    if (listPaths.isEmpty())
        return 0;
    return DVSK_Restore_ScanMedia(PathLines(listPaths).constData());
}

int SdkRestoreDevice::AppVersions(QHash<QString, qint64> &hashVersions)
{
    char *szText = nullptr;
    const int nResult = DVSK_Restore_AppVersions(&szText);
    const QByteArray baText = Take(szText);
    hashVersions = nResult == 0 ? ParseVersionText(baText) : QHash<QString, qint64>();
    return nResult;
}

int SdkRestoreDevice::InstallApp(const QStringList &listApks, QString &strMessage)
{
    char *szMessage = nullptr;
    const int nResult = DVSK_Restore_InstallApp(LocalPathLines(listApks).constData(), &szMessage);
    strMessage = QString::fromUtf8(Take(szMessage)).trimmed();
    return nResult;
}

int SdkRestoreDevice::RecordsAvailable(int nType, QString &strReason)
{
    char *szReason = nullptr;
    const int nResult = DVSK_Restore_RecordsAvailable(nType, &szReason);
    strReason = QString::fromUtf8(Take(szReason)).trimmed();
    return nResult;
}

int SdkRestoreDevice::Records(int nType, const QString &strLocalFile, RecordCounts &counts, QString &strMessage)
{
    char *szMessage = nullptr;
    int nRestored = 0;
    int nSkipped = 0;
    int nFailed = 0;
    const int nResult = DVSK_Restore_Records(nType, QFile::encodeName(strLocalFile).constData(), &nRestored, &nSkipped,
                                             &nFailed, &szMessage);
    strMessage = QString::fromUtf8(Take(szMessage)).trimmed();
    counts.nRestored = nRestored;
    counts.nSkipped = nSkipped;
    counts.nFailed = nFailed;
    return nResult;
}

void SdkRestoreDevice::Cancel()
{
    DVSK_Restore_Cancel();
}

void SdkRestoreDevice::ResetCancel()
{
    DVSK_Restore_ResetCancel();
}
