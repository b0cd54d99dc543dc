#include "PackageVerifier.h"

#include "InfoHander.h"
#include "PackageReader.h"

#include <QBuffer>
#include <QHash>

namespace
{
const qint64 kMaxInfoSize = 1024 * 1024;

QString Quoted(const QByteArray &baName)
{
    return QLatin1Char('"') + QString::fromLocal8Bit(baName) + QLatin1Char('"');
}

bool SlotIsZero(const char *pData, int nLength)
{
    for (int i = 0; i < nLength; ++i) {
        if (pData[i] != 0)
            return false;
    }
    return true;
}
} // namespace

const char *PackageVerifier::StateName(EntryState state)
{
    switch (state) {
    case EntryIntact: return "intact";
    case EntryComplete: return "complete, unconfirmed";
    case EntryDamaged: return "damaged";
    case EntryMissing: return "missing";
    }
    return "";
}

void PackageVerifier::Reset()
{
    m_bHeadRead = false;
    m_openResult = PackageReader::CannotOpen;
    m_bGzip = false;
    m_strOpenError.clear();
    m_layout = PackageLayout::MMS;
    m_baVersion.clear();
    m_baDeviceName.clear();
    m_listEntries.clear();
    m_listProblems.clear();
    m_listNotes.clear();
    m_bChecksumConfirmed = false;
    m_nLeftOver = 0;
    m_bHasInfo = false;
}

void PackageVerifier::CheckTable(const PackageReader &reader)
{
    const BackUpHead &head = reader.Head();
    if (head.FileCount == 0)
        m_listProblems << QStringLiteral("the package holds no entries");
    if (head.FileCount > quint32(BackUpHead::kMaxEntries - 1))
        m_listNotes << QStringLiteral("the table is full (%1 entries); this system writes at most %2")
                           .arg(head.FileCount)
                           .arg(BackUpHead::kMaxEntries - 1);
    // A writer leaves the unused table slots zero; data there means the
    // header was damaged or written by something else.
    bool bUnusedClean = true;
    for (int i = int(head.FileCount); i < BackUpHead::kMaxEntries && bUnusedClean; ++i)
        bUnusedClean = head.Size[i] == 0 && SlotIsZero(head.Name[i], BackUpHead::kNameSize);
    if (!bUnusedClean)
        m_listNotes << QStringLiteral("unused slots of the entry table are not empty");

    QHash<QByteArray, int> hashTargets;
    for (int i = 0; i < int(head.FileCount); ++i) {
        Entry entry;
        entry.nIndex = i;
        entry.baName = reader.EntryName(i);
        entry.baTarget = PackageLayout::TargetName(entry.baName);
        entry.nDeclared = head.Size[i];
        if (entry.baTarget.isEmpty()) {
            m_listProblems << QStringLiteral("entry %1 has no usable file name (%2); extraction skips it")
                                  .arg(i)
                                  .arg(Quoted(entry.baName));
        } else if (hashTargets.contains(entry.baTarget)) {
            m_listNotes << QStringLiteral("entries %1 and %2 both extract to %3; the later one replaces the earlier")
                               .arg(hashTargets.value(entry.baTarget))
                               .arg(i)
                               .arg(Quoted(entry.baTarget));
        }
        hashTargets.insert(entry.baTarget, i);
        m_listEntries.append(entry);
    }
    if (!m_listEntries.isEmpty() && m_listEntries.first().baTarget != "Info.xml")
        m_listNotes << QStringLiteral("the first entry is not the device information file Info.xml");
}

// The device information file must read, and the counts it gives must be
// the header's: a reader restores by one and shows the other.
void PackageVerifier::CheckInfo(const QByteArray &baContent, const BackUpHead &head)
{
    InfoHander handler;
    m_bHasInfo = handler.Parse(baContent);
    if (!m_bHasInfo) {
        m_listProblems << QStringLiteral("the Info.xml entry cannot be read: %1").arg(handler.ErrorText());
        return;
    }
    static const struct
    {
        const char *szName;
        int nIndex;
    } kCounted[] = {{"SMS", PackageLayout::SMSCount},
                    {"PB", PackageLayout::PBCount},
                    {"Calendar", PackageLayout::CalendarCount},
                    {"ApkData", PackageLayout::APPDataCount}};
    for (const auto &module : handler.Modules()) {
        for (const auto &counted : kCounted) {
            if (module.first != QLatin1String(counted.szName))
                continue;
            bool bNumber = false;
            const quint32 nInfo = module.second.trimmed().toUInt(&bNumber);
            const quint32 nHead = head.Counts[counted.nIndex];
            if (!bNumber || nInfo != nHead)
                m_listProblems << QStringLiteral("Info.xml gives %1 as %2 but the header as %3")
                                      .arg(module.first, module.second.trimmed())
                                      .arg(nHead);
        }
    }
}

bool PackageVerifier::Verify(const char *szPath)
{
    Reset();
    PackageReader reader;
    if (!OpenAndReadHead(reader, szPath))
        return false;
    CheckTable(reader);
    if (!ReadEntries(reader))
        return false;
    CheckStreamEnd(reader);
    return IsSound();
}

bool PackageVerifier::OpenAndReadHead(PackageReader &reader, const char *szPath)
{
    const PackageReader::OpenResult opened = reader.Open(szPath);
    m_openResult = opened;
    m_bGzip = reader.IsGzip();
    if (opened != PackageReader::OpenOk) {
        m_strOpenError = reader.ErrorText();
        m_listProblems << reader.ErrorText();
        if (opened != PackageReader::CannotOpen && !reader.IsGzip())
            m_listProblems << QStringLiteral("the file is not gzip-compressed");
        return false;
    }
    m_bHeadRead = true;
    m_layout = reader.Layout();
    const BackUpHead &head = reader.Head();
    if (PackageLayout::Get(m_layout).bVersioned)
        m_baVersion = PackageLayout::FieldText(head.Version, BackUpHead::kVersionSize);
    m_baDeviceName = PackageLayout::FieldText(head.DeviceName, BackUpHead::kDeviceNameSize);
    if (!reader.IsGzip())
        m_listProblems << QStringLiteral("the file is not gzip-compressed, so nothing can confirm its content");
    return true;
}

bool PackageVerifier::ReadEntries(PackageReader &reader)
{
    for (Entry &entry : m_listEntries) {
        // The device information file is small: read it to check it parses.
        QBuffer buffer;
        const bool bCheckInfo =
            entry.nIndex == 0 && entry.baTarget == "Info.xml" && qint64(entry.nDeclared) <= kMaxInfoSize;
        if (bCheckInfo)
            buffer.open(QIODevice::WriteOnly);
        const PackageReader::ReadResult result = reader.ReadEntry(bCheckInfo ? &buffer : nullptr, &entry.nHeld);
        if (result != PackageReader::ReadOk) {
            entry.state = entry.nHeld > 0 ? EntryDamaged : EntryMissing;
            m_listProblems << QStringLiteral("entry %1 (%2) declares %3 bytes but the package holds only %4: %5")
                                  .arg(entry.nIndex)
                                  .arg(Quoted(entry.baName))
                                  .arg(entry.nDeclared)
                                  .arg(entry.nHeld)
                                  .arg(reader.ErrorText());
            NoteMissingEntries();
            return false;
        }
        entry.state = EntryComplete;
        if (bCheckInfo)
            CheckInfo(buffer.data(), reader.Head());
    }
    return true;
}

void PackageVerifier::NoteMissingEntries()
{
    int nMissing = 0;
    for (const Entry &entry : m_listEntries)
        nMissing += entry.state == EntryMissing ? 1 : 0;
    if (nMissing > 0)
        m_listProblems << QStringLiteral("%1 entries after it are missing").arg(nMissing);
}

void PackageVerifier::CheckStreamEnd(PackageReader &reader)
{
    const PackageReader::ReadResult rest = reader.ReadRest(&m_nLeftOver);
    if (m_nLeftOver > 0)
        m_listProblems << QStringLiteral("%1 bytes follow the last entry").arg(m_nLeftOver);
    if (rest == PackageReader::ReadShort) {
        m_listProblems << QStringLiteral("the compressed stream is cut off before its end, so its checksum "
                                         "cannot be checked");
    } else if (rest != PackageReader::ReadOk) {
        m_listProblems << QStringLiteral("the gzip stream is damaged (%1)").arg(reader.ErrorText());
    } else if (reader.IsGzip()) {
        m_bChecksumConfirmed = true;
        // Bytes after the last entry mean the table's sizes do not describe
        // the stream: the checksum confirms the stream, not where one entry
        // ends and the next begins, so no entry is known to be byte-exact.
        if (m_nLeftOver == 0) {
            for (Entry &entry : m_listEntries)
                entry.state = EntryIntact;
        }
    }
}
