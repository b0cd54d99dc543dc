#pragma once

#include "RestorePage.h"
#include "RestoreSummary.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The restore wizard's result page: the headline, one line per kind
// (restored, already on the phone, failed, or not restorable and why), the
// failed and left-out files and apps behind "Show details", "Try again" after
// the phone went away, and Finish.
class RestoreCompleteWidget : public RestorePage
{
    Q_OBJECT
public:
    explicit RestoreCompleteWidget(QWidget *pParent = nullptr);
    ~RestoreCompleteWidget() override;

    void ShowSummary(const RestoreSummary &summary);
    QLabel *KindsLabel() const { return m_pLabelKinds; }
    QPushButton *DetailsButton() const { return m_pBtnDetails; }
    QPlainTextEdit *Details() const { return m_pDetails; }
    QPushButton *TryAgainButton() const { return ExtraButton(); }

signals:
    void signalFinished();
    void signalTryAgain();

protected:
    void InitMembers() override;
    void InitButtonText() override;
    void InitCons() override;

private slots:
    void slotToggleDetails();

private:
    QLabel *m_pLabelKinds = nullptr;
    QPushButton *m_pBtnDetails = nullptr;
    QPlainTextEdit *m_pDetails = nullptr;
};
