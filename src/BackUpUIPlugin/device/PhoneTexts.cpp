#include "PhoneTexts.h"

#include "PhoneIdentity.h"

#include <host/Change.h>

#include <QStringList>

namespace
{
// A serial, an address or a model name reads left to right inside a
// right-to-left sentence.
QString LeftToRight(const QString &strText)
{
    if (!Change::GetRightToLeftLayout() || strText.isEmpty())
        return strText;
    return QChar(0x2066) + strText + QChar(0x2069);
}
} // namespace

QString PhoneTexts::Fill(const char *szKey, const QStringList &listValues)
{
    QString strText = Change::tr(szKey);
    // From the last to the first, so "%s1" never eats the start of "%s10".
    for (int i = int(listValues.size()); i >= 1; --i)
        strText.replace(QStringLiteral("%s") + QString::number(i), listValues.at(i - 1));
    return strText;
}

QString PhoneTexts::Name(const PhoneList::Phone &phone)
{
    return LeftToRight(phone.strModel.isEmpty() ? phone.strSerial : phone.strModel);
}

QString PhoneTexts::Connection(const PhoneList::Phone &phone)
{
    if (phone.strConnection == QLatin1String("wifi"))
        return Change::tr("IDS_BACKUPUIPLUGIN_PHONE_WIFI_TEXT");
    if (phone.strConnection == QLatin1String("sim"))
        return Change::tr("IDS_BACKUPUIPLUGIN_PHONE_SAMPLE_TEXT");
    return Change::tr("IDS_BACKUPUIPLUGIN_PHONE_USB_TEXT");
}

QString PhoneTexts::StateLine(const PhoneList::Phone &phone)
{
    const char *szKey = "IDS_BACKUPUIPLUGIN_CONNECT_STATE_CONNECTING";
    switch (phone.state) {
    case PhoneList::State::Ready: szKey = "IDS_BACKUPUIPLUGIN_CONNECT_STATE_READY"; break;
    case PhoneList::State::Unauthorized: szKey = "IDS_BACKUPUIPLUGIN_CONNECT_STATE_UNAUTHORIZED"; break;
    case PhoneList::State::Offline: szKey = "IDS_BACKUPUIPLUGIN_CONNECT_STATE_OFFLINE"; break;
    case PhoneList::State::NoPermissions: szKey = "IDS_BACKUPUIPLUGIN_CONNECT_STATE_NOPERMISSIONS"; break;
    case PhoneList::State::Connecting: break;
    }
    return Fill(szKey, {Name(phone), Connection(phone)});
}

QString PhoneTexts::Reason(const PhoneList::Phone &phone)
{
    switch (phone.state) {
    case PhoneList::State::Ready: return QString();
    case PhoneList::State::Unauthorized: return Change::tr("IDS_BACKUPUIPLUGIN_PHONE_REASON_UNAUTHORIZED");
    case PhoneList::State::Offline: return Change::tr("IDS_BACKUPUIPLUGIN_PHONE_REASON_OFFLINE");
    case PhoneList::State::NoPermissions: return Change::tr("IDS_BACKUPUIPLUGIN_PHONE_REASON_NOPERMISSIONS");
    case PhoneList::State::Connecting: break;
    }
    return Change::tr("IDS_BACKUPUIPLUGIN_PHONE_REASON_CONNECTING");
}

QString PhoneTexts::PickerRow(const PhoneList::Phone &phone)
{
    const QString strModel = phone.strModel.isEmpty() ? Change::tr("IDS_BACKUPUIPLUGIN_PHONE_UNKNOWN_MODEL")
                                                       : LeftToRight(phone.strModel);
    const QString strRow = Fill("IDS_BACKUPUIPLUGIN_PICKER_ROW_TEXT",
                                {strModel, LeftToRight(phone.strSerial), Connection(phone)});
    if (phone.IsReady())
        return strRow;
    return Fill("IDS_BACKUPUIPLUGIN_PICKER_UNUSABLE_TEXT", {strRow, Reason(phone)});
}

QString PhoneTexts::ListText(const PhoneList &list)
{
    if (list.IsServerDown()) {
        const QString strReason = list.ServerReason().isEmpty() ? QStringLiteral("-") : list.ServerReason();
        return Fill("IDS_BACKUPUIPLUGIN_CONNECT_NOSERVER_TEXT", {strReason});
    }
    if (list.Phones().isEmpty())
        return Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_NOPHONE_TEXT");
    QStringList listLines;
    for (const PhoneList::Phone &phone : list.Phones())
        listLines << StateLine(phone);
    return listLines.join(QLatin1Char('\n'));
}

QString PhoneTexts::HeaderLine(const PhoneIdentity &identity)
{
    if (identity.IsEmpty())
        return QString();
    if (identity.Serial().isEmpty())
        return identity.Model();
    const QString strModel = identity.Model().isEmpty() ? Change::tr("IDS_BACKUPUIPLUGIN_PHONE_UNKNOWN_MODEL")
                                                        : LeftToRight(identity.Model());
    return Fill("IDS_BACKUPUIPLUGIN_HEADER_PHONE_TEXT", {strModel, LeftToRight(identity.Serial())});
}
