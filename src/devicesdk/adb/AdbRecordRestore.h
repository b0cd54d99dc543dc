#pragma once

#include "CallLogReader.h"
#include "ICalendarWriter.h"
#include "VCardWriter.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

class PhoneShell;

// Puts records back through the shell's "content insert": contacts as local
// raw contacts (no account, as contacts made on the phone itself) with their
// data rows, events into a local calendar that is created as a sync adapter
// with the account type LOCAL, calls into the call log. What the phone holds
// already is read first (as a backup reads it) and skipped. The tool exits 0
// even when an insert fails, so the counts come from the phone: counted
// before and after, the shortfall counted as failed.
class AdbRecordRestore
{
public:
    explicit AdbRecordRestore(PhoneShell &shell);

    int Restore(int nType, const QString &strLocalFile, int *pRestored, int *pSkipped, int *pFailed,
                QString *pMessage);

    // The account name of the restored calendar.
    static const char kCalendarAccount[];
    // "--bind COLUMN:TYPE:VALUE", quoted for the phone's shell (the tool takes
    // everything after the second colon as the value).
    static QString Bind(const QString &strColumn, char cType, const QString &strValue);
    // The data rows of a contact: the binds of each insert, without raw_contact_id.
    static QStringList ContactDataBinds(const VCardWriter::Contact &contact);
    static QString EventBinds(const ICalendarWriter::Event &event, qint64 nCalendarId);
    static QString CallBinds(const CallLogReader::Call &call);

private:
    int Run(const QString &strCommand, QByteArray *pOutput);
    // Runs commands in as few requests as the length limit allows, keeping
    // the phone's error lines.
    int RunAll(const QStringList &listCommands);
    int Count(int nType, int *pCount);
    // The keys of the records on the phone, read as a backup reads them.
    int ExistingKeys(int nType, QSet<QString> *pKeys);
    // The largest _id of a provider (0 when empty), asked in one request
    // after strBefore when that is given.
    int LastId(const QString &strUri, const QString &strBefore, qint64 *pId);
    // Inserts one row and reads back its _id (*pId 0 when the phone took
    // nothing); *pLast is the largest _id known before and after.
    int InsertWithId(const QString &strUri, const QString &strBinds, qint64 *pLast, qint64 *pId);
    int CalendarId(qint64 *pId);
    int RestoreContacts(const QByteArray &baFile, const QSet<QString> &setExisting, int *pSent, int *pSkipped);
    int RestoreEvents(const QByteArray &baFile, const QSet<QString> &setExisting, int *pSent, int *pSkipped);
    int RestoreCalls(const QByteArray &baFile, const QSet<QString> &setExisting, int *pSent, int *pSkipped);
    void KeepErrors(const QByteArray &baOutput);

    PhoneShell &m_shell;
    QStringList m_listErrors;
};
