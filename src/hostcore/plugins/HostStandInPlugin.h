#pragma once

#include "host/HostExport.h"
#include "host/IUIPlugin.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class QLabel;

// Common base of the in-process stand-ins of the suite's other plugins: a
// plugin object with an id, a name and a simple page that the layout object
// can bring to the front. Every interface call it receives is recorded in
// HostCallLog as "<name>.<call>(<args>)" and kept in its own list.
class HOSTCORE_EXPORT HostStandInPlugin : public QObject, public IUIPlugin
{
    Q_OBJECT
    Q_INTERFACES(IBasePlugin IUIPlugin)
public:
    HostStandInPlugin(const QString &strId, const QString &strName, QObject *pParent = nullptr);
    ~HostStandInPlugin() override;

    // IBasePlugin
    bool Init() override;
    QString GetPluginId() override;
    QString GetPluginName() override;
    void OnDestroy() override;

    // IUIPlugin
    bool ShowWindow(QWidget *pParent, QRect &rect) override;
    void HideWindow() override;
    void FitSize(QRect &rect) override;
    bool CheckArgument(QString &strArg) override;
    QWidget *GetWidget() override;
    bool MoveWindow(QWidget *pParent, QRect &rect) override;

    // The page shown by ShowWindow; null until it was first shown.
    QWidget *GetPageWidget() const;
    // The calls this plugin received, oldest first.
    QStringList Calls() const;
    void ClearCalls();

signals:
    void signalCalled(const QString &strCall);

protected:
    void RecordCall(const QString &strCall);

private:
    void UpdatePageText();

    const QString m_strId;
    const QString m_strName;
    QStringList m_listCalls;
    QPointer<QWidget> m_pPage;
    QLabel *m_pLabelCalls = nullptr;
};
