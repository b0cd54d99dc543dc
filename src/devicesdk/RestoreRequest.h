#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What the restore calls are given and hand back, shared by both back ends:
// the file jobs, lists of paths, the kinds of records and the rules every
// phone follows (which paths are refused, which kinds need an app).
class RestoreRequest
{
public:
    struct FileJob
    {
        QString strLocalPath;
        QString strPhonePath;
        qint64 nMtime = 0;
    };

    // "LOCAL\x18PHONE\x18MTIME\n" lines; false when a line is not of that form.
    static bool ParseJobs(const char *szJobs, QList<FileJob> &listJobs);
    // "PATH\n" lines (empty lines are left out).
    static QStringList ParsePaths(const char *szPaths);

    // Another application's private folders under the shared storage, which
    // the phone does not let the shell write.
    static bool IsRefusedPath(const QString &strPhonePath);
    // The temporary name a file is written under, next to its phone path.
    static QString TemporaryPath(const QString &strPhonePath);

    // The record types: 0 contacts, 2 calendar, 4 call log can be restored;
    // messages, e-mail, bookmarks and application data need an app on the phone.
    static bool NeedsPhoneApp(int nType);
    static bool IsRestorableRecordType(int nType);
    static const char kNeedsAppReason[];
    static const char kNeedsAndroid12Reason[];
    // Whether records of a type can be restored to a phone of this SDK level
    // (0: unknown, taken as new enough): 0, DVSK_RESTORE_ERR_NOT_RESTORABLE
    // with the reason handed out in *ppReason (may be null), or
    // DVSK_DEV_ERR_BAD_ARGUMENT for a type that is none of the backup's.
    static int Availability(int nType, int nSdk, char **ppReason);

    // A NUL-terminated copy from the C allocator (the caller frees it); null
    // when memory is short.
    static char *MallocText(const QByteArray &ba);
};
