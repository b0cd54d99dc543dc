// The seven record modules against the simulated phone: a successful backup,
// a phone backup that fails, a cancel that arrives during the phone's backup,
// each copy failure code, and records sent across threads.
#include "ModuleFixture.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include "BackUpUILogic.h"
#include "RecordModule.h"
#include "RunState.h"
#include "SMS.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace ModuleFixture;

namespace
{

struct RecordRow
{
    const char *szName;
    int nCode;
    const char *szFlag;
};

const RecordRow kRecordRows[] = {
    {"contacts", MODULE_PB, "PB"},           {"sms", MODULE_SMS, "SMS"},
    {"calendar", MODULE_CALENDAR, "Calendar"}, {"calllog", MODULE_CALLLOG, "CallLog"},
    {"email", MODULE_EMAIL, "Email"},        {"bookmarks", MODULE_BOOKMARK, "Bookmark"},
    {"mms", MODULE_MMS, "MMS"},
};

// Where the simulated phone leaves a record type's result file.
QString ResultPhonePath(int nCode)
{
    return QStringLiteral("/data/local/tmp/backup/") + TestPhone::SectionOf(nCode) + QStringLiteral(".dat");
}

} // namespace

class tst_RecordModules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void copy_data();
    void copy();
    void noCopy_data();
    void noCopy();
    void statusCrossesThreads();

private:
    std::unique_ptr<TestEnv> m_pEnv;
};

void tst_RecordModules::initTestCase()
{
    BackupCodes::RegisterMetaTypes();
}

void tst_RecordModules::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    RunState::Set(0);
    BackUpUILogic::Instance();
}

void tst_RecordModules::cleanup()
{
    RunState::Set(0);
    TestPhone::UseDefault();
    ClearCalls();
    m_pEnv.reset();
}

void tst_RecordModules::copy_data()
{
    QTest::addColumn<int>("nCode");
    QTest::addColumn<QString>("strFlag");
    QTest::addColumn<int>("nSdkCode"); // -1: the copy succeeds; 0: the file is missing on the phone
    QTest::addColumn<int>("nExpected");

    const struct
    {
        const char *szName;
        int nSdkCode;
        int nExpected;
    } kOutcomes[] = {{"success", -1, 0},
                     {"busy", DVSK_ERR_BUSY, GETFILE_BUSY},
                     {"missing", 0, GETFILE_NOT_EXIST},
                     {"not-exist-code", DVSK_ERR_FILE_NOT_EXIST, GETFILE_NOT_EXIST},
                     {"other", DVSK_SIM_ERR_PHONE_IO, GETFILE_FAILED},
                     {"small-other", 5, GETFILE_FAILED}};
    // Every module with success and the three kinds of failure; the other
    // spellings of them with one module.
    for (const RecordRow &row : kRecordRows) {
        for (const auto &outcome : kOutcomes) {
            if (row.nCode != MODULE_SMS && (outcome.nSdkCode == DVSK_ERR_FILE_NOT_EXIST || outcome.nSdkCode == 5))
                continue;
            QTest::addRow("%s-%s", row.szName, outcome.szName)
                << row.nCode << QString::fromLatin1(row.szFlag) << outcome.nSdkCode << outcome.nExpected;
        }
    }
}

void tst_RecordModules::copy()
{
    QFETCH(int, nCode);
    QFETCH(QString, strFlag);
    QFETCH(int, nSdkCode);
    QFETCH(int, nExpected);

    // The phone counts 5 records but its backup reports 4: the module passes
    // on what the backup reported.
    const QByteArray baContent = QByteArray("records of type ") + QByteArray::number(nCode) + '\0' + char(0xff) + "\r\n";
    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    phone.SetRecords(nCode, 5, baContent, 4);
    if (nSdkCode == 0)
        phone.SetMissingFile(ResultPhonePath(nCode));
    else if (nSdkCode > 0)
        phone.SetGetFileError(ResultPhonePath(nCode), nSdkCode);
    QVERIFY(phone.Use());
    ClearCalls();

    std::unique_ptr<RecordModule> pModule = CreateModule<RecordModule>(nCode);
    QCOMPARE(pModule->ModuleCode(), nCode);
    const QString strTarget = m_pEnv->UserDataDir() + TestPhone::SectionOf(nCode) + QStringLiteral(".zip");
    pModule->SetPath(strTarget);
    QSignalSpy spyStart(pModule.get(), &RecordModule::BackUpStart);
    QSignalSpy spyStatus(pModule.get(), &RecordModule::SendFileStatus);
    QSignalSpy spyPro(pModule.get(), &RecordModule::signalBackupPro);

    int nCount = 5;
    QCOMPARE(pModule->Backup(nCount), nExpected);
    QVERIFY(Calls().contains(QStringLiteral("DVSK_BackUp %1 \"phone book\"").arg(nCode)));
    QCOMPARE(CopiedPhonePaths(), QStringList{ResultPhonePath(nCode)});
    QCOMPARE(spyStart.size(), 1);
    QCOMPARE(Flags(StatusAt(spyStart, 0)), strFlag);
    QCOMPARE(spyPro.size(), 1);
    QCOMPARE(ProgressOfType(spyPro, 2), (QList<QList<int>>{{nCode, 2, 1, 1}}));
    QCOMPARE(Flags(StatusAt(spyStatus, 0)), strFlag + QStringLiteral(" Transporting"));
    if (nExpected != 0) {
        // The last record sent still shows the transfer; nothing is left.
        QCOMPARE(spyStatus.size(), 1);
        QCOMPARE(Flags(pModule->GetFileStatus()), strFlag + QStringLiteral(" Transporting"));
        QVERIFY(!QFileInfo::exists(strTarget));
        return;
    }
    QCOMPARE(nCount, 4);
    QCOMPARE(ReadFile(strTarget), baContent);
    QCOMPARE(spyStatus.size(), 2);
    QCOMPARE(Flags(StatusAt(spyStatus, 1)), strFlag);
    QCOMPARE(Flags(pModule->GetFileStatus()), strFlag);

    // A second run replaces the file.
    QVERIFY(WriteFile(strTarget, "stale"));
    QCOMPARE(pModule->Backup(nCount), 0);
    QCOMPARE(ReadFile(strTarget), baContent);
}

void tst_RecordModules::noCopy_data()
{
    QTest::addColumn<int>("nCode");
    QTest::addColumn<QString>("strFault");
    QTest::addColumn<int>("nExpected");
    QTest::addColumn<QString>("strStatus"); // the module's flags afterwards

    QTest::newRow("sms-error-code") << int(MODULE_SMS) << "code" << 77 << "SMS";
    QTest::newRow("calendar-error-text") << int(MODULE_CALENDAR) << "text" << 1 << "Calendar";
    // The phone backs up but names no result file: the logic fails the call.
    QTest::newRow("contacts-no-result-path") << int(MODULE_PB) << "no-path" << 1 << "PB";
    QTest::newRow("calllog-no-result-file") << int(MODULE_CALLLOG) << "no-file" << 1 << "CallLog";
    QTest::newRow("bookmarks-unplugged") << int(MODULE_BOOKMARK) << "unplugged" << int(DVSK_SIM_ERR_DETACHED) << "Bookmark";
    // The user cancels while the phone is still backing up.
    for (const RecordRow &row : kRecordRows)
        QTest::addRow("%s-cancel", row.szName) << row.nCode << "cancel" << -1 << QString::fromLatin1(row.szFlag) + " Transporting";
}

void tst_RecordModules::noCopy()
{
    QFETCH(int, nCode);
    QFETCH(QString, strFault);
    QFETCH(int, nExpected);
    QFETCH(QString, strStatus);

    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    if (strFault == QLatin1String("no-file"))
        phone.SetRecordsWithoutFile(nCode, 3);
    else
        phone.SetRecords(nCode, 3);
    if (strFault == QLatin1String("code"))
        phone.SetBackupError(nCode, 77);
    else if (strFault == QLatin1String("text"))
        phone.SetErrorText(nCode);
    else if (strFault == QLatin1String("no-path"))
        phone.SetNoResultPath(nCode);
    QVERIFY(phone.Use());
    if (strFault == QLatin1String("unplugged"))
        DVSK_Sim_Detach();
    ClearCalls();
    // A cancel arrives with the first progress call from the phone's thread.
    QObject context;
    if (strFault == QLatin1String("cancel")) {
        connect(BackUpUILogic::Instance(), &BackUpUILogic::signalBackupCallBack, &context,
                [](int, int, int, int) { RunState::Set(RunState::kCancelled); }, Qt::DirectConnection);
    }

    std::unique_ptr<RecordModule> pModule = CreateModule<RecordModule>(nCode);
    const QString strTarget = m_pEnv->UserDataDir() + QStringLiteral("result.zip");
    pModule->SetPath(strTarget);
    QSignalSpy spyStart(pModule.get(), &RecordModule::BackUpStart);
    QSignalSpy spyStatus(pModule.get(), &RecordModule::SendFileStatus);
    QSignalSpy spyPro(pModule.get(), &RecordModule::signalBackupPro);

    int nCount = 9;
    const int nResult = pModule->Backup(nCount);
    if (strFault == QLatin1String("unplugged"))
        DVSK_Sim_Attach();
    QCOMPARE(nResult, nExpected);
    if (strFault != QLatin1String("cancel"))
        QCOMPARE(nCount, 9);
    QCOMPARE(spyStart.size(), 1);
    QCOMPARE(spyStatus.size(), 0);
    QVERIFY(ProgressOfType(spyPro, 2).isEmpty());
    QVERIFY(CopiedPhonePaths().isEmpty());
    QVERIFY(!QFileInfo::exists(strTarget));
    QCOMPARE(Flags(pModule->GetFileStatus()), strStatus);
}

void tst_RecordModules::statusCrossesThreads()
{
    // The module runs on a worker thread; its records reach a receiver on
    // this thread through queued connections.
    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    phone.SetRecords(MODULE_SMS, 2);
    QVERIFY(phone.Use());

    SMS module;
    module.SetPath(m_pEnv->UserDataDir() + QStringLiteral("SMS.zip"));
    QList<QString> listReceived;
    QObject receiver;
    connect(&module, &RecordModule::BackUpStart, &receiver,
            [&](FILESTATUS status) { listReceived << QStringLiteral("start ") + Flags(status); });
    connect(&module, &RecordModule::SendFileStatus, &receiver,
            [&](FILESTATUS status) { listReceived << QStringLiteral("status ") + Flags(status); });

    int nResult = -100;
    int nCount = 0;
    std::unique_ptr<QThread> pThread(QThread::create([&]() { nResult = module.Backup(nCount); }));
    pThread->start();
    QVERIFY(pThread->wait(30000));
    QCOMPARE(nResult, 0);
    QTRY_COMPARE_WITH_TIMEOUT(listReceived,
                 (QList<QString>{QStringLiteral("start SMS"), QStringLiteral("status SMS Transporting"),
                                 QStringLiteral("status SMS")}), 60000);
}

QTEST_GUILESS_MAIN(tst_RecordModules)
#include "tst_recordmodules.moc"
