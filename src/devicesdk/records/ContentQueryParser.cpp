#include "ContentQueryParser.h"

#include "RowText.h"

namespace
{
// Text that is not rows (an error, "No result found.", a preamble) is short;
// more than this is kept no longer.
const qsizetype kMaxOtherText = 64 * 1024;
const char kNoResult[] = "No result found.";
const char kToolError[] = "Error while accessing provider";

QList<QByteArray> NonEmptyLines(const QByteArray &baText)
{
    QList<QByteArray> listLines;
    for (const QByteArray &baLine : baText.split('\n')) {
        if (!baLine.trimmed().isEmpty())
            listLines.append(baLine.trimmed());
    }
    return listLines;
}

// At most three lines, from the one at nFrom.
QString FirstLines(const QList<QByteArray> &listLines, qsizetype nFrom)
{
    QStringList listKept;
    for (qsizetype i = nFrom; i < listLines.size() && listKept.size() < 3; ++i)
        listKept.append(QString::fromUtf8(listLines.at(i)));
    return listKept.join(QLatin1String(" / "));
}
} // namespace

ContentQueryParser::ContentQueryParser(const QStringList &listColumns, RowHandler fnRow)
    : m_listColumns(listColumns)
    , m_fnRow(std::move(fnRow))
{
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
    if (m_eMode == Mode::Start && !FindFirstRow())
        return;
    TakeRowsFromBuffer();
}

void ContentQueryParser::FeedError(const QByteArray &baChunk)
{
    if (m_baErrors.size() < kMaxOtherText)
        m_baErrors.append(baChunk.left(kMaxOtherText - m_baErrors.size()));
}

bool ContentQueryParser::FindFirstRow()
{
    // The first row starts the output or a line of it.
    const QByteArray baFirst = RowMarker(0);
    qsizetype nAt = m_baBuffer.startsWith(baFirst) ? 0 : -1;
    if (nAt < 0) {
        const QByteArray baLineStart = '\n' + baFirst;
        const qsizetype nFrom = qMax<qsizetype>(0, m_nScanned - baLineStart.size() + 1);
        nAt = m_baBuffer.indexOf(baLineStart, nFrom);
        if (nAt >= 0)
            ++nAt;
    }
    if (nAt < 0) {
        m_nScanned = m_baBuffer.size();
        if (m_baBuffer.size() >= kMaxOtherText) {
            m_eMode = Mode::Other;
            m_baBuffer.truncate(kMaxOtherText);
        }
        return false;
    }
    m_baPreamble = m_baBuffer.left(qMin(nAt, kMaxOtherText));
    m_baBuffer.remove(0, nAt + qsizetype(qstrlen("Row: 0 ")));
    m_eMode = Mode::Rows;
    m_baNextMarker = '\n' + RowMarker(1);
    m_nScanned = 0;
    return true;
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
    const QByteArray baFirst = m_listColumns.value(0).toUtf8() + '=';
    // Numbered on, so the next row's marker is still found.
    ++m_nRows;
    if (!baRow.startsWith(baFirst) || !RowText::Split(baRow.mid(baFirst.size()), m_listColumns, 0, &m_listRaw)) {
        ++m_nMalformed;
        m_listRaw.clear();
        return;
    }
    QStringList listValues;
    listValues.reserve(m_listRaw.size());
    for (const QByteArray &baValue : qAsConst(m_listRaw))
        listValues.append(RowText::Value(baValue));
    m_baRowText = baRow;
    if (m_fnRow)
        m_fnRow(listValues);
    m_baRowText.clear();
    m_listRaw.clear();
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
        m_eMode = Mode::Failed; // nothing more may be fed
        m_strError.clear();
        return Outcome::Rows;
    }
    case Mode::Start:
    case Mode::Other:
        return FinishOther();
    case Mode::Failed:
        break;
    }
    return m_strError.isEmpty() ? Outcome::Rows : Outcome::Unreadable;
}

ContentQueryParser::Outcome ContentQueryParser::FinishOther()
{
    const QList<QByteArray> listOut = NonEmptyLines(m_baBuffer);
    const QList<QByteArray> listAll = NonEmptyLines(m_baBuffer + '\n' + m_baErrors);
    m_baBuffer.clear();
    m_eMode = Mode::Failed;
    // The tool's own error, wherever it was printed, names the provider and the exception.
    for (qsizetype i = 0; i < listAll.size(); ++i) {
        if (listAll.at(i).startsWith(kToolError)) {
            m_strError = FirstLines(listAll, i);
            return Outcome::Error;
        }
    }
    if (listOut.contains(QByteArray(kNoResult)))
        return Outcome::NoRows;
    m_strError = listAll.isEmpty() ? QStringLiteral("no output")
                                   : QStringLiteral("unreadable answer: ") + FirstLines(listAll, 0);
    return Outcome::Unreadable;
}

bool ContentQueryParser::IsPermissionDenied() const
{
    return m_strError.contains(QLatin1String("SecurityException"))
        || m_strError.contains(QLatin1String("Permission Denial"));
}

QString ContentQueryParser::Preamble() const
{
    return FirstLines(NonEmptyLines(m_baPreamble), 0);
}
