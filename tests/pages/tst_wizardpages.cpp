// The wizard page base (build order, neighbours) and the result
// page (which texts show, both directions, wrapped notes, finish).

#include "PageTestSupport.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/HostCallLog.h>

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QtTest>

namespace
{
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

// Every failing module's name, which wraps the result notice onto two lines.
QString LongFailureList()
{
    QStringList listNames;
    for (const char *szKey : {"IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT", "IDS_VIRTUAL_SMSNAME_IDENTIFER",
                              "IDS_VIRTUAL_CORE_MMSTEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT",
                              "IDS_VIRTUAL_IMAGEINFO_CORE", "IDS_VIRTUAL_IDENTIFER_VEDIOTEXT",
                              "IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT", "IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT"})
        listNames << Change::tr(szKey);
    return listNames.join(',');
}
} // namespace

class tst_WizardPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_env.IsValid(), "no temporary folder"); }
    void cleanup()
    {
        CommonUtils::SetLayoutPlugin(nullptr);
        HostCallLog::Clear();
        BackUpUIBBMgr::DestroyInstance();
        qApp->setStyleSheet(QString());
    }
    void navigation_data();
    void navigation();
    void resultPage_data();
    void resultPage();
    void finish_data();
    void finish();

private:
    TestEnv m_env;
};

void tst_WizardPages::navigation_data()
{
    QTest::addColumn<int>("nStart");
    QTest::addColumn<QString>("strAction");
    QTest::addColumn<int>("nVisible");
    QTest::addColumn<bool>("bFrameVisible");

    QTest::newRow("next from the first") << 0 << "next" << 1 << true;
    QTest::newRow("next on the last does nothing") << 2 << "next" << 2 << true;
    QTest::newRow("back from the last") << 2 << "back" << 1 << true;
    QTest::newRow("back on the first does nothing") << 0 << "back" << 0 << true;
    QTest::newRow("cancel on a later page shows the previous") << 1 << "cancel" << 0 << true;
    QTest::newRow("cancel on the first hides the window") << 0 << "cancel" << 0 << false;
}

void tst_WizardPages::navigation()
{
    QFETCH(int, nStart);
    QFETCH(QString, strAction);
    QFETCH(int, nVisible);
    QFETCH(bool, bFrameVisible);

    QWidget frame;
    std::vector<std::unique_ptr<RecordingPage>> pages;
    for (int i = 0; i < 3; ++i) {
        pages.push_back(std::make_unique<RecordingPage>(&frame));
        pages.back()->InitPage();
        pages.back()->hide();
    }
    QCOMPARE(pages[0]->m_listSteps, QStringList({"InitWindow", "InitMembers", "InitTitleBar", "InitButtons",
                                                 "InitButtonText", "InitObjectName", "InitLayout", "InitCons"}));
    QVERIFY(!pages[0]->isWindow());
    pages[0]->SetNeighbourPages(nullptr, pages[1].get());
    pages[1]->SetNeighbourPages(pages[0].get(), pages[2].get());
    pages[2]->SetNeighbourPages(pages[1].get(), nullptr);
    frame.show();
    pages[nStart]->ShowPage();
    for (auto &pPage : pages)
        pPage->m_listSteps.clear();

    if (strAction == "next")
        pages[nStart]->DoNext();
    else if (strAction == "back")
        pages[nStart]->DoBack();
    else
        pages[nStart]->DoCancel();

    for (int i = 0; i < 3; ++i) {
        QCOMPARE(!pages[i]->isHidden(), i == nVisible);
        // The page moved to runs its InitialShow first.
        QCOMPARE(pages[i]->m_listSteps, (i == nVisible && i != nStart) ? QStringList{"InitialShow"} : QStringList());
    }
    QCOMPARE(!frame.isHidden(), bFrameVisible);
}

void tst_WizardPages::resultPage_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::addColumn<QString>("strCaption");
    QTest::addColumn<QString>("strValue");
    QTest::addColumn<QString>("strContacts");
    QTest::addColumn<QString>("strApk");

    QTest::newRow("success-en") << "en" << "" << "" << "" << "";
    QTest::newRow("failure-en") << "en" << "Sorry:" << "Contacts,SMS" << "37 contacts" << "5 apps";
    QTest::newRow("memory failure, empty headline-en") << "en" << "" << "Phone memory unreadable" << "" << "";
    QTest::newRow("contacts note only-en") << "en" << "" << "" << "37 contacts" << "";
    QTest::newRow("success-ar") << "ar" << "" << "" << "" << "";
    QTest::newRow("failure-ar") << "ar" << "Sorry:" << "Contacts,SMS" << "37 contacts" << "5 apps";
}

void tst_WizardPages::resultPage()
{
    QFETCH(QString, strLang);
    QFETCH(QString, strCaption);
    QFETCH(QString, strValue);
    QFETCH(QString, strContacts);
    QFETCH(QString, strApk);

    LangScope lang(strLang);
    const bool bRtl = strLang == "ar";
    ApplySkin();
    QWidget frame;
    frame.setObjectName("BackUpUIPlugin_MainWidget");
    frame.setFixedSize(896, 640);
    CompleteWizardWidget page(&frame);
    page.InitPage();
    page.SetResultCaption(strCaption);
    page.SetResultValue(strValue);
    page.SetResultNote("stored, not shown");
    page.SetContactsTip(strContacts);
    page.SetApkTip(strApk);
    frame.show();

    // Shown twice without new texts, the page shows the same.
    for (int nShow = 0; nShow < 2; ++nShow) {
        page.ShowPage();
        QCOMPARE(page.GetStatusLabel()->text(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL"));
        QCOMPARE(!page.GetResultLabel()->isHidden(), !strValue.isEmpty());
        QCOMPARE(page.GetResultLabel()->text(),
                 strValue.isEmpty() ? QString()
                                    : "<font color=#e7e7e7 style=font-size:16px>" + strCaption + "</font> "
                                          + "<font color=#ffffff style=font-size:19px>"
                                          + QString(strValue).replace(',', QStringLiteral(",\u200B")) + "</font> ");
        QCOMPARE(!page.GetContactsLabel()->isHidden(), !strContacts.isEmpty());
        QCOMPARE(!page.GetContactsIcon()->isHidden(), !strContacts.isEmpty());
        QCOMPARE(!page.GetApkLabel()->isHidden(), !strApk.isEmpty());
        QCOMPARE(!page.GetApkIcon()->isHidden(), !strApk.isEmpty());
        QCOMPARE(page.GetContactsLabel()->text(), strContacts);
        QCOMPARE(page.GetApkLabel()->text(), strApk);
    }
    QCOMPARE(page.GetPicture()->x(), bRtl ? 429 : 47);
    QCOMPARE(page.layout()->contentsMargins(), bRtl ? QMargins(0, 0, 377, 110) : QMargins(377, 0, 0, 110));

    // A failure list too long for one line gets the height of all its lines,
    // in either direction, and the texts keep to the side beside the picture.
    const QString strTag = QString::fromLatin1(QTest::currentDataTag());
    if (strTag.startsWith("failure")) {
        page.SetResultCaption(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL"));
        page.SetResultValue(LongFailureList());
        page.SetContactsTip(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT").replace("%s", "37"));
        page.SetApkTip(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT").replace("%s", "5"));
        page.ShowPage();
        QCoreApplication::processEvents();
        for (QLabel *pLabel : {page.GetStatusLabel(), page.GetResultLabel(), page.GetContactsLabel(),
                               page.GetApkLabel()}) {
            QVERIFY2(pLabel->height() >= pLabel->heightForWidth(pLabel->width()), qPrintable(pLabel->text()));
            QVERIFY(bRtl ? pLabel->geometry().right() <= 896 - 377 - 1 : pLabel->x() >= 377);
        }
        QVERIFY2(page.GetResultLabel()->heightForWidth(page.GetResultLabel()->width())
                     > page.GetResultLabel()->fontMetrics().height() * 3 / 2,
                 "the failure list fits one line: it tests no wrapping");
        // The block stays in order, without overlaps.
        QVERIFY(page.GetStatusLabel()->geometry().bottom() < page.GetResultLabel()->y());
        QVERIFY(page.GetResultLabel()->geometry().bottom() < page.GetContactsLabel()->y());
        QVERIFY(page.GetContactsLabel()->geometry().bottom() < page.GetApkLabel()->y());
    }
    // Nothing shown may leave the page.
    for (QWidget *pChild : page.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!pChild->isHidden())
            QVERIFY2(QRect(0, 0, 896, 640).contains(pChild->geometry()), qPrintable(pChild->objectName()));
    }
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
    Wizard wizard;
    wizard.Build("en", [](QWidget *) { return nullptr; });
    if (!bLayout)
        CommonUtils::SetLayoutPlugin(nullptr);
    wizard.pResult->ShowPage();
    HostCallLog::Clear();
    wizard.pResult->GetFinishButton()->click();
    QVERIFY(wizard.pResult->isHidden() && wizard.pFrame->isHidden());
    QCOMPARE(HostCallLog::Entries().contains("ShowPlugin(HomeUIPlugin)"), bLayout);
    wizard.Reset();
}

QTEST_MAIN(tst_WizardPages)
#include "tst_wizardpages.moc"
