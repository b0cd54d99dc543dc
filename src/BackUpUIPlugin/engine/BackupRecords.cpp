#include "BackupRecords.h"

bool &BackupItems::Slot(int nSlot)
{
    bool *pSlotFlags[kSlots] = {&bSMS, &bPB, &bCalendar, &bAPK, &bAPKData, &bCallLog,
                                &bEmail, &bBookmark, &bMMS, &bImage, &bVideo, &bAudio};
    return *pSlotFlags[nSlot];
}

bool BackupItems::Slot(int nSlot) const
{
    return const_cast<BackupItems *>(this)->Slot(nSlot);
}

bool BackupItems::operator==(const BackupItems &other) const
{
    for (int i = 0; i < kSlots; ++i) {
        if (Slot(i) != other.Slot(i))
            return false;
    }
    return true;
}

namespace BackupCodes
{

int DisplayIdFromStatus(const FILESTATUS &status)
{
    if (status.bPB)
        return 0;
    if (status.bSMS)
        return 1;
    if (status.bFlag3)
        return 29;
    if (status.bAPK)
        return 3;
    if (status.bImage || status.bVideo)
        return 4;
    if (status.bAudio)
        return 5;
    if (status.bCallLog || status.bCalendar || status.bEmail || status.bBookmark)
        return 6;
    if (status.bMMS)
        return 1;
    return -1;
}

int ResultBit(int nModuleCode)
{
    switch (nModuleCode) {
    case MODULE_PB: return RESULT_BIT_PB;
    case MODULE_SMS: return RESULT_BIT_SMS;
    case MODULE_CALENDAR: return RESULT_BIT_CALENDAR;
    case MODULE_CALLLOG: return RESULT_BIT_CALLLOG;
    case MODULE_EMAIL: return RESULT_BIT_EMAIL;
    case MODULE_BOOKMARK: return RESULT_BIT_BOOKMARK;
    case MODULE_APK: return RESULT_BIT_APK;
    case MODULE_APKDATA: return RESULT_BIT_APKDATA;
    case MODULE_IMAGE: return RESULT_BIT_IMAGE;
    case MODULE_VIDEO: return RESULT_BIT_VIDEO;
    case MODULE_AUDIO: return RESULT_BIT_AUDIO;
    case MODULE_MMS: return RESULT_BIT_MMS;
    default: return 0;
    }
}

const char *PackageFileName(int nModuleCode)
{
    switch (nModuleCode) {
    case MODULE_PB: return "PB.zip";
    case MODULE_SMS: return "SMS.zip";
    case MODULE_CALENDAR: return "CALENDAR.zip";
    case MODULE_CALLLOG: return "CALLLOG.zip";
    case MODULE_EMAIL: return "EMAIL.zip";
    case MODULE_BOOKMARK: return "BOOKMARK.zip";
    case MODULE_APK: return "APK.zip";
    case MODULE_APKDATA: return "APKDATA.zip";
    case MODULE_IMAGE: return "IMAGE.zip";
    case MODULE_VIDEO: return "VIDEO.zip";
    case MODULE_AUDIO: return "AUDIO.zip";
    case MODULE_MMS: return "MMS.zip";
    default: return "";
    }
}

void RegisterMetaTypes()
{
    qRegisterMetaType<FILESTATUS>("FILESTATUS");
    qRegisterMetaType<structBackupID>("structBackupID");
    qRegisterMetaType<BackupItems>("BackupItems");
}

} // namespace BackupCodes
