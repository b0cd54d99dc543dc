#include "ItemNames.h"

#include "BackupKinds.h"

namespace
{
// Everyday words beside the tiles' and the kinds' own names.
struct Alias
{
    const char *szName;
    int nTileId;
};
const Alias kAliases[] = {
    {"photos", 4}, {"pictures", 4}, {"texts", 1}, {"applications", 29},
    {"calllog", 6}, {"call-log", 6}, {"e-mail", 6},
};
} // namespace

int ItemNames::TileOf(const QString &strName)
{
    const QString strWord = strName.trimmed().toLower();
    if (strWord.isEmpty())
        return -1;
    for (const BackupTile &tile : BackupKinds::Tiles()) {
        if (strWord == QLatin1String(tile.szToolName))
            return tile.nId;
    }
    for (const BackupKind &kind : BackupKinds::All()) {
        if (kind.bRuns && strWord == QLatin1String(kind.szToolName))
            return kind.nTileId;
    }
    for (const Alias &alias : kAliases) {
        if (strWord == QLatin1String(alias.szName))
            return alias.nTileId;
    }
    return -1;
}

bool ItemNames::Parse(const QString &strList, QList<int> &listTileIds, QString &strError)
{
    QList<int> listChosen;
    const QStringList listNames = strList.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &strName : listNames) {
        if (strName.trimmed().compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
            for (const BackupTile &tile : BackupKinds::Tiles())
                listChosen << tile.nId;
            continue;
        }
        const int nTile = TileOf(strName);
        if (nTile < 0) {
            QStringList listTiles;
            for (const BackupTile &tile : BackupKinds::Tiles())
                listTiles << QLatin1String(tile.szToolName);
            strError = QStringLiteral("unknown item '%1' (items: %2; kinds: %3; or all)")
                           .arg(strName.trimmed(), listTiles.join(QStringLiteral(", ")),
                                KindWords().join(QStringLiteral(", ")));
            return false;
        }
        listChosen << nTile;
    }
    if (listChosen.isEmpty()) {
        strError = QStringLiteral("--items needs at least one item");
        return false;
    }
    listTileIds.clear();
    for (const BackupTile &tile : BackupKinds::Tiles()) {
        if (listChosen.contains(tile.nId))
            listTileIds << tile.nId;
    }
    return true;
}

QStringList ItemNames::KindWords()
{
    QStringList listWords;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (kind.bRuns)
            listWords << QLatin1String(kind.szToolName);
    }
    return listWords;
}

QStringList ItemNames::Names()
{
    QStringList listNames;
    for (const BackupTile &tile : BackupKinds::Tiles())
        listNames << QLatin1String(tile.szToolName);
    listNames << KindWords();
    for (const Alias &alias : kAliases)
        listNames << QLatin1String(alias.szName);
    listNames.removeDuplicates();
    return listNames;
}

QString ItemNames::HelpText()
{
    QString strText;
    for (const BackupTile &tile : BackupKinds::Tiles()) {
        QStringList listWords;
        for (const BackupKind *pKind : BackupKinds::OfTile(tile.nId)) {
            if (QLatin1String(pKind->szToolName) != QLatin1String(tile.szToolName))
                listWords << QLatin1String(pKind->szToolName);
        }
        for (const Alias &alias : kAliases) {
            if (alias.nTileId == tile.nId)
                listWords << QLatin1String(alias.szName);
        }
        strText += QStringLiteral("    %1").arg(QLatin1String(tile.szToolName), -9);
        strText += listWords.isEmpty() ? QStringLiteral("\n")
                                       : QStringLiteral("(also: %1)\n").arg(listWords.join(QStringLiteral(", ")));
    }
    return strText;
}
