// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a path names (one recording or a playlist, by its extension) and how a path
// becomes the player's list of recordings.

#include <QString>
#include <QStringList>

// The kinds Classify tells apart; the values are those the controller stores.
enum MediaKind : int
{
    MEDIA_NOT_PLAYABLE = 0,
    MEDIA_RECORDING = 1,   // ".mp3", ".vds"
    MEDIA_PLAYLIST = 2,    // ".vdl"
};

// The kind of a path by its last four characters, case ignored. Paths shorter than
// five characters are never playable (".mp3" alone names nothing).
int Classify(const QString& path);
// Whether a recording carries its study text inside (".vds", case ignored).
bool HasStudyTextInside(const QString& path);

// Appends the recordings a path stands for to a playlist the caller has emptied:
// a recording itself, nothing for an unplayable path, or the existing files named by
// the lines of a playlist file. False only when a playlist file cannot be opened or
// is shorter than its 2-byte mark.
bool FillPlaylist(QStringList* playlist, const QString& path);
