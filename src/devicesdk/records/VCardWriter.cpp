#include "VCardWriter.h"

#include "ContentLineFormat.h"

namespace
{
QString TypedName(const QString &strName, const QString &strType)
{
    // Type words are this writer's own ("WORK,FAX": a list, not quoted).
    return strType.isEmpty() ? strName : strName + QLatin1String(";TYPE=") + strType;
}
} // namespace

QString VCardWriter::PhotoType(const QByteArray &baPhoto)
{
    if (baPhoto.startsWith("\xFF\xD8"))
        return QStringLiteral("JPEG");
    if (baPhoto.startsWith("\x89PNG"))
        return QStringLiteral("PNG");
    if (baPhoto.startsWith("GIF8"))
        return QStringLiteral("GIF");
    return QString();
}

QByteArray VCardWriter::Format(const Contact &contact)
{
    QByteArray ba = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    ba += ContentLineFormat::Line(QStringLiteral("N"),
        ContentLineFormat::JoinParts({contact.strFamily, contact.strGiven, contact.strMiddle,
                                      contact.strPrefix, contact.strSuffix}));
    ba += ContentLineFormat::Line(QStringLiteral("FN"), ContentLineFormat::EscapeText(contact.strFormattedName));
    for (const QString &str : contact.listNicknames)
        ba += ContentLineFormat::Line(QStringLiteral("NICKNAME"), ContentLineFormat::EscapeText(str));
    for (const VCardWriter::Typed &phone : contact.listPhones)
        ba += ContentLineFormat::Line(TypedName(QStringLiteral("TEL"), phone.strType), ContentLineFormat::EscapeText(phone.strValue));
    for (const VCardWriter::Typed &email : contact.listEmails) {
        const QString strType = email.strType.isEmpty() ? QStringLiteral("INTERNET")
                                                        : QLatin1String("INTERNET,") + email.strType;
        ba += ContentLineFormat::Line(TypedName(QStringLiteral("EMAIL"), strType), ContentLineFormat::EscapeText(email.strValue));
    }
    for (const Address &adr : contact.listAddresses)
        ba += ContentLineFormat::Line(TypedName(QStringLiteral("ADR"), adr.strType),
            ContentLineFormat::JoinParts({adr.strPoBox, adr.strExtended, adr.strStreet, adr.strCity,
                                          adr.strRegion, adr.strPostcode, adr.strCountry}));
    if (!contact.strOrganization.isEmpty() || !contact.strDepartment.isEmpty()) {
        QStringList listOrg {contact.strOrganization};
        if (!contact.strDepartment.isEmpty())
            listOrg.append(contact.strDepartment);
        ba += ContentLineFormat::Line(QStringLiteral("ORG"), ContentLineFormat::JoinParts(listOrg));
    }
    if (!contact.strTitle.isEmpty())
        ba += ContentLineFormat::Line(QStringLiteral("TITLE"), ContentLineFormat::EscapeText(contact.strTitle));
    for (const QString &str : contact.listNotes)
        ba += ContentLineFormat::Line(QStringLiteral("NOTE"), ContentLineFormat::EscapeText(str));
    if (!contact.strBirthday.isEmpty())
        ba += ContentLineFormat::Line(QStringLiteral("BDAY"), ContentLineFormat::EscapeText(contact.strBirthday));
    for (const QString &str : contact.listUrls)
        ba += ContentLineFormat::Line(QStringLiteral("URL"), ContentLineFormat::EscapeText(str));
    if (!contact.baPhoto.isEmpty()) {
        const QString strType = PhotoType(contact.baPhoto);
        QString strName = QStringLiteral("PHOTO;ENCODING=b");
        if (!strType.isEmpty())
            strName += QLatin1String(";TYPE=") + strType;
        ba += ContentLineFormat::Line(strName, QString::fromLatin1(contact.baPhoto.toBase64()));
    }
    ba += "END:VCARD\r\n";
    return ba;
}
