#include "ContentQueryParser.h"
#include "RowText.h"

#include <QtTest>

Q_DECLARE_METATYPE(QList<QStringList>)
Q_DECLARE_METATYPE(ContentQueryParser::Outcome)

class tst_ContentQueryParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void errors_data();
    void errors();
    void malformedRowsAreCounted();
    void rowText_data();
    void rowText();
};

void tst_ContentQueryParser::parse_data()
{
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QList<QStringList>>("rows");

    const QStringList sms {"_id", "address", "body"};
    QTest::newRow("plain") << sms << QByteArray("Row: 0 _id=1, address=+49151, body=Hi\nRow: 1 _id=2, address=+49152, body=Yo\n")
                           << QList<QStringList> {{"1", "+49151", "Hi"}, {"2", "+49152", "Yo"}};
    QTest::newRow("comma, equals and new lines inside values")
        << sms << QByteArray("Row: 0 _id=1, address=a, b=c, body=x, y=z\nsecond line\n\nRow: 1 _id=2, address=, body=\n")
        << QList<QStringList> {{"1", "a, b=c", "x, y=z\nsecond line\n"}, {"2", "", ""}};
    QTest::newRow("a row marker that is not the next row stays in the value")
        << sms << QByteArray("Row: 0 _id=1, address=x, body=a\nRow: 5 _id=9, body=b\nRow: 0 _id=3\nRow: 1 _id=2, address=y, body=c\n")
        << QList<QStringList> {{"1", "x", "a\nRow: 5 _id=9, body=b\nRow: 0 _id=3"}, {"2", "y", "c"}};
    QList<QStringList> listNull {{"7", QString(), "NULLS"}};
    QTest::newRow("NULL is null, other text is not") << sms << QByteArray("Row: 0 _id=7, address=NULL, body=NULLS\n") << listNull;
    QTest::newRow("emoji and right-to-left text")
        << sms << QByteArray("Row: 0 _id=1, address=+966, body=مرحبا، 👍 שלום\n")
        << QList<QStringList> {{"1", "+966", QStringLiteral("مرحبا، 👍 שלום")}};
    QTest::newRow("no trailing new line") << QStringList {"_id"} << QByteArray("Row: 0 _id=1\nRow: 1 _id=2")
                                          << QList<QStringList> {{"1"}, {"2"}};
    QTest::newRow("a linker warning before the first row")
        << sms << QByteArray("WARNING: linker: libc.so: unused DT entry\nRow: 0 _id=1, address=a, body=b\n")
        << QList<QStringList> {{"1", "a", "b"}};
    QTest::newRow("a leading U+FEFF stays") << sms << QByteArray("Row: 0 _id=1, address=\xEF\xBB\xBF, body=\xEF\xBB\xBFhi\n")
                                            << QList<QStringList> {{"1", QStringLiteral("\uFEFF"), QStringLiteral("\uFEFFhi")}};
    QTest::newRow("no rows after a warning") << sms << QByteArray("WARNING: linker: x\nNo result found.\n") << QList<QStringList>();
    QTest::newRow("no rows") << sms << QByteArray("No result found.\n") << QList<QStringList>();
}

void tst_ContentQueryParser::parse()
{
    QFETCH(QStringList, columns);
    QFETCH(QByteArray, output);
    QFETCH(QList<QStringList>, rows);

    // Whole, then in every split into two pieces, then byte by byte: the
    // rows must not depend on where the transport cut the output.
    QList<QList<QByteArray>> listFeeds {{output}};
    for (qsizetype i = 1; i < output.size(); ++i)
        listFeeds.append({output.left(i), output.mid(i)});
    QList<QByteArray> listBytes;
    for (char c : output)
        listBytes.append(QByteArray(1, c));
    listFeeds.append(listBytes);

    for (const QList<QByteArray> &listChunks : listFeeds) {
        QList<QStringList> listGot;
        ContentQueryParser parser(columns, [&listGot](const QStringList &row) { listGot.append(row); });
        for (const QByteArray &ba : listChunks)
            parser.Feed(ba);
        const ContentQueryParser::Outcome outcome = parser.Finish();
        QCOMPARE(outcome, rows.isEmpty() ? ContentQueryParser::Outcome::NoRows : ContentQueryParser::Outcome::Rows);
        QCOMPARE(listGot, rows);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows.at(r).size(); ++c)
                QCOMPARE(listGot.at(r).at(c).isNull(), rows.at(r).at(c).isNull());
    }
}

void tst_ContentQueryParser::errors_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<bool>("denied");
    QTest::addColumn<QString>("reasonPart");
    QTest::addColumn<ContentQueryParser::Outcome>("outcome");

    const auto error = ContentQueryParser::Outcome::Error;
    const auto unreadable = ContentQueryParser::Outcome::Unreadable;
    QTest::newRow("security exception")
        << QByteArray("Error while accessing provider:call_log\njava.lang.SecurityException: Permission Denial: opening provider\n\tat android.os.Parcel\n\tat x\n\tat y\n")
        << true << "java.lang.SecurityException: Permission Denial" << error;
    QTest::newRow("unknown uri") << QByteArray("Error while accessing provider:foo\njava.lang.IllegalArgumentException: Unknown URI content://foo\n")
                                 << false << "Unknown URI" << error;
    QTest::newRow("the error after a linker warning")
        << QByteArray("WARNING: linker: libc.so: unused DT entry\nError while accessing provider:sms\njava.lang.SecurityException: no\n")
        << true << "Error while accessing provider:sms / java.lang.SecurityException" << error;
    QTest::newRow("no output") << QByteArray() << false << "no output" << unreadable;
    QTest::newRow("a linker warning alone") << QByteArray("WARNING: linker: libc.so: unused DT entry\n") << false
                                            << "unreadable answer: WARNING: linker" << unreadable;
    QTest::newRow("a missing tool") << QByteArray("/system/bin/sh: content: inaccessible or not found\n") << false
                                    << "inaccessible or not found" << unreadable;
}

void tst_ContentQueryParser::errors()
{
    QFETCH(QByteArray, output);
    QFETCH(bool, denied);
    QFETCH(QString, reasonPart);
    QFETCH(ContentQueryParser::Outcome, outcome);

    // On the output stream, and on an error stream of its own.
    for (bool bApart : {false, true}) {
        int nRows = 0;
        ContentQueryParser parser({"_id", "address", "body"}, [&nRows](const QStringList &) { ++nRows; });
        if (bApart)
            parser.FeedError(output);
        else
            parser.Feed(output);
        QCOMPARE(parser.Finish(), outcome);
        QCOMPARE(nRows, 0);
        QCOMPARE(parser.IsPermissionDenied(), denied);
        QVERIFY2(parser.ErrorText().contains(reasonPart), qPrintable(parser.ErrorText()));
        QVERIFY(!parser.ErrorText().contains(QLatin1String("at y")));
    }
}

void tst_ContentQueryParser::malformedRowsAreCounted()
{
    // A row cut short by a value that looked like the next row is left out
    // and counted; the rows after it are still found.
    QList<QStringList> listGot;
    ContentQueryParser parser({"_id", "address", "body"}, [&listGot](const QStringList &row) { listGot.append(row); });
    parser.Feed("Row: 0 _id=1, body=x\nRow: 1 _id=2, address=a, body=b\n");
    QCOMPARE(parser.Finish(), ContentQueryParser::Outcome::Rows);
    QCOMPARE(parser.MalformedRows(), 1);
    QCOMPARE(listGot, (QList<QStringList> {{"2", "a", "b"}}));
}

void tst_ContentQueryParser::rowText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("doubtful");
    QTest::addColumn<bool>("rowMarker");

    // Columns: _id, body, address, subject.
    QTest::newRow("plain") << QByteArray("hi, address=+1, subject=s") << 1 << -1 << false;
    QTest::newRow("any marker in the first text column is harmless")
        << QByteArray("x, body=y, subject=z, address=+1, subject=s") << 1 << -1 << false;
    QTest::newRow("the next column's marker in a value") << QByteArray("x, address=y, address=+1, subject=s") << 1 << 2 << false;
    QTest::newRow("an address holding the subject's marker") << QByteArray("b, address=+1, subject=X, subject=S") << 1 << 3 << false;
    QTest::newRow("a later column's marker in an earlier value is harmless")
        << QByteArray("b, address=a, subject=x, subject=s") << 2 << 3 << false;
    QTest::newRow("a forged row") << QByteArray("a\nRow: 1 _id=99, address=f, subject=g") << 1 << -1 << true;
    QTest::newRow("a row number alone is no row") << QByteArray("a\nRow: 1, address=f, subject=g") << 1 << -1 << false;
    QTest::newRow("a leading BOM") << QByteArray("\xEF\xBB\xBFhi, address=NULL, subject=") << 1 << -1 << false;
}

void tst_ContentQueryParser::rowText()
{
    QFETCH(QByteArray, text);
    QFETCH(int, from);
    QFETCH(int, doubtful);
    QFETCH(bool, rowMarker);
    const QStringList listColumns {"_id", "body", "address", "subject"};
    QList<QByteArray> listValues;
    QVERIFY(RowText::Split(from == 1 ? text : text.mid(text.indexOf(", address=") + 10), listColumns, from, &listValues));
    QCOMPARE(listValues.size(), listColumns.size() - from);
    QCOMPARE(RowText::FirstDoubtfulColumn(listValues, listColumns, from), doubtful);
    QCOMPARE(RowText::HasRowMarker(listValues, listColumns.first()), rowMarker);
    if (text.startsWith("\xEF\xBB\xBF")) {
        QCOMPARE(RowText::Value(listValues.first()), QStringLiteral("\uFEFFhi"));
        QVERIFY(RowText::Value(listValues.at(1)).isNull());
        QVERIFY(!RowText::Value(listValues.at(2)).isNull());
    }
}

QTEST_GUILESS_MAIN(tst_ContentQueryParser)
#include "tst_contentqueryparser.moc"
