#include "FileListModule.h"

#include "BackUpUILogic.h"
#include "FileStepProgress.h"
#include "FreedMemory.h"
#include "InterruptedRun.h"
#include "LogLine.h"
#include "RunState.h"
#include "SafeFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringTokenizer>

#include <algorithm>

namespace
{
const QChar kFieldSeparator(0x18);

// Taken: anything exists under that name, a dangling link included (copying
// onto it would write wherever it points), or the name is reserved for the
// module's own media list.
bool IsTaken(const QString &strFolder, const QString &strName, const QString &strReserved)
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    if (!strReserved.isEmpty() && strName.compare(strReserved, cs) == 0)
        return true;
    const QFileInfo info(strFolder + QLatin1Char('/') + strName);
    return info.exists() || info.isSymLink();
}
} // namespace

FileListModule::FileListModule(const FileListTraits &traits, QObject *pParent)
    : FileModule(traits.nCode, traits.pFlag, traits.szSource, pParent), m_traits(traits)
{
}

FileListModule::~FileListModule() = default;

QMap<QString, FileListModule::ListedFile> FileListModule::ParseListedFiles(const QString &strList, bool bKeyByName)
{
    const ListedFiles listed(strList.toUtf8(), bKeyByName);
    QMap<QString, ListedFile> mapEntries;
    for (qsizetype i = 0; i < listed.Size(); ++i) {
        ListedFile file = listed.At(i);
        const QString strKey = bKeyByName ? file.strName : file.strPhonePath;
        mapEntries.insert(strKey, std::move(file));
    }
    return mapEntries;
}

QMap<QString, QString> FileListModule::ParseFileList(const QString &strList, bool bKeyByName)
{
    QMap<QString, QString> mapEntries;
    const QMap<QString, ListedFile> mapListed = ParseListedFiles(strList, bKeyByName);
    for (auto it = mapListed.cbegin(); it != mapListed.cend(); ++it)
        mapEntries.insert(it.key(), bKeyByName ? it->strPhonePath : it->strName);
    return mapEntries;
}

QString FileListModule::FreeName(const QString &strFolder, const QString &strName, const QString &strReserved,
                                 int *pnNext)
{
    QString strBase;
    QString strExtension;
    SafeFileName::Split(strName, strBase, strExtension);
    for (int n = pnNext ? qMax(1, *pnNext) : 1;; ++n) {
        // The number must fit too: the base gives way, the extension stays.
        const QString strCandidate =
            SafeFileName::Fitted(strBase, QStringLiteral(" (") + QString::number(n) + QLatin1Char(')'), strExtension);
        if (!IsTaken(strFolder, strCandidate, strReserved)) {
            if (pnNext)
                *pnNext = n + 1;
            return strCandidate;
        }
    }
}

QString FileListModule::MediaListPath() const
{
    if (!m_traits.szMediaList)
        return QString();
    return m_strFolder + QLatin1Char('/') + QLatin1String(m_traits.szMediaList);
}

QString FileListModule::ModuleFolderIn(const QString &strRunFolder) const
{
    if (!m_traits.szEarlierFolder)
        return strRunFolder;
    // A backup folder of the earlier layout is recognised by its marker file.
    const QString strEarlier = strRunFolder + QLatin1Char('/') + QLatin1String(m_traits.szEarlierFolder);
    if (QFileInfo(strEarlier).isDir()
        && QFileInfo::exists(strEarlier + QLatin1Char('/') + QLatin1String(m_traits.szEarlierMarker)))
        return strEarlier;
    return strRunFolder + QLatin1Char('/') + QLatin1String(m_traits.szFolder);
}

void FileListModule::SetPath(const QString &strPath)
{
    LogLine::Scope scope(Source(), "SetPath");
    m_strFolder = ModuleFolderIn(strPath);
    if (m_traits.szEarlierFolder && !QDir(m_strFolder).exists())
        QDir().mkpath(m_strFolder);
}

void FileListModule::SetEarlierBackups(const QStringList &listRunFolders)
{
    m_listEarlierRuns = listRunFolders;
}

void FileListModule::LoadKeptFiles()
{
    m_kept.Clear();
    for (const QString &strRun : qAsConst(m_listEarlierRuns)) {
        QString strFolder = ModuleFolderIn(strRun);
        if (m_traits.bApplications)
            strFolder += QStringLiteral("/APK");
        if (!QFileInfo(strFolder).isDir())
            continue;
        // An interrupted run that did not reach this module has its folder
        // but no list: the backup before it decides.
        if (!m_traits.bApplications && InterruptedRun::IsInterrupted(strRun)
            && !QFileInfo::exists(strFolder + QLatin1Char('/') + QLatin1String(m_traits.szMediaList)))
            continue;
        // The newest backup that holds this module decides: a list there that
        // cannot be read means a full copy, not an older backup's files.
        if (!KeptFiles::IsReallyInside(strRun, strFolder)) {
            // A linked folder leads elsewhere: its files are no backup's.
            LogLine::Warning(Source(), "Backup",
                             QStringLiteral("earlier folder is a link, copying everything: ") + strFolder);
            return;
        }
        if (m_traits.bApplications) {
            m_kept.LoadApplications(strRun, strFolder);
        } else if (!m_kept.LoadMediaList(strRun, strFolder, QLatin1String(m_traits.szMediaList))) {
            LogLine::Warning(Source(), "Backup",
                             QStringLiteral("earlier media list unreadable, copying everything: ") + strFolder);
            return;
        }
        LogLine::Info(Source(), "Backup", QStringLiteral("unchanged files are taken from ") + strFolder);
        return;
    }
}

int FileListModule::FetchFile(BackUpUILogic *pLogic, const QString &strTarget, const QString &strKey,
                              const ListedFile &file, const std::function<void(qint64)> &fnBytes)
{
    const QString strKept = m_kept.Find(strKey, file.nSize, file.nModified);
    if (!strKept.isEmpty()) {
        const KeptFiles::Taken taken = KeptFiles::Take(strKept, strTarget, file.nModified);
        if (taken != KeptFiles::Taken::Failed) {
            ++m_transfer.nReusedFiles;
            m_transfer.nReusedBytes += file.nSize;
            if (taken == KeptFiles::Taken::Linked)
                ++m_transfer.nLinkedFiles;
            return GETFILE_OK;
        }
        LogLine::Warning(Source(), "Backup", QStringLiteral("earlier copy not usable: ") + strKept);
    }
    const int nCopy = pLogic->GetFile(strTarget, file.strPhonePath, 2, fnBytes);
    if (nCopy == GETFILE_OK) {
        // The phone's time goes with the file, so a later backup can tell
        // that it has not changed.
        if (file.nModified >= 0)
            KeptFiles::SetModified(strTarget, file.nModified);
        ++m_transfer.nPhoneFiles;
        m_transfer.nPhoneBytes += QFileInfo(strTarget).size();
    }
    return nCopy;
}

int FileListModule::Backup(int &nCount)
{
    const char *const szSource = Source();
    LogLine::Scope scope(szSource, "Backup");
    BackUpUILogic *pLogic = BackUpUILogic::Instance();
    if (!pLogic) {
        LogLine::ArgNull(szSource, "Backup", __LINE__);
        return 0;
    }
    const int nCode = m_traits.nCode;
    const bool bApplications = m_traits.bApplications;
    m_transfer = TransferCounts();
    m_listFailedPaths.clear();

    RaiseOwnFlag();
    emit BackUpStart(GetFileStatus());
    if (bApplications)
        emit signalBackupPro(nCode, 0, 1, 1);

    QByteArray baList;
    const int nBackup = pLogic->BackUpText(nCode, baList, &nCount);
    if (nBackup != 0)
        return nBackup;
    LogLine::Info(szSource, "Backup", QLatin1String(m_traits.szBackupMessage));
    if (baList.isEmpty()) {
        LogLine::Warning(szSource, "Backup", QLatin1String(m_traits.szMissingPath));
        return -1;
    }

    // The list's own bytes are kept, not a copy of every line.
    const ListedFiles listed(std::move(baList), bApplications);
    // The texts the list came in are gone: their memory goes back before
    // the copying starts.
    FreedMemory::Release();
    if (RunState::Get() != 0)
        return -1;
    LoadKeptFiles();

    SetTransporting(true);
    emit SendFileStatus(GetFileStatus());

    CopiedMedia copied;
    const int nCopied = CopyListedFiles(pLogic, listed, nCount, copied);
    if (nCopied < 0) {
        // What was copied stays listed: a run cut off by the phone going
        // away keeps its files for the next run.
        if (!bApplications)
            WriteMediaList(listed, copied);
        return -1;
    }

    nCount = nCopied;
    LogLine::WarningPlain(szSource, "Backup", QStringLiteral("Back Up Successed:") + QString::number(nCopied));
    LogLine::Info(szSource, "Backup", m_transfer.Describe());
    // A media folder without its list cannot be restored as it was: the
    // step has failed.
    if (!bApplications && !WriteMediaList(listed, copied)) {
        LogLine::Warning(szSource, "Backup", QStringLiteral("the media list could not be written"));
        return -1;
    }
    return 0;
}

bool FileListModule::WriteMediaList(const ListedFiles &listed, const CopiedMedia &copied) const
{
    return g_WriteMediaList(MediaListPath(), qsizetype(copied.listIndices.size()), [&](qsizetype nRecord) {
        const qsizetype nIndex = copied.listIndices[std::size_t(nRecord)];
        const ListedFile file = listed.At(nIndex);
        return MediaInfo {copied.PcName(nIndex, file.strName), file.strName, file.strPhonePath};
    });
}

void FileListModule::CopiedMedia::AddPcName(qsizetype nIndex, const QString &strPcName)
{
    baPcNames += strPcName.toUtf8();
    listRenamed.emplace_back(nIndex, baPcNames.size());
}

QString FileListModule::CopiedMedia::PcName(qsizetype nIndex, const QString &strPhoneName) const
{
    const auto it = std::lower_bound(listRenamed.cbegin(), listRenamed.cend(), nIndex,
                                     [](const std::pair<qsizetype, qsizetype> &renamed, qsizetype n) {
                                         return renamed.first < n;
                                     });
    if (it == listRenamed.cend() || it->first != nIndex)
        return strPhoneName;
    const qsizetype nStart = it == listRenamed.cbegin() ? 0 : (it - 1)->second;
    return QString::fromUtf8(QByteArrayView(baPcNames).sliced(nStart, it->second - nStart));
}

int FileListModule::CopyListedFiles(BackUpUILogic *pLogic, const ListedFiles &listed, int nCount, CopiedMedia &copied)
{
    const QString strReserved = m_traits.szMediaList ? QString::fromLatin1(m_traits.szMediaList) : QString();
    QHash<QString, int> hashNextNumber;
    qint64 nListedBytes = 0;
    for (qsizetype i = 0; i < listed.Size(); ++i)
        nListedBytes += qMax<qint64>(0, listed.At(i).nSize);
    FileStepProgress progress(listed.Size(), nListedBytes);
    auto report = [&] { emit signalFilesProgress(m_traits.nCode, progress.Share(), progress.TakeNewBytes()); };
    const std::function<void(qint64)> fnBytes = [&](qint64 nBytes) {
        progress.FileBytes(nBytes);
        report();
    };
    int nCopied = 0;
    for (qsizetype i = 0; i < listed.Size(); ++i) {
        const ListedFile file = listed.At(i);
        Target target = PlaceFile(file.strName);
        if (IsStopRequested())
            return -1;
        if (target.bUsable)
            ClaimTarget(target, strReserved, hashNextNumber);

        emit signalBackupPro(m_traits.nCode, 2, nCopied + 1, nCount);
        progress.FileStarted(file.nSize);
        int nCopy = GETFILE_FAILED;
        if (target.bUsable) {
            const QString &strKey = m_traits.bApplications ? file.strName : file.strPhonePath;
            nCopy = FetchFile(pLogic, target.strTarget, strKey, file, fnBytes);
            LogLine::WarningPlain(Source(), "Backup", QStringLiteral("Get File return:") + QString::number(nCopy));
        }
        progress.FileDone();
        report();
        if (nCopy == GETFILE_OK) {
            LogLine::Info(Source(), "Backup", QLatin1String(m_traits.szCopyMessage));
            SetTransporting(false);
            emit SendFileStatus(GetFileStatus());
            ++nCopied;
            // Only a name the PC gave differently is held; the rest is read
            // from the list again when the media list is written.
            if (!m_traits.bApplications) {
                copied.listIndices.push_back(i);
                if (target.strPcName != file.strName)
                    copied.AddPcName(i, target.strPcName);
            }
        } else {
            LogLine::WarningPlain(Source(), "Backup",
                                  QStringLiteral("get") + file.strPhonePath + QStringLiteral("failed"));
            m_listFailedPaths.append(file.strPhonePath);
            SetTransporting(false);
            emit SendFileStatus(GetFileStatus());
        }
    }
    return nCopied;
}

FileListModule::Target FileListModule::PlaceFile(const QString &strName) const
{
    // The phone's name never leaves the folder: it is reduced to one safe
    // file name, or the file is skipped like a failed copy.
    Target target;
    target.strPcName = SafeFileName::FromPhone(strName);
    target.bUsable = !target.strPcName.isEmpty();
    // What is created here must fit the file system's name limit.
    if (target.bUsable && !m_traits.bApplications) {
        QString strBase;
        QString strExtension;
        SafeFileName::Split(target.strPcName, strBase, strExtension);
        target.strPcName = SafeFileName::Fitted(strBase, QString(), strExtension);
    }
    target.strFolder = m_strFolder;
    if (!target.bUsable) {
        LogLine::Warning(Source(), "Backup", QStringLiteral("unusable name from the phone: ") + strName);
        return target;
    }
    if (m_traits.bApplications) {
        QDir(m_strFolder).mkpath(QStringLiteral("APK"));
        target.strFolder = m_strFolder + QStringLiteral("/APK");
        target.strPcName = SafeFileName::Fitted(target.strPcName, QString(), QStringLiteral(".apk"));
    }
    target.strTarget = target.strFolder + QLatin1Char('/') + target.strPcName;
    LogLine::WarningPlain(Source(), "Backup", QLatin1Char('"') + target.strTarget + QLatin1Char('"'));
    return target;
}

void FileListModule::ClaimTarget(Target &target, const QString &strReserved, QHash<QString, int> &hashNextNumber) const
{
    LogLine::WarningPlain(Source(), "Backup", QStringLiteral("CANCEL") + target.strTarget);
    if (m_traits.bApplications) {
        // Replaced, but never written through a link.
        if (QFileInfo(target.strTarget).isSymLink())
            QFile::remove(target.strTarget);
    } else if (IsTaken(target.strFolder, target.strPcName, strReserved)) {
        // Numbering goes on from the last number given to this name,
        // so that many files of one name cost one look each.
        target.strPcName = FreeName(target.strFolder, target.strPcName, strReserved, &hashNextNumber[target.strPcName]);
        target.strTarget = target.strFolder + QLatin1Char('/') + target.strPcName;
    }
}
