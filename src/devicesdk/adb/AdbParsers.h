#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// Readers of what the adb server and the phone's shell print. A pseudo
// terminal may end lines with CR LF; every reader accepts both.
class AdbParsers
{
public:
    struct Device
    {
        QString strSerial; // "????????????" on older servers for a phone this user may not open
        QString strState;  // "device", "unauthorized", "offline", "no permissions", ...
        QString strDetail; // the server's words after the state ("(...); see [...]"), may be empty
        QString strModel;  // from "model:" of host:devices-l, else empty
        bool bUsb = false; // the server named a USB port ("usb:BUS-PORT")

        // "ready", "unauthorized", "offline", "no-permissions" or "connecting".
        QString Usability() const;
        bool IsReady() const { return strState == QLatin1String("device"); }
        // "usb" or "wifi" (a serial of the form HOST:PORT or a wireless-debugging service name).
        QString Connection() const;
    };

    struct DiskUsage
    {
        QString strFilesystem;
        qint64 nBlocksKiB = 0;
        qint64 nUsedKiB = 0;
        qint64 nAvailableKiB = 0;
        QString strMountedOn;
    };

    struct Package
    {
        QString strName;
        QString strApkPath;
    };

    // Lines "SERIAL<blanks>STATE[ key:value ...]" of host:devices(-l) and
    // host:track-devices. A state may hold blanks ("no permissions (...);
    // see [...]"): it runs up to the trailing key:value fields.
    static QList<Device> Devices(const QByteArray &baText);
    // "[key]: [value]" lines of a bare getprop.
    static QHash<QString, QString> Properties(const QByteArray &baText);
    // The comma-separated answer of host-serial:SERIAL:features.
    static QStringList Features(const QByteArray &baText);
    // toybox "df -k": a header, then one line per file system.
    static QList<DiskUsage> DiskUsages(const QByteArray &baText);
    // "package:APK_PATH=NAME" lines of "pm list packages -f".
    static QList<Package> Packages(const QByteArray &baText);
    // "package:PATH" lines of "pm path NAME": the base APK and every split.
    static QStringList PackagePaths(const QByteArray &baText);

    // The text's lines without line ends (CR LF or LF), blank lines dropped.
    static QStringList Lines(const QByteArray &baText);
    // Quotes an argument for the phone's shell.
    static QString ShellQuote(const QString &strArgument);
};
