// How names and lists from the phone become files on the PC: the safe file
// name, the phone's file list, and the free name for a colliding file.
#include "FileListModule.h"
#include "SafeFileName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Entries = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Entries)

class tst_FileNames : public QObject
{
    Q_OBJECT

private slots:
    void safeName_data();
    void safeName();
    void parseFileList_data();
    void parseFileList();
    void freeName_data();
    void freeName();
    void freeNameTreatsDanglingLinkAsTaken();
};

void tst_FileNames::safeName_data()
{
    QTest::addColumn<QString>("strPhoneName");
    QTest::addColumn<QString>("strExpected"); // empty: cannot be made safe

    QTest::newRow("plain") << QStringLiteral("IMG_0001.jpg") << QStringLiteral("IMG_0001.jpg");
    QTest::newRow("blanks-kept") << QStringLiteral("my photo (2).jpg") << QStringLiteral("my photo (2).jpg");
    QTest::newRow("parent-prefix") << QStringLiteral("../x.jpg") << QStringLiteral(".._x.jpg");
    QTest::newRow("absolute") << QStringLiteral("/etc/passwd") << QStringLiteral("_etc_passwd");
    QTest::newRow("backslash") << QStringLiteral("a\\b.mp3") << QStringLiteral("a_b.mp3");
    QTest::newRow("windows-parent") << QStringLiteral("..\\..\\boot.ini") << QStringLiteral(".._.._boot.ini");
    QTest::newRow("package-with-slash") << QStringLiteral("com.evil/../../x") << QStringLiteral("com.evil_.._.._x");
    QTest::newRow("only-separator") << QStringLiteral("/") << QStringLiteral("_");
    QTest::newRow("dot-dot") << QStringLiteral("..") << QString();
    QTest::newRow("dot") << QStringLiteral(".") << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b.jpg") << QStringLiteral("a_b.jpg");
    QTest::newRow("controls") << QStringLiteral("a\tb\nc\rd") + QChar(0x7f) << QStringLiteral("a_b_c_d_");
    QTest::newRow("lone-surrogate") << QStringLiteral("x") + QChar(0xdc00) + QStringLiteral(".jpg") << QStringLiteral("x_.jpg");
    QTest::newRow("non-character") << QStringLiteral("x") + QChar(0xffff) << QStringLiteral("x_");
    QTest::newRow("cyrillic") << QStringLiteral("фото.jpg") << QStringLiteral("фото.jpg");
    QTest::newRow("cjk") << QStringLiteral("写真.png") << QStringLiteral("写真.png");
    QTest::newRow("emoji-pair-kept") << QString::fromUtf8("\xF0\x9F\x98\x80.gif") << QString::fromUtf8("\xF0\x9F\x98\x80.gif");
    QTest::newRow("hidden-file") << QStringLiteral(".nomedia") << QStringLiteral(".nomedia");
#ifdef Q_OS_WIN
    QTest::newRow("win-reserved-chars") << QStringLiteral("a:b*c?.jpg") << QStringLiteral("a_b_c_.jpg");
    QTest::newRow("win-device-name") << QStringLiteral("CON.jpg") << QStringLiteral("_CON.jpg");
    QTest::newRow("win-trailing-dots") << QStringLiteral("...") << QString();
#else
    QTest::newRow("three-dots") << QStringLiteral("...") << QStringLiteral("...");
#endif
}

void tst_FileNames::safeName()
{
    QFETCH(QString, strPhoneName);
    QFETCH(QString, strExpected);
    const QString strSafe = SafeFileName::FromPhone(strPhoneName);
    QCOMPARE(strSafe, strExpected);
    if (strSafe.isEmpty())
        return;
    QVERIFY(SafeFileName::IsSafe(strSafe));
    QCOMPARE(SafeFileName::IsSafe(strPhoneName), strSafe == strPhoneName);

    // The name stays one entry of the folder it is created in.
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QDir(dir.path()).mkpath(QStringLiteral("inner"));
    const QString strPath = dir.filePath(QStringLiteral("inner/") + strSafe);
    QFile file(strPath);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    file.close();
    QCOMPARE(QDir(dir.filePath(QStringLiteral("inner"))).entryList(QDir::Files | QDir::Hidden), QStringList{strSafe});
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("inner")});
}

void tst_FileNames::parseFileList_data()
{
    QTest::addColumn<QString>("strList");
    QTest::addColumn<bool>("bKeyByName");
    QTest::addColumn<Entries>("entries");

    const QChar s(0x18);
    QTest::newRow("name-and-path")
        << QStringLiteral("b.jpg") + s + QStringLiteral("/sdcard/b.jpg\r\na.jpg") + s + QStringLiteral("/sdcard/a.jpg")
        << false
        << Entries{{QStringLiteral("/sdcard/a.jpg"), QStringLiteral("a.jpg")},
                   {QStringLiteral("/sdcard/b.jpg"), QStringLiteral("b.jpg")}};
    QTest::newRow("middle-fields-ignored")
        << QStringLiteral("a.jpg") + s + QStringLiteral("123") + s + QStringLiteral("x") + s + QStringLiteral("/p/a.jpg")
        << false << Entries{{QStringLiteral("/p/a.jpg"), QStringLiteral("a.jpg")}};
    QTest::newRow("no-separator-is-both") << QStringLiteral("/sdcard/x.mp3") << false
                                          << Entries{{QStringLiteral("/sdcard/x.mp3"), QStringLiteral("/sdcard/x.mp3")}};
    QTest::newRow("empty-first-fields-and-lines")
        << QStringLiteral("\r\n") + s + QStringLiteral("/p/a.jpg\r\n\r\n") + s + s + QStringLiteral("/p/b.jpg\r\n")
        << false << Entries{};
    QTest::newRow("same-path-later-wins")
        << QStringLiteral("first.jpg") + s + QStringLiteral("/p/a.jpg\r\nsecond.jpg") + s + QStringLiteral("/p/a.jpg")
        << false << Entries{{QStringLiteral("/p/a.jpg"), QStringLiteral("second.jpg")}};
    QTest::newRow("same-package-later-wins")
        << QStringLiteral("com.a") + s + QStringLiteral("/data/app/old.apk\r\ncom.a") + s + QStringLiteral("/data/app/new.apk")
        << true << Entries{{QStringLiteral("com.a"), QStringLiteral("/data/app/new.apk")}};
    QTest::newRow("packages-by-name")
        << QStringLiteral("org.z") + s + QStringLiteral("/a.apk\r\ncom.b") + s + QStringLiteral("/z.apk") << true
        << Entries{{QStringLiteral("com.b"), QStringLiteral("/z.apk")}, {QStringLiteral("org.z"), QStringLiteral("/a.apk")}};
    // UTF-16 code unit order: upper case before lower case, ASCII before Cyrillic.
    QTest::newRow("utf16-order")
        << QStringLiteral("я") + s + QStringLiteral("/я\r\nb") + s + QStringLiteral("/b\r\nB") + s + QStringLiteral("/B")
        << false
        << Entries{{QStringLiteral("/B"), QStringLiteral("B")}, {QStringLiteral("/b"), QStringLiteral("b")},
                   {QStringLiteral("/я"), QStringLiteral("я")}};
    QTest::newRow("lone-lf-is-not-a-line-end")
        << QStringLiteral("a") + s + QStringLiteral("/a\nb") << false << Entries{{QStringLiteral("/a\nb"), QStringLiteral("a")}};
}

void tst_FileNames::parseFileList()
{
    QFETCH(QString, strList);
    QFETCH(bool, bKeyByName);
    QFETCH(Entries, entries);
    const QMap<QString, QString> mapEntries = FileListModule::ParseFileList(strList, bKeyByName);
    Entries actual;
    for (auto it = mapEntries.cbegin(); it != mapEntries.cend(); ++it)
        actual.append({it.key(), it.value()});
    QCOMPARE(actual, entries);
}

void tst_FileNames::freeName_data()
{
    QTest::addColumn<QStringList>("listExisting");
    QTest::addColumn<QString>("strName");
    QTest::addColumn<QString>("strReserved");
    QTest::addColumn<QString>("strExpected");

    QTest::newRow("first") << QStringList{QStringLiteral("a.jpg")} << QStringLiteral("a.jpg") << QString()
                           << QStringLiteral("a (1).jpg");
    QTest::newRow("second") << QStringList{QStringLiteral("a.jpg"), QStringLiteral("a (1).jpg")} << QStringLiteral("a.jpg")
                            << QString() << QStringLiteral("a (2).jpg");
    QTest::newRow("gap-is-used") << QStringList{QStringLiteral("a.jpg"), QStringLiteral("a (2).jpg")}
                                 << QStringLiteral("a.jpg") << QString() << QStringLiteral("a (1).jpg");
    QTest::newRow("no-extension") << QStringList{QStringLiteral("notes")} << QStringLiteral("notes") << QString()
                                  << QStringLiteral("notes (1)");
    QTest::newRow("no-extension-twice") << QStringList{QStringLiteral("notes"), QStringLiteral("notes (1)")}
                                        << QStringLiteral("notes") << QString() << QStringLiteral("notes (2)");
    QTest::newRow("last-dot-splits") << QStringList{QStringLiteral("x.tar.gz")} << QStringLiteral("x.tar.gz") << QString()
                                     << QStringLiteral("x.tar (1).gz");
    QTest::newRow("leading-dot") << QStringList{QStringLiteral(".nomedia")} << QStringLiteral(".nomedia") << QString()
                                 << QStringLiteral(" (1).nomedia");
    QTest::newRow("directory-is-taken") << QStringList{QStringLiteral("dir/")} << QStringLiteral("dir") << QString()
                                        << QStringLiteral("dir (1)");
    QTest::newRow("reserved-list-name") << QStringList{} << QStringLiteral("ImageList.xml") << QStringLiteral("ImageList.xml")
                                        << QStringLiteral("ImageList (1).xml");
}

void tst_FileNames::freeName()
{
    QFETCH(QStringList, listExisting);
    QFETCH(QString, strName);
    QFETCH(QString, strReserved);
    QFETCH(QString, strExpected);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    for (const QString &strExisting : std::as_const(listExisting)) {
        if (strExisting.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir(dir.path()).mkpath(strExisting));
        } else {
            QFile file(dir.filePath(strExisting));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
    QCOMPARE(FileListModule::FreeName(dir.path(), strName, strReserved), strExpected);
}

void tst_FileNames::freeNameTreatsDanglingLinkAsTaken()
{
#ifdef Q_OS_WIN
    QSKIP("needs symbolic links");
#else
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere/target")), dir.filePath(QStringLiteral("a (1).jpg"))));
    QCOMPARE(FileListModule::FreeName(dir.path(), QStringLiteral("a.jpg")), QStringLiteral("a (2).jpg"));
#endif
}

QTEST_GUILESS_MAIN(tst_FileNames)
#include "tst_filenames.moc"
