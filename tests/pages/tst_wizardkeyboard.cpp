// The wizard without a mouse and with a screen reader: Tab visits each tile
// once, in reading order, then the folder and the buttons; Space toggles a
// tile; Enter and Escape press the page's main and cancel buttons; the busy
// overlay keeps the keyboard from what it covers; the stop question keeps the
// backup going on Enter; tiles, progress bar and result page tell a screen
// reader what they show.

#include "BackUpUIThread.h"
#include "CheckBigButton.h"
#include "PageTestSupport.h"
#include "PrepareWizardWidget.h"
#include "WaitingBKFrame.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/CustomPopupDialog.h>
#include <host/HostCallLog.h>

#include <QAccessible>
#include <QDesktopServices>
#include <QUrl>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace
{
// A destination without free space: "next" shows the warning and stays.
class FullDiskPage : public PrepareWizardWidget
{
public:
    using PrepareWizardWidget::PrepareWizardWidget;
    qint64 GetDiskSpace(const QString &) override { return 0; }
};

bool WaitForWorker()
{
    BackUpUIThread *pThread = BackUpUIThread::ExistingInstance();
    return !pThread || pThread->wait(QDeadlineTimer(30000));
}

QString AccessibleText(QObject *pObject, QAccessible::Text eText)
{
    QAccessibleInterface *pInterface = QAccessible::queryAccessibleInterface(pObject);
    return pInterface ? pInterface->text(eText) : QStringLiteral("<no interface>");
}

QWidget *FocusAfterTab()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget();
}
} // namespace

class tst_WizardKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_env.IsValid(), "no temporary folder"); }
    void cleanup();
    void cleanupTestCase() { BackUpUIThread::DestroyInstance(); }

    void prepareTabOrder_data();
    void prepareTabOrder();
    void prepareKeys_data();
    void prepareKeys();
    void overlayHoldsKeyboard();
    void stopQuestion();
    void resultKeys_data();
    void resultKeys();
    void accessibleProgressAndResult();
    void resultFolder();

private:
    void BuildPrepare(const QString &strLang);

    TestEnv m_env;
    Wizard m_wizard;
    FullDiskPage *m_pPrepare = nullptr;
};

void tst_WizardKeyboard::cleanup()
{
    QVERIFY(WaitForWorker());
    QCoreApplication::processEvents();
    m_wizard.Reset();
    m_pPrepare = nullptr;
    CommonUtils::SetLayoutPlugin(nullptr);
    HostCallLog::Clear();
}

void tst_WizardKeyboard::BuildPrepare(const QString &strLang)
{
    QVERIFY(WaitForWorker());
    m_wizard.Build(strLang, [this](QWidget *pFrame) { return m_pPrepare = new FullDiskPage(pFrame); });
    QVERIFY(QTest::qWaitForWindowActive(m_wizard.pFrame.get()));
    m_pPrepare->ShowPage();
    // The overlay holds the focus until the counting run has filled the tiles.
    QCOMPARE(QApplication::focusWidget(), m_pPrepare->GetWaitingFrame());
    QTRY_VERIFY_WITH_TIMEOUT(m_pPrepare->GetWaitingFrame()->isHidden(), 30000);
    QVERIFY(WaitForWorker());
}

void tst_WizardKeyboard::prepareTabOrder_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::newRow("left to right") << "en";
    QTest::newRow("right to left") << "ar";
}

void tst_WizardKeyboard::prepareTabOrder()
{
    QFETCH(QString, strLang);
    BuildPrepare(strLang);
    const bool bRightToLeft = strLang == QLatin1String("ar");

    // Every tile the phone has data for, in layout order, then the folder
    // button, Start and Cancel; then round again.
    QList<QWidget *> listExpected;
    CheckBigButton *pPrevious = nullptr;
    for (int nId : m_pPrepare->TileOrder()) {
        CheckBigButton *pTile = m_pPrepare->GetBigButtons().value(nId);
        QVERIFY(pTile);
        if (!pTile->isEnabled())
            continue;
        // Reading order: along a row in the language's direction.
        if (pPrevious && pPrevious->y() == pTile->y())
            QVERIFY2(bRightToLeft ? pTile->x() < pPrevious->x() : pTile->x() > pPrevious->x(),
                     qPrintable(pTile->GetTitle()));
        pPrevious = pTile;
        listExpected << pTile;
    }
    QVERIFY(listExpected.size() >= 5);
    listExpected << m_pPrepare->GetBrowseButton() << m_pPrepare->GetNextButton() << m_pPrepare->GetCancelButton();

    // The first tile has the focus once counting is over.
    QCOMPARE(QApplication::focusWidget(), listExpected.first());
    QList<QWidget *> listVisited{QApplication::focusWidget()};
    for (int i = 1; i < listExpected.size(); ++i)
        listVisited << FocusAfterTab();
    QCOMPARE(listVisited, listExpected);
    QCOMPARE(FocusAfterTab(), listExpected.first());

    // Reached with Tab, a tile shows its focus ring and Space toggles it.
    CheckBigButton *pTile = qobject_cast<CheckBigButton *>(listExpected.first());
    QVERIFY(pTile->GetFocusFrame()->isVisible());
    const bool bChecked = pTile->IsChecked();
    QTest::keyClick(pTile, Qt::Key_Space);
    QCOMPARE(pTile->IsChecked(), !bChecked);
    QCOMPARE(AccessibleText(pTile, QAccessible::Name), pTile->GetTitle());
    QAccessibleInterface *pInterface = QAccessible::queryAccessibleInterface(pTile);
    QVERIFY(pInterface->state().checkable);
    QCOMPARE(bool(pInterface->state().checked), !bChecked);
    QTest::keyClick(pTile, Qt::Key_Space);
    QCOMPARE(pTile->IsChecked(), bChecked);
    QCOMPARE(bool(pInterface->state().checked), bChecked);
    FocusAfterTab();
    QVERIFY(!pTile->GetFocusFrame()->isVisible());
}

void tst_WizardKeyboard::prepareKeys_data()
{
    QTest::addColumn<QString>("strFocus"); // "tile", "cancel" or "browse"
    QTest::addColumn<int>("nKey");
    QTest::addColumn<QString>("strPressed"); // "next", "cancel" or "" for nothing

    QTest::newRow("Enter on a tile starts") << "tile" << int(Qt::Key_Return) << "next";
    QTest::newRow("keypad Enter starts") << "tile" << int(Qt::Key_Enter) << "next";
    QTest::newRow("Escape cancels") << "tile" << int(Qt::Key_Escape) << "cancel";
    QTest::newRow("Enter on Cancel cancels") << "cancel" << int(Qt::Key_Return) << "cancel";
    QTest::newRow("Space on Cancel cancels") << "cancel" << int(Qt::Key_Space) << "cancel";
    QTest::newRow("Escape on the folder button cancels") << "browse" << int(Qt::Key_Escape) << "cancel";
}

void tst_WizardKeyboard::prepareKeys()
{
    QFETCH(QString, strFocus);
    QFETCH(int, nKey);
    QFETCH(QString, strPressed);
    BuildPrepare(QStringLiteral("en"));
    QSignalSpy spyNext(m_pPrepare->GetNextButton(), &QPushButton::clicked);
    QSignalSpy spyCancel(m_pPrepare->GetCancelButton(), &QPushButton::clicked);

    QWidget *pFocus = QApplication::focusWidget();
    if (strFocus == QLatin1String("cancel"))
        pFocus = m_pPrepare->GetCancelButton();
    else if (strFocus == QLatin1String("browse"))
        pFocus = m_pPrepare->GetBrowseButton();
    pFocus->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), pFocus);
    QTest::keyClick(pFocus, Qt::Key(nKey));

    QCOMPARE(spyNext.count(), strPressed == QLatin1String("next") ? 1 : 0);
    QCOMPARE(spyCancel.count(), strPressed == QLatin1String("cancel") ? 1 : 0);
    if (strPressed == QLatin1String("next")) {
        // Start ran: the disk is full, so the page says so and stays.
        QVERIFY(m_pPrepare->GetSpaceStatusLabel()->isVisible());
        QVERIFY(m_pPrepare->isVisible());
    }
}

void tst_WizardKeyboard::overlayHoldsKeyboard()
{
    BuildPrepare(QStringLiteral("en"));
    QSignalSpy spyNext(m_pPrepare->GetNextButton(), &QPushButton::clicked);
    QSignalSpy spyCancel(m_pPrepare->GetCancelButton(), &QPushButton::clicked);
    WaitingBKFrame *pOverlay = m_pPrepare->GetWaitingFrame();
    // The phone is busy again: the overlay covers the page.
    pOverlay->ShowFrame();
    QCOMPARE(QApplication::focusWidget(), pOverlay);
    // A screen reader announces what the overlay shows.
    QCOMPARE(AccessibleText(pOverlay, QAccessible::Name), Change::tr("IDS_BACKUPUIPLUGIN_WAITING_READING_TEXT"));
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return}) {
        QTest::keyClick(pOverlay, key);
        QCOMPARE(QApplication::focusWidget(), pOverlay);
    }
    QCOMPARE(spyNext.count(), 0);
    // Escape still leaves the page.
    QTest::keyClick(pOverlay, Qt::Key_Escape);
    QCOMPARE(spyCancel.count(), 1);
    pOverlay->HideFrame();
}

void tst_WizardKeyboard::stopQuestion()
{
    LangScope lang(QStringLiteral("ru"));
    m_wizard.Build(QStringLiteral("ru"), [](QWidget *) { return nullptr; });
    QVERIFY(QTest::qWaitForWindowActive(m_wizard.pFrame.get()));
    DoingWizardWidget *pDoing = m_wizard.pDoing;
    pDoing->setProgressBarRange(0, 1000);
    pDoing->ShowPage();
    QTest::keyClick(pDoing, Qt::Key_Escape);
    QPointer<CustomPopupDialog> pDialog = pDoing->GetCancelDialog();
    QVERIFY(pDialog);
    // The buttons say what they do, in the user's language.
    QCOMPARE(pDialog->GetOkButton()->text(), QStringLiteral("Остановить"));
    QCOMPARE(pDialog->GetCancelButton()->text(), QStringLiteral("Продолжить"));
    QVERIFY(pDialog->GetCancelButton()->isDefault());
    QVERIFY(!pDialog->GetOkButton()->isDefault());
    QTRY_COMPARE(QApplication::focusWidget(), pDialog->GetCancelButton());
    QSignalSpy spyStop(pDialog.data(), &CustomPopupDialog::signalOnClickOkEvent);
    // Enter keeps the backup going.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(spyStop.count(), 0);
    QTRY_VERIFY(!pDialog);
    QVERIFY(pDoing->GetStepTimer()->isActive());
    QVERIFY(pDoing->GetCancelCover()->isHidden());
    pDoing->GetStepTimer()->stop();

    // Screen readers read the bar by name and value.
    QProgressBar *pBar = pDoing->GetProgressBar();
    pBar->setValue(150);
    QAccessibleInterface *pInterface = QAccessible::queryAccessibleInterface(pBar);
    QVERIFY(pInterface && pInterface->valueInterface());
    QVERIFY(!pInterface->text(QAccessible::Name).isEmpty());
    QCOMPARE(pInterface->valueInterface()->currentValue().toInt(), 150);
    QCOMPARE(pInterface->valueInterface()->maximumValue().toInt(), pBar->maximum());
}

void tst_WizardKeyboard::resultKeys_data()
{
    QTest::addColumn<int>("nKey");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void tst_WizardKeyboard::resultKeys()
{
    QFETCH(int, nKey);
    m_wizard.Build(QStringLiteral("en"), [](QWidget *) { return nullptr; });
    QVERIFY(QTest::qWaitForWindowActive(m_wizard.pFrame.get()));
    CompleteWizardWidget *pResult = m_wizard.pResult;
    pResult->ShowPage();
    QCOMPARE(QApplication::focusWidget(), pResult);
    QSignalSpy spyFinish(pResult->GetFinishButton(), &QPushButton::clicked);
    QTest::keyClick(pResult, Qt::Key(nKey));
    QCOMPARE(spyFinish.count(), 1);
    QVERIFY(m_wizard.pFrame->isHidden());
}

void tst_WizardKeyboard::accessibleProgressAndResult()
{
    m_wizard.Build(QStringLiteral("en"), [](QWidget *) { return nullptr; });
    CompleteWizardWidget *pResult = m_wizard.pResult;
    pResult->SetResultCaption(QStringLiteral("Some items failed:"));
    pResult->SetResultValue(QStringLiteral("Videos"));
    pResult->SetApkTip(QStringLiteral("4 apps were copied."));
    pResult->ShowPage();
    QCOMPARE(AccessibleText(pResult, QAccessible::Name), pResult->GetStatusText());
    QCOMPARE(AccessibleText(pResult, QAccessible::Description),
             QStringLiteral("Some items failed: Videos\n4 apps were copied."));
    // The rich-text notice is read as plain words.
    QCOMPARE(AccessibleText(pResult->GetResultLabel(), QAccessible::Name), QStringLiteral("Some items failed: Videos"));

    // A successful run afterwards: only the headline.
    pResult->SetResultCaption(QString());
    pResult->SetResultValue(QString());
    pResult->SetApkTip(QString());
    pResult->ShowPage();
    QCOMPARE(AccessibleText(pResult, QAccessible::Description), QString());
}

namespace
{
// Takes the URLs the desktop would open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> m_listUrls;
public slots:
    void open(const QUrl &url) { m_listUrls << url; }
};
} // namespace

void tst_WizardKeyboard::resultFolder()
{
    // After a run that delivered a package, the result page names the folder
    // and opens it on request, from the keyboard too.
    m_wizard.Build(QStringLiteral("en"), [](QWidget *) { return nullptr; });
    QVERIFY(QTest::qWaitForWindowActive(m_wizard.pFrame.get()));
    CompleteWizardWidget *pResult = m_wizard.pResult;
    const QString strFolder = m_env.Path(QStringLiteral("backups"));
    pResult->SetBackupFolder(strFolder);
    pResult->ShowPage();
    QVERIFY(pResult->GetFolderLabel()->isVisible());
    QVERIFY2(pResult->GetFolderLabel()->text().contains(QDir::toNativeSeparators(strFolder)),
             qPrintable(pResult->GetFolderLabel()->text()));
    // No direction marks in a left-to-right sentence (they would be copied
    // along with the text).
    QVERIFY(!pResult->GetFolderLabel()->text().contains(QChar(0x202A)));
    QCOMPARE(pResult->GetOpenFolderButton()->text(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_OPENFOLDER_BUTTON"));
    QVERIFY(AccessibleText(pResult, QAccessible::Description).contains(QDir::toNativeSeparators(strFolder)));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QCOMPARE(FocusAfterTab(), pResult->GetOpenFolderButton());
    QTest::keyClick(pResult->GetOpenFolderButton(), Qt::Key_Space);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.m_listUrls, QList<QUrl>{QUrl::fromLocalFile(strFolder)});
    QCOMPARE(FocusAfterTab(), pResult->GetFinishButton());

    // A run that delivered nothing has no folder to show.
    pResult->SetOutcome(CompleteWizardWidget::Outcome::Failed);
    pResult->ShowPage();
    QVERIFY(pResult->GetFolderLabel()->isHidden());
    QVERIFY(pResult->GetOpenFolderButton()->isHidden());
}

QTEST_MAIN(tst_WizardKeyboard)
#include "tst_wizardkeyboard.moc"
