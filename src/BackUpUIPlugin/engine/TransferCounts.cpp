#include "TransferCounts.h"

TransferCounts &TransferCounts::operator+=(const TransferCounts &other)
{
    nPhoneFiles += other.nPhoneFiles;
    nPhoneBytes += other.nPhoneBytes;
    nReusedFiles += other.nReusedFiles;
    nReusedBytes += other.nReusedBytes;
    nLinkedFiles += other.nLinkedFiles;
    return *this;
}

QString TransferCounts::Describe() const
{
    return QStringLiteral("from the phone: %1 files, %2 bytes; reused: %3 files, %4 bytes (%5 linked)")
        .arg(nPhoneFiles)
        .arg(nPhoneBytes)
        .arg(nReusedFiles)
        .arg(nReusedBytes)
        .arg(nLinkedFiles);
}
