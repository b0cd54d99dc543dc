#pragma once

#include "PhoneIdentity.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The files that the newest earlier backup of the same phone keeps for one
// module, so that a new backup can take an unchanged file from this computer
// instead of copying it over the link again. Earlier backups are only read.
//
// A kept file is used only when it is a regular file really inside the
// earlier run folder (its real path, links resolved, is the path the run
// folder's layout gives it: no linked folder or file on the way) and its size
// and modification time equal what the phone lists for the file now;
// anything else is copied from the phone.
class KeptFiles
{
public:
    enum class Taken
    {
        Linked, // hard link to the kept file
        Copied, // copied on this computer (no link possible here)
        Failed
    };

    // The run folders of earlier backups of this phone in the destination,
    // newest first: the folders named as a run of this phone would be named
    // ("backup_" + phone + "_" + date, either date order), except the current
    // run's, and of those only the ones whose device file does not name
    // another phone (another serial number; folders without the file, from
    // before it existed, go by their name alone). Empty for a phone without
    // a name. The one place that decides which earlier backups are this
    // phone's.
    static QStringList EarlierRunFolders(const QString &strDestination, const QString &strDeviceName,
                                         const QString &strCurrentFolder, const PhoneIdentity &phone = PhoneIdentity());

    // Media: the records of the media list in the module folder (below the
    // run folder strRunFolder), keyed by phone path. A list that is missing or
    // cannot be read as a whole, or a module folder that is not really inside
    // the run folder, leaves nothing to reuse (false).
    bool LoadMediaList(const QString &strRunFolder, const QString &strModuleFolder, const QString &strListFile);
    // Applications: "<package>.apk" in the folder, keyed by package name;
    // false when the folder is not really inside the run folder.
    bool LoadApplications(const QString &strRunFolder, const QString &strApkFolder);
    void Clear();

    // The module folder the files come from; empty when nothing was loaded.
    QString Folder() const { return m_strFolder; }

    // The kept file for a key (phone path or package name) whose size and
    // modification time (seconds since 1970 UTC) match; empty when there is
    // none. Unknown values (negative) never match.
    QString Find(const QString &strKey, qint64 nSize, qint64 nModified) const;

    // Puts the kept file at strTarget (which must not exist): a hard link,
    // else a copy that gets nModified as its modification time.
    static Taken Take(const QString &strKept, const QString &strTarget, qint64 nModified);
    // Sets a file's modification time (seconds since 1970 UTC).
    static bool SetModified(const QString &strPath, qint64 nModified);

    // Whether strPath, links resolved, is exactly strRunFolder's real path
    // followed by strPath's part below strRunFolder.
    static bool IsReallyInside(const QString &strRunFolder, const QString &strPath);

private:
    // Takes strModuleFolder as the source when it is really inside the run
    // folder; false (nothing loaded) otherwise.
    bool UseFolder(const QString &strRunFolder, const QString &strModuleFolder);

    QString m_strRunFolder;
    QString m_strFolder;
    bool m_bApplications = false;
    // Phone path -> file name in the folder (media only).
    QHash<QString, QString> m_hashNames;
};
