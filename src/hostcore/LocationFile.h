#pragma once

#include <QString>

// The host's side of "Location.ini" in the SDK's user data folder: the
// backup folder the user last chose ([location] backup_lacation). The host
// keeps it in step with its "BackupPath" setting, so that the backup wizard,
// which only reads the file, starts at that folder next time.
class LocationFile
{
public:
    // Stores strFolder as the backup folder; an empty folder changes
    // nothing. False when the file cannot be written.
    static bool Write(const QString &strFolder);
};
