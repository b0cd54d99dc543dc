#include "CustomLabelButton.h"

#include "host/Change.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace
{
constexpr int kPhoneWidth = 176;
} // namespace

CustomLabelButton::CustomLabelButton(QWidget *parent) : QWidget(parent)
{
    setFixedSize(276, 72);
    setContentsMargins(0, 0, 0, 0);

    m_pButton = new QPushButton(this);
    m_pButton->setFixedSize(276, 72);
    m_pButton->setContentsMargins(0, 0, 0, 0);
    m_pButton->setFlat(true);
    m_pButton->setEnabled(false);
    m_pButton->move(0, 0);
    m_pButton->setObjectName(QStringLiteral("BackUpUIPlugin_CustomLabelButton_Button"));

    m_pArrowLabel = new QLabel(m_pButton);
    m_pArrowLabel->setFixedSize(18, 72);
    m_pArrowLabel->setObjectName(QStringLiteral("BackUpUIPlugin_CustomLabelButton_ArrowLabel"));

    m_pButtonLabel = new QLabel(m_pButton);
    m_pButtonLabel->setFixedSize(72, 72);
    m_pButtonLabel->setObjectName(QStringLiteral("BackUpUIPlugin_CustomLabelButton_ButtonLabel"));

    m_pTextLabel = new QLabel(m_pButton);
    m_pTextLabel->setFixedSize(180, 20);
    m_pTextLabel->setObjectName(QStringLiteral("BackUpUIPlugin_CustomLabelButton_TextLabel"));
    m_pTextLabel->setText(Change::tr("IDS_BACKUPUIPLUGIN_LOGBUTTONTEXT"));

    m_pPhoneLabel = new QLabel(m_pButton);
    m_pPhoneLabel->setFixedSize(kPhoneWidth, 32);
    m_pPhoneLabel->setObjectName(QStringLiteral("BackUpUIPlugin_CustomLabelButton_PhoneLabel"));
    m_pPhoneLabel->setTextFormat(Qt::PlainText);
    m_pPhoneLabel->setWordWrap(true);
    m_pPhoneLabel->setAlignment(Qt::AlignTop | Qt::AlignLeading);
    m_pPhoneLabel->hide();

    for (QLabel *pLabel : {m_pArrowLabel, m_pButtonLabel, m_pTextLabel, m_pPhoneLabel})
        pLabel->setContentsMargins(0, 0, 0, 0);

    if (Change::GetRightToLeftLayout()) {
        m_pArrowLabel->move(257, 0);
        m_pButtonLabel->move(185, 0);
        m_pTextLabel->move(0, 27);
        // Next to the icon, whatever the direction of the text itself.
        m_pTextLabel->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
        m_pPhoneLabel->setLayoutDirection(Qt::RightToLeft);
        m_pPhoneLabel->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignTop);
    } else {
        m_pArrowLabel->move(1, 0);
        m_pButtonLabel->move(19, 0);
        m_pTextLabel->move(97, 27);
    }
}

void CustomLabelButton::SetPhoneText(const QString &strText)
{
    m_strPhone = strText;
    const bool bRightToLeft = Change::GetRightToLeftLayout();
    // With a phone the title moves up to make room for the phone's line.
    const int nTitleTop = strText.isEmpty() ? 27 : 14;
    m_pTextLabel->move(bRightToLeft ? 0 : 97, nTitleTop);
    m_pPhoneLabel->move(bRightToLeft ? 180 - kPhoneWidth : 97, nTitleTop + 22);
    m_pPhoneLabel->setVisible(!strText.isEmpty());
    m_pButton->setAccessibleName(strText.isEmpty() ? m_pTextLabel->text()
                                                   : m_pTextLabel->text() + QStringLiteral(", ") + strText);
    m_pPhoneLabel->ensurePolished();
    // Two lines at most; what does not fit ends in an ellipsis.
    const QFontMetrics metrics = m_pPhoneLabel->fontMetrics();
    const QRect rectNeeded = metrics.boundingRect(QRect(0, 0, kPhoneWidth, 1000), Qt::TextWordWrap, strText);
    const bool bFits = rectNeeded.height() <= m_pPhoneLabel->height();
    m_pPhoneLabel->setText(bFits ? strText : metrics.elidedText(strText, Qt::ElideMiddle, kPhoneWidth));
    m_pPhoneLabel->setToolTip(bFits ? QString() : strText);
    setToolTip(bFits ? QString() : strText);
}
