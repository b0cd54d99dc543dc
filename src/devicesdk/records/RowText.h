#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The text of one row as "content query" prints it, "c0=v0, c1=v1, …",
// with the values unescaped. These helpers split it, tell when the split
// may be wrong, and turn values into text.
//
// Column 0 is always the integer _id, so the first separator is never in
// doubt. A later separator ", cM=" taken at the wrong place (inside a value)
// leaves the true one inside a value that follows it: a row whose value of
// column K holds ", cM=" for some M <= K may have been split wrongly; any
// other row was split as the phone printed it.
class RowText
{
public:
    // ", <column>=".
    static QByteArray Separator(const QString &strColumn);
    // Splits baText, which starts with the value of column nFrom, at the
    // first ", <next column>=" each time; false when a separator is missing.
    static bool Split(const QByteArray &baText, const QStringList &listColumns, int nFrom, QList<QByteArray> *pValues);
    // listValues holds the values of columns nFrom… split from a text whose
    // column nFrom is known to start where it was taken. The lowest column M
    // whose separator may be misplaced (values of nFrom … M-2 are right),
    // -1 when the split is certain.
    static int FirstDoubtfulColumn(const QList<QByteArray> &listValues, const QStringList &listColumns, int nFrom);
    // True when a value holds something that could start a row
    // ("\nRow: <number> <first column>="): the rows may have been cut wrongly.
    static bool HasRowMarker(const QList<QByteArray> &listValues, const QString &strFirstColumn);
    // Text from the phone's UTF-8, a leading U+FEFF kept.
    static QString Text(const QByteArray &baValue);
    // As Text, NULL being a missing value (a null QString).
    static QString Value(const QByteArray &baValue);
};
