#pragma once

#include <QString>

class QSaveFile;

// Finishes a QSaveFile so that "true" means the whole content is in place.
// QSaveFile::commit() of Qt 6.4 can return true when the flush of its last
// buffered bytes failed (a full disk): the file is then renamed into place
// empty or short. Commit flushes first, cancels on any error, and checks the
// device's error state and the size of the file in place afterwards.
class SaveFileCommit
{
public:
    // Commits the file; false (with the reason in pstrError) when any write,
    // the flush or the rename failed. A failure before the rename leaves the
    // target as it was; a file found short after it is removed.
    static bool Commit(QSaveFile &file, QString *pstrError = nullptr);
};
