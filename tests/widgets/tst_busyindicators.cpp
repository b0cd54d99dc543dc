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
    void waitingFrameGeometry();
    void spinnerOrder();
    void showAndHide();
    void cursorNudgeReturns();
    void busyMark();
};

void tst_BusyIndicators::waitingFrameGeometry()
{
    WaitingBKFrame frame;
    QCOMPARE(frame.objectName(), QStringLiteral("BackUpUIPlugin_Prepare_BgWaiting"));
    QCOMPARE(frame.size(), QSize(896, 640));
    QVERIFY(!frame.testAttribute(Qt::WA_TranslucentBackground));
    QLabel *pBackground = frame.findChild<QLabel *>("BackUpUIPlugin_Prepare_LabelWaitingBK");
    QFrame *pSpinner = frame.findChild<QFrame *>("BackUpUIPlugin_BKWaiting_FrameImage");
    QLabel *pText = frame.findChild<QLabel *>("BackUpUIPlugin_BKWaiting_LabelText");
    QVERIFY(pBackground && pSpinner && pText);
    // The spinner lies above the background label and the text on it.
    QVERIFY(frame.children().indexOf(pSpinner) > frame.children().indexOf(pBackground));
    QCOMPARE(pText->parentWidget(), pBackground);

    const QList<QTimer *> listTimers = Timers(frame);
    QCOMPARE(listTimers.size(), 2);
    QCOMPARE(listTimers.at(0)->interval(), 50);
    QCOMPARE(listTimers.at(1)->interval(), 1000);
    QVERIFY(!listTimers.at(0)->isActive() && !listTimers.at(1)->isActive());
    QCOMPARE(frame.CurrentFrame(), 1);
}

void tst_BusyIndicators::spinnerOrder()
{
    WaitingBKFrame frame;
    QFrame *pSpinner = frame.findChild<QFrame *>("BackUpUIPlugin_BKWaiting_FrameImage");
    QVERIFY(pSpinner);
    QList<int> listSeen;
    for (int i = 0; i < 28; ++i) {
        QVERIFY(QMetaObject::invokeMethod(&frame, "soltMoviePlay"));
        listSeen << SpinnerImage(pSpinner);
    }
    QList<int> listExpected;
    for (int i = 0; i < 28; ++i)
        listExpected << i % 13 + 1;
    QCOMPARE(listSeen, listExpected);
    QCOMPARE(frame.CurrentFrame(), 3);

    // The timer drives the spinner.
    QTimer *pMovieTimer = Timers(frame).at(0);
    QSignalSpy spy(pMovieTimer, &QTimer::timeout);
    frame.ShowFrame();
    QVERIFY(spy.wait());
    QTRY_COMPARE_WITH_TIMEOUT(SpinnerImage(pSpinner) >= 3, true, 5000);
    frame.HideFrame();
}

void tst_BusyIndicators::showAndHide()
{
    QWidget page;
    page.resize(896, 640);
    WaitingBKFrame *pFrame = new WaitingBKFrame(&page);
    pFrame->hide();
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QList<QTimer *> listTimers = Timers(*pFrame);
    QCOMPARE(listTimers.size(), 2);

    pFrame->ShowFrame();
    QVERIFY(pFrame->isVisible());
    QVERIFY(listTimers.at(0)->isActive());
    QVERIFY(listTimers.at(1)->isActive());
    QCOMPARE(listTimers.at(0)->interval(), 50);
    QCOMPARE(listTimers.at(1)->interval(), 1000);

    // Showing again restarts the timers and keeps the spinner where it is.
    QVERIFY(QMetaObject::invokeMethod(pFrame, "soltMoviePlay"));
    QVERIFY(QMetaObject::invokeMethod(pFrame, "soltMoviePlay"));
    const int nFrame = pFrame->CurrentFrame();
    pFrame->ShowFrame();
    QVERIFY(pFrame->isVisible());
    QVERIFY(listTimers.at(0)->isActive());
    QVERIFY(listTimers.at(1)->isActive());
    QCOMPARE(pFrame->CurrentFrame(), nFrame);

    pFrame->HideFrame();
    QVERIFY(!pFrame->isVisible());
    QVERIFY(!listTimers.at(0)->isActive());
    QVERIFY(!listTimers.at(1)->isActive());
    pFrame->HideFrame();
    QVERIFY(!listTimers.at(0)->isActive());
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

    // A hidden frame no longer nudges: its timers are stopped.
    frame.ShowFrame();
    frame.HideFrame();
    for (QTimer *pTimer : Timers(frame))
        QVERIFY(!pTimer->isActive());
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
    QCOMPARE(mark.size(), QSize(72, 99));
    QCOMPARE(mark.minimumSize(), mark.maximumSize());
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
