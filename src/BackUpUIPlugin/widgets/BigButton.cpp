#include "BigButton.h"

#include "BackupKinds.h"
#include "host/Change.h"
#include "LogLine.h"

#include <QFontMetrics>
#include <QStringList>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BigButton";

namespace
{
// A sub-item list this long no longer fits beside the count and goes below it.
const int kLongNameLength = 50;
// The size's line, and the room a note in its place may take when there is
// no time to show: down to the title.
const int kSizeLineHeight = 13;
const int kSizeNoteHeight = 34;

// Set on the content and its labels when they are laid out right to left.
const char *const kMirroredProperty = "mirrored";

// Each colour reads at 4.5 : 1 or more on its look's card in the skin
// (disabled: light grey card; checked: pale blue card).
const char *const kColorDisabled = "color:rgb(90,97,109);";
const char *const kColorUnchecked = "color:rgb(103,103,103);";
const char *const kColorCheckedTitle = "color:rgb(10,102,186);";
const char *const kColorCheckedValue = "color:rgb(0,0,0);";
} // namespace

BigButton::BigButton(const PluginInfo &info, QWidget *parent)
    : QLabel(parent), m_pluginInfo(info), m_nCurrentId(static_cast<int>(info.nId)), m_pParent(parent),
      m_bActive(info.bEnable)
{
    InitLabels();
    InitLayout();
}

QSize BigButton::TileSize(quint32 nId)
{
    return BackupKinds::IsWideTile(static_cast<int>(nId)) ? QSize(248, 135) : QSize(124, 135);
}

QString BigButton::ObjectWord(quint32 nId)
{
    return BackupKinds::ObjectWord(static_cast<int>(nId));
}

void BigButton::InitLabels()
{
    m_pTitleLabel = new QLabel(this);
    m_pNumLabel = new QLabel(this);
    m_pSizeLabel = new QLabel(this);
    m_pTimeLabel = new QLabel(this);
    m_pNameLabel = new QLabel(this);

    setFixedSize(TileSize(m_pluginInfo.nId));
    setContentsMargins(0, 0, 0, 0);
    m_pTitleLabel->setFixedSize(100, 18);
    m_pNumLabel->setFixedSize(100, 34);
    m_pSizeLabel->setFixedSize(100, kSizeLineHeight);
    m_pTimeLabel->setFixedSize(100, 13);
    m_pNameLabel->setFixedSize(224, 45);
    for (QLabel *pLabel : {m_pTitleLabel, m_pNumLabel, m_pSizeLabel, m_pTimeLabel, m_pNameLabel})
        pLabel->setContentsMargins(0, 0, 0, 0);
    m_pTitleLabel->setWordWrap(true);
    m_pNameLabel->setWordWrap(true);
    m_pNameLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    m_pTitleLabel->setText(Change::tr(m_pluginInfo.strName));

    const QString strPrefix = QStringLiteral("BackUpUIPlugin_BigButton_") + ObjectWord(m_pluginInfo.nId);
    setObjectName(strPrefix + QStringLiteral("Frame"));
    m_pTitleLabel->setObjectName(strPrefix + QStringLiteral("_Title"));
    m_pNumLabel->setObjectName(strPrefix + QStringLiteral("_Num"));
    m_pSizeLabel->setObjectName(strPrefix + QStringLiteral("_Value"));
    m_pTimeLabel->setObjectName(strPrefix + QStringLiteral("_Time"));
    m_pNameLabel->setObjectName(strPrefix + QStringLiteral("_OtherContent"));
}

void BigButton::InitLayout()
{
    const bool bOther = BackupKinds::IsWideTile(static_cast<int>(m_pluginInfo.nId));
    const bool bRightToLeft = Change::GetRightToLeftLayout();
    // Right to left the whole content is mirrored: the wide tile's values go
    // to its right half (x 136), a narrow tile's column (12 ... 112) mirrors
    // onto itself.
    const int nLeft = (bRightToLeft && bOther) ? 136 : 12;
    m_pNumLabel->move(nLeft, 20);
    m_pSizeLabel->move(nLeft, 60);
    m_pTimeLabel->move(nLeft, 76);
    m_pTitleLabel->move(nLeft, 95);
    m_pNameLabel->move(bOther ? QPoint(12, 50) : QPoint(100, 14));

    // The skin places the kind's icon in the corner opposite the values and
    // keeps the sub-item list in the half opposite them; it reads this
    // property to do so.
    setProperty(kMirroredProperty, bRightToLeft);
    if (!bRightToLeft)
        return;
    for (QLabel *pLabel : {m_pTitleLabel, m_pNumLabel, m_pSizeLabel, m_pTimeLabel, m_pNameLabel}) {
        pLabel->setLayoutDirection(Qt::RightToLeft);
        pLabel->setProperty(kMirroredProperty, true);
        // A label aligns by the direction of its text, so a count or a size
        // (digits) would stay on the left: align every label to the right
        // edge, as the title's own direction does.
        const Qt::Alignment vertical = pLabel->alignment() & Qt::AlignVertical_Mask;
        pLabel->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | vertical);
    }
}

void BigButton::SetTitle(const QString &strTitle)
{
    if (!m_pTitleLabel) {
        LOG_ARG_NULL("SetTitle");
        return;
    }
    if (strTitle.isEmpty())
        return;
    // Translating is harmless for a text that is already translated: a text
    // without translation comes back unchanged.
    m_pTitleLabel->setText(Change::tr(strTitle));
}

void BigButton::SetBtnName(const QString &strName)
{
    if (!m_pNameLabel) {
        LOG_ARG_NULL("SetBtnName");
        return;
    }
    if (!BackupKinds::IsWideTile(m_nCurrentId))
        return;
    m_pNameLabel->setText(strName);
    if (strName.length() >= kLongNameLength)
        m_pNameLabel->move(12, 50);
}

void BigButton::SetNum(const QString &strNum)
{
    if (!m_pNumLabel) {
        LOG_ARG_NULL("SetNum");
        return;
    }
    m_pNumLabel->setText(strNum);
}

void BigButton::SetSize(const QString &strSize)
{
    if (!m_pSizeLabel) {
        LOG_ARG_NULL("SetSize");
        return;
    }
    m_strSize = strSize;
    LayoutSize();
}

void BigButton::LayoutSize()
{
    m_pSizeLabel->ensurePolished();
    const QFontMetrics metrics = m_pSizeLabel->fontMetrics();
    const int nWidth = m_pSizeLabel->width();
    const bool bOneLine = metrics.horizontalAdvance(m_strSize) <= nWidth;
    const int nTwoLines = kSizeNoteHeight;
    const bool bTwoLines = !bOneLine && m_pTimeLabel->text().isEmpty()
                           && metrics.boundingRect(QRect(0, 0, nWidth, 1000), Qt::TextWordWrap, m_strSize).height() <= nTwoLines;
    m_pSizeLabel->setWordWrap(bTwoLines);
    m_pSizeLabel->setFixedHeight(bTwoLines ? nTwoLines : kSizeLineHeight);
    m_bSizeShortened = !bOneLine && !bTwoLines;
    m_pSizeLabel->setText(m_bSizeShortened ? metrics.elidedText(m_strSize, Qt::ElideRight, nWidth) : m_strSize);
}

void BigButton::SetNeedTime(const QString &strTime)
{
    if (!m_pTimeLabel) {
        LOG_ARG_NULL("SetNeedTime");
        return;
    }
    m_pTimeLabel->setText(strTime);
    // A size note on two lines gives the time its line back.
    if (m_pSizeLabel && !m_strSize.isEmpty())
        LayoutSize();
}

void BigButton::SetStatusColor(int nStatus)
{
    if (!m_pTitleLabel || !m_pNameLabel || !m_pNumLabel || !m_pSizeLabel) {
        LOG_ARG_NULL("SetStatusColor");
        return;
    }
    QString strText;
    QString strValue;
    switch (nStatus) {
    case StatusDisabled:
        strText = strValue = QLatin1String(kColorDisabled);
        break;
    case StatusUnchecked:
        strText = strValue = QLatin1String(kColorUnchecked);
        break;
    case StatusChecked:
        strText = QLatin1String(kColorCheckedTitle);
        strValue = QLatin1String(kColorCheckedValue);
        break;
    default:
        return;
    }
    m_pTitleLabel->setStyleSheet(strText);
    m_pNameLabel->setStyleSheet(strText);
    m_pNumLabel->setStyleSheet(strValue);
    m_pSizeLabel->setStyleSheet(strValue);
}

void BigButton::SetActive(bool bActive)
{
    m_bActive = bActive;
    SetStatusColor(bActive ? StatusChecked : StatusUnchecked);
}

void BigButton::Reset()
{
    if (!m_pNumLabel || !m_pSizeLabel || !m_pTimeLabel) {
        LOG_ARG_NULL("Reset");
        return;
    }
    m_nCurrentId = static_cast<int>(m_pluginInfo.nId);
    SetActive(m_pluginInfo.bEnable);
    m_pNumLabel->clear();
    m_pTimeLabel->clear();
    SetSize(QString());
}

QString BigButton::GetTitle() const
{
    if (!m_pTitleLabel) {
        LOG_ARG_NULL("GetTitle");
        return QString();
    }
    return m_pTitleLabel->text();
}

QString BigButton::AccessibleName() const
{
    if (!m_pTitleLabel || !m_pNameLabel)
        return QString();
    const QString strNames = m_pNameLabel->text();
    if (!BackupKinds::IsWideTile(static_cast<int>(m_pluginInfo.nId)) || strNames.isEmpty())
        return m_pTitleLabel->text();
    return m_pTitleLabel->text() + QLatin1Char(' ') + strNames;
}

QString BigButton::AccessibleDescription() const
{
    if (!m_pNumLabel || !m_pSizeLabel || !m_pTimeLabel)
        return QString();
    QStringList listParts;
    if (!m_pNumLabel->text().isEmpty()) {
        const QString strCount = Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_ACCESSIBLE_COUNT");
        listParts << (strCount.contains(QLatin1String("%s")) ? QString(strCount).replace(QLatin1String("%s"), m_pNumLabel->text())
                                                            : m_pNumLabel->text());
    }
    // The size's whole text, also where the tile shows it shortened.
    if (!m_strSize.isEmpty())
        listParts << m_strSize;
    if (!m_pTimeLabel->text().isEmpty())
        listParts << m_pTimeLabel->text();
    return listParts.join(Change::tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + QLatin1Char(' '));
}
