#include "SimInstaller.h"

#include "ApkManifest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <cstdio>

bool SimInstaller::IsValidPackageName(const QString &strPackage)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*(\\.[A-Za-z][A-Za-z0-9_]*)*$"));
    return re.match(strPackage).hasMatch();
}

bool SimInstaller::CopyInto(const QString &strSource, const QString &strTarget)
{
    if (!QDir().mkpath(QFileInfo(strTarget).absolutePath()))
        return false;
    const QString strPart = strTarget + QStringLiteral(".part");
    QFile::remove(strPart);
    if (!QFile::copy(strSource, strPart))
        return false;
    // An update replaces the installed APK whole.
    if (std::rename(QFile::encodeName(strPart).constData(), QFile::encodeName(strTarget).constData()) != 0) {
        QFile::remove(strPart);
        return false;
    }
    return true;
}

QString SimInstaller::Install(const PhoneConfig &config, const QStringList &listApks, const QStringList &listNames)
{
    if (listApks.isEmpty())
        return QStringLiteral("Failure [INSTALL_FAILED_INVALID_APK: no APK given]");
    // The base APK is the one whose manifest names the package; splits name none.
    int nBase = 0;
    for (int i = listApks.size() - 1; i >= 0; --i) {
        if (ApkManifest::Read(listApks.at(i)).FromManifest())
            nBase = i;
    }
    const ApkManifest manifest = ApkManifest::Read(listApks.at(nBase));
    const QString strPackage = manifest.FromManifest() ? manifest.Package()
                                                       : QFileInfo(listNames.value(nBase, listApks.at(nBase))).completeBaseName();
    if (!IsValidPackageName(strPackage))
        return QStringLiteral("Failure [INSTALL_PARSE_FAILED_BAD_PACKAGE_NAME: Invalid package name %1]").arg(strPackage);
    const QSettings settings(config.Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
    const QString strFailure = settings.value(QStringLiteral("faults/installFailure")).toString().trimmed();
    if (!strFailure.isEmpty())
        return QStringLiteral("Failure [%1: refused by the phone]").arg(strFailure);
    const QString strAppDir = config.FsRoot() + QStringLiteral("/data/app/");
    const QString strBase = strAppDir + strPackage + QStringLiteral(".apk");
    if (QFileInfo(strBase).isFile()) {
        const qint64 nInstalled = ApkManifest::Read(strBase).VersionCode();
        if (nInstalled > manifest.VersionCode())
            return QStringLiteral("Failure [INSTALL_FAILED_VERSION_DOWNGRADE: Downgrade detected: Update version code "
                                  "%1 is older than current %2]").arg(manifest.VersionCode()).arg(nInstalled);
    }
    for (int i = 0; i < listApks.size(); ++i) {
        QString strName = QFileInfo(listNames.value(i, listApks.at(i))).fileName();
        if (!strName.endsWith(QLatin1String(".apk")))
            strName += QStringLiteral(".apk");
        const QString strTarget = i == nBase ? strBase : strAppDir + strPackage + QLatin1Char('/')
                        + (strName.startsWith(QLatin1String("split_")) ? strName : QStringLiteral("split_") + strName);
        if (!CopyInto(listApks.at(i), strTarget))
            return QStringLiteral("Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE]");
    }
    return QStringLiteral("Success");
}
