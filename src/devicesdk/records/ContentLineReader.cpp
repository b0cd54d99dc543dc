#include "ContentLineReader.h"

namespace
{
bool IsQuotedPrintableStart(const QByteArray &baLine)
{
    const qsizetype nColon = baLine.indexOf(':');
    return nColon > 0 && baLine.left(nColon).toUpper().contains("QUOTED-PRINTABLE");
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
} // namespace

QString ContentLineReader::Line::Param(const QString &strParam) const
{
    for (const auto &param : listParams) {
        if (param.first == strParam)
            return param.second;
    }
    return QString();
}

QStringList ContentLineReader::Line::Types() const
{
    QStringList list;
    for (const auto &param : listParams) {
        if (param.first == QLatin1String("TYPE")) {
            for (const QString &str : param.second.split(QLatin1Char(','), Qt::SkipEmptyParts))
                list << str.trimmed().toUpper();
        }
    }
    return list;
}

QList<QByteArray> ContentLineReader::Unfold(const QByteArray &baText)
{
    QByteArray baNormal = baText;
    baNormal.replace("\r\n", "\n");
    baNormal.replace('\r', '\n');
    QList<QByteArray> listLines;
    bool bSoftBreak = false;
    for (const QByteArray &baPhysical : baNormal.split('\n')) {
        const bool bBlankStart = baPhysical.startsWith(' ') || baPhysical.startsWith('\t');
        if (!listLines.isEmpty() && bSoftBreak) {
            // A quoted-printable "=" at the end joins the next line as it is.
            listLines.last().chop(1);
            listLines.last() += baPhysical;
        } else if (!listLines.isEmpty() && bBlankStart) {
            listLines.last() += baPhysical.mid(1);
        } else if (!baPhysical.trimmed().isEmpty()) {
            listLines << baPhysical;
        } else {
            continue;
        }
        bSoftBreak = listLines.last().endsWith('=') && IsQuotedPrintableStart(listLines.last());
    }
    return listLines;
}

QByteArray ContentLineReader::DecodeQuotedPrintable(const QByteArray &baValue)
{
    QByteArray ba;
    ba.reserve(baValue.size());
    for (qsizetype i = 0; i < baValue.size(); ++i) {
        const char c = baValue.at(i);
        if (c == '=' && i + 2 < baValue.size() && HexValue(baValue.at(i + 1)) >= 0
            && HexValue(baValue.at(i + 2)) >= 0) {
            ba += char(HexValue(baValue.at(i + 1)) * 16 + HexValue(baValue.at(i + 2)));
            i += 2;
        } else if (c == '=' && i + 1 == baValue.size()) {
            break; // a soft break left at the very end
        } else {
            ba += c;
        }
    }
    return ba;
}

bool ContentLineReader::ParseLine(const QByteArray &baLine, Line &line)
{
    // The name and parameters end at the first ':' outside quotes.
    qsizetype nColon = -1;
    bool bQuoted = false;
    for (qsizetype i = 0; i < baLine.size() && nColon < 0; ++i) {
        if (baLine.at(i) == '"')
            bQuoted = !bQuoted;
        else if (baLine.at(i) == ':' && !bQuoted)
            nColon = i;
    }
    if (nColon <= 0)
        return false;
    QList<QByteArray> listFields;
    QByteArray baField;
    bQuoted = false;
    for (char c : baLine.left(nColon)) {
        if (c == '"') {
            bQuoted = !bQuoted;
        } else if (c == ';' && !bQuoted) {
            listFields << baField;
            baField.clear();
        } else {
            baField += c;
        }
    }
    listFields << baField;
    QString strName = QString::fromUtf8(listFields.takeFirst()).trimmed().toUpper();
    line.strName = strName.mid(strName.lastIndexOf(QLatin1Char('.')) + 1);
    for (const QByteArray &baParam : qAsConst(listFields)) {
        const qsizetype nEquals = baParam.indexOf('=');
        if (nEquals < 0)
            line.listParams.append({QStringLiteral("TYPE"), QString::fromUtf8(baParam).trimmed()});
        else
            line.listParams.append({QString::fromUtf8(baParam.left(nEquals)).trimmed().toUpper(),
                                    QString::fromUtf8(baParam.mid(nEquals + 1)).trimmed()});
    }
    QByteArray baValue = baLine.mid(nColon + 1);
    if (line.Param(QStringLiteral("ENCODING")).compare(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive) == 0
        || line.Types().contains(QLatin1String("QUOTED-PRINTABLE")))
        baValue = DecodeQuotedPrintable(baValue);
    line.strValue = QString::fromUtf8(baValue);
    return !line.strName.isEmpty();
}

QList<ContentLineReader::Line> ContentLineReader::Lines(const QByteArray &baText)
{
    QList<Line> listLines;
    for (const QByteArray &baLine : Unfold(baText)) {
        Line line;
        if (ParseLine(baLine, line))
            listLines << line;
    }
    return listLines;
}

QString ContentLineReader::UnescapeText(const QString &strValue)
{
    return SplitParts(strValue, QChar()).value(0);
}

QStringList ContentLineReader::SplitParts(const QString &strValue, QChar cSeparator)
{
    QStringList listParts;
    QString strPart;
    for (qsizetype i = 0; i < strValue.size(); ++i) {
        const QChar c = strValue.at(i);
        if (c == QLatin1Char('\\') && i + 1 < strValue.size()) {
            const QChar cNext = strValue.at(++i);
            if (cNext == QLatin1Char('n') || cNext == QLatin1Char('N'))
                strPart += QLatin1Char('\n');
            else if (cNext == QLatin1Char(',') || cNext == QLatin1Char(';') || cNext == QLatin1Char('\\')
                     || cNext == QLatin1Char(':'))
                strPart += cNext;
            else
                strPart += QString(c) + cNext;
        } else if (!cSeparator.isNull() && c == cSeparator) {
            listParts << strPart;
            strPart.clear();
        } else {
            strPart += c;
        }
    }
    listParts << strPart;
    return listParts;
}
