#include "ParseInfo.h"

#include "BackUpUILogic.h"
#include "InfoHander.h"
#include "LogLine.h"
#include "SaveFileCommit.h"

#include <QFile>
#include <QSaveFile>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\ParseInfo";

namespace
{
// Every line ends with CR LF, on every platform.
const char *const kLineEnd = "\r\n";

// One "\t<Name>value</Name>" line.
QByteArray Line(const char *szName, const QByteArray &baValue)
{
    return QByteArray("\t<") + szName + '>' + baValue + "</" + szName + '>' + kLineEnd;
}
} // namespace

ParseInfo::ParseInfo() : m_pLogic(BackUpUILogic::Instance()) {}

ParseInfo::ParseInfo(BackUpUILogic *pLogic) : m_pLogic(pLogic) {}

ParseInfo::~ParseInfo() = default;

QString ParseInfo::FileName()
{
    return QStringLiteral("Info.xml");
}

void ParseInfo::GetPhoneInfo(PhoneInfo &info)
{
    LOG_ENTERED("GetPhoneInfo");
    if (!m_pLogic) {
        LOG_ARG_NULL("GetPhoneInfo");
        return;
    }
    PhoneInfo phone;
    if (m_pLogic->GetPhoneInfo(&phone) == 0) {
        info = phone;
        LOG_LEAVED("GetPhoneInfo");
    }
}

int ParseInfo::GetBackUpCount(int nType, int *pCount, int *pSize)
{
    if (!m_pLogic) {
        LOG_ARG_NULL("GetBackUpCount");
        return -1;
    }
    return m_pLogic->GetBackUpCount(nType, pCount, pSize);
}

QByteArray ParseInfo::InfoContent(const PhoneInfo &info, const BackupItems &items, const BackupCounts &counts)
{
    // Text goes out as Latin-1 ("?" for what it cannot hold), unescaped.
    QByteArray baContent;
    baContent += QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>") + kLineEnd;
    baContent += QByteArray("<Info>") + kLineEnd;
    baContent += Line("DashBoard", info.DashBoard.toLatin1());
    baContent += Line("CVersion", info.CVersion.toLatin1());
    baContent += Line("DeviceName", info.DeviceName.toLatin1());
    baContent += Line("FirmWare", info.FirmWare.toLatin1());
    baContent += QByteArray("</Info>") + kLineEnd;
    baContent += QByteArray("<Moudle>") + kLineEnd;
    if (items.bSMS)
        baContent += Line("SMS", QByteArray::number(counts[BackupCounts::SMS]));
    if (items.bPB)
        baContent += Line("PB", QByteArray::number(counts[BackupCounts::PB]));
    if (items.bCalendar)
        baContent += Line("Calendar", QByteArray::number(counts[BackupCounts::Calendar]));
    if (items.bAPKData)
        baContent += Line("ApkData", QByteArray::number(counts[BackupCounts::APKData]));
    baContent += "</Moudle>";
    return baContent;
}

bool ParseInfo::WriteInfo(const QString &strFolder, const PhoneInfo &info, const BackupItems &items,
                          const BackupCounts &counts)
{
    m_strFullPath = strFolder + FileName();
    // All or nothing: a reader never sees half a file, and writing again
    // replaces the earlier file.
    QSaveFile file(m_strFullPath);
    if (!file.open(QIODevice::WriteOnly)) {
        LOG_WARNING("WriteInfo", QStringLiteral("can not create %1").arg(m_strFullPath));
        return false;
    }
    const QByteArray baContent = InfoContent(info, items, counts);
    if (file.write(baContent) != baContent.size())
        file.cancelWriting();
    QString strError;
    if (!SaveFileCommit::Commit(file, &strError)) {
        LOG_WARNING("WriteInfo", QStringLiteral("can not write %1: %2").arg(m_strFullPath, strError));
        return false;
    }
    return true;
}

int ParseInfo::ReadInfo(const QString &strFolder)
{
    m_strFullPath = strFolder + FileName();
    QFile file(m_strFullPath);
    // The file is a few hundred bytes; anything far larger is not ours.
    const qint64 kMaxInfoSize = 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxInfoSize)
        return 1;
    InfoHander handler;
    if (!handler.Parse(file.read(kMaxInfoSize)))
        return 1;
    m_readPhoneInfo = handler.Phone();
    m_listModules = handler.Modules();
    return 0;
}

bool ParseInfo::HasModule(const QString &strName) const
{
    for (const auto &module : m_listModules) {
        if (module.first == strName)
            return true;
    }
    return false;
}

QString ParseInfo::ModuleText(const QString &strName) const
{
    for (const auto &module : m_listModules) {
        if (module.first == strName)
            return module.second;
    }
    return QString();
}
