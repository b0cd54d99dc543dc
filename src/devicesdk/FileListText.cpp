#include "FileListText.h"

namespace
{
const char kSeparator = 0x18;
}

void FileListText::StartLine(const QString &strName, qint64 nSize)
{
    if (m_nLines++ > 0)
        m_baText += "\r\n";
    m_baText += strName.toUtf8();
    m_baText += kSeparator;
    m_baText += QByteArray::number(nSize);
    m_baText += kSeparator;
}

void FileListText::Add(const QString &strName, qint64 nSize, qint64 nModified, const QString &strPhonePath)
{
    StartLine(strName, nSize);
    m_baText += QByteArray::number(nModified);
    m_baText += kSeparator;
    m_baText += strPhonePath.toUtf8();
}

void FileListText::Add(const QString &strName, qint64 nSize, const QString &strPhonePath)
{
    StartLine(strName, nSize);
    m_baText += strPhonePath.toUtf8();
}
