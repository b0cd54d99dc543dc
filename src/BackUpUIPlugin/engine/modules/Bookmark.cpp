#include "Bookmark.h"

#include "LogLine.h"

namespace
{
const RecordModuleTraits kTraits = {
    MODULE_BOOKMARK,
    &FILESTATUS::bBookmark,
    "..\\..\\src\\BackUpUIPlugin\\Bookmark",
    "Backup bookmark successed",
    "bookmark path NULL",
    "Get bookmark successed",
    true,
};
} // namespace

Bookmark::Bookmark(QObject *pParent) : RecordModule(kTraits, pParent)
{
    LogLine::Scope scope(kTraits.szSource, "Bookmark");
}

Bookmark::~Bookmark() = default;
