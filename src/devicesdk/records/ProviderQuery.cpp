#include "ProviderQuery.h"

#include "ContentQueryParser.h"
#include "PhoneShell.h"
#include "RowRepair.h"
#include "RowText.h"

#include <QDebug>

#include <algorithm>

namespace
{
// Ids are short: an id page holds this many pages of rows.
const int kIdPagesPerPage = 4;

ProviderResult Failure(const QString &strReason)
{
    ProviderResult result;
    result.eKind = ProviderResult::Failed;
    result.strReason = strReason;
    return result;
}
} // namespace

ProviderQuery::ProviderQuery(PhoneShell &shell, const QString &strUri, const QStringList &listColumns,
                             const QString &strWhere, int nPageSize)
    : m_shell(shell)
    , m_strUri(strUri)
    , m_listColumns(listColumns)
    , m_strWhere(strWhere)
    , m_nPageSize(qMax(1, nPageSize))
{
}

QByteArray ProviderQuery::Quote(const QString &str)
{
    QByteArray ba = str.toUtf8();
    ba.replace('\'', "'\\''");
    return '\'' + ba + '\'';
}

QByteArray ProviderQuery::Command(const QString &strUri, const QStringList &listColumns,
                                  const QString &strWhere, const QString &strSort)
{
    QByteArray ba = "content query --uri " + Quote(strUri) + " --projection " + Quote(listColumns.join(QLatin1Char(':')));
    if (!strWhere.isEmpty())
        ba += " --where " + Quote(strWhere);
    if (!strSort.isEmpty())
        ba += " --sort " + Quote(strSort);
    return ba;
}

QString ProviderQuery::Where(const QString &strExtra) const
{
    return m_strWhere.isEmpty() ? strExtra : m_strWhere + QLatin1String(" AND ") + strExtra;
}

ProviderResult ProviderQuery::RunPage(const QStringList &listColumns, const QString &strWhere, const QString &strSort,
                                      Page *pPage)
{
    ProviderResult result;
    if (m_shell.IsCancelled()) {
        result.eKind = ProviderResult::Cancelled;
        return result;
    }
    const QString strFirst = listColumns.constFirst();
    ContentQueryParser parser(listColumns, [&](const QStringList &listValues) {
        const QList<QByteArray> &listRaw = parser.RawValues();
        pPage->bSuspect = pPage->bSuspect || RowText::HasRowMarker(listRaw, strFirst);
        if (listColumns.size() > 1 && RowText::FirstDoubtfulColumn(listRaw.mid(1), listColumns, 1) >= 0)
            pPage->hashDoubtful.insert(pPage->listRows.size(), parser.RowText());
        pPage->listRows.append(listValues);
    });
    const int nCode = m_shell.RunApart(Command(m_strUri, listColumns, strWhere, strSort),
                                       [&parser](const QByteArray &baChunk) { parser.Feed(baChunk); },
                                       [&parser](const QByteArray &baChunk) { parser.FeedError(baChunk); });
    if (nCode != 0) {
        result.eKind = m_shell.IsCancelled() ? ProviderResult::Cancelled : ProviderResult::Failed;
        result.nCode = nCode;
        return result;
    }
    switch (parser.Finish()) {
    case ContentQueryParser::Outcome::Rows:
    case ContentQueryParser::Outcome::NoRows:
        pPage->bSuspect = pPage->bSuspect || parser.MalformedRows() > 0;
        if (!parser.Preamble().isEmpty())
            qInfo().noquote() << "records:" << m_strUri << "printed before its rows:" << parser.Preamble();
        break;
    case ContentQueryParser::Outcome::Error:
        // A provider the shell may not read, or one this phone does not have,
        // is not available here; the rest of the backup goes on.
        result.eKind = ProviderResult::NotAvailable;
        result.strReason = parser.ErrorText();
        break;
    case ContentQueryParser::Outcome::Unreadable:
        // Never taken for "not available": the phone gave something else.
        result = Failure(QStringLiteral("%1: %2").arg(m_strUri, parser.ErrorText()));
        break;
    }
    return result;
}

ProviderResult ProviderQuery::ReadIds(Ids *pIds)
{
    pIds->clear();
    const QString strKey = m_listColumns.constFirst();
    const int nIdPage = m_nPageSize * kIdPagesPerPage;
    for (;;) {
        Page page;
        const QString strWhere = pIds->isEmpty() ? m_strWhere : Where(QStringLiteral("%1>%2").arg(strKey).arg(pIds->constLast()));
        const ProviderResult result = RunPage({strKey}, strWhere, QStringLiteral("%1 LIMIT %2").arg(strKey).arg(nIdPage), &page);
        if (result.eKind != ProviderResult::Ok)
            return result;
        if (page.bSuspect)
            return Failure(QStringLiteral("%1: the ids could not be read").arg(m_strUri));
        Ids listPage;
        for (const QStringList &row : qAsConst(page.listRows)) {
            bool bNumber = false;
            listPage.append(row.value(0).toLongLong(&bNumber));
            if (!bNumber)
                return Failure(QStringLiteral("%1: an id that is not a number: %2").arg(m_strUri, row.value(0).left(40)));
        }
        // Ascending and each id once, as asked; a provider that ignored the
        // order or the limit gave every row in this one answer.
        const bool bInOrder = std::is_sorted(listPage.cbegin(), listPage.cend())
            && std::adjacent_find(listPage.cbegin(), listPage.cend()) == listPage.cend();
        *pIds += listPage;
        if (!bInOrder || listPage.size() != nIdPage) {
            std::sort(pIds->begin(), pIds->end());
            pIds->erase(std::unique(pIds->begin(), pIds->end()), pIds->end());
            return result;
        }
    }
}

ProviderResult ProviderQuery::Count(int *pCount)
{
    Ids listIds;
    const ProviderResult result = ReadIds(&listIds);
    *pCount = int(listIds.size());
    return result;
}

ProviderResult ProviderQuery::ForEachPage(const PageHandler &fnPage)
{
    Ids listIds;
    const ProviderResult result = ReadIds(&listIds);
    return result.eKind == ProviderResult::Ok ? ForEachPage(listIds, fnPage) : result;
}

ProviderResult ProviderQuery::ReadAll(const PageHandler &fnRows)
{
    Rows listAll;
    const ProviderResult result = ForEachPage([&listAll](const Rows &listRows) { listAll += listRows; });
    if (result.eKind == ProviderResult::Ok && !listAll.isEmpty())
        fnRows(listAll);
    return result;
}

ProviderResult ProviderQuery::ForEachPage(const Ids &listIds, const PageHandler &fnPage)
{
    ProviderResult result;
    for (qsizetype nFrom = 0; nFrom < listIds.size(); nFrom += m_nPageSize) {
        const qsizetype nCount = qMin<qsizetype>(m_nPageSize, listIds.size() - nFrom);
        Rows listRows;
        if (m_listColumns.size() == 1) {
            // Ids alone: nothing more to ask the phone.
            if (m_shell.IsCancelled()) {
                result.eKind = ProviderResult::Cancelled;
                return result;
            }
            for (qsizetype i = nFrom; i < nFrom + nCount; ++i)
                listRows.append({QString::number(listIds.at(i))});
        } else {
            const ProviderResult page = ReadRange(listIds, nFrom, nCount, &listRows, &result.nVanished);
            if (page.eKind != ProviderResult::Ok)
                return page;
        }
        if (!listRows.isEmpty())
            fnPage(listRows);
    }
    return result;
}

ProviderResult ProviderQuery::ReadRange(const Ids &listIds, qsizetype nFrom, qsizetype nCount, Rows *pRows, int *pVanished)
{
    if (nCount == 1) {
        QStringList listValues;
        bool bVanished = false;
        const ProviderResult result = RowRepair(m_shell, m_strUri, m_listColumns).ReadRow(listIds.at(nFrom), &listValues, &bVanished);
        if (result.eKind == ProviderResult::Ok && bVanished)
            ++*pVanished;
        else if (result.eKind == ProviderResult::Ok)
            pRows->append(listValues);
        return result;
    }
    const QString strKey = m_listColumns.constFirst();
    Page page;
    const ProviderResult result = RunPage(m_listColumns,
        Where(QStringLiteral("%1>=%2 AND %1<=%3").arg(strKey).arg(listIds.at(nFrom)).arg(listIds.at(nFrom + nCount - 1))),
        strKey, &page);
    if (result.eKind != ProviderResult::Ok)
        return result;
    bool bSameIds = !page.bSuspect && page.listRows.size() == nCount;
    for (qsizetype i = 0; bSameIds && i < nCount; ++i)
        bSameIds = page.listRows.at(i).value(0) == QString::number(listIds.at(nFrom + i));
    if (bSameIds)
        return AcceptRows(listIds, nFrom, page, pRows, pVanished);
    // Rows may have been cut at a value that looked like a row: halves, down to single rows.
    const qsizetype nHalf = nCount / 2;
    const ProviderResult first = ReadRange(listIds, nFrom, nHalf, pRows, pVanished);
    return first.eKind != ProviderResult::Ok ? first : ReadRange(listIds, nFrom + nHalf, nCount - nHalf, pRows, pVanished);
}

ProviderResult ProviderQuery::AcceptRows(const Ids &listIds, qsizetype nFrom, const Page &page, Rows *pRows,
                                         int *pVanished)
{
    for (qsizetype i = 0; i < page.listRows.size(); ++i) {
        const auto it = page.hashDoubtful.constFind(i);
        if (it == page.hashDoubtful.constEnd()) {
            pRows->append(page.listRows.at(i));
            continue;
        }
        QStringList listValues;
        bool bVanished = false;
        const ProviderResult result = RowRepair(m_shell, m_strUri, m_listColumns)
                                          .Resolve(listIds.at(nFrom + i), it.value(), &listValues, &bVanished);
        if (result.eKind != ProviderResult::Ok)
            return result;
        if (bVanished)
            ++*pVanished;
        else
            pRows->append(listValues);
    }
    return ProviderResult();
}
