#include "PrepareWizardWidget.h"

#include "BackUpUIBBMgr.h"
#include "BackUpUIConfigParse.h"
#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackupKinds.h"
#include "BackupLocation.h"
#include "CheckBigButton.h"
#include "CustomLabelButton.h"
#include "DoingWizardWidget.h"
#include "FolderMaker.h"
#include "LogLine.h"
#include "WaitingBKFrame.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/ILayoutPlugin.h>
#include <host/ListPipeItem.h>
#include <sdk/dvsk.h>

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStorageInfo>
#include <QTimer>

#include <QPair>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <utility>

#ifdef Q_OS_WIN
#include <direct.h>
#endif

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\PrepareWizardWidget";

namespace
{
constexpr int kTilePitch = 121;
constexpr int kTilesPerRow = 5;
constexpr int kFirstRowY = 176;
constexpr int kSecondRowY = 306;
constexpr int kButtonWidth = 116;

} // namespace

PrepareWizardWidget::PrepareWizardWidget(QWidget *pParent)
    : CustomWizardWidget(pParent), m_bRightToLeft(Change::GetRightToLeftLayout())
{
}

PrepareWizardWidget::~PrepareWizardWidget() = default;

void PrepareWizardWidget::InitMembers()
{
    m_pCountTimer = new QTimer(this);
    m_pStatusTimer = new QTimer(this);

    const QRect rectBackground(0, 0, kPageWidth, 608);
    const QRect rectStatus(0, 608, kPageWidth, 32);
    m_pFrameBgOne = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgone"), rectBackground);
    m_pFrameBgTwo = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgtwo"), rectBackground);
    m_pFrameBgThree = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgthree"), rectBackground);
    m_pFrameStatusBar = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusBar"), rectStatus);
    m_pFrameStatusLine = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusLine"), rectStatus);

    m_pWaitingFrame = new WaitingBKFrame(this);
    m_pWaitingFrame->SetText(Change::tr("IDS_BACKUPUIPLUGIN_WAITING_READING_TEXT"));
    m_pWaitingFrame->move(0, 0);
    m_pWaitingFrame->setFixedSize(kPageWidth, kPageHeight);
    m_pWaitingFrame->hide();
    m_pWaitingFrame->raise();

    m_pHeader = new CustomLabelButton(this);

    m_pLabelDescription = new QLabel(this);
    m_pLabelDescription->setContentsMargins(0, 0, 0, 0);
    m_pLabelDescription->setFixedSize(640, 44);
    m_pLabelDescription->setWordWrap(true);
    m_pLabelDescription->setAlignment(Qt::AlignVCenter | Qt::AlignLeading);
    m_pLabelDescription->setText(Change::tr("IDS_BACKUPUIPLUGIN_DESCRIPTIONINFO_TEXT"));

    InitBigButtons();

    m_pLabelDst = new QLabel(this);
    m_pLabelDst->setContentsMargins(0, 0, 0, 0);
    m_pLabelDst->setFixedSize(530, 24);
    m_pLabelDst->setText(Change::tr("IDS_BACKUPUIPLUGIN_DSTLABER_TEXT"));

    m_pLabelDstPath = new QLabel(this);
    m_pLabelDstPath->setContentsMargins(0, 0, 0, 0);
    m_pLabelDstPath->setFixedSize(530, 17);

    m_pLabelCapacity = new QLabel(this);
    m_pLabelCapacity->setContentsMargins(0, 0, 0, 0);
    m_pLabelCapacity->setFixedSize(530, 17);
    m_pLabelCapacity->setText(Change::tr("IDS_BACKUPUIPLUGIN_DSTDISCCAPACITY_TEXT"));

    m_pLabelSpaceStatus = new QLabel(this);
    m_pLabelSpaceStatus->setContentsMargins(0, 0, 0, 0);
    m_pLabelSpaceStatus->setWordWrap(true);
    m_pLabelSpaceStatus->setFixedWidth(530);
    m_pLabelSpaceStatus->setMinimumHeight(20);
    m_pLabelSpaceStatus->setText(Change::tr("IDS_BACKUPUIPLUGIN_DISKSPACESTATUS_TEXT"));

    m_pBtnBrowse = new QPushButton(this);
    m_pBtnBrowse->setContentsMargins(0, 0, 0, 0);
    m_pBtnBrowse->setFixedSize(kButtonWidth, 26);
    // A keyboard stop like the other buttons, so the folder can be changed
    // without a mouse.
    m_pBtnBrowse->setAutoDefault(true);

    InitSelectionLabel();

    CreateBackUpPath();
    m_strBackUpPath = ReadBackupLocation();
    ShowBackUpPath();
    slotsPathChanged(m_strBackUpPath);
}

void PrepareWizardWidget::InitSelectionLabel()
{
    // Beside Start, on its outer side: what pressing it would back up.
    m_pLabelSelection = new QLabel(this);
    m_pLabelSelection->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_SelectionLabel"));
    m_pLabelSelection->setContentsMargins(0, 0, 0, 0);
    m_pLabelSelection->setFixedSize(300, 26);
    for (CheckBigButton *pButton : std::as_const(m_listBackup)) {
        if (pButton)
            connect(pButton, &QAbstractButton::toggled, this, &PrepareWizardWidget::slotSelectionChanged);
    }
}

QString PrepareWizardWidget::SelectionText() const
{
    BackUpUIThread *pThread = BackUpUIThread::ExistingInstance();
    if (!m_bCounted || !pThread)
        return QString();
    const QHash<int, structBackupID> hashCounts = pThread->GetModuleCounts();
    qint64 nItems = 0;
    quint64 nKiloBytes = 0;
    bool bAny = false;
    for (auto it = m_listBackup.cbegin(); it != m_listBackup.cend(); ++it) {
        if (!it.value() || !it.value()->IsChecked() || !hashCounts.contains(it.key()))
            continue;
        const structBackupID entry = hashCounts.value(it.key());
        bAny = true;
        nItems += qMax(0, entry.nProNum);
        nKiloBytes += static_cast<quint32>(entry.nValue2);
    }
    if (!bAny)
        return Change::tr("IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_NONE");
    // The tiles' formats take 32 bits of kilobytes; more is 4 TB.
    const quint32 nShownKiloBytes = static_cast<quint32>(qMin<quint64>(nKiloBytes, 0xffffffffu));
    QStringList listParts;
    listParts << Change::tr("IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_ITEMS").replace(QLatin1String("%s"), QString::number(nItems));
    if (nShownKiloBytes != 0)
        listParts << CheckBigButton::FormatSize(nShownKiloBytes);
    listParts << CheckBigButton::NeedTimeText(nShownKiloBytes);
    return Change::tr("IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_TEXT")
        .replace(QLatin1String("%s"), listParts.join(QStringLiteral(" \u00b7 ")));
}

void PrepareWizardWidget::slotSelectionChanged()
{
    if (!m_pLabelSelection || !m_pBtnNext) {
        LOG_ARG_NULL("slotSelectionChanged");
        return;
    }
    const QString strText = SelectionText();
    m_pLabelSelection->setText(strText);
    m_pBtnNext->setAccessibleDescription(strText);
}

void PrepareWizardWidget::InitBigButtons()
{
    m_listBackup.clear();
    BackUpUIConfigParse *pConfig = BackUpUIConfigParse::GetInstance();
    if (!pConfig) {
        LOG_WARNING("InitBigButtons", QStringLiteral("BackUpUIConfigParse instance is null"));
        return;
    }

    // The "other" tile's default list: call log, e-mail, calendar and
    // bookmarks as configured, in id order.
    const PluginInfoTable hashChild = pConfig->GetChildItems();
    QList<quint32> listChildIds = hashChild.keys();
    std::sort(listChildIds.begin(), listChildIds.end());
    const QString strSeparator = Change::tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO");
    QString strOther = QStringLiteral("(");
    bool bAnyOther = false;
    QSet<quint32> setOtherIds;
    for (const BackupKind *pKind : BackupKinds::SubItemsOf(BackupKinds::WideTileId(), false))
        setOtherIds.insert(quint32(pKind->nSubId));
    for (quint32 nId : listChildIds) {
        if (!setOtherIds.contains(nId))
            continue;
        strOther += Change::tr(hashChild.value(nId).strName) + strSeparator + QLatin1Char(' ');
        bAnyOther = true;
    }
    if (bAnyOther) {
        strOther.chop(2);
        strOther += QLatin1Char(')');
        m_strOtherItems = strOther;
    } else {
        m_strOtherItems.clear();
    }

    const PluginInfoTable hashCommon = pConfig->GetCommonItems();
    for (auto it = hashCommon.cbegin(); it != hashCommon.cend(); ++it) {
        if (it->nKind != 0)
            continue;
        CheckBigButton *pButton = new CheckBigButton(*it, this);
        m_listBackup.insert(static_cast<int>(it->nId), pButton);
        if (BackupKinds::IsWideTile(int(it->nId)))
            pButton->SetBtnName(m_strOtherItems);
    }

    if (BackUpUIBBMgr *pMgr = BackUpUIBBMgr::GetInstance())
        pMgr->SetBigButtons(m_listBackup);
}

QList<int> PrepareWizardWidget::TileOrder() const
{
    // Ascending ids, with the double-width "other" tile where it touches no
    // neighbour: last when laid out from the left, first of the second row
    // (aligned with the first row's right edge) when laid out from the right.
    QList<int> listIds = m_listBackup.keys();
    std::sort(listIds.begin(), listIds.end());
    const int nWideId = BackupKinds::WideTileId();
    if (listIds.removeOne(nWideId)) {
        if (m_bRightToLeft && listIds.size() >= kTilesPerRow)
            listIds.insert(kTilesPerRow, nWideId);
        else
            listIds.append(nWideId);
    }
    return listIds;
}

void PrepareWizardWidget::LayoutBigButtons()
{
    const QList<int> listIds = TileOrder();
    int nFirstRow = 0;
    for (int i = 0; i < listIds.size(); ++i) {
        CheckBigButton *pButton = m_listBackup.value(listIds.at(i));
        if (!pButton) {
            LOG_ARG_NULL("LayoutBigButtons");
            continue;
        }
        const bool bWide = BackupKinds::IsWideTile(listIds.at(i));
        if (m_bRightToLeft)
            pButton->setLayoutDirection(Qt::RightToLeft);
        if (i < kTilesPerRow) {
            int nX = 124 + kTilePitch * nFirstRow;
            if (m_bRightToLeft) {
                nX = 648 - kTilePitch * nFirstRow;
                // A double-width tile in the first row grows to the left.
                if (bWide)
                    nX -= 124;
            }
            pButton->move(nX, kFirstRowY);
            ++nFirstRow;
        } else {
            pButton->move(m_bRightToLeft ? 1129 - kTilePitch * i : kTilePitch * i - 481, kSecondRowY);
        }
    }
}

void PrepareWizardWidget::ResetBigButtons()
{
    for (CheckBigButton *pButton : std::as_const(m_listBackup)) {
        if (pButton)
            pButton->Reset();
    }
}

void PrepareWizardWidget::InitButtons()
{
    m_pBtnNext = CreateFunctionButton();
    m_pBtnCancel = CreateFunctionButton();
}

void PrepareWizardWidget::InitButtonText()
{
    if (!m_pBtnNext || !m_pBtnCancel || !m_pBtnBrowse) {
        LOG_ARG_NULL("InitButtonText");
        return;
    }
    m_pBtnNext->setText(Change::tr("IDS_BACKUPUIPLUGIN_NEXTBUTTON"));
    m_pBtnCancel->setText(Change::tr("IDS_BACKUPUIPLUGIN_CANCELBUTTON"));
    m_pBtnBrowse->setText(Change::tr("IDS_BACKUPUIPLUGIN_PREPARE_BROWSE"));
}

void PrepareWizardWidget::InitObjectName()
{
    if (!m_pBtnNext || !m_pBtnCancel || !m_pLabelDescription || !m_pLabelDst || !m_pLabelDstPath
        || !m_pLabelCapacity || !m_pLabelSpaceStatus || !m_pBtnBrowse) {
        LOG_ARG_NULL("InitObjectName");
        return;
    }
    m_pBtnNext->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
    m_pBtnCancel->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
    m_pLabelDescription->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_DescriptionLabel"));
    m_pLabelDst->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_DstLabel"));
    m_pLabelDstPath->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_DstPathLabel"));
    m_pLabelCapacity->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_DstDiscCapacityLabel"));
    m_pLabelSpaceStatus->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_DiskSpaceStatusLabel"));
    m_pBtnBrowse->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_BrowseButton"));
}

void PrepareWizardWidget::InitLayout()
{
    if (!m_pHeader || !m_pLabelDescription || !m_pLabelDst || !m_pLabelDstPath || !m_pLabelCapacity
        || !m_pLabelSpaceStatus || !m_pBtnBrowse || !m_pBtnNext || !m_pBtnCancel) {
        LOG_ARG_NULL("InitLayout");
        return;
    }
    if (m_bRightToLeft) {
        const QList<QWidget *> listWidgets = {m_pHeader,         m_pLabelDescription, m_pLabelDst,
                                              m_pLabelDstPath,   m_pLabelCapacity,    m_pLabelSpaceStatus,
                                              m_pBtnBrowse,      m_pBtnNext,          m_pBtnCancel};
        for (QWidget *pWidget : listWidgets)
            pWidget->setLayoutDirection(Qt::RightToLeft);
        // A label aligns by the direction of its own text; the folder path and
        // the free space start with left-to-right text but belong to the
        // right edge, under the caption.
        m_pLabelDstPath->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
        m_pLabelCapacity->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
        m_pHeader->move(593, 41);
        m_pLabelDescription->move(131, 122);
        LayoutBigButtons();
        m_pLabelDst->move(223, 477);
        m_pLabelDstPath->move(223, 508);
        m_pLabelCapacity->move(223, 525);
        m_pLabelSpaceStatus->move(223, 542);
        m_pBtnBrowse->move(99, 507);
        m_pBtnNext->move(450, 566);
        m_pBtnCancel->move(330, 566);
        if (m_pLabelSelection) {
            m_pLabelSelection->setLayoutDirection(Qt::RightToLeft);
            m_pLabelSelection->setAlignment(Qt::AlignAbsolute | Qt::AlignLeft | Qt::AlignVCenter);
            m_pLabelSelection->move(450 + kButtonWidth + 10, 566);
        }
    } else {
        m_pHeader->move(27, 41);
        m_pLabelDescription->move(131, 122);
        LayoutBigButtons();
        m_pLabelDst->move(143, 477);
        m_pLabelDstPath->move(143, 508);
        m_pLabelCapacity->move(143, 525);
        m_pLabelSpaceStatus->move(143, 542);
        m_pBtnBrowse->move(681, 507);
        m_pBtnNext->move(330, 566);
        m_pBtnCancel->move(450, 566);
        if (m_pLabelSelection) {
            m_pLabelSelection->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
            m_pLabelSelection->move(330 - 10 - m_pLabelSelection->width(), 566);
        }
    }
    if (m_pLabelSelection)
        m_pLabelSelection->setFixedHeight(m_pBtnNext->height());
    SetTabOrder();
}

void PrepareWizardWidget::InitCons()
{
    if (!m_pBtnNext || !m_pBtnCancel || !m_pBtnBrowse || !m_pCountTimer || !m_pStatusTimer) {
        LOG_ARG_NULL("InitCons");
        return;
    }
    connect(m_pBtnNext, &QPushButton::clicked, this, &PrepareWizardWidget::DoNext);
    connect(m_pBtnCancel, &QPushButton::clicked, this, &PrepareWizardWidget::DoCancel);
    connect(m_pBtnBrowse, &QPushButton::clicked, this, &PrepareWizardWidget::slotBrowse);
    connect(m_pCountTimer, &QTimer::timeout, this, &PrepareWizardWidget::soltStepOne);
    connect(m_pStatusTimer, &QTimer::timeout, this, &PrepareWizardWidget::soltGetStatusThread);
    SetKeyButtons(m_pBtnNext, m_pBtnCancel);
}

QWidget *PrepareWizardWidget::FirstFocusWidget() const
{
    if (m_pWaitingFrame && m_pWaitingFrame->isVisible())
        return m_pWaitingFrame;
    for (int nId : TileOrder()) {
        CheckBigButton *pButton = m_listBackup.value(nId);
        if (pButton && pButton->isEnabled())
            return pButton;
    }
    return m_pBtnNext;
}

void PrepareWizardWidget::SetTabOrder()
{
    // Tiles in reading order, then the folder, then the buttons: the order
    // the page is read in, whatever the order of creation.
    QList<QWidget *> listChain;
    for (int nId : TileOrder()) {
        if (CheckBigButton *pButton = m_listBackup.value(nId))
            listChain.append(pButton);
    }
    // Start comes before Cancel in either direction (it is the button read
    // first: left of Cancel, or right of it when mirrored).
    listChain << m_pBtnBrowse << m_pBtnNext << m_pBtnCancel;
    for (int i = 1; i < listChain.size(); ++i)
        QWidget::setTabOrder(listChain.at(i - 1), listChain.at(i));
}

void PrepareWizardWidget::InitialShow()
{
    if (!m_pWaitingFrame || !m_pStatusTimer || !m_pLabelSpaceStatus) {
        LOG_ARG_NULL("InitialShow");
        return;
    }
    if (CommonUtils::GetOperationStatus(0) == 3) {
        // The host is busy with the phone: count once it is free.
        m_pWaitingFrame->ShowFrame();
        m_pWaitingFrame->raise();
        ResetBigButtons();
        m_bStatusDone = false;
        m_pStatusTimer->start(kStatusPollInterval);
    } else {
        InitialShowCount();
        ResetBigButtons();
        m_pWaitingFrame->ShowFrame();
        m_pWaitingFrame->raise();
    }
    RestoreKeptTiles();
    m_pLabelSpaceStatus->hide();
    // The phone is counted anew: its old figures say nothing now.
    m_bCounted = false;
    slotSelectionChanged();
}

void PrepareWizardWidget::KeepChoicesForNextShow()
{
    m_setKeptTiles.clear();
    for (auto it = m_listBackup.cbegin(); it != m_listBackup.cend(); ++it) {
        if (it.value() && it.value()->IsChecked())
            m_setKeptTiles.insert(it.key());
    }
    m_bKeepTiles = true;
    m_strKeptPath = m_strBackUpPath;
}

void PrepareWizardWidget::RestoreKeptTiles()
{
    if (!m_bKeepTiles)
        return;
    m_bKeepTiles = false;
    for (auto it = m_listBackup.cbegin(); it != m_listBackup.cend(); ++it) {
        if (it.value())
            it.value()->SetChecked(m_setKeptTiles.contains(it.key()));
    }
}

void PrepareWizardWidget::soltGetStatusThread()
{
    if (CommonUtils::GetOperationStatus(0) == 3 || !m_pStatusTimer || m_bStatusDone)
        return;
    m_pStatusTimer->stop();
    if (m_pWaitingFrame) {
        InitialShowCount();
        m_bStatusDone = true;
    }
}

void PrepareWizardWidget::soltStepOne()
{
    StartCount();
}

void PrepareWizardWidget::InitialShowCount()
{
    if (BackUpUIThread *pThread = BackUpUIThread::Instance()) {
        if (pThread->isRunning() && m_pCountTimer)
            m_pCountTimer->start(kCountRetryInterval);
        else
            StartCount();
    }
    m_strBackUpPath = ReadBackupLocation();
    if (!m_strKeptPath.isEmpty()) {
        m_strBackUpPath = m_strKeptPath;
        m_strKeptPath.clear();
    }
    ShowBackUpPath();
    slotsPathChanged(m_strBackUpPath);
}

void PrepareWizardWidget::StartCount()
{
    BackUpUIThread *pThread = BackUpUIThread::Instance();
    if (!pThread || pThread->isRunning())
        return;
    if (m_pCountTimer)
        m_pCountTimer->stop();
    connect(pThread, &BackUpUIThread::signalsPluginCount, this, &PrepareWizardWidget::slotPluginCount,
            Qt::UniqueConnection);
    BackUpThreadParam param;
    param.nMode = 3;
    pThread->SetParam(param);
    if (!CommonUtils::GetCloseFlag())
        pThread->start(QThread::InheritPriority);
}

void PrepareWizardWidget::slotPluginCount(int iType)
{
    Q_UNUSED(iType)
    BackUpUIThread *pThread = BackUpUIThread::Instance();
    if (!pThread) {
        LOG_ARG_NULL("slotPluginCount");
        return;
    }
    const QHash<int, structBackupID> hashCounts = pThread->GetModuleCounts();
    for (auto it = m_listBackup.cbegin(); it != m_listBackup.cend(); ++it) {
        CheckBigButton *pButton = it.value();
        if (!pButton || !hashCounts.contains(it.key()))
            continue;
        const QString strText = GetTileText(it.key(), hashCounts);
        if (BackupKinds::IsWideTile(it.key()))
            pButton->SetBtnName(strText);
        else if (!strText.isEmpty())
            pButton->SetTitle(strText);
        pButton->SetBtnData(hashCounts.value(it.key()));
    }
    m_bCounted = true;
    slotSelectionChanged();
    LogLine::Debug(kLogSource, "slotPluginCount", QString::number(__LINE__) + QStringLiteral(" Waiting background hided"));
    if (m_pWaitingFrame)
        m_pWaitingFrame->HideFrame();
    // The keyboard focus leaves the overlay for the first tile.
    QWidget *pFocus = focusWidget();
    if (isVisible() && (!pFocus || pFocus == this || pFocus == m_pWaitingFrame))
        FocusFirst();
}

QString PrepareWizardWidget::GetTileText(int nId, const QHash<int, structBackupID> &hashCounts) const
{
    // A pair of sub-entries: only one kind present gives that kind's name.
    auto pairTitle = [&hashCounts](int nFirst, int nSecond, const char *szFirst, const char *szSecond,
                                   const char *szBoth) {
        const bool bFirstPresent = hashCounts.contains(nFirst);
        const bool bSecondPresent = hashCounts.contains(nSecond);
        const int nFirstCount = hashCounts.value(nFirst).nProNum;
        const int nSecondCount = hashCounts.value(nSecond).nProNum;
        if (bFirstPresent && nFirstCount != 0 && bSecondPresent && nSecondCount == 0)
            return Change::tr(szFirst);
        if (bFirstPresent && nFirstCount == 0 && bSecondPresent && nSecondCount != 0)
            return Change::tr(szSecond);
        return Change::tr(szBoth);
    };

    // The wide tile lists the kinds the phone has, else its configured list.
    if (BackupKinds::IsWideTile(nId)) {
        const QString strSeparator = Change::tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO");
        QString strText = QStringLiteral("(");
        bool bAny = false;
        for (const BackupKind *pKind : BackupKinds::SubItemsOf(nId, true)) {
            if (hashCounts.contains(pKind->nSubId) && hashCounts.value(pKind->nSubId).nProNum != 0) {
                strText += Change::tr(pKind->szNameKey) + strSeparator + QLatin1Char(' ');
                bAny = true;
            }
        }
        if (!bAny)
            return m_strOtherItems;
        strText.chop(2);
        return strText + QLatin1Char(')');
    }
    // A tile of two kinds with sub-entries is titled after the one present.
    const QList<const BackupKind *> listPair = BackupKinds::SubItemsOf(nId, true);
    const BackupTile *pTile = BackupKinds::Tile(nId);
    if (listPair.size() != 2 || !pTile)
        return QString();
    const BackupKind *pFirst = listPair.at(0);
    const BackupKind *pSecond = listPair.at(1);
    return pairTitle(pFirst->nSubId, pSecond->nSubId, pFirst->szNameKey, pSecond->szNameKey, pTile->szNameKey);
}

QString PrepareWizardWidget::ShownPath(const QString &strPath)
{
    if (strPath.size() > kMaxShownPathLength)
        return strPath.left(kMaxShownPathLength) + QStringLiteral("....");
    return strPath;
}

void PrepareWizardWidget::ShowBackUpPath()
{
    if (!m_pLabelDstPath) {
        LOG_ARG_NULL("ShowBackUpPath");
        return;
    }
    m_pLabelDstPath->setText(ShownPath(m_strBackUpPath));
    m_pLabelDstPath->setToolTip(m_strBackUpPath);
}

QString PrepareWizardWidget::ReadBackupLocation()
{
    return BackupLocation::Read(m_strBackUpPath);
}

bool PrepareWizardWidget::CreateBackUpPath()
{
    return BackupLocation::CreateDefaultFolder(m_strBackUpPath);
}

void PrepareWizardWidget::slotBrowse()
{
    if (m_strBackUpPath.isEmpty())
        CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupPath"), m_strBackUpPath);
    const QString strPath =
        QFileDialog::getExistingDirectory(this, QString(), m_strBackUpPath, QFileDialog::ShowDirsOnly);
    if (strPath.isEmpty()) {
        LOG_WARNING("slotBrowse", QStringLiteral("backup path NULL"));
        return;
    }
    m_strBackUpPath = strPath;
    ShowBackUpPath();
    slotsPathChanged(m_strBackUpPath);
    CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupPath"), m_strBackUpPath);
}

QString PrepareWizardWidget::NearestExistingFolder(const QString &strPath)
{
    QString strCurrent = QDir::cleanPath(QDir::fromNativeSeparators(strPath));
    while (!strCurrent.isEmpty()) {
        if (QFileInfo(strCurrent).isDir())
            return strCurrent;
        const QString strParent = QFileInfo(strCurrent).path();
        if (strParent == strCurrent)
            break;
        strCurrent = strParent;
    }
    return QString();
}

QString PrepareWizardWidget::DriveText(const QString &strPath)
{
#ifdef Q_OS_WIN
    return strPath.isEmpty() ? QString() : QString(strPath.at(0).toUpper());
#else
    const QString strFolder = NearestExistingFolder(strPath);
    if (strFolder.isEmpty())
        return QString();
    return QStorageInfo(strFolder).rootPath();
#endif
}

qint64 PrepareWizardWidget::GetDiskSpace(const QString &strPath)
{
#ifdef Q_OS_WIN
    if (strPath.isEmpty())
        return 0;
    const QChar cDrive = strPath.at(0).toUpper();
    const unsigned long ulDrives = _getdrives();
    for (int n = 1; n <= 26; ++n) {
        if (!(ulDrives & (1UL << (n - 1))))
            continue;
        if (QChar(static_cast<char16_t>('A' + n - 1)) != cDrive)
            continue;
        struct _diskfree_t diskFree = {};
        if (_getdiskfree(static_cast<unsigned>(n), &diskFree) != 0)
            return 0;
        return static_cast<qint64>(diskFree.avail_clusters) * static_cast<qint64>(diskFree.sectors_per_cluster)
               * static_cast<qint64>(diskFree.bytes_per_sector);
    }
    return 0;
#else
    const QString strFolder = NearestExistingFolder(strPath);
    if (strFolder.isEmpty())
        return 0;
    const QStorageInfo storage(strFolder);
    if (!storage.isValid() || !storage.isReady())
        return 0;
    return storage.bytesAvailable();
#endif
}

void PrepareWizardWidget::UpdateCapacityText(const QString &strPath)
{
    if (!m_pLabelCapacity) {
        LOG_ARG_NULL("UpdateCapacityText");
        return;
    }
    QString strText = Change::tr("IDS_BACKUPUIPLUGIN_DSTDISCCAPACITY_TEXT");
    strText.replace(QLatin1String("%s1"), DriveText(strPath));
    strText.replace(QLatin1String("%s2"), parseValue(m_ulNoUseSpace));
    m_pLabelCapacity->setText(strText);
}

void PrepareWizardWidget::slotsPathChanged(QString strPath)
{
    if (strPath.isEmpty()) {
        LOG_WARNING("slotsPathChanged", QStringLiteral("PATH NULL"));
        return;
    }
    m_ulNoUseSpace = GetDiskSpace(strPath);
    UpdateCapacityText(strPath);
}

QString PrepareWizardWidget::parseValue(qint64 nBytes) const
{
    const bool bRussian = Change::GetLangName() == QLatin1String("ru");
    constexpr qint64 kKB = 1024;
    constexpr qint64 kMB = kKB * 1024;
    constexpr qint64 kGB = kMB * 1024;
    constexpr qint64 kTB = kGB * 1024;

    QString strNumber;
    const char *szUnit = "IDS_CORE_UNIT_B";
    if (nBytes < kKB) {
        strNumber = QString::number(nBytes);
    } else if (nBytes < kMB) {
        strNumber = QString::number(nBytes / kKB);
        szUnit = "IDS_CORE_UNIT_KB";
    } else if (nBytes < kGB) {
        strNumber = bRussian ? QString::number(nBytes / kMB)
                             : QString::number(static_cast<double>(nBytes / kKB) / 1024.0, 'f', 2);
        szUnit = "IDS_CORE_UNIT_MB";
    } else if (nBytes < kTB) {
        strNumber = bRussian ? QString::number(nBytes / kGB)
                             : QString::number(static_cast<double>(nBytes / kMB) / 1024.0, 'f', 2);
        szUnit = "IDS_CORE_UNIT_GB";
    } else {
        strNumber = QString::number(nBytes / kGB);
        szUnit = "IDS_CORE_UNIT_GB";
    }
    const QString strUnit = Change::tr(szUnit);
    return m_bRightToLeft ? strUnit + strNumber : strNumber + strUnit;
}

qint64 PrepareWizardWidget::GetNeedSpace() const
{
    BackUpUIThread *pThread = BackUpUIThread::Instance();
    if (!pThread)
        return 0;
    const QHash<int, structBackupID> hashCounts = pThread->GetModuleCounts();
    qint64 nNeed = 0;
    for (auto it = m_listBackup.cbegin(); it != m_listBackup.cend(); ++it) {
        if (!it.value() || !it.value()->IsChecked())
            continue;
        const structBackupID entry = hashCounts.value(it.key());
        const BackupTile *pTile = BackupKinds::Tile(it.key());
        if (!pTile)
            continue;
        const qint64 nUnits = pTile->bNeedBySize ? static_cast<qint64>(static_cast<quint32>(entry.nValue2))
                                                 : static_cast<qint64>(entry.nProNum);
        nNeed += nUnits * pTile->nNeedPerUnit;
    }
    return nNeed;
}

bool PrepareWizardWidget::isDiskHasEnoughSpace()
{
    m_ulNoUseSpace = GetDiskSpace(m_strBackUpPath);
    UpdateCapacityText(m_strBackUpPath);
    if (!m_pLabelSpaceStatus) {
        LOG_ARG_NULL("isDiskHasEnoughSpace");
        return false;
    }
    if (GetNeedSpace() <= m_ulNoUseSpace) {
        m_pLabelSpaceStatus->hide();
        return true;
    }
    m_pLabelSpaceStatus->setText(Change::tr("IDS_BACKUPUIPLUGIN_DISKSPACESTATUS_TEXT"));
    m_pLabelSpaceStatus->show();
    return false;
}

bool PrepareWizardWidget::IsDestinationWritable()
{
    if (!m_pLabelSpaceStatus) {
        LOG_ARG_NULL("IsDestinationWritable");
        return false;
    }
    // Found out before the phone is read: a run into a folder that cannot be
    // written would fail every item, as if the phone were at fault.
    QString strReason;
    if (FolderMaker::MakePath(m_strBackUpPath, strReason) && FolderMaker::CanWrite(m_strBackUpPath, strReason))
        return true;
    LOG_WARNING("IsDestinationWritable", m_strBackUpPath + QStringLiteral(": ") + strReason);
    m_pLabelSpaceStatus->setText(Change::tr("IDS_BACKUPUIPLUGIN_DSTNOTWRITABLE_TEXT").replace(QLatin1String("%s"), strReason));
    m_pLabelSpaceStatus->show();
    return false;
}

BackupItems PrepareWizardWidget::GetBackupOjectType() const
{
    BackupItems items;
    if (m_listBackup.isEmpty()) {
        LOG_WARNING("GetBackupOjectType", QStringLiteral("m_listBackup.count() is 0"));
        return items;
    }
    QHash<int, PluginInfo> hashPluginText;
    for (auto it = m_listBackup.cbegin(); it != m_listBackup.cend(); ++it) {
        if (it.value() && it.value()->IsChecked()) {
            const PluginInfo info = it.value()->GetItem();
            hashPluginText.insert(static_cast<int>(info.nId), info);
        }
    }
    if (hashPluginText.isEmpty()) {
        LOG_WARNING("GetBackupOjectType", QStringLiteral("hashPluginText.count() is 0"));
        return items;
    }
    for (auto it = hashPluginText.cbegin(); it != hashPluginText.cend(); ++it)
        BackupKinds::SelectTile(it.key(), items);
    return items;
}

bool PrepareWizardWidget::IsNothingSelected() const
{
    const BackupItems items = GetBackupOjectType();
    for (int nSlot = 0; nSlot < BackupItems::kSlots; ++nSlot) {
        if (items.Slot(nSlot))
            return false;
    }
    return true;
}

QString PrepareWizardWidget::UsageItems(const BackupItems &items)
{
    return QStringLiteral("backup:") + BackupKinds::UsageNames(items).join(QLatin1Char('&')) + QLatin1Char(';');
}

void PrepareWizardWidget::DoNext()
{
    const BackupItems items = GetBackupOjectType();

    ListPipeItem record;
    record.nType = 7;
    record.nId = 20109;
    record.strText = QStringLiteral("cfields=") + CommonUtils::getDatetimeAndVersionString() + QLatin1Char(';')
                     + UsageItems(items) + CommonUtils::getPhoneTypeAndImei();
    CommonUtils::setListPipeItem(record);

    if (!IsDestinationWritable() || !isDiskHasEnoughSpace())
        return;

    BackUpUIBBMgr *pMgr = BackUpUIBBMgr::ExistingInstance();
    if (pMgr && (pMgr->GetOutFuncCaller() == 1 || pMgr->GetOutFuncCaller() == 2)) {
        // Another plugin asked for the backup: it runs while that plugin
        // stays in front, so this page does not switch.
        Backup();
        pMgr->ShowCaller();
        return;
    }
    if (!IsNothingSelected() && Backup())
        CustomWizardWidget::DoNext();
}

bool PrepareWizardWidget::Backup()
{
    BackUpThreadParam param;
    param.nMode = 1;
    param.items = GetBackupOjectType();
    param.strPath = m_strBackUpPath;

    BackUpUIThread *pThread = BackUpUIThread::Instance();
    if (!pThread)
        return false;
    if (CommonUtils::GetCloseFlag()) {
        LOG_WARNING("Backup", QStringLiteral("the host is closing"));
        return false;
    }
    // An earlier job (a counting run) must end before the parameters change.
    pThread->wait();
    pThread->SetParam(param);
    const int iMaxSize = pThread->GetProgressTotal();
    LogLine::Debug(kLogSource, "Backup", QStringLiteral("%1 iMaxSize:%2").arg(__LINE__).arg(iMaxSize));

    if (DoingWizardWidget *pDoing = qobject_cast<DoingWizardWidget *>(m_pNextPage))
        pDoing->setProgressBarRange(0, iMaxSize);

    pThread->start(QThread::InheritPriority);
    return true;
}

void PrepareWizardWidget::HideMainWindow()
{
    if (m_pFrame)
        m_pFrame->hide();
    else
        hide();
}

void PrepareWizardWidget::DoCancel()
{
    if (m_pPreviousPage) {
        CustomWizardWidget::DoCancel();
        return;
    }
    BackUpUIBBMgr *pMgr = BackUpUIBBMgr::ExistingInstance();
    if (!pMgr) {
        LOG_ARG_NULL("DoCancel");
        return;
    }
    switch (pMgr->GetOutFuncCaller()) {
    case 1:
        pMgr->NotifyCancel();
        HideMainWindow();
        pMgr->NotifyClose();
        break;
    case 2:
        ShowPlugin(QStringLiteral("MyToolUIPlugin"));
        HideMainWindow();
        break;
    default:
        ShowPlugin(QStringLiteral("HomeUIPlugin"));
        HideMainWindow();
        break;
    }
}

bool PrepareWizardWidget::ShowPlugin(const QString &strPluginName)
{
    ILayoutPlugin *pLayout = CommonUtils::GetLayoutPlugin();
    if (!pLayout) {
        qDebug() << "FuncUIWidget::ShowPlugin pLayout is Null";
        return false;
    }
    return pLayout->ShowPlugin(strPluginName);
}

void PrepareWizardWidget::StopTimers()
{
    if (m_pCountTimer)
        m_pCountTimer->stop();
    if (m_pStatusTimer)
        m_pStatusTimer->stop();
}
