#include "RestoreCompleteWidget.h"

#include "RestoreWizardTexts.h"

#include <host/Change.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

RestoreCompleteWidget::RestoreCompleteWidget(QWidget *pParent) : RestorePage(pParent)
{
}

RestoreCompleteWidget::~RestoreCompleteWidget() = default;

void RestoreCompleteWidget::InitMembers()
{
    RestorePage::InitMembers();
    m_pLabelKinds = CreateBodyLabel(QStringLiteral("BackUpUIPlugin_Restore_Kinds"));
    m_pBtnDetails = new QPushButton(this);
    m_pBtnDetails->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_DetailsButton"));
    m_pBtnDetails->setAutoDefault(true);
    m_pDetails = new QPlainTextEdit(this);
    m_pDetails->setObjectName(QStringLiteral("BackUpUIPlugin_Restore_Details"));
    m_pDetails->setReadOnly(true);
    m_pDetails->setTabChangesFocus(true);
    m_pDetails->hide();
    Body()->addWidget(m_pLabelKinds);
    Body()->addWidget(m_pBtnDetails, 0, Qt::AlignLeading);
    Body()->addWidget(m_pDetails, 1);
    Body()->addStretch();
}

void RestoreCompleteWidget::InitButtonText()
{
    SecondButton()->hide();
    setTabOrder(m_pBtnDetails, m_pDetails);
    setTabOrder(m_pDetails, ExtraButton());
    MainButton()->setText(Change::tr("IDS_BACKUPUIPLUGIN_FINISHBUTTON"));
    ExtraButton()->setText(Change::tr("IDS_RESTORE_TRY_AGAIN_BUTTON"));
    m_pBtnDetails->setText(Change::tr("IDS_RESTORE_SHOW_DETAILS_BUTTON"));
    m_pDetails->setAccessibleName(Change::tr("IDS_RESTORE_DETAILS_NAME"));
}

void RestoreCompleteWidget::InitCons()
{
    connect(MainButton(), &QPushButton::clicked, this, &RestoreCompleteWidget::signalFinished);
    connect(ExtraButton(), &QPushButton::clicked, this, &RestoreCompleteWidget::signalTryAgain);
    connect(m_pBtnDetails, &QPushButton::clicked, this, &RestoreCompleteWidget::slotToggleDetails);
    // Escape closes the page as Finish does.
    SetKeyButtons(MainButton(), MainButton());
}

void RestoreCompleteWidget::ShowSummary(const RestoreSummary &summary)
{
    SetHeading(RestoreWizardTexts::Headline(summary));
    QStringList listLines;
    if (summary.end == RestoreSummary::End::NotStarted)
        listLines << summary.strError;
    for (const RestoreSummary::KindResult &result : summary.kinds)
        listLines << RestoreWizardTexts::KindLine(result, summary.StoppedBefore(result));
    m_pLabelKinds->setText(listLines.join(QLatin1Char('\n')));
    setAccessibleDescription(m_pLabelKinds->text());

    const QStringList listDetails = RestoreWizardTexts::DetailLines(summary);
    m_pDetails->setPlainText(listDetails.join(QLatin1Char('\n')));
    m_pDetails->hide();
    m_pBtnDetails->setText(Change::tr("IDS_RESTORE_SHOW_DETAILS_BUTTON"));
    m_pBtnDetails->setVisible(!listDetails.isEmpty());
    ExtraButton()->setVisible(summary.end == RestoreSummary::End::Disconnected);
}

void RestoreCompleteWidget::slotToggleDetails()
{
    const bool bShow = m_pDetails->isHidden();
    m_pDetails->setVisible(bShow);
    m_pBtnDetails->setText(bShow ? Change::tr("IDS_RESTORE_HIDE_DETAILS_BUTTON")
                                 : Change::tr("IDS_RESTORE_SHOW_DETAILS_BUTTON"));
    if (bShow)
        m_pDetails->setFocus(Qt::OtherFocusReason);
}
