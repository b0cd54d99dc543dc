#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

class PackageVerifier;
class ToolOutput;

// backuptool verify PACKAGE [--json]: reads the whole package and says
// whether it can be relied on.
class VerifyCommand
{
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);

private:
    // True when the file could not be read or is not a backup package at all.
    static bool IsNoPackage(const PackageVerifier &verifier);
    static void PrintText(const QString &strPackage, const PackageVerifier &verifier, ToolOutput &out);
    static QJsonObject JsonVerdict(const QString &strPackage, const PackageVerifier &verifier,
                                   const QString &strNoPackage);
};
