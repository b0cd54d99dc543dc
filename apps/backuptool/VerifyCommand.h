#pragma once

#include <QString>
#include <QStringList>

class ToolOutput;

// backuptool verify PACKAGE: reads the whole package and says whether it
// can be relied on.
class VerifyCommand
{
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);
};
