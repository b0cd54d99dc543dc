#pragma once

#include <QString>
#include <QStringList>

class RestoreSource;

// Writes the records of a backup package into a folder under names other
// programs open: contacts.vcf, calendar.ics, call-log.xml and messages.xml
// (text and multimedia messages in one document), each only where the phone
// wrote that format; any other record file keeps its name in the package.
// A README.txt says what is where.
class RecordExport
{
public:
    enum class Format
    {
        VCard,
        ICalendar,
        CallLogXml,
        SmsXml,
        MmsXml,
        Other
    };

    // False with the reason when a file cannot be written.
    static bool Export(const RestoreSource &source, const QString &strDir, QStringList &listWritten,
                       QString &strError);
    // The format of a record file, from its first bytes.
    static Format Detect(const QString &strFile);

private:
    static bool CopyFile(const QString &strFrom, const QString &strTo, QString &strError);
    static bool WriteMessages(const QStringList &listFiles, const QString &strTo, QString &strError);
    static bool WriteText(const QString &strTo, const QString &strText, QString &strError);
};
