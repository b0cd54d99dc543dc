#include "ContentLineFormat.h"

namespace
{
const qsizetype kMaxOctets = 75;

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
} // namespace

QString ContentLineFormat::EscapeText(const QString &strText)
{
    QString strOut;
    strOut.reserve(strText.size() + 8);
    for (qsizetype i = 0; i < strText.size(); ++i) {
        const QChar c = strText.at(i);
        switch (c.unicode()) {
        case '\\': strOut += QLatin1String("\\\\"); break;
        case ';': strOut += QLatin1String("\\;"); break;
        case ',': strOut += QLatin1String("\\,"); break;
        case '\r':
            // CR LF and a lone CR are one line break.
            if (i + 1 < strText.size() && strText.at(i + 1) == QLatin1Char('\n'))
                ++i;
            strOut += QLatin1String("\\n");
            break;
        case '\n': strOut += QLatin1String("\\n"); break;
        case '\t': strOut += c; break;
        default:
            // Other control characters may not appear in a content line.
            strOut += c.unicode() < 0x20 || c.unicode() == 0x7f ? QChar(QChar::ReplacementCharacter) : c;
        }
    }
    return strOut;
}

QString ContentLineFormat::JoinParts(const QStringList &listParts)
{
    QStringList listEscaped;
    listEscaped.reserve(listParts.size());
    for (const QString &str : listParts)
        listEscaped.append(EscapeText(str));
    return listEscaped.join(QLatin1Char(';'));
}

QString ContentLineFormat::ParamValue(const QString &strValue)
{
    QString str = strValue;
    str.remove(QLatin1Char('"'));
    str.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (str.contains(QLatin1Char(':')) || str.contains(QLatin1Char(';')) || str.contains(QLatin1Char(',')))
        return QLatin1Char('"') + str + QLatin1Char('"');
    return str;
}

QByteArray ContentLineFormat::Line(const QString &strNameAndParams, const QString &strValue)
{
    // No control character but tab reaches the file, whatever the value held.
    QString strLine = strNameAndParams + QLatin1Char(':') + strValue;
    for (QChar &c : strLine) {
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7f)
            c = QChar(QChar::ReplacementCharacter);
    }
    return Fold(strLine.toUtf8());
}

QByteArray ContentLineFormat::Fold(const QByteArray &baLine)
{
    QByteArray baOut;
    baOut.reserve(baLine.size() + baLine.size() / 64 * 3 + 2);
    qsizetype nPos = 0;
    qsizetype nRoom = kMaxOctets;
    while (baLine.size() - nPos > nRoom) {
        qsizetype nCut = nPos + nRoom;
        // Back off to the start of the UTF-8 character that would be split.
        while (nCut > nPos && IsContinuationByte(baLine.at(nCut)))
            --nCut;
        if (nCut == nPos)
            nCut = nPos + nRoom; // not UTF-8 at all: cut where the room ends
        baOut.append(baLine.constData() + nPos, nCut - nPos);
        baOut.append("\r\n ");
        nPos = nCut;
        nRoom = kMaxOctets - 1; // the leading space counts
    }
    baOut.append(baLine.constData() + nPos, baLine.size() - nPos);
    baOut.append("\r\n");
    return baOut;
}
