#include "CallLogExporter.h"

#include "RecordXmlWriter.h"

namespace
{
const QString kUri = QStringLiteral("content://call_log/calls");
const QStringList kColumns {"_id", "date", "duration", "type", "new", "number", "name"};
} // namespace

CallLogExporter::CallLogExporter(PhoneShell &shell)
    : RecordExporter(shell)
{
}

ProviderResult CallLogExporter::Count(int *pCount)
{
    return ProviderQuery(m_shell, kUri, kColumns, QString(), m_nPageSize).Count(pCount);
}

ProviderResult CallLogExporter::Export(QIODevice *pDevice, const Progress &fnProgress, int *pWritten)
{
    *pWritten = 0;
    int nAll = 0;
    ProviderResult result = Count(&nAll);
    if (result.eKind != ProviderResult::Ok)
        return result;
    Report(fnProgress, 0, nAll);
    RecordXmlWriter writer(pDevice);
    writer.Begin(QStringLiteral("calls"));
    result = ProviderQuery(m_shell, kUri, kColumns, QString(), m_nPageSize).ForEachPage([&](const ProviderQuery::Rows &listRows) {
        for (const QStringList &row : listRows) {
            const auto V = [&](const char *szColumn) { return Value(kColumns, row, QLatin1String(szColumn)); };
            writer.Element(QStringLiteral("call"), {{"number", V("number")}, {"name", V("name")}, {"date", V("date")},
                {"duration", V("duration")}, {"type", V("type")}, {"new", V("new")}});
            ++*pWritten;
        }
        Report(fnProgress, *pWritten, qMax(nAll, *pWritten));
    });
    if (result.eKind == ProviderResult::Ok && !writer.End()) {
        result.eKind = ProviderResult::Failed;
        result.strReason = QStringLiteral("the call log file could not be written");
    }
    return result;
}
