// The language files the build compiles into <stage>/translations: every
// key the system shows (the keys of the item configuration and every "IDS_"
// key in the sources) is translated in every language and keeps the
// placeholders the code fills in.
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

const char *const kContext = "BackUpUIPlugin";
const char *const kLanguages[] = {"en", "ru", "ar"};

QString StageDir()
{
    const QString strRoot = qEnvironmentVariable("PELORIX_HOST_ROOT");
    return strRoot.isEmpty() ? QStringLiteral(BACKUP_STAGE_DIR) : strRoot;
}

QString SourceDir()
{
    return QStringLiteral(BACKUP_SOURCE_DIR);
}

// The keys whose texts the code fills in, with the placeholders it replaces.
QMap<QString, QStringList> ExpectedPlaceholders()
{
    return {
        {QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_NEEDTIME_TEXT"), {QStringLiteral("%1")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_DSTDISCCAPACITY_TEXT"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT"), {QStringLiteral("%s1")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO"),
         {QStringLiteral("%s1"), QStringLiteral("%s2"), QStringLiteral("%s3")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT"), {QStringLiteral("%s")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT"), {QStringLiteral("%s")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_BIGBUTTON_ACCESSIBLE_COUNT"), {QStringLiteral("%s")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_COMPLETE_APKDATA_TIPTEXT"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_COMPLETE_FOLDER_TEXT"), {QStringLiteral("%s")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_NOSERVER_TEXT"), {QStringLiteral("%s1")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_STATE_READY"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_STATE_UNAUTHORIZED"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_STATE_OFFLINE"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_STATE_NOPERMISSIONS"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_STATE_CONNECTING"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_OPENFAILED_TEXT"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTING_TEXT"), {QStringLiteral("%s1")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTED_TEXT"), {QStringLiteral("%s1")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_CONNECT_WIFI_FAILED_TEXT"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_PICKER_ROW_TEXT"),
         {QStringLiteral("%s1"), QStringLiteral("%s2"), QStringLiteral("%s3")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_PICKER_UNUSABLE_TEXT"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_HEADER_PHONE_TEXT"), {QStringLiteral("%s1"), QStringLiteral("%s2")}},
        {QStringLiteral("IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_INTERRUPTED_LABEL"), {QStringLiteral("%s")}},
        {QStringLiteral("IDS_RESTORE_CHOOSE_INTERRUPTED"), {QStringLiteral("%s")}},
    };
}

// Placeholders in the order they appear: "%s", "%s1" ... "%s3", "%1" ... "%9".
QStringList Placeholders(const QString &strText)
{
    static const QRegularExpression s_re(QStringLiteral("%(s[1-9]?|[1-9])"));
    QStringList list;
    for (auto it = s_re.globalMatch(strText); it.hasNext();)
        list.append(it.next().captured(0));
    list.sort();
    return list;
}

QStringList KeysOfConfiguration(const QString &strFile)
{
    QStringList list;
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly))
        return list;
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()
            && (reader.name() == QLatin1String("Common") || reader.name() == QLatin1String("Child")))
            list.append(reader.attributes().value(QLatin1String("name")).toString());
    }
    return reader.hasError() ? QStringList() : list;
}

// Every "IDS_" literal in the sources of the plugin, the host and the tools.
QStringList KeysOfSources()
{
    static const QRegularExpression s_re(QStringLiteral("\"(IDS_[A-Z0-9_]+)\""));
    QSet<QString> set;
    for (const char *szDir : {"src", "apps", "include"}) {
        QDirIterator it(SourceDir() + QLatin1Char('/') + QLatin1String(szDir),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString strText = QString::fromUtf8(file.readAll());
            for (auto match = s_re.globalMatch(strText); match.hasNext();)
                set.insert(match.next().captured(1));
        }
    }
    return set.values();
}

} // namespace
class tst_translations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyKeyIsTranslated_data();
    void everyKeyIsTranslated();

private:
    QStringList m_listKeys;
};

void tst_translations::initTestCase()
{
    QSet<QString> set;
    const QStringList listConfig = KeysOfConfiguration(SourceDir() + QStringLiteral("/plugins/BackUpUIPlugin/BackupConfig.xml"));
    QVERIFY2(listConfig.size() >= 10, "the item configuration names its items");
    const QStringList listSources = KeysOfSources();
    QVERIFY2(listSources.size() >= 10, "the sources name their texts");
    for (const QStringList &list : {listConfig, listSources})
        for (const QString &strKey : list)
            set.insert(strKey);
    // Keys the system shows even where no source names them literally yet.
    for (const char *szKey : {"IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL", "IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO",
                              "IDS_CORE_UNIT_TB", "IDS_CORE_OK", "IDS_CORE_CANCEL"})
        set.insert(QLatin1String(szKey));
    m_listKeys = set.values();
    m_listKeys.sort();
}

void tst_translations::everyKeyIsTranslated_data()
{
    QTest::addColumn<QString>("lang");
    for (const char *szLang : kLanguages)
        QTest::newRow(szLang) << QString::fromLatin1(szLang);
}

void tst_translations::everyKeyIsTranslated()
{
    QFETCH(QString, lang);
    QTranslator translator;
    const QString strQm = StageDir() + QStringLiteral("/translations/backup_%1.qm").arg(lang);
    QVERIFY2(translator.load(strQm), qPrintable(strQm));
    const QMap<QString, QStringList> mapExpected = ExpectedPlaceholders();
    QTranslator english;
    QVERIFY(english.load(StageDir() + QStringLiteral("/translations/backup_en.qm")));
    for (const QString &strKey : m_listKeys) {
        const QByteArray baKey = strKey.toUtf8();
        const QString strText = translator.translate(kContext, baKey.constData());
        QVERIFY2(!strText.trimmed().isEmpty(), qPrintable(lang + QStringLiteral(": no text for ") + strKey));
        QVERIFY2(strText != strKey, qPrintable(lang + QStringLiteral(": untranslated ") + strKey));
        // The placeholders the code fills in are all kept, and no other
        // appears; keys the code does not fill keep the English set.
        const QStringList listExpected = mapExpected.contains(strKey)
                                             ? mapExpected.value(strKey)
                                             : Placeholders(english.translate(kContext, baKey.constData()));
        QStringList listSorted = listExpected;
        listSorted.sort();
        QVERIFY2(Placeholders(strText) == listSorted,
                 qPrintable(lang + QLatin1String(": ") + strKey + QLatin1String(" -> ") + strText));
    }
}

QTEST_GUILESS_MAIN(tst_translations)
#include "tst_translations.moc"
