// The plugin library loaded as the host loads it (verification text, the
// single plugin object, the interface lookup), then driven only through the
// host interfaces: operations without a window, showing, moving and hiding,
// notifications, and destruction while a backup runs.

#include "PluginHost.h"
#include "TestEnv.h"
#include "TestPhone.h"
#include "WizardView.h"

#include <host/CommonUtils.h>
#include <host/IBackUpOutFuncInterface.h>
#include <host/INotify.h>
#include <host/IUIPlugin.h>
#include <sdk/dvsk_sim.h>

#include <HostStandIns.h>

#include <QLibrary>
#include <QPluginLoader>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>

#include <cstdlib>
#include <memory>

namespace
{
const char *const kVerificationText =
    "pattern=QT_PLUGIN_VERIFICATION_DATA\nversion=4.6.2\ndebug=false\nbuildkey=Windows mingw release full-config";

enum class Base
{
    None,
    Self,
    UIPlugin,
    Notify,
    OutFunc
};
} // namespace

Q_DECLARE_METATYPE(Base)

class tst_BackUpUIPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void verificationText();
    void oneInstance();
    void lookupTable_data();
    void lookupTable();
    void operationsWithoutWindow_data();
    void operationsWithoutWindow();
    void showMoveFitHide();
    void notifyEndsThreadsOnlyOn2384();
    void notifyStopsPrepareTimers_data();
    void notifyStopsPrepareTimers();
    void onDestroyEndsRunningBackup();

private:
    IUIPlugin *UI() const { return m_host.UIPlugin(); }
    // Shows the window on a phone whose single video copies slowly, waits for
    // the counting and starts a backup of the media.
    bool StartSlowBackup();

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<HostStandIns> m_pStandIns;
    std::unique_ptr<QWidget> m_pFrame;
    PluginHost m_host;
    QString m_strLibrary;
};

void tst_BackUpUIPlugin::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    m_strLibrary = PluginHost::FindPluginLibrary(QStringLiteral(BACKUP_STAGE_DIR));
    QVERIFY2(!m_strLibrary.isEmpty(), "the plugin library is not built");
    m_pFrame = std::make_unique<QWidget>();
    m_pFrame->resize(896, 640);
    m_pFrame->show();
    m_pStandIns = std::make_unique<HostStandIns>();
    m_pStandIns->Install(m_pFrame.get(), QRect(0, 0, 896, 640));
    QString strError;
    QVERIFY2(m_host.Load(m_strLibrary, strError), qPrintable(strError));
}

void tst_BackUpUIPlugin::cleanup()
{
    // Every test leaves the plugin as a fresh host finds it.
    m_host.Shutdown();
    CommonUtils::SetOperationStatus(0, 0);
    TestPhone::UseDefault();
    DVSK_Sim_Attach();
}

void tst_BackUpUIPlugin::verificationText()
{
    QLibrary library(m_strLibrary);
    using Function = const char *(*)();
    const auto pfnText = reinterpret_cast<Function>(library.resolve("qt_plugin_query_verification_data"));
    QVERIFY2(pfnText, qPrintable(library.errorString()));
    QCOMPARE(QByteArray(pfnText()), QByteArray(kVerificationText));

    QString strError;
    QVERIFY2(PluginHost::CheckVerification(m_strLibrary, strError), qPrintable(strError));
    // A library without the entry point is refused before it is loaded.
    PluginHost other;
    QVERIFY(!other.Load(QStringLiteral(BACKUP_STAGE_DIR "/lib/libhostcore.so"), strError));
    QVERIFY2(strError.contains(QStringLiteral("no verification data")), qPrintable(strError));
}

void tst_BackUpUIPlugin::oneInstance()
{
    QPluginLoader firstLoader(m_strLibrary);
    QPluginLoader secondLoader(m_strLibrary);
    QObject *pFirst = firstLoader.instance();
    QVERIFY2(pFirst, qPrintable(firstLoader.errorString()));
    QCOMPARE(secondLoader.instance(), pFirst);
    QCOMPARE(m_host.Object(), pFirst);

    QLibrary library(m_strLibrary);
    using Function = QObject *(*)();
    const auto pfnInstance = reinterpret_cast<Function>(library.resolve("qt_plugin_instance"));
    QVERIFY(pfnInstance);
    QCOMPARE(pfnInstance(), pFirst);
}

void tst_BackUpUIPlugin::lookupTable_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<Base>("base");
    QTest::newRow("class name") << QByteArray("BackUpUIPlugin") << Base::Self;
    QTest::newRow("IUIPlugin") << QByteArray("IUIPlugin") << Base::UIPlugin;
    QTest::newRow("IUIPlugin id") << QByteArray("com.orbeni.corvanda.plugin.IUIPlugin") << Base::UIPlugin;
    QTest::newRow("IBasePlugin id") << QByteArray("com.orbeni.corvanda.plugin.IBasePlugin") << Base::UIPlugin;
    QTest::newRow("INotify") << QByteArray("INotify") << Base::Notify;
    QTest::newRow("IBackUpOutFuncInterface id")
        << QByteArray("com.orbeni.corvanda.plugin.IBackUpOutFuncInterface") << Base::OutFunc;
    QTest::newRow("QObject falls through") << QByteArray("QObject") << Base::Self;
    QTest::newRow("IBasePlugin by class name") << QByteArray("IBasePlugin") << Base::None;
    QTest::newRow("requester interface") << QByteArray("com.orbeni.corvanda.plugin.IUpdateBackupInterface")
                                         << Base::None;
    QTest::newRow("empty") << QByteArray("") << Base::None;
}

void tst_BackUpUIPlugin::lookupTable()
{
    QFETCH(QByteArray, name);
    QFETCH(Base, base);
    QObject *pObject = m_host.Object();
    QVERIFY(pObject);

    void *pExpected = nullptr;
    switch (base) {
    case Base::None: break;
    case Base::Self: pExpected = pObject; break;
    case Base::UIPlugin: pExpected = dynamic_cast<IUIPlugin *>(pObject); break;
    case Base::Notify: pExpected = dynamic_cast<INotify *>(pObject); break;
    case Base::OutFunc: pExpected = dynamic_cast<IBackUpOutFuncInterface *>(pObject); break;
    }
    if (base != Base::None)
        QVERIFY(pExpected);
    QCOMPARE(pObject->qt_metacast(name.constData()), pExpected);
}

void tst_BackUpUIPlugin::operationsWithoutWindow_data()
{
    QTest::addColumn<bool>("afterDestroy");
    QTest::newRow("before Init") << false;
    QTest::newRow("after OnDestroy") << true;
}

void tst_BackUpUIPlugin::operationsWithoutWindow()
{
    QFETCH(bool, afterDestroy);
    IUIPlugin *pUI = UI();
    if (afterDestroy) {
        QVERIFY(m_host.Init());
        QRect rect(0, 0, 896, 640);
        QVERIFY(pUI->ShowWindow(m_pFrame.get(), rect));
        m_host.Shutdown();
    }
    QCOMPARE(pUI->GetWidget(), nullptr);
    const int nTopLevels = QApplication::topLevelWidgets().size();

    QRect rect(10, 20, 896, 640);
    QVERIFY(!pUI->ShowWindow(m_pFrame.get(), rect));
    QVERIFY(!pUI->MoveWindow(m_pFrame.get(), rect));
    pUI->FitSize(rect);
    pUI->HideWindow();
    QCOMPARE(m_host.Notifier()->Notify(PluginHost::kThreadExitCode), 0);
    QCOMPARE(m_host.Notifier()->Notify(7), 0);
    IBackUpOutFuncInterface *pOutFunc = m_host.OutFunc();
    QVERIFY(pOutFunc);
    QVERIFY(!pOutFunc->SetOutFuncCaller(1));
    pOutFunc->SetOutFuncParam(5);
    pOutFunc->CancelOutFuncBackup();

    // Nothing came into being and nothing was placed in the frame.
    QCOMPARE(pUI->GetWidget(), nullptr);
    QCOMPARE(QApplication::topLevelWidgets().size(), nTopLevels);
    QVERIFY(!m_pFrame->findChild<QWidget *>(QStringLiteral("BackUpUIPlugin_MainWidget")));

    QCOMPARE(pUI->GetPluginName(), QStringLiteral("BackUpUIPlugin"));
}

void tst_BackUpUIPlugin::showMoveFitHide()
{
    QVERIFY(m_host.Init());
    QWidget *pWindow = UI()->GetWidget();
    QVERIFY(pWindow);
    QVERIFY(!pWindow->isVisible());
    QVERIFY(UI()->Init()); // again: the same window
    QCOMPARE(UI()->GetWidget(), pWindow);
    QVERIFY(m_host.RunReport());
    QRect rect(0, 0, 896, 640);
    QVERIFY(!UI()->ShowWindow(nullptr, rect));
    QVERIFY(!pWindow->isVisible());
    QVERIFY(UI()->ShowWindow(m_pFrame.get(), rect));
    QCOMPARE(pWindow->parentWidget(), m_pFrame.get());
    QVERIFY(pWindow->isVisible());
    WizardView view(pWindow);
    QCOMPARE(view.CurrentPage(), view.PreparePage());

    QRect rectMove(12, 34, 100, 100);
    QVERIFY(UI()->MoveWindow(m_pFrame.get(), rectMove));
    QCOMPARE(pWindow->geometry(), QRect(12, 34, 896, 640));
    QRect rectFit(5, 6, 300, 200);
    UI()->FitSize(rectFit);
    QCOMPARE(pWindow->geometry(), QRect(5, 6, 896, 640));
    UI()->HideWindow();
    QVERIFY(!pWindow->isVisible());
}

bool tst_BackUpUIPlugin::StartSlowBackup()
{
    TestPhone phone(m_pEnv->Path(QStringLiteral("slowphone")));
    phone.SetRecords(0, 2);
    phone.AddFile(QStringLiteral("/sdcard/Movies/long.mp4"), 4 * 1024 * 1024);
    phone.SetRateLimitKBps(256);
    if (!phone.Use() || !m_host.Init())
        return false;
    QRect rect(0, 0, 896, 640);
    if (!UI()->ShowWindow(m_pFrame.get(), rect))
        return false;
    WizardView view(UI()->GetWidget());
    if (!QTest::qWaitFor([&view]() { return view.IsCountingDone(); }, 20000))
        return false;
    if (!view.SetTileChecked(QStringLiteral("ImageVedio"), true) || !view.NextButton())
        return false;
    DVSK_Sim_ClearCallLog();
    view.NextButton()->click();
    if (view.CurrentPage() != view.ProgressPage())
        return false;
    // An SDK reset releases the worker only from a call in progress: wait
    // until it copies the video (which takes seconds on this phone).
    const bool bCopying = QTest::qWaitFor(
        []() {
            char *szLog = DVSK_Sim_GetCallLog();
            const bool bFound = szLog && QByteArray(szLog).contains("DVSK_GetFile") && QByteArray(szLog).contains("long.mp4");
            std::free(szLog);
            return bFound;
        },
        20000);
    return bCopying && CommonUtils::ThreadCount() > 0;
}

void tst_BackUpUIPlugin::notifyEndsThreadsOnlyOn2384()
{
    QVERIFY(StartSlowBackup());
    for (quint32 nCode : {0u, 1u, 2383u, 2385u, 4116u, 2384u + 0x10000u, 0xFFFFFFFFu}) {
        QCOMPARE(m_host.Notifier()->Notify(nCode), 0);
        QVERIFY2(CommonUtils::ThreadCount() > 0, qPrintable(QStringLiteral("code %1 ended the worker").arg(nCode)));
    }
    QCOMPARE(m_host.Notifier()->Notify(PluginHost::kThreadExitCode), 0);
    QCOMPARE(CommonUtils::ThreadCount(), 0);
    // Only the threads end: the window stays open.
    QVERIFY(UI()->GetWidget());
    QVERIFY(UI()->GetWidget()->isVisible());
}

void tst_BackUpUIPlugin::notifyStopsPrepareTimers_data()
{
    QTest::addColumn<quint32>("code");
    QTest::addColumn<bool>("stops");
    QTest::newRow("2384") << 2384u << true;
    QTest::newRow("2385") << 2385u << false;
    QTest::newRow("4117") << 4117u << false;
}

void tst_BackUpUIPlugin::notifyStopsPrepareTimers()
{
    QFETCH(quint32, code);
    QFETCH(bool, stops);
    QVERIFY(m_host.Init());
    // While the host is busy with the phone the prepare page polls its status.
    CommonUtils::SetOperationStatus(0, 3);
    QRect rect(0, 0, 896, 640);
    QVERIFY(UI()->ShowWindow(m_pFrame.get(), rect));
    WizardView view(UI()->GetWidget());
    auto anyActive = [&view]() {
        const QList<QTimer *> listTimers =
            view.PreparePage()->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
        return std::any_of(listTimers.cbegin(), listTimers.cend(), [](QTimer *pTimer) { return pTimer->isActive(); });
    };
    QVERIFY(anyActive());
    QCOMPARE(m_host.Notifier()->Notify(code), 0);
    QCOMPARE(anyActive(), !stops);
    CommonUtils::SetOperationStatus(0, 0);
}

void tst_BackUpUIPlugin::onDestroyEndsRunningBackup()
{
    QVERIFY(StartSlowBackup());
    QPointer<QWidget> pWindow = UI()->GetWidget();
    UI()->OnDestroy();
    QCOMPARE(CommonUtils::ThreadCount(), 0);
    QVERIFY(pWindow.isNull());
    QCOMPARE(UI()->GetWidget(), nullptr);
    QVERIFY(!m_host.RunReport());
    // Late host calls find nothing to act on.
    QCOMPARE(m_host.Notifier()->Notify(PluginHost::kThreadExitCode), 0);
    QRect rect(0, 0, 896, 640);
    QVERIFY(!UI()->ShowWindow(m_pFrame.get(), rect));
    // Init after OnDestroy builds a new window.
    QVERIFY(m_host.Init());
    QVERIFY(UI()->GetWidget());
}

QTEST_MAIN(tst_BackUpUIPlugin)
#include "tst_backupuiplugin.moc"
