#include "SkinIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

void SkinIcons::Draw(QPainter &painter, Glyph glyph, const QRectF &rect, const QColor &color, qreal dStroke)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / 24.0, rect.height() / 24.0);
    QPen pen(color, dStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Contacts:
        DrawContacts(painter, color);
        break;
    case Messages:
        DrawMessages(painter, color);
        break;
    case Applications:
        DrawApplications(painter);
        break;
    case AppData:
        DrawAppData(painter);
        break;
    case ImagesVideos:
        DrawImagesVideos(painter, color);
        break;
    case Music:
        DrawMusic(painter, color);
        break;
    case Other:
        DrawOther(painter, color);
        break;
    case Email:
        DrawEmail(painter);
        break;
    case Calendar:
        DrawCalendar(painter, color);
        break;
    case Bookmark:
        DrawBookmark(painter);
        break;
    case BackupTray:
        DrawBackupTray(painter);
        break;
    case Settings:
        DrawSettings(painter, color);
        break;
    case Minimize:
        painter.drawLine(QPointF(6, 12), QPointF(18, 12));
        break;
    case Close:
        painter.drawLine(QPointF(6.5, 6.5), QPointF(17.5, 17.5));
        painter.drawLine(QPointF(17.5, 6.5), QPointF(6.5, 17.5));
        break;
    case Folder:
        DrawFolder(painter);
        break;
    }
    painter.restore();
}

void SkinIcons::DrawContacts(QPainter &painter, const QColor &color)
{
    Q_UNUSED(color);
    painter.drawEllipse(QPointF(12, 8), 4, 4);
    QPainterPath shoulders;
    shoulders.moveTo(4.5, 20.5);
    shoulders.cubicTo(4.5, 16.2, 8.0, 13.8, 12.0, 13.8);
    shoulders.cubicTo(16.0, 13.8, 19.5, 16.2, 19.5, 20.5);
    painter.drawPath(shoulders);
}

void SkinIcons::DrawMessages(QPainter &painter, const QColor &color)
{
    QPainterPath bubble;
    bubble.moveTo(7.5, 4);
    bubble.lineTo(16.5, 4);
    bubble.quadTo(20.5, 4, 20.5, 8);
    bubble.lineTo(20.5, 13);
    bubble.quadTo(20.5, 17, 16.5, 17);
    bubble.lineTo(11.5, 17);
    bubble.lineTo(7, 20.5);
    bubble.lineTo(7.5, 17);
    bubble.quadTo(3.5, 17, 3.5, 13);
    bubble.lineTo(3.5, 8);
    bubble.quadTo(3.5, 4, 7.5, 4);
    painter.drawPath(bubble);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (qreal x : {8.0, 12.0, 16.0})
        painter.drawEllipse(QPointF(x, 10.5), 1.25, 1.25);
}

void SkinIcons::DrawApplications(QPainter &painter)
{
    for (const QPointF &pt : {QPointF(4, 4), QPointF(13.5, 4), QPointF(4, 13.5), QPointF(13.5, 13.5)})
        painter.drawRoundedRect(QRectF(pt, QSizeF(6.5, 6.5)), 2, 2);
}

void SkinIcons::DrawAppData(QPainter &painter)
{
    painter.drawEllipse(QRectF(5, 3.5, 14, 5));
    QPainterPath body;
    body.moveTo(5, 6);
    body.lineTo(5, 18);
    body.arcTo(QRectF(5, 15.5, 14, 5), 180, 180);
    body.lineTo(19, 6);
    painter.drawPath(body);
    QPainterPath middle;
    middle.moveTo(5, 12);
    middle.arcTo(QRectF(5, 9.5, 14, 5), 180, 180);
    painter.drawPath(middle);
}

void SkinIcons::DrawImagesVideos(QPainter &painter, const QColor &color)
{
    painter.drawRoundedRect(QRectF(3, 4.5, 18, 15), 3, 3);
    QPainterPath hills;
    hills.moveTo(3.5, 17);
    hills.lineTo(9, 11.5);
    hills.lineTo(13, 15.5);
    hills.lineTo(15.5, 13);
    hills.lineTo(20.5, 17.5);
    painter.drawPath(hills);
    // A small play mark where a picture would have its sun: images and videos.
    QPainterPath play;
    play.moveTo(14.6, 7.4);
    play.lineTo(18.2, 9.5);
    play.lineTo(14.6, 11.6);
    play.closeSubpath();
    painter.save();
    painter.setPen(QPen(color, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(color);
    painter.drawPath(play);
    painter.restore();
}

void SkinIcons::DrawMusic(QPainter &painter, const QColor &color)
{
    QPainterPath stems;
    stems.moveTo(9, 17.5);
    stems.lineTo(9, 6);
    stems.lineTo(19.5, 3.5);
    stems.lineTo(19.5, 15.5);
    painter.drawPath(stems);
    painter.drawLine(QPointF(9, 9.5), QPointF(19.5, 7));
    painter.save();
    painter.setBrush(color);
    painter.drawEllipse(QPointF(6.6, 17.5), 2.4, 2.1);
    painter.drawEllipse(QPointF(17.1, 15.5), 2.4, 2.1);
    painter.restore();
}

void SkinIcons::DrawOther(QPainter &painter, const QColor &color)
{
    painter.drawRoundedRect(QRectF(3, 3, 18, 18), 5, 5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (qreal x : {7.8, 12.0, 16.2})
        painter.drawEllipse(QPointF(x, 12), 1.45, 1.45);
}

void SkinIcons::DrawEmail(QPainter &painter)
{
    painter.drawRoundedRect(QRectF(3, 5.5, 18, 13), 2.5, 2.5);
    QPainterPath flap;
    flap.moveTo(4, 7);
    flap.lineTo(12, 12.8);
    flap.lineTo(20, 7);
    painter.drawPath(flap);
}

void SkinIcons::DrawCalendar(QPainter &painter, const QColor &color)
{
    painter.drawRoundedRect(QRectF(3.5, 5, 17, 15.5), 2.5, 2.5);
    painter.drawLine(QPointF(3.5, 9.5), QPointF(20.5, 9.5));
    painter.drawLine(QPointF(8, 3), QPointF(8, 6.5));
    painter.drawLine(QPointF(16, 3), QPointF(16, 6.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (const QPointF &pt : {QPointF(8, 13.2), QPointF(12, 13.2), QPointF(16, 13.2), QPointF(8, 16.8),
                              QPointF(12, 16.8)})
        painter.drawEllipse(pt, 1.05, 1.05);
}

void SkinIcons::DrawBookmark(QPainter &painter)
{
    QPainterPath ribbon;
    ribbon.moveTo(7, 5.5);
    ribbon.quadTo(7, 3.5, 9, 3.5);
    ribbon.lineTo(15, 3.5);
    ribbon.quadTo(17, 3.5, 17, 5.5);
    ribbon.lineTo(17, 20.5);
    ribbon.lineTo(12, 16.5);
    ribbon.lineTo(7, 20.5);
    ribbon.closeSubpath();
    painter.drawPath(ribbon);
}

void SkinIcons::DrawBackupTray(QPainter &painter)
{
    QPainterPath tray;
    tray.moveTo(4, 13.5);
    tray.lineTo(4, 17.5);
    tray.quadTo(4, 20, 6.5, 20);
    tray.lineTo(17.5, 20);
    tray.quadTo(20, 20, 20, 17.5);
    tray.lineTo(20, 13.5);
    painter.drawPath(tray);
    painter.drawLine(QPointF(12, 3.5), QPointF(12, 14.5));
    QPainterPath head;
    head.moveTo(7.5, 10);
    head.lineTo(12, 14.5);
    head.lineTo(16.5, 10);
    painter.drawPath(head);
}

void SkinIcons::DrawSettings(QPainter &painter, const QColor &color)
{
    // A cog: a ring with eight rounded teeth, hollow in the middle.
    QPainterPath cog;
    cog.addEllipse(QPointF(12, 12), 6.6, 6.6);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-1.7, -9.6, 3.4, 4.5), 1.0, 1.0);
        QTransform transform;
        transform.translate(12, 12);
        transform.rotate(45.0 * i);
        cog = cog.united(transform.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(12, 12), 2.9, 2.9);
    cog = cog.subtracted(hole);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(cog);
}

void SkinIcons::DrawFolder(QPainter &painter)
{
    QPainterPath folder;
    folder.moveTo(3, 7);
    folder.quadTo(3, 5, 5, 5);
    folder.lineTo(9.5, 5);
    folder.lineTo(11.5, 7.5);
    folder.lineTo(19, 7.5);
    folder.quadTo(21, 7.5, 21, 9.5);
    folder.lineTo(21, 17);
    folder.quadTo(21, 19, 19, 19);
    folder.lineTo(5, 19);
    folder.quadTo(3, 19, 3, 17);
    folder.closeSubpath();
    painter.drawPath(folder);
}
