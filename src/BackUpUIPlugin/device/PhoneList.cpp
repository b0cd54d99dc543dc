#include "PhoneList.h"

#include <sdk/dvsk_device.h>

#include <QStringList>

#include <cstdlib>

namespace
{
PhoneList::State StateOf(const QString &strState)
{
    if (strState == QLatin1String("ready"))
        return PhoneList::State::Ready;
    if (strState == QLatin1String("unauthorized"))
        return PhoneList::State::Unauthorized;
    if (strState == QLatin1String("offline"))
        return PhoneList::State::Offline;
    if (strState == QLatin1String("no-permissions"))
        return PhoneList::State::NoPermissions;
    return PhoneList::State::Connecting;
}

QString TakeText(char *szText)
{
    const QString strText = szText ? QString::fromUtf8(szText) : QString();
    std::free(szText);
    return strText;
}
} // namespace

bool PhoneList::Phone::operator==(const Phone &other) const
{
    return strSerial == other.strSerial && state == other.state && strConnection == other.strConnection
           && strModel == other.strModel && strDetail == other.strDetail;
}

PhoneList PhoneList::Read()
{
    char *szText = nullptr;
    const int nResult = DVSK_Device_List(&szText);
    const QString strText = TakeText(szText);
    if (nResult != 0)
        return NoServer(strText);
    return Parse(strText);
}

PhoneList PhoneList::Parse(const QString &strText)
{
    PhoneList list;
    for (const QString &strLine : strText.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList listFields = strLine.split(QLatin1Char('\t'));
        Phone phone;
        phone.strSerial = listFields.value(0).trimmed();
        if (phone.strSerial.isEmpty())
            continue;
        phone.state = StateOf(listFields.value(1).trimmed());
        phone.strConnection = listFields.value(2).trimmed();
        phone.strModel = listFields.value(3).trimmed();
        phone.strDetail = listFields.value(4).trimmed();
        list.m_listPhones.append(phone);
    }
    return list;
}

PhoneList PhoneList::NoServer(const QString &strReason)
{
    PhoneList list;
    list.m_bServerDown = true;
    list.m_strServerReason = strReason.trimmed();
    return list;
}

QList<PhoneList::Phone> PhoneList::Usable() const
{
    QList<Phone> listUsable;
    for (const Phone &phone : m_listPhones) {
        if (phone.IsReady())
            listUsable.append(phone);
    }
    return listUsable;
}

bool PhoneList::PhoneToTake(const QString &strChosenDevice, Phone &phone) const
{
    const QList<Phone> listUsable = Usable();
    for (const Phone &usable : listUsable) {
        if (DeviceChoice(usable) == strChosenDevice) {
            phone = usable;
            return true;
        }
    }
    if (listUsable.size() != 1)
        return false;
    phone = listUsable.constFirst();
    return true;
}

QString PhoneList::ChosenDevice()
{
    return TakeText(DVSK_Device_GetChoice());
}

QString PhoneList::DeviceChoice(const Phone &phone)
{
    if (phone.strConnection == QLatin1String("sim"))
        return QStringLiteral("sim");
    return QStringLiteral("adb:") + phone.strSerial;
}

bool PhoneList::operator==(const PhoneList &other) const
{
    return m_bServerDown == other.m_bServerDown && m_strServerReason == other.m_strServerReason
           && m_listPhones == other.m_listPhones;
}
