#pragma once

#include <QString>

// Which media kind a phone file is, by its file name's extension: the rule
// both back ends use to sort a phone's files into images, videos and audio.
class MediaKinds
{
public:
    // 16 image, 17 video, 18 audio, -1 none (case does not matter).
    static int TypeOfSuffix(const QString &strSuffix);
};
