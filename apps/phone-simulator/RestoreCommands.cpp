#include "RestoreCommands.h"

#include "ContentInserter.h"
#include "InstallSessions.h"
#include "SimInstaller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{
const int kCmdSdk = 24; // Android 7: the "cmd" tool
const char kMediaScan[] = "android.intent.action.MEDIA_SCANNER_SCAN_FILE";
} // namespace

ShellCommands::Result RestoreCommands::Fail(const QString &strMessage, int nStatus)
{
    ShellCommands::Result result;
    result.baErr = strMessage.toUtf8() + '\n';
    result.nStatus = nStatus;
    return result;
}

ShellCommands::Result RestoreCommands::Out(const QString &strText)
{
    ShellCommands::Result result;
    result.baOut = strText.toUtf8() + '\n';
    return result;
}

bool RestoreCommands::Handles(const AdbPhone &phone, const QStringList &listArgs)
{
    const QString strName = listArgs.value(0).section(QLatin1Char('/'), -1);
    if (strName == QLatin1String("mv") || strName == QLatin1String("rm") || strName == QLatin1String("mkdir")
        || strName == QLatin1String("am"))
        return true;
    if (strName == QLatin1String("cmd"))
        return phone.Sdk() >= kCmdSdk;
    // pm hands installs to "cmd package" from Android 7 on.
    if (strName == QLatin1String("pm"))
        return listArgs.value(1) == QLatin1String("install")
            || (listArgs.value(1).startsWith(QLatin1String("install-")) && phone.Sdk() >= kCmdSdk);
    return strName == QLatin1String("content") && listArgs.value(1) == QLatin1String("insert");
}

ShellCommands::Result RestoreCommands::Run(const AdbPhone &phone, const QStringList &listArgs)
{
    const QString strName = listArgs.value(0).section(QLatin1Char('/'), -1);
    const QStringList listRest = listArgs.mid(1);
    if (strName == QLatin1String("mv"))
        return Mv(phone, listRest);
    if (strName == QLatin1String("rm"))
        return Rm(phone, listRest);
    if (strName == QLatin1String("mkdir"))
        return Mkdir(phone, listRest);
    if (strName == QLatin1String("am"))
        return Am(phone, listRest);
    if (strName == QLatin1String("cmd"))
        return Package(phone, listRest);
    if (strName == QLatin1String("pm") && listRest.value(0) != QLatin1String("install"))
        return Package(phone, QStringList(QStringLiteral("package")) + listRest);
    if (strName == QLatin1String("pm"))
        return PmInstall(phone, listRest.value(listRest.size() - 1));
    ShellCommands::Result result;
    result.nStatus = ContentInserter(phone).Insert(listRest.mid(1), &result.baOut, &result.baErr);
    return result;
}

QString RestoreCommands::WritableHostPath(const AdbPhone &phone, const QString &strPhonePath, QString *pError)
{
    const QString strPath = AdbPhone::Normalized(strPhonePath);
    if (strPath.isEmpty()) {
        *pError = QStringLiteral("No such file or directory");
        return QString();
    }
    const bool bShared = strPath == QLatin1String("/sdcard") || strPath.startsWith(QLatin1String("/sdcard/"));
    const bool bTmp = strPath == QLatin1String("/data/local/tmp") || strPath.startsWith(QLatin1String("/data/local/tmp/"));
    // From Android 11 other applications' folders are closed to the shell.
    const QString strPrivate = strPath.mid(8).section(QLatin1Char('/'), 0, 1).toLower();
    const bool bPrivate = bShared && phone.Sdk() >= 30
            && (strPrivate == QLatin1String("android/data") || strPrivate == QLatin1String("android/obb"));
    const QString strHost = (bShared || bTmp) && !bPrivate ? phone.Config().NewHostPathOf(strPath) : QString();
    if (strHost.isEmpty())
        *pError = QStringLiteral("Permission denied");
    return strHost;
}

ShellCommands::Result RestoreCommands::Mv(const AdbPhone &phone, const QStringList &listArgs)
{
    QStringList listPaths = listArgs;
    const bool bNoClobber = listPaths.removeAll(QStringLiteral("-n")) > 0;
    listPaths.removeAll(QStringLiteral("-f"));
    if (listPaths.size() != 2)
        return Fail(QStringLiteral("mv: Needs 2 arguments"));
    QString strError;
    const QString strFrom = WritableHostPath(phone, listPaths.at(0), &strError);
    if (strFrom.isEmpty() || !QFileInfo::exists(strFrom))
        return Fail(QStringLiteral("mv: bad '%1': %2").arg(listPaths.at(0), strFrom.isEmpty() ? strError : QStringLiteral("No such file or directory")));
    QString strTo = WritableHostPath(phone, listPaths.at(1), &strError);
    if (!strTo.isEmpty() && QFileInfo(strTo).isDir())
        strTo = WritableHostPath(phone, listPaths.at(1) + QLatin1Char('/') + QFileInfo(strFrom).fileName(), &strError);
    if (strTo.isEmpty())
        return Fail(QStringLiteral("mv: '%1': %2").arg(listPaths.at(1), strError));
    if (QFileInfo::exists(strTo) && bNoClobber)
        return ShellCommands::Result(); // toybox's -n: the target stays, silently
    // rename(2), as toybox does: replaces a file that is there.
    if (std::rename(QFile::encodeName(strFrom).constData(), QFile::encodeName(strTo).constData()) != 0)
        return Fail(QStringLiteral("mv: '%1': %2").arg(listPaths.at(1), QString::fromLocal8Bit(strerror(errno))));
    return ShellCommands::Result();
}

ShellCommands::Result RestoreCommands::Rm(const AdbPhone &phone, const QStringList &listArgs)
{
    ShellCommands::Result result;
    const bool bForce = listArgs.contains(QStringLiteral("-f"));
    for (const QString &strPath : listArgs) {
        if (strPath.startsWith(QLatin1Char('-')))
            continue;
        QString strError;
        const QString strHost = WritableHostPath(phone, strPath, &strError);
        const QFileInfo info(strHost);
        if (strHost.isEmpty() || info.isDir()) {
            result.baErr += QStringLiteral("rm: %1: %2\n").arg(strPath, strHost.isEmpty() ? strError : QStringLiteral("Is a directory")).toUtf8();
            result.nStatus = 1;
        } else if (!QFile::remove(strHost) && !(bForce && !info.exists() && !info.isSymLink())) {
            result.baErr += QStringLiteral("rm: %1: No such file or directory\n").arg(strPath).toUtf8();
            result.nStatus = 1;
        }
    }
    return result;
}

ShellCommands::Result RestoreCommands::Mkdir(const AdbPhone &phone, const QStringList &listArgs)
{
    ShellCommands::Result result;
    const bool bParents = listArgs.contains(QStringLiteral("-p"));
    for (const QString &strPath : listArgs) {
        if (strPath.startsWith(QLatin1Char('-')))
            continue;
        QString strError;
        const QString strHost = WritableHostPath(phone, strPath, &strError);
        const bool bMade = !strHost.isEmpty()
                && (bParents ? QDir().mkpath(strHost) : QDir().mkdir(strHost));
        if (!bMade) {
            result.baErr += QStringLiteral("mkdir: '%1': %2\n").arg(strPath, strHost.isEmpty() ? strError : QStringLiteral("File exists")).toUtf8();
            result.nStatus = 1;
        }
    }
    return result;
}

ShellCommands::Result RestoreCommands::Am(const AdbPhone &phone, const QStringList &listArgs)
{
    if (listArgs.value(0) != QLatin1String("broadcast"))
        return Fail(QStringLiteral("Error: unknown command '%1'").arg(listArgs.value(0)), 255);
    QString strAction;
    QString strData;
    for (qsizetype i = 1; i + 1 < listArgs.size(); ++i) {
        if (listArgs.at(i) == QLatin1String("-a"))
            strAction = listArgs.at(++i);
        else if (listArgs.at(i) == QLatin1String("-d"))
            strData = listArgs.at(++i);
    }
    QString strIntent = QStringLiteral("act=") + strAction;
    if (!strData.isEmpty())
        strIntent += QStringLiteral(" dat=") + strData;
    // The media scanner indexes the file; the phone folder keeps a list of
    // what it was asked to index.
    if (strAction == QLatin1String(kMediaScan) && strData.startsWith(QLatin1String("file://"))) {
        QFile scanned(phone.Config().Dir() + QStringLiteral("/media-scanned.txt"));
        if (scanned.open(QIODevice::WriteOnly | QIODevice::Append))
            scanned.write(QUrl(strData).toLocalFile().toUtf8() + '\n');
    }
    return Out(QStringLiteral("Broadcasting: Intent { %1 flg=0x400000 }\nBroadcast completed: result=0").arg(strIntent));
}

ShellCommands::Result RestoreCommands::Package(const AdbPhone &phone, const QStringList &listArgs)
{
    if (listArgs.value(0) != QLatin1String("package"))
        return Fail(QStringLiteral("cmd: Can't find service: %1").arg(listArgs.value(0)), 20);
    const QString strVerb = listArgs.value(1);
    bool bOk = false;
    const int nSession = listArgs.value(2).toInt(&bOk);
    if (strVerb == QLatin1String("install-create"))
        return Out(QStringLiteral("Success: created install session [%1]").arg(InstallSessions::Instance().Create()));
    if (strVerb == QLatin1String("install-commit")) {
        const QString strAnswer = InstallSessions::Instance().Commit(phone.Config(), bOk ? nSession : -1);
        return strAnswer.startsWith(QLatin1String("Success")) ? Out(strAnswer) : Fail(strAnswer);
    }
    if (strVerb == QLatin1String("install-abandon")) {
        if (bOk && InstallSessions::Instance().Abandon(nSession))
            return Out(QStringLiteral("Success"));
        return Fail(QStringLiteral("java.lang.SecurityException: Caller has no access to session %1").arg(listArgs.value(2)));
    }
    if (strVerb == QLatin1String("install") || strVerb == QLatin1String("install-write"))
        return Fail(QStringLiteral("Error: the APK must be streamed (exec:cmd package %1 -S SIZE …)").arg(strVerb));
    if (strVerb == QLatin1String("list"))
        return ShellCommands(phone).Run(QStringLiteral("pm ") + listArgs.mid(1).join(QLatin1Char(' ')));
    return Fail(QStringLiteral("Unknown command: %1").arg(strVerb), 255);
}

ShellCommands::Result RestoreCommands::PmInstall(const AdbPhone &phone, const QString &strPath)
{
    const AdbPhone::Node node = phone.Stat(strPath, false);
    if (node.access != AdbPhone::Found || node.bDir || node.strHostPath.isEmpty())
        return Fail(QStringLiteral("Failure [INSTALL_FAILED_INVALID_URI: Invalid URI: %1]").arg(strPath));
    const QString strAnswer = SimInstaller::Install(phone.Config(), {node.strHostPath}, {QFileInfo(strPath).fileName()});
    return strAnswer.startsWith(QLatin1String("Success")) ? Out(strAnswer) : Fail(strAnswer);
}
