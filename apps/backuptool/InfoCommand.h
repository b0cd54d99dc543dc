#pragma once

#include <QString>
#include <QStringList>

class InfoHander;
class PackageReader;
class ToolOutput;
struct BackUpHead;

// backuptool info PACKAGE [--json]: the phone described by the package's
// Info.xml entry and the count of every kind of data the package counts.
class InfoCommand
{
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);

private:
    // Reads the Info.xml entry of an opened package into the handler;
    // ExitOk, else the error was printed and ExitFailure is returned.
    static int ReadInfo(PackageReader &reader, const QString &strPackage, InfoHander &handler, ToolOutput &out);
    // The kind word of an Info.xml count's name ("PB" -> "contacts").
    static QString ModuleWord(const QString &strModule);
    static void PrintText(const QString &strPackage, const BackUpHead &head, int nCounts, const InfoHander &handler,
                          ToolOutput &out);
    static void PrintJson(const QString &strPackage, const BackUpHead &head, int nCounts, const InfoHander &handler,
                          ToolOutput &out);
};
