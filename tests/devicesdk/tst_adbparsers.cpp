// The adb client's readers of server and phone output, and its sync-protocol
// framing against a peer that answers with canned bytes.
#include "FileListText.h"
#include "adb/AdbDevice.h"
#include "adb/AdbParsers.h"
#include "adb/AdbPhoneFiles.h"
#include "adb/AdbPartFile.h"
#include "adb/AdbShellFiles.h"
#include "adb/AdbVolumes.h"
#include "sdk/dvsk_device.h"
#include "adb/AdbSocket.h"
#include "adb/AdbSync.h"
#include "adb/ShellPackets.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace
{
// A one-connection TCP peer on 127.0.0.1: reads what the client sends until
// nExpect bytes arrived, then answers with baReply and closes.
class CannedPeer
{
public:
    CannedPeer(QByteArray baReply, int nExpect) : m_baReply(std::move(baReply)), m_nExpect(nExpect)
    {
        m_nListen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t nLength = sizeof(address);
        ::bind(m_nListen, reinterpret_cast<sockaddr *>(&address), sizeof(address));
        ::listen(m_nListen, 1);
        ::getsockname(m_nListen, reinterpret_cast<sockaddr *>(&address), &nLength);
        m_nPort = ntohs(address.sin_port);
        m_thread = std::thread([this]() {
            const int nFd = ::accept(m_nListen, nullptr, nullptr);
            if (nFd < 0)
                return;
            char buffer[4096];
            while (m_baReceived.size() < m_nExpect) {
                const ssize_t n = ::recv(nFd, buffer, sizeof(buffer), 0);
                if (n <= 0)
                    break;
                m_baReceived.append(buffer, int(n));
            }
            ::send(nFd, m_baReply.constData(), size_t(m_baReply.size()), MSG_NOSIGNAL);
            ::close(nFd);
        });
    }
    ~CannedPeer()
    {
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_nListen);
    }
    quint16 Port() const { return m_nPort; }
    QByteArray Received()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_baReceived;
    }

private:
    QByteArray m_baReply;
    int m_nExpect;
    int m_nListen = -1;
    quint16 m_nPort = 0;
    QByteArray m_baReceived;
    std::thread m_thread;
};

QByteArray Le32(quint32 n)
{
    QByteArray ba(4, '\0');
    qToLittleEndian<quint32>(n, ba.data());
    return ba;
}

QByteArray Chunk(const char *szId, const QByteArray &baData)
{
    return QByteArray(szId, 4) + Le32(quint32(baData.size())) + baData;
}

QByteArray Dent(quint32 nMode, quint32 nSize, quint32 nMtime, const QByteArray &baName)
{
    return QByteArray("DENT", 4) + Le32(nMode) + Le32(nSize) + Le32(nMtime) + Le32(quint32(baName.size())) + baName;
}

std::unique_ptr<AdbSync> SyncTo(quint16 nPort)
{
    auto pSocket = std::make_unique<AdbSocket>();
    if (!pSocket->Connect(nPort, nullptr))
        return nullptr;
    return std::make_unique<AdbSync>(std::move(pSocket));
}
} // namespace

class tst_AdbParsers : public QObject
{
    Q_OBJECT

private slots:
    void shellPackets_data();
    void shellPackets();
    void devices_data();
    void devices();
    void choosePhone_data();
    void choosePhone();
    void properties();
    void diskUsages_data();
    void diskUsages();
    void packages_data();
    void packages();
    void packagePaths();
    void requestFraming();
    void recv_data();
    void recv();
    void listKeepsModeSizeAndTime();
    void shellListing_data();
    void shellListing();
    void distinctVolumes_data();
    void distinctVolumes();
    void partNameFits_data();
    void partNameFits();
    void silentPeerStalls();
    void fileListText_data();
    void fileListText();
    void phoneFilesSorted_data();
    void phoneFilesSorted();
};

void tst_AdbParsers::devices_data()
{
    QTest::addColumn<QByteArray>("baText");
    // serial|state|model|usability|connection|detail
    QTest::addColumn<QStringList>("listExpected");

    QTest::newRow("devices-l") << QByteArray("0123456789ABCDEF       device usb:1-1 product:oriole model:Pixel_6 "
                                             "device:oriole transport_id:1\n"
                                             "127.0.0.1:5555         unauthorized transport_id:2\n")
                               << QStringList {"0123456789ABCDEF|device|Pixel 6|ready|usb|",
                                               "127.0.0.1:5555|unauthorized||unauthorized|wifi|"};
    QTest::newRow("track-devices tabs, CR LF") << QByteArray("R58M\toffline\r\nemulator-5554\tdevice\r\n")
                                               << QStringList {"R58M|offline||offline|usb|", "emulator-5554|device||ready|usb|"};
    QTest::newRow("empty list") << QByteArray("") << QStringList {};
    QTest::newRow("serial without state is dropped") << QByteArray("lonely\n\n") << QStringList {};
    // A phone this user may not open: the state has blanks, and older
    // servers do not know its serial.
    QTest::newRow("no permissions, devices-l")
            << QByteArray("????????????           no permissions (user in plugdev group; are your udev rules wrong?); "
                          "see [http://developer.android.com/tools/device.html] usb:3-2 transport_id:4\n")
            << QStringList {"????????????|no permissions||no-permissions|usb|(user in plugdev group; are your udev "
                            "rules wrong?); see [http://developer.android.com/tools/device.html]"};
    QTest::newRow("no permissions, track-devices")
            << QByteArray("ZY22\tno permissions (missing udev rules? user is in the plugdev group); "
                          "see [https://developer.android.com/tools/device.html]\n")
            << QStringList {"ZY22|no permissions||no-permissions|usb|(missing udev rules? user is in the plugdev "
                            "group); see [https://developer.android.com/tools/device.html]"};
    QTest::newRow("passing states")
            << QByteArray("a1 authorizing usb:1-4 transport_id:7\n192.168.1.20:37123 connecting\nb2 recovery\n")
            << QStringList {"a1|authorizing||connecting|usb|", "192.168.1.20:37123|connecting||connecting|wifi|",
                            "b2|recovery||connecting|usb|"};
    QTest::newRow("wireless debugging service name")
            << QByteArray("adb-R5CT-xYz._adb-tls-connect._tcp device product:p model:Galaxy_A5 device:a5 transport_id:9\n")
            << QStringList {"adb-R5CT-xYz._adb-tls-connect._tcp|device|Galaxy A5|ready|wifi|"};
}

void tst_AdbParsers::devices()
{
    QFETCH(QByteArray, baText);
    QFETCH(QStringList, listExpected);
    QStringList listGot;
    for (const AdbParsers::Device &device : AdbParsers::Devices(baText)) {
        listGot << QStringList {device.strSerial, device.strState, device.strModel, device.Usability(),
                                device.Connection(), device.strDetail}
                           .join('|');
    }
    QCOMPARE(listGot, listExpected);
}

void tst_AdbParsers::choosePhone_data()
{
    QTest::addColumn<QByteArray>("baList");
    QTest::addColumn<QString>("strWanted");
    QTest::addColumn<QString>("strChosen");     // empty: none
    QTest::addColumn<QStringList>("listSaying"); // what the message holds when none is chosen

    const QByteArray baReady("R1 device model:A\n");
    const QByteArray baLocked("R2 unauthorized\n");
    const QByteArray baNoPerm("???????????? no permissions (user not in plugdev); see [http://x]\n");
    QTest::newRow("nothing") << QByteArray() << QString() << QString() << QStringList {"No phone found"};
    QTest::newRow("one ready") << baReady << QString() << "R1" << QStringList {};
    QTest::newRow("one usable among unusable ones")
            << baLocked + baReady + baNoPerm + "R3 offline\n" << QString() << "R1" << QStringList {};
    QTest::newRow("two usable") << baReady + "R4 device\n" << QString() << QString()
                                << QStringList {"Several phones", "R1 (A)", "R4", "adb:SERIAL"};
    QTest::newRow("only unauthorized") << baLocked << QString() << QString()
                                       << QStringList {"Allow USB debugging on the phone", "R2"};
    QTest::newRow("no permissions") << baNoPerm << QString() << QString()
                                    << QStringList {"plugdev", "udev", "android-sdk-platform-tools-common", "user not in plugdev"};
    QTest::newRow("offline") << QByteArray("R3 offline\n") << QString() << QString() << QStringList {"R3 is offline"};
    QTest::newRow("offline on Wi-Fi") << QByteArray("10.0.0.5:5555 offline\n") << QString() << QString()
                                      << QStringList {"10.0.0.5:5555 is offline", "wireless debugging"};
    QTest::newRow("wanted among several") << baReady + "R4 device\n" << "R4" << "R4" << QStringList {};
    QTest::newRow("wanted is not there") << baReady << "R9" << QString() << QStringList {"No phone with the serial R9"};
    QTest::newRow("wanted is unauthorized") << baReady + baLocked << "R2" << QString()
                                            << QStringList {"Allow USB debugging on the phone"};
}

void tst_AdbParsers::choosePhone()
{
    QFETCH(QByteArray, baList);
    QFETCH(QString, strWanted);
    QFETCH(QString, strChosen);
    QFETCH(QStringList, listSaying);
    AdbParsers::Device chosen;
    QString strMessage;
    const int nResult = AdbDevice::ChoosePhone(AdbParsers::Devices(baList), strWanted, chosen, strMessage);
    if (!strChosen.isEmpty()) {
        QCOMPARE(nResult, 0);
        QCOMPARE(chosen.strSerial, strChosen);
        return;
    }
    QCOMPARE(nResult, int(DVSK_DEV_ERR_NO_PHONE));
    for (const QString &strPart : listSaying)
        QVERIFY2(strMessage.contains(strPart), qPrintable(strMessage));
}

void tst_AdbParsers::properties()
{
    const QByteArray baText("[ro.build.display.id]: [TQ3A.230805.001]\r\n"
                            "[ro.product.model]: [Pixel 6]\r\n"
                            "[ro.serialno]: []\n"
                            "[weird.value]: [a]: [b]\n"
                            "not a property line\n");
    const QHash<QString, QString> hash = AdbParsers::Properties(baText);
    QCOMPARE(hash.value("ro.build.display.id"), QString("TQ3A.230805.001"));
    QCOMPARE(hash.value("ro.product.model"), QString("Pixel 6"));
    QVERIFY(hash.contains("ro.serialno"));
    QCOMPARE(hash.value("ro.serialno"), QString());
    QCOMPARE(hash.value("weird.value"), QString("a]: [b"));
    QCOMPARE(hash.size(), 4);
}

void tst_AdbParsers::diskUsages_data()
{
    QTest::addColumn<QByteArray>("baText");
    QTest::addColumn<QStringList>("listExpected"); // mount|blocks|used|available

    QTest::newRow("toybox df -k, two paths")
            << QByteArray("Filesystem       1K-blocks     Used Available Use% Mounted on\r\n"
                          "/dev/block/dm-43 115164368 64128860  50904436  56% /data\r\n"
                          "/dev/fuse        115164368 64128860  50904436  56% /storage/emulated\r\n")
            << QStringList {"/data|115164368|64128860|50904436", "/storage/emulated|115164368|64128860|50904436"};
    QTest::newRow("error line between")
            << QByteArray("Filesystem 1K-blocks Used Available Use% Mounted on\n"
                          "df: /sdcard/: No such file or directory\n"
                          "/dev/block/by-name/userdata 26225216 5242880 20982336 21% /data\n")
            << QStringList {"/data|26225216|5242880|20982336"};
    QTest::newRow("negative or text numbers") << QByteArray("/dev/x -1 0 0 0% /data\n/dev/y a b c 1% /z\n")
                                              << QStringList {};
}

void tst_AdbParsers::diskUsages()
{
    QFETCH(QByteArray, baText);
    QFETCH(QStringList, listExpected);
    QStringList listGot;
    for (const AdbParsers::DiskUsage &usage : AdbParsers::DiskUsages(baText)) {
        listGot << QStringLiteral("%1|%2|%3|%4")
                           .arg(usage.strMountedOn)
                           .arg(usage.nBlocksKiB)
                           .arg(usage.nUsedKiB)
                           .arg(usage.nAvailableKiB);
    }
    QCOMPARE(listGot, listExpected);
}

void tst_AdbParsers::packages_data()
{
    QTest::addColumn<QByteArray>("baText");
    QTest::addColumn<QStringList>("listExpected"); // name|path

    QTest::newRow("Android 11 paths hold '='")
            << QByteArray("package:/data/app/~~Xy3_Qa==/com.example.notes-Ab9_cD==/base.apk=com.example.notes\r\n")
            << QStringList {"com.example.notes|/data/app/~~Xy3_Qa==/com.example.notes-Ab9_cD==/base.apk"};
    QTest::newRow("older paths, several")
            << QByteArray("package:/data/app/org.maps-1/base.apk=org.maps\npackage:/data/app/a.b-2/base.apk=a.b\n")
            << QStringList {"org.maps|/data/app/org.maps-1/base.apk", "a.b|/data/app/a.b-2/base.apk"};
    QTest::newRow("not package lines, no name, relative path")
            << QByteArray("WARNING: linker: something\npackage:/data/app/x/base.apk=\npackage:base.apk=p\n")
            << QStringList {};
}

void tst_AdbParsers::packages()
{
    QFETCH(QByteArray, baText);
    QFETCH(QStringList, listExpected);
    QStringList listGot;
    for (const AdbParsers::Package &package : AdbParsers::Packages(baText))
        listGot << package.strName + '|' + package.strApkPath;
    QCOMPARE(listGot, listExpected);
}

void tst_AdbParsers::packagePaths()
{
    const QByteArray baText("package:/data/app/~~r==/com.game-q==/base.apk\r\n"
                            "package:/data/app/~~r==/com.game-q==/split_config.arm64_v8a.apk\r\n"
                            "package:/data/app/~~r==/com.game-q==/split_config.xxhdpi.apk\r\n");
    QCOMPARE(AdbParsers::PackagePaths(baText),
             (QStringList {"/data/app/~~r==/com.game-q==/base.apk",
                           "/data/app/~~r==/com.game-q==/split_config.arm64_v8a.apk",
                           "/data/app/~~r==/com.game-q==/split_config.xxhdpi.apk"}));
    QVERIFY(AdbParsers::PackagePaths("Error: package not found\n").isEmpty());
    QCOMPARE(AdbParsers::ShellQuote("it's"), QString("'it'\\''s'"));
}

void tst_AdbParsers::requestFraming()
{
    QCOMPARE(AdbSocket::Frame("host:version"), QByteArray("000chost:version"));
    QCOMPARE(AdbSocket::Frame(QByteArray(300, 'x')).left(4), QByteArray("012c"));
    QCOMPARE(AdbSync::Request("RECV", "/sdcard/a.jpg"), QByteArray("RECV\x0d\0\0\0/sdcard/a.jpg", 21));
}

void tst_AdbParsers::recv_data()
{
    QTest::addColumn<QByteArray>("baReply");
    QTest::addColumn<int>("nResult");
    QTest::addColumn<QByteArray>("baFile"); // expected content; empty: no file
    QTest::addColumn<QString>("strError");

    const QByteArray baBig(AdbSync::kMaxChunk, 'b');
    QTest::newRow("chunks then DONE") << Chunk("DATA", "hello ") + Chunk("DATA", baBig) + Chunk("DONE", "")
                                      << int(AdbSync::Result::Ok) << QByteArray("hello ") + baBig << QString();
    QTest::newRow("empty file") << Chunk("DONE", "") << int(AdbSync::Result::Ok) << QByteArray("") << QString();
    QTest::newRow("refused") << Chunk("FAIL", "open failed: Permission denied")
                             << int(AdbSync::Result::RemoteFailed) << QByteArray() << "open failed: Permission denied";
    QTest::newRow("cut short") << Chunk("DATA", "abc").left(10) << int(AdbSync::Result::Broken) << QByteArray()
                               << QString();
    QTest::newRow("chunk over 64 KiB") << Chunk("DATA", QByteArray(AdbSync::kMaxChunk + 1, 'x'))
                                       << int(AdbSync::Result::Broken) << QByteArray() << QString();
    QTest::newRow("unknown id") << Chunk("DENT", "abcd") << int(AdbSync::Result::Broken) << QByteArray()
                                << QString();
}

void tst_AdbParsers::recv()
{
    QFETCH(QByteArray, baReply);
    QFETCH(int, nResult);
    QFETCH(QByteArray, baFile);
    QFETCH(QString, strError);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString strLocal = dir.filePath("a.jpg");
    const QByteArray baRequest = AdbSync::Request("RECV", "/sdcard/a.jpg");
    CannedPeer peer(baReply, baRequest.size());
    std::unique_ptr<AdbSync> pSync = SyncTo(peer.Port());
    QVERIFY(pSync);
    QString strGot;
    qint64 nLastProgress = -1;
    const AdbSync::Result result
            = pSync->Recv("/sdcard/a.jpg", strLocal, &strGot, [&](qint64 n) { nLastProgress = n; });
    QCOMPARE(int(result), nResult);
    QCOMPARE(peer.Received(), baRequest);
    if (result == AdbSync::Result::Ok) {
        QFile file(strLocal);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), baFile);
        QCOMPARE(nLastProgress, baFile.isEmpty() ? qint64(-1) : qint64(baFile.size()));
    } else {
        // Nothing is left behind, not even the temporary file.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
        QVERIFY(!pSync->IsUsable());
    }
    if (!strError.isEmpty())
        QCOMPARE(strGot, strError);
}

void tst_AdbParsers::listKeepsModeSizeAndTime()
{
    const QByteArray baReply = Dent(040771, 4096, 100, ".") + Dent(040771, 4096, 100, "..")
            + Dent(040770, 3452, 1700000000, "DCIM") + Dent(0100660, 204800, 1712345678, "a b.jpg")
            + Dent(0120777, 0, 5, "link") + QByteArray("DONE", 4) + QByteArray(16, '\0');
    CannedPeer peer(baReply, AdbSync::Request("LIST", "/sdcard/").size());
    std::unique_ptr<AdbSync> pSync = SyncTo(peer.Port());
    QVERIFY(pSync);
    QList<AdbSync::Entry> listEntries;
    QCOMPARE(int(pSync->List("/sdcard/", listEntries, nullptr)), int(AdbSync::Result::Ok));
    QCOMPARE(listEntries.size(), 3);
    QCOMPARE(listEntries.at(0).strName, QString("DCIM"));
    QVERIFY(listEntries.at(0).IsDirectory());
    QCOMPARE(listEntries.at(1).strName, QString("a b.jpg"));
    QVERIFY(listEntries.at(1).IsRegularFile());
    QCOMPARE(listEntries.at(1).nSize, quint32(204800));
    QCOMPARE(listEntries.at(1).nMtime, quint32(1712345678));
    QVERIFY(!listEntries.at(2).IsRegularFile() && !listEntries.at(2).IsDirectory());
    QVERIFY(pSync->IsUsable());
}

void tst_AdbParsers::shellPackets_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<int>("status");
    const auto packet = [](char cId, const QByteArray &ba) {
        QByteArray baHeader(5, cId);
        qToLittleEndian<quint32>(quint32(ba.size()), baHeader.data() + 1);
        return baHeader + ba;
    };
    QTest::newRow("output, error, exit") << packet(1, "Row: 0 _id=1\n") + packet(2, "WARNING: linker\n") + packet(3, QByteArray(1, '\0'))
                                         << QByteArray("Row: 0 _id=1\n") << QByteArray("WARNING: linker\n") << 0;
    QTest::newRow("interleaved, empty packets, status 127")
        << packet(2, "a") + packet(1, "") + packet(1, "b\x01\x02") + packet(2, "c") + packet(1, "d") + packet(3, "\x7f")
        << QByteArray("b\x01\x02" "d") << QByteArray("ac") << 127;
    QTest::newRow("no exit status") << packet(1, "x") << QByteArray("x") << QByteArray() << -1;
}

void tst_AdbParsers::shellPackets()
{
    // The same packets whatever the pieces they arrive in.
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(int, status);
    for (qsizetype nPiece = 1; nPiece <= stream.size(); ++nPiece) {
        QByteArray baOut;
        QByteArray baErr;
        ShellPackets packets([&](const QByteArray &ba) { baOut += ba; }, [&](const QByteArray &ba) { baErr += ba; });
        for (qsizetype i = 0; i < stream.size(); i += nPiece)
            packets.Feed(stream.mid(i, nPiece));
        QCOMPARE(baOut, out);
        QCOMPARE(baErr, err);
        QCOMPARE(packets.HasExited(), status >= 0);
        if (status >= 0)
            QCOMPARE(packets.ExitStatus(), status);
    }
}

void tst_AdbParsers::shellListing_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("status"); // through shell v2; -1 without (the last line tells)
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QList<QByteArray>>("entries"); // name|mode|size|mtime

    const QByteArray baDir = "/sdcard/" + QByteArray(1100, 'x');
    const QByteArray baDone = "dvsk-done\n";
    const QByteArray baPartial = "dvsk-partial\n";
    const QByteArray baTwo = "81b0 12 1700000000 " + baDir + "/a.jpg\n41f9 4096 5 " + baDir + "/sub\n";
    const QList<QByteArray> listTwo {"a.jpg|33200|12|1700000000", "sub|16889|4096|5"};
    QTest::newRow("file and folder") << baTwo + baDone << -1 << true << true << listTwo;
    QTest::newRow("file and folder, shell v2") << baTwo << 0 << true << true << listTwo;
    QTest::newRow("empty folder") << baDone << -1 << true << true << QList<QByteArray> {};
    QTest::newRow("empty folder, shell v2") << QByteArray() << 0 << true << true << QList<QByteArray> {};
    QTest::newRow("a new line inside a name") << QByteArray("81b0 3 9 " + baDir + "/two\nlines.jpg\n" + baDone) << -1
                                              << true << true << QList<QByteArray> {"two\nlines.jpg|33200|3|9"};
    QTest::newRow("bytes that are not UTF-8 are kept") << QByteArray("81b0 1 2 " + baDir + "/caf\xe9.jpg\n" + baDone)
                                                        << -1 << true << true << QList<QByteArray> {"caf\xe9.jpg|33200|1|2"};
    QTest::newRow("spaces and digits in a name") << QByteArray("81b0 1 2 " + baDir + "/1 2 3.jpg\n") << 0 << true
                                                 << true << QList<QByteArray> {"1 2 3.jpg|33200|1|2"};
    QTest::newRow("a name that is an ending line") << QByteArray("81b0 1 2 " + baDir + "/x\ndvsk-done\n" + baPartial)
                                                   << -1 << true << false << QList<QByteArray> {"x\ndvsk-done|33200|1|2"};
    // One entry the phone could not read: the others stay listed, the
    // listing is known to be incomplete.
    QTest::newRow("an entry failed") << baTwo + baPartial << -1 << true << false << listTwo;
    QTest::newRow("an entry failed, shell v2") << baTwo << 1 << true << false << listTwo;
    // Without its last line the command did not succeed: never an empty folder.
    QTest::newRow("the folder could not be opened") << baPartial << -1 << false << false << QList<QByteArray> {};
    QTest::newRow("the folder could not be opened, shell v2") << QByteArray() << 1 << false << false
                                                              << QList<QByteArray> {};
    QTest::newRow("an error without the quiet stream") << QByteArray("find: " + baDir + ": Permission denied\n") << -1
                                                        << false << false << QList<QByteArray> {};
    QTest::newRow("nothing at all") << QByteArray() << -1 << false << false << QList<QByteArray> {};
    QTest::newRow("cut off after an entry") << QByteArray("81b0 1 2 " + baDir + "/a.jpg\n") << -1 << false << false
                                            << QList<QByteArray> {};
    QTest::newRow("cut off inside a line, shell v2") << QByteArray("81b0 1 2 " + baDir + "/a.j") << 0 << false
                                                     << false << QList<QByteArray> {};
    QTest::newRow("an error line first") << QByteArray("stat: gone\n81b0 1 2 " + baDir + "/a.jpg\n" + baDone) << -1
                                         << false << false << QList<QByteArray> {};
}

// Folders too long for a sync request are listed by the phone's shell.
void tst_AdbParsers::shellListing()
{
    QFETCH(QByteArray, output);
    QFETCH(int, status);
    QFETCH(bool, opened);
    QFETCH(bool, complete);
    QFETCH(QList<QByteArray>, entries);
    const QByteArray baDir = "/sdcard/" + QByteArray(1100, 'x');
    const AdbShellFiles::Listing listing = AdbShellFiles::ParseListing(output, status, baDir);
    QCOMPARE(listing.bOpened, opened);
    QCOMPARE(listing.bComplete, complete && opened);
    QList<QByteArray> listGot;
    for (const AdbSync::Entry &entry : listing.listEntries) {
        listGot << entry.Bytes() + '|' + QByteArray::number(entry.nMode) + '|' + QByteArray::number(entry.nSize) + '|'
                        + QByteArray::number(entry.nMtime);
    }
    QCOMPARE(listGot, entries);
    QVERIFY(AdbShellFiles::ListCommand("/sdcard/it's", status >= 0).startsWith("find '/sdcard/it'\\''s' "));
}

void tst_AdbParsers::distinctVolumes_data()
{
    QTest::addColumn<QByteArray>("output"); // of AdbVolumes::IdentityCommand for the three roots
    QTest::addColumn<QStringList>("kept");
    const QStringList listAll {"/sdcard", "/storage/1A2B-3C4D", "/storage/sdcard0"};
    QTest::newRow("three volumes") << QByteArray("64:2\n65:1\n66:1\n") << listAll;
    QTest::newRow("the same device and inode") << QByteArray("64:2\n65:1\n64:2\n")
                                               << QStringList {"/sdcard", "/storage/1A2B-3C4D"};
    QTest::newRow("the same real path, terminal line ends")
            << QByteArray("/storage/sdcard0\r\n/storage/1A2B-3C4D\r\n/storage/sdcard0\r\n")
            << QStringList {"/sdcard", "/storage/1A2B-3C4D"};
    QTest::newRow("a number and a path are never the same") << QByteArray("64:2\n65:1\n/storage/sdcard0\n") << listAll;
    QTest::newRow("unknown twice is not the same") << QByteArray("unknown\n65:1\nunknown\n") << listAll;
    QTest::newRow("a line missing: nothing left out") << QByteArray("64:2\n64:2\n") << listAll;
    QTest::newRow("nothing printed") << QByteArray() << listAll;
}

// Older phones show their shared storage in /storage beside /sdcard too.
void tst_AdbParsers::distinctVolumes()
{
    QFETCH(QByteArray, output);
    QFETCH(QStringList, kept);
    const QStringList listAll {"/sdcard", "/storage/1A2B-3C4D", "/storage/sdcard0"};
    QStringList listRepeats;
    QCOMPARE(AdbVolumes::Distinct(listAll, output, &listRepeats), kept);
    QCOMPARE(listRepeats.size(), listAll.size() - kept.size());
}

void tst_AdbParsers::partNameFits_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("short") << QStringLiteral("a.jpg");
    QTest::newRow("250 bytes") << QString(246, QLatin1Char('n')) + QStringLiteral(".jpg");
    QTest::newRow("255 bytes of two-byte letters") << QString(127, QChar(0xe9)) + QStringLiteral("a");
    QTest::newRow("four-byte letters") << QString::fromUtf8(QByteArray(250, 'x') + "\xf0\x9f\x98\x80");
}

// A copy's temporary file can be made beside a target of any name a file
// system takes, and starts with a dot so that it stays out of sight.
void tst_AdbParsers::partNameFits()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString strPart = AdbPartFile::PartName(name);
    QVERIFY2(QFile::encodeName(strPart).size() <= 255, qPrintable(strPart));
    QVERIFY(strPart.startsWith('.') && strPart.endsWith(".XXXXXX.part"));
    QVERIFY(QString::fromUtf8(QFile::encodeName(strPart)) == strPart);
    QVERIFY(AdbPartFile::WriteWhole(dir.filePath(name), "bytes"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {name});
}

// A peer that accepts and never answers: the read fails once nothing came
// for the stall time, and says why.
void tst_AdbParsers::silentPeerStalls()
{
    CannedPeer peer("OKAY", 1 << 20);
    AdbSocket socket;
    QVERIFY(socket.Connect(peer.Port(), nullptr, 1));
    bool bStalled = false;
    socket.SetGuard({}, [&bStalled]() { bStalled = true; });
    QString strError;
    QVERIFY(!socket.Request("host:version", &strError));
    QVERIFY(socket.IsStalled());
    QVERIFY(bStalled);
    socket.Close();
}

// One list line per file as the engine reads it: name, size, the time
// when known, path; UTF-8; "\r\n" between lines, none after the last.
void tst_AdbParsers::fileListText_data()
{
    QTest::addColumn<QStringList>("listFiles"); // name|size|time (empty: unknown)|path
    QTest::addColumn<QByteArray>("baExpected");
    QTest::newRow("none") << QStringList() << QByteArray();
    QTest::newRow("one with a time") << QStringList {"a.jpg|300|1700000000|/sdcard/DCIM/a.jpg"}
                                     << QByteArray("a.jpg\x18" "300\x18" "1700000000\x18/sdcard/DCIM/a.jpg");
    QTest::newRow("no time, empty file")
            << QStringList {"e.png|0||/sdcard/e.png"} << QByteArray("e.png\x18" "0\x18/sdcard/e.png");
    QTest::newRow("two lines, not ASCII")
            << QStringList {"é.jpg|5|7|/sdcard/é.jpg", "b.mp4|6000000000||/sdcard/Movies/b.mp4"}
            << QByteArray("\xc3\xa9.jpg\x18" "5\x18" "7\x18/sdcard/\xc3\xa9.jpg\r\nb.mp4\x18" "6000000000\x18/sdcard/Movies/b.mp4");
}

void tst_AdbParsers::fileListText()
{
    QFETCH(QStringList, listFiles);
    QFETCH(QByteArray, baExpected);
    FileListText text;
    for (const QString &strFile : listFiles) {
        const QStringList listFields = strFile.split(QLatin1Char('|'));
        if (listFields.at(2).isEmpty())
            text.Add(listFields.at(0), listFields.at(1).toLongLong(), listFields.last());
        else
            text.Add(listFields.at(0), listFields.at(1).toLongLong(), listFields.at(2).toLongLong(), listFields.last());
    }
    QCOMPARE(text.Text(), baExpected);
    QCOMPARE(text.Lines(), listFiles.size());
    // The same lines from the fields' UTF-8, a time of 0 standing for none.
    FileListText utf8;
    for (const QString &strFile : listFiles) {
        const QStringList listFields = strFile.split(QLatin1Char('|'));
        utf8.AddUtf8(listFields.at(0).toUtf8(), listFields.at(1).toLongLong(), listFields.at(2).toLongLong(),
                     listFields.last().toUtf8());
    }
    QCOMPARE(utf8.Text(), baExpected);
}

// A walk's files end up in QString's order of their paths (UTF-16 units),
// each with its own size, time and name.
void tst_AdbParsers::phoneFilesSorted_data()
{
    QTest::addColumn<QStringList>("listPaths");
    QTest::newRow("ascii") << QStringList {"/s/b.jpg", "/s/a b/c.jpg", "/s/a/c.jpg", "/s/A.jpg", "/s/a"};
    QTest::newRow("not ascii") << QStringList {"/s/я.jpg", "/s/é.jpg", "/s/z.jpg", "/s/写真.jpg"};
    // U+1F600 becomes surrogates (0xD83D...), below U+E000 and U+FFFD.
    QTest::newRow("beyond the bmp") << QStringList {QString::fromUtf8("/s/\xEF\xBF\xBD.jpg"),
                                                    QString::fromUtf8("/s/\xF0\x9F\x98\x80.jpg"),
                                                    QString::fromUtf8("/s/\xEE\x80\x80.jpg"),
                                                    QString::fromUtf8("/s/\xED\x9F\xBF.jpg")};
}

void tst_AdbParsers::phoneFilesSorted()
{
    QFETCH(QStringList, listPaths);
    AdbPhoneFiles files;
    for (int i = 0; i < listPaths.size(); ++i)
        files.Add(listPaths.at(i), 100 + i, 1000 + i);
    files.SortByPath();
    QStringList listSorted = listPaths;
    std::sort(listSorted.begin(), listSorted.end());
    QCOMPARE(files.Size(), listPaths.size());
    for (int i = 0; i < listSorted.size(); ++i) {
        QCOMPARE(files.Path(i), listSorted.at(i));
        const int nAdded = int(listPaths.indexOf(listSorted.at(i)));
        QCOMPARE(files.FileSize(i), qint64(100 + nAdded));
        QCOMPARE(files.Mtime(i), qint64(1000 + nAdded));
        QCOMPARE(QString::fromUtf8(files.NameBytes(i)), listSorted.at(i).section(QLatin1Char('/'), -1));
    }
    // A copy shares the paths and keeps them when the walk is cleared.
    const AdbPhoneFiles copy = files;
    files.Clear();
    QCOMPARE(copy.Size(), listPaths.size());
    QCOMPARE(copy.Path(0), listSorted.first());
}

QTEST_GUILESS_MAIN(tst_AdbParsers)
#include "tst_adbparsers.moc"
