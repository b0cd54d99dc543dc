#include "SkinPainter.h"

#include <QPainter>

#include <vector>

namespace {
int s_nScale = 1;
}

void SkinPainter::SetScale(int nScale)
{
    s_nScale = qMax(1, nScale);
}

int SkinPainter::Scale()
{
    return s_nScale;
}

QImage SkinPainter::NewImage(const QSize &size)
{
    QImage image(size * s_nScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(s_nScale);
    image.fill(Qt::transparent);
    return image;
}

QImage SkinPainter::NewImage(int nWidth, int nHeight)
{
    return NewImage(QSize(nWidth, nHeight));
}

void SkinPainter::Prepare(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setPen(Qt::NoPen);
}

QPainterPath SkinPainter::RoundedRect(const QRectF &rect, qreal dRadius)
{
    QPainterPath path;
    path.addRoundedRect(rect, dRadius, dRadius);
    return path;
}

void SkinPainter::DrawShadow(QImage &image, const QPainterPath &path, const QColor &color, qreal dOffsetY,
                             int nBlurRadius)
{
    // Same canvas as the picture; the blur works on pixels, so its radius
    // grows with the scale.
    QImage shadow = NewImage(image.deviceIndependentSize().toSize());
    {
        QPainter painter(&shadow);
        Prepare(painter);
        painter.translate(0, dOffsetY);
        painter.fillPath(path, color);
    }
    Blur(shadow, nBlurRadius * s_nScale);
    QPainter painter(&image);
    painter.drawImage(0, 0, shadow);
}

void SkinPainter::Blur(QImage &image, int nRadius)
{
    if (nRadius <= 0)
        return;
    // Three box passes per axis approximate a Gaussian of about the radius.
    const int nBox = qMax(1, nRadius / 2);
    for (int i = 0; i < 3; ++i) {
        BoxBlurPass(image, nBox, true);
        BoxBlurPass(image, nBox, false);
    }
}

void SkinPainter::BoxBlurPass(QImage &image, int nRadius, bool bHorizontal)
{
    // Works on the premultiplied words directly: averaging premultiplied
    // channels is what keeps the colour of soft edges right.
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int nWidth = image.width();
    const int nHeight = image.height();
    const int nLines = bHorizontal ? nHeight : nWidth;
    const int nLength = bHorizontal ? nWidth : nHeight;
    const int nWindow = 2 * nRadius + 1;
    auto *pBits = reinterpret_cast<QRgb *>(image.bits());
    const qsizetype nStride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    auto at = [&](int nLine, int i) -> QRgb & {
        return bHorizontal ? pBits[nLine * nStride + i] : pBits[static_cast<qsizetype>(i) * nStride + nLine];
    };
    std::vector<QRgb> line(static_cast<size_t>(nLength));
    for (int l = 0; l < nLines; ++l) {
        for (int i = 0; i < nLength; ++i)
            line[static_cast<size_t>(i)] = at(l, i);
        int nSum[4] = {0, 0, 0, 0};
        auto add = [&](QRgb px, int nSign) {
            nSum[0] += nSign * qAlpha(px);
            nSum[1] += nSign * qRed(px);
            nSum[2] += nSign * qGreen(px);
            nSum[3] += nSign * qBlue(px);
        };
        // Pixels outside the image count as transparent.
        for (int i = 0; i <= nRadius && i < nLength; ++i)
            add(line[static_cast<size_t>(i)], 1);
        for (int i = 0; i < nLength; ++i) {
            at(l, i) = qRgba(nSum[1] / nWindow, nSum[2] / nWindow, nSum[3] / nWindow, nSum[0] / nWindow);
            const int nOut = i - nRadius;
            const int nIn = i + nRadius + 1;
            if (nOut >= 0)
                add(line[static_cast<size_t>(nOut)], -1);
            if (nIn < nLength)
                add(line[static_cast<size_t>(nIn)], 1);
        }
    }
}
