#pragma once

#include <QString>

// The package name and version code of an APK, as the simulated phones read
// them: from a text AndroidManifest.xml stored uncompressed in the archive
// (what the sample phone's applications carry). An APK whose manifest cannot
// be read that way is known by its file name without ".apk", version 0.
class ApkManifest
{
public:
    static ApkManifest Read(const QString &strApkPath);

    QString Package() const { return m_strPackage; }
    qint64 VersionCode() const { return m_nVersionCode; }
    // True when the package name came from the manifest.
    bool FromManifest() const { return m_bFromManifest; }

private:
    static QByteArray StoredEntry(const QString &strZipPath, const QByteArray &baName);

    QString m_strPackage;
    qint64 m_nVersionCode = 0;
    bool m_bFromManifest = false;
};
