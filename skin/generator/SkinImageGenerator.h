#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <functional>

// The catalogue of every picture of the default skin: relative path under
// "skin/default/images/" and how it is drawn. Writing them all is what the
// build does; the list also tells which files a complete skin has. Every
// picture is written twice: as named, and drawn at twice the resolution as
// "name@2x.png", which Qt uses on high-density screens.
class SkinImageGenerator
{
public:
    struct Entry
    {
        QString strPath;
        std::function<QImage()> draw;
    };

    SkinImageGenerator();

    const QList<Entry> &Entries() const;

    // The scales every picture is drawn at.
    static constexpr int kScales[] = {1, 2};
    // The file name of a picture drawn at a scale ("a.png", "a@2x.png").
    static QString ScaledPath(const QString &strPath, int nScale);

    // Draws every picture and writes it under the folder (created with its
    // sub-folders as needed). Returns the number of pictures that could not
    // be written; failures are reported on stderr.
    int WriteAll(const QString &strImagesDir) const;

private:
    void Add(const QString &strPath, std::function<QImage()> draw);

    QList<Entry> m_listEntries;
};
