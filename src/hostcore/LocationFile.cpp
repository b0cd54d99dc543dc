#include "LocationFile.h"

#include <sdk/dvsk.h>

#include <QDir>
#include <QSettings>

#include <cstdlib>

bool LocationFile::Write(const QString &strFolder)
{
    if (strFolder.isEmpty())
        return true;
    wchar_t *pDir = nullptr;
    if (DVSK_GetUserDataDirectory(&pDir) != 0 || !pDir)
        return false;
    const QString strDataFolder = QString::fromWCharArray(pDir);
    std::free(pDir);
    // Qt writes INI files as UTF-8, the codec the wizard reads them with.
    QSettings settings(QDir(strDataFolder).filePath(QStringLiteral("Location.ini")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("location/backup_lacation"), strFolder);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
