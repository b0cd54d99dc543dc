#include "ICalendarReader.h"

#include "ContentLineReader.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

namespace
{
struct TimeValue
{
    bool bOk = false;
    bool bDate = false;
    qint64 nMs = 0;
    QString strZone; // the zone the time was given in; empty: UTC
};

TimeValue ParseTime(const ContentLineReader::Line &line)
{
    TimeValue time;
    const QString strValue = line.strValue.trimmed();
    if (strValue.size() == 8 || line.Param(QStringLiteral("VALUE")).toUpper() == QLatin1String("DATE")) {
        const QDate date = QDate::fromString(strValue.left(8), QStringLiteral("yyyyMMdd"));
        time.bOk = date.isValid();
        time.bDate = true;
        time.nMs = QDateTime(date, QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch();
        return time;
    }
    const bool bUtc = strValue.endsWith(QLatin1Char('Z')) || strValue.endsWith(QLatin1Char('z'));
    const QDateTime local = QDateTime::fromString(strValue.left(15), QStringLiteral("yyyyMMdd'T'HHmmss"));
    if (!local.isValid())
        return time;
    QTimeZone zone = QTimeZone::utc();
    const QString strZone = line.Param(QStringLiteral("TZID"));
    if (!bUtc && !strZone.isEmpty() && QTimeZone::isTimeZoneIdAvailable(strZone.toUtf8())) {
        zone = QTimeZone(strZone.toUtf8());
        time.strZone = strZone;
    }
    time.bOk = true;
    time.nMs = QDateTime(local.date(), local.time(), zone).toMSecsSinceEpoch();
    return time;
}

// VALARM TRIGGER "-PT15M" -> 15 minutes before; only triggers before or at the start.
int ReminderMinutes(const QString &strTrigger)
{
    qint64 nSeconds = 0;
    if (!ICalendarReader::DurationSeconds(strTrigger, &nSeconds) || nSeconds > 0)
        return -1;
    return int(-nSeconds / 60);
}

void ApplyTime(ICalendarReader::Item &item, const ContentLineReader::Line &line, bool bStart)
{
    const TimeValue time = ParseTime(line);
    if (!time.bOk)
        return;
    ICalendarWriter::Event &event = item.event;
    if (!line.Param(QStringLiteral("TZID")).isEmpty())
        item.listZoneIds << line.Param(QStringLiteral("TZID"));
    if (bStart) {
        event.nStartMs = time.nMs;
        event.bAllDay = time.bDate;
        event.strTimeZone = time.strZone.isEmpty() ? QStringLiteral("UTC") : time.strZone;
    } else {
        event.bHasEnd = true;
        event.nEndMs = time.nMs;
        if (!time.strZone.isEmpty() && time.strZone != event.strTimeZone)
            event.strEndTimeZone = time.strZone;
    }
}

void ApplyLine(ICalendarReader::Item &item, const ContentLineReader::Line &line)
{
    ICalendarWriter::Event &event = item.event;
    const QString strText = ContentLineReader::UnescapeText(line.strValue);
    const QString &strName = line.strName;
    if (strName == QLatin1String("UID"))
        event.strUid = strText.trimmed();
    else if (strName == QLatin1String("DTSTART") || strName == QLatin1String("DTEND"))
        ApplyTime(item, line, strName == QLatin1String("DTSTART"));
    else if (strName == QLatin1String("DURATION"))
        event.strDuration = line.strValue.trimmed();
    else if (strName == QLatin1String("RRULE"))
        event.strRrule = line.strValue.trimmed();
    else if (strName == QLatin1String("EXRULE"))
        event.strExrule = line.strValue.trimmed();
    else if (strName == QLatin1String("RDATE") || strName == QLatin1String("EXDATE")) {
        // The phone's form: "[TZID;]value,value".
        const QString strZone = line.Param(QStringLiteral("TZID"));
        QString &strDates = strName == QLatin1String("RDATE") ? event.strRdate : event.strExdate;
        const QString strValue = line.strValue.trimmed();
        strDates = strDates.isEmpty() ? (strZone.isEmpty() ? strValue : strZone + QLatin1Char(';') + strValue)
                                      : strDates + QLatin1Char(',') + strValue;
    } else if (strName == QLatin1String("SUMMARY"))
        event.strTitle = strText;
    else if (strName == QLatin1String("LOCATION"))
        event.strLocation = strText;
    else if (strName == QLatin1String("DESCRIPTION"))
        event.strDescription = strText;
}
} // namespace

bool ICalendarReader::DurationSeconds(const QString &strDuration, qint64 *pSeconds)
{
    static const QRegularExpression re(QStringLiteral(
        "^([+-]?)P(?:(\\d+)W)?(?:(\\d+)D)?(?:T?(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+)S)?)?$"));
    const QString str = strDuration.trimmed().toUpper();
    const QRegularExpressionMatch m = re.match(str);
    if (!m.hasMatch() || str.endsWith(QLatin1Char('P')) || str.endsWith(QLatin1Char('T')))
        return false;
    const qint64 nSeconds = m.captured(2).toLongLong() * 7 * 86400 + m.captured(3).toLongLong() * 86400
            + m.captured(4).toLongLong() * 3600 + m.captured(5).toLongLong() * 60 + m.captured(6).toLongLong();
    *pSeconds = m.captured(1) == QLatin1String("-") ? -nSeconds : nSeconds;
    return true;
}

QList<ICalendarReader::Block> ICalendarReader::Blocks(const QByteArray &baText)
{
    QList<Block> listBlocks;
    Block block;
    qsizetype nPos = 0;
    while (nPos < baText.size()) {
        qsizetype nEnd = baText.indexOf('\n', nPos);
        nEnd = nEnd < 0 ? baText.size() : nEnd + 1;
        const QByteArray baLine = baText.mid(nPos, nEnd - nPos);
        const QByteArray baMarker = baLine.trimmed().toUpper();
        nPos = nEnd;
        if (block.strKind.isEmpty() && (baMarker == "BEGIN:VEVENT" || baMarker == "BEGIN:VTIMEZONE"))
            block.strKind = QString::fromLatin1(baMarker.mid(6));
        if (block.strKind.isEmpty())
            continue;
        block.baRaw += baLine;
        if (baMarker == "END:" + block.strKind.toLatin1()) {
            if (!block.baRaw.endsWith('\n'))
                block.baRaw += "\r\n";
            listBlocks << block;
            block = Block();
        }
    }
    return listBlocks; // a block without its END is not an event
}

ICalendarReader::Item ICalendarReader::ParseEvent(const QByteArray &baRaw)
{
    Item item;
    item.baRaw = baRaw;
    bool bInAlarm = false;
    for (const ContentLineReader::Line &line : ContentLineReader::Lines(baRaw)) {
        const QString strValue = line.strValue.trimmed().toUpper();
        if (line.strName == QLatin1String("BEGIN") && strValue == QLatin1String("VALARM"))
            bInAlarm = true;
        else if (line.strName == QLatin1String("END") && strValue == QLatin1String("VALARM"))
            bInAlarm = false;
        else if (bInAlarm && line.strName == QLatin1String("TRIGGER") && ReminderMinutes(line.strValue) >= 0)
            item.event.listReminderMinutes << ReminderMinutes(line.strValue);
        else if (!bInAlarm)
            ApplyLine(item, line);
    }
    ICalendarWriter::Event &event = item.event;
    qint64 nSeconds = 0;
    if (!event.strDuration.isEmpty() && DurationSeconds(event.strDuration, &nSeconds) && nSeconds >= 0) {
        event.strDuration = event.bAllDay && nSeconds % 86400 == 0 ? QStringLiteral("P%1D").arg(nSeconds / 86400)
                                                                   : QStringLiteral("P%1S").arg(nSeconds);
    } else {
        event.strDuration.clear();
    }
    item.listZoneIds.removeDuplicates();
    return item;
}

ICalendarReader::Calendar ICalendarReader::Read(const QByteArray &baText)
{
    Calendar calendar;
    for (const Block &block : Blocks(baText)) {
        if (block.strKind == QLatin1String("VEVENT")) {
            calendar.listEvents << ParseEvent(block.baRaw);
            continue;
        }
        for (const ContentLineReader::Line &line : ContentLineReader::Lines(block.baRaw)) {
            if (line.strName == QLatin1String("TZID")) {
                calendar.hashZones.insert(line.strValue.trimmed(), block.baRaw);
                break;
            }
        }
    }
    return calendar;
}

QString ICalendarReader::Key(const ICalendarWriter::Event &event)
{
    qint64 nEndMs = event.nStartMs;
    qint64 nSeconds = 0;
    if (event.bHasEnd)
        nEndMs = event.nEndMs;
    else if (DurationSeconds(event.strDuration, &nSeconds))
        nEndMs = event.nStartMs + nSeconds * 1000;
    const QChar sep(0x1f);
    // The phone keeps seconds; milliseconds never tell two events apart.
    return event.strTitle.trimmed() + sep + QString::number(event.nStartMs / 1000) + sep
            + QString::number(nEndMs / 1000) + sep + event.strRrule.trimmed().toUpper();
}
