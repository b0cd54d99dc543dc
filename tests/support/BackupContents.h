#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// What a backup or a phone folder holds, in forms two of them can be
// compared by: the tests of restore put a backup on an empty phone, back
// that phone up and compare.
class BackupContents
{
public:
    // SHA-256 of a file, hex; empty when it cannot be read.
    static QByteArray Digest(const QString &strFile);
    // Media by phone path and APKs by "APK/NAME.apk", each with the digest
    // of its bytes, from the backup folder beside a package.
    static QMap<QString, QByteArray> FilesOf(const QString &strPackage);
    // What identifies the records of an exported file (contacts.vcf,
    // calendar.ics or call-log.xml), sorted. With bCollapseSpaces each
    // escaped line break, tab and run of spaces counts as one space: a phone
    // makes a contact's display name from the name's parts that way.
    static QStringList RecordKeys(const QString &strFile, bool bCollapseSpaces = false);
    // Every file under a folder with size, time and digest, sorted.
    static QStringList Snapshot(const QString &strDir);
};
