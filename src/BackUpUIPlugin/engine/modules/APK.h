#pragma once

#include "FileListModule.h"

// Copies the phone's installed applications (one .apk per package) into the backup folder.
class APK : public FileListModule
{
    Q_OBJECT
public:
    explicit APK(QObject *pParent = nullptr);
    ~APK() override;
};
