#include "FileListText.h"

namespace
{
const char kSeparator = 0x18;
}

void FileListText::StartLine(QByteArrayView name, qint64 nSize)
{
    if (m_nLines++ > 0)
        m_baText += "\r\n";
    m_baText += name;
    m_baText += kSeparator;
    m_baText += QByteArray::number(nSize);
    m_baText += kSeparator;
}

void FileListText::Add(const QString &strName, qint64 nSize, qint64 nModified, const QString &strPhonePath)
{
    StartLine(strName.toUtf8(), nSize);
    m_baText += QByteArray::number(nModified);
    m_baText += kSeparator;
    m_baText += strPhonePath.toUtf8();
}

void FileListText::Add(const QString &strName, qint64 nSize, const QString &strPhonePath)
{
    StartLine(strName.toUtf8(), nSize);
    m_baText += strPhonePath.toUtf8();
}

void FileListText::AddUtf8(QByteArrayView name, qint64 nSize, qint64 nModified, QByteArrayView phonePath)
{
    StartLine(name, nSize);
    if (nModified) {
        m_baText += QByteArray::number(nModified);
        m_baText += kSeparator;
    }
    m_baText += phonePath;
}
