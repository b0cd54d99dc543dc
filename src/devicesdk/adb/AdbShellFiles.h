#pragma once

#include "AdbSync.h"

#include <QByteArray>
#include <QList>

// Folders and files whose path is longer than a sync request may carry (a
// phone's paths may have up to 4,095 bytes, its sync requests only 1,024):
// they are listed and read through the phone's shell instead. Paths are the
// phone's bytes. On a phone with shell_v2 the commands' exit status tells
// whether they succeeded and their error stream stays apart; elsewhere each
// command ends its output with a line of its own that says so, so a folder
// that cannot be opened is never taken for an empty one and a refused file
// never for an empty file.
class AdbShellFiles
{
public:
    struct Listing
    {
        QList<AdbSync::Entry> listEntries;
        bool bOpened = false;   // the phone could open the folder
        bool bComplete = false; // and gave every entry of it
    };

    // A command printing one line "MODE SIZE MTIME PATH" per entry of the
    // folder (mode in hex, mtime in seconds; links not followed). Without
    // shell v2 its error stream goes nowhere and its last line says whether
    // every entry was listed (an entry that vanished or could not be read
    // leaves the others listed).
    static QByteArray ListCommand(const QByteArray &baFolder, bool bShellV2);
    // What that command printed, read: nExitStatus is its exit status through
    // shell v2, -1 without (its last line tells). A listing that cannot be
    // read counts as a folder that could not be opened, never as an empty one.
    static Listing ParseListing(QByteArray baOutput, int nExitStatus, const QByteArray &baFolder);
    // The entries of lines "MODE SIZE MTIME PATH", names as the phone gave
    // them (a name holding a new line goes on over the next line). False
    // when a line cannot be read or the output does not end with a line end.
    static bool ParseList(const QByteArray &baLines, const QByteArray &baFolder, QList<AdbSync::Entry> &listEntries);
    // A command writing the file's bytes; without shell v2 its error stream
    // goes nowhere (a warning would mix into the bytes) and the success line
    // follows the bytes.
    static QByteArray ReadCommand(const QByteArray &baPath, bool bShellV2);
    // The line a command ends with when it succeeded, new line included.
    static QByteArray DoneLine();
    // The argument quoted for the phone's shell.
    static QByteArray Quote(const QByteArray &baArgument);

private:
    enum class Ending { Done, Partial, None };
    // Removes the last line when it is an ending line, and says which.
    static Ending TakeEnding(QByteArray &baOutput);
};
