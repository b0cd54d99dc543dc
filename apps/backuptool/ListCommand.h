#pragma once

#include <QString>
#include <QStringList>

class ToolOutput;

// backuptool list PACKAGE [--json]: the package's header.
class ListCommand
{
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);
};
