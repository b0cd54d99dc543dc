#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class IBackUpOutFuncInterface;
class INotify;
class IUIPlugin;
class QPluginLoader;
class QWidget;

// Loads the backup plugin as the suite's host does: checks the library's
// verification text, obtains the single plugin object, casts it to the host
// interfaces by their ids, registers it in the plugin container and drives
// it (Init, ShowWindow, MoveWindow, FitSize, Notify 2384, OnDestroy).
class PluginHost : public QObject
{
    Q_OBJECT
public:
    // The text the host compares with the library's verification data.
    static constexpr const char *kHostVerificationData =
        "pattern=QT_PLUGIN_VERIFICATION_DATA\nversion=4.6.2\ndebug=false\nbuildkey=Windows mingw release full-config";
    static constexpr quint32 kThreadExitCode = 2384;

    explicit PluginHost(QObject *pParent = nullptr);
    ~PluginHost() override;

    // The plugin library in <root>/plugins/BackUpUIPlugin/; empty when none.
    static QString FindPluginLibrary(const QString &strRoot);
    // Reads the library's verification text (QLibrary::resolve, as the
    // host's loader does) and compares it with the host's; false with
    // strError set when it is missing or differs.
    static bool CheckVerification(const QString &strLibrary, QString &strError);

    // Checks and loads the library and casts the plugin object; false with
    // strError set on any failure (nothing is then used).
    bool Load(const QString &strLibrary, QString &strError);
    // Init, then registers the plugin in the host's container.
    bool Init();
    bool Show(QWidget *pFrame, const QRect &rect);
    // Forward the frame's moves and sizes; nothing before the first Show
    // (moving would put the window into the frame before it is shown).
    bool Move(QWidget *pFrame, const QRect &rect);
    void Fit(const QRect &rect);
    // Notify 2384 (ends the plugin's threads), then OnDestroy, and takes the
    // plugin out of the container. Safe to call more than once.
    void Shutdown();

    bool IsLoaded() const { return m_pObject != nullptr; }
    QObject *Object() const { return m_pObject; }
    IUIPlugin *UIPlugin() const { return m_pUIPlugin; }
    INotify *Notifier() const { return m_pNotify; }
    IBackUpOutFuncInterface *OutFunc() const { return m_pOutFunc; }
    QWidget *Widget() const;
    QString PluginId() const { return m_strId; }
    QString PluginName() const { return m_strName; }
    // The plugin's run report object, when it offers one.
    QObject *RunReport() const;

private:
    QPluginLoader *m_pLoader = nullptr;
    QPointer<QObject> m_pObject;
    IUIPlugin *m_pUIPlugin = nullptr;
    INotify *m_pNotify = nullptr;
    IBackUpOutFuncInterface *m_pOutFunc = nullptr;
    QString m_strId;
    QString m_strName;
    bool m_bInitialised = false;
    // Moves and sizes are forwarded once the window is in the frame.
    bool m_bShown = false;
};
