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
    // The tests' phone is the simulated sample phone unless a test chooses
    // another back end itself (the SDK's own default is a real phone).
    qputenv("DVSK_DEVICE", "sim");
    if (qEnvironmentVariableIsEmpty("PELORIX_HOST_ROOT"))
        qputenv("PELORIX_HOST_ROOT", BACKUP_STAGE_DIR);
}

TestEnv::~TestEnv()
{
    // Only what still points here: a newer environment made before this one
    // goes (m_pEnv = std::make_unique<TestEnv>()) keeps its variables, so
    // that no child process falls back to the user's own folders.
    const struct
    {
        const char *szName;
        QString strValue;
    } vars[] = {{"PELORIX_HOST_SETTINGS", SettingsFile()},
                {"PELORIX_HOST_DOCUMENTS", DocumentsDir()},
                {"DVSK_SIM_USERDATA", UserDataDir()}};
    for (const auto &var : vars) {
        if (qEnvironmentVariable(var.szName) == var.strValue)
            qunsetenv(var.szName);
    }
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
