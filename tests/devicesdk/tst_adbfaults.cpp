// The adb back end when the phone misbehaves without being unplugged, or goes
// away at awkward moments: against the real adb server (a private one on a
// free port) and the device simulator. Skipped when adb or the simulator is
// not there.
#include "AdbTestRig.h"
#include "CallbackRecorder.h"
#include "TestPhone.h"
#include "adb/AdbDevice.h"
#include "adb/AdbServer.h"
#include "sdk/dvsk_device.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

#include <signal.h>

namespace
{
const char kSimulator[] = BACKUP_STAGE_DIR "/bin/adb-phone-sim";

// A call of the device on a thread of its own, so that the test can act
// while it is blocked; joined when done or destroyed.
class BlockedCall
{
public:
    explicit BlockedCall(std::function<int()> fnCall)
        : m_thread([this, fnCall]() {
              m_nResult = fnCall();
              m_bDone = true;
          })
    {
    }
    ~BlockedCall() { m_thread.join(); }
    bool IsDone() const { return m_bDone.load(); }
    int Result() const { return m_nResult.load(); }

private:
    std::atomic<bool> m_bDone {false};
    std::atomic<int> m_nResult {-1};
    std::thread m_thread;
};

// A folder path of over 1,100 bytes: longer than a sync request takes.
QString LongFolder()
{
    QString strFolder = "/sdcard/Long";
    for (int i = 0; i < 5; ++i)
        strFolder += '/' + QString(220, QChar('a' + i));
    return strFolder;
}

// Sets "group/key=value" settings in a phone folder's phone.ini.
void SetKnobs(const QString &strPhoneDir, const QStringList &listKnobs)
{
    QSettings ini(strPhoneDir + "/phone.ini", QSettings::IniFormat);
    for (const QString &strKnob : listKnobs)
        ini.setValue(strKnob.section('=', 0, 0), strKnob.section('=', 1));
}

// The stall time the adb client reads on every connection.
class StallSeconds
{
public:
    explicit StallSeconds(int nSeconds) { qputenv("DVSK_ADB_STALL_SECONDS", QByteArray::number(nSeconds)); }
    ~StallSeconds() { qunsetenv("DVSK_ADB_STALL_SECONDS"); }
};
} // namespace

class tst_AdbFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void stallEndsAsDisconnected();
    void cancelEndsAWaitForAStalledPhone_data();
    void cancelEndsAWaitForAStalledPhone();
    void backuptoolStall_data();
    void backuptoolStall();
    void unplugWhileCounting_data();
    void unplugWhileCounting();
    void interruptedRunIsFinishedNextTime();
    void namesOverAdb();
    void longAndDeepFolders_data();
    void longAndDeepFolders();
    void partOfALongFolder_data();
    void partOfALongFolder();
    void endWhileReadingALongFolder_data();
    void endWhileReadingALongFolder();
    void storageSeenTwice_data();
    void storageSeenTwice();

private:
    // Backs up the phone's media with backuptool into strWork/dest and
    // returns the files of the backup's Image folder: name -> content.
    // With pExit, the files are taken whatever the run's exit status, which goes there.
    QMap<QString, QByteArray> BackUpMedia(const QString &strPhone, const QString &strWork, QString *pOutput,
                                          int *pExit = nullptr);
    // Starts a simulator of the fixture phone with these options and opens it.
    QString StartPhone(const QStringList &listOptions, std::unique_ptr<AdbDevice> *ppDevice = nullptr);
    // Starts backuptool run --device adb:SERIAL ARGS with its own settings
    // and data folder below strWork.
    void StartBackuptool(QProcess &tool, const QString &strWork, const QString &strSerial,
                         const QStringList &listArgs, int nStallSeconds, int nStreams = 0) const;

    QTemporaryDir m_dir;
    QString m_strPhone;
    std::unique_ptr<AdbTestRig> m_pRig;
    QStringList m_listSerials;
};

void tst_AdbFaults::initTestCase()
{
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    if (!QFileInfo(QString::fromUtf8(kSimulator)).isExecutable())
        QSKIP("the device simulator adb-phone-sim is not built");
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));

    TestPhone phone(m_dir.filePath("phone"));
    phone.SetDevice("Stall Test", "TQ3A.230805.001", "350000000000001");
    phone.AddFile("/sdcard/DCIM/Camera/a.jpg", 40000);
    phone.AddFile("/sdcard/DCIM/Camera/b.jpg", 50000);
    phone.AddFile("/sdcard/DCIM/Camera/c.jpg", 60000);
    phone.AddFile("/sdcard/Movies/clip.mp4", 70000);
    phone.AddFile("/sdcard/Music/song.mp3", 80000);
    phone.AddApp("com.example.notes", 50000);
    QVERIFY(phone.Save());
    m_strPhone = phone.Dir();

    m_pRig = std::make_unique<AdbTestRig>(m_dir.path());
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
}

void tst_AdbFaults::cleanupTestCase()
{
    m_pRig.reset();
}

void tst_AdbFaults::init()
{
    // Each test has phones of its own; the last test's are let go.
    for (const QString &strSerial : std::exchange(m_listSerials, {}))
        m_pRig->Adb({"disconnect", strSerial});
    CallbackRecorder::Instance().TakeEventCodes();
}

QString tst_AdbFaults::StartPhone(const QStringList &listOptions, std::unique_ptr<AdbDevice> *ppDevice)
{
    const QString strSerial = m_pRig->StartSimulator(m_strPhone, listOptions);
    if (strSerial.isEmpty())
        return QString();
    m_listSerials << strSerial;
    if (ppDevice) {
        *ppDevice = std::make_unique<AdbDevice>(strSerial, m_pRig->ServerPort());
        (*ppDevice)->SetEventCallback(&CallbackRecorder::OnEvent);
        QString strMessage;
        if ((*ppDevice)->Open(strMessage) != 0) {
            qWarning("%s", qPrintable(strMessage));
            return QString();
        }
    }
    return strSerial;
}

void tst_AdbFaults::StartBackuptool(QProcess &tool, const QString &strWork, const QString &strSerial,
                                    const QStringList &listArgs, int nStallSeconds, int nStreams) const
{
    QProcessEnvironment env = m_pRig->Environment();
    if (nStreams > 0)
        env.insert("DVSK_ADB_STREAMS", QString::number(nStreams));
    env.insert("DVSK_SIM_USERDATA", strWork + "/userdata");
    env.insert("PELORIX_HOST_SETTINGS", strWork + "/host.ini");
    env.insert("DVSK_ADB_STALL_SECONDS", QString::number(nStallSeconds));
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(BACKUP_STAGE_DIR "/bin/backuptool"),
               QStringList {"run", "--device", "adb:" + strSerial} + listArgs);
}

// A phone that stops answering but stays listed by the server: the copy
// waiting for it ends as a disconnect once nothing came for the stall time,
// the engine hears of it as of an unplug, and nothing more waits for it.
void tst_AdbFaults::stallEndsAsDisconnected()
{
    const StallSeconds stall(2);
    std::unique_ptr<AdbDevice> pDevice;
    const QString strSerial = StartPhone({"--stall-after-files", "1"}, &pDevice);
    QVERIFY(!strSerial.isEmpty());
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    QCOMPARE(pDevice->GetFile(out.filePath("a.jpg").toUtf8(), "/sdcard/DCIM/Camera/a.jpg", 2), 0);
    QCOMPARE(pDevice->GetFile(out.filePath("b.jpg").toUtf8(), "/sdcard/DCIM/Camera/b.jpg", 2),
             int(DVSK_DEV_ERR_DISCONNECTED));
    QCOMPARE(CallbackRecorder::Instance().TakeEventCodes(),
             (QList<int> {DVSK_EVENT_DEVICE_REMOVED, DVSK_EVENT_SERVICE_LOST}));
    QVERIFY(m_pRig->SimulatorCommand(strSerial, "status").contains("plugged=yes"));
    QVERIFY(!pDevice->IsAttached());
    // The rest of the run does not wait again.
    QCOMPARE(pDevice->GetFile(out.filePath("c.jpg").toUtf8(), "/sdcard/DCIM/Camera/c.jpg", 2),
             int(DVSK_DEV_ERR_DISCONNECTED));
    DVSK_MemInfo *pMem = nullptr;
    QCOMPARE(pDevice->MemInfo(&pMem), -1);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"a.jpg"});
}

void tst_AdbFaults::cancelEndsAWaitForAStalledPhone_data()
{
    // What the stalled phone leaves the client waiting for.
    QTest::addColumn<QString>("stallOn");
    QTest::addColumn<QString>("call");
    QTest::newRow("opening the sync service") << "sync:" << "copy";
    QTest::newRow("a copy under way") << "" << "copy";
    QTest::newRow("a shell command") << "shell:df" << "memory";
    QTest::newRow("counting the records") << "content query" << "count";
}

// Whatever the client waits for, a cancel ends the wait: the stall time is
// far longer than the test waits.
void tst_AdbFaults::cancelEndsAWaitForAStalledPhone()
{
    QFETCH(QString, stallOn);
    QFETCH(QString, call);
    const StallSeconds stall(3600);
    std::unique_ptr<AdbDevice> pDevice;
    const QString strSerial = StartPhone(stallOn.isEmpty() ? QStringList {"--stall-after-files", "1"}
                                                           : QStringList {"--stall-on", stallOn},
                                         &pDevice);
    QVERIFY(!strSerial.isEmpty());
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    if (stallOn.isEmpty())
        QCOMPARE(pDevice->GetFile(out.filePath("a.jpg").toUtf8(), "/sdcard/DCIM/Camera/a.jpg", 2), 0);
    AdbDevice *pPhone = pDevice.get();
    const QByteArray baTarget = out.filePath("b.jpg").toUtf8();
    BlockedCall blocked([pPhone, call, baTarget]() {
        if (call == "memory") {
            DVSK_MemInfo *pMem = nullptr;
            return pPhone->MemInfo(&pMem);
        }
        int nCount = 0;
        if (call == "count")
            return pPhone->GetBackUpCount(0, &nCount, nullptr);
        return pPhone->GetFile(baTarget, "/sdcard/DCIM/Camera/b.jpg", 2);
    });
    // The phone has left a request unanswered: the client is waiting.
    QTRY_VERIFY_WITH_TIMEOUT(m_pRig->SimulatorCommand(strSerial, "status").contains(QRegularExpression("withheld=[1-9]")),
                             30000);
    QVERIFY(!blocked.IsDone());
    pPhone->SetBackupCancel(1);
    QTRY_VERIFY_WITH_TIMEOUT(blocked.IsDone(), 30000);
    QVERIFY2(blocked.Result() != 0, "a cancelled call never succeeds");
    QVERIFY(!QFile::exists(out.filePath("b.jpg")));
    pPhone->SetBackupCancel(0);
}

void tst_AdbFaults::backuptoolStall_data()
{
    QTest::addColumn<int>("stallSeconds");
    QTest::addColumn<bool>("interrupt");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    QTest::newRow("stall ends as a disconnect") << 2 << false << 4 << "phone disconnected";
    QTest::newRow("SIGTERM during a stall") << 3600 << true << 130 << "Backup cancelled";
}

// The command-line tool on a phone that stops answering after two files.
void tst_AdbFaults::backuptoolStall()
{
    QFETCH(int, stallSeconds);
    QFETCH(bool, interrupt);
    QFETCH(int, status);
    QFETCH(QString, says);
    const QString strSerial = StartPhone({"--stall-after-files", "2"});
    QVERIFY(!strSerial.isEmpty());
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    QProcess tool;
    StartBackuptool(tool, out.path(), strSerial, {"--items", "media", "--dest", out.filePath("dest")}, stallSeconds);
    QVERIFY(tool.waitForStarted());
    if (interrupt) {
        QTRY_VERIFY_WITH_TIMEOUT(
                m_pRig->SimulatorCommand(strSerial, "status").contains(QRegularExpression("withheld=[1-9]")), 60000);
        ::kill(pid_t(tool.processId()), SIGTERM);
    }
    const bool bFinished = tool.waitForFinished(60000);
    const QString strOutput = QString::fromUtf8(tool.readAll());
    QVERIFY2(bFinished, qPrintable(strOutput));
    QVERIFY2(tool.exitCode() == status && strOutput.contains(says),
             qPrintable(QString::number(tool.exitCode()) + ": " + strOutput));
}

void tst_AdbFaults::unplugWhileCounting_data()
{
    QTest::addColumn<QString>("unplugOn");
    QTest::addColumn<QString>("items");
    QTest::newRow("listing the applications") << "shell:pm list packages" << "apps,media";
    QTest::newRow("walking the media") << "sync:" << "media";
}

// The phone goes away before the backup job starts: the job says it was
// disconnected, not that its memory is unknown.
void tst_AdbFaults::unplugWhileCounting()
{
    QFETCH(QString, unplugOn);
    QFETCH(QString, items);
    const QString strSerial = StartPhone({"--unplug-on", unplugOn});
    QVERIFY(!strSerial.isEmpty());
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    QProcess tool;
    StartBackuptool(tool, out.path(), strSerial, {"--items", items, "--dest", out.filePath("dest")}, 20);
    const bool bFinished = tool.waitForFinished(120000);
    const QString strOutput = QString::fromUtf8(tool.readAll());
    QVERIFY2(bFinished, qPrintable(strOutput));
    QVERIFY2(strOutput.contains("could not be counted"), qPrintable(strOutput));
    QVERIFY2(tool.exitCode() == 4 && strOutput.contains("phone disconnected"), qPrintable(strOutput));
    QVERIFY2(!strOutput.contains("memory"), qPrintable(strOutput));
}

// A cable cut after two files: the run keeps them, marked as incomplete; the
// next run takes them over, copies only the rest from the phone, and removes
// the interrupted folder.
void tst_AdbFaults::interruptedRunIsFinishedNextTime()
{
    QTemporaryDir work;
    QVERIFY2(work.isValid(), qPrintable(work.errorString()));
    TestPhone phone(work.filePath("phone"));
    for (const char *szName : {"a", "b", "c", "d", "e"})
        phone.AddFile(QStringLiteral("/sdcard/DCIM/%1.jpg").arg(szName), QByteArray(30000, *szName));
    QVERIFY(phone.Save());
    const QString strDest = work.filePath("dest");
    auto run = [&](const QStringList &listOptions, QString *pOutput) {
        const QString strSerial = m_pRig->StartSimulator(phone.Dir(), listOptions);
        m_listSerials << strSerial;
        QProcess tool;
        // One stream: the photos leave the phone in order, so the unplug
        // after the second one is sent cuts the run after a.jpg or b.jpg.
        // With several streams any two could be sent first while a.jpg is
        // still on its way, and the files kept would vary from run to run.
        StartBackuptool(tool, work.path(), strSerial, {"--items", "media", "--dest", strDest}, 20, 1);
        const bool bFinished = tool.waitForFinished(120000);
        *pOutput = QString::fromUtf8(tool.readAll());
        return bFinished ? tool.exitCode() : -1;
    };
    QString strOutput;
    QCOMPARE(run({"--unplug-after-files", "2"}, &strOutput), 4);
    // The unplug comes after the second file has left the phone; whether its
    // end reached the PC first decides between one and two files kept.
    const QRegularExpressionMatch match
            = QRegularExpression("Backup interrupted: ([12]) files kept; start again to finish.").match(strOutput);
    QVERIFY2(match.hasMatch(), qPrintable(strOutput));
    const int nKept = match.captured(1).toInt();
    const QDir dest(strDest);
    QVERIFY2(dest.entryList({"*.zip"}, QDir::Files).isEmpty(), "an interrupted run has no package");
    const QStringList listRuns = dest.entryList({"backup_*"}, QDir::Dirs);
    QCOMPARE(listRuns.size(), 1);
    const QString strInterrupted = dest.filePath(listRuns.first());
    QVERIFY(QFile::exists(strInterrupted + "/INTERRUPTED.txt"));
    QCOMPARE(QDir(strInterrupted + "/Image").entryList({"*.jpg"}, QDir::Files),
             QStringList({"a.jpg", "b.jpg"}).mid(0, nKept));
    QVERIFY(QFile::exists(strInterrupted + "/Image/ImageList.xml"));

    QCOMPARE(run({}, &strOutput), 0);
    QVERIFY2(strOutput.contains(QStringLiteral("%1 from the phone").arg(5 - nKept))
                     && strOutput.contains(QStringLiteral("%1 reused").arg(nKept)),
             qPrintable(strOutput));
    QVERIFY2(!QFileInfo::exists(strInterrupted), "the interrupted folder is removed once its files are taken over");
    const QStringList listNow = dest.entryList({"backup_*"}, QDir::Dirs);
    QCOMPARE(listNow.size(), 1);
    QDir image(dest.filePath(listNow.first()) + "/Image");
    QCOMPARE(image.entryList({"*.jpg"}, QDir::Files), (QStringList {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}));
    for (const QString &strName : image.entryList({"*.jpg"}, QDir::Files)) {
        QFile file(image.filePath(strName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray(30000, strName.at(0).toLatin1()));
    }
}

QMap<QString, QByteArray> tst_AdbFaults::BackUpMedia(const QString &strPhone, const QString &strWork,
                                                     QString *pOutput, int *pExit)
{
    QMap<QString, QByteArray> mapFiles;
    if (pExit)
        *pExit = -1;
    const QString strSerial = m_pRig->StartSimulator(strPhone, {});
    if (strSerial.isEmpty())
        return mapFiles;
    m_listSerials << strSerial;
    QProcess tool;
    StartBackuptool(tool, strWork, strSerial, {"--items", "media", "--dest", strWork + "/dest"}, 20);
    const bool bFinished = tool.waitForFinished(120000);
    *pOutput = QString::fromUtf8(tool.readAll());
    if (pExit)
        *pExit = bFinished ? tool.exitCode() : -1;
    if (!bFinished || (!pExit && tool.exitCode() != 0))
        return mapFiles;
    const QStringList listRuns = QDir(strWork + "/dest").entryList({"backup_*"}, QDir::Dirs);
    const QDir image(strWork + "/dest/" + listRuns.value(0) + "/Image");
    for (const QString &strName : image.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(image.filePath(strName));
        if (!strName.endsWith(".xml") && file.open(QIODevice::ReadOnly))
            mapFiles.insert(strName, file.readAll());
    }
    return mapFiles;
}

// Names a phone may hold: as long as a name can be, not UTF-8 at all, and
// not UTF-8 in a way that reads like a real name holding U+FFFD. Every file
// arrives with its own bytes, none takes another's place.
void tst_AdbFaults::namesOverAdb()
{
    QTemporaryDir work;
    QVERIFY2(work.isValid(), qPrintable(work.errorString()));
    TestPhone phone(work.filePath("phone"));
    const QString strLong = QString(246, QChar('n')) + ".jpg"; // 250 bytes
    const QString strReplacement = QStringLiteral("caf\uFFFD.jpg");
    phone.AddFile("/sdcard/DCIM/" + strLong, QByteArray("long name"));
    phone.AddFile("/sdcard/DCIM/" + strReplacement, QByteArray("a real U+FFFD"));
    phone.AddFile("/sdcard/DCIM/latin1.jpg", QByteArray("Latin-1 e acute"));
    phone.AddFile("/sdcard/DCIM/latin1-grave.jpg", QByteArray("Latin-1 e grave"));
    QVERIFY(phone.Save());
    {
        QSettings ini(phone.Dir() + "/phone.ini", QSettings::IniFormat);
        ini.setValue("faults/rawNames", QStringList {"/sdcard/DCIM/latin1.jpg=" + QByteArray("caf\xe9.jpg").toHex(),
                                                     "/sdcard/DCIM/latin1-grave.jpg=" + QByteArray("caf\xe8.jpg").toHex()});
    }
    QString strOutput;
    const QMap<QString, QByteArray> mapFiles = BackUpMedia(phone.Dir(), work.path(), &strOutput);
    QVERIFY2(mapFiles.size() == 4, qPrintable(strOutput + QStringList(mapFiles.keys()).join('\n')));
    QCOMPARE(mapFiles.value(strLong), QByteArray("long name"));
    QCOMPARE(mapFiles.value(strReplacement), QByteArray("a real U+FFFD"));
    QCOMPARE(QSet<QByteArray>(mapFiles.cbegin(), mapFiles.cend()),
             (QSet<QByteArray> {"long name", "a real U+FFFD", "Latin-1 e acute", "Latin-1 e grave"}));
    // Nothing of a copy is left beside the files.
    for (const QString &strName : mapFiles.keys())
        QVERIFY2(!strName.startsWith('.'), qPrintable(strName));
}

void tst_AdbFaults::longAndDeepFolders_data()
{
    // phone.ini settings of the phone
    QTest::addColumn<QStringList>("knobs");
    const QString strWarning = "faults/linkerWarning=WARNING: linker: libdvsk.so has text relocations";
    QTest::newRow("shell v2") << QStringList {};
    QTest::newRow("without shell v2") << QStringList {"device/oldShell=true"};
    QTest::newRow("shell v2, a linker warning") << QStringList {strWarning};
    QTest::newRow("without shell v2, a linker warning") << QStringList {"device/oldShell=true", strWarning};
}

// A folder path of over 1,100 bytes (longer than a sync request takes), with
// many small files, a name that is not UTF-8 and a subfolder, and a folder 70
// levels deep: their files are backed up like any other, whatever the
// phone's tools print on their error stream.
void tst_AdbFaults::longAndDeepFolders()
{
    QFETCH(QStringList, knobs);
    QTemporaryDir work;
    QVERIFY2(work.isValid(), qPrintable(work.errorString()));
    TestPhone phone(work.filePath("phone"));
    const QString strLongFolder = LongFolder();
    QString strDeepFolder = "/sdcard/Deep";
    for (int i = 0; i < 70; ++i)
        strDeepFolder += "/d";
    phone.AddFile(strLongFolder + "/far.jpg", QByteArray("at the end of a long path"));
    phone.AddFile(strLongFolder + "/f/farther.jpg", QByteArray("below it"));
    phone.AddFile(strLongFolder + "/latin1.jpg", QByteArray("Latin-1 in a long folder"));
    QSet<QByteArray> setExpected {"at the end of a long path", "below it", "Latin-1 in a long folder",
                                  "seventy levels down", "near"};
    for (int i = 0; i < 12; ++i) {
        const QByteArray baContent = "small file " + QByteArray::number(i) + QByteArray(i * 1000, 'x');
        phone.AddFile(strLongFolder + QString("/s%1.jpg").arg(i, 2, 10, QChar('0')), baContent);
        setExpected << baContent;
    }
    phone.AddFile(strDeepFolder + "/low.jpg", QByteArray("seventy levels down"));
    phone.AddFile("/sdcard/DCIM/near.jpg", QByteArray("near"));
    QVERIFY(phone.Save());
    SetKnobs(phone.Dir(), knobs + QStringList {"faults/rawNames=" + strLongFolder + "/latin1.jpg="
                                               + QByteArray("caf\xe9.jpg").toHex()});
    QString strOutput;
    const QMap<QString, QByteArray> mapFiles = BackUpMedia(phone.Dir(), work.path(), &strOutput);
    QVERIFY2(mapFiles.value("far.jpg") == "at the end of a long path", qPrintable(strOutput));
    QCOMPARE(mapFiles.value("farther.jpg"), QByteArray("below it"));
    QCOMPARE(mapFiles.value("low.jpg"), QByteArray("seventy levels down"));
    QCOMPARE(QSet<QByteArray>(mapFiles.cbegin(), mapFiles.cend()), setExpected);
    QVERIFY2(!mapFiles.contains("latin1.jpg"), "the name on the PC is not the phone's");
}

void tst_AdbFaults::partOfALongFolder_data()
{
    QTest::addColumn<bool>("shellV2");
    QTest::newRow("shell v2") << true;
    QTest::newRow("without shell v2") << false;
}

// One entry of a long folder that the phone cannot read (it vanished between
// the listing and its stat): the others are copied, and the folder is named
// as not wholly read, so the run does not end as a full backup.
void tst_AdbFaults::partOfALongFolder()
{
    QFETCH(bool, shellV2);
    QTemporaryDir work;
    QVERIFY2(work.isValid(), qPrintable(work.errorString()));
    TestPhone phone(work.filePath("phone"));
    const QString strLongFolder = LongFolder();
    phone.AddFile(strLongFolder + "/a.jpg", QByteArray("first"));
    phone.AddFile(strLongFolder + "/b.jpg", QByteArray("gone"));
    phone.AddFile(strLongFolder + "/c.jpg", QByteArray("third"));
    phone.SetMissingFile(strLongFolder + "/b.jpg");
    // Subfolders listed together: one the phone will not open between two it lists.
    phone.AddFile(strLongFolder + "/w/w.jpg", QByteArray("in w"));
    phone.AddFile(strLongFolder + "/x/x.jpg", QByteArray("closed"));
    phone.AddFile(strLongFolder + "/y/y.jpg", QByteArray("in y"));
    QVERIFY(phone.Save());
    SetKnobs(phone.Dir(), QStringList {"faults/unreadableFolders=" + strLongFolder + "/x"}
                                  + (shellV2 ? QStringList() : QStringList {"device/oldShell=true"}));
    QString strOutput;
    int nExit = -1;
    const QMap<QString, QByteArray> mapFiles = BackUpMedia(phone.Dir(), work.path(), &strOutput, &nExit);
    QVERIFY2(nExit == 1, qPrintable(strOutput));
    QCOMPARE(mapFiles.value("a.jpg"), QByteArray("first"));
    QCOMPARE(mapFiles.value("c.jpg"), QByteArray("third"));
    QCOMPARE(mapFiles.value("w.jpg"), QByteArray("in w"));
    QCOMPARE(mapFiles.value("y.jpg"), QByteArray("in y"));
    QVERIFY(!mapFiles.contains("b.jpg"));
    QVERIFY(!mapFiles.contains("x.jpg"));
    // Named: the folder listed in part, and the one not opened.
    QVERIFY2(strOutput.contains(QString(LongFolder()).right(40) + "\n"), qPrintable(strOutput));
    QVERIFY2(strOutput.contains(QString(LongFolder()).right(40) + "/x\n"), qPrintable(strOutput));
}

void tst_AdbFaults::endWhileReadingALongFolder_data()
{
    QTest::addColumn<QString>("option"); // of the simulator, for the services reading a file
    QTest::addColumn<int>("result");
    QTest::newRow("a cancel while the phone withholds the reads") << "--stall-on" << int(DVSK_DEV_ERR_CANCELLED);
    QTest::newRow("an unplug at a read") << "--unplug-on" << int(DVSK_DEV_ERR_DISCONNECTED);
}

// Files of a long folder are read several at once: a cancel or an unplug
// ends every read, the copy asked for fails, and nothing is left on the PC.
void tst_AdbFaults::endWhileReadingALongFolder()
{
    QFETCH(QString, option);
    QFETCH(int, result);
    const StallSeconds stall(3600);
    QTemporaryDir work;
    QVERIFY2(work.isValid(), qPrintable(work.errorString()));
    TestPhone phone(work.filePath("phone"));
    for (int i = 0; i < 8; ++i)
        phone.AddFile(LongFolder() + QString("/s%1.jpg").arg(i), QByteArray(5000, 'a' + i));
    QVERIFY(phone.Save());
    const QString strSerial = m_pRig->StartSimulator(phone.Dir(), {option, "cat '"});
    QVERIFY(!strSerial.isEmpty());
    m_listSerials << strSerial;
    auto pDevice = std::make_unique<AdbDevice>(strSerial, m_pRig->ServerPort());
    char *pText = nullptr;
    QCOMPARE(pDevice->BackUp(16, "Image", &pText), 0);
    free(pText);
    AdbDevice *pPhone = pDevice.get();
    const QByteArray baTarget = work.filePath("out/s0.jpg").toUtf8();
    QVERIFY(QDir().mkpath(work.filePath("out")));
    const QByteArray baRemote = (LongFolder() + "/s0.jpg").toUtf8();
    BlockedCall blocked([pPhone, baTarget, baRemote]() { return pPhone->GetFile(baTarget, baRemote, 2); });
    if (option == "--stall-on") {
        QTRY_VERIFY_WITH_TIMEOUT(
                m_pRig->SimulatorCommand(strSerial, "status").contains(QRegularExpression("withheld=[1-9]")), 30000);
        QVERIFY(!blocked.IsDone());
        pPhone->SetBackupCancel(1);
    }
    QTRY_VERIFY_WITH_TIMEOUT(blocked.IsDone(), 30000);
    QCOMPARE(blocked.Result(), result);
    // The reads fetched ahead end with the device.
    pDevice.reset();
    QCOMPARE(QDir(work.filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void tst_AdbFaults::storageSeenTwice_data()
{
    QTest::addColumn<QStringList>("knobs");
    // Android 5: no stat; /sdcard is a link to the storage mounted at
    // /storage/sdcard0, which its real path tells.
    QTest::newRow("a link, told by the real path") << QStringList {"device/sdk=21", "device/sdcardLink=/storage/sdcard0"};
    // The storage bound at both places: the same device and inode.
    QTest::newRow("a bind, told by device and inode") << QStringList {"device/sdk=23"};
}

// The shared storage seen a second time as a folder of /storage: every
// photo is counted and copied once; a memory card beside it is kept.
void tst_AdbFaults::storageSeenTwice()
{
    QFETCH(QStringList, knobs);
    QTemporaryDir work;
    QVERIFY2(work.isValid(), qPrintable(work.errorString()));
    TestPhone phone(work.filePath("phone"));
    phone.AddFile("/sdcard/DCIM/Camera/a.jpg", QByteArray("a"));
    phone.AddFile("/sdcard/DCIM/Camera/b.jpg", QByteArray("b"));
    phone.AddFile("/storage/ABCD-1234/DCIM/card.jpg", QByteArray("on the card"));
    QVERIFY(phone.Save());
    SetKnobs(phone.Dir(), knobs);
    QVERIFY(QFile::link("../sdcard", phone.Dir() + "/fs/storage/sdcard0"));
    const QString strSerial = m_pRig->StartSimulator(phone.Dir(), {});
    QVERIFY(!strSerial.isEmpty());
    m_listSerials << strSerial;
    AdbDevice device(strSerial, m_pRig->ServerPort());
    int nCount = 0;
    QCOMPARE(device.GetBackUpCount(16, &nCount, nullptr), 0);
    char *pText = nullptr;
    QCOMPARE(device.BackUp(16, "Image", &pText), 0);
    const QString strList = QString::fromUtf8(pText);
    free(pText);
    QVERIFY2(nCount == 3, qPrintable(strList));
    QVERIFY2(strList.contains("/sdcard/DCIM/Camera/a.jpg") && strList.contains("/storage/ABCD-1234/DCIM/card.jpg"),
             qPrintable(strList));
    QVERIFY2(!strList.contains("sdcard0"), qPrintable(strList));
}

QTEST_GUILESS_MAIN(tst_AdbFaults)
#include "tst_adbfaults.moc"
