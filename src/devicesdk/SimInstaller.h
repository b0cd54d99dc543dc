#pragma once

#include "PhoneConfig.h"

#include <QString>
#include <QStringList>

// Installs an application into a phone folder as a phone's package manager
// would, for both simulated phones: the base APK becomes
// fs/data/app/PACKAGE.apk, split APKs fs/data/app/PACKAGE/split_NAME.apk.
// The answer is the package manager's: "Success" or "Failure [REASON: …]"
// (a downgrade, a package name that is none, phone.ini's [faults]
// installFailure).
class SimInstaller
{
public:
    // listApks: files on the PC; the base is the one whose manifest names
    // the package (else the first). listNames: the name each was given
    // (split names, and the package of an APK without a readable manifest,
    // come from it).
    static QString Install(const PhoneConfig &config, const QStringList &listApks, const QStringList &listNames);
    static bool IsSuccess(const QString &strAnswer) { return strAnswer == QLatin1String("Success"); }

private:
    static bool IsValidPackageName(const QString &strPackage);
    static bool CopyInto(const QString &strSource, const QString &strTarget);
};
