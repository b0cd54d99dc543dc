#pragma once

#include <QString>

// Removal of a folder with everything in it, shared by the worker thread, the
// factory and the tools.
namespace FolderRemoval
{
// Removes a folder with its content; true when nothing of it is left (also
// when it never existed). Links are removed as links and never followed, so
// nothing outside the folder is touched. Entries that cannot be removed are
// logged and make the result false; the rest is still removed.
bool DeleteDirectory(const QString &strPath);
} // namespace FolderRemoval
