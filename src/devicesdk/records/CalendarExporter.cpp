#include "CalendarExporter.h"

#include "ICalendarWriter.h"

#include <QDateTime>
#include <QHash>
#include <QIODevice>

namespace
{
const QString kEvents = QStringLiteral("content://com.android.calendar/events");
const QString kReminders = QStringLiteral("content://com.android.calendar/reminders");
const QString kNotDeleted = QStringLiteral("deleted=0");
const QStringList kColumns {"_id", "description", "calendar_id", "dtstart", "dtend", "allDay", "eventTimezone",
                            "eventEndTimezone", "duration", "rrule", "rdate", "exrule", "exdate", "title", "eventLocation"};
const QStringList kReminderColumns {"_id", "event_id", "minutes", "method"};
} // namespace

CalendarExporter::CalendarExporter(PhoneShell &shell)
    : RecordExporter(shell, kEvents, kNotDeleted)
{
}

ProviderResult CalendarExporter::Write(QIODevice *pDevice, const std::function<void()> &fnPageDone, int *pWritten)
{
    ICalendarWriter writer(pDevice, QDateTime::currentMSecsSinceEpoch());
    writer.Begin();
    ProviderResult inner;
    const ProviderResult result = ProviderQuery(m_shell, m_strUri, kColumns, m_strWhere, m_nPageSize).ForEachPage(m_listIds, [&](const ProviderQuery::Rows &listRows) {
        if (inner.eKind != ProviderResult::Ok)
            return;
        // The reminders of this page's events.
        QHash<QString, QList<int>> hashReminders;
        inner = ReadPageRows(listRows, kReminders, kReminderColumns, QStringLiteral("event_id"),
                             [&](const ProviderQuery::Rows &listReminders) {
            for (const QStringList &row : listReminders)
                hashReminders[Value(kReminderColumns, row, QStringLiteral("event_id"))].append(
                    Value(kReminderColumns, row, QStringLiteral("minutes")).toInt());
        });
        // Events without reminders are still events.
        if (inner.eKind == ProviderResult::NotAvailable)
            inner = ProviderResult();
        if (inner.eKind != ProviderResult::Ok)
            return;
        for (const QStringList &row : listRows) {
            const auto V = [&](const char *szColumn) { return Value(kColumns, row, QLatin1String(szColumn)); };
            ICalendarWriter::Event event;
            event.strUid = QStringLiteral("%1-%2@phone-calendar").arg(V("calendar_id"), V("_id"));
            event.nStartMs = V("dtstart").toLongLong();
            event.bHasEnd = !V("dtend").isNull() && !V("dtend").isEmpty();
            event.nEndMs = V("dtend").toLongLong();
            event.strDuration = V("duration");
            event.bAllDay = V("allDay") == QLatin1String("1");
            event.strTimeZone = V("eventTimezone");
            event.strEndTimeZone = V("eventEndTimezone");
            event.strTitle = V("title");
            event.strLocation = V("eventLocation");
            event.strDescription = V("description");
            event.strRrule = V("rrule");
            event.strRdate = V("rdate");
            event.strExrule = V("exrule");
            event.strExdate = V("exdate");
            event.listReminderMinutes = hashReminders.value(V("_id"));
            writer.Write(event);
            ++*pWritten;
        }
        fnPageDone();
    });
    return Finished(result, inner, [&writer] { return writer.End(); }, QStringLiteral("calendar"));
}
