#include "AdbRestore.h"

#include "AdbDevice.h"
#include "AdbParsers.h"
#include "AdbPush.h"
#include "AdbRecordRestore.h"
#include "AdbRecordShell.h"
#include "AdbSync.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

namespace
{
const int kPollMs = 100;
const char kSharedPrefix[] = "/storage/emulated/0";

void Log(const QString &strText)
{
    qInfo().noquote() << "adb restore:" << strText;
}

QString Q(const QString &str)
{
    return AdbParsers::ShellQuote(str);
}

QString ParentOf(const QString &strPath)
{
    const qsizetype nSlash = strPath.lastIndexOf(QLatin1Char('/'));
    return nSlash <= 0 ? QStringLiteral("/") : strPath.left(nSlash);
}
} // namespace

AdbRestore::AdbRestore(AdbDevice &device) : m_device(device)
{
}

AdbRestore::~AdbRestore() = default;

void AdbRestore::Cancel()
{
    m_bCancel = true;
    QMutexLocker locker(&m_mutex);
    if (m_pPush)
        m_pPush->Abort();
    if (m_pSocket)
        m_pSocket->Abort();
}

void AdbRestore::ResetCancel()
{
    m_bCancel = false;
}

int AdbRestore::StopCode()
{
    if (m_bCancel.load())
        return DVSK_DEV_ERR_CANCELLED;
    const int nGone = m_device.GoneCode();
    return nGone ? nGone : DVSK_DEV_ERR_PHONE_IO;
}

int AdbRestore::Ready()
{
    if (const int nOpen = m_device.Connect())
        return nOpen;
    return m_bCancel.load() ? DVSK_DEV_ERR_CANCELLED : 0;
}

int AdbRestore::Shell(const QString &strCommand, QByteArray *pOutput)
{
    AdbRecordShell shell(m_device.Server(), m_device.Serial(), m_device.HasFeature(QStringLiteral("shell_v2")), [this]() { return m_bCancel.load(); },
                         [this]() { return StopCode(); });
    pOutput->clear();
    return shell.Run(strCommand.toUtf8(), [pOutput](const QByteArray &baChunk) { pOutput->append(baChunk); });
}

QStringList AdbRestore::Batches(const QStringList &listCommands, int nMaxBytes)
{
    QStringList listBatches;
    QString strBatch;
    for (const QString &strCommand : listCommands) {
        if (!strBatch.isEmpty() && strBatch.toUtf8().size() + strCommand.toUtf8().size() + 2 > nMaxBytes) {
            listBatches << strBatch;
            strBatch.clear();
        }
        strBatch += (strBatch.isEmpty() ? QString() : QStringLiteral("; ")) + strCommand;
    }
    if (!strBatch.isEmpty())
        listBatches << strBatch;
    return listBatches;
}

int AdbRestore::StatPaths(const QStringList &listPaths, QList<QByteArray> &listLines)
{
    QString strError;
    const bool bListV2 = m_device.HasFeature(QStringLiteral("ls_v2"));
    std::unique_ptr<AdbSync> pSync;
    // With 64-bit listings each folder is listed once (STAT gives sizes
    // modulo 4 GiB); otherwise each path is looked at on its own.
    QHash<QString, QHash<QString, AdbSync::Entry>> hashFolders;
    for (const QString &strPath : listPaths) {
        if (m_bCancel.load())
            return DVSK_DEV_ERR_CANCELLED;
        // A phone ends its sync service after a refused request.
        if (!pSync || !pSync->IsUsable()) {
            std::unique_ptr<AdbSocket> pSocket = m_device.Server().OpenService(m_device.Serial(), "sync:", &strError);
            if (!pSocket)
                return StopCode();
            pSync = std::make_unique<AdbSync>(std::move(pSocket), bListV2);
        }
        AdbSync &sync = *pSync;
        AdbSync::Entry entry;
        AdbSync::Result result = AdbSync::Result::Ok;
        if (bListV2) {
            const QString strParent = ParentOf(strPath);
            if (!hashFolders.contains(strParent)) {
                QList<AdbSync::Entry> listEntries;
                result = sync.List(strParent + QLatin1Char('/'), listEntries, &strError);
                QHash<QString, AdbSync::Entry> &hashEntries = hashFolders[strParent];
                for (const AdbSync::Entry &listed : qAsConst(listEntries))
                    hashEntries.insert(listed.strName, listed);
            }
            entry = hashFolders.value(strParent).value(strPath.mid(strPath.lastIndexOf(QLatin1Char('/')) + 1));
        } else {
            result = sync.Stat(strPath, entry, &strError);
        }
        if (result == AdbSync::Result::Broken)
            return StopCode();
        if (entry.nMode == 0)
            listLines << "-\n";
        else if (entry.IsRegularFile())
            listLines << QByteArray::number(entry.nSize) + '\t' + QByteArray::number(entry.nMtime) + '\n';
        else
            listLines << "?\n";
    }
    if (pSync)
        pSync->Quit();
    return 0;
}

int AdbRestore::StatFiles(const char *szRemotePaths, char **ppText)
{
    if (!szRemotePaths || !ppText)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    *ppText = nullptr;
    if (const int nError = Ready())
        return nError;
    QList<QByteArray> listLines;
    if (const int nError = StatPaths(RestoreRequest::ParsePaths(szRemotePaths), listLines))
        return nError;
    *ppText = RestoreRequest::MallocText(listLines.join());
    return *ppText ? 0 : DVSK_DEV_ERR_LOCAL_FILE;
}

int AdbRestore::MoveIntoPlace(const QList<Moved> &listMoved, const EndHandler &fnEnd)
{
    // "mv -n" never replaces a file that came meanwhile; "ls" then shows
    // which temporary files are still there and which places are taken.
    QStringList listCommands;
    QStringList listNames;
    for (const Moved &moved : listMoved) {
        listCommands << QStringLiteral("mv -n %1 %2").arg(Q(moved.strTemp), Q(moved.strFinal));
        listNames << Q(moved.strTemp) << Q(moved.strFinal);
    }
    listCommands << QStringLiteral("ls ") + listNames.join(QLatin1Char(' '));
    QByteArray baOutput;
    if (const int nError = Shell(listCommands.join(QStringLiteral("; ")), &baOutput)) {
        for (const Moved &moved : listMoved)
            fnEnd(moved.nIndex, nError, QString());
        return nError;
    }
    const QSet<QString> setListed = [&]() {
        QSet<QString> set;
        for (const QByteArray &baLine : baOutput.split('\n'))
            set.insert(QString::fromUtf8(baLine).trimmed());
        return set;
    }();
    QStringList listLeft;
    for (const Moved &moved : listMoved) {
        if (!setListed.contains(moved.strTemp)) {
            fnEnd(moved.nIndex, 0, QString());
        } else if (setListed.contains(moved.strFinal)) {
            listLeft << Q(moved.strTemp);
            fnEnd(moved.nIndex, DVSK_RESTORE_ERR_EXISTS, QStringLiteral("a file is already at %1").arg(moved.strFinal));
        } else {
            listLeft << Q(moved.strTemp);
            fnEnd(moved.nIndex, DVSK_DEV_ERR_PHONE_IO, QStringLiteral("could not be moved into place"));
        }
    }
    if (!listLeft.isEmpty())
        Shell(QStringLiteral("rm -f ") + listLeft.join(QLatin1Char(' ')), &baOutput);
    return 0;
}

int AdbRestore::PlanPush(const QList<RestoreRequest::FileJob> &listJobs, const EndHandler &fnEnd,
                         QList<AdbPush::File> *pFiles)
{
    // Refused up front: other applications' folders; taken: what is there already.
    QStringList listFinals;
    for (const RestoreRequest::FileJob &job : listJobs)
        listFinals << job.strPhonePath;
    QList<QByteArray> listStat;
    if (const int nError = StatPaths(listFinals, listStat))
        return nError;
    for (int i = 0; i < listJobs.size(); ++i) {
        const RestoreRequest::FileJob &job = listJobs.at(i);
        if (RestoreRequest::IsRefusedPath(job.strPhonePath))
            fnEnd(i, DVSK_RESTORE_ERR_REFUSED, QStringLiteral("the phone does not let other applications' folders be written"));
        else if (listStat.at(i) != "-\n")
            fnEnd(i, DVSK_RESTORE_ERR_EXISTS, QStringLiteral("a file is already at %1").arg(job.strPhonePath));
        else
            pFiles->append({i, job.strLocalPath, RestoreRequest::TemporaryPath(job.strPhonePath), job.nMtime});
    }
    return 0;
}

int AdbRestore::PutFiles(const char *szJobs, DVSK_RestoreFileCallback pCallback, void *pContext)
{
    QList<RestoreRequest::FileJob> listJobs;
    if (!pCallback || !RestoreRequest::ParseJobs(szJobs, listJobs))
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    if (const int nError = Ready())
        return nError;
    auto end = [&](int nIndex, int nResult, const QString &strMessage) {
        const QByteArray ba = strMessage.toUtf8();
        pCallback(pContext, nIndex, nResult, 0, strMessage.isEmpty() ? nullptr : ba.constData());
    };
    QList<AdbPush::File> listFiles;
    if (const int nError = PlanPush(listJobs, end, &listFiles))
        return nError;
    QList<Moved> listMoved;
    int nMoveError = 0;
    AdbPush push([this](QString *pError) { return m_device.Server().OpenService(m_device.Serial(), "sync:", pError); },
                 [&](const AdbPush::File &file, qint64 nBytes) { pCallback(pContext, file.nIndex, -1, nBytes, nullptr); },
                 [&](const AdbPush::File &file, int nResult, const QString &strMessage) {
                     if (nResult != 0) {
                         end(file.nIndex, nResult, strMessage);
                         return;
                     }
                     listMoved.append({file.nIndex, file.strPhonePath, listJobs.at(file.nIndex).strPhonePath});
                     if (listMoved.size() >= AdbPush::kMaxInFlight && !nMoveError) {
                         nMoveError = MoveIntoPlace(listMoved, end);
                         listMoved.clear();
                     }
                 });
    {
        QMutexLocker locker(&m_mutex);
        m_pPush = &push;
    }
    if (m_bCancel.load())
        push.Abort();
    const int nPushed = push.Run(listFiles);
    {
        QMutexLocker locker(&m_mutex);
        m_pPush = nullptr;
    }
    // What the phone has whole goes into place even after a cancel.
    const bool bCancelled = m_bCancel.exchange(false);
    if (!listMoved.isEmpty() && !nMoveError)
        nMoveError = MoveIntoPlace(listMoved, end);
    else
        for (const Moved &moved : qAsConst(listMoved))
            end(moved.nIndex, nMoveError, QString());
    m_bCancel = m_bCancel.load() || bCancelled;
    if (nPushed == 0 && !nMoveError)
        return 0;
    if (nPushed == DVSK_RESTORE_ERR_NO_SPACE)
        return nPushed;
    const int nStop = nMoveError ? nMoveError : StopCode();
    for (const AdbPush::File &file : push.Unanswered())
        end(file.nIndex, nStop, QString());
    return nStop;
}

int AdbRestore::ScanMedia(const char *szRemotePaths)
{
    if (!szRemotePaths)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    if (const int nError = Ready())
        return nError;
    // The scanner takes /storage/emulated/0 paths, not the /sdcard link.
    QStringList listCommands;
    for (QString strPath : RestoreRequest::ParsePaths(szRemotePaths)) {
        if (strPath.startsWith(QLatin1String("/sdcard/")))
            strPath = QLatin1String(kSharedPrefix) + strPath.mid(7);
        listCommands << QStringLiteral("am broadcast -a android.intent.action.MEDIA_SCANNER_SCAN_FILE -d ")
                            + Q(QUrl::fromLocalFile(strPath).toString(QUrl::FullyEncoded));
    }
    for (const QString &strBatch : Batches(listCommands)) {
        QByteArray baOutput;
        if (const int nError = Shell(strBatch, &baOutput))
            return nError;
        if (!baOutput.contains("Broadcast completed")) {
            Log(QStringLiteral("the media scanner was not asked: %1").arg(QString::fromUtf8(baOutput).trimmed()));
            return DVSK_DEV_ERR_PHONE_IO;
        }
    }
    return 0;
}

int AdbRestore::AppVersions(char **ppText)
{
    if (!ppText)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    *ppText = nullptr;
    if (const int nError = Ready())
        return nError;
    QByteArray baOutput;
    if (const int nError = Shell(QStringLiteral("pm list packages --show-versioncode"), &baOutput))
        return nError;
    // Phones before Android 9 know no versions here: every app is version 0.
    if (!baOutput.contains("package:")) {
        if (const int nError = Shell(QStringLiteral("pm list packages"), &baOutput))
            return nError;
    }
    QByteArray baText;
    for (const QByteArray &baRaw : baOutput.split('\n')) {
        const QByteArray baLine = baRaw.trimmed();
        if (!baLine.startsWith("package:"))
            continue;
        const qsizetype nVersion = baLine.indexOf(" versionCode:");
        const QByteArray baName = baLine.mid(8, nVersion < 0 ? -1 : nVersion - 8).trimmed();
        const qint64 nCode = nVersion < 0 ? 0 : baLine.mid(nVersion + 13).trimmed().toLongLong();
        if (!baName.isEmpty())
            baText += baName + '\t' + QByteArray::number(nCode) + '\n';
    }
    *ppText = RestoreRequest::MallocText(baText);
    return *ppText ? 0 : DVSK_DEV_ERR_LOCAL_FILE;
}

QString AdbRestore::InstallAnswer(const QByteArray &baOutput, bool *pSuccess)
{
    const QString strOutput = QString::fromUtf8(baOutput).trimmed();
    QString strAnswer;
    for (const QString &strLine : strOutput.split(QLatin1Char('\n'))) {
        const QString str = strLine.trimmed();
        if (str.startsWith(QLatin1String("Success")) || str.startsWith(QLatin1String("Failure"))
            || str.startsWith(QLatin1String("Error")))
            strAnswer = str;
    }
    *pSuccess = strAnswer.startsWith(QLatin1String("Success"));
    if (*pSuccess)
        return QStringLiteral("Success");
    if (strAnswer.isEmpty())
        strAnswer = strOutput.isEmpty() ? QStringLiteral("Failure [no answer from the phone]") : strOutput.section(QLatin1Char('\n'), -1);
    // Phones that want the user to allow each install over USB refuse it so.
    if (strAnswer.contains(QLatin1String("INSTALL_FAILED_USER_RESTRICTED"))
        || strAnswer.contains(QLatin1String("canceled by user"), Qt::CaseInsensitive)
        || strAnswer.contains(QLatin1String("INSTALL_FAILED_ABORTED")))
        return QStringLiteral("the phone asks the user to confirm the install on its screen (%1)").arg(strAnswer);
    return strAnswer;
}

int AdbRestore::StreamFile(const QString &strCommand, const QString &strLocalFile, QByteArray *pOutput)
{
    pOutput->clear();
    QFile file(strLocalFile);
    if (!file.open(QIODevice::ReadOnly))
        return DVSK_DEV_ERR_LOCAL_FILE;
    QString strError;
    std::unique_ptr<AdbSocket> pSocket = m_device.Server().OpenService(m_device.Serial(), "exec:" + strCommand.toUtf8(), &strError);
    if (!pSocket)
        return StopCode();
    {
        QMutexLocker locker(&m_mutex);
        m_pSocket = pSocket.get();
    }
    bool bOk = !m_bCancel.load();
    while (bOk && !file.atEnd()) {
        const QByteArray baChunk = file.read(AdbSync::kMaxChunk);
        bOk = !baChunk.isEmpty() && pSocket->WriteAll(baChunk);
    }
    // The answer may take a while: the phone checks the APK, or waits for
    // the user to allow the install on its screen.
    QByteArray baBuffer(4096, Qt::Uninitialized);
    while (bOk && !m_bCancel.load()) {
        const int nReady = pSocket->WaitReadable(kPollMs);
        if (nReady == 0)
            continue;
        const qint64 n = nReady < 0 ? -1 : pSocket->ReadSome(baBuffer.data(), baBuffer.size());
        if (n <= 0) {
            bOk = n == 0;
            break;
        }
        pOutput->append(baBuffer.constData(), n);
    }
    {
        QMutexLocker locker(&m_mutex);
        m_pSocket = nullptr;
    }
    return bOk && !m_bCancel.load() ? 0 : StopCode();
}

int AdbRestore::InstallStreamed(const QStringList &listApks, QByteArray *pAnswer)
{
    if (listApks.size() == 1)
        return StreamFile(QStringLiteral("cmd package install -r -S %1").arg(QFileInfo(listApks.first()).size()),
                          listApks.first(), pAnswer);
    // Split APKs: one session, abandoned when any part fails.
    qint64 nTotal = 0;
    for (const QString &strApk : listApks)
        nTotal += QFileInfo(strApk).size();
    if (const int nError = Shell(QStringLiteral("cmd package install-create -r -S %1").arg(nTotal), pAnswer))
        return nError;
    const qsizetype nOpen = pAnswer->indexOf('[');
    const qsizetype nClose = pAnswer->indexOf(']', nOpen);
    bool bOk = false;
    const qint64 nSession = nOpen < 0 || nClose < 0 ? 0 : pAnswer->mid(nOpen + 1, nClose - nOpen - 1).toLongLong(&bOk);
    if (!pAnswer->startsWith("Success") || !bOk)
        return 0; // the phone's answer tells why
    QSet<QString> setNames;
    for (int i = 0; i < listApks.size(); ++i) {
        // Names must differ within a session.
        QString strName = QFileInfo(listApks.at(i)).fileName();
        if (setNames.contains(strName))
            strName = QStringLiteral("%1_%2").arg(i).arg(strName);
        setNames.insert(strName);
        const int nError = StreamFile(QStringLiteral("cmd package install-write -S %1 %2 %3 -")
                                              .arg(QFileInfo(listApks.at(i)).size()).arg(nSession).arg(Q(strName)),
                                      listApks.at(i), pAnswer);
        if (nError || !pAnswer->startsWith("Success")) {
            QByteArray baIgnored;
            QString strError;
            m_device.Server().Shell(m_device.Serial(), QStringLiteral("cmd package install-abandon %1").arg(nSession),
                                    baIgnored, &strError);
            return nError;
        }
    }
    return Shell(QStringLiteral("cmd package install-commit %1").arg(nSession), pAnswer);
}

int AdbRestore::PushOne(const QString &strLocal, const QString &strPhonePath, QString *pMessage)
{
    int nResult = DVSK_DEV_ERR_PHONE_IO;
    AdbPush push([this](QString *pError) { return m_device.Server().OpenService(m_device.Serial(), "sync:", pError); },
                 [](const AdbPush::File &, qint64) {},
                 [&](const AdbPush::File &, int nDone, const QString &strMessage) {
                     nResult = nDone;
                     *pMessage = strMessage;
                 });
    {
        QMutexLocker locker(&m_mutex);
        m_pPush = &push;
    }
    const int nRun = m_bCancel.load() ? AdbPush::kBroken : push.Run({{0, strLocal, strPhonePath, QDateTime::currentSecsSinceEpoch()}});
    {
        QMutexLocker locker(&m_mutex);
        m_pPush = nullptr;
    }
    if (nRun == AdbPush::kBroken)
        return StopCode();
    return nRun ? nRun : nResult;
}

int AdbRestore::InstallPushed(const QString &strApk, QByteArray *pAnswer)
{
    // Phones without "cmd": the APK goes to the shell's own folder first.
    const QString strPhonePath = QStringLiteral("/data/local/tmp/restore-%1.apk").arg(QDateTime::currentMSecsSinceEpoch());
    QString strMessage;
    const int nPushed = PushOne(strApk, strPhonePath, &strMessage);
    if (nPushed == DVSK_RESTORE_ERR_REFUSED || nPushed == DVSK_RESTORE_ERR_NO_SPACE) {
        *pAnswer = "Failure [" + strMessage.toUtf8() + "]";
        return 0;
    }
    if (nPushed)
        return nPushed;
    const int nError = Shell(QStringLiteral("pm install -r %1").arg(Q(strPhonePath)), pAnswer);
    QByteArray baIgnored;
    QString strError;
    m_device.Server().Shell(m_device.Serial(), QStringLiteral("rm -f %1").arg(Q(strPhonePath)), baIgnored, &strError);
    return nError;
}

int AdbRestore::InstallApp(const char *szApkPaths, char **ppMessage)
{
    if (!szApkPaths || !ppMessage)
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    *ppMessage = nullptr;
    const QStringList listApks = RestoreRequest::ParsePaths(szApkPaths);
    if (listApks.isEmpty())
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    for (const QString &strApk : listApks) {
        if (!QFileInfo(strApk).isFile())
            return DVSK_DEV_ERR_LOCAL_FILE;
    }
    if (const int nError = Ready())
        return nError;
    QByteArray baAnswer;
    int nError = 0;
    if (m_device.HasFeature(QStringLiteral("cmd")))
        nError = InstallStreamed(listApks, &baAnswer);
    else if (listApks.size() == 1)
        nError = InstallPushed(listApks.first(), &baAnswer);
    else
        baAnswer = "Failure [split APKs are installed over adb from Android 7 on]";
    if (nError)
        return nError;
    bool bSuccess = false;
    const QString strAnswer = InstallAnswer(baAnswer, &bSuccess);
    Log(QStringLiteral("install of %1: %2").arg(listApks.join(QStringLiteral(", ")), strAnswer));
    *ppMessage = RestoreRequest::MallocText(strAnswer.toUtf8());
    return bSuccess ? 0 : DVSK_RESTORE_ERR_REFUSED;
}

int AdbRestore::RecordsAvailable(int nType, char **ppReason)
{
    if (ppReason)
        *ppReason = nullptr;
    if (const int nError = Ready())
        return nError;
    // A phone that gives no SDK level is taken as an old one.
    const int nSdk = qMax(1, m_device.Property(QStringLiteral("ro.build.version.sdk")).toInt());
    return RestoreRequest::Availability(nType, nSdk, ppReason);
}

int AdbRestore::Records(int nType, const char *szLocalFile, int *pRestored, int *pSkipped, int *pFailed,
                        char **ppMessage)
{
    if (const int nStart = StartRecords(nType, szLocalFile, pRestored, pSkipped, pFailed, ppMessage))
        return nStart;
    AdbRecordShell shell(m_device.Server(), m_device.Serial(), m_device.HasFeature(QStringLiteral("shell_v2")), [this]() { return m_bCancel.load(); },
                         [this]() { return StopCode(); });
    AdbRecordRestore records(shell);
    QString strMessage;
    const int nResult = records.Restore(nType, QString::fromUtf8(szLocalFile), pRestored, pSkipped, pFailed, &strMessage);
    if (!strMessage.isEmpty()) {
        Log(QStringLiteral("records of type %1: %2").arg(nType).arg(strMessage));
        if (ppMessage)
            *ppMessage = RestoreRequest::MallocText(strMessage.toUtf8());
    }
    return nResult;
}
