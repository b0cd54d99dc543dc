#pragma once

#include <QString>
#include <QStringList>

class PackageReader;
class ToolOutput;

// backuptool list PACKAGE [--json]: the package's header.
class ListCommand
{
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);

private:
    static void PrintJson(const QString &strPackage, const PackageReader &reader, ToolOutput &out);
    static void PrintText(const QString &strPackage, const PackageReader &reader, ToolOutput &out);
};
