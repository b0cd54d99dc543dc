#include "BackUpUIBBMgr.h"

#include "BackUpUIConfigParse.h"
#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackupKinds.h"
#include "Factory.h"
#include "InterruptedRun.h"
#include "LogLine.h"
#include "ResultView.h"
#include "RunSummary.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/HostPluginIds.h>
#include <host/ILayoutPlugin.h>
#include <host/IUpdateBackupInterface.h>
#include <host/PluginContainer.h>
#include <host/Startup.h>
#include <sdk/dvsk.h>
#include <sdk/dvsk_device.h>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BackUpUIBBMgr";

namespace
{
BackUpUIBBMgr *g_pInstance = nullptr;

// A kind fails with those whose counts follow its own (the application data
// fails with the applications).
int FailMask(const BackupKind &kind)
{
    int nMask = kind.nResultBit;
    for (const BackupKind &other : BackupKinds::All()) {
        if (other.nSharesCountsWith == kind.nCode)
            nMask |= other.nResultBit;
    }
    return nMask;
}

} // namespace

BackUpUIBBMgr *BackUpUIBBMgr::GetInstance()
{
    LOG_ENTERED("GetInstance");
    if (!g_pInstance)
        g_pInstance = new BackUpUIBBMgr();
    LOG_LEAVED("GetInstance");
    return g_pInstance;
}

void BackUpUIBBMgr::DestroyInstance()
{
    LOG_ENTERED("DestroyInstance");
    delete g_pInstance;
    g_pInstance = nullptr;
    LOG_LEAVED("DestroyInstance");
}

BackUpUIBBMgr *BackUpUIBBMgr::ExistingInstance()
{
    return g_pInstance;
}

BackUpUIBBMgr::BackUpUIBBMgr() : QObject(nullptr)
{
    initCon();
    if (BackUpUIConfigParse *pConfig = BackUpUIConfigParse::GetInstance()) {
        m_hashCommon = pConfig->GetCommonItems();
        m_hashChild = pConfig->GetChildItems();
    }
}

BackUpUIBBMgr::~BackUpUIBBMgr() = default;

void BackUpUIBBMgr::initCon()
{
    BackupCodes::RegisterMetaTypes();
    if (BackUpUIThread *pThread = BackUpUIThread::Instance()) {
        connect(pThread, &BackUpUIThread::signalsModuleInfo, this, &BackUpUIBBMgr::slotsModuleInfo);
        connect(pThread, &BackUpUIThread::signalsFinish, this, &BackUpUIBBMgr::slotsFinish);
    }
    if (Factory *pFactory = Factory::Instance())
        connect(pFactory, &Factory::signalBackupCount, this, &BackUpUIBBMgr::slotsUpdateTipInfo);
}

void BackUpUIBBMgr::SetProgressTipLabel(QLabel *pLabel)
{
    if (pLabel)
        m_pTipLabel = pLabel;
}

void BackUpUIBBMgr::SetCompleteWidget(ResultView *pView)
{
    if (pView) {
        m_pCompleteObject = dynamic_cast<QObject *>(pView);
        m_pCompleteView = pView;
    }
}

ResultView *BackUpUIBBMgr::CompleteView() const
{
    return m_pCompleteObject ? m_pCompleteView : nullptr;
}

void BackUpUIBBMgr::SetBigButtons(const QHash<int, CheckBigButton *> &hashButtons)
{
    m_hashButtons.clear();
    for (auto it = hashButtons.cbegin(); it != hashButtons.cend(); ++it)
        m_hashButtons.insert(it.key(), it.value());
}

void BackUpUIBBMgr::SetOutFuncCaller(int nCaller)
{
    m_nCaller = nCaller;
}

void BackUpUIBBMgr::SetOutFuncParam(int nValue)
{
    m_nCallerValue = nValue;
}

IUpdateBackupInterface *BackUpUIBBMgr::FindCaller(const QString &strName)
{
    PluginContainer *pContainer = Startup::GetPluginContainer();
    if (!pContainer)
        return nullptr;
    QObject *pPlugin = pContainer->GetPlugin(strName);
    if (!pPlugin)
        return nullptr;
    return qobject_cast<IUpdateBackupInterface *>(pPlugin);
}

QString BackUpUIBBMgr::CallerPluginName() const
{
    return m_nCaller == 1 ? QStringLiteral(HOST_UPDATE_PLUGIN_NAME) : QStringLiteral(HOST_ROM_PLUGIN_NAME);
}

void BackUpUIBBMgr::ShowCaller()
{
    ILayoutPlugin *pLayout = CommonUtils::GetLayoutPlugin();
    const QString strName = CallerPluginName();
    IUpdateBackupInterface *pCaller = FindCaller(strName);
    if (pCaller)
        pCaller->SetBackupSwitching(true);
    if (pLayout)
        pLayout->ShowPlugin(strName);
    else if (m_nCaller == 1)
        qDebug() << "FuncUIWidget::ShowPlugin pLayout is Null";
    if (pCaller) {
        pCaller->SetBackupSwitching(false);
        pCaller->OnBackupBegin();
    }
}

void BackUpUIBBMgr::NotifyCancel()
{
    if (IUpdateBackupInterface *pCaller = FindCaller(QStringLiteral(HOST_UPDATE_PLUGIN_NAME)))
        pCaller->OnBackupCancel();
}

void BackUpUIBBMgr::NotifyClose()
{
    if (IUpdateBackupInterface *pCaller = FindCaller(QStringLiteral(HOST_UPDATE_PLUGIN_NAME)))
        pCaller->OnBackupClose();
}

void BackUpUIBBMgr::slotsModuleInfo(structBackupID info)
{
    if (info.nState == 0) {
        QString strTitle;
        const QPointer<CheckBigButton> pButton = m_hashButtons.value(info.nModuleID);
        if (pButton)
            strTitle = pButton->GetTitle();
        QString strTip = Change::tr("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT");
        strTip.replace(QLatin1String("%s1"), strTitle);
        if (m_pTipLabel)
            m_pTipLabel->setText(strTip);
    } else if (info.nState == 1) {
        const BackupKind *pKind = BackupKinds::ByProgressId(info.nModuleID);
        const QString strName = pKind ? Change::tr(pKind->szProgressNameKey) : QString();
        QString strTip = Change::tr("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO");
        strTip.replace(QLatin1String("%s1"), strName);
        strTip.replace(QLatin1String("%s2"), QString::number(info.nProNum));
        strTip.replace(QLatin1String("%s3"), QString::number(info.nAllNum));
        if (m_pTipLabel)
            m_pTipLabel->setText(strTip);
    }
}

void BackUpUIBBMgr::slotsUpdateTipInfo(BackupItems items, BackupCounts requested, BackupCounts backedUp)
{
    if (!CompleteView()) {
        LOG_ARG_NULL("slotsUpdateTipInfo");
        return;
    }

    auto incomplete = [&](int nSlot) { return requested[nSlot] != 0 && requested[nSlot] != backedUp[nSlot]; };

    QString strContacts;
    if (items.bPB && incomplete(BackupCounts::PB)) {
        strContacts = Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT");
        strContacts.replace(QLatin1String("%s"), QString::number(backedUp[BackupCounts::PB]));
    }

    // Say what happened to each of the two: the applications copied, and
    // how many applications' data could be read. (A shortfall of data alone
    // used to be told as the applications' note, "4 apps were backed up",
    // although all applications were copied.)
    QStringList listApk;
    if (items.bAPK && incomplete(BackupCounts::APK)) {
        QString strNote = Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT");
        strNote.replace(QLatin1String("%s"), QString::number(backedUp[BackupCounts::APK]));
        listApk << strNote;
    }
    if (items.bAPKData && incomplete(BackupCounts::APKData)) {
        QString strNote = Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_APKDATA_TIPTEXT");
        strNote.replace(QLatin1String("%s1"), QString::number(backedUp[BackupCounts::APKData]));
        strNote.replace(QLatin1String("%s2"), QString::number(requested[BackupCounts::APKData]));
        listApk << strNote;
    }
    const QString strApk = listApk.join(QLatin1Char(' '));

    CompleteView()->SetContactsTip(strContacts);
    CompleteView()->SetApkTip(strApk);
}

QString BackUpUIBBMgr::CommonName(quint32 nId) const
{
    const auto it = m_hashCommon.constFind(nId);
    return it == m_hashCommon.cend() ? QString() : Change::tr(it->strName);
}

QString BackUpUIBBMgr::ChildName(quint32 nId) const
{
    const auto it = m_hashChild.constFind(nId);
    return it == m_hashChild.cend() ? QString() : Change::tr(it->strName);
}

QString BackUpUIBBMgr::KindName(const BackupKind &kind) const
{
    return kind.nSubId >= 0 ? ChildName(quint32(kind.nSubId)) : CommonName(quint32(kind.nTileId));
}

QString BackUpUIBBMgr::NotAvailableNote(int nResult, const QString &strSeparator) const
{
    const RunSummary::Facts facts = RunSummary::FromFactory(Factory::ExistingInstance(), nResult);
    QStringList listNames;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (!m_hashCommon.contains(quint32(kind.nTileId)) || !RunSummary::IsNotAvailable(facts, kind))
            continue;
        const QString strName = KindName(kind);
        listNames << (strName.isEmpty() ? CommonName(quint32(kind.nTileId)) : strName);
    }
    listNames.removeDuplicates();
    if (listNames.isEmpty())
        return QString();
    return Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_NOTAVAILABLE_TIPTEXT")
        .replace(QLatin1String("%s"), listNames.join(strSeparator));
}

void BackUpUIBBMgr::updateUIAfterFinished(int nResult)
{
    using Outcome = ResultView::Outcome;
    m_strTipText.clear();
    // A failed item is a failed run: the package holds the rest, if it was
    // delivered at all.
    const Factory *pFactory = Factory::ExistingInstance();
    m_outcome = Outcome::Complete;
    if (nResult != 0)
        m_outcome = nResult > 0 && pFactory && pFactory->IsPackageDelivered() ? Outcome::PartlyFailed : Outcome::Failed;
    if (!CompleteView()) {
        LOG_ARG_NULL("updateUIAfterFinished");
        return;
    }

    // A run that could not reach the phone is simply tried again once the
    // phone is back: the phone went away, or none was there at the start.
    const bool bNoPhone = nResult == RUN_RESULT_NO_MEMINFO && DVSK_Device_IsAttached() != 1;
    CompleteView()->SetRetryOffered(nResult == RUN_RESULT_PHONE_DISCONNECTED || bNoPhone);
    if (nResult < 0) {
        ShowRunFailure(nResult, bNoPhone);
        return;
    }

    // Names are listed the way the language lists them (", " in English and
    // Russian, the Arabic comma "، " in Arabic).
    const QString strSeparator = Change::tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + QLatin1Char(' ');
    ShowFailedItems(FailedItemsText(nResult, pFactory, strSeparator));
    // What the phone does not give at all was left out: neither backed up
    // nor failed, and not to be mistaken for either.
    CompleteView()->SetNotAvailableTip(NotAvailableNote(nResult, strSeparator));
    CompleteView()->SetOutcome(m_outcome);
    // The destination folder, which holds the package and the backup folder.
    CompleteView()->SetBackupFolder(pFactory && pFactory->IsPackageDelivered()
                                           ? QFileInfo(pFactory->GetPackagePath()).absolutePath()
                                           : QString());
    const RunSummary::Facts facts = RunSummary::FromFactory(pFactory, nResult);
    CompleteView()->SetRunSummary(SavedSummary(facts, strSeparator));
    CompleteView()->SetNotCopied(NotCopied(facts));
    m_strTipText = Change::tr(ResultView::HeadlineKey(m_outcome)) + m_strTipText;
}

void BackUpUIBBMgr::ShowRunFailure(int nResult, bool bNoPhone)
{
    using Outcome = ResultView::Outcome;
    const char *szReason = "IDS_BACKUPUIPLUGIN_COMPLETE_NO_ENOUGH_SPACE_LABEL";
    if (bNoPhone)
        szReason = "IDS_BACKUPUIPLUGIN_COMPLETE_NO_PHONE_LABEL";
    else if (nResult == RUN_RESULT_NO_MEMINFO)
        szReason = "IDS_BACKUPUIPLUGIN_COMPLETE_GET_PHONE_MEM_FAIL_LABEL";
    else if (nResult == RUN_RESULT_PHONE_DISCONNECTED)
        szReason = "IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL";
    else if (nResult == RUN_RESULT_DATA_FOLDER_BUSY)
        szReason = "IDS_BACKUPUIPLUGIN_COMPLETE_ANOTHER_BACKUP_LABEL";
    QString strReason = Change::tr(szReason);
    // A run the phone cut off keeps the files it copied for the next run to
    // finish; the page says how many.
    const Factory *pFactory = Factory::ExistingInstance();
    const int nKept = nResult == RUN_RESULT_PHONE_DISCONNECTED && pFactory
                          ? InterruptedRun::KeptFiles(pFactory->GetBackupFolder())
                          : 0;
    m_outcome = Outcome::Failed;
    if (nKept > 0) {
        m_outcome = Outcome::Interrupted;
        strReason = Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_INTERRUPTED_LABEL")
                        .replace(QLatin1String("%s"), QString::number(nKept));
    }
    CompleteView()->SetOutcome(m_outcome);
    CompleteView()->SetResultValue(strReason);
    // A requesting plugin learns of the new reason; the memory results
    // keep their empty result text.
    if (nResult == RUN_RESULT_PHONE_DISCONNECTED)
        m_strTipText = Change::tr(ResultView::HeadlineKey(m_outcome)) + strReason;
    // Nothing of this run was backed up: texts left from an earlier run
    // (a failure headline, its result text, notes about contacts or
    // applications) would describe that run, not this one.
    CompleteView()->SetResultCaption(QString());
    CompleteView()->SetResultNote(QString());
    CompleteView()->SetContactsTip(QString());
    CompleteView()->SetApkTip(QString());
    CompleteView()->SetNotAvailableTip(QString());
    CompleteView()->SetBackupFolder(QString());
    CompleteView()->SetRunSummary(QString());
    CompleteView()->SetNotCopied({});
}

QString BackUpUIBBMgr::FailedItemsText(int nResult, const Factory *pFactory, const QString &strSeparator)
{
    // A file item partly backed up is named with how many of its files were
    // copied; the rest of them are kept in the backup.
    const QMap<int, QStringList> mapFailedFiles = pFactory ? pFactory->GetFailedFiles() : QMap<int, QStringList>();
    const BackupCounts countsBackedUp = pFactory ? pFactory->GetBackedUpCounts() : BackupCounts();
    const int nPackaged = pFactory ? pFactory->GetPackagedMask() : 0;
    auto partlyName = [&](const QString &strName, const BackupKind &kind, int nMask) {
        if (nMask != kind.nResultBit || !(nPackaged & nMask) || !mapFailedFiles.contains(kind.nCode))
            return strName;
        const int nCopied = countsBackedUp[kind.nCountSlot];
        QString strText = Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PARTIAL_ITEM_TEXT");
        strText.replace(QLatin1String("%s1"), strName);
        strText.replace(QLatin1String("%s2"), QString::number(nCopied));
        strText.replace(QLatin1String("%s3"), QString::number(nCopied + mapFailedFiles.value(kind.nCode).size()));
        return strText;
    };

    QString strList;
    QStringList listMainNames;
    for (const BackupKind &kind : BackupKinds::All()) {
        const int nMask = FailMask(kind);
        if (!m_hashCommon.contains(quint32(kind.nTileId)) || !(nResult & nMask))
            continue;
        const QString strName = partlyName(KindName(kind), kind, nMask);
        if (strList.isEmpty())
            strList = strName;
        else
            strList += strSeparator + strName;
        listMainNames.append(CommonName(kind.nTileId));
        // The notes on a short count say no more once the item failed.
        if (kind.nCode == MODULE_PB)
            CompleteView()->SetContactsTip(QString());
        else if (kind.nCode == MODULE_APK)
            CompleteView()->SetApkTip(QString());
    }
    // Failed items whose sub-item has no configured name would leave the list
    // empty and the run would look successful; name their main items instead.
    if (strList.isEmpty() && !listMainNames.isEmpty()) {
        listMainNames.removeDuplicates();
        strList = listMainNames.join(strSeparator);
    }
    return strList;
}

void BackUpUIBBMgr::ShowFailedItems(const QString &strList)
{
    if (strList.isEmpty()) {
        CompleteView()->SetResultCaption(QString());
        CompleteView()->SetResultValue(QString());
        CompleteView()->SetResultNote(QString());
        return;
    }
    const QString strCaption = Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL");
    CompleteView()->SetResultCaption(strCaption);
    CompleteView()->SetResultValue(strList);
    CompleteView()->SetResultNote(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_RESULT_LABEL"));
    m_strTipText = strCaption + strList;
}

QString BackUpUIBBMgr::SavedSummary(const RunSummary::Facts &facts, const QString &strSeparator) const
{
    if (!facts.bDelivered || facts.strPackage.isEmpty())
        return QString();
    QStringList listCounts;
    for (const BackupKind &kind : BackupKinds::All()) {
        const int nBit = kind.nResultBit;
        if (!kind.bRuns || !BackupKinds::IsSelected(facts.items, kind))
            continue;
        // Backed up in full, or partly with its copied files packaged.
        const bool bSaved = (facts.nAttemptedMask & nBit) && !(facts.nResult & nBit);
        if (!bSaved && !(facts.nPackagedMask & nBit))
            continue;
        // A line breaks between items, never inside one.
        QString strName = KindName(kind);
        if (strName.isEmpty())
            strName = CommonName(quint32(kind.nTileId));
        strName.replace(QLatin1Char(' '), QChar(0x00A0)).replace(QLatin1Char('-'), QChar(0x2011));
        listCounts << strName + QChar(0x00A0) + QString::number(facts.backedUp[kind.nCountSlot]);
    }
    // The package and the files beside it in the backup folder.
    const qint64 nBytes = QFileInfo(facts.strPackage).size() + facts.transfer.nPhoneBytes + facts.transfer.nReusedBytes;
    const quint32 nKiloBytes = static_cast<quint32>(qBound<qint64>(1, (nBytes + 1023) / 1024, 0xffffffffLL));
    const QString strPackage = QFileInfo(facts.strPackage).fileName();
    QStringList listLines;
    if (!listCounts.isEmpty())
        listLines << Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_COUNTS_TEXT").replace(QLatin1String("%s"), listCounts.join(strSeparator));
    listLines << Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_TOTALSIZE_TEXT")
                     .replace(QLatin1String("%s"), CheckBigButton::FormatSize(nKiloBytes));
    // The file name reads left to right also inside a right-to-left sentence.
    listLines << Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PACKAGE_TEXT")
                     .replace(QLatin1String("%s"), Change::GetRightToLeftLayout()
                                                       ? QChar(0x202A) + strPackage + QChar(0x202C)
                                                       : strPackage);
    return listLines.join(QLatin1Char('\n'));
}

ResultView::NotCopiedList BackUpUIBBMgr::NotCopied(const RunSummary::Facts &facts) const
{
    ResultView::NotCopiedList listNotCopied;
    for (const BackupKind &kind : BackupKinds::All()) {
        const QStringList listPaths = facts.mapFailedFiles.value(kind.nCode);
        if (listPaths.isEmpty() || !(facts.nPackagedMask & kind.nResultBit))
            continue;
        const QString strName = KindName(kind);
        listNotCopied.append({strName.isEmpty() ? CommonName(quint32(kind.nTileId)) : strName, listPaths});
    }
    return listNotCopied;
}

void BackUpUIBBMgr::RemoveTempFiles()
{
    const QString strFolder = BackUpUILogic::GetUserDataDirectory();
    if (strFolder.isEmpty()) {
        LOG_WARNING("slotsFinish", QStringLiteral("no user data folder"));
        return;
    }
    const QDir dir(strFolder);
    for (const QString &strName : BackupKinds::TempFileNames()) {
        QFile file(dir.filePath(strName));
        if (!file.exists())
            continue;
        if (!file.remove())
            LOG_WARNING("slotsFinish", QStringLiteral("can not remove ") + file.fileName());
    }
}

QString BackUpUIBBMgr::BackupDateText(const QDateTime &dtTime)
{
    return dtTime.toString(QStringLiteral("dd.MM.yyyy"));
}

QString BackUpUIBBMgr::BackupTimeText(const QDateTime &dtTime)
{
    return dtTime.toString(QStringLiteral("hh:mm"));
}

void BackUpUIBBMgr::slotsFinish(int nResult)
{
    LOG_ENTERED("slotsFinish");
    RemoveTempFiles();
    m_nResult = nResult;
    updateUIAfterFinished(nResult);

    // The date of the last backup is that of the last complete one.
    if (nResult == 0) {
        const QDateTime dtNow = QDateTime::currentDateTime();
        CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupDate"),
                                 BackupDateText(dtNow));
        CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupHM"), BackupTimeText(dtNow));
    }

    if (m_nCaller == 1 || m_nCaller == 2) {
        if (IUpdateBackupInterface *pCaller = FindCaller(CallerPluginName()))
            pCaller->OnBackupFinish(m_strTipText);
    } else {
        emit signalsBackUpComplete(nResult);
    }
    LOG_LEAVED("slotsFinish");
}
