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
#include <limits>

namespace
{
QString DefaultPhoneDir()
{
    const QString strEnv = qEnvironmentVariable("DVSK_SIM_PHONE");
    if (!strEnv.isEmpty())
        return strEnv;
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../samples/phone"));
}

void AddOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Serves a phone folder to the adb server as a phone on 127.0.0.1 (adb connect 127.0.0.1:PORT).\n"
        "Standard input takes the commands status, unplug, plug, allow (tap Allow on an unauthorised phone), stall and quit."));
    parser.addHelpOption();
    const auto option = [&parser](const char *szName, const char *szHelp, const char *szValue = nullptr,
                                  const char *szDefault = nullptr) {
        QCommandLineOption opt(QString::fromLatin1(szName), QString::fromLatin1(szHelp));
        if (szValue)
            opt.setValueName(QString::fromLatin1(szValue));
        if (szDefault)
            opt.setDefaultValue(QString::fromLatin1(szDefault));
        parser.addOption(opt);
    };
    option("phone", "The phone folder (default: $DVSK_SIM_PHONE, else the bundled sample phone).", "DIR");
    option("port", "TCP port on 127.0.0.1 (default 0: any free port).", "PORT", "0");
    option("port-file", "Write the port to FILE once listening.", "FILE");
    option("max-data", "Largest message payload offered to the server (default 1048576).", "BYTES", "1048576");
    option("rate", "Link rate in bytes per second, 0 unlimited (default: phone.ini rateLimitKBps).", "BYTES");
    option("latency", "Delay every message by MS milliseconds in each direction, 0 none (default: phone.ini latencyMs).", "MS");
    option("unplug-after-files", "Unplug after N files were sent, 0 never (default: phone.ini unplugAfterFiles).", "N");
    option("stall-after-files", "Stop answering (without unplugging) once N files were sent, 0 never.", "N", "0");
    option("stall-on", "Stop answering (without unplugging) when a service containing TEXT is opened.", "TEXT");
    option("unplug-on", "Unplug when a service containing TEXT is opened (e.g. \"shell:df\").", "TEXT");
    option("unauthorized", "Never accept the server's key: the phone stays unauthorized.");
    option("no-ls-v2", "Act as a phone of Android 9 or older: no ls_v2, folders are listed with LIST only.");
    option("deny", "Refuse to send this file (Permission denied); may be repeated.", "PATH");
    option("verbose", "Log every message received.");
}

// Reads the number option szName into *pValue when it is given; false when
// it is not a number from nMin to nMax.
template <typename T>
bool ReadNumber(const QCommandLineParser &parser, const char *szName, qint64 nMin, qint64 nMax, T *pValue)
{
    const QString strName = QString::fromLatin1(szName);
    if (!parser.isSet(strName) && parser.value(strName).isEmpty())
        return true;
    bool bOk = false;
    const qint64 nValue = parser.value(strName).toLongLong(&bOk);
    if (!bOk || nValue < nMin || nValue > nMax)
        return false;
    *pValue = T(nValue);
    return true;
}

bool ReadOptions(const QCommandLineParser &parser, SimulatorOptions &options)
{
    options.strPhoneDir = parser.isSet(QStringLiteral("phone")) ? parser.value(QStringLiteral("phone")) : DefaultPhoneDir();
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    const bool bOk = ReadNumber(parser, "port", 0, 65535, &options.nPort)
        && ReadNumber(parser, "max-data", 256, kMax, &options.nMaxData)
        && ReadNumber(parser, "rate", 0, kMax, &options.nBytesPerSecond)
        && ReadNumber(parser, "latency", 0, AdbPhone::kMaxLatencyMs, &options.nLatencyMs)
        && ReadNumber(parser, "unplug-after-files", 0, std::numeric_limits<int>::max(), &options.nUnplugAfterFiles)
        && ReadNumber(parser, "stall-after-files", 0, std::numeric_limits<int>::max(), &options.nStallAfterFiles);
    options.strStallOn = parser.value(QStringLiteral("stall-on"));
    options.strUnplugOn = parser.value(QStringLiteral("unplug-on"));
    options.bUnauthorized = parser.isSet(QStringLiteral("unauthorized"));
    options.bNoListV2 = parser.isSet(QStringLiteral("no-ls-v2"));
    options.listDeniedFiles = parser.values(QStringLiteral("deny"));
    options.bVerbose = parser.isSet(QStringLiteral("verbose"));
    return bOk;
}

bool WritePortFile(const QString &strPath, quint16 nPort)
{
    QSaveFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray::number(nPort) + '\n') >= 0 && file.commit();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("adb-phone-sim"));
    QCommandLineParser parser;
    AddOptions(parser);
    parser.process(app);

    SimulatorOptions options;
    if (!ReadOptions(parser, options)) {
        fprintf(stderr, "adb-phone-sim: bad option value (see --help)\n");
        return 2;
    }
    if (!QFile::exists(QDir(options.strPhoneDir).filePath(QStringLiteral("phone.ini")))) {
        fprintf(stderr, "adb-phone-sim: no phone.ini in %s\n", qPrintable(options.strPhoneDir));
        return 1;
    }

    PhoneSimulator simulator(options);
    QString strError;
    if (!simulator.Listen(&strError)) {
        fprintf(stderr, "adb-phone-sim: cannot listen on 127.0.0.1:%u: %s\n", unsigned(options.nPort), qPrintable(strError));
        return 1;
    }
    const QString strPortFile = parser.value(QStringLiteral("port-file"));
    if (!strPortFile.isEmpty() && !WritePortFile(strPortFile, simulator.Port())) {
        fprintf(stderr, "adb-phone-sim: cannot write %s\n", qPrintable(strPortFile));
        return 1;
    }
    printf("adb-phone-sim: serving %s on 127.0.0.1:%u\n", qPrintable(QDir(options.strPhoneDir).absolutePath()), simulator.Port());
    fflush(stdout);
    SimulatorConsole console(&simulator);
    const int nResult = app.exec();
    printf("%s\n", qPrintable(simulator.Status()));
    return nResult;
}
