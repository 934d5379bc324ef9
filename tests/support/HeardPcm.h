// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// 16-bit PCM as a capture or a sink's monitor gave it, read from a WAV file.

#include "WavFile.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <cstring>
#include <vector>

struct HeardPcm
{
    unsigned rate = 0;
    unsigned channels = 0;
    std::vector<std::int16_t> samples;   // interleaved

    std::size_t Frames() const { return channels == 0 ? 0 : samples.size() / channels; }
    std::int16_t At(std::size_t frame, unsigned channel) const { return samples[frame * channels + channel]; }

    // A 16-bit WAV file; false when it is not one.
    static bool Load(const QString& path, HeardPcm& pcm)
    {
        QFile file(path);
        WavSound sound;
        if (!file.open(QIODevice::ReadOnly) || !WavFile::Parse(file.readAll(), sound) ||
            sound.format.bitsPerSample != 16)
            return false;
        pcm.rate = sound.format.sampleRate;
        pcm.channels = sound.format.channels;
        pcm.samples.resize(static_cast<std::size_t>(sound.pcm.size()) / sizeof(std::int16_t));
        std::memcpy(pcm.samples.data(), sound.pcm.constData(), pcm.samples.size() * sizeof(std::int16_t));
        return true;
    }
};
