#include "RowRepair.h"

#include "ContentQueryParser.h"
#include "PhoneShell.h"
#include "RowText.h"

RowRepair::RowRepair(PhoneShell &shell, const QString &strUri, const QStringList &listColumns)
    : m_shell(shell)
    , m_strUri(strUri)
    , m_listColumns(listColumns)
{
}

ProviderResult RowRepair::Unreadable(qint64 nId, const QString &strWhy) const
{
    ProviderResult result;
    result.eKind = ProviderResult::Failed;
    result.strReason = QStringLiteral("the row %1 of %2 could not be read: %3").arg(nId).arg(m_strUri, strWhy);
    return result;
}

ProviderResult RowRepair::RunOne(const QStringList &listColumns, qint64 nId, QByteArray *pText, bool *pbVanished)
{
    pText->clear();
    *pbVanished = false;
    ProviderResult result;
    if (m_shell.IsCancelled()) {
        result.eKind = ProviderResult::Cancelled;
        return result;
    }
    // Only the output's end matters for the text; the parser tells what the output was.
    QByteArray baOut;
    ContentQueryParser parser(listColumns, {});
    const int nCode = m_shell.RunApart(
        ProviderQuery::Command(m_strUri, listColumns, QStringLiteral("_id=%1").arg(nId), QString()),
        [&](const QByteArray &baChunk) { baOut += baChunk; parser.Feed(baChunk); },
        [&](const QByteArray &baChunk) { parser.FeedError(baChunk); });
    if (nCode != 0) {
        result.eKind = m_shell.IsCancelled() ? ProviderResult::Cancelled : ProviderResult::Failed;
        result.nCode = nCode;
        return result;
    }
    switch (parser.Finish()) {
    case ContentQueryParser::Outcome::NoRows:
        *pbVanished = true;
        return result;
    case ContentQueryParser::Outcome::Error:
        result.eKind = ProviderResult::NotAvailable;
        result.strReason = parser.ErrorText();
        return result;
    case ContentQueryParser::Outcome::Unreadable:
    case ContentQueryParser::Outcome::Rows:
        break;
    }
    // One row: whatever its values hold, its text runs from the first
    // "Row: 0 " that starts a line to the final new line.
    const QByteArray baMarker = "Row: 0 " + listColumns.constFirst().toUtf8() + '=';
    qsizetype nAt = baOut.startsWith(baMarker) ? 0 : baOut.indexOf('\n' + baMarker);
    if (nAt < 0 || !baOut.endsWith('\n'))
        return Unreadable(nId, parser.ErrorText().isEmpty() ? QStringLiteral("no row in the answer") : parser.ErrorText());
    nAt += baOut.at(nAt) == '\n' ? 1 : 0;
    *pText = baOut.mid(nAt + 7, baOut.size() - nAt - 7 - 1);
    return result;
}

ProviderResult RowRepair::ReadRow(qint64 nId, QStringList *pValues, bool *pbVanished)
{
    QByteArray baText;
    const ProviderResult result = RunOne(m_listColumns, nId, &baText, pbVanished);
    if (result.eKind != ProviderResult::Ok || *pbVanished)
        return result;
    return Resolve(nId, baText, pValues, pbVanished);
}

ProviderResult RowRepair::Resolve(qint64 nId, const QByteArray &baText, QStringList *pValues, bool *pbVanished)
{
    *pbVanished = false;
    pValues->clear();
    const QByteArray baId = m_listColumns.constFirst().toUtf8() + '=' + QByteArray::number(nId);
    if (m_listColumns.size() == 1) {
        if (baText != baId)
            return Unreadable(nId, QStringLiteral("another id"));
        pValues->append(QString::number(nId));
        return ProviderResult();
    }
    const QByteArray baStart = baId + RowText::Separator(m_listColumns.at(1));
    if (!baText.startsWith(baStart))
        return Unreadable(nId, QStringLiteral("another id"));
    QList<QByteArray> listKnown {QByteArray::number(nId)};
    qsizetype nPos = baStart.size(); // where the value of column nFrom starts
    for (int nFrom = 1;;) {
        QList<QByteArray> listRest;
        if (!RowText::Split(baText.mid(nPos), m_listColumns, nFrom, &listRest))
            return Unreadable(nId, QStringLiteral("a column is missing"));
        const int nDoubt = RowText::FirstDoubtfulColumn(listRest, m_listColumns, nFrom);
        if (nDoubt < 0) {
            listKnown += listRest;
            break;
        }
        // Columns nFrom … nDoubt-2 were split right; nDoubt-1 is read alone.
        for (int i = nFrom; i < nDoubt - 1; ++i) {
            listKnown.append(listRest.at(i - nFrom));
            nPos += listRest.at(i - nFrom).size() + RowText::Separator(m_listColumns.at(i + 1)).size();
        }
        QByteArray baValue;
        const ProviderResult one = RunOne({m_listColumns.at(nDoubt - 1)}, nId, &baValue, pbVanished);
        if (one.eKind != ProviderResult::Ok || *pbVanished)
            return one;
        baValue.remove(0, m_listColumns.at(nDoubt - 1).toUtf8().size() + 1);
        const QByteArray baSeparator = RowText::Separator(m_listColumns.at(nDoubt));
        if (baText.mid(nPos, baValue.size() + baSeparator.size()) != baValue + baSeparator)
            return Unreadable(nId, QStringLiteral("it changed while it was read"));
        listKnown.append(baValue);
        nPos += baValue.size() + baSeparator.size();
        nFrom = nDoubt;
        if (nFrom == m_listColumns.size() - 1) {
            listKnown.append(baText.mid(nPos));
            break;
        }
    }
    for (const QByteArray &baValue : qAsConst(listKnown))
        pValues->append(RowText::Value(baValue));
    return ProviderResult();
}
