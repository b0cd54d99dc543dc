#pragma once

#include "PhoneConfig.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// The package manager's install sessions of the simulated phone, shared by
// every stream of the process: "cmd package install-create" opens one,
// "install-write" streams an APK into it, "install-commit" installs them
// together, "install-abandon" drops them. APKs wait in a temporary folder.
class InstallSessions
{
public:
    static InstallSessions &Instance();

    // A new session's id.
    int Create();
    bool Has(int nSession);
    // A fresh file for an APK on its way in; empty when none can be made.
    QString NewApkFile();
    // Adds a written APK under its name; false for an unknown session.
    bool Add(int nSession, const QString &strName, const QString &strFile);
    // Installs the session's APKs (the base first) and ends it: the package
    // manager's answer.
    QString Commit(const PhoneConfig &config, int nSession);
    bool Abandon(int nSession);

private:
    InstallSessions();
    void RemoveFilesLocked(int nSession);

    QMutex m_mutex;
    std::unique_ptr<QTemporaryDir> m_pDir;
    int m_nNext = 0;
    int m_nFiles = 0;
    QHash<int, QList<QPair<QString, QString>>> m_hashSessions; // id -> (name, file)
};
