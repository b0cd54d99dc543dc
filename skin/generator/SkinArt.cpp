#include "SkinArt.h"

#include "SkinPainter.h"
#include "SkinPalette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

namespace {

// Tiles overlap their neighbours by a few pixels (columns 121 apart for
// 124-wide tiles, rows 130 apart for 135-high ones), so each frame keeps a
// transparent margin and the visible cards never touch.
constexpr qreal kTileInsetX = 4.0;
constexpr qreal kTileInsetY = 5.0;
constexpr qreal kTileRadius = 8.0;
constexpr int kTileHeight = 135;

constexpr int kPageWidth = 896;
constexpr int kBodyHeight = 608;
constexpr int kFooterTop = 556;

QColor WithAlpha(QColor color, int nAlpha)
{
    color.setAlpha(nAlpha);
    return color;
}

QPainterPath CheckPath(const QPointF &ptCorner, qreal dScale)
{
    // A check mark whose elbow sits at the given point.
    QPainterPath path;
    path.moveTo(ptCorner + QPointF(-3.6, -3.4) * dScale);
    path.lineTo(ptCorner);
    path.lineTo(ptCorner + QPointF(6.4, -7.0) * dScale);
    return path;
}

} // namespace

QImage SkinArt::TileFrame(int nWidth, TileLook look, bool bFlagLeft)
{
    QImage image = SkinPainter::NewImage(nWidth, kTileHeight);
    const QRectF card(kTileInsetX + 0.5, kTileInsetY + 0.5, nWidth - 2 * kTileInsetX - 1.0,
                      kTileHeight - 2 * kTileInsetY - 1.0);
    const QPainterPath cardPath = SkinPainter::RoundedRect(card, kTileRadius);

    if (look != TileDisabled) {
        const bool bLifted = look == TileCommonHover || look == TileCheckedHover;
        SkinPainter::DrawShadow(image, cardPath, QColor(20, 40, 70, bLifted ? 46 : 26), bLifted ? 1.5 : 1.0,
                                bLifted ? 4 : 3);
    }

    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    switch (look) {
    case TileCommon:
        painter.fillPath(cardPath, SkinPalette::Page());
        painter.strokePath(cardPath, QPen(SkinPalette::LineStrong(), 1.0));
        break;
    case TileCommonHover: {
        painter.fillPath(cardPath, SkinPalette::Page());
        painter.strokePath(cardPath, QPen(QColor(140, 192, 243), 1.0));
        break;
    }
    case TileChecked:
    case TileCheckedHover: {
        painter.fillPath(cardPath, look == TileChecked ? QColor(245, 250, 255) : QColor(236, 245, 254));
        const QRectF edge = card.adjusted(0.5, 0.5, -0.5, -0.5);
        const QPainterPath edgePath = SkinPainter::RoundedRect(edge, kTileRadius - 0.5);
        painter.strokePath(edgePath, QPen(SkinPalette::Accent(), 2.0));
        // The corner flag with its check mark, clipped to the card.
        painter.save();
        painter.setClipPath(edgePath);
        // The flag sits in either bottom corner; the check mark in it always
        // reads the same way, whatever the direction of the text.
        QPainterPath flag;
        const QPointF ptCorner = bFlagLeft ? card.bottomLeft() : card.bottomRight();
        const qreal dInward = bFlagLeft ? 1.0 : -1.0;
        flag.moveTo(ptCorner);
        flag.lineTo(ptCorner - QPointF(0, 23));
        flag.lineTo(ptCorner + QPointF(23 * dInward, 0));
        flag.closeSubpath();
        painter.fillPath(flag, SkinPalette::Accent());
        painter.restore();
        const QPointF ptElbow = ptCorner + QPointF(bFlagLeft ? 6.0 : -8.3, -4.8);
        painter.strokePath(CheckPath(ptElbow, 0.82),
                           QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        break;
    }
    case TileDisabled:
        // Flat and without a shadow: it recedes behind the tiles that can be
        // picked, and its text keeps one known contrast everywhere.
        painter.fillPath(cardPath, SkinPalette::Disabled());
        painter.strokePath(cardPath, QPen(SkinPalette::DisabledEdge(), 1.0));
        break;
    }
    return image;
}

QImage SkinArt::TileIcon(SkinIcons::Glyph glyph, bool bEnabled)
{
    // 52 x 44 with the 28 x 28 badge at (12,12): placed in the top right
    // corner of a tile it lands 12 px from the right edge, like the labels on
    // the left, and in the top left corner (right to left) 12 px from the left.
    QImage image = SkinPainter::NewImage(52, 44);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    const QRectF badge(12, 12, 28, 28);
    if (bEnabled) {
        painter.fillPath(SkinPainter::RoundedRect(badge, 8), SkinPalette::AccentWash());
        SkinIcons::Draw(painter, glyph, badge.adjusted(5, 5, -5, -5), SkinPalette::Accent(), 2.0);
    } else {
        painter.fillPath(SkinPainter::RoundedRect(badge, 8), QColor(226, 230, 236));
        SkinIcons::Draw(painter, glyph, badge.adjusted(5, 5, -5, -5), SkinPalette::InkMuted(), 2.0);
    }
    return image;
}

QImage SkinArt::FunctionButton(ButtonState state)
{
    // 32 x 32, drawn for a 9-slice border image with 8 px corners. Every
    // fill keeps the white label at 4.5 : 1 or more.
    QImage image = SkinPainter::NewImage(32, 32);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    const QRectF rect(0.5, 0.5, 31, 31);
    const QPainterPath path = SkinPainter::RoundedRect(rect, 5);
    switch (state) {
    case ButtonNormal:
    case ButtonFocus: {
        QLinearGradient fill(0, 0, 0, 32);
        fill.setColorAt(0.0, SkinPalette::AccentFill());
        fill.setColorAt(1.0, SkinPalette::AccentFillDeep());
        painter.fillPath(path, fill);
        painter.strokePath(path, QPen(SkinPalette::AccentDeep(), 1.0));
        if (state == ButtonFocus) {
            // The keyboard focus: a white ring inside a dark edge.
            painter.strokePath(path, QPen(SkinPalette::Ink(), 1.0));
            painter.strokePath(SkinPainter::RoundedRect(rect.adjusted(2, 2, -2, -2), 3.5),
                               QPen(Qt::white, 1.6));
        }
        break;
    }
    case ButtonHover: {
        QLinearGradient fill(0, 0, 0, 32);
        fill.setColorAt(0.0, QColor(24, 116, 208));
        fill.setColorAt(1.0, QColor(16, 104, 188));
        painter.fillPath(path, fill);
        painter.strokePath(path, QPen(SkinPalette::AccentInk(), 1.0));
        break;
    }
    case ButtonPressed:
        painter.fillPath(path, QColor(7, 80, 150));
        painter.strokePath(path, QPen(QColor(5, 64, 122), 1.0));
        break;
    case ButtonDisabled:
        painter.fillPath(path, QColor(228, 232, 238));
        painter.strokePath(path, QPen(QColor(214, 219, 226), 1.0));
        break;
    }
    return image;
}

QImage SkinArt::BrowseButton(ButtonState state)
{
    QImage image = SkinPainter::NewImage(32, 32);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    const QPainterPath path = SkinPainter::RoundedRect(QRectF(0.5, 0.5, 31, 31), 5);
    switch (state) {
    case ButtonNormal:
        painter.fillPath(path, SkinPalette::Page());
        painter.strokePath(path, QPen(QColor(128, 186, 242), 1.0));
        break;
    case ButtonHover:
        painter.fillPath(path, SkinPalette::AccentWash());
        painter.strokePath(path, QPen(SkinPalette::Accent(), 1.0));
        break;
    case ButtonPressed:
        painter.fillPath(path, SkinPalette::AccentSoft());
        painter.strokePath(path, QPen(SkinPalette::AccentPressed(), 1.0));
        break;
    case ButtonDisabled:
        painter.fillPath(path, SkinPalette::PageTint());
        painter.strokePath(path, QPen(SkinPalette::Line(), 1.0));
        break;
    case ButtonFocus:
        // The keyboard focus: a 2 px accent ring.
        painter.fillPath(path, SkinPalette::Page());
        painter.strokePath(SkinPainter::RoundedRect(QRectF(1, 1, 30, 30), 4.5), QPen(SkinPalette::AccentInk(), 2.0));
        break;
    }
    return image;
}

QImage SkinArt::TitleBarGlyph(SkinIcons::Glyph glyph, const QColor &color)
{
    QImage image = SkinPainter::NewImage(16, 16);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    SkinIcons::Draw(painter, glyph, QRectF(0, 0, 16, 16), color, glyph == SkinIcons::Settings ? 2.0 : 1.9);
    return image;
}

QImage SkinArt::PageBase()
{
    QImage image = SkinPainter::NewImage(kPageWidth, kBodyHeight);
    QPainter painter(&image);
    QLinearGradient fill(0, 0, 0, 170);
    fill.setColorAt(0.0, QColor(244, 248, 253));
    fill.setColorAt(1.0, SkinPalette::Page());
    painter.fillRect(image.rect(), fill);
    return image;
}

QImage SkinArt::PageDecoration()
{
    // Two faint arcs in the top corner opposite nothing: they give the page
    // depth without competing with the content.
    QImage image = SkinPainter::NewImage(kPageWidth, kBodyHeight);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    QRadialGradient glow(QPointF(kPageWidth - 120, -60), 360);
    glow.setColorAt(0.0, WithAlpha(SkinPalette::AccentSoft(), 120));
    glow.setColorAt(1.0, WithAlpha(SkinPalette::AccentSoft(), 0));
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(kPageWidth - 120, -60), 360, 360);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(WithAlpha(SkinPalette::Accent(), 22), 1.2));
    painter.drawEllipse(QPointF(kPageWidth - 40, -20), 150, 150);
    painter.setPen(QPen(WithAlpha(SkinPalette::Accent(), 14), 1.2));
    painter.drawEllipse(QPointF(kPageWidth - 40, -20), 210, 210);
    return image;
}

QImage SkinArt::PageFooter()
{
    QImage image = SkinPainter::NewImage(kPageWidth, kBodyHeight);
    QPainter painter(&image);
    painter.fillRect(QRect(0, kFooterTop, kPageWidth, kBodyHeight - kFooterTop), QColor(249, 250, 252));
    painter.fillRect(QRect(0, kFooterTop, kPageWidth, 1), SkinPalette::Line());
    return image;
}

QImage SkinArt::PreparePanel()
{
    // The footer of every page plus, on the prepare page, a tinted panel
    // that holds the tiles and a divider above the destination.
    QImage image = PageFooter();
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    const QRectF panel(100.5, 164.5, 695, 287);
    const QPainterPath path = SkinPainter::RoundedRect(panel, 12);
    painter.fillPath(path, SkinPalette::PageTint());
    painter.strokePath(path, QPen(QColor(234, 238, 243), 1.0));
    return image;
}

QImage SkinArt::StatusBar()
{
    QImage image = SkinPainter::NewImage(kPageWidth, 32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(242, 244, 247));
    return image;
}

QImage SkinArt::StatusLine()
{
    QImage image = SkinPainter::NewImage(kPageWidth, 32);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, kPageWidth, 1), SkinPalette::LineStrong());
    return image;
}

QImage SkinArt::HeaderMark()
{
    // A short accent bar beside the header icon; it reads the same in both
    // directions.
    QImage image = SkinPainter::NewImage(18, 72);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    painter.fillPath(SkinPainter::RoundedRect(QRectF(7, 22, 4, 28), 2), SkinPalette::Accent());
    return image;
}

QImage SkinArt::HeaderLogo()
{
    QImage image = SkinPainter::NewImage(72, 72);
    const QRectF badge(10, 8, 52, 52);
    const QPainterPath path = SkinPainter::RoundedRect(badge, 14);
    SkinPainter::DrawShadow(image, path, WithAlpha(SkinPalette::Accent(), 90), 3, 6);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    QLinearGradient fill(badge.topLeft(), badge.bottomRight());
    fill.setColorAt(0.0, QColor(64, 164, 245));
    fill.setColorAt(1.0, SkinPalette::AccentPressed());
    painter.fillPath(path, fill);
    // A soft sheen on the upper half.
    QLinearGradient sheen(badge.topLeft(), QPointF(badge.left(), badge.center().y()));
    sheen.setColorAt(0.0, QColor(255, 255, 255, 50));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillPath(path, sheen);
    SkinIcons::Draw(painter, SkinIcons::BackupTray, badge.adjusted(11, 11, -11, -11), Qt::white, 2.2);
    return image;
}

QImage SkinArt::WaitingCard()
{
    QImage image = SkinPainter::NewImage(125, 125);
    const QRectF card(9, 7, 107, 107);
    const QPainterPath path = SkinPainter::RoundedRect(card, 16);
    SkinPainter::DrawShadow(image, path, QColor(20, 40, 70, 60), 2, 7);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    painter.fillPath(path, SkinPalette::Page());
    painter.strokePath(path, QPen(QColor(232, 236, 241), 1.0));
    return image;
}

QImage SkinArt::SpinnerFrame(int nFrame, int nFrameCount)
{
    // A track ring and a bright arc with a fading tail; frame n turns the
    // arc by n / count of a full turn, so the frames loop seamlessly.
    QImage image = SkinPainter::NewImage(52, 52);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    const QPointF ptCentre(26, 26);
    const qreal dRadius = 18;
    painter.setPen(QPen(WithAlpha(SkinPalette::AccentSoft(), 170), 4.0));
    painter.drawEllipse(ptCentre, dRadius, dRadius);

    const qreal dHead = 90.0 - 360.0 * (nFrame - 1) / nFrameCount;   // clockwise
    const int nSegments = 24;
    const qreal dSweep = 120.0;
    const QRectF arcRect(ptCentre.x() - dRadius, ptCentre.y() - dRadius, 2 * dRadius, 2 * dRadius);
    for (int i = 0; i < nSegments; ++i) {
        const qreal dT = static_cast<qreal>(i + 1) / nSegments;  // 1 at the head
        QColor color = SkinPalette::Accent();
        color.setAlphaF(qBound(0.0, 0.10 + 0.90 * dT, 1.0));
        painter.setPen(QPen(color, 4.0, Qt::SolidLine, i == nSegments - 1 ? Qt::RoundCap : Qt::FlatCap));
        const qreal dStart = dHead + dSweep * (1.0 - dT);
        const qreal dSpan = dSweep / nSegments + 0.6;
        painter.drawArc(arcRect, qRound(dStart * 16), qRound(-dSpan * 16));
    }
    return image;
}

QImage SkinArt::ProgressStripe(int nPhase)
{
    // Diagonal light stripes over the bar's 744 x 14, masked to its rounded
    // ends; phase 2 is shifted by half a period so the two frames shimmer.
    const int nWidth = 744;
    const int nHeight = 14;
    const qreal dPeriod = 22.0;
    QImage image = SkinPainter::NewImage(nWidth, nHeight);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    const QPainterPath mask = SkinPainter::RoundedRect(QRectF(0, 0, nWidth, nHeight), nHeight / 2.0);
    painter.setClipPath(mask);
    const qreal dShift = nPhase == 1 ? 0.0 : dPeriod / 2.0;
    painter.setBrush(QColor(255, 255, 255, 46));
    for (qreal x = -2 * dPeriod + dShift; x < nWidth + dPeriod; x += dPeriod) {
        QPainterPath stripe;
        stripe.moveTo(x, nHeight);
        stripe.lineTo(x + nHeight, 0);
        stripe.lineTo(x + nHeight + dPeriod / 2.0, 0);
        stripe.lineTo(x + dPeriod / 2.0, nHeight);
        stripe.closeSubpath();
        painter.drawPath(stripe);
    }
    // A thin highlight along the top edge gives the bar some roundness.
    QLinearGradient sheen(0, 0, 0, nHeight);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 60));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    painter.fillRect(image.rect(), sheen);
    return image;
}

QImage SkinArt::ValueBubble()
{
    // 76 x 44: a rounded label with a pointer whose tip sits at the middle,
    // right above the end of the bar's fill.
    QImage image = SkinPainter::NewImage(76, 44);
    QPainterPath path;
    const QRectF body(3, 2, 70, 30);
    path.addRoundedRect(body, 9, 9);
    QPainterPath tail;
    tail.moveTo(31, body.bottom() - 1);
    tail.lineTo(38, body.bottom() + 7);
    tail.lineTo(45, body.bottom() - 1);
    tail.closeSubpath();
    path = path.united(tail);
    SkinPainter::DrawShadow(image, path, WithAlpha(SkinPalette::AccentDeep(), 70), 2, 4);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    QLinearGradient fill(0, body.top(), 0, body.bottom());
    // Dark enough for the white percentage (4.5 : 1 or more).
    fill.setColorAt(0.0, SkinPalette::AccentFill());
    fill.setColorAt(1.0, SkinPalette::AccentFillDeep());
    painter.fillPath(path, fill);
    return image;
}

QImage SkinArt::NoteIcon()
{
    // 11 x 18: an attention dot level with the first line of a note.
    QImage image = SkinPainter::NewImage(11, 18);
    QPainter painter(&image);
    SkinPainter::Prepare(painter);
    painter.setBrush(SkinPalette::Warning());
    painter.drawEllipse(QRectF(0, 3.5, 11, 11));
    painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(5.5, 6.3), QPointF(5.5, 9.6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(5.5, 11.7), 0.95, 0.95);
    return image;
}
