#pragma once

#include <QImage>
#include <QPointF>

class QPainter;

// The two large pictures: the animated phone-to-computer backup shown while
// a backup runs, and the picture of the result page.
class BackupIllustrations
{
public:
    // Frame nFrame (1 ... nFrameCount) of the 420 x 420 progress animation;
    // everything that moves is periodic in the frame count, so the last
    // frame leads smoothly into the first.
    static QImage MovieFrame(int nFrame, int nFrameCount);

    // The 420 x 420 result picture, with a check badge or, for a run that
    // failed in whole or in part, a cross badge. Its drawing stays inside the
    // middle columns (x 100 ... 320) because the result texts start 90 px
    // into the picture's area, on either side depending on the direction.
    static QImage CompletePicture(bool bFailed = false);

private:
    static void DrawBackdrop(QPainter &painter, const QPointF &ptCentre, qreal dRadius);
    static void DrawPhone(QPainter &painter, qreal dPhase);
    static void DrawComputer(QPainter &painter, qreal dPhase);
    static void DrawTransfer(QPainter &painter, qreal dPhase);
    static QPointF TransferPoint(qreal dT);
};
