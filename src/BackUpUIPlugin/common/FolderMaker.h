#pragma once

#include <QString>

// Creation of a folder with its missing parents, saying why it failed.
namespace FolderMaker
{
// Creates the folder and every missing parent; true when it exists as a
// folder afterwards. On failure strReason gets the system's reason ("Permission
// denied", "Not a directory", ...) for the first folder that could not be made.
bool MakePath(const QString &strPath, QString &strReason);
// Whether a file can be written into the existing folder, found out by
// writing a small temporary one there (and removing it); strReason gets the
// system's reason when not.
bool CanWrite(const QString &strFolder, QString &strReason);
} // namespace FolderMaker
