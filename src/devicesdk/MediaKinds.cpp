#include "MediaKinds.h"

#include <QSet>

int MediaKinds::TypeOfSuffix(const QString &strSuffix)
{
    static const QSet<QString> setImages = {
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("gif"),
        QStringLiteral("bmp"), QStringLiteral("webp"), QStringLiteral("heic")};
    static const QSet<QString> setVideos = {
        QStringLiteral("mp4"), QStringLiteral("3gp"), QStringLiteral("mkv"), QStringLiteral("avi"),
        QStringLiteral("mov"), QStringLiteral("webm")};
    static const QSet<QString> setAudio = {
        QStringLiteral("mp3"), QStringLiteral("m4a"), QStringLiteral("aac"), QStringLiteral("ogg"),
        QStringLiteral("wav"), QStringLiteral("amr"), QStringLiteral("flac")};
    const QString str = strSuffix.toLower();
    if (setImages.contains(str))
        return 16;
    if (setVideos.contains(str))
        return 17;
    if (setAudio.contains(str))
        return 18;
    return -1;
}
