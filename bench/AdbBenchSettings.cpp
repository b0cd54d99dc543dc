#include "AdbBenchSettings.h"

#include "BenchSupport.h"

#include <QFileInfo>
#include <QHash>

#include <cstdio>

int AdbBenchSettings::Read(const QStringList &listArgs, const char *szBench, const char *szAllCases)
{
    const QString strUsage = QStringLiteral("%1 [--scale F] [--dir FOLDER] [--rate MBPS] [--latency MS] [--cases %2]")
                                 .arg(QLatin1String(szBench), QLatin1String(szAllCases));
    QHash<QString, QString> hashOptions;
    if (!BenchSupport::ReadOptions(listArgs, {"--scale", "--dir", "--rate", "--latency", "--cases"},
                                   qPrintable(strUsage), hashOptions))
        return 2;
    dScale = hashOptions.value("--scale", "1").toDouble();
    const double dRateMBps = hashOptions.value("--rate", "35").toDouble();
    nRate = qint64(dRateMBps * 1e6);
    nLatencyMs = hashOptions.value("--latency", "1").toInt();
    strDir = hashOptions.value("--dir");
    listCases = hashOptions.value("--cases", QLatin1String(szAllCases)).split(',');
    const QString strBin = BenchSupport::StageBin();
    strTool = strBin + "/backuptool";
    strSimulator = strBin + "/adb-phone-sim";
    if (dScale <= 0.0 || dRateMBps <= 0.0 || nLatencyMs < 0 || !QFileInfo(strTool).isExecutable()
        || !QFileInfo(strSimulator).isExecutable()) {
        std::fprintf(stderr, "%s: bad scale, rate or latency, or no backuptool / adb-phone-sim in %s\n", szBench,
                     qPrintable(strBin));
        return 2;
    }
    return 0;
}

void AdbBenchSettings::PrintHeading(const char *szBench, const char *szComparison)
{
    std::printf("%s: %s, through the same simulator (load average %s)\n", szBench, szComparison,
                qPrintable(BenchSupport::LoadAverage()));
    std::printf("sync connections for small files: DVSK_ADB_STREAMS=%s\n\n",
                qEnvironmentVariableIsSet("DVSK_ADB_STREAMS") ? qPrintable(qEnvironmentVariable("DVSK_ADB_STREAMS"))
                                                              : "(default)");
}
