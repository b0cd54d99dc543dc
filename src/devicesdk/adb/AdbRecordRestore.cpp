#include "AdbRecordRestore.h"

#include "AdbRestore.h"
#include "ContentQueryParser.h"
#include "ICalendarReader.h"
#include "PhoneShell.h"
#include "ProviderQuery.h"
#include "RecordExporter.h"
#include "VCardReader.h"
#include "sdk/dvsk_restore.h"

#include <QBuffer>
#include <QFile>
#include <QUrl>

namespace
{
const char kRawContacts[] = "content://com.android.contacts/raw_contacts";
const char kData[] = "content://com.android.contacts/data";
const char kCalendars[] = "content://com.android.calendar/calendars";
const char kEvents[] = "content://com.android.calendar/events";
const char kReminders[] = "content://com.android.calendar/reminders";
const char kCalls[] = "content://call_log/calls";

QString Insert(const char *szUri, const QString &strBinds)
{
    return QStringLiteral("content insert --uri %1 %2").arg(QLatin1String(szUri), strBinds);
}

// Android's phone types from the vCard TYPE words.
int PhoneType(const QString &strTypes)
{
    const QStringList list = strTypes.toUpper().split(QLatin1Char(','), Qt::SkipEmptyParts);
    const bool bFax = list.contains(QStringLiteral("FAX"));
    if (bFax)
        return list.contains(QStringLiteral("HOME")) ? 5 : 4;
    if (list.contains(QStringLiteral("CELL")))
        return 2;
    if (list.contains(QStringLiteral("WORK")))
        return 3;
    if (list.contains(QStringLiteral("HOME")))
        return 1;
    if (list.contains(QStringLiteral("PAGER")))
        return 6;
    if (list.contains(QStringLiteral("CAR")))
        return 9;
    if (list.contains(QStringLiteral("ISDN")))
        return 10;
    return list.contains(QStringLiteral("PREF")) ? 12 : 7;
}

// Home 1, work 2, other 3: the same numbers for e-mail and addresses.
int PlaceType(const QString &strTypes)
{
    const QString str = strTypes.toUpper();
    return str.contains(QLatin1String("HOME")) ? 1 : str.contains(QLatin1String("WORK")) ? 2 : 3;
}

QString Mime(const char *szKind)
{
    return AdbRecordRestore::Bind(QStringLiteral("mimetype"), 's', QStringLiteral("vnd.android.cursor.item/") + QLatin1String(szKind));
}
} // namespace

const char AdbRecordRestore::kCalendarAccount[] = "Pelorix Backup";

AdbRecordRestore::AdbRecordRestore(PhoneShell &shell) : m_shell(shell)
{
}

QString AdbRecordRestore::Bind(const QString &strColumn, char cType, const QString &strValue)
{
    return QStringLiteral("--bind ") + QString::fromUtf8(ProviderQuery::Quote(strColumn + QLatin1Char(':') + QLatin1Char(cType) + QLatin1Char(':') + strValue));
}

QStringList AdbRecordRestore::ContactDataBinds(const VCardWriter::Contact &c)
{
    QStringList list;
    QString strName = Mime("name") + QLatin1Char(' ') + Bind(QStringLiteral("data1"), 's', VCardReader::DisplayName(c));
    const QStringList listParts {c.strGiven, c.strFamily, c.strPrefix, c.strMiddle, c.strSuffix};
    for (int i = 0; i < listParts.size(); ++i) {
        if (!listParts.at(i).isEmpty())
            strName += QLatin1Char(' ') + Bind(QStringLiteral("data%1").arg(i + 2), 's', listParts.at(i));
    }
    if (!VCardReader::DisplayName(c).isEmpty())
        list << strName;
    for (const QString &str : c.listNicknames)
        list << Mime("nickname") + QLatin1Char(' ') + Bind(QStringLiteral("data1"), 's', str);
    for (const VCardWriter::Typed &phone : c.listPhones)
        list << Mime("phone_v2") + QLatin1Char(' ') + Bind(QStringLiteral("data1"), 's', phone.strValue) + QLatin1Char(' ')
                    + Bind(QStringLiteral("data2"), 'i', QString::number(PhoneType(phone.strType)));
    for (const VCardWriter::Typed &email : c.listEmails)
        list << Mime("email_v2") + QLatin1Char(' ') + Bind(QStringLiteral("data1"), 's', email.strValue) + QLatin1Char(' ')
                    + Bind(QStringLiteral("data2"), 'i', QString::number(PlaceType(email.strType)));
    for (const VCardWriter::Address &adr : c.listAddresses) {
        const QStringList listValues {adr.strStreet, adr.strPoBox, adr.strExtended, adr.strCity, adr.strRegion,
                                      adr.strPostcode, adr.strCountry};
        QString strRow = Mime("postal-address_v2") + QLatin1Char(' ') + Bind(QStringLiteral("data2"), 'i', QString::number(PlaceType(adr.strType)));
        for (int i = 0; i < listValues.size(); ++i) {
            if (!listValues.at(i).isEmpty())
                strRow += QLatin1Char(' ') + Bind(QStringLiteral("data%1").arg(i + 4), 's', listValues.at(i));
        }
        list << strRow;
    }
    if (!c.strOrganization.isEmpty() || !c.strDepartment.isEmpty() || !c.strTitle.isEmpty())
        list << Mime("organization") + QLatin1Char(' ') + Bind(QStringLiteral("data1"), 's', c.strOrganization) + QLatin1Char(' ')
                    + Bind(QStringLiteral("data5"), 's', c.strDepartment) + QLatin1Char(' ') + Bind(QStringLiteral("data4"), 's', c.strTitle);
    for (const QString &str : c.listNotes)
        list << Mime("note") + QLatin1Char(' ') + Bind(QStringLiteral("data1"), 's', str);
    if (!c.strBirthday.isEmpty())
        list << Mime("contact_event") + QLatin1Char(' ') + Bind(QStringLiteral("data1"), 's', c.strBirthday) + QLatin1Char(' ')
                    + Bind(QStringLiteral("data2"), 'i', QStringLiteral("3"));
    for (const QString &str : c.listUrls)
        list << Mime("website") + QLatin1Char(' ') + Bind(QStringLiteral("data1"), 's', str);
    return list;
}

QString AdbRecordRestore::EventBinds(const ICalendarWriter::Event &e, qint64 nCalendarId)
{
    QStringList list {Bind(QStringLiteral("calendar_id"), 'l', QString::number(nCalendarId)),
                      Bind(QStringLiteral("title"), 's', e.strTitle),
                      Bind(QStringLiteral("dtstart"), 'l', QString::number(e.nStartMs)),
                      Bind(QStringLiteral("allDay"), 'i', e.bAllDay ? QStringLiteral("1") : QStringLiteral("0")),
                      Bind(QStringLiteral("eventTimezone"), 's', e.bAllDay || e.strTimeZone.isEmpty() ? QStringLiteral("UTC") : e.strTimeZone)};
    qint64 nSeconds = 0;
    const bool bDuration = ICalendarReader::DurationSeconds(e.strDuration, &nSeconds);
    if (!e.strRrule.isEmpty()) {
        // A repeating event keeps a duration, not an end.
        if (e.bHasEnd)
            nSeconds = (e.nEndMs - e.nStartMs) / 1000;
        list << Bind(QStringLiteral("duration"), 's', e.bAllDay && nSeconds % 86400 == 0 ? QStringLiteral("P%1D").arg(nSeconds / 86400)
                                                                                          : QStringLiteral("P%1S").arg(nSeconds))
             << Bind(QStringLiteral("rrule"), 's', e.strRrule);
    } else {
        list << Bind(QStringLiteral("dtend"), 'l', QString::number(e.bHasEnd ? e.nEndMs : e.nStartMs + (bDuration ? nSeconds * 1000 : 0)));
    }
    const QList<QPair<const char *, QString>> listOptional {{"rdate", e.strRdate}, {"exrule", e.strExrule}, {"exdate", e.strExdate},
        {"eventLocation", e.strLocation}, {"description", e.strDescription}, {"eventEndTimezone", e.bAllDay ? QString() : e.strEndTimeZone}};
    for (const auto &optional : listOptional) {
        if (!optional.second.isEmpty())
            list << Bind(QLatin1String(optional.first), 's', optional.second);
    }
    if (!e.listReminderMinutes.isEmpty())
        list << Bind(QStringLiteral("hasAlarm"), 'i', QStringLiteral("1"));
    return list.join(QLatin1Char(' '));
}

QString AdbRecordRestore::CallBinds(const CallLogReader::Call &call)
{
    QStringList list {Bind(QStringLiteral("number"), 's', call.Value(QStringLiteral("number"))),
                      Bind(QStringLiteral("date"), 'l', QString::number(call.Value(QStringLiteral("date")).toLongLong())),
                      Bind(QStringLiteral("duration"), 'l', QString::number(call.Value(QStringLiteral("duration")).toLongLong())),
                      Bind(QStringLiteral("type"), 'i', QString::number(call.Value(QStringLiteral("type")).toInt())),
                      Bind(QStringLiteral("new"), 'i', QString::number(call.Value(QStringLiteral("new")).toInt()))};
    if (call.Has(QStringLiteral("name")))
        list << Bind(QStringLiteral("name"), 's', call.Value(QStringLiteral("name")));
    return list.join(QLatin1Char(' '));
}

int AdbRecordRestore::Run(const QString &strCommand, QByteArray *pOutput)
{
    pOutput->clear();
    const int nResult = m_shell.Run(strCommand.toUtf8(), [pOutput](const QByteArray &ba) { pOutput->append(ba); });
    if (nResult == 0)
        KeepErrors(*pOutput);
    return nResult;
}

void AdbRecordRestore::KeepErrors(const QByteArray &baOutput)
{
    // "Error while accessing provider:…" and the exception line after it.
    const QList<QByteArray> listLines = baOutput.split('\n');
    for (qsizetype i = 0; i < listLines.size(); ++i) {
        if (listLines.at(i).startsWith("Error") && m_listErrors.size() < 5) {
            QString strError = QString::fromUtf8(listLines.at(i)).trimmed();
            if (i + 1 < listLines.size() && !listLines.at(i + 1).startsWith("Error"))
                strError += QLatin1Char(' ') + QString::fromUtf8(listLines.at(i + 1)).trimmed();
            if (!m_listErrors.contains(strError))
                m_listErrors << strError;
        }
    }
}

int AdbRecordRestore::RunAll(const QStringList &listCommands)
{
    QByteArray baOutput;
    for (const QString &strBatch : AdbRestore::Batches(listCommands)) {
        if (const int nError = Run(strBatch, &baOutput))
            return nError;
    }
    return 0;
}

int AdbRecordRestore::Count(int nType, int *pCount)
{
    const ProviderResult result = RecordExporter::Create(nType, m_shell)->Count(pCount);
    if (result.eKind == ProviderResult::Ok)
        return 0;
    if (result.eKind == ProviderResult::Cancelled)
        return DVSK_DEV_ERR_CANCELLED;
    m_listErrors << result.strReason;
    return result.nCode ? result.nCode : DVSK_DEV_ERR_PHONE_IO;
}

int AdbRecordRestore::ExistingKeys(int nType, QSet<QString> *pKeys)
{
    QByteArray baFile;
    QBuffer buffer(&baFile);
    buffer.open(QIODevice::WriteOnly);
    int nWritten = 0;
    const ProviderResult result = RecordExporter::Create(nType, m_shell)->Export(&buffer, [](int, int) {}, &nWritten);
    if (result.eKind == ProviderResult::Cancelled)
        return DVSK_DEV_ERR_CANCELLED;
    if (result.eKind != ProviderResult::Ok) {
        m_listErrors << result.strReason;
        return result.nCode ? result.nCode : DVSK_DEV_ERR_PHONE_IO;
    }
    if (nType == 0) {
        for (const VCardReader::Card &card : VCardReader::Read(baFile))
            pKeys->insert(VCardReader::Key(card.contact));
    } else if (nType == 2) {
        for (const ICalendarReader::Item &item : ICalendarReader::Read(baFile).listEvents)
            pKeys->insert(ICalendarReader::Key(item.event));
    } else {
        QList<CallLogReader::Call> listCalls;
        CallLogReader::Read(baFile, listCalls, nullptr);
        for (const CallLogReader::Call &call : qAsConst(listCalls))
            pKeys->insert(CallLogReader::Key(call));
    }
    return 0;
}

int AdbRecordRestore::LastId(const QString &strUri, const QString &strBefore, qint64 *pId)
{
    *pId = 0;
    QByteArray baOutput;
    const QByteArray baQuery = ProviderQuery::Command(strUri, {QStringLiteral("_id")}, QString(), QStringLiteral("_id DESC LIMIT 1"));
    const QString strCommand = strBefore.isEmpty() ? QString::fromUtf8(baQuery) : strBefore + QStringLiteral("; ") + QString::fromUtf8(baQuery);
    if (const int nError = Run(strCommand, &baOutput))
        return nError;
    // What the command before printed (an insert's error) comes first.
    const qsizetype nRow = baOutput.indexOf("Row: ");
    const bool bEmpty = baOutput.contains("No result found.");
    if (nRow < 0)
        return bEmpty ? 0 : DVSK_DEV_ERR_PHONE_IO;
    ContentQueryParser parser({QStringLiteral("_id")}, [pId](const QStringList &listRow) { *pId = qMax(*pId, listRow.value(0).toLongLong()); });
    parser.Feed(baOutput.mid(nRow));
    return parser.Finish() == ContentQueryParser::Outcome::Error ? DVSK_DEV_ERR_PHONE_IO : 0;
}

int AdbRecordRestore::InsertWithId(const QString &strUri, const QString &strBinds, qint64 *pLast, qint64 *pId)
{
    qint64 nNow = 0;
    if (const int nError = LastId(strUri, QStringLiteral("content insert --uri %1 %2").arg(strUri, strBinds), &nNow))
        return nError;
    // No new row: the insert failed (the tool says so only in its output).
    *pId = nNow > *pLast ? nNow : 0;
    *pLast = qMax(*pLast, nNow);
    return 0;
}

int AdbRecordRestore::CalendarId(qint64 *pId)
{
    const QStringList listColumns {QStringLiteral("_id"), QStringLiteral("account_type"), QStringLiteral("account_name")};
    for (int nTry = 0; nTry < 2; ++nTry) {
        *pId = 0;
        QByteArray baOutput;
        if (const int nError = Run(QString::fromUtf8(ProviderQuery::Command(QLatin1String(kCalendars), listColumns, QString(), QStringLiteral("_id"))), &baOutput))
            return nError;
        ContentQueryParser parser(listColumns, [pId](const QStringList &listRow) {
            if (!*pId && listRow.value(1) == QLatin1String("LOCAL") && listRow.value(2) == QLatin1String(kCalendarAccount))
                *pId = listRow.value(0).toLongLong();
        });
        parser.Feed(baOutput);
        parser.Finish();
        if (*pId || nTry == 1)
            break;
        // A calendar of its own, made as its sync adapter would make it.
        const QString strAccount = QLatin1String(kCalendarAccount);
        const QString strUri = QString::fromUtf8(ProviderQuery::Quote(QStringLiteral("%1?caller_is_syncadapter=true&account_name=%2&account_type=LOCAL")
                                                                      .arg(QLatin1String(kCalendars), QString::fromUtf8(QUrl::toPercentEncoding(strAccount)))));
        const QString strBinds = QStringList {Bind(QStringLiteral("name"), 's', strAccount),
            Bind(QStringLiteral("calendar_displayName"), 's', strAccount), Bind(QStringLiteral("account_name"), 's', strAccount),
            Bind(QStringLiteral("account_type"), 's', QStringLiteral("LOCAL")), Bind(QStringLiteral("calendar_access_level"), 'i', QStringLiteral("700")),
            Bind(QStringLiteral("ownerAccount"), 's', strAccount), Bind(QStringLiteral("visible"), 'i', QStringLiteral("1")),
            Bind(QStringLiteral("sync_events"), 'i', QStringLiteral("1"))}.join(QLatin1Char(' '));
        if (const int nError = Run(QStringLiteral("content insert --uri %1 %2").arg(strUri, strBinds), &baOutput))
            return nError;
    }
    return 0;
}

int AdbRecordRestore::RestoreContacts(const QByteArray &baFile, const QSet<QString> &setExisting, int *pSent, int *pSkipped)
{
    QSet<QString> setKeys = setExisting;
    qint64 nLast = 0;
    if (const int nError = LastId(QLatin1String(kRawContacts), QString(), &nLast))
        return nError;
    QStringList listData;
    for (const VCardReader::Card &card : VCardReader::Read(baFile)) {
        const QString strKey = VCardReader::Key(card.contact);
        if (setKeys.contains(strKey)) {
            ++*pSkipped;
            continue;
        }
        setKeys.insert(strKey);
        ++*pSent;
        // No account: a contact of the phone itself.
        qint64 nId = 0;
        const QString strBinds = Bind(QStringLiteral("account_name"), 'n', QString()) + QLatin1Char(' ')
                + Bind(QStringLiteral("account_type"), 'n', QString());
        if (const int nError = InsertWithId(QLatin1String(kRawContacts), strBinds, &nLast, &nId))
            return nError;
        if (!nId)
            continue;
        for (const QString &strRow : ContactDataBinds(card.contact))
            listData << Insert(kData, Bind(QStringLiteral("raw_contact_id"), 'l', QString::number(nId)) + QLatin1Char(' ') + strRow);
        if (listData.size() >= 50) {
            if (const int nError = RunAll(listData))
                return nError;
            listData.clear();
        }
    }
    return RunAll(listData);
}

int AdbRecordRestore::RestoreEvents(const QByteArray &baFile, const QSet<QString> &setExisting, int *pSent, int *pSkipped)
{
    qint64 nCalendar = 0;
    if (const int nError = CalendarId(&nCalendar))
        return nError;
    if (!nCalendar) {
        m_listErrors.prepend(QStringLiteral("the phone did not make a local calendar"));
        return DVSK_DEV_ERR_PHONE_IO;
    }
    QSet<QString> setKeys = setExisting;
    qint64 nLast = 0;
    QStringList listPlain;
    QStringList listReminders;
    for (const ICalendarReader::Item &item : ICalendarReader::Read(baFile).listEvents) {
        const QString strKey = ICalendarReader::Key(item.event);
        if (setKeys.contains(strKey)) {
            ++*pSkipped;
            continue;
        }
        setKeys.insert(strKey);
        ++*pSent;
        const QString strBinds = EventBinds(item.event, nCalendar);
        if (item.event.listReminderMinutes.isEmpty()) {
            listPlain << Insert(kEvents, strBinds);
            continue;
        }
        // Reminders name their event: its id is read back.
        if (!nLast && LastId(QLatin1String(kEvents), QString(), &nLast) != 0)
            nLast = 0;
        qint64 nId = 0;
        if (const int nError = InsertWithId(QLatin1String(kEvents), strBinds, &nLast, &nId))
            return nError;
        for (int nMinutes : item.event.listReminderMinutes) {
            if (nId)
                listReminders << Insert(kReminders, Bind(QStringLiteral("event_id"), 'l', QString::number(nId)) + QLatin1Char(' ')
                                                        + Bind(QStringLiteral("minutes"), 'i', QString::number(nMinutes)) + QLatin1Char(' ')
                                                        + Bind(QStringLiteral("method"), 'i', QStringLiteral("1")));
        }
    }
    if (const int nError = RunAll(listPlain))
        return nError;
    return RunAll(listReminders);
}

int AdbRecordRestore::RestoreCalls(const QByteArray &baFile, const QSet<QString> &setExisting, int *pSent, int *pSkipped)
{
    QList<CallLogReader::Call> listCalls;
    QString strError;
    if (!CallLogReader::Read(baFile, listCalls, &strError)) {
        m_listErrors.prepend(QStringLiteral("the call-log file cannot be read: ") + strError);
        return DVSK_DEV_ERR_LOCAL_FILE;
    }
    QSet<QString> setKeys = setExisting;
    QStringList listCommands;
    for (const CallLogReader::Call &call : qAsConst(listCalls)) {
        const QString strKey = CallLogReader::Key(call);
        if (setKeys.contains(strKey)) {
            ++*pSkipped;
            continue;
        }
        setKeys.insert(strKey);
        ++*pSent;
        listCommands << Insert(kCalls, CallBinds(call));
    }
    return RunAll(listCommands);
}

int AdbRecordRestore::Restore(int nType, const QString &strLocalFile, int *pRestored, int *pSkipped, int *pFailed,
                              QString *pMessage)
{
    QFile file(strLocalFile);
    if (!file.open(QIODevice::ReadOnly)) {
        *pMessage = QStringLiteral("cannot read %1: %2").arg(strLocalFile, file.errorString());
        return DVSK_DEV_ERR_LOCAL_FILE;
    }
    const QByteArray baFile = file.readAll();
    int nBefore = 0;
    QSet<QString> setExisting;
    int nResult = Count(nType, &nBefore);
    if (nResult == 0)
        nResult = ExistingKeys(nType, &setExisting);
    int nSent = 0;
    if (nResult == 0 && nType == 0)
        nResult = RestoreContacts(baFile, setExisting, &nSent, pSkipped);
    else if (nResult == 0 && nType == 2)
        nResult = RestoreEvents(baFile, setExisting, &nSent, pSkipped);
    else if (nResult == 0)
        nResult = RestoreCalls(baFile, setExisting, &nSent, pSkipped);
    int nAfter = nBefore;
    if (nResult == 0 || nResult == DVSK_DEV_ERR_PHONE_IO)
        Count(nType, &nAfter);
    // The phone's count, not what was sent, says what was restored.
    *pRestored = qBound(0, nAfter - nBefore, nSent);
    *pFailed = nResult == 0 ? nSent - *pRestored : 0;
    *pMessage = m_listErrors.join(QLatin1Char('\n'));
    return nResult;
}
