#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// Files on the phone, compact: their paths' UTF-8 one after another and per
// file where its path lies, its size and modification time, so that a walk of
// many thousands of files costs little more than the paths' bytes. A copy
// shares the paths (the plan of copies is a copy of a walk's list).
class AdbPhoneFiles
{
public:
    void Add(const QString &strPath, qint64 nSize, qint64 nMtime);
    // Puts the files in the order of their paths as QString compares them
    // (UTF-16 code units).
    void SortByPath();
    void Clear();

    qsizetype Size() const { return qsizetype(m_listFiles.size()); }
    QByteArrayView PathBytes(qsizetype nIndex) const;
    QString Path(qsizetype nIndex) const { return QString::fromUtf8(PathBytes(nIndex)); }
    // The last part of the path.
    QByteArrayView NameBytes(qsizetype nIndex) const;
    qint64 FileSize(qsizetype nIndex) const { return m_listFiles[std::size_t(nIndex)].nSize; }
    qint64 Mtime(qsizetype nIndex) const { return m_listFiles[std::size_t(nIndex)].nMtime; }

private:
    struct File
    {
        quint32 nStart = 0;
        quint32 nLength = 0;
        qint64 nSize = 0;
        qint64 nMtime = 0;
    };

    QByteArray m_baPaths;
    std::vector<File> m_listFiles;
};
