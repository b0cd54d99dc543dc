#include "Video.h"

namespace
{
const FileListTraits kTraits = {
    MODULE_VIDEO,
    &FILESTATUS::bVideo,
    "..\\..\\src\\BackUpUIPlugin\\Video",
    "Backup Video successed",
    "Video path NULL",
    "Get Video successed",
    false,
    "CameraVideo",
    "CameraVideoList.ini",
    "Video",
    "VideoList.xml",
};
} // namespace

Video::Video(QObject *pParent) : FileListModule(kTraits, pParent)
{
}

Video::~Video() = default;
