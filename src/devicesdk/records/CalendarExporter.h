#pragma once

#include "RecordExporter.h"

// Calendar events (content://com.android.calendar/events, not deleted) with
// their reminders (content://com.android.calendar/reminders) as iCalendar.
class CalendarExporter : public RecordExporter
{
public:
    explicit CalendarExporter(PhoneShell &shell);

    ProviderResult Count(int *pCount) override;
    ProviderResult Export(QIODevice *pDevice, const Progress &fnProgress, int *pWritten) override;
};
