#include "RecordExporter.h"

#include "CalendarExporter.h"
#include "ContactsExporter.h"
#include "MmsExporter.h"
#include "PhoneShell.h"
#include "XmlRowsExporter.h"

#include <QDebug>

RecordExporter::RecordExporter(PhoneShell &shell, const QString &strUri, const QString &strWhere)
    : m_shell(shell)
    , m_strUri(strUri)
    , m_strWhere(strWhere)
{
}

RecordExporter::~RecordExporter() = default;

std::unique_ptr<RecordExporter> RecordExporter::Create(int nType, PhoneShell &shell)
{
    // The longest free text comes right after _id in every projection: a
    // value there can never be taken for a later column's separator alone,
    // so it costs no second reading (see RowText).
    switch (nType) {
    case 0:
        return std::make_unique<ContactsExporter>(shell);
    case 1:
        return std::make_unique<XmlRowsExporter>(shell, QStringLiteral("content://sms"),
            QStringList {"_id", "body", "thread_id", "date", "date_sent", "type", "read", "status", "address", "subject"},
            QStringLiteral("smses"), QStringLiteral("sms"),
            XmlRowsExporter::Names {{"thread", "thread_id"}, {"address", "address"}, {"date", "date"},
                                    {"date_sent", "date_sent"}, {"type", "type"}, {"read", "read"}, {"status", "status"},
                                    {"subject", "subject"}, {"body", "body"}});
    case 2:
        return std::make_unique<CalendarExporter>(shell);
    case 4:
        return std::make_unique<XmlRowsExporter>(shell, QStringLiteral("content://call_log/calls"),
            QStringList {"_id", "name", "date", "duration", "type", "new", "number"},
            QStringLiteral("calls"), QStringLiteral("call"),
            XmlRowsExporter::Names {{"number", "number"}, {"name", "name"}, {"date", "date"}, {"duration", "duration"},
                                    {"type", "type"}, {"new", "new"}});
    case 19:
        return std::make_unique<MmsExporter>(shell);
    default:
        return nullptr;
    }
}

QString RecordExporter::FileName(int nType)
{
    switch (nType) {
    case 0: return QStringLiteral("contacts.vcf");
    case 1: return QStringLiteral("sms.xml");
    case 2: return QStringLiteral("calendar.ics");
    case 4: return QStringLiteral("calllog.xml");
    case 19: return QStringLiteral("mms.xml");
    default: return QString();
    }
}

ProviderResult RecordExporter::Count(int *pCount)
{
    const ProviderResult result = ProviderQuery(m_shell, m_strUri, {QStringLiteral("_id")}, m_strWhere, m_nPageSize).ReadIds(&m_listIds);
    *pCount = int(m_listIds.size());
    return result;
}

ProviderResult RecordExporter::Export(QIODevice *pDevice, const Progress &fnProgress, int *pWritten)
{
    *pWritten = 0;
    int nAll = 0;
    const ProviderResult result = Count(&nAll);
    if (result.eKind != ProviderResult::Ok)
        return result;
    if (fnProgress)
        fnProgress(0, nAll);
    // Records added after the count wait for the next backup.
    ProviderResult written = Write(pDevice, [&]() {
        if (fnProgress)
            fnProgress(*pWritten, nAll);
    }, pWritten);
    if (written.eKind != ProviderResult::Ok)
        return written;
    if (written.nVanished > 0)
        qInfo().noquote() << "records:" << written.nVanished << "of the" << nAll << "records of" << m_strUri
                          << "were deleted on the phone while they were read";
    if (*pWritten + written.nVanished < nAll) {
        written.eKind = ProviderResult::Failed;
        written.strReason = QStringLiteral("%1 of the %2 records of %3 were read").arg(*pWritten).arg(nAll).arg(m_strUri);
    }
    return written;
}

QString RecordExporter::Value(const QStringList &listColumns, const QStringList &listRow, const QString &strColumn)
{
    const qsizetype n = listColumns.indexOf(strColumn);
    return n >= 0 && n < listRow.size() ? listRow.at(n) : QString();
}

ProviderResult RecordExporter::ReadPageRows(const ProviderQuery::Rows &listPage, const QString &strUri,
                                            const QStringList &listColumns, const QString &strKeyColumn,
                                            const ProviderQuery::PageHandler &fnRows) const
{
    const QString strWhere = QStringLiteral("%1>=%2 AND %1<=%3")
                                 .arg(strKeyColumn, listPage.constFirst().value(0), listPage.constLast().value(0));
    return ProviderQuery(m_shell, strUri, listColumns, strWhere).ReadAll(fnRows);
}

ProviderResult RecordExporter::Broken(int nCode) const
{
    ProviderResult result;
    result.eKind = m_shell.IsCancelled() ? ProviderResult::Cancelled : ProviderResult::Failed;
    result.nCode = nCode;
    return result;
}

ProviderResult RecordExporter::Finished(const ProviderResult &query, const ProviderResult &inner,
                                        const std::function<bool()> &fnEnd, const QString &strWhat)
{
    if (inner.eKind != ProviderResult::Ok)
        return inner;
    ProviderResult result = query;
    if (result.eKind == ProviderResult::Ok && !fnEnd()) {
        result.eKind = ProviderResult::Failed;
        result.strReason = QStringLiteral("the %1 file could not be written").arg(strWhat);
    }
    return result;
}
