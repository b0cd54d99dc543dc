#include "PackageFixture.h"

#include <QFile>
#include <QtEndian>

#include <zlib.h>

QStringList PackageFixture::LayoutNames()
{
    return {QStringLiteral("MMS"), QStringLiteral("B610"), QStringLiteral("B400"),
            QStringLiteral("fh"),  QStringLiteral("fh1"),  QStringLiteral("fh2")};
}

PackageFixture::Layout PackageFixture::GetLayout(const QString &strName)
{
    static const QList<Layout> listLayouts = {
        {QStringLiteral("MMS"), true, 20, 0x42198, 64, 68, 4164, 270404, 270484},
        {QStringLiteral("B610"), true, 19, 0x42194, 64, 68, 4164, 270404, 270480},
        {QStringLiteral("B400"), true, 16, 0x42188, 64, 68, 4164, 270404, 270468},
        {QStringLiteral("fh"), false, 11, 0x42134, 0, 4, 4100, 270340, 270384},
        {QStringLiteral("fh1"), false, 4, 0x42118, 0, 4, 4100, 270340, 270356},
        {QStringLiteral("fh2"), false, 5, 0x4211c, 0, 4, 4100, 270340, 270360},
    };
    for (const Layout &layout : listLayouts) {
        if (layout.strName == strName)
            return layout;
    }
    qFatal("unknown layout %s", qPrintable(strName));
    return listLayouts.first();
}

void PackageFixture::PutU32(QByteArray &baData, int nOffset, quint32 nValue)
{
    qToLittleEndian<quint32>(nValue, baData.data() + nOffset);
}

quint32 PackageFixture::GetU32(const QByteArray &baData, int nOffset)
{
    return qFromLittleEndian<quint32>(baData.constData() + nOffset);
}

QByteArray PackageFixture::Text(const QByteArray &baData, int nOffset, int nWidth)
{
    const QByteArray baField = baData.mid(nOffset, nWidth);
    const int nEnd = baField.indexOf('\0');
    return nEnd < 0 ? baField : baField.left(nEnd);
}

QByteArray PackageFixture::Build(const QString &strLayout, const QList<Entry> &listEntries,
                                 const QList<quint32> &listCounts, const QByteArray &baDeviceName,
                                 const QByteArray &baVersion)
{
    const Layout layout = GetLayout(strLayout);
    QByteArray baPackage(layout.nHeadSize, '\0');
    if (layout.bVersioned)
        baPackage.replace(0, 14 + baVersion.size(), "Version: DVSK " + baVersion);
    PutU32(baPackage, layout.nFileCountAt, quint32(listEntries.size()));
    for (int i = 0; i < listEntries.size(); ++i) {
        PutU32(baPackage, layout.nSizeAt + 4 * i, quint32(listEntries.at(i).baData.size()));
        baPackage.replace(layout.nNameAt + 260 * i, listEntries.at(i).baName.size(), listEntries.at(i).baName);
    }
    for (int i = 0; i < listCounts.size() && i < layout.nCounts; ++i)
        PutU32(baPackage, layout.nCountsAt + 4 * i, listCounts.at(i));
    baPackage.replace(layout.nDeviceNameAt, baDeviceName.size(), baDeviceName);
    for (const Entry &entry : listEntries)
        baPackage += entry.baData;
    return baPackage;
}

QByteArray PackageFixture::Typical(const QString &strLayout, QList<Entry> *pEntries)
{
    const Layout layout = GetLayout(strLayout);
    QList<Entry> listEntries = {
        {"C:/Users/me/UserData/Info.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Info>\r\n</Info>"},
        {"C:/Users/me/UserData/PB.zip", QByteArray("contacts\0\x01\x02", 11)},
    };
    // Counts: contacts 7, text messages 3 (two non-zero counts need three
    // entries to pass as fh; fh1 and fh2 must not).
    QList<quint32> listCounts = {3, 7};
    if (strLayout == QLatin1String("fh"))
        listEntries.append(Entry{"C:\\Users\\me\\UserData\\SMS.zip", "messages"});
    if (strLayout == QLatin1String("fh2"))
        listCounts << 0 << 0 << 5; // count 4 is small, unlike fh1's device name
    if (layout.nCounts >= 20)
        listCounts = {3, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    if (pEntries)
        *pEntries = listEntries;
    // Each versioned layout under a version text that selects it.
    const QByteArray baVersion = strLayout == QLatin1String("B610")   ? "32.610.08"
                                 : strLayout == QLatin1String("B400") ? "32.400.00"
                                                                      : "32.610.12";
    return Build(strLayout, listEntries, listCounts, "Fixture Phone\x10" "350000000000017", baVersion);
}

QByteArray PackageFixture::Gzip(const QByteArray &baData)
{
    z_stream stream = {};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray baOut(int(deflateBound(&stream, uLong(baData.size()))) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(baData.constData()));
    stream.avail_in = uInt(baData.size());
    stream.next_out = reinterpret_cast<Bytef *>(baOut.data());
    stream.avail_out = uInt(baOut.size());
    deflate(&stream, Z_FINISH);
    baOut.truncate(int(stream.total_out));
    deflateEnd(&stream);
    return baOut;
}

QByteArray PackageFixture::Gunzip(const QByteArray &baData)
{
    z_stream stream = {};
    inflateInit2(&stream, 15 + 16);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(baData.constData()));
    stream.avail_in = uInt(baData.size());
    QByteArray baOut;
    char buffer[65536];
    int nResult = Z_OK;
    while (nResult == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof(buffer);
        nResult = inflate(&stream, Z_NO_FLUSH);
        baOut.append(buffer, int(sizeof(buffer) - stream.avail_out));
    }
    inflateEnd(&stream);
    return nResult == Z_STREAM_END ? baOut : QByteArray();
}

bool PackageFixture::WriteFile(const QString &strPath, const QByteArray &baData)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baData) == baData.size();
}

QByteArray PackageFixture::ReadFile(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
