#include "FolderMaker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <utility>

#ifdef Q_OS_WIN
#include <direct.h>
#else
#include <sys/stat.h>
#endif

namespace
{
// One folder whose parent exists; the errno text when it cannot be made.
bool MakeOne(const QString &strFolder, QString &strReason)
{
    const QByteArray baPath = QFile::encodeName(QDir::toNativeSeparators(strFolder));
#ifdef Q_OS_WIN
    const int nResult = _mkdir(baPath.constData());
#else
    const int nResult = ::mkdir(baPath.constData(), 0777);
#endif
    if (nResult == 0 || (errno == EEXIST && QFileInfo(strFolder).isDir()))
        return true;
    strReason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}
} // namespace

bool FolderMaker::MakePath(const QString &strPath, QString &strReason)
{
    const QString strClean = QDir::cleanPath(QFileInfo(strPath).absoluteFilePath());
    // The missing folders, from the nearest existing one down.
    QStringList listMissing;
    QString strCurrent = strClean;
    while (!QFileInfo::exists(strCurrent) && !QFileInfo(strCurrent).isSymLink()) {
        listMissing.prepend(strCurrent);
        const QString strParent = QFileInfo(strCurrent).path();
        if (strParent == strCurrent)
            break;
        strCurrent = strParent;
    }
    if (listMissing.isEmpty() || !QFileInfo(strCurrent).isDir()) {
        if (QFileInfo(strClean).isDir())
            return true;
        strReason = QString::fromLocal8Bit(std::strerror(ENOTDIR));
        return false;
    }
    for (const QString &strFolder : std::as_const(listMissing)) {
        if (!MakeOne(strFolder, strReason))
            return false;
    }
    return true;
}

bool FolderMaker::CanWrite(const QString &strFolder, QString &strReason)
{
    QTemporaryFile probe(QDir(strFolder).filePath(QStringLiteral(".backup-probe-XXXXXX")));
    if (!probe.open() || probe.write("probe", 5) != 5 || !probe.flush()) {
        strReason = probe.errorString();
        return false;
    }
    return true;
}
