#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

class QIODevice;

// Writes an iCalendar file (RFC 5545) event by event: one VEVENT per event
// with its times converted exactly from milliseconds since 1970 (UTC), all-day
// events as dates, times in the event's own time zone (with a VTIMEZONE for
// every zone used, written at the end), recurrence rules and reminders.
class ICalendarWriter
{
public:
    struct Event
    {
        QString strUid;
        qint64 nStartMs = 0;
        bool bHasEnd = false;
        qint64 nEndMs = 0;
        QString strDuration;   // as the phone stores it, e.g. "P3600S" or "P1D"
        bool bAllDay = false;
        QString strTimeZone;   // an IANA zone name; empty or unknown = UTC
        QString strEndTimeZone;
        QString strTitle, strLocation, strDescription;
        QString strRrule, strRdate, strExrule, strExdate;
        QList<int> listReminderMinutes;
    };

    ICalendarWriter(QIODevice *pDevice, qint64 nStampMs);

    bool Begin();
    bool Write(const Event &event);
    bool End();

    // An RFC 5545 duration from the phone's form ("P3600S" becomes "PT3600S");
    // empty when it is not a duration.
    static QString Duration(const QString &strPhone);
    // "yyyyMMddTHHmmssZ" of a UTC instant (seconds; milliseconds are dropped).
    static QString UtcText(qint64 nMs);
    // True when the zone name means UTC or is not a zone this system knows.
    static bool IsUtcZone(const QString &strZone);

private:
    bool Put(const QByteArray &ba);
    QString TimeProperty(const QString &strName, qint64 nMs, const QString &strZone, bool bAllDay, bool bOpenEnded);
    QByteArray TimeZoneComponent(const QString &strZone) const;

    QIODevice *const m_pDevice;
    const qint64 m_nStampMs;
    struct ZoneUse
    {
        qint64 nFirstMs = 0;
        qint64 nLastMs = 0;
        bool bOpenEnded = false;
        bool bUsed = false;
    };
    QMap<QString, ZoneUse> m_mapZones;
    bool m_bOk = true;
};
