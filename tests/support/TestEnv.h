#pragma once

#include <QString>
#include <QTemporaryDir>

// Gives a test its own host settings file, documents folder and SDK user
// data folder inside a fresh temporary folder, through the environment
// variables the stand-ins read on every call:
//   PELORIX_HOST_SETTINGS, PELORIX_HOST_DOCUMENTS, DVSK_SIM_USERDATA,
// and DVSK_DEVICE=sim: the phone served is the simulated one (the bundled
// sample phone unless a test picks another folder or back end).
class TestEnv
{
public:
    TestEnv();
    ~TestEnv();

    bool IsValid() const { return m_dir.isValid(); }
    QString Root() const { return m_dir.path(); }
    QString SettingsFile() const;
    QString DocumentsDir() const;
    QString UserDataDir() const; // ends with '/'
    QString Path(const QString &strRelative) const;

    // The bundled sample phone in the build tree.
    static QString SamplePhoneDir();
    // Where tests write pictures and other output for people to look at.
    static QString OutputDir();

private:
    QTemporaryDir m_dir;
};
