#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the staged backuptool with arguments and collects what it printed.
class ToolRun
{
public:
    struct Result
    {
        int nExit = -1; // -1: did not end in time, or crashed
        QString strOut;
        QString strErr;
    };

    static QString Path();
    // In this process's environment, or in env when it is not empty.
    static Result Run(const QStringList &listArgs, int nTimeoutMs = 120000,
                      const QProcessEnvironment &env = QProcessEnvironment());
};
