#pragma once

#include <QString>
#include <QtGlobal>

// Where the files of one backup came from: copied over the link from the
// phone, or reused from an earlier backup of the same phone on this computer
// (a hard link to the kept file, or a local copy of it where no link can be
// made).
struct TransferCounts
{
    int nPhoneFiles = 0;
    qint64 nPhoneBytes = 0;
    int nReusedFiles = 0;
    qint64 nReusedBytes = 0;
    int nLinkedFiles = 0; // of the reused files, those that are hard links

    TransferCounts &operator+=(const TransferCounts &other);
    bool IsEmpty() const { return nPhoneFiles == 0 && nReusedFiles == 0; }
    // "from the phone: 3 files, 1200 bytes; reused: 10 files, 5000 bytes (10 linked)"
    QString Describe() const;
};
