#include "Image.h"

namespace
{
const FileListTraits kTraits = {
    MODULE_IMAGE,
    &FILESTATUS::bImage,
    "..\\..\\src\\BackUpUIPlugin\\Image",
    "Backup Image successed",
    "Image path NULL",
    "Get Image successed",
    false,
    "CameraImage",
    "CameraImageList.ini",
    "Image",
    "ImageList.xml",
};
} // namespace

Image::Image(QObject *pParent) : FileListModule(kTraits, pParent)
{
}

Image::~Image() = default;
