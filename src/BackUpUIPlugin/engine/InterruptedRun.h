#pragma once

#include <QString>
#include <QStringList>

// A run cut off by the phone going away keeps its backup folder with the
// files copied so far and their media lists, marked by a file that says the
// backup is incomplete (it has no package). The next run of the same phone
// into the same destination takes those files as it takes an earlier
// backup's, and removes the interrupted folder once every file in it is
// linked into the new backup.
class InterruptedRun
{
public:
    // The marker file in the run folder.
    static const char kMarker[];

    // Marks the run folder as interrupted; returns the number of copied files
    // it keeps. A folder that keeps no file is removed (0).
    static int Keep(const QString &strRunFolder);
    static bool IsInterrupted(const QString &strRunFolder);
    // The copied files an interrupted run folder keeps; 0 for any other folder.
    static int KeptFiles(const QString &strRunFolder);
    // The interrupted run folder that strPath names: the folder itself, or
    // the package the run would have written beside it (which does not
    // exist). Empty when strPath names none.
    static QString FolderNamedBy(const QString &strPath);
    // What the tools say when pointed at one: not a complete backup, how
    // many files it keeps, and that running the backup again finishes it.
    static QString NotCompleteText(const QString &strPath, const QString &strRunFolder);
    // Removes each interrupted folder of listEarlier whose every copied file
    // is also in strNewFolder (the same file, hard-linked); the rest stay.
    // Returns the folders removed.
    static QStringList RemoveFinished(const QStringList &listEarlier, const QString &strNewFolder);
};
