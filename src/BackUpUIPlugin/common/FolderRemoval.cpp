#include "FolderRemoval.h"

#include "LogLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The removal belongs to the worker thread's operations; its log lines keep
// the worker's source name.
static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BackUpUIThread";

bool FolderRemoval::DeleteDirectory(const QString &strPath)
{
    const QFileInfo root(strPath);
    if (root.isSymLink() || root.isJunction()) {
        // A link in place of the folder: remove the link, not its target.
        return QFile::remove(strPath);
    }
    if (!root.exists())
        return true;
    if (!root.isDir())
        return false;

    bool bOk = true;
    QDir dir(strPath);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString strEntry = entry.absoluteFilePath();
        if (entry.isSymLink() || entry.isJunction() || !entry.isDir()) {
            // Permissions of a link would be those of its target: leave them.
            if (!entry.isSymLink() && !entry.isJunction())
                QFile::setPermissions(strEntry, entry.permissions() | QFileDevice::WriteOwner);
            if (!QFile::remove(strEntry)) {
                LogLine::WarningPlain(kLogSource, "DeleteDirectory",
                                      QStringLiteral("remove file \"%1\" faild!").arg(strEntry));
                bOk = false;
            }
        } else if (!DeleteDirectory(strEntry)) {
            bOk = false;
        }
    }
    if (!QDir().rmdir(strPath)) {
        LogLine::WarningPlain(kLogSource, "DeleteDirectory", QStringLiteral("remove dir \"%1\" faild!").arg(strPath));
        bOk = false;
    }
    return bOk;
}
