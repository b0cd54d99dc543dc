#include "BackUpUIConfigParse.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "ConnectWizardWidget.h"
#include "DoingWizardWidget.h"
#include "PhoneList.h"
#include "PhonePickerWidget.h"
#include "PrepareWizardWidget.h"
#include "CustomLabelButton.h"
#include "TestEnv.h"
#include "WaitingBKFrame.h"
#include "host/Change.h"
#include "host/CustomPopupDialog.h"
#include "sdk/dvsk.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

// Saves pictures of the tiles in each look, the page header, the waiting
// overlay, the prepare page with a tile and a button showing the keyboard
// focus (and with the phone in its header), the connect page in each state
// and the phone picker, a tile of a kind the phone does not give, and the
// result page of a successful and of a failed run, in
// English, Russian and Arabic, into the build's test-output folder, styled
// with the skin's style sheet when the skin has been built, so people can
// look at them. Run on a screen of twice the density (QT_SCALE_FACTOR=2) it
// saves the same pictures as "<name>@2x.png", drawn from the skin's 2x
// pictures.
class tst_WidgetPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void tiles_data();
    void tiles();
    void header_data();
    void header();
    void notAvailableTile_data();
    void notAvailableTile();
    void connectPage_data();
    void connectPage();
    void waitingFrame();
    void pages_data();
    void pages();
    void stopQuestion_data();
    void stopQuestion();

private:
    QString Save(QWidget *pWidget, const QString &strName);

    QScopedPointer<TestEnv> m_pEnv;
    QString m_strOldCurrent;
    QString m_strOutput;
    bool m_bSkin = false;
};

namespace
{
// Whether the bottom left corner of a grabbed tile (the card's rounded edge
// and its shadow, where no text is) shows the skin picture pixel for pixel,
// composed over the grab's background; an enlarged 1x picture is softer
// there and differs.
bool MatchesPicture(const QImage &grabbed, const QString &strPicture)
{
    const QImage picture = QImage(QStringLiteral(BACKUP_STAGE_DIR "/skin/default/images/BackUpUIPlugin/") + strPicture)
                               .convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull() || picture.size() != grabbed.size())
        return false;
    const QColor background = grabbed.pixelColor(0, grabbed.height() - 1);
    for (int y = grabbed.height() - 30; y < grabbed.height(); ++y) {
        for (int x = 0; x < 30; ++x) {
            const QColor over = picture.pixelColor(x, y);
            const QColor seen = grabbed.pixelColor(x, y);
            const qreal dAlpha = over.alphaF();
            auto blend = [dAlpha](qreal dOver, qreal dUnder) { return dOver * dAlpha + dUnder * (1.0 - dAlpha); };
            if (qAbs(blend(over.redF(), background.redF()) - seen.redF()) > 0.04
                || qAbs(blend(over.greenF(), background.greenF()) - seen.greenF()) > 0.04
                || qAbs(blend(over.blueF(), background.blueF()) - seen.blueF()) > 0.04)
                return false;
        }
    }
    return true;
}
} // namespace

void tst_WidgetPictures::initTestCase()
{
    m_pEnv.reset(new TestEnv);
    QVERIFY(m_pEnv->IsValid());
    m_strOldCurrent = QDir::currentPath();
    // The skin refers to its pictures as "./skin/default/images/...".
    QVERIFY(QDir::setCurrent(QStringLiteral(BACKUP_STAGE_DIR)));
    QFile qss(QStringLiteral(BACKUP_STAGE_DIR "/skin/default/backup.qss"));
    m_bSkin = qss.open(QIODevice::ReadOnly | QIODevice::Text);
    if (m_bSkin)
        qApp->setStyleSheet(QString::fromUtf8(qss.readAll()));
    else
        qWarning("No skin style sheet in the stage: the pictures show the plain widgets");
    m_strOutput = TestEnv::OutputDir() + QStringLiteral("/widgets");
    QVERIFY(QDir().mkpath(m_strOutput));
}

void tst_WidgetPictures::cleanupTestCase()
{
    qunsetenv("PELORIX_HOST_LANG");
    QDir::setCurrent(m_strOldCurrent);
    m_pEnv.reset();
}

QString tst_WidgetPictures::Save(QWidget *pWidget, const QString &strName)
{
    const QString strSuffix = pWidget->devicePixelRatio() > 1.0 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
    const QString strFile = m_strOutput + QLatin1Char('/') + strName + strSuffix;
    const QPixmap pixmap = pWidget->grab();
    if (pixmap.isNull() || !pixmap.save(strFile))
        return QString();
    return strFile;
}

void tst_WidgetPictures::tiles_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<quint32>("id");
    QTest::addColumn<QString>("name");

    QTest::newRow("contacts") << QByteArray("en") << 0u << "IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT";
    QTest::newRow("other") << QByteArray("en") << 6u << "IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT";
    QTest::newRow("contacts rtl") << QByteArray("ar") << 0u << "IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT";
    QTest::newRow("other rtl") << QByteArray("ar") << 6u << "IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT";
}

void tst_WidgetPictures::tiles()
{
    QFETCH(QByteArray, lang);
    QFETCH(quint32, id);
    QFETCH(QString, name);

    qputenv("PELORIX_HOST_LANG", lang);
    PluginInfo info;
    info.nId = id;
    info.strName = name;
    info.bEnable = false;

    const QString strSuffix = lang == "ar" ? QStringLiteral("_rtl") : QString();
    const QString strWord = id == 6 ? QStringLiteral("other") : QStringLiteral("contacts");
    QList<QImage> listImages;
    for (const QString &strLook : {QStringLiteral("unchecked"), QStringLiteral("checked"), QStringLiteral("disabled")}) {
        CheckBigButton tile(info);
        structBackupID record;
        record.nProNum = strLook == "disabled" ? 0 : 1234;
        record.nValue2 = strLook == "disabled" ? 0 : 1572864;
        if (id == 6)
            tile.SetBtnName(QStringLiteral("(") + Change::tr("IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT") + ", "
                            + Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT") + ", "
                            + Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT") + ")");
        tile.SetBtnData(record);
        if (strLook == "checked")
            tile.SetChecked(true);

        const QString strName = QStringLiteral("tile_%1_%2%3").arg(strWord, strLook, strSuffix);
        const QString strFile = Save(&tile, strName);
        QVERIFY2(!strFile.isEmpty(), qPrintable(strName));
        const QImage image(strFile);
        QCOMPARE(image.size(), tile.size() * tile.devicePixelRatio());
        if (tile.devicePixelRatio() > 1.0 && m_bSkin && strLook == "unchecked")
            QVERIFY2(MatchesPicture(image, id == 6 ? QStringLiteral("BigButton_Other_Common@2x.png")
                                                   : QStringLiteral("BigButton_Common@2x.png")),
                     "the 2x screen does not show the 2x picture");
        listImages << image;
    }
    // The kind's icon sits in the corner opposite the values: top right, or
    // top left when the tile is mirrored (its badge is the accent's wash).
    if (m_bSkin) {
        const qreal dRatio = listImages.at(0).width() / qreal(id == 6 ? 248 : 124);
        const int nWidth = id == 6 ? 248 : 124;
        // Inside the badge (28 x 28, 12 px from the top and the side), clear
        // of its glyph.
        const QPoint ptLeft(QPointF(16 * dRatio, 16 * dRatio).toPoint());
        const QPoint ptRight(QPointF((nWidth - 36) * dRatio, 16 * dRatio).toPoint());
        const QColor wash(234, 243, 253);
        const QImage &unchecked = listImages.at(0);
        auto near = [](const QColor &a, const QColor &b) {
            return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) < 12;
        };
        QVERIFY2(near(unchecked.pixelColor(lang == "ar" ? ptLeft : ptRight), wash), "icon not in its corner");
        QVERIFY2(!near(unchecked.pixelColor(lang == "ar" ? ptRight : ptLeft), wash), "icon in both corners");
    }
    // The three looks can be told apart.
    QVERIFY(listImages.at(0) != listImages.at(1));
    QVERIFY(listImages.at(1) != listImages.at(2));
    QVERIFY(listImages.at(0) != listImages.at(2));
}

void tst_WidgetPictures::header_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::newRow("ltr") << QByteArray("en");
    QTest::newRow("rtl") << QByteArray("ar");
}

void tst_WidgetPictures::header()
{
    QFETCH(QByteArray, lang);
    qputenv("PELORIX_HOST_LANG", lang);
    CustomLabelButton header;
    const QString strName = lang == "ar" ? QStringLiteral("header_rtl") : QStringLiteral("header");
    const QString strFile = Save(&header, strName);
    QVERIFY2(!strFile.isEmpty(), qPrintable(strName));
    QCOMPARE(QImage(strFile).size(), QSize(276, 72) * header.devicePixelRatio());
    QLabel *pText = header.findChild<QLabel *>("BackUpUIPlugin_CustomLabelButton_TextLabel");
    QVERIFY(pText);
    QCOMPARE(pText->text(), Change::tr("IDS_BACKUPUIPLUGIN_LOGBUTTONTEXT"));
    QCOMPARE(bool(pText->alignment() & Qt::AlignRight), lang == "ar");
}

void tst_WidgetPictures::waitingFrame()
{
    qputenv("PELORIX_HOST_LANG", "en");
    // The overlay over a page of tiles, as the prepare page shows it.
    QWidget page;
    page.setFixedSize(896, 640);
    page.setAutoFillBackground(true);
    new CustomLabelButton(&page);
    // The tiles of the installed configuration.
    BackUpUIConfigParse *pConfig = BackUpUIConfigParse::GetInstance();
    QVERIFY(pConfig);
    const PluginInfoTable common = pConfig->GetCommonItems();
    BackUpUIConfigParse::DestroyInstance();
    const QList<quint32> listIds = {0, 1, 29, 3, 4, 5, 6};
    for (int i = 0; i < listIds.size(); ++i) {
        QVERIFY(common.contains(listIds.at(i)));
        CheckBigButton *pTile = new CheckBigButton(common.value(listIds.at(i)), &page);
        pTile->move(i < 5 ? QPoint(124 + 121 * i, 176) : QPoint(121 * i - 481, 306));
    }
    WaitingBKFrame *pFrame = new WaitingBKFrame(&page);
    pFrame->move(0, 0);
    pFrame->raise();
    for (int i = 0; i < 4; ++i)
        QVERIFY(QMetaObject::invokeMethod(pFrame, "soltMoviePlay"));
    pFrame->ShowFrame();
    const QString strFile = Save(&page, QStringLiteral("waiting_frame"));
    pFrame->HideFrame();
    QVERIFY(!strFile.isEmpty());
    QCOMPARE(QImage(strFile).size(), QSize(896, 640) * page.devicePixelRatio());
}

void tst_WidgetPictures::pages_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QString>("page");
    for (const char *szLang : {"en", "ru", "ar"})
        for (const char *szPage : {"prepare", "prepare-nospace", "complete", "complete-failed", "complete-disconnected",
                                   "prepare-phone"})
            QTest::addRow("%s %s", szPage, szLang) << QByteArray(szLang) << QString::fromLatin1(szPage);
}

void tst_WidgetPictures::pages()
{
    // Whole pages as a user sees them: the prepare page with the keyboard
    // focus on its first tile (or, with the disk full, on Start), and the
    // result page after a successful run (Open folder focused), after a
    // partly failed one and after one that kept nothing (no folder line).
    QFETCH(QByteArray, lang);
    QFETCH(QString, page);
    qputenv("PELORIX_HOST_LANG", lang);
    QWidget frame;
    frame.setObjectName(QStringLiteral("BackUpUIPlugin_MainWidget"));
    frame.setFixedSize(896, 640);
    QWidget *pFocus = nullptr;
    if (page.startsWith(QLatin1String("prepare"))) {
        auto *pPage = new PrepareWizardWidget(&frame);
        pPage->InitPage();
        const QList<QPair<int, int>> listCounts = {{0, 1284}, {1, 3517}, {29, 86}, {3, 41}, {4, 24518}, {5, 0}, {6, 932}};
        for (const auto &count : listCounts) {
            structBackupID record;
            record.nProNum = count.second;
            record.nValue2 = count.second * 613;
            if (CheckBigButton *pTile = pPage->GetBigButtons().value(count.first))
                pTile->SetBtnData(record);
        }
        pPage->slotsPathChanged(QDir::homePath());
        // The header names the phone the wizard works with.
        if (page == QLatin1String("prepare-phone"))
            pPage->findChild<CustomLabelButton *>()->SetPhoneText(
                Change::tr("IDS_BACKUPUIPLUGIN_HEADER_PHONE_TEXT")
                    .replace(QLatin1String("%s1"), QStringLiteral("Corvo X5"))
                    .replace(QLatin1String("%s2"), QStringLiteral("CX5-0042-7781")));
        const bool bNoSpace = page == QLatin1String("prepare-nospace");
        pPage->GetSpaceStatusLabel()->setVisible(bNoSpace);
        pFocus = bNoSpace ? static_cast<QWidget *>(pPage->GetNextButton())
                          : pPage->GetBigButtons().value(pPage->TileOrder().constFirst());
    } else {
        auto *pPage = new CompleteWizardWidget(&frame);
        pPage->InitPage();
        // Where the package went (a long path is shortened in the middle).
        pPage->SetBackupFolder(QDir::homePath() + QStringLiteral("/Documents/Pelorix/backup"));
        if (page == QLatin1String("complete-failed")) {
            pPage->SetOutcome(CompleteWizardWidget::Outcome::PartlyFailed);
            pPage->SetResultCaption(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL"));
            pPage->SetResultValue(Change::tr("IDS_VIRTUAL_SMSNAME_IDENTIFER") + Change::tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO")
                                  + QLatin1Char(' ') + Change::tr("IDS_VIRTUAL_IDENTIFER_VEDIOTEXT"));
            pPage->SetContactsTip(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT").replace(QLatin1String("%s"), QLatin1String("1270")));
        } else if (page == QLatin1String("complete-disconnected")) {
            pPage->SetOutcome(CompleteWizardWidget::Outcome::Failed);
            pPage->SetResultValue(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL"));
            // The run can simply be tried again.
            pPage->SetRetryOffered(true);
        }
        pPage->ShowPage();
        if (page == QLatin1String("complete"))
            pFocus = pPage->GetOpenFolderButton();
    }
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    if (pFocus) {
        pFocus->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(pFocus->hasFocus());
    }
    const QString strName = QStringLiteral("page_%1_%2").arg(page, QString::fromLatin1(lang));
    const QString strFile = Save(&frame, strName);
    QVERIFY2(!strFile.isEmpty(), qPrintable(strName));
    QCOMPARE(QImage(strFile).size(), frame.size() * frame.devicePixelRatio());
    if (CheckBigButton *pTile = qobject_cast<CheckBigButton *>(pFocus))
        QVERIFY(pTile->GetFocusFrame()->isVisible());
    if (auto *pComplete = frame.findChild<CompleteWizardWidget *>()) {
        QCOMPARE(pComplete->GetOpenFolderButton()->isVisible(), page != QLatin1String("complete-disconnected"));
        QCOMPARE(pComplete->GetTryAgainButton()->isVisible(), page == QLatin1String("complete-disconnected"));
        for (QPushButton *pButton : {pComplete->GetTryAgainButton(), pComplete->GetFinishButton()})
            QVERIFY2(pButton->fontMetrics().horizontalAdvance(pButton->text()) < pButton->width(), qPrintable(pButton->text()));
    }
}

void tst_WidgetPictures::notAvailableTile_data()
{
    QTest::addColumn<QByteArray>("lang");
    for (const char *szLang : {"en", "ru", "ar"})
        QTest::newRow(szLang) << QByteArray(szLang);
}

void tst_WidgetPictures::notAvailableTile()
{
    // A kind the phone does not give: the tile says so in full, on two
    // lines, or shortened with the whole text as its tooltip; never cut off.
    QFETCH(QByteArray, lang);
    qputenv("PELORIX_HOST_LANG", lang);
    PluginInfo info;
    info.nId = 4;
    info.strName = QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_APPDATA_TEXT");
    CheckBigButton tile(info);
    structBackupID record;
    record.nValue = DVSK_ERR_NOT_AVAILABLE;
    tile.SetBtnData(record);
    const QString strText = Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_NOTAVAILABLE_TEXT");
    QLabel *pSize = nullptr;
    for (QLabel *pLabel : tile.findChildren<QLabel *>()) {
        if (pLabel->objectName().endsWith(QLatin1String("_Value")))
            pSize = pLabel;
    }
    QVERIFY(pSize);
    const QFontMetrics metrics = pSize->fontMetrics();
    const QRect rectNeeded = metrics.boundingRect(QRect(0, 0, pSize->width(), 1000),
                                                  pSize->wordWrap() ? int(Qt::TextWordWrap) : 0, pSize->text());
    QVERIFY2(rectNeeded.width() <= pSize->width() && rectNeeded.height() <= pSize->height(),
             qPrintable(QStringLiteral("%1 needs %2 x %3 in %4 x %5").arg(pSize->text()).arg(rectNeeded.width())
                            .arg(rectNeeded.height()).arg(pSize->width()).arg(pSize->height())));
    if (pSize->text() != strText)
        QCOMPARE(tile.toolTip(), strText);
    else
        QCOMPARE(tile.toolTip(), QString());
    // A screen reader hears the whole text either way.
    QVERIFY(tile.accessibleDescription().contains(strText));
    QVERIFY(!Save(&tile, QStringLiteral("tile_notavailable_%1").arg(QString::fromLatin1(lang))).isEmpty());
}

void tst_WidgetPictures::connectPage_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("list");
    const QList<QPair<const char *, QString>> listStates = {
        {"nophone", QString()},
        {"unauthorized", QStringLiteral("R58M40ABCDE\tunauthorized\tusb\t\t\n")},
        {"nopermissions", QStringLiteral("R58M40ABCDE\tno-permissions\tusb\t\tmissing udev rules\n")},
        {"offline", QStringLiteral("192.168.1.20:5555\toffline\twifi\tPixel 7\t\n")},
        {"noserver", QStringLiteral("!cannot start the adb server: adb not found")},
        {"picker", QStringLiteral("R58M40ABCDE\tready\tusb\tCorvo X5\t\n192.168.1.20:5555\tready\twifi\tPixel 7\t\n"
                                  "0A1B2C3D\tunauthorized\tusb\t\t\n")}};
    for (const char *szLang : {"en", "ru", "ar"})
        for (const auto &state : listStates)
            QTest::addRow("%s %s", state.first, szLang) << QByteArray(szLang) << QString::fromLatin1(state.first) << state.second;
}

void tst_WidgetPictures::connectPage()
{
    // The connect page in each state a user meets, and the picker, with
    // the keyboard focus where a user starts (the picker's list, or the
    // Wi-Fi field).
    QFETCH(QByteArray, lang);
    QFETCH(QString, state);
    QFETCH(QString, list);
    qputenv("PELORIX_HOST_LANG", lang);
    QWidget frame;
    frame.setObjectName(QStringLiteral("BackUpUIPlugin_MainWidget"));
    frame.setFixedSize(896, 640);
    auto *pPage = new ConnectWizardWidget(&frame);
    pPage->InitPage();
    const PhoneList phones = list.startsWith(QLatin1Char('!')) ? PhoneList::NoServer(list.mid(1)) : PhoneList::Parse(list);
    pPage->ShowListOnly(phones);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    const bool bPicker = state == QLatin1String("picker");
    QCOMPARE(pPage->GetMode(), bPicker ? ConnectWizardWidget::Mode::Choosing : ConnectWizardWidget::Mode::Waiting);
    QWidget *pFocus = bPicker ? static_cast<QWidget *>(pPage->GetPicker()->List()) : pPage->GetWifiEdit();
    pFocus->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pFocus->hasFocus());
    if (bPicker)
        QCOMPARE(pPage->GetPicker()->List()->count(), 3);
    // Every text fits its place: a label's wrapped text its height, a
    // button's text its width.
    for (QLabel *pLabel : pPage->findChildren<QLabel *>()) {
        if (!pLabel->isVisibleTo(&frame) || pLabel->text().isEmpty() || !pLabel->wordWrap())
            continue;
        const int nNeeded = pLabel->heightForWidth(pLabel->width());
        QVERIFY2(nNeeded <= pLabel->height(), qPrintable(QStringLiteral("%1 needs %2 px, has %3: %4")
                                                             .arg(pLabel->objectName()).arg(nNeeded)
                                                             .arg(pLabel->height()).arg(pLabel->text())));
    }
    for (QPushButton *pButton : pPage->findChildren<QPushButton *>()) {
        if (pButton->isVisibleTo(&frame) && !pButton->text().isEmpty())
            QVERIFY2(pButton->fontMetrics().horizontalAdvance(pButton->text()) < pButton->width() - 8,
                     qPrintable(pButton->text()));
    }
    const QString strName = QStringLiteral("page_connect-%1_%2").arg(state, QString::fromLatin1(lang));
    const QString strFile = Save(&frame, strName);
    QVERIFY2(!strFile.isEmpty(), qPrintable(strName));
    QCOMPARE(QImage(strFile).size(), frame.size() * frame.devicePixelRatio());
}

void tst_WidgetPictures::stopQuestion_data()
{
    QTest::addColumn<QByteArray>("lang");
    for (const char *szLang : {"en", "ru", "ar"})
        QTest::newRow(szLang) << QByteArray(szLang);
}

void tst_WidgetPictures::stopQuestion()
{
    // The question Cancel asks during a backup: buttons named after what
    // they do, the safe one focused.
    QFETCH(QByteArray, lang);
    qputenv("PELORIX_HOST_LANG", lang);
    QWidget frame;
    frame.setFixedSize(896, 640);
    auto *pPage = new DoingWizardWidget(&frame);
    pPage->InitPage();
    pPage->setProgressBarRange(0, 1000);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    pPage->DoCancel();
    CustomPopupDialog *pDialog = pPage->GetCancelDialog();
    QVERIFY(pDialog);
    QVERIFY(QTest::qWaitForWindowActive(pDialog));
    QTRY_VERIFY(pDialog->GetCancelButton()->hasFocus());
    for (QPushButton *pButton : {pDialog->GetOkButton(), pDialog->GetCancelButton()})
        QVERIFY2(pButton->fontMetrics().horizontalAdvance(pButton->text()) < pButton->width(), qPrintable(pButton->text()));
    const QString strName = QStringLiteral("stop_question_%1").arg(QString::fromLatin1(lang));
    QVERIFY2(!Save(pDialog, strName).isEmpty(), qPrintable(strName));
    pPage->GetStepTimer()->stop();
}

QTEST_MAIN(tst_WidgetPictures)
#include "tst_widgetpictures.moc"
