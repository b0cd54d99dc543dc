#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Splits a command line the way the phone's shell does for the simple lines
// an adb client sends: words with '...' and "..." quoting and backslash
// escapes, commands joined by ";", "&&" or "||", and the redirections
// "2>/dev/null", ">/dev/null" and "2>&1" (kept with the command, which
// applies them to what it printed). No variables, globs or pipes.
class ShellCommandLine
{
public:
    enum Join { End, Always, IfSucceeded, IfFailed };

    struct Command
    {
        QStringList listArgs;
        QStringList listRedirections; // as written, e.g. "2>/dev/null"
        Join join = End; // how the next command follows this one
    };

    // False with a message (as the shell prints it) when the line cannot be run.
    static bool Parse(const QString &strLine, QList<Command> *pCommands, QString *pError);
};
