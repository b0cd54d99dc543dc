#pragma once

#include "AdbSync.h"

#include <QByteArray>
#include <QList>

// Folders and files whose path is longer than a sync request may carry (a
// phone's paths may have up to 4,095 bytes, its sync requests only 1,024):
// they are listed and read through the phone's shell instead. Paths are the
// phone's bytes. Each command ends its output with a line of its own only
// when it succeeded, so a folder that cannot be opened is never taken for an
// empty one and a refused file never for an empty file.
class AdbShellFiles
{
public:
    // A command printing one line "MODE SIZE MTIME PATH" per entry of the
    // folder (mode in hex, mtime in seconds; links not followed).
    static QByteArray ListCommand(const QByteArray &baFolder);
    // The entries of that output, names as the phone gave them (a name
    // holding a new line goes on over the next line). False when the folder
    // could not be listed or a line cannot be read.
    static bool ParseList(const QByteArray &baOutput, const QByteArray &baFolder, QList<AdbSync::Entry> &listEntries);
    // A command writing the file's bytes, then the success line.
    static QByteArray ReadCommand(const QByteArray &baPath);
    // The line a command ends with when it succeeded, new line included.
    static QByteArray DoneLine();
    // The argument quoted for the phone's shell.
    static QByteArray Quote(const QByteArray &baArgument);
};
