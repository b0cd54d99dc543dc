#pragma once

// The records and codes that cross the backup engine.

#include <QMetaType>
#include <cstdint>

// Module type codes: the data type passed to the device SDK and the module
// index of every progress event.
enum BackupModuleCode : int
{
    MODULE_PB = 0,
    MODULE_SMS = 1,
    MODULE_CALENDAR = 2,
    MODULE_CALLLOG = 4,
    MODULE_EMAIL = 5,
    MODULE_BOOKMARK = 6,
    MODULE_APK = 9,
    MODULE_APKDATA = 15,
    MODULE_IMAGE = 16,
    MODULE_VIDEO = 17,
    MODULE_AUDIO = 18,
    MODULE_MMS = 19
};

// Result mask bits, one per module; set when that module failed.
enum BackupResultBit : int
{
    RESULT_BIT_PB = 0x001,
    RESULT_BIT_SMS = 0x002,
    RESULT_BIT_CALENDAR = 0x004,
    RESULT_BIT_CALLLOG = 0x008,
    RESULT_BIT_EMAIL = 0x010,
    RESULT_BIT_BOOKMARK = 0x020,
    RESULT_BIT_APK = 0x040,
    RESULT_BIT_IMAGE = 0x080,
    RESULT_BIT_VIDEO = 0x100,
    RESULT_BIT_AUDIO = 0x200,
    RESULT_BIT_MMS = 0x400,
    RESULT_BIT_APKDATA = 0x800
};

// Run results besides the failed mask.
enum BackupRunResult : int
{
    RUN_RESULT_NO_MEMINFO = -3,
    RUN_RESULT_NO_FREE_MEMORY = -5,
    // The phone went away (device events 6006 / 6014) while the backup ran:
    // the run was stopped and nothing of it was kept.
    RUN_RESULT_PHONE_DISCONNECTED = -7,
    // Another backup holds the SDK's data folder; this one did not start.
    RUN_RESULT_DATA_FOLDER_BUSY = -9
};

// Results of BackUpUILogic::GetFile.
enum GetFileResult : int
{
    GETFILE_OK = 0,
    GETFILE_BUSY = 13,
    GETFILE_NOT_EXIST = 131,
    GETFILE_FAILED = 1
};

// The item selection, twelve flags.
struct BackupItems
{
    bool bSMS = false;      // 0
    bool bPB = false;       // 1
    bool bCalendar = false; // 2
    bool bAPK = false;      // 3
    bool bAPKData = false;  // 4
    bool bCallLog = false;  // 5
    bool bEmail = false;    // 6
    bool bBookmark = false; // 7
    bool bMMS = false;      // 8
    bool bImage = false;    // 9
    bool bVideo = false;    // 10
    bool bAudio = false;    // 11

    static constexpr int kSlots = 12;
    bool &Slot(int nSlot);
    bool Slot(int nSlot) const;
    bool operator==(const BackupItems &other) const;
};

// Twelve item counts and five sizes.
struct BackupCounts
{
    enum Slot : int
    {
        SMS = 0, PB, Calendar, CallLog, Email, Bookmark, MMS, APK, APKData, Image, Video, Audio,
        APKSize, APKDataSize, ImageSize, VideoSize, AudioSize
    };
    static constexpr int kSlots = 17;
    int nValues[kSlots] = {};

    int &operator[](int nSlot) { return nValues[nSlot]; }
    int operator[](int nSlot) const { return nValues[nSlot]; }
};

// A module's status flags.
struct FILESTATUS
{
    bool bPB = false;
    bool bSMS = false;
    bool bCalendar = false;
    bool bFlag3 = false;
    bool bAPK = false;
    bool bImage = false;
    bool bVideo = false;
    bool bAudio = false;
    bool bCallLog = false;
    bool bEmail = false;
    bool bBookmark = false;
    bool bMMS = false;
    bool bTransporting = false;
};

// A module record: a progress record for the outside backup manager, or an
// entry of the worker's count table.
struct structBackupID
{
    int nModuleID = 0;
    int nProNum = 0;
    int nAllNum = 0;
    bool bFlag = false;
    int nValue = 0;
    int nState = 5;
    int nValue2 = 0;
};

// One storage record of the phone's memory information.
struct MemInfoRecord
{
    int64_t nType = 0;
    int64_t nTotal = 0;
    int64_t nUsed = 0;
    int64_t nUnit = 0;
};

namespace BackupCodes
{
// Display module id of a module start: the first raised flag decides; -1 when
// none of them is raised.
int DisplayIdFromStatus(const FILESTATUS &status);
// Registers the records that travel through queued connections; idempotent.
void RegisterMetaTypes();
} // namespace BackupCodes

Q_DECLARE_METATYPE(FILESTATUS)
Q_DECLARE_METATYPE(structBackupID)
Q_DECLARE_METATYPE(BackupItems)
Q_DECLARE_METATYPE(BackupCounts)
