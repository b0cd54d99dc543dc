#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Builds backup packages byte by byte from the layout table, without the
// package writer, so that readers can be tested against layouts this
// system never writes and against packages no writer would produce.
class PackageFixture
{
public:
    struct Layout
    {
        QString strName;
        bool bVersioned;
        int nCounts;
        int nHeadSize;
        int nFileCountAt;
        int nSizeAt;
        int nNameAt;
        int nCountsAt;
        int nDeviceNameAt;
    };
    struct Entry
    {
        QByteArray baName;
        QByteArray baData;
    };

    // "MMS", "B610", "B400", "fh", "fh1", "fh2".
    static QStringList LayoutNames();
    static Layout GetLayout(const QString &strName);

    // The decompressed package: header of the layout, then the entries'
    // contents. Versioned layouts get "Version: DVSK " + strVersion.
    // anCounts are in index order (SMSCount first); missing ones are 0.
    static QByteArray Build(const QString &strLayout, const QList<Entry> &listEntries,
                            const QList<quint32> &listCounts, const QByteArray &baDeviceName,
                            const QByteArray &baVersion = "32.610.12");
    // A small package of the layout with an Info.xml and one or two
    // entries, and counts that match them (the unversioned heuristics
    // recognise it). listEntries receives what it holds.
    static QByteArray Typical(const QString &strLayout, QList<Entry> *pEntries = nullptr);

    static void PutU32(QByteArray &baData, int nOffset, quint32 nValue);
    static quint32 GetU32(const QByteArray &baData, int nOffset);
    static QByteArray Text(const QByteArray &baData, int nOffset, int nWidth);

    static QByteArray Gzip(const QByteArray &baData);
    // Empty when the stream is broken.
    static QByteArray Gunzip(const QByteArray &baData);
    static bool WriteFile(const QString &strPath, const QByteArray &baData);
    static QByteArray ReadFile(const QString &strPath);
};
