#pragma once

#include "VCardWriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reads the contacts of a vCard file (2.1, 3.0 or 4.0) into the fields the
// phone keeps, and keeps each card's own bytes so that it can be stored again
// unchanged. Cards without END:VCARD end at the next BEGIN:VCARD or the end of
// the file; a card nested in another (AGENT) belongs to the outer one.
class VCardReader
{
public:
    struct Card
    {
        VCardWriter::Contact contact;
        QByteArray baRaw; // BEGIN:VCARD … END:VCARD with its line ends
    };

    static QList<Card> Read(const QByteArray &baText);

    // What makes two contacts the same: the name, the numbers (digits and a
    // leading "+" only) and the e-mail addresses (lower case), in any order.
    static QString Key(const VCardWriter::Contact &contact);
    // The name a card shows: FN, else the parts of N, else the organisation.
    static QString DisplayName(const VCardWriter::Contact &contact);
    static QString NormalizedNumber(const QString &strNumber);

private:
    static QList<QByteArray> Blocks(const QByteArray &baText);
    static VCardWriter::Contact Parse(const QByteArray &baBlock);
};
