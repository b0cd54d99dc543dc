// The file modules against the simulated phone: copy order, de-duplication,
// name collisions, hostile names from the phone, the stop request between
// files, cancel and phone failures, the earlier folder layout, and the
// application data archive.
#include "ModuleFixture.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include "APK.h"
#include "APKData.h"
#include "Audio.h"
#include "BackUpUILogic.h"
#include "Image.h"
#include "MediaInfo.h"
#include "RunState.h"
#include "Video.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace ModuleFixture;

Q_DECLARE_METATYPE(QList<MediaInfo>)

namespace
{
const QChar kSep(0x18);

std::unique_ptr<FileListModule> CreateListModule(int nCode)
{
    switch (nCode) {
    case MODULE_APK: return std::make_unique<APK>();
    case MODULE_IMAGE: return std::make_unique<Image>();
    case MODULE_VIDEO: return std::make_unique<Video>();
    case MODULE_AUDIO: return std::make_unique<Audio>();
    default: return nullptr;
    }
}

std::unique_ptr<QSignalSpy> CountSpy(FileListModule *pModule, int nCode)
{
    switch (nCode) {
    case MODULE_APK: return std::make_unique<QSignalSpy>(static_cast<APK *>(pModule), &APK::signalsAPKCount);
    case MODULE_IMAGE: return std::make_unique<QSignalSpy>(static_cast<Image *>(pModule), &Image::signalsImageCount);
    case MODULE_VIDEO: return std::make_unique<QSignalSpy>(static_cast<Video *>(pModule), &Video::signalsVideoCount);
    case MODULE_AUDIO: return std::make_unique<QSignalSpy>(static_cast<Audio *>(pModule), &Audio::signalsAudioCount);
    default: return nullptr;
    }
}

// The folder a module writes into, for a backup folder.
QString ModuleFolder(int nCode, const QString &strBackup)
{
    switch (nCode) {
    case MODULE_IMAGE: return strBackup + QStringLiteral("/Image");
    case MODULE_VIDEO: return strBackup + QStringLiteral("/Video");
    case MODULE_AUDIO: return strBackup + QStringLiteral("/Audio");
    default: return strBackup;
    }
}

QString MediaListName(int nCode)
{
    switch (nCode) {
    case MODULE_IMAGE: return QStringLiteral("ImageList.xml");
    case MODULE_VIDEO: return QStringLiteral("VideoList.xml");
    case MODULE_AUDIO: return QStringLiteral("AudioList.xml");
    default: return QString();
    }
}

QString ApkPhonePath(const QString &strPackage)
{
    return QStringLiteral("/data/app/") + strPackage + QStringLiteral(".apk");
}

const QByteArray kEmptyList = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<filelist/>\n";
} // namespace

class tst_FileModules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void copiesInOrder_data();
    void copiesInOrder();
    void rawLists_data();
    void rawLists();
    void stopBetweenFiles_data();
    void stopBetweenFiles();
    void cancelDuringPhoneBackup_data();
    void cancelDuringPhoneBackup();
    void phoneFailures_data();
    void phoneFailures();
    void earlierLayout_data();
    void earlierLayout();
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

void tst_FileModules::copiesInOrder_data()
{
    QTest::addColumn<int>("nCode");
    QTest::addColumn<QStringList>("listOnPhone");  // phone paths, or package names for applications
    QTest::addColumn<QStringList>("listOrder");    // phone paths in copy order
    QTest::addColumn<QStringList>("listPcNames");  // files written, relative to the module folder

    QTest::newRow("image") << int(MODULE_IMAGE)
                           << QStringList{QStringLiteral("/sdcard/Pictures/a.jpg"), QStringLiteral("/sdcard/DCIM/Camera/a.jpg"),
                                          QStringLiteral("/sdcard/DCIM/Camera/b.png"), QStringLiteral("/sdcard/DCIM/фото & <1>.jpg"),
                                          QStringLiteral("/sdcard/DCIM/写真.jpg")}
                           << QStringList{QStringLiteral("/sdcard/DCIM/Camera/a.jpg"), QStringLiteral("/sdcard/DCIM/Camera/b.png"),
                                          QStringLiteral("/sdcard/DCIM/фото & <1>.jpg"), QStringLiteral("/sdcard/DCIM/写真.jpg"),
                                          QStringLiteral("/sdcard/Pictures/a.jpg")}
                           << QStringList{QStringLiteral("a.jpg"), QStringLiteral("b.png"), QStringLiteral("фото & <1>.jpg"),
                                          QStringLiteral("写真.jpg"), QStringLiteral("a (1).jpg")};
    QTest::newRow("video") << int(MODULE_VIDEO)
                           << QStringList{QStringLiteral("/sdcard/Movies/z.mp4"), QStringLiteral("/sdcard/DCIM/Camera/VID_1.mp4"),
                                          QStringLiteral("/sdcard/DCIM/Camera/VID_1.3gp")}
                           << QStringList{QStringLiteral("/sdcard/DCIM/Camera/VID_1.3gp"), QStringLiteral("/sdcard/DCIM/Camera/VID_1.mp4"),
                                          QStringLiteral("/sdcard/Movies/z.mp4")}
                           << QStringList{QStringLiteral("VID_1.3gp"), QStringLiteral("VID_1.mp4"), QStringLiteral("z.mp4")};
    QTest::newRow("audio") << int(MODULE_AUDIO)
                           << QStringList{QStringLiteral("/sdcard/Music/b.mp3"), QStringLiteral("/sdcard/Music/A.mp3"),
                                          QStringLiteral("/sdcard/Recordings/b.mp3"), QStringLiteral("/sdcard/Music/notes.amr")}
                           << QStringList{QStringLiteral("/sdcard/Music/A.mp3"), QStringLiteral("/sdcard/Music/b.mp3"),
                                          QStringLiteral("/sdcard/Music/notes.amr"), QStringLiteral("/sdcard/Recordings/b.mp3")}
                           << QStringList{QStringLiteral("A.mp3"), QStringLiteral("b.mp3"), QStringLiteral("notes.amr"),
                                          QStringLiteral("b (1).mp3")};
    QTest::newRow("applications") << int(MODULE_APK)
                                  << QStringList{QStringLiteral("org.x"), QStringLiteral("com.b.app"), QStringLiteral("com.a.app")}
                                  << QStringList{ApkPhonePath(QStringLiteral("com.a.app")), ApkPhonePath(QStringLiteral("com.b.app")),
                                                 ApkPhonePath(QStringLiteral("org.x"))}
                                  << QStringList{QStringLiteral("APK/com.a.app.apk"), QStringLiteral("APK/com.b.app.apk"),
                                                 QStringLiteral("APK/org.x.apk")};
}

void tst_FileModules::copiesInOrder()
{
    QFETCH(int, nCode);
    QFETCH(QStringList, listOnPhone);
    QFETCH(QStringList, listOrder);
    QFETCH(QStringList, listPcNames);

    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    for (const QString &strItem : std::as_const(listOnPhone)) {
        if (nCode == MODULE_APK)
            phone.AddApp(strItem, 300);
        else
            phone.AddFile(strItem, strItem.toUtf8());
    }
    QVERIFY(phone.Use());
    ClearCalls();

    std::unique_ptr<FileListModule> pModule = CreateListModule(nCode);
    pModule->SetStatus(false);
    pModule->SetPath(Backup());
    const QString strFolder = ModuleFolder(nCode, Backup());
    QCOMPARE(pModule->GetFolder(), strFolder);
    QSignalSpy spyStart(pModule.get(), &FileModule::BackUpStart);
    QSignalSpy spyStatus(pModule.get(), &FileModule::SendFileStatus);
    QSignalSpy spyPro(pModule.get(), &FileModule::signalBackupPro);
    std::unique_ptr<QSignalSpy> pSpyCount = CountSpy(pModule.get(), nCode);

    const int nFiles = int(listOrder.size());
    int nCount = 7; // what the caller expects: the progress total
    QCOMPARE(pModule->Backup(nCount), 0);
    QCOMPARE(nCount, nFiles);
    QCOMPARE(CopiedPhonePaths(), listOrder);

    QCOMPARE(pSpyCount->size(), 1);
    QCOMPARE(pSpyCount->at(0), (QList<QVariant>{nFiles, 0, 0}));
    QCOMPARE(spyStart.size(), 1);
    QList<QList<int>> listExpectedPro;
    for (int k = 1; k <= nFiles; ++k)
        listExpectedPro.append({nCode, 2, k, 7});
    QCOMPARE(ProgressOfType(spyPro, 2), listExpectedPro);
    const QList<QList<int>> listStartPro = nCode == MODULE_APK ? QList<QList<int>>{{nCode, 0, 1, 1}} : QList<QList<int>>{};
    QCOMPARE(ProgressOfType(spyPro, 0), listStartPro);
    QCOMPARE(spyStatus.size(), nFiles + 1);
    QVERIFY(StatusAt(spyStatus, 0).bTransporting);
    QVERIFY(!StatusAt(spyStatus, nFiles).bTransporting);

    QStringList listWritten = FilesUnder(strFolder);
    listWritten.removeAll(MediaListName(nCode));
    QStringList listSorted = listPcNames;
    listSorted.sort();
    QCOMPARE(listWritten, listSorted);
    for (int i = 0; i < nFiles; ++i) {
        const QByteArray baExpected = ReadFile(phone.HostPath(listOrder.at(i)));
        QVERIFY(!baExpected.isEmpty());
        QCOMPARE(ReadFile(strFolder + QLatin1Char('/') + listPcNames.at(i)), baExpected);
    }

    if (nCode == MODULE_APK) {
        QVERIFY(pModule->MediaListPath().isEmpty());
        return;
    }
    // The media list records each file in copy order, with the name used on
    // the PC and the phone's own name and path.
    QCOMPARE(pModule->MediaListPath(), strFolder + QLatin1Char('/') + MediaListName(nCode));
    QList<MediaInfo> listMedia;
    QVERIFY(g_ReadMediaList(pModule->MediaListPath(), listMedia));
    QCOMPARE(listMedia.size(), nFiles);
    for (int i = 0; i < nFiles; ++i) {
        QCOMPARE(listMedia.at(i).pcname, listPcNames.at(i));
        QCOMPARE(listMedia.at(i).phname, QFileInfo(listOrder.at(i)).fileName());
        QCOMPARE(listMedia.at(i).phpath, listOrder.at(i));
    }
}

void tst_FileModules::rawLists_data()
{
    QTest::addColumn<int>("nCode");
    QTest::addColumn<QString>("strList");
    QTest::addColumn<QStringList>("listPhoneFiles"); // created on the phone, content = phone path
    QTest::addColumn<QStringList>("listMissing");    // reported missing by the phone
    QTest::addColumn<QStringList>("listExisting");   // in the module folder before; "name->target" is a link
    QTest::addColumn<QStringList>("listTried");      // phone paths copied, in order
    QTest::addColumn<QStringList>("listFiles");      // module folder afterwards (sorted, no media list)
    QTest::addColumn<QStringList>("listContents");   // content of each of those files
    QTest::addColumn<QList<MediaInfo>>("listMedia");
    QTest::addColumn<int>("nCopied");

    const QString s = kSep;
    const QString strA = QStringLiteral("/sdcard/DCIM/a.jpg");
    const QString strOk = QStringLiteral("/sdcard/DCIM/ok.jpg");
    const QString strOkLine = QStringLiteral("\r\nok.jpg") + s + strOk;
    const QString strExisting = QStringLiteral("existing");
    auto media = [](const QString &pc, const QString &ph, const QString &path) { return MediaInfo{pc, ph, path}; };

    // Ordering and de-duplication.
    QTest::newRow("same-path-later-name-wins")
        << int(MODULE_IMAGE) << QStringLiteral("first.jpg") + s + strA + QStringLiteral("\r\nsecond.jpg") + s + strA
        << QStringList{strA} << QStringList{} << QStringList{} << QStringList{strA} << QStringList{QStringLiteral("second.jpg")}
        << QStringList{strA} << QList<MediaInfo>{media(QStringLiteral("second.jpg"), QStringLiteral("second.jpg"), strA)} << 1;
    QTest::newRow("same-package-later-path-wins")
        << int(MODULE_APK)
        << QStringLiteral("com.a") + s + QStringLiteral("1") + s + QStringLiteral("/data/app/old.apk\r\ncom.a") + s
               + QStringLiteral("/data/app/new.apk")
        << QStringList{QStringLiteral("/data/app/old.apk"), QStringLiteral("/data/app/new.apk")} << QStringList{}
        << QStringList{} << QStringList{QStringLiteral("/data/app/new.apk")} << QStringList{QStringLiteral("APK/com.a.apk")}
        << QStringList{QStringLiteral("/data/app/new.apk")} << QList<MediaInfo>{} << 1;
    QTest::newRow("failed-file-is-skipped")
        << int(MODULE_IMAGE) << QStringLiteral("a.jpg") + s + strA + QStringLiteral("\r\nb.jpg") + s
               + QStringLiteral("/sdcard/b.jpg") + strOkLine
        << QStringList{strA, strOk} << QStringList{QStringLiteral("/sdcard/b.jpg")} << QStringList{}
        << QStringList{strA, strOk, QStringLiteral("/sdcard/b.jpg")} << QStringList{QStringLiteral("a.jpg"), QStringLiteral("ok.jpg")}
        << QStringList{strA, strOk}
        << QList<MediaInfo>{media(QStringLiteral("a.jpg"), QStringLiteral("a.jpg"), strA),
                            media(QStringLiteral("ok.jpg"), QStringLiteral("ok.jpg"), strOk)}
        << 2;

    // Only empty first fields: nothing copied, an empty media list.
    const QString strEmptyNames = s + strA + QStringLiteral("\r\n\r\n") + s + s + strOk + QStringLiteral("\r\n");
    for (int nCode : {int(MODULE_IMAGE), int(MODULE_VIDEO), int(MODULE_AUDIO), int(MODULE_APK)}) {
        QTest::addRow("only-empty-names-%d", nCode) << nCode << strEmptyNames << QStringList{strA, strOk} << QStringList{}
                                                    << QStringList{} << QStringList{} << QStringList{} << QStringList{}
                                                    << QList<MediaInfo>{} << 0;
    }

    // Collisions with what is already in the folder.
    QTest::newRow("collides-with-existing")
        << int(MODULE_IMAGE) << QStringLiteral("a.jpg") + s + strA << QStringList{strA} << QStringList{}
        << QStringList{QStringLiteral("a.jpg")} << QStringList{strA}
        << QStringList{QStringLiteral("a (1).jpg"), QStringLiteral("a.jpg")} << QStringList{strA, strExisting}
        << QList<MediaInfo>{media(QStringLiteral("a (1).jpg"), QStringLiteral("a.jpg"), strA)} << 1;
    const QString strNotes = QStringLiteral("/sdcard/Music/notes");
    QTest::newRow("no-extension-twice")
        << int(MODULE_AUDIO) << QStringLiteral("notes") + s + strNotes << QStringList{strNotes} << QStringList{}
        << QStringList{QStringLiteral("notes"), QStringLiteral("notes (1)")} << QStringList{strNotes}
        << QStringList{QStringLiteral("notes"), QStringLiteral("notes (1)"), QStringLiteral("notes (2)")}
        << QStringList{strExisting, strExisting, strNotes}
        << QList<MediaInfo>{media(QStringLiteral("notes (2)"), QStringLiteral("notes"), strNotes)} << 1;
    QTest::newRow("media-list-name-is-reserved")
        << int(MODULE_IMAGE) << QStringLiteral("ImageList.xml") + s + strA << QStringList{strA} << QStringList{}
        << QStringList{} << QStringList{strA} << QStringList{QStringLiteral("ImageList (1).xml")} << QStringList{strA}
        << QList<MediaInfo>{media(QStringLiteral("ImageList (1).xml"), QStringLiteral("ImageList.xml"), strA)} << 1;

    // Hostile names: each becomes one safe name in the folder or is skipped.
    struct Hostile
    {
        const char *szRow;
        int nCode;
        QString strName;
        QString strPcName; // empty: skipped without a copy
    };
    const Hostile kHostile[] = {
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
    for (const Hostile &row : kHostile) {
        const QString strLine = row.strName.isEmpty() ? strA : row.strName + s + strA;
        const QString strUsed = row.strName.isEmpty() ? strA : row.strName;
        QStringList listTried{strOk};
        QStringList listFiles{QStringLiteral("ok.jpg")};
        QStringList listContents{strOk};
        QList<MediaInfo> listMedia{media(QStringLiteral("ok.jpg"), QStringLiteral("ok.jpg"), strOk)};
        if (!row.strPcName.isEmpty()) {
            listTried.prepend(strA);
            listFiles.prepend(row.strPcName);
            listContents.prepend(strA);
            listMedia.prepend(media(row.strPcName, strUsed, strA));
        }
        QTest::newRow(row.szRow) << row.nCode << strLine + strOkLine << QStringList{strA, strOk} << QStringList{}
                                 << QStringList{} << listTried << listFiles << listContents << listMedia << int(listTried.size());
    }
    QTest::newRow("empty-name") << int(MODULE_IMAGE) << s + strA + strOkLine << QStringList{strA, strOk} << QStringList{}
                                << QStringList{} << QStringList{strOk} << QStringList{QStringLiteral("ok.jpg")}
                                << QStringList{strOk}
                                << QList<MediaInfo>{media(QStringLiteral("ok.jpg"), QStringLiteral("ok.jpg"), strOk)} << 1;

    const QString strApk = QStringLiteral("/data/app/real.apk");
    QTest::newRow("package-with-slash")
        << int(MODULE_APK) << QStringLiteral("com.evil/../../../x") + s + strApk << QStringList{strApk} << QStringList{}
        << QStringList{} << QStringList{strApk} << QStringList{QStringLiteral("APK/com.evil_.._.._.._x.apk")}
        << QStringList{strApk} << QList<MediaInfo>{} << 1;
    QTest::newRow("package-absolute")
        << int(MODULE_APK) << QStringLiteral("/etc/cron.d/x") + s + strApk << QStringList{strApk} << QStringList{}
        << QStringList{} << QStringList{strApk} << QStringList{QStringLiteral("APK/_etc_cron.d_x.apk")} << QStringList{strApk}
        << QList<MediaInfo>{} << 1;
    QTest::newRow("package-dot-dot")
        << int(MODULE_APK) << QStringLiteral("..") + s + strApk + QStringLiteral("\r\ncom.ok") + s + strApk
        << QStringList{strApk} << QStringList{} << QStringList{} << QStringList{strApk}
        << QStringList{QStringLiteral("APK/com.ok.apk")} << QStringList{strApk} << QList<MediaInfo>{} << 1;

    // Links already in the folder are never written through.
    QTest::newRow("dangling-link-in-media-folder")
        << int(MODULE_IMAGE) << QStringLiteral("a.jpg") + s + strA << QStringList{strA} << QStringList{}
        << QStringList{QStringLiteral("a.jpg->outside/t.jpg")} << QStringList{strA}
        << QStringList{QStringLiteral("a (1).jpg"), QStringLiteral("a.jpg")} << QStringList{strA, QByteArray()}
        << QList<MediaInfo>{media(QStringLiteral("a (1).jpg"), QStringLiteral("a.jpg"), strA)} << 1;
    QTest::newRow("dangling-link-in-apk-folder")
        << int(MODULE_APK) << QStringLiteral("com.a") + s + strApk << QStringList{strApk} << QStringList{}
        << QStringList{QStringLiteral("APK/com.a.apk->outside/evil.apk")} << QStringList{strApk}
        << QStringList{QStringLiteral("APK/com.a.apk")} << QStringList{strApk} << QList<MediaInfo>{} << 1;
}

void tst_FileModules::rawLists()
{
    QFETCH(int, nCode);
    QFETCH(QString, strList);
    QFETCH(QStringList, listPhoneFiles);
    QFETCH(QStringList, listMissing);
    QFETCH(QStringList, listExisting);
    QFETCH(QStringList, listTried);
    QFETCH(QStringList, listFiles);
    QFETCH(QStringList, listContents);
    QFETCH(QList<MediaInfo>, listMedia);
    QFETCH(int, nCopied);

    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    for (const QString &strPath : std::as_const(listPhoneFiles))
        phone.AddFile(strPath, strPath.toUtf8());
    for (const QString &strPath : std::as_const(listMissing))
        phone.SetMissingFile(strPath);
    phone.SetRawList(nCode, strList.toUtf8());
    QVERIFY(phone.Use());

    const QString strFolder = ModuleFolder(nCode, Backup());
    for (const QString &strEntry : std::as_const(listExisting)) {
        const QString strName = strEntry.section(QStringLiteral("->"), 0, 0);
        const QString strPath = strFolder + QLatin1Char('/') + strName;
        QVERIFY(QDir().mkpath(QFileInfo(strPath).absolutePath()));
        if (strEntry.contains(QStringLiteral("->")))
            QVERIFY(QFile::link(m_pEnv->Path(strEntry.section(QStringLiteral("->"), 1)), strPath));
        else
            QVERIFY(WriteFile(strPath, "existing"));
    }
    const QStringList listBefore = FilesUnder(m_pEnv->Root());
    ClearCalls();

    std::unique_ptr<FileListModule> pModule = CreateListModule(nCode);
    pModule->SetPath(Backup());
    std::unique_ptr<QSignalSpy> pSpyCount = CountSpy(pModule.get(), nCode);
    int nCount = 5;
    QCOMPARE(pModule->Backup(nCount), 0);

    QCOMPARE(CopiedPhonePaths(), listTried);
    QStringList listWritten = FilesUnder(strFolder);
    listWritten.removeAll(MediaListName(nCode));
    QCOMPARE(listWritten, listFiles);
    for (int i = 0; i < listFiles.size(); ++i) {
        const QString strPath = strFolder + QLatin1Char('/') + listFiles.at(i);
        if (listContents.at(i).isEmpty())
            QVERIFY2(QFileInfo(strPath).isSymLink(), qPrintable(strPath));
        else
            QCOMPARE(ReadFile(strPath), listContents.at(i).toUtf8());
    }

    // Nothing new anywhere but in the module's folder.
    const QString strPrefix = QDir(m_pEnv->Root()).relativeFilePath(strFolder) + QLatin1Char('/');
    for (const QString &strFile : FilesUnder(m_pEnv->Root())) {
        if (!listBefore.contains(strFile))
            QVERIFY2(strFile.startsWith(strPrefix), qPrintable(strFile));
    }
    QVERIFY(!QFileInfo::exists(m_pEnv->Path(QStringLiteral("outside"))));

    QCOMPARE(nCount, nCopied);
    QCOMPARE(pSpyCount->size(), 1);
    QCOMPARE(pSpyCount->at(0), (QList<QVariant>{nCopied, 0, 0}));
    if (nCode == MODULE_APK)
        return;
    QList<MediaInfo> listRead;
    const bool bRead = g_ReadMediaList(pModule->MediaListPath(), listRead);
    QCOMPARE(bRead, !listMedia.isEmpty());
    QCOMPARE(listRead, listMedia);
    if (listMedia.isEmpty())
        QCOMPARE(ReadFile(pModule->MediaListPath()), kEmptyList);
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

    std::unique_ptr<FileListModule> pModule = CreateListModule(nCode);
    pModule->SetStatus(false);
    pModule->SetPath(Backup());
    // The user cancels while the first file is being copied.
    FileListModule *pRaw = pModule.get();
    connect(pRaw, &FileModule::SendFileStatus, pRaw, [pRaw](FILESTATUS status) {
        if (!status.bTransporting)
            pRaw->SetStatus(true);
    });
    std::unique_ptr<QSignalSpy> pSpyCount = CountSpy(pRaw, nCode);

    int nCount = 3;
    QCOMPARE(pModule->Backup(nCount), -1);
    QVERIFY(pModule->IsStopRequested());
    QCOMPARE(nCount, 3);
    QCOMPARE(CopiedPhonePaths().size(), 1);
    QCOMPARE(pSpyCount->size(), 0);
    QStringList listWritten = FilesUnder(pModule->GetFolder());
    QCOMPARE(listWritten.size(), 1); // the file copied before the stop stays
    if (nCode != MODULE_APK)
        QVERIFY(!QFileInfo::exists(pModule->MediaListPath()));

    // The next run starts by clearing the request.
    disconnect(pRaw, &FileModule::SendFileStatus, pRaw, nullptr);
    pModule->SetStatus(false);
    nCount = 3;
    QCOMPARE(pModule->Backup(nCount), 0);
    QCOMPARE(nCount, 3);
    QCOMPARE(pSpyCount->size(), 1);
}

void tst_FileModules::cancelDuringPhoneBackup_data()
{
    stopBetweenFiles_data();
}

void tst_FileModules::cancelDuringPhoneBackup()
{
    QFETCH(int, nCode);
    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    phone.AddFile(QStringLiteral("/sdcard/a.jpg"), 10);
    phone.AddFile(QStringLiteral("/sdcard/a.mp4"), 10);
    phone.AddFile(QStringLiteral("/sdcard/a.mp3"), 10);
    phone.AddApp(QStringLiteral("com.a"), 10);
    QVERIFY(phone.Use());
    ClearCalls();

    QObject context;
    connect(BackUpUILogic::Instance(), &BackUpUILogic::signalBackupCallBack, &context,
            [](int, int, int, int) { RunState::Set(RunState::kCancelled); }, Qt::DirectConnection);

    std::unique_ptr<FileListModule> pModule = CreateListModule(nCode);
    pModule->SetPath(Backup());
    QSignalSpy spyStatus(pModule.get(), &FileModule::SendFileStatus);
    QSignalSpy spyPro(pModule.get(), &FileModule::signalBackupPro);
    std::unique_ptr<QSignalSpy> pSpyCount = CountSpy(pModule.get(), nCode);
    int nCount = 1;
    QCOMPARE(pModule->Backup(nCount), -1);
    QCOMPARE(spyStatus.size(), 0);
    QVERIFY(ProgressOfType(spyPro, 2).isEmpty());
    QCOMPARE(pSpyCount->size(), 0);
    QVERIFY(CopiedPhonePaths().isEmpty());
    QVERIFY(FilesUnder(Backup()).isEmpty());
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
    QTest::newRow("image-empty-list") << int(MODULE_IMAGE) << "empty" << -1 << "Image: Backup: Description: Image path NULL";
    QTest::newRow("video-empty-list") << int(MODULE_VIDEO) << "empty" << -1 << "Video: Backup: Description: Video path NULL";
    QTest::newRow("audio-empty-list") << int(MODULE_AUDIO) << "empty" << -1 << "Audio: Backup: Description: Audio path NULL";
    QTest::newRow("apk-empty-list") << int(MODULE_APK) << "empty" << -1 << "APK: Backup: Description: apk path NULL";
}

void tst_FileModules::phoneFailures()
{
    QFETCH(int, nCode);
    QFETCH(QString, strFault);
    QFETCH(int, nExpected);
    QFETCH(QString, strWarning);

    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    phone.AddFile(QStringLiteral("/sdcard/a.jpg"), 10);
    if (strFault == QLatin1String("code"))
        phone.SetBackupError(nCode, 77);
    else if (strFault == QLatin1String("text"))
        phone.SetErrorText(nCode);
    else
        phone.SetRawList(nCode, QByteArray());
    QVERIFY(phone.Use());
    ClearCalls();

    std::unique_ptr<FileListModule> pModule = CreateListModule(nCode);
    pModule->SetPath(Backup());
    QSignalSpy spyStart(pModule.get(), &FileModule::BackUpStart);
    QSignalSpy spyStatus(pModule.get(), &FileModule::SendFileStatus);
    std::unique_ptr<QSignalSpy> pSpyCount = CountSpy(pModule.get(), nCode);
    if (!strWarning.isEmpty()) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^WARNING!!! \\d\\d:\\d\\d:\\d\\d:\\d{3}: "
                                                                             "\\.\\.\\\\\\.\\.\\\\src\\\\BackUpUIPlugin\\\\")
                                                              + QRegularExpression::escape(strWarning) + QLatin1Char('$')));
    }
    int nCount = 4;
    QCOMPARE(pModule->Backup(nCount), nExpected);
    QCOMPARE(nCount, 4);
    QCOMPARE(spyStart.size(), 1);
    QCOMPARE(spyStatus.size(), 0);
    QCOMPARE(pSpyCount->size(), 0);
    QVERIFY(CopiedPhonePaths().isEmpty());
    if (nCode != MODULE_APK)
        QVERIFY(!QFileInfo::exists(pModule->MediaListPath()));
}

void tst_FileModules::earlierLayout_data()
{
    QTest::addColumn<int>("nCode");
    QTest::addColumn<QString>("strSetup"); // "folder+marker", "folder", "marker-is-folder", "none"
    QTest::addColumn<bool>("bEarlier");

    QTest::newRow("image-folder-with-marker") << int(MODULE_IMAGE) << "folder+marker" << true;
    QTest::newRow("video-folder-with-marker") << int(MODULE_VIDEO) << "folder+marker" << true;
    QTest::newRow("audio-folder-with-marker") << int(MODULE_AUDIO) << "folder+marker" << true;
    QTest::newRow("image-folder-without-marker") << int(MODULE_IMAGE) << "folder" << false;
    QTest::newRow("audio-folder-without-marker") << int(MODULE_AUDIO) << "folder" << false;
    QTest::newRow("video-nothing") << int(MODULE_VIDEO) << "none" << false;
    QTest::newRow("image-marker-is-a-folder") << int(MODULE_IMAGE) << "marker-is-folder" << true;
}

void tst_FileModules::earlierLayout()
{
    QFETCH(int, nCode);
    QFETCH(QString, strSetup);
    QFETCH(bool, bEarlier);

    const QString strEarlier[] = {QStringLiteral("CameraImage"), QStringLiteral("CameraVideo"), QStringLiteral("SoundRecord")};
    const QString strFolder = Backup() + QLatin1Char('/') + strEarlier[nCode - MODULE_IMAGE];
    const QString strMarker = strFolder + QLatin1Char('/') + strEarlier[nCode - MODULE_IMAGE] + QStringLiteral("List.ini");
    if (strSetup != QLatin1String("none"))
        QVERIFY(QDir().mkpath(strFolder));
    if (strSetup == QLatin1String("folder+marker"))
        QVERIFY(WriteFile(strMarker, "[list]\n"));
    if (strSetup == QLatin1String("marker-is-folder"))
        QVERIFY(QDir().mkpath(strMarker));

    std::unique_ptr<FileListModule> pModule = CreateListModule(nCode);
    pModule->SetPath(Backup());
    const QString strNewFolder = ModuleFolder(nCode, Backup());
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
    QCOMPARE(module.GetFolder(), Backup());
    QSignalSpy spyStart(&module, &FileModule::BackUpStart);
    QSignalSpy spyStatus(&module, &FileModule::SendFileStatus);
    QSignalSpy spyPro(&module, &FileModule::signalBackupPro);
    QSignalSpy spyCount(&module, &APKData::signalsAPKDataCount);

    int nCount = 0;
    QCOMPARE(module.Backup(nCount), nExpected);
    QCOMPARE(nCount, 2); // the applications that have data
    QCOMPARE(spyStart.size(), 0);
    QCOMPARE(spyCount.size(), 0);
    QCOMPARE(ProgressOfType(spyPro, 2), (QList<QList<int>>{{MODULE_APKDATA, 2, 1, 1}}));
    // Lowered after the copy whatever its result.
    QCOMPARE(spyStatus.size(), 2);
    QCOMPARE(Flags(StatusAt(spyStatus, 0)), QStringLiteral("APK Transporting"));
    QCOMPARE(Flags(StatusAt(spyStatus, 1)), QStringLiteral("APK"));
    QCOMPARE(CopiedPhonePaths(), QStringList{strArchive});
    const QString strTarget = Backup() + QStringLiteral("/APK/APPDATA.zip");
    QCOMPARE(FilesUnder(Backup()), nExpected == 0 ? QStringList{QStringLiteral("APK/APPDATA.zip")} : QStringList{});
    if (nExpected == 0)
        QVERIFY(ReadFile(strTarget).startsWith("PK"));
}

QTEST_GUILESS_MAIN(tst_FileModules)
#include "tst_filemodules.moc"
