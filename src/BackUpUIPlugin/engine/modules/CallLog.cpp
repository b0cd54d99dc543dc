#include "CallLog.h"

#include "LogLine.h"

namespace
{
const RecordModuleTraits kTraits = {
    MODULE_CALLLOG,
    &FILESTATUS::bCallLog,
    "..\\..\\src\\BackUpUIPlugin\\CallLog",
    "Backup calllog successed",
    "calllog path NULL",
    "Get calllog successed",
    true,
};
} // namespace

CallLog::CallLog(QObject *pParent) : RecordModule(kTraits, pParent)
{
    LogLine::Scope scope(kTraits.szSource, "CallLog");
}

CallLog::~CallLog() = default;
