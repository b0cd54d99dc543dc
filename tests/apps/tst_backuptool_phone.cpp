// backuptool run and the phone it backs up: a real phone through adb unless
// told otherwise, its own exit status and reason when no phone is usable,
// and --wait for a phone that comes later. adb cases use a private adb
// server with the device simulator; skipped when adb is not installed.
#include "AdbTestRig.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{
const int kExitNoPhone = 5;
} // namespace

class tst_BackuptoolPhone : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void choosingThePhone_data();
    void choosingThePhone();
    void noUsablePhone_data();
    void noUsablePhone();
    void waitsForAPhone();

private:
    // Starts backuptool run ARGS with its own settings and data folder, the
    // rig's adb server and DVSK_DEVICE as given (null: unset).
    void StartTool(QProcess &tool, const QStringList &listArgs, const QByteArray &baDevice = QByteArray(),
                   bool bWithAdb = true) const;
    // Waits for the tool to end: its exit status (-1: it did not) and all it wrote.
    static int Finish(QProcess &tool, QString *pOutput);

    std::unique_ptr<TestEnv> m_pEnv;
    QTemporaryDir m_dir;
    QString m_strPhone;
    std::unique_ptr<AdbTestRig> m_pRig;
    int m_nRun = 0;
};

void tst_BackuptoolPhone::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    m_pEnv = std::make_unique<TestEnv>();
    TestPhone phone(m_dir.filePath("phone"));
    phone.SetDevice("Corvo Z1", "CRZ1 V1", "350000000000077");
    phone.AddFile("/sdcard/DCIM/a.jpg", 1000);
    phone.AddFile("/sdcard/Music/b.mp3", 2000);
    QVERIFY(phone.Save());
    m_strPhone = phone.Dir();
    if (AdbTestRig::AdbPath().isEmpty())
        return;
    m_pRig = std::make_unique<AdbTestRig>(m_dir.path());
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
}

void tst_BackuptoolPhone::cleanupTestCase()
{
    if (m_pRig) {
        QString strProblems;
        QVERIFY2(m_pRig->Stop(&strProblems), qPrintable(strProblems));
    }
}

void tst_BackuptoolPhone::StartTool(QProcess &tool, const QStringList &listArgs, const QByteArray &baDevice,
                                    bool bWithAdb) const
{
    const QString strWork = m_dir.filePath(QStringLiteral("run%1").arg(const_cast<tst_BackuptoolPhone *>(this)->m_nRun++));
    QDir().mkpath(strWork + "/dest");
    QProcessEnvironment env = m_pRig ? m_pRig->Environment() : QProcessEnvironment::systemEnvironment();
    env.insert("DVSK_SIM_USERDATA", strWork + "/userdata/");
    env.insert("PELORIX_HOST_SETTINGS", strWork + "/host.ini");
    env.insert("PELORIX_HOST_DOCUMENTS", strWork + "/documents");
    if (baDevice.isNull())
        env.remove("DVSK_DEVICE");
    else
        env.insert("DVSK_DEVICE", QString::fromUtf8(baDevice));
    if (!bWithAdb) {
        // No server on the port and no adb program to start one.
        env.insert("ANDROID_ADB_SERVER_PORT", QString::number(AdbTestRig::FreePort()));
        env.insert("PATH", strWork + "/no-programs");
    }
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(BACKUP_STAGE_DIR "/bin/backuptool"),
               QStringList {"run", "--dest", strWork + "/dest"} + listArgs);
}

int tst_BackuptoolPhone::Finish(QProcess &tool, QString *pOutput)
{
    const bool bFinished = tool.waitForFinished(120000);
    *pOutput += QString::fromUtf8(tool.readAll());
    if (!bFinished) {
        tool.kill();
        tool.waitForFinished();
        return -1;
    }
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

void tst_BackuptoolPhone::choosingThePhone_data()
{
    QTest::addColumn<QStringList>("listArgs"); // "PHONE": the test phone's folder
    QTest::addColumn<QByteArray>("baDevice");  // DVSK_DEVICE; null: unset
    QTest::addColumn<int>("nStatus");
    QTest::addColumn<QString>("strSaying");

    // Without a server and a program to start one, only the simulated phone works.
    QTest::newRow("a phone folder is the simulated phone") << QStringList {"--phone", "PHONE"} << QByteArray() << 0
                                                           << "Backup finished.";
    QTest::newRow("DVSK_DEVICE=sim") << QStringList {} << QByteArray("sim") << 0 << "Backup finished.";
    QTest::newRow("nothing said: a real phone") << QStringList {} << QByteArray() << kExitNoPhone << "No adb server";
    QTest::newRow("--device adb wins over DVSK_DEVICE") << QStringList {"--device", "adb"} << QByteArray("sim")
                                                        << kExitNoPhone << "No adb server";
    QTest::newRow("--phone with --device adb") << QStringList {"--phone", "PHONE", "--device", "adb"} << QByteArray()
                                               << 2 << "--phone serves the simulated phone";
    QTest::newRow("--wait without seconds") << QStringList {"--wait", "soon"} << QByteArray() << 2 << "--wait needs";
    QTest::newRow("--wait below 0") << QStringList {"--wait", "-3"} << QByteArray() << 2 << "--wait needs";
}

void tst_BackuptoolPhone::choosingThePhone()
{
    QFETCH(QStringList, listArgs);
    QFETCH(QByteArray, baDevice);
    QFETCH(int, nStatus);
    QFETCH(QString, strSaying);
    listArgs.replaceInStrings("PHONE", m_strPhone);
    QProcess tool;
    StartTool(tool, listArgs + QStringList {"--items", "media"}, baDevice, false);
    QString strOutput;
    QCOMPARE(Finish(tool, &strOutput), nStatus);
    QVERIFY2(strOutput.contains(strSaying), qPrintable(strOutput));
}

void tst_BackuptoolPhone::noUsablePhone_data()
{
    QTest::addColumn<bool>("bUnauthorized"); // a phone that has not allowed this computer is there
    QTest::addColumn<QStringList>("listArgs");
    QTest::addColumn<QString>("strSaying");

    QTest::newRow("no phone") << false << QStringList {} << "No phone found";
    QTest::newRow("no phone, waited for") << false << QStringList {"--wait", "1"} << "No phone found";
    QTest::newRow("unauthorised") << true << QStringList {} << "Allow USB debugging on the phone";
    QTest::newRow("unauthorised, named") << true << QStringList {"--device", "adb:SERIAL"}
                                         << "Allow USB debugging on the phone";
}

void tst_BackuptoolPhone::noUsablePhone()
{
    if (!m_pRig)
        QSKIP("adb is not installed (apt-get install adb)");
    QFETCH(bool, bUnauthorized);
    QFETCH(QStringList, listArgs);
    QFETCH(QString, strSaying);
    QString strLocked;
    if (bUnauthorized) {
        strLocked = m_pRig->StartSimulator(m_strPhone, {"--unauthorized"}, false);
        QVERIFY(!strLocked.isEmpty());
        listArgs.replaceInStrings("SERIAL", strLocked);
    }
    QProcess tool;
    StartTool(tool, listArgs + QStringList {"--items", "media"});
    QString strOutput;
    const int nStatus = Finish(tool, &strOutput);
    if (bUnauthorized)
        m_pRig->Adb({"disconnect", strLocked});
    QCOMPARE(nStatus, kExitNoPhone);
    QVERIFY2(strOutput.contains("no usable phone: ") && strOutput.contains(strSaying), qPrintable(strOutput));
    QVERIFY2(!strOutput.contains("Counting"), qPrintable(strOutput));
}

void tst_BackuptoolPhone::waitsForAPhone()
{
    if (!m_pRig)
        QSKIP("adb is not installed (apt-get install adb)");
    QProcess tool;
    StartTool(tool, {"--wait", "300", "--items", "media"});
    QString strOutput;
    while (!strOutput.contains("Waiting up to 300 s for a usable phone: No phone found")) {
        QVERIFY2(tool.waitForReadyRead(60000), qPrintable(strOutput));
        strOutput += QString::fromUtf8(tool.readAll());
    }
    // The phone comes: the run goes on by itself.
    const QString strSerial = m_pRig->StartSimulator(m_strPhone);
    QVERIFY(!strSerial.isEmpty());
    const int nStatus = Finish(tool, &strOutput);
    m_pRig->Adb({"disconnect", strSerial});
    QCOMPARE(nStatus, 0);
    QVERIFY2(strOutput.contains("Backup finished."), qPrintable(strOutput));
}

QTEST_GUILESS_MAIN(tst_BackuptoolPhone)
#include "tst_backuptool_phone.moc"
