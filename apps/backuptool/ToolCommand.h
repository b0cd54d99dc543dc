#pragma once

#include <QString>
#include <QStringList>

class ToolOutput;

// One command of backuptool: its name, a one-line summary for the overview,
// its full help and the function that runs it with the arguments that follow
// the command name. Run returns the process exit status.
struct ToolCommand
{
    const char *szName;
    const char *szSummary;
    QString (*pHelp)();
    int (*pRun)(const QStringList &listArgs, ToolOutput &out);
};
