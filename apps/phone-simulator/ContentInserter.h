#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

class AdbPhone;

// "content insert --uri URI --bind COLUMN:TYPE:VALUE …" as the shell user
// meets it, writing into the phone folder's providers/*.json (the table of
// that URI gets a row with the next _id; a table the folder lacks is created
// with the columns the phone's provider has). As on a phone the tool prints
// nothing and exits 0 also when the insert fails: SMS and MMS inserts are
// dropped silently (the shell is not the default SMS app), the call log
// needs Android 12 (SDK 31) or newer, phone.ini's contentDenied providers
// answer with the permission error, all on standard error.
class ContentInserter
{
public:
    explicit ContentInserter(const AdbPhone &phone);

    // Runs "content insert <args>" (args after "insert"); the exit status.
    int Insert(const QStringList &listArgs, QByteArray *pOut, QByteArray *pErr);

private:
    struct Bind
    {
        QString strColumn;
        QJsonValue value;
    };
    static bool ParseBind(const QString &strBind, Bind *pBind, QString *pError);
    // The columns a provider's table has when the phone folder has none yet.
    static QStringList DefaultColumns(const QString &strUri);
    QString TableFile(const QString &strUri) const;
    // The table in strPath, or a new one with the provider's columns; empty
    // (with the phone's error) for a provider the phone does not have.
    static QJsonObject LoadTable(const QString &strPath, const QString &strUri, QString *pError);
    bool IsDenied(const QString &strUri) const;
    bool AddRow(const QString &strUri, const QList<Bind> &listBinds, QString *pError);

    const AdbPhone &m_phone;
};
