#pragma once

#include <QString>

// Names that come from the phone (a media file's name, an application's
// package name, the phone's own name) become file names on this PC. The phone
// is not trusted: a name must never reach outside the folder it is created in.
class SafeFileName
{
public:
    // The name reduced to one file name that is safe to create inside a folder:
    // separators of either kind and characters a file name or the media list
    // cannot hold become '_'. Empty when nothing safe is left (an empty name,
    // "." or "..").
    static QString FromPhone(const QString &strName);

    // True when the name can be used unchanged as one file name in a folder.
    static bool IsSafe(const QString &strName);
};
