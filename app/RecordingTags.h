// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The title, artist and album a recording's tags give it, and its cover picture,
// read with TagLib for the window's title and the desktop's media controls. The
// last recording asked about is remembered, so asking again costs nothing; the
// cover is written once to a file of the user's cache folder
// ($XDG_CACHE_HOME/vellumdeck/covers), where the desktop can show it.

#include <QDateTime>
#include <QString>

namespace TagLib {
class ByteVector;
}

struct RecordingTagInfo
{
    QString title;
    QString artist;
    QString album;
    QString coverFile;   // empty without a picture

    bool IsEmpty() const { return title.isEmpty() && artist.isEmpty() && album.isEmpty(); }
};

class CRecordingTags
{
public:
    static constexpr const char* kCoverFolder = "vellumdeck/covers";

    // path: a device or host path. A file without tags, with tags TagLib cannot read,
    // or that cannot be opened gives empty texts.
    const RecordingTagInfo& For(const QString& path);
    // What the window's title shows: "title - artist - Vellumdeck", the file's name
    // for a recording without a title, "Vellumdeck" with none.
    static QString WindowTitle(const QString& path, const RecordingTagInfo& tags);

private:
    static RecordingTagInfo Read(const QString& hostPath);
    static QString SaveCover(const QString& hostPath, const TagLib::ByteVector& picture, const QString& mimeType);

    QString m_path;
    QDateTime m_modified;
    qint64 m_size = -1;
    RecordingTagInfo m_tags;
};
