#include "PluginHost.h"

#include <host/IBackUpOutFuncInterface.h>
#include <host/INotify.h>
#include <host/IUIPlugin.h>
#include <host/PluginContainer.h>
#include <host/Startup.h>

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPluginLoader>
#include <QWidget>

#include <cstring>

PluginHost::PluginHost(QObject *pParent) : QObject(pParent)
{
}

PluginHost::~PluginHost()
{
    Shutdown();
    // The library stays loaded until the process ends: types and objects it
    // registered with Qt must not lose their code.
    delete m_pLoader;
}

QString PluginHost::FindPluginLibrary(const QString &strRoot)
{
    const QDir dir(QDir(strRoot).filePath(QStringLiteral("plugins/BackUpUIPlugin")));
    const QStringList listCandidates = dir.entryList({QStringLiteral("BackUpUIPlugin*"), QStringLiteral("libBackUpUIPlugin*")},
                                                     QDir::Files, QDir::Name);
    for (const QString &strName : listCandidates) {
        const QString strPath = dir.filePath(strName);
        if (QLibrary::isLibrary(strPath))
            return strPath;
    }
    return QString();
}

bool PluginHost::CheckVerification(const QString &strLibrary, QString &strError)
{
    QLibrary library(strLibrary);
    using VerificationFunction = const char *(*)();
    const auto pfnVerification =
        reinterpret_cast<VerificationFunction>(library.resolve("qt_plugin_query_verification_data"));
    if (!pfnVerification) {
        strError = QStringLiteral("%1 is not a plugin of this suite (no verification data): %2")
                       .arg(QDir::toNativeSeparators(strLibrary), library.errorString());
        return false;
    }
    const char *szData = pfnVerification();
    if (!szData || std::strcmp(szData, kHostVerificationData) != 0) {
        strError = QStringLiteral("%1 was built for another host: its verification data is \"%2\" where the host "
                                  "expects \"%3\"")
                       .arg(QDir::toNativeSeparators(strLibrary),
                            QString::fromLatin1(szData ? szData : "").replace(QLatin1Char('\n'), QLatin1String("\\n")),
                            QString::fromLatin1(kHostVerificationData).replace(QLatin1Char('\n'), QLatin1String("\\n")));
        return false;
    }
    return true;
}

bool PluginHost::Load(const QString &strLibrary, QString &strError)
{
    if (m_pObject) {
        strError = QStringLiteral("a plugin is already loaded");
        return false;
    }
    if (strLibrary.isEmpty() || !QFileInfo::exists(strLibrary)) {
        strError = QStringLiteral("the backup plugin library is missing (%1)").arg(QDir::toNativeSeparators(strLibrary));
        return false;
    }
    if (!CheckVerification(strLibrary, strError))
        return false;

    auto *pLoader = new QPluginLoader(strLibrary);
    QObject *pObject = pLoader->instance();
    if (!pObject) {
        strError = QStringLiteral("cannot load %1: %2").arg(QDir::toNativeSeparators(strLibrary), pLoader->errorString());
        delete pLoader;
        return false;
    }
    // By interface id, as the host asks for them.
    auto *pUIPlugin = static_cast<IUIPlugin *>(pObject->qt_metacast(IUIPlugin_iid));
    auto *pBasePlugin = static_cast<IBasePlugin *>(pObject->qt_metacast(IBasePlugin_iid));
    INotify *pNotify = qobject_cast<INotify *>(pObject);
    IBackUpOutFuncInterface *pOutFunc = qobject_cast<IBackUpOutFuncInterface *>(pObject);
    if (!pUIPlugin || !pBasePlugin || !pNotify) {
        strError = QStringLiteral("%1 does not offer the host's plugin interfaces").arg(QDir::toNativeSeparators(strLibrary));
        delete pLoader;
        return false;
    }
    m_pLoader = pLoader;
    m_pObject = pObject;
    m_pUIPlugin = pUIPlugin;
    m_pNotify = pNotify;
    m_pOutFunc = pOutFunc;
    m_strId = pBasePlugin->GetPluginId();
    m_strName = pBasePlugin->GetPluginName();
    return true;
}

bool PluginHost::Init()
{
    if (!m_pObject || !m_pUIPlugin)
        return false;
    if (!m_pUIPlugin->Init())
        return false;
    m_bInitialised = true;
    Startup::GetPluginContainer()->AddPlugin(m_strId, m_strName, m_pObject);
    return true;
}

bool PluginHost::Show(QWidget *pFrame, const QRect &rect)
{
    if (!m_pObject || !m_pUIPlugin)
        return false;
    QRect rectArea = rect;
    if (!m_pUIPlugin->ShowWindow(pFrame, rectArea))
        return false;
    m_bShown = true;
    return true;
}

bool PluginHost::Move(QWidget *pFrame, const QRect &rect)
{
    if (!m_pObject || !m_pUIPlugin || !m_bInitialised || !m_bShown)
        return false;
    QRect rectArea = rect;
    return m_pUIPlugin->MoveWindow(pFrame, rectArea);
}

void PluginHost::Fit(const QRect &rect)
{
    if (!m_pObject || !m_pUIPlugin || !m_bInitialised || !m_bShown)
        return;
    QRect rectArea = rect;
    m_pUIPlugin->FitSize(rectArea);
}

QWidget *PluginHost::Widget() const
{
    return m_pObject && m_pUIPlugin ? m_pUIPlugin->GetWidget() : nullptr;
}

QObject *PluginHost::RunReport() const
{
    if (!m_pObject)
        return nullptr;
    return m_pObject->findChild<QObject *>(QStringLiteral("BackUpUIPlugin_RunReport"), Qt::FindDirectChildrenOnly);
}

void PluginHost::Shutdown()
{
    if (!m_pObject || !m_bInitialised)
        return;
    m_bInitialised = false;
    m_bShown = false;
    m_pNotify->Notify(kThreadExitCode);
    m_pUIPlugin->OnDestroy();
    Startup::GetPluginContainer()->RemovePlugin(m_pObject);
}
