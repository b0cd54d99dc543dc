#include "DataFolderLock.h"

#include <QDir>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>

#include <memory>

namespace
{
QMutex g_lockMutex;
std::unique_ptr<QLockFile> g_pLock;
QString g_strLockedPath;
int g_nHolders = 0;
} // namespace

QString DataFolderLock::LockPath(const QString &strDataFolder)
{
    return QDir(strDataFolder).filePath(QStringLiteral("backup.lock"));
}

bool DataFolderLock::Acquire(const QString &strDataFolder, QString *pstrOwner)
{
    const QString strPath = LockPath(strDataFolder);
    QMutexLocker locker(&g_lockMutex);
    if (g_pLock && g_strLockedPath == strPath) {
        ++g_nHolders;
        return true;
    }
    QDir().mkpath(strDataFolder);
    auto pLock = std::make_unique<QLockFile>(strPath);
    // A backup may run for hours: only an ended owner makes a lock stale.
    pLock->setStaleLockTime(0);
    if (!pLock->tryLock(0)) {
        if (pstrOwner) {
            qint64 nPid = 0;
            QString strHost;
            QString strApp;
            if (pLock->error() == QLockFile::LockFailedError && pLock->getLockInfo(&nPid, &strHost, &strApp))
                *pstrOwner = QStringLiteral("another backup (%1, process %2) is using %3")
                                 .arg(strApp.isEmpty() ? QStringLiteral("unknown program") : strApp)
                                 .arg(nPid)
                                 .arg(QDir::toNativeSeparators(strDataFolder));
            else
                *pstrOwner = QStringLiteral("the lock file %1 cannot be created").arg(QDir::toNativeSeparators(strPath));
        }
        return false;
    }
    // A lock of another folder held before is given up for this one.
    g_pLock = std::move(pLock);
    g_strLockedPath = strPath;
    g_nHolders = 1;
    return true;
}

void DataFolderLock::Release()
{
    QMutexLocker locker(&g_lockMutex);
    if (g_nHolders > 0 && --g_nHolders == 0) {
        g_pLock.reset();
        g_strLockedPath.clear();
    }
}
