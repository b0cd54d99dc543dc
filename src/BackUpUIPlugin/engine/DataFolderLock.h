#pragma once

#include <QString>

// One backup at a time per SDK user data folder. The module files and the
// temporary package have fixed names in that folder, so two backups there at
// once would mix their phones. The lock is a file ("backup.lock") holding the
// owner's process id; a lock whose owner has ended is taken over. Within one
// process the lock is counted: the command-line tool holds it for its whole
// run and the backup job takes it again for the backup itself.
class DataFolderLock
{
public:
    // Takes the lock of the folder (or counts one more holder in this
    // process). False when another process holds it; pstrOwner then says
    // which, in words.
    static bool Acquire(const QString &strDataFolder, QString *pstrOwner = nullptr);
    // Drops one holder; the lock file goes with the last.
    static void Release();
    // The lock file of a data folder.
    static QString LockPath(const QString &strDataFolder);
};
