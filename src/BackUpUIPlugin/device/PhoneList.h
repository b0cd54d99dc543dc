#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// The phones the device SDK can see, as DVSK_Device_List gives them: one
// entry per phone with its state, how it is connected and its model. A list
// that could not be read says why (no adb server answers and none can be
// started).
class PhoneList
{
public:
    enum class State
    {
        Ready,         // usable
        Unauthorized,  // has not accepted this computer's key
        Offline,
        NoPermissions, // the USB device is not accessible to this user
        Connecting     // any passing state
    };

    struct Phone
    {
        QString strSerial;     // the transport serial ("sim", "SERIAL", "IP:PORT")
        State state = State::Connecting;
        QString strConnection; // "usb", "wifi" or "sim"
        QString strModel;      // may be empty
        QString strDetail;     // the server's own words for an unusable state
        bool IsReady() const { return state == State::Ready; }
        bool operator==(const Phone &other) const;
    };

    // Reads the list now (DVSK_Device_List).
    static PhoneList Read();
    // Parses the SDK's text: "SERIAL\tSTATE\tCONNECTION\tMODEL\tDETAIL\n"
    // per phone. Lines without a serial are skipped; unknown states count as
    // passing ones.
    static PhoneList Parse(const QString &strText);
    // A list that could not be read, with the reason.
    static PhoneList NoServer(const QString &strReason);

    bool IsServerDown() const { return m_bServerDown; }
    QString ServerReason() const { return m_strServerReason; }
    const QList<Phone> &Phones() const { return m_listPhones; }
    QList<Phone> Usable() const;
    // The phone to take without asking: the usable phone strChosenDevice
    // names ("adb:SERIAL", as given on the command line or in $DVSK_DEVICE),
    // else the only usable phone. False when there is none, or several and
    // none of them is named.
    bool PhoneToTake(const QString &strChosenDevice, Phone &phone) const;
    // The device text in force (DVSK_Device_GetChoice).
    static QString ChosenDevice();
    // The device text DVSK_Device_Select takes for a phone of this list:
    // "sim" for the simulated phone, else "adb:SERIAL".
    static QString DeviceChoice(const Phone &phone);

    bool operator==(const PhoneList &other) const;
    bool operator!=(const PhoneList &other) const { return !(*this == other); }

private:
    bool m_bServerDown = false;
    QString m_strServerReason;
    QList<Phone> m_listPhones;
};

Q_DECLARE_METATYPE(PhoneList)
