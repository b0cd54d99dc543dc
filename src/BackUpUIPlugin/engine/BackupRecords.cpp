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

void RegisterMetaTypes()
{
    qRegisterMetaType<FILESTATUS>("FILESTATUS");
    qRegisterMetaType<structBackupID>("structBackupID");
    qRegisterMetaType<BackupItems>("BackupItems");
    qRegisterMetaType<BackupCounts>("BackupCounts");
}

} // namespace BackupCodes
