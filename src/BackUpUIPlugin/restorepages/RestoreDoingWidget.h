#pragma once

#include "RestorePage.h"
#include "RestoreRunner.h"

class CustomPopupDialog;
class QLabel;
class QProgressBar;

// The restore wizard's progress page: a bar weighted by the bytes and files
// to send, the kind and file being restored, and Cancel, which asks first.
class RestoreDoingWidget : public RestorePage
{
    Q_OBJECT
public:
    explicit RestoreDoingWidget(QWidget *pParent = nullptr);
    ~RestoreDoingWidget() override;

    void Reset();
    QProgressBar *Bar() const { return m_pBar; }
    QLabel *ItemLabel() const { return m_pLabelItem; }
    QLabel *FilesLabel() const { return m_pLabelFiles; }
    CustomPopupDialog *StopQuestion() const { return m_pDialog; }

    // Per mille done: bytes weigh as much as they are, every file and record
    // kind a little more, so that small files and records move the bar too.
    static int PerMille(const RestoreRunner::Progress &progress);

public slots:
    void slotProgress(const RestoreRunner::Progress &progress);
    void slotItemStarted(int nCode);
    void DoCancel() override;

signals:
    void signalStopRequested();

protected:
    void InitMembers() override;
    void InitButtonText() override;
    void InitCons() override;

private:
    void CloseQuestion();

    QProgressBar *m_pBar = nullptr;
    QLabel *m_pLabelItem = nullptr;
    QLabel *m_pLabelFiles = nullptr;
    CustomPopupDialog *m_pDialog = nullptr;
};
