#include "BackUpMainWindow.h"
#include "BackUpUIThread.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "ConnectWizardWidget.h"
#include "CustomLabelButton.h"
#include "DoingWizardWidget.h"
#include "HostedWizard.h"
#include "PhoneList.h"
#include "PhonePickerWidget.h"
#include "PrepareWizardWidget.h"
#include "ResultDetailsList.h"
#include "ScratchMount.h"
#include "TestEnv.h"
#include "TestPhone.h"
#include "WaitingBKFrame.h"
#include "host/Change.h"
#include "host/CommonUtils.h"
#include "host/CustomPopupDialog.h"
#include "sdk/dvsk.h"
#include "sdk/dvsk_sim.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <cstdlib>
#include <memory>

// Saves pictures of the tiles in each look, the page header, a tile of a
// kind the phone does not give, the connect page in each state and the
// phone picker, in English, Russian and Arabic, into the build's test-output
// folder, styled with the skin's style sheet when the skin has been built,
// so people can look at them. The pictures of the wizard's pages (prepare,
// progress, result), of the counting overlay and of the question Cancel asks
// are taken from the real wizard, driven as a user drives it against
// simulated phones, when it has reached the state shown. Run on a screen of
// twice the density (QT_SCALE_FACTOR=2) it saves the same pictures as
// "<name>@2x.png", drawn from the skin's 2x pictures.
class tst_WidgetPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void tiles_data();
    void tiles();
    void header_data();
    void header();
    void notAvailableTile_data();
    void notAvailableTile();
    void connectPage_data();
    void connectPage();
    void preparedAndComplete_data();
    void preparedAndComplete();
    void notEnoughSpace_data();
    void notEnoughSpace();
    void progressThenUnplugged_data();
    void progressThenUnplugged();
    void partlyFailed_data();
    void partlyFailed();

private:
    QString Save(QWidget *pWidget, const QString &strName);
    // Saves the page picture "page_<page>_<lang>" once every text on it fits
    // and none overlaps another; else (or when it cannot be saved) says why.
    QString SavePage(QWidget *pWindow, const QString &strPage, const QByteArray &baLang);
    static void AddLanguages();
    // The wizard in the host's frame, shown as the host shows it, in the
    // language given; the phone is being counted when it returns.
    BackUpMainWindow *OpenWizard(const QByteArray &baLang);
    static bool WaitForCounts(BackUpMainWindow *pWindow);
    // Checks every tile the phone has something for and presses Start; the
    // result page once the run has ended, else null.
    static CompleteWizardWidget *RunEverything(BackUpMainWindow *pWindow);

    QScopedPointer<TestEnv> m_pEnv;
    std::unique_ptr<HostedWizard> m_pWizard;
    QString m_strOldCurrent;
    QString m_strOutput;
    bool m_bSkin = false;
};

// Fails the test with the problem when the expression gives one.
#define QVERIFY_SAVED(expression)                                                                                      \
    do {                                                                                                               \
        const QString strProblem = (expression);                                                                       \
        QVERIFY2(strProblem.isEmpty(), qPrintable(strProblem));                                                        \
    } while (false)

namespace
{
constexpr int kRunTimeout = 60000;

// A small phone as a user might have it: contacts, messages and four photos.
void FillSmallPhone(TestPhone &phone)
{
    phone.SetDevice(QStringLiteral("Corvo X5"), QStringLiteral("CRX5-L21 V100R001C10B120"), QStringLiteral("356938035643809"));
    phone.SetSerial(QStringLiteral("CX5A0001"));
    phone.SetRecords(0, 24);
    phone.SetRecords(1, 36);
    for (int i = 1; i <= 4; ++i)
        phone.AddFile(QStringLiteral("/sdcard/DCIM/Camera/IMG_000%1.jpg").arg(i), 8 * 1024);
}

// Checks every tile the phone has something for, as a user clicks them.
void CheckEverything(PrepareWizardWidget *pPrepare)
{
    for (CheckBigButton *pTile : pPrepare->GetBigButtons()) {
        if (pTile->isEnabled() && !pTile->IsChecked())
            pTile->ButtonPressed();
    }
}

// Whether the simulated phone has been asked to copy this phone file.
bool CopyBegun(const QString &strPhonePath)
{
    char *szLog = DVSK_Sim_GetCallLog();
    const QStringList listLines = QString::fromUtf8(szLog).split(QLatin1Char('\n'));
    std::free(szLog);
    const QString strQuoted = QLatin1Char('"') + strPhonePath + QLatin1Char('"');
    for (const QString &strLine : listLines) {
        if (strLine.startsWith(QLatin1String("DVSK_GetFile ")) && strLine.contains(strQuoted))
            return true;
    }
    return false;
}

// The first text under pRoot that does not fit its place, described; empty
// when all fit: a wrapped label's text its height, a plain one-line label's
// text its width, a button's text its width less nButtonMargin.
QString FirstMisfit(QWidget *pRoot, int nButtonMargin)
{
    for (QLabel *pLabel : pRoot->findChildren<QLabel *>()) {
        if (!pLabel->isVisibleTo(pRoot) || pLabel->text().isEmpty())
            continue;
        if (pLabel->wordWrap()) {
            const int nNeeded = pLabel->heightForWidth(pLabel->width());
            if (nNeeded > pLabel->height())
                return QStringLiteral("%1 needs %2 px, has %3: %4")
                    .arg(pLabel->objectName()).arg(nNeeded).arg(pLabel->height()).arg(pLabel->text());
        } else if (pLabel->textFormat() == Qt::PlainText
                   && pLabel->fontMetrics().horizontalAdvance(pLabel->text()) > pLabel->contentsRect().width()) {
            return QStringLiteral("%1 is cut off: %2").arg(pLabel->objectName(), pLabel->text());
        }
    }
    for (QPushButton *pButton : pRoot->findChildren<QPushButton *>()) {
        if (pButton->isVisibleTo(pRoot) && !pButton->text().isEmpty()
            && pButton->fontMetrics().horizontalAdvance(pButton->text()) >= pButton->width() - nButtonMargin)
            return QStringLiteral("%1 does not fit: %2").arg(pButton->objectName(), pButton->text());
    }
    return QString();
}

// The first two texts under pRoot whose places overlap, described; empty
// when none do. Texts are the visible labels and buttons that show text,
// outside the tiles (which compose their own).
QString FirstOverlap(QWidget *pRoot)
{
    QList<QWidget *> listTexts;
    for (QWidget *pWidget : pRoot->findChildren<QWidget *>()) {
        const auto *pLabel = qobject_cast<QLabel *>(pWidget);
        const auto *pButton = qobject_cast<QPushButton *>(pWidget);
        const bool bText = (pLabel && !pLabel->text().isEmpty()) || (pButton && !pButton->text().isEmpty());
        bool bInTile = false;
        for (QWidget *pParent = pWidget->parentWidget(); pParent && pParent != pRoot; pParent = pParent->parentWidget())
            bInTile = bInTile || qobject_cast<CheckBigButton *>(pParent);
        if (bText && !bInTile && pWidget->isVisibleTo(pRoot))
            listTexts << pWidget;
    }
    auto rectOf = [pRoot](QWidget *pWidget) { return QRect(pWidget->mapTo(pRoot, QPoint(0, 0)), pWidget->size()); };
    for (int i = 0; i < listTexts.size(); ++i) {
        for (int j = i + 1; j < listTexts.size(); ++j) {
            if (rectOf(listTexts.at(i)).intersects(rectOf(listTexts.at(j))))
                return QStringLiteral("%1 overlaps %2").arg(listTexts.at(i)->objectName(), listTexts.at(j)->objectName());
        }
    }
    return QString();
}

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
    BackUpUIThreadCancel::SetSettleDelay(0);
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

void tst_WidgetPictures::AddLanguages()
{
    QTest::addColumn<QByteArray>("lang");
    for (const char *szLang : {"en", "ru", "ar"})
        QTest::newRow(szLang) << QByteArray(szLang);
}

BackUpMainWindow *tst_WidgetPictures::OpenWizard(const QByteArray &baLang)
{
    DVSK_Sim_ClearCallLog();
    qputenv("PELORIX_HOST_LANG", baLang);
    m_pWizard = std::make_unique<HostedWizard>();
    return m_pWizard->Show();
}

void tst_WidgetPictures::cleanup()
{
    if (!m_pWizard)
        return;
    m_pWizard.reset();
    // A fresh, attached connection to the sample phone, and the wizard's
    // own destination again (a test may have chosen another).
    TestPhone::UseDefault();
    QFile::remove(m_pEnv->UserDataDir() + QStringLiteral("Location.ini"));
}

bool tst_WidgetPictures::WaitForCounts(BackUpMainWindow *pWindow)
{
    WaitingBKFrame *pWaiting = pWindow->GetPreparePage()->GetWaitingFrame();
    return QTest::qWaitFor([pWaiting]() { return !pWaiting->isVisible(); }, kRunTimeout);
}

CompleteWizardWidget *tst_WidgetPictures::RunEverything(BackUpMainWindow *pWindow)
{
    PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
    CheckEverything(pPrepare);
    pPrepare->GetNextButton()->click();
    CompleteWizardWidget *pComplete = pWindow->GetCompletePage();
    if (!QTest::qWaitFor([pComplete]() { return pComplete->isVisible(); }, kRunTimeout))
        return nullptr;
    return pComplete;
}

QString tst_WidgetPictures::SavePage(QWidget *pWindow, const QString &strPage, const QByteArray &baLang)
{
    const QString strName = QStringLiteral("page_%1_%2").arg(strPage, QString::fromLatin1(baLang));
    // A text that changed is laid out anew through the event loop.
    QString strProblem = FirstMisfit(pWindow, 0);
    if (!strProblem.isEmpty() && QTest::qWaitFor([&]() { return FirstMisfit(pWindow, 0).isEmpty(); }))
        strProblem.clear();
    if (strProblem.isEmpty())
        strProblem = FirstOverlap(pWindow);
    // Saved either way, so that a problem can be looked at.
    const QString strFile = Save(pWindow, strName);
    if (!strProblem.isEmpty())
        return strName + QStringLiteral(": ") + strProblem;
    if (strFile.isEmpty() || QImage(strFile).size() != pWindow->size() * pWindow->devicePixelRatio())
        return strName + QStringLiteral(": not saved whole");
    return QString();
}

void tst_WidgetPictures::preparedAndComplete_data()
{
    AddLanguages();
}

void tst_WidgetPictures::preparedAndComplete()
{
    // The sample phone as a user meets it: the prepare page while the phone
    // is read, once its counts are in (the header naming the phone, then
    // with the keyboard on the first tile), and the result page after
    // everything on it was backed up.
    QFETCH(QByteArray, lang);
    BackUpMainWindow *pWindow = OpenWizard(lang);
    PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
    // The counts come through the event loop, which has not run since the
    // page was shown: the overlay is up and says what is going on.
    WaitingBKFrame *pWaiting = pPrepare->GetWaitingFrame();
    QVERIFY(pPrepare->isVisible() && pWaiting->isVisible());
    QCOMPARE(pWaiting->Text(), Change::tr("IDS_BACKUPUIPLUGIN_WAITING_READING_TEXT"));
    QVERIFY(!Save(pWindow, lang == "en" ? QStringLiteral("waiting_frame") : "waiting_frame_" + QString::fromLatin1(lang))
                 .isEmpty());
    QVERIFY2(WaitForCounts(pWindow), "the phone was not counted");
    QCOMPARE(BackUpUIThread::Instance()->GetModuleCounts().value(0).nProNum, 40);

    CustomLabelButton *pHeader = pPrepare->findChild<CustomLabelButton *>();
    QVERIFY(pHeader);
    QVERIFY2(pHeader->GetPhoneText().contains(QStringLiteral("Corvo X5")), qPrintable(pHeader->GetPhoneText()));
    QVERIFY_SAVED(SavePage(pWindow, QStringLiteral("prepare-phone"), lang));
    CheckBigButton *pFirst = pPrepare->GetBigButtons().value(pPrepare->TileOrder().constFirst());
    pFirst->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pFirst->hasFocus());
    QVERIFY(pFirst->GetFocusFrame()->isVisible());
    QVERIFY_SAVED(SavePage(pWindow, QStringLiteral("prepare"), lang));

    CompleteWizardWidget *pComplete = RunEverything(pWindow);
    QVERIFY2(pComplete, "the run did not end");
    QCOMPARE(pComplete->GetOutcome(), CompleteWizardWidget::Outcome::Complete);
    QCOMPARE(pComplete->GetBackupFolder(), m_pEnv->DocumentsDir() + QStringLiteral("/Pelorix/backup"));
    QVERIFY(pComplete->GetSummaryLabel()->isVisible());
    QVERIFY(!pComplete->GetDetails()->isVisible());
    QVERIFY(pComplete->GetOpenFolderButton()->isVisible() && !pComplete->GetTryAgainButton()->isVisible());
    pComplete->GetOpenFolderButton()->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pComplete->GetOpenFolderButton()->hasFocus());
    QVERIFY_SAVED(SavePage(pWindow, QStringLiteral("complete"), lang));
}

void tst_WidgetPictures::notEnoughSpace_data()
{
    AddLanguages();
}

void tst_WidgetPictures::notEnoughSpace()
{
    // The folder chosen last time is on a disk with 64 KB free; the user
    // checks every tile of the sample phone and presses Start, which stays
    // on the page and says why.
    QFETCH(QByteArray, lang);
    ScratchMount disk(64 * 1024);
    if (!disk.IsMounted())
        QSKIP(qPrintable(disk.SkipReason()));
    CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupPath"), disk.Path());
    BackUpMainWindow *pWindow = OpenWizard(lang);
    QVERIFY2(WaitForCounts(pWindow), "the phone was not counted");
    PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
    QCOMPARE(pPrepare->GetBackUpPath(), disk.Path());
    CheckEverything(pPrepare);
    quint64 nSelectedKB = 0;
    const QHash<int, structBackupID> hashCounts = BackUpUIThread::Instance()->GetModuleCounts();
    for (CheckBigButton *pTile : pPrepare->GetBigButtons()) {
        if (pTile->IsChecked())
            nSelectedKB += static_cast<quint32>(hashCounts.value(pTile->GetItem().nId).nValue2);
    }
    pPrepare->GetNextButton()->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pPrepare->GetNextButton()->hasFocus());
    QTest::keyClick(pPrepare->GetNextButton(), Qt::Key_Space);
    QVERIFY(pPrepare->GetSpaceStatusLabel()->isVisible());
    QVERIFY(pPrepare->isVisible() && !pWindow->GetDoingPage()->isVisible());
    // The figures on the page agree: less free than what is selected.
    QVERIFY(pPrepare->GetNoUseSpace() > 0);
    QVERIFY2(quint64(pPrepare->GetNoUseSpace()) < nSelectedKB * 1024,
             qPrintable(QStringLiteral("%1 bytes free, %2 KB selected").arg(pPrepare->GetNoUseSpace()).arg(nSelectedKB)));
    QVERIFY(pPrepare->GetCapacityLabel()->text().contains(disk.Path()));
    QVERIFY_SAVED(SavePage(pWindow, QStringLiteral("prepare-nospace"), lang));
}

void tst_WidgetPictures::progressThenUnplugged_data()
{
    AddLanguages();
}

void tst_WidgetPictures::progressThenUnplugged()
{
    // A phone whose video comes slowly: the progress page while it is being
    // copied, the question Cancel asks meanwhile, then the result page once
    // the phone has been pulled out.
    QFETCH(QByteArray, lang);
    TestPhone phone(m_pEnv->Path(QStringLiteral("slow-") + QString::fromLatin1(lang)));
    FillSmallPhone(phone);
    // At 512 KB/s the video (sparse: no room taken) takes minutes to copy:
    // the run is still at it when the picture is taken, whatever the machine.
    const QString strVideo = QStringLiteral("/sdcard/Movies/holiday.mp4");
    QFile video(phone.AddFile(strVideo, QByteArray()));
    QVERIFY(video.resize(128 * 1024 * 1024));
    phone.AddFile(QStringLiteral("/sdcard/Music/song.mp3"), 8 * 1024);
    phone.SetRateLimitKBps(512);
    QVERIFY(phone.Use());
    BackUpMainWindow *pWindow = OpenWizard(lang);
    QVERIFY2(WaitForCounts(pWindow), "the phone was not counted");
    PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
    CheckEverything(pPrepare);
    pPrepare->GetNextButton()->click();
    DoingWizardWidget *pDoing = pWindow->GetDoingPage();
    QVERIFY(pDoing->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(CopyBegun(strVideo), kRunTimeout);
    // The bar has moved at its full pace up to three quarters of the way
    // to where the run stands; from there on it only creeps.
    QTRY_VERIFY_WITH_TIMEOUT(pDoing->GetShownValue() >= 0.75f * pDoing->GetTargetValue(), kRunTimeout);
    // The run has gone on long enough to say how long it will take.
    QTRY_VERIFY_WITH_TIMEOUT(pDoing->GetTimeLeftLabel()->isVisible(), kRunTimeout);
    QVERIFY_SAVED(SavePage(pWindow, QStringLiteral("progress"), lang));
    QVERIFY2(!pDoing->IsBackupFinished() && pDoing->isVisible(), "the run ended before its picture");
    // Cancel asks first, with buttons named after what they do and the safe
    // one focused; that one keeps the run going.
    pDoing->GetCancelButton()->click();
    CustomPopupDialog *pDialog = pDoing->GetCancelDialog();
    QVERIFY(pDialog);
    QVERIFY(QTest::qWaitForWindowActive(pDialog));
    QTRY_VERIFY(pDialog->GetCancelButton()->hasFocus());
    const QString strMisfit = FirstMisfit(pDialog, 0);
    QVERIFY2(strMisfit.isEmpty(), qPrintable(strMisfit));
    QVERIFY(!Save(pDialog, QStringLiteral("stop_question_") + QString::fromLatin1(lang)).isEmpty());
    pDialog->GetCancelButton()->click();
    QVERIFY(!pDoing->GetCancelDialog() && !pDoing->IsBackupFinished());

    DVSK_Sim_Detach();
    CompleteWizardWidget *pComplete = pWindow->GetCompletePage();
    QTRY_VERIFY_WITH_TIMEOUT(pComplete->isVisible(), kRunTimeout);
    // The files copied before the video stay for the next run to finish.
    QCOMPARE(pComplete->GetOutcome(), CompleteWizardWidget::Outcome::Interrupted);
    QVERIFY(pComplete->GetTryAgainButton()->isVisible() && !pComplete->GetOpenFolderButton()->isVisible());
    QVERIFY_SAVED(SavePage(pWindow, QStringLiteral("complete-disconnected"), lang));
}

void tst_WidgetPictures::partlyFailed_data()
{
    AddLanguages();
}

void tst_WidgetPictures::partlyFailed()
{
    // A phone that cannot give one photo and one video: the result page of
    // the incomplete run, with the files it could not copy behind "Show
    // details", opened.
    QFETCH(QByteArray, lang);
    TestPhone phone(m_pEnv->Path(QStringLiteral("gaps-") + QString::fromLatin1(lang)));
    FillSmallPhone(phone);
    phone.AddFile(QStringLiteral("/sdcard/Movies/holiday.mp4"), 16 * 1024);
    phone.AddFile(QStringLiteral("/sdcard/Movies/birthday.mp4"), 16 * 1024);
    phone.SetMissingFile(QStringLiteral("/sdcard/DCIM/Camera/IMG_0003.jpg"));
    phone.SetGetFileError(QStringLiteral("/sdcard/Movies/birthday.mp4"), DVSK_SIM_ERR_PHONE_IO);
    QVERIFY(phone.Use());
    BackUpMainWindow *pWindow = OpenWizard(lang);
    QVERIFY2(WaitForCounts(pWindow), "the phone was not counted");
    CompleteWizardWidget *pComplete = RunEverything(pWindow);
    QVERIFY2(pComplete, "the run did not end");
    QCOMPARE(pComplete->GetOutcome(), CompleteWizardWidget::Outcome::PartlyFailed);
    QCOMPARE(pComplete->GetBackupFolder(), m_pEnv->DocumentsDir() + QStringLiteral("/Pelorix/backup"));
    ResultDetailsList *pDetails = pComplete->GetDetails();
    QVERIFY(pDetails->isVisible() && !pDetails->IsExpanded());
    pDetails->GetButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(pDetails->GetButton(), Qt::Key_Space);
    QVERIFY(pDetails->IsExpanded() && pDetails->GetList()->isVisible());
    const QStringList listLines = pDetails->Lines();
    QVERIFY2(listLines.contains(QStringLiteral("/sdcard/DCIM/Camera/IMG_0003.jpg"))
                 && listLines.contains(QStringLiteral("/sdcard/Movies/birthday.mp4")),
             qPrintable(listLines.join(QLatin1Char('\n'))));
    QVERIFY_SAVED(SavePage(pWindow, QStringLiteral("complete-failed"), lang));
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
    // Every text fits its place.
    const QString strMisfit = FirstMisfit(pPage, 8);
    QVERIFY2(strMisfit.isEmpty(), qPrintable(strMisfit));
    const QString strName = QStringLiteral("page_connect-%1_%2").arg(state, QString::fromLatin1(lang));
    const QString strFile = Save(&frame, strName);
    QVERIFY2(!strFile.isEmpty(), qPrintable(strName));
    QCOMPARE(QImage(strFile).size(), frame.size() * frame.devicePixelRatio());
}

QTEST_MAIN(tst_WidgetPictures)
#include "tst_widgetpictures.moc"
