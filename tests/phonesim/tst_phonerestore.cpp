// The simulator's phone side of a restore without adb: content insert with
// the shell's rules, moving, removing and making files where the shell may
// write, the media scanner's broadcast, install sessions and versions.
#include "AdbPhone.h"
#include "ShellCommands.h"
#include "TestPhone.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_PhoneRestore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commands_data();
    void commands();
    void insertedRowsReadBack();
    void moveNeverReplacesWithNoClobber();
    void installSessions();

private:
    // Runs a command line on the phone as it is now, with this SDK level.
    ShellCommands::Result Run(const QString &strLine, int nSdk = 33);
    QString Host(const QString &strPhonePath) const;

    std::unique_ptr<QTemporaryDir> m_pDir;
    QString m_strPhone;
};

void tst_PhoneRestore::init()
{
    m_pDir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_pDir->isValid(), qPrintable(m_pDir->errorString()));
    TestPhone phone(m_pDir->filePath(QStringLiteral("phone")));
    phone.AddFile(QStringLiteral("/sdcard/DCIM/a.jpg"), QByteArray("old"));
    phone.AddFile(QStringLiteral("/sdcard/DCIM/b.jpg"), QByteArray("new"));
    phone.AddFile(QStringLiteral("/sdcard/Android/data/com.x/c.jpg"), QByteArray("app's"));
    phone.AddApp(QStringLiteral("com.example.notes"), 100);
    QVERIFY(phone.Save());
    m_strPhone = phone.Dir();
}

ShellCommands::Result tst_PhoneRestore::Run(const QString &strLine, int nSdk)
{
    {
        QSettings settings(m_strPhone + QStringLiteral("/phone.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("device/sdk"), nSdk);
    }
    AdbPhone phone;
    if (!phone.Load(m_strPhone))
        return ShellCommands::Result();
    return ShellCommands(phone).Run(strLine);
}

QString tst_PhoneRestore::Host(const QString &strPhonePath) const
{
    return m_strPhone + QStringLiteral("/fs") + strPhonePath;
}

void tst_PhoneRestore::commands_data()
{
    QTest::addColumn<int>("sdk");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // a pattern the output must match
    QTest::addColumn<QString>("err"); // a pattern the error stream must match

    QTest::newRow("sms dropped silently") << 33 << "content insert --uri content://sms --bind body:s:hi" << 0 << "^$" << "^$";
    QTest::newRow("call log before Android 12") << 30 << "content insert --uri content://call_log/calls --bind number:s:1"
                                                << 0 << "^$" << "^Error while accessing provider:call_log\njava.lang.SecurityException: .*WRITE_CALL_LOG";
    QTest::newRow("call log from Android 12") << 31 << "content insert --uri content://call_log/calls --bind number:s:1" << 0 << "^$" << "^$";
    QTest::newRow("unknown provider") << 33 << "content insert --uri content://nope/x --bind a:s:1" << 0 << "^$"
                                      << "^Error while accessing provider:nope\njava.lang.IllegalArgumentException: Unknown URL";
    QTest::newRow("bad binding type") << 33 << "content insert --uri content://call_log/calls --bind a:x:1" << 1 << "^$" << "Invalid binding";
    QTest::newRow("binding without type") << 33 << "content insert --uri content://call_log/calls --bind a" << 1 << "^$" << "Invalid binding";
    QTest::newRow("mv into place") << 33 << "mv -n /sdcard/DCIM/b.jpg /storage/emulated/0/DCIM/c.jpg && ls /sdcard/DCIM"
                                   << 0 << "^a.jpg\nc.jpg\n$" << "^$";
    QTest::newRow("mv a missing file") << 33 << "mv /sdcard/none.jpg /sdcard/x.jpg" << 1 << "^$" << "^mv: bad '/sdcard/none.jpg': No such file";
    QTest::newRow("mv out of another app's folder") << 30 << "mv /sdcard/Android/data/com.x/c.jpg /sdcard/c.jpg" << 1 << "^$" << "Permission denied";
    QTest::newRow("mv into the system") << 33 << "mv /sdcard/DCIM/a.jpg /system/a.jpg" << 1 << "^$" << "Permission denied";
    QTest::newRow("rm -f of nothing") << 33 << "rm -f /sdcard/none.jpg" << 0 << "^$" << "^$";
    QTest::newRow("rm of a folder") << 33 << "rm -f /sdcard/DCIM" << 1 << "^$" << "Is a directory";
    QTest::newRow("mkdir -p") << 33 << "mkdir -p /sdcard/New/Deep && ls /sdcard/New" << 0 << "^Deep\n$" << "^$";
    QTest::newRow("mkdir in the system") << 33 << "mkdir -p /system/x" << 1 << "^$" << "Permission denied";
    QTest::newRow("media scanner") << 33 << "am broadcast -a android.intent.action.MEDIA_SCANNER_SCAN_FILE -d 'file:///storage/emulated/0/DCIM/a%20b.jpg'"
                                   << 0 << "^Broadcasting: Intent \\{ act=android.intent.action.MEDIA_SCANNER_SCAN_FILE "
                                           "dat=file:///storage/emulated/0/DCIM/a%20b.jpg flg=0x400000 \\}\nBroadcast completed: result=0\n$"
                                   << "^$";
    QTest::newRow("versions") << 33 << "pm list packages -3 --show-versioncode" << 0 << "^package:com.example.notes versionCode:0\n$" << "^$";
    QTest::newRow("system versions") << 28 << "pm list packages -s --show-versioncode android" << 0 << "^package:android versionCode:28\n" << "^$";
    QTest::newRow("no cmd before Android 7") << 23 << "cmd package install-create" << 127 << "^$" << "inaccessible or not found";
    QTest::newRow("install from a missing file") << 33 << "pm install /data/local/tmp/none.apk" << 1 << "^$" << "^Failure \\[INSTALL_FAILED_INVALID_URI";
    QTest::newRow("input from nowhere") << 33 << "rm -f /sdcard/DCIM/a.jpg </dev/null && ls /sdcard/DCIM" << 0 << "^b.jpg\n$" << "^$";
}

void tst_PhoneRestore::commands()
{
    QFETCH(int, sdk);
    QFETCH(QString, line);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const ShellCommands::Result result = Run(line, sdk);
    QVERIFY2(QRegularExpression(out).match(QString::fromUtf8(result.baOut)).hasMatch(), result.baOut.constData());
    QVERIFY2(QRegularExpression(err).match(QString::fromUtf8(result.baErr)).hasMatch(), result.baErr.constData());
    QCOMPARE(result.nStatus, status);
    // Nothing the shell may not write has changed.
    QCOMPARE(QFile(Host(QStringLiteral("/sdcard/Android/data/com.x/c.jpg"))).size(), qint64(5));
    QVERIFY(!QFileInfo::exists(Host(QStringLiteral("/system"))));
}

void tst_PhoneRestore::insertedRowsReadBack()
{
    // Values keep their new lines, commas, colons and "=".
    const QString strName = QStringLiteral("Boris, B = x: y\nsecond line");
    const QString strLine = QStringLiteral("content insert --uri content://call_log/calls --bind number:s:+49 "
                                           "--bind date:l:1709294400007 --bind 'name:s:%1' --bind new:b:true; "
                                           "content insert --uri content://call_log/calls --bind number:s:-1 --bind name:n:")
                                    .arg(strName);
    QCOMPARE(Run(strLine, 31).nStatus, 0);
    const ShellCommands::Result result = Run(QStringLiteral("content query --uri content://call_log/calls --projection _id:date:new:number:name"), 31);
    QCOMPARE(QString::fromUtf8(result.baOut),
             QStringLiteral("Row: 0 _id=1, date=1709294400007, new=1, number=+49, name=%1\n"
                            "Row: 1 _id=2, date=NULL, new=NULL, number=-1, name=NULL\n").arg(strName));
}

void tst_PhoneRestore::moveNeverReplacesWithNoClobber()
{
    QCOMPARE(Run(QStringLiteral("mv -n /sdcard/DCIM/b.jpg /sdcard/DCIM/a.jpg")).nStatus, 0);
    QFile kept(Host(QStringLiteral("/sdcard/DCIM/a.jpg")));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("old"));
    QVERIFY(QFileInfo::exists(Host(QStringLiteral("/sdcard/DCIM/b.jpg"))));
    // Without -n toybox's mv replaces, as rename(2) does.
    QCOMPARE(Run(QStringLiteral("mv /sdcard/DCIM/b.jpg /sdcard/DCIM/a.jpg")).nStatus, 0);
    kept.close();
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("new"));
}

void tst_PhoneRestore::installSessions()
{
    const ShellCommands::Result created = Run(QStringLiteral("cmd package install-create -S 100"));
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("^Success: created install session \\[(\\d+)\\]\n$"))
                                                  .match(QString::fromUtf8(created.baOut));
    QVERIFY2(match.hasMatch(), created.baOut.constData());
    const QString strSession = match.captured(1);
    // An empty session installs nothing; abandoned it is gone.
    QCOMPARE(Run(QStringLiteral("pm install-abandon ") + strSession).baOut, QByteArray("Success\n"));
    const ShellCommands::Result again = Run(QStringLiteral("cmd package install-abandon ") + strSession);
    QCOMPARE(again.nStatus, 1);
    QVERIFY(again.baErr.contains("no access to session"));
    const ShellCommands::Result commit = Run(QStringLiteral("cmd package install-commit ") + strSession);
    QVERIFY2(commit.baErr.startsWith("Failure ["), commit.baErr.constData());
}

QTEST_GUILESS_MAIN(tst_PhoneRestore)
#include "tst_phonerestore.moc"
