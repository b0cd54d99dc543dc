#pragma once

#include <QtGlobal>

#include <cstring>

// A package header held in memory. It is wide enough for every layout: the
// unversioned layouts leave Version empty and the older layouts use only the
// first counts. Never written or read as a whole; PackageLayout serialises it
// field by field at the offsets of one layout.
struct BackUpHead
{
    static constexpr int kVersionSize = 64;
    static constexpr int kMaxEntries = 1024;
    static constexpr int kNameSize = 260;
    static constexpr int kMaxCounts = 20;
    static constexpr int kDeviceNameSize = 260;

    char Version[kVersionSize];
    quint32 FileCount;
    quint32 Size[kMaxEntries];
    char Name[kMaxEntries][kNameSize];
    quint32 Counts[kMaxCounts];
    char DeviceName[kDeviceNameSize];

    BackUpHead() { Clear(); }
    void Clear() { std::memset(static_cast<void *>(this), 0, sizeof(BackUpHead)); }
};
