#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QSize>

class QPainter;

// Small drawing helpers shared by every picture of the skin: transparent
// canvases, blurred drop shadows and the usual rounded shapes.
class SkinPainter
{
public:
    // The resolution pictures are drawn at: canvases get scale times the
    // pixels and a device pixel ratio of scale, so drawing code keeps working
    // in the picture's own (1x) coordinates.
    static void SetScale(int nScale);
    static int Scale();

    // A fully transparent canvas of the given size (in 1x pixels).
    static QImage NewImage(const QSize &size);
    static QImage NewImage(int nWidth, int nHeight);

    // Paints a soft shadow of the path onto the canvas: the path is filled
    // with the colour, moved by the offset and blurred by the radius.
    static void DrawShadow(QImage &image, const QPainterPath &path, const QColor &color, qreal dOffsetY,
                           int nBlurRadius);

    static QPainterPath RoundedRect(const QRectF &rect, qreal dRadius);

    // Blurs an image in place (three box passes, close to a Gaussian).
    static void Blur(QImage &image, int nRadius);

    // Sets up a painter the way every picture is drawn: antialiased.
    static void Prepare(QPainter &painter);

private:
    static void BoxBlurPass(QImage &image, int nRadius, bool bHorizontal);
};
