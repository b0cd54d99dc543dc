#include "BackUpUIConfigParse.h"
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

// Item tables as one comparable text: "kind:id:name:enable" sorted by kind and id.
static QString Describe(const PluginInfoTable &table)
{
    QList<PluginInfo> listItems = table.values();
    std::sort(listItems.begin(), listItems.end(), [](const PluginInfo &a, const PluginInfo &b) {
        return a.nKind != b.nKind ? a.nKind < b.nKind : a.nId < b.nId;
    });
    QStringList listText;
    for (const PluginInfo &info : listItems) {
        listText << QStringLiteral("%1:%2:%3:%4")
                        .arg(info.nKind)
                        .arg(info.nId)
                        .arg(info.strName)
                        .arg(info.bEnable ? 1 : 0);
    }
    return listText.join(QLatin1Char(','));
}

class tst_BackUpUIConfigParse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadFile_data();
    void loadFile();
    void reloadReplacesTables();
    void missingFile();
    void unreadableFile();
    void instanceReadsOnCreation();
    void installedConfiguration();

private:
    // Writes the configuration into a fresh host root and points the host there.
    bool WriteConfig(const QByteArray &baContent);

    QScopedPointer<QTemporaryDir> m_pRoot;
    QByteArray m_baOldRoot;
};

void tst_BackUpUIConfigParse::init()
{
    m_baOldRoot = qgetenv("PELORIX_HOST_ROOT");
    m_pRoot.reset(new QTemporaryDir);
    QVERIFY2(m_pRoot->isValid(), qPrintable(m_pRoot->errorString()));
    qputenv("PELORIX_HOST_ROOT", m_pRoot->path().toUtf8());
}

void tst_BackUpUIConfigParse::cleanup()
{
    BackUpUIConfigParse::DestroyInstance();
    qputenv("PELORIX_HOST_ROOT", m_baOldRoot);
    m_pRoot.reset();
}

bool tst_BackUpUIConfigParse::WriteConfig(const QByteArray &baContent)
{
    const QString strDir = m_pRoot->filePath(QStringLiteral("plugins/BackUpUIPlugin"));
    if (!QDir().mkpath(strDir))
        return false;
    QFile file(strDir + QStringLiteral("/BackupConfig.xml"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(baContent) == baContent.size();
}

void tst_BackUpUIConfigParse::loadFile_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("common");
    QTest::addColumn<QString>("child");

    QTest::newRow("one layout, one element per line")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<group>\n"
                      "<Common id=\"0\" name=\"A\" enable=\"1\"/>\n<Common id=\"6\" name=\"B\" enable=\"0\"/>\n"
                      "</group>\n<group>\n<Child id=\"21\" name=\"C\" enable=\"1\"/>\n</group>\n</layout>\n</config>\n")
        << true << "0:0:A:1,0:6:B:0" << "1:21:C:1";
    QTest::newRow("second layout of another mode keeps the first, fails")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"1\" name=\"A\" enable=\"1\"/>\n</layout>\n"
                      "<layout mode=\"RestoreUIPlugin\">\n<Common id=\"2\" name=\"X\" enable=\"1\"/>\n</layout>\n</config>\n")
        << false << "0:1:A:1" << "";
    QTest::newRow("first layout of another mode, second ours")
        << QByteArray("<config>\n<layout mode=\"RestoreUIPlugin\">\n<Common id=\"2\" name=\"X\" enable=\"1\"/>\n</layout>\n"
                      "<layout mode=\"BackUpUIPlugin\">\n<Common id=\"1\" name=\"A\" enable=\"1\"/>\n</layout>\n</config>\n")
        << true << "0:1:A:1" << "";
    QTest::newRow("mode compared exactly")
        << QByteArray("<config><layout mode=\"backupuiplugin\">\n<Common id=\"1\" name=\"A\" enable=\"1\"/>\n</layout></config>")
        << false << "" << "";
    QTest::newRow("items outside the layout are ignored")
        << QByteArray("<config>\n<Common id=\"9\" name=\"Z\" enable=\"1\"/>\n<layout mode=\"BackUpUIPlugin\">\n"
                      "<Common id=\"1\" name=\"A\" enable=\"1\"/>\n</layout>\n<Child id=\"8\" name=\"Y\" enable=\"1\"/>\n</config>")
        << true << "0:1:A:1" << "";
    QTest::newRow("duplicate id: the second wins")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"4\" name=\"First\" enable=\"1\"/>\n"
                      "<Common id=\"4\" name=\"Second\" enable=\"0\"/>\n<Child id=\"4\" name=\"Kid\" enable=\"1\"/>\n"
                      "</layout>\n</config>")
        << true << "0:4:Second:0" << "1:4:Kid:1";
    QTest::newRow("enable values")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"1\" name=\"A\" enable=\"0\"/>\n"
                      "<Common id=\"2\" name=\"B\" enable=\"2\"/>\n<Common id=\"3\" name=\"C\" enable=\"\"/>\n"
                      "<Common id=\"4\" name=\"D\" enable=\"-1\"/>\n<Common id=\"5\" name=\"E\" enable=\"yes\"/>\n"
                      "<Common id=\"6\" name=\"F\"/>\n<Common id=\"7\" name=\"G\" enable=\"1\"/>\n</layout>\n</config>")
        << true << "0:1:A:0,0:2:B:1,0:3:C:0,0:4:D:1,0:5:E:0,0:6:F:0,0:7:G:1" << "";
    QTest::newRow("id and name missing or not numbers")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common enable=\"1\"/>\n"
                      "<Child id=\"abc\" name=\"N\" enable=\"1\"/>\n<Child id=\"-3\" name=\"M\" enable=\"0\"/>\n"
                      "</layout>\n</config>")
        << true << "0:0::1" << "1:0:M:0";
    QTest::newRow("Child inside Common")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"6\" name=\"O\" enable=\"1\">\n"
                      "<Child id=\"21\" name=\"L\" enable=\"1\"/>\n<Child id=\"22\" name=\"E\" enable=\"0\"/>\n</Common>\n"
                      "<Common id=\"0\" name=\"P\" enable=\"1\"/>\n</layout>\n</config>")
        << true << "0:0:P:1,0:6:O:1" << "1:21:L:1,1:22:E:0";
    QTest::newRow("no whitespace between items")
        << QByteArray("<config><layout mode=\"BackUpUIPlugin\"><group><Common id=\"0\" name=\"A\" enable=\"1\"/>"
                      "<Common id=\"1\" name=\"B\" enable=\"1\"/><Common id=\"3\" name=\"C\" enable=\"0\"/></group>"
                      "<group><Child id=\"21\" name=\"D\" enable=\"1\"/><Child id=\"22\" name=\"E\" enable=\"1\"/>"
                      "</group></layout></config>")
        << true << "0:0:A:1,0:1:B:1,0:3:C:0" << "1:21:D:1,1:22:E:1";
    QTest::newRow("no whitespace, items with end tags")
        << QByteArray("<config><layout mode=\"BackUpUIPlugin\"><Common id=\"0\" name=\"A\" enable=\"1\"></Common>"
                      "<Common id=\"1\" name=\"B\" enable=\"1\"><Child id=\"24\" name=\"S\" enable=\"1\"/>"
                      "<Child id=\"27\" name=\"M\" enable=\"1\"/></Common><Common id=\"5\" name=\"C\" enable=\"0\"/>"
                      "</layout></config>")
        << true << "0:0:A:1,0:1:B:1,0:5:C:0" << "1:24:S:1,1:27:M:1";
    QTest::newRow("layout end right after a group end")
        << QByteArray("<config><layout mode=\"BackUpUIPlugin\"><group><Common id=\"0\" name=\"A\" enable=\"1\"/>"
                      "</group></layout><layout mode=\"Elsewhere\"><Common id=\"9\" name=\"Z\" enable=\"1\"/>"
                      "</layout><layout mode=\"BackUpUIPlugin\"><Child id=\"21\" name=\"L\" enable=\"1\"/></layout></config>")
        << true << "0:0:A:1" << "1:21:L:1";
    QTest::newRow("nested groups and unknown elements")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<group name=\"g\">\n<note text=\"x\"/>\n<group>\n"
                      "<Common id=\"29\" name=\"App\" enable=\"0\" extra=\"1\"/>\n</group>\n<!-- comment -->\n"
                      "<Common id=\"3\" name=\"Data\" enable=\"0\"/>\n</group>\n</layout>\n</config>")
        << true << "0:3:Data:0,0:29:App:0" << "";
    QTest::newRow("element names are case-sensitive")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<common id=\"1\" name=\"a\" enable=\"1\"/>\n"
                      "<CHILD id=\"2\" name=\"b\" enable=\"1\"/>\n<Common id=\"3\" name=\"c\" enable=\"1\"/>\n"
                      "</layout>\n</config>")
        << true << "0:3:c:1" << "";
    QTest::newRow("no layout at all")
        << QByteArray("<config>\n<Common id=\"1\" name=\"a\" enable=\"1\"/>\n</config>\n") << true << "" << "";
    QTest::newRow("read error inside the layout empties the tables")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"0\" name=\"A\" enable=\"1\"/>\n"
                      "<Common id=\"1\" name=\"B\" enable=\"1\"/>\n<Broken <\n</layout>\n</config>")
        << false << "" << "";
    QTest::newRow("read error after the layout keeps the items, fails")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"0\" name=\"A\" enable=\"1\"/>\n"
                      "</layout>\n<oops></wrong>\n</config>")
        << false << "0:0:A:1" << "";
    QTest::newRow("file cut off after the layout keeps the items, fails")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"0\" name=\"A\" enable=\"1\"/>\n"
                      "</layout>\n")
        << false << "0:0:A:1" << "";
    QTest::newRow("file cut off inside the layout")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"0\" name=\"A\" enable=\"1\"/>\n")
        << false << "" << "";
    QTest::newRow("empty file") << QByteArray() << false << "" << "";
}

void tst_BackUpUIConfigParse::loadFile()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, result);
    QFETCH(QString, common);
    QFETCH(QString, child);

    QVERIFY(WriteConfig(xml));
    BackUpUIConfigParse *pParse = BackUpUIConfigParse::GetInstance();
    QVERIFY(pParse);
    QCOMPARE(pParse->LoadFile(), result);
    QCOMPARE(Describe(pParse->GetCommonItems()), common);
    QCOMPARE(Describe(pParse->GetChildItems()), child);
    QCOMPARE(pParse->GetFileName(), QStringLiteral("BackupConfig.xml"));
}

void tst_BackUpUIConfigParse::reloadReplacesTables()
{
    QVERIFY(WriteConfig("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"0\" name=\"A\" enable=\"1\"/>\n"
                        "<Common id=\"1\" name=\"B\" enable=\"1\"/>\n<Child id=\"21\" name=\"C\" enable=\"1\"/>\n"
                        "</layout>\n</config>\n"));
    BackUpUIConfigParse *pParse = BackUpUIConfigParse::GetInstance();
    QCOMPARE(Describe(pParse->GetCommonItems()), QStringLiteral("0:0:A:1,0:1:B:1"));

    // A copy taken before a reload keeps its content.
    const PluginInfoTable before = pParse->GetCommonItems();
    QVERIFY(WriteConfig("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"5\" name=\"M\" enable=\"0\"/>\n"
                        "</layout>\n</config>\n"));
    QVERIFY(pParse->LoadFile());
    QCOMPARE(Describe(pParse->GetCommonItems()), QStringLiteral("0:5:M:0"));
    QCOMPARE(Describe(pParse->GetChildItems()), QString());
    QCOMPARE(Describe(before), QStringLiteral("0:0:A:1,0:1:B:1"));

    pParse->ReleaseData();
    QVERIFY(pParse->GetCommonItems().isEmpty());
    QVERIFY(pParse->GetChildItems().isEmpty());
}

void tst_BackUpUIConfigParse::missingFile()
{
    QVERIFY(WriteConfig("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"0\" name=\"A\" enable=\"1\"/>\n"
                        "</layout>\n</config>\n"));
    BackUpUIConfigParse *pParse = BackUpUIConfigParse::GetInstance();
    QCOMPARE(pParse->GetCommonItems().size(), 1);

    const QString strPath = m_pRoot->path() + QStringLiteral("/plugins/BackUpUIPlugin/BackupConfig.xml");
    QCOMPARE(BackUpUIConfigParse::ConfigFilePath(), strPath);
    QVERIFY(QFile::remove(strPath));

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^.*BackUpUIConfigParse: LoadFile: File ")
                                            + QRegularExpression::escape(strPath) + QStringLiteral(" does not exist$")));
    QCOMPARE(pParse->LoadFile(), false);
    QVERIFY(pParse->GetCommonItems().isEmpty());
    QVERIFY(pParse->GetChildItems().isEmpty());
}

void tst_BackUpUIConfigParse::unreadableFile()
{
    // A folder under the file's name exists but cannot be opened as a file.
    QVERIFY(QDir().mkpath(m_pRoot->filePath(QStringLiteral("plugins/BackUpUIPlugin/BackupConfig.xml"))));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("LoadFile: Error open file:.*BackupConfig\\.xml$")));
    BackUpUIConfigParse *pParse = BackUpUIConfigParse::GetInstance();
    QVERIFY(pParse);
    QVERIFY(pParse->GetCommonItems().isEmpty());
    QVERIFY(pParse->GetFileName().isEmpty());
}

void tst_BackUpUIConfigParse::instanceReadsOnCreation()
{
    QVERIFY(WriteConfig("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"0\" name=\"A\" enable=\"1\"/>\n"
                        "</layout>\n</config>\n"));
    BackUpUIConfigParse *pFirst = BackUpUIConfigParse::GetInstance();
    QVERIFY(pFirst);
    QCOMPARE(BackUpUIConfigParse::GetInstance(), pFirst);
    QCOMPARE(Describe(pFirst->GetCommonItems()), QStringLiteral("0:0:A:1"));

    // The file is read once; a new instance reads it again.
    QVERIFY(WriteConfig("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"4\" name=\"I\" enable=\"0\"/>\n"
                        "</layout>\n</config>\n"));
    QCOMPARE(Describe(BackUpUIConfigParse::GetInstance()->GetCommonItems()), QStringLiteral("0:0:A:1"));
    BackUpUIConfigParse::DestroyInstance();
    BackUpUIConfigParse::DestroyInstance(); // a second destroy is harmless
    QCOMPARE(Describe(BackUpUIConfigParse::GetInstance()->GetCommonItems()), QStringLiteral("0:4:I:0"));
}

void tst_BackUpUIConfigParse::installedConfiguration()
{
    qputenv("PELORIX_HOST_ROOT", BACKUP_STAGE_DIR);
    QVERIFY2(QFile::exists(BackUpUIConfigParse::ConfigFilePath()), qPrintable(BackUpUIConfigParse::ConfigFilePath()));
    BackUpUIConfigParse *pParse = BackUpUIConfigParse::GetInstance();
    QVERIFY(pParse->LoadFile());

    QCOMPARE(Describe(pParse->GetCommonItems()),
             QStringLiteral("0:0:IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT:1,"
                            "0:1:IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT:1,"
                            "0:3:IDS_BACKUPUIPLUGIN_BIGBUTTON_APPDATA_TEXT:0,"
                            "0:4:IDS_BACKUPUIPLUGIN_BIGBUTTON_IMAGEVEDIO_TEXT:0,"
                            "0:5:IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT:0,"
                            "0:6:IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT:1,"
                            "0:29:IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT:0"));
    const PluginInfoTable child = pParse->GetChildItems();
    QCOMPARE(child.size(), 8);
    const QStringList listChildKeys = {QStringLiteral("IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT"),
                                       QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT"),
                                       QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT"),
                                       QStringLiteral("IDS_VIRTUAL_SMSNAME_IDENTIFER"),
                                       QStringLiteral("IDS_VIRTUAL_IMAGEINFO_CORE"),
                                       QStringLiteral("IDS_VIRTUAL_IDENTIFER_VEDIOTEXT"),
                                       QStringLiteral("IDS_VIRTUAL_CORE_MMSTEXT"),
                                       QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_BOOKMARK_TEXT")};
    for (quint32 nId = 21; nId <= 28; ++nId) {
        QVERIFY2(child.contains(nId), qPrintable(QString::number(nId)));
        QCOMPARE(child.value(nId).nKind, 1);
        QCOMPARE(child.value(nId).strName, listChildKeys.at(static_cast<int>(nId - 21)));
    }
}

QTEST_GUILESS_MAIN(tst_BackUpUIConfigParse)
#include "tst_backupuiconfigparse.moc"
