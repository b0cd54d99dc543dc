#include "XmlRowsExporter.h"

#include "RecordXmlWriter.h"

XmlRowsExporter::XmlRowsExporter(PhoneShell &shell, const QString &strUri, const QStringList &listColumns,
                                 const QString &strRoot, const QString &strElement, const Names &listNames)
    : RecordExporter(shell, strUri, QString())
    , m_listColumns(listColumns)
    , m_strRoot(strRoot)
    , m_strElement(strElement)
    , m_listNames(listNames)
{
}

ProviderResult XmlRowsExporter::Write(QIODevice *pDevice, const std::function<void()> &fnPageDone, int *pWritten)
{
    RecordXmlWriter writer(pDevice);
    writer.Begin(m_strRoot);
    const ProviderResult result = ProviderQuery(m_shell, m_strUri, m_listColumns, m_strWhere, m_nPageSize)
        .ForEachPage(m_listIds, [&](const ProviderQuery::Rows &listRows) {
            for (const QStringList &row : listRows) {
                RecordXmlWriter::Attributes listAttributes;
                for (const auto &name : m_listNames)
                    listAttributes.append({name.first, Value(m_listColumns, row, name.second)});
                writer.Element(m_strElement, listAttributes);
                ++*pWritten;
            }
            fnPageDone();
        });
    return Finished(result, ProviderResult(), [&writer] { return writer.End(); }, m_strRoot);
}
