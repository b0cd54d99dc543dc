#pragma once

#include "FileModule.h"

// Copies the archive of application data that the phone builds into
// "APK/APPDATA.zip" of the backup folder.
class APKData : public FileModule
{
    Q_OBJECT
public:
    explicit APKData(QObject *pParent = nullptr);
    ~APKData() override;

    // Returns 0 on success, the logic's BackUp code when the phone's backup
    // failed, -1 when the phone named no archive or the run was cancelled
    // before the copy, else the GetFile code. nCount receives the number of
    // applications the phone reported.
    int Backup(int &nCount) override;
};
