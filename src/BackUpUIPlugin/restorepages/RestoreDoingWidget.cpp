#include "RestoreDoingWidget.h"

#include "RestoreWizardTexts.h"

#include <host/Change.h>
#include <host/CustomPopupDialog.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
// What one file or one record kind weighs besides its bytes.
constexpr qint64 kBytesPerStep = 256 * 1024;
}

RestoreDoingWidget::RestoreDoingWidget(QWidget *pParent) : RestorePage(pParent)
{
}

RestoreDoingWidget::~RestoreDoingWidget() = default;

void RestoreDoingWidget::InitMembers()
{
    RestorePage::InitMembers();
    m_pBar = new QProgressBar(this);
    m_pBar->setObjectName(QStringLiteral("BackUIPlugin_Doing_Progressbar"));
    m_pBar->setRange(0, 1000);
    m_pBar->setFixedHeight(14);
    m_pBar->setTextVisible(false);
    m_pLabelItem = CreateBodyLabel(QStringLiteral("BackUpUIPlugin_Restore_Item"));
    m_pLabelFiles = CreateBodyLabel(QStringLiteral("BackUpUIPlugin_Restore_Files"));
    Body()->addStretch();
    Body()->addWidget(m_pBar);
    Body()->addWidget(m_pLabelItem);
    Body()->addWidget(m_pLabelFiles);
    Body()->addStretch();
}

void RestoreDoingWidget::InitButtonText()
{
    MainButton()->hide();
    SetHeading(Change::tr("IDS_RESTORE_DOING_TITLE"));
    m_pBar->setAccessibleName(Change::tr("IDS_RESTORE_DOING_TITLE"));
    SecondButton()->setText(Change::tr("IDS_BACKUPUIPLUGIN_CANCELBUTTON"));
}

void RestoreDoingWidget::InitCons()
{
    connect(SecondButton(), &QPushButton::clicked, this, &RestoreDoingWidget::DoCancel);
}

void RestoreDoingWidget::Reset()
{
    CloseQuestion();
    m_pBar->setValue(0);
    m_pLabelItem->setText(Change::tr("IDS_RESTORE_DOING_PREPARING"));
    m_pLabelFiles->clear();
    SecondButton()->setEnabled(true);
}

int RestoreDoingWidget::PerMille(const RestoreRunner::Progress &progress)
{
    const qint64 nTotal = progress.nBytes + kBytesPerStep * (progress.nFiles + progress.nItems);
    if (nTotal <= 0)
        return 0;
    const qint64 nDone = qMin(progress.nBytesDone, progress.nBytes)
                         + kBytesPerStep * (qMin(progress.nFilesDone, progress.nFiles)
                                            + qMin(progress.nItemsDone, progress.nItems));
    return int(qBound(qint64(0), nDone * 1000 / nTotal, qint64(1000)));
}

void RestoreDoingWidget::slotProgress(const RestoreRunner::Progress &progress)
{
    m_pBar->setValue(PerMille(progress));
    m_pLabelFiles->setText(Change::tr("IDS_RESTORE_DOING_FILES")
                               .arg(progress.nFilesDone)
                               .arg(progress.nFiles)
                               .arg(RestoreWizardTexts::SizeText(progress.nBytesDone),
                                    RestoreWizardTexts::SizeText(progress.nBytes)));
    m_pBar->setAccessibleDescription(m_pLabelFiles->text());
}

void RestoreDoingWidget::slotItemStarted(int nCode)
{
    m_pLabelItem->setText(Change::tr("IDS_RESTORE_DOING_ITEM").arg(RestoreWizardTexts::KindName(nCode)));
}

void RestoreDoingWidget::DoCancel()
{
    if (m_pDialog)
        return;
    m_pDialog = new CustomPopupDialog(this, Change::tr("IDS_RESTORE_DOING_STOP_QUESTION"), 2);
    // Enter keeps the restore going: stopping is the deliberate choice.
    m_pDialog->SetButtonTexts(Change::tr("IDS_RESTORE_DOING_STOP_BUTTON"),
                              Change::tr("IDS_BACKUPUIPLUGIN_DOINGCANCEL_CONTINUE_BUTTON"));
    m_pDialog->SetCancelDefault();
    connect(m_pDialog, &CustomPopupDialog::signalOnClickOkEvent, this, [this]() {
        CloseQuestion();
        SecondButton()->setEnabled(false);
        m_pLabelItem->setText(Change::tr("IDS_RESTORE_DOING_STOPPING"));
        emit signalStopRequested();
    });
    connect(m_pDialog, &CustomPopupDialog::signalOnClickCancelEvent, this, &RestoreDoingWidget::CloseQuestion);
    m_pDialog->show();
}

void RestoreDoingWidget::CloseQuestion()
{
    if (!m_pDialog)
        return;
    m_pDialog->hide();
    m_pDialog->deleteLater();
    m_pDialog = nullptr;
}
