#include "TestEnv.h"

#include "HostBackupRequesterPlugin.h"
#include "HostHomePlugin.h"
#include "HostLayoutPlugin.h"
#include "HostNotifyPlugin.h"
#include "HostStandIns.h"
#include "host/CommonUtils.h"
#include "host/HostCallLog.h"
#include "host/HostPluginIds.h"
#include "host/IUIPlugin.h"
#include "host/IUpdateBackupInterface.h"
#include "host/PluginContainer.h"
#include "host/Startup.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <memory>

class tst_HostStandIns : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void containerLookups_data();
    void containerLookups();
    void containerReplacesSameIdAndForgetsDeleted();

    void interfaceCasts_data();
    void interfaceCasts();

    void requesterRecordsCalls_data();
    void requesterRecordsCalls();
    void notifyPluginRecords();
    void homeEffectWidget();

    void layoutShowsPlugins_data();
    void layoutShowsPlugins();
    void layoutShowsForeignPluginWidget();
    void uninstallRemovesEverything();

private:
    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<QWidget> m_pFrame;
    std::unique_ptr<HostStandIns> m_pStandIns;
};

namespace {

// A plugin of another maker: an IUIPlugin that is not one of the stand-ins.
class ForeignPlugin : public QObject, public IUIPlugin
{
    Q_OBJECT
    Q_INTERFACES(IBasePlugin IUIPlugin)
public:
    explicit ForeignPlugin(QWidget *pWidget)
        : m_pWidget(pWidget)
    {
    }
    bool Init() override { return true; }
    QString GetPluginId() override { return QStringLiteral("11111111-2222-3333-4444-555555555555"); }
    QString GetPluginName() override { return QStringLiteral("ForeignUIPlugin"); }
    void OnDestroy() override {}
    bool ShowWindow(QWidget *, QRect &) override { return true; }
    void HideWindow() override {}
    void FitSize(QRect &) override {}
    bool CheckArgument(QString &) override { return true; }
    QWidget *GetWidget() override { return m_pWidget; }
    bool MoveWindow(QWidget *, QRect &) override { return true; }

private:
    QWidget *m_pWidget;
};

} // namespace

void tst_HostStandIns::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "temporary folder");
    m_pFrame = std::make_unique<QWidget>();
    m_pFrame->resize(896, 640);
    m_pStandIns = std::make_unique<HostStandIns>();
    m_pStandIns->Install(m_pFrame.get());
    HostCallLog::Clear();
}

void tst_HostStandIns::cleanup()
{
    m_pStandIns.reset();
    m_pFrame.reset();
    m_pEnv.reset();
}

void tst_HostStandIns::containerLookups_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expectedName");

    QTest::newRow("home by id") << HOST_HOME_PLUGIN_ID << "HomeUIPlugin";
    QTest::newRow("home by id, other case") << QString::fromLatin1(HOST_HOME_PLUGIN_ID).toLower() << "HomeUIPlugin";
    QTest::newRow("home by name") << "HomeUIPlugin" << "HomeUIPlugin";
    QTest::newRow("notify by id") << HOST_NOTIFY_PLUGIN_ID << "NotifyPlugin";
    QTest::newRow("update by name") << HOST_UPDATE_PLUGIN_NAME << "UpdateUIPlugin";
    QTest::newRow("update by id") << HostStandIns::kUpdatePluginId << "UpdateUIPlugin";
    QTest::newRow("rom by name") << HOST_ROM_PLUGIN_NAME << "ZvRomUIPlugin";
    QTest::newRow("tool by name") << "MyToolUIPlugin" << "MyToolUIPlugin";
    QTest::newRow("names are exact") << "updateuiplugin" << "";
    QTest::newRow("unknown") << "BackUpUIPlugin" << "";
    QTest::newRow("empty") << "" << "";
}

void tst_HostStandIns::containerLookups()
{
    QFETCH(QString, key);
    QFETCH(QString, expectedName);

    QObject *pPlugin = Startup::GetPluginContainer()->GetPlugin(key);
    if (expectedName.isEmpty()) {
        QCOMPARE(pPlugin, nullptr);
        return;
    }
    QVERIFY(pPlugin);
    QCOMPARE(pPlugin->objectName(), expectedName);
}

void tst_HostStandIns::containerReplacesSameIdAndForgetsDeleted()
{
    PluginContainer container;
    auto *pFirst = new QObject;
    QObject second;
    container.AddPlugin(QStringLiteral("ABC-1"), QStringLiteral("First"), pFirst);
    container.AddPlugin(QStringLiteral("abc-1"), QStringLiteral("Second"), &second);
    QCOMPARE(container.GetPlugin(QStringLiteral("ABC-1")), &second);
    QCOMPARE(container.GetPlugin(QStringLiteral("First")), nullptr);
    QCOMPARE(container.GetPluginNames(), QStringList{QStringLiteral("Second")});

    container.AddPlugin(QStringLiteral("XYZ"), QStringLiteral("Third"), pFirst);
    delete pFirst;
    QCOMPARE(container.GetPlugin(QStringLiteral("XYZ")), nullptr);
    QCOMPARE(container.GetPlugin(QStringLiteral("Third")), nullptr);
    container.AddPlugin(QStringLiteral("NULL"), QStringLiteral("Null"), nullptr);
    QCOMPARE(container.GetPlugin(QStringLiteral("Null")), nullptr);

    container.RemovePlugin(&second);
    QCOMPARE(container.GetPlugin(QStringLiteral("Second")), nullptr);
    container.AddPlugin(QStringLiteral("ABC-1"), QStringLiteral("Second"), &second);
    container.Clear();
    QCOMPARE(container.GetPlugin(QStringLiteral("ABC-1")), nullptr);
}

void tst_HostStandIns::interfaceCasts_data()
{
    QTest::addColumn<QString>("plugin");
    QTest::addColumn<QByteArray>("iid");
    QTest::addColumn<bool>("implemented");

    QTest::newRow("home is a UI plugin") << HOST_HOME_PLUGIN_ID << QByteArray(IUIPlugin_iid) << true;
    QTest::newRow("home is a base plugin") << HOST_HOME_PLUGIN_ID << QByteArray(IBasePlugin_iid) << true;
    QTest::newRow("home requests no backup") << HOST_HOME_PLUGIN_ID << QByteArray(IUpdateBackupInterface_iid) << false;
    QTest::newRow("notify") << HOST_NOTIFY_PLUGIN_ID << QByteArray(INotifyPlugin_iid) << true;
    QTest::newRow("notify is no UI plugin") << HOST_NOTIFY_PLUGIN_ID << QByteArray(IUIPlugin_iid) << false;
    QTest::newRow("update requester") << HOST_UPDATE_PLUGIN_NAME << QByteArray(IUpdateBackupInterface_iid) << true;
    QTest::newRow("update is a UI plugin") << HOST_UPDATE_PLUGIN_NAME << QByteArray(IUIPlugin_iid) << true;
    QTest::newRow("rom requester") << HOST_ROM_PLUGIN_NAME << QByteArray(IUpdateBackupInterface_iid) << true;
    QTest::newRow("tool requests no backup") << "MyToolUIPlugin" << QByteArray(IUpdateBackupInterface_iid) << false;
    QTest::newRow("tool is a UI plugin") << "MyToolUIPlugin" << QByteArray(IUIPlugin_iid) << true;
    QTest::newRow("unknown id") << "MyToolUIPlugin" << QByteArray("com.example.INothing") << false;
}

void tst_HostStandIns::interfaceCasts()
{
    QFETCH(QString, plugin);
    QFETCH(QByteArray, iid);
    QFETCH(bool, implemented);

    QObject *pPlugin = Startup::GetPluginContainer()->GetPlugin(plugin);
    QVERIFY(pPlugin);
    void *pInterface = pPlugin->qt_metacast(iid.constData());
    QCOMPARE(pInterface != nullptr, implemented);
    if (implemented && iid == IUIPlugin_iid) {
        auto *pUi = static_cast<IUIPlugin *>(pInterface);
        QCOMPARE(pUi->GetPluginName(), pPlugin->objectName());
    }
}

void tst_HostStandIns::requesterRecordsCalls_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("update") << HOST_UPDATE_PLUGIN_NAME;
    QTest::newRow("rom") << HOST_ROM_PLUGIN_NAME;
}

void tst_HostStandIns::requesterRecordsCalls()
{
    QFETCH(QString, name);

    QObject *pPlugin = Startup::GetPluginContainer()->GetPlugin(name);
    QVERIFY(pPlugin);
    auto *pRequester = static_cast<IUpdateBackupInterface *>(pPlugin->qt_metacast(IUpdateBackupInterface_iid));
    QVERIFY(pRequester);
    QSignalSpy spy(pPlugin, SIGNAL(signalCalled(QString)));

    pRequester->SetBackupSwitching(true);
    pRequester->SetBackupSwitching(false);
    pRequester->OnBackupBegin();
    pRequester->OnBackupValue(3, 12);
    pRequester->OnBackupFinish(QStringLiteral("Backup finished: 5 items"));
    pRequester->OnBackupCancel();
    pRequester->OnBackupClose();

    const QStringList listCalls = {
        QStringLiteral("SetBackupSwitching(true)"), QStringLiteral("SetBackupSwitching(false)"),
        QStringLiteral("OnBackupBegin()"),          QStringLiteral("OnBackupValue(3,12)"),
        QStringLiteral("OnBackupFinish(Backup finished: 5 items)"),
        QStringLiteral("OnBackupCancel()"),         QStringLiteral("OnBackupClose()"),
    };
    auto *pStandIn = qobject_cast<HostBackupRequesterPlugin *>(pPlugin);
    QVERIFY(pStandIn);
    QCOMPARE(pStandIn->Calls(), listCalls);
    QCOMPARE(pStandIn->GetLastResult(), QStringLiteral("Backup finished: 5 items"));
    QVERIFY(!pStandIn->IsSwitching());
    QCOMPARE(spy.count(), listCalls.size());

    QStringList listLogged;
    for (const QString &strCall : listCalls)
        listLogged.append(name + QLatin1Char('.') + strCall);
    QCOMPARE(HostCallLog::Entries(), listLogged);

    // The other requester heard nothing.
    HostBackupRequesterPlugin *pOther = name == QLatin1String(HOST_UPDATE_PLUGIN_NAME) ? m_pStandIns->Rom() : m_pStandIns->Update();
    QVERIFY(pOther->Calls().isEmpty());
}

void tst_HostStandIns::notifyPluginRecords()
{
    QObject *pPlugin = Startup::GetPluginContainer()->GetPlugin(QStringLiteral(HOST_NOTIFY_PLUGIN_ID));
    QVERIFY(pPlugin);
    auto *pNotify = static_cast<INotifyPlugin *>(pPlugin->qt_metacast(INotifyPlugin_iid));
    QVERIFY(pNotify);
    QSignalSpy spy(m_pStandIns->Notify(), &HostNotifyPlugin::signalNotified);
    pNotify->Notify(QStringLiteral(HOST_HOME_PLUGIN_ID), 4116, 0, 1);
    pNotify->Notify(QStringLiteral(HOST_HOME_PLUGIN_ID), 4117, 0, 0);

    const QStringList listExpected = {
        QStringLiteral("Notify(F3389867-EA3E-420d-99A5-6568DB0A8A00,4116,0,1)"),
        QStringLiteral("Notify(F3389867-EA3E-420d-99A5-6568DB0A8A00,4117,0,0)"),
    };
    QCOMPARE(m_pStandIns->Notify()->Calls(), listExpected);
    QCOMPARE(HostCallLog::Entries(), listExpected);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(1).toInt(), 4117);
}

void tst_HostStandIns::homeEffectWidget()
{
    QObject *pPlugin = Startup::GetPluginContainer()->GetPlugin(QStringLiteral(HOST_HOME_PLUGIN_ID));
    auto *pUi = static_cast<IUIPlugin *>(pPlugin->qt_metacast(IUIPlugin_iid));
    QVERIFY(pUi);
    QWidget *pEffect = pUi->GetWidget();
    QVERIFY(pEffect);
    QCOMPARE(pUi->GetWidget(), pEffect);
    QVERIFY(pEffect->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(!pEffect->isVisible());
    // The plugin owns it: it goes with the plugin.
    QPointer<QWidget> pGuard(pEffect);
    m_pStandIns->Uninstall();
    QVERIFY(pGuard.isNull());
}

void tst_HostStandIns::layoutShowsPlugins_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("pageShown");

    QTest::newRow("home") << "HomeUIPlugin" << true << true;
    QTest::newRow("update") << HOST_UPDATE_PLUGIN_NAME << true << true;
    QTest::newRow("rom by id") << HostStandIns::kRomPluginId << true << true;
    QTest::newRow("notify has no page") << "NotifyPlugin" << true << false;
    QTest::newRow("missing") << "NoSuchPlugin" << false << false;
}

void tst_HostStandIns::layoutShowsPlugins()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    QFETCH(bool, pageShown);

    ILayoutPlugin *pLayout = CommonUtils::GetLayoutPlugin();
    QVERIFY(pLayout);
    QCOMPARE(pLayout, static_cast<ILayoutPlugin *>(m_pStandIns->Layout()));
    QCOMPARE(pLayout->GetFrameRect(), QRect(0, 0, 896, 640));
    m_pFrame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pFrame.get()));

    QSignalSpy spy(m_pStandIns->Layout(), &HostLayoutPlugin::signalPluginShown);
    QCOMPARE(pLayout->ShowPlugin(name), found);
    QCOMPARE(spy.count(), found ? 1 : 0);
    QCOMPARE(HostCallLog::Entries().value(0), QStringLiteral("ShowPlugin(%1)").arg(name));

    auto *pStandIn = qobject_cast<HostStandInPlugin *>(Startup::GetPluginContainer()->GetPlugin(name));
    if (!pageShown) {
        QVERIFY(!pStandIn || !pStandIn->GetPageWidget());
        return;
    }
    QVERIFY(pStandIn);
    QWidget *pPage = pStandIn->GetPageWidget();
    QVERIFY(pPage);
    QCOMPARE(pPage->parentWidget(), m_pFrame.get());
    QVERIFY(pPage->isVisible());
    QCOMPARE(pPage->geometry(), m_pFrame->rect());
    // Raised above everything else in the frame.
    QCOMPARE(m_pFrame->children().last(), pPage);
}

void tst_HostStandIns::layoutShowsForeignPluginWidget()
{
    QWidget pluginWindow(m_pFrame.get());
    pluginWindow.hide();
    ForeignPlugin foreign(&pluginWindow);
    Startup::GetPluginContainer()->AddPlugin(foreign.GetPluginId(), foreign.GetPluginName(), &foreign);
    m_pFrame->show();
    QVERIFY(m_pStandIns->Layout()->ShowPlugin(QStringLiteral("ForeignUIPlugin")));
    QVERIFY(pluginWindow.isVisible());
    Startup::GetPluginContainer()->RemovePlugin(&foreign);
    QVERIFY(!m_pStandIns->Layout()->ShowPlugin(QStringLiteral("ForeignUIPlugin")));
}

void tst_HostStandIns::uninstallRemovesEverything()
{
    HostLayoutPlugin otherLayout(nullptr, QRect(1, 2, 3, 4));
    m_pStandIns->Uninstall();
    QVERIFY(!m_pStandIns->IsInstalled());
    QCOMPARE(CommonUtils::GetLayoutPlugin(), nullptr);
    for (const char *szKey : {HOST_HOME_PLUGIN_ID, HOST_NOTIFY_PLUGIN_ID, HOST_UPDATE_PLUGIN_NAME, HOST_ROM_PLUGIN_NAME, "MyToolUIPlugin"})
        QCOMPARE(Startup::GetPluginContainer()->GetPlugin(QString::fromLatin1(szKey)), nullptr);

    // A layout object installed by someone else survives our uninstall.
    m_pStandIns->Install(nullptr, QRect(10, 20, 800, 600));
    QCOMPARE(m_pStandIns->Layout()->GetFrameRect(), QRect(10, 20, 800, 600));
    CommonUtils::SetLayoutPlugin(&otherLayout);
    m_pStandIns->Uninstall();
    QCOMPARE(CommonUtils::GetLayoutPlugin(), static_cast<ILayoutPlugin *>(&otherLayout));
    CommonUtils::SetLayoutPlugin(nullptr);
    // Without a frame a plugin is found but nothing is shown.
    m_pStandIns->Install(nullptr);
    QCOMPARE(m_pStandIns->Layout()->GetFrameRect(), QRect(0, 0, 896, 640));
    QVERIFY(m_pStandIns->Layout()->ShowPlugin(QStringLiteral("HomeUIPlugin")));
    QCOMPARE(m_pStandIns->Home()->GetPageWidget(), nullptr);
}

QTEST_MAIN(tst_HostStandIns)
#include "tst_hoststandins.moc"
