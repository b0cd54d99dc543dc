#pragma once

#include <QString>

// Where backups go unless the user picks a folder: the folder "Location.ini"
// in the device SDK's user data folder names (the suite's other programs
// write it), else a folder under the user's documents. The prepare page and
// backuptool both ask here.
class BackupLocation
{
public:
    // Makes the default folder, "<documents>/Pelorix/backup", or, when it
    // cannot be made, "<root>Pelorix backup/"; strFolder becomes the one
    // tried last. True when that folder exists. Every step is logged.
    static bool CreateDefaultFolder(QString &strFolder);
    // The folder "Location.ini" names; empty when there is none.
    static QString LocationFileFolder();
    // The destination: the folder "Location.ini" names, else strDefault,
    // which is then stored as the host setting "BackupPath". Backslashes
    // become "/".
    static QString Read(const QString &strDefault);
};
