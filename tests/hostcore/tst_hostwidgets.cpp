#include "TestEnv.h"

#include "host/CustomPopupDialog.h"
#include "host/StandardTitleBar.h"
#include "host/TitleBar.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A frameless top-level window holding a standard title bar set up the way
// the wizard pages do it.
struct TitleBarWindow
{
    QWidget window;
    StandardTitleBar *pTitleBar = nullptr;

    TitleBarWindow()
    {
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.resize(896, 640);
        pTitleBar = new StandardTitleBar(&window);
        pTitleBar->SetBtnMinimizeHide(false);
        pTitleBar->SetBtnCloseHide(false);
        pTitleBar->SetTitleBarRect(QRect(0, 0, 896, 48));
        pTitleBar->SetEffectWidgetRect(QRect(19, 17, 896, 640));
        pTitleBar->SetBtnSettingObjectName(QStringLiteral("HomeUIPlugin_ButtonSetting"));
        pTitleBar->SetBtnCloseObjectName(QStringLiteral("HomeUIPlugin_ButtonClose"));
        pTitleBar->SetBtnMinimizeObjectName(QStringLiteral("HomeUIPlugin_ButtonMinimize"));
        pTitleBar->InitLayout();
    }
};

} // namespace

class tst_HostWidgets : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void titleBarButtonNames();
    void titleBarButtonPlaces_data();
    void titleBarButtonPlaces();
    void titleBarMinimiseAndClose();
    void titleBarDragMovesWindow_data();
    void titleBarDragMovesWindow();
    void titleBarEffectWidget_data();
    void titleBarEffectWidget();
    void titleBarForgetsDeletedEffectWidget();
    void plainTitleBar();

    void popupButtons_data();
    void popupButtons();
    void popupClicks_data();
    void popupClicks();
    void popupKeys_data();
    void popupKeys();
    void popupCentredAndModal();

private:
    std::unique_ptr<TestEnv> m_pEnv;
};

void tst_HostWidgets::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "temporary folder");
    qunsetenv("PELORIX_HOST_LANG");
}

void tst_HostWidgets::cleanup()
{
    qunsetenv("PELORIX_HOST_LANG");
    m_pEnv.reset();
}

void tst_HostWidgets::titleBarButtonNames()
{
    TitleBarWindow w;
    QCOMPARE(w.pTitleBar->GetBtnSetting()->objectName(), QStringLiteral("HomeUIPlugin_ButtonSetting"));
    QCOMPARE(w.pTitleBar->GetBtnClose()->objectName(), QStringLiteral("HomeUIPlugin_ButtonClose"));
    QCOMPARE(w.pTitleBar->GetBtnMinimize()->objectName(), QStringLiteral("HomeUIPlugin_ButtonMinimize"));
    // The style sheet finds them by name.
    QCOMPARE(w.window.findChild<QPushButton *>(QStringLiteral("HomeUIPlugin_ButtonClose")), w.pTitleBar->GetBtnClose());
    QCOMPARE(w.pTitleBar->geometry(), QRect(0, 0, 896, 48));
    QCOMPARE(w.pTitleBar->GetTitleBarRect(), QRect(0, 0, 896, 48));
    QCOMPARE(w.pTitleBar->GetEffectWidgetRect(), QRect(19, 17, 896, 640));
}

void tst_HostWidgets::titleBarButtonPlaces_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<bool>("hideSetting");
    QTest::addColumn<bool>("hideMinimize");
    QTest::addColumn<int>("closeX");
    QTest::addColumn<int>("minimizeX");
    QTest::addColumn<int>("settingX");

    constexpr int s = StandardTitleBar::kButtonSize;
    constexpr int m = StandardTitleBar::kButtonMargin;
    constexpr int g = StandardTitleBar::kButtonSpacing;
    QTest::newRow("ltr all") << QByteArray("en") << false << false << 896 - m - s << 896 - m - 2 * s - g << 896 - m - 3 * s - 2 * g;
    QTest::newRow("ltr no setting") << QByteArray("en") << true << false << 896 - m - s << 896 - m - 2 * s - g << -1;
    QTest::newRow("ltr no minimise") << QByteArray("en") << false << true << 896 - m - s << -1 << 896 - m - 2 * s - g;
    QTest::newRow("rtl all") << QByteArray("ar") << false << false << m << m + s + g << m + 2 * (s + g);
    QTest::newRow("rtl no minimise") << QByteArray("ar") << false << true << m << -1 << m + s + g;
}

void tst_HostWidgets::titleBarButtonPlaces()
{
    QFETCH(QByteArray, lang);
    QFETCH(bool, hideSetting);
    QFETCH(bool, hideMinimize);
    QFETCH(int, closeX);
    QFETCH(int, minimizeX);
    QFETCH(int, settingX);

    qputenv("PELORIX_HOST_LANG", lang);
    QWidget window;
    window.resize(896, 640);
    StandardTitleBar titleBar(&window);
    titleBar.SetBtnSettingHide(hideSetting);
    titleBar.SetBtnMinimizeHide(hideMinimize);
    titleBar.SetTitleBarRect(QRect(0, 0, 896, 48));
    titleBar.InitLayout();

    const int nTop = (48 - StandardTitleBar::kButtonSize) / 2;
    QCOMPARE(titleBar.GetBtnClose()->pos(), QPoint(closeX, nTop));
    if (minimizeX >= 0)
        QCOMPARE(titleBar.GetBtnMinimize()->pos(), QPoint(minimizeX, nTop));
    if (settingX >= 0)
        QCOMPARE(titleBar.GetBtnSetting()->pos(), QPoint(settingX, nTop));
    QCOMPARE(titleBar.GetBtnSetting()->isHidden(), hideSetting);
    QCOMPARE(titleBar.GetBtnMinimize()->isHidden(), hideMinimize);
    QCOMPARE(titleBar.layoutDirection(), lang == "ar" ? Qt::RightToLeft : Qt::LeftToRight);
}

void tst_HostWidgets::titleBarMinimiseAndClose()
{
    TitleBarWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));

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

void tst_HostWidgets::titleBarDragMovesWindow_data()
{
    QTest::addColumn<QPoint>("delta");
    QTest::newRow("right down") << QPoint(120, 45);
    QTest::newRow("left up") << QPoint(-70, -30);
    QTest::newRow("none") << QPoint(0, 0);
}

void tst_HostWidgets::titleBarDragMovesWindow()
{
    QFETCH(QPoint, delta);

    TitleBarWindow w;
    w.window.move(200, 150);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const QPoint ptStart = w.window.pos();
    const QPoint ptPress(300, 20);

    QTest::mousePress(w.pTitleBar, Qt::LeftButton, Qt::NoModifier, ptPress);
    // The window moves under the cursor, so the second step is given in the
    // bar's coordinates after the first move.
    QTest::mouseMove(w.pTitleBar, ptPress + delta / 2);
    const QPoint ptHalf = w.window.pos() - ptStart;
    QTest::mouseMove(w.pTitleBar, ptPress + delta - ptHalf);
    QTest::mouseRelease(w.pTitleBar, Qt::LeftButton, Qt::NoModifier, ptPress + delta - ptHalf);
    QCOMPARE(w.window.pos(), ptStart + delta);

    // Moving without a pressed button does not drag.
    QTest::mouseMove(w.pTitleBar, QPoint(10, 10));
    QCOMPARE(w.window.pos(), ptStart + delta);
}

void tst_HostWidgets::titleBarEffectWidget_data()
{
    QTest::addColumn<bool>("childOfWindow");
    QTest::newRow("child of the window") << true;
    QTest::newRow("window of its own") << false;
}

void tst_HostWidgets::titleBarEffectWidget()
{
    QFETCH(bool, childOfWindow);

    TitleBarWindow w;
    w.window.move(100, 80);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QWidget effect(childOfWindow ? &w.window : nullptr, childOfWindow ? Qt::Widget : Qt::Tool);
    w.pTitleBar->SetEffectWidgetRect(QRect(-5, -5, 906, 650));
    w.pTitleBar->SetEffectWidgetPoint(&effect);
    QCOMPARE(w.pTitleBar->GetEffectWidget(), &effect);
    // The title bar does not take the widget over.
    QCOMPARE(effect.parentWidget(), childOfWindow ? &w.window : nullptr);
    if (childOfWindow)
        QCOMPARE(effect.geometry(), QRect(-5, -5, 906, 650));
    else
        QCOMPARE(effect.geometry(), QRect(w.window.mapToGlobal(QPoint(-5, -5)), QSize(906, 650)));

    w.pTitleBar->SetEffectWidgetPoint(nullptr);
    QCOMPARE(w.pTitleBar->GetEffectWidget(), nullptr);
}

void tst_HostWidgets::titleBarForgetsDeletedEffectWidget()
{
    TitleBarWindow w;
    auto *pEffect = new QWidget(&w.window);
    w.pTitleBar->SetEffectWidgetPoint(pEffect);
    delete pEffect;
    QCOMPARE(w.pTitleBar->GetEffectWidget(), nullptr);
    w.pTitleBar->InitLayout();
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
}

void tst_HostWidgets::plainTitleBar()
{
    QWidget window;
    window.resize(400, 300);
    window.move(50, 60);
    TitleBar titleBar(&window);
    titleBar.setGeometry(0, 0, 400, 40);
    titleBar.SetTitle(QStringLiteral("Backup"));
    QCOMPARE(titleBar.GetTitle(), QStringLiteral("Backup"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint ptStart = window.pos();
    QTest::mousePress(&titleBar, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
    QTest::mouseMove(&titleBar, QPoint(130, 30));
    QTest::mouseRelease(&titleBar, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
    QCOMPARE(window.pos(), ptStart + QPoint(30, 20));
}

void tst_HostWidgets::popupButtons_data()
{
    QTest::addColumn<int>("buttonType");
    QTest::addColumn<bool>("cancelShown");
    QTest::newRow("ok and cancel") << 2 << true;
    QTest::newRow("ok only") << 1 << false;
    QTest::newRow("unknown type shows both") << 0 << true;
}

void tst_HostWidgets::popupButtons()
{
    QFETCH(int, buttonType);
    QFETCH(bool, cancelShown);

    QWidget page;
    page.resize(896, 640);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    CustomPopupDialog dialog(&page, QStringLiteral("Cancel the backup?"), buttonType);
    dialog.show();
    QCOMPARE(dialog.GetText(), QStringLiteral("Cancel the backup?"));
    QCOMPARE(dialog.findChild<QLabel *>()->text(), QStringLiteral("Cancel the backup?"));
    QCOMPARE(dialog.GetOkButton()->objectName(), QStringLiteral("CommonUI_Function_Btn"));
    QCOMPARE(dialog.GetCancelButton()->objectName(), QStringLiteral("CommonUI_Function_Btn"));
    // Untranslated keys fall back to readable English.
    QCOMPARE(dialog.GetOkButton()->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.GetCancelButton()->text(), QStringLiteral("Cancel"));
    QVERIFY(dialog.GetOkButton()->isVisible());
    QCOMPARE(dialog.GetCancelButton()->isVisible(), cancelShown);
}

void tst_HostWidgets::popupClicks_data()
{
    QTest::addColumn<bool>("clickOk");
    QTest::newRow("ok") << true;
    QTest::newRow("cancel") << false;
}

void tst_HostWidgets::popupClicks()
{
    QFETCH(bool, clickOk);

    QWidget page;
    page.resize(896, 640);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    CustomPopupDialog dialog(&page, QStringLiteral("Sure?"), 2);
    QSignalSpy spyOk(&dialog, &CustomPopupDialog::signalOnClickOkEvent);
    QSignalSpy spyCancel(&dialog, &CustomPopupDialog::signalOnClickCancelEvent);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.isVisible());

    QTest::mouseClick(clickOk ? dialog.GetOkButton() : dialog.GetCancelButton(), Qt::LeftButton);
    QCOMPARE(spyOk.count(), clickOk ? 1 : 0);
    QCOMPARE(spyCancel.count(), clickOk ? 0 : 1);
    QVERIFY(!dialog.isVisible());
    QVERIFY(page.isVisible());
}

void tst_HostWidgets::popupKeys_data()
{
    QTest::addColumn<int>("buttonType");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("expectOk");
    QTest::newRow("return") << 2 << int(Qt::Key_Return) << true;
    QTest::newRow("escape cancels") << 2 << int(Qt::Key_Escape) << false;
    QTest::newRow("escape with ok only") << 1 << int(Qt::Key_Escape) << true;
}

void tst_HostWidgets::popupKeys()
{
    QFETCH(int, buttonType);
    QFETCH(int, key);
    QFETCH(bool, expectOk);

    QWidget page;
    page.resize(600, 400);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    CustomPopupDialog dialog(&page, QStringLiteral("Sure?"), buttonType);
    QSignalSpy spyOk(&dialog, &CustomPopupDialog::signalOnClickOkEvent);
    QSignalSpy spyCancel(&dialog, &CustomPopupDialog::signalOnClickCancelEvent);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key(key));
    QCOMPARE(spyOk.count(), expectOk ? 1 : 0);
    QCOMPARE(spyCancel.count(), expectOk ? 0 : 1);
    QVERIFY(!dialog.isVisible());
}

void tst_HostWidgets::popupCentredAndModal()
{
    QWidget page;
    page.resize(896, 640);
    page.move(40, 30);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    CustomPopupDialog dialog(&page, QStringLiteral("Sure?"), 2);
    dialog.show();
    QVERIFY(dialog.isWindow());
    QCOMPARE(dialog.windowModality(), Qt::WindowModal);
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog.frameGeometry().center(), page.mapToGlobal(page.rect().center()));
    // While it is up, the page behind it takes no input.
    QVERIFY(QApplication::activeModalWidget() == &dialog);
}

QTEST_MAIN(tst_HostWidgets)
#include "tst_hostwidgets.moc"
