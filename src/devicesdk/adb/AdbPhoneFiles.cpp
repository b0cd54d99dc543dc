#include "AdbPhoneFiles.h"

#include <algorithm>

namespace
{
// A byte's weight where two UTF-8 texts first differ. Texts equal so far
// differ there at two lead bytes (or inside two characters of one lead byte),
// and UTF-16 puts U+E000..U+FFFF (lead bytes 0xEE, 0xEF) above the surrogates
// of the characters beyond U+FFFF (lead bytes 0xF0..0xF4).
int Utf16Weight(char c)
{
    const uchar u = uchar(c);
    return u == 0xEE || u == 0xEF ? u + 0x10 : u;
}

bool Utf16Less(QByteArrayView a, QByteArrayView b)
{
    const auto [itA, itB] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (itA == a.end() || itB == b.end())
        return itA == a.end() && itB != b.end();
    return Utf16Weight(*itA) < Utf16Weight(*itB);
}
} // namespace

void AdbPhoneFiles::Add(const QString &strPath, qint64 nSize, qint64 nMtime)
{
    const quint32 nStart = quint32(m_baPaths.size());
    m_baPaths += strPath.toUtf8();
    m_listFiles.push_back({nStart, quint32(m_baPaths.size()) - nStart, nSize, nMtime});
}

void AdbPhoneFiles::SortByPath()
{
    std::stable_sort(m_listFiles.begin(), m_listFiles.end(), [this](const File &a, const File &b) {
        const QByteArrayView paths(m_baPaths);
        return Utf16Less(paths.sliced(a.nStart, a.nLength), paths.sliced(b.nStart, b.nLength));
    });
    // The walk is done: no room kept for more.
    m_baPaths.squeeze();
    m_listFiles.shrink_to_fit();
}

void AdbPhoneFiles::Clear()
{
    m_baPaths.clear();
    m_listFiles.clear();
}

QByteArrayView AdbPhoneFiles::PathBytes(qsizetype nIndex) const
{
    const File &file = m_listFiles[std::size_t(nIndex)];
    return QByteArrayView(m_baPaths).sliced(file.nStart, file.nLength);
}

QByteArrayView AdbPhoneFiles::NameBytes(qsizetype nIndex) const
{
    const QByteArrayView path = PathBytes(nIndex);
    return path.sliced(path.lastIndexOf('/') + 1);
}
