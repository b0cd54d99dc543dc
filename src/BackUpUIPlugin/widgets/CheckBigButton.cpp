#include "CheckBigButton.h"

#include "BackupKinds.h"
#include "BigButton.h"
#include "host/Change.h"
#include "LogLine.h"
#include "sdk/dvsk.h"

#include <QFocusEvent>
#include <QFrame>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\CheckBigButton";

namespace
{
// Transfer rate assumed for the time estimate, in kilobytes per second.
const double kKiloBytesPerSecond = 1536.0;

QPushButton *CreateFrame(QWidget *pTile, const QSize &size, const QString &strObjectName)
{
    QPushButton *pFrame = new QPushButton(pTile);
    pFrame->setFlat(true);
    // The tile itself is the keyboard stop; its frames only take clicks.
    pFrame->setFocusPolicy(Qt::NoFocus);
    pFrame->setFixedSize(size);
    pFrame->setContentsMargins(0, 0, 0, 0);
    pFrame->move(0, 0);
    pFrame->raise();
    pFrame->setObjectName(strObjectName);
    return pFrame;
}
} // namespace

CheckBigButton::CheckBigButton(const PluginInfo &info, QWidget *parent)
    : QPushButton(parent), m_pluginInfo(info), m_pParent(parent)
{
    const QSize size = BigButton::TileSize(info.nId);
    setFixedSize(size);
    setContentsMargins(0, 0, 0, 0);
    setFlat(true);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);

    const QString strPrefix = BackupKinds::IsWideTile(static_cast<int>(info.nId)) ? QStringLiteral("BackUpUIPlugin_BigButton_Other_")
                                                   : QStringLiteral("BackUpUIPlugin_BigButton_");
    m_pCommonFrame = CreateFrame(this, size, strPrefix + QStringLiteral("CommonFrame"));
    m_pCheckFrame = CreateFrame(this, size, strPrefix + QStringLiteral("CheckFrame"));
    m_pDisableFrame = CreateFrame(this, size, strPrefix + QStringLiteral("DisableFrame"));
    m_pCheckFrame->hide();
    m_pDisableFrame->hide();
    // The skin mirrors the checked look's corner flag for right-to-left tiles.
    if (Change::GetRightToLeftLayout()) {
        for (QPushButton *pFrame : {m_pCommonFrame, m_pCheckFrame, m_pDisableFrame})
            pFrame->setProperty("mirrored", true);
    }

    m_pContent = new BigButton(info, m_pCommonFrame);
    m_pContent->setGeometry(QRect(QPoint(0, 0), size));
    m_pContent->raise();
    // Mouse events pass through the content to the frame beneath, so the
    // frame gets its hover look and its clicks.
    m_pContent->setAttribute(Qt::WA_TransparentForMouseEvents, true);

    m_pFocusFrame = new QFrame(this);
    m_pFocusFrame->setObjectName(QStringLiteral("BackUpUIPlugin_BigButton_FocusFrame"));
    m_pFocusFrame->setGeometry(QRect(QPoint(0, 0), size));
    m_pFocusFrame->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    m_pFocusFrame->hide();
    m_pFocusFrame->raise();

    Reset();

    connect(m_pCommonFrame, &QPushButton::clicked, this, &CheckBigButton::ButtonPressed);
    connect(m_pCheckFrame, &QPushButton::clicked, this, &CheckBigButton::ButtonPressed);
    // Space on the focused tile.
    connect(this, &QPushButton::clicked, this, &CheckBigButton::ButtonPressed);
}

void CheckBigButton::nextCheckState()
{
}

void CheckBigButton::focusInEvent(QFocusEvent *pEvent)
{
    QPushButton::focusInEvent(pEvent);
    // A click shows the new look already; the ring is for keyboard users.
    if (m_pFocusFrame && pEvent->reason() != Qt::MouseFocusReason)
        m_pFocusFrame->show();
}

void CheckBigButton::focusOutEvent(QFocusEvent *pEvent)
{
    QPushButton::focusOutEvent(pEvent);
    if (m_pFocusFrame)
        m_pFocusFrame->hide();
}

void CheckBigButton::paintEvent(QPaintEvent *pEvent)
{
    Q_UNUSED(pEvent)
}

void CheckBigButton::UpdateAccessibleText()
{
    if (!m_pContent)
        return;
    setAccessibleName(m_pContent->AccessibleName());
    setAccessibleDescription(m_pContent->AccessibleDescription());
}

void CheckBigButton::ShowLook(Look eLook)
{
    if (!m_pCommonFrame || !m_pCheckFrame || !m_pDisableFrame || !m_pContent) {
        LOG_ARG_NULL("ShowLook");
        return;
    }
    QPushButton *pShown = m_pCommonFrame;
    if (eLook == LookChecked)
        pShown = m_pCheckFrame;
    else if (eLook == LookDisabled)
        pShown = m_pDisableFrame;

    for (QPushButton *pFrame : {m_pCommonFrame, m_pCheckFrame, m_pDisableFrame})
        pFrame->setVisible(pFrame == pShown);
    if (m_pContent->parentWidget() != pShown) {
        m_pContent->setParent(pShown);
        m_pContent->move(0, 0);
    }
    m_pContent->show();
    m_pContent->raise();

    m_bChecked = eLook == LookChecked;
    setChecked(m_bChecked);
    setEnabled(eLook != LookDisabled);
    switch (eLook) {
    case LookUnchecked:
        m_pContent->SetActive(false);
        break;
    case LookChecked:
        m_pContent->SetActive(true);
        break;
    case LookDisabled:
        m_pContent->SetStatusColor(BigButton::StatusDisabled);
        break;
    }
}

void CheckBigButton::ButtonPressed()
{
    ShowLook(m_bChecked ? LookUnchecked : LookChecked);
}

void CheckBigButton::SetChecked(bool bChecked)
{
    ShowLook(bChecked ? LookChecked : LookUnchecked);
}

void CheckBigButton::SetEnableFrame()
{
    if (!m_pDisableFrame) {
        LOG_ARG_NULL("SetEnableFrame");
        return;
    }
    setEnabled(true);
    m_pDisableFrame->hide();
}

void CheckBigButton::SetDisableFrame()
{
    ShowLook(LookDisabled);
}

void CheckBigButton::Reset()
{
    if (!m_pContent) {
        LOG_ARG_NULL("Reset");
        return;
    }
    SetEnableFrame();
    m_pContent->Reset();
    ShowLook(m_pluginInfo.bEnable ? LookChecked : LookUnchecked);
    UpdateAccessibleText();
}

void CheckBigButton::SetTitle(const QString &strTitle)
{
    if (!m_pContent) {
        LOG_ARG_NULL("SetTitle");
        return;
    }
    m_pContent->SetTitle(strTitle);
    UpdateAccessibleText();
}

void CheckBigButton::SetBtnName(const QString &strName)
{
    if (!m_pContent) {
        LOG_ARG_NULL("SetBtnName");
        return;
    }
    m_pContent->SetBtnName(strName);
    UpdateAccessibleText();
}

void CheckBigButton::SetNum(const QString &strNum)
{
    if (!m_pContent) {
        LOG_ARG_NULL("SetNum");
        return;
    }
    m_pContent->SetNum(strNum);
    UpdateAccessibleText();
}

void CheckBigButton::SetSize(const QString &strSize)
{
    if (!m_pContent) {
        LOG_ARG_NULL("SetSize");
        return;
    }
    m_pContent->SetSize(strSize);
    UpdateAccessibleText();
}

void CheckBigButton::SetNeedTime(quint32 nKiloBytes)
{
    if (!m_pContent) {
        LOG_ARG_NULL("SetNeedTime");
        return;
    }
    if (nKiloBytes == 0)
        return;
    m_pContent->SetNeedTime(NeedTimeText(nKiloBytes));
    UpdateAccessibleText();
}

void CheckBigButton::SetBtnData(const structBackupID &record)
{
    if (!m_pContent) {
        LOG_ARG_NULL("SetBtnData");
        return;
    }
    int nCount = record.nProNum;
    const quint32 nKiloBytes = static_cast<quint32>(record.nValue2);
    if (nCount <= 0) {
        SetDisableFrame();
        nCount = 0;
    }
    m_pContent->SetNum(QString::number(nCount));
    // A phone that does not give this kind of data says so instead of
    // looking empty.
    if (nCount == 0 && record.nValue == DVSK_ERR_NOT_AVAILABLE)
        m_pContent->SetSize(Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_NOTAVAILABLE_TEXT"));
    else if (nKiloBytes != 0)
        m_pContent->SetSize(FormatSize(nKiloBytes));
    SetNeedTime(nKiloBytes);
    // A note shortened on the tile is read whole from its tooltip.
    setToolTip(m_pContent->IsSizeShortened() ? m_pContent->GetSize() : QString());
    UpdateAccessibleText();
}

QString CheckBigButton::GetTitle() const
{
    if (!m_pContent) {
        LOG_ARG_NULL("GetTitle");
        return QString();
    }
    return m_pContent->GetTitle();
}

QString CheckBigButton::FormatSize(quint32 nKiloBytes)
{
    // Single precision, as the counts are shown: each unit is 1/1024 of the next.
    const float fKiloBytes = static_cast<float>(nKiloBytes);
    const float fUnit = 1.0f / 1024.0f;
    const float fMega = fKiloBytes * fUnit;
    const float fGiga = fMega * fUnit;
    const float fTera = fGiga * fUnit;
    const float fPeta = fTera * fUnit;

    QString strNumber;
    const char *szUnit = nullptr;
    if (fMega < 1.0f) {
        strNumber = QString::number(static_cast<double>(fKiloBytes), 'f', 0);
        szUnit = "IDS_CORE_UNIT_KB";
    } else if (fGiga < 1.0f) {
        strNumber = QString::number(static_cast<double>(fMega), 'f', 0);
        szUnit = "IDS_CORE_UNIT_MB";
    } else if (fTera < 1.0f) {
        strNumber = QString::number(static_cast<double>(fGiga), 'f', 2);
        szUnit = "IDS_CORE_UNIT_GB";
    } else if (fPeta < 1.0f) {
        strNumber = QString::number(static_cast<double>(fTera), 'f', 2);
        szUnit = "IDS_CORE_UNIT_TB";
    } else {
        return QString();
    }
    return strNumber + QLatin1Char(' ') + Change::tr(szUnit);
}

int CheckBigButton::NeedMinutes(quint32 nKiloBytes)
{
    return static_cast<int>(static_cast<double>(nKiloBytes) / kKiloBytesPerSecond / 60.0 + 0.5);
}

QString CheckBigButton::NeedTimeText(quint32 nKiloBytes)
{
    const int nMinutes = NeedMinutes(nKiloBytes);
    if (nMinutes <= 1)
        return Change::tr("IDS_BACKUPUIPLUGIN_TIME_REMAINING_ONEMINUTE");
    const QString strText = Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_NEEDTIME_TEXT");
    // An untranslated key has no placeholder; QString::arg would warn.
    if (!strText.contains(QLatin1String("%1")))
        return strText;
    return strText.arg(nMinutes);
}
