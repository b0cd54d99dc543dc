#include "RestorePlan.h"

int RestorePlan::Kind::CountOf(Action actionWanted) const
{
    int nCount = 0;
    for (const Item &item : items) {
        if (item.action == actionWanted)
            ++nCount;
    }
    return nCount;
}

qint64 RestorePlan::Kind::BytesToSend() const
{
    qint64 nBytes = 0;
    for (const Item &item : items) {
        if (item.action == Action::Restore)
            nBytes += item.nSize;
    }
    return nBytes;
}

bool RestorePlan::Kind::HasWork() const
{
    if (action != Action::Restore)
        return false;
    return !strRecordFile.isEmpty() || CountOf(Action::Restore) > 0;
}

int RestorePlan::KindsWithWork() const
{
    int nCount = 0;
    for (const Kind &kind : kinds) {
        if (kind.HasWork())
            ++nCount;
    }
    return nCount;
}

int RestorePlan::FilesToSend() const
{
    int nCount = 0;
    for (const Kind &kind : kinds) {
        if (kind.action == Action::Restore)
            nCount += kind.CountOf(Action::Restore);
    }
    return nCount;
}

qint64 RestorePlan::BytesToSend() const
{
    qint64 nBytes = 0;
    for (const Kind &kind : kinds) {
        if (kind.action == Action::Restore)
            nBytes += kind.BytesToSend();
    }
    return nBytes;
}
