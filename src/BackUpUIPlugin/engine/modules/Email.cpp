#include "Email.h"

#include "LogLine.h"

namespace
{
const RecordModuleTraits kTraits = {
    MODULE_EMAIL,
    &FILESTATUS::bEmail,
    "..\\..\\src\\BackUpUIPlugin\\Email",
    "Backup email successed",
    "email path NULL",
    "Get email successed",
    true,
};
} // namespace

Email::Email(QObject *pParent) : RecordModule(kTraits, pParent)
{
    LogLine::Scope scope(kTraits.szSource, "Email");
}

Email::~Email() = default;
