#pragma once

#include <QRect>
#include <QWidget>

class BackUpUIBBMgr;
class BackUpUILogic;
class CompleteWizardWidget;
class ConnectWizardWidget;
class DoingWizardWidget;
class PrepareWizardWidget;
class RestoreWizard;

// The plugin's one window: a frameless 896 x 640 widget that the host
// re-parents into its own frame. It holds the three-page wizard (prepare,
// progress, result), preceded by the connect page while no usable phone is
// connected, keeps the connection to the backup logic and hands the outside
// caller to the outside backup manager. The pages' headers name the phone.
class BackUpMainWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWindowWidth = 896;
    static constexpr int kWindowHeight = 640;

    // Created with no parent on first use.
    static BackUpMainWindow *GetInstance();
    // The instance if it exists, without creating it.
    static BackUpMainWindow *ExistingInstance();
    // Deletes the instance (and with it the pages, the backup logic and the
    // outside backup manager) and clears the stored pointer.
    static void DestroyInstance();

    // Starts the SDK reset thread, then places the window into the host's
    // frame at the area, clears the outside caller and shows the first page.
    void ShowWindow(QWidget *pParent, const QRect &rect);
    // Re-parents the window and moves it to the area's top-left corner; the
    // size never changes.
    void MoveWindow(QWidget *pParent, const QRect &rect);

    bool SetOutFuncCaller(int nCaller);
    void SetOutFuncParam(int nValue);
    // Runs the progress page's cancel for a backup another plugin asked for.
    void CancelOutFuncBackup();

    void InitWizard();
    void ShowWizard();

    int GetOutFuncCaller() const { return m_nOutFuncCaller; }
    int GetOutFuncParam() const { return m_nOutFuncParam; }
    BackUpUIBBMgr *GetBBMgr() const { return m_pBBMgr; }
    PrepareWizardWidget *GetPreparePage() const { return m_pPrepareWidget; }
    DoingWizardWidget *GetDoingPage() const { return m_pDoingWidget; }
    CompleteWizardWidget *GetCompletePage() const { return m_pCompleteWidget; }
    ConnectWizardWidget *GetConnectPage() const { return m_pConnectWidget; }
    RestoreWizard *GetRestoreWizard() const { return m_pRestoreWizard; }

    // Opens the restore wizard in place of the first page, on the backup
    // folder the first page shows; strBackup (may be empty) is chosen at once.
    Q_INVOKABLE void ShowRestore(const QString &strBackup);

public slots:
    void onDeviceAvaible(bool bInitFinished);
    // The connect page opened a phone: the prepare page follows.
    void slotPhoneReady();
    // "Try again" on the result page: the connect page, then the prepare
    // page with the same selection and folder.
    void slotTryAgain();

private:
    explicit BackUpMainWindow(QWidget *pParent = nullptr);
    ~BackUpMainWindow() override;

    // The prepare page when a usable phone can be opened at once, else the
    // connect page.
    void ShowFirstPage();
    void ShowPreparePage();
    // The opened phone's model and serial in the headers of the backup pages.
    void ShowPhoneInHeaders();

    BackUpUILogic *m_pLogic = nullptr;
    BackUpUIBBMgr *m_pBBMgr = nullptr;
    PrepareWizardWidget *m_pPrepareWidget = nullptr;
    DoingWizardWidget *m_pDoingWidget = nullptr;
    CompleteWizardWidget *m_pCompleteWidget = nullptr;
    ConnectWizardWidget *m_pConnectWidget = nullptr;
    RestoreWizard *m_pRestoreWizard = nullptr;
    int m_nOutFuncCaller = 0;
    int m_nOutFuncParam = 0;
};
