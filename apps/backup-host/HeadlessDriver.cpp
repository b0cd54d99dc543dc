#include "HeadlessDriver.h"

#include "HostFrame.h"
#include "PluginHost.h"
#include "WizardView.h"

#include <FolderMaker.h>

#include <host/CustomPopupDialog.h>
#include <host/HostCallLog.h>
#include <host/HostPluginIds.h>
#include <host/IBackUpOutFuncInterface.h>

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

namespace
{
constexpr int kPollInterval = 50;
constexpr int kBarWidth = 30;
// A terminal line is redrawn at most this often.
constexpr qint64 kRedrawInterval = 100;
// The progress picture is taken once the bar has passed this share.
constexpr int kMidRunPercent = 40;

// Keys of the plugin's run report.
const char *const kReportCancelled = "cancelled";
const char *const kReportDestination = "destination";
const char *const kReportPackage = "package";
const char *const kReportFolder = "folder";
const char *const kReportSummary = "summary";
const char *const kReportExitStatus = "exitStatus";

QString SameFolder(const QString &strPath)
{
    return QDir::cleanPath(QFileInfo(strPath).absoluteFilePath());
}
} // namespace

HeadlessDriver::HeadlessDriver(PluginHost &host, HostFrame &frame, const HostOptions &options, std::FILE *pOut,
                               std::FILE *pErr, QObject *pParent)
    : QObject(pParent), m_host(host), m_frame(frame), m_options(options), m_pOut(pOut), m_pErr(pErr),
      m_bTerminal(pOut && isatty(fileno(pOut)) == 1), m_pPollTimer(new QTimer(this))
{
    m_pPollTimer->setInterval(kPollInterval);
    connect(m_pPollTimer, &QTimer::timeout, this, &HeadlessDriver::slotPoll);
}

HeadlessDriver::~HeadlessDriver() = default;

QString HeadlessDriver::CallerPluginName(int nCaller)
{
    switch (nCaller) {
    case HostOptions::CallerUpdate: return QStringLiteral(HOST_UPDATE_PLUGIN_NAME);
    case HostOptions::CallerRom: return QStringLiteral(HOST_ROM_PLUGIN_NAME);
    default: return QString();
    }
}

void HeadlessDriver::Start()
{
    QObject *pReport = m_host.RunReport();
    if (!pReport || !connect(pReport, SIGNAL(signalRunEnded(QVariantMap)), this, SLOT(slotRunEnded(QVariantMap)))) {
        Fail(ExitUsage, QStringLiteral("the plugin gives no run report; cannot follow a backup"));
        return;
    }
    connect(HostCallLog::Instance(), &HostCallLog::signalRecorded, this, &HeadlessDriver::slotHostCall);
    Line(QStringLiteral("Counting the items on the phone..."));
    ChangePhase(Phase::Counting);
    m_pPollTimer->start();
}

void HeadlessDriver::ChangePhase(Phase phase)
{
    m_phase = phase;
    m_sinceChange.start();
}

void HeadlessDriver::slotPoll()
{
    const qint64 nTimeout = qint64(m_options.nTimeoutSeconds) * 1000;
    switch (m_phase) {
    case Phase::Counting: {
        WizardView view(m_host.Widget());
        if (WaitingForPhone(view))
            break;
        if (view.IsCountingDone())
            StartBackup();
        else if (m_sinceChange.elapsed() > nTimeout)
            Fail(ExitStuck, QStringLiteral("the phone's items were not counted within %1 s").arg(m_options.nTimeoutSeconds));
        break;
    }
    case Phase::Running:
        FollowProgress();
        if (m_phase == Phase::Running && m_sinceChange.elapsed() > nTimeout)
            Fail(ExitStuck, QStringLiteral("the backup did not move on within %1 s").arg(m_options.nTimeoutSeconds));
        break;
    case Phase::Cancelling: {
        WizardView view(m_host.Widget());
        if (m_bReported && m_mapReport.value(QLatin1String(kReportCancelled)).toBool()) {
            FinishCancelled();
        } else if (m_bReported) {
            // The run had ended before the cancel reached it: it is kept.
            EndProgressLine();
            Line(QStringLiteral("The backup had already finished when it was cancelled; it is kept."));
            FinishRun();
        } else if (m_sinceChange.elapsed() > nTimeout) {
            Fail(ExitStuck, QStringLiteral("the backup was not cancelled within %1 s").arg(m_options.nTimeoutSeconds));
        }
        break;
    }
    case Phase::Done:
        break;
    }
}

bool HeadlessDriver::WaitingForPhone(const WizardView &view)
{
    const QString strState = view.ConnectState();
    if (strState.isEmpty()) {
        // The page moved on: counting gets its whole time from here.
        if (!m_strConnectState.isEmpty()) {
            m_strConnectState.clear();
            ChangePhase(Phase::Counting);
        }
        return false;
    }
    if (strState != m_strConnectState) {
        m_strConnectState = strState;
        Line(strState);
    }
    if (m_sinceChange.elapsed() > qint64(m_options.nTimeoutSeconds) * 1000)
        Fail(ExitStuck, QStringLiteral("no phone became ready within %1 s").arg(m_options.nTimeoutSeconds));
    return true;
}

void HeadlessDriver::StartBackup()
{
    WizardView view(m_host.Widget());
    QStringList listCounts;
    for (const TileState &tile : TileStates(view))
        listCounts << QStringLiteral("%1 %2").arg(tile.strName, tile.strCount.isEmpty() ? QStringLiteral("0") : tile.strCount);
    Line(QStringLiteral("On the phone: %1").arg(listCounts.isEmpty() ? QStringLiteral("(no items offered)")
                                                                      : listCounts.join(QStringLiteral(", "))));
    if (!m_options.strDestination.isEmpty() && !ChooseDestination(view))
        return;
    if (!m_options.listItems.isEmpty())
        ChooseTiles(view);

    QStringList listSelected;
    for (const TileState &tile : TileStates(view)) {
        if (tile.bChecked)
            listSelected << tile.strName;
    }
    Line(QStringLiteral("Selected: %1").arg(listSelected.isEmpty() ? QStringLiteral("nothing")
                                                                    : listSelected.join(QStringLiteral(", "))));
    SaveShot(QStringLiteral("1-prepare.png"));
    if (listSelected.isEmpty()) {
        Fail(ExitFailed, QStringLiteral("nothing is selected, so the wizard does not start a backup"));
        return;
    }
    PressStart(view);
}

QList<HeadlessDriver::TileState> HeadlessDriver::TileStates(const WizardView &view)
{
    QList<TileState> listStates;
    const QList<WizardView::Tile> listTiles = view.Tiles();
    for (const QString &strName : HostOptions::TileNames()) {
        for (const WizardView::Tile &tile : listTiles) {
            if (tile.strWord == HostOptions::TileObjectWord(strName))
                listStates.append({strName, tile.strCount, tile.bChecked});
        }
    }
    return listStates;
}

bool HeadlessDriver::ChooseDestination(WizardView &view)
{
    const QString strFolder = SameFolder(m_options.strDestination);
    QString strReason;
    if (!FolderMaker::MakePath(strFolder, strReason)) {
        Fail(ExitUsage, QStringLiteral("cannot create the destination %1: %2")
                            .arg(QDir::toNativeSeparators(strFolder), strReason));
        return false;
    }
    if (!view.Browse(strFolder) || SameFolder(view.Destination()) != strFolder) {
        Fail(ExitUsage, QStringLiteral("the wizard's browse button did not take %1 (it shows %2)")
                            .arg(QDir::toNativeSeparators(strFolder), view.Destination()));
        return false;
    }
    return true;
}

void HeadlessDriver::ChooseTiles(WizardView &view)
{
    QStringList listUnavailable;
    for (const QString &strName : HostOptions::TileNames()) {
        const bool bWanted = m_options.listItems.contains(strName);
        if (!view.SetTileChecked(HostOptions::TileObjectWord(strName), bWanted) && bWanted)
            listUnavailable << strName;
    }
    if (!listUnavailable.isEmpty())
        Line(QStringLiteral("Not offered or nothing on the phone: %1").arg(listUnavailable.join(QStringLiteral(", "))));
}

void HeadlessDriver::PressStart(WizardView &view)
{
    QPushButton *pNext = view.NextButton();
    if (!pNext) {
        Fail(ExitStuck, QStringLiteral("the prepare page has no next button"));
        return;
    }
    qInfo("backup-host: next pressed");
    m_stallMeter.Start();
    pNext->click();

    const QString strWarning = view.SpaceWarning();
    const bool bStarted = m_options.nCaller == HostOptions::CallerNone ? view.CurrentPage() == view.ProgressPage()
                                                                       : strWarning.isEmpty();
    if (!bStarted) {
        Fail(ExitFailed, QStringLiteral("the wizard did not start the backup%1")
                             .arg(strWarning.isEmpty() ? QString() : QStringLiteral(": ") + strWarning));
        return;
    }
    if (m_options.nCaller != HostOptions::CallerNone)
        Line(QStringLiteral("Backing up into %1 for %2 (Ctrl-C cancels)")
                 .arg(view.Destination(), CallerPluginName(m_options.nCaller)));
    else
        Line(QStringLiteral("Backing up into %1 (Ctrl-C cancels)").arg(view.Destination()));
    ChangePhase(Phase::Running);
}

void HeadlessDriver::FollowProgress()
{
    WizardView view(m_host.Widget());
    const QString strTip = view.ProgressTip();

    if (m_options.nCaller != HostOptions::CallerNone) {
        // The requesting plugin is in front; the progress page follows the
        // run out of sight and only its tip line changes.
        if (strTip != m_strLastTip) {
            m_sinceChange.restart();
            DrawProgress(-1, strTip, false);
            if (!m_bMidShotTaken && !strTip.isEmpty())
                m_bMidShotTaken = SaveShot(QStringLiteral("2-progress.png"));
        }
        if (m_bReported)
            FinishRun();
        return;
    }

    QWidget *pPage = view.CurrentPage();
    if (pPage && pPage == view.ResultPage()) {
        FinishRun();
        return;
    }
    if (!pPage) {
        // The window went away: a cancel from elsewhere (the phone was
        // unplugged, the host closed) or the run ended without a result page.
        if (m_bReported && m_mapReport.value(QLatin1String(kReportCancelled)).toBool())
            FinishCancelled();
        return;
    }
    const int nPercent = view.ProgressPercent();
    if (nPercent != m_nLastPercent || strTip != m_strLastTip) {
        m_sinceChange.restart();
        DrawProgress(nPercent, strTip, false);
    }
    if (!m_bMidShotTaken && nPercent >= kMidRunPercent && nPercent < 100)
        m_bMidShotTaken = SaveShot(QStringLiteral("2-progress.png"));
}

void HeadlessDriver::FinishRun()
{
    m_stallMeter.Stop();
    if (!m_bReported) {
        Fail(ExitFailed, QStringLiteral("the wizard ended without the plugin reporting the run"));
        return;
    }
    WizardView view(m_host.Widget());
    const bool bResultPage = m_options.nCaller == HostOptions::CallerNone && view.CurrentPage()
                             && view.CurrentPage() == view.ResultPage();
    // The bar's last value and tip: 100 % after a complete run, where the run
    // stopped after any other.
    const int nLastPercent = view.ProgressPercent();
    if (m_phase == Phase::Running && m_options.nCaller == HostOptions::CallerNone && nLastPercent >= 0)
        DrawProgress(nLastPercent, view.ProgressTip(), true);
    else
        EndProgressLine();
    SaveShot(QStringLiteral("3-result.png"));
    if (bResultPage)
        Line(QStringLiteral("Result page: %1").arg(view.ResultTexts().join(QStringLiteral(" | "))));

    const QStringList listSummary = m_mapReport.value(QLatin1String(kReportSummary)).toStringList();
    for (const QString &strLine : listSummary)
        Line(strLine);
    if (m_options.bMeasureStall)
        Line(QStringLiteral("UI thread longest stall: %1 ms (%2 ticks of a %3 ms timer; it ended %4 ms after next); "
                            "most processor time used between two ticks: %5 ms")
                 .arg(m_stallMeter.LongestGap())
                 .arg(m_stallMeter.Ticks())
                 .arg(StallMeter::kTickInterval)
                 .arg(m_stallMeter.LongestGapEnd())
                 .arg(m_stallMeter.LongestBusy()));

    if (bResultPage) {
        if (QPushButton *pFinish = view.FinishButton())
            pFinish->click();
    }
    Finish(m_mapReport.value(QLatin1String(kReportExitStatus), int(ExitFailed)).toInt());
}

void HeadlessDriver::FinishCancelled()
{
    m_stallMeter.Stop();
    EndProgressLine();
    // The cancel job removes the run's files once more after waiting for the
    // phone; ending the plugin's threads waits for it.
    m_host.Shutdown();
    const QString strPackage = m_mapReport.value(QLatin1String(kReportPackage)).toString();
    const QString strFolder = m_mapReport.value(QLatin1String(kReportFolder)).toString();
    const bool bLeft = (!strPackage.isEmpty() && QFileInfo::exists(strPackage))
                       || (!strFolder.isEmpty() && QFileInfo::exists(strFolder));
    if (bLeft) {
        ErrorLine(QStringLiteral("backup-host: cancelled, but some of the run's files could not be removed"));
    } else {
        const QStringList listSummary = m_mapReport.value(QLatin1String(kReportSummary)).toStringList();
        if (listSummary.isEmpty())
            Line(QStringLiteral("Backup cancelled. Nothing of this run was kept in %1")
                     .arg(m_mapReport.value(QLatin1String(kReportDestination)).toString()));
        for (const QString &strLine : listSummary)
            Line(strLine);
    }
    Finish(ExitCancelled);
}

void HeadlessDriver::slotInterrupt()
{
    switch (m_phase) {
    case Phase::Counting:
        Fail(ExitCancelled, QStringLiteral("cancelled before the backup started; nothing was written"));
        return;
    case Phase::Running: {
        EndProgressLine();
        Line(QStringLiteral("Cancelling the backup..."));
        WizardView view(m_host.Widget());
        if (m_options.nCaller != HostOptions::CallerNone) {
            if (IBackUpOutFuncInterface *pOutFunc = m_host.OutFunc())
                pOutFunc->CancelOutFuncBackup();
        } else if (QPushButton *pCancel = view.ProgressCancelButton()) {
            pCancel->click();
        }
        // The page asks before it cancels; the user says yes.
        if (CustomPopupDialog *pDialog = view.CancelDialog())
            pDialog->GetOkButton()->click();
        ChangePhase(Phase::Cancelling);
        return;
    }
    case Phase::Cancelling:
        Line(QStringLiteral("Still cancelling; the run's files are removed before the host ends."));
        return;
    case Phase::Done:
        return;
    }
}

void HeadlessDriver::slotRunEnded(const QVariantMap &mapReport)
{
    m_mapReport = mapReport;
    m_bReported = true;
    m_sinceChange.restart();
}

void HeadlessDriver::slotHostCall(const QString &strLine)
{
    const QString strCaller = CallerPluginName(m_options.nCaller);
    if (strCaller.isEmpty() || !strLine.startsWith(strCaller + QLatin1Char('.')))
        return;
    EndProgressLine();
    Line(QStringLiteral("%1 <- %2").arg(strCaller, strLine.mid(strCaller.size() + 1)));
}

void HeadlessDriver::Fail(int nStatus, const QString &strText)
{
    m_stallMeter.Stop();
    EndProgressLine();
    ErrorLine(QStringLiteral("backup-host: ") + strText);
    Finish(nStatus);
}

void HeadlessDriver::Finish(int nStatus)
{
    m_nStatus = nStatus;
    m_phase = Phase::Done;
    m_pPollTimer->stop();
    // Out of the current call chain: the receiver closes the host.
    QTimer::singleShot(0, this, [this]() { emit signalDone(m_nStatus); });
}

bool HeadlessDriver::SaveShot(const QString &strName)
{
    if (m_options.strShotsDir.isEmpty())
        return true;
    const QDir dir(m_options.strShotsDir);
    if (!QDir().mkpath(dir.absolutePath())) {
        ErrorLine(QStringLiteral("backup-host: cannot create %1").arg(QDir::toNativeSeparators(dir.absolutePath())));
        return false;
    }
    const QString strPath = dir.absoluteFilePath(strName);
    const QPixmap pixmap = m_frame.PluginArea()->grab();
    if (pixmap.isNull() || !pixmap.save(strPath, "PNG")) {
        ErrorLine(QStringLiteral("backup-host: cannot save %1").arg(QDir::toNativeSeparators(strPath)));
        return false;
    }
    EndProgressLine();
    Line(QStringLiteral("Picture: %1").arg(QDir::toNativeSeparators(strPath)));
    return true;
}

void HeadlessDriver::DrawProgress(int nPercent, const QString &strTip, bool bFinal)
{
    const bool bTipChanged = strTip != m_strLastTip;
    m_nLastPercent = nPercent;
    m_strLastTip = strTip;
    if (!m_pOut)
        return;
    if (nPercent < 0) {
        if (bTipChanged && !strTip.isEmpty())
            Line(QStringLiteral("  ") + strTip);
        return;
    }
    const int nShown = qBound(0, nPercent, 100);
    const int nFilled = nShown * kBarWidth / 100;
    QString strText = QLatin1Char('[') + QString(nFilled, QLatin1Char('#')) + QString(kBarWidth - nFilled, QLatin1Char('.'))
                      + QLatin1Char(']') + QStringLiteral(" %1%").arg(nShown, 3);
    if (!strTip.isEmpty())
        strText += QStringLiteral("  ") + strTip;
    if (m_bTerminal) {
        if (!bFinal && m_bProgressLineOpen && m_sinceDraw.isValid() && m_sinceDraw.elapsed() < kRedrawInterval)
            return;
        m_sinceDraw.start();
        const QByteArray baLine = "\r" + strText.toLocal8Bit() + "\x1b[K" + (bFinal ? "\n" : "");
        std::fwrite(baLine.constData(), 1, size_t(baLine.size()), m_pOut);
        std::fflush(m_pOut);
        m_bProgressLineOpen = !bFinal;
        return;
    }
    const int nDecile = nShown / 10;
    if (!bFinal && !bTipChanged && nDecile == m_nLastDecile)
        return;
    m_nLastDecile = nDecile;
    Line(strText);
}

void HeadlessDriver::EndProgressLine()
{
    if (m_bProgressLineOpen && m_pOut) {
        std::fputc('\n', m_pOut);
        std::fflush(m_pOut);
    }
    m_bProgressLineOpen = false;
}

void HeadlessDriver::Line(const QString &strText)
{
    if (!m_pOut)
        return;
    EndProgressLine();
    const QByteArray baLine = strText.toLocal8Bit() + '\n';
    std::fwrite(baLine.constData(), 1, size_t(baLine.size()), m_pOut);
    std::fflush(m_pOut);
}

void HeadlessDriver::ErrorLine(const QString &strText)
{
    EndProgressLine();
    std::FILE *pStream = m_pErr ? m_pErr : m_pOut;
    if (!pStream)
        return;
    const QByteArray baLine = strText.toLocal8Bit() + '\n';
    std::fwrite(baLine.constData(), 1, size_t(baLine.size()), pStream);
    std::fflush(pStream);
}
