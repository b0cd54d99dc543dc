#include "RestoreCommand.h"

#include "DeviceChoice.h"
#include "OptionReader.h"
#include "RunCommand.h"
#include "ToolOutput.h"

#include <BackupKinds.h>
#include <RestoreTexts.h>
#include <SdkRestoreDevice.h>


namespace
{
// The progress bar's range: bytes weigh most, finished kinds the rest.
constexpr int kProgressRange = 1000;

int Permille(const RestoreRunner::Progress &progress)
{
    const double dBytes = progress.nBytes > 0 ? double(progress.nBytesDone) / double(progress.nBytes) : 1.0;
    const double dItems = progress.nItems > 0 ? double(progress.nItemsDone) / double(progress.nItems) : 1.0;
    return int(kProgressRange * (0.8 * dBytes + 0.2 * dItems));
}

// Sizes in the units the backup's summary and the window use (KB, MB: powers
// of 1024).
QString SizeText(qint64 nBytes)
{
    if (nBytes < 1024)
        return QStringLiteral("%1 bytes").arg(nBytes);
    if (nBytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(double(nBytes) / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(double(nBytes) / (1024.0 * 1024.0), 0, 'f', 1);
}
} // namespace

QString RestoreCommand::Help()
{
    return QStringLiteral(
        "Usage: backuptool restore BACKUP [--device DEV] [--phone DIR] [--items LIST] [--dry-run]\n"
        "\n"
        "Puts a backup back on the phone. BACKUP is a package (backup_....zip)\n"
        "with its backup folder beside it, or the backup folder. The package is\n"
        "verified first, as 'backuptool verify' does; a damaged package is\n"
        "refused with the reason.\n"
        "\n"
        "Images, videos and audio go back to their phone paths with their\n"
        "modification times; a file already there with the same size and time\n"
        "is skipped, and a different file there is never replaced: the restored\n"
        "copy takes a free name (\"name (1).jpg\"). Applications are installed\n"
        "unless the same or a newer version is. Contacts, calendar and call log\n"
        "are added, skipping what the phone already holds. Text and multimedia\n"
        "messages, e-mail and application data cannot be restored: they need an\n"
        "app on the phone. Details: docs/restore.md.\n"
        "\n"
        "Options:\n"
        "  --device DEV   the phone: sim (the simulated phone), adb (the one\n"
        "                 Android phone the adb server knows) or adb:SERIAL;\n"
        "                 default: $DVSK_DEVICE, else adb\n"
        "  --phone DIR    restore onto the simulated phone in DIR (a folder with\n"
        "                 phone.ini)\n"
        "  --items LIST   comma-separated items to restore, or all, by the names\n"
        "                 'backuptool run --help' lists (tiles such as media,\n"
        "                 kinds such as images, words such as photos); default:\n"
        "                 everything the backup holds\n"
        "  --dry-run      say, per kind, what would be restored, skipped and left\n"
        "                 out, and change nothing on the phone\n"
        "  --help         show this help\n"
        "\n"
        "Shows a live progress line (kinds, files, bytes); Ctrl-C, SIGTERM and a\n"
        "closed terminal cancel (what was restored before stays on the phone).\n"
        "Ends with a summary per kind: restored, already on the phone, failed\n"
        "(with the phone's reason) and not restorable (with why).\n"
        "\n"
        "Exit status: 0 everything restorable was restored or was already on\n"
        "the phone (a dry run: the plan was made); 1 anything less: something\n"
        "failed, the package is missing or damaged, or the phone cannot be\n"
        "used; 2 wrong arguments; 4 phone disconnected; 130 cancelled.");
}

int RestoreCommand::Run(const QStringList &listArgs, ToolOutput &out)
{
    QStringList listPositional;
    QString strError;
    QString strDevice;
    QString strPhone;
    QString strItems;
    bool bDryRun = false;
    OptionReader reader;
    reader.AddValue(QStringLiteral("--device"), &strDevice, QStringLiteral("--device needs sim, adb or adb:SERIAL"));
    reader.AddValue(QStringLiteral("--phone"), &strPhone, QStringLiteral("--phone needs a folder"));
    reader.AddValue(QStringLiteral("--items"), &strItems, QStringLiteral("--items needs a list"));
    reader.AddSwitch(QStringLiteral("--dry-run"), &bDryRun);
    if (!reader.Read(listArgs, &listPositional, strError))
        return out.UsageError(QStringLiteral("restore"), strError);
    if (listPositional.size() != 1)
        return out.UsageError(QStringLiteral("restore"), QStringLiteral("expects one BACKUP (a package or a backup folder)"));

    QList<int> listCodes;
    if (!strItems.isEmpty()) {
        BackupItems items;
        if (!RunCommand::ParseItems(strItems, items, strError))
            return out.UsageError(QStringLiteral("restore"), strError);
        for (const BackupKind &kind : BackupKinds::All()) {
            if (kind.bRuns && BackupKinds::IsSelected(items, kind))
                listCodes << kind.nCode;
        }
    }
    const int nDevice = DeviceChoice::Apply(QStringLiteral("restore"), strDevice, strPhone, out);
    if (nDevice >= 0)
        return nDevice;

    SdkRestoreDevice device;
    RestoreCommand command(out, device, bDryRun);
    return command.Exec(listPositional.first(), listCodes);
}

RestoreCommand::RestoreCommand(ToolOutput &out, RestoreDevice &device, bool bDryRun)
    : QObject(nullptr)
    , m_out(out)
    , m_bDryRun(bDryRun)
    , m_runner(device)
    , m_progress(stderr, RunProgress::IsTerminal(stderr))
{
    connect(&m_interrupts, &InterruptSignals::signalInterrupted, this, &RestoreCommand::slotInterrupt);
    connect(&m_runner, &RestoreRunner::signalPlanned, this, &RestoreCommand::slotPlanned);
    connect(&m_runner, &RestoreRunner::signalProgress, this, &RestoreCommand::slotProgress);
    connect(&m_runner, &RestoreRunner::signalItemStarted, this, &RestoreCommand::slotItemStarted);
    connect(&m_runner, &RestoreRunner::signalFinished, this, &RestoreCommand::slotFinished);
}

RestoreCommand::~RestoreCommand() = default;

int RestoreCommand::Exec(const QString &strBackup, const QList<int> &listCodes)
{
    m_out.Line(m_bDryRun ? QStringLiteral("Reading the backup and the phone (dry run: nothing is written)...")
                         : QStringLiteral("Reading the backup and the phone..."));
    m_runner.Start(strBackup, listCodes, m_bDryRun);
    const int nStatus = m_loop.exec();
    m_runner.Wait();
    return nStatus;
}

void RestoreCommand::slotPlanned(const RestorePlan &plan)
{
    if (m_bDryRun)
        return;
    m_out.Line(QStringLiteral("Restoring %1 files (%2) and the records onto the phone (Ctrl-C cancels)")
                   .arg(plan.FilesToSend())
                   .arg(SizeText(plan.BytesToSend())));
    m_progress.SetRange(kProgressRange);
}

void RestoreCommand::slotItemStarted(int nCode)
{
    m_strKind = RestoreTexts::KindName(nCode);
    m_progress.SetModule(m_strKind);
}

void RestoreCommand::slotProgress(const RestoreRunner::Progress &progress)
{
    const int nPermille = Permille(progress);
    if (progress.nFiles > 0) {
        m_progress.SetModule(m_strKind, QStringLiteral("%1/%2 files, %3/%4")
                                            .arg(progress.nFilesDone)
                                            .arg(progress.nFiles)
                                            .arg(SizeText(progress.nBytesDone))
                                            .arg(SizeText(progress.nBytes)));
    }
    if (nPermille > m_nDrawn) {
        m_progress.Add(float(nPermille - m_nDrawn));
        m_nDrawn = nPermille;
    }
}

void RestoreCommand::slotFinished(const RestoreSummary &summary)
{
    if (!m_bDryRun && m_nDrawn > 0)
        m_progress.Finish(summary.end == RestoreSummary::End::Completed && summary.TotalFailed() == 0);
    if (summary.end == RestoreSummary::End::NotStarted) {
        m_loop.exit(m_out.Error(QStringLiteral("restore: %1").arg(summary.strError)));
        return;
    }
    for (const QString &strLine : summary.Lines())
        m_out.Line(strLine);
    m_loop.exit(summary.ExitStatusCode());
}

void RestoreCommand::slotInterrupt()
{
    if (m_bInterrupted)
        return;
    m_bInterrupted = true;
    m_progress.Interrupt();
    m_out.Line(QStringLiteral("Cancelling the restore..."));
    m_runner.Cancel();
}
