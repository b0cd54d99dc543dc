#include "BackupKinds.h"

#include "APK.h"
#include "APKData.h"
#include "AddrBook.h"
#include "Audio.h"
#include "Bookmark.h"
#include "Calendar.h"
#include "CallLog.h"
#include "Email.h"
#include "Image.h"
#include "MMS.h"
#include "MyZip.h"
#include "PackageLayout.h"
#include "ProgressWeights.h"
#include "SMS.h"
#include "Video.h"

#include <QtGlobal>

#include <algorithm>

namespace
{
template <typename T> BackUpRestoreInterface *Make()
{
    return new T();
}

using Step = BackupKind::Step;
using T = ProgressWeights;

// Weights of a record kind: read max(N * count / 1000, 2.0), copy 2.3.
constexpr BackupKind::WeightRule Read(float fPerThousand)
{
    return {fPerThousand, 1000.0f, 2.0f};
}
constexpr BackupKind::WeightRule kCopy = {0.0f, 1.0f, 2.3f};
constexpr BackupKind::WeightRule kStart = {0.0f, 1.0f, 5.0f};
constexpr BackupKind::WeightRule kFiles = {1.0f, 1200.0f, 5.5f};
constexpr BackupKind::WeightRule kNone = {0.0f, 1.0f, 0.0f};

constexpr int kOtherRecords = RESULT_BIT_CALLLOG | RESULT_BIT_CALENDAR | RESULT_BIT_EMAIL;

// clang-format off
// Each row, line by line: module code, result bit, BackupItems slot, count and
// size slots, package count index and setter, status flag; tile and sub-item
// ids, name key, item-progress name key; result file, step log name,
// placeholder text, folder, tools' name, object word, usage name and place;
// step, first weight slot, weight count, weight rules; weighed with, counts
// shared with, module also needed, runs, module maker.
const QList<BackupKind> kKinds = {
    {MODULE_PB, RESULT_BIT_PB, 1, BackupCounts::PB, -1, PackageLayout::PBCount, &MyZip::SetPBCount, &FILESTATUS::bPB,
     0, -1, "IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT", nullptr,
     "PB.zip", "BackUpPB", nullptr, nullptr, "contacts", nullptr, "contacts", 0,
     Step::Record, T::W_PB_READ, 2, {Read(50.0f), kCopy, kNone},
     RESULT_BIT_PB, -1, -1, true, &Make<AddrBook>},
    {MODULE_SMS, RESULT_BIT_SMS, 0, BackupCounts::SMS, -1, PackageLayout::SMSCount, &MyZip::SetSMSCount,
     &FILESTATUS::bSMS,
     1, 24, "IDS_VIRTUAL_SMSNAME_IDENTIFER", nullptr,
     "SMS.zip", "BackUpSMS", nullptr, nullptr, "sms", nullptr, "message", 1,
     Step::Record, T::W_SMS_READ, 2, {Read(50.0f), kCopy, kNone},
     RESULT_BIT_SMS, -1, -1, true, &Make<SMS>},
    {MODULE_MMS, RESULT_BIT_MMS, 8, BackupCounts::MMS, -1, PackageLayout::MMSCount, &MyZip::SetMMSCount,
     &FILESTATUS::bMMS,
     1, 27, "IDS_VIRTUAL_CORE_MMSTEXT", nullptr,
     "MMS.zip", "BackUpMMS", nullptr, nullptr, "mms", nullptr, "mms", 2,
     Step::Record, T::W_MMS_READ, 2, {Read(600.0f), kCopy, kNone},
     RESULT_BIT_MMS, -1, -1, true, &Make<MMS>},
    // The applications' counts stand for their data's until that is counted.
    {MODULE_APK, RESULT_BIT_APK, 3, BackupCounts::APK, BackupCounts::APKSize, PackageLayout::APPCount,
     &MyZip::SetAPPCount, &FILESTATUS::bAPK,
     29, -1, "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT",
     "APK.zip", "BackUpAPP", "temp apk", "APK", "apps", nullptr, "application", 5,
     Step::Files, T::W_APK_START, 2, {kStart, kFiles, kNone},
     RESULT_BIT_APK, MODULE_APKDATA, -1, true, &Make<APK>},
    // Application data is reported with the applications' flag and name.
    {MODULE_APKDATA, RESULT_BIT_APKDATA, 4, BackupCounts::APKData, BackupCounts::APKDataSize,
     PackageLayout::APPDataCount, &MyZip::SetAPPDataCount, &FILESTATUS::bAPK,
     3, -1, "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPDATA_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT",
     "APKDATA.zip", "BackUpAPPData", "temp apk", "APK", "appdata", nullptr, "applicationData", 6,
     Step::AppData, T::W_APKDATA_FIRST, 3, {{1.0f, 1000.0f, 5.0f}, {1.0f, 1200.0f, 5.0f}, kFiles},
     RESULT_BIT_APKDATA, -1, MODULE_APK, true, &Make<APKData>},
    {MODULE_IMAGE, RESULT_BIT_IMAGE, 9, BackupCounts::Image, BackupCounts::ImageSize, PackageLayout::ImageCount,
     &MyZip::SetImageCount, &FILESTATUS::bImage,
     4, 25, "IDS_VIRTUAL_IMAGEINFO_CORE", "IDS_VIRTUAL_IMAGEINFO_CORE",
     "IMAGE.zip", "BackUpImage", "temp Image", "Image", "images", nullptr, "picture", 8,
     Step::Files, T::W_IMAGE_START, 2, {kStart, kFiles, kNone},
     RESULT_BIT_IMAGE, -1, -1, true, &Make<Image>},
    {MODULE_VIDEO, RESULT_BIT_VIDEO, 10, BackupCounts::Video, BackupCounts::VideoSize, PackageLayout::VideoCount,
     &MyZip::SetVideoCount, &FILESTATUS::bVideo,
     4, 26, "IDS_VIRTUAL_IDENTIFER_VEDIOTEXT", "IDS_VIRTUAL_IDENTIFER_VEDIOTEXT",
     "VIDEO.zip", "BackUpVidio", "temp Video", "Video", "videos", nullptr, "video", 9,
     Step::Files, T::W_VIDEO_START, 2, {kStart, kFiles, kNone},
     RESULT_BIT_VIDEO, -1, -1, true, &Make<Video>},
    {MODULE_AUDIO, RESULT_BIT_AUDIO, 11, BackupCounts::Audio, BackupCounts::AudioSize, PackageLayout::AudioCount,
     &MyZip::SetAudioCount, &FILESTATUS::bAudio,
     5, -1, "IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT",
     "AUDIO.zip", "BackUpAudio", "temp Audio", "Audio", "audio", nullptr, "music", 7,
     Step::Files, T::W_AUDIO_START, 2, {kStart, kFiles, kNone},
     RESULT_BIT_AUDIO, -1, -1, true, &Make<Audio>},
    // Call log, calendar and e-mail share one tile; the call log's weights
    // stand for the tile whenever any of the three is chosen.
    {MODULE_CALLLOG, RESULT_BIT_CALLLOG, 5, BackupCounts::CallLog, -1, PackageLayout::CallLogCount,
     &MyZip::SetCallLogCount, &FILESTATUS::bCallLog,
     6, 21, "IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT", nullptr,
     "CALLLOG.zip", "BackUpCallog", nullptr, nullptr, "calls", nullptr, "callRecords", 4,
     Step::Record, T::W_CALLLOG_READ, 2, {Read(50.0f), kCopy, kNone},
     kOtherRecords, -1, -1, true, &Make<CallLog>},
    {MODULE_CALENDAR, RESULT_BIT_CALENDAR, 2, BackupCounts::Calendar, -1, PackageLayout::CalendarCount,
     &MyZip::SetCalendarCount, &FILESTATUS::bCalendar,
     6, 23, "IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT", nullptr,
     "CALENDAR.zip", "BackUpCal", nullptr, nullptr, "calendar", "Schedule", "schedule", 3,
     Step::Record, T::W_CALENDAR_READ, 2, {Read(50.0f), kCopy, kNone},
     RESULT_BIT_CALENDAR, -1, -1, true, &Make<Calendar>},
    {MODULE_EMAIL, RESULT_BIT_EMAIL, 6, BackupCounts::Email, -1, PackageLayout::EmailCount,
     &MyZip::SetEmailCount, &FILESTATUS::bEmail,
     6, 22, "IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT", nullptr,
     "EMAIL.zip", "BackUpEmail", nullptr, nullptr, "email", "Email", nullptr, -1,
     Step::Record, T::W_EMAIL_READ, 2, {Read(50.0f), kCopy, kNone},
     RESULT_BIT_EMAIL, -1, -1, true, &Make<Email>},
    // Bookmarks are listed under the tile but never backed up.
    {MODULE_BOOKMARK, RESULT_BIT_BOOKMARK, 7, BackupCounts::Bookmark, -1, PackageLayout::BookmarkCount,
     &MyZip::SetBookmarkCount, &FILESTATUS::bBookmark,
     6, 28, "IDS_BACKUPUIPLUGIN_BIGBUTTON_BOOKMARK_TEXT", nullptr,
     "BOOKMARK.zip", "BackUpBookmark", nullptr, nullptr, "bookmarks", "Bookmark", nullptr, -1,
     Step::Record, T::W_BOOKMARK_READ, 2, {Read(50.0f), kCopy, kNone},
     0, -1, -1, false, &Make<Bookmark>},
};

const QList<BackupTile> kTiles = {
    {0, "contacts", "contacts", "PB", "IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT", "Contacts", false, 1024, false},
    {1, "messages", "messages", "SMS", "IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT", "Information", false, 102400,
     false},
    {29, "apps", "applications", "APP", "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT", "Application", true, 1024,
     false},
    {3, "appdata", "applications", "APP", "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPDATA_TEXT", "AppData", true, 1024, false},
    {4, "media", "images and videos", "Vedio/Image", "IDS_BACKUPUIPLUGIN_BIGBUTTON_IMAGEVEDIO_TEXT", "ImageVedio", true,
     1024, false},
    {5, "music", "music", "Music", "IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT", "MusicItem", true, 1024, false},
    {6, "other", "call log, calendar and e-mail", "Other", "IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT", "Other", false,
     1024, true},
};
// clang-format on
} // namespace

float BackupKind::Weight(int nWeight, int nBasis) const
{
    if (nWeight < 0 || nWeight >= nWeightCount)
        return 0.0f;
    const WeightRule &rule = weights[nWeight];
    // Sizes are counted unsigned.
    const float fBasis = step == Step::Record ? static_cast<float>(nBasis)
                                              : static_cast<float>(static_cast<unsigned int>(nBasis));
    return qMax(rule.fMul * fBasis / rule.fDiv, rule.fMin);
}

const QList<BackupKind> &BackupKinds::All()
{
    return kKinds;
}

const QList<BackupTile> &BackupKinds::Tiles()
{
    return kTiles;
}

const BackupKind *BackupKinds::ByCode(int nModuleCode)
{
    for (const BackupKind &kind : kKinds) {
        if (kind.nCode == nModuleCode)
            return &kind;
    }
    return nullptr;
}

const BackupKind *BackupKinds::ByProgressId(int nDisplayId)
{
    for (const BackupKind &kind : kKinds) {
        if (kind.szProgressNameKey && kind.ProgressId() == nDisplayId)
            return &kind;
    }
    return nullptr;
}

const BackupTile *BackupKinds::Tile(int nTileId)
{
    for (const BackupTile &tile : kTiles) {
        if (tile.nId == nTileId)
            return &tile;
    }
    return nullptr;
}

QList<const BackupKind *> BackupKinds::OfTile(int nTileId)
{
    QList<const BackupKind *> list;
    for (const BackupKind &kind : kKinds) {
        if (kind.nTileId == nTileId && kind.bRuns)
            list.append(&kind);
    }
    return list;
}

bool BackupKinds::IsSelected(const BackupItems &items, const BackupKind &kind)
{
    return items.Slot(kind.nItemSlot);
}

int BackupKinds::SelectedMask(const BackupItems &items)
{
    int nMask = 0;
    for (const BackupKind &kind : kKinds) {
        if (IsSelected(items, kind))
            nMask |= kind.nResultBit;
    }
    return nMask;
}

void BackupKinds::SelectTile(int nTileId, BackupItems &items)
{
    for (const BackupKind *pKind : OfTile(nTileId))
        items.Slot(pKind->nItemSlot) = true;
}

bool BackupKinds::HoldsTile(const BackupItems &items, int nTileId)
{
    for (const BackupKind *pKind : OfTile(nTileId)) {
        if (IsSelected(items, *pKind))
            return true;
    }
    return false;
}

bool BackupKinds::HoldsWholeTile(const BackupItems &items, int nTileId)
{
    const QList<const BackupKind *> listKinds = OfTile(nTileId);
    for (const BackupKind *pKind : listKinds) {
        if (!IsSelected(items, *pKind))
            return false;
    }
    return !listKinds.isEmpty();
}

int BackupKinds::WideTileId()
{
    for (const BackupTile &tile : kTiles) {
        if (tile.bWide)
            return tile.nId;
    }
    return -1;
}

bool BackupKinds::IsWideTile(int nTileId)
{
    const BackupTile *pTile = Tile(nTileId);
    return pTile && pTile->bWide;
}

QString BackupKinds::ObjectWord(int nDisplayId)
{
    if (const BackupTile *pTile = Tile(nDisplayId))
        return QLatin1String(pTile->szObjectWord);
    for (const BackupKind &kind : kKinds) {
        if (kind.nSubId == nDisplayId && kind.szObjectWord)
            return QLatin1String(kind.szObjectWord);
    }
    return QLatin1String(Tile(WideTileId())->szObjectWord);
}

QList<const BackupKind *> BackupKinds::SubItemsOf(int nTileId, bool bRunningOnly)
{
    QList<const BackupKind *> list;
    for (const BackupKind &kind : kKinds) {
        if (kind.nTileId == nTileId && kind.nSubId >= 0 && (kind.bRuns || !bRunningOnly))
            list.append(&kind);
    }
    std::sort(list.begin(), list.end(),
              [](const BackupKind *pFirst, const BackupKind *pSecond) { return pFirst->nSubId < pSecond->nSubId; });
    return list;
}

QStringList BackupKinds::UsageNames(const BackupItems &items)
{
    QList<const BackupKind *> list;
    for (const BackupKind &kind : kKinds) {
        if (kind.szUsageName && IsSelected(items, kind))
            list.append(&kind);
    }
    std::sort(list.begin(), list.end(), [](const BackupKind *pFirst, const BackupKind *pSecond) {
        return pFirst->nUsageOrder < pSecond->nUsageOrder;
    });
    QStringList listNames;
    for (const BackupKind *pKind : list)
        listNames << QLatin1String(pKind->szUsageName);
    return listNames;
}

QStringList BackupKinds::TempFileNames()
{
    QStringList list;
    for (const BackupKind &kind : kKinds)
        list << QLatin1String(kind.szResultFile);
    list << QLatin1String(TempPackageName());
    return list;
}

const char *BackupKinds::TempPackageName()
{
    return "backup.zip";
}
