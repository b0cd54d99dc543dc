// The default skin as the build stages it: the style sheet parses, styles
// every object name the pages and widgets use, every picture it or the code
// refers to exists with the size the widgets have, and applied to widgets
// of the wizard's own pages it gives the looks it promises. Page pictures in
// English, Russian and Arabic are saved into the test-output folder so anyone
// can look at the skin as a whole.
#include "BackUpUIBBMgr.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "DoingWizardWidget.h"
#include "PrepareWizardWidget.h"
#include "TestEnv.h"
#include "WaitingBKFrame.h"

#include "host/CustomPopupDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <memory>

namespace {

const char *const kContext = "BackUpUIPlugin";

// Every object name the pages and widgets give their children.
const char *const kObjectNames[] = {
    "BackUIPlugin_Doing_Progressbar", "BackUIPlugin_Doing_Progressbartop", "BackUpUIPlugin_BKWaiting_FrameImage",
    "BackUpUIPlugin_BKWaiting_LabelText", "BackUpUIPlugin_BigButton_CheckFrame",
    "BackUpUIPlugin_BigButton_CommonFrame", "BackUpUIPlugin_BigButton_DisableFrame",
    "BackUpUIPlugin_BigButton_Other_CheckFrame", "BackUpUIPlugin_BigButton_Other_CommonFrame",
    "BackUpUIPlugin_BigButton_Other_DisableFrame", "BackUpUIPlugin_Complete_APKIcon",
    "BackUpUIPlugin_Complete_APKLabel", "BackUpUIPlugin_Complete_ContactsIcon",
    "BackUpUIPlugin_Complete_ContactsLabel", "BackUpUIPlugin_Complete_Result", "BackUpUIPlugin_Complete_Status",
    "BackUpUIPlugin_Completeing_BgImage", "BackUpUIPlugin_CustomLabelButton_ArrowLabel",
    "BackUpUIPlugin_CustomLabelButton_Button", "BackUpUIPlugin_CustomLabelButton_ButtonLabel",
    "BackUpUIPlugin_CustomLabelButton_TextLabel", "BackUpUIPlugin_Doing_BgCancelCover",
    "BackUpUIPlugin_Doing_BgImage", "BackUpUIPlugin_Doing_Bgthree", "BackUpUIPlugin_Doing_TipText",
    "BackUpUIPlugin_MainWidget", "BackUpUIPlugin_Prepare_BgStatusBar", "BackUpUIPlugin_Prepare_BgStatusLine",
    "BackUpUIPlugin_Prepare_BgWaiting", "BackUpUIPlugin_Prepare_Bgone", "BackUpUIPlugin_Prepare_Bgthree",
    "BackUpUIPlugin_Prepare_Bgtwo", "BackUpUIPlugin_Prepare_BrowseButton", "BackUpUIPlugin_Prepare_DescriptionLabel",
    "BackUpUIPlugin_Prepare_DiskSpaceStatusLabel", "BackUpUIPlugin_Prepare_DstDiscCapacityLabel",
    "BackUpUIPlugin_Prepare_DstLabel", "BackUpUIPlugin_Prepare_DstPathLabel",
    "BackUpUIPlugin_Prepare_LabelWaitingBK", "CommonUI_Function_Btn", "HomeUIPlugin_ButtonClose",
    "HomeUIPlugin_ButtonMinimize", "HomeUIPlugin_ButtonSetting", "RestoreUIPlugin_Doing_ProgressValueImage",
    "UpdateUIPlugin_Doing_ProgressValue", "CustomPopupDialog", "CustomPopupDialog_LabelText",
    "StandardTitleBar_ButtonClose", "StandardTitleBar_ButtonMinimize", "StandardTitleBar_ButtonSetting",
};

const char *const kTileWords[] = {"Contacts", "Information", "AppData", "ImageVedio", "MusicItem",
                                  "Other",    "Email",       "Schedule", "Bookmark",  "Application"};
const char *const kTileSuffixes[] = {"Frame", "_Title", "_Num", "_Value", "_Time", "_OtherContent"};

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

PluginInfo Item(quint32 nId, bool bEnable)
{
    PluginInfo info;
    info.nId = nId;
    info.strName = QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT");
    info.bEnable = bEnable;
    return info;
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
    void everyObjectNameIsStyled();
    void everyReferencedPictureExists();
    void pictureSizes_data();
    void pictureSizes();
    void animationsMove();
    void largePicturesKeepClearOfOverlaps();
    void tileLooksRender();
    void tileTitlesFit_data();
    void tileTitlesFit();
    void pagePreviews_data();
    void pagePreviews();
    void dialogPreview_data();
    void dialogPreview();

private:
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

void tst_skin::everyObjectNameIsStyled()
{
    QSet<QString> setSelectors;
    const QRegularExpression reId(QStringLiteral("#([A-Za-z0-9_]+)"));
    for (auto it = reId.globalMatch(m_strSheet); it.hasNext();)
        setSelectors.insert(it.next().captured(1));
    QStringList listNames;
    for (const char *szName : kObjectNames)
        listNames.append(QLatin1String(szName));
    for (const char *szWord : kTileWords)
        for (const char *szSuffix : kTileSuffixes)
            listNames.append(QStringLiteral("BackUpUIPlugin_BigButton_") + QLatin1String(szWord) + QLatin1String(szSuffix));
    for (const QString &strName : listNames)
        QVERIFY2(setSelectors.contains(strName), qPrintable(strName + QStringLiteral(" has no rule")));
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
    for (int i = 1; i <= 13; ++i)
        QTest::addRow("spinner %d", i) << QStringLiteral("AppManagerUIPlugin_UnstallWait_%1.png").arg(i) << QSize(52, 52);
    for (int i = 1; i <= 24; ++i)
        QTest::addRow("movie %d", i) << QStringLiteral("Update_Backup/UpdateUIPlugin_Label_BackUpMovie%1.png").arg(i)
                                     << QSize(420, 420);
    for (int i = 1; i <= 2; ++i)
        QTest::addRow("stripe %d", i)
            << QStringLiteral("OneKeyRepair_progressbar/OneKeyRepair_progressbar_stripe%1.png").arg(i) << QSize(744, 14);
    for (const char *szLook : {"Common", "Common_Hover", "Check", "Check_Hover", "Disable"}) {
        QTest::addRow("tile %s", szLook) << QStringLiteral("BackUpUIPlugin/BigButton_%1.png").arg(QLatin1String(szLook))
                                         << QSize(124, 135);
        QTest::addRow("wide tile %s", szLook)
            << QStringLiteral("BackUpUIPlugin/BigButton_Other_%1.png").arg(QLatin1String(szLook)) << QSize(248, 135);
    }
    QTest::newRow("header mark") << QStringLiteral("BackUpUIPlugin/CustomLabelButton_Arrow.png") << QSize(18, 72);
    QTest::newRow("header logo") << QStringLiteral("BackUpUIPlugin/CustomLabelButton_Logo.png") << QSize(72, 72);
    QTest::newRow("waiting card") << QStringLiteral("BackUpUIPlugin/Waiting_Card.png") << QSize(125, 125);
    QTest::newRow("result picture") << QStringLiteral("BackUpUIPlugin/Complete_Picture.png") << QSize(420, 420);
    QTest::newRow("note icon") << QStringLiteral("BackUpUIPlugin/Complete_NoteIcon.png") << QSize(11, 18);
    QTest::newRow("value bubble") << QStringLiteral("BackUpUIPlugin/Doing_ValueBubble.png") << QSize(76, 44);
    QTest::newRow("page") << QStringLiteral("BackUpUIPlugin/Page_Base.png") << QSize(896, 608);
    QTest::newRow("status bar") << QStringLiteral("BackUpUIPlugin/StatusBar.png") << QSize(896, 32);
}

void tst_skin::pictureSizes()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(ImagesDir() + path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
}

void tst_skin::animationsMove()
{
    // Consecutive frames differ, and the last frame differs from the first
    // (the loop has no frozen frame).
    auto load = [](const QString &strPattern, int n) {
        return QImage(ImagesDir() + strPattern.arg(n)).convertToFormat(QImage::Format_ARGB32);
    };
    const QString strSpinner = QStringLiteral("AppManagerUIPlugin_UnstallWait_%1.png");
    const QString strMovie = QStringLiteral("Update_Backup/UpdateUIPlugin_Label_BackUpMovie%1.png");
    for (int i = 1; i <= 13; ++i)
        QVERIFY2(load(strSpinner, i) != load(strSpinner, i % 13 + 1), qPrintable(QString::number(i)));
    for (int i = 1; i <= 24; ++i)
        QVERIFY2(load(strMovie, i) != load(strMovie, i % 24 + 1), qPrintable(QString::number(i)));
    const QString strStripe = QStringLiteral("OneKeyRepair_progressbar/OneKeyRepair_progressbar_stripe%1.png");
    QVERIFY(load(strStripe, 1) != load(strStripe, 2));
}

void tst_skin::largePicturesKeepClearOfOverlaps()
{
    // The result texts start 90 px inside the result picture's area (on its
    // right, or on its left right-to-left), and the page header overlaps the
    // progress picture's top corners: those parts must stay transparent.
    auto clear = [](const QImage &image, const QRect &rect) {
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (qAlpha(image.pixel(x, y)) > 8)
                    return false;
        return true;
    };
    const QImage result(ImagesDir() + QStringLiteral("BackUpUIPlugin/Complete_Picture.png"));
    QVERIFY(!result.isNull());
    QVERIFY(clear(result, QRect(0, 0, 95, 420)));
    QVERIFY(clear(result, QRect(325, 0, 95, 420)));
    QVERIFY(!clear(result, QRect(150, 150, 120, 120)));
    for (int i = 1; i <= 24; i += 23) {
        const QImage movie(ImagesDir() + QStringLiteral("Update_Backup/UpdateUIPlugin_Label_BackUpMovie%1.png").arg(i));
        QVERIFY(!movie.isNull());
        QVERIFY(clear(movie, QRect(0, 0, 70, 55)));
        QVERIFY(clear(movie, QRect(350, 0, 70, 55)));
        // The percentage bubble runs along the picture's bottom edge.
        QVERIFY(clear(movie, QRect(0, 398, 420, 22)));
    }
}

void tst_skin::tileLooksRender()
{
    qApp->setStyleSheet(m_strSheet);
    QWidget page;
    page.setFixedSize(420, 310);
    page.setAutoFillBackground(true);
    QPalette palette = page.palette();
    palette.setColor(QPalette::Window, Qt::white);
    page.setPalette(palette);
    // Unchecked, checked and disabled in the top row; unchecked under the
    // mouse below.
    CheckBigButton *pTiles[4];
    const QPoint pos[4] = {{10, 10}, {140, 10}, {270, 10}, {10, 160}};
    for (int i = 0; i < 4; ++i) {
        pTiles[i] = new CheckBigButton(Item(i == 2 ? 5 : 0, i == 1), &page);
        pTiles[i]->SetBtnData(Counted(i == 2 ? 0 : 12, 0));
        pTiles[i]->move(pos[i]);
    }
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    // Only one widget is under the mouse at a time: take the hovered tile's
    // picture with the mouse on its content, which lets the mouse through.
    QTest::mouseMove(pTiles[3], QPoint(60, 60));
    QTRY_VERIFY(QApplication::widgetAt(pTiles[3]->mapToGlobal(QPoint(60, 60))) != nullptr);
    const QImage hoverImage = page.grab().toImage();
    hoverImage.save(TestEnv::OutputDir() + QStringLiteral("/skin_tile_hover.png"));
    QTest::mouseMove(&page, QPoint(415, 305));
    QCoreApplication::processEvents();
    const QImage image = page.grab().toImage();
    image.save(TestEnv::OutputDir() + QStringLiteral("/skin_tile_looks.png"));

    // Inside the card near the bottom left, clear of labels and icons.
    const QPoint ptFill(20, 10 + 122);
    QVERIFY2(Near(image.pixelColor(QPoint(10, 0) + ptFill), Qt::white, 6), "unchecked tile is white");
    QVERIFY2(Near(image.pixelColor(QPoint(270, 0) + ptFill), QColor(184, 190, 199), 12),
             qPrintable(image.pixelColor(QPoint(270, 0) + ptFill).name()));
    // The checked tile's edge and corner flag are in the accent colour.
    QVERIFY2(Near(image.pixelColor(140 + 5, 10 + 60), kAccent, 40), "checked tile has an accent border");
    QVERIFY2(Near(image.pixelColor(140 + 114, 10 + 127), kAccent, 40), "checked tile has its corner flag");
    QVERIFY2(!Near(image.pixelColor(10 + 114, 10 + 127), kAccent, 60), "unchecked tile has no flag");
    // Each tile shows its kind's icon in the top corner, pale when disabled.
    auto iconColour = [&](int nLeft) {
        int nBlue = 0;
        for (int y = 10 + 12; y < 10 + 40; ++y)
            for (int x = nLeft + 84; x < nLeft + 112; ++x)
                if (Near(image.pixelColor(x, y), kAccent, 50))
                    ++nBlue;
        return nBlue;
    };
    QVERIFY(iconColour(10) > 10);
    QVERIFY(iconColour(140) > 10);
    QCOMPARE(iconColour(270), 0);
    // Under the mouse an unchecked tile's edge turns to a light accent.
    QVERIFY2(Near(hoverImage.pixelColor(10 + 4, 160 + 60), QColor(140, 192, 243), 30), "hover edge is a light accent");
    QVERIFY2(hoverImage.pixelColor(10 + 4, 160 + 60) != image.pixelColor(10 + 4, 160 + 60), "no hover look");

    // Right to left the count is right aligned: it keeps out of the icon's
    // column, in the usual and in the wide tile.
    qputenv("PELORIX_HOST_LANG", "ar");
    for (quint32 nId : {0u, 6u}) {
        CheckBigButton rtl(Item(nId, false));
        rtl.SetNum(QStringLiteral("24518"));
        const QList<QLabel *> listNum = rtl.findChildren<QLabel *>(QRegularExpression(QStringLiteral("_Num$")));
        QCOMPARE(listNum.size(), 1);
        QLabel *pNum = listNum.first();
        rtl.show();
        pNum->ensurePolished();
        // The icon's glyph starts 5 px inside its 28 px badge, 12 px from the edge.
        const int nGlyphLeft = rtl.width() - 40 + 5;
        QVERIFY2(pNum->x() + pNum->contentsRect().right() < nGlyphLeft,
                 qPrintable(QString::number(pNum->x() + pNum->contentsRect().right())));
        // ... and five digits still fit in what is left.
        QVERIFY(QFontMetrics(pNum->font()).horizontalAdvance(pNum->text()) <= pNum->contentsRect().width());
    }
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
        for (const char *szPage : {"prepare", "prepare-nospace", "prepare-waiting", "doing", "doing-cancel",
                                   "complete", "complete-failed"})
            QTest::addRow("%s %s", szLang, szPage) << QString::fromLatin1(szLang) << QString::fromLatin1(szPage);
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
    if (page.startsWith(QLatin1String("prepare"))) {
        auto *pPage = new PrepareWizardWidget(&frame);
        pPage->InitPage();
        const QList<QPair<int, structBackupID>> counts = {
            {0, Counted(1284, 642)},       {1, Counted(3517, 12288)}, {29, Counted(86, 2485125)},
            {3, Counted(41, 655360)},      {4, Counted(24518, 19524485)}, {5, Counted(0, 0)},
            {6, Counted(932, 0)}};
        for (const auto &count : counts)
            if (CheckBigButton *pTile = pPage->GetBigButtons().value(count.first))
                pTile->SetBtnData(count.second);
        pPage->slotsPathChanged(QDir::homePath());
        pPage->GetSpaceStatusLabel()->setVisible(page == QLatin1String("prepare-nospace"));
        if (page == QLatin1String("prepare-waiting"))
            pPage->GetWaitingFrame()->ShowFrame();
    } else if (page.startsWith(QLatin1String("doing"))) {
        auto *pPage = new DoingWizardWidget(&frame);
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
        pPage->GetCancelCover()->setVisible(page == QLatin1String("doing-cancel"));
    } else {
        auto *pPage = new CompleteWizardWidget(&frame);
        pPage->InitPage();
        if (page == QLatin1String("complete-failed")) {
            pPage->SetResultCaption(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL"));
            pPage->SetResultValue(Tr("IDS_VIRTUAL_SMSNAME_IDENTIFER") + QLatin1Char(',')
                                  + Tr("IDS_VIRTUAL_IDENTIFER_VEDIOTEXT"));
            pPage->SetContactsTip(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT").replace(QLatin1String("%s"), QLatin1String("1270")));
            pPage->SetApkTip(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT").replace(QLatin1String("%s"), QLatin1String("79")));
        }
        pPage->ShowPage();
    }
    frame.show();
    const QImage image = frame.grab().toImage();
    const QString strFile = TestEnv::OutputDir() + QStringLiteral("/skin_%1_%2.png").arg(page, lang);
    QVERIFY2(image.save(strFile), qPrintable(strFile));
    QCOMPARE(image.size(), QSize(896, 640));
    if (page.endsWith(QLatin1String("-waiting")) || page.endsWith(QLatin1String("-cancel")))
        return;   // dimmed by the overlay
    // The header's icon is drawn where the header is, in either direction.
    const QPoint ptLogo = bRightToLeft ? QPoint(593 + 185 + 16, 41 + 40) : QPoint(27 + 19 + 16, 41 + 40);
    QVERIFY2(Near(image.pixelColor(ptLogo), kAccent, 70), "header logo missing");
}

void tst_skin::dialogPreview_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("en") << QStringLiteral("en");
    QTest::newRow("ar") << QStringLiteral("ar");
}

void tst_skin::dialogPreview()
{
    // The host's confirmation, as the progress page opens it on cancel.
    QFETCH(QString, lang);
    QVERIFY(LoadLanguage(lang));
    qApp->setStyleSheet(m_strSheet);
    const QByteArray baOld = qgetenv("PELORIX_HOST_LANG");
    qputenv("PELORIX_HOST_LANG", lang.toLatin1());
    CustomPopupDialog dialog(nullptr, Tr("IDS_BACKUPUIPLUGIN_DOINGCANCEL_DESCRIPTION_TEXT"), 2);
    dialog.show();
    const QImage image = dialog.grab().toImage();
    qputenv("PELORIX_HOST_LANG", baOld);
    QVERIFY(image.save(TestEnv::OutputDir() + QStringLiteral("/skin_dialog_%1.png").arg(lang)));
    // Its buttons are the wizard's accent buttons.
    const QPushButton *pOk = dialog.GetOkButton();
    QVERIFY(pOk);
    QVERIFY(Near(image.pixelColor(pOk->geometry().center() + QPoint(0, 9)), kAccent, 50));
}

QTEST_MAIN(tst_skin)
#include "tst_skin.moc"
