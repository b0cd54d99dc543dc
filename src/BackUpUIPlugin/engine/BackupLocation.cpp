#include "BackupLocation.h"

#include "BackUpUILogic.h"
#include "LogLine.h"

#include <host/CommonUtils.h>

#include <QDebug>
#include <QDir>
#include <QSettings>

// The folder rules are the prepare page's operations; their log lines keep
// the page's source name.
static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\PrepareWizardWidget";

namespace
{
QString ErrorLine(const QString &strText)
{
    return QStringLiteral("ERROR!!! %1: %2: %3: %4")
        .arg(LogLine::Now(), QLatin1String(kLogSource), QLatin1String("CreateBackUpPath"), strText);
}
} // namespace

bool BackupLocation::CreateDefaultFolder(QString &strFolder)
{
    const QString strSeparator = QDir::separator();
    strFolder = CommonUtils::GetFilePath() + strSeparator + QStringLiteral("Pelorix") + strSeparator
                + QStringLiteral("backup");
    qDebug().noquote() << ErrorLine(QStringLiteral("m_strBackUpPath is: ") + strFolder);

    QDir dir;
    if (dir.exists(strFolder)) {
        qWarning().noquote() << ErrorLine(QStringLiteral("bIsScreenSnapExists is true, return"));
        return true;
    }
    qWarning().noquote() << ErrorLine(QStringLiteral("bIsScreenSnapExists: path not exist"));
    if (dir.mkpath(strFolder)) {
        qWarning().noquote() << ErrorLine(QStringLiteral("create succeed"));
        return true;
    }
    qWarning().noquote() << ErrorLine(QStringLiteral("bIsScreenSnapExists: create Path is fail "));

    // QDir::rootPath() already ends with a separator.
    strFolder = QDir::rootPath() + QStringLiteral("Pelorix backup/");
    if (dir.exists(strFolder)) {
        qWarning().noquote() << ErrorLine(QStringLiteral("/Pelorix ScreenShot/: exist"));
        return true;
    }
    qWarning().noquote() << ErrorLine(QStringLiteral("/Pelorix ScreenShot/: Path is NULL"));
    if (dir.mkpath(strFolder)) {
        qWarning().noquote() << ErrorLine(QStringLiteral("create /Pelorix ScreenShot/: succeed"));
        return true;
    }
    qWarning().noquote() << ErrorLine(QStringLiteral("create /Pelorix ScreenShot/: failed"));
    return false;
}

QString BackupLocation::LocationFileFolder()
{
    const QString strFolder = BackUpUILogic::GetUserDataDirectory();
    if (strFolder.isEmpty())
        return QString();
    // Qt reads INI files as UTF-8.
    QSettings settings(QDir(strFolder).filePath(QStringLiteral("Location.ini")), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("location"));
    return settings.value(QStringLiteral("backup_lacation")).toString();
}

QString BackupLocation::Read(const QString &strDefault)
{
    QString strPath = LocationFileFolder();
    if (strPath.isEmpty()) {
        strPath = strDefault;
        CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupPath"), strPath);
    }
    strPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return strPath;
}
