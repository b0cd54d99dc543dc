#include "AdbPartFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

AdbPartFile::AdbPartFile(const QString &strTargetPath) : m_strTargetPath(strTargetPath)
{
    const QFileInfo info(strTargetPath);
    m_file.setFileTemplate(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX.part"));
    m_bOpen = info.absoluteDir().exists() && m_file.open();
}

bool AdbPartFile::Write(const char *pData, qint64 nLength)
{
    return m_bOpen && m_file.write(pData, nLength) == nLength;
}

bool AdbPartFile::Commit()
{
    if (!m_bOpen || !m_file.flush())
        return false;
    m_file.close();
    m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                          | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(m_file.fileName()).constData(), QFile::encodeName(m_strTargetPath).constData())
        != 0)
        return false;
    m_file.setAutoRemove(false);
    return true;
}

bool AdbPartFile::WriteWhole(const QString &strTargetPath, const QByteArray &baData)
{
    AdbPartFile file(strTargetPath);
    return file.Write(baData.constData(), baData.size()) && file.Commit();
}
