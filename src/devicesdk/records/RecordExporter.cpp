#include "RecordExporter.h"

#include "CalendarExporter.h"
#include "CallLogExporter.h"
#include "ContactsExporter.h"
#include "MessagesExporter.h"

RecordExporter::RecordExporter(PhoneShell &shell)
    : m_shell(shell)
{
}

RecordExporter::~RecordExporter() = default;

std::unique_ptr<RecordExporter> RecordExporter::Create(int nType, PhoneShell &shell)
{
    switch (nType) {
    case 0: return std::make_unique<ContactsExporter>(shell);
    case 1: return std::make_unique<MessagesExporter>(shell, MessagesExporter::Sms);
    case 2: return std::make_unique<CalendarExporter>(shell);
    case 4: return std::make_unique<CallLogExporter>(shell);
    case 19: return std::make_unique<MessagesExporter>(shell, MessagesExporter::Mms);
    default: return nullptr;
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

QString RecordExporter::Value(const QStringList &listColumns, const QStringList &listRow, const QString &strColumn)
{
    const qsizetype n = listColumns.indexOf(strColumn);
    return n >= 0 && n < listRow.size() ? listRow.at(n) : QString();
}

void RecordExporter::Report(const Progress &fnProgress, int nDone, int nAll)
{
    if (fnProgress)
        fnProgress(qMin(nDone, nAll), nAll);
}
