#include "BackUpUIConfigParse.h"
#include "CheckBigButton.h"
#include "CustomLabelButton.h"
#include "TestEnv.h"
#include "WaitingBKFrame.h"
#include "host/Change.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QtTest>

// Saves pictures of the tiles in each look, the page header and the waiting
// overlay into the build's test-output folder, styled with the skin's style
// sheet when the skin has been built, so people can look at them.
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
    void waitingFrame();

private:
    QString Save(QWidget *pWidget, const QString &strName);

    QScopedPointer<TestEnv> m_pEnv;
    QString m_strOldCurrent;
    QString m_strOutput;
};

void tst_WidgetPictures::initTestCase()
{
    m_pEnv.reset(new TestEnv);
    QVERIFY(m_pEnv->IsValid());
    m_strOldCurrent = QDir::currentPath();
    // The skin refers to its pictures as "./skin/default/images/...".
    QVERIFY(QDir::setCurrent(QStringLiteral(BACKUP_STAGE_DIR)));
    QFile qss(QStringLiteral(BACKUP_STAGE_DIR "/skin/default/backup.qss"));
    if (qss.open(QIODevice::ReadOnly | QIODevice::Text))
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
    const QString strFile = m_strOutput + QLatin1Char('/') + strName + QStringLiteral(".png");
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
        listImages << image;
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
    QCOMPARE(QImage(strFile).size(), QSize(276, 72));
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
    QCOMPARE(QImage(strFile).size(), QSize(896, 640));
}

QTEST_MAIN(tst_WidgetPictures)
#include "tst_widgetpictures.moc"
