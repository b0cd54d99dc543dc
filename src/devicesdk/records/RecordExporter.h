#pragma once

#include "ProviderQuery.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class PhoneShell;
class QIODevice;

// Reads one kind of record from the phone's content providers and writes it
// as a file in an open format. The subclasses know the providers, columns and
// formats; the base gives them the shell, the page size and the column lookup.
class RecordExporter
{
public:
    using Progress = std::function<void(int nDone, int nAll)>;

    explicit RecordExporter(PhoneShell &shell);
    virtual ~RecordExporter();

    // The number of records, from an id-only query of the same provider.
    virtual ProviderResult Count(int *pCount) = 0;
    // Writes every record to pDevice; progress once before the first page and
    // after every page; *pWritten = records written.
    virtual ProviderResult Export(QIODevice *pDevice, const Progress &fnProgress, int *pWritten) = 0;

    void SetPageSize(int nPageSize) { m_nPageSize = nPageSize; }

    // The exporter of a record type (0 contacts, 1 SMS, 2 calendar, 4 call
    // log, 19 MMS); null for a type no provider holds (e-mail, bookmarks).
    static std::unique_ptr<RecordExporter> Create(int nType, PhoneShell &shell);
    // The result file's name of a record type; empty when there is none.
    static QString FileName(int nType);

protected:
    // The value of a column in a row read with listColumns.
    static QString Value(const QStringList &listColumns, const QStringList &listRow, const QString &strColumn);
    // Reports (0, nAll) first, then pages' progress, capped at nAll.
    static void Report(const Progress &fnProgress, int nDone, int nAll);

    PhoneShell &m_shell;
    int m_nPageSize = 500;
};
