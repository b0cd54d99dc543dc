#pragma once

#include "CustomWizardWidget.h"
#include "PhoneList.h"

#include <QList>
#include <QString>

class CustomLabelButton;
class PhonePickerWidget;
class PhoneWatcher;
class QFrame;
class QLabel;
class QLineEdit;
class QThread;

// The page shown before any other while no usable phone is connected: the
// numbered steps that make a phone usable, the live state of every phone the
// SDK sees (with what to do about each), and a field that connects a phone
// over Wi-Fi. It follows the SDK's list of phones and moves on by itself:
// as soon as one phone is ready (or the one the device choice names) it is
// opened and signalPhoneReady is emitted; when several are ready, the page
// becomes a phone picker. It knows
// nothing of what the phone is wanted for, so any wizard can put it first.
class ConnectWizardWidget : public CustomWizardWidget
{
    Q_OBJECT
    // What a host that knows the page only by its widget tree reads.
    Q_PROPERTY(QString stateText READ StateText NOTIFY signalStateChanged)
public:
    enum class Mode
    {
        Waiting,  // no usable phone: steps and states
        Choosing, // several usable phones: the picker
        Done      // a phone was opened
    };

    explicit ConnectWizardWidget(QWidget *pParent = nullptr);
    ~ConnectWizardWidget() override;

    // Opens, without showing anything, the usable phone the device choice
    // names ("adb:SERIAL") or else the only usable phone; true when one was
    // opened (pChoice then holds its device text). False when there is none,
    // several and none named, or it cannot be opened.
    static bool OpenPhoneWithoutAsking(QString *pChoice = nullptr);
    // Selects the phone (DVSK_Device_Select) and opens it; 0 when it is
    // ready, else strMessage says why not.
    static int OpenPhone(const PhoneList::Phone &phone, QString &strMessage);
    // True for "HOST:PORT" with a host and a port from 1 to 65535 ("[v6]:PORT"
    // for an IPv6 address).
    static bool IsHostPort(const QString &strText);

    // Shows a list as the page's state and acts on it: opens the one usable
    // phone, offers the picker for several, waits for none.
    void ShowList(const PhoneList &list);
    // The same without acting on it (what a picture of the page shows).
    void ShowListOnly(const PhoneList &list);

    Mode GetMode() const { return m_mode; }
    // The page's state as plain text: its title, then what it says of the
    // phones (what a headless run prints).
    QString StateText() const;

    QLabel *GetTitleLabel() const { return m_pLabelTitle; }
    QLabel *GetStateLabel() const { return m_pLabelState; }
    QList<QLabel *> GetStepLabels() const { return m_listStepTexts; }
    PhonePickerWidget *GetPicker() const { return m_pPicker; }
    QLineEdit *GetWifiEdit() const { return m_pEditWifi; }
    QPushButton *GetWifiButton() const { return m_pBtnWifi; }
    QLabel *GetWifiResultLabel() const { return m_pLabelWifiResult; }
    QPushButton *GetNextButton() const { return m_pBtnNext; }
    QPushButton *GetCancelButton() const { return m_pBtnCancel; }
    PhoneWatcher *GetWatcher() const { return m_pWatcher; }

signals:
    // A phone is open and ready; strDevice is its device text ("sim",
    // "adb:SERIAL").
    void signalPhoneReady(const QString &strDevice);
    // The user leaves the page without a phone.
    void signalCancelRequested();
    // What the page says changed (StateText).
    void signalStateChanged();

public slots:
    void DoNext() override;
    void DoCancel() override;
    void slotConnectWifi();

protected:
    void InitMembers() override;
    void InitButtons() override;
    void InitButtonText() override;
    void InitObjectName() override;
    void InitLayout() override;
    void InitCons() override;
    void InitialShow() override;
    QWidget *FirstFocusWidget() const override;
    void hideEvent(QHideEvent *pEvent) override;

private:
    void InitSteps();
    void InitWifi();
    // Places a widget at its left-to-right rectangle, mirrored on a
    // right-to-left page.
    void Place(QWidget *pWidget, const QRect &rectLeftToRight);
    void SetMode(Mode mode);
    void SetTabOrder();
    void Finish(const PhoneList::Phone &phone);
    void OnWifiDone(const QString &strAddress, int nResult, const QString &strAnswer);

    const bool m_bRightToLeft;
    Mode m_mode = Mode::Waiting;
    PhoneList m_list;
    PhoneWatcher *m_pWatcher = nullptr;
    QThread *m_pWifiThread = nullptr;
    CustomLabelButton *m_pHeader = nullptr;
    QLabel *m_pLabelTitle = nullptr;
    QList<QLabel *> m_listStepNumbers;
    QList<QLabel *> m_listStepTexts;
    QLabel *m_pLabelPhones = nullptr;
    QLabel *m_pLabelState = nullptr;
    QString m_strOpenFailure;
    PhonePickerWidget *m_pPicker = nullptr;
    QLabel *m_pLabelWifi = nullptr;
    QLineEdit *m_pEditWifi = nullptr;
    QPushButton *m_pBtnWifi = nullptr;
    QLabel *m_pLabelWifiNote = nullptr;
    QLabel *m_pLabelWifiResult = nullptr;
    QPushButton *m_pBtnNext = nullptr;
    QPushButton *m_pBtnCancel = nullptr;
};
