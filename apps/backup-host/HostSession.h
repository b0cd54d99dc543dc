#pragma once

#include "HostOptions.h"

#include <QObject>
#include <QString>

#include <memory>

class HeadlessDriver;
class RestoreHeadlessDriver;
class HostFrame;
class HostStandIns;
class MainFrame;
class PluginHost;

// One run of the host application: the frame with the suite's other plugins,
// the main frame that announces the application's close, and the backup
// plugin loaded from the install folder and shown in the frame. Closing the
// frame closes the host: the close is announced, the plugin's threads are
// ended (Notify 2384) and the plugin is destroyed (OnDestroy).
class HostSession : public QObject
{
    Q_OBJECT
public:
    explicit HostSession(const HostOptions &options, QObject *pParent = nullptr);
    ~HostSession() override;

    // Loads and shows the plugin; false with strError set when it cannot.
    bool Start(const QString &strRoot, QString &strError);
    // The exit status: the headless run's, else 0.
    int ExitStatus() const { return m_nExitStatus; }

    HostFrame *Frame() const { return m_pFrame.get(); }
    PluginHost *Host() const { return m_pHost.get(); }
    HeadlessDriver *Driver() const { return m_pDriver; }

signals:
    // The host has closed; the application may end.
    void signalClosed();

public slots:
    void slotInterrupt();

private slots:
    void slotClosing();
    void slotPluginShown(const QString &strPluginName);
    void slotHostCall(const QString &strLine);
    void slotShowBackup();
    // Opens the restore wizard of --restore in the plugin's window.
    void ShowRestore();
    void StartHeadless();

private:
    const HostOptions m_options;
    std::unique_ptr<HostFrame> m_pFrame;
    std::unique_ptr<HostStandIns> m_pStandIns;
    std::unique_ptr<MainFrame> m_pMainFrame;
    std::unique_ptr<PluginHost> m_pHost;
    HeadlessDriver *m_pDriver = nullptr;
    RestoreHeadlessDriver *m_pRestoreDriver = nullptr;
    int m_nExitStatus = 0;
    bool m_bClosed = false;
};
