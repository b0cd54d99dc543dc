#include "MyZip.h"

#include "LogLine.h"
#include "PackageReader.h"

#include <host/CommonUtils.h>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>
#include <cstring>

#include <zlib.h>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\MyZip";

namespace
{
// The writer's compressed stream: a bigger buffer than zlib's default
// saves calls without costing much memory.
const unsigned kGzBufferSize = 256 * 1024;
const quint64 kMaxEntrySize = Q_UINT64_C(0xFFFFFFFF);

// Messages that the readers write as bare text.
void WarnBare(const char *szText)
{
    qWarning().noquote() << QString::fromLatin1(szText);
}

void LogGzopen(const char *szFunction, int nLine)
{
    LogLine::WarningPlain(kLogSource, szFunction, QString::number(nLine) + QStringLiteral(" gzopen()"));
}

// Cuts an 8-bit text to at most nMax bytes without splitting a character.
QByteArray CutAtCharacter(const QByteArray &baText, int nMax)
{
    if (baText.size() <= nMax)
        return baText;
    const QString strText = QString::fromLocal8Bit(baText);
    if (strText.toLocal8Bit() != baText)
        return baText.left(nMax); // not text in the local encoding: cut the bytes
    QByteArray baCut;
    for (int i = 0; i < strText.size();) {
        const int nUnits = strText.at(i).isHighSurrogate() && i + 1 < strText.size() ? 2 : 1;
        const QByteArray baChar = strText.mid(i, nUnits).toLocal8Bit();
        if (baCut.size() + baChar.size() > nMax)
            break;
        baCut += baChar;
        i += nUnits;
    }
    return baCut;
}

void FillNames(const BackUpHead &head, QList<QByteArray> &listNames)
{
    const quint32 nCount = qMin<quint32>(head.FileCount, BackUpHead::kMaxEntries);
    for (quint32 i = 0; i < nCount; ++i)
        listNames.append(PackageLayout::FieldText(head.Name[i], BackUpHead::kNameSize));
}

// Counts leave the reader with the contact count first, then the text
// messages, then index 2 onwards.
void FillCounts(const BackUpHead &head, int nCounts, quint32 *pnCounts)
{
    for (int i = 0; i < nCounts; ++i)
        pnCounts[i] = head.Counts[i];
    if (nCounts > 1) {
        pnCounts[0] = head.Counts[PackageLayout::PBCount];
        pnCounts[1] = head.Counts[PackageLayout::SMSCount];
    }
}

// Creates a new file in the output folder for an entry's content to arrive
// in; a short name of its own, so that any name that fits the folder fits.
bool OpenPartFile(const QDir &folder, QFile &part)
{
    for (int nTry = 0; nTry < 100; ++nTry) {
        part.setFileName(folder.filePath(QStringLiteral(".backup-part-%1")
                                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))));
        if (part.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (!QFileInfo(part.fileName()).exists())
            return false; // not a name clash: the folder cannot be written
    }
    return false;
}

bool AllCountsZero(const BackUpHead &head, int nCounts)
{
    for (int i = 0; i < nCounts; ++i) {
        if (head.Counts[i] != 0)
            return false;
    }
    return true;
}
} // namespace

MyZip::MyZip() : m_pWriteHead(new BackUpHead)
{
    for (auto &pHead : m_pReadHeads)
        pHead.reset(new BackUpHead);
}

MyZip::~MyZip() = default;

bool MyZip::Fail(const char *szFunction, const QString &strText)
{
    m_strLastError = strText;
    LogLine::Warning(kLogSource, szFunction, strText);
    return false;
}

// ---------------------------------------------------------------- writing

void MyZip::ClearFh()
{
    m_pWriteHead->Clear();
    ReadHead(PackageLayout::Fh).Clear();
}

void MyZip::SetDeviceName(const char *szName)
{
    std::memset(m_pWriteHead->DeviceName, 0, sizeof(m_pWriteHead->DeviceName));
    if (!szName) {
        LOG_ARG_NULL("SetDeviceName");
        return;
    }
    const QByteArray baName = CutAtCharacter(QByteArray(szName), BackUpHead::kDeviceNameSize - 1);
    std::memcpy(m_pWriteHead->DeviceName, baName.constData(), size_t(baName.size()));
}

bool MyZip::AddFile(const char *szPath)
{
    if (!szPath) {
        LOG_ARG_NULL("AddFile");
        m_strLastError = QStringLiteral("no path given");
        return false;
    }
    if (m_pWriteHead->FileCount >= quint32(kMaxWriteEntries))
        return Fail("AddFile", QStringLiteral("too many files"));
    const size_t nLength = std::strlen(szPath);
    if (nLength == 0)
        return Fail("AddFile", QStringLiteral("File path is empty"));
    if (nLength > size_t(kMaxPathLength))
        return Fail("AddFile", QStringLiteral("File path is too long: %1").arg(QString::fromLocal8Bit(szPath)));
    char *pName = m_pWriteHead->Name[m_pWriteHead->FileCount];
    std::memset(pName, 0, BackUpHead::kNameSize);
    std::memcpy(pName, szPath, nLength);
    ++m_pWriteHead->FileCount;
    return true;
}

void MyZip::SetCount(int nIndex, quint32 nCount)
{
    m_pWriteHead->Counts[nIndex] = nCount;
}

void MyZip::SetSMSCount(quint32 nCount) { SetCount(PackageLayout::SMSCount, nCount); }
void MyZip::SetPBCount(quint32 nCount) { SetCount(PackageLayout::PBCount, nCount); }
void MyZip::SetCalendarCount(quint32 nCount) { SetCount(PackageLayout::CalendarCount, nCount); }
void MyZip::SetAPPCount(quint32 nCount) { SetCount(PackageLayout::APPCount, nCount); }
void MyZip::SetCallLogCount(quint32 nCount) { SetCount(PackageLayout::CallLogCount, nCount); }
void MyZip::SetEmailCount(quint32 nCount) { SetCount(PackageLayout::EmailCount, nCount); }
void MyZip::SetBookmarkCount(quint32 nCount) { SetCount(PackageLayout::BookmarkCount, nCount); }
void MyZip::SetAPPDataCount(quint32 nCount) { SetCount(PackageLayout::APPDataCount, nCount); }
void MyZip::SetImageCount(quint32 nCount) { SetCount(PackageLayout::ImageCount, nCount); }
void MyZip::SetVideoCount(quint32 nCount) { SetCount(PackageLayout::VideoCount, nCount); }
void MyZip::SetAudioCount(quint32 nCount) { SetCount(PackageLayout::AudioCount, nCount); }
void MyZip::SetMMSCount(quint32 nCount) { SetCount(PackageLayout::MMSCount, nCount); }

bool MyZip::SetOutPutFile(const char *szPath)
{
    m_baOutPutFile.clear();
    if (!szPath) {
        LOG_ARG_NULL("SetOutPutFile");
        return false;
    }
    LogLine::WarningPlain(kLogSource, "SetOutPutFile", QString::fromLocal8Bit(szPath));
    if (std::strlen(szPath) > size_t(kMaxPathLength))
        return Fail("SetOutPutFile",
                    QStringLiteral("Output file path is too long: %1").arg(QString::fromLocal8Bit(szPath)));
    m_baOutPutFile = szPath;
    return true;
}

bool MyZip::DoMakeZip(bool bDeleteSources)
{
    LOG_SCOPE("DoMakeZip");
    BackUpHead &head = *m_pWriteHead;
    if (head.FileCount == 0)
        return Fail("DoMakeZip", QStringLiteral("NO file is added"));
    if (m_baOutPutFile.isEmpty())
        return Fail("DoMakeZip", QStringLiteral("NO output file position"));
    for (quint32 i = 0; i < head.FileCount; ++i) {
        const QFileInfo info(QString::fromLocal8Bit(head.Name[i]));
        if (!info.exists())
            return Fail("DoMakeZip", QStringLiteral("File can not exists"));
        // Sizes are 32-bit: a larger entry cannot be described, so refuse it
        // rather than write a wrong size.
        if (quint64(info.size()) > kMaxEntrySize)
            return Fail("DoMakeZip", QStringLiteral("File is too large for the package (4 GiB or more): %1")
                                         .arg(info.filePath()));
        head.Size[i] = quint32(info.size());
    }
    LogLine::WarningPlain(kLogSource, "DoMakeZip", QString::fromLocal8Bit(m_baOutPutFile));
    if (!WritePackage()) {
        // Never leave a half-written package where a good one is expected.
        QFile::remove(QString::fromLocal8Bit(m_baOutPutFile));
        return false;
    }
    if (bDeleteSources) {
        for (quint32 i = 0; i < head.FileCount; ++i)
            QFile::remove(QString::fromLocal8Bit(head.Name[i]));
    }
    head.Clear();
    m_strLastError.clear();
    return true;
}

bool MyZip::WritePackage()
{
    BackUpHead &head = *m_pWriteHead;
    gzFile gz = gzopen(m_baOutPutFile.constData(), "wb");
    if (!gz)
        return Fail("DoMakeZip", QStringLiteral("Create Output File Failed"));
    gzbuffer(gz, kGzBufferSize);

    std::memset(head.Version, 0, sizeof(head.Version));
    const QByteArray baHostVersion =
        CommonUtils::GetSettings(QStringLiteral("version"), QStringLiteral("version")).toLocal8Bit();
    std::snprintf(head.Version, sizeof(head.Version), "%s%s", PackageLayout::VersionPrefix(),
                  baHostVersion.constData());

    const QByteArray baHead = PackageLayout::Get(PackageLayout::MMS).Serialize(head);
    if (gzwrite(gz, baHead.constData(), unsigned(baHead.size())) != baHead.size()) {
        gzclose(gz);
        return Fail("DoMakeZip", QStringLiteral("write pakeage error"));
    }

    QByteArray baChunk;
    for (quint32 i = 0; i < head.FileCount; ++i) {
        const QString strSource = QString::fromLocal8Bit(head.Name[i]);
        if (!QFileInfo::exists(strSource)) {
            gzclose(gz);
            return Fail("DoMakeZip", QStringLiteral("File can not\texists"));
        }
        // Read-only: sources need not be writable, and are never changed.
        QFile source(strSource);
        if (!source.open(QIODevice::ReadOnly)) {
            gzclose(gz);
            return Fail("DoMakeZip", QStringLiteral("File can not be open"));
        }
        qint64 nLeft = head.Size[i];
        if (baChunk.size() < qMin(nLeft, PackageReader::kChunkSize))
            baChunk.resize(int(qMin(nLeft, PackageReader::kChunkSize)));
        while (nLeft > 0) {
            const qint64 nWant = qMin(nLeft, PackageReader::kChunkSize);
            const qint64 nRead = source.read(baChunk.data(), nWant);
            // A file that shrank since its size was taken is a read error.
            if (nRead != nWant) {
                gzclose(gz);
                return Fail("DoMakeZip", QStringLiteral("read error"));
            }
            if (gzwrite(gz, baChunk.constData(), unsigned(nRead)) != int(nRead)) {
                gzclose(gz);
                return Fail("DoMakeZip", QStringLiteral("write pakeage error"));
            }
            nLeft -= nRead;
        }
    }
    // Closing flushes the last compressed block; a failure there (a full
    // disk) is a failed package too.
    if (gzclose(gz) != Z_OK)
        return Fail("DoMakeZip", QStringLiteral("write pakeage error"));
    return true;
}

// ---------------------------------------------------------------- reading

int MyZip::GetPkgVersion(const char *szPath, char *szVersion)
{
    if (!szPath || !szVersion) {
        LOG_ARG_NULL("GetPkgVersion");
        return -1;
    }
    gzFile gz = gzopen(szPath, "rb");
    LogGzopen("GetPkgVersion", __LINE__);
    if (!gz) {
        WarnBare("open zip failed");
        m_strLastError = QStringLiteral("cannot open the package");
        return -1;
    }
    std::memset(szVersion, 0, kVersionSize);
    if (gzread(gz, szVersion, kVersionSize) < 0) {
        gzclose(gz);
        WarnBare("read version failed");
        m_strLastError = QStringLiteral("cannot read the package's version");
        return -2;
    }
    gzclose(gz);
    return 0;
}

bool MyZip::IsVersionedPkg(const char *szVersion)
{
    return PackageLayout::IsVersioned(szVersion);
}

bool MyZip::IsSupportMMS(const char *szVersion)
{
    return PackageLayout::SupportsMMS(szVersion);
}

bool MyZip::IsSupportMutiMedia(const char *szVersion)
{
    return PackageLayout::SupportsMedia(szVersion);
}

void MyZip::UnZipPkgHead(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts,
                         QByteArray &baDeviceName)
{
    if (!szPath || !pnCounts) {
        LOG_ARG_NULL("UnZipPkgHead");
        return;
    }
    char szVersion[kVersionSize];
    GetPkgVersion(szPath, szVersion);
    m_bVersioned = IsVersionedPkg(szVersion);
    if (!m_bVersioned) {
        DoUnZipHead(szPath, listNames, pnCounts, baDeviceName);
    } else {
        switch (PackageReader::ChooseVersionedLayout(szVersion)) {
        case PackageLayout::MMS: UnZipPkgHead_MMS(szPath, listNames, pnCounts, baDeviceName); break;
        case PackageLayout::B610: UnZipPkgHead_B610(szPath, listNames, pnCounts, baDeviceName); break;
        default: UnZipPkgHead_B400(szPath, listNames, pnCounts, baDeviceName); break;
        }
    }
    const BackUpHead &fh = ReadHead(PackageLayout::Fh);
    LogLine::WarningPlain(kLogSource, "UnZipPkgHead",
                          QString::asprintf("%d sizeof SMSCount: %u PBCount: %u CalendarCount: %u SYSCount: %u "
                                            "CallLogCount: %u EmailCount: %u BookmarkCount: %u",
                                            __LINE__, fh.Counts[0], fh.Counts[1], fh.Counts[2], fh.Counts[3],
                                            fh.Counts[5], fh.Counts[6], fh.Counts[7]));
    if (!m_bVersioned) {
        const int nFhCounts = PackageLayout::Get(PackageLayout::Fh).nCounts;
        for (int i = nFhCounts; i < BackUpHead::kMaxCounts; ++i)
            pnCounts[i] = 0;
        if (AllCountsZero(fh, nFhCounts))
            WarnBare("old version fh is zero");
    }
}

int MyZip::ReadVersionedHead(const char *szPath, PackageLayout::Id layout, const char *szZeroText,
                             QList<QByteArray> &listNames, quint32 *pnCounts, QByteArray &baDeviceName)
{
    const char *szFunction = layout == PackageLayout::MMS    ? "UnZipPkgHead_MMS"
                             : layout == PackageLayout::B610 ? "UnZipPkgHead_B610"
                                                             : "UnZipPkgHead_B400";
    if (!szPath || !pnCounts) {
        LOG_ARG_NULL(szFunction);
        return -1;
    }
    BackUpHead &head = ReadHead(layout);
    head.Clear();
    PackageReader reader;
    const PackageReader::OpenResult result = reader.Open(szPath, layout);
    LogGzopen(szFunction, __LINE__);
    m_strLastError = reader.ErrorText();
    if (result == PackageReader::CannotOpen) {
        WarnBare("open zip failed");
        return -1;
    }
    if (result != PackageReader::OpenOk) {
        WarnBare("read BackUpHead failed");
        return -2;
    }
    head = reader.Head();
    reader.Close();
    const int nCounts = PackageLayout::Get(layout).nCounts;
    if (AllCountsZero(head, nCounts)) {
        WarnBare(szZeroText);
        m_strLastError = QStringLiteral("every count in the header is zero");
        return -3;
    }
    FillNames(head, listNames);
    FillCounts(head, nCounts, pnCounts);
    baDeviceName = PackageLayout::FieldText(head.DeviceName, BackUpHead::kDeviceNameSize);
    return 0;
}

int MyZip::UnZipPkgHead_MMS(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts,
                            QByteArray &baDeviceName)
{
    return ReadVersionedHead(szPath, PackageLayout::MMS, "buh is zero", listNames, pnCounts, baDeviceName);
}

int MyZip::UnZipPkgHead_B610(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts,
                             QByteArray &baDeviceName)
{
    return ReadVersionedHead(szPath, PackageLayout::B610, "buh_media is zero", listNames, pnCounts, baDeviceName);
}

int MyZip::UnZipPkgHead_B400(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts,
                             QByteArray &baDeviceName)
{
    return ReadVersionedHead(szPath, PackageLayout::B400, "buh_B400 is zero", listNames, pnCounts, baDeviceName);
}

void MyZip::DoUnZipHead(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts,
                        QByteArray &baDeviceName)
{
    if (!szPath || !pnCounts) {
        LOG_ARG_NULL("DoUnZipHead");
        return;
    }
    const PackageLayout &fhLayout = PackageLayout::Get(PackageLayout::Fh);
    BackUpHead &fh = ReadHead(PackageLayout::Fh);
    fh.Clear();
    QByteArray baPrefix;
    QString strError;
    const bool bRead = PackageReader::ReadPrefix(szPath, fhLayout.nHeadSize, baPrefix, &strError);
    LogGzopen("DoUnZipHead", __LINE__);
    if (!bRead && !QFileInfo::exists(QString::fromLocal8Bit(szPath))) {
        WarnBare("open zip failed");
        m_strLastError = strError;
        return;
    }
    // The fh record is the largest unversioned header; fh1 and fh2 packages
    // may hold less, but never less than the smallest header.
    if (!bRead || baPrefix.size() < qint64(PackageLayout::kMinUnversionedHeadSize)) {
        WarnBare("read zip failed");
        m_strLastError = bRead ? QStringLiteral("the package ends inside its header") : strError;
        return;
    }
    baPrefix.append(QByteArray(int(fhLayout.nHeadSize) - baPrefix.size(), '\0'));
    fhLayout.Parse(baPrefix.constData(), baPrefix.size(), fh);
    if (fh.FileCount < 1 || fh.FileCount > 12) {
        WarnBare("fh is not right");
        m_strLastError = QStringLiteral("the unversioned header's file count is not between 1 and 12");
        return;
    }
    LogLine::WarningPlain(kLogSource, "DoUnZipHead",
                          QString::asprintf("%d FileCount: %u SMSCount: %u PBCount: %u CalendarCount: %u SYSCount: %u",
                                            __LINE__, fh.FileCount, fh.Counts[0], fh.Counts[1], fh.Counts[2],
                                            fh.Counts[3]));
    if (AllCountsZero(fh, fhLayout.nCounts)) {
        WarnBare("fh is zero");
        m_strLastError = QStringLiteral("every count in the header is zero");
        return;
    }
    LogLine::WarningPlain(kLogSource, "DoUnZipHead", QString::asprintf("%d for", __LINE__));
    FillNames(fh, listNames);
    FillCounts(fh, fhLayout.nCounts, pnCounts);
    baDeviceName = PackageLayout::FieldText(fh.DeviceName, BackUpHead::kDeviceNameSize);
}

bool MyZip::UnZipPkg(const char *szPath, const char *szFolder)
{
    if (!m_bVersioned)
        return DoUnZip(szPath, szFolder);
    char szVersion[kVersionSize];
    std::memset(szVersion, 0, sizeof(szVersion));
    if (szPath)
        GetPkgVersion(szPath, szVersion);
    switch (PackageReader::ChooseVersionedLayout(szVersion)) {
    case PackageLayout::MMS: return UnZipPkg_MMS(szPath, szFolder);
    case PackageLayout::B610: return UnZipPkg_B610(szPath, szFolder);
    default: return UnZipPkg_B400(szPath, szFolder);
    }
}

bool MyZip::DoUnZip(const char *szPath, const char *szFolder)
{
    switch (PackageReader::ChooseUnversionedLayout(ReadHead(PackageLayout::Fh))) {
    case PackageLayout::Fh: return DoUnZipfh(szPath, szFolder);
    case PackageLayout::Fh2: return DoUnZipfh2(szPath, szFolder);
    default: return DoUnZipfh1(szPath, szFolder);
    }
}

bool MyZip::UnZipPkg_MMS(const char *szPath, const char *szFolder)
{
    return Extract(szPath, szFolder, PackageLayout::MMS, "UnZipPkg_MMS");
}

bool MyZip::UnZipPkg_B610(const char *szPath, const char *szFolder)
{
    return Extract(szPath, szFolder, PackageLayout::B610, "UnZipPkg_B610");
}

bool MyZip::UnZipPkg_B400(const char *szPath, const char *szFolder)
{
    return Extract(szPath, szFolder, PackageLayout::B400, "UnZipPkg_B400");
}

bool MyZip::DoUnZipfh(const char *szPath, const char *szFolder)
{
    return Extract(szPath, szFolder, PackageLayout::Fh, "DoUnZipfh");
}

bool MyZip::DoUnZipfh1(const char *szPath, const char *szFolder)
{
    return Extract(szPath, szFolder, PackageLayout::Fh1, "DoUnZipfh1");
}

bool MyZip::DoUnZipfh2(const char *szPath, const char *szFolder)
{
    return Extract(szPath, szFolder, PackageLayout::Fh2, "DoUnZipfh2");
}

bool MyZip::Extract(const char *szPath, const char *szFolder, PackageLayout::Id layout, const char *szFunction)
{
    m_listExtracted.clear();
    m_listUnconfirmed.clear();
    m_listSkipped.clear();
    if (!szPath || !szFolder) {
        LOG_ARG_NULL(szFunction);
        m_strLastError = QStringLiteral("no package or folder given");
        return false;
    }
    // The two versioned layouts of the newest releases say "package", the
    // older ones "pakeage".
    const char *szReadError =
        layout == PackageLayout::MMS || layout == PackageLayout::B610 ? "read package error" : "read pakeage error";
    BackUpHead &head = ReadHead(layout);
    head.Clear();

    PackageReader reader;
    const PackageReader::OpenResult opened = reader.Open(szPath, layout);
    if (opened == PackageReader::CannotOpen)
        return Fail(szFunction, reader.ErrorText());
    if (opened != PackageReader::OpenOk) {
        LogLine::Warning(kLogSource, szFunction, QStringLiteral("read pakeage head error"));
        m_strLastError = reader.ErrorText();
        return false;
    }
    head = reader.Head();

    // Entries land directly in the folder, whether or not its text ends with
    // a separator. Each arrives in a part file of its own; only once the
    // whole stream has been read, its length matched the table and its
    // checksum confirmed the bytes do the entries take their names.
    QList<ArrivedEntry> listArrived;
    bool bOk = ReadEntries(reader, QDir(QString::fromLocal8Bit(szFolder)), szFunction, szReadError, listArrived);
    if (bOk)
        bOk = CheckRest(reader, szFunction, szReadError);
    reader.Close();
    head.Clear();
    return NameArrived(listArrived, bOk, szFunction);
}

bool MyZip::ReadEntries(PackageReader &reader, const QDir &folder, const char *szFunction, const char *szReadError,
                        QList<ArrivedEntry> &listArrived)
{
    for (int i = 0; i < reader.EntryCount(); ++i) {
        const QByteArray baName = PackageLayout::TargetName(reader.EntryName(i));
        if (!baName.isEmpty()) {
            if (!ReadEntry(reader, folder.filePath(QString::fromLocal8Bit(baName)), folder, szFunction, szReadError,
                           listArrived))
                return false;
            continue;
        }
        LogLine::Warning(kLogSource, szFunction,
                         QStringLiteral("skip entry %1: no usable file name in \"%2\"")
                             .arg(i)
                             .arg(QString::fromLocal8Bit(reader.EntryName(i))));
        m_listSkipped.append(i);
        if (reader.ReadEntry(nullptr) != PackageReader::ReadOk) {
            Fail(szFunction, QString::fromLatin1(szReadError));
            m_strLastError = reader.ErrorText();
            return false;
        }
    }
    return true;
}

bool MyZip::ReadEntry(PackageReader &reader, const QString &strTarget, const QDir &folder, const char *szFunction,
                      const char *szReadError, QList<ArrivedEntry> &listArrived)
{
    QFile part;
    if (!OpenPartFile(folder, part)) {
        Fail(szFunction, QStringLiteral("can not open file"));
        m_strLastError = QStringLiteral("cannot write %1: %2").arg(strTarget, part.errorString());
        return false;
    }
    const PackageReader::ReadResult result = reader.ReadEntry(&part);
    if (result == PackageReader::ReadOk && part.flush()) {
        part.close();
        listArrived.append({part.fileName(), strTarget});
        return true;
    }
    const QString strWriteError = part.errorString();
    part.close();
    part.remove();
    if (result == PackageReader::WriteFailed || result == PackageReader::ReadOk) {
        Fail(szFunction, QStringLiteral("write error"));
        m_strLastError = QStringLiteral("cannot write %1: %2").arg(strTarget, strWriteError);
    } else {
        Fail(szFunction, QString::fromLatin1(szReadError));
        m_strLastError = reader.ErrorText();
    }
    return false;
}

bool MyZip::CheckRest(PackageReader &reader, const char *szFunction, const char *szReadError)
{
    qint64 nLeftOver = 0;
    const PackageReader::ReadResult rest = reader.ReadRest(&nLeftOver);
    if (rest != PackageReader::ReadOk) {
        Fail(szFunction, QString::fromLatin1(szReadError));
        m_strLastError = reader.ErrorText();
        return false;
    }
    if (nLeftOver > 0) {
        Fail(szFunction, QString::fromLatin1(szReadError));
        m_strLastError = QStringLiteral("%1 bytes follow the last entry: the table does not describe the "
                                        "package's content")
                             .arg(nLeftOver);
        return false;
    }
    if (!reader.IsGzip()) {
        Fail(szFunction, QString::fromLatin1(szReadError));
        m_strLastError = QStringLiteral("the file is not gzip-compressed, so nothing confirms its content");
        return false;
    }
    return true;
}

bool MyZip::NameArrived(const QList<ArrivedEntry> &listArrived, bool bOk, const char *szFunction)
{
    // Confirmed entries take their names; entries read in full that nothing
    // confirms are kept under a name that says so.
    const QString strMark = bOk ? QString() : QStringLiteral(".unconfirmed");
    for (const ArrivedEntry &arrived : listArrived) {
        const QString strFinal = arrived.strTarget + strMark;
        // A link planted in the folder would redirect the write elsewhere.
        const bool bLink = QFileInfo(strFinal).isSymLink();
        if (!bLink)
            QFile::remove(strFinal);
        if (bLink || !QFile::rename(arrived.strPart, strFinal)) {
            QFile::remove(arrived.strPart);
            const QString strError = bLink ? QStringLiteral("%1 is a symbolic link").arg(strFinal)
                                           : QStringLiteral("cannot write %1").arg(strFinal);
            // The first failure is the one worth telling.
            if (bOk) {
                bOk = Fail(szFunction, bLink ? QStringLiteral("can not open file") : QStringLiteral("write error"));
                m_strLastError = strError;
            }
            continue;
        }
        (strMark.isEmpty() ? m_listExtracted : m_listUnconfirmed).append(strFinal);
    }
    return bOk;
}
