#include "WaitingBKFrame.h"

#include "LogLine.h"
#include "host/Change.h"

#include <QKeyEvent>

#include <QCursor>
#include <QLabel>
#include <QTimer>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\WaitingBKFrame";

namespace
{
const int kMovieIntervalMs = 50;
const int kNudgeIntervalMs = 1000;
// The text under the spinner's card: its top, and its widest (two lines of a
// long language wrap within it).
const int kTextTop = 392;
const int kTextMaxWidth = 600;
} // namespace

WaitingBKFrame::WaitingBKFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_BgWaiting"));
    setAttribute(Qt::WA_TranslucentBackground, false);
    setFixedSize(896, 640);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(Change::tr("IDS_BACKUPUIPLUGIN_WAITING_ACCESSIBLE_TEXT"));

    m_pBackgroundLabel = new QLabel(this);
    m_pBackgroundLabel->setObjectName(QStringLiteral("BackUpUIPlugin_Prepare_LabelWaitingBK"));
    m_pBackgroundLabel->setFixedSize(125, 125);
    m_pBackgroundLabel->move(385, 257);
    m_pBackgroundLabel->setVisible(true);

    m_pFrameImage = new QFrame(this);
    m_pFrameImage->setObjectName(QStringLiteral("BackUpUIPlugin_BKWaiting_FrameImage"));
    m_pFrameImage->setFixedSize(52, 52);
    m_pFrameImage->move(422, 294);
    m_pFrameImage->raise();

    // Under the card, centred, with room for two lines of a long language.
    m_pTextLabel = new QLabel(this);
    m_pTextLabel->setObjectName(QStringLiteral("BackUpUIPlugin_BKWaiting_LabelText"));
    m_pTextLabel->setGeometry((896 - kTextMaxWidth) / 2, kTextTop, kTextMaxWidth, 40);
    m_pTextLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_pTextLabel->setWordWrap(true);
    m_pTextLabel->setText(QString());
    m_pTextLabel->hide(); // until it has something to say

    m_pMovieTimer = new QTimer(this);
    m_pMovieTimer->setInterval(kMovieIntervalMs);
    connect(m_pMovieTimer, &QTimer::timeout, this, &WaitingBKFrame::soltMoviePlay);

    m_pUpdateTimer = new QTimer(this);
    m_pUpdateTimer->setInterval(kNudgeIntervalMs);
    connect(m_pUpdateTimer, &QTimer::timeout, this, &WaitingBKFrame::soltUpdateTimer);
}

void WaitingBKFrame::SetText(const QString &strText)
{
    if (!m_pTextLabel) {
        LOG_ARG_NULL("SetText");
        return;
    }
    m_pTextLabel->setText(strText);
    // On a card of its own, as wide as its text, centred under the spinner:
    // the dimmed tiles below must not show through between its words.
    m_pTextLabel->ensurePolished();
    const QMargins margins = m_pTextLabel->contentsMargins();
    const int nWidth = qMin(kTextMaxWidth, m_pTextLabel->fontMetrics().horizontalAdvance(strText) + margins.left()
                                               + margins.right() + 2);
    m_pTextLabel->resize(nWidth, qMax(m_pTextLabel->heightForWidth(nWidth), m_pTextLabel->minimumSizeHint().height()));
    m_pTextLabel->move((width() - nWidth) / 2, kTextTop);
    m_pTextLabel->setVisible(!strText.isEmpty());
    if (!strText.isEmpty())
        setAccessibleName(strText);
}

QString WaitingBKFrame::Text() const
{
    return m_pTextLabel ? m_pTextLabel->text() : QString();
}

void WaitingBKFrame::ShowFrame()
{
    LOG_ENTERED("ShowFrame");
    if (m_pMovieTimer && m_pUpdateTimer) {
        m_pMovieTimer->start(kMovieIntervalMs);
        m_pUpdateTimer->start(kNudgeIntervalMs);
    } else {
        LOG_ARG_NULL("ShowFrame");
    }
    show();
    // On a page that is already shown the overlay takes the focus at once; a
    // page being shown gives it the focus itself.
    if (isVisible())
        setFocus(Qt::OtherFocusReason);
    LOG_LEAVED("ShowFrame");
}

void WaitingBKFrame::HideFrame()
{
    LOG_ENTERED("HideFrame");
    // Hand the focus back to the page rather than to whichever control
    // follows the overlay in the tab order.
    if (hasFocus() && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
    hide();
    if (m_pMovieTimer && m_pUpdateTimer) {
        m_pMovieTimer->stop();
        m_pUpdateTimer->stop();
    } else {
        LOG_ARG_NULL("HideFrame");
    }
    LOG_LEAVED("HideFrame");
}

bool WaitingBKFrame::focusNextPrevChild(bool bNext)
{
    if (isVisible())
        return true;
    return QFrame::focusNextPrevChild(bNext);
}

void WaitingBKFrame::keyPressEvent(QKeyEvent *pEvent)
{
    if (pEvent->key() == Qt::Key_Escape) {
        pEvent->ignore();
        return;
    }
    // Nothing under the overlay may be pressed while it is shown.
    pEvent->accept();
}

void WaitingBKFrame::soltMoviePlay()
{
    if (!m_pFrameImage) {
        LOG_ARG_NULL("soltMoviePlay");
        return;
    }
    m_pFrameImage->setStyleSheet(
        QStringLiteral("border-image: url(./skin/default/images/AppManagerUIPlugin_UnstallWait_%1.png);")
            .arg(m_nCurrentFrame));
    ++m_nCurrentFrame;
    if (m_nCurrentFrame > m_nFrameCount)
        m_nCurrentFrame = 1;
}

void WaitingBKFrame::soltUpdateTimer()
{
    const QPoint pos = QCursor::pos();
    QCursor::setPos(pos.x() + 1, pos.y() + 1);
    const QPoint moved = QCursor::pos();
    QCursor::setPos(moved.x() - 1, moved.y() - 1);
}
