#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// What the benchmarks share: a monotonic clock, running a program in a child
// process with its wall time and peak memory, and generated data (random
// media bytes, record-like text and whole phones in the simulated SDK's
// folder format), the same bytes on every run.
class BenchSupport
{
public:
    // Wall time and peak memory of one child process.
    struct ChildFigures
    {
        bool bOk = false; // exited normally with status 0
        double dSeconds = 0;
        double dPeakMiB = 0; // maximum resident set size
    };

    enum class ErrorStream
    {
        Inherit,
        Discard,
        ToOutput
    };

    // How a child process is started: its standard input from a file
    // (empty: inherited), its standard output into a file (empty:
    // discarded), its error stream, and extra NAME=value environment entries.
    struct ChildIo
    {
        QString strStdin;
        QString strStdout;
        ErrorStream errorStream = ErrorStream::Inherit;
        QStringList listEnv;
    };

    // The stage's program folder, beside the benchmark programs' folder.
    static QString StageBin();
    // The template of a benchmark's work folder (for QTemporaryDir): in
    // strDir, else in the system's temporary folder.
    static QString WorkFolderTemplate(const QString &strDir, const char *szBench);
    // How backuptool runs in a work folder: its summary into run.log, its
    // progress line discarded, host settings and SDK data folder of its own
    // there (the data folder is made).
    static ChildIo ToolIo(const QString &strWork);
    // The "--name value" options of a command line (as QCoreApplication
    // gives it, the program first) into hashValues. False, after printing
    // szUsage, on a name not in listNames or a name without a value.
    static bool ReadOptions(const QStringList &listArgs, const QStringList &listNames, const char *szUsage,
                            QHash<QString, QString> &hashValues);
    // One line of figures: title, seconds, peak memory, and FAILED when the
    // child did not succeed.
    static void PrintFigures(const char *szTitle, const ChildFigures &figures, int nTitleWidth = 26);

    // A generated phone.
    struct Phone
    {
        QString strDir;
        QStringList listRecordFiles;
        qint64 nMediaBytes = 0;
        qint64 nRecordBytes = 0;
        int nImages = 0;
        int nVideos = 0;
    };

    // Seconds on a monotonic clock.
    static double Now();
    // The system's load averages over 1, 5 and 15 minutes.
    static QString LoadAverage();

    // Runs listArgs (the program first, looked up in PATH) in a child process
    // and waits for it; without io its output is discarded. Whatever the
    // system still has to write to disk is written before the clock starts.
    static ChildFigures RunChild(const QStringList &listArgs, const ChildIo &io);
    static ChildFigures RunChild(const QStringList &listArgs);

    // nBytes of incompressible bytes, like a phone's pictures and films.
    static bool WriteRandom(const QString &strPath, qint64 nBytes, quint64 nSeed);
    // At least nBytes of record-like text as a phone exports it (whole
    // records, each on a line of its own); *pnRecords gets their number.
    static bool WriteRecords(const QString &strPath, qint64 nBytes, quint64 nSeed, int *pnRecords = nullptr);

    // A phone in the simulated SDK's folder format: at scale 1, 2,000 images
    // of 200 KB, 20 videos of 20 MB and nRecordBytes of records (contacts,
    // messages, call log, calendar, e-mail; at least 1 MiB) in all.
    static bool MakePhone(const QString &strDir, double dScale, qint64 nRecordBytes, Phone &phone);
    // A phone with media only: nFolders folders of nFiles files of nBytes
    // each under /sdcard/strFolder (one folder: strFolder itself); videos
    // when bVideos, else images.
    static bool MakeMediaPhone(const QString &strDir, const QString &strFolder, int nFolders, int nFiles,
                               qint64 nBytes, bool bVideos, Phone &phone);
};
