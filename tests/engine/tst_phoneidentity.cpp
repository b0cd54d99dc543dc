// The device file of a backup folder: what it says, what cannot be smuggled
// into it, and which earlier backups may lend their files.
#include "PhoneIdentity.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_PhoneIdentity : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void valuesStayOnTheirLine();
    void unreadableFiles_data();
    void unreadableFiles();
    void sharing_data();
    void sharing();
};

void tst_PhoneIdentity::roundTrip()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const PhoneIdentity identity = PhoneIdentity::FromText(
            "serial=R58M123\nmanufacturer=Corvo\nmodel=Corvo X5\nandroid=14\nbackend=adb\nunknown=kept out\n");
    const QDateTime dtBackup(QDate(2026, 3, 4), QTime(9, 8, 7), Qt::OffsetFromUTC, 3600);
    QVERIFY(identity.WriteTo(dir.path(), dtBackup));
    QFile file(dir.filePath("Device.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("serial=R58M123\nmanufacturer=Corvo\nmodel=Corvo X5\nandroid=14\nbackend=adb\n"
                                        "date=2026-03-04T09:08:07+01:00\n"));
    PhoneIdentity read;
    QVERIFY(PhoneIdentity::ReadFrom(dir.path(), read));
    QCOMPARE(read.Serial(), QString("R58M123"));
    QCOMPARE(read.Model(), QString("Corvo X5"));
    QCOMPARE(read.Backend(), QString("adb"));
    QCOMPARE(read.Date(), dtBackup);
}

void tst_PhoneIdentity::valuesStayOnTheirLine()
{
    // A model name from the phone with a line end must not start another key.
    const PhoneIdentity identity = PhoneIdentity::FromText("serial=A1\nmodel=X\rserial=B2\nbackend=adb\n");
    QCOMPARE(identity.Serial(), QString("A1"));
    const QString strText = identity.ToText(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
    QCOMPARE(strText.count('\n'), 6);
    QCOMPARE(PhoneIdentity::FromText(strText).Serial(), QString("A1"));
    QVERIFY2(strText.contains("model=X serial=B2\n"), qPrintable(strText));
}

void tst_PhoneIdentity::unreadableFiles_data()
{
    QTest::addColumn<QByteArray>("baContent"); // null: no file
    QTest::addColumn<bool>("bRead");
    QTest::addColumn<QString>("strSerial");

    QTest::newRow("no file (an older backup)") << QByteArray() << false << QString();
    QTest::newRow("empty file") << QByteArray("") << true << QString();
    QTest::newRow("CR LF lines") << QByteArray("serial=R1\r\nmodel=M\r\n") << true << "R1";
    QTest::newRow("far too big") << QByteArray(100 * 1024, 'x') << false << QString();
}

void tst_PhoneIdentity::unreadableFiles()
{
    QFETCH(QByteArray, baContent);
    QFETCH(bool, bRead);
    QFETCH(QString, strSerial);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    if (!baContent.isNull()) {
        QFile file(dir.filePath("Device.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(baContent);
    }
    PhoneIdentity identity;
    QCOMPARE(PhoneIdentity::ReadFrom(dir.path(), identity), bRead);
    QCOMPARE(identity.Serial(), strSerial);
}

void tst_PhoneIdentity::sharing_data()
{
    QTest::addColumn<QString>("strNow");
    QTest::addColumn<QString>("strEarlier");
    QTest::addColumn<bool>("bShares");

    QTest::newRow("same serial") << "serial=A" << "serial=A" << true;
    QTest::newRow("other serial") << "serial=A" << "serial=B" << false;
    QTest::newRow("serials differ in case only") << "serial=abc" << "serial=ABC" << false;
    QTest::newRow("earlier without serial") << "serial=A" << "model=M" << true;
    QTest::newRow("this phone gives no serial") << "model=M" << "serial=B" << true;
}

void tst_PhoneIdentity::sharing()
{
    QFETCH(QString, strNow);
    QFETCH(QString, strEarlier);
    QFETCH(bool, bShares);
    QCOMPARE(PhoneIdentity::FromText(strNow).MayShareWith(PhoneIdentity::FromText(strEarlier)), bShares);
}

QTEST_GUILESS_MAIN(tst_PhoneIdentity)
#include "tst_phoneidentity.moc"
