// The backup item tiles: their looks as the user toggles, disables and
// resets them, the counts, sizes and time estimates they show.
#include "BigButton.h"
#include "CheckBigButton.h"
#include "TestEnv.h"
#include "host/Change.h"
#include "sdk/dvsk.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace
{
PluginInfo Item(quint32 nId, bool bEnable, const QString &strName = QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT"))
{
    PluginInfo info;
    info.nKind = 0;
    info.nId = nId;
    info.strName = strName;
    info.bEnable = bEnable;
    return info;
}

structBackupID Counted(int nCount, int nKiloBytes, int nResult = 0)
{
    structBackupID record;
    record.nProNum = nCount;
    record.nValue2 = nKiloBytes;
    record.nValue = nResult;
    return record;
}

QLabel *Label(QWidget *pTile, quint32 nId, const char *szSuffix)
{
    return pTile->findChild<QLabel *>(QStringLiteral("BackUpUIPlugin_BigButton_") + BigButton::ObjectWord(nId)
                                      + QLatin1String(szSuffix));
}

QPushButton *Frame(QWidget *pTile, quint32 nId, const char *szLook)
{
    const QString strPrefix = nId == 6 ? QStringLiteral("BackUpUIPlugin_BigButton_Other_")
                                       : QStringLiteral("BackUpUIPlugin_BigButton_");
    return pTile->findChild<QPushButton *>(strPrefix + QLatin1String(szLook) + QStringLiteral("Frame"));
}

// The look a tile shows: "unchecked", "checked", "disabled" or a description
// of what is inconsistent.
QString Look(CheckBigButton *pTile)
{
    const quint32 nId = pTile->GetItem().nId;
    QPushButton *pCommon = Frame(pTile, nId, "Common");
    QPushButton *pCheck = Frame(pTile, nId, "Check");
    QPushButton *pDisable = Frame(pTile, nId, "Disable");
    BigButton *pContent = pTile->findChild<BigButton *>();
    if (!pCommon || !pCheck || !pDisable || !pContent)
        return QStringLiteral("missing child");
    const int nVisible = int(!pCommon->isHidden()) + int(!pCheck->isHidden()) + int(!pDisable->isHidden());
    if (nVisible != 1)
        return QStringLiteral("%1 frames visible").arg(nVisible);
    QPushButton *pShown = !pCommon->isHidden() ? pCommon : (!pCheck->isHidden() ? pCheck : pDisable);
    if (pContent->parentWidget() != pShown || pContent->isHidden())
        return QStringLiteral("content not on the shown frame");
    const QString strColor = Label(pTile, nId, "_Title")->styleSheet();
    if (pShown == pCommon && !pTile->IsChecked() && pTile->isEnabled() && strColor == "color:rgb(103,103,103);")
        return QStringLiteral("unchecked");
    if (pShown == pCheck && pTile->IsChecked() && pTile->isEnabled() && strColor == "color:rgb(10,102,186);")
        return QStringLiteral("checked");
    if (pShown == pDisable && !pTile->IsChecked() && !pTile->isEnabled() && strColor == "color:rgb(90,97,109);")
        return QStringLiteral("disabled");
    return QStringLiteral("inconsistent: frame %1, checked %2, enabled %3, colour %4")
        .arg(pShown->objectName())
        .arg(pTile->IsChecked())
        .arg(pTile->isEnabled())
        .arg(strColor);
}

void ClickShownFrame(CheckBigButton *pTile)
{
    const quint32 nId = pTile->GetItem().nId;
    QPushButton *pShown = nullptr;
    for (const char *szLook : {"Common", "Check", "Disable"}) {
        QPushButton *pFrame = Frame(pTile, nId, szLook);
        if (pFrame && !pFrame->isHidden())
            pShown = pFrame;
    }
    QVERIFY(pShown);
    QTest::mouseClick(pShown, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
}
} // namespace

class tst_ItemTiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lookTransitions_data();
    void lookTransitions();
    void btnData_data();
    void btnData();
    void sizeFormat_data();
    void sizeFormat();
    void needTime_data();
    void needTime();
    void otherTileName_data();
    void otherTileName();
    void titles();
    void mirroredContent_data();
    void mirroredContent();
    void keyboardAndScreenReader();

private:
    QScopedPointer<TestEnv> m_pEnv;
};

void tst_ItemTiles::init()
{
    m_pEnv.reset(new TestEnv);
    QVERIFY(m_pEnv->IsValid());
    qputenv("PELORIX_HOST_LANG", "en");
}

void tst_ItemTiles::cleanup()
{
    qunsetenv("PELORIX_HOST_LANG");
    m_pEnv.reset();
}

void tst_ItemTiles::lookTransitions_data()
{
    QTest::addColumn<quint32>("id");
    QTest::addColumn<bool>("enable");
    // Steps: "click", "check", "uncheck", "disable", "enable", "reset", "data0", "data5".
    QTest::addColumn<QStringList>("steps");
    // The look after construction and after each step.
    QTest::addColumn<QStringList>("looks");

    QTest::newRow("default off, clicks toggle")
        << 0u << false << QStringList{"click", "click", "click"}
        << QStringList{"unchecked", "checked", "unchecked", "checked"};
    QTest::newRow("default on, clicks toggle")
        << 6u << true << QStringList{"click", "click"} << QStringList{"checked", "unchecked", "checked"};
    QTest::newRow("set checked")
        << 4u << false << QStringList{"check", "check", "uncheck", "uncheck"}
        << QStringList{"unchecked", "checked", "checked", "unchecked", "unchecked"};
    QTest::newRow("disabled ignores clicks, reset restores the default")
        << 1u << true << QStringList{"click", "disable", "click", "click", "reset", "click"}
        << QStringList{"checked", "unchecked", "disabled", "disabled", "disabled", "checked", "unchecked"};
    QTest::newRow("other tile disabled, reset to unchecked")
        << 6u << false << QStringList{"click", "disable", "click", "reset"}
        << QStringList{"unchecked", "checked", "disabled", "disabled", "unchecked"};
    QTest::newRow("count 0 disables, count 5 after reset stays enabled")
        << 5u << true << QStringList{"data0", "click", "reset", "data5", "click"}
        << QStringList{"checked", "disabled", "disabled", "checked", "checked", "unchecked"};
    QTest::newRow("a checked tile reset to its default")
        << 29u << false << QStringList{"check", "reset"} << QStringList{"unchecked", "checked", "unchecked"};
}

void tst_ItemTiles::lookTransitions()
{
    QFETCH(quint32, id);
    QFETCH(bool, enable);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, looks);

    QWidget page;
    page.resize(400, 200);
    CheckBigButton *pTile = new CheckBigButton(Item(id, enable), &page);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    QStringList listSeen{Look(pTile)};
    for (const QString &strStep : steps) {
        if (strStep == "click")
            ClickShownFrame(pTile);
        else if (strStep == "check")
            pTile->SetChecked(true);
        else if (strStep == "uncheck")
            pTile->SetChecked(false);
        else if (strStep == "disable")
            pTile->SetDisableFrame();
        else if (strStep == "reset")
            pTile->Reset();
        else if (strStep == "data0")
            pTile->SetBtnData(Counted(0, 0));
        else if (strStep == "data5")
            pTile->SetBtnData(Counted(5, 0));
        listSeen << Look(pTile);
    }
    QCOMPARE(listSeen, looks);
    QCOMPARE(pTile->GetItem().nId, id);
    QCOMPARE(pTile->GetItem().bEnable, enable);
}

void tst_ItemTiles::btnData_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("kiloBytes");
    QTest::addColumn<QString>("num");
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("disabled");
    QTest::addColumn<int>("result");

    const QString strKB = Change::tr("IDS_CORE_UNIT_KB");
    const QString strMB = Change::tr("IDS_CORE_UNIT_MB");
    const QString strGB = Change::tr("IDS_CORE_UNIT_GB");
    QTest::newRow("count and size") << 17 << 1023 << "17" << "1023 " + strKB << false << 0;
    QTest::newRow("large size") << 1 << 1572864 << "1" << "1.50 " + strGB << false << 0;
    // Without a size the size and time texts stay as they were.
    QTest::newRow("count without size") << 12 << 0 << "12" << "earlier" << false << 0;
    QTest::newRow("count 0") << 0 << 0 << "0" << "earlier" << true << 0;
    QTest::newRow("negative count shows 0") << -4 << 0 << "0" << "earlier" << true << 0;
    QTest::newRow("count 0 with a size") << 0 << 2048 << "0" << "2 " + strMB << true << 0;
    QTest::newRow("size beyond 2^31 KB") << 3 << -1 << "3" << "4.00 " + Change::tr("IDS_CORE_UNIT_TB") << false << 0;
    // The phone does not give this kind of data: the tile says so.
    QTest::newRow("not available") << 0 << 0 << "0" << Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_NOTAVAILABLE_TEXT")
                                   << true << int(DVSK_ERR_NOT_AVAILABLE);
    QTest::newRow("other count failure") << 0 << 0 << "0" << "earlier" << true << 9;
}

void tst_ItemTiles::btnData()
{
    QFETCH(int, count);
    QFETCH(int, kiloBytes);
    QFETCH(QString, num);
    QFETCH(QString, size);
    QFETCH(bool, disabled);
    QFETCH(int, result);

    CheckBigButton tile(Item(3, true));
    tile.SetSize(QStringLiteral("earlier"));
    tile.SetNeedTime(184320);
    const QString strEarlierTime = Label(&tile, 3, "_Time")->text();
    tile.SetBtnData(Counted(count, kiloBytes, result));
    QCOMPARE(Label(&tile, 3, "_Num")->text(), num);
    // A text shortened on the tile is whole in its tooltip.
    const QString strShown = Label(&tile, 3, "_Value")->text();
    QCOMPARE(tile.toolTip().isEmpty() ? strShown : tile.toolTip(), size);
    if (!tile.toolTip().isEmpty())
        QVERIFY2(strShown.endsWith(QChar(0x2026)) && strShown != size, qPrintable(strShown));
    QCOMPARE(Look(&tile), disabled ? QStringLiteral("disabled") : QStringLiteral("checked"));
    QCOMPARE(Label(&tile, 3, "_Time")->text(),
             kiloBytes ? CheckBigButton::NeedTimeText(static_cast<quint32>(kiloBytes)) : strEarlierTime);

    // Reset clears the values and keeps the title.
    const QString strTitle = tile.GetTitle();
    tile.Reset();
    QVERIFY(Label(&tile, 3, "_Num")->text().isEmpty());
    QVERIFY(Label(&tile, 3, "_Value")->text().isEmpty());
    QVERIFY(Label(&tile, 3, "_Time")->text().isEmpty());
    QCOMPARE(tile.GetTitle(), strTitle);
    QVERIFY(!strTitle.isEmpty());
}

void tst_ItemTiles::sizeFormat_data()
{
    QTest::addColumn<quint32>("kiloBytes");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("unit");

    QTest::newRow("1 KB") << 1u << "1" << "IDS_CORE_UNIT_KB";
    QTest::newRow("1 MB") << 1024u << "1" << "IDS_CORE_UNIT_MB";
    QTest::newRow("1.5 MB rounds up") << 1536u << "2" << "IDS_CORE_UNIT_MB";
    QTest::newRow("1.4 MB rounds down") << 1433u << "1" << "IDS_CORE_UNIT_MB";
    QTest::newRow("1.54 GB") << 1610612u << "1.54" << "IDS_CORE_UNIT_GB";
    QTest::newRow("1.00 TB") << 1073741824u << "1.00" << "IDS_CORE_UNIT_TB";
    QTest::newRow("largest size") << 4294967295u << "4.00" << "IDS_CORE_UNIT_TB";
}

void tst_ItemTiles::sizeFormat()
{
    QFETCH(quint32, kiloBytes);
    QFETCH(QString, number);
    QFETCH(QString, unit);

    QCOMPARE(CheckBigButton::FormatSize(kiloBytes), number + QLatin1Char(' ') + Change::tr(unit));
}

void tst_ItemTiles::needTime_data()
{
    QTest::addColumn<quint32>("kiloBytes");
    QTest::addColumn<int>("minutes");

    QTest::newRow("1 KB") << 1u << 0;
    QTest::newRow("just under 1.5 minutes") << 138239u << 1;
    QTest::newRow("1.5 minutes rounds to 2") << 138240u << 2;
    QTest::newRow("2.5 minutes rounds to 3") << 230400u << 3;
    QTest::newRow("largest size") << 4294967295u << 46603;
}

void tst_ItemTiles::needTime()
{
    QFETCH(quint32, kiloBytes);
    QFETCH(int, minutes);

    QCOMPARE(CheckBigButton::NeedMinutes(kiloBytes), minutes);

    QString strExpected;
    if (minutes <= 1) {
        strExpected = Change::tr("IDS_BACKUPUIPLUGIN_TIME_REMAINING_ONEMINUTE");
    } else {
        strExpected = Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_NEEDTIME_TEXT");
        if (strExpected.contains(QLatin1String("%1")))
            strExpected = strExpected.arg(minutes);
    }
    CheckBigButton tile(Item(4, false));
    tile.SetNeedTime(kiloBytes);
    QCOMPARE(Label(&tile, 4, "_Time")->text(), strExpected);
    if (minutes > 1 && Change::IsTranslationLoaded())
        QVERIFY2(strExpected.contains(QString::number(minutes)), qPrintable(strExpected));

    // No size, no estimate: the text stays.
    tile.SetNeedTime(0);
    QCOMPARE(Label(&tile, 4, "_Time")->text(), strExpected);
}

void tst_ItemTiles::otherTileName_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<quint32>("id");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QPoint>("pos");

    QTest::newRow("50 characters") << QByteArray("en") << 6u << 50 << true << QPoint(12, 50);
    QTest::newRow("rtl 80 characters") << QByteArray("ar") << 6u << 80 << true << QPoint(12, 50);
    QTest::newRow("not the other tile") << QByteArray("en") << 0u << 60 << false << QPoint(100, 14);
}

void tst_ItemTiles::otherTileName()
{
    QFETCH(QByteArray, lang);
    QFETCH(quint32, id);
    QFETCH(int, length);
    QFETCH(bool, shown);
    QFETCH(QPoint, pos);

    qputenv("PELORIX_HOST_LANG", lang);
    CheckBigButton tile(Item(id, true));
    const QString strName = QString(length - 2, QLatin1Char('x')).prepend(QLatin1Char('(')).append(QLatin1Char(')'));
    tile.SetBtnName(strName);
    QLabel *pName = Label(&tile, id, "_OtherContent");
    QVERIFY(pName);
    QCOMPARE(pName->text(), shown ? strName : QString());
    QCOMPARE(pName->pos(), pos);
    // The title is a different label and stays.
    QCOMPARE(tile.GetTitle(), Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT"));
}

void tst_ItemTiles::titles()
{
    // Keys are translated, texts already translated pass through, an empty
    // title changes nothing, and reset keeps the title.
    CheckBigButton tile(Item(1, true, QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT")));
    QCOMPARE(tile.GetTitle(), Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT"));
    tile.SetTitle(QStringLiteral("IDS_VIRTUAL_SMSNAME_IDENTIFER"));
    QCOMPARE(tile.GetTitle(), Change::tr("IDS_VIRTUAL_SMSNAME_IDENTIFER"));
    tile.SetTitle(QStringLiteral("Text messages"));
    tile.SetTitle(QString());
    tile.Reset();
    QCOMPARE(tile.GetTitle(), QStringLiteral("Text messages"));
}

void tst_ItemTiles::mirroredContent_data()
{
    QTest::addColumn<quint32>("id");
    QTest::newRow("narrow tile") << 0u;
    QTest::newRow("wide tile") << 6u;
}

void tst_ItemTiles::mirroredContent()
{
    // Right to left, every label of the tile sits where the left-to-right
    // label's mirror image is and keeps to the tile's right edge, digits too.
    QFETCH(quint32, id);
    const QList<const char *> listSuffixes = {"_Num", "_Value", "_Time", "_Title", "_OtherContent"};
    QMap<QString, QRect> mapLeftToRight;
    {
        qputenv("PELORIX_HOST_LANG", "en");
        CheckBigButton tile(Item(id, false));
        for (const char *szSuffix : listSuffixes) {
            QLabel *pLabel = Label(&tile, id, szSuffix);
            QVERIFY(pLabel);
            mapLeftToRight.insert(QLatin1String(szSuffix), pLabel->geometry());
            QVERIFY(!(pLabel->alignment() & Qt::AlignRight));
        }
        QVERIFY(!tile.findChild<BigButton *>()->property("mirrored").toBool());
    }
    qputenv("PELORIX_HOST_LANG", "ar");
    CheckBigButton tile(Item(id, false));
    tile.SetBtnData(Counted(12345, 1572864));
    QVERIFY(tile.findChild<BigButton *>()->property("mirrored").toBool());
    for (const char *szSuffix : listSuffixes) {
        if (id != 6 && QLatin1String(szSuffix) == QLatin1String("_OtherContent"))
            continue; // only the wide tile shows its sub-item list
        QLabel *pLabel = Label(&tile, id, szSuffix);
        const QRect rect = mapLeftToRight.value(QLatin1String(szSuffix));
        QCOMPARE(pLabel->x(), tile.width() - rect.x() - rect.width());
        QCOMPARE(pLabel->y(), rect.y());
        QCOMPARE(pLabel->alignment() & (Qt::AlignHorizontal_Mask | Qt::AlignAbsolute), Qt::AlignRight | Qt::AlignAbsolute);
    }
}

void tst_ItemTiles::keyboardAndScreenReader()
{
    QWidget page;
    CheckBigButton *pTile = new CheckBigButton(Item(6, false, QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT")), &page);
    const QString strList = QStringLiteral("(") + Change::tr("IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT") + QStringLiteral(")");
    pTile->SetBtnName(strList);
    pTile->SetBtnData(Counted(1234, 1572864));

    // One keyboard stop: the tile, none of the frames or labels inside it.
    QVERIFY(pTile->focusPolicy() & Qt::TabFocus);
    for (QWidget *pChild : pTile->findChildren<QWidget *>())
        QVERIFY2(!(pChild->focusPolicy() & Qt::TabFocus), qPrintable(pChild->objectName()));

    QAccessibleInterface *pInterface = QAccessible::queryAccessibleInterface(pTile);
    QVERIFY(pInterface);
    QCOMPARE(pInterface->text(QAccessible::Name), pTile->GetTitle() + QLatin1Char(' ') + strList);
    const QString strSeparator = Change::tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + QLatin1Char(' ');
    QCOMPARE(pInterface->text(QAccessible::Description),
             Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_ACCESSIBLE_COUNT").replace(QLatin1String("%s"), QLatin1String("1234"))
                 + strSeparator + CheckBigButton::FormatSize(1572864) + strSeparator
                 + CheckBigButton::NeedTimeText(1572864));
    QVERIFY(pInterface->state().checkable);
    QVERIFY(!pInterface->state().checked);
    QTest::keyClick(pTile, Qt::Key_Space);
    QVERIFY(pTile->IsChecked());
    QVERIFY(pInterface->state().checked);

    // After a reset only the title is left to read.
    pTile->Reset();
    QCOMPARE(pInterface->text(QAccessible::Description), QString());
    // An empty tile is not reachable.
    pTile->SetBtnData(Counted(0, 0));
    QVERIFY(pInterface->state().disabled);
}

QTEST_MAIN(tst_ItemTiles)
#include "tst_itemtiles.moc"
