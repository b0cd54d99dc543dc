// The names --items takes: tiles, the one word of each kind, everyday words;
// each selects the tile that holds it.
#include "BackupKinds.h"
#include "ItemNames.h"

#include <QtTest>

class tst_ItemNames : public QObject
{
    Q_OBJECT

private slots:
    void tileOf_data();
    void tileOf();
    void parse_data();
    void parse();
    void everyKindWordNamesItsOwnTile();
    void helpNamesEveryName();
};

void tst_ItemNames::tileOf_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tile");
    QTest::newRow("tile") << "contacts" << 0;
    QTest::newRow("tile, any case") << "Messages" << 1;
    QTest::newRow("kind, with blanks") << " sms " << 1;
    QTest::newRow("mms") << "mms" << 1;
    QTest::newRow("texts") << "texts" << 1;
    QTest::newRow("apps") << "apps" << 29;
    QTest::newRow("applications") << "applications" << 29;
    QTest::newRow("appdata") << "appdata" << 3;
    QTest::newRow("images") << "images" << 4;
    QTest::newRow("photos") << "photos" << 4;
    QTest::newRow("videos") << "videos" << 4;
    QTest::newRow("audio") << "audio" << 5;
    QTest::newRow("music") << "music" << 5;
    QTest::newRow("calls") << "calls" << 6;
    QTest::newRow("calendar") << "calendar" << 6;
    QTest::newRow("email") << "email" << 6;
    QTest::newRow("e-mail") << "e-mail" << 6;
    QTest::newRow("bookmarks are never backed up") << "bookmarks" << -1;
    QTest::newRow("unknown") << "fotos" << -1;
    QTest::newRow("empty") << "" << -1;
}

void tst_ItemNames::tileOf()
{
    QFETCH(QString, name);
    QFETCH(int, tile);
    QCOMPARE(ItemNames::TileOf(name), tile);
}

void tst_ItemNames::parse_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<int>>("tiles");
    QTest::addColumn<QString>("error");
    QList<int> listAll;
    for (const BackupTile &tile : BackupKinds::Tiles())
        listAll << tile.nId;
    QTest::newRow("tiles in the wizard's order, once") << "videos,contacts,photos,images" << true
                                                       << QList<int>{0, 4} << "";
    QTest::newRow("all") << "music,all" << true << listAll << "";
    QTest::newRow("empty names skipped") << "contacts,," << true << QList<int>{0} << "";
    QTest::newRow("nothing") << ",," << false << QList<int>() << "--items needs at least one item";
    QTest::newRow("unknown") << "contacts,fotos" << false << QList<int>() << "unknown item 'fotos'";
}

void tst_ItemNames::parse()
{
    QFETCH(QString, list);
    QFETCH(bool, ok);
    QFETCH(QList<int>, tiles);
    QFETCH(QString, error);
    QList<int> listTiles{99};
    QString strError;
    QCOMPARE(ItemNames::Parse(list, listTiles, strError), ok);
    if (ok)
        QCOMPARE(listTiles, tiles);
    QVERIFY2(strError.contains(error) && strError.isEmpty() == ok, qPrintable(strError));
}

// The summary names each kind by one word that --items also takes, and no
// two kinds share it.
void tst_ItemNames::everyKindWordNamesItsOwnTile()
{
    QSet<QString> setWords;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (!kind.bRuns)
            continue;
        const QString strWord = QString::fromLatin1(kind.szToolName);
        QVERIFY2(!strWord.contains(QLatin1Char(' ')) && strWord == strWord.toLower(), kind.szToolName);
        QVERIFY2(!setWords.contains(strWord), kind.szToolName);
        setWords.insert(strWord);
        QCOMPARE(ItemNames::TileOf(strWord), kind.nTileId);
    }
    QCOMPARE(ItemNames::KindWords().size(), setWords.size());
}

void tst_ItemNames::helpNamesEveryName()
{
    const QString strHelp = ItemNames::HelpText();
    for (const QString &strName : ItemNames::Names())
        QVERIFY2(strHelp.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(strName)))),
                 qPrintable(strName));
}

QTEST_GUILESS_MAIN(tst_ItemNames)
#include "tst_itemnames.moc"
