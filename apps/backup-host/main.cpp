// backup-host: the suite's host application with the backup plugin.

#include "HostOptions.h"
#include "HostSession.h"
#include "InterruptSignals.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <sdk/dvsk_device.h>
#include <sdk/dvsk_sim.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTime>

#include <cstdio>

namespace
{
enum ExitStatus : int
{
    ExitOk = 0,
    ExitFailed = 1,
    ExitUsage = 2
};

QFile *g_pLogFile = nullptr;
QMutex g_logMutex;

// Everything the plugin and the host log goes to the host's log file;
// critical messages also reach the terminal.
void WriteLog(QtMsgType type, const QMessageLogContext &, const QString &strMessage)
{
    static const char *const kTypes[] = {"D", "W", "C", "F", "I"};
    const QByteArray baLine = QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")).toLatin1() + ' '
                              + kTypes[qBound(0, int(type), 4)] + ' ' + strMessage.toLocal8Bit() + '\n';
    {
        QMutexLocker locker(&g_logMutex);
        if (g_pLogFile) {
            // Debug lines come by the thousand during a backup; they are
            // written in blocks, anything more serious at once.
            g_pLogFile->write(baLine);
            if (type != QtDebugMsg)
                g_pLogFile->flush();
        }
    }
    if (type == QtCriticalMsg || type == QtFatalMsg || !g_pLogFile)
        std::fwrite(baLine.constData(), 1, size_t(baLine.size()), stderr);
}

QString LogFilePath()
{
    const QString strOverride = qEnvironmentVariable("PELORIX_HOST_LOG");
    if (!strOverride.isEmpty())
        return strOverride;
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
           + QStringLiteral("/Pelorix/backup-host.log");
}

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Sends Qt's messages to the log file for as long as it lives; declared
// after the file, so the file outlives it, and before the application and the
// session, so whatever they log while they end still reaches the file.
class LogScope
{
public:
    explicit LogScope(QFile &file)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            g_pLogFile = &file;
        qInstallMessageHandler(WriteLog);
    }
    ~LogScope()
    {
        qInstallMessageHandler(nullptr);
        QMutexLocker locker(&g_logMutex);
        g_pLogFile = nullptr;
    }
    LogScope(const LogScope &) = delete;
    LogScope &operator=(const LogScope &) = delete;
};

int Usage(const QString &strError)
{
    std::fprintf(stderr, "backup-host: %s\nTry 'backup-host --help'.\n", qPrintable(strError));
    return ExitUsage;
}

// Points the simulated phone at the folder the user named.
bool UsePhoneDir(const QString &strPhoneDir, QString &strError)
{
    const QString strPhone = QFileInfo(strPhoneDir).absoluteFilePath();
    qputenv("DVSK_SIM_PHONE", QFile::encodeName(strPhone));
    const int nPhone = DVSK_Sim_SetPhoneDir(QFile::encodeName(strPhone).constData());
    if (nPhone == DVSK_SIM_ERR_BAD_PHONE_INI) {
        strError = QStringLiteral("%1 is not a well-formed INI file (look for a broken [section] line)")
                       .arg(QDir::toNativeSeparators(strPhone + QStringLiteral("/phone.ini")));
        return false;
    }
    if (nPhone != 0) {
        strError = QStringLiteral("%1 holds no phone (phone.ini is missing or unreadable)")
                       .arg(QDir::toNativeSeparators(strPhone));
        return false;
    }
    return true;
}

void LoadStyleSheet(QApplication &app, const QString &strRoot)
{
    QFile styleSheet(QDir(strRoot).filePath(QStringLiteral("skin/default/backup.qss")));
    if (styleSheet.open(QIODevice::ReadOnly | QIODevice::Text))
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
    else
        qWarning().noquote() << "backup-host: no style sheet at" << styleSheet.fileName();
}
} // namespace

int main(int argc, char *argv[])
{
    QStringList listArgs;
    for (int i = 1; i < argc; ++i)
        listArgs << QString::fromLocal8Bit(argv[i]);
    HostOptions options;
    QString strError;
    if (!options.Parse(listArgs, strError))
        return Usage(strError);
    if (options.bHelp) {
        std::printf("%s\n", qPrintable(HostOptions::Help()));
        return ExitOk;
    }
    // Folders named on the command line are the user's, relative to where
    // the user started the program.
    options.ResolvePaths(QDir::currentPath());

    if (options.bHeadless)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (!HasDisplay())
        return Usage(QStringLiteral("no display is available; use --headless"));
    if (!options.strLang.isEmpty())
        qputenv("PELORIX_HOST_LANG", options.strLang.toLatin1());
    if (!options.strPhoneDir.isEmpty() && !UsePhoneDir(options.strPhoneDir, strError))
        return Usage(strError);
    if (!options.strDevice.isEmpty() && DVSK_Device_Select(options.strDevice.toUtf8().constData()) != 0)
        return Usage(QStringLiteral("unknown device '%1'").arg(options.strDevice));
    // A phone that is not there yet, or several, is no reason to end: the
    // wizard's connect page waits for one and lets the user choose.
    const bool bRealPhone = qstrcmp(DVSK_Device_Kind(), "adb") == 0;

    QFile logFile(LogFilePath());
    const LogScope logScope(logFile);
    qInfo().noquote() << "backup-host started" << QDateTime::currentDateTime().toString(Qt::ISODate);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("backup-host"));

    // Skin pictures are named relative to the install folder.
    const QString strRoot = CommonUtils::GetPluginLibraryPath();
    if (!QDir::setCurrent(strRoot))
        return Usage(QStringLiteral("cannot enter the install folder %1").arg(QDir::toNativeSeparators(strRoot)));
    LoadStyleSheet(app, strRoot);
    if (Change::GetRightToLeftLayout())
        QApplication::setLayoutDirection(Qt::RightToLeft);

    // Off screen nobody plugs the phone in: it is connected from the start.
    if (!bRealPhone && QGuiApplication::platformName() == QLatin1String("offscreen"))
        DVSK_Sim_Attach();

    HostSession session(options);
    QObject::connect(&session, &HostSession::signalClosed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    // Ctrl-C, SIGTERM and a closed terminal stop the run as the user's cancel
    // would.
    InterruptSignals interrupts;
    QObject::connect(&interrupts, &InterruptSignals::signalInterrupted, &session, &HostSession::slotInterrupt);

    if (!session.Start(strRoot, strError)) {
        std::fprintf(stderr, "backup-host: %s\n", qPrintable(strError));
        return ExitUsage;
    }
    app.exec();
    const int nStatus = session.ExitStatus();
    if (options.bHeadless && g_pLogFile)
        std::printf("Log: %s\n", qPrintable(QDir::toNativeSeparators(g_pLogFile->fileName())));
    return nStatus;
}
