// Text messages backed up from a phone through adb: memory stays flat as the
// number of messages grows, since the providers are read page by page and
// the file is written as the pages arrive.
//
//   bench_records [--messages N]
//
// Writes two phones whose message provider holds N / 10 and N messages
// (default N = 20,000; bodies with commas, new lines, emoji and right-to-left
// text), serves each with adb-phone-sim to a private adb server, and runs
// "backuptool run --device adb:SERIAL --items messages" in a process of its
// own. Prints wall time, peak memory and the size of the messages file for
// both, and the ratio of the peaks (flat memory: close to 1).

#include "AdbRig.h"
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
using Figures = BenchSupport::ChildFigures;

const char *const kBodies[] = {
    "Meeting moved to Thursday, room 4.12; bring the slides",
    "Line one\nline two\nline three, with a comma",
    "مرحبا! هل أنت بخير؟ نراك غدا",
    "Emoji 🎉🎂👨‍👩‍👧 family dinner at eight?",
    "Quotes \"double\" and 'single' <b>tags</b> & amps",
    "Row: 5 _id=77, body=not a row\nkey=value",
    "Очень хорошо, спасибо! До встречи",
    "שלום, מה שלומך? 👋",
};

bool WritePhone(const QString &strDir, int nMessages)
{
    if (!QDir().mkpath(strDir + "/providers"))
        return false;
    QFile ini(strDir + "/phone.ini");
    if (!ini.open(QIODevice::WriteOnly)
        || ini.write("[device]\nname=Bench Phone\nfirmware=BENCH V100R001C10B100\nimei=350000000000009\n"
                     "[memory]\nstorage1=1, 16777216, 1048576, 4096\nstorage2=2, 16777216, 1048576, 4096\n") < 0)
        return false;
    QFile sms(strDir + "/providers/sms.json");
    if (!sms.open(QIODevice::WriteOnly))
        return false;
    sms.write("{\"uri\": \"content://sms\",\n \"columns\": [\"_id\", \"thread_id\", \"date\", \"date_sent\", \"type\", "
              "\"read\", \"status\", \"address\", \"subject\", \"body\"],\n \"rows\": [\n");
    const qint64 nStart = 1700000000000;
    for (int i = 0; i < nMessages; ++i) {
        const QString strBody = QString::fromUtf8(kBodies[i % int(std::size(kBodies))]) + QStringLiteral(" #%1").arg(i);
        const QJsonArray row {i + 1, 1 + i % 50, double(nStart + qint64(i) * 60000), 0, 1 + i % 2, 1, -1,
                              QStringLiteral("+49151%1").arg(1000000 + i % 50), QJsonValue(), strBody};
        sms.write((i ? ",\n  " : "  ") + QJsonDocument(row).toJson(QJsonDocument::Compact));
    }
    sms.write("\n ]\n}\n");
    return sms.error() == QFileDevice::NoError;
}

Figures RunTool(const QString &strTool, const QString &strSerial, const QString &strWork, const AdbRig &rig,
                qint64 *pFileBytes, QString *pBackedUp)
{
    const QString strBackup = strWork + "/backup";
    QDir(strBackup).removeRecursively();
    BenchSupport::ChildIo io = BenchSupport::ToolIo(strWork);
    io.listEnv = rig.Env() + io.listEnv;
    const Figures figures = BenchSupport::RunChild(
        {strTool, "run", "--device", "adb:" + strSerial, "--items", "messages", "--dest", strBackup}, io);
    *pFileBytes = 0;
    const QDir dest(strBackup);
    for (const QString &strName : dest.entryList({"backup_*.zip"}, QDir::Files))
        *pFileBytes += QFileInfo(dest.filePath(strName)).size();
    QDir(strBackup).removeRecursively();
    // The run summary's line of the messages backed up.
    QFile log(strWork + "/run.log");
    pBackedUp->clear();
    if (log.open(QIODevice::ReadOnly)) {
        for (const QByteArray &baLine : log.readAll().split('\n')) {
            if (baLine.trimmed().startsWith("SMS"))
                *pBackedUp = QString::fromUtf8(baLine.simplified());
        }
    }
    return figures;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int nMessages = 20000;
    const QStringList listArgs = app.arguments();
    for (int i = 1; i < listArgs.size(); ++i) {
        if (listArgs.at(i) == "--messages" && i + 1 < listArgs.size())
            nMessages = qMax(10, listArgs.at(++i).toInt());
    }
    const QString strBin = BenchSupport::StageBin();
    const QString strTool = strBin + "/backuptool";
    const QString strSimulator = strBin + "/adb-phone-sim";
    QTemporaryDir tmp;
    if (!tmp.isValid() || !QFileInfo(strTool).isExecutable() || !QFileInfo(strSimulator).isExecutable()) {
        std::fprintf(stderr, "bench_records: needs a temporary folder, backuptool and adb-phone-sim\n");
        return 1;
    }
    std::printf("bench_records: backuptool run --device adb --items messages (load average %s)\n",
                qPrintable(BenchSupport::LoadAverage()));
    AdbRig rig(tmp.path(), strSimulator);
    bool bOk = true;
    double adPeak[2] = {0, 0};
    const int anCounts[2] = {nMessages / 10, nMessages};
    for (int i = 0; i < 2; ++i) {
        const QString strPhone = tmp.path() + QStringLiteral("/phone%1").arg(i);
        if (!WritePhone(strPhone, anCounts[i])) {
            std::fprintf(stderr, "bench_records: cannot write the phone\n");
            return 1;
        }
        const QString strSerial = rig.StartSimulator(strPhone, 0);
        if (strSerial.isEmpty()) {
            std::fprintf(stderr, "bench_records: the simulator did not become a device\n");
            return 1;
        }
        qint64 nBytes = 0;
        QString strBackedUp;
        const Figures tool = RunTool(strTool, strSerial, tmp.path(), rig, &nBytes, &strBackedUp);
        bOk = bOk && strBackedUp == QStringLiteral("SMS %1").arg(anCounts[i]);
        bOk = bOk && tool.bOk;
        adPeak[i] = tool.dPeakMiB;
        std::printf("  %6d messages: %6.2f s, peak memory %6.1f MiB, package %6.2f MB (gzip), summary \"%s\"%s\n",
                    anCounts[i], tool.dSeconds, tool.dPeakMiB, double(nBytes) / 1e6, qPrintable(strBackedUp),
                    tool.bOk ? "" : "  FAILED");
        rig.StopSimulator();
    }
    std::printf("  peak memory ratio %d / %d messages: %.2f (flat: close to 1)\n", anCounts[1], anCounts[0],
                adPeak[1] / qMax(adPeak[0], 1e-9));
    std::printf("load average now: %s\n", qPrintable(BenchSupport::LoadAverage()));
    return bOk ? 0 : 1;
}
