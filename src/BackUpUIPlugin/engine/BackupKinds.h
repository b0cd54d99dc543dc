#pragma once

#include "BackupKind.h"
#include "BackupTile.h"

#include <QList>
#include <QString>
#include <QStringList>

// The one table of data kinds and of the tiles that group them. Everything
// that maps one code of a kind to another (module code, result bit, slots,
// display ids, file names, weights, module class) reads it from here.
class BackupKinds
{
public:
    // Every kind, in the order a backup runs their steps; kinds that never
    // run come last.
    static const QList<BackupKind> &All();
    // The tiles, in the order the phone is counted.
    static const QList<BackupTile> &Tiles();

    // Null for codes and ids no row has.
    static const BackupKind *ByCode(int nModuleCode);
    static const BackupKind *ByProgressId(int nDisplayId);
    static const BackupTile *Tile(int nTileId);
    // The kinds of a tile that run, in table order.
    static QList<const BackupKind *> OfTile(int nTileId);

    static bool IsSelected(const BackupItems &items, const BackupKind &kind);
    // The result bits of the selected kinds.
    static int SelectedMask(const BackupItems &items);
    // Selects every kind of the tile.
    static void SelectTile(int nTileId, BackupItems &items);
    // True when the selection holds any kind of the tile.
    static bool HoldsTile(const BackupItems &items, int nTileId);
    // True when it holds every kind of the tile that runs.
    static bool HoldsWholeTile(const BackupItems &items, int nTileId);

    // The display id of the double-width tile that lists its sub-items.
    static int WideTileId();
    static bool IsWideTile(int nTileId);

    // The sub-items of a tile in display-id order: all of them, or only the
    // kinds that run.
    static QList<const BackupKind *> SubItemsOf(int nTileId, bool bRunningOnly);
    // The word that names a tile's widgets ("Contacts", ...); that of the
    // wide tile for ids without one of their own.
    static QString ObjectWord(int nDisplayId);

    // The usage record's names of the selected kinds, in the record's order.
    static QStringList UsageNames(const BackupItems &items);

    // The files a backup writes into the SDK's data folder besides Info.xml:
    // every kind's result file and the temporary package.
    static QStringList TempFileNames();
    static const char *TempPackageName();
};
