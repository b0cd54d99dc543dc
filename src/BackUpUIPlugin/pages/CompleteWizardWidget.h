#pragma once

#include "CustomWizardWidget.h"
#include "ResultView.h"

#include <QString>

class CustomLabelButton;
class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class ResultDetailsList;

// The last wizard page: the completion message, the run's detail texts that
// the outside backup manager stores here, and a finish button that returns to
// the host's home plugin.
class CompleteWizardWidget : public CustomWizardWidget, public ResultView
{
    Q_OBJECT
public:
    explicit CompleteWizardWidget(QWidget *pParent = nullptr);
    ~CompleteWizardWidget() override;

    // The outcome sets the page's headline and picture. Like the texts, it
    // is stored and shown at the next InitialShow.
    void SetOutcome(Outcome outcome) override;
    Outcome GetOutcome() const { return m_outcome; }

    void SetResultCaption(const QString &strCaption) override;
    void SetResultValue(const QString &strValue) override;
    void SetResultNote(const QString &strNote) override;
    void SetContactsTip(const QString &strTip) override;
    void SetApkTip(const QString &strTip) override;
    void SetNotAvailableTip(const QString &strTip) override;
    // Shown, with a button that opens it, when the run delivered a package.
    void SetBackupFolder(const QString &strFolder) override;
    QString GetBackupFolder() const { return m_strFolder; }
    // Shows "Try again" beside Finish at the next InitialShow.
    void SetRetryOffered(bool bOffered) override;
    bool IsRetryOffered() const { return m_bRetryOffered; }
    QPushButton *GetTryAgainButton() const { return m_pBtnTryAgain; }
    void SetRunSummary(const QString &strSummary) override;
    void SetNotCopied(const NotCopiedList &listNotCopied) override;
    QString GetRunSummary() const { return m_strSummary; }
    QLabel *GetSummaryLabel() const { return m_pLabelSummary; }
    ResultDetailsList *GetDetails() const { return m_pDetails; }
    QLabel *GetFolderLabel() const { return m_pLabelFolder; }
    QPushButton *GetOpenFolderButton() const { return m_pBtnOpenFolder; }

    QString GetStatusText() const { return m_strStatus; }
    QString GetResultCaption() const { return m_strCaption; }
    QString GetResultValue() const { return m_strValue; }
    QString GetResultNote() const { return m_strNote; }
    QString GetContactsTip() const { return m_strContactsTip; }
    QString GetApkTip() const { return m_strApkTip; }
    QString GetNotAvailableTip() const { return m_strNotAvailableTip; }

    QLabel *GetStatusLabel() const { return m_pLabelStatus; }
    QLabel *GetResultLabel() const { return m_pLabelResult; }
    QLabel *GetContactsIcon() const { return m_pLabelContactsIcon; }
    QLabel *GetContactsLabel() const { return m_pLabelContacts; }
    QLabel *GetApkIcon() const { return m_pLabelApkIcon; }
    QLabel *GetApkLabel() const { return m_pLabelApk; }
    QLabel *GetNotAvailableIcon() const { return m_pLabelNotAvailableIcon; }
    QLabel *GetNotAvailableLabel() const { return m_pLabelNotAvailable; }
    QPushButton *GetFinishButton() const { return m_pBtnFinish; }
    QFrame *GetPicture() const { return m_pFrameImage; }

    // The result label's rich text for a headline and a detail.
    static QString ResultRichText(const QString &strCaption, const QString &strValue);

signals:
    // The user asks to run the backup again: back to the connect page, then
    // the prepare page with the same selection and folder.
    void signalTryAgain();

public slots:
    void DoCancel() override;
    // Opens the backup folder in the desktop's file manager.
    void slotOpenFolder();

protected:
    void InitMembers() override;
    void InitButtons() override;
    void InitButtonText() override;
    void InitObjectName() override;
    void InitLayout() override;
    void InitCons() override;
    void InitialShow() override;

private:
    void InitLabel();
    void InitLabelLayout();
    void UpdateAccessibleText();
    void PlaceButtons();
    // The summary of what was saved and the list of what was not.
    void ShowRunDetails();
    static QLabel *CreateNoteLabel(QWidget *pParent);
    static QLabel *CreateNoteIcon(QWidget *pParent);
    // A note row: its icon, then its label.
    static QHBoxLayout *NoteRow(QLabel *pIcon, QLabel *pLabel);
    // Shows a note row with its text, or hides it when the text is empty.
    static void ShowNote(QLabel *pIcon, QLabel *pLabel, const QString &strText);

    QFrame *m_pFrameBgOne = nullptr;
    QFrame *m_pFrameBgTwo = nullptr;
    QFrame *m_pFrameBgThree = nullptr;
    QFrame *m_pFrameImage = nullptr;
    QFrame *m_pFrameStatusBar = nullptr;
    QFrame *m_pFrameStatusLine = nullptr;
    CustomLabelButton *m_pHeader = nullptr;
    QLabel *m_pLabelStatus = nullptr;
    QLabel *m_pLabelResult = nullptr;
    QLabel *m_pLabelContactsIcon = nullptr;
    QLabel *m_pLabelContacts = nullptr;
    QLabel *m_pLabelApkIcon = nullptr;
    QLabel *m_pLabelApk = nullptr;
    QLabel *m_pLabelNotAvailableIcon = nullptr;
    QLabel *m_pLabelNotAvailable = nullptr;
    QPushButton *m_pBtnFinish = nullptr;
    QPushButton *m_pBtnTryAgain = nullptr;
    QLabel *m_pLabelFolder = nullptr;
    QPushButton *m_pBtnOpenFolder = nullptr;
    QLabel *m_pLabelSummary = nullptr;
    ResultDetailsList *m_pDetails = nullptr;
    QVBoxLayout *m_pLayoutLabels = nullptr;

    Outcome m_outcome = Outcome::Complete;
    QString m_strStatus;
    QString m_strCaption;
    QString m_strValue;
    QString m_strNote;
    QString m_strContactsTip;
    QString m_strApkTip;
    QString m_strNotAvailableTip;
    QString m_strFolder;
    bool m_bRetryOffered = false;
    QString m_strSummary;
    NotCopiedList m_listNotCopied;

    const bool m_bRightToLeft;
};
