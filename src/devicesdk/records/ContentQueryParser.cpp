#include "ContentQueryParser.h"

namespace
{
// Text that is not rows (an error or "No result found.") is short; more than
// this is kept no longer.
const qsizetype kMaxOtherText = 64 * 1024;
const char kNoResult[] = "No result found.";
} // namespace

ContentQueryParser::ContentQueryParser(const QStringList &listColumns, RowHandler fnRow)
    : m_listColumns(listColumns)
    , m_fnRow(std::move(fnRow))
{
    for (int i = 1; i < m_listColumns.size(); ++i)
        m_listSeparators.append(", " + m_listColumns.at(i).toUtf8() + '=');
}

QByteArray ContentQueryParser::RowMarker(int nRow) const
{
    return "Row: " + QByteArray::number(nRow) + ' ' + m_listColumns.value(0).toUtf8() + '=';
}

void ContentQueryParser::Feed(const QByteArray &baChunk)
{
    if (m_eMode == Mode::Failed || baChunk.isEmpty())
        return;
    if (m_eMode == Mode::Other) {
        if (m_baBuffer.size() < kMaxOtherText)
            m_baBuffer.append(baChunk.left(kMaxOtherText - m_baBuffer.size()));
        return;
    }
    m_baBuffer.append(baChunk);
    if (m_eMode == Mode::Start) {
        const QByteArray baFirst = RowMarker(0);
        const qsizetype n = qMin(baFirst.size(), m_baBuffer.size());
        if (m_baBuffer.left(n) != baFirst.left(n)) {
            m_eMode = Mode::Other;
            m_baBuffer.truncate(kMaxOtherText);
            return;
        }
        if (n < baFirst.size())
            return;
        m_baBuffer.remove(0, qsizetype(qstrlen("Row: 0 ")));
        m_eMode = Mode::Rows;
        m_baNextMarker = '\n' + RowMarker(1);
        m_nScanned = 0;
    }
    TakeRowsFromBuffer();
}

void ContentQueryParser::TakeRowsFromBuffer()
{
    while (m_eMode == Mode::Rows) {
        const qsizetype nFrom = qMax<qsizetype>(0, m_nScanned - m_baNextMarker.size() + 1);
        const qsizetype nAt = m_baBuffer.indexOf(m_baNextMarker, nFrom);
        if (nAt < 0) {
            m_nScanned = m_baBuffer.size();
            return;
        }
        EmitRow(m_baBuffer.left(nAt));
        // Keep "<first column>=..." of the next row.
        m_baBuffer.remove(0, nAt + m_baNextMarker.size() - m_listColumns.value(0).toUtf8().size() - 1);
        m_baNextMarker = '\n' + RowMarker(m_nRows + 1);
        m_nScanned = 0;
    }
}

void ContentQueryParser::EmitRow(const QByteArray &baRow)
{
    QStringList listValues;
    listValues.reserve(m_listColumns.size());
    const QByteArray baFirst = m_listColumns.value(0).toUtf8() + '=';
    if (!baRow.startsWith(baFirst)) {
        SetError(QStringLiteral("malformed row %1").arg(m_nRows));
        return;
    }
    qsizetype nStart = baFirst.size();
    for (int i = 0; i < m_listColumns.size(); ++i) {
        qsizetype nEnd = baRow.size();
        qsizetype nNext = nEnd;
        if (i + 1 < m_listColumns.size()) {
            nEnd = baRow.indexOf(m_listSeparators.at(i), nStart);
            if (nEnd < 0) {
                SetError(QStringLiteral("row %1 lacks the column %2").arg(m_nRows).arg(m_listColumns.at(i + 1)));
                return;
            }
            nNext = nEnd + m_listSeparators.at(i).size();
        }
        const QByteArray baValue = baRow.mid(nStart, nEnd - nStart);
        listValues.append(baValue == "NULL" ? QString() : QString::fromUtf8(baValue));
        nStart = nNext;
    }
    ++m_nRows;
    if (m_fnRow)
        m_fnRow(listValues);
}

void ContentQueryParser::SetError(const QString &strError)
{
    m_eMode = Mode::Failed;
    m_strError = strError;
    m_baBuffer.clear();
}

ContentQueryParser::Outcome ContentQueryParser::Finish()
{
    switch (m_eMode) {
    case Mode::Rows: {
        // The tool ends every row with a new line.
        QByteArray baLast = m_baBuffer;
        if (baLast.endsWith('\n'))
            baLast.chop(1);
        m_baBuffer.clear();
        EmitRow(baLast);
        if (m_eMode == Mode::Failed)
            return Outcome::Error;
        m_eMode = Mode::Failed; // nothing more may be fed
        m_strError.clear();
        return Outcome::Rows;
    }
    case Mode::Start:
    case Mode::Other: {
        const QByteArray baText = m_baBuffer.trimmed();
        if (baText == kNoResult) {
            m_baBuffer.clear();
            m_eMode = Mode::Failed;
            return Outcome::NoRows;
        }
        // Keep the first lines: the provider's name and the exception.
        const QList<QByteArray> listLines = baText.split('\n');
        QStringList listKept;
        for (const QByteArray &baLine : listLines) {
            if (listKept.size() == 3)
                break;
            if (!baLine.trimmed().isEmpty())
                listKept.append(QString::fromUtf8(baLine.trimmed()));
        }
        SetError(listKept.isEmpty() ? QStringLiteral("no output") : listKept.join(QLatin1String(" / ")));
        return Outcome::Error;
    }
    case Mode::Failed:
        break;
    }
    return m_strError.isEmpty() ? Outcome::Rows : Outcome::Error;
}

bool ContentQueryParser::IsPermissionDenied() const
{
    return m_strError.contains(QLatin1String("SecurityException"))
        || m_strError.contains(QLatin1String("Permission Denial"));
}
