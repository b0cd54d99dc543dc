// The wizard page base (build order, neighbours, title bar) and the result
// page (which texts show, both directions, finish).

#include "CompleteWizardWidget.h"
#include "CustomLabelButton.h"
#include "CustomWizardWidget.h"
#include "TestEnv.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/HostCallLog.h>
#include <host/StandardTitleBar.h>

#include <HostHomePlugin.h>
#include <HostStandIns.h>

#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace
{
// A page that records the build steps and shows.
class RecordingPage : public CustomWizardWidget
{
public:
    using CustomWizardWidget::CustomWizardWidget;
    QStringList m_listSteps;

protected:
    void InitWindow() override { m_listSteps << "InitWindow"; CustomWizardWidget::InitWindow(); }
    void InitMembers() override { m_listSteps << "InitMembers"; }
    void InitTitleBar() override { m_listSteps << "InitTitleBar"; CustomWizardWidget::InitTitleBar(); }
    void InitButtons() override { m_listSteps << "InitButtons"; }
    void InitButtonText() override { m_listSteps << "InitButtonText"; }
    void InitObjectName() override { m_listSteps << "InitObjectName"; }
    void InitLayout() override { m_listSteps << "InitLayout"; }
    void InitCons() override { m_listSteps << "InitCons"; }
    void InitialShow() override { m_listSteps << "InitialShow"; }
};

// Sets the host language for the pages built while it lives.
class LangScope
{
public:
    explicit LangScope(const QString &strLang)
        : m_bHad(qEnvironmentVariableIsSet("PELORIX_HOST_LANG")), m_baOld(qgetenv("PELORIX_HOST_LANG"))
    {
        qputenv("PELORIX_HOST_LANG", strLang.toUtf8());
    }
    ~LangScope()
    {
        if (m_bHad)
            qputenv("PELORIX_HOST_LANG", m_baOld);
        else
            qunsetenv("PELORIX_HOST_LANG");
    }

private:
    const bool m_bHad;
    const QByteArray m_baOld;
};

void ApplySkin()
{
    QDir::setCurrent(QStringLiteral(BACKUP_STAGE_DIR));
    QFile file(QStringLiteral(BACKUP_STAGE_DIR "/skin/default/backup.qss"));
    if (file.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
}
} // namespace

class tst_WizardPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void buildOrder();
    void navigation_data();
    void navigation();
    void titleBar_data();
    void titleBar();

    void resultLabels_data();
    void resultLabels();
    void resultLayout_data();
    void resultLayout();
    void resultShownTwice();
    void finish_data();
    void finish();
    void resultPictures_data();
    void resultPictures();

private:
    std::unique_ptr<CompleteWizardWidget> MakeResultPage(QWidget *pFrame);

    std::unique_ptr<TestEnv> m_pEnv;
};

void tst_WizardPages::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
}

void tst_WizardPages::cleanup()
{
    CommonUtils::SetLayoutPlugin(nullptr);
    HostCallLog::Clear();
}

void tst_WizardPages::buildOrder()
{
    QWidget frame;
    RecordingPage page(&frame);
    page.InitPage();
    QCOMPARE(page.m_listSteps,
             QStringList({"InitWindow", "InitMembers", "InitTitleBar", "InitButtons", "InitButtonText",
                          "InitObjectName", "InitLayout", "InitCons"}));
    QCOMPARE(page.minimumSize(), QSize(896, 640));
    QVERIFY(page.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(page.parentWidget(), &frame);
    QVERIFY(!page.isWindow());

    page.m_listSteps.clear();
    page.ShowPage();
    QCOMPARE(page.m_listSteps, QStringList({"InitialShow"}));
    QVERIFY(!page.isHidden());
}

void tst_WizardPages::navigation_data()
{
    QTest::addColumn<int>("nStart");
    QTest::addColumn<QString>("strAction");
    QTest::addColumn<int>("nVisible"); // -1: none of the pages
    QTest::addColumn<bool>("bFrameVisible");

    QTest::newRow("next from the first") << 0 << "next" << 1 << true;
    QTest::newRow("next from the middle") << 1 << "next" << 2 << true;
    QTest::newRow("next on the last does nothing") << 2 << "next" << 2 << true;
    QTest::newRow("back from the last") << 2 << "back" << 1 << true;
    QTest::newRow("back on the first does nothing") << 0 << "back" << 0 << true;
    QTest::newRow("cancel on a later page shows the previous") << 2 << "cancel" << 1 << true;
    QTest::newRow("cancel on the first hides the window") << 0 << "cancel" << 0 << false;
}

void tst_WizardPages::navigation()
{
    QFETCH(int, nStart);
    QFETCH(QString, strAction);
    QFETCH(int, nVisible);
    QFETCH(bool, bFrameVisible);

    QWidget frame;
    frame.resize(896, 640);
    RecordingPage pages[3] = {RecordingPage(&frame), RecordingPage(&frame), RecordingPage(&frame)};
    for (RecordingPage &page : pages) {
        page.InitPage();
        page.hide();
    }
    pages[0].SetNeighbourPages(nullptr, &pages[1]);
    pages[1].SetNeighbourPages(&pages[0], &pages[2]);
    pages[2].SetNeighbourPages(&pages[1], nullptr);
    frame.show();
    pages[nStart].ShowPage();
    for (RecordingPage &page : pages)
        page.m_listSteps.clear();

    if (strAction == "next")
        pages[nStart].DoNext();
    else if (strAction == "back")
        pages[nStart].DoBack();
    else
        pages[nStart].DoCancel();

    for (int i = 0; i < 3; ++i) {
        QCOMPARE(!pages[i].isHidden(), i == nVisible);
        // A page that is moved to runs its InitialShow first.
        if (i == nVisible && i != nStart)
            QCOMPARE(pages[i].m_listSteps, QStringList({"InitialShow"}));
    }
    QCOMPARE(!frame.isHidden(), bFrameVisible);
}

void tst_WizardPages::titleBar_data()
{
    QTest::addColumn<bool>("bLayout");
    QTest::addColumn<QRect>("rectFrame");
    QTest::addColumn<QRect>("rectEffect");

    QTest::newRow("no layout object") << false << QRect() << QRect(19, 17, 896, 640);
    QTest::newRow("layout object") << true << QRect(100, 50, 1000, 700) << QRect(95, 45, 1010, 710);
    QTest::newRow("layout object at the origin") << true << QRect(0, 0, 896, 640) << QRect(-5, -5, 906, 650);
}

void tst_WizardPages::titleBar()
{
    QFETCH(bool, bLayout);
    QFETCH(QRect, rectFrame);
    QFETCH(QRect, rectEffect);

    QWidget frame;
    HostStandIns standIns;
    QWidget *pEffectWidget = nullptr;
    if (bLayout) {
        standIns.Install(&frame, rectFrame);
        // The home plugin's window carries the title bar's effect.
        QRect rect(0, 0, 896, 640);
        standIns.Home()->ShowWindow(&frame, rect);
        pEffectWidget = standIns.Home()->GetWidget();
        QVERIFY(pEffectWidget);
    }

    RecordingPage page(&frame);
    page.InitPage();
    StandardTitleBar *pTitleBar = page.GetTitleBar();
    QVERIFY(pTitleBar);
    QCOMPARE(pTitleBar->parentWidget(), &page);
    QCOMPARE(pTitleBar->GetTitleBarRect(), QRect(0, 0, 896, 48));
    QCOMPARE(pTitleBar->GetEffectWidgetRect(), rectEffect);
    QCOMPARE(pTitleBar->GetEffectWidget(), pEffectWidget);
    QCOMPARE(pTitleBar->GetBtnClose()->objectName(), QStringLiteral("HomeUIPlugin_ButtonClose"));
    QCOMPARE(pTitleBar->GetBtnMinimize()->objectName(), QStringLiteral("HomeUIPlugin_ButtonMinimize"));
    QCOMPARE(pTitleBar->GetBtnSetting()->objectName(), QStringLiteral("HomeUIPlugin_ButtonSetting"));
    QVERIFY(!pTitleBar->GetBtnClose()->isHidden());
    QVERIFY(!pTitleBar->GetBtnMinimize()->isHidden());
}

std::unique_ptr<CompleteWizardWidget> tst_WizardPages::MakeResultPage(QWidget *pFrame)
{
    auto pPage = std::make_unique<CompleteWizardWidget>(pFrame);
    pPage->InitPage();
    return pPage;
}

void tst_WizardPages::resultLabels_data()
{
    QTest::addColumn<QString>("strCaption");
    QTest::addColumn<QString>("strValue");
    QTest::addColumn<QString>("strContacts");
    QTest::addColumn<QString>("strApk");

    QTest::newRow("success") << "" << "" << "" << "";
    QTest::newRow("failed items") << "Sorry, these failed:" << "Contacts,SMS" << "" << "";
    QTest::newRow("memory failure, empty headline") << "" << "Phone memory unreadable" << "" << "";
    QTest::newRow("contacts note only") << "" << "" << "12 contacts backed up" << "";
    QTest::newRow("applications note only") << "" << "" << "" << "3 applications backed up";
    QTest::newRow("everything") << "Sorry:" << "Music" << "12 contacts" << "3 applications";
}

void tst_WizardPages::resultLabels()
{
    QFETCH(QString, strCaption);
    QFETCH(QString, strValue);
    QFETCH(QString, strContacts);
    QFETCH(QString, strApk);

    QWidget frame;
    auto pPage = MakeResultPage(&frame);
    pPage->SetResultCaption(strCaption);
    pPage->SetResultValue(strValue);
    pPage->SetResultNote(QStringLiteral("stored, not shown"));
    pPage->SetContactsTip(strContacts);
    pPage->SetApkTip(strApk);
    pPage->ShowPage();

    const QString strSuccess = Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL");
    QCOMPARE(pPage->GetStatusText(), strSuccess);
    QCOMPARE(pPage->GetStatusLabel()->text(), strSuccess);
    QVERIFY(!pPage->GetStatusLabel()->isHidden());

    QCOMPARE(!pPage->GetResultLabel()->isHidden(), !strValue.isEmpty());
    if (!strValue.isEmpty()) {
        QCOMPARE(pPage->GetResultLabel()->text(),
                 "<font color=#e7e7e7 style=font-size:16px>" + strCaption + "</font> "
                     + "<font color=#ffffff style=font-size:19px>" + strValue + "</font> ");
    }
    QCOMPARE(!pPage->GetContactsLabel()->isHidden(), !strContacts.isEmpty());
    QCOMPARE(!pPage->GetContactsIcon()->isHidden(), !strContacts.isEmpty());
    QCOMPARE(!pPage->GetApkLabel()->isHidden(), !strApk.isEmpty());
    QCOMPARE(!pPage->GetApkIcon()->isHidden(), !strApk.isEmpty());
    if (!strContacts.isEmpty())
        QCOMPARE(pPage->GetContactsLabel()->text(), strContacts);
    if (!strApk.isEmpty())
        QCOMPARE(pPage->GetApkLabel()->text(), strApk);
    // The result text is kept for the requesting plugin, never shown.
    QVERIFY(!pPage->GetResultLabel()->text().contains("stored, not shown"));
    QVERIFY(!pPage->GetStatusLabel()->text().contains("stored, not shown"));
}

void tst_WizardPages::resultLayout_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::addColumn<QPoint>("ptPicture");
    QTest::addColumn<QPoint>("ptHeader");
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<Qt::LayoutDirection>("direction");

    QTest::newRow("left to right") << "en" << QPoint(47, 45) << QPoint(27, 41) << QMargins(377, 0, 0, 110)
                                   << Qt::LeftToRight;
    QTest::newRow("right to left") << "ar" << QPoint(429, 45) << QPoint(593, 41) << QMargins(0, 0, 377, 110)
                                   << Qt::RightToLeft;
}

void tst_WizardPages::resultLayout()
{
    QFETCH(QString, strLang);
    QFETCH(QPoint, ptPicture);
    QFETCH(QPoint, ptHeader);
    QFETCH(QMargins, margins);
    QFETCH(Qt::LayoutDirection, direction);

    LangScope lang(strLang);
    QWidget frame;
    auto pPage = MakeResultPage(&frame);
    QCOMPARE(pPage->GetPicture()->pos(), ptPicture);
    QCOMPARE(pPage->GetPicture()->size(), QSize(420, 420));
    QCOMPARE(pPage->GetHeader()->pos(), ptHeader);
    QCOMPARE(pPage->GetHeader()->layoutDirection(), direction);
    QCOMPARE(pPage->GetFinishButton()->pos(), QPoint(390, 566));
    QCOMPARE(pPage->GetFinishButton()->objectName(), QStringLiteral("CommonUI_Function_Btn"));
    QCOMPARE(pPage->layoutDirection(), direction);
    QVERIFY(pPage->layout());
    QCOMPARE(pPage->layout()->contentsMargins(), margins);

    const QStringList listNames = {"BackUpUIPlugin_Complete_Status",       "BackUpUIPlugin_Complete_Result",
                                   "BackUpUIPlugin_Complete_ContactsIcon", "BackUpUIPlugin_Complete_ContactsLabel",
                                   "BackUpUIPlugin_Complete_APKIcon",      "BackUpUIPlugin_Complete_APKLabel"};
    for (const QString &strName : listNames)
        QVERIFY2(pPage->findChild<QLabel *>(strName), qPrintable(strName));
    QCOMPARE(pPage->GetResultLabel()->width(), 400);
    QCOMPARE(pPage->GetContactsIcon()->size(), QSize(11, 18));
}

void tst_WizardPages::resultShownTwice()
{
    QWidget frame;
    auto pPage = MakeResultPage(&frame);
    pPage->SetResultCaption("Sorry:");
    pPage->SetResultValue("Contacts");
    pPage->SetContactsTip("note");
    pPage->ShowPage();
    const QString strFirst = pPage->GetResultLabel()->text();
    pPage->hide();
    pPage->ShowPage();
    QCOMPARE(pPage->GetResultLabel()->text(), strFirst);
    QVERIFY(!pPage->GetResultLabel()->isHidden());
    QVERIFY(!pPage->GetContactsLabel()->isHidden());

    // New texts replace the old ones at the next show.
    pPage->SetResultValue(QString());
    pPage->SetContactsTip(QString());
    pPage->ShowPage();
    QVERIFY(pPage->GetResultLabel()->isHidden());
    QVERIFY(pPage->GetContactsLabel()->isHidden());
}

void tst_WizardPages::finish_data()
{
    QTest::addColumn<bool>("bLayout");
    QTest::newRow("with a layout object") << true;
    QTest::newRow("without a layout object") << false;
}

void tst_WizardPages::finish()
{
    QFETCH(bool, bLayout);
    QWidget frame;
    HostStandIns standIns;
    if (bLayout)
        standIns.Install(&frame);
    auto pPage = MakeResultPage(&frame);
    frame.show();
    pPage->ShowPage();
    HostCallLog::Clear();

    pPage->GetFinishButton()->click();
    QVERIFY(pPage->isHidden());
    QVERIFY(frame.isHidden());
    QCOMPARE(HostCallLog::Entries().contains("ShowPlugin(HomeUIPlugin)"), bLayout);
}

void tst_WizardPages::resultPictures_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::addColumn<bool>("bFailure");
    QTest::newRow("success-en") << "en" << false;
    QTest::newRow("failure-en") << "en" << true;
    QTest::newRow("success-ar") << "ar" << false;
    QTest::newRow("failure-ar") << "ar" << true;
}

void tst_WizardPages::resultPictures()
{
    QFETCH(QString, strLang);
    QFETCH(bool, bFailure);

    LangScope lang(strLang);
    ApplySkin();
    QWidget frame;
    frame.setObjectName("BackUpUIPlugin_MainWidget");
    frame.setFixedSize(896, 640);
    auto pPage = MakeResultPage(&frame);
    if (bFailure) {
        pPage->SetResultCaption(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL"));
        pPage->SetResultValue(Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT") + ","
                              + Change::tr("IDS_VIRTUAL_SMSNAME_IDENTIFER") + ","
                              + Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT"));
        pPage->SetContactsTip(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT").replace("%s", "37"));
        pPage->SetApkTip(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT").replace("%s", "5"));
    }
    frame.show();
    pPage->ShowPage();
    QCoreApplication::processEvents();

    const QString strFile = QDir(TestEnv::OutputDir())
                                .filePath(QStringLiteral("result_%1_%2.png")
                                              .arg(bFailure ? "failure" : "success", strLang));
    QVERIFY(frame.grab().save(strFile));
    qApp->setStyleSheet(QString());

    // Nothing placed on the page may leave it.
    for (QWidget *pChild : pPage->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (pChild->isHidden())
            continue;
        QVERIFY2(QRect(0, 0, 896, 640).contains(pChild->geometry()), qPrintable(pChild->objectName()));
    }
}

QTEST_MAIN(tst_WizardPages)
#include "tst_wizardpages.moc"
