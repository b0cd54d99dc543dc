#include "TestEnv.h"

#include <QDir>

TestEnv::TestEnv()
{
    if (!m_dir.isValid())
        return;
    QDir(m_dir.path()).mkpath(QStringLiteral("Documents"));
    QDir(m_dir.path()).mkpath(QStringLiteral("UserData"));
    qputenv("PELORIX_HOST_SETTINGS", SettingsFile().toUtf8());
    qputenv("PELORIX_HOST_DOCUMENTS", DocumentsDir().toUtf8());
    qputenv("DVSK_SIM_USERDATA", UserDataDir().toUtf8());
    if (qEnvironmentVariableIsEmpty("PELORIX_HOST_ROOT"))
        qputenv("PELORIX_HOST_ROOT", BACKUP_STAGE_DIR);
}

TestEnv::~TestEnv()
{
    qunsetenv("PELORIX_HOST_SETTINGS");
    qunsetenv("PELORIX_HOST_DOCUMENTS");
    qunsetenv("DVSK_SIM_USERDATA");
}

QString TestEnv::SettingsFile() const
{
    return m_dir.filePath(QStringLiteral("host.ini"));
}

QString TestEnv::DocumentsDir() const
{
    return m_dir.filePath(QStringLiteral("Documents"));
}

QString TestEnv::UserDataDir() const
{
    return m_dir.filePath(QStringLiteral("UserData")) + QLatin1Char('/');
}

QString TestEnv::Path(const QString &strRelative) const
{
    return m_dir.filePath(strRelative);
}

QString TestEnv::SamplePhoneDir()
{
    return QStringLiteral(BACKUP_STAGE_DIR "/samples/phone");
}

QString TestEnv::OutputDir()
{
    QDir().mkpath(QStringLiteral(BACKUP_TEST_OUTPUT_DIR));
    return QStringLiteral(BACKUP_TEST_OUTPUT_DIR);
}
