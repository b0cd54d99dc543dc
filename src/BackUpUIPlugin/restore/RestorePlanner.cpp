#include "RestorePlanner.h"

#include "ApkVersionReader.h"
#include "BackupKinds.h"
#include "RestoreSource.h"
#include "RestoreTexts.h"
#include "SafeFileName.h"

#include <sdk/dvsk_device.h>

#include <QDateTime>
#include <QFileInfo>

namespace
{
using Action = RestorePlan::Action;

bool StopsRun(int nResult)
{
    return nResult == DVSK_DEV_ERR_CANCELLED || nResult == DVSK_DEV_ERR_DISCONNECTED;
}

bool SameFile(const RestoreDevice::Stat &stat, const RestorePlan::Item &item)
{
    return stat.state == RestoreDevice::Stat::File && stat.nSize == item.nSize && stat.nModified == item.nModified;
}

void FailKind(RestorePlan::Kind &planned, const QString &strWhy)
{
    planned.action = Action::Fails;
    planned.strWhy = strWhy;
}
} // namespace

RestorePlanner::RestorePlanner(RestoreDevice &device) : m_device(device)
{
}

bool RestorePlanner::IsPrivateAppPath(const QString &strPhonePath)
{
    const QStringList listParts = strPhonePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i + 1 < listParts.size(); ++i) {
        if (listParts.at(i).compare(QLatin1String("Android"), Qt::CaseInsensitive) != 0)
            continue;
        const QString &strNext = listParts.at(i + 1);
        if (strNext.compare(QLatin1String("data"), Qt::CaseInsensitive) == 0
            || strNext.compare(QLatin1String("obb"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool RestorePlanner::IsUsablePhonePath(const QString &strPhonePath)
{
    if (!strPhonePath.startsWith(QLatin1Char('/')) || strPhonePath.endsWith(QLatin1Char('/')))
        return false;
    for (const QChar c : strPhonePath) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0x18) || c == QChar(0))
            return false;
    }
    for (const QString &strPart : strPhonePath.split(QLatin1Char('/'))) {
        if (strPart == QLatin1String(".") || strPart == QLatin1String(".."))
            return false;
    }
    return true;
}

QString RestorePlanner::NumberedPath(const QString &strPhonePath, int n)
{
    const int nSlash = int(strPhonePath.lastIndexOf(QLatin1Char('/')));
    QString strBase;
    QString strExtension;
    SafeFileName::Split(strPhonePath.mid(nSlash + 1), strBase, strExtension);
    return strPhonePath.left(nSlash + 1)
           + SafeFileName::Fitted(strBase, QStringLiteral(" (%1)").arg(n), strExtension);
}

int RestorePlanner::Plan(const RestoreSource &source, const QList<int> &listCodes, RestorePlan &plan)
{
    plan = RestorePlan();
    plan.strPackage = source.PackagePath();
    plan.strDeviceName = source.DeviceName();
    m_setPlanned.clear();
    for (const BackupKind &kind : BackupKinds::All()) {
        if (!kind.bRuns)
            continue;
        const bool bWanted = listCodes.isEmpty() ? source.Holds(kind) : listCodes.contains(kind.nCode);
        if (!bWanted)
            continue;
        RestorePlan::Kind planned;
        planned.nCode = kind.nCode;
        planned.nBackedUp = int(source.Count(kind));
        const int nResult = PlanKind(source, kind, planned);
        if (nResult != 0)
            return nResult;
        plan.kinds.append(planned);
    }
    return 0;
}

int RestorePlanner::PlanKind(const RestoreSource &source, const BackupKind &kind, RestorePlan::Kind &planned)
{
    if (!source.Holds(kind)) {
        planned.action = Action::NotRestorable;
        planned.strWhy = RestoreTexts::NotInBackup();
        return 0;
    }
    switch (kind.nCode) {
    case MODULE_PB:
    case MODULE_CALENDAR:
    case MODULE_CALLLOG:
        return PlanRecords(source, kind, planned);
    case MODULE_APK:
        return PlanApps(source, planned);
    case MODULE_IMAGE:
    case MODULE_VIDEO:
    case MODULE_AUDIO:
        return PlanMedia(source, kind, planned);
    default:
        // Messages, e-mail and application data: only an app on the phone
        // may write them.
        planned.action = Action::NotRestorable;
        planned.strWhy = RestoreTexts::NeedsAppOnPhone();
        return 0;
    }
}

int RestorePlanner::PlanRecords(const RestoreSource &source, const BackupKind &kind, RestorePlan::Kind &planned)
{
    planned.strRecordFile = source.RecordFile(kind);
    if (planned.strRecordFile.isEmpty()) {
        FailKind(planned, RestoreTexts::MissingFromBackup());
        return 0;
    }
    QString strReason;
    const int nAvailable = m_device.RecordsAvailable(kind.nCode, strReason);
    if (StopsRun(nAvailable))
        return nAvailable;
    if (nAvailable != 0) {
        planned.action = Action::NotRestorable;
        planned.strWhy = strReason.isEmpty() ? RestoreTexts::NotAvailableOnPhone() : strReason;
    }
    return 0;
}

int RestorePlanner::PlanApps(const RestoreSource &source, RestorePlan::Kind &planned)
{
    const QHash<QString, QString> hashApks = source.ApkFiles();
    if (hashApks.isEmpty()) {
        FailKind(planned, RestoreTexts::MissingFromBackup());
        return 0;
    }
    QHash<QString, qint64> hashInstalled;
    const int nVersions = m_device.AppVersions(hashInstalled);
    if (StopsRun(nVersions))
        return nVersions;
    if (nVersions != 0) {
        FailKind(planned, RestoreTexts::PhoneFailure(nVersions, QString()));
        return 0;
    }
    QStringList listPackages = hashApks.keys();
    listPackages.sort();
    for (const QString &strPackage : qAsConst(listPackages)) {
        RestorePlan::Item item;
        item.strName = strPackage;
        item.listLocal << hashApks.value(strPackage);
        item.nSize = QFileInfo(hashApks.value(strPackage)).size();
        item.nVersion = ApkVersionReader::VersionCode(hashApks.value(strPackage));
        item.nInstalled = hashInstalled.value(strPackage, -1);
        // Never a downgrade: an installed app of unknown relation stays.
        if (item.nInstalled >= 0 && (item.nVersion < 0 || item.nInstalled >= item.nVersion)) {
            item.action = Action::AlreadyThere;
            item.strWhy = RestoreTexts::InstalledVersion(item.nInstalled, item.nVersion);
        }
        planned.items.append(item);
    }
    return 0;
}

RestorePlan::Item RestorePlanner::MediaItem(const QString &strLocal, const QString &strPhonePath) const
{
    RestorePlan::Item item;
    item.strName = strPhonePath;
    item.strTarget = strPhonePath;
    const QFileInfo info(strLocal);
    if (!strLocal.isEmpty())
        item.listLocal << strLocal;
    item.nSize = info.size();
    item.nModified = info.exists() ? info.lastModified().toSecsSinceEpoch() : -1;
    if (!IsUsablePhonePath(strPhonePath)) {
        item.action = Action::NotRestorable;
        item.strWhy = RestoreTexts::UnusablePhonePath();
    } else if (IsPrivateAppPath(strPhonePath)) {
        item.action = Action::NotRestorable;
        item.strWhy = RestoreTexts::PrivateFolder();
    } else if (strLocal.isEmpty()) {
        item.action = Action::Fails;
        item.strWhy = RestoreTexts::UnusableListName();
    } else if (!info.isFile()) {
        item.action = Action::Fails;
        item.strWhy = RestoreTexts::MissingFromBackup();
    }
    return item;
}

int RestorePlanner::PlanMedia(const RestoreSource &source, const BackupKind &kind, RestorePlan::Kind &planned)
{
    QList<RestoreSource::MediaFile> listFiles;
    QString strError;
    if (!source.ReadMediaList(kind, listFiles, strError)) {
        FailKind(planned, strError);
        return 0;
    }
    for (const RestoreSource::MediaFile &file : qAsConst(listFiles))
        planned.items.append(MediaItem(file.strLocal, file.strPhonePath));
    const int nResult = PlaceMedia(planned.items);
    if (nResult != 0 && !StopsRun(nResult)) {
        FailKind(planned, RestoreTexts::PhoneFailure(nResult, QString()));
        return 0;
    }
    return nResult;
}

int RestorePlanner::PlaceMedia(QList<RestorePlan::Item> &listItems)
{
    QList<int> listIndexes;
    QStringList listPaths;
    for (int i = 0; i < listItems.size(); ++i) {
        if (listItems.at(i).action != Action::Restore)
            continue;
        listIndexes << i;
        listPaths << listItems.at(i).strTarget;
        m_setPlanned.insert(listItems.at(i).strTarget);
    }
    QList<RestoreDevice::Stat> listStats;
    const int nStat = m_device.StatFiles(listPaths, listStats);
    if (nStat != 0)
        return nStat;
    QList<int> listClashing;
    for (int i = 0; i < listIndexes.size(); ++i) {
        RestorePlan::Item &item = listItems[listIndexes.at(i)];
        const RestoreDevice::Stat &stat = listStats.at(i);
        if (SameFile(stat, item))
            item.action = Action::AlreadyThere;
        else if (stat.state != RestoreDevice::Stat::Missing)
            listClashing << listIndexes.at(i);
    }
    return ResolveClashes(listItems, listClashing);
}

int RestorePlanner::ResolveClashes(QList<RestorePlan::Item> &listItems, QList<int> listClashing)
{
    for (int n = 1; n <= kMaxNumberedNames && !listClashing.isEmpty(); ++n) {
        QList<int> listAsked;
        QStringList listPaths;
        for (int nIndex : qAsConst(listClashing)) {
            const QString strCandidate = NumberedPath(listItems.at(nIndex).strName, n);
            if (m_setPlanned.contains(strCandidate))
                continue;
            listAsked << nIndex;
            listPaths << strCandidate;
        }
        QList<RestoreDevice::Stat> listStats;
        const int nStat = m_device.StatFiles(listPaths, listStats);
        if (nStat != 0)
            return nStat;
        for (int i = 0; i < listAsked.size(); ++i) {
            RestorePlan::Item &item = listItems[listAsked.at(i)];
            const RestoreDevice::Stat &stat = listStats.at(i);
            if (stat.state == RestoreDevice::Stat::Missing) {
                item.strTarget = listPaths.at(i);
                m_setPlanned.insert(item.strTarget);
            } else if (SameFile(stat, item)) {
                item.action = Action::AlreadyThere;
                item.strWhy = RestoreTexts::AlreadyAs(listPaths.at(i));
            } else {
                continue;
            }
            listClashing.removeOne(listAsked.at(i));
        }
    }
    for (int nIndex : qAsConst(listClashing)) {
        listItems[nIndex].action = Action::Fails;
        listItems[nIndex].strWhy = RestoreTexts::NoFreeName();
    }
    return 0;
}
