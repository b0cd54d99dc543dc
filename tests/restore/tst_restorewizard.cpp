// The restore wizard's pages on the simulated phone: choosing a backup (a
// damaged or interrupted one cannot be chosen), choosing what to restore
// (what the phone cannot take is shown disabled with the reason), the
// restore itself, its result, and "Try again" after the phone went away.
// Pictures of every page in English, Russian and Arabic go to the gallery.

#include "BackupContents.h"
#include "InterruptedRun.h"
#include "PageTestSupport.h"
#include "RestoreChooseWidget.h"
#include "RestoreCompleteWidget.h"
#include "RestoreDoingWidget.h"
#include "RestoreItemsWidget.h"
#include "RestoreWizard.h"
#include "TestEnv.h"
#include "TestPhone.h"
#include "ToolRun.h"

#include <host/Change.h>
#include <sdk/dvsk_sim.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace
{
// Messages are in the backup so that the items page has a kind the phone
// cannot take.
const char kItems[] = "contacts,messages,apps,media,music";

// With the skin on, every button and check box shows its whole text; then
// the page goes to the gallery ("<name>.png", "<name>@2x.png" on a 2x screen).
void SaveWhole(QWidget *pPage, const QString &strName)
{
    ApplySkin();
    QCoreApplication::processEvents();
    for (const QPushButton *pButton : pPage->findChildren<QPushButton *>()) {
        // The function buttons' picture has an 8 pixel border on each side,
        // and the focus ring as much again inside it; other buttons take
        // the size they ask for. Buttons without text (the title bar's) are left out.
        const bool bFunction = pButton->objectName() == QLatin1String("CommonUI_Function_Btn");
        const int nNeeded = bFunction ? pButton->fontMetrics().horizontalAdvance(pButton->text()) + 2 * 16
                                      : pButton->sizeHint().width();
        QVERIFY2(!pButton->isVisible() || pButton->text().isEmpty() || nNeeded <= pButton->width(),
                 qPrintable(pButton->text()));
    }
    for (const QCheckBox *pBox : pPage->findChildren<QCheckBox *>()) {
        QVERIFY2(!pBox->isVisible() || pBox->sizeHint().width() <= pBox->width(), qPrintable(pBox->text()));
        QVERIFY2(!pBox->isVisible() || pBox->geometry().right() < pPage->width(), qPrintable(pBox->text()));
    }
    const qreal fRatio = pPage->devicePixelRatio();
    QVERIFY(SavePicture(pPage, strName));
    const QString strSuffix = fRatio > 1.0 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
    QCOMPARE(QImage(QDir(TestEnv::OutputDir()).filePath(strName + strSuffix)).size(), pPage->size() * fRatio);
}

QString Backup(const QString &strPhone, const QString &strDest)
{
    const ToolRun::Result result = ToolRun::Run({QStringLiteral("run"), QStringLiteral("--phone"), strPhone,
                                                 QStringLiteral("--dest"), strDest, QStringLiteral("--items"),
                                                 QLatin1String(kItems), QStringLiteral("--full")});
    const QStringList listPackages = QDir(strDest).entryList({QStringLiteral("backup_*.zip")}, QDir::Files);
    return result.nExit == 0 && listPackages.size() == 1 ? QDir(strDest).filePath(listPackages.first()) : QString();
}
} // namespace

class tst_RestoreWizard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void restoreThroughEveryPage_data();
    void restoreThroughEveryPage();
    void disconnectOffersTryAgain_data();
    void disconnectOffersTryAgain();

private:
    QString EmptyPhone();
    // Opens the wizard on the shared backup folder and moves to the items
    // page with the sample phone's backup chosen.
    void OpenAndChoose(RestoreWizard &wizard, const QString &strPicture = QString());

    TestEnv m_sharedEnv;
    QString m_strPackage;
    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<QWidget> m_pWindow;
};

void tst_RestoreWizard::initTestCase()
{
    QVERIFY2(m_sharedEnv.IsValid(), "temporary folder");
    const QString strDest = m_sharedEnv.Path(QStringLiteral("backups"));
    m_strPackage = Backup(TestEnv::SamplePhoneDir(), strDest);
    QVERIFY(!m_strPackage.isEmpty());
    // A damaged backup beside it: listed, never chosen.
    QFile damaged(QDir(strDest).filePath(QStringLiteral("backup_Broken_2020-01-01-00-00-00.zip")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(512, 'x'));
    QVERIFY(damaged.flush());
    // Made long before the sample phone's backup.
    QVERIFY(damaged.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
    // A run a cut cable interrupted after two images, dated between them:
    // listed with what it keeps, never chosen.
    const QString strCut = QDir(strDest).filePath(QStringLiteral("backup_Cut_2021-01-01-00-00-00"));
    QVERIFY(QDir().mkpath(strCut + QStringLiteral("/Image")));
    const QList<QPair<QString, QByteArray>> listCutFiles = {
        {QStringLiteral("/Image/a.jpg"), QByteArray(700, 'a')},
        {QStringLiteral("/Image/b.jpg"), QByteArray(700, 'b')},
        {QStringLiteral("/") + QLatin1String(InterruptedRun::kMarker), QByteArray("interrupted\r\n")},
        {QStringLiteral("/Device.txt"), QByteArray("serial=1\ndate=2021-01-01T00:00:00\n")}};
    for (const auto &file : listCutFiles) {
        QFile cut(strCut + file.first);
        QVERIFY(cut.open(QIODevice::WriteOnly));
        QCOMPARE(cut.write(file.second), file.second.size());
    }
}

void tst_RestoreWizard::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "temporary folder");
    m_pWindow = std::make_unique<QWidget>();
    m_pWindow->resize(CustomWizardWidget::kPageWidth, CustomWizardWidget::kPageHeight);
}

void tst_RestoreWizard::cleanup()
{
    m_pWindow.reset();
    DVSK_Sim_SetPhoneDir(nullptr);
    DVSK_Sim_Attach();
}

QString tst_RestoreWizard::EmptyPhone()
{
    TestPhone phone(m_pEnv->Path(QStringLiteral("phone-b")));
    phone.SetDevice(QStringLiteral("Phone B"), QStringLiteral("V100R001C10B100"), QStringLiteral("350000000000002"));
    if (!phone.Use())
        return QString();
    return phone.Dir();
}

void tst_RestoreWizard::OpenAndChoose(RestoreWizard &wizard, const QString &strPicture)
{
    wizard.Open(nullptr, QFileInfo(m_strPackage).absolutePath());
    RestoreChooseWidget *pChoose = wizard.ChoosePage();
    QVERIFY(pChoose->isVisible());
    QCOMPARE(pChoose->Entries().size(), 3);
    // The keyboard starts on the list, the newest backup that can be chosen
    // selected: Enter goes on from there.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(pChoose->List()));
    QCOMPARE(pChoose->ChosenRow(), 0);
    // Newest first: the sample phone's backup, then the interrupted and the
    // damaged one, which cannot be selected and say why.
    QVERIFY2(pChoose->Entries().at(0).bSound, qPrintable(pChoose->Entries().at(0).strPackage + QLatin1Char(' ') + pChoose->Entries().at(0).strProblem));
    QVERIFY(pChoose->Entries().at(1).bInterrupted);
    QVERIFY(!pChoose->Entries().at(2).bSound);
    const QString strKept = Change::tr("IDS_RESTORE_CHOOSE_INTERRUPTED").replace(QStringLiteral("%s"), QStringLiteral("2"));
    QVERIFY2(pChoose->List()->item(1)->text().endsWith(QLatin1Char('\n') + strKept),
             qPrintable(pChoose->List()->item(1)->text()));
    QVERIFY(pChoose->List()->item(2)->text().endsWith(Change::tr("IDS_RESTORE_CHOOSE_DAMAGED")));
    for (int nRow : {1, 2}) {
        QVERIFY(!(pChoose->List()->item(nRow)->flags() & Qt::ItemIsSelectable));
        pChoose->List()->setCurrentRow(nRow);
        QCOMPARE(pChoose->ChosenRow(), -1);
        QVERIFY(!pChoose->MainButton()->isEnabled());
    }
    pChoose->List()->setCurrentRow(0);
    QVERIFY(pChoose->MainButton()->isEnabled());
    if (!strPicture.isEmpty()) {
        SaveWhole(pChoose, strPicture);
    }
    QTest::keyClick(pChoose->List(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!wizard.ItemsPage()->CheckBoxes().isEmpty(), 60000);
}

void tst_RestoreWizard::restoreThroughEveryPage_data()
{
    QTest::addColumn<QString>("lang");
    // How the counts on a backup's line are joined, and what must not join them.
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("foreignSeparator");
    QTest::newRow("en") << QStringLiteral("en") << QStringLiteral(", ") << QStringLiteral("،");
    QTest::newRow("ru") << QStringLiteral("ru") << QStringLiteral(", ") << QStringLiteral("،");
    QTest::newRow("ar") << QStringLiteral("ar") << QStringLiteral("، ") << QStringLiteral(",");
}

void tst_RestoreWizard::restoreThroughEveryPage()
{
    QFETCH(QString, lang);
    const LangScope langScope(lang);
    const QString strPhone = EmptyPhone();
    QVERIFY(!strPhone.isEmpty());
    RestoreWizard wizard(m_pWindow.get());
    m_pWindow->show();
    OpenAndChoose(wizard, QStringLiteral("restore_choose_") + lang);
    if (QTest::currentTestFailed())
        return;
    QFETCH(QString, separator);
    QFETCH(QString, foreignSeparator);
    const QString strCounts = wizard.ChoosePage()->List()->item(0)->text().section(QLatin1Char('\n'), 1);
    QVERIFY2(strCounts.count(separator) >= 3, qPrintable(strCounts));
    QVERIFY2(!strCounts.contains(foreignSeparator), qPrintable(strCounts));
    // Its size is written as the backup pages write sizes: with the host's
    // unit words.
    const QString strSize = wizard.ChoosePage()->List()->item(0)->text().section(QLatin1Char('\n'), 0, 0).section(
        QStringLiteral(" · "), -1);
    QVERIFY2(strSize.endsWith(QLatin1Char(' ') + Change::tr("IDS_CORE_UNIT_MB"))
                 || strSize.endsWith(QLatin1Char(' ') + Change::tr("IDS_CORE_UNIT_KB")),
             qPrintable(strSize));

    // Messages need an app on the phone: shown, unchecked, disabled, with why.
    RestoreItemsWidget *pItems = wizard.ItemsPage();
    QCheckBox *pMessages = pItems->findChild<QCheckBox *>(QStringLiteral("BackUpUIPlugin_Restore_Kind_%1").arg(1));
    QVERIFY(pMessages);
    QVERIFY(!pMessages->isEnabled());
    QVERIFY(!pMessages->isChecked());
    QVERIFY(pMessages->text().contains(Change::tr("needs an app on the phone", "RestoreReasons")));
    QVERIFY(!pItems->CheckedCodes().isEmpty());
    // Arabic reads from the right: the first kind, its box and the main
    // button come first from there.
    const bool bRightToLeft = lang == QLatin1String("ar");
    QVERIFY(pItems->CheckBoxes().size() >= 2);
    // The boxes appear when planning ends; place them now rather than at the
    // layout's next pass.
    QVERIFY(pItems->layout());
    pItems->layout()->activate();
    QCOMPARE(pItems->CheckBoxes().at(0)->x() > pItems->CheckBoxes().at(1)->x(), bRightToLeft);
    QCOMPARE(pItems->CheckBoxes().at(0)->isRightToLeft(), bRightToLeft);
    QCOMPARE(pItems->MainButton()->x() > pItems->SecondButton()->x(), bRightToLeft);
    SaveWhole(pItems, QStringLiteral("restore_items_") + lang);

    QSignalSpy spyFinished(&wizard, &RestoreWizard::signalRestoreFinished);
    pItems->MainButton()->click();
    QVERIFY(wizard.DoingPage()->isVisible() || wizard.CompletePage()->isVisible());
    QVERIFY(spyFinished.wait(60000) || spyFinished.size() == 1);
    const RestoreSummary summary = spyFinished.first().first().value<RestoreSummary>();
    QCOMPARE(summary.ExitStatusCode(), int(RestoreSummary::ExitOk));

    RestoreCompleteWidget *pComplete = wizard.CompletePage();
    QVERIFY(pComplete->isVisible());
    QCOMPARE(pComplete->Heading()->text(), Change::tr("IDS_RESTORE_RESULT_COMPLETE"));
    QVERIFY(!pComplete->TryAgainButton()->isVisible());
    QVERIFY(pComplete->KindsLabel()->text().count(QLatin1Char('\n')) >= 3);
    // The phone folder now holds what the backup held.
    const QMap<QString, QByteArray> mapBackup = BackupContents::FilesOf(m_strPackage);
    QVERIFY(!mapBackup.isEmpty());
    for (auto it = mapBackup.cbegin(); it != mapBackup.cend(); ++it) {
        if (it.key().startsWith(QLatin1Char('/'))) // media by phone path; APKs are installed
            QCOMPARE(BackupContents::Digest(strPhone + QStringLiteral("/fs") + it.key()), it.value());
    }
    SaveWhole(pComplete, QStringLiteral("restore_complete_") + lang);
}

void tst_RestoreWizard::disconnectOffersTryAgain_data()
{
    restoreThroughEveryPage_data();
}

void tst_RestoreWizard::disconnectOffersTryAgain()
{
    QFETCH(QString, lang);
    const LangScope langScope(lang);
    const QString strPhone = EmptyPhone();
    QVERIFY(!strPhone.isEmpty());
    {
        QSettings settings(strPhone + QStringLiteral("/phone.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("faults/unplugDuringPushedFile"), 2);
    }
    QVERIFY(DVSK_Sim_SetPhoneDir(QFile::encodeName(strPhone).constData()) == 0);
    RestoreWizard wizard(m_pWindow.get());
    m_pWindow->show();
    OpenAndChoose(wizard);
    if (QTest::currentTestFailed())
        return;
    QSignalSpy spyFinished(&wizard, &RestoreWizard::signalRestoreFinished);
    wizard.ItemsPage()->MainButton()->click();
    QVERIFY(spyFinished.wait(60000) || spyFinished.size() == 1);
    QCOMPARE(spyFinished.first().first().value<RestoreSummary>().end, RestoreSummary::End::Disconnected);

    RestoreCompleteWidget *pComplete = wizard.CompletePage();
    QCOMPARE(pComplete->Heading()->text(), Change::tr("IDS_RESTORE_RESULT_DISCONNECTED"));
    QVERIFY(pComplete->TryAgainButton()->isVisible());
    // Cut in the second photo: the photos it never came to are counted.
    const QLabel *pKinds = pComplete->findChild<QLabel *>(QStringLiteral("BackUpUIPlugin_Restore_Kinds"));
    QVERIFY(pKinds);
    QVERIFY2(pKinds->text().contains(Change::tr("IDS_RESTORE_RESULT_KIND_STOPPED").arg(10)), qPrintable(pKinds->text()));
    SaveWhole(pComplete, QStringLiteral("restore_complete-disconnected_") + lang);

    // Plugged in again, Try again plans the same backup anew.
    DVSK_Sim_Attach();
    pComplete->TryAgainButton()->click();
    QVERIFY(wizard.ItemsPage()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!wizard.ItemsPage()->CheckBoxes().isEmpty(), 60000);
    QCOMPARE(QFileInfo(wizard.ChosenBackup()), QFileInfo(m_strPackage));
}

QTEST_MAIN(tst_RestoreWizard)
#include "tst_restorewizard.moc"
