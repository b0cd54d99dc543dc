#pragma once

#include "BackUpHead.h"

#include <QByteArray>

// One header layout of the backup package and the table of all six.
// Integers are 32-bit little-endian; text fields are NUL-terminated inside
// their fixed width. The newest layout (MMS) is the one the writer uses.
class PackageLayout
{
public:
    enum Id : int
    {
        MMS = 0,
        B610,
        B400,
        Fh,
        Fh1,
        Fh2
    };
    static constexpr int kLayoutCount = 6;

    // Indices into Counts.
    enum CountIndex : int
    {
        SMSCount = 0,
        PBCount = 1,
        CalendarCount = 2,
        SYSCount = 3,
        APPCount = 4,
        CallLogCount = 5,
        EmailCount = 6,
        BookmarkCount = 7,
        APPDataCount = 10,
        ImageCount = 16,
        VideoCount = 17,
        AudioCount = 18,
        MMSCount = 19
    };

    static const PackageLayout &Get(Id id);
    // The largest header of all layouts (MMS).
    static constexpr quint32 kMaxHeadSize = 270744;
    // The smallest header of the unversioned layouts (fh1).
    static constexpr quint32 kMinUnversionedHeadSize = 270616;
    // "Version: DVSK ", the head of every versioned package.
    static const char *VersionPrefix();
    static constexpr int kVersionPrefixLength = 14;
    // Whether a header's version field (at least kVersionPrefixLength bytes)
    // starts with the version prefix; false for null.
    static bool IsVersioned(const char *szVersion);
    // Whether the version text behind the prefix is at or above the first
    // version with multimedia messages ("32.610.12"), or with media files
    // ("32.610.08"); false for null.
    static bool SupportsMMS(const char *szVersion);
    static bool SupportsMedia(const char *szVersion);
    // Name of a count slot ("SMSCount", ...; "Reserved8" for unused slots).
    static QByteArray CountName(int nIndex);
    // The text of a fixed-width field: up to its first NUL, at most nWidth bytes.
    static QByteArray FieldText(const char *pField, int nWidth);
    // The file name an entry is extracted under: the stored path behind its
    // last '/' or '\\'. Empty when that is empty, "." or "..", which no
    // extractor writes.
    static QByteArray TargetName(const QByteArray &baStoredName);

    Id id;
    const char *szName;
    bool bVersioned;
    int nCounts;
    quint32 nHeadSize;
    quint32 nFileCountAt;
    quint32 nSizeAt;
    quint32 nNameAt;
    quint32 nCountsAt;
    quint32 nDeviceNameAt;

    // Header bytes of this layout (nHeadSize long), field by field.
    QByteArray Serialize(const BackUpHead &head) const;
    // Fills head from nHeadSize bytes at pData; the fields this layout lacks
    // stay zero. False when fewer than nHeadSize bytes are given.
    bool Parse(const char *pData, qint64 nLength, BackUpHead &head) const;
};
