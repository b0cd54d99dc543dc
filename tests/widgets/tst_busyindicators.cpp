// The busy indicators: the waiting overlay's spinner and timers, its cursor
// nudge, and the animated busy mark.
#include "BusyMark.h"
#include "TestEnv.h"
#include "WaitingBKFrame.h"

#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace
{
// A two-frame, endlessly looping 1x1 GIF.
const unsigned char kTwoFrameGif[] = {
    'G', 'I', 'F', '8', '9', 'a', 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,   // screen, 2-colour table
    0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00,                                       // white, black
    0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', // loop extension
    0x03, 0x01, 0x00, 0x00, 0x00,                                             // loop forever
    0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,                           // 100 ms
    0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,               // frame 1
    0x02, 0x02, 0x44, 0x01, 0x00,                                             // pixel 0
    0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,                           // 100 ms
    0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,               // frame 2
    0x02, 0x02, 0x4C, 0x01, 0x00,                                             // pixel 1
    0x3B};

// Records the positions of the mouse moves a widget receives.
class MoveRecorder : public QWidget
{
public:
    QList<QPoint> m_listMoves;

protected:
    void mouseMoveEvent(QMouseEvent *pEvent) override
    {
        m_listMoves << pEvent->globalPosition().toPoint();
    }
};

int SpinnerImage(const QFrame *pFrame)
{
    static const QRegularExpression s_image(
        QStringLiteral("^border-image: url\\(\\./skin/default/images/AppManagerUIPlugin_UnstallWait_(\\d+)\\.png\\);$"));
    const QRegularExpressionMatch match = s_image.match(pFrame->styleSheet());
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QList<QTimer *> Timers(WaitingBKFrame &frame)
{
    QList<QTimer *> listTimers = frame.findChildren<QTimer *>();
    std::sort(listTimers.begin(), listTimers.end(),
              [](const QTimer *a, const QTimer *b) { return a->interval() < b->interval(); });
    return listTimers;
}
} // namespace

class tst_BusyIndicators : public QObject
{
    Q_OBJECT

private slots:
    void spinner();
    void cursorNudgeReturns();
    void busyMark();
    void waitingText_data();
    void waitingText();
};

void tst_BusyIndicators::spinner()
{
    QWidget page;
    page.resize(896, 640);
    WaitingBKFrame *pFrame = new WaitingBKFrame(&page);
    pFrame->hide();
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QFrame *pSpinner = pFrame->findChild<QFrame *>("BackUpUIPlugin_BKWaiting_FrameImage");
    const QList<QTimer *> listTimers = Timers(*pFrame);
    QVERIFY(pSpinner && listTimers.size() == 2);

    // The spinner runs through its 13 pictures and starts again.
    QList<int> listSeen;
    QList<int> listExpected;
    for (int i = 0; i < 28; ++i) {
        QVERIFY(QMetaObject::invokeMethod(pFrame, "soltMoviePlay"));
        listSeen << SpinnerImage(pSpinner);
        listExpected << i % 13 + 1;
    }
    QCOMPARE(listSeen, listExpected);

    // Showing starts the spinner's and the cursor nudge's timers; showing
    // again restarts them and keeps the spinner where it is.
    QSignalSpy spy(listTimers.at(0), &QTimer::timeout);
    for (int nShow = 0; nShow < 2; ++nShow) {
        pFrame->ShowFrame();
        QVERIFY(pFrame->isVisible());
        QCOMPARE(listTimers.at(0)->interval(), 50);
        QCOMPARE(listTimers.at(1)->interval(), 1000);
        QVERIFY(listTimers.at(0)->isActive() && listTimers.at(1)->isActive());
        QCOMPARE(pFrame->CurrentFrame(), 3);
    }
    QVERIFY(spy.wait());
    QTRY_COMPARE_WITH_TIMEOUT(SpinnerImage(pSpinner) >= 3, true, 5000);

    for (int nHide = 0; nHide < 2; ++nHide) {
        pFrame->HideFrame();
        QVERIFY(!pFrame->isVisible());
        QVERIFY(!listTimers.at(0)->isActive() && !listTimers.at(1)->isActive());
    }
}

void tst_BusyIndicators::cursorNudgeReturns()
{
    MoveRecorder target;
    target.setMouseTracking(true);
    target.setGeometry(100, 100, 300, 200);
    target.show();
    QVERIFY(QTest::qWaitForWindowExposed(&target));

    const QPoint start(200, 180);
    QCursor::setPos(start);
    QCoreApplication::processEvents();
    if (QCursor::pos() != start)
        QSKIP("This platform cannot place the cursor");
    target.m_listMoves.clear();

    WaitingBKFrame frame;
    QVERIFY(QMetaObject::invokeMethod(&frame, "soltUpdateTimer"));
    QCOMPARE(QCursor::pos(), start);
    QTRY_COMPARE(target.m_listMoves.size(), 2);
    QCOMPARE(target.m_listMoves, (QList<QPoint>{start + QPoint(1, 1), start}));
}

void tst_BusyIndicators::waitingText_data()
{
    QTest::addColumn<QString>("strText");
    QTest::newRow("short") << QStringLiteral("Reading your phone\u2026");
    QTest::newRow("two lines long") << QStringLiteral("Остановка резервного копирования и удаление всех файлов этого "
                                                      "запуска с диска, подождите немного\u2026");
}

// The overlay says what the wait is for, under the spinner's card, and a
// screen reader announces the same words.
void tst_BusyIndicators::waitingText()
{
    QFETCH(QString, strText);
    WaitingBKFrame frame;
    const QString strDefaultName = frame.accessibleName();
    frame.SetText(QString());
    QCOMPARE(frame.accessibleName(), strDefaultName);
    frame.SetText(strText);
    frame.ShowFrame();
    QCOMPARE(frame.Text(), strText);
    QCOMPARE(frame.accessibleName(), strText);
    QLabel *pText = frame.findChild<QLabel *>(QStringLiteral("BackUpUIPlugin_BKWaiting_LabelText"));
    QLabel *pCard = frame.findChild<QLabel *>(QStringLiteral("BackUpUIPlugin_Prepare_LabelWaitingBK"));
    QVERIFY(pText && pCard);
    QVERIFY(pText->isVisible());
    const QRect rectText = pText->geometry();
    QVERIFY(!rectText.intersects(pCard->geometry()));
    QVERIFY(QRect(0, 0, 896, 640).contains(rectText));
    // The whole text fits the label, wrapped if need be.
    QVERIFY(pText->heightForWidth(rectText.width()) <= rectText.height());
    frame.HideFrame();
}

void tst_BusyIndicators::busyMark()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString strFile = dir.filePath(QStringLiteral("busy.gif"));
    QFile file(strFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char *>(kTwoFrameGif), sizeof(kTwoFrameGif));
    file.close();

    BusyMark mark(strFile);
    QLabel *pLabel = mark.findChild<QLabel *>();
    QVERIFY(pLabel);
    QCOMPARE(mark.MovieState(), QMovie::NotRunning);
    QVERIFY(!pLabel->movie());

    mark.StartMovie();
    QCOMPARE(mark.MovieState(), QMovie::Running);
    QVERIFY(pLabel->movie());
    QCOMPARE(pLabel->movie()->frameCount(), 2);

    mark.StopMovie();
    QCOMPARE(mark.MovieState(), QMovie::NotRunning);
    QVERIFY(!pLabel->movie());

    // It can be started again.
    mark.StartMovie();
    QCOMPARE(mark.MovieState(), QMovie::Running);

    // A missing file never runs.
    BusyMark missing(QStringLiteral("/nonexistent/busy.gif"));
    missing.StartMovie();
    QCOMPARE(missing.MovieState(), QMovie::NotRunning);
    missing.StopMovie();
}

QTEST_MAIN(tst_BusyIndicators)
#include "tst_busyindicators.moc"
