#pragma once

#include <QDateTime>
#include <QString>

// How a backup run and its folder are named in the destination. The factory
// names a new run with it; earlier runs are recognised by the same rule.
class RunNames
{
public:
    // The run name derived from a phone name and a time:
    // "backup_" + phone name (cut before 0x10) + "_" + date text.
    static QString Name(const QString &strDeviceName, const QDateTime &dtTime, bool bRightToLeft);
    // The backup folder of a run in a destination folder.
    static QString Folder(const QString &strDestination, const QString &strRunName);
};
