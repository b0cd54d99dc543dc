#include "BackUpUIConfigParse.h"

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
    for (const PluginInfo &info : listItems)
        listText << QStringLiteral("%1:%2:%3:%4").arg(info.nKind).arg(info.nId).arg(info.strName).arg(info.bEnable ? 1 : 0);
    return listText.join(QLatin1Char(','));
}

// A document with one layout of this plugin around the given items.
static QByteArray Ours(const QByteArray &baItems)
{
    return "<config>\n<layout mode=\"BackUpUIPlugin\">\n" + baItems + "\n</layout>\n</config>\n";
}

class tst_BackUpUIConfigParse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadFile_data();
    void loadFile();
    void reloadAndMissingFile();

private:
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
    QFile file(strDir + QStringLiteral("/BackupConfig.xml"));
    return QDir().mkpath(strDir) && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(baContent) == baContent.size();
}

void tst_BackUpUIConfigParse::loadFile_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("common");
    QTest::addColumn<QString>("child");

    QTest::newRow("groups, one element per line")
        << Ours("<group>\n<Common id=\"0\" name=\"A\" enable=\"1\"/>\n<Common id=\"6\" name=\"B\" enable=\"0\"/>\n</group>\n"
                "<group>\n<Child id=\"21\" name=\"C\" enable=\"1\"/>\n</group>")
        << true << "0:0:A:1,0:6:B:0" << "1:21:C:1";
    QTest::newRow("second layout of another mode keeps the first, fails")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"1\" name=\"A\" enable=\"1\"/>\n</layout>\n"
                      "<layout mode=\"RestoreUIPlugin\">\n<Common id=\"2\" name=\"X\" enable=\"1\"/>\n</layout>\n</config>\n")
        << false << "0:1:A:1" << "";
    QTest::newRow("first layout of another mode, second ours")
        << QByteArray("<config>\n<layout mode=\"RestoreUIPlugin\">\n<Common id=\"2\" name=\"X\" enable=\"1\"/>\n</layout>\n"
                      "<layout mode=\"BackUpUIPlugin\">\n<Common id=\"1\" name=\"A\" enable=\"1\"/>\n</layout>\n</config>\n")
        << true << "0:1:A:1" << "";
    QTest::newRow("duplicate id: the second wins")
        << Ours("<Common id=\"4\" name=\"First\" enable=\"1\"/>\n<Common id=\"4\" name=\"Second\" enable=\"0\"/>\n"
                "<Child id=\"4\" name=\"Kid\" enable=\"1\"/>")
        << true << "0:4:Second:0" << "1:4:Kid:1";
    QTest::newRow("enable values")
        << Ours("<Common id=\"1\" name=\"A\" enable=\"0\"/>\n<Common id=\"2\" name=\"B\" enable=\"2\"/>\n"
                "<Common id=\"3\" name=\"C\" enable=\"\"/>\n<Common id=\"4\" name=\"D\" enable=\"-1\"/>\n"
                "<Common id=\"5\" name=\"E\" enable=\"yes\"/>\n<Common id=\"6\" name=\"F\"/>")
        << true << "0:1:A:0,0:2:B:1,0:3:C:0,0:4:D:1,0:5:E:0,0:6:F:0" << "";
    QTest::newRow("id missing or not a number, names case-sensitive")
        << Ours("<Common enable=\"1\"/>\n<Child id=\"abc\" name=\"N\" enable=\"1\"/>\n<Child id=\"-3\" name=\"M\" enable=\"0\"/>\n"
                "<common id=\"7\" name=\"a\" enable=\"1\"/>")
        << true << "0:0::1" << "1:0:M:0";
    QTest::newRow("Child inside Common, nested groups, unknown elements")
        << Ours("<Common id=\"6\" name=\"O\" enable=\"1\">\n<Child id=\"21\" name=\"L\" enable=\"1\"/>\n</Common>\n"
                "<group><note/><group><Common id=\"29\" name=\"App\" enable=\"0\" extra=\"1\"/></group><!-- c --></group>")
        << true << "0:6:O:1,0:29:App:0" << "1:21:L:1";
    QTest::newRow("no whitespace, end tags, children")
        << QByteArray("<config><layout mode=\"BackUpUIPlugin\"><group><Common id=\"0\" name=\"A\" enable=\"1\"></Common>"
                      "<Common id=\"1\" name=\"B\" enable=\"1\"><Child id=\"24\" name=\"S\" enable=\"1\"/>"
                      "<Child id=\"27\" name=\"M\" enable=\"1\"/></Common></group></layout></config>")
        << true << "0:0:A:1,0:1:B:1" << "1:24:S:1,1:27:M:1";
    QTest::newRow("read error inside the layout empties the tables")
        << Ours("<Common id=\"0\" name=\"A\" enable=\"1\"/>\n<Broken <") << false << "" << "";
    QTest::newRow("cut off after the layout keeps the items, fails")
        << QByteArray("<config>\n<layout mode=\"BackUpUIPlugin\">\n<Common id=\"0\" name=\"A\" enable=\"1\"/>\n</layout>\n")
        << false << "0:0:A:1" << "";
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
}

void tst_BackUpUIConfigParse::reloadAndMissingFile()
{
    // The instance reads the file when created, and again only on LoadFile.
    QVERIFY(WriteConfig(Ours("<Common id=\"0\" name=\"A\" enable=\"1\"/><Child id=\"21\" name=\"C\" enable=\"1\"/>")));
    BackUpUIConfigParse *pParse = BackUpUIConfigParse::GetInstance();
    QCOMPARE(BackUpUIConfigParse::GetInstance(), pParse);
    const PluginInfoTable before = pParse->GetCommonItems();
    QVERIFY(WriteConfig(Ours("<Common id=\"5\" name=\"M\" enable=\"0\"/>")));
    QCOMPARE(Describe(pParse->GetCommonItems()), QStringLiteral("0:0:A:1"));
    QVERIFY(pParse->LoadFile());
    QCOMPARE(Describe(pParse->GetCommonItems()), QStringLiteral("0:5:M:0"));
    QVERIFY(pParse->GetChildItems().isEmpty());
    QCOMPARE(Describe(before), QStringLiteral("0:0:A:1")); // a copy keeps its content

    // A missing file empties the tables.
    const QString strPath = BackUpUIConfigParse::ConfigFilePath();
    QCOMPARE(strPath, m_pRoot->path() + QStringLiteral("/plugins/BackUpUIPlugin/BackupConfig.xml"));
    QVERIFY(QFile::remove(strPath));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("LoadFile: File ")
                                                          + QRegularExpression::escape(strPath)
                                                          + QStringLiteral(" does not exist$")));
    QVERIFY(!pParse->LoadFile());
    QVERIFY(pParse->GetCommonItems().isEmpty());
    QVERIFY(pParse->GetChildItems().isEmpty());
}

QTEST_GUILESS_MAIN(tst_BackUpUIConfigParse)
#include "tst_backupuiconfigparse.moc"
