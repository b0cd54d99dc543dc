// Writes the binary files of the bundled sample phone (pictures, videos,
// audio, applications and their data) under <phone folder>/fs, mirroring the
// phone's paths. Everything is synthetic and deterministic.
//
//   SamplePhoneGenerator <phone folder>

#include "ZipStoreWriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QtEndian>

#include <cmath>
#include <cstdio>

namespace
{
QString g_strRoot;

QString HostPath(const QString &strPhonePath)
{
    return g_strRoot + strPhonePath;
}

bool WriteFile(const QString &strPhonePath, const QByteArray &baData)
{
    const QString strPath = HostPath(strPhonePath);
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(baData) != baData.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(strPath));
        return false;
    }
    return true;
}

QByteArray RandomBytes(int nSize, quint32 nSeed)
{
    QRandomGenerator random(nSeed);
    QByteArray ba(nSize, Qt::Uninitialized);
    for (int i = 0; i < nSize; ++i)
        ba[i] = char(random.bounded(256));
    return ba;
}

// A landscape "photo": sky, sun, hills and a lake, varied by the seed.
QImage Photo(int nWidth, int nHeight, quint32 nSeed)
{
    QRandomGenerator random(nSeed);
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const int nHue = random.bounded(360);
    QLinearGradient sky(0, 0, 0, nHeight);
    sky.setColorAt(0, QColor::fromHsv(nHue, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((nHue + 40) % 360, 60, 255));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 230, 120));
    const int nSun = nHeight / 8 + random.bounded(nHeight / 8);
    painter.drawEllipse(QPoint(random.bounded(nWidth), nHeight / 5 + random.bounded(nHeight / 5)), nSun, nSun);
    for (int nLayer = 0; nLayer < 3; ++nLayer) {
        QPainterPath hills;
        hills.moveTo(0, nHeight);
        const int nBase = nHeight / 2 + nLayer * nHeight / 8;
        for (int x = 0; x <= nWidth; x += nWidth / 8)
            hills.lineTo(x, nBase - random.bounded(nHeight / 5));
        hills.lineTo(nWidth, nHeight);
        hills.closeSubpath();
        painter.setBrush(QColor::fromHsv((nHue + 100 + 25 * nLayer) % 360, 140, 160 - 35 * nLayer));
        painter.drawPath(hills);
    }
    // Speckles so that the picture compresses like a photo.
    for (int i = 0; i < 1500; ++i) {
        painter.setPen(QColor::fromHsv(random.bounded(360), 60, 100 + random.bounded(150)));
        painter.drawPoint(random.bounded(nWidth), nHeight / 2 + random.bounded(nHeight / 2));
    }
    painter.end();
    return image;
}

// A "screenshot": a status bar, a title bar and list rows.
QImage Screenshot(int nWidth, int nHeight, quint32 nSeed)
{
    QRandomGenerator random(nSeed);
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(QColor(245, 245, 247));
    QPainter painter(&image);
    const QColor accent = QColor::fromHsv(random.bounded(360), 160, 200);
    painter.fillRect(0, 0, nWidth, 24, QColor(30, 30, 30));
    painter.fillRect(0, 24, nWidth, 56, accent);
    for (int y = 96; y + 64 < nHeight; y += 72) {
        painter.fillRect(16, y, 48, 48, accent.lighter(130 + random.bounded(40)));
        painter.fillRect(76, y + 6, 80 + random.bounded(nWidth - 180), 12, QColor(60, 60, 60));
        painter.fillRect(76, y + 28, 60 + random.bounded(nWidth - 200), 10, QColor(150, 150, 150));
    }
    painter.end();
    return image;
}

bool SaveImage(const QString &strPhonePath, const QImage &image, const char *szFormat, int nQuality)
{
    const QString strPath = HostPath(strPhonePath);
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    if (!image.save(strPath, szFormat, nQuality)) {
        std::fprintf(stderr, "cannot write %s as %s\n", qPrintable(strPath), szFormat);
        return false;
    }
    return true;
}

QByteArray Box(const char *szType, const QByteArray &baPayload)
{
    QByteArray ba(4, '\0');
    qToBigEndian<quint32>(quint32(8 + baPayload.size()), ba.data());
    return ba + QByteArray(szType, 4) + baPayload;
}

// A video container with the right signature and a payload of the given size.
QByteArray Video(const char *szBrand, int nPayload, quint32 nSeed)
{
    QByteArray baFtyp(szBrand, 4);
    baFtyp += QByteArray("\x00\x00\x02\x00", 4);
    baFtyp += QByteArray(szBrand, 4) + "isomiso2mp41";
    return Box("ftyp", baFtyp) + Box("free", QByteArray()) + Box("mdat", RandomBytes(nPayload, nSeed));
}

// 16-bit mono PCM at 8 kHz: a short tune.
QByteArray Wave(double dSeconds, quint32 nSeed)
{
    QRandomGenerator random(nSeed);
    const int nRate = 8000;
    const int nSamples = int(dSeconds * nRate);
    QByteArray baPcm(nSamples * 2, Qt::Uninitialized);
    double dFrequency = 220.0;
    for (int i = 0; i < nSamples; ++i) {
        if (i % (nRate / 4) == 0)
            dFrequency = 220.0 * std::pow(2.0, random.bounded(24) / 12.0);
        const double dEnvelope = 1.0 - double(i % (nRate / 4)) / (nRate / 4);
        const qint16 nValue = qint16(9000.0 * dEnvelope * std::sin(2.0 * M_PI * dFrequency * i / nRate));
        qToLittleEndian<qint16>(nValue, baPcm.data() + 2 * i);
    }
    QByteArray ba("RIFF");
    QByteArray baField(4, '\0');
    qToLittleEndian<quint32>(quint32(36 + baPcm.size()), baField.data());
    ba += baField + "WAVEfmt ";
    QByteArray baFmt(20, '\0');
    qToLittleEndian<quint32>(16, baFmt.data());
    qToLittleEndian<quint16>(1, baFmt.data() + 4);             // PCM
    qToLittleEndian<quint16>(1, baFmt.data() + 6);             // mono
    qToLittleEndian<quint32>(nRate, baFmt.data() + 8);
    qToLittleEndian<quint32>(nRate * 2, baFmt.data() + 12);    // bytes per second
    qToLittleEndian<quint16>(2, baFmt.data() + 16);            // block align
    qToLittleEndian<quint16>(16, baFmt.data() + 18);           // bits
    ba += baFmt + "data";
    qToLittleEndian<quint32>(quint32(baPcm.size()), baField.data());
    return ba + baField + baPcm;
}

QByteArray Png(const QImage &image)
{
    QByteArray ba;
    QBuffer buffer(&ba);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return ba;
}

bool Apk(const QString &strPackage, const QString &strLabel, int nDexSize, quint32 nSeed)
{
    const QString strPhonePath = QStringLiteral("/data/app/") + strPackage + QStringLiteral(".apk");
    QDir().mkpath(QFileInfo(HostPath(strPhonePath)).absolutePath());
    const QDateTime dt(QDate(2024, 2, 14), QTime(9, 30));
    const QByteArray baManifest = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<manifest xmlns:android=\"http://schemas.android.com/apk/res/android\" package=\"%1\"\n"
        "    android:versionCode=\"%2\" android:versionName=\"1.%2\">\n"
        "    <application android:label=\"%3\" android:icon=\"@drawable/icon\"/>\n"
        "</manifest>\n").arg(strPackage).arg(nSeed % 40 + 3).arg(strLabel).toUtf8();
    QImage icon(96, 96, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    {
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromHsv(int(nSeed % 360), 170, 210));
        painter.drawRoundedRect(4, 4, 88, 88, 20, 20);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPoint(48, 48), 22, 22);
    }
    ZipStoreWriter zip;
    bool bOk = zip.Open(HostPath(strPhonePath));
    bOk = bOk && zip.AddData(QStringLiteral("AndroidManifest.xml"), baManifest, dt);
    bOk = bOk && zip.AddData(QStringLiteral("classes.dex"), QByteArray("dex\n035\0", 8) + RandomBytes(nDexSize, nSeed), dt);
    bOk = bOk && zip.AddData(QStringLiteral("res/drawable/icon.png"), Png(icon), dt);
    bOk = bOk && zip.AddData(QStringLiteral("resources.arsc"), RandomBytes(2048, nSeed + 1), dt);
    bOk = bOk && zip.AddData(QStringLiteral("META-INF/MANIFEST.MF"),
                             "Manifest-Version: 1.0\r\nCreated-By: 1.0 (Corvo build tools)\r\n\r\n", dt);
    bOk = zip.Close() && bOk;
    if (!bOk)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(strPhonePath));
    return bOk;
}

QByteArray Database(int nPages, quint32 nSeed)
{
    QByteArray ba("SQLite format 3", 16);
    ba += RandomBytes(84, nSeed);
    ba.resize(nPages * 4096, '\0');
    return ba;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: SamplePhoneGenerator <phone folder>\n");
        return 2;
    }
    g_strRoot = QDir(QString::fromLocal8Bit(argv[1])).absoluteFilePath(QStringLiteral("fs"));
    QDir(g_strRoot).removeRecursively();
    bool bOk = true;

    const char *const aszCamera[] = {
        "/sdcard/DCIM/Camera/IMG_0001.jpg",
        "/sdcard/DCIM/Camera/IMG_20240301_101512.jpg",
        "/sdcard/DCIM/Camera/IMG_20240301_101530.jpg",
        "/sdcard/DCIM/Camera/IMG_20240302_174205.jpg",
        "/sdcard/DCIM/Camera/IMG_20240310_090017.jpg",
        "/sdcard/DCIM/Camera/IMG_20240314_123344.jpg",
        "/sdcard/DCIM/Camera/IMG_20240320_183001.jpg",
        // The same file name as the first camera picture, in another folder.
        "/sdcard/Pictures/Shared/IMG_0001.jpg",
        "/storage/sdcard1/Photos/holiday_beach.jpg",
    };
    quint32 nSeed = 11;
    for (const char *szPath : aszCamera)
        bOk = SaveImage(QString::fromUtf8(szPath), Photo(800, 600, nSeed++), "JPEG", 80) && bOk;
    bOk = SaveImage(QStringLiteral("/sdcard/Pictures/Screenshots/Screenshot_20240305-201133.png"),
                    Screenshot(360, 740, 31), "PNG", -1) && bOk;
    bOk = SaveImage(QStringLiteral("/sdcard/Pictures/Screenshots/Screenshot_20240318-081502.png"),
                    Screenshot(360, 740, 32), "PNG", -1) && bOk;
    bOk = SaveImage(QStringLiteral("/sdcard/Download/map_route.png"), Photo(480, 320, 33), "PNG", -1) && bOk;

    bOk = WriteFile(QStringLiteral("/sdcard/DCIM/Camera/VID_20240302_175010.mp4"), Video("isom", 240 * 1024, 41)) && bOk;
    bOk = WriteFile(QStringLiteral("/sdcard/DCIM/Camera/VID_20240314_124000.mp4"), Video("isom", 310 * 1024, 42)) && bOk;
    bOk = WriteFile(QStringLiteral("/sdcard/Movies/clip_birthday.3gp"), Video("3gp4", 150 * 1024, 43)) && bOk;

    bOk = WriteFile(QStringLiteral("/sdcard/Music/Morning Walk.wav"), Wave(6.0, 51)) && bOk;
    bOk = WriteFile(QStringLiteral("/sdcard/Music/Café Lumière.wav"), Wave(5.0, 52)) && bOk;
    bOk = WriteFile(QStringLiteral("/sdcard/Music/Night Drive.wav"), Wave(7.0, 53)) && bOk;
    bOk = WriteFile(QStringLiteral("/sdcard/Recordings/Voice 001.wav"), Wave(4.0, 54)) && bOk;
    bOk = WriteFile(QStringLiteral("/sdcard/Notifications/chime.wav"), Wave(1.0, 55)) && bOk;
    bOk = WriteFile(QStringLiteral("/sdcard/Documents/shopping list.txt"), "milk\nbread\napples\n") && bOk;

    bOk = Apk(QStringLiteral("com.corvo.notes"), QStringLiteral("Notes"), 60 * 1024, 61) && bOk;
    bOk = Apk(QStringLiteral("org.fieldnote.weather"), QStringLiteral("Weather"), 90 * 1024, 62) && bOk;
    bOk = Apk(QStringLiteral("net.pixelpond.tiles"), QStringLiteral("Tiles"), 120 * 1024, 63) && bOk;
    bOk = Apk(QStringLiteral("io.trailmark.steps"), QStringLiteral("Steps"), 45 * 1024, 64) && bOk;

    bOk = WriteFile(QStringLiteral("/data/data/com.corvo.notes/shared_prefs/com.corvo.notes_preferences.xml"),
                    "<?xml version='1.0' encoding='utf-8' standalone='yes' ?>\n<map>\n"
                    "    <boolean name=\"sync_enabled\" value=\"true\" />\n"
                    "    <string name=\"sort_order\">modified</string>\n</map>\n") && bOk;
    bOk = WriteFile(QStringLiteral("/data/data/com.corvo.notes/databases/notes.db"), Database(6, 71)) && bOk;
    bOk = WriteFile(QStringLiteral("/data/data/org.fieldnote.weather/shared_prefs/locations.xml"),
                    "<?xml version='1.0' encoding='utf-8' standalone='yes' ?>\n<map>\n"
                    "    <string name=\"home\">Harbourtown</string>\n"
                    "    <int name=\"units\" value=\"0\" />\n</map>\n") && bOk;
    bOk = WriteFile(QStringLiteral("/data/data/org.fieldnote.weather/cache/forecast.json"),
                    "{\"city\":\"Harbourtown\",\"days\":[{\"t\":12},{\"t\":14},{\"t\":9}]}\n") && bOk;
    bOk = WriteFile(QStringLiteral("/data/data/net.pixelpond.tiles/files/savegame.dat"), RandomBytes(12 * 1024, 72)) && bOk;
    bOk = WriteFile(QStringLiteral("/data/data/net.pixelpond.tiles/databases/scores.db"), Database(3, 73)) && bOk;
    // io.trailmark.steps has no data yet.

    return bOk ? 0 : 1;
}
