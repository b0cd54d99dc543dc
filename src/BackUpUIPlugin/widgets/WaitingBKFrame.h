#pragma once

#include <QFrame>

class QKeyEvent;
class QLabel;
class QTimer;

// The page-sized overlay shown while the phone is busy or a run is being
// counted or cancelled: dims the page, turns a 13-image spinner every 50 ms
// and nudges the mouse cursor by one pixel and back once a second (keeping
// the machine from treating the user as idle during the wait). While shown
// it also holds the keyboard focus, so Tab, Space and Enter cannot reach the
// controls it covers; Escape still reaches the page.
class WaitingBKFrame : public QFrame
{
    Q_OBJECT

public:
    explicit WaitingBKFrame(QWidget *parent = nullptr);

    void ShowFrame();
    void HideFrame();

    // What the wait is for ("Reading your phone..."), shown under the
    // spinner and read out by a screen reader.
    void SetText(const QString &strText);
    QString Text() const;

    // The spinner image shown next (1 ... 13).
    int CurrentFrame() const { return m_nCurrentFrame; }

protected:
    bool focusNextPrevChild(bool bNext) override;
    void keyPressEvent(QKeyEvent *pEvent) override;

private slots:
    void soltMoviePlay();
    void soltUpdateTimer();

private:
    QLabel *m_pBackgroundLabel = nullptr;
    QFrame *m_pFrameImage = nullptr;
    int m_nFrameCount = 13;
    int m_nCurrentFrame = 1;
    QLabel *m_pTextLabel = nullptr;
    QTimer *m_pMovieTimer = nullptr;
    QTimer *m_pUpdateTimer = nullptr;
};
