// How names and lists from the phone become files on the PC: the safe file
// name, the phone's file list, and the free name for a colliding file.
#include "FileListModule.h"
#include "ListedFiles.h"
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
    void listedFiles_data();
    void listedFiles();
    void freeName_data();
    void freeName();
    void freeNameContinuesNumbering();
};

void tst_FileNames::safeName_data()
{
    QTest::addColumn<QString>("strPhoneName");
    QTest::addColumn<QString>("strExpected"); // empty: cannot be made safe

    QTest::newRow("blanks-kept") << QStringLiteral("my photo (2).jpg") << QStringLiteral("my photo (2).jpg");
    QTest::newRow("windows-parent") << QStringLiteral("..\\..\\boot.ini") << QStringLiteral(".._.._boot.ini");
    QTest::newRow("package-with-slash") << QStringLiteral("com.evil/../../x") << QStringLiteral("com.evil_.._.._x");
    QTest::newRow("only-separator") << QStringLiteral("/") << QStringLiteral("_");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b.jpg") << QStringLiteral("a_b.jpg");
    QTest::newRow("lone-surrogate") << QStringLiteral("x") + QChar(0xdc00) + QStringLiteral(".jpg") << QStringLiteral("x_.jpg");
    QTest::newRow("non-character") << QStringLiteral("x") + QChar(0xffff) << QStringLiteral("x_");
    QTest::newRow("non-latin-and-emoji-kept") << QString::fromUtf8("фото写真\xF0\x9F\x98\x80.gif")
                                              << QString::fromUtf8("фото写真\xF0\x9F\x98\x80.gif");
    QTest::newRow("hidden-file") << QStringLiteral(".nomedia") << QStringLiteral(".nomedia");
    // Marks that reorder or hide text would disguise the name ("gpj.exe").
    QTest::newRow("bidi-override") << QStringLiteral("a") + QChar(0x202e) + QStringLiteral("gpj.exe")
                                   << QStringLiteral("a_gpj.exe");
    QTest::newRow("bidi-isolate-and-mark") << QChar(0x2067) + QStringLiteral("x") + QChar(0x200f) + QStringLiteral(".jpg")
                                           << QStringLiteral("_x_.jpg");
    QTest::newRow("c1-control") << QStringLiteral("a") + QChar(0x85) + QStringLiteral("b") << QStringLiteral("a_b");
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
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("inner")));
    QFile file(dir.filePath(QStringLiteral("inner/") + strSafe));
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    file.close();
    QCOMPARE(QDir(dir.filePath(QStringLiteral("inner"))).entryList(QDir::Files | QDir::Hidden), QStringList{strSafe});
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("inner")});
}

// Same-path and same-package de-duplication, empty names and collisions are
// checked through the modules in tst_filemodules.
void tst_FileNames::parseFileList_data()
{
    QTest::addColumn<QString>("strList");
    QTest::addColumn<bool>("bKeyByName");
    QTest::addColumn<Entries>("entries");

    const QChar s(0x18);
    QTest::newRow("middle-fields-ignored")
        << QStringLiteral("a.jpg") + s + QStringLiteral("123") + s + QStringLiteral("x") + s + QStringLiteral("/p/a.jpg")
        << false << Entries{{QStringLiteral("/p/a.jpg"), QStringLiteral("a.jpg")}};
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

// The list read from the SDK's bytes: one "name|path|size|time" per file, in order.
void tst_FileNames::listedFiles_data()
{
    QTest::addColumn<QByteArray>("baList");
    QTest::addColumn<bool>("bKeyByName");
    QTest::addColumn<QStringList>("listExpected");

    QTest::newRow("fields") << QByteArray("b\x18" "12\x18" "99\x18/p/b\r\na\x18" "7\x18/p/a\r\nc\x18/p/c") << false
                            << QStringList {"a|/p/a|7|-1", "b|/p/b|12|99", "c|/p/c|-1|-1"};
    QTest::newRow("not-numbers") << QByteArray("a\x18-5\x18x\x18/a") << false << QStringList {"a|/a|-1|-1"};
    QTest::newRow("one-field") << QByteArray("/x") << false << QStringList {"/x|/x|-1|-1"};
    QTest::newRow("later-line-wins") << QByteArray("a\x18" "1\x18/p\r\nb\x18" "2\x18/p") << false
                                     << QStringList {"b|/p|2|-1"};
    QTest::newRow("empty-names-skipped") << QByteArray("\r\n\x18/e\r\na\x18/a\r\n") << false << QStringList {"a|/a|-1|-1"};
    QTest::newRow("by-name") << QByteArray("org.z\x18/a.apk\r\ncom.b\x18/z.apk\r\norg.z\x18/b.apk") << true
                             << QStringList {"com.b|/z.apk|-1|-1", "org.z|/b.apk|-1|-1"};
    // UTF-16 units: U+1F600 is a surrogate pair (0xD83D...), before U+E000.
    QTest::newRow("beyond-bmp-before-private-use")
        << QByteArray("e\x18/\xEE\x80\x80\r\nf\x18/\xF0\x9F\x98\x80\r\nd\x18/\xED\x9F\xBF") << false
        << QStringList {QString::fromUtf8("d|/\xED\x9F\xBF|-1|-1"), QString::fromUtf8("f|/\xF0\x9F\x98\x80|-1|-1"),
                        QString::fromUtf8("e|/\xEE\x80\x80|-1|-1")};
    QTest::newRow("not-utf8-reads-as-replacement")
        << QByteArray("x\xFF.jpg\x18/p/x\xFF.jpg\r\nx.jpg\x18/p/x.jpg") << false
        << QStringList {QStringLiteral("x.jpg|/p/x.jpg|-1|-1"), QStringLiteral("x\uFFFD.jpg|/p/x\uFFFD.jpg|-1|-1")};
}

void tst_FileNames::listedFiles()
{
    QFETCH(QByteArray, baList);
    QFETCH(bool, bKeyByName);
    QFETCH(QStringList, listExpected);
    const ListedFiles listed(baList, bKeyByName);
    QStringList listActual;
    for (qsizetype i = 0; i < listed.Size(); ++i) {
        const ListedFiles::File file = listed.At(i);
        listActual << QStringLiteral("%1|%2|%3|%4").arg(file.strName, file.strPhonePath).arg(file.nSize).arg(file.nModified);
    }
    QCOMPARE(listActual, listExpected);
}

void tst_FileNames::freeName_data()
{
    QTest::addColumn<QStringList>("listExisting"); // a trailing "/" makes a folder
    QTest::addColumn<QString>("strName");
    QTest::addColumn<QString>("strExpected");

    QTest::newRow("gap-is-used") << QStringList{QStringLiteral("a.jpg"), QStringLiteral("a (2).jpg")}
                                 << QStringLiteral("a.jpg") << QStringLiteral("a (1).jpg");
    QTest::newRow("last-dot-splits") << QStringList{QStringLiteral("x.tar.gz")} << QStringLiteral("x.tar.gz")
                                     << QStringLiteral("x.tar (1).gz");
    QTest::newRow("leading-dot") << QStringList{QStringLiteral(".nomedia")} << QStringLiteral(".nomedia")
                                 << QStringLiteral(" (1).nomedia");
    QTest::newRow("directory-is-taken") << QStringList{QStringLiteral("dir/")} << QStringLiteral("dir")
                                        << QStringLiteral("dir (1)");
    // The number must fit the 255-byte limit too: the base gives way, on a
    // character boundary, and the extension stays.
    const QString strLong = QString(251, QLatin1Char('n')) + QStringLiteral(".jpg");
    QTest::newRow("long-name-keeps-extension") << QStringList{strLong} << strLong
                                               << QString(247, QLatin1Char('n')) + QStringLiteral(" (1).jpg");
    const QString strWide = QString(125, QChar(0x00e9)) + QStringLiteral(".jpg"); // 254 bytes
    QTest::newRow("long-name-cut-on-a-character") << QStringList{strWide} << strWide
                                                  << QString(123, QChar(0x00e9)) + QStringLiteral(" (1).jpg");
}

void tst_FileNames::freeName()
{
    QFETCH(QStringList, listExisting);
    QFETCH(QString, strName);
    QFETCH(QString, strExpected);
    QTemporaryDir dir;
    for (const QString &strExisting : std::as_const(listExisting)) {
        QFile file(dir.filePath(strExisting));
        QVERIFY(strExisting.endsWith(QLatin1Char('/')) ? QDir(dir.path()).mkpath(strExisting) : file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(FileListModule::FreeName(dir.path(), strName), strExpected);
    QVERIFY(strExpected.toLocal8Bit().size() <= 255);
}

// Many files of one name: numbering goes on from where it stopped instead of
// trying every number from 1 again.
void tst_FileNames::freeNameContinuesNumbering()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("a (3).jpg")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    int nNext = 3;
    QCOMPARE(FileListModule::FreeName(dir.path(), QStringLiteral("a.jpg"), QString(), &nNext), QStringLiteral("a (4).jpg"));
    QCOMPARE(nNext, 5);
}

QTEST_GUILESS_MAIN(tst_FileNames)
#include "tst_filenames.moc"
