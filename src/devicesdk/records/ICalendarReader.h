#pragma once

#include "ICalendarWriter.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Reads the events of an iCalendar file into the fields the phone keeps:
// times become milliseconds since 1970 UTC (a TZID the system knows is
// honoured, "…Z" is UTC, a floating time or an unknown zone is taken as UTC),
// all-day events are dates at midnight UTC, DURATION becomes the phone's
// "P<seconds>S" ("P<days>D" for all-day events), VALARM triggers become
// reminder minutes. Each event keeps its own bytes, and each VTIMEZONE its
// bytes by TZID, so that they can be stored again unchanged.
class ICalendarReader
{
public:
    struct Item
    {
        ICalendarWriter::Event event;
        QByteArray baRaw;        // BEGIN:VEVENT … END:VEVENT
        QStringList listZoneIds; // the TZIDs its times name
    };
    struct Calendar
    {
        QList<Item> listEvents;
        QHash<QString, QByteArray> hashZones; // TZID -> BEGIN:VTIMEZONE … END:VTIMEZONE
    };

    static Calendar Read(const QByteArray &baText);

    // What makes two events the same: title, start, end and rule. An event
    // without DTEND ends after its duration.
    static QString Key(const ICalendarWriter::Event &event);
    // Seconds of an RFC 5545 duration ("PT1H30M", "P1D", "-PT15M"); false
    // when it is not one.
    static bool DurationSeconds(const QString &strDuration, qint64 *pSeconds);

private:
    struct Block
    {
        QString strKind; // VEVENT or VTIMEZONE
        QByteArray baRaw;
    };
    static QList<Block> Blocks(const QByteArray &baText);
    static Item ParseEvent(const QByteArray &baRaw);
};
