#include "APK.h"

namespace
{
const FileListTraits kTraits = {
    MODULE_APK,
    &FILESTATUS::bAPK,
    "..\\..\\src\\BackUpUIPlugin\\APK",
    "Backup apk successed",
    "apk path NULL",
    "Get apk successed",
    true,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};
} // namespace

APK::APK(QObject *pParent) : FileListModule(kTraits, pParent)
{
}

APK::~APK() = default;
