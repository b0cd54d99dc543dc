#pragma once

#include <QString>
#include <QTemporaryFile>

// A file copied from the phone, written beside its target under a temporary
// name and renamed into place only when whole: the target is either complete
// or untouched, and a copy that fails or is dropped leaves nothing behind.
class AdbPartFile
{
public:
    explicit AdbPartFile(const QString &strTargetPath);

    // False when the temporary file could not be made (no folder, no space).
    bool IsOpen() const { return m_bOpen; }
    bool Write(const char *pData, qint64 nLength);
    // Renames the written file into place; false (and nothing left) on failure.
    bool Commit();

    // Writes baData as strTargetPath whole or not at all.
    static bool WriteWhole(const QString &strTargetPath, const QByteArray &baData);
    // The template of the temporary name for a target named strName: within
    // the longest name a file system takes, however long strName is.
    static QString PartName(const QString &strName);

private:
    const QString m_strTargetPath;
    QTemporaryFile m_file;
    bool m_bOpen = false;
};
