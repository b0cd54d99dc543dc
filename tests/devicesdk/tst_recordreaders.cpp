// The readers of the files a restore puts back: vCard, iCalendar and the call
// log, with the awkward input other programs and older phones write.
#include "CallLogReader.h"
#include "ICalendarReader.h"
#include "VCardReader.h"
#include "VCardWriter.h"

#include <QDateTime>
#include <QTimeZone>
#include <QtTest>

class tst_RecordReaders : public QObject
{
    Q_OBJECT

private slots:
    void vcard_data();
    void vcard();
    void vcardRawBlocksAndKeys();
    void vcardWriterRoundTrip();
    void icalendar_data();
    void icalendar();
    void icalendarZonesAndRaw();
    void durations_data();
    void durations();
    void callLog_data();
    void callLog();
    void samplePhoneRecords();
};

void tst_RecordReaders::vcard_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("cards");
    QTest::addColumn<QString>("name");   // of the first card
    QTest::addColumn<QStringList>("phones");
    QTest::addColumn<QStringList>("emails");
    QTest::addColumn<QString>("note");

    QTest::newRow("3.0 CR LF") << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna Albers\r\nTEL;TYPE=CELL:+49 151\r\n"
                                             "EMAIL;TYPE=INTERNET,HOME:a@example.org\r\nEND:VCARD\r\n")
                               << 1 << "Anna Albers" << QStringList {"+49 151"} << QStringList {"a@example.org"} << QString();
    QTest::newRow("folded line, escapes") << QByteArray("BEGIN:VCARD\nFN:Boris\nNOTE:one\\, two\\; three\\nfour\n  and five\\\\\nEND:VCARD\n")
                                          << 1 << "Boris" << QStringList() << QStringList() << "one, two; three\nfour and five\\";
    QTest::newRow("2.1 quoted-printable, soft break") << QByteArray(
            "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;Zo=\r\n=C3=AB;;;\r\n"
            "TEL;CELL;PREF:0151 1\r\nEND:VCARD\r\n")
                                                      << 1 << QString::fromUtf8("Zoë Müller") << QStringList {"0151 1"} << QStringList() << QString();
    QTest::newRow("group prefix, lower case") << QByteArray("begin:vcard\nitem1.tel:123\nitem1.X-ABLabel:work\nfn:Cleo\nend:vcard\n")
                                              << 1 << "Cleo" << QStringList {"123"} << QStringList() << QString();
    QTest::newRow("missing END") << QByteArray("BEGIN:VCARD\nFN:First\nBEGIN:VCARD\nFN:Second\nEND:VCARD\n")
                                 << 2 << "First" << QStringList() << QStringList() << QString();
    QTest::newRow("quoted parameter with colon") << QByteArray("BEGIN:VCARD\nFN:Dora\nTEL;TYPE=\"a:b;c\":99\nEND:VCARD\n")
                                                 << 1 << "Dora" << QStringList {"99"} << QStringList() << QString();
    QTest::newRow("no FN: name from N") << QByteArray("BEGIN:VCARD\nN:Engel;Elena;;Dr.;\nEND:VCARD\n")
                                        << 1 << "Dr. Elena Engel" << QStringList() << QStringList() << QString();
    QTest::newRow("nested agent card") << QByteArray("BEGIN:VCARD\nFN:Boss\nAGENT:\nBEGIN:VCARD\nFN:Agent\nEND:VCARD\nEND:VCARD\n")
                                       << 1 << "Boss" << QStringList() << QStringList() << QString();
    QTest::newRow("text before and after") << QByteArray("garbage\nBEGIN:VCARD\nFN:X\nEND:VCARD\ntrailing")
                                           << 1 << "X" << QStringList() << QStringList() << QString();
    QTest::newRow("empty") << QByteArray() << 0 << QString() << QStringList() << QStringList() << QString();
}

void tst_RecordReaders::vcard()
{
    QFETCH(QByteArray, text);
    QFETCH(int, cards);
    QFETCH(QString, name);
    QFETCH(QStringList, phones);
    QFETCH(QStringList, emails);
    QFETCH(QString, note);
    const QList<VCardReader::Card> list = VCardReader::Read(text);
    QCOMPARE(list.size(), cards);
    if (cards == 0)
        return;
    const VCardWriter::Contact &contact = list.first().contact;
    QCOMPARE(VCardReader::DisplayName(contact), name);
    QStringList listPhones;
    for (const VCardWriter::Typed &phone : contact.listPhones)
        listPhones << phone.strValue;
    QStringList listEmails;
    for (const VCardWriter::Typed &email : contact.listEmails)
        listEmails << email.strValue;
    QCOMPARE(listPhones, phones);
    QCOMPARE(listEmails, emails);
    QCOMPARE(contact.listNotes.value(0), note);
}

void tst_RecordReaders::vcardRawBlocksAndKeys()
{
    const QByteArray baFirst = "BEGIN:VCARD\r\nFN:Anna\r\nTEL:+49 (151) 1-2\r\nEMAIL:A@Example.org\r\nEND:VCARD\r\n";
    const QByteArray baSecond = "BEGIN:VCARD\nFN:Anna\nEMAIL:a@example.org\nTEL:+491511 2\nEND:VCARD";
    const QList<VCardReader::Card> list = VCardReader::Read(baFirst + baSecond);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).baRaw, baFirst);
    QCOMPARE(list.at(1).baRaw, baSecond + "\r\n");
    // Same name, numbers and e-mails however written: the same contact.
    QCOMPARE(VCardReader::Key(list.at(0).contact), VCardReader::Key(list.at(1).contact));
    VCardWriter::Contact other = list.at(0).contact;
    other.listPhones.append({QString(), QStringLiteral("+49 999")});
    QVERIFY(VCardReader::Key(other) != VCardReader::Key(list.at(0).contact));
    other = list.at(0).contact;
    other.strFormattedName = QStringLiteral("Anna B");
    QVERIFY(VCardReader::Key(other) != VCardReader::Key(list.at(0).contact));
}

void tst_RecordReaders::vcardWriterRoundTrip()
{
    VCardWriter::Contact contact;
    contact.strFormattedName = QStringLiteral("Müller, Zoë; \"Q\" = 1");
    contact.strFamily = QStringLiteral("Müller");
    contact.strGiven = QStringLiteral("Zoë");
    contact.listPhones.append({QStringLiteral("CELL"), QStringLiteral("+49 30 1234567")});
    contact.listEmails.append({QStringLiteral("WORK"), QStringLiteral("zoe@example.org")});
    contact.listAddresses.append({QStringLiteral("HOME"), QString(), QString(), QStringLiteral("Street 1\nBack house"),
                                  QStringLiteral("Berlin"), QString(), QStringLiteral("10115"), QStringLiteral("DE")});
    contact.strOrganization = QStringLiteral("Works; Ltd");
    contact.strDepartment = QStringLiteral("R&D");
    contact.listNotes << QString(200, QChar(0x00e9)) + QStringLiteral(",\\end");
    contact.strBirthday = QStringLiteral("--07-13");
    contact.baPhoto = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(300, 'x');
    const QList<VCardReader::Card> list = VCardReader::Read(VCardWriter::Format(contact));
    QCOMPARE(list.size(), 1);
    const VCardWriter::Contact &read = list.first().contact;
    QCOMPARE(read.strFormattedName, contact.strFormattedName);
    QCOMPARE(read.strGiven, contact.strGiven);
    QCOMPARE(read.listPhones.first().strValue, contact.listPhones.first().strValue);
    QCOMPARE(read.listPhones.first().strType, QStringLiteral("CELL"));
    QCOMPARE(read.listEmails.first().strType, QStringLiteral("WORK"));
    QCOMPARE(read.listAddresses.first().strStreet, contact.listAddresses.first().strStreet);
    QCOMPARE(read.listAddresses.first().strPostcode, QStringLiteral("10115"));
    QCOMPARE(read.strOrganization, contact.strOrganization);
    QCOMPARE(read.strDepartment, contact.strDepartment);
    QCOMPARE(read.listNotes, contact.listNotes);
    QCOMPARE(read.strBirthday, contact.strBirthday);
    QCOMPARE(read.baPhoto, contact.baPhoto);
    QCOMPARE(VCardReader::Key(read), VCardReader::Key(contact));
}

void tst_RecordReaders::icalendar_data()
{
    QTest::addColumn<QByteArray>("event"); // lines inside BEGIN:VEVENT … END:VEVENT
    QTest::addColumn<QString>("title");
    QTest::addColumn<qint64>("start");    // ms since 1970 UTC
    QTest::addColumn<bool>("hasEnd");
    QTest::addColumn<qint64>("end");
    QTest::addColumn<bool>("allDay");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QList<int>>("reminders");

    const qint64 n0329 = QDateTime(QDate(2024, 3, 29), QTime(10, 0), QTimeZone::utc()).toMSecsSinceEpoch();
    QTest::newRow("utc") << QByteArray("DTSTART:20240329T100000Z\nDTEND:20240329T110000Z\nSUMMARY:Dentist")
                         << "Dentist" << n0329 << true << n0329 + 3600000 << false << QString() << "UTC" << QList<int>();
    QTest::newRow("zone, summer time") << QByteArray("DTSTART;TZID=Europe/Berlin:20240701T120000\nDURATION:PT1H30M\n"
                                                     "SUMMARY:Lunch\\, long")
                                       << "Lunch, long" << QDateTime(QDate(2024, 7, 1), QTime(10, 0), QTimeZone::utc()).toMSecsSinceEpoch()
                                       << false << qint64(0) << false << "P5400S" << "Europe/Berlin" << QList<int>();
    QTest::newRow("quoted zone") << QByteArray("DTSTART;TZID=\"America/New_York\":20240501T090000\nSUMMARY:NY")
                                 << "NY" << QDateTime(QDate(2024, 5, 1), QTime(13, 0), QTimeZone::utc()).toMSecsSinceEpoch()
                                 << false << qint64(0) << false << QString() << "America/New_York" << QList<int>();
    QTest::newRow("unknown zone as UTC") << QByteArray("DTSTART;TZID=Custom/Nowhere:20240329T100000\nSUMMARY:X")
                                         << "X" << n0329 << false << qint64(0) << false << QString() << "UTC" << QList<int>();
    QTest::newRow("all day") << QByteArray("DTSTART;VALUE=DATE:20240329\nDTEND;VALUE=DATE:20240330\nSUMMARY:Holiday 🐣")
                             << QString::fromUtf8("Holiday 🐣") << n0329 - 36000000 << true << n0329 - 36000000 + 86400000
                             << true << QString() << "UTC" << QList<int>();
    QTest::newRow("all day duration") << QByteArray("DTSTART;VALUE=DATE:20240329\nDURATION:P1D\nRRULE:FREQ=YEARLY\nSUMMARY:B")
                                      << "B" << n0329 - 36000000 << false << qint64(0) << true << "P1D" << "UTC" << QList<int>();
    QTest::newRow("alarms") << QByteArray("DTSTART:20240329T100000Z\nSUMMARY:A\nBEGIN:VALARM\nTRIGGER:-PT15M\n"
                                          "DESCRIPTION:not the title\nEND:VALARM\nBEGIN:VALARM\nTRIGGER:PT0S\nEND:VALARM")
                            << "A" << n0329 << false << qint64(0) << false << QString() << "UTC" << QList<int>({15, 0});
    QTest::newRow("folded summary") << QByteArray("DTSTART:20240329T100000Z\r\nSUMMARY:Team\r\n  meeting")
                                    << "Team meeting" << n0329 << false << qint64(0) << false << QString() << "UTC" << QList<int>();
}

void tst_RecordReaders::icalendar()
{
    QFETCH(QByteArray, event);
    QFETCH(QString, title);
    QFETCH(qint64, start);
    QFETCH(bool, hasEnd);
    QFETCH(qint64, end);
    QFETCH(bool, allDay);
    QFETCH(QString, duration);
    QFETCH(QString, zone);
    QFETCH(QList<int>, reminders);
    const QByteArray baText = "BEGIN:VCALENDAR\nBEGIN:VEVENT\n" + event + "\nEND:VEVENT\nEND:VCALENDAR\n";
    const ICalendarReader::Calendar calendar = ICalendarReader::Read(baText);
    QCOMPARE(calendar.listEvents.size(), 1);
    const ICalendarWriter::Event &read = calendar.listEvents.first().event;
    QCOMPARE(read.strTitle, title);
    QCOMPARE(read.nStartMs, start);
    QCOMPARE(read.bHasEnd, hasEnd);
    if (hasEnd)
        QCOMPARE(read.nEndMs, end);
    QCOMPARE(read.bAllDay, allDay);
    QCOMPARE(read.strDuration, duration);
    QCOMPARE(read.strTimeZone, zone);
    QCOMPARE(read.listReminderMinutes, reminders);
}

void tst_RecordReaders::icalendarZonesAndRaw()
{
    const QByteArray baEvent = "BEGIN:VEVENT\r\nDTSTART;TZID=Europe/Berlin:20240329T110000\r\nDURATION:PT1H\r\n"
                               "RRULE:FREQ=WEEKLY\r\nSUMMARY:Weekly\r\nEND:VEVENT\r\n";
    const QByteArray baZone = "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
    const QByteArray baOpen = "BEGIN:VEVENT\r\nSUMMARY:No end\r\n"; // never closed: not an event
    const ICalendarReader::Calendar calendar = ICalendarReader::Read("BEGIN:VCALENDAR\r\n" + baEvent + baZone + baOpen);
    QCOMPARE(calendar.listEvents.size(), 1);
    QCOMPARE(calendar.listEvents.first().baRaw, baEvent);
    QCOMPARE(calendar.listEvents.first().listZoneIds, QStringList {QStringLiteral("Europe/Berlin")});
    QCOMPARE(calendar.hashZones.value(QStringLiteral("Europe/Berlin")), baZone);

    // The same event kept with an end instead of a duration, in UTC: the same key.
    ICalendarWriter::Event same = calendar.listEvents.first().event;
    same.strDuration.clear();
    same.bHasEnd = true;
    same.nEndMs = same.nStartMs + 3600 * 1000;
    QCOMPARE(ICalendarReader::Key(same), ICalendarReader::Key(calendar.listEvents.first().event));
    same.strRrule = QStringLiteral("FREQ=DAILY");
    QVERIFY(ICalendarReader::Key(same) != ICalendarReader::Key(calendar.listEvents.first().event));
}

void tst_RecordReaders::durations_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("seconds");

    QTest::newRow("hours minutes") << "PT1H30M" << true << qint64(5400);
    QTest::newRow("phone form") << "P3600S" << true << qint64(3600);
    QTest::newRow("days") << "P2D" << true << qint64(172800);
    QTest::newRow("weeks") << "P1W" << true << qint64(604800);
    QTest::newRow("negative") << "-PT15M" << true << qint64(-900);
    QTest::newRow("lower case") << "pt5m" << true << qint64(300);
    QTest::newRow("bare P") << "P" << false << qint64(0);
    QTest::newRow("bare PT") << "PT" << false << qint64(0);
    QTest::newRow("words") << "one hour" << false << qint64(0);
}

void tst_RecordReaders::durations()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(qint64, seconds);
    qint64 nSeconds = 0;
    QCOMPARE(ICalendarReader::DurationSeconds(text, &nSeconds), ok);
    if (ok)
        QCOMPARE(nSeconds, seconds);
}

void tst_RecordReaders::callLog_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("calls");
    QTest::addColumn<QString>("name"); // of the first call

    QTest::newRow("plain") << QByteArray("<calls count=\"2\"><call number=\"1\" date=\"2\" duration=\"3\" type=\"1\" name=\"A &amp; B\"/>"
                                         "<call number=\"1\" date=\"5\" duration=\"0\" type=\"3\"/></calls>")
                           << true << 2 << "A & B";
    QTest::newRow("base64 name") << QByteArray("<calls><call number=\"1\" name_base64=\"QQFC\"/></calls>")
                                 << true << 1 << QString::fromUtf8("A\x01" "B");
    QTest::newRow("other elements skipped") << QByteArray("<?xml version=\"1.0\"?><calls><note>x</note><call number=\"9\" name=\"N\"/></calls>")
                                            << true << 1 << "N";
    QTest::newRow("empty log") << QByteArray("<calls/>") << true << 0 << QString();
    QTest::newRow("broken") << QByteArray("<calls><call number=\"1\"") << false << 0 << QString();
}

void tst_RecordReaders::callLog()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, calls);
    QFETCH(QString, name);
    QList<CallLogReader::Call> list;
    QString strError;
    QCOMPARE(CallLogReader::Read(text, list, &strError), ok);
    QCOMPARE(strError.isEmpty(), ok);
    if (!ok)
        return;
    QCOMPARE(list.size(), calls);
    if (calls)
        QCOMPARE(list.first().Value(QStringLiteral("name")), name);
}

void tst_RecordReaders::samplePhoneRecords()
{
    // Every record of the bundled phone is read, and no two are taken for one.
    auto read = [](const char *szName) {
        QFile file(QStringLiteral(BACKUP_SOURCE_DIR "/samples/phone/records/") + QLatin1String(szName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QSet<QString> setKeys;
    for (const VCardReader::Card &card : VCardReader::Read(read("contacts.vcf")))
        setKeys.insert(VCardReader::Key(card.contact));
    QCOMPARE(setKeys.size(), 40);
    setKeys.clear();
    for (const ICalendarReader::Item &item : ICalendarReader::Read(read("calendar.ics")).listEvents)
        setKeys.insert(ICalendarReader::Key(item.event));
    QCOMPARE(setKeys.size(), 12);
    QList<CallLogReader::Call> listCalls;
    QVERIFY(CallLogReader::Read(read("calllog.xml"), listCalls, nullptr));
    setKeys.clear();
    for (const CallLogReader::Call &call : qAsConst(listCalls))
        setKeys.insert(CallLogReader::Key(call));
    QCOMPARE(setKeys.size(), 30);
}

QTEST_GUILESS_MAIN(tst_RecordReaders)
#include "tst_recordreaders.moc"
