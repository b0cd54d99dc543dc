#pragma once

#include "AdbPhone.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The commands of the phone's shell that an adb client uses, answered from
// the phone folder with the output formats of a real phone (toybox and the
// Android tools). One table maps command names to handlers; a new command
// is one handler and one row. Anything else answers as the phone's shell
// does for a missing program.
class ShellCommands
{
public:
    struct Result
    {
        QByteArray baOut;
        QByteArray baErr;
        // Printed on the error stream before anything else (a linker warning).
        QByteArray baErrFirst;
        int nStatus = 0;
    };

    explicit ShellCommands(const AdbPhone &phone);

    // Runs a whole command line as the shell user.
    Result Run(const QString &strLine) const;

private:
    struct Context
    {
        bool bRoot = false;
    };
    using Handler = Result (ShellCommands::*)(const QStringList &listArgs, const Context &context) const;
    struct Entry
    {
        const char *szName;
        Handler handler;
    };
    static const Entry kCommands[];

    Result RunLine(const QString &strLine, const Context &context) const;
    Result RunCommand(const QStringList &listArgs, const Context &context) const;
    static void Redirect(const QStringList &listRedirections, Result *pResult);

    Result Cat(const QStringList &listArgs, const Context &context) const;
    Result Content(const QStringList &listArgs, const Context &context) const;
    Result Df(const QStringList &listArgs, const Context &context) const;
    Result Echo(const QStringList &listArgs, const Context &context) const;
    Result False(const QStringList &listArgs, const Context &context) const;
    Result Find(const QStringList &listArgs, const Context &context) const;
    Result GetProp(const QStringList &listArgs, const Context &context) const;
    Result Id(const QStringList &listArgs, const Context &context) const;
    Result Ls(const QStringList &listArgs, const Context &context) const;
    Result Pm(const QStringList &listArgs, const Context &context) const;
    Result RealPath(const QStringList &listArgs, const Context &context) const;
    Result RunAs(const QStringList &listArgs, const Context &context) const;
    Result Stat(const QStringList &listArgs, const Context &context) const;
    Result Su(const QStringList &listArgs, const Context &context) const;
    Result True(const QStringList &listArgs, const Context &context) const;
    Result Which(const QStringList &listArgs, const Context &context) const;

    static Result NotFound(const QString &strName);
    static Result Failure(const QString &strMessage, int nStatus = 1);
    bool HasCommand(const QString &strName) const;
    // The phone path a command's argument names (see AdbPhone::PathOfRequest).
    QString PhonePath(const QString &strArgument) const;
    // The first Android whose tools (toybox) have stat and find.
    static constexpr int kToyboxSdk = 23;

    const AdbPhone &m_phone;
};
