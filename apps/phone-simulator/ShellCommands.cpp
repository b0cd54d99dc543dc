#include "ShellCommands.h"

#include "ApkManifest.h"
#include "ContentProviders.h"
#include "RestoreCommands.h"
#include "ShellCommandLine.h"
#include "ShellText.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>
#include <tuple>

namespace
{
QByteArray Line(const QString &str)
{
    return ShellText::Encode(str) + '\n';
}

// The name a listing shows: the phone's own bytes where they are not UTF-8.
QString ShownName(const AdbPhone::Entry &entry)
{
    return entry.node.baRawName.isEmpty() ? entry.strName : ShellText::Decode(entry.node.baRawName);
}

// Device and inode numbers as stat prints them: those of the file on the PC,
// so that two phone paths of one folder have the same ones.
QString DeviceAndInode(const AdbPhone::Node &node, const QString &strPhonePath, bool bInode)
{
    struct stat info = {};
    if (!node.strHostPath.isEmpty() && ::stat(QFile::encodeName(node.strHostPath).constData(), &info) == 0)
        return QString::number(bInode ? quint64(info.st_ino) : quint64(info.st_dev));
    // A folder that exists only on the phone.
    return bInode ? QString::number(qHash(AdbPhone::Normalized(strPhonePath))) : QStringLiteral("16");
}

// Packages of the system image, listed by pm besides the user's.
struct SystemPackage
{
    const char *szName;
    const char *szPath;
};
const SystemPackage kSystemPackages[] = {
    {"android", "/system/framework/framework-res.apk"},
    {"com.android.providers.contacts", "/system/priv-app/ContactsProvider/ContactsProvider.apk"},
    {"com.android.providers.telephony", "/system/priv-app/TelephonyProvider/TelephonyProvider.apk"},
    {"com.android.settings", "/system/priv-app/Settings/Settings.apk"},
    {"com.android.shell", "/system/priv-app/Shell/Shell.apk"},
    {"com.android.systemui", "/system_ext/priv-app/SystemUI/SystemUI.apk"},
};

// The mount point that holds a path; shared storage is mounted under /storage/emulated.
int MountOf(const QList<AdbPhone::Mount> &listMounts, const QString &strNormalized)
{
    QString strPath = strNormalized;
    if (strPath == QLatin1String("/sdcard") || strPath.startsWith(QLatin1String("/sdcard/")))
        strPath = QStringLiteral("/storage/emulated/0") + strPath.mid(7);
    int nBest = -1;
    qsizetype nBestLength = -1;
    for (int i = 0; i < listMounts.size(); ++i) {
        const QString &strMount = listMounts.at(i).strMountedOn;
        const bool bUnder = strMount == QLatin1String("/") || strPath == strMount || strPath.startsWith(strMount + QLatin1Char('/'));
        if (bUnder && strMount.size() > nBestLength) {
            nBest = i;
            nBestLength = strMount.size();
        }
    }
    return nBest;
}
} // namespace

const ShellCommands::Entry ShellCommands::kCommands[] = {
    {"cat", &ShellCommands::Cat},
    {"content", &ShellCommands::Content},
    {"df", &ShellCommands::Df},
    {"echo", &ShellCommands::Echo},
    {"false", &ShellCommands::False},
    {"find", &ShellCommands::Find},
    {"getprop", &ShellCommands::GetProp},
    {"id", &ShellCommands::Id},
    {"ls", &ShellCommands::Ls},
    {"pm", &ShellCommands::Pm},
    {"realpath", &ShellCommands::RealPath},
    {"run-as", &ShellCommands::RunAs},
    {"stat", &ShellCommands::Stat},
    {"su", &ShellCommands::Su},
    {"true", &ShellCommands::True},
    {"which", &ShellCommands::Which},
};

ShellCommands::ShellCommands(const AdbPhone &phone)
    : m_phone(phone)
{
}

ShellCommands::Result ShellCommands::Run(const QString &strLine) const
{
    return RunLine(strLine, Context());
}

ShellCommands::Result ShellCommands::RunLine(const QString &strLine, const Context &context) const
{
    Result result;
    QList<ShellCommandLine::Command> listCommands;
    QString strError;
    if (!ShellCommandLine::Parse(strLine, &listCommands, &strError))
        return Failure(strError, 2);
    ShellCommandLine::Join join = ShellCommandLine::Always;
    for (const ShellCommandLine::Command &command : listCommands) {
        const bool bRun = join == ShellCommandLine::Always
            || (join == ShellCommandLine::IfSucceeded && result.nStatus == 0)
            || (join == ShellCommandLine::IfFailed && result.nStatus != 0);
        if (bRun) {
            Result one = RunCommand(command.listArgs, context);
            Redirect(command.listRedirections, &one);
            result.baOut += one.baOut;
            result.baErr += one.baErr;
            result.baErrFirst += one.baErrFirst;
            result.nStatus = one.nStatus;
        }
        join = command.join;
    }
    return result;
}

void ShellCommands::Redirect(const QStringList &listRedirections, Result *pResult)
{
    for (const QString &strRedirection : listRedirections) {
        if (strRedirection == QLatin1String("2>/dev/null")) {
            pResult->baErr.clear();
            pResult->baErrFirst.clear();
        } else if (strRedirection == QLatin1String("2>&1")) {
            pResult->baOut = pResult->baErrFirst + pResult->baOut + pResult->baErr;
            pResult->baErr.clear();
            pResult->baErrFirst.clear();
        } else {
            pResult->baOut.clear(); // >/dev/null, 1>/dev/null
        }
    }
}

bool ShellCommands::HasCommand(const QString &strName) const
{
    if (strName == QLatin1String("su") && !m_phone.IsRooted())
        return false;
    // Before Android 6 the phone's tools (toolbox) have neither.
    if ((strName == QLatin1String("stat") || strName == QLatin1String("find")) && m_phone.Sdk() < kToyboxSdk)
        return false;
    if (RestoreCommands::Handles(m_phone, {strName}))
        return true;
    return std::any_of(std::begin(kCommands), std::end(kCommands),
                       [&](const Entry &entry) { return strName == QLatin1String(entry.szName); });
}

ShellCommands::Result ShellCommands::RunCommand(const QStringList &listArgs, const Context &context) const
{
    QString strName = listArgs.value(0);
    if (strName.startsWith(QLatin1String("/system/bin/")) || strName.startsWith(QLatin1String("/system/xbin/")))
        strName = strName.section(QLatin1Char('/'), -1);
    if (RestoreCommands::Handles(m_phone, QStringList(strName) + listArgs.mid(1)))
        return RestoreCommands::Run(m_phone, QStringList(strName) + listArgs.mid(1));
    if (HasCommand(strName)) {
        for (const Entry &entry : kCommands) {
            if (strName != QLatin1String(entry.szName))
                continue;
            Result result = (this->*entry.handler)(listArgs.mid(1), context);
            // The phone's tools print the linker's warning before anything.
            if (strName == QLatin1String("cat") || strName == QLatin1String("find") || strName == QLatin1String("stat"))
                result.baErrFirst.prepend(ContentProviders::ForPhone(m_phone.Config().Dir())->LinkerWarning());
            return result;
        }
    }
    return NotFound(listArgs.value(0));
}

ShellCommands::Result ShellCommands::NotFound(const QString &strName)
{
    return Failure(QStringLiteral("/system/bin/sh: %1: inaccessible or not found").arg(strName), 127);
}

ShellCommands::Result ShellCommands::Failure(const QString &strMessage, int nStatus)
{
    Result result;
    result.baErr = Line(strMessage);
    result.nStatus = nStatus;
    return result;
}

ShellCommands::Result ShellCommands::Cat(const QStringList &listArgs, const Context &context) const
{
    Result result;
    for (const QString &strPath : listArgs) {
        const QString strPhonePath = PhonePath(strPath);
        const AdbPhone::Node node = m_phone.Stat(strPhonePath, context.bRoot);
        QString strError;
        if (node.access == AdbPhone::Denied || (node.access == AdbPhone::Found && m_phone.IsReadDenied(strPhonePath)))
            strError = QStringLiteral("Permission denied");
        else if (node.access == AdbPhone::NotFound || m_phone.IsVanished(strPhonePath))
            strError = QStringLiteral("No such file or directory");
        else if (node.bDir)
            strError = QStringLiteral("Is a directory");
        QFile file(node.strHostPath);
        if (strError.isEmpty() && !file.open(QIODevice::ReadOnly))
            strError = QStringLiteral("Permission denied");
        if (!strError.isEmpty()) {
            result.baErr += Line(QStringLiteral("cat: %1: %2").arg(strPath, strError));
            result.nStatus = 1;
            continue;
        }
        result.baOut += file.readAll();
    }
    return result;
}

ShellCommands::Result ShellCommands::Find(const QStringList &listArgs, const Context &context) const
{
    // The one form a client uses to list a folder:
    // find DIR -mindepth 1 -maxdepth 1 [-exec COMMAND... {} +]
    const QStringList listDepth {QStringLiteral("-mindepth"), QStringLiteral("1"), QStringLiteral("-maxdepth"),
                                 QStringLiteral("1")};
    const bool bExec = listArgs.value(5) == QLatin1String("-exec");
    const bool bKnown = listArgs.mid(1, 4) == listDepth
        && (bExec ? listArgs.size() > 8 && listArgs.last() == QLatin1String("+")
                            && listArgs.value(listArgs.size() - 2) == QLatin1String("{}")
                  : listArgs.size() == 5);
    if (!bKnown)
        return Failure(QStringLiteral("find: this expression is not simulated"), 1);
    const QString strFolder = listArgs.first();
    QList<AdbPhone::Entry> listEntries;
    const AdbPhone::Access access = m_phone.List(PhonePath(strFolder), context.bRoot, &listEntries);
    if (access != AdbPhone::Found) {
        return Failure(QStringLiteral("find: %1: %2").arg(strFolder,
            access == AdbPhone::Denied ? QStringLiteral("Permission denied") : QStringLiteral("No such file or directory")));
    }
    QStringList listPaths;
    for (const AdbPhone::Entry &entry : listEntries) {
        if (entry.strName != QLatin1String(".") && entry.strName != QLatin1String(".."))
            listPaths << strFolder + QLatin1Char('/') + ShownName(entry);
    }
    if (!bExec) {
        Result result;
        for (const QString &strPath : listPaths)
            result.baOut += Line(strPath);
        return result;
    }
    if (listPaths.isEmpty())
        return Result();
    return RunCommand(listArgs.mid(6, listArgs.size() - 8) + listPaths, context);
}

ShellCommands::Result ShellCommands::Stat(const QStringList &listArgs, const Context &context) const
{
    // stat [-L] -c FORMAT PATH...: %f mode in hex, %s size, %Y modification
    // time, %d device, %i inode, %n the path. Links are followed anyway: the
    // phone folder holds none the phone would show.
    const QStringList listOptions = listArgs.value(0) == QLatin1String("-L") ? listArgs.mid(1) : listArgs;
    if (listOptions.value(0) != QLatin1String("-c") || listOptions.size() < 3)
        return Failure(QStringLiteral("stat: only [-L] -c FORMAT is simulated"), 1);
    Result result;
    for (const QString &strPath : listOptions.mid(2)) {
        const QString strPhonePath = PhonePath(strPath);
        const AdbPhone::Node node = m_phone.Stat(strPhonePath, context.bRoot);
        if (node.access != AdbPhone::Found || m_phone.IsVanished(strPhonePath)) {
            result.baErr += Line(QStringLiteral("stat: '%1': %2").arg(strPath,
                node.access == AdbPhone::Denied ? QStringLiteral("Permission denied") : QStringLiteral("No such file or directory")));
            result.nStatus = 1;
            continue;
        }
        QString strLine = listOptions.value(1);
        strLine.replace(QLatin1String("%d"), DeviceAndInode(node, strPhonePath, false));
        strLine.replace(QLatin1String("%i"), DeviceAndInode(node, strPhonePath, true));
        strLine.replace(QLatin1String("%f"), QString::number(node.nMode, 16));
        strLine.replace(QLatin1String("%s"), QString::number(node.nSize));
        strLine.replace(QLatin1String("%Y"), QString::number(node.nMtime));
        strLine.replace(QLatin1String("%n"), strPath);
        result.baOut += Line(strLine);
    }
    return result;
}

ShellCommands::Result ShellCommands::Content(const QStringList &listArgs, const Context &context) const
{
    Q_UNUSED(context);
    Result result;
    const std::shared_ptr<ContentProviders> pProviders = ContentProviders::ForPhone(m_phone.Config().Dir());
    result.nStatus = pProviders->Run(listArgs, &result.baOut, &result.baErr);
    result.baErrFirst = pProviders->LinkerWarning();
    return result;
}

ShellCommands::Result ShellCommands::Df(const QStringList &listArgs, const Context &context) const
{
    Result result;
    const QList<AdbPhone::Mount> listMounts = m_phone.Mounts();
    QList<int> listRows;
    for (const QString &strArg : listArgs) {
        if (strArg.startsWith(QLatin1Char('-')))
            continue; // -k is the default unit here; other options change nothing we show
        const QString strPath = AdbPhone::Normalized(strArg);
        const int nMount = strPath.isEmpty() ? -1 : MountOf(listMounts, strPath);
        if (nMount < 0 || m_phone.Stat(strPath, context.bRoot).access == AdbPhone::NotFound) {
            result.baErr += Line(QStringLiteral("df: %1: No such file or directory").arg(strArg));
            result.nStatus = 1;
            continue;
        }
        listRows.append(nMount);
    }
    if (listRows.isEmpty() && result.nStatus == 0) {
        for (int i = 0; i < listMounts.size(); ++i)
            listRows.append(i);
    }
    if (listRows.isEmpty())
        return result;

    // toybox measures every column, then prints the name left-aligned, the
    // numbers right-aligned and the mount point last.
    QList<QStringList> listLines;
    listLines.append({QStringLiteral("Filesystem"), QStringLiteral("1K-blocks"), QStringLiteral("Used"),
                      QStringLiteral("Available"), QStringLiteral("Use%"), QStringLiteral("Mounted on")});
    for (int nRow : listRows) {
        const AdbPhone::Mount &mount = listMounts.at(nRow);
        const qint64 nSum = mount.nUsedKB + mount.nAvailKB;
        const qint64 nPercent = nSum > 0 ? (mount.nUsedKB * 100 + nSum - 1) / nSum : 0;
        listLines.append({mount.strFilesystem, QString::number(mount.nTotalKB), QString::number(mount.nUsedKB),
                          QString::number(mount.nAvailKB), QString::number(nPercent) + QLatin1Char('%'), mount.strMountedOn});
    }
    int anWidth[5] = {0, 0, 0, 0, 0};
    for (const QStringList &listLine : listLines) {
        for (int i = 0; i < 5; ++i)
            anWidth[i] = qMax(anWidth[i], int(listLine.at(i).size()));
    }
    for (const QStringList &listLine : listLines) {
        QString strLine = listLine.at(0).leftJustified(anWidth[0]);
        for (int i = 1; i < 5; ++i)
            strLine += QLatin1Char(' ') + listLine.at(i).rightJustified(anWidth[i]);
        strLine += QLatin1Char(' ') + listLine.at(5);
        result.baOut += Line(strLine);
    }
    return result;
}

ShellCommands::Result ShellCommands::Echo(const QStringList &listArgs, const Context &) const
{
    Result result;
    const bool bNoNewLine = listArgs.value(0) == QLatin1String("-n");
    result.baOut = listArgs.mid(bNoNewLine ? 1 : 0).join(QLatin1Char(' ')).toUtf8();
    if (!bNoNewLine)
        result.baOut += '\n';
    return result;
}

ShellCommands::Result ShellCommands::False(const QStringList &, const Context &) const
{
    Result result;
    result.nStatus = 1;
    return result;
}

ShellCommands::Result ShellCommands::GetProp(const QStringList &listArgs, const Context &) const
{
    Result result;
    const QMap<QString, QString> mapProperties = m_phone.Properties();
    if (listArgs.isEmpty()) {
        for (auto it = mapProperties.cbegin(); it != mapProperties.cend(); ++it)
            result.baOut += Line(QStringLiteral("[%1]: [%2]").arg(it.key(), it.value()));
        return result;
    }
    result.baOut = Line(mapProperties.value(listArgs.at(0), listArgs.value(1)));
    return result;
}

ShellCommands::Result ShellCommands::Id(const QStringList &, const Context &context) const
{
    Result result;
    result.baOut = context.bRoot
        ? QByteArrayLiteral("uid=0(root) gid=0(root) groups=0(root) context=u:r:magisk:s0\n")
        : QByteArrayLiteral("uid=2000(shell) gid=2000(shell) groups=2000(shell),1004(input),1007(log),1011(adb),"
                            "1015(sdcard_rw),1028(sdcard_r),1078(ext_data_rw),1079(ext_obb_rw),3001(net_bt_admin),"
                            "3002(net_bt),3003(inet),3006(net_bw_stats),3009(readproc),3011(uhid) context=u:r:shell:s0\n");
    return result;
}

ShellCommands::Result ShellCommands::Ls(const QStringList &listArgs, const Context &context) const
{
    Result result;
    bool bAll = false;
    QStringList listPaths;
    for (const QString &strArg : listArgs) {
        if (strArg.startsWith(QLatin1Char('-')) && strArg.size() > 1)
            bAll = bAll || strArg.contains(QLatin1Char('a'));
        else
            listPaths.append(strArg);
    }
    if (listPaths.isEmpty())
        listPaths.append(QStringLiteral("/")); // adb shells start in /
    QStringList listFiles;
    QList<QPair<QString, QStringList>> listDirs;
    for (const QString &strPath : listPaths) {
        const AdbPhone::Node node = m_phone.Stat(PhonePath(strPath), context.bRoot);
        QList<AdbPhone::Entry> listEntries;
        const AdbPhone::Access access = node.access != AdbPhone::Found ? node.access
            : node.bDir ? m_phone.List(PhonePath(strPath), context.bRoot, &listEntries) : AdbPhone::Found;
        if (access != AdbPhone::Found) {
            result.baErr += Line(QStringLiteral("ls: %1: %2").arg(strPath,
                access == AdbPhone::Denied ? QStringLiteral("Permission denied") : QStringLiteral("No such file or directory")));
            result.nStatus = 1;
            continue;
        }
        if (!node.bDir) {
            listFiles.append(strPath);
            continue;
        }
        QStringList listNames;
        for (const AdbPhone::Entry &entry : listEntries) {
            if (bAll || !entry.strName.startsWith(QLatin1Char('.')))
                listNames.append(ShownName(entry));
        }
        listDirs.append({strPath, listNames});
    }
    for (const QString &strFile : listFiles)
        result.baOut += Line(strFile);
    const bool bHeaders = listFiles.size() + listDirs.size() > 1;
    for (int i = 0; i < listDirs.size(); ++i) {
        if (bHeaders) {
            if (i > 0 || !listFiles.isEmpty())
                result.baOut += '\n';
            result.baOut += Line(listDirs.at(i).first + QLatin1Char(':'));
        }
        for (const QString &strName : listDirs.at(i).second)
            result.baOut += Line(strName);
    }
    return result;
}

ShellCommands::Result ShellCommands::Pm(const QStringList &listArgs, const Context &) const
{
    Result result;
    const QList<AdbPhone::Package> listPackages = m_phone.Packages();
    const QString strVerb = listArgs.value(0);
    if (strVerb == QLatin1String("path")) {
        const QString strName = listArgs.value(1);
        for (const AdbPhone::Package &package : listPackages) {
            if (package.strName != strName)
                continue;
            result.baOut += Line(QStringLiteral("package:") + package.strDir + QStringLiteral("/base.apk"));
            for (auto it = package.mapSplits.cbegin(); it != package.mapSplits.cend(); ++it)
                result.baOut += Line(QStringLiteral("package:") + package.strDir + QLatin1Char('/') + it.key());
            return result;
        }
        result.nStatus = 1; // an unknown package: no output
        return result;
    }
    if (strVerb != QLatin1String("list") || listArgs.value(1) != QLatin1String("packages"))
        return Failure(QStringLiteral("Unknown command: %1").arg(strVerb), 255);

    bool bPaths = false;
    bool bVersions = false;
    bool bUserOnly = false;
    bool bSystemOnly = false;
    QString strFilter;
    for (const QString &strArg : listArgs.mid(2)) {
        if (strArg == QLatin1String("-f"))
            bPaths = true;
        else if (strArg == QLatin1String("--show-versioncode"))
            bVersions = true;
        else if (strArg == QLatin1String("-3"))
            bUserOnly = true;
        else if (strArg == QLatin1String("-s"))
            bSystemOnly = true;
        else if (!strArg.startsWith(QLatin1Char('-')))
            strFilter = strArg;
    }
    // name, APK path, version code (system packages: the SDK level)
    QList<std::tuple<QString, QString, qint64>> listShown;
    if (!bSystemOnly) {
        for (const AdbPhone::Package &package : listPackages)
            listShown.append({package.strName, package.strDir + QStringLiteral("/base.apk"),
                              ApkManifest::Read(package.strBaseHost).VersionCode()});
    }
    if (!bUserOnly) {
        for (const SystemPackage &package : kSystemPackages)
            listShown.append({QLatin1String(package.szName), QLatin1String(package.szPath), m_phone.Sdk()});
    }
    std::sort(listShown.begin(), listShown.end());
    for (const auto &shown : listShown) {
        if (!strFilter.isEmpty() && !std::get<0>(shown).contains(strFilter))
            continue;
        result.baOut += Line(QStringLiteral("package:") + (bPaths ? std::get<1>(shown) + QLatin1Char('=') : QString())
                             + std::get<0>(shown)
                             + (bVersions ? QStringLiteral(" versionCode:%1").arg(std::get<2>(shown)) : QString()));
    }
    return result;
}

ShellCommands::Result ShellCommands::RunAs(const QStringList &listArgs, const Context &) const
{
    const QString strPackage = listArgs.value(0);
    const QList<AdbPhone::Package> listPackages = m_phone.Packages();
    const bool bKnown = std::any_of(listPackages.cbegin(), listPackages.cend(),
                                    [&](const AdbPhone::Package &package) { return package.strName == strPackage; });
    return Failure(bKnown ? QStringLiteral("run-as: package not debuggable: %1").arg(strPackage)
                          : QStringLiteral("run-as: unknown package: %1").arg(strPackage));
}

ShellCommands::Result ShellCommands::Su(const QStringList &listArgs, const Context &) const
{
    Context root;
    root.bRoot = true;
    if (listArgs.value(0) == QLatin1String("-c"))
        return RunLine(listArgs.mid(1).join(QLatin1Char(' ')), root);
    QStringList listCommand = listArgs;
    if (!listCommand.isEmpty() && (listCommand.first() == QLatin1String("0") || listCommand.first() == QLatin1String("root")))
        listCommand.removeFirst();
    if (listCommand.value(0) == QLatin1String("-c"))
        return RunLine(listCommand.mid(1).join(QLatin1Char(' ')), root);
    if (listCommand.isEmpty())
        return Result(); // an interactive root shell that reads nothing
    return RunCommand(listCommand, root);
}

ShellCommands::Result ShellCommands::True(const QStringList &, const Context &) const
{
    return Result();
}

ShellCommands::Result ShellCommands::Which(const QStringList &listArgs, const Context &) const
{
    Result result;
    for (const QString &strName : listArgs) {
        if (HasCommand(strName))
            result.baOut += Line((strName == QLatin1String("su") ? QStringLiteral("/system/xbin/") : QStringLiteral("/system/bin/")) + strName);
        else
            result.nStatus = 1;
    }
    return result;
}

QString ShellCommands::PhonePath(const QString &strArgument) const
{
    return m_phone.PathOfRequest(ShellText::Encode(strArgument));
}

ShellCommands::Result ShellCommands::RealPath(const QStringList &listArgs, const Context &context) const
{
    // The shared storage is reached through links: /sdcard names the folder
    // the phone's sdcardLink gives (/storage/emulated/0 without one).
    Result result;
    for (const QString &strPath : listArgs) {
        const QString strPhonePath = AdbPhone::Normalized(PhonePath(strPath));
        if (strPhonePath.isEmpty() || m_phone.Stat(strPhonePath, context.bRoot).access != AdbPhone::Found) {
            result.baErr += Line(QStringLiteral("realpath: %1: No such file or directory").arg(strPath));
            result.nStatus = 1;
            continue;
        }
        const QString strStorage = QStringLiteral("/sdcard");
        if (strPhonePath == strStorage || strPhonePath.startsWith(strStorage + QLatin1Char('/')))
            result.baOut += Line(m_phone.SharedStorageTarget() + strPhonePath.mid(strStorage.size()));
        else
            result.baOut += Line(strPhonePath);
    }
    return result;
}
