#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariant>

// The phone's content providers as the "content" tool shows them to the
// shell user: "content query" and "content read", answered from the record
// fixtures of a phone folder (providers/*.json) in the tool's exact output.
//
// A fixture file holds one table: {"uri": "content://sms", "columns": [...],
// "rows": [[...], ...]} (null = NULL) and optionally "streams": {uri: base64}
// for "content read". Messages' parts and addresses are the tables
// "content://mms/part" (column "mid") and "content://mms/addr" (column
// "msg_id"), reached as content://mms/<id>/part and content://mms/<id>/addr.
// phone.ini [faults] contentDenied = uri, ... makes those providers answer
// with the permission error.
class ContentProviders
{
public:
    explicit ContentProviders(const QString &strPhoneDir);

    // Runs "content <args>"; returns the exit status, output in *pOut.
    int Run(const QStringList &listArgs, QByteArray *pOut);

private:
    struct Table
    {
        QStringList listColumns;
        QList<QVariantList> listRows;
    };

    void LoadLocked();
    int Query(const QStringList &listArgs, QByteArray *pOut);
    int Read(const QStringList &listArgs, QByteArray *pOut);
    bool IsDenied(const QString &strUri) const;

    const QString m_strPhoneDir;
    QMutex m_mutex;
    bool m_bLoaded = false;
    QHash<QString, Table> m_hashTables;
    QHash<QString, QByteArray> m_hashStreams;
};
