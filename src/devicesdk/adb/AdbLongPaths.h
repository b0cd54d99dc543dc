#pragma once

#include "AdbShellFiles.h"
#include "AdbSync.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class AdbServer;

// Lists folders and reads files whose path is too long for a sync request,
// each command over a connection of its own to the phone's shell (so that
// several reads may run at once). Results are those of the sync requests:
// Broken when the connection ended (a cancel, the phone gone, fnStopped
// true), RemoteFailed when the phone refused or did not give the whole file.
class AdbLongPaths
{
public:
    // Gets a file's bytes as they arrive; false when they cannot be kept
    // (the read ends at once, LocalFailed).
    using Sink = std::function<bool(const char *pData, qint64 nLength)>;
    using Stopped = std::function<bool()>;

    AdbLongPaths(AdbServer &server, const QString &strSerial, bool bShellV2);

    AdbSync::Result List(const QByteArray &baFolder, AdbShellFiles::Listing &listing, QString *pError,
                         const Stopped &fnStopped) const;
    // Lists several folders at once, each over a connection of its own: Ok
    // when every command ran (each listing says what it found), Broken when
    // any connection ended. *pErrors gets what the phone said of each
    // folder it did not list in full.
    AdbSync::Result ListSeveral(const QList<QByteArray> &listFolders, QList<AdbShellFiles::Listing> &listListings,
                                QStringList *pErrors, const Stopped &fnStopped) const;
    // Reads a file listed with nListedSize bytes. Without shell v2 exactly
    // that many bytes and the success line must come; with it the exit
    // status tells, and the file is taken as it is now.
    AdbSync::Result Read(const QByteArray &baPath, qint64 nListedSize, const Sink &fnSink, QString *pError,
                         const Stopped &fnStopped) const;
    // Reads a file into *pData: LocalFailed (nothing kept) when it has more
    // than nMaxBytes.
    AdbSync::Result ReadData(const QByteArray &baPath, qint64 nListedSize, QByteArray *pData, qint64 nMaxBytes,
                             QString *pError, const Stopped &fnStopped) const;

private:
    AdbServer &m_server;
    const QString m_strSerial;
    const bool m_bShellV2;
};
