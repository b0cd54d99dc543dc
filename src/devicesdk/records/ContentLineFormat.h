#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The content-line rules that vCard 3.0 (RFC 2426) and iCalendar (RFC 5545)
// share: text values escaped, lines folded at 75 octets, CR LF line ends,
// UTF-8.
class ContentLineFormat
{
public:
    // Escapes a text value: backslash, comma, semicolon and new lines; other
    // control characters but tab (which no content line may hold) become U+FFFD.
    static QString EscapeText(const QString &strText);
    // Structured values (N, ADR, ORG): the parts escaped, joined by ';'.
    static QString JoinParts(const QStringList &listParts);
    // A parameter value, quoted when it holds ':', ';' or ','; quotes cannot
    // appear in a parameter value and are dropped.
    static QString ParamValue(const QString &strValue);
    // "NAME[;PARAMS]:VALUE" as UTF-8 (control characters but tab as U+FFFD), folded so that no line is longer than
    // 75 octets (a fold never splits a UTF-8 character), ending with CR LF.
    static QByteArray Line(const QString &strNameAndParams, const QString &strValue);
    static QByteArray Fold(const QByteArray &baLine);
};
