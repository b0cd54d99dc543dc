#include "VCardReader.h"

#include "ContentLineReader.h"

#include <algorithm>

namespace
{
// TYPE words of TEL/EMAIL/ADR as VCardWriter writes them, without INTERNET
// and the PREF marker of vCard 2.1/4.0.
QString TypeText(const ContentLineReader::Line &line)
{
    QStringList list = line.Types();
    list.removeAll(QStringLiteral("INTERNET"));
    list.removeAll(QStringLiteral("QUOTED-PRINTABLE"));
    return list.join(QLatin1Char(','));
}

QString Part(const QStringList &list, int nIndex)
{
    return list.value(nIndex).trimmed();
}

void AddLine(VCardWriter::Contact &c, const ContentLineReader::Line &line)
{
    const QString strText = ContentLineReader::UnescapeText(line.strValue).trimmed();
    if (line.strName == QLatin1String("FN")) {
        c.strFormattedName = strText;
    } else if (line.strName == QLatin1String("N")) {
        const QStringList list = ContentLineReader::SplitParts(line.strValue, QLatin1Char(';'));
        c.strFamily = Part(list, 0);
        c.strGiven = Part(list, 1);
        c.strMiddle = Part(list, 2);
        c.strPrefix = Part(list, 3);
        c.strSuffix = Part(list, 4);
    } else if (line.strName == QLatin1String("NICKNAME") && !strText.isEmpty()) {
        c.listNicknames << strText;
    } else if (line.strName == QLatin1String("TEL") && !strText.isEmpty()) {
        c.listPhones.append({TypeText(line), strText});
    } else if (line.strName == QLatin1String("EMAIL") && !strText.isEmpty()) {
        c.listEmails.append({TypeText(line), strText});
    } else if (line.strName == QLatin1String("ADR")) {
        const QStringList list = ContentLineReader::SplitParts(line.strValue, QLatin1Char(';'));
        c.listAddresses.append({TypeText(line), Part(list, 0), Part(list, 1), Part(list, 2), Part(list, 3),
                                Part(list, 4), Part(list, 5), Part(list, 6)});
    } else if (line.strName == QLatin1String("ORG")) {
        const QStringList list = ContentLineReader::SplitParts(line.strValue, QLatin1Char(';'));
        c.strOrganization = Part(list, 0);
        c.strDepartment = Part(list, 1);
    } else if (line.strName == QLatin1String("TITLE")) {
        c.strTitle = strText;
    } else if (line.strName == QLatin1String("NOTE") && !strText.isEmpty()) {
        c.listNotes << strText;
    } else if (line.strName == QLatin1String("BDAY")) {
        c.strBirthday = strText;
    } else if (line.strName == QLatin1String("URL") && !strText.isEmpty()) {
        c.listUrls << strText;
    } else if (line.strName == QLatin1String("PHOTO")) {
        const QString strEncoding = line.Param(QStringLiteral("ENCODING")).toUpper();
        if (strEncoding == QLatin1String("B") || strEncoding == QLatin1String("BASE64"))
            c.baPhoto = QByteArray::fromBase64(line.strValue.toLatin1());
    }
}

bool IsMarker(const QByteArray &baLine, const char *szMarker)
{
    return baLine.trimmed().toUpper() == szMarker;
}
} // namespace

QList<QByteArray> VCardReader::Blocks(const QByteArray &baText)
{
    QList<QByteArray> listBlocks;
    QByteArray baBlock;
    int nDepth = 0;
    qsizetype nPos = 0;
    while (nPos < baText.size()) {
        qsizetype nEnd = baText.indexOf('\n', nPos);
        nEnd = nEnd < 0 ? baText.size() : nEnd + 1;
        const QByteArray baLine = baText.mid(nPos, nEnd - nPos);
        nPos = nEnd;
        if (IsMarker(baLine, "BEGIN:VCARD")) {
            if (nDepth > 0 && baBlock.toUpper().contains("AGENT")) {
                ++nDepth; // a card inside a card
            } else {
                if (nDepth > 0)
                    listBlocks << baBlock; // the one before had no END
                baBlock.clear();
                nDepth = 1;
            }
        }
        if (nDepth == 0)
            continue;
        baBlock += baLine;
        if (IsMarker(baLine, "END:VCARD") && --nDepth == 0)
            listBlocks << baBlock;
    }
    if (nDepth > 0)
        listBlocks << baBlock;
    return listBlocks;
}

VCardWriter::Contact VCardReader::Parse(const QByteArray &baBlock)
{
    VCardWriter::Contact contact;
    int nDepth = 0;
    for (const ContentLineReader::Line &line : ContentLineReader::Lines(baBlock)) {
        if (line.strName == QLatin1String("BEGIN")) {
            ++nDepth;
            continue;
        }
        if (line.strName == QLatin1String("END")) {
            --nDepth;
            continue;
        }
        if (nDepth == 1)
            AddLine(contact, line);
    }
    return contact;
}

QList<VCardReader::Card> VCardReader::Read(const QByteArray &baText)
{
    QList<Card> listCards;
    for (const QByteArray &baBlock : Blocks(baText)) {
        Card card {Parse(baBlock), baBlock};
        if (!card.baRaw.endsWith('\n'))
            card.baRaw += "\r\n";
        listCards << card;
    }
    return listCards;
}

QString VCardReader::DisplayName(const VCardWriter::Contact &contact)
{
    if (!contact.strFormattedName.isEmpty())
        return contact.strFormattedName.simplified();
    const QStringList listParts {contact.strPrefix, contact.strGiven, contact.strMiddle, contact.strFamily,
                                 contact.strSuffix};
    QStringList listName;
    for (const QString &str : listParts) {
        if (!str.isEmpty())
            listName << str;
    }
    if (!listName.isEmpty())
        return listName.join(QLatin1Char(' ')).simplified();
    return contact.strOrganization.simplified();
}

QString VCardReader::NormalizedNumber(const QString &strNumber)
{
    QString str;
    for (const QChar c : strNumber) {
        if (c.isDigit() || (c == QLatin1Char('+') && str.isEmpty()))
            str += c;
    }
    return str;
}

QString VCardReader::Key(const VCardWriter::Contact &contact)
{
    QStringList listNumbers;
    for (const VCardWriter::Typed &phone : contact.listPhones)
        listNumbers << NormalizedNumber(phone.strValue);
    QStringList listEmails;
    for (const VCardWriter::Typed &email : contact.listEmails)
        listEmails << email.strValue.trimmed().toLower();
    std::sort(listNumbers.begin(), listNumbers.end());
    std::sort(listEmails.begin(), listEmails.end());
    listNumbers.removeDuplicates();
    listEmails.removeDuplicates();
    const QChar sep(0x1f);
    return DisplayName(contact) + sep + listNumbers.join(QLatin1Char(',')) + sep + listEmails.join(QLatin1Char(','));
}
