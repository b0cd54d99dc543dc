#pragma once

#include "BackUpHead.h"
#include "PackageLayout.h"
#include "PackageReader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reads a whole backup package as a reader would and tells whether it can
// be relied on: the gzip stream and its checksum, the header layout, every
// entry's declared size against what the stream holds, and nothing left
// over after the last entry, and that the device information file reads and
// gives the header's counts. When the package is not sound it says what is
// wrong and which entries are still intact.
class PackageVerifier
{
public:
    enum EntryState : int
    {
        EntryIntact = 0,   // byte-exact: the stream's checksum confirmed it and the
                           // table's sizes account for the whole stream
        EntryComplete,     // read in full, but nothing confirms its bytes
        EntryDamaged,      // the package holds only part of it
        EntryMissing       // the package ends before it starts
    };

    struct Entry
    {
        int nIndex = 0;
        QByteArray baName;     // the stored path
        QByteArray baTarget;   // the file name an extraction writes, empty if none
        quint32 nDeclared = 0;
        qint64 nHeld = 0;
        EntryState state = EntryMissing;
    };

    // Checks the package; true when it is sound.
    bool Verify(const char *szPath);

    bool IsSound() const { return m_listProblems.isEmpty(); }
    // True once the header was read; Layout() and the rest are valid then.
    bool HeadRead() const { return m_bHeadRead; }
    // How opening the package went, whether it is gzip-compressed, and the
    // reader's words when it could not be opened.
    PackageReader::OpenResult OpenResult() const { return m_openResult; }
    bool IsGzip() const { return m_bGzip; }
    QString OpenErrorText() const { return m_strOpenError; }
    PackageLayout::Id Layout() const { return m_layout; }
    QByteArray VersionText() const { return m_baVersion; }
    QByteArray DeviceName() const { return m_baDeviceName; }
    const QList<Entry> &Entries() const { return m_listEntries; }
    // What makes the package unsound, and remarks that do not.
    QStringList Problems() const { return m_listProblems; }
    QStringList Notes() const { return m_listNotes; }
    // Whether the gzip checksum was read and matched.
    bool ChecksumConfirmed() const { return m_bChecksumConfirmed; }
    qint64 LeftOver() const { return m_nLeftOver; }

    static const char *StateName(EntryState state);

private:
    bool OpenAndReadHead(PackageReader &reader, const char *szPath);
    void CheckTable(const PackageReader &reader);
    // Reads every entry; false (with the problem noted) at the first one cut short.
    bool ReadEntries(PackageReader &reader);
    void NoteMissingEntries();
    // What follows the last entry: left-over bytes, the gzip end and checksum.
    void CheckStreamEnd(PackageReader &reader);
    void CheckInfo(const QByteArray &baContent, const BackUpHead &head);
    void Reset();

    bool m_bHeadRead = false;
    PackageReader::OpenResult m_openResult = PackageReader::CannotOpen;
    bool m_bGzip = false;
    QString m_strOpenError;
    PackageLayout::Id m_layout = PackageLayout::MMS;
    QByteArray m_baVersion;
    QByteArray m_baDeviceName;
    QList<Entry> m_listEntries;
    QStringList m_listProblems;
    QStringList m_listNotes;
    bool m_bChecksumConfirmed = false;
    qint64 m_nLeftOver = 0;
    bool m_bHasInfo = false;
};
