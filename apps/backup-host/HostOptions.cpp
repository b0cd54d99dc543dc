#include "HostOptions.h"

#include <QDir>

namespace
{
// Each tile with the word of its widgets and the other names it answers to:
// the words of its kinds (as the summary names them) and everyday words.
const struct
{
    const char *szName;
    const char *szWord;
    const char *szAlso;
} kTiles[] = {{"contacts", "Contacts", ""},
              {"messages", "Information", "sms,mms,texts"},
              {"apps", "Application", "applications"},
              {"appdata", "AppData", ""},
              {"media", "ImageVedio", "images,videos,photos,pictures"},
              {"music", "MusicItem", "audio"},
              {"other", "Other", "calls,calendar,email,calllog,call-log,e-mail"}};
} // namespace

QString HostOptions::TileOfName(const QString &strName)
{
    const QString strWord = strName.trimmed().toLower();
    for (const auto &tile : kTiles) {
        if (strWord == QLatin1String(tile.szName)
            || QString::fromLatin1(tile.szAlso).split(QLatin1Char(','), Qt::SkipEmptyParts).contains(strWord))
            return QLatin1String(tile.szName);
    }
    return QString();
}

QStringList HostOptions::TileNames()
{
    QStringList listNames;
    for (const auto &tile : kTiles)
        listNames << QLatin1String(tile.szName);
    return listNames;
}

QString HostOptions::TileObjectWord(const QString &strTile)
{
    for (const auto &tile : kTiles) {
        if (strTile == QLatin1String(tile.szName))
            return QLatin1String(tile.szWord);
    }
    return QString();
}

void HostOptions::ResolvePaths(const QString &strBase)
{
    const QDir base(strBase);
    for (QString *pPath : {&strShotsDir, &strPhoneDir, &strDestination, &strRestoreBackup}) {
        if (!pPath->isEmpty())
            *pPath = QDir::cleanPath(base.absoluteFilePath(*pPath));
    }
}

QString HostOptions::Help()
{
    return QStringLiteral(
        "Usage: backup-host [options]\n"
        "\n"
        "The host application of the phone-management suite with the backup plugin.\n"
        "With a display it opens the host's window with the backup wizard; with\n"
        "--headless it runs the wizard off screen and drives it as a user would:\n"
        "waits for the phone's items to be counted, keeps the default tiles (or\n"
        "checks --items), presses next, follows the progress page and presses\n"
        "finish, printing the progress and a summary of the run.\n"
        "\n"
        "Options:\n"
        "  --headless       run the wizard off screen (no display needed)\n"
        "  --items LIST     comma-separated tiles to back up: contacts, messages\n"
        "                   (also sms, mms), apps, appdata, media (also images,\n"
        "                   videos, photos), music (also audio), other (also\n"
        "                   calls, calendar, email), or all (headless only;\n"
        "                   default: the tiles the wizard checks)\n"
        "  --shots DIR      save pictures of the prepare page after counting, the\n"
        "                   progress page mid-run and the result page (headless)\n"
        "  --lang LANG      language of the texts: en, ru or ar\n"
        "  --phone DIR      back up the simulated phone in DIR (a folder with\n"
        "                   phone.ini); implies --device sim\n"
        "  --device DEV     the phone: adb (the one usable Android phone on USB or\n"
        "                   Wi-Fi, through the adb server), adb:SERIAL, or sim (the\n"
        "                   simulated sample phone); default: $DVSK_DEVICE, else adb\n"
        "  --dest DIR       back up into DIR (picked with the wizard's browse button)\n"
        "  --caller NAME    run the backup on behalf of another plugin: update or rom;\n"
        "                   prints the calls that plugin receives\n"
        "  --measure-stall  report the user-interface thread's longest stall during\n"
        "                   the backup (headless)\n"
        "  --timeout SEC    give up when the wizard does not move on for SEC seconds\n"
        "                   (headless; default 600)\n"
        "  --restore [BACKUP]  open the restore wizard instead (BACKUP: a package\n"
        "                   backup_….zip or its backup folder, chosen at once);\n"
        "                   headless, BACKUP is required and --items names the\n"
        "                   tiles to restore (default: everything restorable);\n"
        "                   exit status as `backuptool restore`\n"
        "  --help           show this help\n"
        "\n"
        "Exit status (headless): 0 everything was backed up, 1 an item failed or the\n"
        "phone's memory could not be checked or is full, 2 wrong arguments or the\n"
        "plugin could not be loaded, 3 the wizard did not move on in time,\n"
        "4 phone disconnected (the phone went away during the backup; the files\n"
        "copied so far are kept, marked interrupted, for the next backup into the\n"
        "same folder to finish), 130 cancelled (Ctrl-C, SIGTERM or a closed\n"
        "terminal; nothing of the run is kept).");
}

bool HostOptions::Parse(const QStringList &listArgs, QString &strError)
{
    const QStringList listValueOptions = {QStringLiteral("--shots"),  QStringLiteral("--phone"),
                                          QStringLiteral("--dest"),   QStringLiteral("--device"),
                                          QStringLiteral("--lang"),   QStringLiteral("--caller"),
                                          QStringLiteral("--timeout"), QStringLiteral("--items")};
    for (int i = 0; i < listArgs.size(); ++i) {
        const QString &strArg = listArgs.at(i);
        if (strArg == QLatin1String("--help") || strArg == QLatin1String("-h")) {
            bHelp = true;
        } else if (strArg == QLatin1String("--restore")) {
            bRestore = true;
            if (i + 1 < listArgs.size() && !listArgs.at(i + 1).startsWith(QLatin1String("--")))
                strRestoreBackup = listArgs.at(++i);
        } else if (strArg == QLatin1String("--headless")) {
            bHeadless = true;
        } else if (strArg == QLatin1String("--measure-stall")) {
            bMeasureStall = true;
        } else if (!listValueOptions.contains(strArg)) {
            strError = QStringLiteral("unexpected argument %1").arg(strArg);
            return false;
        } else if (i + 1 >= listArgs.size() || listArgs.at(i + 1).isEmpty()
                   || listArgs.at(i + 1).startsWith(QLatin1String("--"))) {
            strError = QStringLiteral("%1 needs a value").arg(strArg);
            return false;
        } else if (!SetValue(strArg, listArgs.at(++i), strError)) {
            return false;
        }
    }
    return CheckCombination(strError);
}

bool HostOptions::SetValue(const QString &strArg, const QString &strGiven, QString &strError)
{
    QString strValue = strGiven;
    if (strArg == QLatin1String("--shots")) {
        strShotsDir = strValue;
    } else if (strArg == QLatin1String("--phone")) {
        strPhoneDir = strValue;
    } else if (strArg == QLatin1String("--dest")) {
        strDestination = strValue;
    } else if (strArg == QLatin1String("--device")) {
        strDevice = strValue;
        if (strDevice != QLatin1String("sim") && strDevice != QLatin1String("adb")
            && !(strDevice.startsWith(QLatin1String("adb:")) && strDevice.size() > 4)) {
            strError = QStringLiteral("unknown device '%1' (devices: sim, adb, adb:SERIAL)").arg(strDevice);
            return false;
        }
    } else if (strArg == QLatin1String("--lang")) {
        strLang = strValue.toLower();
        if (strLang != QLatin1String("en") && strLang != QLatin1String("ru") && strLang != QLatin1String("ar")) {
            strError = QStringLiteral("unknown language '%1' (languages: en, ru, ar)").arg(strLang);
            return false;
        }
    } else if (strArg == QLatin1String("--caller")) {
        strValue = strValue.toLower();
        if (strValue == QLatin1String("update")) {
            nCaller = CallerUpdate;
        } else if (strValue == QLatin1String("rom")) {
            nCaller = CallerRom;
        } else {
            strError = QStringLiteral("unknown caller '%1' (callers: update, rom)").arg(strValue);
            return false;
        }
    } else if (strArg == QLatin1String("--timeout")) {
        bool bOk = false;
        nTimeoutSeconds = strValue.toInt(&bOk);
        if (!bOk || nTimeoutSeconds <= 0) {
            strError = QStringLiteral("--timeout needs a number of seconds above 0");
            return false;
        }
    } else if (strArg == QLatin1String("--items")) {
        return SetItems(strValue, strError);
    }
    return true;
}

bool HostOptions::SetItems(const QString &strValue, QString &strError)
{
    listItems.clear();
    for (QString strName : strValue.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        strName = strName.trimmed().toLower();
        if (strName == QLatin1String("all")) {
            for (const QString &strTile : TileNames()) {
                if (!listItems.contains(strTile))
                    listItems << strTile;
            }
            continue;
        }
        const QString strTile = TileOfName(strName);
        if (strTile.isEmpty()) {
            strError = QStringLiteral("unknown item '%1' (items: %2, all; or a kind of data in them)")
                           .arg(strName, TileNames().join(QStringLiteral(", ")));
            return false;
        }
        if (!listItems.contains(strTile))
            listItems << strTile;
    }
    if (listItems.isEmpty()) {
        strError = QStringLiteral("--items needs at least one item");
        return false;
    }
    return true;
}

bool HostOptions::CheckCombination(QString &strError)
{
    // A phone folder is the simulated phone's.
    if (!strPhoneDir.isEmpty()) {
        if (!strDevice.isEmpty() && strDevice != QLatin1String("sim")) {
            strError = QStringLiteral("--phone serves the simulated phone; it cannot be used with --device %1").arg(strDevice);
            return false;
        }
        strDevice = QStringLiteral("sim");
    }
    if (!bHeadless) {
        const char *const szHeadlessOnly[] = {"--items", "--shots", "--measure-stall"};
        const bool bUsed[] = {!listItems.isEmpty(), !strShotsDir.isEmpty(), bMeasureStall};
        for (int i = 0; i < 3; ++i) {
            if (bUsed[i]) {
                strError = QStringLiteral("%1 works with --headless only").arg(QLatin1String(szHeadlessOnly[i]));
                return false;
            }
        }
    }
    if (bHeadless && bRestore && strRestoreBackup.isEmpty()) {
        strError = QStringLiteral("--headless --restore needs the backup to restore");
        return false;
    }
    return true;
}
