// The default skin as the build stages it: the style sheet parses, styles
// every object name the pages and widgets use, every picture it or the code
// refers to exists with the size the widgets have, and applied to widgets
// laid out like the real pages it gives the looks it promises. Page mock-ups
// in English, Russian and Arabic are saved into the test-output folder so
// anyone can look at the skin as a whole.
#include "TestEnv.h"

#include "host/CustomPopupDialog.h"
#include "host/StandardTitleBar.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTranslator>
#include <QVBoxLayout>

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

// One tile as the prepare page builds it: a flat button with three frames,
// the content label on the visible frame and five labels in the content.
struct MockTile
{
    QPushButton *pTile = nullptr;
    QLabel *pContent = nullptr;
};

enum TileLook { Unchecked, Checked, Disabled };

MockTile MakeTile(QWidget *pParent, int nId, const QString &strWord, TileLook look, const QString &strTitle,
                  const QString &strNum, const QString &strSize, const QString &strTime, const QString &strNames,
                  bool bRightToLeft)
{
    const bool bWide = nId == 6;
    const QSize size(bWide ? 248 : 124, 135);
    MockTile tile;
    tile.pTile = new QPushButton(pParent);
    tile.pTile->setFlat(true);
    tile.pTile->setFixedSize(size);
    const QString strPrefix = bWide ? QStringLiteral("BackUpUIPlugin_BigButton_Other_")
                                    : QStringLiteral("BackUpUIPlugin_BigButton_");
    QPushButton *pVisible = nullptr;
    const char *const names[] = {"CommonFrame", "CheckFrame", "DisableFrame"};
    for (int i = 0; i < 3; ++i) {
        auto *pFrame = new QPushButton(tile.pTile);
        pFrame->setFlat(true);
        pFrame->setFixedSize(size);
        pFrame->setObjectName(strPrefix + QLatin1String(names[i]));
        pFrame->setVisible(i == look);
        if (i == look)
            pVisible = pFrame;
    }
    tile.pContent = new QLabel(pVisible);
    tile.pContent->setObjectName(QStringLiteral("BackUpUIPlugin_BigButton_") + strWord + QStringLiteral("Frame"));
    tile.pContent->setGeometry(QRect(QPoint(0, 0), size));
    // The content lets the mouse through to its frame, so the frame is the
    // widget under the mouse and shows its hover look.
    tile.pContent->setAttribute(Qt::WA_TransparentForMouseEvents);

    const QString strText = look == Disabled ? QStringLiteral("color:rgb(235,235,235);")
                            : look == Checked ? QStringLiteral("color:rgb(18,134,235);")
                                              : QStringLiteral("color:rgb(103,103,103);");
    const QString strValue = look == Disabled ? QStringLiteral("color:rgb(235,235,235);")
                             : look == Checked ? QStringLiteral("color:rgb(0,0,0);")
                                               : QStringLiteral("color:rgb(103,103,103);");
    const int nLeft = bRightToLeft && bWide ? 136 : 12;
    struct { const char *szSuffix; QSize size; QPoint pos; QString strText; QString strStyle; } labels[] = {
        {"_Num", QSize(100, 34), QPoint(nLeft, 20), strNum, strValue},
        {"_Value", QSize(100, 13), QPoint(nLeft, 60), strSize, strValue},
        {"_Time", QSize(100, 13), QPoint(nLeft, 76), strTime, QString()},
        {"_Title", QSize(100, 18), QPoint(nLeft, 95), strTitle, strText},
        {"_OtherContent", QSize(224, 45), bWide ? QPoint(12, 50) : QPoint(100, 14), strNames, strText},
    };
    for (const auto &spec : labels) {
        auto *pLabel = new QLabel(spec.strText, tile.pContent);
        pLabel->setObjectName(QStringLiteral("BackUpUIPlugin_BigButton_") + strWord + QLatin1String(spec.szSuffix));
        pLabel->setFixedSize(spec.size);
        pLabel->move(spec.pos);
        pLabel->setContentsMargins(0, 0, 0, 0);
        pLabel->setStyleSheet(spec.strStyle);
        if (QLatin1String(spec.szSuffix) == QLatin1String("_OtherContent")) {
            pLabel->setWordWrap(true);
            pLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        }
        if (QLatin1String(spec.szSuffix) == QLatin1String("_Title"))
            pLabel->setWordWrap(true);
        if (bRightToLeft)
            pLabel->setLayoutDirection(Qt::RightToLeft);
    }
    tile.pTile->setEnabled(look != Disabled);
    return tile;
}

} // namespace

class tst_skin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
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
    QWidget *BuildPage(const QString &strPage, bool bRightToLeft);
    void AddPageFrame(QWidget *pPage, bool bRightToLeft, bool bPrepare);

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
    const MockTile unchecked = MakeTile(&page, 0, QStringLiteral("Contacts"), Unchecked, QStringLiteral("Contacts"),
                                        QStringLiteral("12"), QString(), QString(), QString(), false);
    const MockTile checked = MakeTile(&page, 1, QStringLiteral("Information"), Checked, QStringLiteral("Messages"),
                                      QStringLiteral("12"), QString(), QString(), QString(), false);
    const MockTile disabled = MakeTile(&page, 5, QStringLiteral("MusicItem"), Disabled, QStringLiteral("Music"),
                                       QStringLiteral("0"), QString(), QString(), QString(), false);
    unchecked.pTile->move(10, 10);
    checked.pTile->move(140, 10);
    disabled.pTile->move(270, 10);
    // The same looks under the mouse, and the wizard button's states.
    const MockTile hovered = MakeTile(&page, 0, QStringLiteral("Contacts"), Unchecked, QStringLiteral("Contacts"),
                                      QStringLiteral("12"), QString(), QString(), QString(), false);
    const MockTile hoveredChecked = MakeTile(&page, 1, QStringLiteral("Information"), Checked,
                                             QStringLiteral("Messages"), QStringLiteral("12"), QString(), QString(),
                                             QString(), false);
    hovered.pTile->move(10, 160);
    hoveredChecked.pTile->move(140, 160);
    int nTop = 160;
    for (int i = 0; i < 4; ++i) {
        auto *pButton = new QPushButton(QStringLiteral("Start"), &page);
        pButton->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
        pButton->setFixedSize(116, 32);
        pButton->move(280, nTop);
        nTop += 36;
        if (i == 2)
            pButton->setDown(true);
        else if (i == 3)
            pButton->setEnabled(false);
    }
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    // Only one widget is under the mouse at a time: take the hovered tile's
    // picture with the mouse on it.
    QTest::mouseMove(hovered.pContent->parentWidget(), QPoint(60, 60));
    QTRY_VERIFY(hovered.pContent->parentWidget()->underMouse());
    const QImage hoverImage = page.grab().toImage();
    hoverImage.save(TestEnv::OutputDir() + QStringLiteral("/skin_tile_hover.png"));
    QTest::mouseMove(&page, QPoint(415, 305));
    QTRY_VERIFY(!hovered.pContent->parentWidget()->underMouse());
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
    // Under the mouse an unchecked tile's edge turns to a light accent.
    QVERIFY2(hoverImage.pixelColor(10 + 4, 160 + 60) != image.pixelColor(10 + 4, 160 + 60), "no hover look");
    QVERIFY2(Near(hoverImage.pixelColor(10 + 4, 160 + 60), QColor(140, 192, 243), 30), "hover edge is a light accent");
    QVERIFY(iconColour(10) > 10);
    QVERIFY(iconColour(140) > 10);
    QCOMPARE(iconColour(270), 0);

    // Right to left the count is right aligned: it keeps out of the icon's
    // column, in the usual and in the wide tile.
    for (int nId : {0, 6}) {
        const MockTile rtl = MakeTile(&page, nId, nId == 6 ? QStringLiteral("Other") : QStringLiteral("Contacts"),
                                      Unchecked, QStringLiteral("x"), QStringLiteral("24518"), QString(), QString(),
                                      QString(), true);
        auto *pNum = rtl.pTile->findChild<QLabel *>(nId == 6 ? QStringLiteral("BackUpUIPlugin_BigButton_Other_Num")
                                                             : QStringLiteral("BackUpUIPlugin_BigButton_Contacts_Num"));
        QVERIFY(pNum);
        rtl.pTile->show();
        pNum->ensurePolished();
        // The icon's glyph starts 5 px inside its 28 px badge, 12 px from the edge.
        const int nGlyphLeft = rtl.pTile->width() - 40 + 5;
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

void tst_skin::AddPageFrame(QWidget *pPage, bool bRightToLeft, bool bPrepare)
{
    auto frame = [pPage](const char *szName, const QRect &rect) {
        auto *pFrame = new QFrame(pPage);
        pFrame->setObjectName(QLatin1String(szName));
        pFrame->setGeometry(rect);
        pFrame->raise();
        return pFrame;
    };
    frame("BackUpUIPlugin_Prepare_Bgone", QRect(0, 0, 896, 608));
    frame("BackUpUIPlugin_Prepare_Bgtwo", QRect(0, 0, 896, 608));
    frame(bPrepare ? "BackUpUIPlugin_Prepare_Bgthree" : "BackUpUIPlugin_Doing_Bgthree", QRect(0, 0, 896, 608));
    frame("BackUpUIPlugin_Prepare_BgStatusBar", QRect(0, 608, 896, 32));
    frame("BackUpUIPlugin_Prepare_BgStatusLine", QRect(0, 608, 896, 32));

    auto *pTitleBar = new StandardTitleBar(pPage);
    pTitleBar->SetTitleBarRect(QRect(0, 0, 896, 48));
    pTitleBar->SetBtnSettingObjectName(QStringLiteral("HomeUIPlugin_ButtonSetting"));
    pTitleBar->SetBtnCloseObjectName(QStringLiteral("HomeUIPlugin_ButtonClose"));
    pTitleBar->SetBtnMinimizeObjectName(QStringLiteral("HomeUIPlugin_ButtonMinimize"));
    pTitleBar->InitLayout();
    if (bRightToLeft) {
        // The host's own layout reads the language; place the buttons the
        // way it does for a right-to-left language.
        int nLeft = 12;
        for (QPushButton *pButton : {pTitleBar->GetBtnClose(), pTitleBar->GetBtnMinimize(), pTitleBar->GetBtnSetting()}) {
            pButton->move(nLeft, pButton->y());
            nLeft += pButton->width() + 4;
        }
    }

    auto *pHeader = new QWidget(pPage);
    pHeader->setFixedSize(276, 72);
    pHeader->move(bRightToLeft ? QPoint(593, 41) : QPoint(27, 41));
    auto *pButton = new QPushButton(pHeader);
    pButton->setObjectName(QStringLiteral("BackUpUIPlugin_CustomLabelButton_Button"));
    pButton->setFlat(true);
    pButton->setEnabled(false);
    pButton->setFixedSize(276, 72);
    auto label = [pButton](const char *szName, const QSize &size, const QPoint &pos) {
        auto *pLabel = new QLabel(pButton);
        pLabel->setObjectName(QLatin1String(szName));
        pLabel->setFixedSize(size);
        pLabel->move(pos);
        return pLabel;
    };
    label("BackUpUIPlugin_CustomLabelButton_ArrowLabel", QSize(18, 72), bRightToLeft ? QPoint(257, 0) : QPoint(1, 0));
    label("BackUpUIPlugin_CustomLabelButton_ButtonLabel", QSize(72, 72), bRightToLeft ? QPoint(185, 0) : QPoint(19, 0));
    QLabel *pText = label("BackUpUIPlugin_CustomLabelButton_TextLabel", QSize(180, 20),
                          bRightToLeft ? QPoint(0, 27) : QPoint(97, 27));
    pText->setText(Tr("IDS_BACKUPUIPLUGIN_LOGBUTTONTEXT"));
    if (bRightToLeft)
        pHeader->setLayoutDirection(Qt::RightToLeft);
}

QWidget *tst_skin::BuildPage(const QString &strPage, bool bRightToLeft)
{
    auto *pPage = new QWidget;
    pPage->setObjectName(QStringLiteral("BackUpUIPlugin_MainWidget"));
    pPage->setFixedSize(896, 640);
    const bool bPrepare = strPage.startsWith(QLatin1String("prepare"));
    AddPageFrame(pPage, bRightToLeft, bPrepare);
    const Qt::LayoutDirection direction = bRightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
    auto label = [&](const char *szName, const QString &strText, const QPoint &pos) {
        auto *pLabel = new QLabel(strText, pPage);
        pLabel->setObjectName(QLatin1String(szName));
        pLabel->move(pos);
        pLabel->setLayoutDirection(direction);
        return pLabel;
    };
    auto button = [&](const QString &strText, const QPoint &pos) {
        auto *pButton = new QPushButton(strText, pPage);
        pButton->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
        pButton->setFixedSize(116, 32);
        pButton->move(pos);
        return pButton;
    };

    if (bPrepare) {
        QLabel *pDescription = label("BackUpUIPlugin_Prepare_DescriptionLabel",
                                     Tr("IDS_BACKUPUIPLUGIN_DESCRIPTIONINFO_TEXT"), QPoint(131, 122));
        pDescription->setWordWrap(true);
        pDescription->setFixedSize(634, 40);
        pDescription->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
        const QString strSep = Tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + QLatin1Char(' ');
        const QString strOther = QLatin1Char('(') + Tr("IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT") + strSep
                                 + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT") + strSep
                                 + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT") + QLatin1Char(')');
        const QString strKb = QLatin1Char(' ') + Tr("IDS_CORE_UNIT_KB");
        const QString strMb = QLatin1Char(' ') + Tr("IDS_CORE_UNIT_MB");
        const QString strGb = QLatin1Char(' ') + Tr("IDS_CORE_UNIT_GB");
        const QString strOne = Tr("IDS_BACKUPUIPLUGIN_TIME_REMAINING_ONEMINUTE");
        const QString strMinutes = Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_NEEDTIME_TEXT");
        struct { int nId; const char *szWord; const char *szKey; TileLook look; QString strNum, strSize, strTime; } tiles[] = {
            {0, "Contacts", "IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT", Checked, "1284", "642" + strKb, strOne},
            {1, "Information", "IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT", Checked, "3517", "12" + strMb, strOne},
            {29, "Application", "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT", Unchecked, "86", "2.37" + strGb,
             strMinutes.arg(27)},
            {3, "AppData", "IDS_BACKUPUIPLUGIN_BIGBUTTON_APPDATA_TEXT", Unchecked, "41", "640" + strMb, strMinutes.arg(7)},
            {4, "ImageVedio", "IDS_BACKUPUIPLUGIN_BIGBUTTON_IMAGEVEDIO_TEXT", Unchecked, "24518", "18.62" + strGb,
             strMinutes.arg(207)},
            {5, "MusicItem", "IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT", Disabled, "0", QString(), QString()},
            {6, "Other", "IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT", Checked, "932", QString(), strOne},
        };
        int i = 0;
        for (const auto &spec : tiles) {
            const MockTile tile = MakeTile(pPage, spec.nId, QLatin1String(spec.szWord), spec.look, Tr(spec.szKey),
                                           spec.strNum, spec.strSize, spec.strTime,
                                           spec.nId == 6 ? strOther : QString(), bRightToLeft);
            QPoint pos;
            if (i < 5)
                pos = bRightToLeft ? QPoint(648 - 121 * i, 176) : QPoint(124 + 121 * i, 176);
            else if (spec.nId == 6)
                pos = bRightToLeft ? QPoint(524, 306) : QPoint(245, 306);
            else
                pos = bRightToLeft ? QPoint(403, 306) : QPoint(124, 306);
            tile.pTile->move(pos);
            ++i;
        }
        const bool bWarning = strPage == QLatin1String("prepare-nospace");
        const int nLeft = bRightToLeft ? 223 : 143;
        QLabel *pCaption = label("BackUpUIPlugin_Prepare_DstLabel", Tr("IDS_BACKUPUIPLUGIN_DSTLABER_TEXT"), QPoint(nLeft, 477));
        QLabel *pPath = label("BackUpUIPlugin_Prepare_DstPathLabel", QStringLiteral("/home/user/Pelorix/backup"),
                              QPoint(nLeft, 508));
        QLabel *pCapacity = label("BackUpUIPlugin_Prepare_DstDiscCapacityLabel",
                                  Tr("IDS_BACKUPUIPLUGIN_DSTDISCCAPACITY_TEXT")
                                      .replace(QLatin1String("%s1"), QLatin1String("/"))
                                      .replace(QLatin1String("%s2"), QStringLiteral("112.40") + strGb.trimmed()),
                                  QPoint(nLeft, 525));
        QLabel *pWarning = label("BackUpUIPlugin_Prepare_DiskSpaceStatusLabel",
                                 Tr("IDS_BACKUPUIPLUGIN_DISKSPACESTATUS_TEXT"), QPoint(nLeft, 542));
        pWarning->setWordWrap(true);
        pWarning->setFixedWidth(530);
        pWarning->setVisible(bWarning);
        for (QLabel *pLabel : {pCaption, pPath, pCapacity, pWarning}) {
            pLabel->setFixedWidth(530);
            pLabel->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
        }
        auto *pBrowse = new QPushButton(Tr("IDS_BACKUPUIPLUGIN_PREPARE_BROWSE"), pPage);
        pBrowse->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_BrowseButton"));
        pBrowse->setFixedSize(96, 28);
        pBrowse->move(bRightToLeft ? QPoint(99, 507) : QPoint(681, 507));
        button(Tr("IDS_BACKUPUIPLUGIN_NEXTBUTTON"), bRightToLeft ? QPoint(450, 566) : QPoint(330, 566));
        button(Tr("IDS_BACKUPUIPLUGIN_CANCELBUTTON"), bRightToLeft ? QPoint(330, 566) : QPoint(450, 566));
        if (strPage == QLatin1String("prepare-waiting")) {
            auto *pWaiting = new QFrame(pPage);
            pWaiting->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_BgWaiting"));
            pWaiting->setFixedSize(896, 640);
            auto *pCard = new QLabel(pWaiting);
            pCard->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_LabelWaitingBK"));
            pCard->setFixedSize(125, 125);
            pCard->move(385, 257);
            auto *pText = new QLabel(pCard);
            pText->setObjectName(QStringLiteral("BackUpUIPlugin_BKWaiting_LabelText"));
            pText->move(20, 50);
            auto *pSpinner = new QFrame(pWaiting);
            pSpinner->setObjectName(QStringLiteral("BackUpUIPlugin_BKWaiting_FrameImage"));
            pSpinner->setFixedSize(52, 52);
            pSpinner->move(422, 294);
            pSpinner->setStyleSheet(QStringLiteral("border-image: url(./skin/default/images/AppManagerUIPlugin_UnstallWait_5.png);"));
            pWaiting->raise();
        }
    } else if (strPage.startsWith(QLatin1String("doing"))) {
        auto *pMovie = new QFrame(pPage);
        pMovie->setObjectName(QStringLiteral("BackUpUIPlugin_Doing_BgImage"));
        pMovie->setGeometry(235, 60, 420, 420);
        pMovie->setStyleSheet(QStringLiteral(
            "border-image: url(./skin/default/images/Update_Backup/UpdateUIPlugin_Label_BackUpMovie9.png);"));
        auto *pBar = new QProgressBar(pPage);
        pBar->setObjectName(QStringLiteral("BackUIPlugin_Doing_Progressbar"));
        pBar->setGeometry(76, 508, 744, 14);
        pBar->setTextVisible(false);
        pBar->setRange(0, 300);
        pBar->setValue(129);
        pBar->setInvertedAppearance(bRightToLeft);
        auto *pStripe = new QLabel(pPage);
        pStripe->setObjectName(QStringLiteral("BackUIPlugin_Doing_Progressbartop"));
        pStripe->setGeometry(76, 508, 744, 14);
        const int nX = 129 * 744 / 300 + 38;
        auto *pBubble = new QLabel(pPage);
        pBubble->setObjectName(QStringLiteral("RestoreUIPlugin_Doing_ProgressValueImage"));
        pBubble->setFixedSize(76, 44);
        pBubble->move(bRightToLeft ? 820 - nX : nX, 460);
        auto *pValue = new QLabel(QStringLiteral("43%"), pBubble);
        pValue->setObjectName(QStringLiteral("UpdateUIPlugin_Doing_ProgressValue"));
        pValue->setGeometry(7, 3, 62, 24);
        pValue->setAlignment(Qt::AlignCenter);
        QLabel *pTip = label("BackUpUIPlugin_Doing_TipText",
                             Tr("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO")
                                 .replace(QLatin1String("%s1"), Tr("IDS_VIRTUAL_IMAGEINFO_CORE"))
                                 .replace(QLatin1String("%s2"), QLatin1String("1024"))
                                 .replace(QLatin1String("%s3"), QLatin1String("2380")),
                             QPoint(20, 533));
        pTip->setFixedSize(856, 20);
        button(Tr("IDS_BACKUPUIPLUGIN_CANCELBUTTON"), QPoint(390, 566));
        if (strPage == QLatin1String("doing-cancel")) {
            auto *pCover = new QFrame(pPage);
            pCover->setObjectName(QStringLiteral("BackUpUIPlugin_Doing_BgCancelCover"));
            pCover->setGeometry(0, 0, 896, 640);
            pCover->raise();
        }
    } else {
        auto *pPicture = new QFrame(pPage);
        pPicture->setObjectName(QStringLiteral("BackUpUIPlugin_Completeing_BgImage"));
        pPicture->setGeometry(bRightToLeft ? 429 : 47, 45, 420, 420);
        const bool bFailed = strPage == QLatin1String("complete-failed");
        auto *pStatus = new QLabel(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL"));
        pStatus->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_Status"));
        pStatus->setWordWrap(true);
        auto *pResult = new QLabel;
        pResult->setObjectName(QStringLiteral("BackUpUIPlugin_Complete_Result"));
        pResult->setFixedWidth(400);
        pResult->setWordWrap(true);
        pResult->setAlignment(Qt::AlignTop | Qt::AlignLeading);
        const QString strSep = Tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO");
        pResult->setText(QStringLiteral("<font color=#e7e7e7 style=font-size:16px>")
                         + Tr("IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL") + QStringLiteral("</font> ")
                         + QStringLiteral("<font color=#ffffff style=font-size:19px>")
                         + Tr("IDS_VIRTUAL_SMSNAME_IDENTIFER") + QLatin1Char(',') + Tr("IDS_VIRTUAL_IDENTIFER_VEDIOTEXT")
                         + QStringLiteral("</font> "));
        pResult->setVisible(bFailed);
        Q_UNUSED(strSep);
        auto note = [&](const char *szIcon, const char *szLabel, const QString &strText) {
            auto *pRow = new QHBoxLayout;
            auto *pIcon = new QLabel;
            pIcon->setObjectName(QLatin1String(szIcon));
            pIcon->setFixedSize(11, 18);
            auto *pLabel = new QLabel(strText);
            pLabel->setObjectName(QLatin1String(szLabel));
            pLabel->setFixedWidth(400);
            pLabel->setWordWrap(true);
            pLabel->setAlignment(Qt::AlignTop | Qt::AlignLeading);
            pRow->addWidget(pIcon, 0, Qt::AlignTop);
            pRow->addWidget(pLabel);
            pRow->addStretch();
            pIcon->setVisible(bFailed);
            pLabel->setVisible(bFailed);
            return pRow;
        };
        auto *pBox = new QVBoxLayout(pPage);
        pBox->addStretch();
        pBox->addWidget(pStatus);
        pBox->addSpacing(10);
        pBox->addWidget(pResult);
        pBox->addSpacing(10);
        pBox->addLayout(note("BackUpUIPlugin_Complete_ContactsIcon", "BackUpUIPlugin_Complete_ContactsLabel",
                             Tr("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT").replace(QLatin1String("%s"), QLatin1String("1270"))));
        pBox->addSpacing(3);
        pBox->addLayout(note("BackUpUIPlugin_Complete_APKIcon", "BackUpUIPlugin_Complete_APKLabel",
                             Tr("IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT").replace(QLatin1String("%s"), QLatin1String("79"))));
        pBox->addStretch();
        pBox->setContentsMargins(bRightToLeft ? 0 : 377, 0, bRightToLeft ? 377 : 0, 110);
        pPage->setLayoutDirection(direction);
        button(Tr("IDS_BACKUPUIPLUGIN_FINISHBUTTON"), QPoint(390, 566));
    }
    return pPage;
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
    QFETCH(QString, lang);
    QFETCH(QString, page);
    QVERIFY(LoadLanguage(lang));
    qApp->setStyleSheet(m_strSheet);
    const bool bRightToLeft = lang == QLatin1String("ar");
    std::unique_ptr<QWidget> pPage(BuildPage(page, bRightToLeft));
    pPage->show();
    const QImage image = pPage->grab().toImage();
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
