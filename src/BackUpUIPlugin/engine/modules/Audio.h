#pragma once

#include "FileListModule.h"

// Copies the phone's audio files into the backup folder.
class Audio : public FileListModule
{
    Q_OBJECT
public:
    explicit Audio(QObject *pParent = nullptr);
    ~Audio() override;

    int Restore() override;
};
