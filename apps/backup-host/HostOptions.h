#pragma once

#include <QString>
#include <QStringList>

// The command line of backup-host.
class HostOptions
{
public:
    enum Caller : int
    {
        CallerNone = 0,
        CallerUpdate = 1,
        CallerRom = 2
    };

    bool bHeadless = false;
    bool bHelp = false;
    // Only with --headless: report the user-interface thread's longest stall.
    bool bMeasureStall = false;
    QString strShotsDir;
    QString strLang;
    QString strPhoneDir;
    // The phone: "sim", "adb" or "adb:SERIAL"; empty: $DVSK_DEVICE, else adb.
    // --phone DIR sets "sim".
    QString strDevice;
    QString strDestination;
    // Tile names to check instead of the default selection; empty keeps it.
    QStringList listItems;
    int nCaller = CallerNone;
    // --restore: open the restore wizard; with a backup (a package or its
    // folder) that backup is chosen at once. Headless, it is required.
    bool bRestore = false;
    QString strRestoreBackup;
    // Longest wait for the wizard to reach the next state, in seconds.
    int nTimeoutSeconds = 600;

    // Parses the arguments (without the program name); false with strError
    // set on a mistake.
    bool Parse(const QStringList &listArgs, QString &strError);
    // Makes the folder arguments absolute against strBase, the folder the
    // user started in: the program later changes into its install folder.
    void ResolvePaths(const QString &strBase);

    static QString Help();
    // The tile names --items understands, in the order the wizard shows them.
    static QStringList TileNames();
    // The tile a name selects: a tile's name, the word of a kind of data in
    // it, or an everyday word ("photos"); empty for an unknown name.
    static QString TileOfName(const QString &strName);
    // The word the tile's widgets carry in their object names
    // ("BackUpUIPlugin_BigButton_<word>Frame"); empty for an unknown name.
    static QString TileObjectWord(const QString &strTile);

private:
    // Takes the value of the option strArg; false with strError set when
    // the option does not accept it.
    bool SetValue(const QString &strArg, const QString &strGiven, QString &strError);
    bool SetItems(const QString &strValue, QString &strError);
    // Checks the options that depend on each other once all are read.
    bool CheckCombination(QString &strError);
};
