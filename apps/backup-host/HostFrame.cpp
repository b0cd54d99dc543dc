#include "HostFrame.h"

#include <host/StandardTitleBar.h>
#include <sdk/dvsk_device.h>
#include <sdk/dvsk_sim.h>

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>

HostFrame::HostFrame(QWidget *pParent) : QWidget(pParent)
{
    setObjectName(QStringLiteral("HostFrame"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Pelorix"));
    setFixedSize(kAreaWidth, kAreaHeight + kStripHeight);

    m_pPluginArea = new QWidget(this);
    m_pPluginArea->setObjectName(QStringLiteral("HostFrame_PluginArea"));
    m_pPluginArea->setGeometry(PluginRect());

    m_pTitleBar = new StandardTitleBar(m_pPluginArea);
    m_pTitleBar->SetBtnSettingHide(true);
    m_pTitleBar->SetTitleBarRect(QRect(0, 0, kAreaWidth, 48));
    m_pTitleBar->InitLayout();

    auto *pStrip = new QWidget(this);
    pStrip->setObjectName(QStringLiteral("HostFrame_Strip"));
    pStrip->setGeometry(0, kAreaHeight, kAreaWidth, kStripHeight);
    pStrip->setAutoFillBackground(true);
    m_pLabelPhone = new QLabel(pStrip);
    m_pLabelPhone->setObjectName(QStringLiteral("HostFrame_PhoneLabel"));
    m_pBtnPhone = new QPushButton(pStrip);
    m_pBtnPhone->setObjectName(QStringLiteral("HostFrame_PhoneButton"));
    m_pBtnPhone->setFocusPolicy(Qt::NoFocus);
    m_pBtnBackup = new QPushButton(QStringLiteral("Backup"), pStrip);
    m_pBtnBackup->setObjectName(QStringLiteral("HostFrame_BackupButton"));
    m_pBtnBackup->setFocusPolicy(Qt::NoFocus);
    m_pLabelCall = new QLabel(pStrip);
    m_pLabelCall->setObjectName(QStringLiteral("HostFrame_CallLabel"));
    m_pLabelCall->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *pLayout = new QHBoxLayout(pStrip);
    pLayout->setContentsMargins(8, 2, 8, 2);
    pLayout->addWidget(m_pLabelPhone);
    pLayout->addWidget(m_pBtnPhone);
    pLayout->addWidget(m_pBtnBackup);
    pLayout->addSpacing(16);
    pLayout->addWidget(m_pLabelCall, 1);

    connect(m_pBtnPhone, &QPushButton::clicked, this, &HostFrame::slotTogglePhone);
    m_pBtnPhone->setVisible(qstrcmp(DVSK_Device_Kind(), "sim") == 0);
    connect(m_pBtnBackup, &QPushButton::clicked, this, &HostFrame::signalShowBackupRequested);
    slotUpdatePhoneState();
    // The wizard may unplug or plug in the phone as well; the strip follows.
    auto *pPhoneTimer = new QTimer(this);
    connect(pPhoneTimer, &QTimer::timeout, this, &HostFrame::slotUpdatePhoneState);
    pPhoneTimer->start(1000);
}

HostFrame::~HostFrame() = default;

void HostFrame::RaiseTitleBar()
{
    m_pTitleBar->raise();
}

void HostFrame::slotUpdatePhoneState()
{
    // The name is read again only when another phone is chosen (the
    // wizard's phone picker switches phones) or none was read yet.
    char *szChoice = DVSK_Device_GetChoice();
    const QString strChoice = QString::fromUtf8(szChoice);
    std::free(szChoice);
    if (m_strPhoneName.isEmpty() || strChoice != m_strPhoneChoice) {
        char *szDevice = DVSK_Device_GetInfo();
        m_strPhoneName = szDevice ? QString::fromUtf8(szDevice).section(QLatin1Char('\n'), 0, 0) : QString();
        std::free(szDevice);
        m_strPhoneChoice = strChoice;
    }
    const bool bAttached = DVSK_Device_IsAttached() == 1;
    const QString strText = QStringLiteral("Phone: %1 (%2)")
                                .arg(m_strPhoneName.isEmpty() ? QStringLiteral("none") : m_strPhoneName,
                                     bAttached ? QStringLiteral("connected") : QStringLiteral("unplugged"));
    if (m_pLabelPhone->text() != strText) {
        m_pLabelPhone->setText(strText);
        m_pBtnPhone->setText(bAttached ? QStringLiteral("Unplug") : QStringLiteral("Plug in"));
    }
}

void HostFrame::slotHostCall(const QString &strLine)
{
    m_pLabelCall->setText(m_pLabelCall->fontMetrics().elidedText(strLine, Qt::ElideRight, m_pLabelCall->width()));
    m_pLabelCall->setToolTip(strLine);
}

void HostFrame::slotTogglePhone()
{
    // A real phone is unplugged by hand, not by a button.
    if (qstrcmp(DVSK_Device_Kind(), "sim") != 0)
        return;
    if (DVSK_Sim_IsAttached() == 1)
        DVSK_Sim_Detach();
    else
        DVSK_Sim_Attach();
    slotUpdatePhoneState();
}

void HostFrame::moveEvent(QMoveEvent *pEvent)
{
    QWidget::moveEvent(pEvent);
    emit signalMoved();
}

void HostFrame::resizeEvent(QResizeEvent *pEvent)
{
    QWidget::resizeEvent(pEvent);
    emit signalResized();
}

void HostFrame::closeEvent(QCloseEvent *pEvent)
{
    if (!m_bClosing) {
        m_bClosing = true;
        emit signalClosing();
    }
    pEvent->accept();
}
