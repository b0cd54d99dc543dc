#pragma once

#include <QString>
#include <QStringList>

// What the benchmarks over adb share: the programs they run, the link they
// model, the cases chosen and the work folder, read from their command line
// ("--scale F --dir FOLDER --rate MBPS --latency MS --cases 1,2,...").
class AdbBenchSettings
{
public:
    QString strTool;      // backuptool of the stage
    QString strSimulator; // adb-phone-sim of the stage
    QString strWork;      // set by the benchmark once its work folder exists
    QString strDir;       // where the work folder goes (empty: the system's temporary folder)
    double dScale = 1;
    qint64 nRate = 0; // bytes per second of a rate-limited case
    int nLatencyMs = 1;
    QStringList listCases;

    // Reads the command line of benchmark szBench whose cases are
    // szAllCases (the default). 0 when the settings can be used, else the
    // exit status after printing why.
    int Read(const QStringList &listArgs, const char *szBench, const char *szAllCases);
    // The first lines of a benchmark's output: what it compares, the load
    // average and the number of sync connections for small files.
    static void PrintHeading(const char *szBench, const char *szComparison);
};
