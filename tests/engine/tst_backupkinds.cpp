// The table of data kinds: every code a kind is known by belongs to that kind
// alone, the package writer's setter of a kind writes its own count, its
// module class is the one with its code, and the display ids and names agree
// with the item configuration.
#include "BackUpUIThread.h"
#include "BackupKinds.h"
#include "FileModule.h"
#include "MyZip.h"
#include "RecordModule.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <QtTest>

#include <functional>
#include <memory>

namespace
{
// Display id -> name key of the configuration's tiles and sub-items.
QHash<int, QString> ConfiguredItems(const QString &strElement)
{
    QHash<int, QString> hash;
    QFile file(QStringLiteral(BACKUP_SOURCE_DIR "/plugins/BackUpUIPlugin/BackupConfig.xml"));
    if (!file.open(QIODevice::ReadOnly))
        return hash;
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == strElement)
            hash.insert(reader.attributes().value(QLatin1String("id")).toInt(),
                        reader.attributes().value(QLatin1String("name")).toString());
    }
    return hash;
}
} // namespace

class tst_BackupKinds : public QObject
{
    Q_OBJECT

private slots:
    void columnsAreUnique_data();
    void columnsAreUnique();
    void packageSetterWritesItsIndex();
    void moduleHasItsCode();
    void weightsAreTheKindsOwn();
    void idsAndNamesMatchTheConfiguration();
    void tiles();
};

void tst_BackupKinds::columnsAreUnique_data()
{
    using Column = std::function<QString(const BackupKind &)>;
    QTest::addColumn<Column>("column");
    QTest::newRow("module code") << Column([](const BackupKind &k) { return QString::number(k.nCode); });
    QTest::newRow("result bit") << Column([](const BackupKind &k) { return QString::number(k.nResultBit); });
    QTest::newRow("item slot") << Column([](const BackupKind &k) { return QString::number(k.nItemSlot); });
    QTest::newRow("count slot") << Column([](const BackupKind &k) { return QString::number(k.nCountSlot); });
    QTest::newRow("package count") << Column([](const BackupKind &k) { return QString::number(k.nPackageCountIndex); });
    QTest::newRow("result file") << Column([](const BackupKind &k) { return QString::fromLatin1(k.szResultFile); });
    QTest::newRow("step name") << Column([](const BackupKind &k) { return QString::fromLatin1(k.szStepName); });
    QTest::newRow("tool name") << Column([](const BackupKind &k) { return QString::fromLatin1(k.szToolName); });
}

void tst_BackupKinds::columnsAreUnique()
{
    QFETCH(std::function<QString(const BackupKind &)>, column);
    QSet<QString> setSeen;
    for (const BackupKind &kind : BackupKinds::All()) {
        const QString strValue = column(kind);
        QVERIFY2(!setSeen.contains(strValue), qPrintable(strValue));
        setSeen.insert(strValue);
    }
    QCOMPARE(setSeen.size(), BackupItems::kSlots);

    // One bit each, and the temporary files all differ.
    int nBits = 0;
    for (const BackupKind &kind : BackupKinds::All()) {
        QCOMPARE(qPopulationCount(quint32(kind.nResultBit)), 1);
        QVERIFY(!(nBits & kind.nResultBit));
        nBits |= kind.nResultBit;
    }
    const QStringList listTemp = BackupKinds::TempFileNames();
    QCOMPARE(QSet<QString>(listTemp.begin(), listTemp.end()).size(), listTemp.size());
}

void tst_BackupKinds::packageSetterWritesItsIndex()
{
    MyZip zip;
    quint32 nValue = 100;
    for (const BackupKind &kind : BackupKinds::All()) {
        (zip.*kind.pfnSetPackageCount)(++nValue);
        QCOMPARE(zip.WriterHead().Counts[kind.nPackageCountIndex], nValue);
    }
}

void tst_BackupKinds::moduleHasItsCode()
{
    for (const BackupKind &kind : BackupKinds::All()) {
        std::unique_ptr<BackUpRestoreInterface> pModule(kind.pfnCreate());
        int nCode = -1;
        if (const auto *pRecord = qobject_cast<const RecordModule *>(pModule.get())) {
            nCode = pRecord->ModuleCode();
            QVERIFY2(!kind.IsFileStep(), kind.szStepName);
        } else if (const auto *pFiles = qobject_cast<const FileModule *>(pModule.get())) {
            nCode = pFiles->ModuleCode();
            QVERIFY2(kind.IsFileStep(), kind.szStepName);
        }
        QCOMPARE(nCode, kind.nCode);
    }
}

void tst_BackupKinds::weightsAreTheKindsOwn()
{
    QSet<int> setUsed;
    for (const BackupKind &kind : BackupKinds::All()) {
        QCOMPARE(kind.nWeightCount, kind.step == BackupKind::Step::AppData ? 3 : 2);
        for (int i = kind.nFirstWeight; i < kind.nFirstWeight + kind.nWeightCount; ++i) {
            QVERIFY(i >= 0 && i < BackUpUIThread::W_COUNT);
            QVERIFY2(!setUsed.contains(i), kind.szStepName);
            setUsed.insert(i);
        }
    }
    QCOMPARE(setUsed.size(), int(BackUpUIThread::W_COUNT));
}

void tst_BackupKinds::idsAndNamesMatchTheConfiguration()
{
    const QHash<int, QString> hashTiles = ConfiguredItems(QStringLiteral("Common"));
    const QHash<int, QString> hashSubs = ConfiguredItems(QStringLiteral("Child"));
    QVERIFY2(!hashTiles.isEmpty() && !hashSubs.isEmpty(), "BackupConfig.xml is read");
    QSet<int> setSubs;
    for (const BackupKind &kind : BackupKinds::All()) {
        QVERIFY2(BackupKinds::Tile(kind.nTileId), kind.szStepName);
        QVERIFY2(hashTiles.contains(kind.nTileId), kind.szStepName);
        if (kind.nSubId >= 0) {
            QCOMPARE(hashSubs.value(kind.nSubId), QString::fromLatin1(kind.szNameKey));
            QVERIFY(!setSubs.contains(kind.nSubId));
            setSubs.insert(kind.nSubId);
        } else {
            QCOMPARE(hashTiles.value(kind.nTileId), QString::fromLatin1(kind.szNameKey));
        }
        // Item progress names one kind only.
        if (kind.szProgressNameKey)
            QCOMPARE(BackupKinds::ByProgressId(kind.ProgressId()), &kind);
    }
    QCOMPARE(setSubs, QSet<int>(hashSubs.keyBegin(), hashSubs.keyEnd()));
    for (const BackupTile &tile : BackupKinds::Tiles())
        QCOMPARE(hashTiles.value(tile.nId), QString::fromLatin1(tile.szNameKey));
    QCOMPARE(hashTiles.size(), BackupKinds::Tiles().size());
}

void tst_BackupKinds::tiles()
{
    QSet<int> setIds;
    for (const BackupTile &tile : BackupKinds::Tiles()) {
        QVERIFY(!setIds.contains(tile.nId));
        setIds.insert(tile.nId);
        QVERIFY2(!BackupKinds::OfTile(tile.nId).isEmpty(), tile.szToolName);
        BackupItems items;
        BackupKinds::SelectTile(tile.nId, items);
        QVERIFY(BackupKinds::HoldsWholeTile(items, tile.nId));
    }
    QCOMPARE(BackupKinds::IsWideTile(BackupKinds::WideTileId()), true);

    // Bookmarks are listed under a tile but never selected with it.
    BackupItems all;
    for (const BackupTile &tile : BackupKinds::Tiles())
        BackupKinds::SelectTile(tile.nId, all);
    for (const BackupKind &kind : BackupKinds::All())
        QCOMPARE(BackupKinds::IsSelected(all, kind), kind.bRuns);
}

QTEST_GUILESS_MAIN(tst_BackupKinds)
#include "tst_backupkinds.moc"
