// The record exporters against the phone simulator's content providers,
// answering from the sample phone's record fixtures, and the files they write
// read back by readers this project did not write.
#include "ContentProviders.h"
#include "PhoneShell.h"
#include "RecordExporter.h"

#include <QtTest>

namespace
{
const QString kSamplePhone = QStringLiteral(BACKUP_SOURCE_DIR "/samples/phone");

// Words of a command line as the phone's shell splits them (single quotes
// as ProviderQuery writes them, plain words otherwise).
QStringList SplitWords(const QByteArray &baLine)
{
    QStringList listWords;
    QString strWord;
    bool bInWord = false;
    const QString strLine = QString::fromUtf8(baLine);
    for (qsizetype i = 0; i < strLine.size(); ++i) {
        const QChar c = strLine.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype nEnd = strLine.indexOf(QLatin1Char('\''), i + 1);
            strWord += strLine.mid(i + 1, nEnd - i - 1);
            i = nEnd;
            bInWord = true;
        } else if (c == QLatin1Char('\\')) {
            strWord += strLine.at(++i);
            bInWord = true;
        } else if (c == QLatin1Char(' ')) {
            if (bInWord)
                listWords.append(strWord);
            strWord.clear();
            bInWord = false;
        } else {
            strWord += c;
            bInWord = true;
        }
    }
    if (bInWord)
        listWords.append(strWord);
    return listWords;
}

// The phone's shell as the simulator answers it, handing the output on in
// small pieces; can cancel after a number of commands.
class FixtureShell : public PhoneShell
{
public:
    explicit FixtureShell(const QString &strPhoneDir) : m_providers(strPhoneDir) {}

    int Run(const QByteArray &baCommand, const OutputHandler &fnOutput) override
    {
        m_listCommands.append(baCommand);
        if (m_nCancelAfter >= 0 && m_listCommands.size() >= m_nCancelAfter)
            m_bCancelled = true;
        const QStringList listWords = SplitWords(baCommand);
        if (listWords.value(0) != QLatin1String("content"))
            return -1;
        QByteArray baOut;
        QByteArray baErr;
        m_providers.Run(listWords.mid(1), &baOut, &baErr);
        baOut += baErr; // as exec: delivers both
        for (qsizetype i = 0; i < baOut.size(); i += 97)
            fnOutput(baOut.mid(i, 97));
        return 0;
    }
    bool IsCancelled() const override { return m_bCancelled; }

    QList<QByteArray> m_listCommands;
    int m_nCancelAfter = -1;

private:
    ContentProviders m_providers;
    bool m_bCancelled = false;
};

const QList<QPair<int, int>> kTypesAndCounts {{0, 32}, {1, 60}, {2, 12}, {4, 30}, {19, 4}};
} // namespace

class tst_RecordExport : public QObject
{
    Q_OBJECT

private slots:
    void exportsEveryRecordTypeInPages();
    void deniedProviderIsNotAvailable();
    void cancelStopsBetweenPages();
    void unwritableFileFails_data();
    void unwritableFileFails();
};

void tst_RecordExport::exportsEveryRecordTypeInPages()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    for (const auto &typeAndCount : kTypesAndCounts) {
        FixtureShell shell(kSamplePhone);
        std::unique_ptr<RecordExporter> pExporter = RecordExporter::Create(typeAndCount.first, shell);
        QVERIFY(pExporter);
        pExporter->SetPageSize(7);
        int nCount = 0;
        QCOMPARE(pExporter->Count(&nCount).eKind, ProviderResult::Ok);
        QCOMPARE(nCount, typeAndCount.second);

        QFile file(dir.filePath(RecordExporter::FileName(typeAndCount.first)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QList<QPair<int, int>> listProgress;
        int nWritten = 0;
        const ProviderResult result = pExporter->Export(&file, [&](int nDone, int nAll) { listProgress.append({nDone, nAll}); }, &nWritten);
        file.close();
        QVERIFY2(result.eKind == ProviderResult::Ok, qPrintable(result.strReason));
        QCOMPARE(nWritten, typeAndCount.second);
        // Progress starts at nothing, grows page by page and ends complete.
        QCOMPARE(listProgress.constFirst(), qMakePair(0, nCount));
        QCOMPARE(listProgress.constLast(), qMakePair(nCount, nCount));
        QVERIFY(listProgress.size() >= 1 + (nCount + 6) / 7);
        // Pages follow the last id seen; no reply holds more than a page.
        QVERIFY(nCount <= 7 || std::any_of(shell.m_listCommands.cbegin(), shell.m_listCommands.cend(),
                            [](const QByteArray &ba) { return ba.contains("_id>7'") && ba.contains("LIMIT 7"); }));
    }

    const QString strPython = QStringLiteral("/usr/bin/python3");
    QProcess probe;
    probe.start(strPython, {QStringLiteral("-c"), QStringLiteral("import vobject, icalendar")});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        QSKIP("python3-vobject and python3-icalendar are not installed (scripts/install-deps.sh installs them)");
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(strPython, {QStringLiteral(BACKUP_SOURCE_DIR "/tests/devicesdk/check_records.py"),
                            kSamplePhone + QLatin1String("/providers"), dir.path()});
    QVERIFY(check.waitForFinished(120000));
    const QByteArray baOut = check.readAll();
    QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0, baOut.constData());
}

void tst_RecordExport::deniedProviderIsNotAvailable()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(QDir().mkpath(dir.filePath("providers")));
    for (const QString &strName : QDir(kSamplePhone + "/providers").entryList({"*.json"}))
        QVERIFY(QFile::copy(kSamplePhone + "/providers/" + strName, dir.filePath("providers/" + strName)));
    {
        QSettings ini(dir.filePath("phone.ini"), QSettings::IniFormat);
        ini.setValue("faults/contentDenied", QStringList {"content://call_log/calls", "content://com.android.calendar/reminders"});
    }
    FixtureShell shell(dir.path());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int nWritten = 0;
    ProviderResult result = RecordExporter::Create(4, shell)->Export(&buffer, {}, &nWritten);
    QCOMPARE(result.eKind, ProviderResult::NotAvailable);
    QVERIFY2(result.strReason.contains("SecurityException"), qPrintable(result.strReason));
    int nCount = -1;
    QCOMPARE(RecordExporter::Create(4, shell)->Count(&nCount).eKind, ProviderResult::NotAvailable);

    // Reminders the shell may not read leave the events themselves.
    QBuffer calendar;
    calendar.open(QIODevice::WriteOnly);
    result = RecordExporter::Create(2, shell)->Export(&calendar, {}, &nWritten);
    QCOMPARE(result.eKind, ProviderResult::Ok);
    QCOMPARE(nWritten, 12);
    QVERIFY(!calendar.data().contains("BEGIN:VALARM"));
    QVERIFY(!RecordExporter::Create(5, shell)); // e-mail has no provider
}

void tst_RecordExport::cancelStopsBetweenPages()
{
    FixtureShell shell(kSamplePhone);
    shell.m_nCancelAfter = 2; // cancelled while the first page of messages is read
    std::unique_ptr<RecordExporter> pExporter = RecordExporter::Create(1, shell);
    pExporter->SetPageSize(10);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int nWritten = 0;
    QCOMPARE(pExporter->Export(&buffer, {}, &nWritten).eKind, ProviderResult::Cancelled);
    QCOMPARE(shell.m_listCommands.size(), 2);
    QCOMPARE(nWritten, 10);
}

void tst_RecordExport::unwritableFileFails_data()
{
    QTest::addColumn<int>("type");
    for (const auto &typeAndCount : kTypesAndCounts)
        QTest::addRow("type %d", typeAndCount.first) << typeAndCount.first;
}

void tst_RecordExport::unwritableFileFails()
{
    // A file that takes no bytes (a full disk) fails the export, whatever
    // was read from the phone.
    QFETCH(int, type);
    FixtureShell shell(kSamplePhone);
    QBuffer buffer;
    buffer.open(QIODevice::ReadOnly);
    int nWritten = 0;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("QIODevice::write.*ReadOnly")));
    const ProviderResult result = RecordExporter::Create(type, shell)->Export(&buffer, {}, &nWritten);
    QCOMPARE(result.eKind, ProviderResult::Failed);
    QVERIFY2(result.strReason.endsWith(QLatin1String("file could not be written")), qPrintable(result.strReason));
}

QTEST_GUILESS_MAIN(tst_RecordExport)
#include "tst_recordexport.moc"
