#include "MMS.h"

namespace
{
const RecordModuleTraits kTraits = {
    MODULE_MMS,
    &FILESTATUS::bMMS,
    "..\\..\\src\\BackUpUIPlugin\\MMS",
    "Backup mms successed",
    "mms path NULL",
    "Get mms successed",
    false,
};
} // namespace

MMS::MMS(QObject *pParent) : RecordModule(kTraits, pParent)
{
}

MMS::~MMS() = default;
