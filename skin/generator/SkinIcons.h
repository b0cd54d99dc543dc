#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The skin's line icons, drawn on a 24-unit grid scaled into the target
// rectangle so every icon shares one stroke weight and one corner style.
class SkinIcons
{
public:
    enum Glyph {
        Contacts,
        Messages,
        Applications,
        AppData,
        ImagesVideos,
        Music,
        Other,
        Email,
        Calendar,
        Bookmark,
        BackupTray,
        Settings,
        Minimize,
        Close,
        Folder,
    };

    // Draws the glyph into the rectangle with the given colour; the stroke is
    // 2 grid units (scaled with the rectangle) unless told otherwise.
    static void Draw(QPainter &painter, Glyph glyph, const QRectF &rect, const QColor &color,
                     qreal dStroke = 2.0);

private:
    static void DrawContacts(QPainter &painter, const QColor &color);
    static void DrawMessages(QPainter &painter, const QColor &color);
    static void DrawApplications(QPainter &painter);
    static void DrawAppData(QPainter &painter);
    static void DrawImagesVideos(QPainter &painter, const QColor &color);
    static void DrawMusic(QPainter &painter, const QColor &color);
    static void DrawOther(QPainter &painter, const QColor &color);
    static void DrawEmail(QPainter &painter);
    static void DrawCalendar(QPainter &painter, const QColor &color);
    static void DrawBookmark(QPainter &painter);
    static void DrawBackupTray(QPainter &painter);
    static void DrawSettings(QPainter &painter, const QColor &color);
    static void DrawFolder(QPainter &painter);
};
