// adb-phone-sim: a phone for the adb server, served from a phone folder.
//
//   adb-phone-sim --phone samples/phone --port 0
//   adb -P 5099 connect 127.0.0.1:PORT
//   adb -P 5099 -s 127.0.0.1:PORT shell getprop ro.product.model

#include "PhoneSimulator.h"
#include "SimulatorConsole.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace
{
QString DefaultPhoneDir()
{
    const QString strEnv = qEnvironmentVariable("DVSK_SIM_PHONE");
    if (!strEnv.isEmpty())
        return strEnv;
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../samples/phone"));
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("adb-phone-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves a phone folder to the adb server as a phone on 127.0.0.1 (adb connect 127.0.0.1:PORT).\n"
        "Standard input takes the commands status, unplug, plug, allow (tap Allow on an unauthorised phone), stall and quit."));
    parser.addHelpOption();
    const QCommandLineOption optPhone(QStringLiteral("phone"), QStringLiteral("The phone folder (default: $DVSK_SIM_PHONE, else the bundled sample phone)."), QStringLiteral("DIR"));
    const QCommandLineOption optPort(QStringLiteral("port"), QStringLiteral("TCP port on 127.0.0.1 (default 0: any free port)."), QStringLiteral("PORT"), QStringLiteral("0"));
    const QCommandLineOption optPortFile(QStringLiteral("port-file"), QStringLiteral("Write the port to FILE once listening."), QStringLiteral("FILE"));
    const QCommandLineOption optMaxData(QStringLiteral("max-data"), QStringLiteral("Largest message payload offered to the server (default 1048576)."), QStringLiteral("BYTES"), QStringLiteral("1048576"));
    const QCommandLineOption optRate(QStringLiteral("rate"), QStringLiteral("Link rate in bytes per second, 0 unlimited (default: phone.ini rateLimitKBps)."), QStringLiteral("BYTES"));
    const QCommandLineOption optLatency(QStringLiteral("latency"), QStringLiteral("Delay every message by MS milliseconds in each direction, 0 none (default: phone.ini latencyMs)."), QStringLiteral("MS"));
    const QCommandLineOption optUnplug(QStringLiteral("unplug-after-files"), QStringLiteral("Unplug after N files were sent, 0 never (default: phone.ini unplugAfterFiles)."), QStringLiteral("N"));
    const QCommandLineOption optStall(QStringLiteral("stall-after-files"), QStringLiteral("Stop answering (without unplugging) once N files were sent, 0 never."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption optStallOn(QStringLiteral("stall-on"), QStringLiteral("Stop answering (without unplugging) when a service containing TEXT is opened."), QStringLiteral("TEXT"));
    const QCommandLineOption optUnplugOn(QStringLiteral("unplug-on"), QStringLiteral("Unplug when a service containing TEXT is opened (e.g. \"shell:df\")."), QStringLiteral("TEXT"));
    const QCommandLineOption optUnauthorized(QStringLiteral("unauthorized"), QStringLiteral("Never accept the server's key: the phone stays unauthorized."));
    const QCommandLineOption optNoListV2(QStringLiteral("no-ls-v2"), QStringLiteral("Act as a phone of Android 9 or older: no ls_v2, folders are listed with LIST only."));
    const QCommandLineOption optDeny(QStringLiteral("deny"), QStringLiteral("Refuse to send this file (Permission denied); may be repeated."), QStringLiteral("PATH"));
    const QCommandLineOption optVerbose(QStringLiteral("verbose"), QStringLiteral("Log every message received."));
    parser.addOptions({optPhone, optPort, optPortFile, optMaxData, optRate, optLatency, optUnplug, optStall, optStallOn, optUnplugOn, optUnauthorized, optNoListV2, optDeny, optVerbose});
    parser.process(app);

    SimulatorOptions options;
    options.strPhoneDir = parser.isSet(optPhone) ? parser.value(optPhone) : DefaultPhoneDir();
    bool bPort = false;
    bool bMaxData = false;
    const uint nPort = parser.value(optPort).toUInt(&bPort);
    options.nPort = quint16(nPort);
    options.nMaxData = parser.value(optMaxData).toLongLong(&bMaxData);
    bool bOk = bPort && nPort <= 65535 && bMaxData && options.nMaxData >= 256;
    if (parser.isSet(optRate)) {
        bool bRate = false;
        options.nBytesPerSecond = parser.value(optRate).toLongLong(&bRate);
        bOk = bOk && bRate && options.nBytesPerSecond >= 0;
    }
    if (parser.isSet(optLatency)) {
        bool bLatency = false;
        options.nLatencyMs = parser.value(optLatency).toInt(&bLatency);
        bOk = bOk && bLatency && options.nLatencyMs >= 0 && options.nLatencyMs <= AdbPhone::kMaxLatencyMs;
    }
    if (parser.isSet(optUnplug)) {
        bool bUnplug = false;
        options.nUnplugAfterFiles = parser.value(optUnplug).toInt(&bUnplug);
        bOk = bOk && bUnplug && options.nUnplugAfterFiles >= 0;
    }
    bool bStall = false;
    options.nStallAfterFiles = parser.value(optStall).toInt(&bStall);
    bOk = bOk && bStall && options.nStallAfterFiles >= 0;
    options.strStallOn = parser.value(optStallOn);
    options.strUnplugOn = parser.value(optUnplugOn);
    if (!bOk) {
        fprintf(stderr, "adb-phone-sim: bad option value (see --help)\n");
        return 2;
    }
    options.bUnauthorized = parser.isSet(optUnauthorized);
    options.bNoListV2 = parser.isSet(optNoListV2);
    options.listDeniedFiles = parser.values(optDeny);
    options.bVerbose = parser.isSet(optVerbose);
    if (!QFile::exists(QDir(options.strPhoneDir).filePath(QStringLiteral("phone.ini")))) {
        fprintf(stderr, "adb-phone-sim: no phone.ini in %s\n", qPrintable(options.strPhoneDir));
        return 1;
    }

    PhoneSimulator simulator(options);
    QString strError;
    if (!simulator.Listen(&strError)) {
        fprintf(stderr, "adb-phone-sim: cannot listen on 127.0.0.1:%u: %s\n", nPort, qPrintable(strError));
        return 1;
    }
    if (parser.isSet(optPortFile)) {
        QSaveFile file(parser.value(optPortFile));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::number(simulator.Port()) + '\n') < 0 || !file.commit()) {
            fprintf(stderr, "adb-phone-sim: cannot write %s\n", qPrintable(parser.value(optPortFile)));
            return 1;
        }
    }
    printf("adb-phone-sim: serving %s on 127.0.0.1:%u\n", qPrintable(QDir(options.strPhoneDir).absolutePath()), simulator.Port());
    fflush(stdout);
    SimulatorConsole console(&simulator);
    const int nResult = app.exec();
    printf("%s\n", qPrintable(simulator.Status()));
    return nResult;
}
