#pragma once

#include <QList>
#include <QString>

#include <functional>

// One copied media file: its name in the backup folder (after any renaming),
// its name on the phone and its full path on the phone.
struct MediaInfo
{
    QString pcname;
    QString phname;
    QString phpath;

    bool operator==(const MediaInfo &other) const
    {
        return pcname == other.pcname && phname == other.phname && phpath == other.phpath;
    }
};

// Writes the media list as an XML document (root "filelist", one "file" per
// record with "pcname", "phname", "phpath"), replacing the file as a whole.
bool g_WriteMediaList(const QString &strFileName, const QList<MediaInfo> &listMedia);
// The same for nCount records that fnRecord gives one at a time, in order,
// so that they need not all be held at once.
bool g_WriteMediaList(const QString &strFileName, qsizetype nCount, const std::function<MediaInfo(qsizetype)> &fnRecord);

// Appends the records of a media list file to listMedia. True when at least
// one record was read and no error followed it; records read before an error
// stay in the list. A missing file is not created.
bool g_ReadMediaList(const QString &strFileName, QList<MediaInfo> &listMedia);
