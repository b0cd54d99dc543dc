#include "Audio.h"

#include "LogLine.h"

namespace
{
const FileListTraits kTraits = {
    MODULE_AUDIO,
    &FILESTATUS::bAudio,
    "..\\..\\src\\BackUpUIPlugin\\Audio",
    "Backup Audio successed",
    "Audio path NULL",
    "Get Audio successed",
    false,
    "SoundRecord",
    "SoundRecordList.ini",
    "Audio",
    "AudioList.xml",
};
} // namespace

Audio::Audio(QObject *pParent) : FileListModule(kTraits, pParent)
{
}

Audio::~Audio() = default;

int Audio::Restore()
{
    LogLine::Scope scope(kTraits.szSource, "Restore");
    return 0;
}
