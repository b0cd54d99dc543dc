#include "ICalendarWriter.h"

#include "ContentLineFormat.h"

#include <QDateTime>
#include <QIODevice>
#include <QRegularExpression>
#include <QTimeZone>

namespace
{
// Zones are described up to here for events that recur without an end.
const int kLastDescribedYear = 2037;

QString OneLine(QString str)
{
    str.remove(QLatin1Char('\r'));
    str.remove(QLatin1Char('\n'));
    return str.trimmed();
}

QString OffsetText(int nSeconds)
{
    const QChar cSign = nSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    const int n = qAbs(nSeconds);
    QString str = QStringLiteral("%1%2%3").arg(cSign).arg(n / 3600, 2, 10, QLatin1Char('0')).arg(n % 3600 / 60, 2, 10, QLatin1Char('0'));
    if (n % 60)
        str += QStringLiteral("%1").arg(n % 60, 2, 10, QLatin1Char('0'));
    return str;
}

// Milliseconds rounded down to whole seconds, also before 1970.
qint64 FloorSeconds(qint64 nMs)
{
    return nMs >= 0 ? nMs / 1000 : -((-nMs + 999) / 1000);
}
} // namespace

ICalendarWriter::ICalendarWriter(QIODevice *pDevice, qint64 nStampMs)
    : m_pDevice(pDevice)
    , m_nStampMs(nStampMs)
{
}

bool ICalendarWriter::Put(const QByteArray &ba)
{
    if (m_bOk && m_pDevice->write(ba) != ba.size())
        m_bOk = false;
    return m_bOk;
}

bool ICalendarWriter::Begin()
{
    return Put("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Pelorix//Backup 1.0//EN\r\nCALSCALE:GREGORIAN\r\n");
}

bool ICalendarWriter::IsUtcZone(const QString &strZone)
{
    static const QStringList listUtc {QString(), QStringLiteral("UTC"), QStringLiteral("GMT"), QStringLiteral("Etc/UTC"),
                                      QStringLiteral("Etc/GMT"), QStringLiteral("Z")};
    if (listUtc.contains(strZone))
        return true;
    return !QTimeZone::isTimeZoneIdAvailable(strZone.toUtf8());
}

QString ICalendarWriter::UtcText(qint64 nMs)
{
    return QDateTime::fromSecsSinceEpoch(FloorSeconds(nMs), QTimeZone::utc()).toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

QString ICalendarWriter::Duration(const QString &strPhone)
{
    static const QRegularExpression re(QStringLiteral(
        "^([+-]?)P(?:(\\d+)W)?(?:(\\d+)D)?(?:T?(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+)S)?)$"));
    const QString strTrimmed = strPhone.trimmed();
    const QRegularExpressionMatch m = re.match(strTrimmed);
    if (!m.hasMatch() || strTrimmed.endsWith(QLatin1Char('P')) || strTrimmed.endsWith(QLatin1Char('T')))
        return QString();
    qint64 nWeeks = m.captured(2).toLongLong();
    qint64 nDays = m.captured(3).toLongLong();
    const bool bTime = m.lastCapturedIndex() >= 4
        && !(m.captured(4).isEmpty() && m.captured(5).isEmpty() && m.captured(6).isEmpty());
    // Weeks mix with nothing else in RFC 5545.
    if (!m.captured(2).isEmpty() && (!m.captured(3).isEmpty() || bTime)) {
        nDays += nWeeks * 7;
        nWeeks = 0;
    }
    QString str = m.captured(1) + QLatin1Char('P');
    if (nWeeks)
        str += QString::number(nWeeks) + QLatin1Char('W');
    if (nDays || (!m.captured(3).isEmpty() && !bTime))
        str += QString::number(nDays) + QLatin1Char('D');
    if (bTime) {
        str += QLatin1Char('T');
        for (int i = 4; i <= 6; ++i)
            if (!m.captured(i).isEmpty())
                str += m.captured(i) + QLatin1Char("HMS"[i - 4]);
    }
    return str == QLatin1String("P") || str.endsWith(QLatin1Char('P')) ? QStringLiteral("PT0S") : str;
}

QString ICalendarWriter::TimeProperty(const QString &strName, qint64 nMs, const QString &strZone, bool bAllDay, bool bOpenEnded)
{
    if (bAllDay) {
        // The phone keeps all-day events at midnight UTC.
        const QDate date = QDateTime::fromMSecsSinceEpoch(nMs, QTimeZone::utc()).date();
        return QString::fromUtf8(ContentLineFormat::Line(strName + QLatin1String(";VALUE=DATE"), date.toString(QStringLiteral("yyyyMMdd"))));
    }
    if (IsUtcZone(strZone))
        return QString::fromUtf8(ContentLineFormat::Line(strName, UtcText(nMs)));
    const QTimeZone zone(strZone.toUtf8());
    const QDateTime local = QDateTime::fromSecsSinceEpoch(FloorSeconds(nMs), zone);
    ZoneUse &use = m_mapZones[strZone];
    if (!use.bUsed) {
        use.bUsed = true;
        use.nFirstMs = use.nLastMs = nMs;
    } else {
        use.nFirstMs = qMin(use.nFirstMs, nMs);
        use.nLastMs = qMax(use.nLastMs, nMs);
    }
    use.bOpenEnded = use.bOpenEnded || bOpenEnded;
    return QString::fromUtf8(ContentLineFormat::Line(strName + QLatin1String(";TZID=") + ContentLineFormat::ParamValue(strZone),
                                                     local.toString(QStringLiteral("yyyyMMdd'T'HHmmss"))));
}

bool ICalendarWriter::Write(const Event &event)
{
    QByteArray ba = "BEGIN:VEVENT\r\n";
    ba += ContentLineFormat::Line(QStringLiteral("UID"), ContentLineFormat::EscapeText(event.strUid));
    ba += ContentLineFormat::Line(QStringLiteral("DTSTAMP"), UtcText(m_nStampMs));
    const QString strRrule = OneLine(event.strRrule);
    const bool bOpenEnded = !strRrule.isEmpty() && !strRrule.contains(QLatin1String("UNTIL=")) && !strRrule.contains(QLatin1String("COUNT="));
    ba += TimeProperty(QStringLiteral("DTSTART"), event.nStartMs, event.strTimeZone, event.bAllDay, bOpenEnded).toUtf8();
    const QString strDuration = Duration(event.strDuration);
    if (event.bHasEnd && event.nEndMs >= event.nStartMs) {
        const QString strEndZone = event.strEndTimeZone.isEmpty() ? event.strTimeZone : event.strEndTimeZone;
        ba += TimeProperty(QStringLiteral("DTEND"), event.nEndMs, strEndZone, event.bAllDay, bOpenEnded).toUtf8();
    } else if (!strDuration.isEmpty()) {
        ba += ContentLineFormat::Line(QStringLiteral("DURATION"), strDuration);
    }
    if (!strRrule.isEmpty())
        ba += ContentLineFormat::Line(QStringLiteral("RRULE"), strRrule);
    if (!OneLine(event.strExrule).isEmpty())
        ba += ContentLineFormat::Line(QStringLiteral("EXRULE"), OneLine(event.strExrule));
    // The phone keeps RDATE and EXDATE as "[TZID;]value,value".
    const QList<QPair<QString, QString>> listDates {{QStringLiteral("RDATE"), event.strRdate},
                                                    {QStringLiteral("EXDATE"), event.strExdate}};
    for (const auto &date : listDates) {
        QString strValue = OneLine(date.second);
        if (strValue.isEmpty())
            continue;
        QString strName = date.first;
        const qsizetype nSemicolon = strValue.indexOf(QLatin1Char(';'));
        if (nSemicolon > 0) {
            strName += QLatin1String(";TZID=") + ContentLineFormat::ParamValue(strValue.left(nSemicolon));
            strValue = strValue.mid(nSemicolon + 1);
        } else if (strValue.section(QLatin1Char(','), 0, 0).size() == 8) {
            strName += QLatin1String(";VALUE=DATE");
        }
        ba += ContentLineFormat::Line(strName, strValue);
    }
    if (!event.strTitle.isNull())
        ba += ContentLineFormat::Line(QStringLiteral("SUMMARY"), ContentLineFormat::EscapeText(event.strTitle));
    if (!event.strLocation.isNull())
        ba += ContentLineFormat::Line(QStringLiteral("LOCATION"), ContentLineFormat::EscapeText(event.strLocation));
    if (!event.strDescription.isNull())
        ba += ContentLineFormat::Line(QStringLiteral("DESCRIPTION"), ContentLineFormat::EscapeText(event.strDescription));
    for (int nMinutes : event.listReminderMinutes) {
        if (nMinutes < 0)
            continue; // the phone's "default reminder" has no time of its own
        ba += "BEGIN:VALARM\r\nACTION:DISPLAY\r\n";
        ba += ContentLineFormat::Line(QStringLiteral("TRIGGER"), nMinutes == 0 ? QStringLiteral("PT0S") : QStringLiteral("-PT%1M").arg(nMinutes));
        ba += ContentLineFormat::Line(QStringLiteral("DESCRIPTION"), ContentLineFormat::EscapeText(event.strTitle.isEmpty() ? QStringLiteral("Reminder") : event.strTitle));
        ba += "END:VALARM\r\n";
    }
    ba += "END:VEVENT\r\n";
    return Put(ba);
}

QByteArray ICalendarWriter::TimeZoneComponent(const QString &strZone) const
{
    const ZoneUse use = m_mapZones.value(strZone);
    const QTimeZone zone(strZone.toUtf8());
    const int nFirstYear = QDateTime::fromMSecsSinceEpoch(use.nFirstMs, QTimeZone::utc()).date().year() - 1;
    int nLastYear = QDateTime::fromMSecsSinceEpoch(use.nLastMs, QTimeZone::utc()).date().year() + 1;
    if (use.bOpenEnded)
        nLastYear = qMax(nLastYear, kLastDescribedYear);
    const QDateTime from(QDate(nFirstYear, 1, 1), QTime(0, 0), QTimeZone::utc());
    const QDateTime to(QDate(nLastYear, 12, 31), QTime(23, 59, 59), QTimeZone::utc());

    QByteArray ba = "BEGIN:VTIMEZONE\r\n" + ContentLineFormat::Line(QStringLiteral("TZID"), strZone);
    auto observance = [&](const char *szKind, const QDateTime &atUtc, int nFrom, int nTo, const QString &strAbbreviation) {
        ba += QByteArray("BEGIN:") + szKind + "\r\n";
        ba += ContentLineFormat::Line(QStringLiteral("DTSTART"),
            atUtc.addSecs(nFrom).toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss")));
        ba += ContentLineFormat::Line(QStringLiteral("TZOFFSETFROM"), OffsetText(nFrom));
        ba += ContentLineFormat::Line(QStringLiteral("TZOFFSETTO"), OffsetText(nTo));
        if (!strAbbreviation.isEmpty())
            ba += ContentLineFormat::Line(QStringLiteral("TZNAME"), ContentLineFormat::EscapeText(strAbbreviation));
        ba += QByteArray("END:") + szKind + "\r\n";
    };
    int nOffset = zone.offsetFromUtc(from);
    const QTimeZone::OffsetDataList listTransitions = zone.transitions(from, to);
    // The offset in force at the start of the range, then every change in it.
    observance(zone.isDaylightTime(from) ? "DAYLIGHT" : "STANDARD", from, nOffset, nOffset, zone.abbreviation(from));
    for (const QTimeZone::OffsetData &data : listTransitions) {
        observance(data.daylightTimeOffset != 0 ? "DAYLIGHT" : "STANDARD", data.atUtc, nOffset, data.offsetFromUtc, data.abbreviation);
        nOffset = data.offsetFromUtc;
    }
    ba += "END:VTIMEZONE\r\n";
    return ba;
}

bool ICalendarWriter::End()
{
    for (auto it = m_mapZones.constBegin(); it != m_mapZones.constEnd(); ++it)
        Put(TimeZoneComponent(it.key()));
    return Put("END:VCALENDAR\r\n");
}
