#pragma once

#include "FileListModule.h"

// Copies the phone's images into the backup folder.
class Image : public FileListModule
{
    Q_OBJECT
public:
    explicit Image(QObject *pParent = nullptr);
    ~Image() override;
};
