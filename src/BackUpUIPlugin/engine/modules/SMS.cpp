#include "SMS.h"

#include "LogLine.h"

namespace
{
const RecordModuleTraits kTraits = {
    MODULE_SMS,
    &FILESTATUS::bSMS,
    "..\\..\\src\\BackUpUIPlugin\\SMS",
    "Backup sms successed",
    "sms path NULL",
    "Get sms successed",
    true,
};
} // namespace

SMS::SMS(QObject *pParent) : RecordModule(kTraits, pParent)
{
    LogLine::Scope scope(kTraits.szSource, "SMS");
}

SMS::~SMS() = default;
