#pragma once

#include <QByteArray>
#include <QStringList>

// The storage volumes of a media walk, each walked once. Older phones
// (Android 5 and before) mount their shared storage at /storage/sdcard0 (a
// folder in /storage like a memory card's) and reach it as /sdcard through a
// link, and a bind mount may show one storage at two places: walking both
// would copy every photo twice. Volumes are told apart by what the phone
// says they are: device and inode numbers of the folder (links followed)
// where it has stat, else the real path (realpath).
class AdbVolumes
{
public:
    // A command printing one line per root, in order: "DEVICE:INODE", else
    // the real path, else "unknown".
    static QByteArray IdentityCommand(const QStringList &listRoots);
    // The roots without those that are an earlier root again (same line of
    // that command's output). Every root is kept when the output does not
    // give one line per root: a volume is never left out on a guess.
    // *pRepeats gets "ROOT is ROOT-SEEN-BEFORE" for each one left out.
    static QStringList Distinct(const QStringList &listRoots, const QByteArray &baOutput, QStringList *pRepeats);
};
