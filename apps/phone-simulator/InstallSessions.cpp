#include "InstallSessions.h"

#include "SimInstaller.h"

#include <QDir>
#include <QFile>

InstallSessions &InstallSessions::Instance()
{
    static InstallSessions s_sessions;
    return s_sessions;
}

InstallSessions::InstallSessions()
    : m_pDir(std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/adb-phone-sim-XXXXXX")))
{
}

int InstallSessions::Create()
{
    QMutexLocker locker(&m_mutex);
    // Ids as a phone hands them out: large and not in order.
    const int nSession = 1000000 + (++m_nNext * 7919) % 9000000;
    m_hashSessions.insert(nSession, {});
    return nSession;
}

bool InstallSessions::Has(int nSession)
{
    QMutexLocker locker(&m_mutex);
    return m_hashSessions.contains(nSession);
}

QString InstallSessions::NewApkFile()
{
    QMutexLocker locker(&m_mutex);
    if (!m_pDir->isValid())
        return QString();
    return m_pDir->filePath(QStringLiteral("apk-%1.tmp").arg(++m_nFiles));
}

bool InstallSessions::Add(int nSession, const QString &strName, const QString &strFile)
{
    QMutexLocker locker(&m_mutex);
    const auto it = m_hashSessions.find(nSession);
    if (it == m_hashSessions.end())
        return false;
    it->append({strName, strFile});
    return true;
}

void InstallSessions::RemoveFilesLocked(int nSession)
{
    for (const auto &file : m_hashSessions.value(nSession))
        QFile::remove(file.second);
    m_hashSessions.remove(nSession);
}

QString InstallSessions::Commit(const PhoneConfig &config, int nSession)
{
    QMutexLocker locker(&m_mutex);
    if (!m_hashSessions.contains(nSession))
        return QStringLiteral("Failure [INSTALL_FAILED_INTERNAL_ERROR: no session %1]").arg(nSession);
    QStringList listNames;
    QStringList listFiles;
    for (const auto &file : m_hashSessions.value(nSession)) {
        listNames << file.first;
        listFiles << file.second;
    }
    const QString strAnswer = SimInstaller::Install(config, listFiles, listNames);
    RemoveFilesLocked(nSession);
    return strAnswer;
}

bool InstallSessions::Abandon(int nSession)
{
    QMutexLocker locker(&m_mutex);
    if (!m_hashSessions.contains(nSession))
        return false;
    RemoveFilesLocked(nSession);
    return true;
}
