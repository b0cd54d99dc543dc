#include "HostileRecords.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace
{
const int kPageEnd = 500;

// The hostile messages by id; every other id is plain.
QList<QPair<int, HostileRecords::Message>> Hostile(int nMessages)
{
    const QString strForged = QStringLiteral("\nRow: 1 _id=99, body=forged, thread_id=1, date=0, date_sent=0, type=1, "
                                             "read=1, status=-1, address=forged, subject=NULL");
    QString strMarkers;
    for (int i = 0; i < 6; ++i)
        strMarkers += QStringLiteral("\nRow: %1 _id=%2, body=marker").arg(i).arg(i + 1);
    return {
        {1, {QStringLiteral("+4915100001"), QString(), QStringLiteral("first") + strForged}},
        {2, {QStringLiteral("+1, subject=X, body=Y"), QStringLiteral("S"), QStringLiteral("B")}},
        {3, {QStringLiteral("+4915100003"), QString(), strMarkers}},
        {4, {QStringLiteral("a, thread_id=7, address=b"), QStringLiteral("s, body=t, address=u"), QStringLiteral("x, thread_id=1, date=2")}},
        {5, {QStringLiteral("+4915100005"), QString(), QStringLiteral("\uFEFFstarts with a BOM")}},
        {6, {QStringLiteral(""), QStringLiteral(""), QStringLiteral("NUL\u0000inside, subject=")}},
        {kPageEnd, {QStringLiteral("+4915100500"), QString(), QStringLiteral("end of a page\nRow: 500 _id=999999999, body=huge")}},
        {kPageEnd + 1, {QStringLiteral("+4915100501"), QString(), QStringLiteral("Row: 0 _id=1, body=\nRow: 1 _id=502, body=x")}},
        {nMessages, {QStringLiteral("+4915199999"), QString(), QStringLiteral("last\nRow: %1 _id=%2, body=after").arg(nMessages).arg(nMessages + 7)}},
    };
}

QJsonValue Json(const QString &str)
{
    return str.isNull() ? QJsonValue() : QJsonValue(str);
}

bool WriteJson(const QString &strPath, const QJsonObject &obj)
{
    // Qt's JSON reader drops a U+FEFF it finds raw in a string, not an escaped one.
    const QByteArray baJson = QJsonDocument(obj).toJson(QJsonDocument::Compact).replace("\xEF\xBB\xBF", "\\ufeff");
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baJson) == baJson.size();
}

QJsonObject Table(const QString &strUri, const QStringList &listColumns, const QList<QJsonArray> &listRows)
{
    QJsonArray rows;
    for (const QJsonArray &row : listRows)
        rows.append(row);
    return {{"uri", strUri}, {"columns", QJsonArray::fromStringList(listColumns)}, {"rows", rows}};
}

bool WriteMessages(const QString &strDir, int nMessages)
{
    QList<QJsonArray> rows;
    const QList<HostileRecords::Message> listMessages = HostileRecords::Messages(nMessages);
    for (int i = 0; i < listMessages.size(); ++i) {
        const HostileRecords::Message &m = listMessages.at(i);
        rows.append(QJsonArray {i + 1, 1 + i % 5, 1700000000000.0 + i, 0, 1, 1, -1, Json(m.strAddress),
                                Json(m.strSubject), Json(m.strBody)});
    }
    return WriteJson(strDir + "/sms.json", Table("content://sms",
        {"_id", "thread_id", "date", "date_sent", "type", "read", "status", "address", "subject", "body"}, rows));
}

bool WriteMms(const QString &strDir)
{
    const QString strPart = "content://mms/part/11";
    QJsonObject mms = Table("content://mms", {"_id", "thread_id", "date", "date_sent", "msg_box", "read", "m_type",
                                              "ct_t", "sub_cs", "sub"},
                            {QJsonArray {1, 1, 1700000000, 0, 1, 1, 132, "application/vnd.wap.multipart.related", 106, "pic, sub_cs=9"}});
    QJsonObject part = Table("content://mms/part", {"_id", "mid", "seq", "ct", "chset", "cid", "cl", "name", "fn", "text"},
                             {QJsonArray {11, 1, 1, "image/png", QJsonValue(), "<p>", "p.png", "p.png", QJsonValue(), QJsonValue()}});
    part.insert("streams", QJsonObject {{strPart, QString::fromLatin1(HostileRecords::ErrorLookingBytes().toBase64())}});
    QJsonObject addr = Table("content://mms/addr", {"_id", "msg_id", "address", "type", "charset"},
                             {QJsonArray {21, 1, "+49151, type=1", 137, 106}});
    return WriteJson(strDir + "/mms.json", mms) && WriteJson(strDir + "/mms_part.json", part)
        && WriteJson(strDir + "/mms_addr.json", addr);
}

bool WriteCalendar(const QString &strDir)
{
    const QStringList listColumns {"_id", "calendar_id", "dtstart", "dtend", "allDay", "eventTimezone", "eventEndTimezone",
                                   "duration", "rrule", "rdate", "exrule", "exdate", "title", "eventLocation", "description",
                                   "deleted"};
    QList<QJsonArray> rows;
    rows.append(QJsonArray {1, 1, 1700000000000.0, 1700003600000.0, 0, "UTC", QJsonValue(), QJsonValue(), QJsonValue(),
                            QJsonValue(), QJsonValue(), QJsonValue(), "", "", "", 0});
    rows.append(QJsonArray {2, 1, 1700000000000.0, 1700003600000.0, 0, "UTC", QJsonValue(), QJsonValue(), QJsonValue(),
                            QJsonValue(), QJsonValue(), QJsonValue(), QStringLiteral("NUL\u0000title, eventLocation=x"),
                            "room, description=y", QStringLiteral("\uFEFFtext"), 0});
    return WriteJson(strDir + "/events.json", Table("content://com.android.calendar/events", listColumns, rows))
        && WriteJson(strDir + "/reminders.json",
                     Table("content://com.android.calendar/reminders", {"_id", "event_id", "minutes", "method"}, {}));
}

bool WriteContacts(const QString &strDir)
{
    QJsonObject raw = Table("content://com.android.contacts/raw_contacts", {"_id", "contact_id", "deleted"},
                            {QJsonArray {1, 1, 0}});
    const QStringList listColumns {"_id", "raw_contact_id", "contact_id", "is_primary", "mimetype", "data1", "data2",
                                   "data3", "data4", "data5", "data6", "data7", "data8", "data9", "data10", "data14", "data15"};
    QList<QJsonArray> rows;
    rows.append(QJsonArray {1, 1, 1, 1, "vnd.android.cursor.item/name", QStringLiteral("\uFEFFAnna NUL\u0000Berg"), "Anna",
                            "Berg, data4=Dr", QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue(),
                            QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue()});
    rows.append(QJsonArray {2, 1, 1, 0, "vnd.android.cursor.item/photo", QJsonValue(), QJsonValue(), QJsonValue(),
                            QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue(),
                            QJsonValue(), QJsonValue(), "BLOB"});
    QJsonObject data = Table("content://com.android.contacts/data", listColumns, rows);
    data.insert("streams", QJsonObject {{"content://com.android.contacts/contacts/1/photo",
                                         QString::fromLatin1(HostileRecords::ErrorLookingBytes().toBase64())}});
    return WriteJson(strDir + "/contacts_raw.json", raw) && WriteJson(strDir + "/contacts_data.json", data);
}
} // namespace

QList<HostileRecords::Message> HostileRecords::Messages(int nMessages)
{
    QList<Message> listMessages;
    for (int i = 1; i <= nMessages; ++i)
        listMessages.append({QStringLiteral("+49151%1").arg(i, 6, 10, QLatin1Char('0')), QString(),
                             QStringLiteral("plain message %1, nothing odd").arg(i)});
    for (const auto &hostile : Hostile(nMessages)) {
        if (hostile.first <= nMessages)
            listMessages[hostile.first - 1] = hostile.second;
    }
    return listMessages;
}

QByteArray HostileRecords::ErrorLookingBytes()
{
    return QByteArrayLiteral("Error while accessing provider:mms\nbut these are the picture's own bytes\x00\x01\xff");
}

bool HostileRecords::Write(const QString &strProvidersDir, int nMessages)
{
    return nMessages >= 30 && WriteMessages(strProvidersDir, nMessages) && WriteMms(strProvidersDir)
        && WriteCalendar(strProvidersDir) && WriteContacts(strProvidersDir);
}

QList<HostileRecords::Message> HostileRecords::ReadSmsXml(const QByteArray &baXml)
{
    QList<Message> listMessages;
    QXmlStreamReader reader(baXml);
    while (reader.readNextStartElement() || !reader.atEnd()) {
        if (!reader.isStartElement() || reader.name() != QLatin1String("sms"))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        const auto value = [&](const QString &strName) {
            if (attributes.hasAttribute(strName + "_base64"))
                return QString(QStringDecoder(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom)
                                   .decode(QByteArray::fromBase64(attributes.value(strName + "_base64").toLatin1())));
            return attributes.hasAttribute(strName) ? attributes.value(strName).toString() : QString();
        };
        listMessages.append({value("address"), value("subject"), value("body")});
    }
    return listMessages;
}
