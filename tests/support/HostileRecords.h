#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Record providers for the adb device simulator whose values attack the
// reading of "content query": new lines followed by forged rows, ", col="
// inside values, a huge forged _id at the end of a page, bodies made of row
// markers, a leading U+FEFF, NUL characters, empty calendar texts, and an
// MMS part and a contact photo whose bytes begin like the tool's error.
class HostileRecords
{
public:
    struct Message
    {
        QString strAddress; // null: NULL
        QString strSubject;
        QString strBody;
    };

    // Writes sms.json, mms*.json, calendar*.json and contacts*.json into
    // strProvidersDir (a phone folder's "providers"), replacing those files.
    // nMessages >= 30; the hostile messages sit at the start, around id 500
    // (the end of a page of 500) and at the end.
    static bool Write(const QString &strProvidersDir, int nMessages);

    // The messages as the phone holds them, in id order.
    static QList<Message> Messages(int nMessages);
    // The bytes of the MMS picture part and of the contact photo.
    static QByteArray ErrorLookingBytes();
    // Reads sms.xml: address, subject and body of each <sms>, in order
    // (attributes written as NAME_base64 decoded).
    static QList<Message> ReadSmsXml(const QByteArray &baXml);
};
