#include "BackupIllustrations.h"

#include "SkinIcons.h"
#include "SkinPainter.h"
#include "SkinPalette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

namespace {

constexpr int kSide = 420;

// Phone and computer positions inside the movie picture.
const QRectF kPhoneBody(50, 140, 84, 152);
const QRectF kMonitorBody(222, 152, 154, 104);

// The arc the files travel along, from the phone's shoulder to the screen.
const QPointF kArcStart(128, 176);
const QPointF kArcControl(180, 84);
const QPointF kArcEnd(236, 174);

QColor WithAlpha(QColor color, qreal dAlpha)
{
    color.setAlphaF(qBound(0.0, dAlpha, 1.0));
    return color;
}

qreal Wrap(qreal dValue)
{
    return dValue - qFloor(dValue);
}

} // namespace

QPointF BackupIllustrations::TransferPoint(qreal dT)
{
    const qreal dU = 1.0 - dT;
    return dU * dU * kArcStart + 2 * dU * dT * kArcControl + dT * dT * kArcEnd;
}

void BackupIllustrations::DrawBackdrop(QPainter &painter, const QPointF &ptCentre, qreal dRadius)
{
    QRadialGradient fill(ptCentre - QPointF(0, dRadius * 0.25), dRadius * 1.1);
    fill.setColorAt(0.0, QColor(232, 243, 254));
    fill.setColorAt(1.0, QColor(243, 248, 254));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(ptCentre, dRadius, dRadius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(WithAlpha(SkinPalette::Accent(), 0.10), 1.2));
    painter.drawEllipse(ptCentre, dRadius + 12, dRadius + 12);
}

QImage BackupIllustrations::MovieFrame(int nFrame, int nFrameCount)
{
    const qreal dPhase = static_cast<qreal>(nFrame - 1) / qMax(1, nFrameCount);
    QImage image = SkinPainter::NewImage(kSide, kSide);

    // Ground shadows first, blurred, then everything else on top.
    QPainterPath ground;
    ground.addEllipse(QPointF(kPhoneBody.center().x(), kPhoneBody.bottom() + 10), 46, 6);
    ground.addEllipse(QPointF(kMonitorBody.center().x(), 292), 72, 6);
    QPainter backdrop(&image);
    SkinPainter::Prepare(backdrop);
    DrawBackdrop(backdrop, QPointF(210, 214), 164);
    backdrop.end();
    SkinPainter::DrawShadow(image, ground, QColor(20, 60, 110, 40), 0, 6);

    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    // Decorative sparkles that twinkle out of step with each other.
    const QPointF sparkles[] = {QPointF(92, 98), QPointF(336, 108), QPointF(356, 318), QPointF(70, 330),
                                QPointF(210, 326)};
    for (int i = 0; i < 5; ++i) {
        const qreal dGlow = 0.5 + 0.5 * qSin(2 * M_PI * (dPhase + i * 0.23));
        painter.setBrush(WithAlpha(SkinPalette::Accent(), 0.12 + 0.22 * dGlow));
        painter.drawEllipse(sparkles[i], 2.2 + dGlow, 2.2 + dGlow);
    }
    DrawTransfer(painter, dPhase);
    DrawPhone(painter, dPhase);
    DrawComputer(painter, dPhase);
    return image;
}

void BackupIllustrations::DrawPhone(QPainter &painter, qreal dPhase)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    const QPainterPath body = SkinPainter::RoundedRect(kPhoneBody, 15);
    QLinearGradient bodyFill(kPhoneBody.topLeft(), kPhoneBody.bottomRight());
    bodyFill.setColorAt(0.0, SkinPalette::DeviceBody().lighter(125));
    bodyFill.setColorAt(1.0, SkinPalette::DeviceBody());
    painter.fillPath(body, bodyFill);

    const QRectF screen = kPhoneBody.adjusted(6, 14, -6, -14);
    const QPainterPath screenPath = SkinPainter::RoundedRect(screen, 5);
    QLinearGradient screenFill(screen.topLeft(), screen.bottomLeft());
    screenFill.setColorAt(0.0, Qt::white);
    screenFill.setColorAt(1.0, SkinPalette::AccentWash());
    painter.fillPath(screenPath, screenFill);
    // Speaker slot and home bar.
    painter.setBrush(QColor(255, 255, 255, 70));
    painter.drawRoundedRect(QRectF(kPhoneBody.center().x() - 10, kPhoneBody.top() + 6, 20, 3), 1.5, 1.5);
    painter.drawRoundedRect(QRectF(kPhoneBody.center().x() - 12, kPhoneBody.bottom() - 8, 24, 3), 1.5, 1.5);

    // A list of items; the one being sent is highlighted and the highlight
    // walks down the list once per loop.
    painter.setClipPath(screenPath);
    const int nRows = 5;
    const qreal dRowHeight = (screen.height() - 8) / nRows;
    const qreal dActive = dPhase * nRows;
    for (int i = 0; i < nRows; ++i) {
        const QRectF row(screen.left() + 5, screen.top() + 4 + i * dRowHeight, screen.width() - 10, dRowHeight - 3);
        const qreal dDistance = qAbs(dActive - (i + 0.5));
        const qreal dLight = qMax(0.0, 1.0 - qMin(dDistance, nRows - dDistance) / 1.1);
        if (dLight > 0.0) {
            painter.setBrush(WithAlpha(SkinPalette::Accent(), 0.16 * dLight));
            painter.drawRoundedRect(row.adjusted(-2, 0, 2, 0), 4, 4);
        }
        painter.setBrush(WithAlpha(SkinPalette::Accent(), 0.55 + 0.45 * dLight));
        painter.drawEllipse(QPointF(row.left() + 7, row.center().y()), 5, 5);
        painter.setBrush(QColor(196, 205, 217));
        painter.drawRoundedRect(QRectF(row.left() + 16, row.center().y() - 5, row.width() - 24, 3.5), 1.75, 1.75);
        painter.setBrush(QColor(221, 227, 235));
        painter.drawRoundedRect(QRectF(row.left() + 16, row.center().y() + 1.5, row.width() - 36, 3), 1.5, 1.5);
    }
    painter.restore();
}

void BackupIllustrations::DrawComputer(QPainter &painter, qreal dPhase)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    // Stand first, so the monitor covers its top.
    QPainterPath neck;
    const qreal dMid = kMonitorBody.center().x();
    neck.moveTo(dMid - 13, kMonitorBody.bottom() - 2);
    neck.lineTo(dMid + 13, kMonitorBody.bottom() - 2);
    neck.lineTo(dMid + 17, kMonitorBody.bottom() + 22);
    neck.lineTo(dMid - 17, kMonitorBody.bottom() + 22);
    neck.closeSubpath();
    painter.fillPath(neck, QColor(176, 188, 204));
    painter.fillPath(SkinPainter::RoundedRect(QRectF(dMid - 38, kMonitorBody.bottom() + 20, 76, 8), 4),
                     QColor(150, 164, 182));

    const QPainterPath body = SkinPainter::RoundedRect(kMonitorBody, 9);
    QLinearGradient bodyFill(kMonitorBody.topLeft(), kMonitorBody.bottomRight());
    bodyFill.setColorAt(0.0, SkinPalette::DeviceBody().lighter(125));
    bodyFill.setColorAt(1.0, SkinPalette::DeviceBody());
    painter.fillPath(body, bodyFill);
    const QRectF screen = kMonitorBody.adjusted(7, 7, -7, -14);
    const QPainterPath screenPath = SkinPainter::RoundedRect(screen, 3);
    QLinearGradient screenFill(screen.topLeft(), screen.bottomLeft());
    screenFill.setColorAt(0.0, Qt::white);
    screenFill.setColorAt(1.0, SkinPalette::AccentWash());
    painter.fillPath(screenPath, screenFill);
    painter.setClipPath(screenPath);

    // A folder that gently pulses as files arrive.
    const qreal dPulse = 0.5 + 0.5 * qSin(2 * M_PI * dPhase * 3);
    const QRectF folder(screen.center().x() - 22, screen.top() + 10, 44, 36);
    QRadialGradient halo(folder.center() + QPointF(0, 2), 34 + 3 * dPulse);
    halo.setColorAt(0.0, WithAlpha(SkinPalette::Accent(), 0.14 + 0.10 * dPulse));
    halo.setColorAt(1.0, WithAlpha(SkinPalette::Accent(), 0.0));
    painter.setBrush(halo);
    painter.drawEllipse(folder.center() + QPointF(0, 2), 34 + 3 * dPulse, 34 + 3 * dPulse);
    const QPainterPath back = SkinPainter::RoundedRect(QRectF(folder.left(), folder.top(), 44, 34), 4)
                                  .united(SkinPainter::RoundedRect(QRectF(folder.left(), folder.top() - 5, 18, 10), 3));
    painter.fillPath(back, QColor(120, 186, 246));
    QLinearGradient front(0, folder.top() + 8, 0, folder.bottom());
    front.setColorAt(0.0, SkinPalette::AccentHover());
    front.setColorAt(1.0, SkinPalette::Accent());
    QPainterPath frontPath;
    frontPath.moveTo(folder.left() - 2, folder.top() + 9);
    frontPath.lineTo(folder.right() + 2, folder.top() + 9);
    frontPath.lineTo(folder.right(), folder.top() + 34);
    frontPath.lineTo(folder.left(), folder.top() + 34);
    frontPath.closeSubpath();
    painter.fillPath(frontPath, front);

    // An indeterminate bar: a light segment sweeps across once per loop.
    const QRectF track(screen.left() + 18, screen.bottom() - 14, screen.width() - 36, 5);
    painter.setBrush(SkinPalette::AccentSoft());
    painter.drawRoundedRect(track, 2.5, 2.5);
    painter.save();
    painter.setClipPath(SkinPainter::RoundedRect(track, 2.5));
    const qreal dSegment = 38;
    const qreal dX = track.left() - dSegment + (track.width() + dSegment) * dPhase;
    painter.setBrush(SkinPalette::Accent());
    painter.drawRoundedRect(QRectF(dX, track.top(), dSegment, track.height()), 2.5, 2.5);
    painter.restore();
    painter.restore();
}

void BackupIllustrations::DrawTransfer(QPainter &painter, qreal dPhase)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    // The dotted path.
    const int nDots = 15;
    for (int i = 1; i < nDots; ++i) {
        const qreal dT = static_cast<qreal>(i) / nDots;
        painter.setBrush(WithAlpha(SkinPalette::Accent(), 0.28));
        painter.drawEllipse(TransferPoint(dT), 1.7, 1.7);
    }
    // Three files in flight, evenly spaced in time, fading in at the phone
    // and out at the screen.
    for (int k = 0; k < 3; ++k) {
        const qreal dT = Wrap(dPhase + k / 3.0);
        const qreal dShow = qSin(M_PI * dT);
        const QPointF pt = TransferPoint(dT);
        const qreal dScale = 0.75 + 0.25 * dShow;
        painter.save();
        painter.translate(pt);
        painter.scale(dScale, dScale);
        painter.setOpacity(qBound(0.0, dShow * 1.4, 1.0));
        painter.setBrush(QColor(10, 80, 150, 40));
        painter.drawRoundedRect(QRectF(-10, -11, 20, 24), 4, 4);
        painter.setBrush(SkinPalette::Page());
        painter.drawRoundedRect(QRectF(-10, -12, 20, 24), 4, 4);
        painter.setBrush(SkinPalette::Accent());
        painter.drawRoundedRect(QRectF(-6, -7, 12, 2.6), 1.3, 1.3);
        painter.setBrush(SkinPalette::AccentSoft());
        painter.drawRoundedRect(QRectF(-6, -2, 12, 2.4), 1.2, 1.2);
        painter.drawRoundedRect(QRectF(-6, 3, 8, 2.4), 1.2, 1.2);
        painter.restore();
    }
    painter.restore();
}

QImage BackupIllustrations::CompletePicture(bool bFailed)
{
    QImage image = SkinPainter::NewImage(kSide, kSide);
    const QPointF ptCentre(210, 246);
    {
        QPainter painter(&image);
        SkinPainter::Prepare(painter);
        DrawBackdrop(painter, ptCentre, 98);
    }

    // A folder of backed-up files with a check badge.
    const QRectF folder(150, 196, 118, 92);
    QPainterPath shape;
    shape.addRoundedRect(folder, 9, 9);
    SkinPainter::DrawShadow(image, shape, QColor(10, 80, 150, 60), 5, 8);

    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    const QPainterPath back = SkinPainter::RoundedRect(folder, 9).united(
        SkinPainter::RoundedRect(QRectF(folder.left(), folder.top() - 12, 48, 24), 7));
    painter.fillPath(back, QColor(120, 186, 246));
    // Sheets sticking out of the folder.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255));
    painter.drawRoundedRect(QRectF(folder.left() + 14, folder.top() - 4, folder.width() - 30, 40), 4, 4);
    painter.setBrush(SkinPalette::AccentSoft());
    painter.drawRoundedRect(QRectF(folder.left() + 24, folder.top() + 6, 44, 4), 2, 2);
    painter.drawRoundedRect(QRectF(folder.left() + 24, folder.top() + 14, 60, 4), 2, 2);
    QLinearGradient front(0, folder.top() + 20, 0, folder.bottom());
    front.setColorAt(0.0, SkinPalette::AccentHover());
    front.setColorAt(1.0, SkinPalette::AccentPressed());
    QPainterPath frontPath;
    frontPath.moveTo(folder.left() - 3, folder.top() + 22);
    frontPath.lineTo(folder.right() + 3, folder.top() + 22);
    frontPath.lineTo(folder.right(), folder.bottom() - 7);
    frontPath.quadTo(folder.right(), folder.bottom(), folder.right() - 7, folder.bottom());
    frontPath.lineTo(folder.left() + 7, folder.bottom());
    frontPath.quadTo(folder.left(), folder.bottom(), folder.left(), folder.bottom() - 7);
    frontPath.closeSubpath();
    painter.fillPath(frontPath, front);
    SkinIcons::Draw(painter, SkinIcons::BackupTray, QRectF(folder.center().x() - 20, folder.top() + 36, 34, 34),
                    QColor(255, 255, 255, 230), 2.0);

    // The badge with a white ring that separates it from the folder: a blue
    // check for a backup that is complete, a red cross for one that is not.
    const QPointF ptBadge(folder.right() - 4, folder.bottom() - 2);
    painter.setBrush(Qt::white);
    painter.drawEllipse(ptBadge, 25, 25);
    QLinearGradient badge(ptBadge - QPointF(20, 20), ptBadge + QPointF(20, 20));
    badge.setColorAt(0.0, bFailed ? QColor(236, 98, 86) : QColor(64, 164, 245));
    badge.setColorAt(1.0, bFailed ? QColor(190, 48, 40) : SkinPalette::AccentPressed());
    painter.setBrush(badge);
    painter.drawEllipse(ptBadge, 20.5, 20.5);
    QPainterPath mark;
    if (bFailed) {
        mark.moveTo(ptBadge + QPointF(-7.5, -7.5));
        mark.lineTo(ptBadge + QPointF(7.5, 7.5));
        mark.moveTo(ptBadge + QPointF(7.5, -7.5));
        mark.lineTo(ptBadge + QPointF(-7.5, 7.5));
    } else {
        mark.moveTo(ptBadge + QPointF(-9, 0.5));
        mark.lineTo(ptBadge + QPointF(-2.5, 7));
        mark.lineTo(ptBadge + QPointF(10, -6.5));
    }
    painter.strokePath(mark, QPen(Qt::white, 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    // A few sparkles around the backdrop, inside the safe columns.
    painter.setPen(Qt::NoPen);
    const struct { QPointF pt; qreal dRadius; qreal dAlpha; } dots[] = {
        {QPointF(128, 178), 3.2, 0.35}, {QPointF(300, 172), 2.4, 0.30}, {QPointF(306, 318), 3.0, 0.25},
        {QPointF(120, 316), 2.2, 0.30}, {QPointF(214, 140), 2.0, 0.25}};
    for (const auto &dot : dots) {
        painter.setBrush(WithAlpha(SkinPalette::Accent(), dot.dAlpha));
        painter.drawEllipse(dot.pt, dot.dRadius, dot.dRadius);
    }
    return image;
}
