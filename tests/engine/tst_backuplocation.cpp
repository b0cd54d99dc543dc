// The destination-folder rule the prepare page and backuptool share.
#include "BackupLocation.h"
#include "TestEnv.h"

#include <host/CommonUtils.h>

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSettings>
#include <QTest>

class tst_BackupLocation : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void defaultFolder();
};

void tst_BackupLocation::read_data()
{
    QTest::addColumn<bool>("bFile");
    QTest::addColumn<QString>("strStored");
    QTest::addColumn<QString>("strExpected"); // empty: the default given

    QTest::newRow("no location file") << false << QString() << QString();
    QTest::newRow("empty location") << true << QString() << QString();
    QTest::newRow("location with backslashes") << true << QStringLiteral("D:\\Backups\\Phone")
                                               << QStringLiteral("D:/Backups/Phone");
    QTest::newRow("location with forward slashes") << true << QStringLiteral("/srv/backups")
                                                   << QStringLiteral("/srv/backups");
}

void tst_BackupLocation::read()
{
    QFETCH(bool, bFile);
    QFETCH(QString, strStored);
    QFETCH(QString, strExpected);
    TestEnv env;
    QVERIFY2(env.IsValid(), "no temporary folder");
    CommonUtils::SetSettings("BackUpUIPlugin", "BackupPath", "untouched");
    // The host keeps Location.ini in step with that setting: the file of this
    // row replaces what it wrote.
    QFile::remove(env.UserDataDir() + "Location.ini");
    if (bFile)
        QSettings(env.UserDataDir() + "Location.ini", QSettings::IniFormat).setValue("location/backup_lacation", strStored);

    const QString strDefault = env.Path("default\\folder");
    QCOMPARE(BackupLocation::LocationFileFolder(), strStored);
    // Only the default is stored for the host, and it too gets forward slashes.
    QCOMPARE(BackupLocation::Read(strDefault),
             strExpected.isEmpty() ? QString(strDefault).replace('\\', '/') : strExpected);
    QCOMPARE(CommonUtils::GetSettings("BackUpUIPlugin", "BackupPath"),
             strExpected.isEmpty() ? strDefault : QStringLiteral("untouched"));
}

void tst_BackupLocation::defaultFolder()
{
    TestEnv env;
    QVERIFY2(env.IsValid(), "no temporary folder");
    QString strFolder;
    QVERIFY(BackupLocation::CreateDefaultFolder(strFolder));
    QCOMPARE(strFolder, CommonUtils::GetFilePath() + QDir::separator() + "Pelorix" + QDir::separator() + "backup");
    QVERIFY(QFileInfo(strFolder).isDir());
    // A second call finds it.
    QVERIFY(BackupLocation::CreateDefaultFolder(strFolder));
}

QTEST_GUILESS_MAIN(tst_BackupLocation)
#include "tst_backuplocation.moc"
