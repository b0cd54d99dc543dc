// The host's strip below the plugin area, against the real adb server and
// two simulated phones: it names the phone chosen now, also after the
// wizard's phone picker switched to another one.

#include "AdbTestRig.h"
#include "HostFrame.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <sdk/dvsk_device.h>

#include <QLabel>
#include <QtTest>

#include <memory>

class tst_HostFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void stripFollowsTheChosenPhone();

private:
    // Starts a simulated phone of this name; its serial, empty on failure.
    QString StartPhone(const QString &strName);
    // Chooses and opens a phone, as the picker does.
    static bool Open(const QString &strSerial);

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<AdbTestRig> m_pRig;
};

void tst_HostFrame::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY(m_pEnv->IsValid());
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    m_pRig = std::make_unique<AdbTestRig>(m_pEnv->Path(QStringLiteral("rig")));
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
    qputenv("ANDROID_ADB_SERVER_PORT", QByteArray::number(m_pRig->ServerPort()));
}

void tst_HostFrame::cleanupTestCase()
{
    if (m_pRig) {
        QCOMPARE(DVSK_Device_Select("sim"), 0);
        QString strProblems;
        QVERIFY2(m_pRig->Stop(&strProblems), qPrintable(strProblems));
    }
    qunsetenv("ANDROID_ADB_SERVER_PORT");
}

QString tst_HostFrame::StartPhone(const QString &strName)
{
    TestPhone phone(m_pEnv->Path(strName));
    phone.SetDevice(strName, QStringLiteral("V1"), QStringLiteral("350000000000009"));
    if (!phone.Save())
        return QString();
    return m_pRig->StartSimulator(phone.Dir());
}

bool tst_HostFrame::Open(const QString &strSerial)
{
    return DVSK_Device_Select((QStringLiteral("adb:") + strSerial).toUtf8().constData()) == 0
           && DVSK_Device_Open(nullptr) == 0;
}

void tst_HostFrame::stripFollowsTheChosenPhone()
{
    const QString strFirst = StartPhone(QStringLiteral("Alpha One"));
    const QString strSecond = StartPhone(QStringLiteral("Beta Two"));
    QVERIFY(!strFirst.isEmpty() && !strSecond.isEmpty());
    QVERIFY(Open(strFirst));

    HostFrame frame;
    auto *pLabel = frame.findChild<QLabel *>(QStringLiteral("HostFrame_PhoneLabel"));
    QVERIFY(pLabel);
    QCOMPARE(pLabel->text(), QStringLiteral("Phone: Alpha One (connected)"));

    // The picker switches phones while the host runs.
    QVERIFY(Open(strSecond));
    frame.slotUpdatePhoneState();
    QCOMPARE(pLabel->text(), QStringLiteral("Phone: Beta Two (connected)"));
    QVERIFY(Open(strFirst));
    frame.slotUpdatePhoneState();
    QCOMPARE(pLabel->text(), QStringLiteral("Phone: Alpha One (connected)"));
}

QTEST_MAIN(tst_HostFrame)
#include "tst_hostframe.moc"
