#include "ProviderQuery.h"

#include "ContentQueryParser.h"
#include "PhoneShell.h"

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

ProviderResult ProviderQuery::RunOne(const QStringList &listColumns, const QString &strWhere, const QString &strSort,
                                     Rows *pRows)
{
    ProviderResult result;
    if (m_shell.IsCancelled()) {
        result.eKind = ProviderResult::Cancelled;
        return result;
    }
    ContentQueryParser parser(listColumns, [pRows](const QStringList &listValues) { pRows->append(listValues); });
    const int nCode = m_shell.Run(Command(m_strUri, listColumns, strWhere, strSort),
                                  [&parser](const QByteArray &baChunk) { parser.Feed(baChunk); });
    if (nCode != 0) {
        result.eKind = m_shell.IsCancelled() ? ProviderResult::Cancelled : ProviderResult::Failed;
        result.nCode = nCode;
        return result;
    }
    if (parser.Finish() == ContentQueryParser::Outcome::Error) {
        // A provider the shell may not read, or one this phone does not have,
        // is not available here; the rest of the backup goes on.
        result.eKind = ProviderResult::NotAvailable;
        result.strReason = parser.ErrorText();
    }
    return result;
}

ProviderResult ProviderQuery::ReadAll(const PageHandler &fnRows)
{
    Rows listRows;
    const ProviderResult result = RunOne(m_listColumns, m_strWhere, QString(), &listRows);
    if (result.eKind == ProviderResult::Ok && !listRows.isEmpty())
        fnRows(listRows);
    return result;
}

ProviderResult ProviderQuery::ForEachPage(const PageHandler &fnPage)
{
    const QString strKey = m_listColumns.value(0);
    QString strLast;
    for (;;) {
        QString strWhere = m_strWhere;
        if (!strLast.isNull())
            strWhere = (strWhere.isEmpty() ? QString() : strWhere + QLatin1String(" AND "))
                     + strKey + QLatin1Char('>') + strLast;
        Rows listRows;
        const ProviderResult result = RunOne(m_listColumns, strWhere,
            QStringLiteral("%1 LIMIT %2").arg(strKey).arg(m_nPageSize), &listRows);
        if (result.eKind != ProviderResult::Ok || listRows.isEmpty())
            return result;
        bool bNumber = false;
        const QString strNewLast = listRows.constLast().value(0);
        strNewLast.toLongLong(&bNumber);
        fnPage(listRows);
        // A page that is not full is the last one; so is a key that is not a
        // number or does not grow (the provider ignored the order).
        if (listRows.size() < m_nPageSize || !bNumber
            || (!strLast.isNull() && strNewLast.toLongLong() <= strLast.toLongLong()))
            return result;
        strLast = strNewLast;
    }
}

ProviderResult ProviderQuery::Count(int *pCount)
{
    *pCount = 0;
    ProviderQuery ids(m_shell, m_strUri, {m_listColumns.value(0)}, m_strWhere, qMax(m_nPageSize, 2000));
    return ids.ForEachPage([pCount](const Rows &listRows) { *pCount += int(listRows.size()); });
}
