#pragma once

#include "FileListModule.h"

// Copies the phone's videos into the backup folder.
class Video : public FileListModule
{
    Q_OBJECT
public:
    explicit Video(QObject *pParent = nullptr);
    ~Video() override;
};
