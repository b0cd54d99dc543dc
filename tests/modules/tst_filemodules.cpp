// The file modules against the simulated phone (a whole backup through them
// is checked in tst_factory): copy order, de-duplication,
// name collisions, hostile names from the phone, the stop request between
// files, cancel and phone failures, the earlier folder layout, and the
// application data archive.
#include "ModuleFixture.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include "APKData.h"
#include "FileListModule.h"
#include "FileStepProgress.h"
#include "BackUpUILogic.h"
#include "MediaInfo.h"
#include "RunState.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace ModuleFixture;

Q_DECLARE_METATYPE(QList<MediaInfo>)

namespace
{
const QChar kSep(0x18);


// The files a module wrote into its folder, without its media list.
QStringList Written(FileListModule *pModule)
{
    QStringList list = FilesUnder(pModule->GetFolder());
    list.removeAll(QFileInfo(pModule->MediaListPath()).fileName());
    return list;
}
} // namespace

class tst_FileModules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rawLists_data();
    void rawLists();
    void stopBetweenFiles_data();
    void stopBetweenFiles();
    void phoneFailures_data();
    void phoneFailures();
    void earlierLayout_data();
    void earlierLayout();
    void stepShare_data();
    void stepShare();
    void appData_data();
    void appData();

private:
    QString Backup() const { return m_pEnv->Path(QStringLiteral("run/backup")); }
    std::unique_ptr<TestEnv> m_pEnv;
};

void tst_FileModules::initTestCase()
{
    BackupCodes::RegisterMetaTypes();
}

void tst_FileModules::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    RunState::Set(0);
    BackUpUILogic::Instance();
}

void tst_FileModules::cleanup()
{
    RunState::Set(0);
    TestPhone::UseDefault();
    ClearCalls();
    m_pEnv.reset();
}

void tst_FileModules::rawLists_data()
{
    // The phone holds the file named by the last field of each list line
    // (content: its phone path) unless listed as missing.
    QTest::addColumn<int>("nCode");
    QTest::addColumn<QString>("strList");
    QTest::addColumn<QStringList>("listMissing");
    QTest::addColumn<QStringList>("listExisting"); // in the module folder before; "name->target" is a link
    QTest::addColumn<QStringList>("listTried");    // phone paths copied, in order
    QTest::addColumn<QStringList>("listFiles");    // "name=content" afterwards, sorted; no content: a link
    QTest::addColumn<QList<MediaInfo>>("listMedia");

    using L = QStringList;
    using M = QList<MediaInfo>;
    const QString s = kSep;
    const QString strA = QStringLiteral("/sdcard/DCIM/a.jpg");
    const QString strB = QStringLiteral("/sdcard/b.jpg");
    const QString strOk = QStringLiteral("/sdcard/DCIM/ok.jpg");
    const QString strApk = QStringLiteral("/data/app/real.apk");
    const QString strOkLine = QStringLiteral("\r\nok.jpg") + s + strOk;
    const MediaInfo ok{QStringLiteral("ok.jpg"), QStringLiteral("ok.jpg"), strOk};
    auto is = [](const QString &strName, const QString &strContent) { return strName + QLatin1Char('=') + strContent; };

    QTest::newRow("same-path-later-name-wins")
        << int(MODULE_IMAGE) << QStringLiteral("first.jpg") + s + strA + QStringLiteral("\r\nsecond.jpg") + s + strA << L{}
        << L{} << L{strA} << L{is(QStringLiteral("second.jpg"), strA)}
        << M{{QStringLiteral("second.jpg"), QStringLiteral("second.jpg"), strA}};
    QTest::newRow("same-package-later-path-wins")
        << int(MODULE_APK)
        << QStringLiteral("com.a") + s + QStringLiteral("1") + s + QStringLiteral("/data/app/old.apk\r\ncom.a") + s + strApk
        << L{} << L{} << L{strApk} << L{is(QStringLiteral("APK/com.a.apk"), strApk)} << M{};
    QTest::newRow("failed-file-is-skipped")
        << int(MODULE_IMAGE) << QStringLiteral("a.jpg") + s + strA + QStringLiteral("\r\nb.jpg") + s + strB + strOkLine
        << L{strB} << L{} << L{strA, strOk, strB} << L{is(QStringLiteral("a.jpg"), strA), is(QStringLiteral("ok.jpg"), strOk)}
        << M{{QStringLiteral("a.jpg"), QStringLiteral("a.jpg"), strA}, ok};

    // Only empty first fields: nothing copied, an empty media list.
    const QString strEmptyNames = s + strA + QStringLiteral("\r\n\r\n") + s + s + strOk + QStringLiteral("\r\n");
    for (int nCode : {int(MODULE_IMAGE), int(MODULE_VIDEO), int(MODULE_AUDIO), int(MODULE_APK)})
        QTest::addRow("only-empty-names-%d", nCode) << nCode << strEmptyNames << L{} << L{} << L{} << L{} << M{};

    // Collisions with what is already in the folder.
    QTest::newRow("collides-with-existing")
        << int(MODULE_IMAGE) << QStringLiteral("a.jpg") + s + strA << L{} << L{QStringLiteral("a.jpg")} << L{strA}
        << L{is(QStringLiteral("a (1).jpg"), strA), QStringLiteral("a.jpg=existing")}
        << M{{QStringLiteral("a (1).jpg"), QStringLiteral("a.jpg"), strA}};
    // Names given on the PC between names kept: each list record has its own.
    const QString strA2 = QStringLiteral("/sdcard/Pictures/a.jpg");
    const QString strA3 = QStringLiteral("/sdcard/x/a.jpg");
    QTest::newRow("renamed-between-kept")
        << int(MODULE_IMAGE)
        << QStringLiteral("a.jpg") + s + strA + QStringLiteral("\r\nb.jpg") + s + strB + QStringLiteral("\r\na.jpg") + s + strA2
               + QStringLiteral("\r\na.jpg") + s + strA3
        << L{} << L{} << L{strA, strA2, strB, strA3}
        << L{is(QStringLiteral("a (1).jpg"), strA2), is(QStringLiteral("a (2).jpg"), strA3), is(QStringLiteral("a.jpg"), strA),
             is(QStringLiteral("b.jpg"), strB)}
        << M{{QStringLiteral("a.jpg"), QStringLiteral("a.jpg"), strA}, {QStringLiteral("a (1).jpg"), QStringLiteral("a.jpg"), strA2},
             {QStringLiteral("b.jpg"), QStringLiteral("b.jpg"), strB}, {QStringLiteral("a (2).jpg"), QStringLiteral("a.jpg"), strA3}};
    const QString strNotes = QStringLiteral("/sdcard/Music/notes");
    QTest::newRow("no-extension-twice")
        << int(MODULE_AUDIO) << QStringLiteral("notes") + s + strNotes << L{}
        << L{QStringLiteral("notes"), QStringLiteral("notes (1)")} << L{strNotes}
        << L{QStringLiteral("notes=existing"), QStringLiteral("notes (1)=existing"), is(QStringLiteral("notes (2)"), strNotes)}
        << M{{QStringLiteral("notes (2)"), QStringLiteral("notes"), strNotes}};
    QTest::newRow("media-list-name-is-reserved")
        << int(MODULE_IMAGE) << QStringLiteral("ImageList.xml") + s + strA << L{} << L{} << L{strA}
        << L{is(QStringLiteral("ImageList (1).xml"), strA)} << M{{QStringLiteral("ImageList (1).xml"), QStringLiteral("ImageList.xml"), strA}};

    // Hostile names: each becomes one safe name in the folder or is skipped.
    const struct
    {
        const char *szRow;
        int nCode;
        QString strName;   // empty: a line without separator
        QString strPcName; // empty: skipped without a copy
    } kHostile[] = {
        {"parent-prefix", MODULE_IMAGE, QStringLiteral("../x.jpg"), QStringLiteral(".._x.jpg")},
        // Climbs from the module folder to the test's own root, never further.
        {"deep-parent", MODULE_IMAGE, QStringLiteral("../../../x.jpg"), QStringLiteral(".._.._.._x.jpg")},
        {"absolute", MODULE_IMAGE, QStringLiteral("/etc/passwd"), QStringLiteral("_etc_passwd")},
        {"backslash", MODULE_AUDIO, QStringLiteral("a\\b.mp3"), QStringLiteral("a_b.mp3")},
        {"dot-dot", MODULE_VIDEO, QStringLiteral(".."), QString()},
        {"dot", MODULE_IMAGE, QStringLiteral("."), QString()},
        {"control-characters", MODULE_IMAGE, QStringLiteral("a\tb") + QChar(0x7f) + QStringLiteral(".jpg"),
         QStringLiteral("a_b_.jpg")},
        {"no-separator-line", MODULE_AUDIO, QString(), QStringLiteral("_sdcard_DCIM_a.jpg")},
    };
    for (const auto &row : kHostile) {
        L listTried{strOk};
        L listFiles{is(QStringLiteral("ok.jpg"), strOk)};
        M listMedia{ok};
        if (!row.strPcName.isEmpty()) {
            listTried.prepend(strA);
            listFiles.prepend(is(row.strPcName, strA));
            listMedia.prepend({row.strPcName, row.strName.isEmpty() ? strA : row.strName, strA});
        }
        listFiles.sort();
        QTest::newRow(row.szRow) << row.nCode << (row.strName.isEmpty() ? strA : row.strName + s + strA) + strOkLine << L{}
                                 << L{} << listTried << listFiles << listMedia;
    }
    QTest::newRow("empty-name") << int(MODULE_IMAGE) << s + strA + strOkLine << L{} << L{} << L{strOk}
                                << L{is(QStringLiteral("ok.jpg"), strOk)} << M{ok};
    QTest::newRow("package-with-slash") << int(MODULE_APK) << QStringLiteral("com.evil/../../../x") + s + strApk << L{}
                                        << L{} << L{strApk} << L{is(QStringLiteral("APK/com.evil_.._.._.._x.apk"), strApk)} << M{};
    QTest::newRow("package-absolute") << int(MODULE_APK) << QStringLiteral("/etc/cron.d/x") + s + strApk << L{} << L{}
                                      << L{strApk} << L{is(QStringLiteral("APK/_etc_cron.d_x.apk"), strApk)} << M{};
    QTest::newRow("package-dot-dot") << int(MODULE_APK) << QStringLiteral("..") + s + strApk + QStringLiteral("\r\ncom.ok") + s + strApk
                                     << L{} << L{} << L{strApk} << L{is(QStringLiteral("APK/com.ok.apk"), strApk)} << M{};

    // Links already in the folder are never written through.
    QTest::newRow("dangling-link-in-media-folder")
        << int(MODULE_IMAGE) << QStringLiteral("a.jpg") + s + strA << L{} << L{QStringLiteral("a.jpg->outside/t.jpg")}
        << L{strA} << L{is(QStringLiteral("a (1).jpg"), strA), QStringLiteral("a.jpg=")}
        << M{{QStringLiteral("a (1).jpg"), QStringLiteral("a.jpg"), strA}};
    QTest::newRow("dangling-link-in-apk-folder")
        << int(MODULE_APK) << QStringLiteral("com.a") + s + strApk << L{} << L{QStringLiteral("APK/com.a.apk->outside/evil.apk")}
        << L{strApk} << L{is(QStringLiteral("APK/com.a.apk"), strApk)} << M{};
}

void tst_FileModules::rawLists()
{
    QFETCH(int, nCode);
    QFETCH(QString, strList);
    QFETCH(QStringList, listMissing);
    QFETCH(QStringList, listExisting);
    QFETCH(QStringList, listTried);
    QFETCH(QStringList, listFiles);
    QFETCH(QList<MediaInfo>, listMedia);

    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    for (const QString &strLine : strList.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const QString strPath = strLine.section(kSep, -1);
        if (listMissing.contains(strPath))
            phone.SetMissingFile(strPath);
        else if (!strPath.isEmpty())
            phone.AddFile(strPath, strPath.toUtf8());
    }
    phone.SetRawList(nCode, strList.toUtf8());
    QVERIFY(phone.Use());

    std::unique_ptr<FileListModule> pModule = CreateModule<FileListModule>(nCode);
    pModule->SetPath(Backup());
    const QString strFolder = pModule->GetFolder();
    for (const QString &strEntry : std::as_const(listExisting)) {
        const QString strPath = strFolder + QLatin1Char('/') + strEntry.section(QStringLiteral("->"), 0, 0);
        QVERIFY(QDir().mkpath(QFileInfo(strPath).absolutePath()));
        if (strEntry.contains(QStringLiteral("->")))
            QVERIFY(QFile::link(m_pEnv->Path(strEntry.section(QStringLiteral("->"), 1)), strPath));
        else
            QVERIFY(WriteFile(strPath, "existing"));
    }
    const QStringList listBefore = FilesUnder(m_pEnv->Root());
    ClearCalls();

    int nCount = 5;
    QCOMPARE(pModule->Backup(nCount), 0);
    QCOMPARE(CopiedPhonePaths(), listTried);

    QStringList listActual;
    for (const QString &strName : Written(pModule.get())) {
        const QString strPath = strFolder + QLatin1Char('/') + strName;
        listActual << strName + QLatin1Char('=') + (QFileInfo(strPath).isSymLink() ? QString() : QString::fromUtf8(ReadFile(strPath)));
    }
    QCOMPARE(listActual, listFiles);

    // Nothing new anywhere but in the module's folder.
    const QString strPrefix = QDir(m_pEnv->Root()).relativeFilePath(strFolder) + QLatin1Char('/');
    for (const QString &strFile : FilesUnder(m_pEnv->Root())) {
        if (!listBefore.contains(strFile))
            QVERIFY2(strFile.startsWith(strPrefix), qPrintable(strFile));
    }
    QVERIFY(!QFileInfo::exists(m_pEnv->Path(QStringLiteral("outside"))));

    const int nCopied = int(listTried.size() - listMissing.size());
    QCOMPARE(nCount, nCopied);
    if (nCode == MODULE_APK)
        return;
    QList<MediaInfo> listRead;
    QCOMPARE(g_ReadMediaList(pModule->MediaListPath(), listRead), !listMedia.isEmpty());
    QCOMPARE(listRead, listMedia);
    if (listMedia.isEmpty())
        QCOMPARE(ReadFile(pModule->MediaListPath()), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<filelist/>\n"));
}

void tst_FileModules::stopBetweenFiles_data()
{
    QTest::addColumn<int>("nCode");
    QTest::newRow("image") << int(MODULE_IMAGE);
    QTest::newRow("video") << int(MODULE_VIDEO);
    QTest::newRow("audio") << int(MODULE_AUDIO);
    QTest::newRow("applications") << int(MODULE_APK);
}

void tst_FileModules::stopBetweenFiles()
{
    QFETCH(int, nCode);
    const char *const kSuffix[] = {"jpg", "mp4", "mp3"};
    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    for (int i = 1; i <= 3; ++i) {
        if (nCode == MODULE_APK)
            phone.AddApp(QStringLiteral("com.app%1").arg(i), 100);
        else
            phone.AddFile(QStringLiteral("/sdcard/f%1.%2").arg(i).arg(QLatin1String(kSuffix[nCode - MODULE_IMAGE])), 100);
    }
    QVERIFY(phone.Use());
    ClearCalls();

    std::unique_ptr<FileListModule> pModule = CreateModule<FileListModule>(nCode);
    pModule->SetStatus(false);
    pModule->SetPath(Backup());
    // The user cancels while the first file is being copied.
    FileListModule *pRaw = pModule.get();
    connect(pRaw, &FileModule::SendFileStatus, pRaw, [pRaw](FILESTATUS status) {
        if (!status.bTransporting)
            pRaw->SetStatus(true);
    });

    int nCount = 3;
    QCOMPARE(pModule->Backup(nCount), -1);
    QVERIFY(pModule->IsStopRequested());
    QCOMPARE(nCount, 3);
    QCOMPARE(CopiedPhonePaths().size(), 1);
    // The file copied before the stop stays, listed in the media list (a run
    // cut off by the phone keeps both for the next run).
    QCOMPARE(FilesUnder(pModule->GetFolder()).size(), nCode == MODULE_APK ? 1 : 2);

    // The next run starts by clearing the request.
    disconnect(pRaw, &FileModule::SendFileStatus, pRaw, nullptr);
    pModule->SetStatus(false);
    QCOMPARE(pModule->Backup(nCount), 0);
}

void tst_FileModules::phoneFailures_data()
{
    QTest::addColumn<int>("nCode");
    QTest::addColumn<QString>("strFault");
    QTest::addColumn<int>("nExpected");
    QTest::addColumn<QString>("strWarning"); // the module's warning, if any

    QTest::newRow("image-error-code") << int(MODULE_IMAGE) << "code" << 77 << QString();
    QTest::newRow("apk-error-code") << int(MODULE_APK) << "code" << 77 << QString();
    QTest::newRow("audio-error-text") << int(MODULE_AUDIO) << "text" << 1 << QString();
    QTest::newRow("video-empty-list") << int(MODULE_VIDEO) << "empty" << -1 << "Video: Backup: Description: Video path NULL";
    QTest::newRow("apk-empty-list") << int(MODULE_APK) << "empty" << -1 << "APK: Backup: Description: apk path NULL";
    // The user cancels while the phone is still listing: nothing is copied.
    for (int nCode : {int(MODULE_IMAGE), int(MODULE_VIDEO), int(MODULE_AUDIO), int(MODULE_APK)})
        QTest::addRow("cancel-%d", nCode) << nCode << "cancel" << -1 << QString();
}

void tst_FileModules::phoneFailures()
{
    QFETCH(int, nCode);
    QFETCH(QString, strFault);
    QFETCH(int, nExpected);
    QFETCH(QString, strWarning);

    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    for (const char *szPath : {"/sdcard/a.jpg", "/sdcard/a.mp4", "/sdcard/a.mp3"})
        phone.AddFile(QLatin1String(szPath), 10);
    phone.AddApp(QStringLiteral("com.a"), 10);
    if (strFault == QLatin1String("code"))
        phone.SetBackupError(nCode, 77);
    else if (strFault == QLatin1String("text"))
        phone.SetErrorText(nCode);
    else if (strFault == QLatin1String("empty"))
        phone.SetRawList(nCode, QByteArray());
    QVERIFY(phone.Use());
    ClearCalls();
    QObject context;
    if (strFault == QLatin1String("cancel")) {
        connect(BackUpUILogic::Instance(), &BackUpUILogic::signalBackupCallBack, &context,
                [](int, int, int, int) { RunState::Set(RunState::kCancelled); }, Qt::DirectConnection);
    }

    std::unique_ptr<FileListModule> pModule = CreateModule<FileListModule>(nCode);
    pModule->SetPath(Backup());
    QSignalSpy spyStatus(pModule.get(), &FileModule::SendFileStatus);
    QSignalSpy spyPro(pModule.get(), &FileModule::signalBackupPro);
    if (!strWarning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(strWarning) + QLatin1Char('$')));
    int nCount = 4;
    QCOMPARE(pModule->Backup(nCount), nExpected);
    QCOMPARE(nCount, 4);
    QCOMPARE(spyStatus.size(), 0);
    QVERIFY(ProgressOfType(spyPro, 2).isEmpty());
    QVERIFY(CopiedPhonePaths().isEmpty());
    QCOMPARE(FilesUnder(Backup()), QStringList());
}

void tst_FileModules::stepShare_data()
{
    QTest::addColumn<int>("nCode");
    QTest::addColumn<QList<qint64>>("listSizes");
    QTest::addColumn<bool>("bMissingFirst");
    QTest::addColumn<int>("nMinReports");

    // 20 MB at about 20 MB/s: the share moves while the one file arrives.
    QTest::newRow("one large video") << int(MODULE_VIDEO) << QList<qint64>{20 * 1000 * 1000} << false << 4;
    QTest::newRow("small images, once each") << int(MODULE_IMAGE) << QList<qint64>{1000, 2000, 3000, 4000} << false
                                             << 4;
    QTest::newRow("a missing file counts as done") << int(MODULE_IMAGE) << QList<qint64>{5000, 7000} << true << 2;
}

// The step's share rises to the whole step, in reports that follow the
// bytes, and the bytes reported add up to the listed sizes.
void tst_FileModules::stepShare()
{
    QFETCH(int, nCode);
    QFETCH(QList<qint64>, listSizes);
    QFETCH(bool, bMissingFirst);
    QFETCH(int, nMinReports);

    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    const QString strExtension = nCode == MODULE_VIDEO ? QStringLiteral(".mp4") : QStringLiteral(".jpg");
    qint64 nTotal = 0;
    for (int i = 0; i < listSizes.size(); ++i) {
        phone.AddFile(QStringLiteral("/sdcard/DCIM/f%1").arg(i) + strExtension, listSizes.at(i));
        nTotal += listSizes.at(i);
    }
    if (bMissingFirst)
        phone.SetMissingFile(QStringLiteral("/sdcard/DCIM/f0") + strExtension);
    phone.SetRateLimitKBps(20000);
    QVERIFY(phone.Use());

    std::unique_ptr<FileListModule> pModule = CreateModule<FileListModule>(nCode);
    pModule->SetPath(Backup());
    QSignalSpy spyShare(pModule.get(), &FileModule::signalFilesProgress);
    int nCount = listSizes.size();
    QCOMPARE(pModule->Backup(nCount), 0);
    QCOMPARE(nCount, listSizes.size() - (bMissingFirst ? 1 : 0));

    QVERIFY2(spyShare.size() >= nMinReports, qPrintable(QString::number(spyShare.size())));
    if (nCode == MODULE_IMAGE)
        QCOMPARE(spyShare.size(), nMinReports); // small files: one report each
    int nLastShare = 0;
    qint64 nBytes = 0;
    for (const QList<QVariant> &args : spyShare) {
        QCOMPARE(args.at(0).toInt(), nCode);
        QVERIFY2(args.at(1).toInt() > nLastShare, "the share did not rise");
        nLastShare = args.at(1).toInt();
        nBytes += args.at(2).toLongLong();
    }
    QCOMPARE(nLastShare, int(FileStepProgress::kParts));
    QCOMPARE(nBytes, nTotal);
}

void tst_FileModules::earlierLayout_data()
{
    QTest::addColumn<int>("nCode");
    QTest::addColumn<QString>("strSetup"); // "folder+marker", "folder", "marker-is-folder", "none"
    QTest::addColumn<bool>("bEarlier");

    QTest::newRow("image-folder-with-marker") << int(MODULE_IMAGE) << "folder+marker" << true;
    QTest::newRow("video-folder-with-marker") << int(MODULE_VIDEO) << "folder+marker" << true;
    QTest::newRow("audio-folder-with-marker") << int(MODULE_AUDIO) << "folder+marker" << true;
    QTest::newRow("audio-folder-without-marker") << int(MODULE_AUDIO) << "folder" << false;
    QTest::newRow("video-nothing") << int(MODULE_VIDEO) << "none" << false;
    QTest::newRow("image-marker-is-a-folder") << int(MODULE_IMAGE) << "marker-is-folder" << true;
}

void tst_FileModules::earlierLayout()
{
    QFETCH(int, nCode);
    QFETCH(QString, strSetup);
    QFETCH(bool, bEarlier);

    const char *const kEarlier[] = {"CameraImage", "CameraVideo", "SoundRecord"};
    const char *const kFolder[] = {"/Image", "/Video", "/Audio"};
    const QString strEarlier = QLatin1String(kEarlier[nCode - MODULE_IMAGE]);
    const QString strFolder = Backup() + QLatin1Char('/') + strEarlier;
    const QString strMarker = strFolder + QLatin1Char('/') + strEarlier + QStringLiteral("List.ini");
    if (strSetup != QLatin1String("none"))
        QVERIFY(QDir().mkpath(strFolder));
    if (strSetup == QLatin1String("folder+marker"))
        QVERIFY(WriteFile(strMarker, "[list]\n"));
    if (strSetup == QLatin1String("marker-is-folder"))
        QVERIFY(QDir().mkpath(strMarker));

    std::unique_ptr<FileListModule> pModule = CreateModule<FileListModule>(nCode);
    pModule->SetPath(Backup());
    const QString strNewFolder = Backup() + QLatin1String(kFolder[nCode - MODULE_IMAGE]);
    QCOMPARE(pModule->GetFolder(), bEarlier ? strFolder : strNewFolder);
    QCOMPARE(QFileInfo(strNewFolder).isDir(), !bEarlier);
}

void tst_FileModules::appData_data()
{
    QTest::addColumn<int>("nSdkCode"); // -1: none; 0: the archive is missing
    QTest::addColumn<int>("nExpected");
    QTest::newRow("success") << -1 << 0;
    QTest::newRow("busy") << int(DVSK_ERR_BUSY) << int(GETFILE_BUSY);
    QTest::newRow("missing") << 0 << int(GETFILE_NOT_EXIST);
    QTest::newRow("other") << 7 << int(GETFILE_FAILED);
}

void tst_FileModules::appData()
{
    QFETCH(int, nSdkCode);
    QFETCH(int, nExpected);

    const QString strArchive = QStringLiteral("/data/local/tmp/backup/appdata.zip");
    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    phone.AddApp(QStringLiteral("com.a"), 100, {{QStringLiteral("shared_prefs/p.xml"), "<map/>"}});
    phone.AddApp(QStringLiteral("com.b"), 100, {{QStringLiteral("files/f"), "data"}});
    phone.AddApp(QStringLiteral("com.c"), 100);
    if (nSdkCode == 0)
        phone.SetMissingFile(strArchive);
    else if (nSdkCode > 0)
        phone.SetGetFileError(strArchive, nSdkCode);
    QVERIFY(phone.Use());
    ClearCalls();

    APKData module;
    module.SetStatus(false);
    module.SetPath(Backup());
    QSignalSpy spyStatus(&module, &FileModule::SendFileStatus);
    QSignalSpy spyPro(&module, &FileModule::signalBackupPro);

    int nCount = 0;
    QCOMPARE(module.Backup(nCount), nExpected);
    QCOMPARE(nCount, 2); // the applications that have data
    QCOMPARE(ProgressOfType(spyPro, 2), (QList<QList<int>>{{MODULE_APKDATA, 2, 1, 1}}));
    // Lowered after the copy whatever its result.
    QCOMPARE(spyStatus.size(), 2);
    QCOMPARE(Flags(StatusAt(spyStatus, 0)), QStringLiteral("APK Transporting"));
    QCOMPARE(Flags(StatusAt(spyStatus, 1)), QStringLiteral("APK"));
    QCOMPARE(CopiedPhonePaths(), QStringList{strArchive});
    QCOMPARE(FilesUnder(Backup()), nExpected == 0 ? QStringList{QStringLiteral("APK/APPDATA.zip")} : QStringList{});
    if (nExpected == 0)
        QVERIFY(ReadFile(Backup() + QStringLiteral("/APK/APPDATA.zip")).startsWith("PK"));
}

QTEST_GUILESS_MAIN(tst_FileModules)
#include "tst_filemodules.moc"
