#pragma once

#include "RecordExporter.h"

// Calendar events (content://com.android.calendar/events, not deleted) with
// their reminders (content://com.android.calendar/reminders) as iCalendar.
class CalendarExporter : public RecordExporter
{
public:
    explicit CalendarExporter(PhoneShell &shell);

protected:
    ProviderResult Write(QIODevice *pDevice, const std::function<void()> &fnPageDone, int *pWritten) override;
};
