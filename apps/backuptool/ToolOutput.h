#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdio>

// What every backuptool command shares: where text goes, how errors look,
// the exit statuses, argument checks and how package texts are shown.
class ToolOutput
{
public:
    enum ExitStatus : int
    {
        ExitOk = 0,
        ExitFailure = 1, // missing, unreadable, truncated, malformed or unsound package
        ExitUsage = 2    // wrong arguments
    };

    explicit ToolOutput(std::FILE *pOut = stdout, std::FILE *pErr = stderr);

    void Line(const QString &strText = QString());
    void Json(const QJsonObject &object);
    // "backuptool: <text>" on the error stream; returns ExitFailure.
    int Error(const QString &strText);
    // A usage error of a command, with a hint at its help; returns ExitUsage.
    int UsageError(const QString &strCommand, const QString &strText);

    // True when the arguments ask for help.
    static bool WantsHelp(const QStringList &listArgs);
    // Splits arguments into positional ones and the options in listKnown;
    // false (with strError set) on an unknown option.
    static bool SplitArgs(const QStringList &listArgs, const QStringList &listKnown, QStringList &listPositional,
                          QStringList &listOptions, QString &strError);
    // A package path as the engine takes it (8-bit, local encoding).
    static QByteArray NativePath(const QString &strPath);
    // 8-bit text from a package, decoded from the local encoding, with
    // control characters shown as \xNN (\uNNNN for the bidirectional marks).
    static QString Printable(const QByteArray &baText);
    static QString Printable(const QString &strText);

private:
    std::FILE *m_pOut;
    std::FILE *m_pErr;
};
