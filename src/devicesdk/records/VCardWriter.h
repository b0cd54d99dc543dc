#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Formats one contact as a vCard 3.0 (RFC 2426) in UTF-8 with folded lines.
class VCardWriter
{
public:
    struct Typed
    {
        QString strType;  // vCard type words, e.g. "CELL" or "WORK,FAX"; may be empty
        QString strValue;
    };
    struct Address
    {
        QString strType;
        QString strPoBox, strExtended, strStreet, strCity, strRegion, strPostcode, strCountry;
    };
    struct Contact
    {
        QString strFormattedName;
        // family, given, middle, prefix, suffix
        QString strFamily, strGiven, strMiddle, strPrefix, strSuffix;
        QStringList listNicknames;
        QList<Typed> listPhones;
        QList<Typed> listEmails;
        QList<Address> listAddresses;
        QString strOrganization, strDepartment, strTitle;
        QStringList listNotes;
        QString strBirthday;
        QStringList listUrls;
        QByteArray baPhoto;
    };

    static QByteArray Format(const Contact &contact);
    // "JPEG", "PNG" or "GIF" from the picture's first bytes; empty when unknown.
    static QString PhotoType(const QByteArray &baPhoto);
};
