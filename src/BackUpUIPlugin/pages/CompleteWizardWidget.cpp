#include "CompleteWizardWidget.h"

#include "BackUpUIBBMgr.h"
#include "CustomLabelButton.h"
#include "LogLine.h"
#include "ResultDetailsList.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/ILayoutPlugin.h>

#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\CompleteWizardWidget";

namespace
{
constexpr int kNoteWidth = 400;
constexpr int kLabelMarginSide = 377;
constexpr int kLabelMarginBottom = 110;
} // namespace

CompleteWizardWidget::CompleteWizardWidget(QWidget *pParent)
    : CustomWizardWidget(pParent), m_bRightToLeft(Change::GetRightToLeftLayout())
{
}

CompleteWizardWidget::~CompleteWizardWidget() = default;

void CompleteWizardWidget::SetOutcome(Outcome outcome)
{
    m_outcome = outcome;
}

void CompleteWizardWidget::SetResultCaption(const QString &strCaption)
{
    m_strCaption = strCaption;
}

void CompleteWizardWidget::SetResultValue(const QString &strValue)
{
    m_strValue = strValue;
}

void CompleteWizardWidget::SetResultNote(const QString &strNote)
{
    m_strNote = strNote;
}

void CompleteWizardWidget::SetContactsTip(const QString &strTip)
{
    m_strContactsTip = strTip;
}

void CompleteWizardWidget::SetApkTip(const QString &strTip)
{
    m_strApkTip = strTip;
}

void CompleteWizardWidget::SetNotAvailableTip(const QString &strTip)
{
    m_strNotAvailableTip = strTip;
}

void CompleteWizardWidget::SetRunSummary(const QString &strSummary)
{
    m_strSummary = strSummary;
}

void CompleteWizardWidget::SetNotCopied(const NotCopiedList &listNotCopied)
{
    m_listNotCopied = listNotCopied;
}

QString CompleteWizardWidget::ResultRichText(const QString &strCaption, const QString &strValue)
{
    // The detail is a list of item names; where a comma has no blank after
    // it (a list from a requesting caller or an older text), a zero-width
    // space lets a long list wrap between names instead of being cut at the
    // label's edge.
    QString strBreakable = strValue;
    strBreakable.replace(QRegularExpression(QStringLiteral(",(?=\\S)")), QStringLiteral(",") + QChar(0x200B));
    return QStringLiteral("<font color=#e7e7e7 style=font-size:16px>") + strCaption + QStringLiteral("</font> ")
           + QStringLiteral("<font color=#ffffff style=font-size:19px>") + strBreakable + QStringLiteral("</font> ");
}

QLabel *CompleteWizardWidget::CreateNoteLabel(QWidget *pParent)
{
    QLabel *pLabel = new QLabel(pParent);
    pLabel->setContentsMargins(0, 0, 0, 0);
    pLabel->setFixedWidth(kNoteWidth);
    pLabel->setWordWrap(true);
    pLabel->setAlignment(Qt::AlignTop | Qt::AlignLeading);
    pLabel->hide();
    return pLabel;
}

QLabel *CompleteWizardWidget::CreateNoteIcon(QWidget *pParent)
{
    QLabel *pIcon = new QLabel(pParent);
    pIcon->setContentsMargins(0, 0, 0, 0);
    pIcon->setFixedSize(11, 18);
    pIcon->hide();
    return pIcon;
}

QHBoxLayout *CompleteWizardWidget::NoteRow(QLabel *pIcon, QLabel *pLabel)
{
    QHBoxLayout *pRow = new QHBoxLayout();
    pRow->setContentsMargins(0, 0, 0, 0);
    pRow->addWidget(pIcon, 0, Qt::AlignTop);
    pRow->addWidget(pLabel, 0, Qt::AlignTop);
    pRow->addStretch();
    return pRow;
}

void CompleteWizardWidget::ShowNote(QLabel *pIcon, QLabel *pLabel, const QString &strText)
{
    pLabel->setText(strText);
    pIcon->setVisible(!strText.isEmpty());
    pLabel->setVisible(!strText.isEmpty());
}

void CompleteWizardWidget::InitMembers()
{
    const QRect rectBackground(0, 0, kPageWidth, 608);
    m_pFrameBgOne = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgone"), rectBackground);
    m_pFrameBgTwo = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgtwo"), rectBackground);
    m_pFrameBgThree = CreateBackground(QStringLiteral("BackUpUIPlugin_Doing_Bgthree"), rectBackground);

    m_pFrameImage = new QFrame(this);
    m_pFrameImage->setObjectName(QStringLiteral("BackUpUIPlugin_Completeing_BgImage"));
    m_pFrameImage->setFixedSize(420, 420);

    const QRect rectStatus(0, 608, kPageWidth, 32);
    m_pFrameStatusBar = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusBar"), rectStatus);
    m_pFrameStatusLine = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusLine"), rectStatus);

    m_pHeader = new CustomLabelButton(this);

    InitLabel();

    if (BackUpUIBBMgr *pMgr = BackUpUIBBMgr::GetInstance())
        pMgr->SetCompleteWidget(this);
}

void CompleteWizardWidget::InitLabel()
{
    m_pLabelStatus = new QLabel(this);
    m_pLabelStatus->setContentsMargins(0, 0, 0, 0);
    m_pLabelStatus->setWordWrap(true);

    m_pLabelResult = CreateNoteLabel(this);
    m_pLabelResult->setTextFormat(Qt::RichText);

    m_pLabelContactsIcon = CreateNoteIcon(this);
    m_pLabelContacts = CreateNoteLabel(this);

    m_pLabelApkIcon = CreateNoteIcon(this);
    m_pLabelApk = CreateNoteLabel(this);

    // The selected items the phone does not give at all.
    m_pLabelNotAvailableIcon = CreateNoteIcon(this);
    m_pLabelNotAvailable = CreateNoteLabel(this);

    // What was saved, and behind "Show details" what could not be copied.
    m_pLabelSummary = CreateNoteLabel(this);
    m_pLabelSummary->setTextFormat(Qt::PlainText);
    m_pLabelSummary->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_SummaryLabel"));
    m_pDetails = new ResultDetailsList(this);
    if (m_bRightToLeft)
        m_pDetails->setLayoutDirection(Qt::RightToLeft);

    // Where the backup went, and a way to look at it.
    m_pLabelFolder = CreateNoteLabel(this);
    m_pLabelFolder->setTextFormat(Qt::PlainText);
    m_pBtnOpenFolder = new QPushButton(this);
    m_pBtnOpenFolder->setContentsMargins(0, 0, 0, 0);
    m_pBtnOpenFolder->setFixedHeight(26);
    m_pBtnOpenFolder->setMinimumWidth(116);
    m_pBtnOpenFolder->setAutoDefault(true);
    m_pBtnOpenFolder->hide();
}

void CompleteWizardWidget::InitButtons()
{
    m_pBtnFinish = CreateFunctionButton();
    m_pBtnTryAgain = CreateFunctionButton();
    m_pBtnTryAgain->hide();
}

void CompleteWizardWidget::InitButtonText()
{
    if (!m_pBtnFinish) {
        LOG_ARG_NULL("InitButtonText");
        return;
    }
    m_pBtnFinish->setText(Change::tr("IDS_BACKUPUIPLUGIN_FINISHBUTTON"));
    if (m_pBtnTryAgain)
        m_pBtnTryAgain->setText(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_TRYAGAIN_BUTTON"));
}

void CompleteWizardWidget::InitObjectName()
{
    if (!m_pLabelStatus || !m_pLabelResult || !m_pLabelContactsIcon || !m_pLabelContacts || !m_pLabelApkIcon
        || !m_pLabelApk || !m_pLabelNotAvailableIcon || !m_pLabelNotAvailable || !m_pBtnFinish) {
        LOG_ARG_NULL("InitObjectName");
        return;
    }
    m_pLabelStatus->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_Status"));
    m_pLabelResult->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_Result"));
    m_pLabelContactsIcon->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_ContactsIcon"));
    m_pLabelContacts->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_ContactsLabel"));
    m_pLabelApkIcon->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_APKIcon"));
    m_pLabelApk->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_APKLabel"));
    m_pLabelNotAvailableIcon->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_NotAvailableIcon"));
    m_pLabelNotAvailable->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_NotAvailableLabel"));
    m_pBtnFinish->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
    if (m_pBtnTryAgain)
        m_pBtnTryAgain->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
    if (m_pLabelFolder && m_pBtnOpenFolder) {
        m_pLabelFolder->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_FolderLabel"));
        m_pBtnOpenFolder->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_OpenFolderButton"));
    }
}

void CompleteWizardWidget::InitLayout()
{
    if (!m_pFrameImage || !m_pHeader || !m_pBtnFinish) {
        LOG_ARG_NULL("InitLayout");
        return;
    }
    if (m_bRightToLeft) {
        m_pFrameImage->move(429, 45);
        m_pHeader->move(593, 41);
        m_pHeader->setLayoutDirection(Qt::RightToLeft);
        m_pBtnFinish->setLayoutDirection(Qt::RightToLeft);
        if (m_pBtnTryAgain)
            m_pBtnTryAgain->setLayoutDirection(Qt::RightToLeft);
    } else {
        m_pFrameImage->move(47, 45);
        m_pHeader->move(27, 41);
    }
    PlaceButtons();
    InitLabelLayout();
}

void CompleteWizardWidget::InitLabelLayout()
{
    if (!m_pLabelStatus || !m_pLabelResult || !m_pLabelContactsIcon || !m_pLabelContacts || !m_pLabelApkIcon
        || !m_pLabelApk || !m_pLabelNotAvailableIcon || !m_pLabelNotAvailable) {
        LOG_ARG_NULL("InitLabelLayout");
        return;
    }
    // The block is centred vertically by stretches before and after it, so
    // the layout keeps the whole page height and gives each word-wrapped
    // label its height for its width (an aligned layout would shrink to its
    // hint and cut a wrapped notice to one line).
    m_pLayoutLabels = new QVBoxLayout(this);
    m_pLayoutLabels->setSpacing(10);
    m_pLayoutLabels->addStretch();
    m_pLayoutLabels->addWidget(m_pLabelStatus);
    m_pLayoutLabels->addWidget(m_pLabelResult);
    m_pLayoutLabels->addSpacing(10);
    m_pLayoutLabels->addLayout(NoteRow(m_pLabelContactsIcon, m_pLabelContacts));
    m_pLayoutLabels->addSpacing(3);
    m_pLayoutLabels->addLayout(NoteRow(m_pLabelApkIcon, m_pLabelApk));
    m_pLayoutLabels->addSpacing(3);
    m_pLayoutLabels->addLayout(NoteRow(m_pLabelNotAvailableIcon, m_pLabelNotAvailable));
    if (m_pLabelSummary && m_pDetails) {
        m_pLayoutLabels->addWidget(m_pLabelSummary);
        m_pLayoutLabels->addWidget(m_pDetails, 0, Qt::AlignLeading);
    }
    m_pLayoutLabels->addSpacing(6);
    m_pLayoutLabels->addWidget(m_pLabelFolder);
    m_pLayoutLabels->addWidget(m_pBtnOpenFolder, 0, Qt::AlignLeading);
    m_pLayoutLabels->addStretch();
    if (m_bRightToLeft) {
        setLayoutDirection(Qt::RightToLeft);
        m_pLayoutLabels->setContentsMargins(0, 0, kLabelMarginSide, kLabelMarginBottom);
    } else {
        m_pLayoutLabels->setContentsMargins(kLabelMarginSide, 0, 0, kLabelMarginBottom);
    }
}

void CompleteWizardWidget::InitCons()
{
    if (!m_pBtnFinish) {
        LOG_ARG_NULL("InitCons");
        return;
    }
    connect(m_pBtnFinish, &QPushButton::clicked, this, &CompleteWizardWidget::DoCancel);
    // Without "Try again" the page offers only Finish: Enter and Escape both
    // press it (PlaceButtons gives Enter to "Try again" when it is shown).
    SetKeyButtons(m_pBtnFinish, m_pBtnFinish);
    if (m_pBtnTryAgain)
        connect(m_pBtnTryAgain, &QPushButton::clicked, this, &CompleteWizardWidget::signalTryAgain);
    if (m_pBtnOpenFolder) {
        connect(m_pBtnOpenFolder, &QPushButton::clicked, this, &CompleteWizardWidget::slotOpenFolder);
        QWidget::setTabOrder(m_pBtnOpenFolder, m_pBtnFinish);
    }
    // "Try again" is read before Finish.
    if (m_pBtnTryAgain)
        QWidget::setTabOrder(m_pBtnTryAgain, m_pBtnFinish);
    // Reading order: the details come before the folder.
    if (m_pDetails && m_pBtnOpenFolder) {
        QWidget::setTabOrder(m_pDetails->GetButton(), m_pDetails->GetList());
        QWidget::setTabOrder(m_pDetails->GetList(), m_pBtnOpenFolder);
    }
}

void CompleteWizardWidget::InitialShow()
{
    if (!m_pLabelStatus || !m_pLabelResult || !m_pLabelContactsIcon || !m_pLabelContacts || !m_pLabelApkIcon
        || !m_pLabelApk || !m_pLabelNotAvailableIcon || !m_pLabelNotAvailable) {
        LOG_ARG_NULL("InitialShow");
        return;
    }
    m_strStatus = Change::tr(HeadlineKey(m_outcome));
    m_pLabelStatus->setText(m_strStatus);
    // The style sheet gives a run that failed, in whole or in part, its own
    // picture; a changed property takes effect once the style is re-applied.
    const bool bFailed = m_outcome != Outcome::Complete;
    if (m_pFrameImage && m_pFrameImage->property("failed").toBool() != bFailed) {
        m_pFrameImage->setProperty("failed", bFailed);
        m_pFrameImage->style()->unpolish(m_pFrameImage);
        m_pFrameImage->style()->polish(m_pFrameImage);
        m_pFrameImage->update();
    }

    if (m_strValue.isEmpty()) {
        m_pLabelResult->hide();
    } else {
        m_pLabelResult->setText(ResultRichText(m_strCaption, m_strValue));
        m_pLabelResult->show();
    }

    ShowNote(m_pLabelContactsIcon, m_pLabelContacts, m_strContactsTip);
    ShowNote(m_pLabelApkIcon, m_pLabelApk, m_strApkTip);
    ShowNote(m_pLabelNotAvailableIcon, m_pLabelNotAvailable, m_strNotAvailableTip);
    ShowRunDetails();

    // A run that delivered a package names the folder it went to.
    const bool bDelivered = m_outcome == Outcome::Complete || m_outcome == Outcome::PartlyFailed;
    const bool bFolder = !m_strFolder.isEmpty() && bDelivered && m_pLabelFolder && m_pBtnOpenFolder;
    if (bFolder) {
        m_pLabelFolder->ensurePolished();
        QString strText = Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_FOLDER_TEXT");
        const QString strNative = QDir::toNativeSeparators(m_strFolder);
        const int nRoom = kNoteWidth - m_pLabelFolder->fontMetrics().horizontalAdvance(QString(strText).remove(QLatin1String("%s")));
        // A path reads left to right also inside a right-to-left sentence
        // (an embedding keeps its leading "/" in front); a left-to-right
        // sentence needs no marks, which would only travel along when the
        // text is copied.
        QString strPath = m_pLabelFolder->fontMetrics().elidedText(strNative, Qt::ElideMiddle, nRoom);
        if (m_bRightToLeft)
            strPath = QChar(0x202A) + strPath + QChar(0x202C);
        strText.replace(QLatin1String("%s"), strPath);
        m_pLabelFolder->setText(strText);
        m_pLabelFolder->setToolTip(strNative);
        m_pBtnOpenFolder->setText(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_OPENFOLDER_BUTTON"));
    }
    if (m_pLabelFolder && m_pBtnOpenFolder) {
        m_pLabelFolder->setVisible(bFolder);
        m_pBtnOpenFolder->setVisible(bFolder);
    }

    PlaceButtons();
    UpdateAccessibleText();
}

void CompleteWizardWidget::ShowRunDetails()
{
    if (!m_pLabelSummary || !m_pDetails) {
        LOG_ARG_NULL("ShowRunDetails");
        return;
    }
    // Only a run that delivered a package has a summary and a list of what
    // it could not copy.
    const bool bKept = m_outcome == Outcome::Complete || m_outcome == Outcome::PartlyFailed;
    m_pLabelSummary->setText(m_strSummary);
    m_pLabelSummary->setVisible(bKept && !m_strSummary.isEmpty());
    QList<ResultDetailsList::Group> listGroups;
    if (bKept) {
        for (const auto &item : std::as_const(m_listNotCopied))
            listGroups.append({item.first, item.second});
    }
    m_pDetails->SetTexts(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_SHOWDETAILS_BUTTON"),
                         Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_HIDEDETAILS_BUTTON"),
                         Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_NOTCOPIED_LIST"));
    m_pDetails->SetGroups(listGroups);
}

void CompleteWizardWidget::SetBackupFolder(const QString &strFolder)
{
    m_strFolder = strFolder;
}

void CompleteWizardWidget::SetRetryOffered(bool bOffered)
{
    m_bRetryOffered = bOffered;
}

void CompleteWizardWidget::PlaceButtons()
{
    if (!m_pBtnFinish || !m_pBtnTryAgain)
        return;
    m_pBtnTryAgain->setVisible(m_bRetryOffered);
    if (!m_bRetryOffered) {
        m_pBtnFinish->move(390, 566);
        SetKeyButtons(m_pBtnFinish, m_pBtnFinish);
        return;
    }
    // Side by side, "Try again" first in reading order.
    m_pBtnTryAgain->move(m_bRightToLeft ? 450 : 330, 566);
    m_pBtnFinish->move(m_bRightToLeft ? 330 : 450, 566);
    SetKeyButtons(m_pBtnTryAgain, m_pBtnFinish);
}

void CompleteWizardWidget::slotOpenFolder()
{
    if (m_strFolder.isEmpty())
        return;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(m_strFolder)))
        LOG_WARNING("slotOpenFolder", QStringLiteral("cannot open ") + m_strFolder);
}

void CompleteWizardWidget::UpdateAccessibleText()
{
    // A screen reader announces the page by its headline and reads the
    // result and the notes shown as its description; the result label
    // itself is rich text, so it gets the plain words as its name.
    QStringList listShown;
    if (!m_strValue.isEmpty()) {
        const QString strResult = m_strCaption.isEmpty() ? m_strValue : m_strCaption + QLatin1Char(' ') + m_strValue;
        m_pLabelResult->setAccessibleName(strResult);
        listShown << strResult;
    }
    for (const QString &strNote : {m_strContactsTip, m_strApkTip, m_strNotAvailableTip}) {
        if (!strNote.isEmpty())
            listShown << strNote;
    }
    if (m_pLabelSummary && !m_pLabelSummary->isHidden())
        listShown << m_strSummary;
    if (m_pLabelFolder && !m_pLabelFolder->isHidden())
        listShown << Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_FOLDER_TEXT").replace(QLatin1String("%s"), QDir::toNativeSeparators(m_strFolder));
    setAccessibleName(m_strStatus);
    setAccessibleDescription(listShown.join(QLatin1Char('\n')));
}

void CompleteWizardWidget::DoCancel()
{
    if (ILayoutPlugin *pLayout = CommonUtils::GetLayoutPlugin())
        pLayout->ShowPlugin(QStringLiteral("HomeUIPlugin"));
    else
        qDebug() << "FuncUIWidget::ShowPlugin pLayout is Null";
    hide();
    if (m_pFrame)
        m_pFrame->hide();
}
