#include "AdbPartFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace
{
// Longest file name the PC's file systems take, in bytes.
const int kMaxNameBytes = 255;
} // namespace

QString AdbPartFile::PartName(const QString &strName)
{
    // ".NAME.XXXXXX.part": a name near the limit is shortened (whole
    // characters) so that its part file can still be made.
    const QString strDot = QStringLiteral(".");
    const QString strSuffix = QStringLiteral(".XXXXXX.part");
    QString strKept = strName;
    while (!strKept.isEmpty()
           && QFile::encodeName(strDot + strKept + strSuffix).size() > kMaxNameBytes) {
        strKept.chop(strKept.size() >= 2 && strKept.at(strKept.size() - 1).isLowSurrogate() ? 2 : 1);
    }
    return strDot + strKept + strSuffix;
}

AdbPartFile::AdbPartFile(const QString &strTargetPath) : m_strTargetPath(strTargetPath)
{
    const QFileInfo info(strTargetPath);
    m_file.setFileTemplate(info.absolutePath() + QLatin1Char('/') + PartName(info.fileName()));
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
