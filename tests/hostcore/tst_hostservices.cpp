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

// Sets an environment variable for one scope and restores the old value.
class ScopedEnv
{
public:
    ScopedEnv(const char *szName, const QByteArray &baValue)
        : m_szName(szName)
        , m_bHad(qEnvironmentVariableIsSet(szName))
        , m_baOld(qgetenv(szName))
    {
        if (baValue.isNull())
            qunsetenv(szName);
        else
            qputenv(szName, baValue);
    }
    ~ScopedEnv()
    {
        if (m_bHad)
            qputenv(m_szName, m_baOld);
        else
            qunsetenv(m_szName);
    }

private:
    const char *m_szName;
    bool m_bHad;
    QByteArray m_baOld;
};

// Compiles a one-message .ts file into <root>/translations/backup_<lang>.qm.
bool WriteTranslation(const QString &strRoot, const QString &strLang, const QString &strContext,
                      const QString &strKey, const QString &strText, QString *pError)
{
    QDir(strRoot).mkpath(QStringLiteral("translations"));
    const QString strTs = QDir(strRoot).filePath(QStringLiteral("backup_%1.ts").arg(strLang));
    QFile fileTs(strTs);
    if (!fileTs.open(QIODevice::WriteOnly)) {
        *pError = QStringLiteral("cannot write ") + strTs;
        return false;
    }
    fileTs.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                "<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"%1\">\n"
                                "<context><name>%2</name><message><source>%3</source>"
                                "<translation>%4</translation></message></context>\n</TS>\n")
                     .arg(strLang, strContext, strKey, strText)
                     .toUtf8());
    fileTs.close();
    QString strLrelease = QStandardPaths::findExecutable(QStringLiteral("lrelease"),
                                                         {QLibraryInfo::path(QLibraryInfo::BinariesPath)});
    if (strLrelease.isEmpty())
        strLrelease = QStandardPaths::findExecutable(QStringLiteral("lrelease"));
    if (strLrelease.isEmpty()) {
        *pError = QStringLiteral("lrelease not found");
        return false;
    }
    const QString strQm = QDir(strRoot).filePath(QStringLiteral("translations/backup_%1.qm").arg(strLang));
    QProcess process;
    process.start(strLrelease, {QStringLiteral("-silent"), strTs, QStringLiteral("-qm"), strQm});
    if (!process.waitForFinished(30000) || process.exitCode() != 0 || !QFile::exists(strQm)) {
        *pError = QStringLiteral("lrelease failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return false;
    }
    return true;
}

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
    void versionDefaultsAndPersists();
    void versionKeepsStoredValue();

    void folderOverrides_data();
    void folderOverrides();
    void foldersWithoutOverride();

    void callLogRecordsInOrder();
    void callLogSignalsEachRecord();
    void threadCounterAcrossThreads();
    void threadCounterNeverNegative();
    void operationStatus();
    void closeFlagAndMainFrame();
    void mainFrameForgottenWhenDeleted();

    void deviceInfoTexts();
    void usageRecordTexts();

    void translatorLooksUpKeys_data();
    void translatorLooksUpKeys();
    void languageChoice_data();
    void languageChoice();
    void loadLanguageSwitches();

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

    QTest::newRow("backup path") << "BackUpUIPlugin" << "BackupPath" << "/home/user/Documents/Pelorix/backup";
    QTest::newRow("date") << "BackUpUIPlugin" << "BackupDate" << "05.03.2024";
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

    // Another reader of the same file sees the value.
    QSettings settings(m_pEnv->SettingsFile(), QSettings::IniFormat);
    QCOMPARE(settings.value(section + QLatin1Char('/') + key).toString(), value);

    // Non-ASCII text is stored as UTF-8, readable by any INI reader.
    QFile file(m_pEnv->SettingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray baContent = file.readAll();
    QVERIFY2(baContent.contains(("[" + section + "]").toUtf8()), baContent.constData());
    if (!value.isEmpty() && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char(',')))
        QVERIFY2(baContent.contains(value.toUtf8()), baContent.constData());
}

void tst_HostServices::settingsFollowEnvironment()
{
    CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupPath"), QStringLiteral("first"));
    QTemporaryDir dirOther;
    QVERIFY2(dirOther.isValid(), "temporary folder");
    const QString strOther = dirOther.filePath(QStringLiteral("nested/other.ini"));
    {
        ScopedEnv env("PELORIX_HOST_SETTINGS", strOther.toUtf8());
        QCOMPARE(CommonUtils::SettingsFilePath(), strOther);
        QCOMPARE(CommonUtils::GetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupPath")), QString());
        CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupPath"), QStringLiteral("second"));
        QVERIFY(QFile::exists(strOther));
    }
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupPath")), QStringLiteral("first"));
    QSettings other(strOther, QSettings::IniFormat);
    QCOMPARE(other.value(QStringLiteral("BackUpUIPlugin/BackupPath")).toString(), QStringLiteral("second"));
}

void tst_HostServices::versionDefaultsAndPersists()
{
    QVERIFY(!QFile::exists(m_pEnv->SettingsFile()));
    const QString strVersion = CommonUtils::GetSettings(QStringLiteral("version"), QStringLiteral("version"));
    QVERIFY2(!strVersion.isEmpty(), "a host version is always known");
    // Readers compare the version as text.
    QVERIFY2(strVersion >= QStringLiteral("32.610.12"), qPrintable(strVersion));
    QSettings settings(m_pEnv->SettingsFile(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("version/version")).toString(), strVersion);
}

void tst_HostServices::versionKeepsStoredValue()
{
    CommonUtils::SetSettings(QStringLiteral("version"), QStringLiteral("version"), QStringLiteral("33.1.0"));
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("version"), QStringLiteral("version")), QStringLiteral("33.1.0"));
    // Other empty settings get no default.
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("version")), QString());
}

void tst_HostServices::folderOverrides_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("documents") << QByteArray("PELORIX_HOST_DOCUMENTS") << "/tmp/docs" << "/tmp/docs";
    QTest::newRow("documents trailing separator") << QByteArray("PELORIX_HOST_DOCUMENTS") << "/tmp/docs/" << "/tmp/docs";
    QTest::newRow("root") << QByteArray("PELORIX_HOST_ROOT") << "/opt/host" << "/opt/host";
    QTest::newRow("root not clean") << QByteArray("PELORIX_HOST_ROOT") << "/opt/host/bin/.." << "/opt/host";
}

void tst_HostServices::folderOverrides()
{
    QFETCH(QByteArray, variable);
    QFETCH(QString, value);
    QFETCH(QString, expected);

    ScopedEnv env(variable.constData(), value.toUtf8());
    const QString strActual = variable == "PELORIX_HOST_ROOT" ? CommonUtils::GetPluginLibraryPath() : CommonUtils::GetFilePath();
    QCOMPARE(strActual, QDir::toNativeSeparators(expected));
}

void tst_HostServices::foldersWithoutOverride()
{
    ScopedEnv envRoot("PELORIX_HOST_ROOT", QByteArray());
    ScopedEnv envDocs("PELORIX_HOST_DOCUMENTS", QByteArray());
    ScopedEnv envSettings("PELORIX_HOST_SETTINGS", QByteArray());
    // The install folder is the parent of the folder holding the library.
    QCOMPARE(QDir(CommonUtils::GetPluginLibraryPath()).canonicalPath(), QDir(QStringLiteral(BACKUP_STAGE_DIR)).canonicalPath());
    QCOMPARE(CommonUtils::GetFilePath(), QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
    QVERIFY2(CommonUtils::SettingsFilePath().endsWith(QStringLiteral("/Pelorix/host.ini")), qPrintable(CommonUtils::SettingsFilePath()));
}

void tst_HostServices::callLogRecordsInOrder()
{
    CommonUtils::SendNotify(QStringLiteral("F3389867-EA3E-420d-99A5-6568DB0A8A00"), 2386, 0, 1);
    CommonUtils::ThreadCountInc();
    CommonUtils::setListPipeItem(ListPipeItem{7, 20109, QStringLiteral("cfields=a,b")});
    CommonUtils::ThreadCountDec();
    CommonUtils::SendNotify(QStringLiteral("F3389867-EA3E-420d-99A5-6568DB0A8A00"), 2386, 0, 0);

    const QStringList listExpected = {
        QStringLiteral("SendNotify(F3389867-EA3E-420d-99A5-6568DB0A8A00,2386,0,1)"),
        QStringLiteral("ThreadCountInc(1)"),
        QStringLiteral("setListPipeItem(7,20109,cfields=a,b)"),
        QStringLiteral("ThreadCountDec(0)"),
        QStringLiteral("SendNotify(F3389867-EA3E-420d-99A5-6568DB0A8A00,2386,0,0)"),
    };
    QCOMPARE(HostCallLog::Entries(), listExpected);
    HostCallLog::Clear();
    QVERIFY(HostCallLog::Entries().isEmpty());
}

void tst_HostServices::callLogSignalsEachRecord()
{
    QSignalSpy spy(HostCallLog::Instance(), &HostCallLog::signalRecorded);
    HostCallLog::Record(QStringLiteral("One(1)"));
    HostCallLog::Record(QStringLiteral("Two(2,3)"));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("One(1)"));
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("Two(2,3)"));
}

void tst_HostServices::threadCounterAcrossThreads()
{
    constexpr int kThreads = 6;
    constexpr int kRounds = 400;
    const int nStart = CommonUtils::ThreadCount();

    auto runAll = [](auto fnWork) {
        std::vector<std::unique_ptr<QThread>> listThreads;
        for (int i = 0; i < kThreads; ++i)
            listThreads.emplace_back(QThread::create(fnWork));
        for (auto &pThread : listThreads)
            pThread->start();
        for (auto &pThread : listThreads)
            pThread->wait();
    };
    runAll([] {
        for (int i = 0; i < kRounds; ++i)
            CommonUtils::ThreadCountInc();
    });
    QCOMPARE(CommonUtils::ThreadCount(), nStart + kThreads * kRounds);
    runAll([] {
        for (int i = 0; i < kRounds; ++i) {
            CommonUtils::ThreadCountDec();
            CommonUtils::ThreadCountInc();
            CommonUtils::ThreadCountDec();
        }
    });
    QCOMPARE(CommonUtils::ThreadCount(), nStart);
}

void tst_HostServices::threadCounterNeverNegative()
{
    QCOMPARE(CommonUtils::ThreadCount(), 0);
    QTest::ignoreMessage(QtWarningMsg, "CommonUtils: ThreadCountDec without a matching ThreadCountInc");
    CommonUtils::ThreadCountDec();
    QCOMPARE(CommonUtils::ThreadCount(), 0);
    CommonUtils::ThreadCountInc();
    QCOMPARE(CommonUtils::ThreadCount(), 1);
    CommonUtils::ThreadCountDec();
    QCOMPARE(CommonUtils::ThreadCount(), 0);
}

void tst_HostServices::operationStatus()
{
    QCOMPARE(CommonUtils::GetOperationStatus(0), 0);
    CommonUtils::SetOperationStatus(0, 3);
    CommonUtils::SetOperationStatus(1, 7);
    QCOMPARE(CommonUtils::GetOperationStatus(0), 3);
    QCOMPARE(CommonUtils::GetOperationStatus(1), 7);
    CommonUtils::SetOperationStatus(0, 0);
    QCOMPARE(CommonUtils::GetOperationStatus(0), 0);
    QCOMPARE(CommonUtils::GetOperationStatus(1), 7);
    CommonUtils::SetOperationStatus(1, 0);
}

void tst_HostServices::closeFlagAndMainFrame()
{
    QVERIFY(!CommonUtils::GetCloseFlag());
    MainFrame frame;
    Startup::SetMainFrame(&frame);
    QCOMPARE(Startup::GetMainFrame(), &frame);

    // Whoever hears the signal already sees the flag raised.
    bool bFlagSeen = false;
    connect(&frame, &MainFrame::signalAppCloseEvent, this, [&bFlagSeen] { bFlagSeen = CommonUtils::GetCloseFlag(); });
    QSignalSpy spy(&frame, &MainFrame::signalAppCloseEvent);
    frame.NotifyAppClose();
    QCOMPARE(spy.count(), 1);
    QVERIFY(bFlagSeen);
    QVERIFY(CommonUtils::GetCloseFlag());
    CommonUtils::SetCloseFlag(false);
    QVERIFY(!CommonUtils::GetCloseFlag());
    Startup::SetMainFrame(nullptr);
    QCOMPARE(Startup::GetMainFrame(), nullptr);
}

void tst_HostServices::mainFrameForgottenWhenDeleted()
{
    auto *pFrame = new MainFrame;
    Startup::SetMainFrame(pFrame);
    delete pFrame;
    QCOMPARE(Startup::GetMainFrame(), nullptr);
    QVERIFY(Startup::GetPluginContainer() != nullptr);
    QCOMPARE(Startup::GetPluginContainer(), Startup::GetPluginContainer());
}

void tst_HostServices::deviceInfoTexts()
{
    if (!QDir(TestEnv::SamplePhoneDir()).exists())
        QSKIP("the bundled sample phone is not built");
    const QStringList listInfo = CommonUtils::GetDeviceInfo();
    QVERIFY2(listInfo.size() >= 3, qPrintable(listInfo.join(QLatin1Char('|'))));
    QVERIFY2(!listInfo.at(0).isEmpty(), "the sample phone has a name");
    QCOMPARE(CommonUtils::getPhoneTypeAndImei(),
             QStringLiteral("phonetype=%1;imei=%2;").arg(listInfo.at(0), listInfo.at(2)));
}

void tst_HostServices::usageRecordTexts()
{
    CommonUtils::SetSettings(QStringLiteral("version"), QStringLiteral("version"), QStringLiteral("32.700.1"));
    const QString strText = CommonUtils::getDatetimeAndVersionString();
    const QRegularExpression re(QStringLiteral("^time=(\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2});version=32\\.700\\.1;$"));
    const QRegularExpressionMatch match = re.match(strText);
    QVERIFY2(match.hasMatch(), qPrintable(strText));
    QVERIFY(QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid());
}

void tst_HostServices::translatorLooksUpKeys_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QString>("expected");

    const QString strArabic = QStringLiteral("نسخ احتياطي");
    QTest::newRow("translated") << QByteArray("ar") << QByteArray("IDS_TEST_KEY") << QByteArray("BackUpUIPlugin") << strArabic;
    QTest::newRow("other context") << QByteArray("ar") << QByteArray("IDS_TEST_KEY") << QByteArray("OtherPlugin") << "IDS_TEST_KEY";
    QTest::newRow("unknown key") << QByteArray("ar") << QByteArray("IDS_NOT_THERE") << QByteArray("BackUpUIPlugin") << "IDS_NOT_THERE";
    QTest::newRow("no file for language") << QByteArray("ru") << QByteArray("IDS_TEST_KEY") << QByteArray("BackUpUIPlugin") << "IDS_TEST_KEY";
}

void tst_HostServices::translatorLooksUpKeys()
{
    QFETCH(QByteArray, lang);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, context);
    QFETCH(QString, expected);

    QString strError;
    if (!WriteTranslation(m_pEnv->Root(), QStringLiteral("ar"), QStringLiteral("BackUpUIPlugin"),
                          QStringLiteral("IDS_TEST_KEY"), QStringLiteral("نسخ احتياطي"), &strError))
        QSKIP(qPrintable(strError));
    ScopedEnv envRoot("PELORIX_HOST_ROOT", m_pEnv->Root().toUtf8());
    ScopedEnv envLang("PELORIX_HOST_LANG", lang);
    if (lang != "ar")
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no translation file")));
    QCOMPARE(Change::tr(key.constData(), context.constData()), expected);
    QCOMPARE(Change::tr(QString::fromLatin1(key), context.constData()), expected);
    QCOMPARE(Change::IsTranslationLoaded(), lang == "ar");
}

void tst_HostServices::languageChoice_data()
{
    QTest::addColumn<QByteArray>("envLang");
    QTest::addColumn<QString>("settingLang");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("rightToLeft");

    QTest::newRow("default") << QByteArray() << "" << "en" << false;
    QTest::newRow("setting") << QByteArray() << "ru" << "ru" << false;
    QTest::newRow("setting arabic") << QByteArray() << "ar" << "ar" << true;
    QTest::newRow("environment wins") << QByteArray("ar") << "ru" << "ar" << true;
    QTest::newRow("hebrew") << QByteArray("he") << "" << "he" << true;
    QTest::newRow("persian region") << QByteArray("fa_IR") << "" << "fa_IR" << true;
    QTest::newRow("urdu") << QByteArray("ur") << "" << "ur" << true;
    QTest::newRow("russian") << QByteArray("ru") << "" << "ru" << false;
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

void tst_HostServices::loadLanguageSwitches()
{
    QString strError;
    if (!WriteTranslation(m_pEnv->Root(), QStringLiteral("ar"), QStringLiteral("BackUpUIPlugin"),
                          QStringLiteral("IDS_CORE_OK"), QStringLiteral("موافق"), &strError))
        QSKIP(qPrintable(strError));
    ScopedEnv envRoot("PELORIX_HOST_ROOT", m_pEnv->Root().toUtf8());
    ScopedEnv envLang("PELORIX_HOST_LANG", QByteArray());
    CommonUtils::SetSettings(QStringLiteral("Language"), QStringLiteral("lang"), QStringLiteral("ru"));

    QVERIFY(Change::LoadLanguage(QStringLiteral("ar")));
    QCOMPARE(Change::GetLangName(), QStringLiteral("ar"));
    QCOMPARE(Change::tr("IDS_CORE_OK"), QStringLiteral("موافق"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no translation file.*backup_ru\\.qm")));
    QVERIFY(!Change::LoadLanguage(QStringLiteral("ru")));
    QCOMPARE(Change::tr("IDS_CORE_OK"), QStringLiteral("IDS_CORE_OK"));

    // The environment still decides over an in-process choice.
    {
        ScopedEnv envArabic("PELORIX_HOST_LANG", QByteArray("ar"));
        QCOMPARE(Change::tr("IDS_CORE_OK"), QStringLiteral("موافق"));
    }
    // An empty choice falls back to the setting.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no translation file.*backup_ru\\.qm")));
    Change::LoadLanguage(QString());
    CommonUtils::SetSettings(QStringLiteral("Language"), QStringLiteral("lang"), QStringLiteral("ar"));
    QCOMPARE(Change::GetLangName(), QStringLiteral("ar"));
    QCOMPARE(Change::tr("IDS_CORE_OK"), QStringLiteral("موافق"));
}

QTEST_GUILESS_MAIN(tst_HostServices)
#include "tst_hostservices.moc"
