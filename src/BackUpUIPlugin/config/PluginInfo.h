#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

// One configured backup item.
struct PluginInfo
{
    qint32 nKind = 0;  // 0 "Common" (a tile), 1 "Child" (a sub-item)
    quint32 nId = 0;   // display module id; key of its table
    QString strName;   // translation key
    bool bEnable = false;
};

using PluginInfoTable = QHash<quint32, PluginInfo>;
