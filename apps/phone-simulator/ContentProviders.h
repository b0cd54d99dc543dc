#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

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
// with the permission error; [faults] linkerWarning = TEXT makes every
// "content" command print that line on its error stream before anything
// else, as Android's linker does when it complains about a library.
class ContentProviders
{
public:
    explicit ContentProviders(const QString &strPhoneDir);

    // The providers of a phone folder, shared by every command of the
    // process and read again when a fixture file changes.
    static std::shared_ptr<ContentProviders> ForPhone(const QString &strPhoneDir);

    // Runs "content <args>"; returns the exit status. What the tool prints
    // goes to *pOut, its error texts (as a real phone prints them on the
    // error stream) to *pErr.
    int Run(const QStringList &listArgs, QByteArray *pOut, QByteArray *pErr);
    // The linker's warning line (with its new line), empty when there is none.
    QByteArray LinkerWarning() const;

private:
    struct Table
    {
        QStringList listColumns;
        QList<QVariantList> listRows;
    };

    void LoadLocked();
    int Query(const QStringList &listArgs, QByteArray *pOut, QByteArray *pErr);
    int Read(const QStringList &listArgs, QByteArray *pOut, QByteArray *pErr);
    // What the fixture files are now (names, sizes, times), to see a change.
    static QString Signature(const QString &strPhoneDir);
    bool IsDenied(const QString &strUri) const;

    const QString m_strPhoneDir;
    QString m_strSignature;
    QMutex m_mutex;
    bool m_bLoaded = false;
    QHash<QString, Table> m_hashTables;
    QHash<QString, QByteArray> m_hashStreams;
};
