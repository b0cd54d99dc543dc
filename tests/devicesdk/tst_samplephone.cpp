// The bundled sample phone is served by default and holds what a believable
// small phone holds.
#include "CallbackRecorder.h"
#include "TestEnv.h"
#include "sdk/dvsk_sim.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

class tst_SamplePhone : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void deviceAndMemory();
    void records_data();
    void records();
    void files_data();
    void files();
    void applicationData();

private:
    QTemporaryDir m_dir;
};

void tst_SamplePhone::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    qunsetenv("DVSK_SIM_PHONE");
    QCOMPARE(DVSK_Sim_SetPhoneDir(nullptr), 0);
    const QString strPhoneDir = TakeText(DVSK_Sim_GetPhoneDir());
    QCOMPARE(QDir::cleanPath(strPhoneDir), QDir::cleanPath(TestEnv::SamplePhoneDir()));
    CallbackRecorder::Instance().Register();
    // Small enough to ship.
    qint64 nBytes = 0;
    for (QDirIterator it(strPhoneDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        nBytes += QFileInfo(it.next()).size();
    QVERIFY2(nBytes > 0 && nBytes < 5 * 1024 * 1024, qPrintable(QString::number(nBytes)));
}

void tst_SamplePhone::deviceAndMemory()
{
    const QStringList listInfo = TakeText(DVSK_Sim_GetDeviceInfo()).split(QLatin1Char('\n'));
    QCOMPARE(listInfo.size(), 3);
    QCOMPARE(listInfo.at(0), QStringLiteral("Corvo X5"));
    // The firmware carries a "C" code: three characters from its last "C".
    const QString strFirmware = listInfo.at(1);
    QVERIFY(QRegularExpression(QStringLiteral("^C\\d\\d$")).match(strFirmware.mid(strFirmware.lastIndexOf(QLatin1Char('C')), 3)).hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{15}$")).match(listInfo.at(2)).hasMatch());

    DVSK_MemInfo *pList = nullptr;
    QCOMPARE(DVSK_Mobile_MemInfo(&pList), 2);
    QVERIFY(pList);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(int(pList[i].nType), i + 1);
        QVERIFY(pList[i].nUsed > 0);
        QVERIFY((pList[i].nTotal - pList[i].nUsed) * pList[i].nUnit > 5242880);
    }
    free(pList);
}

void tst_SamplePhone::records_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("itemMarker"); // one per record in the result file

    QTest::newRow("contacts") << 0 << 40 << "BEGIN:VCARD";
    QTest::newRow("sms") << 1 << 60 << "<sms ";
    QTest::newRow("mms") << 19 << 8 << "<mms ";
    QTest::newRow("call log") << 4 << 30 << "<call ";
    QTest::newRow("calendar") << 2 << 12 << "BEGIN:VEVENT";
    QTest::newRow("e-mail") << 5 << 10 << "\nMessage-ID: ";
    QTest::newRow("bookmarks") << 6 << 6 << "<DT><A ";
}

void tst_SamplePhone::records()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(QString, itemMarker);
    int nCount = -1;
    QCOMPARE(DVSK_GetBackUpCount(type, &nCount, nullptr), 0);
    QCOMPARE(nCount, count);
    CallbackRecorder::Instance().Clear();
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pText), 0);
    QCOMPARE(CallbackRecorder::Instance().Progress().last().nCount, count);
    const QByteArray baResult = FetchResult(m_dir.filePath(QStringLiteral("record-%1").arg(type)));
    QCOMPARE(QString::fromUtf8(baResult).count(itemMarker), count);
}

void tst_SamplePhone::files_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArrayList>("signatures"); // one of them starts every listed file
    QTest::addColumn<int>("signatureAt");

    QTest::newRow("applications") << 9 << 4 << QByteArrayList{"PK\x03\x04"} << 0;
    QTest::newRow("images") << 16 << 12 << QByteArrayList{"\xff\xd8\xff", "\x89PNG"} << 0;
    QTest::newRow("videos") << 17 << 3 << QByteArrayList{"ftyp"} << 4;
    QTest::newRow("audio") << 18 << 5 << QByteArrayList{"RIFF"} << 0;
}

void tst_SamplePhone::files()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(QByteArrayList, signatures);
    QFETCH(int, signatureAt);
    int nCount = -1;
    int nSize = -1;
    QCOMPARE(DVSK_GetBackUpCount(type, &nCount, &nSize), 0);
    QCOMPARE(nCount, count);

    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pText), 0);
    const QStringList listLines = TakeText(pText).split(QStringLiteral("\r\n"));
    QCOMPARE(listLines.size(), count);
    qint64 nBytes = 0;
    QMap<QString, int> mapNames;
    for (const QString &strLine : listLines) {
        const QString strPath = strLine.split(QChar(0x18)).last();
        ++mapNames[strLine.split(QChar(0x18)).first()];
        const QString strLocal = m_dir.filePath(QStringLiteral("file"));
        QCOMPARE(GetFile(strLocal, strPath), 0);
        const QByteArray baFile = ReadFile(strLocal);
        nBytes += baFile.size();
        bool bSigned = false;
        for (const QByteArray &baSignature : signatures)
            bSigned = bSigned || baFile.mid(signatureAt).startsWith(baSignature);
        QVERIFY2(bSigned, qPrintable(strPath));
    }
    QCOMPARE(nSize, int((nBytes + 1023) / 1024));
    if (type == 16) // the same name in two folders
        QCOMPARE(mapNames.value(QStringLiteral("IMG_0001.jpg")), 2);
}

void tst_SamplePhone::applicationData()
{
    CallbackRecorder::Instance().Clear();
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(15, "phone book", &pText), 0);
    const QList<CallbackRecorder::Call> listProgress = CallbackRecorder::Instance().Progress();
    QVERIFY(listProgress.size() >= 2);
    QCOMPARE(listProgress.at(listProgress.size() - 2).nCount, 3); // one app has no data
    const QByteArray baZip = FetchResult(m_dir.filePath(QStringLiteral("APPDATA.zip")));
    QVERIFY(baZip.startsWith("PK\x03\x04"));
    QVERIFY(baZip.contains("com.corvo.notes/databases/notes.db"));
    QVERIFY(baZip.contains("net.pixelpond.tiles/files/savegame.dat"));
    QVERIFY(!baZip.contains("io.trailmark.steps/"));
}

QTEST_GUILESS_MAIN(tst_SamplePhone)
#include "tst_samplephone.moc"
