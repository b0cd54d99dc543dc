// The connect page against the real adb server and the device simulator:
// what it says with no phone, a phone that waits for Allow and is then
// allowed, a phone unplugged and plugged in again, several phones (the
// picker), a phone connected with the Wi-Fi field; it moves on by itself as
// soon as one phone is ready.

#include "AdbTestRig.h"
#include "ConnectWizardWidget.h"
#include "PhonePickerWidget.h"
#include "PhoneTexts.h"
#include "PhoneWatcher.h"
#include "TestEnv.h"

#include <host/Change.h>
#include <sdk/dvsk_device.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace
{
const int kServerTimeout = 30000;

// What the page says about a phone in a state, as the page words it.
QString StateLine(const QString &strSerial, const char *szState)
{
    return PhoneTexts::ListText(PhoneList::Parse(strSerial + QLatin1Char('\t') + QLatin1String(szState)
                                                 + QStringLiteral("\twifi\t\t\n")));
}
} // namespace

class tst_ConnectWizardWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void hostPort_data();
    void hostPort();
    void keyboardAndScreenReader_data();
    void keyboardAndScreenReader();
    void noPhoneYet();
    void unauthorisedThenAllowed();
    void unpluggedThenPluggedAgain();
    void severalPhonesGiveThePicker();
    void oneUsablePhoneIsTakenWithoutAsking();
    void namedPhoneIsTakenAmongSeveral();
    void wifiField();

private:
    // Shows a fresh page in a frame, as the wizard would.
    void ShowPage();
    bool RigReady() const { return m_pRig != nullptr; }

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<AdbTestRig> m_pRig;
    std::unique_ptr<QWidget> m_pFrame;
    ConnectWizardWidget *m_pPage = nullptr;
};

void tst_ConnectWizardWidget::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY(m_pEnv->IsValid());
    qputenv("PELORIX_HOST_LANG", "en");
    if (AdbTestRig::AdbPath().isEmpty())
        return;
    m_pRig = std::make_unique<AdbTestRig>(m_pEnv->Root());
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
    qputenv("ANDROID_ADB_SERVER_PORT", QByteArray::number(m_pRig->ServerPort()));
    QCOMPARE(DVSK_Device_Select("adb"), 0);
}

void tst_ConnectWizardWidget::init()
{
    const QByteArray baTest(QTest::currentTestFunction());
    if (!RigReady() && baTest != "hostPort" && baTest != "keyboardAndScreenReader")
        QSKIP("adb is not installed (apt-get install adb)");
}

void tst_ConnectWizardWidget::cleanup()
{
    m_pFrame.reset();
    m_pPage = nullptr;
    if (!RigReady())
        return;
    // No phone is named and every phone goes: the next case starts with none.
    QCOMPARE(DVSK_Device_Select("adb"), 0);
    m_pRig->Adb({QStringLiteral("disconnect")});
    QTRY_VERIFY_WITH_TIMEOUT(PhoneList::Read().Phones().isEmpty(), kServerTimeout);
}

void tst_ConnectWizardWidget::cleanupTestCase()
{
    DVSK_Device_WatchList(nullptr);
    if (m_pRig) {
        QString strProblems;
        QVERIFY2(m_pRig->Stop(&strProblems), qPrintable(strProblems));
    }
    qunsetenv("ANDROID_ADB_SERVER_PORT");
    qunsetenv("PELORIX_HOST_LANG");
}

void tst_ConnectWizardWidget::ShowPage()
{
    m_pFrame = std::make_unique<QWidget>();
    m_pFrame->setFixedSize(896, 640);
    m_pPage = new ConnectWizardWidget(m_pFrame.get());
    m_pPage->InitPage();
    m_pFrame->show();
    m_pPage->ShowPage();
}

void tst_ConnectWizardWidget::hostPort_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ipv4") << "192.168.1.20:5555" << true;
    QTest::newRow("name") << "phone.local:37123" << true;
    QTest::newRow("ipv6") << "[fe80::1]:5555" << true;
    QTest::newRow("spaces around") << "  10.0.0.2:5555 " << true;
    QTest::newRow("no port") << "192.168.1.20" << false;
    QTest::newRow("empty port") << "192.168.1.20:" << false;
    QTest::newRow("port 0") << "10.0.0.2:0" << false;
    QTest::newRow("port too big") << "10.0.0.2:65536" << false;
    QTest::newRow("no host") << ":5555" << false;
    QTest::newRow("pairing code") << "10.0.0.2:5555 123456" << false;
    QTest::newRow("bare ipv6") << "fe80::1:5555" << false;
}

void tst_ConnectWizardWidget::hostPort()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(ConnectWizardWidget::IsHostPort(text), valid);
}

void tst_ConnectWizardWidget::keyboardAndScreenReader_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<bool>("picker");
    for (const char *szLang : {"en", "ar"}) {
        QTest::addRow("waiting %s", szLang) << QByteArray(szLang) << false;
        QTest::addRow("picker %s", szLang) << QByteArray(szLang) << true;
    }
}

void tst_ConnectWizardWidget::keyboardAndScreenReader()
{
    // Tab visits the controls in reading order (the picker first when it is
    // shown), Escape leaves, and a screen reader hears the page's title, the
    // numbered steps and the phones' states.
    QFETCH(QByteArray, lang);
    QFETCH(bool, picker);
    qputenv("PELORIX_HOST_LANG", lang);
    QWidget frame;
    frame.setFixedSize(896, 640);
    auto *pPage = new ConnectWizardWidget(&frame);
    pPage->InitPage();
    const QString strList = picker ? QStringLiteral("A1\tready\tusb\tX5\t\nB2\tready\twifi\tP7\t\nC3\toffline\tusb\t\t\n")
                                   : QStringLiteral("A1\tunauthorized\tusb\t\t\n");
    pPage->ShowListOnly(PhoneList::Parse(strList));
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    pPage->FocusFirst();
    QList<QWidget *> listExpected;
    if (picker)
        listExpected << pPage->GetPicker()->List() << pPage->GetNextButton();
    listExpected << pPage->GetWifiEdit() << pPage->GetWifiButton() << pPage->GetCancelButton();
    if (!picker)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    for (QWidget *pExpected : listExpected) {
        QTRY_COMPARE(QApplication::focusWidget(), pExpected);
        QTest::keyClick(pExpected, Qt::Key_Tab);
    }
    QCOMPARE(pPage->accessibleName(), pPage->GetTitleLabel()->text());
    QCOMPARE(pPage->GetWifiEdit()->accessibleName(), Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CAPTION"));
    // An address reads left to right on a mirrored page as well.
    QCOMPARE(pPage->GetWifiEdit()->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(pPage->GetCancelButton()->layoutDirection(), lang == "ar" ? Qt::RightToLeft : Qt::LeftToRight);
    if (!picker) {
        QCOMPARE(pPage->GetStepLabels().size(), 3);
        QVERIFY(pPage->GetStepLabels().at(2)->accessibleName().startsWith(QStringLiteral("3. ")));
        QVERIFY(pPage->GetStateLabel()->accessibleDescription().contains(QStringLiteral("A1")));
        // The steps' numbers stand at the right on a mirrored page.
        const QList<QLabel *> listNumbers = pPage->findChildren<QLabel *>(QStringLiteral("BackUpUIPlugin_Connect_StepNumber"));
        QCOMPARE(listNumbers.size(), 3);
        for (QLabel *pNumber : listNumbers)
            QCOMPARE(pNumber->x() < 448, lang != "ar");
    }
    QSignalSpy spyCancel(pPage, &ConnectWizardWidget::signalCancelRequested);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(spyCancel.count(), 1);
    qputenv("PELORIX_HOST_LANG", "en");
}

void tst_ConnectWizardWidget::noPhoneYet()
{
    ShowPage();
    QSignalSpy spyReady(m_pPage, &ConnectWizardWidget::signalPhoneReady);
    QTRY_COMPARE_WITH_TIMEOUT(m_pPage->GetStateLabel()->text(), Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_NOPHONE_TEXT"),
                              kServerTimeout);
    QCOMPARE(m_pPage->GetMode(), ConnectWizardWidget::Mode::Waiting);
    QVERIFY(m_pPage->GetWatcher()->IsWatching());
    QVERIFY(m_pPage->StateText().startsWith(Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_TITLE")));
    QCOMPARE(spyReady.count(), 0);
    // Leaving the page stops following the phones.
    QSignalSpy spyCancel(m_pPage, &ConnectWizardWidget::signalCancelRequested);
    QTest::keyClick(m_pPage, Qt::Key_Escape);
    QCOMPARE(spyCancel.count(), 1);
    QVERIFY(!m_pPage->GetWatcher()->IsWatching());
}

void tst_ConnectWizardWidget::unauthorisedThenAllowed()
{
    const QString strSerial = m_pRig->StartSimulator(TestEnv::SamplePhoneDir(), {QStringLiteral("--unauthorized")}, false);
    QVERIFY(!strSerial.isEmpty());
    ShowPage();
    QSignalSpy spyReady(m_pPage, &ConnectWizardWidget::signalPhoneReady);
    QTRY_COMPARE_WITH_TIMEOUT(m_pPage->GetStateLabel()->text(), StateLine(strSerial, "unauthorized"), kServerTimeout);
    QCOMPARE(spyReady.count(), 0);
    // The user taps Allow: the page moves on by itself.
    QCOMPARE(m_pRig->SimulatorCommand(strSerial, "allow"), QStringLiteral("allowed"));
    QVERIFY(spyReady.count() == 1 || spyReady.wait(kServerTimeout));
    QCOMPARE(spyReady.at(0).at(0).toString(), QStringLiteral("adb:") + strSerial);
    QCOMPARE(m_pPage->GetMode(), ConnectWizardWidget::Mode::Done);
    QCOMPARE(DVSK_Device_IsAttached(), 1);
}

void tst_ConnectWizardWidget::unpluggedThenPluggedAgain()
{
    const QString strSerial = m_pRig->StartSimulator(TestEnv::SamplePhoneDir());
    QVERIFY(!strSerial.isEmpty());
    ShowPage();
    QSignalSpy spyReady(m_pPage, &ConnectWizardWidget::signalPhoneReady);
    QVERIFY(spyReady.count() == 1 || spyReady.wait(kServerTimeout));

    QCOMPARE(m_pRig->SimulatorCommand(strSerial, "unplug"), QStringLiteral("unplugged"));
    QTRY_VERIFY_WITH_TIMEOUT(PhoneList::Read().Usable().isEmpty(), kServerTimeout);
    m_pPage->ShowPage();
    QTRY_VERIFY_WITH_TIMEOUT(m_pPage->GetWatcher()->IsWatching(), kServerTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!m_pPage->GetStateLabel()->text().isEmpty(), kServerTimeout);
    QCOMPARE(m_pPage->GetMode(), ConnectWizardWidget::Mode::Waiting);
    QCOMPARE(spyReady.count(), 1);

    // Plugged in again (and, for a phone on Wi-Fi, its address typed again).
    QCOMPARE(m_pRig->SimulatorCommand(strSerial, "plug"), QStringLiteral("plugged"));
    m_pPage->GetWifiEdit()->setText(strSerial);
    m_pPage->GetWifiButton()->click();
    QVERIFY(spyReady.count() == 2 || spyReady.wait(kServerTimeout));
    QCOMPARE(spyReady.at(1).at(0).toString(), QStringLiteral("adb:") + strSerial);
}

void tst_ConnectWizardWidget::severalPhonesGiveThePicker()
{
    const QString strFirst = m_pRig->StartSimulator(TestEnv::SamplePhoneDir());
    const QString strSecond = m_pRig->StartSimulator(TestEnv::SamplePhoneDir());
    const QString strLocked = m_pRig->StartSimulator(TestEnv::SamplePhoneDir(), {QStringLiteral("--unauthorized")}, false);
    QVERIFY(!strFirst.isEmpty() && !strSecond.isEmpty() && !strLocked.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(PhoneList::Read().Phones().size(), 3, kServerTimeout);
    ShowPage();
    QSignalSpy spyReady(m_pPage, &ConnectWizardWidget::signalPhoneReady);
    QTRY_COMPARE_WITH_TIMEOUT(m_pPage->GetMode(), ConnectWizardWidget::Mode::Choosing, kServerTimeout);
    QListWidget *pList = m_pPage->GetPicker()->List();
    QTRY_COMPARE_WITH_TIMEOUT(pList->count(), 3, kServerTimeout);
    // The phone that has not allowed this computer is listed, not pickable.
    int nLocked = -1;
    for (int i = 0; i < pList->count(); ++i) {
        if (pList->item(i)->text().contains(strLocked))
            nLocked = i;
    }
    QVERIFY(nLocked >= 0);
    QCOMPARE(pList->item(nLocked)->flags() & Qt::ItemIsEnabled, Qt::ItemFlags());
    QVERIFY(!m_pPage->GetPicker()->Choose(strLocked));
    QVERIFY(m_pPage->GetNextButton()->isVisible());
    QTRY_VERIFY(pList->hasFocus());
    QCOMPARE(spyReady.count(), 0);

    // The second phone, from the keyboard.
    QVERIFY(m_pPage->GetPicker()->Choose(strSecond));
    QTest::keyClick(pList, Qt::Key_Return);
    QVERIFY(spyReady.count() == 1 || spyReady.wait(kServerTimeout));
    QCOMPARE(spyReady.at(0).at(0).toString(), QStringLiteral("adb:") + strSecond);
    QCOMPARE(DVSK_Device_IsAttached(), 1);
}

void tst_ConnectWizardWidget::oneUsablePhoneIsTakenWithoutAsking()
{
    const QString strLocked = m_pRig->StartSimulator(TestEnv::SamplePhoneDir(), {QStringLiteral("--unauthorized")}, false);
    const QString strSerial = m_pRig->StartSimulator(TestEnv::SamplePhoneDir());
    QVERIFY(!strLocked.isEmpty() && !strSerial.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(PhoneList::Read().Phones().size(), 2, kServerTimeout);
    QString strChoice;
    QVERIFY(ConnectWizardWidget::OpenPhoneWithoutAsking(&strChoice));
    QCOMPARE(strChoice, QStringLiteral("adb:") + strSerial);
}

void tst_ConnectWizardWidget::namedPhoneIsTakenAmongSeveral()
{
    const QString strFirst = m_pRig->StartSimulator(TestEnv::SamplePhoneDir());
    const QString strSecond = m_pRig->StartSimulator(TestEnv::SamplePhoneDir());
    QVERIFY(!strFirst.isEmpty() && !strSecond.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(PhoneList::Read().Usable().size(), 2, kServerTimeout);
    // With none named the user chooses.
    QVERIFY(!ConnectWizardWidget::OpenPhoneWithoutAsking());

    // As "--device adb:SERIAL" names it: taken at the wizard's start ...
    const QString strNamed = QStringLiteral("adb:") + strSecond;
    QCOMPARE(DVSK_Device_Select(strNamed.toUtf8().constData()), 0);
    QString strChoice;
    QVERIFY(ConnectWizardWidget::OpenPhoneWithoutAsking(&strChoice));
    QCOMPARE(strChoice, strNamed);
    // ... and by the page, without showing the picker.
    ShowPage();
    QSignalSpy spyReady(m_pPage, &ConnectWizardWidget::signalPhoneReady);
    QVERIFY(spyReady.wait(kServerTimeout));
    QCOMPARE(spyReady.at(0).at(0).toString(), strNamed);
    QCOMPARE(m_pPage->GetMode(), ConnectWizardWidget::Mode::Done);
    QCOMPARE(DVSK_Device_IsAttached(), 1);
}

void tst_ConnectWizardWidget::wifiField()
{
    ShowPage();
    QSignalSpy spyReady(m_pPage, &ConnectWizardWidget::signalPhoneReady);
    // A pairing code is refused before anything is sent.
    m_pPage->GetWifiEdit()->setText(QStringLiteral("192.168.1.20:37099 482913"));
    QTest::keyClick(m_pPage->GetWifiEdit(), Qt::Key_Return);
    QCOMPARE(m_pPage->GetWifiResultLabel()->text(), Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BADADDRESS_TEXT"));
    // A port nobody listens on: the server's answer is shown, the page waits.
    const quint16 nClosed = AdbTestRig::FreePort();
    const QString strClosed = QStringLiteral("127.0.0.1:%1").arg(nClosed);
    m_pPage->GetWifiEdit()->setText(strClosed);
    m_pPage->GetWifiButton()->click();
    QVERIFY(!m_pPage->GetWifiButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(m_pPage->GetWifiButton()->isEnabled(), kServerTimeout);
    QVERIFY2(m_pPage->GetWifiResultLabel()->text().startsWith(
                 PhoneTexts::Fill("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_FAILED_TEXT", {strClosed, QString()})),
             qPrintable(m_pPage->GetWifiResultLabel()->text()));
    QCOMPARE(spyReady.count(), 0);
}

QTEST_MAIN(tst_ConnectWizardWidget)
#include "tst_connectwizardwidget.moc"
