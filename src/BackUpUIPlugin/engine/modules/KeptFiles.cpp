#include "KeptFiles.h"

#include "MediaInfo.h"
#include "RunNames.h"
#include "SafeFileName.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace
{
const int kDateLength = 19; // "yyyy-MM-dd-hh-mm-ss"
const QString kDateFormats[] = {QStringLiteral("yyyy-MM-dd-hh-mm-ss"), QStringLiteral("hh-mm-ss-yyyy-MM-dd")};

bool MakeHardLink(const QString &strExisting, const QString &strNew)
{
#ifdef Q_OS_WIN
    return CreateHardLinkW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(strNew).utf16()),
                           reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(strExisting).utf16()), nullptr);
#else
    return ::link(QFile::encodeName(strExisting).constData(), QFile::encodeName(strNew).constData()) == 0;
#endif
}
} // namespace

QStringList KeptFiles::EarlierRunFolders(const QString &strDestination, const QString &strDeviceName,
                                         const QString &strCurrentFolder, const PhoneIdentity &phone)
{
    QStringList listFolders;
    const QString strPhone = strDeviceName.section(QChar(0x10), 0, 0);
    if (strPhone.isEmpty())
        return listFolders;
    const QString strCurrent = QFileInfo(strCurrentFolder).fileName();
    QList<QPair<QDateTime, QString>> listRuns;
    const QFileInfoList listEntries = QDir(strDestination).entryInfoList(
        {QStringLiteral("backup_*")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &info : listEntries) {
        const QString strName = info.fileName();
        if (strName == strCurrent || strName.size() <= kDateLength)
            continue;
        const QString strDate = strName.right(kDateLength);
        for (int nOrder = 0; nOrder < 2; ++nOrder) {
            const QDateTime dtRun = QDateTime::fromString(strDate, kDateFormats[nOrder]);
            // The same rule that named this run names the earlier ones: only
            // a name it would have given this phone belongs to this phone.
            if (dtRun.isValid() && RunNames::Name(strDeviceName, dtRun, nOrder == 1) == strName) {
                listRuns.append({dtRun, info.filePath()});
                break;
            }
        }
    }
    std::stable_sort(listRuns.begin(), listRuns.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    for (const auto &run : listRuns) {
        // Another phone of the same name (two phones of one model) never
        // lends its files.
        PhoneIdentity earlier;
        if (PhoneIdentity::ReadFrom(run.second, earlier) && !phone.MayShareWith(earlier))
            continue;
        listFolders << run.second;
    }
    return listFolders;
}

bool KeptFiles::IsReallyInside(const QString &strRunFolder, const QString &strPath)
{
    const QString strRun = QDir::cleanPath(QFileInfo(strRunFolder).absoluteFilePath());
    const QString strClean = QDir::cleanPath(QFileInfo(strPath).absoluteFilePath());
    if (!strClean.startsWith(strRun + QLatin1Char('/')))
        return false;
    const QString strRealRun = QFileInfo(strRun).canonicalFilePath();
    const QString strReal = QFileInfo(strClean).canonicalFilePath();
    // Links above the run folder (a destination reached through a link) are
    // allowed; below it the real path must be the path itself.
    return !strRealRun.isEmpty() && strReal == strRealRun + strClean.mid(strRun.size());
}

bool KeptFiles::UseFolder(const QString &strRunFolder, const QString &strModuleFolder)
{
    if (!IsReallyInside(strRunFolder, strModuleFolder))
        return false;
    m_strRunFolder = strRunFolder;
    m_strFolder = strModuleFolder;
    return true;
}

bool KeptFiles::LoadMediaList(const QString &strRunFolder, const QString &strModuleFolder,
                              const QString &strListFile)
{
    Clear();
    const QString strList = strModuleFolder + QLatin1Char('/') + strListFile;
    QList<MediaInfo> listMedia;
    if (!IsReallyInside(strRunFolder, strList) || !g_ReadMediaList(strList, listMedia)
        || !UseFolder(strRunFolder, strModuleFolder))
        return false;
    for (const MediaInfo &info : qAsConst(listMedia)) {
        // A name that is not one plain file name never came from this system.
        if (!info.phpath.isEmpty() && SafeFileName::IsSafe(info.pcname))
            m_hashNames.insert(info.phpath, info.pcname);
    }
    return true;
}

bool KeptFiles::LoadApplications(const QString &strRunFolder, const QString &strApkFolder)
{
    Clear();
    m_bApplications = UseFolder(strRunFolder, strApkFolder);
    return m_bApplications;
}

void KeptFiles::Clear()
{
    m_strRunFolder.clear();
    m_strFolder.clear();
    m_bApplications = false;
    m_hashNames.clear();
}

QString KeptFiles::Find(const QString &strKey, qint64 nSize, qint64 nModified) const
{
    if (m_strFolder.isEmpty() || nSize < 0 || nModified < 0)
        return QString();
    QString strName;
    if (m_bApplications) {
        const QString strSafe = SafeFileName::FromPhone(strKey);
        if (!strSafe.isEmpty())
            strName = strSafe + QStringLiteral(".apk");
    } else {
        strName = m_hashNames.value(strKey);
    }
    if (strName.isEmpty())
        return QString();
    const QString strPath = m_strFolder + QLatin1Char('/') + strName;
    const QFileInfo info(strPath);
    if (info.isSymLink() || !info.isFile() || !IsReallyInside(m_strRunFolder, strPath) || info.size() != nSize
        || info.lastModified().toSecsSinceEpoch() != nModified)
        return QString();
    return strPath;
}

KeptFiles::Taken KeptFiles::Take(const QString &strKept, const QString &strTarget, qint64 nModified)
{
    if (MakeHardLink(strKept, strTarget))
        return Taken::Linked;
    // Another file system, or one without hard links: copy it here, never
    // over the link again.
    const qint64 nSize = QFileInfo(strKept).size();
    if (QFile::copy(strKept, strTarget)) {
        if (QFileInfo(strTarget).size() == nSize && SetModified(strTarget, nModified))
            return Taken::Copied;
        QFile::remove(strTarget);
    }
    return Taken::Failed;
}

bool KeptFiles::SetModified(const QString &strPath, qint64 nModified)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly)
           && file.setFileTime(QDateTime::fromSecsSinceEpoch(nModified, Qt::UTC), QFileDevice::FileModificationTime);
}
