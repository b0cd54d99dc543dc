// backuptool: the backup package from the command line.

#include "ExportCommand.h"
#include "ExtractCommand.h"
#include "InfoCommand.h"
#include "ListCommand.h"
#include "RestoreCommand.h"
#include "RunCommand.h"
#include "ToolCommand.h"
#include "ToolOutput.h"
#include "VerifyCommand.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdio>

namespace
{
// The commands, in the order the overview lists them. A new command adds its
// own source files and one row here.
const ToolCommand g_commands[] = {
    {"list", "show a package's header: layout, version, phone, counts, entries", &ListCommand::Help,
     &ListCommand::Run},
    {"info", "show the phone a package comes from and the count of every kind", &InfoCommand::Help,
     &InfoCommand::Run},
    {"extract", "write a package's entries into a folder", &ExtractCommand::Help, &ExtractCommand::Run},
    {"verify", "read a whole package and say whether it is sound", &VerifyCommand::Help, &VerifyCommand::Run},
    {"run", "back up the phone without a window, with a progress line", &RunCommand::Help, &RunCommand::Run},
    {"restore", "put a backup back on the phone, with a progress line", &RestoreCommand::Help, &RestoreCommand::Run},
    {"export", "write a package's records as contacts.vcf, calendar.ics, ...", &ExportCommand::Help,
     &ExportCommand::Run},
};

bool g_bVerbose = false;

// The engine's log lines are for developers; the tool prints its own
// messages and shows the log only with --verbose.
void MessageHandler(QtMsgType type, const QMessageLogContext &, const QString &strMessage)
{
    if (!g_bVerbose && type != QtFatalMsg)
        return;
    std::fprintf(stderr, "%s\n", strMessage.toLocal8Bit().constData());
}

QString Overview()
{
    QString strText = QStringLiteral(
        "Usage: backuptool [--verbose] COMMAND [ARGS...]\n"
        "\n"
        "Reads backup packages (the .zip files a backup writes), backs up the\n"
        "phone and puts a backup back on it.\n"
        "\n"
        "Commands:\n");
    for (const ToolCommand &command : g_commands)
        strText += QStringLiteral("  %1 %2\n").arg(QLatin1String(command.szName), -9).arg(QLatin1String(command.szSummary));
    strText += QStringLiteral(
        "\n"
        "Run 'backuptool COMMAND --help' for the arguments of a command.\n"
        "--verbose shows the engine's log lines on the error stream.\n"
        "\n"
        "Exit status of run: 0 every selected item the phone gives was backed up\n"
        "in full into a package that verify calls sound (every run reads its\n"
        "package back; --verify prints the result); 1 anything less (an item\n"
        "failed or fell short, the destination cannot be written, another\n"
        "backup holds the data folder, ...); 2 wrong arguments;\n"
        "4 phone disconnected during the backup (the files copied so far are\n"
        "kept, marked interrupted, for the next run to finish);\n"
        "5 no usable phone (none connected, not allowed, offline, no USB\n"
        "permission or no adb server; nothing was read or written);\n"
        "130 cancelled (Ctrl-C, SIGTERM or a closed terminal).\n"
        "Exit status of restore: see 'backuptool restore --help'; it also ends\n"
        "with 4 when the phone is disconnected and 130 when cancelled.\n"
        "Exit status of list, info, extract, verify and export: 0 success, 1 a\n"
        "missing, unreadable, truncated, malformed or unsound package, a file\n"
        "that is not a backup package, an interrupted backup, or a folder that\n"
        "cannot be written; 2 wrong arguments.");
    return strText;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(MessageHandler);
    ToolOutput out;

    QStringList listArgs = app.arguments().mid(1);
    g_bVerbose = listArgs.removeAll(QStringLiteral("--verbose")) > 0;
    // Without --verbose the engine's lines are not even formatted.
    if (!g_bVerbose)
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false\n*.warning=false"));
    if (listArgs.isEmpty()) {
        out.Error(QStringLiteral("no command given"));
        std::fprintf(stderr, "%s\n", Overview().toLocal8Bit().constData());
        return ToolOutput::ExitUsage;
    }
    const QString strCommand = listArgs.takeFirst();
    if (strCommand == QLatin1String("--help") || strCommand == QLatin1String("-h")
        || strCommand == QLatin1String("help")) {
        if (!listArgs.isEmpty()) {
            for (const ToolCommand &command : g_commands) {
                if (listArgs.first() == QLatin1String(command.szName)) {
                    out.Line(command.pHelp());
                    return ToolOutput::ExitOk;
                }
            }
        }
        out.Line(Overview());
        return ToolOutput::ExitOk;
    }
    for (const ToolCommand &command : g_commands) {
        if (strCommand != QLatin1String(command.szName))
            continue;
        if (ToolOutput::WantsHelp(listArgs)) {
            out.Line(command.pHelp());
            return ToolOutput::ExitOk;
        }
        return command.pRun(listArgs, out);
    }
    out.Error(QStringLiteral("unknown command '%1' (see: backuptool --help)").arg(strCommand));
    return ToolOutput::ExitUsage;
}
