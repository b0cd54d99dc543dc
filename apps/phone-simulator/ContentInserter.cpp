#include "ContentInserter.h"

#include "AdbPhone.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSettings>

#include <cstring>

namespace
{
const int kCallLogSdk = 31;

QString Authority(const QString &strUri)
{
    return strUri.mid(int(strlen("content://"))).section(QLatin1Char('/'), 0, 0);
}

QByteArray ProviderError(const QString &strUri, const QString &strException)
{
    return "Error while accessing provider:" + Authority(strUri).toUtf8() + '\n' + strException.toUtf8() + '\n';
}
} // namespace

ContentInserter::ContentInserter(const AdbPhone &phone) : m_phone(phone)
{
}

bool ContentInserter::ParseBind(const QString &strBind, Bind *pBind, QString *pError)
{
    // COLUMN:TYPE:VALUE; the value is everything after the second colon.
    const qsizetype nFirst = strBind.indexOf(QLatin1Char(':'));
    const qsizetype nSecond = nFirst < 0 ? -1 : strBind.indexOf(QLatin1Char(':'), nFirst + 1);
    if (nFirst <= 0 || nSecond < 0) {
        *pError = QStringLiteral("Error: Invalid binding: %1").arg(strBind);
        return false;
    }
    pBind->strColumn = strBind.left(nFirst);
    const QString strType = strBind.mid(nFirst + 1, nSecond - nFirst - 1);
    const QString strValue = strBind.mid(nSecond + 1);
    bool bOk = true;
    if (strType == QLatin1String("s"))
        pBind->value = strValue;
    else if (strType == QLatin1String("i") || strType == QLatin1String("l"))
        pBind->value = double(strValue.toLongLong(&bOk));
    else if (strType == QLatin1String("f") || strType == QLatin1String("d"))
        pBind->value = strValue.toDouble(&bOk);
    else if (strType == QLatin1String("b"))
        pBind->value = strValue.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || strValue == QLatin1String("1") ? 1 : 0;
    else if (strType == QLatin1String("n"))
        pBind->value = QJsonValue(QJsonValue::Null);
    else
        bOk = false;
    if (!bOk)
        *pError = QStringLiteral("Error: Invalid binding value: %1").arg(strBind);
    return bOk;
}

QStringList ContentInserter::DefaultColumns(const QString &strUri)
{
    const QString strTable = strUri.section(QLatin1Char('?'), 0, 0);
    QStringList listData {QStringLiteral("_id"), QStringLiteral("raw_contact_id"), QStringLiteral("contact_id"),
                          QStringLiteral("is_primary"), QStringLiteral("mimetype")};
    for (int i = 1; i <= 15; ++i)
        listData << QStringLiteral("data%1").arg(i);
    if (strTable == QLatin1String("content://com.android.contacts/raw_contacts"))
        return {QStringLiteral("_id"), QStringLiteral("deleted"), QStringLiteral("account_name"),
                QStringLiteral("account_type"), QStringLiteral("sourceid")};
    if (strTable == QLatin1String("content://com.android.contacts/data"))
        return listData;
    if (strTable == QLatin1String("content://com.android.calendar/calendars"))
        return {QStringLiteral("_id"), QStringLiteral("name"), QStringLiteral("calendar_displayName"),
                QStringLiteral("account_name"), QStringLiteral("account_type"), QStringLiteral("calendar_access_level"),
                QStringLiteral("ownerAccount"), QStringLiteral("visible")};
    if (strTable == QLatin1String("content://com.android.calendar/events"))
        return {QStringLiteral("_id"), QStringLiteral("calendar_id"), QStringLiteral("deleted"), QStringLiteral("dtstart"),
                QStringLiteral("dtend"), QStringLiteral("allDay"), QStringLiteral("eventTimezone"),
                QStringLiteral("eventEndTimezone"), QStringLiteral("duration"), QStringLiteral("rrule"),
                QStringLiteral("rdate"), QStringLiteral("exrule"), QStringLiteral("exdate"), QStringLiteral("title"),
                QStringLiteral("eventLocation"), QStringLiteral("description")};
    if (strTable == QLatin1String("content://com.android.calendar/reminders"))
        return {QStringLiteral("_id"), QStringLiteral("event_id"), QStringLiteral("minutes"), QStringLiteral("method")};
    if (strTable == QLatin1String("content://call_log/calls"))
        return {QStringLiteral("_id"), QStringLiteral("date"), QStringLiteral("duration"), QStringLiteral("type"),
                QStringLiteral("new"), QStringLiteral("number"), QStringLiteral("name")};
    return {};
}

QString ContentInserter::TableFile(const QString &strUri) const
{
    const QDir dir(m_phone.Config().Dir() + QStringLiteral("/providers"));
    for (const QString &strName : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(strName));
        if (file.open(QIODevice::ReadOnly)
            && QJsonDocument::fromJson(file.readAll()).object().value(QLatin1String("uri")).toString() == strUri)
            return file.fileName();
    }
    QString strName = strUri.mid(int(strlen("content://")));
    for (QChar &c : strName) {
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    }
    return dir.filePath(strName + QStringLiteral(".json"));
}

bool ContentInserter::IsDenied(const QString &strUri) const
{
    const QSettings ini(m_phone.Config().Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
    for (const QString &strDenied : ini.value(QStringLiteral("faults/contentDenied")).toStringList()) {
        const QString str = strDenied.trimmed();
        if (!str.isEmpty() && (strUri == str || strUri.startsWith(str + QLatin1Char('/'))))
            return true;
    }
    return false;
}

QJsonObject ContentInserter::LoadTable(const QString &strPath, const QString &strUri, QString *pError)
{
    QJsonObject table;
    QFile file(strPath);
    if (file.open(QIODevice::ReadOnly))
        table = QJsonDocument::fromJson(file.readAll()).object();
    if (table.contains(QLatin1String("uri")))
        return table;
    const QStringList listColumns = DefaultColumns(strUri);
    if (listColumns.isEmpty()) {
        *pError = QStringLiteral("java.lang.IllegalArgumentException: Unknown URL %1").arg(strUri);
        return QJsonObject();
    }
    table.insert(QLatin1String("uri"), strUri);
    table.insert(QLatin1String("columns"), QJsonArray::fromStringList(listColumns));
    return table;
}

bool ContentInserter::AddRow(const QString &strUri, const QList<Bind> &listBinds, QString *pError)
{
    const QString strPath = TableFile(strUri);
    QJsonObject table = LoadTable(strPath, strUri, pError);
    if (table.isEmpty())
        return false;
    QJsonArray columns = table.value(QLatin1String("columns")).toArray();
    QJsonArray rows = table.value(QLatin1String("rows")).toArray();
    QStringList listColumns;
    for (const QJsonValue &column : qAsConst(columns))
        listColumns << column.toString();
    // A column the table lacks is added, empty in the rows before.
    for (const Bind &bind : listBinds) {
        if (listColumns.contains(bind.strColumn))
            continue;
        listColumns << bind.strColumn;
        columns.append(bind.strColumn);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QJsonArray row = rows.at(i).toArray();
            row.append(QJsonValue::Null);
            rows.replace(i, row);
        }
    }
    qint64 nId = 0;
    const qsizetype nIdColumn = listColumns.indexOf(QStringLiteral("_id"));
    for (const QJsonValue &row : qAsConst(rows))
        nId = qMax(nId, qint64(row.toArray().at(nIdColumn).toDouble()));
    QJsonArray row;
    for (const QString &strColumn : qAsConst(listColumns)) {
        QJsonValue value = strColumn == QLatin1String("_id") ? QJsonValue(double(nId + 1))
                         : strColumn == QLatin1String("deleted") ? QJsonValue(0) : QJsonValue(QJsonValue::Null);
        for (const Bind &bind : listBinds) {
            if (bind.strColumn == strColumn)
                value = bind.value;
        }
        // A new raw contact is its own contact.
        for (const Bind &bind : listBinds) {
            if (strColumn == QLatin1String("contact_id") && value.isNull()
                && bind.strColumn == QLatin1String("raw_contact_id"))
                value = bind.value;
        }
        row.append(value);
    }
    rows.append(row);
    table.insert(QLatin1String("columns"), columns);
    table.insert(QLatin1String("rows"), rows);
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QSaveFile save(strPath);
    const QByteArray baJson = QJsonDocument(table).toJson(QJsonDocument::Compact);
    if (!save.open(QIODevice::WriteOnly) || save.write(baJson) != baJson.size() || !save.commit()) {
        *pError = QStringLiteral("android.database.sqlite.SQLiteFullException: database or disk is full");
        return false;
    }
    return true;
}

int ContentInserter::Insert(const QStringList &listArgs, QByteArray *pOut, QByteArray *pErr)
{
    Q_UNUSED(pOut);
    QString strUri;
    QList<Bind> listBinds;
    for (qsizetype i = 0; i < listArgs.size(); ++i) {
        const QString &strArg = listArgs.at(i);
        QString strError;
        if (strArg == QLatin1String("--uri") && i + 1 < listArgs.size()) {
            strUri = listArgs.at(++i);
        } else if (strArg == QLatin1String("--user") && i + 1 < listArgs.size()) {
            ++i;
        } else if (strArg == QLatin1String("--bind") && i + 1 < listArgs.size()) {
            Bind bind;
            if (!ParseBind(listArgs.at(++i), &bind, &strError)) {
                *pErr += strError.toUtf8() + '\n';
                return 1;
            }
            listBinds << bind;
        } else {
            *pErr += "Error: Unsupported argument: " + strArg.toUtf8() + '\n';
            return 1;
        }
    }
    if (!strUri.startsWith(QLatin1String("content://")) || listBinds.isEmpty()) {
        *pErr += "Error: Content provider URI and bindings are required\n";
        return 1;
    }
    const QString strTable = strUri.section(QLatin1Char('?'), 0, 0);
    const QString strAuthority = Authority(strTable);
    // The shell's WRITE_SMS app-op is "ignored": the insert vanishes.
    if (strAuthority == QLatin1String("sms") || strAuthority == QLatin1String("mms") || strAuthority == QLatin1String("mms-sms"))
        return 0;
    if (IsDenied(strTable) || (strAuthority == QLatin1String("call_log") && m_phone.Sdk() < kCallLogSdk)) {
        *pErr += ProviderError(strTable, QStringLiteral("java.lang.SecurityException: Permission Denial: writing %1 "
                                                        "from pid=4242, uid=2000 requires %2, or grantUriPermission()")
                                       .arg(strTable, strAuthority == QLatin1String("call_log")
                                                    ? QStringLiteral("android.permission.WRITE_CALL_LOG")
                                                    : QStringLiteral("the provider's write permission")));
        return 0;
    }
    QString strError;
    if (!AddRow(strTable, listBinds, &strError))
        *pErr += ProviderError(strTable, strError);
    return 0;
}
