#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>

// Writes a zip archive whose entries are stored uncompressed, the way the
// phone packs application data. Files are streamed in chunks, never loaded
// whole. Entries larger than 4 GiB are refused (no zip64).
class ZipStoreWriter
{
public:
    ZipStoreWriter() = default;
    ~ZipStoreWriter();
    ZipStoreWriter(const ZipStoreWriter &) = delete;
    ZipStoreWriter &operator=(const ZipStoreWriter &) = delete;

    bool Open(const QString &strPath);
    // Adds the file at strHostPath under the entry name strName (UTF-8, "/"-separated).
    bool AddFile(const QString &strName, const QString &strHostPath);
    bool AddData(const QString &strName, const QByteArray &baData, const QDateTime &dtModified);
    // Writes the central directory and closes the file.
    bool Close();
    int EntryCount() const { return m_listEntries.size(); }

private:
    struct Entry
    {
        QByteArray baName;
        quint32 nCrc = 0;
        quint32 nSize = 0;
        quint32 nOffset = 0;
        quint16 nTime = 0;
        quint16 nDate = 0;
    };

    static void PutEntryFields(QByteArray &ba, const Entry &entry);
    bool WriteLocalHeader(Entry &entry);

    QFile m_file;
    QList<Entry> m_listEntries;
    bool m_bFailed = false;
};
