#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What a restore will do, kind by kind and file by file, before anything is
// written to the phone. A dry run prints it; the runner carries it out.
class RestorePlan
{
public:
    enum class Action
    {
        Restore,      // goes to the phone
        AlreadyThere, // the phone holds it already: skipped
        NotRestorable, // left out, strWhy says why
        Fails          // the backup or the phone keeps it from being restored: a
                       // failure, strWhy says why
    };

    // One media file or one application.
    struct Item
    {
        QString strName;        // how the summary names it: phone path or package name
        QString strTarget;      // media: where it goes (a free name when the path is taken)
        QStringList listLocal;  // its files on this PC
        qint64 nSize = 0;       // bytes to send
        qint64 nModified = -1;  // media: the backed-up modification time
        qint64 nVersion = -1;   // applications: the backed-up version code, -1 unknown
        qint64 nInstalled = -1; // applications: the phone's version code, -1 not installed
        Action action = Action::Restore;
        QString strWhy;
    };

    // One kind of data (a BackupKind code).
    struct Kind
    {
        int nCode = -1;
        Action action = Action::Restore; // NotRestorable or Fails: the whole kind, with strWhy
        QString strWhy;
        QString strRecordFile; // record kinds: the file the phone reads
        int nBackedUp = 0;     // the package's count of the kind
        QList<Item> items;     // media files and applications

        int CountOf(Action action) const;
        qint64 BytesToSend() const;
        // True when the runner has work for this kind.
        bool HasWork() const;
    };

    QString strPackage;
    QString strDeviceName;
    QList<Kind> kinds;

    int KindsWithWork() const;
    int FilesToSend() const;
    qint64 BytesToSend() const;
};

Q_DECLARE_METATYPE(RestorePlan)
