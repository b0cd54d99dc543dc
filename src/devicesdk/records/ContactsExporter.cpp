#include "ContactsExporter.h"

#include "ContentStream.h"
#include "PhoneShell.h"
#include "VCardWriter.h"

#include <QDebug>
#include <QIODevice>
#include <QMap>
#include <QRegularExpression>

namespace
{
const QString kRawContacts = QStringLiteral("content://com.android.contacts/raw_contacts");
const QString kData = QStringLiteral("content://com.android.contacts/data");
const QString kNotDeleted = QStringLiteral("deleted=0");
// The most common text right after _id, then numbers and the mimetype, then other text.
const QStringList kDataColumns {"_id", "data1", "raw_contact_id", "contact_id", "is_primary", "data14", "data15",
                                "mimetype", "data2", "data3", "data4", "data5", "data6", "data7", "data8", "data9",
                                "data10"};
const QString kMime = QStringLiteral("vnd.android.cursor.item/");

QString PhoneType(int n)
{
    switch (n) {
    case 1: return QStringLiteral("HOME");
    case 2: return QStringLiteral("CELL");
    case 3: return QStringLiteral("WORK");
    case 4: return QStringLiteral("WORK,FAX");
    case 5: return QStringLiteral("HOME,FAX");
    case 6: return QStringLiteral("PAGER");
    case 9: return QStringLiteral("CAR");
    case 10: return QStringLiteral("WORK,PREF");
    case 11: return QStringLiteral("ISDN");
    case 12: return QStringLiteral("PREF");
    case 17: return QStringLiteral("WORK,CELL");
    case 18: return QStringLiteral("WORK,PAGER");
    default: return QStringLiteral("VOICE");
    }
}

QString PlaceType(int n)
{
    switch (n) {
    case 1: return QStringLiteral("HOME");
    case 2: return QStringLiteral("WORK");
    default: return QString();
    }
}

struct Card
{
    VCardWriter::Contact contact;
    QString strContactId;
    bool bPhoto = false;
    bool bDisplayPhoto = false;
};

// Fills a card from one of its data rows, whose kind is the mimetype after
// "vnd.android.cursor.item/"; V gives the row's value of a column.
void ApplyDataRow(const QString &strKind, const std::function<QString(const char *)> &V, Card &card)
{
    VCardWriter::Contact &c = card.contact;
    if (strKind == QLatin1String("name")) {
        c.strFormattedName = V("data1");
        c.strGiven = V("data2");
        c.strFamily = V("data3");
        c.strPrefix = V("data4");
        c.strMiddle = V("data5");
        c.strSuffix = V("data6");
    } else if (strKind == QLatin1String("nickname")) {
        c.listNicknames.append(V("data1"));
    } else if (strKind == QLatin1String("phone_v2")) {
        c.listPhones.append({PhoneType(V("data2").toInt()), V("data1")});
    } else if (strKind == QLatin1String("email_v2")) {
        c.listEmails.append({PlaceType(V("data2").toInt()), V("data1")});
    } else if (strKind == QLatin1String("postal-address_v2")) {
        VCardWriter::Address adr;
        adr.strType = PlaceType(V("data2").toInt());
        adr.strStreet = V("data4");
        adr.strPoBox = V("data5");
        adr.strExtended = V("data6");
        adr.strCity = V("data7");
        adr.strRegion = V("data8");
        adr.strPostcode = V("data9");
        adr.strCountry = V("data10");
        // Only the formatted address is known: it is the street.
        if ((adr.strStreet + adr.strPoBox + adr.strExtended + adr.strCity + adr.strRegion + adr.strPostcode + adr.strCountry).isEmpty())
            adr.strStreet = V("data1");
        c.listAddresses.append(adr);
    } else if (strKind == QLatin1String("organization")) {
        c.strOrganization = V("data1");
        c.strTitle = V("data4");
        c.strDepartment = V("data5");
    } else if (strKind == QLatin1String("note")) {
        if (!V("data1").isEmpty())
            c.listNotes.append(V("data1"));
    } else if (strKind == QLatin1String("contact_event")) {
        if (V("data2") == QLatin1String("3"))
            c.strBirthday = V("data1");
    } else if (strKind == QLatin1String("website")) {
        c.listUrls.append(V("data1"));
    } else if (strKind == QLatin1String("photo")) {
        card.bPhoto = !V("data15").isNull() || !V("data14").isNull();
        card.bDisplayPhoto = !V("data14").isNull();
    }
}

// Every card needs a formatted name: the name parts, else the organisation,
// else the first number or address.
void FillFormattedName(VCardWriter::Contact &c)
{
    if (!c.strFormattedName.isEmpty())
        return;
    c.strFormattedName = QStringList({c.strPrefix, c.strGiven, c.strMiddle, c.strFamily, c.strSuffix})
                             .filter(QRegularExpression(QStringLiteral("\\S"))).join(QLatin1Char(' '));
    if (c.strFormattedName.isEmpty())
        c.strFormattedName = c.strOrganization;
    if (c.strFormattedName.isEmpty() && !c.listPhones.isEmpty())
        c.strFormattedName = c.listPhones.constFirst().strValue;
    if (c.strFormattedName.isEmpty() && !c.listEmails.isEmpty())
        c.strFormattedName = c.listEmails.constFirst().strValue;
}
} // namespace

ContactsExporter::ContactsExporter(PhoneShell &shell)
    : RecordExporter(shell, kRawContacts, kNotDeleted)
{
}

QByteArray ContactsExporter::ReadPhoto(const QString &strRawId, const QString &strContactId, bool bDisplayPhoto, int *pCode)
{
    const QString strUri = bDisplayPhoto ? QStringLiteral("%1/%2/display_photo").arg(kRawContacts, strRawId)
                                         : QStringLiteral("content://com.android.contacts/contacts/%1/photo").arg(strContactId);
    QByteArray baPhoto;
    bool bOpened = true;
    QString strError;
    *pCode = ContentStream::Read(m_shell, strUri, [&baPhoto](const QByteArray &baChunk) { baPhoto += baChunk; },
                                 &bOpened, &strError);
    if (*pCode != 0)
        return QByteArray();
    if (!bOpened)
        qInfo().noquote() << "records: the photo" << strUri << "could not be read:" << strError;
    return baPhoto;
}

ProviderResult ContactsExporter::Write(QIODevice *pDevice, const std::function<void()> &fnPageDone, int *pWritten)
{
    ProviderResult inner;
    ProviderQuery rawContacts(m_shell, m_strUri, {QStringLiteral("_id")}, m_strWhere, m_nPageSize);
    const ProviderResult result = rawContacts.ForEachPage(m_listIds, [&](const ProviderQuery::Rows &listIds) {
        if (inner.eKind != ProviderResult::Ok)
            return;
        // The data rows of this page's raw contacts.
        QMap<qint64, Card> mapCards;
        for (const QStringList &row : listIds)
            mapCards.insert(row.value(0).toLongLong(), Card());
        inner = ReadPageRows(listIds, kData, kDataColumns, QStringLiteral("raw_contact_id"),
                             [&](const ProviderQuery::Rows &listRows) {
            for (const QStringList &row : listRows) {
                const auto V = [&](const char *szColumn) { return Value(kDataColumns, row, QLatin1String(szColumn)); };
                auto it = mapCards.find(V("raw_contact_id").toLongLong());
                if (it == mapCards.end())
                    continue; // a deleted raw contact
                Card &card = it.value();
                card.strContactId = V("contact_id");
                const QString strMime = V("mimetype");
                if (!strMime.startsWith(kMime))
                    continue;
                ApplyDataRow(strMime.mid(kMime.size()), V, card);
            }
        });
        if (inner.eKind != ProviderResult::Ok)
            return;
        for (auto it = mapCards.begin(); it != mapCards.end(); ++it) {
            Card &card = it.value();
            VCardWriter::Contact &c = card.contact;
            if (card.bPhoto) {
                int nCode = 0;
                c.baPhoto = ReadPhoto(QString::number(it.key()), card.strContactId, card.bDisplayPhoto, &nCode);
                if (nCode != 0) {
                    inner = Broken(nCode);
                    return;
                }
            }
            FillFormattedName(c);
            const QByteArray baCard = VCardWriter::Format(c);
            if (pDevice->write(baCard) != baCard.size()) {
                inner.eKind = ProviderResult::Failed;
                inner.strReason = QStringLiteral("the contacts file could not be written");
                return;
            }
            ++*pWritten;
        }
        fnPageDone();
    });
    return inner.eKind != ProviderResult::Ok ? inner : result;
}
