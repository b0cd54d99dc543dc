#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The file list a media or application backup hands to the engine: one line
// per file, its fields separated by 0x18 (name, size, the modification time
// when known, phone path), lines separated by "\r\n", in UTF-8. The text is
// built in one byte array as the lines come, so a list of many thousands of
// files costs its own bytes and no copies of them line by line.
class FileListText
{
public:
    void Add(const QString &strName, qint64 nSize, qint64 nModified, const QString &strPhonePath);
    // A line without a modification time.
    void Add(const QString &strName, qint64 nSize, const QString &strPhonePath);
    // A line from the name's and path's UTF-8; without a modification time
    // when nModified is 0 (not known).
    void AddUtf8(QByteArrayView name, qint64 nSize, qint64 nModified, QByteArrayView phonePath);

    const QByteArray &Text() const { return m_baText; }
    int Lines() const { return m_nLines; }

private:
    void StartLine(QByteArrayView name, qint64 nSize);

    QByteArray m_baText;
    int m_nLines = 0;
};
