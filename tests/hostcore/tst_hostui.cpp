// The host's stand-in plugins, its plugin container and the host widgets the
// backup pages use: title bar and confirmation dialog.
#include "TestEnv.h"

#include "HostHomePlugin.h"
#include "HostLayoutPlugin.h"
#include "HostNotifyPlugin.h"
#include "HostStandIns.h"
#include "host/CommonUtils.h"
#include "host/CustomPopupDialog.h"
#include "host/HostCallLog.h"
#include "host/HostPluginIds.h"
#include "host/IUIPlugin.h"
#include "host/IUpdateBackupInterface.h"
#include "host/PluginContainer.h"
#include "host/StandardTitleBar.h"
#include "host/Startup.h"
#include "host/TitleBar.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A plugin of another maker: an IUIPlugin that is not one of the stand-ins.
class ForeignPlugin : public QObject, public IUIPlugin
{
    Q_OBJECT
    Q_INTERFACES(IBasePlugin IUIPlugin)
public:
    explicit ForeignPlugin(QWidget *pWidget) : m_pWidget(pWidget) {}
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

// A frameless window with a standard title bar set up the way the wizard pages do it.
struct TitleBarWindow
{
    QWidget window;
    StandardTitleBar *pTitleBar = new StandardTitleBar(&window);

    explicit TitleBarWindow(bool bHideSetting = false, bool bHideMinimize = false)
    {
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.resize(896, 640);
        pTitleBar->SetBtnSettingHide(bHideSetting);
        pTitleBar->SetBtnMinimizeHide(bHideMinimize);
        pTitleBar->SetTitleBarRect(QRect(0, 0, 896, 48));
        pTitleBar->InitLayout();
    }
    bool Show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
};

} // namespace

class tst_HostUi : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void containerLookupsAndCasts_data();
    void containerLookupsAndCasts();
    void containerReplacesSameIdAndForgetsDeleted();
    void layoutShowsPlugins_data();
    void layoutShowsPlugins();
    void uninstallRemovesEverything();

    void titleBarButtonPlaces_data();
    void titleBarButtonPlaces();
    void titleBarButtonsAndDrag();
    void titleBarEffectWidget();
    void plainTitleBarDrag();

    void popupDialog_data();
    void popupDialog();

private:
    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<QWidget> m_pFrame;
    std::unique_ptr<HostStandIns> m_pStandIns;
};

void tst_HostUi::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "temporary folder");
    qunsetenv("PELORIX_HOST_LANG");
    m_pFrame = std::make_unique<QWidget>();
    m_pFrame->resize(896, 640);
    m_pStandIns = std::make_unique<HostStandIns>();
    m_pStandIns->Install(m_pFrame.get());
    HostCallLog::Clear();
}

void tst_HostUi::cleanup()
{
    m_pStandIns.reset();
    m_pFrame.reset();
    m_pEnv.reset();
    qunsetenv("PELORIX_HOST_LANG");
}

void tst_HostUi::containerLookupsAndCasts_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expectedName"); // empty: not found
    QTest::addColumn<QByteArray>("iid");
    QTest::addColumn<bool>("implemented");

    const QByteArray baUi(IUIPlugin_iid);
    const QByteArray baRequester(IUpdateBackupInterface_iid);
    QTest::newRow("home by id, other case") << QString::fromLatin1(HOST_HOME_PLUGIN_ID).toLower() << "HomeUIPlugin" << baUi << true;
    QTest::newRow("notify by id") << HOST_NOTIFY_PLUGIN_ID << "NotifyPlugin" << QByteArray(INotifyPlugin_iid) << true;
    QTest::newRow("update by name") << HOST_UPDATE_PLUGIN_NAME << "UpdateUIPlugin" << baRequester << true;
    QTest::newRow("rom by name") << HOST_ROM_PLUGIN_NAME << "ZvRomUIPlugin" << baRequester << true;
    QTest::newRow("unknown interface") << "MyToolUIPlugin" << "MyToolUIPlugin" << QByteArray("com.example.INothing") << false;
    QTest::newRow("names are exact") << "updateuiplugin" << "" << baUi << false;
}

void tst_HostUi::containerLookupsAndCasts()
{
    QFETCH(QString, key);
    QFETCH(QString, expectedName);
    QFETCH(QByteArray, iid);
    QFETCH(bool, implemented);

    QObject *pPlugin = Startup::GetPluginContainer()->GetPlugin(key);
    QCOMPARE(pPlugin ? pPlugin->objectName() : QString(), expectedName);
    if (!pPlugin)
        return;
    void *pInterface = pPlugin->qt_metacast(iid.constData());
    QCOMPARE(pInterface != nullptr, implemented);
    if (implemented && iid == IUIPlugin_iid)
        QCOMPARE(static_cast<IUIPlugin *>(pInterface)->GetPluginName(), expectedName);
}

void tst_HostUi::containerReplacesSameIdAndForgetsDeleted()
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
    container.RemovePlugin(&second);
    QCOMPARE(container.GetPlugin(QStringLiteral("Second")), nullptr);
}

void tst_HostUi::layoutShowsPlugins_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("pageShown");

    QTest::newRow("home") << "HomeUIPlugin" << true << true;
    QTest::newRow("notify has no page") << "NotifyPlugin" << true << false;
    QTest::newRow("missing") << "NoSuchPlugin" << false << false;
    QTest::newRow("foreign plugin's widget") << "ForeignUIPlugin" << true << true;
}

void tst_HostUi::layoutShowsPlugins()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    QFETCH(bool, pageShown);

    QWidget foreignWindow(m_pFrame.get());
    foreignWindow.hide();
    ForeignPlugin foreign(&foreignWindow);
    Startup::GetPluginContainer()->AddPlugin(foreign.GetPluginId(), foreign.GetPluginName(), &foreign);
    ILayoutPlugin *pLayout = CommonUtils::GetLayoutPlugin();
    QCOMPARE(pLayout, static_cast<ILayoutPlugin *>(m_pStandIns->Layout()));
    QCOMPARE(pLayout->GetFrameRect(), QRect(0, 0, 896, 640));
    m_pFrame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pFrame.get()));

    QSignalSpy spy(m_pStandIns->Layout(), &HostLayoutPlugin::signalPluginShown);
    QCOMPARE(pLayout->ShowPlugin(name), found);
    QCOMPARE(spy.count(), found ? 1 : 0);
    QCOMPARE(HostCallLog::Entries().value(0), QStringLiteral("ShowPlugin(%1)").arg(name));
    QObject *pPlugin = Startup::GetPluginContainer()->GetPlugin(name);
    auto *pStandIn = qobject_cast<HostStandInPlugin *>(pPlugin);
    QWidget *pPage = pPlugin == &foreign ? &foreignWindow : pStandIn ? pStandIn->GetPageWidget() : nullptr;
    QCOMPARE(pPage != nullptr && pPage->isVisible(), pageShown);
    if (pageShown) {
        QCOMPARE(pPage->parentWidget(), m_pFrame.get());
        QCOMPARE(m_pFrame->children().last(), pPage); // raised above everything else
    }
    if (pStandIn && pageShown)
        QCOMPARE(pPage->geometry(), m_pFrame->rect());
    Startup::GetPluginContainer()->RemovePlugin(&foreign);
}

void tst_HostUi::uninstallRemovesEverything()
{
    // The home plugin's effect widget belongs to the plugin and goes with it.
    auto *pHome = static_cast<IUIPlugin *>(m_pStandIns->Home()->qt_metacast(IUIPlugin_iid));
    QPointer<QWidget> pEffect(pHome->GetWidget());
    QVERIFY(pEffect && pEffect->testAttribute(Qt::WA_TransparentForMouseEvents));
    HostLayoutPlugin otherLayout(nullptr, QRect(1, 2, 3, 4));
    m_pStandIns->Uninstall();
    QVERIFY(pEffect.isNull());
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
}

void tst_HostUi::titleBarButtonPlaces_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<bool>("hideSetting");
    QTest::addColumn<bool>("hideMinimize");
    QTest::addColumn<int>("closeX");
    QTest::addColumn<int>("minimizeX"); // -1: hidden
    QTest::addColumn<int>("settingX");

    constexpr int s = StandardTitleBar::kButtonSize;
    constexpr int m = StandardTitleBar::kButtonMargin;
    constexpr int g = StandardTitleBar::kButtonSpacing;
    QTest::newRow("ltr all") << QByteArray("en") << false << false << 896 - m - s << 896 - m - 2 * s - g << 896 - m - 3 * s - 2 * g;
    QTest::newRow("rtl no minimise") << QByteArray("ar") << false << true << m << -1 << m + s + g;
}

void tst_HostUi::titleBarButtonPlaces()
{
    QFETCH(QByteArray, lang);
    QFETCH(bool, hideSetting);
    QFETCH(bool, hideMinimize);
    QFETCH(int, closeX);
    QFETCH(int, minimizeX);
    QFETCH(int, settingX);

    qputenv("PELORIX_HOST_LANG", lang);
    TitleBarWindow w(hideSetting, hideMinimize);
    const int nTop = (48 - StandardTitleBar::kButtonSize) / 2;
    QCOMPARE(w.pTitleBar->GetBtnClose()->pos(), QPoint(closeX, nTop));
    if (minimizeX >= 0)
        QCOMPARE(w.pTitleBar->GetBtnMinimize()->pos(), QPoint(minimizeX, nTop));
    if (settingX >= 0)
        QCOMPARE(w.pTitleBar->GetBtnSetting()->pos(), QPoint(settingX, nTop));
    QCOMPARE(w.pTitleBar->GetBtnSetting()->isHidden(), hideSetting);
    QCOMPARE(w.pTitleBar->GetBtnMinimize()->isHidden(), hideMinimize);
}

void tst_HostUi::titleBarButtonsAndDrag()
{
    TitleBarWindow w;
    w.window.move(200, 150);
    QVERIFY(w.Show());

    // Dragging the bar moves the window; the window moves under the cursor,
    // so the second step is given in the bar's coordinates after the first.
    const QPoint ptStart = w.window.pos();
    const QPoint ptPress(300, 20);
    const QPoint ptDelta(-70, 44);
    QTest::mousePress(w.pTitleBar, Qt::LeftButton, Qt::NoModifier, ptPress);
    QTest::mouseMove(w.pTitleBar, ptPress + ptDelta / 2);
    const QPoint ptHalf = w.window.pos() - ptStart;
    QTest::mouseMove(w.pTitleBar, ptPress + ptDelta - ptHalf);
    QTest::mouseRelease(w.pTitleBar, Qt::LeftButton, Qt::NoModifier, ptPress + ptDelta - ptHalf);
    QCOMPARE(w.window.pos(), ptStart + ptDelta);
    QTest::mouseMove(w.pTitleBar, QPoint(10, 10)); // no button pressed: no drag
    QCOMPARE(w.window.pos(), ptStart + ptDelta);

    QSignalSpy spyMinimize(w.pTitleBar, &StandardTitleBar::signalMinimizeClicked);
    QTest::mouseClick(w.pTitleBar->GetBtnMinimize(), Qt::LeftButton);
    QCOMPARE(spyMinimize.count(), 1);
    QVERIFY(w.window.windowState() & Qt::WindowMinimized);
    w.window.showNormal();
    QSignalSpy spySetting(w.pTitleBar, &StandardTitleBar::signalSettingClicked);
    QTest::mouseClick(w.pTitleBar->GetBtnSetting(), Qt::LeftButton);
    QCOMPARE(spySetting.count(), 1);
    QVERIFY(w.window.isVisible());
    QSignalSpy spyClose(w.pTitleBar, &StandardTitleBar::signalCloseClicked);
    QTest::mouseClick(w.pTitleBar->GetBtnClose(), Qt::LeftButton);
    QCOMPARE(spyClose.count(), 1);
    QVERIFY(!w.window.isVisible());
}

void tst_HostUi::plainTitleBarDrag()
{
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(400, 300);
    auto *pBar = new TitleBar(&window);
    pBar->setGeometry(0, 0, 400, 40);
    window.move(120, 90);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint ptStart = window.pos();

    // Only the left button drags.
    QTest::mousePress(pBar, Qt::RightButton, Qt::NoModifier, QPoint(50, 20));
    QTest::mouseMove(pBar, QPoint(90, 30));
    QTest::mouseRelease(pBar, Qt::RightButton, Qt::NoModifier, QPoint(90, 30));
    QCOMPARE(window.pos(), ptStart);

    QTest::mousePress(pBar, Qt::LeftButton, Qt::NoModifier, QPoint(50, 20));
    QTest::mouseMove(pBar, QPoint(80, 35));
    QTest::mouseRelease(pBar, Qt::LeftButton, Qt::NoModifier, QPoint(80, 35));
    QCOMPARE(window.pos(), ptStart + QPoint(30, 15));
}

void tst_HostUi::titleBarEffectWidget()
{
    // A deleted effect widget is forgotten, not used.
    TitleBarWindow w;
    auto *pChild = new QWidget(&w.window);
    w.pTitleBar->SetEffectWidgetPoint(pChild);
    delete pChild;
    QCOMPARE(w.pTitleBar->GetEffectWidget(), nullptr);
    w.pTitleBar->InitLayout();
}

void tst_HostUi::popupDialog_data()
{
    QTest::addColumn<int>("buttonType");
    QTest::addColumn<QString>("action"); // "ok", "cancel" (clicks) or a key
    QTest::addColumn<bool>("expectOk");

    QTest::newRow("click cancel") << 2 << "cancel" << false;
    QTest::newRow("return") << 2 << "return" << true;
    QTest::newRow("escape with ok only") << 1 << "escape" << true;
}

void tst_HostUi::popupDialog()
{
    QFETCH(int, buttonType);
    QFETCH(QString, action);
    QFETCH(bool, expectOk);

    QWidget page;
    page.resize(896, 640);
    page.move(40, 30);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    CustomPopupDialog dialog(&page, QStringLiteral("Cancel the backup?"), buttonType);
    QSignalSpy spyOk(&dialog, &CustomPopupDialog::signalOnClickOkEvent);
    QSignalSpy spyCancel(&dialog, &CustomPopupDialog::signalOnClickCancelEvent);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.GetText(), QStringLiteral("Cancel the backup?"));
    // Untranslated keys fall back to readable English.
    QCOMPARE(dialog.GetOkButton()->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.GetCancelButton()->text(), QStringLiteral("Cancel"));
    QCOMPARE(dialog.GetCancelButton()->isVisible(), buttonType == 2);
    // Frameless, centred on the page and modal to it while up.
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog.frameGeometry().center(), page.mapToGlobal(page.rect().center()));
    QCOMPARE(QApplication::activeModalWidget(), &dialog);

    if (action == QLatin1String("ok") || action == QLatin1String("cancel"))
        QTest::mouseClick(action == QLatin1String("ok") ? dialog.GetOkButton() : dialog.GetCancelButton(), Qt::LeftButton);
    else
        QTest::keyClick(&dialog, action == QLatin1String("return") ? Qt::Key_Return : Qt::Key_Escape);
    QCOMPARE(spyOk.count(), expectOk ? 1 : 0);
    QCOMPARE(spyCancel.count(), expectOk ? 0 : 1);
    QVERIFY(!dialog.isVisible());
    QVERIFY(page.isVisible());
}

QTEST_MAIN(tst_HostUi)
#include "tst_hostui.moc"
