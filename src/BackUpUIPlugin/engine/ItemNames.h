#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The names people give the backup items on a command line: the tiles'
// names, the one word that names each kind in the summaries, and a few
// everyday words. A name selects the tile that holds its kind, since the
// kinds of a tile are backed up together.
class ItemNames
{
public:
    // The tile id a name selects (case and surrounding blanks ignored); -1
    // for a name no tile or kind answers to.
    static int TileOf(const QString &strName);
    // "contacts,sms,..." or "all" to tile ids in the wizard's order, each
    // once; false with strError set on an unknown or missing name.
    static bool Parse(const QString &strList, QList<int> &listTileIds, QString &strError);
    // The word of every kind that is backed up, in the order a backup runs.
    static QStringList KindWords();
    // Every name TileOf answers to: tiles, kinds, everyday words.
    static QStringList Names();
    // What --items accepts, as indented help lines.
    static QString HelpText();
};
