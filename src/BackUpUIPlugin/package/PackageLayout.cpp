#include "PackageLayout.h"

#include <QtEndian>

#include <cstring>

namespace
{
const char *const kMMSVersion = "32.610.12";
const char *const kMediaVersion = "32.610.08";

// The version text behind "Version: DVSK ", at most 9 characters.
QByteArray VersionText(const char *szVersion)
{
    const char *pText = szVersion + PackageLayout::kVersionPrefixLength;
    return QByteArray(pText, int(strnlen(pText, 9)));
}

// Layout table: counts, header size and the offsets of every field.
const PackageLayout g_layouts[PackageLayout::kLayoutCount] = {
    {PackageLayout::MMS, "MMS", true, 20, 270744, 64, 68, 4164, 270404, 270484},
    {PackageLayout::B610, "B610", true, 19, 270740, 64, 68, 4164, 270404, 270480},
    {PackageLayout::B400, "B400", true, 16, 270728, 64, 68, 4164, 270404, 270468},
    {PackageLayout::Fh, "fh", false, 11, 270644, 0, 4, 4100, 270340, 270384},
    {PackageLayout::Fh1, "fh1", false, 4, 270616, 0, 4, 4100, 270340, 270356},
    {PackageLayout::Fh2, "fh2", false, 5, 270620, 0, 4, 4100, 270340, 270360},
};

void CopyField(char *pTarget, const char *pSource, int nWidth)
{
    // Text fields keep their NUL terminator inside the field: copy at most
    // nWidth - 1 bytes, the rest stays zero.
    std::memset(pTarget, 0, size_t(nWidth));
    const size_t nLength = strnlen(pSource, size_t(nWidth - 1));
    std::memcpy(pTarget, pSource, nLength);
}
} // namespace

const PackageLayout &PackageLayout::Get(Id id)
{
    return g_layouts[int(id) >= 0 && int(id) < kLayoutCount ? int(id) : 0];
}

const char *PackageLayout::VersionPrefix()
{
    return "Version: DVSK ";
}

bool PackageLayout::IsVersioned(const char *szVersion)
{
    return szVersion && std::memcmp(szVersion, VersionPrefix(), kVersionPrefixLength) == 0;
}

bool PackageLayout::SupportsMMS(const char *szVersion)
{
    return szVersion && qstrcmp(kMMSVersion, VersionText(szVersion).constData()) <= 0;
}

bool PackageLayout::SupportsMedia(const char *szVersion)
{
    return szVersion && qstrcmp(kMediaVersion, VersionText(szVersion).constData()) <= 0;
}

QByteArray PackageLayout::CountName(int nIndex)
{
    switch (nIndex) {
    case SMSCount: return "SMSCount";
    case PBCount: return "PBCount";
    case CalendarCount: return "CalendarCount";
    case SYSCount: return "SYSCount";
    case APPCount: return "APPCount";
    case CallLogCount: return "CallLogCount";
    case EmailCount: return "EmailCount";
    case BookmarkCount: return "BookmarkCount";
    case APPDataCount: return "APPDataCount";
    case ImageCount: return "ImageCount";
    case VideoCount: return "VideoCount";
    case AudioCount: return "AudioCount";
    case MMSCount: return "MMSCount";
    default: return "Reserved" + QByteArray::number(nIndex);
    }
}

QByteArray PackageLayout::FieldText(const char *pField, int nWidth)
{
    return QByteArray(pField, int(strnlen(pField, size_t(nWidth))));
}

QByteArray PackageLayout::TargetName(const QByteArray &baStoredName)
{
    // Packages written on Windows hold backslash paths; both separators end
    // a folder name wherever the package was written.
    const int nSlash = qMax(baStoredName.lastIndexOf('/'), baStoredName.lastIndexOf('\\'));
    const QByteArray baName = baStoredName.mid(nSlash + 1);
    if (baName.isEmpty() || baName == "." || baName == "..")
        return QByteArray();
#ifdef Q_OS_WIN
    // "C:name" would name a drive-relative path or a stream.
    if (baName.contains(':'))
        return QByteArray();
#endif
    return baName;
}

QByteArray PackageLayout::Serialize(const BackUpHead &head) const
{
    QByteArray baHead(int(nHeadSize), '\0');
    char *pData = baHead.data();
    if (bVersioned)
        CopyField(pData, head.Version, BackUpHead::kVersionSize);
    qToLittleEndian<quint32>(head.FileCount, pData + nFileCountAt);
    for (int i = 0; i < BackUpHead::kMaxEntries; ++i) {
        qToLittleEndian<quint32>(head.Size[i], pData + nSizeAt + 4 * i);
        CopyField(pData + nNameAt + BackUpHead::kNameSize * i, head.Name[i], BackUpHead::kNameSize);
    }
    for (int i = 0; i < nCounts; ++i)
        qToLittleEndian<quint32>(head.Counts[i], pData + nCountsAt + 4 * i);
    CopyField(pData + nDeviceNameAt, head.DeviceName, BackUpHead::kDeviceNameSize);
    return baHead;
}

bool PackageLayout::Parse(const char *pData, qint64 nLength, BackUpHead &head) const
{
    head.Clear();
    if (!pData || nLength < qint64(nHeadSize))
        return false;
    if (bVersioned)
        std::memcpy(head.Version, pData, BackUpHead::kVersionSize);
    head.FileCount = qFromLittleEndian<quint32>(pData + nFileCountAt);
    for (int i = 0; i < BackUpHead::kMaxEntries; ++i) {
        head.Size[i] = qFromLittleEndian<quint32>(pData + nSizeAt + 4 * i);
        std::memcpy(head.Name[i], pData + nNameAt + BackUpHead::kNameSize * i, BackUpHead::kNameSize);
    }
    for (int i = 0; i < nCounts; ++i)
        head.Counts[i] = qFromLittleEndian<quint32>(pData + nCountsAt + 4 * i);
    std::memcpy(head.DeviceName, pData + nDeviceNameAt, BackUpHead::kDeviceNameSize);
    return true;
}
