#pragma once

#include <QDateTime>
#include <QString>

// Which phone a backup folder came from, kept beside its files in the small
// text file "Device.txt": one "key=value" line each for the phone's own
// serial number (never the IP:PORT of a phone on Wi-Fi), manufacturer,
// model, Android version, back end ("sim" or "adb") and the backup's date.
// A repeat backup reuses files only from a folder of the same phone.
class PhoneIdentity
{
public:
    static const char kFileName[];

    // The identity of the phone the SDK has open (empty when it gives none).
    static PhoneIdentity OfOpenPhone();
    // Reads "key=value" lines; unknown keys are ignored.
    static PhoneIdentity FromText(const QString &strText);
    // The device file of a backup folder; false when it is missing or
    // cannot be read (a backup made before the file existed).
    static bool ReadFrom(const QString &strFolder, PhoneIdentity &identity);

    bool IsEmpty() const { return m_strSerial.isEmpty() && m_strModel.isEmpty() && m_strBackend.isEmpty(); }
    QString Serial() const { return m_strSerial; }
    QString Model() const { return m_strModel; }
    QString Backend() const { return m_strBackend; }
    QDateTime Date() const { return m_dtDate; }

    // Writes the device file into strFolder, dated dtBackup; false on failure.
    bool WriteTo(const QString &strFolder, const QDateTime &dtBackup) const;
    QString ToText(const QDateTime &dtBackup) const;

    // Whether a backup made of phone `earlier` may lend its files to this
    // phone's backup: not when both know their serials and they differ.
    bool MayShareWith(const PhoneIdentity &earlier) const;

private:
    QString m_strSerial;
    QString m_strManufacturer;
    QString m_strModel;
    QString m_strAndroid;
    QString m_strBackend;
    QDateTime m_dtDate;
};
