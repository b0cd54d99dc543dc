#include "AddrBook.h"

namespace
{
const RecordModuleTraits kTraits = {
    MODULE_PB,
    &FILESTATUS::bPB,
    "..\\..\\src\\BackUpUIPlugin\\AddrBook",
    "Backup contact successed",
    "contact path NULL",
    "Get contact successed",
    true,
};
} // namespace

AddrBook::AddrBook(QObject *pParent) : RecordModule(kTraits, pParent)
{
}

AddrBook::~AddrBook() = default;
