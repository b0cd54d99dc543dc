#include "ConnectWizardWidget.h"

#include "CustomLabelButton.h"
#include "LogLine.h"
#include "PhonePickerWidget.h"
#include "PhoneTexts.h"
#include "PhoneWatcher.h"

#include <host/Change.h>
#include <sdk/dvsk_device.h>

#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>

#include <cstdlib>
#include <memory>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\ConnectWizardWidget";

namespace
{
constexpr int kLeft = 131;
constexpr int kWidth = 634;
constexpr int kStepTop = 152;
constexpr int kStepPitch = 52;
constexpr int kNumberSize = 24;
const char *const kStepKeys[] = {"IDS_BACKUPUIPLUGIN_CONNECT_STEP1_TEXT", "IDS_BACKUPUIPLUGIN_CONNECT_STEP2_TEXT",
                                 "IDS_BACKUPUIPLUGIN_CONNECT_STEP3_TEXT"};

QLabel *WrappedLabel(QWidget *pParent, const QString &strObjectName)
{
    auto *pLabel = new QLabel(pParent);
    pLabel->setObjectName(strObjectName);
    pLabel->setContentsMargins(0, 0, 0, 0);
    pLabel->setWordWrap(true);
    pLabel->setTextFormat(Qt::PlainText);
    pLabel->setAlignment(Qt::AlignTop | Qt::AlignLeading);
    return pLabel;
}
} // namespace

ConnectWizardWidget::ConnectWizardWidget(QWidget *pParent)
    : CustomWizardWidget(pParent), m_bRightToLeft(Change::GetRightToLeftLayout())
{
}

ConnectWizardWidget::~ConnectWizardWidget()
{
    // A Wi-Fi connection still being made must end before the page goes.
    if (m_pWifiThread)
        m_pWifiThread->wait();
}

int ConnectWizardWidget::OpenPhone(const PhoneList::Phone &phone, QString &strMessage)
{
    const QByteArray baChoice = PhoneList::DeviceChoice(phone).toUtf8();
    // The simulated phone is the back end itself: choosing it again would
    // only restart what is already chosen.
    const bool bSame = baChoice == "sim" && qstrcmp(DVSK_Device_Kind(), "sim") == 0;
    if (!bSame && DVSK_Device_Select(baChoice.constData()) != 0) {
        strMessage = QString::fromUtf8(baChoice);
        return DVSK_DEV_ERR_BAD_CHOICE;
    }
    char *szMessage = nullptr;
    const int nResult = DVSK_Device_Open(&szMessage);
    strMessage = szMessage ? QString::fromUtf8(szMessage).trimmed() : QString();
    std::free(szMessage);
    return nResult;
}

bool ConnectWizardWidget::OpenPhoneWithoutAsking(QString *pChoice)
{
    PhoneList::Phone phone;
    if (!PhoneList::Read().PhoneToTake(PhoneList::ChosenDevice(), phone))
        return false;
    QString strMessage;
    if (OpenPhone(phone, strMessage) != 0) {
        LogLine::Warning(kLogSource, "OpenPhoneWithoutAsking", strMessage);
        return false;
    }
    if (pChoice)
        *pChoice = PhoneList::DeviceChoice(phone);
    return true;
}

bool ConnectWizardWidget::IsHostPort(const QString &strText)
{
    static const QRegularExpression s_re(
        QStringLiteral("^(?:\\[[0-9A-Fa-f:.]+\\]|[A-Za-z0-9._-]+):([0-9]{1,5})$"));
    const QRegularExpressionMatch match = s_re.match(strText.trimmed());
    if (!match.hasMatch())
        return false;
    const int nPort = match.captured(1).toInt();
    return nPort >= 1 && nPort <= 65535;
}

void ConnectWizardWidget::InitMembers()
{
    CreatePageBackgrounds();

    m_pHeader = new CustomLabelButton(this);
    m_pLabelTitle = WrappedLabel(this, QStringLiteral("BackUpUIPlugin_Connect_TitleLabel"));
    InitSteps();
    m_pLabelPhones = WrappedLabel(this, QStringLiteral("BackUpUIPlugin_Connect_PhonesLabel"));
    m_pLabelState = WrappedLabel(this, QStringLiteral("BackUpUIPlugin_Connect_StateLabel"));
    m_pPicker = new PhonePickerWidget(this);
    m_pPicker->hide();
    InitWifi();
    m_pWatcher = new PhoneWatcher(this);
}

void ConnectWizardWidget::InitSteps()
{
    for (int i = 0; i < 3; ++i) {
        auto *pNumber = new QLabel(QString::number(i + 1), this);
        pNumber->setObjectName(QStringLiteral("BackUpUIPlugin_Connect_StepNumber"));
        pNumber->setAlignment(Qt::AlignCenter);
        // The number is read out as part of the step's text.
        pNumber->setAccessibleName(QString());
        m_listStepNumbers << pNumber;
        QLabel *pText = WrappedLabel(this, QStringLiteral("BackUpUIPlugin_Connect_StepLabel"));
        pText->setText(Change::tr(kStepKeys[i]));
        pText->setAccessibleName(QString::number(i + 1) + QStringLiteral(". ") + pText->text());
        m_listStepTexts << pText;
    }
}

void ConnectWizardWidget::InitWifi()
{
    m_pLabelWifi = WrappedLabel(this, QStringLiteral("BackUpUIPlugin_Connect_WifiLabel"));
    m_pEditWifi = new QLineEdit(this);
    m_pEditWifi->setObjectName(QStringLiteral("BackUpUIPlugin_Connect_WifiEdit"));
    m_pEditWifi->setPlaceholderText(QStringLiteral("192.168.1.20:5555"));
    // An address reads left to right in every language.
    m_pEditWifi->setLayoutDirection(Qt::LeftToRight);
    m_pLabelWifi->setBuddy(m_pEditWifi);
    m_pLabelWifiNote = WrappedLabel(this, QStringLiteral("BackUpUIPlugin_Connect_WifiNoteLabel"));
    m_pLabelWifiResult = WrappedLabel(this, QStringLiteral("BackUpUIPlugin_Connect_WifiResultLabel"));
    m_pBtnWifi = new QPushButton(this);
    m_pBtnWifi->setObjectName(QStringLiteral("BackUpUIPlugin_Connect_WifiButton"));
    m_pBtnWifi->setAutoDefault(true);
}

void ConnectWizardWidget::InitButtons()
{
    m_pBtnNext = CreateFunctionButton();
    m_pBtnCancel = CreateFunctionButton();
}

void ConnectWizardWidget::InitButtonText()
{
    m_pBtnNext->setText(Change::tr("IDS_BACKUPUIPLUGIN_PICKER_USE_BUTTON"));
    m_pBtnCancel->setText(Change::tr("IDS_BACKUPUIPLUGIN_CANCELBUTTON"));
    m_pBtnWifi->setText(Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BUTTON"));
    m_pLabelPhones->setText(Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_PHONES_CAPTION"));
    m_pLabelWifi->setText(Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CAPTION"));
    m_pLabelWifiNote->setText(Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_NOTE"));
    m_pEditWifi->setAccessibleName(Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CAPTION"));
    m_pEditWifi->setAccessibleDescription(m_pLabelWifiNote->text());
}

void ConnectWizardWidget::InitObjectName()
{
    setObjectName(QStringLiteral("BackUpUIPlugin_ConnectPage"));
    m_pBtnNext->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
    m_pBtnCancel->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
}

void ConnectWizardWidget::Place(QWidget *pWidget, const QRect &rectLeftToRight)
{
    QRect rect = rectLeftToRight;
    if (m_bRightToLeft) {
        rect.moveLeft(kPageWidth - rectLeftToRight.x() - rectLeftToRight.width());
        pWidget->setLayoutDirection(Qt::RightToLeft);
    }
    pWidget->setGeometry(rect);
}

void ConnectWizardWidget::InitLayout()
{
    m_pHeader->move(m_bRightToLeft ? QPoint(593, 41) : QPoint(27, 41));
    if (m_bRightToLeft)
        m_pHeader->setLayoutDirection(Qt::RightToLeft);
    Place(m_pLabelTitle, QRect(kLeft, 116, kWidth, 26));
    for (int i = 0; i < m_listStepTexts.size(); ++i) {
        const int nTop = kStepTop + kStepPitch * i;
        Place(m_listStepNumbers.at(i), QRect(kLeft, nTop, kNumberSize, kNumberSize));
        Place(m_listStepTexts.at(i), QRect(kLeft + 36, nTop + 3, kWidth - 36, kStepPitch - 2));
    }
    Place(m_pLabelPhones, QRect(kLeft, 312, kWidth, 20));
    Place(m_pLabelState, QRect(kLeft, 334, kWidth, 96));
    Place(m_pPicker, QRect(kLeft, 152, kWidth, 276));
    Place(m_pLabelWifi, QRect(kLeft, 436, kWidth, 20));
    Place(m_pEditWifi, QRect(kLeft, 458, 250, 28));
    Place(m_pBtnWifi, QRect(kLeft + 262, 459, 116, 26));
    Place(m_pLabelWifiNote, QRect(kLeft, 492, kWidth, 34));
    Place(m_pLabelWifiResult, QRect(kLeft, 528, kWidth, 34));
    // The address field keeps its own direction (an address reads left to
    // right), whatever the page's.
    m_pEditWifi->setLayoutDirection(Qt::LeftToRight);
    for (QPushButton *pButton : {m_pBtnNext, m_pBtnCancel}) {
        if (m_bRightToLeft)
            pButton->setLayoutDirection(Qt::RightToLeft);
    }
    SetMode(Mode::Waiting);
}

void ConnectWizardWidget::InitCons()
{
    connect(m_pWatcher, &PhoneWatcher::signalListChanged, this, &ConnectWizardWidget::ShowList);
    connect(m_pBtnNext, &QPushButton::clicked, this, &ConnectWizardWidget::DoNext);
    connect(m_pBtnCancel, &QPushButton::clicked, this, &ConnectWizardWidget::DoCancel);
    connect(m_pBtnWifi, &QPushButton::clicked, this, &ConnectWizardWidget::slotConnectWifi);
    connect(m_pEditWifi, &QLineEdit::returnPressed, this, &ConnectWizardWidget::slotConnectWifi);
    connect(m_pPicker, &PhonePickerWidget::signalPicked, this, &ConnectWizardWidget::DoNext);
    SetKeyButtons(m_pBtnNext, m_pBtnCancel);
}

void ConnectWizardWidget::SetTabOrder()
{
    // Reading order: the picker and its button when it is shown, then the
    // Wi-Fi field, then Cancel.
    QList<QWidget *> listChain;
    if (m_mode == Mode::Choosing)
        listChain << m_pPicker->List() << m_pBtnNext;
    listChain << m_pEditWifi << m_pBtnWifi << m_pBtnCancel;
    for (int i = 1; i < listChain.size(); ++i)
        QWidget::setTabOrder(listChain.at(i - 1), listChain.at(i));
}

void ConnectWizardWidget::SetMode(Mode mode)
{
    m_mode = mode;
    const bool bChoosing = mode == Mode::Choosing;
    m_pLabelTitle->setText(Change::tr(bChoosing ? "IDS_BACKUPUIPLUGIN_PICKER_TITLE" : "IDS_BACKUPUIPLUGIN_CONNECT_TITLE"));
    for (QLabel *pLabel : m_listStepNumbers + m_listStepTexts)
        pLabel->setVisible(!bChoosing);
    m_pLabelPhones->setVisible(!bChoosing);
    m_pLabelState->setVisible(!bChoosing);
    m_pPicker->setVisible(bChoosing);
    m_pBtnNext->setVisible(bChoosing);
    if (m_bRightToLeft) {
        m_pBtnNext->move(450, 566);
        m_pBtnCancel->move(bChoosing ? 330 : 390, 566);
    } else {
        m_pBtnNext->move(330, 566);
        m_pBtnCancel->move(bChoosing ? 450 : 390, 566);
    }
    setAccessibleName(m_pLabelTitle->text());
    SetTabOrder();
}

void ConnectWizardWidget::InitialShow()
{
    m_strOpenFailure.clear();
    m_mode = Mode::Waiting;
    m_pLabelWifiResult->clear();
    SetMode(Mode::Waiting);
    // Following starts once the page is on screen: a phone that is ready at
    // once moves the wizard on from a page that is shown, never from one
    // still being shown.
    QMetaObject::invokeMethod(
        this,
        [this]() {
            if (isVisible() && m_mode != Mode::Done)
                m_pWatcher->Start();
        },
        Qt::QueuedConnection);
}

QWidget *ConnectWizardWidget::FirstFocusWidget() const
{
    if (m_mode == Mode::Choosing)
        return m_pPicker->List();
    return CustomWizardWidget::FirstFocusWidget();
}

void ConnectWizardWidget::hideEvent(QHideEvent *pEvent)
{
    // Nobody looks at the phones while the page is hidden.
    if (!pEvent->spontaneous())
        m_pWatcher->Stop();
    CustomWizardWidget::hideEvent(pEvent);
}

void ConnectWizardWidget::ShowListOnly(const PhoneList &list)
{
    m_list = list;
    QString strText = PhoneTexts::ListText(list);
    if (!m_strOpenFailure.isEmpty())
        strText += QLatin1Char('\n') + m_strOpenFailure;
    m_pLabelState->setText(strText);
    m_pLabelState->setAccessibleName(m_pLabelPhones->text());
    m_pLabelState->setAccessibleDescription(strText);
    const bool bSeveral = list.Usable().size() > 1;
    if (bSeveral)
        m_pPicker->SetPhones(list);
    if (bSeveral != (m_mode == Mode::Choosing)) {
        SetMode(bSeveral ? Mode::Choosing : Mode::Waiting);
        if (isVisible())
            FocusFirst();
    }
    emit signalStateChanged();
}

void ConnectWizardWidget::ShowList(const PhoneList &list)
{
    if (m_mode == Mode::Done)
        return;
    ShowListOnly(list);
    // The one usable phone, or the one the device choice names, is taken
    // without asking, whatever else is there.
    PhoneList::Phone phone;
    if (!list.PhoneToTake(PhoneList::ChosenDevice(), phone))
        return;
    QString strMessage;
    if (OpenPhone(phone, strMessage) == 0) {
        Finish(phone);
        return;
    }
    const QString strFailure = PhoneTexts::Fill("IDS_BACKUPUIPLUGIN_CONNECT_OPENFAILED_TEXT",
                                                {PhoneTexts::Name(phone), strMessage});
    // The picker hides the state text: there the failure shows below it.
    if (m_mode == Mode::Choosing) {
        m_pLabelWifiResult->setText(strFailure);
        emit signalStateChanged();
        return;
    }
    m_strOpenFailure = strFailure;
    ShowListOnly(list);
}

void ConnectWizardWidget::Finish(const PhoneList::Phone &phone)
{
    m_mode = Mode::Done;
    m_pWatcher->Stop();
    LogLine::Info(kLogSource, "Finish", QStringLiteral("phone ready: ") + phone.strSerial);
    emit signalPhoneReady(PhoneList::DeviceChoice(phone));
}

void ConnectWizardWidget::DoNext()
{
    PhoneList::Phone phone;
    if (m_mode != Mode::Choosing || !m_pPicker->ChosenPhone(phone))
        return;
    QString strMessage;
    if (OpenPhone(phone, strMessage) == 0) {
        Finish(phone);
        return;
    }
    m_pLabelWifiResult->setText(PhoneTexts::Fill("IDS_BACKUPUIPLUGIN_CONNECT_OPENFAILED_TEXT",
                                                 {PhoneTexts::Name(phone), strMessage}));
}

void ConnectWizardWidget::DoCancel()
{
    m_pWatcher->Stop();
    emit signalCancelRequested();
}

void ConnectWizardWidget::slotConnectWifi()
{
    const QString strAddress = m_pEditWifi->text().trimmed();
    if (!IsHostPort(strAddress)) {
        m_pLabelWifiResult->setText(Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BADADDRESS_TEXT"));
        return;
    }
    if (m_pWifiThread)
        return;
    m_pBtnWifi->setEnabled(false);
    m_pLabelWifiResult->setText(PhoneTexts::Fill("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTING_TEXT", {strAddress}));
    // The server may take a while to give up on an address that does not
    // answer: the connection is made off the user-interface thread.
    auto pResult = std::make_shared<QPair<int, QString>>(-1, QString());
    const QByteArray baAddress = strAddress.toUtf8();
    m_pWifiThread = QThread::create([pResult, baAddress]() {
        char *szAnswer = nullptr;
        pResult->first = DVSK_Device_ConnectWifi(baAddress.constData(), &szAnswer);
        pResult->second = szAnswer ? QString::fromUtf8(szAnswer).trimmed() : QString();
        std::free(szAnswer);
    });
    connect(m_pWifiThread, &QThread::finished, this, [this, pResult, strAddress]() {
        m_pWifiThread->deleteLater();
        m_pWifiThread = nullptr;
        OnWifiDone(strAddress, pResult->first, pResult->second);
    });
    m_pWifiThread->start();
}

void ConnectWizardWidget::OnWifiDone(const QString &strAddress, int nResult, const QString &strAnswer)
{
    m_pBtnWifi->setEnabled(true);
    if (nResult == 0)
        m_pLabelWifiResult->setText(PhoneTexts::Fill("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTED_TEXT", {strAddress}));
    else
        m_pLabelWifiResult->setText(PhoneTexts::Fill("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_FAILED_TEXT", {strAddress, strAnswer}));
    // The server's list tells the rest; it is read now in case no
    // notification comes for a phone that was already known.
    if (m_mode != Mode::Done && m_pWatcher->IsWatching())
        m_pWatcher->slotRefresh();
}

QString ConnectWizardWidget::StateText() const
{
    QStringList listLines;
    listLines << m_pLabelTitle->text();
    if (m_mode == Mode::Choosing) {
        for (int i = 0; i < m_pPicker->List()->count(); ++i)
            listLines << QStringLiteral("  ") + m_pPicker->List()->item(i)->text();
    } else {
        for (const QString &strLine : m_pLabelState->text().split(QLatin1Char('\n')))
            listLines << QStringLiteral("  ") + strLine;
    }
    if (!m_pLabelWifiResult->text().isEmpty())
        listLines << QStringLiteral("  ") + m_pLabelWifiResult->text();
    return listLines.join(QLatin1Char('\n'));
}
