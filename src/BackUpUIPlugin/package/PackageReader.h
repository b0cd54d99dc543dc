#pragma once

#include "BackUpHead.h"
#include "PackageLayout.h"

#include <QByteArray>
#include <QString>

#include <memory>

#include <zlib.h>

class QIODevice;

// Reads one backup package as a stream: the header of a given or detected
// layout, then each entry in order, copied in bounded chunks. Sizes declared
// by the package are never allocated; a package that ends before an entry's
// declared size is a short read, not a success.
class PackageReader
{
public:
    static constexpr qint64 kChunkSize = 1024 * 1024;

    enum OpenResult : int
    {
        OpenOk = 0,
        CannotOpen,      // missing or unreadable file
        HeadReadFailed,  // the stream failed while reading the header
        HeadTruncated,   // the package ends inside the header
        BadFileCount,    // FileCount above the table's capacity
        NotAPackage      // no version text and no plausible unversioned header
    };

    enum ReadResult : int
    {
        ReadOk = 0,
        ReadFailed,  // the compressed stream is damaged
        ReadShort,   // the package ended before the declared size
        WriteFailed  // the sink refused the bytes
    };

    PackageReader();
    ~PackageReader();
    PackageReader(const PackageReader &) = delete;
    PackageReader &operator=(const PackageReader &) = delete;

    // Opens the package and reads its header, choosing the layout as the
    // package readers do (version text, else the unversioned heuristics).
    OpenResult Open(const char *szPath);
    // Opens the package and reads the header of the given layout.
    OpenResult Open(const char *szPath, PackageLayout::Id layout);
    void Close();

    PackageLayout::Id Layout() const { return m_layout; }
    const BackUpHead &Head() const { return *m_pHead; }
    // False when the file is not gzip-compressed (zlib then reads it as is).
    bool IsGzip() const { return m_bGzip; }
    // The entry that ReadEntry reads next.
    int NextEntry() const { return m_nNextEntry; }
    int EntryCount() const { return int(m_pHead->FileCount); }
    QByteArray EntryName(int nIndex) const;
    // Where the last failure happened, in words.
    QString ErrorText() const { return m_strError; }

    // Reads the next entry and hands its bytes to pSink (null: skip them).
    // pnRead receives the number of bytes the package held for it.
    ReadResult ReadEntry(QIODevice *pSink, qint64 *pnRead = nullptr);
    // After the last entry: reads to the end of the stream, which also checks
    // the gzip checksum, and counts the bytes left over.
    ReadResult ReadRest(qint64 *pnLeftOver);

    // Reads up to nWanted decompressed bytes from the head of a package.
    // False when the file cannot be opened or the stream fails.
    static bool ReadPrefix(const char *szPath, qint64 nWanted, QByteArray &baPrefix, QString *pstrError = nullptr);
    // The layout of an unversioned package, from its header read as fh.
    static PackageLayout::Id ChooseUnversionedLayout(const BackUpHead &fh);
    // The layout of a versioned package, from its 64-byte version field.
    static PackageLayout::Id ChooseVersionedLayout(const char *szVersion);

private:
    OpenResult OpenStream(const char *szPath);
    OpenResult ReadHead(qint64 nWanted, QByteArray &baPrefix);
    OpenResult AcceptHead(const QByteArray &baPrefix, PackageLayout::Id layout);
    // Reads up to nLength bytes; -1 on a stream failure, fewer at the end.
    qint64 ReadRaw(char *pData, qint64 nLength);

    gzFile m_gzFile = nullptr;
    std::unique_ptr<BackUpHead> m_pHead;
    QByteArray m_baPending;
    qint64 m_nPendingPos = 0;
    QByteArray m_baChunk;
    PackageLayout::Id m_layout = PackageLayout::MMS;
    bool m_bGzip = false;
    bool m_bBroken = false;
    bool m_bCut = false; // the compressed stream ended before its end marker
    int m_nNextEntry = 0;
    QString m_strError;
};
