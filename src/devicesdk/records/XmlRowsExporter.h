#pragma once

#include "RecordExporter.h"

#include <QList>
#include <QPair>

// A provider whose rows are records of their own (text messages, calls),
// written as XML: one element per row under the root, with the chosen columns
// as attributes.
class XmlRowsExporter : public RecordExporter
{
public:
    // Attribute name, column.
    using Names = QList<QPair<QString, QString>>;

    XmlRowsExporter(PhoneShell &shell, const QString &strUri, const QStringList &listColumns,
                    const QString &strRoot, const QString &strElement, const Names &listNames);

protected:
    ProviderResult Write(QIODevice *pDevice, const std::function<void()> &fnPageDone, int *pWritten) override;

private:
    const QStringList m_listColumns;
    const QString m_strRoot;
    const QString m_strElement;
    const Names m_listNames;
};
