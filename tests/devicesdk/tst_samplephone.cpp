// The bundled sample phone is served by default and holds what a believable
// small phone holds.
#include "CallbackRecorder.h"
#include "TestEnv.h"
#include "sdk/dvsk_sim.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <stdlib.h>

namespace
{
QString TakeText(char *p)
{
    const QString str = p ? QString::fromUtf8(p) : QString();
    free(p);
    return str;
}
} // namespace

class tst_SamplePhone : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void device();
    void memory();
    void records_data();
    void records();
    void files_data();
    void files();
    void sameNameInTwoFolders();
    void applicationData();
    void smallEnough();

private:
    QString m_strPhoneDir;
    QTemporaryDir m_dir;
};

void tst_SamplePhone::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    qunsetenv("DVSK_SIM_PHONE");
    QCOMPARE(DVSK_Sim_SetPhoneDir(nullptr), 0);
    m_strPhoneDir = TakeText(DVSK_Sim_GetPhoneDir());
    QCOMPARE(QDir::cleanPath(m_strPhoneDir), QDir::cleanPath(TestEnv::SamplePhoneDir()));
    CallbackRecorder::Instance().Register();
}

void tst_SamplePhone::device()
{
    const QStringList listInfo = TakeText(DVSK_Sim_GetDeviceInfo()).split(QLatin1Char('\n'));
    QCOMPARE(listInfo.size(), 3);
    QCOMPARE(listInfo.at(0), QStringLiteral("Corvo X5"));
    // The firmware carries a "C" code: three characters from its last "C".
    const QString strFirmware = listInfo.at(1);
    const int nC = strFirmware.lastIndexOf(QLatin1Char('C'));
    QVERIFY(nC >= 0);
    QVERIFY(QRegularExpression(QStringLiteral("^C\\d\\d$")).match(strFirmware.mid(nC, 3)).hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{15}$")).match(listInfo.at(2)).hasMatch());
}

void tst_SamplePhone::memory()
{
    DVSK_MemInfo *pList = nullptr;
    QCOMPARE(DVSK_Mobile_MemInfo(&pList), 2);
    QVERIFY(pList);
    QCOMPARE(int(pList[0].nType), 1);
    QCOMPARE(int(pList[1].nType), 2);
    for (int i = 0; i < 2; ++i) {
        const qint64 nFree = (pList[i].nTotal - pList[i].nUsed) * pList[i].nUnit;
        QVERIFY(nFree > 5242880);
        QVERIFY(pList[i].nUsed > 0);
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
    int nSize = -1;
    QCOMPARE(DVSK_GetBackUpCount(type, &nCount, &nSize), 0);
    QCOMPARE(nCount, count);

    CallbackRecorder::Instance().Clear();
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pText), 0);
    QCOMPARE(CallbackRecorder::Instance().Progress().last().nCount, count);
    const QList<CallbackRecorder::Call> listResult = CallbackRecorder::Instance().ResultPathCalls();
    QCOMPARE(listResult.size(), 1);
    const QString strLocal = m_dir.filePath(QStringLiteral("record-%1").arg(type));
    QCOMPARE(DVSK_GetFile(strLocal.toUtf8().constData(), listResult.first().baPath.constData(), 2), 0);
    QFile file(strLocal);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()).count(itemMarker), count);
}

void tst_SamplePhone::files_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("signature"); // of every listed file

    QTest::newRow("applications") << 9 << 4 << QByteArray("PK\x03\x04");
    QTest::newRow("images") << 16 << 12 << QByteArray();
    QTest::newRow("videos") << 17 << 3 << QByteArray();
    QTest::newRow("audio") << 18 << 5 << QByteArray("RIFF");
}

void tst_SamplePhone::files()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(QByteArray, signature);
    int nCount = -1;
    int nSize = -1;
    QCOMPARE(DVSK_GetBackUpCount(type, &nCount, &nSize), 0);
    QCOMPARE(nCount, count);
    QVERIFY(nSize > 0);

    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pText), 0);
    const QStringList listLines = TakeText(pText).split(QStringLiteral("\r\n"));
    QCOMPARE(listLines.size(), count);
    qint64 nBytes = 0;
    for (const QString &strLine : listLines) {
        const QString strPath = strLine.split(QChar(0x18)).last();
        const QString strLocal = m_dir.filePath(QStringLiteral("file"));
        QCOMPARE(DVSK_GetFile(strLocal.toUtf8().constData(), strPath.toUtf8().constData(), 2), 0);
        QFile file(strLocal);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray baHead = file.read(12);
        nBytes += file.size();
        if (!signature.isEmpty())
            QVERIFY2(baHead.startsWith(signature), qPrintable(strPath));
        else if (type == 16)
            QVERIFY2(baHead.startsWith("\xff\xd8\xff") || baHead.startsWith("\x89PNG"), qPrintable(strPath));
        else
            QVERIFY2(baHead.mid(4, 4) == "ftyp", qPrintable(strPath));
    }
    QCOMPARE(nSize, int((nBytes + 1023) / 1024));
}

void tst_SamplePhone::sameNameInTwoFolders()
{
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(16, "phone book", &pText), 0);
    QMap<QString, int> mapNames;
    for (const QString &strLine : TakeText(pText).split(QStringLiteral("\r\n")))
        ++mapNames[strLine.split(QChar(0x18)).first()];
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
    const QList<CallbackRecorder::Call> listResult = CallbackRecorder::Instance().ResultPathCalls();
    QCOMPARE(listResult.size(), 1);
    const QString strLocal = m_dir.filePath(QStringLiteral("APPDATA.zip"));
    QCOMPARE(DVSK_GetFile(strLocal.toUtf8().constData(), listResult.first().baPath.constData(), 2), 0);
    QFile file(strLocal);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray baZip = file.readAll();
    QVERIFY(baZip.startsWith("PK\x03\x04"));
    QVERIFY(baZip.contains("com.corvo.notes/databases/notes.db"));
    QVERIFY(baZip.contains("net.pixelpond.tiles/files/savegame.dat"));
    QVERIFY(!baZip.contains("io.trailmark.steps/"));
}

void tst_SamplePhone::smallEnough()
{
    qint64 nBytes = 0;
    QDirIterator it(m_strPhoneDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        nBytes += it.fileInfo().size();
    }
    QVERIFY(nBytes > 0);
    QVERIFY2(nBytes < 5 * 1024 * 1024, qPrintable(QString::number(nBytes)));
}

QTEST_GUILESS_MAIN(tst_SamplePhone)
#include "tst_samplephone.moc"
