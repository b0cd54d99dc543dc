#include "ContentQueryParser.h"

#include <QtTest>

Q_DECLARE_METATYPE(QList<QStringList>)

class tst_ContentQueryParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void errors_data();
    void errors();
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

    QTest::newRow("security exception")
        << QByteArray("Error while accessing provider:call_log\njava.lang.SecurityException: Permission Denial: opening provider\n\tat android.os.Parcel\n\tat x\n\tat y\n")
        << true << "java.lang.SecurityException: Permission Denial";
    QTest::newRow("unknown uri") << QByteArray("Error while accessing provider:foo\njava.lang.IllegalArgumentException: Unknown URI content://foo\n")
                                 << false << "Unknown URI";
    QTest::newRow("no output") << QByteArray() << false << "no output";
    QTest::newRow("row without its columns") << QByteArray("Row: 0 _id=1, body=x\n") << false << "lacks the column address";
}

void tst_ContentQueryParser::errors()
{
    QFETCH(QByteArray, output);
    QFETCH(bool, denied);
    QFETCH(QString, reasonPart);

    int nRows = 0;
    ContentQueryParser parser({"_id", "address", "body"}, [&nRows](const QStringList &) { ++nRows; });
    parser.Feed(output);
    QCOMPARE(parser.Finish(), ContentQueryParser::Outcome::Error);
    QCOMPARE(nRows, 0);
    QCOMPARE(parser.IsPermissionDenied(), denied);
    QVERIFY2(parser.ErrorText().contains(reasonPart), qPrintable(parser.ErrorText()));
    QVERIFY(!parser.ErrorText().contains(QLatin1String("at y")));
}

QTEST_GUILESS_MAIN(tst_ContentQueryParser)
#include "tst_contentqueryparser.moc"
