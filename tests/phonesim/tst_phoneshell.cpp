// The simulator's phone side without adb: command-line splitting, the exact
// output of the shell commands, path mapping and permissions, the link pacing.
#include "AdbPhone.h"
#include "LinkDelay.h"
#include "LinkRateLimiter.h"
#include "ShellCommandLine.h"
#include "ShellCommands.h"
#include "ShellText.h"
#include "TestPhone.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_PhoneShell : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commandLine_data();
    void commandLine();
    void commands_data();
    void commands();
    void dfColumns();
    void rootedPhone();
    void shellText_data();
    void shellText();
    void rawNames_data();
    void rawNames();
    void paths_data();
    void paths();
    void listing();
    void rateLimiter();
    void linkDelay_data();
    void linkDelay();
    void latencySetting_data();
    void latencySetting();

private:
    ShellCommands::Result Run(const QString &strLine);

    std::unique_ptr<QTemporaryDir> m_pDir;
    AdbPhone m_phone;
};

void tst_PhoneShell::init()
{
    m_pDir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_pDir->isValid(), qPrintable(m_pDir->errorString()));
    TestPhone phone(m_pDir->filePath(QStringLiteral("phone")));
    phone.SetDevice(QStringLiteral("Corvo X5"), QStringLiteral("CRX5 V100"), QStringLiteral("356938035643809"));
    phone.ClearStorages();
    phone.AddStorage(1, 6815744, 4980736, 4096);
    phone.AddFile(QStringLiteral("/sdcard/DCIM/a.jpg"), 10);
    phone.AddFile(QStringLiteral("/sdcard/.hidden"), 1);
    phone.AddApp(QStringLiteral("com.example.notes"), 100, {{QStringLiteral("db/notes.db"), "rows"}});
    phone.AddApp(QStringLiteral("org.split.app"), 100);
    phone.AddFile(QStringLiteral("/data/app/org.split.app/split_config.arm64_v8a.apk"), 20);
    phone.SetGetFileError(QStringLiteral("/sdcard/DCIM/a.jpg"), 5);
    QVERIFY(phone.Save());
    QVERIFY(m_phone.Load(phone.Dir()));
}

ShellCommands::Result tst_PhoneShell::Run(const QString &strLine)
{
    return ShellCommands(m_phone).Run(strLine);
}

void tst_PhoneShell::commandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("commands"); // words joined by '|', then the join
    QTest::newRow("plain") << "getprop ro.serialno" << QStringList{"getprop|ro.serialno|end"};
    QTest::newRow("quotes") << "echo 'a b' \"c \\\"d\\\"\" e\\ f" << QStringList{"echo|a b|c \"d\"|e f|end"};
    QTest::newRow("joins") << "a;b && c || d" << QStringList{"a|always", "b|and", "c|or", "d|end"};
    QTest::newRow("redirections") << "ls /x 2>/dev/null; id 2>&1" << QStringList{"ls|/x|always", "id|end"};
    QTest::newRow("quoted operator stays a word") << "echo ';'" << QStringList{"echo|;|end"};
    QTest::newRow("empty") << "   " << QStringList{};
}

void tst_PhoneShell::commandLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, commands);
    QList<ShellCommandLine::Command> listCommands;
    QString strError;
    QVERIFY2(ShellCommandLine::Parse(line, &listCommands, &strError), qPrintable(strError));
    const char *const aszJoins[] = {"end", "always", "and", "or"};
    QStringList listGot;
    for (const ShellCommandLine::Command &command : listCommands)
        listGot.append((command.listArgs + QStringList{QLatin1String(aszJoins[command.join])}).join(QLatin1Char('|')));
    QCOMPARE(listGot, commands);

    for (const char *szBad : {"echo 'open", "; ls", "ls | grep x"})
        QVERIFY2(!ShellCommandLine::Parse(QLatin1String(szBad), &listCommands, &strError), szBad);
}

void tst_PhoneShell::commands_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("out");    // a regular expression for the whole output
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("status");
    const QString strToken = QStringLiteral("[A-Za-z0-9_-]{22}==");
    QTest::newRow("getprop model") << "getprop ro.product.model" << "Corvo X5\n" << "" << 0;
    QTest::newRow("getprop firmware") << "getprop ro.build.display.id" << "CRX5 V100\n" << "" << 0;
    QTest::newRow("getprop unknown") << "getprop no.such.key" << "\n" << "" << 0;
    QTest::newRow("getprop all") << "getprop" << "(\\[[a-z.]+\\]: \\[[^\\]\n]*\\]\n)+" << "" << 0;
    QTest::newRow("pm user packages")
        << "pm list packages -3 -f"
        << QStringLiteral("package:/data/app/~~%1/com\\.example\\.notes-%1/base\\.apk=com\\.example\\.notes\n"
                          "package:/data/app/~~%1/org\\.split\\.app-%1/base\\.apk=org\\.split\\.app\n").arg(strToken)
        << "" << 0;
    QTest::newRow("pm names") << "pm list packages -3" << "package:com.example.notes\npackage:org.split.app\n" << "" << 0;
    QTest::newRow("pm path splits")
        << "pm path org.split.app"
        << QStringLiteral("package:(/data/app/~~%1/org\\.split\\.app-%1)/base\\.apk\npackage:\\1/split_config\\.arm64_v8a\\.apk\n").arg(strToken)
        << "" << 0;
    QTest::newRow("pm path unknown") << "pm path no.such" << "" << "" << 1;
    QTest::newRow("unknown command") << "frobnicate -x" << "" << "/system/bin/sh: frobnicate: inaccessible or not found\n" << 127;
    QTest::newRow("no su") << "su -c id" << "" << "/system/bin/sh: su: inaccessible or not found\n" << 127;
    QTest::newRow("which su") << "which su" << "" << "" << 1;
    QTest::newRow("id") << "id" << "uid=2000\\(shell\\) gid=2000\\(shell\\) .* context=u:r:shell:s0\n" << "" << 0;
    QTest::newRow("echo and joins") << "echo -n a; false && echo no || echo yes" << "ayes\n" << "" << 0;
    QTest::newRow("ls") << "ls /storage/emulated/0" << "DCIM\n" << "" << 0;
    QTest::newRow("ls all") << "ls -a /sdcard" << "\\.\n\\.\\.\n\\.hidden\nDCIM\n" << "" << 0;
    QTest::newRow("ls missing") << "ls /sdcard/nope" << "" << "ls: /sdcard/nope: No such file or directory\n" << 1;
    QTest::newRow("ls app folder") << "ls /data/app" << "" << "ls: /data/app: Permission denied\n" << 1;
    QTest::newRow("cat app data") << "cat /data/data/com.example.notes/db/notes.db" << ""
                                  << "cat: /data/data/com.example.notes/db/notes.db: Permission denied\n" << 1;
    QTest::newRow("cat refused file") << "cat /sdcard/DCIM/a.jpg" << "" << "cat: /sdcard/DCIM/a.jpg: Permission denied\n" << 1;
    QTest::newRow("run-as") << "run-as com.example.notes id" << "" << "run-as: package not debuggable: com.example.notes\n" << 1;
    QTest::newRow("df missing path") << "df -k /nope" << "" << "df: /nope: No such file or directory\n" << 1;
    QTest::newRow("errors to /dev/null") << "ls /sdcard/nope 2>/dev/null; echo x" << "x\n" << "" << 0;
    QTest::newRow("errors with the output") << "ls /sdcard/nope 2>&1" << "ls: /sdcard/nope: No such file or directory\n" << "" << 1;
    QTest::newRow("output to /dev/null") << "echo x >/dev/null; ls /sdcard/nope >/dev/null" << ""
                                         << "ls: /sdcard/nope: No such file or directory\n" << 1;
}

void tst_PhoneShell::commands()
{
    QFETCH(QString, line);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(int, status);
    const ShellCommands::Result result = Run(line);
    const QRegularExpression re(QRegularExpression::anchoredPattern(out));
    QVERIFY2(re.match(QString::fromUtf8(result.baOut)).hasMatch(), result.baOut.constData());
    QCOMPARE(QString::fromUtf8(result.baErr), err);
    QCOMPARE(result.nStatus, status);
}

void tst_PhoneShell::dfColumns()
{
    // 6815744 blocks of 4096 bytes = 27262976 KiB, 4980736 used = 19922944 KiB (74 %, rounded up).
    const ShellCommands::Result result = Run(QStringLiteral("df -k /data /sdcard/DCIM"));
    QCOMPARE(result.nStatus, 0);
    QCOMPARE(QString::fromUtf8(result.baOut),
             QStringLiteral("Filesystem      1K-blocks     Used Available Use% Mounted on\n"
                            "/dev/block/dm-5  27262976 19922944   7340032  74% /data\n"
                            "/dev/fuse        27262976 19922944   7340032  74% /storage/emulated\n"));
}

void tst_PhoneShell::rootedPhone()
{
    QSettings settings(m_phone.Config().Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("device/rooted"), true);
    settings.sync();
    QVERIFY(m_phone.Load(m_phone.Config().Dir()));
    QCOMPARE(Run(QStringLiteral("su -c id")).baOut.left(25), QByteArray("uid=0(root) gid=0(root) g"));
    QCOMPARE(Run(QStringLiteral("su 0 cat /data/data/com.example.notes/db/notes.db")).baOut, QByteArray("rows"));
    QCOMPARE(Run(QStringLiteral("su -c 'ls /data/data'")).baOut, QByteArray("com.example.notes\n"));
    QCOMPARE(Run(QStringLiteral("which su")).baOut, QByteArray("/system/xbin/su\n"));
    const QString strInstall = m_phone.Packages().at(0).strDir.section(QLatin1Char('/'), 0, 3);
    QCOMPARE(Run(QStringLiteral("su -c ls /data/app")).baOut.split('\n').first(), strInstall.mid(10).toUtf8());
    QCOMPARE(Run(QStringLiteral("su -c ls ") + strInstall).baOut,
             m_phone.Packages().at(0).strDir.section(QLatin1Char('/'), 4).toUtf8() + '\n');
    // The shell user still cannot read application data.
    QCOMPARE(Run(QStringLiteral("cat /data/data/com.example.notes/db/notes.db")).nStatus, 1);
}

void tst_PhoneShell::shellText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("escaped"); // bytes that are not part of valid UTF-8
    QTest::newRow("ASCII") << QByteArray("cat '/sdcard/a b.jpg'") << 0;
    QTest::newRow("UTF-8 of every length") << QByteArray("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80") << 0;
    QTest::newRow("Latin-1") << QByteArray("caf\xe9.jpg") << 1;
    QTest::newRow("a cut sequence at the end") << QByteArray("x\xe2\x82") << 2;
    QTest::newRow("an overlong slash") << QByteArray("a\xc0\xaf" "b") << 2;
    QTest::newRow("an encoded surrogate") << QByteArray("\xed\xa0\x80") << 3;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << 4;
    QTest::newRow("a lone continuation byte") << QByteArray("\x80z") << 1;
}

// A command line's bytes survive being read as text and written again.
void tst_PhoneShell::shellText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, escaped);
    const QString strText = ShellText::Decode(bytes);
    QCOMPARE(ShellText::Encode(strText), bytes);
    const auto nEscaped = std::count_if(strText.cbegin(), strText.cend(), [](QChar c) {
        return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
    });
    QCOMPARE(int(nEscaped), escaped);
    if (escaped == 0)
        QCOMPARE(strText, QString::fromUtf8(bytes));
}

void tst_PhoneShell::rawNames_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("status");
    QTest::newRow("find shows the phone's bytes")
            << QByteArray("find /sdcard/R -mindepth 1 -maxdepth 1") << QByteArray("/sdcard/R/caf\xe9.jpg\n") << 0;
    QTest::newRow("stat names them") << QByteArray("find /sdcard/R -mindepth 1 -maxdepth 1 -exec stat -c '%s %n' {} +")
                                     << QByteArray("6 /sdcard/R/caf\xe9.jpg\n") << 0;
    QTest::newRow("cat by the phone's bytes") << QByteArray("cat '/sdcard/R/caf\xe9.jpg'") << QByteArray("latin1") << 0;
    QTest::newRow("not by the name on the PC") << QByteArray("cat /sdcard/R/latin1.jpg") << QByteArray() << 1;
    QTest::newRow("other bytes name nothing") << QByteArray("cat '/sdcard/R/caf\xe8.jpg'") << QByteArray() << 1;
    QTest::newRow("ls") << QByteArray("ls /sdcard/R") << QByteArray("caf\xe9.jpg\n") << 0;
    QTest::newRow("realpath of the shared storage") << QByteArray("realpath /sdcard/R")
                                                     << QByteArray("/storage/emulated/0/R\n") << 0;
}

// A name that is not UTF-8 on the phone, as its shell shows and finds it.
void tst_PhoneShell::rawNames()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, out);
    QFETCH(int, status);
    TestPhone phone(m_pDir->filePath(QStringLiteral("raw")));
    phone.AddFile(QStringLiteral("/sdcard/R/latin1.jpg"), QByteArray("latin1"));
    QVERIFY(phone.Save());
    {
        QSettings ini(phone.Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("faults/rawNames"),
                     QStringLiteral("/sdcard/R/latin1.jpg=") + QByteArray("caf\xe9.jpg").toHex());
    }
    AdbPhone rawPhone;
    QVERIFY(rawPhone.Load(phone.Dir()));
    const ShellCommands::Result result = ShellCommands(rawPhone).Run(ShellText::Decode(line));
    QCOMPARE(result.baOut, out);
    QCOMPARE(result.nStatus, status);
}

void tst_PhoneShell::paths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("sdcard") << "/sdcard/DCIM" << "/sdcard/DCIM";
    QTest::newRow("emulated") << "/storage/emulated/0/DCIM/" << "/sdcard/DCIM";
    QTest::newRow("self primary") << "/storage/self/primary" << "/sdcard";
    QTest::newRow("double slashes") << "//sdcard///DCIM" << "/sdcard/DCIM";
    QTest::newRow("parent") << "/sdcard/../data" << "";
    QTest::newRow("dot") << "/sdcard/./DCIM" << "";
    QTest::newRow("relative") << "sdcard/DCIM" << "";
    QTest::newRow("emulated other user") << "/storage/emulated/10" << "/storage/emulated/10";
}

void tst_PhoneShell::paths()
{
    QFETCH(QString, path);
    QFETCH(QString, normalized);
    QCOMPARE(AdbPhone::Normalized(path), normalized);
}

void tst_PhoneShell::listing()
{
    QList<AdbPhone::Entry> listEntries;
    QCOMPARE(m_phone.List(QStringLiteral("/data/data"), false, &listEntries), AdbPhone::Denied);
    QCOMPARE(m_phone.List(QStringLiteral("/data/data/com.example.notes"), false, &listEntries), AdbPhone::Denied);
    QCOMPARE(m_phone.Stat(QStringLiteral("/data/data/com.example.notes/db"), false).access, AdbPhone::Denied);
    QCOMPARE(m_phone.Stat(QStringLiteral("/data/app/com.example.notes.apk"), false).access, AdbPhone::NotFound);

    const QList<AdbPhone::Package> listPackages = m_phone.Packages();
    QCOMPARE(listPackages.size(), 2);
    const QString strDir = listPackages.at(1).strDir;
    QCOMPARE(m_phone.List(strDir, false, &listEntries), AdbPhone::Found);
    QStringList listNames;
    for (const AdbPhone::Entry &entry : listEntries)
        listNames.append(entry.strName);
    QCOMPARE(listNames, (QStringList{".", "..", "base.apk", "split_config.arm64_v8a.apk"}));
    QCOMPARE(listEntries.at(3).node.nSize, 20);
    // The install folder above it can be passed but not listed.
    QCOMPARE(m_phone.List(strDir.section(QLatin1Char('/'), 0, 3), false, &listEntries), AdbPhone::Denied);

    // Folders every phone has show up even when the phone folder lacks them.
    QCOMPARE(m_phone.List(QStringLiteral("/storage/emulated"), false, &listEntries), AdbPhone::Found);
    QCOMPARE(listEntries.last().strName, QStringLiteral("0"));
    QVERIFY(listEntries.last().node.bDir);
}

void tst_PhoneShell::rateLimiter()
{
    LinkRateLimiter limiter(1000000); // 1 MB/s
    QCOMPARE(limiter.WaitNs(0), 0);
    limiter.Take(100000, 0);
    QCOMPARE(limiter.WaitNs(0), 100000000);     // 0.1 s of debt
    QCOMPARE(limiter.WaitNs(60000000), 40000000);
    QCOMPARE(limiter.WaitNs(100000000), 0);
    // A long idle time is credited for at most 20 ms of data.
    limiter.Take(1, 100000000);
    limiter.Take(50000, 10000000000LL);
    QCOMPARE(limiter.WaitNs(10000000000LL), 30000000);
    QCOMPARE(limiter.SmoothChunk(1 << 20), 10000);
    QCOMPARE(LinkRateLimiter(0).SmoothChunk(1 << 20), 1 << 20);
    QVERIFY(!LinkRateLimiter(0).IsLimited());
}

// Steps "push@NS:BYTES" and "take@NS=BYTES" (what comes out then) run in
// order; "next=NS" checks when the oldest bytes are due (-1: empty).
void tst_PhoneShell::linkDelay_data()
{
    QTest::addColumn<qint64>("nDelayNs");
    QTest::addColumn<QStringList>("listSteps");
    QTest::newRow("no latency passes at once") << qint64(0)
        << QStringList{"push@5:ab", "next=5", "take@5=ab", "next=-1"};
    QTest::newRow("held until due") << qint64(1000)
        << QStringList{"push@0:ab", "next=1000", "take@999=", "take@1000=ab", "take@5000="};
    QTest::newRow("order kept across takes") << qint64(100)
        << QStringList{"push@0:a", "push@10:b", "push@20:c", "take@115=ab", "next=120", "take@500=c"};
    QTest::newRow("clock going back does not reorder") << qint64(100)
        << QStringList{"push@50:a", "push@10:b", "next=150", "take@149=", "take@150=ab"};
    QTest::newRow("empty push holds nothing") << qint64(100)
        << QStringList{"push@0:", "next=-1", "take@1000="};
    QTest::newRow("take all empties the line") << qint64(100)
        << QStringList{"push@0:a", "push@1:b", "all=ab", "next=-1", "take@1000="};
}

void tst_PhoneShell::linkDelay()
{
    QFETCH(qint64, nDelayNs);
    QFETCH(QStringList, listSteps);
    LinkDelay delay(nDelayNs);
    QCOMPARE(delay.IsDelayed(), nDelayNs > 0);
    qint64 nHeld = 0;
    for (const QString &strStep : listSteps) {
        const QString strArg = strStep.section(QRegularExpression("[@=:]"), 1, 1);
        const QByteArray baData = strStep.section(QRegularExpression("[:=]"), -1).toLatin1();
        if (strStep.startsWith("push@")) {
            delay.Push(baData, strArg.toLongLong());
            nHeld += baData.size();
        } else if (strStep.startsWith("take@")) {
            QCOMPARE(delay.TakeDue(strArg.toLongLong()), baData);
            nHeld -= baData.size();
        } else if (strStep.startsWith("all=")) {
            QCOMPARE(delay.TakeAll(), baData);
            nHeld = 0;
        } else {
            QCOMPARE(delay.NextDueNs(), strArg.toLongLong());
        }
        QVERIFY2(delay.Bytes() == nHeld, qPrintable(strStep));
    }
}

void tst_PhoneShell::latencySetting_data()
{
    QTest::addColumn<QString>("strValue");
    QTest::addColumn<int>("nExpected");
    QTest::newRow("unset") << QString() << 0;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("negative") << "-5" << 0;
    QTest::newRow("not a number") << "fast" << 0;
    QTest::newRow("beyond the bound") << "999999" << AdbPhone::kMaxLatencyMs;
}

void tst_PhoneShell::latencySetting()
{
    QFETCH(QString, strValue);
    QFETCH(int, nExpected);
    const QString strIni = m_pDir->filePath(QStringLiteral("phone/phone.ini"));
    if (!strValue.isNull()) {
        QSettings settings(strIni, QSettings::IniFormat);
        settings.setValue(QStringLiteral("faults/latencyMs"), strValue);
    }
    AdbPhone phone;
    QVERIFY(phone.Load(m_pDir->filePath(QStringLiteral("phone"))));
    QCOMPARE(phone.LatencyMs(), nExpected);
}

QTEST_GUILESS_MAIN(tst_PhoneShell)
#include "tst_phoneshell.moc"
