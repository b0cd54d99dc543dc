#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Reads the content lines that vCard (2.1 and 3.0) and iCalendar share: lines
// unfolded (CR LF, LF or CR line ends; a line that starts with a blank
// continues the one before), "group." prefixes dropped, names upper-cased,
// parameters split (quoted values may hold ':' and ';'; a bare vCard 2.1
// parameter such as "CELL" counts as a TYPE), quoted-printable values with
// their soft line breaks decoded.
class ContentLineReader
{
public:
    struct Line
    {
        QString strName;                          // upper case, without group
        QList<QPair<QString, QString>> listParams; // names upper case, values unquoted
        QString strValue;                         // still escaped

        // The first value of a parameter; empty when it is not there.
        QString Param(const QString &strParam) const;
        // The TYPE words, upper case (TYPE=a,b and TYPE=a;TYPE=b alike).
        QStringList Types() const;
    };

    static QList<Line> Lines(const QByteArray &baText);

    // Undoes the text escapes: "\n" and "\N" new lines, "\," "\;" "\\" and
    // "\:" the characters themselves; a lone backslash stays.
    static QString UnescapeText(const QString &strValue);
    // Splits at the separators that are not escaped, each part unescaped.
    static QStringList SplitParts(const QString &strValue, QChar cSeparator);

private:
    static QList<QByteArray> Unfold(const QByteArray &baText);
    static bool ParseLine(const QByteArray &baLine, Line &line);
    static QByteArray DecodeQuotedPrintable(const QByteArray &baValue);
};
