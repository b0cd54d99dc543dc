#pragma once

#include "PhoneConfig.h"

#include <QByteArray>
#include <QString>

// Restores records into the simulated phone's record files: the contacts of
// a vCard, the events of an iCalendar file and the calls of a call-log file
// are added to the phone's own file of that type (created, with its phone.ini
// section, when the phone has none), leaving out those the phone already
// holds. The counts come from the phone's file before and after.
class SimRecordRestore
{
public:
    struct Counts
    {
        int nRestored = 0;
        int nSkipped = 0;
        int nFailed = 0;
    };

    // 0 when the file was read and every record restored or skipped.
    static int Restore(const PhoneConfig &config, int nType, const QString &strLocalFile, Counts *pCounts,
                       QString *pMessage);

private:
    // The phone's file after the merge; nBefore/nAfter records in it.
    struct Merge
    {
        QByteArray baPhone;
        int nBefore = 0;
        int nAfter = 0;
        int nSkipped = 0;
        QString strError; // the file to restore is not readable as its format
    };
    static Merge Contacts(const QByteArray &baSource, const QByteArray &baPhone);
    static Merge Calendar(const QByteArray &baSource, const QByteArray &baPhone);
    static Merge Calls(const QByteArray &baSource, const QByteArray &baPhone);
    static bool UpdatePhoneIni(const PhoneConfig &config, int nType, const QString &strFile, int nAdded);
};
