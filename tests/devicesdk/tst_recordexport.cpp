// The record exporters against the phone simulator's content providers,
// answering from the sample phone's record fixtures, and the files they write
// read back by readers this project did not write.
#include "ContentProviders.h"
#include "HostileRecords.h"
#include "PhoneShell.h"
#include "RecordExporter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    explicit FixtureShell(const QString &strPhoneDir)
        : m_strPhoneDir(strPhoneDir)
        , m_pProviders(std::make_unique<ContentProviders>(strPhoneDir))
    {
    }
    // Reads the fixture files again (a test changed the phone).
    void Reload() { m_pProviders = std::make_unique<ContentProviders>(m_strPhoneDir); }

    int Run(const QByteArray &baCommand, const OutputHandler &fnOutput) override
    {
        return RunApart(baCommand, fnOutput, fnOutput);
    }
    // With m_bApart the error stream is kept apart as shell v2 keeps it;
    // otherwise both arrive together as through exec.
    int RunApart(const QByteArray &baCommand, const OutputHandler &fnOutput, const OutputHandler &fnError) override
    {
        m_listCommands.append(baCommand);
        if (m_nCancelAfter >= 0 && m_listCommands.size() >= m_nCancelAfter)
            m_bCancelled = true;
        QStringList listWords = SplitWords(baCommand);
        const bool bNoErrors = listWords.removeAll(QStringLiteral("2>/dev/null")) > 0;
        if (listWords.value(0) != QLatin1String("content"))
            return -1;
        QByteArray baOut;
        QByteArray baErr;
        if (m_fnBefore)
            m_fnBefore(int(m_listCommands.size()));
        m_pProviders->Run(listWords.mid(1), &baOut, &baErr);
        baErr = bNoErrors ? QByteArray() : m_baPreamble + baErr;
        if (!m_bApart)
            baOut = baErr + baOut;
        for (qsizetype i = 0; i < baOut.size(); i += 97)
            fnOutput(baOut.mid(i, 97));
        if (m_bApart && !baErr.isEmpty())
            fnError(baErr);
        return 0;
    }
    bool ErrorsApart() const override { return m_bApart; }
    bool IsCancelled() const override { return m_bCancelled; }

    QList<QByteArray> m_listCommands;
    int m_nCancelAfter = -1;
    bool m_bApart = false;
    QByteArray m_baPreamble; // printed on the error stream before anything else
    std::function<void(int nCommand)> m_fnBefore; // called before each command runs

private:
    const QString m_strPhoneDir;
    std::unique_ptr<ContentProviders> m_pProviders;
    bool m_bCancelled = false;
};

QString Shown(const HostileRecords::Message &m)
{
    const auto field = [](const QString &str) { return str.isNull() ? QStringLiteral("(null)") : '[' + str + ']'; };
    return field(m.strAddress) + ' ' + field(m.strSubject) + ' ' + field(m.strBody);
}

// A phone folder holding the hostile providers.
QString HostilePhone(const QTemporaryDir &dir, int nMessages)
{
    const QString strPhone = dir.filePath(QStringLiteral("phone"));
    if (!QDir().mkpath(strPhone + QLatin1String("/providers")) || !HostileRecords::Write(strPhone + QLatin1String("/providers"), nMessages))
        return QString();
    return strPhone;
}

QByteArray Export(PhoneShell &shell, int nType, int nPageSize, ProviderResult *pResult, int *pWritten)
{
    std::unique_ptr<RecordExporter> pExporter = RecordExporter::Create(nType, shell);
    pExporter->SetPageSize(nPageSize);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    *pResult = pExporter->Export(&buffer, {}, pWritten);
    return buffer.data();
}

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
    void hostileValuesSurvive_data();
    void hostileValuesSurvive();
    void recordDeletedWhileReadIsLeftOut();
    void unreadableAnswerIsNoNotAvailable_data();
    void unreadableAnswerIsNoNotAvailable();
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
        // The ids come in pages after the last id seen, the rows in pages of those ids.
        QVERIFY(nCount <= 28 || std::any_of(shell.m_listCommands.cbegin(), shell.m_listCommands.cend(),
                            [](const QByteArray &ba) { return ba.contains("_id>28'") && ba.contains("LIMIT 28"); }));
        QVERIFY(nCount <= 7 || std::any_of(shell.m_listCommands.cbegin(), shell.m_listCommands.cend(),
                            [](const QByteArray &ba) { return ba.contains("_id>=8 AND _id<=") || ba.contains(" AND _id>="); }));
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
    shell.m_nCancelAfter = 3; // cancelled while the first page of messages is read (after two pages of ids)
    std::unique_ptr<RecordExporter> pExporter = RecordExporter::Create(1, shell);
    pExporter->SetPageSize(10);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int nWritten = 0;
    QCOMPARE(pExporter->Export(&buffer, {}, &nWritten).eKind, ProviderResult::Cancelled);
    QCOMPARE(shell.m_listCommands.size(), 3);
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

void tst_RecordExport::hostileValuesSurvive_data()
{
    QTest::addColumn<bool>("apart");
    QTest::addColumn<QByteArray>("preamble");
    QTest::addColumn<int>("pageSize");
    const QByteArray baWarning("WARNING: linker: libfoo.so: unused DT entry: type 0x6ffffffe arg 0x8b8\n");
    QTest::newRow("errors apart") << true << QByteArray() << 4;
    QTest::newRow("errors apart, a linker warning") << true << baWarning << 5;
    QTest::newRow("errors mixed") << false << QByteArray() << 4;
    QTest::newRow("errors mixed, a linker warning first") << false << baWarning << 7;
    QTest::newRow("one page") << false << baWarning << 500;
}

void tst_RecordExport::hostileValuesSurvive()
{
    // Values that look like rows, columns or the tool's error come through
    // exactly, and every counted record is written.
    QFETCH(bool, apart);
    QFETCH(QByteArray, preamble);
    QFETCH(int, pageSize);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString strPhone = HostilePhone(dir, 40);
    QVERIFY(!strPhone.isEmpty());
    FixtureShell shell(strPhone);
    shell.m_bApart = apart;
    shell.m_baPreamble = preamble;

    ProviderResult result;
    int nWritten = 0;
    const QByteArray baSms = Export(shell, 1, pageSize, &result, &nWritten);
    QVERIFY2(result.eKind == ProviderResult::Ok, qPrintable(result.strReason));
    QCOMPARE(nWritten, 40);
    const QList<HostileRecords::Message> listGot = HostileRecords::ReadSmsXml(baSms);
    const QList<HostileRecords::Message> listWanted = HostileRecords::Messages(40);
    QCOMPARE(listGot.size(), listWanted.size());
    for (int i = 0; i < listWanted.size(); ++i)
        QCOMPARE(Shown(listGot.at(i)), Shown(listWanted.at(i)));

    // The MMS picture keeps its bytes, though they begin like the tool's error.
    const QByteArray baMms = Export(shell, 19, pageSize, &result, &nWritten);
    QVERIFY2(result.eKind == ProviderResult::Ok, qPrintable(result.strReason));
    QVERIFY2(baMms.contains(HostileRecords::ErrorLookingBytes().toBase64()), baMms.constData());
    QVERIFY2(baMms.contains("subject=\"pic, sub_cs=9\"") && baMms.contains("address=\"+49151, type=1\""), baMms.constData());

    // Empty texts stay, NUL never reaches the file, a leading U+FEFF stays.
    const QByteArray baIcs = Export(shell, 2, pageSize, &result, &nWritten);
    QVERIFY2(result.eKind == ProviderResult::Ok && nWritten == 2, qPrintable(result.strReason));
    QVERIFY2(baIcs.contains("\r\nSUMMARY:\r\n") && baIcs.contains("\r\nLOCATION:\r\n") && baIcs.contains("\r\nDESCRIPTION:\r\n"), baIcs.constData());
    QVERIFY2(baIcs.contains("SUMMARY:NUL\xEF\xBF\xBDtitle\\, eventLocation=x\r\n"), baIcs.constData());
    QVERIFY2(baIcs.contains("LOCATION:room\\, description=y\r\n") && baIcs.contains("DESCRIPTION:\xEF\xBB\xBFtext\r\n"), baIcs.constData());
    QVERIFY(!baIcs.contains('\0'));

    const QByteArray baVcf = Export(shell, 0, pageSize, &result, &nWritten);
    QVERIFY2(result.eKind == ProviderResult::Ok && nWritten == 1, qPrintable(result.strReason));
    QVERIFY2(baVcf.contains("FN:\xEF\xBB\xBF" "Anna NUL\xEF\xBF\xBD" "Berg\r\n") && baVcf.contains("N:Berg\\, data4=Dr;Anna;;;\r\n"), baVcf.constData());
    QVERIFY(!baVcf.contains('\0'));
    QVERIFY2(QByteArray(baVcf).replace("\r\n ", "").contains("PHOTO;ENCODING=b:" + HostileRecords::ErrorLookingBytes().toBase64() + "\r\n"),
             baVcf.constData());
}

void tst_RecordExport::recordDeletedWhileReadIsLeftOut()
{
    // A message deleted on the phone after the ids were read: its page no
    // longer checks out, the message alone says it is gone, and the others
    // are all written.
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString strPhone = HostilePhone(dir, 40);
    QVERIFY(!strPhone.isEmpty());
    FixtureShell shell(strPhone);
    shell.m_fnBefore = [&](int nCommand) {
        if (nCommand != 2) // after the ids, before the first page
            return;
        QFile file(strPhone + "/providers/sms.json");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonObject obj = QJsonDocument::fromJson(file.readAll()).object();
        file.close();
        QJsonArray rows = obj.value("rows").toArray();
        rows.removeAt(9); // _id 10
        obj.insert("rows", rows);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QJsonDocument(obj).toJson());
        file.close();
        shell.Reload();
    };
    ProviderResult result;
    int nWritten = 0;
    const QByteArray baSms = Export(shell, 1, 16, &result, &nWritten);
    QVERIFY2(result.eKind == ProviderResult::Ok, qPrintable(result.strReason));
    QCOMPARE(result.nVanished, 1);
    QCOMPARE(nWritten, 39);
    QCOMPARE(HostileRecords::ReadSmsXml(baSms).size(), 39);
    QVERIFY(std::any_of(shell.m_listCommands.cbegin(), shell.m_listCommands.cend(),
                        [](const QByteArray &ba) { return ba.endsWith("--where '_id=10'"); }));
}

void tst_RecordExport::unreadableAnswerIsNoNotAvailable_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("kind");
    QTest::newRow("a warning, then the rows") << QByteArray("WARNING: linker: x\nRow: 0 _id=1\n") << int(ProviderResult::Ok);
    QTest::newRow("a warning alone") << QByteArray("WARNING: linker: x\n") << int(ProviderResult::Failed);
    QTest::newRow("a missing command") << QByteArray("/system/bin/sh: content: inaccessible or not found\n") << int(ProviderResult::Failed);
    QTest::newRow("nothing") << QByteArray() << int(ProviderResult::Failed);
    QTest::newRow("an id that is no number") << QByteArray("Row: 0 _id=1x\n") << int(ProviderResult::Failed);
    QTest::newRow("the provider refuses") << QByteArray("WARNING: linker: x\nError while accessing provider:sms\njava.lang.SecurityException: no\n")
                                          << int(ProviderResult::NotAvailable);
}

void tst_RecordExport::unreadableAnswerIsNoNotAvailable()
{
    // Only the tool's own error makes a record type "not available".
    QFETCH(QByteArray, answer);
    QFETCH(int, kind);
    class AnswerShell : public PhoneShell
    {
    public:
        explicit AnswerShell(const QByteArray &ba) : m_baAnswer(ba) {}
        int Run(const QByteArray &, const OutputHandler &fnOutput) override { fnOutput(m_baAnswer); return 0; }
        bool IsCancelled() const override { return false; }
        const QByteArray m_baAnswer;
    } shell(answer);
    int nCount = -1;
    const ProviderResult result = RecordExporter::Create(1, shell)->Count(&nCount);
    QCOMPARE(int(result.eKind), kind);
    QCOMPARE(nCount, kind == ProviderResult::Ok ? 1 : 0);
}

QTEST_GUILESS_MAIN(tst_RecordExport)
#include "tst_recordexport.moc"
