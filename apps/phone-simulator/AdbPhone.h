#pragma once

#include "PhoneConfig.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

class QSettings;

// A phone folder (docs/phone-format.md) as a real Android phone shows it over
// adb: its properties, installed packages under Android-style /data/app
// paths, mounted storages for df, and its files under their phone paths with
// the permissions of the shell user (or of root, on a rooted phone).
class AdbPhone
{
public:
    // How a path looks to the caller.
    enum Access { Found, NotFound, Denied };

    struct Node
    {
        Access access = NotFound;
        bool bDir = false;
        QString strHostPath;   // the file or folder on the PC; empty for folders that exist only on the phone
        uint32_t nMode = 0;    // st_mode
        qint64 nSize = 0;
        qint64 nMtime = 0;     // seconds since the epoch
        QByteArray baRawName;  // in a listing: the name's bytes when they are not its UTF-8 (rawNames)
    };

    struct Entry
    {
        QString strName;
        Node node;
    };

    struct Package
    {
        QString strName;
        QString strDir;        // e.g. /data/app/~~Q2x...==/com.example-Ab3...==
        QString strBaseHost;   // fs/data/app/<name>.apk
        QMap<QString, QString> mapSplits; // split_*.apk name -> host path
    };

    struct Mount
    {
        QString strFilesystem;
        QString strMountedOn;
        qint64 nTotalKB = 0;
        qint64 nUsedKB = 0;
        qint64 nAvailKB = 0;
    };

    // Reads <dir>/phone.ini. False when it is missing or unreadable.
    bool Load(const QString &strDir);

    const PhoneConfig &Config() const { return m_config; }

    // Every property getprop shows, sorted by key.
    QMap<QString, QString> Properties() const { return m_mapProperties; }
    QString Property(const QString &strKey) const { return m_mapProperties.value(strKey); }
    int Sdk() const;
    bool IsRooted() const { return m_bRooted; }
    bool IsUnauthorized() const { return m_bUnauthorized; }
    // The cable's delay of every message in each direction ([faults] latencyMs).
    int LatencyMs() const { return m_nLatencyMs; }
    // The user accepted the server's key.
    void Allow() { m_bUnauthorized = false; }
    // Old phones (before Android 7) run "shell:" commands on a terminal: CR LF line ends, no shell_v2.
    bool HasOldShell() const { return m_bOldShell; }
    // Phones from Android 10 on list folders with 64-bit sizes and times
    // (feature ls_v2, requests LIS2 answered with DNT2); older ones only with LIST.
    bool HasListV2() const { return m_bListV2; }
    // The folder the link /sdcard leads to ([device] sdcardLink): older
    // phones mount their storage at /storage/sdcard0 and link /sdcard to it.
    QString SharedStorageTarget() const { return m_strSharedStorageTarget; }
    // The features announced in the handshake, comma-separated.
    QString Features() const;

    QList<Package> Packages() const;
    QList<Mount> Mounts() const;

    // The path with the shared-storage aliases (/storage/emulated/0,
    // /storage/self/primary, /mnt/sdcard) turned into /sdcard. Empty when the
    // path is not absolute or has "." or ".." parts.
    static QString Normalized(const QString &strPhonePath);

    Node Stat(const QString &strPhonePath, bool bRoot) const;
    // The entries of a folder, "." and ".." first as a phone lists them.
    // Access is Denied or NotFound when the folder cannot be listed.
    Access List(const QString &strPhonePath, bool bRoot, QList<Entry> *pEntries) const;

    // Faults given on the command line, on top of phone.ini's.
    void ApplyOptions(bool bUnauthorized, const QStringList &listDeniedFiles, bool bNoListV2 = false);

    // The phone path a request's bytes name: a rawNames path is named by its
    // raw bytes only; other bytes that are not UTF-8 name nothing (empty).
    QString PathOfRequest(const QByteArray &baPath) const;

    // Faults that make one file fail on reading.
    bool IsReadDenied(const QString &strPhonePath) const;
    bool IsVanished(const QString &strPhonePath) const;

    static constexpr uint32_t kModeDir = 0040000;
    static constexpr uint32_t kModeFile = 0100000;
    // A latency beyond this is a typing error, not a cable.
    static constexpr int kMaxLatencyMs = 10000;

private:
    // The listing of a folder under /data/app (packages' install folders).
    Access ListAppFolder(const QString &strPath, bool bRoot, QList<Entry> *pEntries) const;
    // The listing of any other folder: its files on the host and its virtual children.
    Access ListFolder(const QString &strPath, const Node &node, bool bRoot, QList<Entry> *pEntries) const;
    // [device] and [properties]: what the phone says of itself.
    void LoadDevice(QSettings &settings);
    // [faults]: what the phone refuses or does wrong.
    void LoadFaults(QSettings &settings);
    // The installed applications and their split APKs.
    void LoadPackages();
    Node HostNode(const QString &strHostPath) const;
    bool FindPackagePath(const QString &strPath, Node *pNode, QList<Entry> *pEntries) const;

    PhoneConfig m_config;
    QMap<QString, QString> m_mapProperties;
    bool m_bRooted = false;
    bool m_bUnauthorized = false;
    int m_nLatencyMs = 0;
    bool m_bOldShell = false;
    bool m_bListV2 = true;
    QString m_strSharedStorageTarget;
    QSet<QString> m_setDenied;
    QSet<QString> m_setUnreadableFolders;
    // Phone path of a file -> the bytes its name has on the phone.
    QHash<QString, QByteArray> m_hashRawNames;
    QList<Package> m_listPackages;
};
