#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// The phone's file list as the SDK hands it over: UTF-8, lines split by
// "\r\n", fields by 0x18; the first field is the name, the last the phone
// path; with three fields or more the second is the size, with four or more
// the third the modification time. The list is kept as those bytes with one
// small index entry per file, and each file is read out of them when asked
// for, so that a list of many thousands of files costs little more than its
// own text.
//
// The files come in the order of their keys (package name for applications,
// else phone path) as UTF-16 code units order them, one file per key: for a
// repeated key the later line wins. Lines with an empty name are skipped.
// Bytes that are not UTF-8 read as U+FFFD, as QString::fromUtf8 reads them.
class ListedFiles
{
public:
    // Size and modification time (seconds since 1970 UTC) are -1 when the
    // line does not give them.
    struct File
    {
        QString strName;
        QString strPhonePath;
        qint64 nSize = -1;
        qint64 nModified = -1;
    };

    ListedFiles() = default;
    ListedFiles(QByteArray baList, bool bKeyByName);

    qsizetype Size() const { return qsizetype(m_listLines.size()); }
    File At(qsizetype nIndex) const;

    // Whether a sorts before b when both UTF-8 texts are read as UTF-16 code
    // units (QString's order): byte order, except that the characters
    // U+E000..U+FFFF come after those beyond U+FFFF.
    static bool Utf16Less(QByteArrayView a, QByteArrayView b);

private:
    struct Line
    {
        qsizetype nStart = 0;
        int nLength = 0;
        // Where the key ends (key by name) or starts (key by path) in the line.
        int nKeySplit = 0;
    };
    QByteArrayView LineOf(const Line &line) const;
    QByteArrayView KeyOf(const Line &line) const;
    void IndexLines();
    void SortByKey();

    QByteArray m_baList;
    bool m_bKeyByName = false;
    std::vector<Line> m_listLines;
};
