#pragma once

#include <QByteArray>
#include <QString>

// Reads an application's version code from its APK: the zip archive's
// AndroidManifest.xml, in the binary form phones install or as plain XML.
// Only what the manifest's root element says is read; sizes are checked
// before anything is allocated, so a damaged APK gives -1, never a crash.
class ApkVersionReader
{
public:
    // The version code, or -1 when the APK or its manifest cannot be read.
    static qint64 VersionCode(const QString &strApk);
    // The manifest's bytes from a zip archive; empty when not found.
    static QByteArray ManifestBytes(const QString &strApk);
    // The version code in a manifest, binary or text; -1 when none.
    static qint64 VersionFromManifest(const QByteArray &baManifest);

    static constexpr qint64 kMaxManifestSize = 4 * 1024 * 1024;

private:
    static qint64 VersionFromText(const QByteArray &baManifest);
    static qint64 VersionFromBinary(const QByteArray &baManifest);
};
