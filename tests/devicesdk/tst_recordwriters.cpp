#include "ContentLineFormat.h"
#include "ICalendarWriter.h"
#include "RecordXmlWriter.h"
#include "VCardWriter.h"

#include <QtTest>

class tst_RecordWriters : public QObject
{
    Q_OBJECT

private slots:
    void fold_data();
    void fold();
    void escapeText();
    void duration_data();
    void duration();
    void eventTimes_data();
    void eventTimes();
    void xmlKeepsEveryText();
};

void tst_RecordWriters::fold_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("ascii") << QString(200, QLatin1Char('a'));
    QTest::newRow("two-byte letters across the fold") << QStringLiteral("x") + QString(100, QChar(0x0436));
    QTest::newRow("emoji across the fold") << QStringLiteral("ab") + QStringLiteral("😀").repeated(60);
    QTest::newRow("right to left") << QStringLiteral("مرحبا بالعالم، ").repeated(12);
    QTest::newRow("exactly 75 octets") << QString(75 - 5, QLatin1Char('b'));
}

void tst_RecordWriters::fold()
{
    QFETCH(QString, value);
    const QByteArray baLine = ContentLineFormat::Line(QStringLiteral("NOTE"), value);
    QVERIFY(baLine.endsWith("\r\n"));
    const QList<QByteArray> listLines = baLine.chopped(2).split('\n');
    QByteArray baJoined;
    for (int i = 0; i < listLines.size(); ++i) {
        QByteArray baPiece = listLines.at(i);
        if (i + 1 < listLines.size()) {
            QVERIFY(baPiece.endsWith('\r'));
            baPiece.chop(1);
        }
        QVERIFY2(baPiece.size() <= 75, baPiece.constData());
        if (i > 0) {
            QVERIFY(baPiece.startsWith(' '));
            baPiece.remove(0, 1);
        }
        // Every physical line is valid UTF-8 on its own: no character was split.
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString strPiece = decoder(baPiece);
        QVERIFY2(!decoder.hasError(), baPiece.toHex().constData());
        Q_UNUSED(strPiece);
        baJoined += baPiece;
    }
    QCOMPARE(QString::fromUtf8(baJoined), QStringLiteral("NOTE:") + value);
    QCOMPARE(listLines.size() == 1, baLine.size() - 2 <= 75);
}

void tst_RecordWriters::escapeText()
{
    QCOMPARE(ContentLineFormat::EscapeText(QStringLiteral("a,b;c\\d\ne\r\nf\rg:h")), QStringLiteral("a\\,b\\;c\\\\d\\ne\\nf\\ng:h"));
    QCOMPARE(ContentLineFormat::JoinParts({QStringLiteral("Smith; Jr"), QString(), QStringLiteral("A,B")}), QStringLiteral("Smith\\; Jr;;A\\,B"));
    QCOMPARE(ContentLineFormat::ParamValue(QStringLiteral("Europe/Berlin")), QStringLiteral("Europe/Berlin"));
    QCOMPARE(ContentLineFormat::ParamValue(QStringLiteral("a:\"b\";c")), QStringLiteral("\"a:b;c\""));

    VCardWriter::Contact contact;
    contact.strFormattedName = QStringLiteral("A, B");
    contact.strFamily = QStringLiteral("B;");
    contact.listPhones.append({QStringLiteral("WORK,FAX"), QStringLiteral("+1 555")});
    contact.baPhoto = QByteArray("\x89PNG\r\n", 6);
    QCOMPARE(VCardWriter::Format(contact),
             QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:B\\;;;;;\r\nFN:A\\, B\r\nTEL;TYPE=WORK,FAX:+1 555\r\n"
                        "PHOTO;ENCODING=b;TYPE=PNG:iVBORw0K\r\nEND:VCARD\r\n"));
}

void tst_RecordWriters::duration_data()
{
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("ical");
    QTest::newRow("seconds without T") << "P3600S" << "PT3600S";
    QTest::newRow("a day") << "P1D" << "P1D";
    QTest::newRow("weeks") << "P2W" << "P2W";
    QTest::newRow("weeks and days become days") << "P1W2D" << "P9D";
    QTest::newRow("days and time") << "P1DT2H30M" << "P1DT2H30M";
    QTest::newRow("negative") << "-PT15M" << "-PT15M";
    QTest::newRow("not a duration") << "3600" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("nothing after P") << "P" << "";
}

void tst_RecordWriters::duration()
{
    QFETCH(QString, phone);
    QFETCH(QString, ical);
    QCOMPARE(ICalendarWriter::Duration(phone), ical);
}

void tst_RecordWriters::eventTimes_data()
{
    QTest::addColumn<qint64>("startMs");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<bool>("allDay");
    QTest::addColumn<QByteArray>("dtstart");

    QTest::newRow("utc, milliseconds dropped") << qint64(1719835200999) << "UTC" << false << QByteArray("DTSTART:20240701T120000Z");
    QTest::newRow("before 1970 rounds down") << qint64(-1500) << "" << false << QByteArray("DTSTART:19691231T235958Z");
    QTest::newRow("berlin summer time") << qint64(1719835200000) << "Europe/Berlin" << false
                                        << QByteArray("DTSTART;TZID=Europe/Berlin:20240701T140000");
    QTest::newRow("berlin winter time") << qint64(1704067200000) << "Europe/Berlin" << false
                                        << QByteArray("DTSTART;TZID=Europe/Berlin:20240101T010000");
    QTest::newRow("half-hour zone") << qint64(1711962000000) << "Asia/Kolkata" << false
                                    << QByteArray("DTSTART;TZID=Asia/Kolkata:20240401T143000");
    QTest::newRow("unknown zone is utc") << qint64(1719835200000) << "Mars/Olympus" << false << QByteArray("DTSTART:20240701T120000Z");
    QTest::newRow("all day is the utc date") << qint64(1711843200000) << "Pacific/Kiritimati" << true
                                             << QByteArray("DTSTART;VALUE=DATE:20240331");
}

void tst_RecordWriters::eventTimes()
{
    QFETCH(qint64, startMs);
    QFETCH(QString, zone);
    QFETCH(bool, allDay);
    QFETCH(QByteArray, dtstart);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ICalendarWriter writer(&buffer, 0);
    ICalendarWriter::Event event;
    event.strUid = QStringLiteral("1");
    event.nStartMs = startMs;
    event.strTimeZone = zone;
    event.bAllDay = allDay;
    event.strDuration = allDay ? QStringLiteral("P1D") : QStringLiteral("P3600S");
    event.strRrule = QStringLiteral("FREQ=WEEKLY");
    QVERIFY(writer.Begin() && writer.Write(event) && writer.End());
    const QByteArray ba = buffer.data();
    QVERIFY2(ba.contains("\r\n" + dtstart + "\r\n"), ba.constData());
    // Every zone named has its description, reaching the open-ended rule's years.
    const bool bZone = dtstart.contains("TZID=");
    QCOMPARE(ba.contains("BEGIN:VTIMEZONE\r\nTZID:" + zone.toUtf8() + "\r\n"), bZone);
    if (bZone && zone != QLatin1String("Asia/Kolkata"))
        QVERIFY(ba.contains("DTSTART:2037"));
}

void tst_RecordWriters::xmlKeepsEveryText()
{
    const QString strHostile = QStringLiteral("a, b\nc\r\nd\t\"<&>' 👍 مرحبا");
    const QString strControl = QStringLiteral("esc \x1b[0m bell \a");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    RecordXmlWriter writer(&buffer);
    writer.Begin(QStringLiteral("smses"));
    writer.Element(QStringLiteral("sms"), {{"body", strHostile}, {"subject", QString()}, {"address", QString("")}});
    writer.Element(QStringLiteral("sms"), {{"body", strControl}});
    writer.StartElement(QStringLiteral("part"), {});
    QByteArray baBinary;
    for (int i = 0; i < 100000; ++i)
        baBinary.append(char(i * 7));
    // Pieces of every length, as they arrive from the phone.
    for (qsizetype i = 0, n = 1; i < baBinary.size(); i += n, n = n % 7000 + 1)
        writer.AppendBase64(baBinary.mid(i, n));
    writer.EndElement();
    QVERIFY(writer.End());

    QXmlStreamReader reader(buffer.data());
    QList<QXmlStreamAttributes> listSms;
    QByteArray baRead;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("sms"))
            listSms.append(reader.attributes());
        else if (reader.name() == QLatin1String("part"))
            baRead = QByteArray::fromBase64(reader.readElementText().toLatin1());
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(listSms.size(), 2);
    QCOMPARE(listSms.at(0).value("body").toString(), strHostile);
    QVERIFY(!listSms.at(0).hasAttribute("subject")); // NULL is left out
    QVERIFY(listSms.at(0).hasAttribute("address"));  // empty is kept
    QCOMPARE(QString::fromUtf8(QByteArray::fromBase64(listSms.at(1).value("body_base64").toLatin1())), strControl);
    QCOMPARE(baRead, baBinary);
}

QTEST_GUILESS_MAIN(tst_RecordWriters)
#include "tst_recordwriters.moc"
