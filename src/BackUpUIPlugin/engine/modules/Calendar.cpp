#include "Calendar.h"

namespace
{
const RecordModuleTraits kTraits = {
    MODULE_CALENDAR,
    &FILESTATUS::bCalendar,
    "..\\..\\src\\BackUpUIPlugin\\Calendar",
    "Backup calendar successed",
    "calendar path NULL",
    "Get calendar successed",
    false,
};
} // namespace

Calendar::Calendar(QObject *pParent) : RecordModule(kTraits, pParent)
{
}

Calendar::~Calendar() = default;
