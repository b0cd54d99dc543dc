// The default skin as the build stages it: the style sheet parses, every
// picture it or the code refers to exists with the size the widgets have and
// a twin at twice the resolution, tile titles fit in every language, every
// text reads at 4.5 : 1, and the wizard's pages render under it.
// Page pictures in English, Russian and Arabic are saved into the
// test-output folder so anyone can look at the skin as a whole.
#include "BackUpUIBBMgr.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "ConnectWizardWidget.h"
#include "PhoneList.h"
#include "DoingWizardWidget.h"
#include "PrepareWizardWidget.h"
#include "WaitingBKFrame.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <cmath>
#include <memory>

namespace {

const char *const kContext = "BackUpUIPlugin";
const QColor kAccent(18, 134, 235);

QString StageDir()
{
    const QString strRoot = qEnvironmentVariable("PELORIX_HOST_ROOT");
    return strRoot.isEmpty() ? QStringLiteral(BACKUP_STAGE_DIR) : strRoot;
}

QString ImagesDir()
{
    return StageDir() + QStringLiteral("/skin/default/images/");
}

bool Near(const QColor &a, const QColor &b, int nTolerance)
{
    return qAbs(a.red() - b.red()) <= nTolerance && qAbs(a.green() - b.green()) <= nTolerance
           && qAbs(a.blue() - b.blue()) <= nTolerance;
}

// WCAG 2 contrast ratio of two opaque colours.
double ContrastRatio(const QColor &a, const QColor &b)
{
    auto luminance = [](const QColor &color) {
        auto channel = [](double d) { return d <= 0.04045 ? d / 12.92 : std::pow((d + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
    };
    const double dA = luminance(a);
    const double dB = luminance(b);
    return (qMax(dA, dB) + 0.05) / (qMin(dA, dB) + 0.05);
}

// The colour of most pixels in the rectangle: behind a line of text, the
// background.
QColor MostCommonColor(const QImage &image, const QRect &rect)
{
    QHash<QRgb, int> hashCounts;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++hashCounts[image.pixel(x, y)];
    QRgb rgbBest = 0;
    int nBest = -1;
    for (auto it = hashCounts.cbegin(); it != hashCounts.cend(); ++it) {
        if (it.value() > nBest) {
            nBest = it.value();
            rgbBest = it.key();
        }
    }
    return QColor(rgbBest);
}

structBackupID Counted(int nCount, int nKiloBytes)
{
    structBackupID record;
    record.nProNum = nCount;
    record.nValue2 = nKiloBytes;
    return record;
}

} // namespace

class tst_skin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void styleSheetParses();
    void everyReferencedPictureExists();
    void pictureSizes_data();
    void pictureSizes();
    void tileTitlesFit_data();
    void tileTitlesFit();
    void pagePreviews_data();
    void pagePreviews();
    void textContrast_data();
    void textContrast();
    void highDensityPictures();
    void checkMarkReadsTheSameWay_data();
    void checkMarkReadsTheSameWay();

private:
    void BuildPage(const QString &strPage, QWidget *pFrame);
    QString Tr(const char *szKey) const;
    bool LoadLanguage(const QString &strLang);

    QString m_strSheet;
    QString m_strOldDir;
    std::unique_ptr<QTranslator> m_pTranslator;
};

void tst_skin::initTestCase()
{
    QFile qss(StageDir() + QStringLiteral("/skin/default/backup.qss"));
    QVERIFY2(qss.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(qss.fileName()));
    m_strSheet = QString::fromUtf8(qss.readAll());
    QVERIFY(!m_strSheet.isEmpty());
    // Pictures are referenced relative to the host's folder, the current
    // folder while the host runs.
    m_strOldDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(StageDir()));
}

void tst_skin::cleanup()
{
    qunsetenv("PELORIX_HOST_LANG");
    BackUpUIBBMgr::DestroyInstance();
}

void tst_skin::cleanupTestCase()
{
    qApp->setStyleSheet(QString());
    QDir::setCurrent(m_strOldDir);
}

QString tst_skin::Tr(const char *szKey) const
{
    const QString strText = m_pTranslator ? m_pTranslator->translate(kContext, szKey) : QString();
    return strText.isEmpty() ? QString::fromLatin1(szKey) : strText;
}

bool tst_skin::LoadLanguage(const QString &strLang)
{
    m_pTranslator = std::make_unique<QTranslator>();
    return m_pTranslator->load(StageDir() + QStringLiteral("/translations/backup_%1.qm").arg(strLang));
}

void tst_skin::styleSheetParses()
{
    // Qt reports a sheet it cannot parse with a warning and ignores it whole.
    static QStringList s_listWarnings;
    s_listWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &msg) {
        s_listWarnings.append(msg);
    });
    qApp->setStyleSheet(m_strSheet);
    QLabel probe;
    probe.setObjectName(QStringLiteral("BackUpUIPlugin_Complete_Status"));
    probe.ensurePolished();
    qInstallMessageHandler(previous);
    for (const QString &strWarning : s_listWarnings)
        QVERIFY2(!strWarning.contains(QLatin1String("parse"), Qt::CaseInsensitive), qPrintable(strWarning));
    // A rule of the sheet took effect.
    QCOMPARE(probe.font().pixelSize(), 22);
}

void tst_skin::everyReferencedPictureExists()
{
    const QRegularExpression reUrl(QStringLiteral("url\\(([^)]+)\\)"));
    int nUrls = 0;
    for (auto it = reUrl.globalMatch(m_strSheet); it.hasNext();) {
        const QString strUrl = it.next().captured(1).trimmed();
        QVERIFY2(strUrl.startsWith(QLatin1String("./skin/default/images/")), qPrintable(strUrl));
        QImage image(strUrl);
        QVERIFY2(!image.isNull(), qPrintable(strUrl + QStringLiteral(" is missing or unreadable")));
        ++nUrls;
    }
    QVERIFY(nUrls > 50);
}

void tst_skin::pictureSizes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("spinner first") << QStringLiteral("AppManagerUIPlugin_UnstallWait_1.png") << QSize(52, 52);
    QTest::newRow("spinner last") << QStringLiteral("AppManagerUIPlugin_UnstallWait_13.png") << QSize(52, 52);
    QTest::newRow("movie first") << QStringLiteral("Update_Backup/UpdateUIPlugin_Label_BackUpMovie1.png") << QSize(420, 420);
    QTest::newRow("movie last") << QStringLiteral("Update_Backup/UpdateUIPlugin_Label_BackUpMovie24.png") << QSize(420, 420);
    QTest::newRow("stripe") << QStringLiteral("OneKeyRepair_progressbar/OneKeyRepair_progressbar_stripe2.png")
                            << QSize(744, 14);
    QTest::newRow("tile") << QStringLiteral("BackUpUIPlugin/BigButton_Check_Hover.png") << QSize(124, 135);
    QTest::newRow("wide tile") << QStringLiteral("BackUpUIPlugin/BigButton_Other_Disable.png") << QSize(248, 135);
    QTest::newRow("result picture") << QStringLiteral("BackUpUIPlugin/Complete_Picture.png") << QSize(420, 420);
    QTest::newRow("failed result picture") << QStringLiteral("BackUpUIPlugin/Complete_FailedPicture.png")
                                           << QSize(420, 420);
    QTest::newRow("page") << QStringLiteral("BackUpUIPlugin/Page_Base.png") << QSize(896, 608);
}

void tst_skin::pictureSizes()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(ImagesDir() + path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
}

void tst_skin::tileTitlesFit_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("en") << QStringLiteral("en");
    QTest::newRow("ru") << QStringLiteral("ru");
    QTest::newRow("ar") << QStringLiteral("ar");
}

void tst_skin::tileTitlesFit()
{
    // A tile title is one 100 px line in the skin's title font; every text
    // that can become a tile title must fit it.
    QFETCH(QString, lang);
    QVERIFY(LoadLanguage(lang));
    qApp->setStyleSheet(m_strSheet);
    QLabel title;
    title.setObjectName(QStringLiteral("BackUpUIPlugin_BigButton_Contacts_Title"));
    title.ensurePolished();
    QCOMPARE(title.font().pixelSize(), 12);
    const QFontMetrics metrics(title.font());
    for (const char *szKey :
         {"IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT",
          "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPDATA_TEXT",
          "IDS_BACKUPUIPLUGIN_BIGBUTTON_IMAGEVEDIO_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT",
          "IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT", "IDS_VIRTUAL_SMSNAME_IDENTIFER", "IDS_VIRTUAL_CORE_MMSTEXT",
          "IDS_VIRTUAL_IMAGEINFO_CORE", "IDS_VIRTUAL_IDENTIFER_VEDIOTEXT"}) {
        const QString strText = Tr(szKey);
        QVERIFY2(strText != QLatin1String(szKey), szKey);
        QVERIFY2(metrics.horizontalAdvance(strText) <= 100, qPrintable(lang + QLatin1Char(' ') + strText));
    }

    // The disk-space warning is one line: under it the button strip begins.
    QLabel warning;
    warning.setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_DiskSpaceStatusLabel"));
    warning.setWordWrap(true);
    warning.setText(Tr("IDS_BACKUPUIPLUGIN_DISKSPACESTATUS_TEXT"));
    warning.ensurePolished();
    QVERIFY2(warning.heightForWidth(530) < 2 * QFontMetrics(warning.font()).lineSpacing(), qPrintable(warning.text()));

    // The wide tile's default sub-item list (all four sub-items) fits the
    // 224 x 45 name label, in the half the skin gives it.
    QLabel names;
    names.setObjectName(QStringLiteral("BackUpUIPlugin_BigButton_Other_OtherContent"));
    names.setFixedSize(224, 45);
    names.setWordWrap(true);
    if (lang == QLatin1String("ar"))
        names.setLayoutDirection(Qt::RightToLeft);
    const QString strSep = Tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + QLatin1Char(' ');
    names.setText(QLatin1Char('(') + Tr("IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT") + strSep
                  + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT") + strSep + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT")
                  + strSep + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_BOOKMARK_TEXT") + QLatin1Char(')'));
    names.ensurePolished();
    QVERIFY2(names.contentsRect().width() < 224, "the list keeps to its half");
    QVERIFY2(names.heightForWidth(224) <= 45, qPrintable(names.text()));
}

void tst_skin::pagePreviews_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("page");
    for (const char *szLang : {"en", "ru", "ar"})
        for (const char *szPage : {"prepare", "doing", "doing-cancel", "complete", "complete-failed"})
            QTest::addRow("%s %s", szLang, szPage) << QString::fromLatin1(szLang) << QString::fromLatin1(szPage);
}

void tst_skin::BuildPage(const QString &strPage, QWidget *pFrame)
{
    if (strPage.startsWith(QLatin1String("prepare"))) {
        auto *pPage = new PrepareWizardWidget(pFrame);
        pPage->InitPage();
        const QList<QPair<int, structBackupID>> counts = {
            {0, Counted(1284, 642)},       {1, Counted(3517, 12288)}, {29, Counted(86, 2485125)},
            {3, Counted(41, 655360)},      {4, Counted(24518, 19524485)}, {5, Counted(0, 0)},
            {6, Counted(932, 0)}};
        for (const auto &count : counts)
            if (CheckBigButton *pTile = pPage->GetBigButtons().value(count.first))
                pTile->SetBtnData(count.second);
        // Both looks a user can pick, beside the disabled music tile.
        if (CheckBigButton *pTile = pPage->GetBigButtons().value(0))
            pTile->SetChecked(true);
        if (CheckBigButton *pTile = pPage->GetBigButtons().value(1))
            pTile->SetChecked(false);
        pPage->slotsPathChanged(QDir::homePath());
        // For the contrast of the warning only: the gallery shows the page
        // after a real Start that found too little room.
        pPage->GetSpaceStatusLabel()->setVisible(strPage == QLatin1String("prepare-nospace"));
    } else if (strPage.startsWith(QLatin1String("doing"))) {
        auto *pPage = new DoingWizardWidget(pFrame);
        pPage->InitPage();
        pPage->setProgressBarRange(0, 1000);
        pPage->slotProgressTargetValue(400.0f);
        for (int i = 0; i < 200; ++i)
            pPage->stepOne();
        pPage->GetStepTimer()->stop();
        pPage->GetTipLabel()->setText(Tr("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO")
                                          .replace(QLatin1String("%s1"), Tr("IDS_VIRTUAL_IMAGEINFO_CORE"))
                                          .replace(QLatin1String("%s2"), QLatin1String("1024"))
                                          .replace(QLatin1String("%s3"), QLatin1String("2380")));
        pPage->GetCancelCover()->setVisible(strPage == QLatin1String("doing-cancel"));
    } else if (strPage.startsWith(QLatin1String("connect"))) {
        // A phone waiting for Allow and one without USB permission, or three
        // phones to choose from; the Wi-Fi field's answer shown as well.
        auto *pPage = new ConnectWizardWidget(pFrame);
        pPage->InitPage();
        const QString strList = strPage == QLatin1String("connect-picker")
                                    ? QStringLiteral("A1\tready\tusb\tCorvo X5\t\nB2\tready\twifi\tPixel 7\t\nC3\toffline\tusb\t\t\n")
                                    : QStringLiteral("A1\tunauthorized\tusb\t\t\nB2\tno-permissions\tusb\t\t\n");
        pPage->ShowListOnly(PhoneList::Parse(strList));
        pPage->GetWifiResultLabel()->setText(Tr("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BADADDRESS_TEXT"));
        pPage->show();
    } else {
        auto *pPage = new CompleteWizardWidget(pFrame);
        pPage->InitPage();
        if (strPage == QLatin1String("complete-retry")) {
            pPage->SetOutcome(CompleteWizardWidget::Outcome::Failed);
            pPage->SetResultValue(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL"));
            pPage->SetRetryOffered(true);
        }
        if (strPage == QLatin1String("complete-failed")) {
            pPage->SetResultCaption(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL"));
            pPage->SetResultValue(Tr("IDS_VIRTUAL_SMSNAME_IDENTIFER") + QLatin1Char(',')
                                  + Tr("IDS_VIRTUAL_IDENTIFER_VEDIOTEXT"));
            pPage->SetContactsTip(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT").replace(QLatin1String("%s"), QLatin1String("1270")));
            pPage->SetApkTip(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT").replace(QLatin1String("%s"), QLatin1String("79")));
            pPage->SetOutcome(CompleteWizardWidget::Outcome::PartlyFailed);
            pPage->SetNotCopied({{Tr("IDS_VIRTUAL_IMAGEINFO_CORE"), {QStringLiteral("/sdcard/DCIM/p1.jpg")}}});
        }
        pPage->SetRunSummary(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_TOTALSIZE_TEXT").replace(QLatin1String("%s"), QLatin1String("1.8 MB")));
        pPage->ShowPage();
    }
}

void tst_skin::pagePreviews()
{
    // The wizard's own pages, filled as a run fills them, under the skin.
    QFETCH(QString, lang);
    QFETCH(QString, page);
    QVERIFY(LoadLanguage(lang));
    qputenv("PELORIX_HOST_LANG", lang.toLatin1());
    qApp->setStyleSheet(m_strSheet);
    const bool bRightToLeft = lang == QLatin1String("ar");
    QWidget frame;
    frame.setObjectName(QStringLiteral("BackUpUIPlugin_MainWidget"));
    frame.setFixedSize(896, 640);
    BuildPage(page, &frame);
    frame.show();
    // Filled by hand, the pages are checked here but not kept as pictures:
    // the gallery has the pages from real runs.
    const QImage image = frame.grab().toImage();
    QCOMPARE(image.size(), QSize(896, 640));
    if (page.endsWith(QLatin1String("-cancel")))
        return;   // dimmed by the overlay
    // The header's icon is drawn where the header is, in either direction.
    const QPoint ptLogo = bRightToLeft ? QPoint(593 + 185 + 16, 41 + 40) : QPoint(27 + 19 + 16, 41 + 40);
    QVERIFY2(Near(image.pixelColor(ptLogo), kAccent, 70), "header logo missing");
    if (page.startsWith(QLatin1String("complete"))) {
        // A failed run has its own headline.
        const auto *pPage = frame.findChild<CompleteWizardWidget *>();
        QVERIFY(pPage);
        QCOMPARE(pPage->GetStatusText(), Tr(CompleteWizardWidget::HeadlineKey(pPage->GetOutcome())));
        QCOMPARE(pPage->GetOutcome() != CompleteWizardWidget::Outcome::Complete, page == QLatin1String("complete-failed"));
        // The picture's badge: blue for a complete run, red for a failed one.
        const QColor badge = image.pixelColor(bRightToLeft ? QPoint(429 + 264, 45 + 272) : QPoint(47 + 264, 45 + 272));
        const bool bRed = badge.red() > badge.blue() + 60;
        QVERIFY2(bRed == (page == QLatin1String("complete-failed")), qPrintable(badge.name()));
    }
}

void tst_skin::textContrast_data()
{
    QTest::addColumn<QString>("page");
    for (const char *szPage : {"prepare", "prepare-nospace", "doing", "doing-stop", "complete", "complete-failed",
                               "complete-retry", "connect", "connect-picker"})
        QTest::newRow(szPage) << QString::fromLatin1(szPage);
}

void tst_skin::textContrast()
{
    // Every text the pages show, in every look of the tiles and buttons at
    // rest, reaches 4.5 : 1 against what the skin draws behind it (WCAG AA).
    // The text colour is the one the skin or the widget gives the label; the
    // background is the colour that covers most of the label's box in the
    // rendered page.
    QFETCH(QString, page);
    QVERIFY(LoadLanguage(QStringLiteral("en")));
    qputenv("PELORIX_HOST_LANG", "en");
    qApp->setStyleSheet(m_strSheet);
    QWidget frame;
    frame.setObjectName(QStringLiteral("BackUpUIPlugin_MainWidget"));
    frame.setFixedSize(896, 640);
    BuildPage(page, &frame);
    frame.show();
    QWidget *pWindow = &frame;
    if (page == QLatin1String("doing-stop")) {
        DoingWizardWidget *pDoing = frame.findChild<DoingWizardWidget *>();
        pDoing->DoCancel();
        pWindow = pDoing->GetCancelDialog();
        QVERIFY(pWindow);
    }
    QCoreApplication::processEvents();
    const QImage image = pWindow->grab().toImage().convertToFormat(QImage::Format_RGB32);

    int nTexts = 0;
    for (QWidget *pWidget : pWindow->findChildren<QWidget *>()) {
        QString strText;
        if (QLabel *pLabel = qobject_cast<QLabel *>(pWidget))
            strText = pLabel->text();
        else if (QAbstractButton *pButton = qobject_cast<QAbstractButton *>(pWidget))
            strText = pButton->text();
        if (strText.isEmpty() || !pWidget->isVisibleTo(pWindow))
            continue;
        QList<QColor> listText;
        QLabel *pLabel = qobject_cast<QLabel *>(pWidget);
        if (pLabel && pLabel->textFormat() == Qt::RichText) {
            // Rich text carries its own colours.
            const QRegularExpression reColor(QStringLiteral("color=(#[0-9a-fA-F]{6})"));
            for (auto it = reColor.globalMatch(strText); it.hasNext();)
                listText << QColor(it.next().captured(1));
        } else {
            pWidget->ensurePolished();
            const QPalette::ColorGroup group = pWidget->isEnabled() ? QPalette::Active : QPalette::Disabled;
            listText << pWidget->palette().color(group, pWidget->foregroundRole());
        }
        const QRect rect(pWidget->mapTo(pWindow, QPoint(0, 0)), pWidget->size());
        const QColor background = MostCommonColor(image, rect.intersected(image.rect()));
        for (const QColor &text : listText) {
            const double dRatio = ContrastRatio(text, background);
            QVERIFY2(dRatio >= 4.5, qPrintable(QStringLiteral("%1 \"%2\": %3 on %4 is %5 : 1")
                                                    .arg(pWidget->objectName(), strText.left(40), text.name(),
                                                         background.name())
                                                    .arg(dRatio, 0, 'f', 2)));
        }
        ++nTexts;
    }
    QVERIFY(nTexts >= 3);
}

void tst_skin::highDensityPictures()
{
    // Every picture has a twin drawn at twice the resolution, "name@2x.png",
    // which Qt takes on a screen with a device pixel ratio of 2.
    int nPictures = 0;
    for (QDirIterator it(ImagesDir(), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString strFile = it.next();
        if (strFile.endsWith(QLatin1String("@2x.png")))
            continue;
        const QImage small(strFile);
        const QString strDouble = strFile.left(strFile.size() - 4) + QStringLiteral("@2x.png");
        const QImage big(strDouble);
        QVERIFY2(!big.isNull(), qPrintable(strDouble));
        QCOMPARE(big.size(), small.size() * 2);
        ++nPictures;
    }
    QVERIFY(nPictures > 80);
    // Drawn anew, not blown up: a curved edge has intermediate steps that an
    // enlarged copy of the small picture cannot have.
    for (const char *szName : {"BackUpUIPlugin/BigButton_Check.png", "BackUpUIPlugin/Complete_Picture.png",
                               "BackUpUIPlugin/BigButton_Icon_Contacts.png"}) {
        const QImage small(ImagesDir() + QLatin1String(szName));
        const QImage big(ImagesDir() + QString::fromLatin1(szName).replace(QLatin1String(".png"), QLatin1String("@2x.png")));
        const QImage blownUp = small.scaled(big.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                   .convertToFormat(big.format());
        QVERIFY2(big != blownUp, szName);
    }
}

void tst_skin::checkMarkReadsTheSameWay_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("flagLeft");
    for (const char *szTile : {"BigButton_", "BigButton_Other_"}) {
        for (const char *szLook : {"Check", "Check_Hover"}) {
            for (const char *szScale : {"", "@2x"}) {
                const QString strBase = QLatin1String(szTile) + QLatin1String(szLook);
                QTest::addRow("%s%s%s", szTile, szLook, szScale)
                    << QStringLiteral("BackUpUIPlugin/%1%2.png").arg(strBase, QLatin1String(szScale)) << false;
                QTest::addRow("%s%s_Mirrored%s", szTile, szLook, szScale)
                    << QStringLiteral("BackUpUIPlugin/%1_Mirrored%2.png").arg(strBase, QLatin1String(szScale)) << true;
            }
        }
    }
}

// The corner flag of a checked tile changes sides right to left, but its
// check mark still rises to the right from its elbow: the top of the mark
// lies right of its bottom.
void tst_skin::checkMarkReadsTheSameWay()
{
    QFETCH(QString, path);
    QFETCH(bool, flagLeft);
    const QImage image = QImage(ImagesDir() + path).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qPrintable(path));
    const qreal dScale = image.height() / 135.0;
    auto isAccent = [&image](int x, int y) {
        return qAlpha(image.pixel(x, y)) == 255 && Near(image.pixelColor(x, y), kAccent, 12);
    };
    // The card's edge is drawn in the accent colour all round; the flag is
    // the corner full of it.
    int nLeft = 0, nRight = 0, nMinX = image.width(), nMaxX = 0, nMaxY = 0;
    const int nBox = int(30 * dScale);
    for (int y = image.height() - nBox; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isAccent(x, y))
                continue;
            nLeft += x < nBox;
            nRight += x >= image.width() - nBox;
            nMinX = qMin(nMinX, x);
            nMaxX = qMax(nMaxX, x);
            nMaxY = qMax(nMaxY, y);
        }
    }
    QCOMPARE(nLeft > 2 * nRight, flagLeft);
    QCOMPARE(nRight > 2 * nLeft, !flagLeft);
    // The mark: the white pixels inside the flag's triangle.
    QList<QPoint> listMark;
    const qreal dLegs = 20 * dScale;
    for (int y = image.height() - nBox; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int nInward = flagLeft ? x - nMinX : nMaxX - x;
            const QRgb rgb = image.pixel(x, y);
            if (nInward + (nMaxY - y) < dLegs && qAlpha(rgb) == 255 && qRed(rgb) > 225 && qGreen(rgb) > 225
                && qBlue(rgb) > 225)
                listMark << QPoint(x, y);
        }
    }
    QVERIFY2(listMark.size() > 4, qPrintable(path));
    int nTop = image.height();
    int nBottom = 0;
    for (const QPoint &pt : std::as_const(listMark)) {
        nTop = qMin(nTop, pt.y());
        nBottom = qMax(nBottom, pt.y());
    }
    const int nThird = qMax(1, (nBottom - nTop + 1) / 3);
    double dTopX = 0, dBottomX = 0;
    int nTopCount = 0, nBottomCount = 0;
    for (const QPoint &pt : std::as_const(listMark)) {
        if (pt.y() < nTop + nThird) {
            dTopX += pt.x();
            ++nTopCount;
        } else if (pt.y() > nBottom - nThird) {
            dBottomX += pt.x();
            ++nBottomCount;
        }
    }
    QVERIFY(nTopCount > 0 && nBottomCount > 0);
    QVERIFY2(dTopX / nTopCount > dBottomX / nBottomCount, qPrintable(path));
}

QTEST_MAIN(tst_skin)
#include "tst_skin.moc"
