#include "ListedFiles.h"

#include <QList>

#include <algorithm>
#include <climits>

namespace
{
const char kFieldSeparator = 0x18;

qint64 Number(QByteArrayView field)
{
    bool bOk = false;
    const qint64 nValue = QString::fromUtf8(field).toLongLong(&bOk);
    return bOk && nValue >= 0 ? nValue : qint64(-1);
}
} // namespace

ListedFiles::ListedFiles(QByteArray baList, bool bKeyByName) : m_baList(std::move(baList)), m_bKeyByName(bKeyByName)
{
    // Made UTF-8 throughout, so that every field read alone gives the text
    // the whole list would give.
    if (!m_baList.isValidUtf8())
        m_baList = QString::fromUtf8(m_baList).toUtf8();
    IndexLines();
    SortByKey();
}

void ListedFiles::IndexLines()
{
    const QByteArrayView list(m_baList);
    for (qsizetype nStart = 0; nStart <= list.size();) {
        qsizetype nEnd = list.indexOf(QByteArrayView("\r\n"), nStart);
        if (nEnd < 0)
            nEnd = list.size();
        const QByteArrayView line = list.sliced(nStart, nEnd - nStart);
        const qsizetype nFirst = line.indexOf(kFieldSeparator);
        // No file line comes near this length; longer ones are not indexed.
        if (nFirst != 0 && !line.isEmpty() && line.size() < INT_MAX) {
            const qsizetype nSplit = m_bKeyByName ? (nFirst < 0 ? line.size() : nFirst)
                                                  : line.lastIndexOf(kFieldSeparator) + 1;
            m_listLines.push_back({nStart, int(line.size()), int(nSplit)});
        }
        nStart = nEnd + 2;
    }
}

void ListedFiles::SortByKey()
{
    std::stable_sort(m_listLines.begin(), m_listLines.end(),
                     [this](const Line &a, const Line &b) { return Utf16Less(KeyOf(a), KeyOf(b)); });
    // Of the lines with one key the last one stays.
    std::size_t nKept = 0;
    for (std::size_t i = 0; i < m_listLines.size(); ++i) {
        if (nKept > 0 && KeyOf(m_listLines[nKept - 1]) == KeyOf(m_listLines[i]))
            m_listLines[nKept - 1] = m_listLines[i];
        else
            m_listLines[nKept++] = m_listLines[i];
    }
    m_listLines.resize(nKept);
    m_listLines.shrink_to_fit();
}

QByteArrayView ListedFiles::LineOf(const Line &line) const
{
    return QByteArrayView(m_baList).sliced(line.nStart, line.nLength);
}

QByteArrayView ListedFiles::KeyOf(const Line &line) const
{
    const QByteArrayView text = LineOf(line);
    return m_bKeyByName ? text.first(line.nKeySplit) : text.sliced(line.nKeySplit);
}

ListedFiles::File ListedFiles::At(qsizetype nIndex) const
{
    const QByteArrayView line = LineOf(m_listLines.at(std::size_t(nIndex)));
    File file;
    qsizetype nFields = 0;
    qsizetype nStart = 0;
    for (;;) {
        const qsizetype nEnd = line.indexOf(kFieldSeparator, nStart);
        const QByteArrayView field = line.sliced(nStart, (nEnd < 0 ? line.size() : nEnd) - nStart);
        if (nFields == 0)
            file.strName = QString::fromUtf8(field);
        else if (nFields == 1)
            file.nSize = Number(field);
        else if (nFields == 2)
            file.nModified = Number(field);
        ++nFields;
        if (nEnd < 0) {
            file.strPhonePath = QString::fromUtf8(field);
            break;
        }
        nStart = nEnd + 1;
    }
    // The size and time count only with the fields around them.
    if (nFields < 3)
        file.nSize = -1;
    if (nFields < 4)
        file.nModified = -1;
    return file;
}

bool ListedFiles::Utf16Less(QByteArrayView a, QByteArrayView b)
{
    const qsizetype nCommon = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < nCommon; ++i) {
        const uchar x = uchar(a.at(i));
        const uchar y = uchar(b.at(i));
        if (x == y)
            continue;
        // Texts equal so far differ first at the lead bytes of two characters
        // (or inside two characters of one lead byte). Lead bytes 0xEE and
        // 0xEF start U+E000..U+FFFF, one UTF-16 unit above the surrogates
        // that the characters with lead bytes 0xF0..0xF4 become.
        const bool bHighBmpX = x == 0xEE || x == 0xEF;
        const bool bHighBmpY = y == 0xEE || y == 0xEF;
        if (bHighBmpX && y >= 0xF0)
            return false;
        if (bHighBmpY && x >= 0xF0)
            return true;
        return x < y;
    }
    return a.size() < b.size();
}
