// The phones the SDK lists and the words the wizard uses for them: the
// SDK's text read field by field (bad and partial lines included), and the
// lines a user reads in each language.

#include "PhoneIdentity.h"
#include "PhoneList.h"
#include "PhoneTexts.h"
#include "TestEnv.h"

#include <QtTest>

Q_DECLARE_METATYPE(PhoneList::State)

class tst_PhoneList : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv("PELORIX_HOST_LANG"); }
    void parse_data();
    void parse();
    void usableAndChoice();
    void phoneToTake_data();
    void phoneToTake();
    void texts_data();
    void texts();
    void serialReadsLeftToRight();

private:
    TestEnv m_env;
};

void tst_PhoneList::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("serials");
    QTest::addColumn<QList<PhoneList::State>>("states");
    QTest::addColumn<QStringList>("models");

    using S = PhoneList::State;
    QTest::newRow("empty") << QString() << QStringList() << QList<S>() << QStringList();
    QTest::newRow("one ready") << "R58M\tready\tusb\tCorvo X5\t\n" << QStringList{"R58M"} << QList<S>{S::Ready}
                               << QStringList{"Corvo X5"};
    QTest::newRow("every state")
        << "a\tready\tusb\tA\t\nb\tunauthorized\tusb\t\t\nc\toffline\twifi\tC\t\n"
           "d\tno-permissions\tusb\t\tmissing udev rules\ne\tconnecting\tusb\t\t\n"
        << QStringList{"a", "b", "c", "d", "e"}
        << QList<S>{S::Ready, S::Unauthorized, S::Offline, S::NoPermissions, S::Connecting}
        << QStringList{"A", "", "C", "", ""};
    // A state the wizard does not know yet is a passing one, never "ready".
    QTest::newRow("unknown state") << "x\trecovery\tusb\tX\t\n" << QStringList{"x"} << QList<S>{S::Connecting}
                                   << QStringList{"X"};
    QTest::newRow("missing fields") << "y\tready\n" << QStringList{"y"} << QList<S>{S::Ready} << QStringList{""};
    QTest::newRow("blank and serial-less lines") << "\n\t\tready\tusb\n  \nz\tready\tsim\tCorvo\t\n"
                                                 << QStringList{"z"} << QList<S>{S::Ready} << QStringList{"Corvo"};
    QTest::newRow("no last newline") << "w\tready\twifi\tW\t" << QStringList{"w"} << QList<S>{S::Ready}
                                     << QStringList{"W"};
}

void tst_PhoneList::parse()
{
    QFETCH(QString, text);
    QFETCH(QStringList, serials);
    QFETCH(QList<PhoneList::State>, states);
    QFETCH(QStringList, models);
    const PhoneList list = PhoneList::Parse(text);
    QVERIFY(!list.IsServerDown());
    QCOMPARE(list.Phones().size(), serials.size());
    for (int i = 0; i < serials.size(); ++i) {
        QCOMPARE(list.Phones().at(i).strSerial, serials.at(i));
        QCOMPARE(list.Phones().at(i).state, states.at(i));
        QCOMPARE(list.Phones().at(i).strModel, models.at(i));
    }
}

void tst_PhoneList::usableAndChoice()
{
    const PhoneList list = PhoneList::Parse(
        QStringLiteral("sim\tready\tsim\tCorvo X5\t\nR58\tunauthorized\tusb\t\t\n10.0.0.2:5555\tready\twifi\tP7\t\n"));
    const QList<PhoneList::Phone> listUsable = list.Usable();
    QCOMPARE(listUsable.size(), 2);
    QCOMPARE(PhoneList::DeviceChoice(listUsable.at(0)), QStringLiteral("sim"));
    QCOMPARE(PhoneList::DeviceChoice(listUsable.at(1)), QStringLiteral("adb:10.0.0.2:5555"));
    QCOMPARE(PhoneList::DeviceChoice(list.Phones().at(1)), QStringLiteral("adb:R58"));
    // A list that changed in any field is another list.
    PhoneList changed = PhoneList::Parse(
        QStringLiteral("sim\tready\tsim\tCorvo X5\t\nR58\tready\tusb\t\t\n10.0.0.2:5555\tready\twifi\tP7\t\n"));
    QVERIFY(changed != list);
    QVERIFY(PhoneList::NoServer(QStringLiteral("cannot start")) != PhoneList());
    QCOMPARE(PhoneList::NoServer(QStringLiteral(" cannot start\n")).ServerReason(), QStringLiteral("cannot start"));
}

void tst_PhoneList::phoneToTake_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("taken"); // empty: none is taken, the user picks

    const QString strTwo = QStringLiteral("A1\tready\tusb\tA\t\n10.0.0.2:5555\tready\twifi\tB\t\n");
    QTest::newRow("one usable, none named") << "A1\tready\tusb\tA\t\nL\tunauthorized\tusb\t\t\n" << "adb" << "A1";
    QTest::newRow("one usable, another named") << "A1\tready\tusb\tA\t\n" << "adb:Z9" << "A1";
    QTest::newRow("two, none named") << strTwo << "adb" << "";
    QTest::newRow("two, the second named") << strTwo << "adb:10.0.0.2:5555" << "10.0.0.2:5555";
    QTest::newRow("two, the first named") << strTwo << "adb:A1" << "A1";
    QTest::newRow("two, an absent one named") << strTwo << "adb:Z9" << "";
    // A named phone that cannot be used is not taken, nor is the other one.
    QTest::newRow("named one not allowed")
        << "A1\tunauthorized\tusb\t\t\nB2\tready\tusb\tB\t\nC3\tready\tusb\tC\t\n" << "adb:A1" << "";
    QTest::newRow("only the simulated phone") << "sim\tready\tsim\tCorvo\t\n" << "sim" << "sim";
    QTest::newRow("none usable") << "A1\toffline\tusb\t\t\n" << "adb:A1" << "";
}

void tst_PhoneList::phoneToTake()
{
    QFETCH(QString, text);
    QFETCH(QString, chosen);
    QFETCH(QString, taken);
    PhoneList::Phone phone;
    QCOMPARE(PhoneList::Parse(text).PhoneToTake(chosen, phone), !taken.isEmpty());
    if (!taken.isEmpty())
        QCOMPARE(phone.strSerial, taken);
}

void tst_PhoneList::texts_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("expected"); // a part of ListText, in that language
    for (const char *szLang : {"en", "ru", "ar"}) {
        const QByteArray baLang(szLang);
        QTest::addRow("none %s", szLang) << baLang << QString() << "";
        QTest::addRow("unauthorized %s", szLang) << baLang << "R58\tunauthorized\tusb\t\t\n" << "R58";
        QTest::addRow("no permissions %s", szLang) << baLang << "R58\tno-permissions\tusb\t\t\n" << "plugdev";
        QTest::addRow("model %s", szLang) << baLang << "R58\toffline\twifi\tCorvo X5\t\n" << "Corvo X5";
    }
}

void tst_PhoneList::texts()
{
    // Every state reads as a sentence in the user's language: no key shows
    // through, no placeholder is left, and what the user must type or look
    // for (a serial, a model, the group's name) is there as it is.
    QFETCH(QByteArray, lang);
    QFETCH(QString, list);
    QFETCH(QString, expected);
    qputenv("PELORIX_HOST_LANG", lang);
    const QString strText = PhoneTexts::ListText(PhoneList::Parse(list));
    QVERIFY2(!strText.isEmpty(), qPrintable(list));
    QVERIFY2(!strText.contains(QLatin1String("IDS_")), qPrintable(strText));
    QVERIFY2(!strText.contains(QLatin1String("%s")), qPrintable(strText));
    QVERIFY2(strText.contains(expected), qPrintable(strText));
    const PhoneList one = PhoneList::Parse(QStringLiteral("S1\tready\twifi\tM1\t\n"));
    const QString strRow = PhoneTexts::PickerRow(one.Phones().constFirst());
    QVERIFY2(strRow.contains(QLatin1String("M1")) && strRow.contains(QLatin1String("S1")), qPrintable(strRow));
    QVERIFY2(!strRow.contains(QLatin1String("%s")), qPrintable(strRow));
    // A phone that cannot be picked says why.
    const PhoneList other = PhoneList::Parse(QStringLiteral("S2\tunauthorized\tusb\tM2\t\n"));
    QVERIFY(PhoneTexts::PickerRow(other.Phones().constFirst()).size() > strRow.size());
    const QString strNoServer = PhoneTexts::ListText(PhoneList::NoServer(QStringLiteral("exec failed")));
    QVERIFY2(strNoServer.contains(QLatin1String("exec failed")), qPrintable(strNoServer));
}

void tst_PhoneList::serialReadsLeftToRight()
{
    // "IP:PORT" inside an Arabic sentence keeps its order; an English one
    // carries no marks.
    const PhoneIdentity identity = PhoneIdentity::FromText(QStringLiteral("serial=10.0.0.2:5555\nmodel=X5\n"));
    qputenv("PELORIX_HOST_LANG", "ar");
    QVERIFY(PhoneTexts::HeaderLine(identity).contains(QChar(0x2066) + QStringLiteral("10.0.0.2:5555") + QChar(0x2069)));
    qputenv("PELORIX_HOST_LANG", "en");
    QCOMPARE(PhoneTexts::HeaderLine(identity), QStringLiteral("X5, serial 10.0.0.2:5555"));
    QCOMPARE(PhoneTexts::HeaderLine(PhoneIdentity()), QString());
}

QTEST_GUILESS_MAIN(tst_PhoneList)
#include "tst_phonelist.moc"
