#pragma once

#include <QString>
#include <QStringList>

class ToolOutput;

// backuptool info PACKAGE: the phone and module counts of the package's
// Info.xml entry.
class InfoCommand
{
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);
};
