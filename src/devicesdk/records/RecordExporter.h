#pragma once

#include "ProviderQuery.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class PhoneShell;
class QIODevice;

// Reads one kind of record from the phone's content providers and writes it
// as a file in an open format. The base counts the records of the main
// provider and reports progress; the subclasses know the columns, the other
// providers they join and the format.
class RecordExporter
{
public:
    using Progress = std::function<void(int nDone, int nAll)>;

    virtual ~RecordExporter();

    // The number of records, from an id-only query of the main provider
    // (whose ids Export then reads).
    ProviderResult Count(int *pCount);
    // Writes every record to pDevice; progress (done, all) before the first
    // page and after every page; *pWritten = records written. Fewer records
    // than counted fail the export, unless the phone no longer has the rest.
    ProviderResult Export(QIODevice *pDevice, const Progress &fnProgress, int *pWritten);

    void SetPageSize(int nPageSize) { m_nPageSize = nPageSize; }

    // The exporter of a record type (0 contacts, 1 SMS, 2 calendar, 4 call
    // log, 19 MMS); null for a type no provider holds (e-mail, bookmarks).
    static std::unique_ptr<RecordExporter> Create(int nType, PhoneShell &shell);
    // The result file's name of a record type; empty when there is none.
    static QString FileName(int nType);

protected:
    // strUri/strWhere: the main provider, one record per row.
    RecordExporter(PhoneShell &shell, const QString &strUri, const QString &strWhere);

    // Writes the records, calling fnPageDone after each page, counting them in *pWritten.
    virtual ProviderResult Write(QIODevice *pDevice, const std::function<void()> &fnPageDone, int *pWritten) = 0;

    // The value of a column in a row read with listColumns.
    static QString Value(const QStringList &listColumns, const QStringList &listRow, const QString &strColumn);
    // Reads, in one reply bounded by the page, the rows of another provider
    // that belong to a page of records: those whose strKeyColumn lies between
    // the page's first and last id (the first column of listPage's rows).
    ProviderResult ReadPageRows(const ProviderQuery::Rows &listPage, const QString &strUri,
                                const QStringList &listColumns, const QString &strKeyColumn,
                                const ProviderQuery::PageHandler &fnRows) const;
    // What a failed command means: a cancel, or the phone's failure code.
    ProviderResult Broken(int nCode) const;
    // How a Write ends: a failure met while writing a page (inner) comes
    // first, then the query's own result; when both went through, fnEnd
    // finishes the file, and a file it cannot finish fails the export with
    // "the <strWhat> file could not be written".
    static ProviderResult Finished(const ProviderResult &query, const ProviderResult &inner,
                                   const std::function<bool()> &fnEnd, const QString &strWhat);

    PhoneShell &m_shell;
    const QString m_strUri;
    const QString m_strWhere;
    int m_nPageSize = 500;
    // The ids of the main provider's records, from Count.
    ProviderQuery::Ids m_listIds;
};
