#include "BackUpRestoreInterface.h"

BackUpRestoreInterface::BackUpRestoreInterface(QObject *pParent) : QObject(pParent)
{
}

BackUpRestoreInterface::~BackUpRestoreInterface() = default;
