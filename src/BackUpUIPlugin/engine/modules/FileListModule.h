#pragma once

#include "FileModule.h"
#include "KeptFiles.h"
#include "ListedFiles.h"
#include "MediaInfo.h"
#include "TransferCounts.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class BackUpUILogic;

// What sets one list-driven file module apart from the others.
struct FileListTraits
{
    int nCode;
    bool FILESTATUS::*pFlag;
    const char *szSource;
    const char *szBackupMessage;
    const char *szMissingPath;
    const char *szCopyMessage;
    // Applications: entries keyed by package name, copied to "APK/<name>.apk"
    // (an existing file is replaced), and a start event before the list.
    bool bApplications;
    // Media modules only (null for applications): the subfolder of the
    // earlier layout and its marker file, the subfolder otherwise, and the
    // media list written at the end.
    const char *szEarlierFolder;
    const char *szEarlierMarker;
    const char *szFolder;
    const char *szMediaList;
};

// A module that gets a list of the phone's files and copies them one by one
// into its folder, reporting each file and honouring a stop request between
// files. Media modules also record where each copied file came from.
class FileListModule : public FileModule
{
    Q_OBJECT
public:
    ~FileListModule() override;

    // Returns 0 once the phone's backup succeeded, whatever number of single
    // files failed; the logic's BackUp code when that failed; -1 for an empty
    // list, a cancel before the copying, a stop request between files or a
    // media list that could not be written. On entry nCount is the expected
    // number of files (the progress total); on success it becomes the number
    // of files copied.
    int Backup(int &nCount) override;
    void SetPath(const QString &strPath) override;

    // One line of the phone's file list.
    using ListedFile = ListedFiles::File;

    // The phone's file list as ListedFiles reads it, keyed by package name
    // for applications, else by phone path.
    static QMap<QString, ListedFile> ParseListedFiles(const QString &strList, bool bKeyByName);
    // The same list as key -> the other of name and phone path.
    static QMap<QString, QString> ParseFileList(const QString &strList, bool bKeyByName);

    // The name a file gets in folder when strName is taken there: "a (1).jpg",
    // "a (2).jpg", ... ("notes (1)" without an extension), the base shortened
    // when the name would pass the file-name limit. With pnNext the search
    // starts at *pnNext, which becomes the number after the one given.
    static QString FreeName(const QString &strFolder, const QString &strName, const QString &strReserved = QString(),
                            int *pnNext = nullptr);

    // The media list file of this module (empty for applications).
    QString MediaListPath() const;
    // The phone paths of the files the last Backup could not copy, in copy
    // order.
    QStringList FailedPhonePaths() const { return m_listFailedPaths; }

    // The run folders of earlier backups of the same phone, newest first; the
    // next Backup takes unchanged files from the newest one that holds this
    // module's folder. Empty: every file is copied from the phone.
    void SetEarlierBackups(const QStringList &listRunFolders);
    // Where the files of the last Backup came from.
    TransferCounts GetTransferCounts() const { return m_transfer; }

protected:
    FileListModule(const FileListTraits &traits, QObject *pParent);

private:
    // This module's folder inside a run folder (the earlier layout when its
    // marker is there), as SetPath chooses it.
    QString ModuleFolderIn(const QString &strRunFolder) const;
    void LoadKeptFiles();
    // Puts one listed file at strTarget: from the earlier backup when it kept
    // the same file, else from the phone. Returns the GetFile result.
    // fnBytes gets the bytes of a copy from the phone as they arrive.
    int FetchFile(BackUpUILogic *pLogic, const QString &strTarget, const QString &strKey, const ListedFile &file,
                  const std::function<void(qint64)> &fnBytes);
    // Where one listed file goes: its name on the PC, folder and path;
    // bUsable false when the phone's name gives no usable file name.
    struct Target
    {
        QString strFolder;
        QString strPcName;
        QString strTarget;
        bool bUsable = false;
    };
    // The media files copied, in copy order, as their places in the list
    // and the names they got on the PC where these are not the phone's.
    struct CopiedMedia
    {
        std::vector<qsizetype> listIndices;
        // The names that differ, as UTF-8 one after another, and for each
        // its place in the list (rising) and where its bytes end.
        QByteArray baPcNames;
        std::vector<std::pair<qsizetype, qsizetype>> listRenamed;

        void AddPcName(qsizetype nIndex, const QString &strPcName);
        // The name on the PC of the file at nIndex, strPhoneName when it kept that.
        QString PcName(qsizetype nIndex, const QString &strPhoneName) const;
    };
    // Copies every listed file in turn; the count copied, or -1 when the
    // run was told to stop. Reports the step's share and bytes
    // (signalFilesProgress) after each file and while a large one arrives.
    int CopyListedFiles(BackUpUILogic *pLogic, const ListedFiles &listed, int nCount, CopiedMedia &copied);
    bool WriteMediaList(const ListedFiles &listed, const CopiedMedia &copied) const;
    Target PlaceFile(const QString &strName) const;
    // Makes the target free to be written: a fresh number when the name is
    // taken, no link left in the way of an application package.
    void ClaimTarget(Target &target, const QString &strReserved, QHash<QString, int> &hashNextNumber) const;

    const FileListTraits m_traits;
    QStringList m_listEarlierRuns;
    KeptFiles m_kept;
    TransferCounts m_transfer;
    QStringList m_listFailedPaths;
};
