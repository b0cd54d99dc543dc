// Info.xml: the writer's bytes exactly, the phone description from the
// backup logic, and the reader, which reads back what the writer writes.

#include "PackageFixture.h"

#include <InfoHander.h>
#include <ParseInfo.h>

#include <QDir>
#include <QTest>

Q_DECLARE_METATYPE(PhoneInfo)

namespace
{
using Modules = QList<QPair<QString, QString>>;

PhoneInfo Phone(const QString &strName)
{
    PhoneInfo info;
    info.DashBoard = QStringLiteral("32.610.12");
    info.CVersion = QStringLiteral("C00");
    info.DeviceName = strName + QChar(0x10) + QStringLiteral("350000000000017");
    info.FirmWare = QStringLiteral("V100R001C00B100");
    return info;
}

QByteArray PhoneLines(const QByteArray &baName)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<Info>\r\n"
           "\t<DashBoard>32.610.12</DashBoard>\r\n"
           "\t<CVersion>C00</CVersion>\r\n"
           "\t<DeviceName>" + baName + "\x10" "350000000000017</DeviceName>\r\n"
           "\t<FirmWare>V100R001C00B100</FirmWare>\r\n"
           "</Info>\r\n";
}
} // namespace

class tst_ParseInfo : public QObject
{
    Q_OBJECT

private slots:
    void writeInfo_data();
    void writeInfo();
    void writeFailures();
    void tolerantReader_data();
    void tolerantReader();
};

void tst_ParseInfo::writeInfo_data()
{
    QTest::addColumn<PhoneInfo>("phone");
    QTest::addColumn<QList<int>>("selected"); // BackupItems slots
    QTest::addColumn<BackupCounts>("counts");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Modules>("modules");     // what the reader gives back
    QTest::addColumn<QString>("nameReadBack");

    BackupCounts counts;
    counts[BackupCounts::SMS] = 42;
    counts[BackupCounts::PB] = 120;
    counts[BackupCounts::Calendar] = -1;
    counts[BackupCounts::MMS] = 9;
    counts[BackupCounts::APK] = 5;
    counts[BackupCounts::APKData] = 3;

    QTest::newRow("nothing selected") << Phone(QStringLiteral("Phone")) << QList<int>() << counts
                                      << PhoneLines("Phone") + "<Moudle>\r\n</Moudle>" << Modules() << "Phone";
    // Only four modules are ever written, MMS and the rest never.
    QTest::newRow("everything selected")
        << Phone(QStringLiteral("Phone")) << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11} << counts
        << PhoneLines("Phone") + "<Moudle>\r\n\t<SMS>42</SMS>\r\n\t<PB>120</PB>\r\n\t<Calendar>-1</Calendar>\r\n"
                                 "\t<ApkData>3</ApkData>\r\n</Moudle>"
        << Modules{{QStringLiteral("SMS"), QStringLiteral("42")},
                   {QStringLiteral("PB"), QStringLiteral("120")},
                   {QStringLiteral("Calendar"), QStringLiteral("-1")},
                   {QStringLiteral("ApkData"), QStringLiteral("3")}}
        << "Phone";
    QTest::newRow("latin-1 and beyond") << Phone(QString::fromUtf8("Caf\xc3\xa9 \xe6\x89\x8b\xe6\x9c\xba")) << QList<int>{4}
                                        << counts << PhoneLines("Caf\xe9 ??") + "<Moudle>\r\n\t<ApkData>3</ApkData>\r\n</Moudle>"
                                        << Modules{{QStringLiteral("ApkData"), QStringLiteral("3")}}
                                        << QString::fromUtf8("Caf\xc3\xa9 ??");
    // Written unescaped; read back as written.
    QTest::newRow("markup in the name") << Phone(QStringLiteral("A&B <x>")) << QList<int>{2} << counts
                                        << PhoneLines("A&B <x>") + "<Moudle>\r\n\t<Calendar>-1</Calendar>\r\n</Moudle>"
                                        << Modules{{QStringLiteral("Calendar"), QStringLiteral("-1")}} << "A&B <x>";
}

void tst_ParseInfo::writeInfo()
{
    QFETCH(PhoneInfo, phone);
    QFETCH(QList<int>, selected);
    QFETCH(BackupCounts, counts);
    QFETCH(QByteArray, bytes);
    QFETCH(Modules, modules);
    QFETCH(QString, nameReadBack);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    BackupItems items;
    for (int nSlot : selected)
        items.Slot(nSlot) = true;

    ParseInfo parse(nullptr);
    const QString strFolder = dir.path() + QLatin1Char('/');
    // Written twice: the second replaces the first.
    PackageFixture::WriteFile(strFolder + QStringLiteral("Info.xml"), QByteArray(4096, 'x'));
    QVERIFY(parse.WriteInfo(strFolder, phone, items, counts));
    QCOMPARE(parse.FullPath(), strFolder + QStringLiteral("Info.xml"));
    QCOMPARE(PackageFixture::ReadFile(strFolder + QStringLiteral("Info.xml")), bytes);
    QCOMPARE(ParseInfo::InfoContent(phone, items, counts), bytes);

    ParseInfo reader(nullptr);
    QCOMPARE(reader.ReadInfo(strFolder), 0);
    QCOMPARE(reader.ReadPhoneInfo().DashBoard + reader.ReadPhoneInfo().CVersion + reader.ReadPhoneInfo().FirmWare,
             phone.DashBoard + phone.CVersion + phone.FirmWare);
    QCOMPARE(reader.ReadPhoneInfo().DeviceName, nameReadBack + QChar(0x10) + QStringLiteral("350000000000017"));
    QCOMPARE(reader.Modules(), modules);
    QCOMPARE(reader.HasModule(QStringLiteral("ApkData")), items.bAPKData);
    QCOMPARE(reader.ModuleText(QStringLiteral("PB")), items.bPB ? QStringLiteral("120") : QString());
}

void tst_ParseInfo::writeFailures()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    ParseInfo parse(nullptr);
    const QString strMissing = dir.filePath(QStringLiteral("no/such/")); // folder does not exist
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("can not create .*Info.xml$")));
    QVERIFY(!parse.WriteInfo(strMissing, Phone(QStringLiteral("P")), BackupItems(), BackupCounts()));
    QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    QCOMPARE(parse.ReadInfo(strMissing), 1);
    // Without "/" the name is glued to the folder text, as specified.
    QVERIFY(parse.WriteInfo(dir.filePath(QStringLiteral("x")), Phone(QStringLiteral("P")), BackupItems(), BackupCounts()));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("xInfo.xml"))));

    // Without the backup logic the phone description is left as it was.
    PhoneInfo info = Phone(QStringLiteral("unchanged"));
    parse.GetPhoneInfo(info);
    QCOMPARE(info.DeviceName, Phone(QStringLiteral("unchanged")).DeviceName);
    QCOMPARE(parse.GetBackUpCount(0, nullptr, nullptr), -1);
}

void tst_ParseInfo::tolerantReader_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<Modules>("modules");
    QTest::newRow("LF, no declaration") << QByteArray("<Info>\n<DeviceName>P</DeviceName>\n</Info>\n<Moudle>\n<PB>1</PB>\n</Moudle>\n")
                                        << true << "P" << Modules{{QStringLiteral("PB"), QStringLiteral("1")}};
    QTest::newRow("blanks after elements keep values")
        << QByteArray("<Info><DeviceName>P</DeviceName>  \t\r\n  </Info>  <Moudle> <SMS>2</SMS>\r\n\r\n </Moudle>  ") << true
        << "P" << Modules{{QStringLiteral("SMS"), QStringLiteral("2")}};
    QTest::newRow("MMS element") << QByteArray("<Moudle><MMS>4</MMS><ApkData>1</ApkData></Moudle>") << true << ""
                                 << Modules{{QStringLiteral("MMS"), QStringLiteral("4")}, {QStringLiteral("ApkData"), QStringLiteral("1")}};
    QTest::newRow("raw control bytes") << QByteArray("<Info><DeviceName>a\x01\x10\x1f" "b</DeviceName></Info>") << true
                                       << QStringLiteral("a\x01\x10\x1f" "b") << Modules();
    QTest::newRow("Moudle not closed") << QByteArray("<Info></Info><Moudle><PB>1</PB>") << false << "" << Modules();
    QTest::newRow("content after the end") << QByteArray("<Info></Info><Moudle></Moudle>junk") << false << "" << Modules();
    QTest::newRow("empty") << QByteArray() << false << "" << Modules();
    QTest::newRow("other XML") << QByteArray("<?xml version=\"1.0\"?><Config/>") << false << "" << Modules();
}

void tst_ParseInfo::tolerantReader()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, ok);
    QFETCH(QString, deviceName);
    QFETCH(Modules, modules);
    InfoHander handler;
    QCOMPARE(handler.Parse(content), ok);
    if (!ok) {
        QVERIFY(!handler.ErrorText().isEmpty());
        return;
    }
    QCOMPARE(handler.Phone().DeviceName, deviceName);
    QCOMPARE(handler.Modules(), modules);
}

QTEST_GUILESS_MAIN(tst_ParseInfo)
#include "tst_parseinfo.moc"
