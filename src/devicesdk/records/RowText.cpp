#include "RowText.h"

#include <QStringDecoder>

QByteArray RowText::Separator(const QString &strColumn)
{
    return ", " + strColumn.toUtf8() + '=';
}

bool RowText::Split(const QByteArray &baText, const QStringList &listColumns, int nFrom, QList<QByteArray> *pValues)
{
    pValues->clear();
    qsizetype nStart = 0;
    for (int i = nFrom; i < listColumns.size(); ++i) {
        if (i + 1 == listColumns.size()) {
            pValues->append(baText.mid(nStart));
            break;
        }
        const QByteArray baSeparator = Separator(listColumns.at(i + 1));
        const qsizetype nEnd = baText.indexOf(baSeparator, nStart);
        if (nEnd < 0)
            return false;
        pValues->append(baText.mid(nStart, nEnd - nStart));
        nStart = nEnd + baSeparator.size();
    }
    return true;
}

int RowText::FirstDoubtfulColumn(const QList<QByteArray> &listValues, const QStringList &listColumns, int nFrom)
{
    int nFirst = -1;
    for (int k = 0; k < listValues.size(); ++k) {
        const int nColumn = nFrom + k;
        if (!listValues.at(k).contains(", "))
            continue;
        // Separators of columns nFrom+1 … nColumn, found in the value of nColumn.
        for (int m = nFrom + 1; m <= nColumn && (nFirst < 0 || m < nFirst); ++m) {
            if (listValues.at(k).contains(Separator(listColumns.at(m))))
                nFirst = m;
        }
    }
    return nFirst;
}

bool RowText::HasRowMarker(const QList<QByteArray> &listValues, const QString &strFirstColumn)
{
    const QByteArray baColumn = ' ' + strFirstColumn.toUtf8() + '=';
    for (const QByteArray &baValue : listValues) {
        for (qsizetype n = baValue.indexOf("\nRow: "); n >= 0; n = baValue.indexOf("\nRow: ", n + 1)) {
            qsizetype nDigit = n + 6;
            while (nDigit < baValue.size() && baValue.at(nDigit) >= '0' && baValue.at(nDigit) <= '9')
                ++nDigit;
            if (nDigit > n + 6 && baValue.mid(nDigit, baColumn.size()) == baColumn)
                return true;
        }
    }
    return false;
}

QString RowText::Text(const QByteArray &baValue)
{
    if (!baValue.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(baValue);
    // fromUtf8 would drop it as a byte-order mark.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(baValue);
}

QString RowText::Value(const QByteArray &baValue)
{
    return baValue == "NULL" ? QString() : Text(baValue);
}
