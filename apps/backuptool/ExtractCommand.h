#pragma once

#include <QString>
#include <QStringList>

class ToolOutput;

// backuptool extract PACKAGE DIR: writes the entries into DIR.
class ExtractCommand
{
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);
};
