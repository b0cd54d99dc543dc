#pragma once

#include "AdbPhone.h"
#include "ShellCommands.h"

#include <QString>
#include <QStringList>

// The shell commands a restore uses, beside the reading ones of
// ShellCommands: files moved, removed and folders made where the shell user
// may write (shared storage and /data/local/tmp), the media scanner's
// broadcast, and the package manager's installs ("cmd package …", "pm
// install", versions in "pm list packages --show-versioncode").
class RestoreCommands
{
public:
    // Whether a command (its first word) is one of these.
    static bool Handles(const AdbPhone &phone, const QStringList &listArgs);
    static ShellCommands::Result Run(const AdbPhone &phone, const QStringList &listArgs);

    // The file on the PC of a phone path the shell user may write; empty,
    // with the reason ("Permission denied"), when it may not.
    static QString WritableHostPath(const AdbPhone &phone, const QString &strPhonePath, QString *pError);

private:
    static ShellCommands::Result Mv(const AdbPhone &phone, const QStringList &listArgs);
    static ShellCommands::Result Rm(const AdbPhone &phone, const QStringList &listArgs);
    static ShellCommands::Result Mkdir(const AdbPhone &phone, const QStringList &listArgs);
    static ShellCommands::Result Am(const AdbPhone &phone, const QStringList &listArgs);
    static ShellCommands::Result Package(const AdbPhone &phone, const QStringList &listArgs);
    static ShellCommands::Result PmInstall(const AdbPhone &phone, const QString &strPath);
    static ShellCommands::Result Fail(const QString &strMessage, int nStatus = 1);
    static ShellCommands::Result Out(const QString &strText);
};
