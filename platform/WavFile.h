// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The RIFF WAVE layout as this program reads it (sounds) and writes it (captures):
// PCM only, 8 or 16 bits, one or two channels.

#include "AudioFormat.h"

#include <QByteArray>

struct WavSound
{
    AudioFormat format;
    QByteArray pcm;   // whole sample frames only
};

namespace WavFile {

// The canonical header: RIFF, fmt and the data chunk's own header.
constexpr qint64 kHeaderSize = 44;
constexpr qint64 kRiffSizeOffset = 4;
constexpr qint64 kDataSizeOffset = 40;

QByteArray Header(const AudioFormat& format, quint64 dataBytes);
// The size fields of the header for that much data, clamped to what they can hold.
quint32 RiffSize(quint64 dataBytes);
quint32 DataSize(quint64 dataBytes);

// False for anything but uncompressed PCM this program can play. A data chunk that
// runs past the end of the file gives what is there.
bool Parse(const QByteArray& file, WavSound& sound);

}  // namespace WavFile
