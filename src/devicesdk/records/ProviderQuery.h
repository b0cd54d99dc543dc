#pragma once

#include <QByteArray>
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
};

// Reads one content provider of the phone through "content query", in pages
// keyed on its first column (an integer id): each page asks for the rows
// after the last id seen, sorted by id and limited, so a provider of any size
// is never read in one reply and a cancel takes effect between pages.
class ProviderQuery
{
public:
    using Rows = QList<QStringList>;
    using PageHandler = std::function<void(const Rows &listRows)>;

    ProviderQuery(PhoneShell &shell, const QString &strUri, const QStringList &listColumns,
                  const QString &strWhere = QString(), int nPageSize = 500);

    // Hands every page's rows (values in column order, null = NULL) to fnPage.
    ProviderResult ForEachPage(const PageHandler &fnPage);
    // One reply, not paged: for small sets bounded by the caller's where.
    ProviderResult ReadAll(const PageHandler &fnRows);
    // Number of rows (an id-only query, paged).
    ProviderResult Count(int *pCount);

    int ColumnIndex(const QString &strColumn) const { return int(m_listColumns.indexOf(strColumn)); }

    static QByteArray Command(const QString &strUri, const QStringList &listColumns,
                              const QString &strWhere, const QString &strSort);
    // Single-quoted for the phone's shell.
    static QByteArray Quote(const QString &str);

private:
    ProviderResult RunOne(const QStringList &listColumns, const QString &strWhere, const QString &strSort,
                          Rows *pRows);

    PhoneShell &m_shell;
    const QString m_strUri;
    const QStringList m_listColumns;
    const QString m_strWhere;
    const int m_nPageSize;
};
