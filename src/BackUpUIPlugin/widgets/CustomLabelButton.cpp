#include "CustomLabelButton.h"

#include "host/Change.h"

#include <QLabel>
#include <QPushButton>

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

    for (QLabel *pLabel : {m_pArrowLabel, m_pButtonLabel, m_pTextLabel})
        pLabel->setContentsMargins(0, 0, 0, 0);

    if (Change::GetRightToLeftLayout()) {
        m_pArrowLabel->move(257, 0);
        m_pButtonLabel->move(185, 0);
        m_pTextLabel->move(0, 27);
        // Next to the icon, whatever the direction of the text itself.
        m_pTextLabel->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    } else {
        m_pArrowLabel->move(1, 0);
        m_pButtonLabel->move(19, 0);
        m_pTextLabel->move(97, 27);
    }
}
