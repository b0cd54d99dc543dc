#include "SimRecordRestore.h"

#include "CallLogReader.h"
#include "ICalendarReader.h"
#include "RecordExporter.h"
#include "RecordXmlWriter.h"
#include "VCardReader.h"
#include "sdk/dvsk_restore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QSettings>

namespace
{
QByteArray WithLineEnd(QByteArray ba)
{
    if (!ba.isEmpty() && !ba.endsWith('\n'))
        ba += "\r\n";
    return ba;
}
} // namespace

SimRecordRestore::Merge SimRecordRestore::Contacts(const QByteArray &baSource, const QByteArray &baPhone)
{
    Merge merge;
    merge.baPhone = WithLineEnd(baPhone);
    QSet<QString> setKeys;
    const QList<VCardReader::Card> listPhone = VCardReader::Read(baPhone);
    for (const VCardReader::Card &card : listPhone)
        setKeys.insert(VCardReader::Key(card.contact));
    merge.nBefore = merge.nAfter = int(listPhone.size());
    for (const VCardReader::Card &card : VCardReader::Read(baSource)) {
        if (setKeys.contains(VCardReader::Key(card.contact))) {
            ++merge.nSkipped;
            continue;
        }
        setKeys.insert(VCardReader::Key(card.contact));
        merge.baPhone += card.baRaw;
        ++merge.nAfter;
    }
    return merge;
}

SimRecordRestore::Merge SimRecordRestore::Calendar(const QByteArray &baSource, const QByteArray &baPhone)
{
    Merge merge;
    const ICalendarReader::Calendar phone = ICalendarReader::Read(baPhone);
    const ICalendarReader::Calendar source = ICalendarReader::Read(baSource);
    QSet<QString> setKeys;
    for (const ICalendarReader::Item &item : phone.listEvents)
        setKeys.insert(ICalendarReader::Key(item.event));
    merge.nBefore = merge.nAfter = int(phone.listEvents.size());
    QByteArray baZones;
    QByteArray baEvents;
    QSet<QString> setZones(phone.hashZones.keyBegin(), phone.hashZones.keyEnd());
    for (const ICalendarReader::Item &item : source.listEvents) {
        if (setKeys.contains(ICalendarReader::Key(item.event))) {
            ++merge.nSkipped;
            continue;
        }
        setKeys.insert(ICalendarReader::Key(item.event));
        baEvents += item.baRaw;
        ++merge.nAfter;
        // The zones its times name travel with it.
        for (const QString &strZone : item.listZoneIds) {
            if (!setZones.contains(strZone) && source.hashZones.contains(strZone)) {
                setZones.insert(strZone);
                baZones += source.hashZones.value(strZone);
            }
        }
    }
    const qsizetype nEnd = baPhone.toUpper().lastIndexOf("END:VCALENDAR");
    if (nEnd < 0) {
        merge.baPhone = WithLineEnd(baPhone);
        if (baPhone.trimmed().isEmpty())
            merge.baPhone = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Pelorix//Simulated phone//EN\r\n";
        merge.baPhone += baZones + baEvents + "END:VCALENDAR\r\n";
    } else {
        merge.baPhone = baPhone.left(nEnd) + baZones + baEvents + baPhone.mid(nEnd);
    }
    return merge;
}

SimRecordRestore::Merge SimRecordRestore::Calls(const QByteArray &baSource, const QByteArray &baPhone)
{
    Merge merge;
    QList<CallLogReader::Call> listPhone;
    QList<CallLogReader::Call> listSource;
    if (!CallLogReader::Read(baSource, listSource, &merge.strError))
        return merge;
    QString strPhoneError;
    if (!baPhone.trimmed().isEmpty() && !CallLogReader::Read(baPhone, listPhone, &strPhoneError)) {
        merge.strError = QStringLiteral("the phone's call log is damaged: ") + strPhoneError;
        return merge;
    }
    QSet<QString> setKeys;
    for (const CallLogReader::Call &call : qAsConst(listPhone))
        setKeys.insert(CallLogReader::Key(call));
    merge.nBefore = int(listPhone.size());
    for (const CallLogReader::Call &call : qAsConst(listSource)) {
        if (setKeys.contains(CallLogReader::Key(call))) {
            ++merge.nSkipped;
            continue;
        }
        setKeys.insert(CallLogReader::Key(call));
        listPhone << call;
    }
    merge.nAfter = int(listPhone.size());
    QBuffer buffer(&merge.baPhone);
    buffer.open(QIODevice::WriteOnly);
    RecordXmlWriter writer(&buffer);
    writer.Begin(QStringLiteral("calls"), {{QStringLiteral("count"), QString::number(listPhone.size())}});
    for (const CallLogReader::Call &call : qAsConst(listPhone))
        writer.Element(QStringLiteral("call"), call.listAttributes);
    writer.End();
    return merge;
}

bool SimRecordRestore::UpdatePhoneIni(const PhoneConfig &config, int nType, const QString &strFile, int nAdded)
{
    QSettings settings(config.Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
    settings.beginGroup(PhoneConfig::SectionOf(nType));
    if (settings.value(QStringLiteral("file")).toString().isEmpty())
        settings.setValue(QStringLiteral("file"), strFile);
    settings.setValue(QStringLiteral("count"), settings.value(QStringLiteral("count")).toInt() + nAdded);
    if (settings.contains(QStringLiteral("backupCount")))
        settings.setValue(QStringLiteral("backupCount"), settings.value(QStringLiteral("backupCount")).toInt() + nAdded);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

int SimRecordRestore::Restore(const PhoneConfig &config, int nType, const QString &strLocalFile, Counts *pCounts,
                              QString *pMessage)
{
    QFile source(strLocalFile);
    if (!source.open(QIODevice::ReadOnly)) {
        *pMessage = QStringLiteral("cannot read %1: %2").arg(strLocalFile, source.errorString());
        return DVSK_DEV_ERR_LOCAL_FILE;
    }
    const QByteArray baSource = source.readAll();
    QString strFile = config.Records(nType).strFile;
    if (strFile.isEmpty())
        strFile = QStringLiteral("records/") + RecordExporter::FileName(nType);
    const QString strHost = config.FileInPhone(strFile);
    if (strHost.isEmpty() || !QDir().mkpath(QFileInfo(strHost).absolutePath())) {
        *pMessage = QStringLiteral("the phone cannot keep its records in %1").arg(strFile);
        return DVSK_DEV_ERR_PHONE_IO;
    }
    QFile phoneFile(strHost);
    const QByteArray baPhone = phoneFile.open(QIODevice::ReadOnly) ? phoneFile.readAll() : QByteArray();
    phoneFile.close();
    const Merge merge = nType == 0 ? Contacts(baSource, baPhone)
                      : nType == 2 ? Calendar(baSource, baPhone) : Calls(baSource, baPhone);
    if (!merge.strError.isEmpty()) {
        *pMessage = merge.strError;
        return DVSK_DEV_ERR_LOCAL_FILE;
    }
    pCounts->nSkipped = merge.nSkipped;
    if (merge.nAfter == merge.nBefore && QFileInfo::exists(strHost))
        return 0;
    QSaveFile save(strHost);
    if (!save.open(QIODevice::WriteOnly) || save.write(merge.baPhone) != merge.baPhone.size() || !save.commit()
        || !UpdatePhoneIni(config, nType, strFile, merge.nAfter - merge.nBefore)) {
        *pMessage = QStringLiteral("the phone could not store its records in %1").arg(strFile);
        return DVSK_DEV_ERR_PHONE_IO;
    }
    pCounts->nRestored = merge.nAfter - merge.nBefore;
    return 0;
}
