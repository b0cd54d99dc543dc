#include "TestEnv.h"

#include "host/Change.h"
#include "host/CommonUtils.h"
#include "host/HostCallLog.h"
#include "host/MainFrame.h"
#include "host/Startup.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <vector>

namespace {

// Sets (or, with a null value, unsets) an environment variable for one scope.
class ScopedEnv
{
public:
    ScopedEnv(const char *szName, const QByteArray &baValue)
        : m_szName(szName), m_bHad(qEnvironmentVariableIsSet(szName)), m_baOld(qgetenv(szName))
    {
        baValue.isNull() ? qunsetenv(szName) : qputenv(szName, baValue);
    }
    ~ScopedEnv() { m_bHad ? qputenv(m_szName, m_baOld) : qunsetenv(m_szName); }

private:
    const char *m_szName;
    bool m_bHad;
    QByteArray m_baOld;
};

// Compiles a one-message Arabic .ts file into <root>/translations/backup_ar.qm.
bool WriteArabicTranslation(const QString &strRoot, const QString &strKey, const QString &strText, QString *pError)
{
    QDir(strRoot).mkpath(QStringLiteral("translations"));
    const QString strTs = QDir(strRoot).filePath(QStringLiteral("backup_ar.ts"));
    const QString strQm = QDir(strRoot).filePath(QStringLiteral("translations/backup_ar.qm"));
    QFile fileTs(strTs);
    if (!fileTs.open(QIODevice::WriteOnly))
        return *pError = QStringLiteral("cannot write ") + strTs, false;
    fileTs.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                "<TS version=\"2.1\" language=\"ar\"><context><name>BackUpUIPlugin</name>"
                                "<message><source>%1</source><translation>%2</translation></message>"
                                "</context></TS>\n").arg(strKey, strText).toUtf8());
    fileTs.close();
    QString strLrelease = QStandardPaths::findExecutable(QStringLiteral("lrelease"),
                                                         {QLibraryInfo::path(QLibraryInfo::BinariesPath)});
    if (strLrelease.isEmpty())
        strLrelease = QStandardPaths::findExecutable(QStringLiteral("lrelease"));
    if (strLrelease.isEmpty())
        return *pError = QStringLiteral("lrelease not found"), false;
    QProcess process;
    process.start(strLrelease, {QStringLiteral("-silent"), strTs, QStringLiteral("-qm"), strQm});
    if (!process.waitForFinished(30000) || process.exitCode() != 0 || !QFile::exists(strQm))
        return *pError = QStringLiteral("lrelease failed"), false;
    return true;
}

const QString kArabicOk = QStringLiteral("موافق");

} // namespace

class tst_HostServices : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void settingsPersist_data();
    void settingsPersist();
    void settingsFollowEnvironment();
    void backupPathKeepsTheLocationFile_data();
    void backupPathKeepsTheLocationFile();
    void versionDefaultsAndPersists();
    void folderOverrides_data();
    void folderOverrides();

    void callLogRecordsInOrder();
    void threadCounterAcrossThreads();
    void closeFlagAndMainFrame();
    void usageText();

    void languageChoice_data();
    void languageChoice();
    void translatorFallsBackToKeys();

private:
    std::unique_ptr<TestEnv> m_pEnv;
};

void tst_HostServices::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "temporary folder");
    HostCallLog::Clear();
}

void tst_HostServices::cleanup()
{
    m_pEnv.reset();
    CommonUtils::SetCloseFlag(false);
}

void tst_HostServices::settingsPersist_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("cyrillic") << "BackUpUIPlugin" << "BackupTmpFile" << QStringLiteral("/tmp/резервная копия");
    QTest::newRow("arabic") << "BackUpUIPlugin" << "BackupPath" << QStringLiteral("/home/مستخدم/نسخ");
    QTest::newRow("ini syntax in value") << "Other" << "k" << "a=b;c,d [x] \"q\"";
    QTest::newRow("empty value") << "BackUpUIPlugin" << "BackupHM" << "";
}

void tst_HostServices::settingsPersist()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);

    QCOMPARE(CommonUtils::SettingsFilePath(), m_pEnv->SettingsFile());
    CommonUtils::SetSettings(section, key, value);
    QCOMPARE(CommonUtils::GetSettings(section, key), value);
    // Any INI reader of the same file sees the value; plain text is stored as UTF-8.
    QSettings settings(m_pEnv->SettingsFile(), QSettings::IniFormat);
    QCOMPARE(settings.value(section + QLatin1Char('/') + key).toString(), value);
    QFile file(m_pEnv->SettingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray baContent = file.readAll();
    if (!value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char(',')))
        QVERIFY2(baContent.contains(value.toUtf8()), baContent.constData());
}

void tst_HostServices::backupPathKeepsTheLocationFile_data()
{
    QTest::addColumn<QStringList>("listWrites"); // "section/key=value", in order
    QTest::addColumn<QString>("strLocation");    // null: no Location.ini

    QTest::newRow("a chosen folder") << QStringList {"BackUpUIPlugin/BackupPath=/media/usb/phone"}
                                     << "/media/usb/phone";
    QTest::newRow("the last choice wins")
            << QStringList {"BackUpUIPlugin/BackupPath=/a", "BackUpUIPlugin/BackupPath=/b c/d"} << "/b c/d";
    QTest::newRow("non-ASCII folder") << QStringList {QStringLiteral("BackUpUIPlugin/BackupPath=/home/u/Резервные копии")}
                                      << QStringLiteral("/home/u/Резервные копии");
    QTest::newRow("an empty path keeps the folder")
            << QStringList {"BackUpUIPlugin/BackupPath=/a", "BackUpUIPlugin/BackupPath="} << "/a";
    QTest::newRow("only the empty path") << QStringList {"BackUpUIPlugin/BackupPath="} << QString();
    QTest::newRow("other keys do not touch it")
            << QStringList {"BackUpUIPlugin/BackupTmpFile=/x", "Other/BackupPath=/y"} << QString();
}

void tst_HostServices::backupPathKeepsTheLocationFile()
{
    QFETCH(QStringList, listWrites);
    QFETCH(QString, strLocation);
    for (const QString &strWrite : listWrites) {
        CommonUtils::SetSettings(strWrite.section('/', 0, 0), strWrite.section('/', 1).section('=', 0, 0),
                                 strWrite.section('=', 1));
    }
    const QString strFile = m_pEnv->UserDataDir() + "Location.ini";
    QCOMPARE(QFileInfo::exists(strFile), !strLocation.isNull());
    if (!strLocation.isNull())
        QCOMPARE(QSettings(strFile, QSettings::IniFormat).value("location/backup_lacation").toString(), strLocation);
}

void tst_HostServices::settingsFollowEnvironment()
{
    const QString strSection = QStringLiteral("BackUpUIPlugin");
    const QString strKey = QStringLiteral("BackupPath");
    CommonUtils::SetSettings(strSection, strKey, QStringLiteral("first"));
    QTemporaryDir dirOther;
    QVERIFY2(dirOther.isValid(), "temporary folder");
    const QString strOther = dirOther.filePath(QStringLiteral("nested/other.ini"));
    {
        ScopedEnv env("PELORIX_HOST_SETTINGS", strOther.toUtf8());
        QCOMPARE(CommonUtils::GetSettings(strSection, strKey), QString());
        CommonUtils::SetSettings(strSection, strKey, QStringLiteral("second"));
    }
    QCOMPARE(CommonUtils::GetSettings(strSection, strKey), QStringLiteral("first"));
    QCOMPARE(QSettings(strOther, QSettings::IniFormat).value(strSection + QLatin1Char('/') + strKey).toString(),
             QStringLiteral("second"));
}

void tst_HostServices::versionDefaultsAndPersists()
{
    QVERIFY(!QFile::exists(m_pEnv->SettingsFile()));
    const QString strVersion = CommonUtils::GetSettings(QStringLiteral("version"), QStringLiteral("version"));
    // Readers compare the version as text.
    QVERIFY2(strVersion >= QStringLiteral("32.610.12"), qPrintable(strVersion));
    QCOMPARE(QSettings(m_pEnv->SettingsFile(), QSettings::IniFormat).value(QStringLiteral("version/version")).toString(),
             strVersion);
    CommonUtils::SetSettings(QStringLiteral("version"), QStringLiteral("version"), QStringLiteral("33.1.0"));
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("version"), QStringLiteral("version")), QStringLiteral("33.1.0"));
    // Other empty settings get no default.
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("version")), QString());
}

void tst_HostServices::folderOverrides_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value"); // null: unset
    QTest::addColumn<QString>("expected");

    QTest::newRow("documents") << QByteArray("PELORIX_HOST_DOCUMENTS") << QByteArray("/tmp/docs/") << "/tmp/docs";
    QTest::newRow("documents default") << QByteArray("PELORIX_HOST_DOCUMENTS") << QByteArray()
                                       << QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QTest::newRow("root not clean") << QByteArray("PELORIX_HOST_ROOT") << QByteArray("/opt/host/bin/..") << "/opt/host";
    // Without an override the install folder is the parent of the library's folder.
    QTest::newRow("root default") << QByteArray("PELORIX_HOST_ROOT") << QByteArray()
                                  << QDir(QStringLiteral(BACKUP_STAGE_DIR)).canonicalPath();
}

void tst_HostServices::folderOverrides()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(QString, expected);

    ScopedEnv env(variable.constData(), value);
    QString strActual = variable == "PELORIX_HOST_ROOT" ? CommonUtils::GetPluginLibraryPath() : CommonUtils::GetFilePath();
    if (value.isNull() && variable == "PELORIX_HOST_ROOT")
        strActual = QDir(strActual).canonicalPath();
    QCOMPARE(strActual, QDir::toNativeSeparators(expected));
}

void tst_HostServices::callLogRecordsInOrder()
{
    QSignalSpy spy(HostCallLog::Instance(), &HostCallLog::signalRecorded);
    CommonUtils::SendNotify(QStringLiteral("F3389867-EA3E-420d-99A5-6568DB0A8A00"), 2386, 0, 1);
    CommonUtils::ThreadCountInc();
    CommonUtils::setListPipeItem(ListPipeItem{7, 20109, QStringLiteral("cfields=a,b")});
    CommonUtils::ThreadCountDec();
    QTest::ignoreMessage(QtWarningMsg, "CommonUtils: ThreadCountDec without a matching ThreadCountInc");
    CommonUtils::ThreadCountDec(); // never below zero

    const QStringList listExpected = {
        QStringLiteral("SendNotify(F3389867-EA3E-420d-99A5-6568DB0A8A00,2386,0,1)"),
        QStringLiteral("ThreadCountInc(1)"),
        QStringLiteral("setListPipeItem(7,20109,cfields=a,b)"),
        QStringLiteral("ThreadCountDec(0)"),
    };
    QCOMPARE(HostCallLog::Entries().mid(0, 4), listExpected);
    QCOMPARE(CommonUtils::ThreadCount(), 0);
    QVERIFY(spy.count() >= 4);
    QCOMPARE(spy.at(2).at(0).toString(), listExpected.at(2));
    HostCallLog::Clear();
    QVERIFY(HostCallLog::Entries().isEmpty());
}

void tst_HostServices::threadCounterAcrossThreads()
{
    constexpr int kThreads = 6;
    constexpr int kRounds = 400;
    auto runAll = [](auto fnWork) {
        std::vector<std::unique_ptr<QThread>> listThreads;
        for (int i = 0; i < kThreads; ++i)
            listThreads.emplace_back(QThread::create(fnWork));
        for (auto &pThread : listThreads)
            pThread->start();
        for (auto &pThread : listThreads)
            pThread->wait();
    };
    const int nStart = CommonUtils::ThreadCount();
    runAll([] { for (int i = 0; i < kRounds; ++i) CommonUtils::ThreadCountInc(); });
    QCOMPARE(CommonUtils::ThreadCount(), nStart + kThreads * kRounds);
    runAll([] { for (int i = 0; i < kRounds; ++i) CommonUtils::ThreadCountDec(); });
    QCOMPARE(CommonUtils::ThreadCount(), nStart);
}

void tst_HostServices::closeFlagAndMainFrame()
{
    QVERIFY(!CommonUtils::GetCloseFlag());
    auto *pFrame = new MainFrame;
    Startup::SetMainFrame(pFrame);
    QCOMPARE(Startup::GetMainFrame(), pFrame);
    // Whoever hears the signal already sees the flag raised.
    bool bFlagSeen = false;
    connect(pFrame, &MainFrame::signalAppCloseEvent, this, [&bFlagSeen] { bFlagSeen = CommonUtils::GetCloseFlag(); });
    pFrame->NotifyAppClose();
    QVERIFY(bFlagSeen);
    delete pFrame;
    QCOMPARE(Startup::GetMainFrame(), nullptr);
}

void tst_HostServices::usageText()
{
    CommonUtils::SetSettings(QStringLiteral("version"), QStringLiteral("version"), QStringLiteral("32.700.1"));
    const QString strText = CommonUtils::getDatetimeAndVersionString();
    const QRegularExpressionMatch match = QRegularExpression(
        QStringLiteral("^time=(\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2});version=32\\.700\\.1;$")).match(strText);
    QVERIFY2(match.hasMatch(), qPrintable(strText));
    QVERIFY(QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid());
}

void tst_HostServices::languageChoice_data()
{
    QTest::addColumn<QByteArray>("envLang");
    QTest::addColumn<QString>("settingLang");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("rightToLeft");

    QTest::newRow("default") << QByteArray() << "" << "en" << false;
    QTest::newRow("setting arabic") << QByteArray() << "ar" << "ar" << true;
    QTest::newRow("environment wins") << QByteArray("ar") << "ru" << "ar" << true;
    QTest::newRow("hebrew") << QByteArray("he") << "" << "he" << true;
    QTest::newRow("persian region") << QByteArray("fa_IR") << "" << "fa_IR" << true;
    QTest::newRow("english region") << QByteArray("en_US") << "" << "en_US" << false;
}

void tst_HostServices::languageChoice()
{
    QFETCH(QByteArray, envLang);
    QFETCH(QString, settingLang);
    QFETCH(QString, expected);
    QFETCH(bool, rightToLeft);

    ScopedEnv envLangVar("PELORIX_HOST_LANG", envLang);
    if (!settingLang.isEmpty())
        CommonUtils::SetSettings(QStringLiteral("Language"), QStringLiteral("lang"), settingLang);
    QCOMPARE(Change::GetLangName(), expected);
    QCOMPARE(Change::GetRightToLeftLayout(), rightToLeft);
}

void tst_HostServices::translatorFallsBackToKeys()
{
    QString strError;
    if (!WriteArabicTranslation(m_pEnv->Root(), QStringLiteral("IDS_CORE_OK"), kArabicOk, &strError))
        QSKIP(qPrintable(strError));
    ScopedEnv envRoot("PELORIX_HOST_ROOT", m_pEnv->Root().toUtf8());
    ScopedEnv envLang("PELORIX_HOST_LANG", QByteArray());
    CommonUtils::SetSettings(QStringLiteral("Language"), QStringLiteral("lang"), QStringLiteral("ru"));

    QVERIFY(Change::LoadLanguage(QStringLiteral("ar")));
    QCOMPARE(Change::GetLangName(), QStringLiteral("ar"));
    QCOMPARE(Change::tr(QStringLiteral("IDS_CORE_OK")), kArabicOk);
    QVERIFY(Change::IsTranslationLoaded());
    // Unknown keys and keys of another context show as the key itself.
    QCOMPARE(Change::tr("IDS_NOT_THERE"), QStringLiteral("IDS_NOT_THERE"));
    QCOMPARE(Change::tr("IDS_CORE_OK", "OtherPlugin"), QStringLiteral("IDS_CORE_OK"));

    // A language without a file falls back to the keys.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no translation file.*backup_ru\\.qm")));
    QVERIFY(!Change::LoadLanguage(QStringLiteral("ru")));
    QCOMPARE(Change::tr("IDS_CORE_OK"), QStringLiteral("IDS_CORE_OK"));
    QVERIFY(!Change::IsTranslationLoaded());
    {
        // The environment still decides over an in-process choice.
        ScopedEnv envArabic("PELORIX_HOST_LANG", QByteArray("ar"));
        QCOMPARE(Change::tr("IDS_CORE_OK"), kArabicOk);
    }
    // An empty choice falls back to the setting.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no translation file.*backup_ru\\.qm")));
    Change::LoadLanguage(QString());
    CommonUtils::SetSettings(QStringLiteral("Language"), QStringLiteral("lang"), QStringLiteral("ar"));
    QCOMPARE(Change::tr("IDS_CORE_OK"), kArabicOk);
}

QTEST_GUILESS_MAIN(tst_HostServices)
#include "tst_hostservices.moc"
