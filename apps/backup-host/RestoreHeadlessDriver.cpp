#include "RestoreHeadlessDriver.h"

#include "HostFrame.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QPixmap>
#include <QTimer>
#include <QVariant>

namespace
{
constexpr int kPollMs = 100;
constexpr int kExitTimedOut = 3;
constexpr int kExitCancelled = 130;
} // namespace

RestoreHeadlessDriver::RestoreHeadlessDriver(QWidget *pWindow, HostFrame &frame, const HostOptions &options,
                                             std::FILE *pOut, std::FILE *pErr, QObject *pParent)
    : QObject(pParent), m_pWindow(pWindow), m_frame(frame), m_options(options), m_pOut(pOut), m_pErr(pErr)
{
}

void RestoreHeadlessDriver::Start()
{
    m_pPollTimer = new QTimer(this);
    connect(m_pPollTimer, &QTimer::timeout, this, &RestoreHeadlessDriver::slotPoll);
    m_pPollTimer->start(kPollMs);
    Print(m_pOut, QStringLiteral("Restoring %1").arg(QDir::toNativeSeparators(m_options.strRestoreBackup)));
}

QWidget *RestoreHeadlessDriver::ShownPage(const char *szName) const
{
    QWidget *pPage = m_pWindow ? m_pWindow->findChild<QWidget *>(QLatin1String(szName)) : nullptr;
    return pPage && pPage->isVisible() ? pPage : nullptr;
}

void RestoreHeadlessDriver::slotPoll()
{
    if (m_phase == Phase::Done)
        return;
    if (QWidget *pComplete = ShownPage("BackUpUIPlugin_Restore_CompletePage")) {
        FinishRun(pComplete);
        return;
    }
    if (m_phase == Phase::Choosing) {
        QWidget *pItems = ShownPage("BackUpUIPlugin_Restore_ItemsPage");
        if (pItems && !pItems->findChildren<QCheckBox *>().isEmpty()) {
            StartRestore(pItems);
            return;
        }
        // The wizard takes the backup at once or stays on its list.
        if (QWidget *pChoose = ShownPage("BackUpUIPlugin_Restore_ChoosePage")) {
            RefuseBackup(pChoose);
            return;
        }
    } else if (ShownPage("BackUpUIPlugin_Restore_DoingPage")) {
        m_nIdlePolls = 0; // a restore in progress is moving on
        return;
    }
    if (++m_nIdlePolls * kPollMs > m_options.nTimeoutSeconds * 1000) {
        Print(m_pErr, QStringLiteral("backup-host: the restore wizard did not move on within %1 s")
                          .arg(m_options.nTimeoutSeconds));
        Finish(kExitTimedOut);
    }
}

void RestoreHeadlessDriver::RefuseBackup(QWidget *pChoose)
{
    SaveShot(QStringLiteral("1-restore-choose.png"));
    // The list names the backup with why it cannot be chosen (interrupted,
    // damaged); a path it does not list is no backup at all.
    QString strGiven = QFileInfo(m_options.strRestoreBackup).absoluteFilePath();
    while (strGiven.size() > 1 && strGiven.endsWith(QLatin1Char('/')))
        strGiven.chop(1);
    QString strWhy;
    if (const QListWidget *pList = pChoose->findChild<QListWidget *>(QStringLiteral("BackUpUIPlugin_Restore_BackupList"))) {
        for (int i = 0; i < pList->count() && strWhy.isEmpty(); ++i) {
            const QString strListed = QFileInfo(pList->item(i)->toolTip()).absoluteFilePath();
            if (strListed == strGiven || strListed == strGiven + QStringLiteral(".zip"))
                strWhy = pList->item(i)->text().section(QLatin1Char('\n'), 1).simplified();
        }
    }
    if (strWhy.isEmpty())
        strWhy = QStringLiteral("it is no backup (a package backup_....zip or its backup folder)");
    Print(m_pErr, QStringLiteral("backup-host: %1 cannot be restored: %2")
                      .arg(QDir::toNativeSeparators(m_options.strRestoreBackup), strWhy));
    Finish(1);
}

void RestoreHeadlessDriver::StartRestore(QWidget *pItems)
{
    int nChecked = 0;
    const QStringList listNames = m_options.listItems.isEmpty() ? QStringList{QStringLiteral("all")}
                                                                : m_options.listItems;
    QMetaObject::invokeMethod(pItems, "CheckOnlyTiles", Q_RETURN_ARG(int, nChecked), Q_ARG(QStringList, listNames));
    SaveShot(QStringLiteral("1-restore-items.png"));
    m_phase = Phase::Restoring;
    m_nIdlePolls = 0;
    bool bPressed = false;
    if (nChecked > 0)
        QMetaObject::invokeMethod(pItems, "PressMainButton", Q_RETURN_ARG(bool, bPressed));
    if (!bPressed) {
        Print(m_pErr, QStringLiteral("backup-host: nothing of %1 can be restored to this phone")
                          .arg(listNames.join(QLatin1Char(','))));
        Finish(1);
        return;
    }
    SaveShot(QStringLiteral("2-restore-progress.png"));
}

void RestoreHeadlessDriver::FinishRun(QWidget *pComplete)
{
    SaveShot(QStringLiteral("3-restore-result.png"));
    const QVariant status = pComplete->property("exitStatus");
    const QStringList listLines = pComplete->property("summaryLines").toStringList();
    for (const QString &strLine : listLines)
        Print(m_pOut, strLine);
    if (!status.isValid()) {
        // The backup could not be planned: the page says why.
        if (QLabel *pKinds = pComplete->findChild<QLabel *>(QStringLiteral("BackUpUIPlugin_Restore_Kinds")))
            Print(m_pErr, QStringLiteral("backup-host: %1").arg(pKinds->text()));
        Finish(1);
        return;
    }
    Finish(status.toInt());
}

void RestoreHeadlessDriver::slotInterrupt()
{
    QWidget *pDoing = ShownPage("BackUpUIPlugin_Restore_DoingPage");
    if (!pDoing) {
        Finish(kExitCancelled);
        return;
    }
    // As if the user had answered the page's stop question with "stop": the
    // result page then reports the cancel.
    QMetaObject::invokeMethod(pDoing, "signalStopRequested");
}

void RestoreHeadlessDriver::Finish(int nStatus)
{
    if (m_phase == Phase::Done)
        return;
    m_phase = Phase::Done;
    if (m_pPollTimer)
        m_pPollTimer->stop();
    QTimer::singleShot(0, this, [this, nStatus]() { emit signalDone(nStatus); });
}

void RestoreHeadlessDriver::SaveShot(const QString &strName)
{
    if (m_options.strShotsDir.isEmpty())
        return;
    const QDir dir(m_options.strShotsDir);
    const QString strPath = dir.absoluteFilePath(strName);
    if (!QDir().mkpath(dir.absolutePath()) || !m_frame.PluginArea()->grab().save(strPath, "PNG"))
        Print(m_pErr, QStringLiteral("backup-host: cannot save %1").arg(QDir::toNativeSeparators(strPath)));
}

void RestoreHeadlessDriver::Print(std::FILE *pStream, const QString &strText)
{
    if (!pStream)
        return;
    const QByteArray baLine = strText.toLocal8Bit() + '\n';
    std::fwrite(baLine.constData(), 1, size_t(baLine.size()), pStream);
    std::fflush(pStream);
}
