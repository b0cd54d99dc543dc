#include "RecordExporter.h"

#include "CalendarExporter.h"
#include "ContactsExporter.h"
#include "MmsExporter.h"
#include "PhoneShell.h"
#include "XmlRowsExporter.h"

RecordExporter::RecordExporter(PhoneShell &shell, const QString &strUri, const QString &strWhere)
    : m_shell(shell)
    , m_strUri(strUri)
    , m_strWhere(strWhere)
{
}

RecordExporter::~RecordExporter() = default;

std::unique_ptr<RecordExporter> RecordExporter::Create(int nType, PhoneShell &shell)
{
    // Free text goes last in every projection: a value is split off only at ", <next column>=".
    switch (nType) {
    case 0:
        return std::make_unique<ContactsExporter>(shell);
    case 1:
        return std::make_unique<XmlRowsExporter>(shell, QStringLiteral("content://sms"),
            QStringList {"_id", "thread_id", "date", "date_sent", "type", "read", "status", "address", "subject", "body"},
            QStringLiteral("smses"), QStringLiteral("sms"),
            XmlRowsExporter::Names {{"thread", "thread_id"}, {"address", "address"}, {"date", "date"},
                                    {"date_sent", "date_sent"}, {"type", "type"}, {"read", "read"}, {"status", "status"},
                                    {"subject", "subject"}, {"body", "body"}});
    case 2:
        return std::make_unique<CalendarExporter>(shell);
    case 4:
        return std::make_unique<XmlRowsExporter>(shell, QStringLiteral("content://call_log/calls"),
            QStringList {"_id", "date", "duration", "type", "new", "number", "name"},
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
    return ProviderQuery(m_shell, m_strUri, {QStringLiteral("_id")}, m_strWhere, m_nPageSize).Count(pCount);
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
    // The phone may gain records between the count and the pages.
    return Write(pDevice, [&]() {
        if (fnProgress)
            fnProgress(*pWritten, qMax(nAll, *pWritten));
    }, pWritten);
}

QString RecordExporter::Value(const QStringList &listColumns, const QStringList &listRow, const QString &strColumn)
{
    const qsizetype n = listColumns.indexOf(strColumn);
    return n >= 0 && n < listRow.size() ? listRow.at(n) : QString();
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
