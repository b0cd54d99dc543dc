#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class PhoneShell;

// What reading a provider came to.
struct ProviderResult
{
    enum Kind { Ok, NotAvailable, Failed, Cancelled };
    Kind eKind = Ok;
    int nCode = 0;     // Failed: the shell's code
    QString strReason; // NotAvailable / Failed: what the phone said
    int nVanished = 0; // Ok: rows that were listed but gone when they were read
};

// Reads one content provider of the phone through "content query". Its first
// column must be the integer _id. The ids are read first (an id-only query
// cannot be misread: every value is a number), in pages keyed on the last id
// seen. The rows are then read in pages of those ids, and every page is
// checked against them: the same ids in the same order, and no value that
// could have been a row or column marker. A page that does not check out is
// read again in halves down to single rows; a single row whose columns may
// have been split wrongly is read one column at a time (RowRepair).
class ProviderQuery
{
public:
    using Rows = QList<QStringList>;
    using Ids = QList<qint64>;
    using PageHandler = std::function<void(const Rows &listRows)>;

    ProviderQuery(PhoneShell &shell, const QString &strUri, const QStringList &listColumns,
                  const QString &strWhere = QString(), int nPageSize = 500);

    // The ids of the rows, ascending.
    ProviderResult ReadIds(Ids *pIds);
    // Hands the rows of listIds, page by page (values in column order, null
    // = NULL), to fnPage. Rows gone meanwhile are counted in nVanished.
    ProviderResult ForEachPage(const Ids &listIds, const PageHandler &fnPage);
    // The same for every row the provider has now.
    ProviderResult ForEachPage(const PageHandler &fnPage);
    // Every row in one call of fnRows: for small sets bounded by the where.
    ProviderResult ReadAll(const PageHandler &fnRows);
    // Number of rows (the ids, paged).
    ProviderResult Count(int *pCount);

    int ColumnIndex(const QString &strColumn) const { return int(m_listColumns.indexOf(strColumn)); }

    static QByteArray Command(const QString &strUri, const QStringList &listColumns,
                              const QString &strWhere, const QString &strSort);
    // Single-quoted for the phone's shell.
    static QByteArray Quote(const QString &str);

private:
    struct Page
    {
        Rows listRows;
        QHash<qsizetype, QByteArray> hashDoubtful; // rows whose split is in doubt: their text as printed
        bool bSuspect = false;                     // a value could have been a row marker
    };

    QString Where(const QString &strExtra) const;
    ProviderResult RunPage(const QStringList &listColumns, const QString &strWhere, const QString &strSort, Page *pPage);
    ProviderResult ReadRange(const Ids &listIds, qsizetype nFrom, qsizetype nCount, Rows *pRows, int *pVanished);
    ProviderResult AcceptRows(const Ids &listIds, qsizetype nFrom, const Page &page, Rows *pRows, int *pVanished);

    PhoneShell &m_shell;
    const QString m_strUri;
    const QStringList m_listColumns;
    const QString m_strWhere;
    const int m_nPageSize;
};
