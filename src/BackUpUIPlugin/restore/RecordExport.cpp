#include "RecordExport.h"

#include "BackupKinds.h"
#include "FolderMaker.h"
#include "RestoreSource.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace
{
const char kMessagesName[] = "messages.xml";

// The name a kind's file takes for a format, empty when the format is not
// the one that kind is known by.
QString ExportName(int nCode, RecordExport::Format format)
{
    using F = RecordExport::Format;
    if (nCode == MODULE_PB && format == F::VCard)
        return QStringLiteral("contacts.vcf");
    if (nCode == MODULE_CALENDAR && format == F::ICalendar)
        return QStringLiteral("calendar.ics");
    if (nCode == MODULE_CALLLOG && format == F::CallLogXml)
        return QStringLiteral("call-log.xml");
    if ((nCode == MODULE_SMS && format == F::SmsXml) || (nCode == MODULE_MMS && format == F::MmsXml))
        return QLatin1String(kMessagesName);
    return QString();
}

QString Describe(const BackupKind &kind, quint32 nCount, const QString &strName)
{
    const QString strWhat = QStringLiteral("%1 (%2 in the backup)").arg(QLatin1String(kind.szToolName)).arg(nCount);
    if (strName == QLatin1String(kMessagesName))
        return strWhat + QStringLiteral(", as <sms> or <mms> elements");
    if (strName == QLatin1String(kind.szResultFile))
        return strWhat + QStringLiteral(", the file as the phone wrote it");
    return strWhat;
}

// Copies the children of a document's root element into the writer.
bool CopyChildren(QXmlStreamReader &reader, QXmlStreamWriter &writer)
{
    if (!reader.readNextStartElement())
        return false;
    int nDepth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            ++nDepth;
            writer.writeStartElement(reader.name().toString());
            writer.writeAttributes(reader.attributes());
        } else if (reader.isEndElement()) {
            if (nDepth-- == 0)
                break;
            writer.writeEndElement();
        } else if (reader.isCharacters() && !reader.isWhitespace()) {
            writer.writeCharacters(reader.text().toString());
        }
    }
    return !reader.hasError();
}
} // namespace

RecordExport::Format RecordExport::Detect(const QString &strFile)
{
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly))
        return Format::Other;
    QByteArray baHead = file.read(4096);
    if (baHead.startsWith("\xEF\xBB\xBF"))
        baHead.remove(0, 3);
    baHead = baHead.trimmed();
    if (baHead.toUpper().startsWith("BEGIN:VCARD"))
        return Format::VCard;
    if (baHead.toUpper().startsWith("BEGIN:VCALENDAR"))
        return Format::ICalendar;
    QXmlStreamReader reader(baHead);
    if (!baHead.startsWith('<') || !reader.readNextStartElement())
        return Format::Other;
    if (reader.name() == QLatin1String("calls"))
        return Format::CallLogXml;
    if (reader.name() == QLatin1String("smses"))
        return Format::SmsXml;
    if (reader.name() == QLatin1String("mmses"))
        return Format::MmsXml;
    return Format::Other;
}

bool RecordExport::Export(const RestoreSource &source, const QString &strDir, QStringList &listWritten,
                          QString &strError)
{
    QString strReason;
    if (!FolderMaker::MakePath(strDir, strReason)) {
        strError = QStringLiteral("cannot create the folder %1: %2").arg(strDir, strReason);
        return false;
    }
    QStringList listMessageFiles;
    QStringList listReadme{QStringLiteral("Records of the backup %1 (phone: %2)").arg(source.PackagePath(), source.DeviceName()),
                           QString()};
    for (const BackupKind &kind : BackupKinds::All()) {
        const QString strFile = source.RecordFile(kind);
        if (strFile.isEmpty())
            continue;
        QString strName = ExportName(kind.nCode, Detect(strFile));
        if (strName == QLatin1String(kMessagesName))
            listMessageFiles << strFile;
        else if (strName.isEmpty())
            strName = QLatin1String(kind.szResultFile);
        if (strName != QLatin1String(kMessagesName) && !CopyFile(strFile, QDir(strDir).filePath(strName), strError))
            return false;
        if (!listWritten.contains(strName))
            listWritten << strName;
        listReadme << QStringLiteral("%1  %2").arg(strName, -14).arg(Describe(kind, source.Count(kind), strName));
    }
    if (!listMessageFiles.isEmpty()
        && !WriteMessages(listMessageFiles, QDir(strDir).filePath(QLatin1String(kMessagesName)), strError))
        return false;
    listReadme << QString()
               << QStringLiteral("Images, videos, audio and applications are in the backup folder beside the "
                                 "package, as they were on the phone.");
    listWritten << QStringLiteral("README.txt");
    return WriteText(QDir(strDir).filePath(QStringLiteral("README.txt")), listReadme.join(QLatin1Char('\n')) + '\n',
                     strError);
}

bool RecordExport::CopyFile(const QString &strFrom, const QString &strTo, QString &strError)
{
    QFile from(strFrom);
    QSaveFile to(strTo);
    if (!from.open(QIODevice::ReadOnly) || !to.open(QIODevice::WriteOnly)) {
        strError = QStringLiteral("cannot write %1: %2").arg(strTo, to.errorString());
        return false;
    }
    while (!from.atEnd()) {
        const QByteArray baChunk = from.read(1024 * 1024);
        if (baChunk.isEmpty() || to.write(baChunk) != baChunk.size()) {
            strError = QStringLiteral("cannot write %1: %2").arg(strTo, to.errorString());
            return false;
        }
    }
    if (!to.commit()) {
        strError = QStringLiteral("cannot write %1: %2").arg(strTo, to.errorString());
        return false;
    }
    return true;
}

bool RecordExport::WriteMessages(const QStringList &listFiles, const QString &strTo, QString &strError)
{
    QSaveFile to(strTo);
    if (!to.open(QIODevice::WriteOnly)) {
        strError = QStringLiteral("cannot write %1: %2").arg(strTo, to.errorString());
        return false;
    }
    QXmlStreamWriter writer(&to);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("messages"));
    for (const QString &strFile : listFiles) {
        QFile from(strFile);
        QXmlStreamReader reader(&from);
        if (!from.open(QIODevice::ReadOnly) || !CopyChildren(reader, writer)) {
            strError = QStringLiteral("cannot read the messages of the backup: %1").arg(reader.errorString());
            return false;
        }
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    if (writer.hasError() || !to.commit()) {
        strError = QStringLiteral("cannot write %1: %2").arg(strTo, to.errorString());
        return false;
    }
    return true;
}

bool RecordExport::WriteText(const QString &strTo, const QString &strText, QString &strError)
{
    QSaveFile to(strTo);
    const QByteArray baText = strText.toUtf8();
    if (!to.open(QIODevice::WriteOnly) || to.write(baText) != baText.size() || !to.commit()) {
        strError = QStringLiteral("cannot write %1: %2").arg(strTo, to.errorString());
        return false;
    }
    return true;
}
