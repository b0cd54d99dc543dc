#pragma once

#include <host/IBackUpOutFuncInterface.h>
#include <host/INotify.h>
#include <host/IUIPlugin.h>

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class BackUpMainWindow;

// Text the host's plugin loader compares with its own build key before it
// uses the library.
extern "C" Q_DECL_EXPORT const char *qt_plugin_query_verification_data();

// The object the host loads: a thin shell over the single main window. The
// host reaches it by interface id (IUIPlugin, INotify), and the firmware-update
// and ROM plugins through IBackUpOutFuncInterface to run a backup on their
// behalf.
class BackUpUIPlugin : public QObject, public IUIPlugin, public INotify, public IBackUpOutFuncInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "com.orbeni.corvanda.plugin.IUIPlugin")
    // Besides the class names of the direct bases, the lookup answers these
    // ids; IBasePlugin's id yields the IUIPlugin base, which serves as both.
    Q_INTERFACES(IBasePlugin IUIPlugin INotify IBackUpOutFuncInterface)

public:
    static constexpr const char *kPluginName = "BackUpUIPlugin";
    static constexpr const char *kPluginId = "D8EB5609-00D7-47cc-A59A-AE71AC3DCA50";
    // The host's code that ends the worker threads.
    static constexpr quint32 kThreadExitCode = 2384;
    static constexpr const char *kVerificationData =
        "pattern=QT_PLUGIN_VERIFICATION_DATA\nversion=4.6.2\ndebug=false\nbuildkey=Windows mingw release full-config";

    explicit BackUpUIPlugin(QObject *pParent = nullptr);
    ~BackUpUIPlugin() override;

    // IBasePlugin
    bool Init() override;
    QString GetPluginId() override;
    QString GetPluginName() override;
    // IDestroyEvent
    void OnDestroy() override;

    // IUIPlugin
    bool ShowWindow(QWidget *pParent, QRect &rect) override;
    void HideWindow() override;
    void FitSize(QRect &rect) override;
    bool CheckArgument(QString &strArg) override;
    QWidget *GetWidget() override;
    bool MoveWindow(QWidget *pParent, QRect &rect) override;

    // INotify
    qint32 Notify(quint32 nCode) override;

    // IBackUpOutFuncInterface
    bool SetOutFuncCaller(int nCaller) override;
    void SetOutFuncParam(int nValue) override;
    void CancelOutFuncBackup() override;

private:
    // Ends the reset, cancel and worker threads, in this order; each waits
    // for its thread to finish.
    static void DestroyThreads();

    // Guarded: the window is a child of the host's frame once shown, and the
    // host may delete the frame before it calls OnDestroy.
    QPointer<BackUpMainWindow> m_pMainWindow;
};
